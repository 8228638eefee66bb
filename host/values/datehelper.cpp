// Date input and recurring intervals (see datehelper.h for the vocabulary).
#include "host/values/datehelper.h"

#include <QRegularExpression>

namespace DateHelper {
namespace {
int g_defaultYear = 2016;

struct IntervallArt {
    int code;
    int tage;    // day-based step, 0 for month-based
    int monate;  // month-based step
    const char* text;
};

const IntervallArt kIntervalle[] = {
    {Woechentlich, 7, 0, "wöchentlich"},         {Zweiwoechentlich, 14, 0, "14-tägig"},
    {Monatlich, 0, 1, "monatlich"},              {Zweimonatlich, 0, 2, "zweimonatlich"},
    {Vierteljaehrlich, 0, 3, "vierteljährlich"}, {Halbjaehrlich, 0, 6, "halbjährlich"},
    {Jaehrlich, 0, 12, "jährlich"},              {Vierwoechentlich, 28, 0, "vierwöchentlich"},
};

const IntervallArt* find(int code) {
    for (const auto& i : kIntervalle)
        if (i.code == code) return &i;
    return nullptr;
}

int fullYear(int y) { return y < 100 ? 2000 + y : y; }
}  // namespace

QString intervallText(int intervall) {
    const IntervallArt* i = find(intervall);
    return i ? QString::fromUtf8(i->text) : QString();
}

void setDefaultYear(int year) { g_defaultYear = year; }
int defaultYear() { return g_defaultYear; }

zDate fromDMYtoDate(int day, int month, int year) {
    const int y = year <= 0 ? g_defaultYear : fullYear(year);
    return zDate(y, month, day);
}

zDate fromDMYtoDate(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})?$"));
    QRegularExpressionMatch m = dotted.match(t);
    if (m.hasMatch()) {
        const int y = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        return fromDMYtoDate(m.captured(1).toInt(), m.captured(2).toInt(), y);
    }
    static const QRegularExpression digits(QStringLiteral("^\\d{4}(\\d{2}|\\d{4})?$"));
    if (digits.match(t).hasMatch()) {
        const int y = t.size() > 4 ? t.mid(4).toInt() : 0;
        return fromDMYtoDate(t.left(2).toInt(), t.mid(2, 2).toInt(), y);
    }
    return zDate();
}

zDate incByInterval(const zDate& current, int intervall, const zDate& first, int schritte) {
    const IntervallArt* art = find(intervall);
    if (!art || !current.isValid() || !first.isValid()) return zDate();
    if (art->tage > 0) {
        // Day steps keep the rhythm of the series even when `current` was moved.
        const qint64 diff = first.qdate().daysTo(current.qdate());
        const qint64 k = diff >= 0 ? diff / art->tage : -((-diff + art->tage - 1) / art->tage);
        return first.addDays((k + schritte) * art->tage);
    }
    // Month steps are counted from the first date, whose day number wins
    // whenever the target month is long enough (31.01. → 29.02. → 31.03.).
    const int diffMonate = (current.year() - first.year()) * 12 + (current.month() - first.month());
    const int k = diffMonate >= 0 ? diffMonate / art->monate : -((-diffMonate + art->monate - 1) / art->monate);
    return first.addMonths((k + schritte) * art->monate);
}

}  // namespace DateHelper
