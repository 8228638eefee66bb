// Calendar dates of bookings (see date.h).
#include "host/values/date.h"

#include <QRegularExpression>

zDate zDate::fromText(const QString& ddmmyyyy) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QRegularExpressionMatch m = re.match(ddmmyyyy.trimmed());
    if (!m.hasMatch()) return zDate();
    return zDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

zDate zDate::fromIso(const QString& iso) {
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T]\\d{2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?)?$"));
    const QRegularExpressionMatch m = re.match(iso.trimmed());
    if (!m.hasMatch()) return zDate();
    return zDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString zDate::getText() const { return isValid() ? m_d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

QString zDate::toIso() const { return isValid() ? m_d.toString(QStringLiteral("yyyy-MM-dd")) : QString(); }
