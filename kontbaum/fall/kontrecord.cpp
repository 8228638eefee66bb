// The case-file record of Kont_ (see KontRecord in kontbaum.h).
#include "kontbaum/fall/kontbaum.h"

#include "host/app/global.h"
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/tree/archive.h"
#include "host/tree/fileobject.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFile>
#include <QUuid>

#include <memory>

namespace {
constexpr quint32 kTagKont = 0x4B4F4E54;  // "KONT"

// Template files per document kind (offer, order confirmation, delivery
// note, invoice, reminder, invoice correction).
const char* const kVorlagen[6][3] = {
    {"Musterangebot.docx", "Musterangebot2.docx", "Musterangebot3.docx"},
    {"Musterauftragsbestaetigung.docx", "Musterauftragsbestaetigung2.docx", "Musterauftragsbestaetigung3.docx"},
    {"Musterlieferschein.docx", "Musterlieferschein2.docx", "Musterlieferschein3.docx"},
    {"Musterrechnung.docx", "Musterrechnung2.docx", "Musterrechnung3.docx"},
    {"Mustermahnung1.docx", "Mustermahnung2.docx", "Mustermahnung3.docx"},
    {"Mustergutschrift.docx", "Mustergutschrift2.docx", "Mustergutschrift3.docx"}};

struct Satz {
    RS_FileObject datenbank;
    QString eurUid, due;
    qint32 steuerjahr = 0, kassenkonto = 0, jahresabschluss = 0;
    bool ustPflicht = true;
    QString kontenplan;
    QVector<RS_FileObject> vorlagen;
    Kont_* knoten = nullptr;  // the variables are written from / read into it

    bool io(RS_Archive& ar) {
        if (!ar.beginSection(kTagKont)) return false;
        datenbank.ioData(ar);
        ar.io(eurUid);
        ar.io(due);
        ar.io(steuerjahr);
        ar.io(kassenkonto);
        ar.io(ustPflicht);
        ar.io(jahresabschluss);
        ar.io(kontenplan);
        for (RS_FileObject& v : vorlagen) v.ioData(ar);
        if (!knoten->ioDataVar(ar)) return false;
        return ar.endSection() && ar.ok();
    }
};
// Reads a whole record into `s`, its variables into a scratch root that is
// returned: a damaged record leaves every open tree as it was. Null (with
// a German message) when the record cannot be read.
std::unique_ptr<Kont_> leseVollstaendig(RS_Archive& ar, Satz& s, QString* error) {
    s.vorlagen.resize(KontRecord::vorlagenDateien().size());
    std::unique_ptr<Kont_> gelesen(Kont_::New());
    QString grund;
    if (!gelesen) grund = QStringLiteral("Zu wenig Speicher.");
    s.knoten = gelesen.get();
    if (gelesen && !s.io(ar))
        grund = ar.errorText().isEmpty() ? QStringLiteral("Die Datei ist beschädigt oder unvollständig.") : ar.errorText();
    if (grund.isEmpty()) return gelesen;
    if (error) *error = grund;
    return nullptr;
}

// Puts the database embedded in a record in place of the working database
// and opens it; the previous one is kept as "bak" until the new one opens.
bool uebernehmeDatenbank(KontoGlobal& kgRef, const RS_FileObject& datenbank, int imp, QString* error) {
    auto fail = [error](const QString& t) {
        if (error) *error = t;
        return false;
    };
    KontoGlobal* kg = &kgRef;
    const QString name = (imp == 99 || imp == 88) ? kg->getImportDatenbankNameFall() : kg->getDatenbankName();
    // Closed without removing the file: it is the backup that a failed
    // take-over puts back.
    kg->SetDBConnectKonto_Ptr(nullptr);
    const QString bak = name + QStringLiteral(".bak");
    QFile::remove(bak);
    const bool hadOld = QFile::exists(name) && QFile::rename(name, bak);
    QString err;
    if (!datenbank.extractTo(name, &err)) {
        if (hadOld) QFile::rename(bak, name);
        return fail(err);
    }
    kg->createConnectionKonto(false);
    if (!kg->isConnected()) {
        QFile::remove(name);
        if (hadOld) QFile::rename(bak, name);
        kg->createConnectionKonto(false);
        return fail(QStringLiteral("Die Buchhaltungsdatenbank der Datei konnte nicht geöffnet werden."));
    }
    QFile::remove(bak);
    return true;
}
}  // namespace

