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
// SHA-256 of a file's bytes (empty for a missing file).
QByteArray hashOf(const QString& path);
