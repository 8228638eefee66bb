// The window's session on one case file (see sitzung.h).
#include "fenster/sitzung.h"

#include "host/app/global.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QDir>
#include <QFileInfo>

namespace fenster {

// What exists while a case is open: the private working directory of the
// module, the manager of slot 0, the record and the file.
struct Sitzung::Offen {
    QTemporaryDir home{QDir(QDir::tempPath()).filePath(QStringLiteral("dalvo16-fenster-XXXXXX"))};
    KontoGlobal* kg = nullptr;
    std::unique_ptr<Kont_> root{Kont_::New()};
    Falldatei datei;
    ~Offen() {
        datei.schliessenSitzung();
        KontoGlobal::setSichernHook(nullptr);
        root.reset();
        GlobalInst::reset();
    }
};

Sitzung::Sitzung(QObject* parent) : QObject(parent) {
    m_wache.setInterval(1000);
    connect(&m_wache, &QTimer::timeout, this, [this] { aenderungVonAussenPruefen(); });
}

Sitzung::~Sitzung() { m_offen.reset(); }

KontoGlobal* Sitzung::kg() const { return m_offen ? m_offen->kg : nullptr; }
Kont_* Sitzung::root() const { return m_offen ? m_offen->root.get() : nullptr; }

bool Sitzung::oeffnen(const QString& pfad, QString* fehler) {
    schliessen();
    auto offen = std::make_unique<Offen>();
    GlobalInst::reset(offen->home.path());
    offen->kg = GetKontoGlobal(0, false);
    DatenBase::setRootNode(QStringLiteral("Kont_"), offen->root.get());
    // Every action is saved when it ends (handeln); a lock set on the way
    // is saved with it.
    KontoGlobal::setSichernHook([] { return true; });
    if (!offen->datei.oeffnenSitzung(pfad, kWarteMs, *offen->root, fehler)) return false;
    m_offen = std::move(offen);
    m_pfad = QFileInfo(pfad).absoluteFilePath();
    kopfdatenLesen();
    m_wache.start();
    emit geoeffnet();
    return true;
}

void Sitzung::schliessen() {
    if (!m_offen) return;
    m_wache.stop();
    m_offen.reset();
    m_pfad.clear();
    m_steuerjahr = 0;
    m_betrieb.clear();
    m_festBis = zDate();
    emit geschlossen();
}

void Sitzung::kopfdatenLesen() {
    lesen([this](DBConnection* db) {
        m_steuerjahr = m_offen->kg->getSteuerjahr();
        const QString firma = Faktura::leseFirma(db).name.trimmed();
        m_betrieb = firma.isEmpty() ? QFileInfo(m_pfad).completeBaseName() : firma;
        m_festBis = KontoGlobal::getFestgeschriebenBis();
    });
}

bool Sitzung::lesen(const std::function<void(DBConnection*)>& lesen) {
    if (!m_offen) return false;
    DBConnection* con = m_offen->kg->GetDBConnect_Ptr();
    if (m_tiefe > 0) {
        // A dialog of a running action lets a view paint: it reads inside
        // that action's transaction.
        lesen(con);
        return true;
    }
    QString fehler;
    if (!m_offen->datei.beginnen(Falldatei::Zugriff::Lesen, *m_offen->root, &fehler)) {
        GetUi().rsError(fehler);
        return false;
    }
    ++m_tiefe;
    lesen(m_offen->kg->GetDBConnect_Ptr());
    --m_tiefe;
    const bool kaputt = rsDbCorruptionSeen();
    m_offen->datei.verwerfen();
    if (kaputt) {
        GetUi().rsError(Falldatei::beschaedigtText(m_pfad));
        return false;
    }
    return true;
}

bool Sitzung::handeln(const std::function<QString(DBConnection*)>& aktion) {
    if (!m_offen) return false;
    if (m_tiefe > 0) {
        GetUi().rsError(QStringLiteral("Eine andere Aktion läuft noch; bitte warten Sie, bis sie beendet ist."));
        return false;
    }
    QString fehler;
    if (!m_offen->datei.beginnen(Falldatei::Zugriff::Schreiben, *m_offen->root, &fehler)) {
        GetUi().rsError(fehler);
        return false;
    }
    ++m_tiefe;
    QString grund = aktion(m_offen->kg->GetDBConnect_Ptr());
    --m_tiefe;
    if (grund.isEmpty() && rsDbCorruptionSeen()) grund = Falldatei::beschaedigtText(m_pfad);
    if (!grund.isEmpty()) {
        m_offen->datei.verwerfen();
        GetUi().rsError(grund);
        return false;
    }
    if (!m_offen->datei.sichern(*m_offen->root, &fehler)) {
        GetUi().rsError(fehler);
        return false;
    }
    kopfdatenLesen();
    emit geaendert();
    return true;
}

bool Sitzung::aenderungVonAussenPruefen() {
    if (!m_offen || m_tiefe > 0) return false;
    if (m_offen->datei.wurdeErsetzt()) {
        // Another program wrote the case as a new file (a conversion): the
        // session opens it again, or tells why it cannot.
        const QString pfad = m_pfad;
        QString fehler;
        if (!oeffnen(pfad, &fehler)) {
            GetUi().rsError(fehler);
        } else {
            emit geaendert();
        }
        return true;
    }
    if (!m_offen->datei.vonAussenGeaendert()) return false;
    kopfdatenLesen();
    emit geaendert();
    return true;
}

}  // namespace fenster