QStringList KontRecord::vorlagenDateien() {
    QStringList out;
    for (const auto& art : kVorlagen)
        for (int pass = 0; pass < 2; ++pass)
            for (const char* f : art) out << QString::fromLatin1(f);
    return out;
}

bool KontRecord::write(Kont_& node, RS_Archive& ar, bool mitDatenbank) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg) return false;
    Satz s;
    if (mitDatenbank) {
        if (DBConnection* con = kg->GetDBConnect_Ptr()) ExecSQL(con, QStringLiteral("VACUUM"));
        s.datenbank.setFile(kg->Getmdb_name());
    }
    s.eurUid = kg->getEurUID();
    s.due = Kont_::joinDatenuebernahme(kg->getDatenuebernahmeUID(), kg->getDatenuebernahmeFile());
    s.steuerjahr = kg->getSteuerjahr();
    s.kassenkonto = kg->getKassenkonto();
    s.ustPflicht = kg->getUstPflicht();
    s.jahresabschluss = kg->istJahrAbgeschlossen() ? 1 : 0;
    s.kontenplan = kg->getKontenplanName();
    for (const QString& f : vorlagenDateien()) s.vorlagen.append(RS_FileObject(kg->GetKontoTempDir() + f));
    s.knoten = &node;
    return s.io(ar);
}

bool KontRecord::read(Kont_& node, RS_Archive& ar, QString* error, bool mitDatenbank) {
    auto fail = [error](const QString& t) {
        if (error) *error = t;
        return false;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg) return fail(QStringLiteral("Es ist kein Fall geöffnet."));
    Satz s;
    const std::unique_ptr<Kont_> gelesen = leseVollstaendig(ar, s, error);
    if (!gelesen) return false;

    GlobalInst& g = GetGlobal();
    const int imp = g.IsImport();
    if (!mitDatenbank) {
        if (!kg->isConnected()) return fail(QStringLiteral("Die Buchhaltungsdatenbank des Falls ist nicht geöffnet."));
    } else if (!uebernehmeDatenbank(*kg, s.datenbank, imp, error)) {
        return false;
    }

    QString uid = s.eurUid;
    if (uid.isEmpty() && imp != 99) uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    kg->setEurUID(uid);
    QString dueUid, dueFile;
    Kont_::splitDatenuebernahme(s.due, &dueUid, &dueFile);
    kg->setDatenuebernahmeFile(dueFile);
    kg->setDatenuebernahmeUID(dueUid);
    kg->setSteuerjahr(s.steuerjahr);
    if (imp != 88) {
        kg->setKassenkonto(s.kassenkonto);
        kg->setUstPflicht(s.ustPflicht);
        kg->setJahresabschluss(s.jahresabschluss != 0 ? 1 : 0);
        kg->setKontenplanName(s.kontenplan);
        kg->clearSpezialKonto();
    }
    if (imp != 88 && imp != 99 &&
        rsOptionsGlobal::instance().getInt(QStringLiteral("Private"), QStringLiteral("IsAfterDUE"), 0) != 1)
        kg->checkSteuerautokonten(0);
    const QStringList dateien = vorlagenDateien();
    for (int i = 0; i < dateien.size(); ++i)
        if (!s.vorlagen[i].isEmpty()) s.vorlagen[i].extractTo(kg->GetKontoTempDir() + dateien[i], nullptr);
    node.uebernehmeKinder(*gelesen);
    return true;
}

bool KontRecord::lesenFremd(Kont_& node, RS_Archive& ar, Einstellungen* e, const QString& datenbankZiel, QString* error) {
    auto fail = [error](const QString& t) {
        if (error) *error = t;
        return false;
    };
    Satz s;
    const std::unique_ptr<Kont_> gelesen = leseVollstaendig(ar, s, error);
    if (!gelesen) return false;
    if (!datenbankZiel.isEmpty()) {
        if (s.datenbank.isEmpty()) return fail(QStringLiteral("Die Datei enthält keine Buchhaltungsdatenbank."));
        QFile::remove(datenbankZiel);
        QString err;
        if (!s.datenbank.extractTo(datenbankZiel, &err)) return fail(err);
    }
    if (e) {
        e->eurUid = s.eurUid;
        Kont_::splitDatenuebernahme(s.due, &e->dueUid, &e->dueFile);
        e->steuerjahr = s.steuerjahr;
        e->kassenkonto = s.kassenkonto;
        e->ustPflicht = s.ustPflicht;
        e->jahresabschluss = s.jahresabschluss != 0;
        e->kontenplan = s.kontenplan;
    }
    node.uebernehmeKinder(*gelesen);
    return true;
}
