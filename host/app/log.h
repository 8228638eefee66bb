// Assertion and error log. Failures of internal consistency are written here
// and processing continues; tests read the log to prove that an assertion
// fired (or did not). The log is process-wide and also mirrored to stderr when
// DALVO_LOG_STDERR is set.
#pragma once

#include <QString>
#include <QStringList>

struct LogEintrag {
    enum Art { Assert, Error } art;
    QString quelle;  // source file, e.g. "kontbaum/kontglob"
    int zeile;
    QString text;    // the violated condition or the error
};

void rs_logAssert(const QString& quelle, int zeile, const QString& text);
void rs_logError(const QString& quelle, int zeile, const QString& text);

namespace rsLog {
const QList<LogEintrag>& entries();
QStringList assertTexts();
void clear();
}  // namespace rsLog
