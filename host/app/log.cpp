// Process-wide assertion and error log (see log.h).
#include "host/app/log.h"

#include <QList>
#include <cstdio>

namespace {
QList<LogEintrag>& store() {
    static QList<LogEintrag> s;
    return s;
}

void add(LogEintrag::Art art, const QString& quelle, int zeile, const QString& text) {
    store().append({art, quelle, zeile, text});
    if (!qEnvironmentVariableIsEmpty("DALVO_LOG_STDERR")) {
        std::fprintf(stderr, "%s %s:%d: %s\n", art == LogEintrag::Assert ? "assert" : "error",
                     quelle.toUtf8().constData(), zeile, text.toUtf8().constData());
    }
}
}  // namespace

void rs_logAssert(const QString& quelle, int zeile, const QString& text) { add(LogEintrag::Assert, quelle, zeile, text); }
void rs_logError(const QString& quelle, int zeile, const QString& text) { add(LogEintrag::Error, quelle, zeile, text); }

namespace rsLog {
const QList<LogEintrag>& entries() { return store(); }
QStringList assertTexts() {
    QStringList out;
    for (const auto& e : store())
        if (e.art == LogEintrag::Assert) out << e.text;
    return out;
}
void clear() { store().clear(); }
}  // namespace rsLog
