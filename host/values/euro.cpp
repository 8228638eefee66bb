// Money rounding, comparison, formatting and parsing.
//
// Parsing rules of fromText (German input first, machine input second):
//   "1.234,56"  dot = thousands separator, comma = decimal comma
//   "1234,56"   comma = decimal comma
//   "1234.56"   a single dot followed by one or two digits = decimal point
//   "1.234"     a dot followed by exactly three digits and no comma = thousands
//   at most two decimals; anything else is refused.
#include "host/values/euro.h"

#include <cmath>
#include <limits>

namespace {
constexpr qint64 kGroesst = std::numeric_limits<qint64>::max();
constexpr qint64 kKleinst = std::numeric_limits<qint64>::min();

// Amounts written as decimals reach a double a hair off; 1e-7 cent is far
// below any amount and far above the representation error of any amount a
// small business books, so a written half cent stays a half cent.
constexpr double kToleranzCent = 1e-7;

double pow10(int n) {
    double f = 1.0;
    for (int i = 0; i < n; ++i) f *= 10.0;
    for (int i = 0; i > n; --i) f /= 10.0;
    return f;
}

EuroType gesaettigt(__int128 c) {
    if (c > kGroesst) return EuroType::ausCent(kGroesst);
    if (c < -kGroesst) return EuroType::ausCent(-kGroesst);
    return EuroType::ausCent(qint64(c));
}
}  // namespace

EuroType EuroType::ausDouble(double euro) {
    if (!std::isfinite(euro)) return EuroType();
    const double x = std::floor(std::fabs(euro) * 100.0 + 0.5 + kToleranzCent);
    // 2^63 as a double; anything from there on is out of range.
    const qint64 c = x >= 9223372036854775808.0 ? kGroesst : qint64(x);
    return EuroType(euro < 0 ? -c : c);
}

double EuroType::runden(double wert, int stellen) {
    const double f = pow10(stellen);
    const double r = std::floor(std::fabs(wert) * f + 0.5 + kToleranzCent * f / 100.0) / f;
    return wert < 0 ? -r : r;
}

EuroType EuroType::anteil(qint64 zaehler, qint64 nenner) const {
    if (nenner == 0) return EuroType();
    __int128 p = __int128(m_cent) * zaehler;
    __int128 n = nenner;
    const bool negativ = (p < 0) != (n < 0);
    if (p < 0) p = -p;
    if (n < 0) n = -n;
    __int128 q = p / n;
    if (2 * (p % n) >= n) ++q;  // half away from zero
    return gesaettigt(negativ ? -q : q);
}

qint64 EuroType::millionstel(double wert) {
    if (!std::isfinite(wert)) return 0;
    const double m = wert * 1e6;
    if (m >= 9.2e18) return kGroesst;
    if (m <= -9.2e18) return -kGroesst;
    return qint64(std::llround(m));
}

EuroType EuroType::prozent(double satz) const { return anteil(millionstel(satz), kHundert); }

EuroType EuroType::mal(double faktor) const { return anteil(millionstel(faktor), 1000000); }

EuroType& EuroType::operator+=(const EuroType& o) {
    if (__builtin_add_overflow(m_cent, o.m_cent, &m_cent)) m_cent = o.m_cent > 0 ? kGroesst : -kGroesst;
    return *this;
}

EuroType& EuroType::operator-=(const EuroType& o) {
    if (__builtin_sub_overflow(m_cent, o.m_cent, &m_cent)) m_cent = o.m_cent < 0 ? kGroesst : -kGroesst;
    return *this;
}

EuroType EuroType::operator-() const { return EuroType(m_cent == kKleinst ? kGroesst : -m_cent); }

