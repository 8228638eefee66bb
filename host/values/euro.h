// Money. EuroType is the one home of every rounding and formatting rule for
// amounts: a signed 64-bit count of cents. Sums and differences are exact;
// an amount is rounded only where the tax law divides one (the tax of a
// split, a discount, a rate, a share), by anteil(), half away from zero.
//
// Doubles meet amounts only at the edges: a value read from the database or
// a foreign file becomes cents by ausDouble(), and an amount goes out as a
// double by alsDouble() (SQL literals, JSON numbers). Nothing converts
// silently, so no sum is ever done in binary floating point by accident.
#pragma once

#include <QString>
#include <QtGlobal>

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

    constexpr EuroType() = default;
    static constexpr EuroType ausCent(qint64 cent) { return EuroType(cent); }
    // A double in euros to the nearest cent, half away from zero. A value a
    // hair below a half cent (0.285 held as 0.28499999...) counts as the half
    // it was written as; NaN and infinities give 0, values beyond the range
    // of cents the largest amount of that sign.
    static EuroType ausDouble(double euro);

    constexpr qint64 cent() const { return m_cent; }
    // The double nearest to the decimal amount: what a SQL literal or a JSON
    // number of this amount reads back as.
    double alsDouble() const { return double(m_cent) / 100.0; }

    // The one rounding of money: this amount times zaehler / nenner, to the
    // cent, half away from zero (nenner != 0; its sign counts). Exact for
    // every operand: the product is taken in 128 bits. A result beyond the
    // range of cents saturates there, far outside kHoechstbetrag, so a bound
    // check refuses it.
    EuroType anteil(qint64 zaehler, qint64 nenner) const;
    // This amount times `satz` percent (19 for the tax of a net amount, 70
    // for a share, 2 for a discount). Rates and factors are read to the
    // millionth, which every rate the law and the forms know fits.
    EuroType prozent(double satz) const;
    // This amount times a factor (a quantity, a ratio given as a decimal).
    EuroType mal(double faktor) const;
    // The net amount of this gross amount at `satz` percent VAT, and the
    // gross amount of this net amount.
    EuroType nettoAusBrutto(double satz) const { return anteil(kHundert, kHundert + millionstel(satz)); }
    EuroType bruttoAusNetto(double satz) const { return anteil(kHundert + millionstel(satz), kHundert); }
    // A rate or factor as a count of millionths (19 % → 19 000 000): the
    // form anteil() takes.
    static qint64 millionstel(double wert);
    static constexpr qint64 kHundert = 100000000;  // 100 % in millionths

    // Cut toward zero to whole euros (the bases of the VAT return).
    EuroType ganzeEuroAb() const { return EuroType(m_cent / 100 * 100); }

    EuroType abs() const { return m_cent < 0 ? -*this : *this; }
    bool isNull() const { return m_cent == 0; }
    // Within ±kHoechstbetrag: an amount a booking or a document may carry.
    bool imRahmen() const { return m_cent <= kHoechstCent && m_cent >= -kHoechstCent; }

    // Exact; a result beyond the range of cents saturates (see anteil).
    EuroType& operator+=(const EuroType& o);
    EuroType& operator-=(const EuroType& o);
    EuroType operator-() const;

    friend bool operator==(const EuroType& a, const EuroType& b) { return a.m_cent == b.m_cent; }
    friend bool operator!=(const EuroType& a, const EuroType& b) { return a.m_cent != b.m_cent; }
    friend bool operator<(const EuroType& a, const EuroType& b) { return a.m_cent < b.m_cent; }
    friend bool operator>(const EuroType& a, const EuroType& b) { return a.m_cent > b.m_cent; }
    friend bool operator<=(const EuroType& a, const EuroType& b) { return a.m_cent <= b.m_cent; }
    friend bool operator>=(const EuroType& a, const EuroType& b) { return a.m_cent >= b.m_cent; }

    // German text of the amount: "1.234,56", "-0,50".
    QString getText(int flags = TextDefault) const;
    // Parses "1.234,56", "1234,56", "1234.56", "-12", "12,5"; false (and 0) for
    // anything else, so a typo never becomes a silent zero. At most two
    // decimals and at most kHoechstbetrag in either direction: an amount is
    // money, never silently altered.
    static bool fromText(const QString& text, EuroType* out);
    static bool fromText(QStringView text, EuroType* out);  // the same, for a field of a longer text
    // The largest amount the program accepts as input (999.999.999,99 €), in
    // cents and as the double the database holds. Stored files keep amounts
    // as doubles, which carry a cent exactly up to far beyond it.
    static constexpr qint64 kHoechstCent = 99999999999;
    static constexpr double kHoechstbetrag = 999999999.99;
    // kHoechstbetrag as the messages write it: "999.999.999,99".
    static QString hoechstbetragText() { return ausCent(kHoechstCent).getText(); }
    // Whether a stored value is money: finite, whole cents, within the bound.
    // Asked of the raw double, before any conversion rounds it.
    static bool istGeldbetrag(double wert);
    // A double rounded to `stellen` decimals, half away from zero with the
    // tolerance of ausDouble: the SQL function ROUNDEURO, for statements
    // that round a stored double where it stands.
    static double runden(double wert, int stellen);

private:
    constexpr explicit EuroType(qint64 cent) : m_cent(cent) {}
    qint64 m_cent = 0;
};

inline EuroType operator+(EuroType a, const EuroType& b) { return a += b; }
inline EuroType operator-(EuroType a, const EuroType& b) { return a -= b; }

// Amounts written in code: 119.00_eur, 5_eur.
inline namespace EuroLiterale {
constexpr EuroType operator""_eur(unsigned long long euro) { return EuroType::ausCent(qint64(euro) * 100); }
inline EuroType operator""_eur(long double euro) { return EuroType::ausDouble(double(euro)); }
}  // namespace EuroLiterale
