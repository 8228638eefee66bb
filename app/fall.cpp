// The case a command works on (see fall.h).
#include "app/fall.h"

#include "app/cli.h"
#include "host/app/global.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>
#include <QUuid>

namespace cli {

Fall::Fall() : m_root(Kont_::New()) {
    // Working files live in a directory of their own, so two commands on
    // different cases never share a working database.
    GlobalInst::reset(m_home.path());
    m_kg = GetKontoGlobal(0, false);
    DatenBase::setRootNode(QStringLiteral("Kont_"), m_root.get());
    // A command saves its case when it has finished (ausfuehren); a lock set
    // on the way is saved with it.
    KontoGlobal::setSichernHook([] { return true; });
}

Fall::~Fall() {
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

bool Fall::laden(const QString& path, QString* error) { return Falldatei::laden(path, *m_root, error); }

bool Fall::speichern(const QString& path, QString* error) { return Falldatei::speichern(path, *m_root, error); }

int Fall::ausfuehren(const QString& befehlName, const QString& path, Zugriff zugriff,
                     const std::function<int(Fall&)>& befehl) {
    if (!QFileInfo::exists(path))
        return usageError(befehlName, QStringLiteral("Die Falldatei „%1“ existiert nicht.").arg(path));
    Fall fall;
    QString e;
    if (!fall.laden(path, &e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    const int rc = befehl(fall);
    if (rc != Ok || zugriff != Zugriff::Schreiben || !fall.geaendert()) return rc;
    if (!fall.speichern(path, &e)) {
        err(QStringLiteral("Fehler: %1\n").arg(e));
        return Refused;
    }
    return Ok;
}

}  // namespace cli
