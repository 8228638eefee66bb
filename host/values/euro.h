// Money. EuroType is the one home of every rounding and formatting rule for
// amounts: a double in euros, rounded half away from zero with a small epsilon
// so that binary representation error (0.285 stored as 0.28499999...) never
// turns a half cent the wrong way.
#pragma once

#include <QString>

// Rounding modes. The module only ever asks for commercial rounding; the
// other modes exist for the depreciation helpers and are documented here.
enum class RundungsModus {
    Kaufmaennisch = 0,  // half away from zero (the default everywhere)
    Abschneiden = 1,    // toward zero
    Aufrunden = 2       // away from zero for any remainder
};

class EuroType {
public:
    // getText flags, combinable.
    enum TextFlags {
        TextDefault = 0,       // "1.234,56" / "-1.234,56"
        TextOhneTausender = 1, // "1234,56"
        TextMitEuro = 2,       // "1.234,56 €"
        TextLeerBeiNull = 4,   // "" for a zero amount
        TextPunkt = 8          // "1234.56": machine form, no thousands separator
    };

    EuroType() = default;
    EuroType(double euro) : m_wert(euro) {}  // NOLINT: implicit on purpose, amounts mix with doubles

    double wert() const { return m_wert; }
    operator double() const { return m_wert; }  // NOLINT

    // Rounded copy / rounding in place to `stellen` decimal places.
    EuroType Runden(int stellen, RundungsModus mode = RundungsModus::Kaufmaennisch) const;
    EuroType Runden2(RundungsModus mode = RundungsModus::Kaufmaennisch) const { return Runden(2, mode); }
    // Cut toward zero to `stellen` places (for example the whole-euro bases of the VAT return).
    EuroType RundenAb(int stellen, RundungsModus mode = RundungsModus::Kaufmaennisch) const;
    EuroType RundenAb2(RundungsModus mode = RundungsModus::Kaufmaennisch) const { return RundenAb(2, mode); }

    // Static helpers over plain doubles, same rules.
    static double runden(double wert, int stellen, RundungsModus mode = RundungsModus::Kaufmaennisch);
    static double rundenAb(double wert, int stellen);

    EuroType abs() const { return EuroType(m_wert < 0 ? -m_wert : m_wert); }
    bool isNull() const;  // zero to the cent

    EuroType& operator+=(const EuroType& o) { m_wert += o.m_wert; return *this; }
    EuroType& operator-=(const EuroType& o) { m_wert -= o.m_wert; return *this; }
    EuroType& operator*=(double f) { m_wert *= f; return *this; }
    EuroType& operator/=(double f) { m_wert /= f; return *this; }
    EuroType operator-() const { return EuroType(-m_wert); }

    // Comparisons are to the cent: amounts that round to the same cent are equal.
    friend bool operator==(const EuroType& a, const EuroType& b);
    friend bool operator!=(const EuroType& a, const EuroType& b) { return !(a == b); }
    friend bool operator<(const EuroType& a, const EuroType& b) { return a != b && a.m_wert < b.m_wert; }
    friend bool operator>(const EuroType& a, const EuroType& b) { return b < a; }
    friend bool operator<=(const EuroType& a, const EuroType& b) { return !(b < a); }
    friend bool operator>=(const EuroType& a, const EuroType& b) { return !(a < b); }

    // German text of the amount rounded to the cent: "1.234,56", "-0,50".
    QString getText(int flags = TextDefault) const;
    // Parses "1.234,56", "1234,56", "1234.56", "-12", "12,5"; false (and 0) for
    // anything else, so a typo never becomes a silent zero. At most two
    // decimals and at most kHoechstbetrag in either direction: an amount is
    // money, never silently altered.
    static bool fromText(const QString& text, EuroType* out);
    static bool fromText(QStringView text, EuroType* out);  // the same, for a field of a longer text
    // The largest amount the program accepts as input (999.999.999,99 €):
    // beyond it a cent is no longer exact in a double sum of a year.
    static constexpr double kHoechstbetrag = 999999999.99;
    // kHoechstbetrag as the messages write it: "999.999.999,99".
    static QString hoechstbetragText() { return EuroType(kHoechstbetrag).getText(); }
    // Whether a stored value is money: finite, whole cents, within the bound.
    static bool istGeldbetrag(double wert);

private:
    double m_wert = 0.0;
};

inline EuroType operator+(EuroType a, const EuroType& b) { return a += b; }
inline EuroType operator-(EuroType a, const EuroType& b) { return a -= b; }
inline EuroType operator*(EuroType a, double f) { return a *= f; }
inline EuroType operator*(double f, EuroType a) { return a *= f; }
inline EuroType operator/(EuroType a, double f) { return a /= f; }
