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

namespace {
// Amounts are sums of cents; 1e-9 euro is far below a cent and far above the
// representation error of any amount a small business books.
constexpr double kEpsilon = 1e-9;

double pow10(int n) {
    double f = 1.0;
    for (int i = 0; i < n; ++i) f *= 10.0;
    for (int i = 0; i > n; --i) f /= 10.0;
    return f;
}
}  // namespace

double EuroType::runden(double wert, int stellen, RundungsModus mode) {
    const double f = pow10(stellen);
    const double x = std::fabs(wert) * f;
    double r;
    switch (mode) {
    case RundungsModus::Abschneiden: r = std::floor(x + kEpsilon * f); break;
    case RundungsModus::Aufrunden: r = std::ceil(x - kEpsilon * f); break;
    default: r = std::floor(x + 0.5 + kEpsilon * f); break;
    }
    const double out = r / f;
    return wert < 0 ? -out : out;
}

double EuroType::rundenAb(double wert, int stellen) { return runden(wert, stellen, RundungsModus::Abschneiden); }

EuroType EuroType::Runden(int stellen, RundungsModus mode) const { return EuroType(runden(m_wert, stellen, mode)); }

EuroType EuroType::RundenAb(int stellen, RundungsModus) const { return EuroType(rundenAb(m_wert, stellen)); }

bool EuroType::isNull() const { return runden(m_wert, 2) == 0.0; }

bool operator==(const EuroType& a, const EuroType& b) { return EuroType::runden(a.m_wert - b.m_wert, 2) == 0.0; }

QString EuroType::getText(int flags) const {
    const double r = runden(m_wert, 2);
    if ((flags & TextLeerBeiNull) && r == 0.0) return QString();
    const bool neg = r < 0;
    const qlonglong cents = qlonglong(std::llround(std::fabs(r) * 100.0));
    QString ganz = QString::number(cents / 100);
    const QString dez = QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
    const bool punkt = flags & TextPunkt;
    if (!(flags & TextOhneTausender) && !punkt) {
        for (int i = ganz.size() - 3; i > 0; i -= 3) ganz.insert(i, QLatin1Char('.'));
    }
    QString s = (neg ? QStringLiteral("-") : QString()) + ganz + (punkt ? QLatin1Char('.') : QLatin1Char(',')) + dez;
    if (flags & TextMitEuro) s += QStringLiteral(" €");
    return s;
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
    if (out) *out = EuroType(0.0);
    QStringView s = text.trimmed();
    if (s.endsWith(QChar(0x20AC))) s = s.left(s.size() - 1).trimmed();
    Teile t;
    if (!zerlegen(s, &t) || t.zuGross) return false;
    // The same operations in the same order as a whole-euro part plus its
    // cents, so that every text gives the same double as ever.
    double v = double(t.ganz);
    if (t.dezStellen > 0) v += double(t.dez) / (t.dezStellen == 1 ? 10.0 : 100.0);
    if (t.minus) v = -v;
    if (!(std::fabs(v) <= kHoechstbetrag + kEpsilon)) return false;
    if (out) *out = EuroType(runden(v, 2));
    return true;
}

bool EuroType::istGeldbetrag(double wert) {
    if (!std::isfinite(wert) || std::fabs(wert) > kHoechstbetrag + kEpsilon) return false;
    return std::fabs(wert - runden(wert, 2)) <= 1e-7;
}
