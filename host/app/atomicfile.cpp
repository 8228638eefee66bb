// Atomic file saving (see atomicfile.h).
#include "host/app/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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
    if (!tmp.open()) return fehler(error, path, rsDateifehlerText(errno));

    QByteArray rest = data;
    if (g_failAfter >= 0) {
        rest = data.left(int(g_failAfter));
        g_failAfter = -1;
        tmp.write(rest);
        return fehler(error, path, QStringLiteral("Kein Speicherplatz mehr auf dem Datenträger."));
    }
    if (tmp.write(rest) != rest.size() || !tmp.flush()) return fehler(error, path, rsDateifehlerText(errno));
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

QString rsDateifehlerText(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist kein Speicherplatz mehr frei. Schaffen Sie Platz und versuchen Sie es erneut.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Keine Berechtigung. Prüfen Sie die Zugriffsrechte der Datei und ihres Verzeichnisses.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOENT:
        return QStringLiteral("Die Datei oder das Verzeichnis existiert nicht.");
    case EEXIST:
        return QStringLiteral("Eine Datei dieses Namens existiert bereits.");
    case EISDIR:
        return QStringLiteral("Der Name bezeichnet ein Verzeichnis.");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler des Datenträgers.");
    case EXDEV:
        return QStringLiteral("Die Datei liegt auf einem anderen Datenträger.");
    case 0:
        return QStringLiteral("Die Datei konnte nicht geschrieben werden.");
    default:
        return QStringLiteral("Systemfehler %1.").arg(e);
    }
}

namespace {
bool syncPfad(const QString& pfad, bool verzeichnis) {
    const int fd = ::open(QFile::encodeName(pfad).constData(), (verzeichnis ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
}  // namespace

bool rsInstallFileAtomic(const QString& fertig, const QString& ziel, bool ersetzen, QString* error) {
    const QFileInfo fi(ziel);
    const QByteArray von = QFile::encodeName(fertig);
    const QByteArray nach = QFile::encodeName(fi.absoluteFilePath());
    auto scheitern = [&](const QString& grund) {
        ::unlink(von.constData());
        return fehler(error, ziel, grund);
    };
    if (!syncPfad(fertig, false)) return scheitern(rsDateifehlerText(errno));
    if (g_failRename) {
        g_failRename = false;
        return scheitern(QStringLiteral("Die Datei konnte nicht umbenannt werden."));
    }
    if (ersetzen) {
        if (std::rename(von.constData(), nach.constData()) != 0) return scheitern(rsDateifehlerText(errno));
    } else {
        // link(2) fails with EEXIST instead of replacing: the check and the
        // creation of the name are one step.
        if (::link(von.constData(), nach.constData()) != 0) return scheitern(rsDateifehlerText(errno));
        ::unlink(von.constData());
    }
    syncPfad(fi.absolutePath(), true);
    return true;
}
