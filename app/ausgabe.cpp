// Targets of files a command writes (see ausgabe.h).
#include "app/ausgabe.h"

#include "host/app/atomicfile.h"
#include "kontbaum/fall/falldatei.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

namespace cli {

bool pruefeAusgabeziel(const QString& angabe, const QString& fallPfad, bool ersetzen, Ausgabeziel* ziel, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    *ziel = Ausgabeziel();
    if (angabe == QLatin1String("-")) {
        ziel->standardausgabe = true;
        return true;
    }
    if (angabe.isEmpty()) return nein(QStringLiteral("Keine Zieldatei angegeben (für die Standardausgabe „-“)."));
    QFileInfo fi(angabe);
    QString pfad = fi.absoluteFilePath();
    if (fi.isSymLink()) {
        // A dangling link names the file to create: its target.
        const QString auf = fi.symLinkTarget();
        if (auf.isEmpty()) return nein(QStringLiteral("Der Verweis „%1“ führt nirgendwohin.").arg(angabe));
        pfad = QFileInfo(auf).absoluteFilePath();
        fi = QFileInfo(pfad);
    }
    const QString fall = QFileInfo(fallPfad).canonicalFilePath();
    if (fi.exists()) {
        if (!fall.isEmpty() && fi.canonicalFilePath() == fall)
            return nein(QStringLiteral("„%1“ ist die Falldatei selbst; sie wird nie durch eine Ausgabe ersetzt.").arg(angabe));
        if (fi.isDir())
            return nein(QStringLiteral("„%1“ ist ein Verzeichnis; bitte geben Sie den Namen einer Datei darin an.").arg(angabe));
        if (!fi.isFile())
            return nein(QStringLiteral("„%1“ ist ein Gerät oder eine Pipe und wird nicht beschrieben. Für die Standardausgabe geben Sie "
                                       "„-“ an.")
                            .arg(angabe));
        if (Falldatei::istFalldatei(pfad))
            return nein(QStringLiteral("„%1“ ist eine Falldatei; sie wird nie durch eine Ausgabe ersetzt.").arg(angabe));
        if (!ersetzen)
            return nein(QStringLiteral("Die Datei „%1“ existiert bereits. Mit --ersetzen wird sie ersetzt.").arg(angabe));
    }
    if (!QFileInfo(fi.absolutePath()).isDir())
        return nein(QStringLiteral("Das Verzeichnis „%1“ existiert nicht.").arg(QDir::toNativeSeparators(fi.absolutePath())));
    ziel->pfad = pfad;
    return true;
}

bool pruefeEingabedatei(const QString& pfad, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    struct stat st;
    if (pfad.isEmpty() || ::stat(QFile::encodeName(pfad).constData(), &st) != 0)
        return nein(QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(pfad));
    if (S_ISDIR(st.st_mode)) return nein(QStringLiteral("„%1“ ist ein Verzeichnis; bitte geben Sie eine Datei an.").arg(pfad));
    if (!S_ISREG(st.st_mode))
        return nein(QStringLiteral("„%1“ ist keine gewöhnliche Datei (sondern ein Gerät, eine Pipe oder ein Socket); bitte geben Sie eine "
                                   "Datei an.")
                        .arg(pfad));
    if (!QFileInfo(pfad).isReadable())
        return nein(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden; fehlt die Berechtigung?").arg(pfad));
    return true;
}

bool schreibeAusgabe(const Ausgabeziel& ziel, const std::function<bool(QIODevice*, QString*)>& schreiben, QString* fehler) {
    if (ziel.standardausgabe) {
        std::fflush(stdout);
        QFile aus;
        if (!aus.open(stdout, QIODevice::WriteOnly)) {
            if (fehler) *fehler = QStringLiteral("Die Standardausgabe ist nicht beschreibbar.");
            return false;
        }
        if (!schreiben(&aus, fehler)) return false;
        if (!aus.flush() || aus.error() != QFileDevice::NoError) {
            if (fehler) *fehler = QStringLiteral("Die Ausgabe konnte nicht vollständig geschrieben werden.");
            return false;
        }
        return true;
    }
    const QFileInfo fi(ziel.pfad);
    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(true);  // removed on every failure path
    if (!tmp.open()) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ konnte nicht angelegt werden: %2").arg(ziel.pfad, rsDateifehlerText(errno));
        return false;
    }
    if (!schreiben(&tmp, fehler)) return false;
    if (!tmp.flush() || tmp.error() != QFileDevice::NoError) {
        if (fehler)
            *fehler = QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden. Bitte prüfen Sie, ob auf dem Datenträger genug "
                                     "Platz frei ist.")
                          .arg(ziel.pfad);
        return false;
    }
    if (QFile::exists(ziel.pfad)) tmp.setPermissions(QFile(ziel.pfad).permissions());
    else tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    tmp.close();
    if (!rsInstallFileAtomic(tmp.fileName(), ziel.pfad, true, fehler)) return false;
    tmp.setAutoRemove(false);  // it is the target now
    return true;
}

}  // namespace cli
