// Atomic file saving (see atomicfile.h).
#include "host/app/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace {
bool g_failRename = false;
qint64 g_failAfter = -1;

bool fehler(QString* error, const QString& path, const QString& grund) {
    if (error) *error = QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden: %2").arg(path, grund);
    return false;
}
}  // namespace

namespace rsAtomicFileTest {
void failNextRename(bool on) { g_failRename = on; }
void failAfterBytes(qint64 n) { g_failAfter = n; }
}  // namespace rsAtomicFileTest

bool rsWriteFileAtomic(const QString& path, const QByteArray& data, QString* error) {
    const QFileInfo fi(path);
    if (!QFileInfo(fi.absolutePath()).isDir())
        return fehler(error, path, QStringLiteral("Das Verzeichnis existiert nicht."));

    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(true);  // removed on every failure path
    if (!tmp.open()) return fehler(error, path, tmp.errorString());

    QByteArray rest = data;
    if (g_failAfter >= 0) {
        rest = data.left(int(g_failAfter));
        g_failAfter = -1;
        tmp.write(rest);
        return fehler(error, path, QStringLiteral("Kein Speicherplatz mehr auf dem Datenträger."));
    }
    if (tmp.write(rest) != rest.size() || !tmp.flush()) return fehler(error, path, tmp.errorString());
    if (::fsync(tmp.handle()) != 0) return fehler(error, path, QStringLiteral("Die Daten konnten nicht geschrieben werden."));
    if (QFile::exists(path)) tmp.setPermissions(QFile(path).permissions());
    else tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    if (g_failRename) {
        g_failRename = false;
        return fehler(error, path, QStringLiteral("Die Datei konnte nicht umbenannt werden."));
    }
    // rename(2) replaces the target atomically; QFile::rename refuses an existing target.
    const QByteArray from = QFile::encodeName(tmp.fileName());
    const QByteArray to = QFile::encodeName(fi.absoluteFilePath());
    if (std::rename(from.constData(), to.constData()) != 0)
        return fehler(error, path, QStringLiteral("Die Datei konnte nicht umbenannt werden."));
    tmp.setAutoRemove(false);  // it is the target now
    return true;
}
