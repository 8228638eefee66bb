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

class QTemporaryDir;
// A new case file `name` in `dir` of the tax year `jahr` (SKR03, liable to
// VAT, no example bookings) made by `dalvo new`; fails the test when it
// cannot be made.
QString neuerFall(const QTemporaryDir& dir, const QString& name = QStringLiteral("fall.dalvo"),
                  const QString& jahr = QStringLiteral("2016"));
// Straight SQL on a case file, as an older program or another tool would
// leave it: runs `sql` (several statements allowed); false on any error.
bool sqlAusfuehren(const QString& datei, const QString& sql);
// The first column of the first row of `sql` on the case file, read only:
// as a number (-1 without a row) or as text (empty without a row).
long long sqlZahl(const QString& datei, const QString& sql);
QString sqlText(const QString& datei, const QString& sql);
