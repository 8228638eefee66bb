// The case a command works on (see fall.h).
#include "app/fall.h"

#include "app/cli.h"
#include "host/app/global.h"
#include "host/db/connection.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace cli {

namespace {
int g_warteSekunden = Falldatei::kStandardWarteMs / 1000;

const QString kArbeitPraefix = QStringLiteral("dalvo16-");

// The working directory of a command is named after its process, so that
// the next command can remove what a killed one left behind.
QString arbeitsVorlage() {
    return QDir(QDir::tempPath()).filePath(kArbeitPraefix + QString::number(::getpid()) + QStringLiteral("-XXXXXX"));
}

void raeumeVerwaisteAuf() {
    const QDir tmp(QDir::tempPath());
    for (const QString& name : tmp.entryList({kArbeitPraefix + QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QStringList teile = name.mid(kArbeitPraefix.size()).split(QLatin1Char('-'));
        bool ok = false;
        const pid_t pid = pid_t(teile.value(0).toLong(&ok));
        if (!ok || pid <= 0 || pid == ::getpid()) continue;
        // Only a directory whose process is gone is removed; one of another
        // user's live process answers EPERM and stays.
        if (::kill(pid, 0) != 0 && errno == ESRCH) QDir(tmp.filePath(name)).removeRecursively();
    }
}
}  // namespace

void setWarteSekunden(int s) { g_warteSekunden = s; }
int warteSekunden() { return g_warteSekunden; }

Fall::Fall() : m_home((raeumeVerwaisteAuf(), arbeitsVorlage())), m_root(Kont_::New()) {
    // Working files (templates, a converted copy) live in a directory of
    // their own, so two commands never share one.
    GlobalInst::reset(m_home.path());
    m_kg = GetKontoGlobal(0, false);
    DatenBase::setRootNode(QStringLiteral("Kont_"), m_root.get());
    // A command saves its case when it has finished (ausfuehren); a lock set
    // on the way is saved with it.
    KontoGlobal::setSichernHook([] { return true; });
}

Fall::~Fall() {
    m_datei.verwerfen();
    KontoGlobal::setSichernHook(nullptr);
    m_root.reset();
    GlobalInst::reset();
}

bool Fall::neu(QString* error) {
    m_kg->createConnectionKonto(true);
    if (!m_kg->isConnected()) {
        if (error) *error = QStringLiteral("Die Buchhaltungsdatenbank konnte nicht angelegt werden.");
        return false;
    }
    m_kg->setEurUID(QUuid::createUuid().toString(QUuid::WithoutBraces));
    return true;
}

int Fall::neueFalldateiPruefen(const QString& befehlName, const QString& pfad) {
    const QFileInfo fi(pfad);
    if (fi.isDir()) {
        err(QStringLiteral("Fehler: „%1“ ist ein Verzeichnis. Bitte geben Sie den Namen der neuen Falldatei an, etwa „%2“.\n")
                .arg(pfad, QDir(pfad).filePath(QStringLiteral("fall.dalvo"))));
        return Refused;
    }
    // A dangling symbolic link counts as taken: the file would appear elsewhere.
    if (fi.exists() || fi.isSymLink()) {
        err(QStringLiteral("Fehler: Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben. Bitte geben Sie einen neuen "
                           "Dateinamen an.\n")
                .arg(pfad));
        return Refused;
    }
    if (!QFileInfo(fi.absolutePath()).isDir())
        return usageError(befehlName, QStringLiteral("Das Verzeichnis der neuen Falldatei „%1“ existiert nicht.").arg(pfad));
    return -1;
}

QString Fall::betriebsname(const QString& pfad) const {
    const QString firma = Faktura::leseFirma(m_kg->GetDBConnect_Ptr()).name.trimmed();
    return firma.isEmpty() ? QFileInfo(pfad).completeBaseName() : firma;
}

bool Fall::anlegen(const QString& path, QString* error) { return Falldatei::anlegen(path, *m_root, error); }

int Fall::ausfuehren(const QString& befehlName, const QString& path, Zugriff zugriff,
                     const std::function<int(Fall&)>& befehl) {
    if (!QFileInfo::exists(path))
        return usageError(befehlName, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(path));
    const bool schreiben = zugriff == Zugriff::Schreiben;
    Fall fall;
    QString e;
    if (!fall.m_datei.oeffnen(path, schreiben ? Falldatei::Zugriff::Schreiben : Falldatei::Zugriff::Lesen,
                              warteSekunden() * 1000, fall.root(), &e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        if (fall.m_datei.warGesperrt())
            err(QStringLiteral("Mit --warten SEKUNDEN wartet dalvo länger auf den anderen Befehl.\n"));
        return Refused;
    }
    // A writing command's result is held back until it is in the file.
    if (schreiben) beginAusgabePuffer();
    const int rc = befehl(fall);
    if (rsDbCorruptionSeen()) {
        if (schreiben) endeAusgabePuffer(false);
        err(QStringLiteral("Fehler: %1\n").arg(Falldatei::beschaedigtText(path)));
        return Refused;
    }
    if (!schreiben) return rc;
    if (rc != Ok) {
        endeAusgabePuffer(false);
        return rc;
    }
    if (fall.geaendert() && !fall.m_datei.sichern(fall.root(), &e)) {
        endeAusgabePuffer(false);
        err(QStringLiteral("Fehler: %1\n").arg(e));
        if (fall.m_datei.warGesperrt())
            err(QStringLiteral("Mit --warten SEKUNDEN wartet dalvo länger auf den anderen Befehl.\n"));
        return Refused;
    }
    endeAusgabePuffer(true);
    return Ok;
}

}  // namespace cli