// Written into a buffer by hand: lists and exports format an amount per
// line, and building it from pieces would cost more than the rest of a line.
QString EuroType::getText(int flags) const {
    if ((flags & TextLeerBeiNull) && m_cent == 0) return QString();
    const bool neg = m_cent < 0;
    quint64 rest = neg ? quint64(0) - quint64(m_cent) : quint64(m_cent);
    const bool punkt = flags & TextPunkt;
    const bool tausender = !(flags & TextOhneTausender) && !punkt;
    QChar puffer[40];  // 19 digits, 6 separators, sign, decimals, " €"
    int i = 40;
    if (flags & TextMitEuro) {
        puffer[--i] = QChar(0x20AC);
        puffer[--i] = QLatin1Char(' ');
    }
    puffer[--i] = QLatin1Char(char('0' + rest % 10));
    rest /= 10;
    puffer[--i] = QLatin1Char(char('0' + rest % 10));
    rest /= 10;
    puffer[--i] = punkt ? QLatin1Char('.') : QLatin1Char(',');
    int stellen = 0;
    do {
        if (tausender && stellen > 0 && stellen % 3 == 0) puffer[--i] = QLatin1Char('.');
        puffer[--i] = QLatin1Char(char('0' + rest % 10));
        rest /= 10;
        ++stellen;
    } while (rest > 0);
    if (neg) puffer[--i] = QLatin1Char('-');
    return QString(puffer + i, 40 - i);
}

namespace {
bool ziffer(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// The parts of an amount text by the rules at the top of this file: sign,
// digits of the whole euros (thousands dots left out) and of the cents.
// Read by hand: an import reads two amounts per row, and the patterns this
// replaces cost more than the rest of reading the row.
struct Teile {
    bool minus = false;
    quint64 ganz = 0;     // exact while `zuGross` is false
    bool zuGross = false; // more whole euros than any amount has
    int dez = 0, dezStellen = 0;
};

void ziffernDazu(Teile& t, QChar c) {
    // Beyond 10^12 the value no longer matters: the amount is refused.
    if (t.ganz > 1000000000000ULL) t.zuGross = true;
    else t.ganz = t.ganz * 10 + (c.unicode() - '0');
}

bool zerlegen(QStringView s, Teile* t) {
    const int n = s.size();
    const QChar* c = s.data();
    int i = 0;
    if (i < n && (c[i] == QLatin1Char('+') || c[i] == QLatin1Char('-'))) t->minus = c[i++] == QLatin1Char('-');
    const int anfang = i;
    while (i < n && ziffer(c[i])) ziffernDazu(*t, c[i++]);
    const int lauf = i - anfang;
    if (lauf == 0) return false;
    if (i < n && c[i] == QLatin1Char('.')) {
        // "1234.56": a decimal point, when one or two digits end the text.
        int j = i + 1;
        while (j < n && ziffer(c[j])) ++j;
        if (j == n && (j - i - 1 == 1 || j - i - 1 == 2)) {
            for (int k = i + 1; k < n; ++k) t->dez = t->dez * 10 + (c[k].unicode() - '0');
            t->dezStellen = n - i - 1;
            return true;
        }
        // Else thousands: groups of exactly three digits after one to three.
        if (lauf > 3) return false;
        while (i < n && c[i] == QLatin1Char('.')) {
            if (n - i < 4 || !ziffer(c[i + 1]) || !ziffer(c[i + 2]) || !ziffer(c[i + 3])) return false;
            ziffernDazu(*t, c[i + 1]);
            ziffernDazu(*t, c[i + 2]);
            ziffernDazu(*t, c[i + 3]);
            i += 4;
        }
        if (i < n && ziffer(c[i])) return false;
    }
    if (i == n) return true;
    // ",5" or ",56" ends the text.
    if (c[i] != QLatin1Char(',')) return false;
    const int rest = n - i - 1;
    if (rest < 1 || rest > 2) return false;
    for (int k = i + 1; k < n; ++k) {
        if (!ziffer(c[k])) return false;
        t->dez = t->dez * 10 + (c[k].unicode() - '0');
    }
    t->dezStellen = rest;
    return true;
}
}  // namespace

bool EuroType::fromText(const QString& text, EuroType* out) { return fromText(QStringView(text), out); }

bool EuroType::fromText(QStringView text, EuroType* out) {
    if (out) *out = EuroType();
    QStringView s = text.trimmed();
    if (s.endsWith(QChar(0x20AC))) s = s.left(s.size() - 1).trimmed();
    Teile t;
    if (!zerlegen(s, &t) || t.zuGross) return false;
    qint64 c = qint64(t.ganz) * 100 + (t.dezStellen == 1 ? t.dez * 10 : t.dez);
    if (c > kHoechstCent) return false;
    if (out) *out = EuroType(t.minus ? -c : c);
    return true;
}

bool EuroType::istGeldbetrag(double wert) {
    if (!std::isfinite(wert) || std::fabs(wert) > kHoechstbetrag + 1e-9) return false;
    return std::fabs(wert - runden(wert, 2)) <= 1e-7;
}
