// Calendar dates of bookings (see date.h).
#include "host/values/date.h"

#include <QRegularExpression>
#include <QStringView>

zDate zDate::fromText(const QString& ddmmyyyy) { return fromText(QStringView(ddmmyyyy)); }

zDate zDate::fromText(QStringView ddmmyyyy) {
    // "d.m.yyyy" with one or two digits for day and month and four for the
    // year, read by hand: an import reads two dates per row.
    const QStringView t = ddmmyyyy.trimmed();
    const QChar* c = t.data();
    const int n = t.size();
    int i = 0;
    // The number of `min` to `max` ASCII digits at i, or -1.
    auto zahl = [&](int min, int max) {
        int v = 0, k = 0;
        for (; k < max && i < n && c[i].unicode() >= '0' && c[i].unicode() <= '9'; ++k, ++i) v = v * 10 + (c[i].unicode() - '0');
        return k >= min ? v : -1;
    };
    auto punkt = [&] { return i < n && c[i++] == QLatin1Char('.'); };
    const int tag = zahl(1, 2);
    if (tag < 0 || !punkt()) return zDate();
    const int monat = zahl(1, 2);
    if (monat < 0 || !punkt()) return zDate();
    const int jahr = zahl(4, 4);
    if (jahr < 0 || i != n) return zDate();
    return zDate(jahr, monat, tag);
}

zDate zDate::fromIso(const QString& iso) {
    // The stored form 'YYYY-MM-DD 00:00:00' (and the bare date) is read by
    // hand: a ledger pass reads several dates per booking, and the pattern
    // below costs more than the rest of such a pass. Anything else goes
    // through the pattern, so both ways agree on every text.
    const int n = iso.size();
    if (n == 10 || n == 19) {
        const QChar* c = iso.constData();
        auto ziffer = [&](int i) { return c[i] >= QLatin1Char('0') && c[i] <= QLatin1Char('9'); };
        auto zahl = [&](int von, int bis) {
            int v = 0;
            for (int i = von; i < bis; ++i) v = v * 10 + (c[i].unicode() - '0');
            return v;
        };
        bool ok = ziffer(0) && ziffer(1) && ziffer(2) && ziffer(3) && c[4] == QLatin1Char('-') && ziffer(5) && ziffer(6) &&
                  c[7] == QLatin1Char('-') && ziffer(8) && ziffer(9);
        if (ok && n == 19)
            ok = (c[10] == QLatin1Char(' ') || c[10] == QLatin1Char('T')) && ziffer(11) && ziffer(12) && c[13] == QLatin1Char(':') &&
                 ziffer(14) && ziffer(15) && c[16] == QLatin1Char(':') && ziffer(17) && ziffer(18);
        if (ok) return zDate(zahl(0, 4), zahl(5, 7), zahl(8, 10));
    }
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T]\\d{2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?)?$"));
    const QRegularExpressionMatch m = re.match(iso.trimmed());
    if (!m.hasMatch()) return zDate();
    return zDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString zDate::getText() const { return isValid() ? m_d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

QString zDate::toIso() const { return isValid() ? m_d.toString(QStringLiteral("yyyy-MM-dd")) : QString(); }
