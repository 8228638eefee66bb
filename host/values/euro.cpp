// Money rounding, comparison, formatting and parsing.
//
// Parsing rules of fromText (German input first, machine input second):
//   "1.234,56"  dot = thousands separator, comma = decimal comma
//   "1234,56"   comma = decimal comma
//   "1234.56"   a single dot followed by one or two digits = decimal point
//   "1.234"     a dot followed by exactly three digits and no comma = thousands
//   at most two decimals; anything else is refused.
#include "host/values/euro.h"

#include <QRegularExpression>
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

bool EuroType::fromText(const QString& text, EuroType* out) {
    if (out) *out = EuroType(0.0);
    QString s = text.trimmed();
    if (s.endsWith(QStringLiteral("€"))) s = s.left(s.size() - 1).trimmed();
    static const QRegularExpression german(QStringLiteral("^([+-]?)(\\d{1,3}(?:\\.\\d{3})+|\\d+)(?:,(\\d{1,2}))?$"));
    static const QRegularExpression machine(QStringLiteral("^([+-]?)(\\d+)\\.(\\d{1,2})$"));
    QString sign, ganz, dez;
    QRegularExpressionMatch m = machine.match(s);
    if (m.hasMatch()) {
        sign = m.captured(1);
        ganz = m.captured(2);
        dez = m.captured(3);
    } else {
        m = german.match(s);
        if (!m.hasMatch()) return false;
        sign = m.captured(1);
        ganz = m.captured(2).remove(QLatin1Char('.'));
        dez = m.captured(3);
    }
    bool ok = false;
    const double g = ganz.toDouble(&ok);
    if (!ok) return false;
    double v = g;
    if (!dez.isEmpty()) v += dez.toDouble() / (dez.size() == 1 ? 10.0 : 100.0);
    if (sign == QLatin1String("-")) v = -v;
    if (!(std::fabs(v) <= kHoechstbetrag + kEpsilon)) return false;
    if (out) *out = EuroType(runden(v, 2));
    return true;
}

bool EuroType::istGeldbetrag(double wert) {
    if (!std::isfinite(wert) || std::fabs(wert) > kHoechstbetrag + kEpsilon) return false;
    return std::fabs(wert - runden(wert, 2)) <= 1e-7;
}
