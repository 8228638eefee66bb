// Running the dalvo program from tests, as a script would.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct Lauf {
    int rc;
    QString out;
    QString err;
};

// Runs DALVO_BIN with `args` (and `stdinText` on its input) in a private
// home directory; waits up to a minute.
Lauf dalvo(const QStringList& args, const QByteArray& stdinText = QByteArray());
// Writes a bookings CSV of `anzahl` interest incomes (2650 to the bank
// 1200, amounts 1,25 to anzahl,25, dates spread over the year) to `pfad`,
// for tests that need an import of some size. False when it cannot be written.
bool schreibeZinsenCsv(const QString& pfad, int anzahl);
// SHA-256 of a file's bytes (empty for a missing file).
QByteArray hashOf(const QString& path);
