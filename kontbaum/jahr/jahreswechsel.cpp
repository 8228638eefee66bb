// The new year's case made from the previous year's (see jahr.h).
#include "kontbaum/jahr/jahr.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>

namespace {

// Tables that continue from year to year: the bank connections and the
// invoicing master data (numbering, terms, customers, articles, prices).
const char* const kStammtabellen[] = {"eurBankverbindung", "reVerwaltung", "reZahlungsbedingungen", "rePersonen",
                                      "reBankverbindungen", "reEinheiten", "reWarengruppen", "reVersandkosten",
                                      "reArtikel", "reRabatt", "rePreise"};

// The master data and the tax-office data of the business: the nodes whose
// variables the new year takes as they are.
const char* const kStammknoten[] = {"Kont_[M]\\Stamm001_[0]", "Kont_[M]\\Ad0031_[0]"};

bool setze(QString* fehler, const QString& text) {
    if (fehler) *fehler = text;
    return false;
}

// Node paths address the root registered as "Kont_"; while the previous
// year's tree is read, it is that root.
class WurzelScope {
public:
    explicit WurzelScope(DatenBase* wurzel) : m_vorher(DatenBase::rootNode(QStringLiteral("Kont_"))) {
        DatenBase::setRootNode(QStringLiteral("Kont_"), wurzel);
    }
    ~WurzelScope() { DatenBase::setRootNode(QStringLiteral("Kont_"), m_vorher); }
    WurzelScope(const WurzelScope&) = delete;
    WurzelScope& operator=(const WurzelScope&) = delete;

private:
    DatenBase* m_vorher;
};

int eintraege(const DatenBase* knoten, const QString& klasse) {
    int n = 0;
    if (knoten)
        for (int i = 0; i < knoten->childSlotCount(); ++i)
            if (const DatenBase* e = knoten->childSlot(i)) n += e->className() == klasse ? 1 : 0;
    return n;
}

}  // namespace

namespace Jahr {

bool jahreswechsel(const QString& alt, Kont_& root, Jahreswechsel* erg, QString* fehler) {
    KontoGlobal* kg = GetKontoGlobal(0, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return setze(fehler, QStringLiteral("Es ist kein neuer Fall angelegt."));
    Vorjahr vj;
    if (!oeffneVorjahr(*kg, alt, &vj, fehler)) return false;
    struct ImportWeg {
        KontoGlobal* kg;
        ~ImportWeg() { kg->deleteImportDB(); }
    } importWeg{kg};
    const QString importDb = kg->getImportDatenbankNameProg();
    const KontRecord::Einstellungen& e = vj.einstellungen;
    const int neuesJahr = e.steuerjahr + 1;
    const QString jahrFehler = pruefeSteuerjahr(neuesJahr);
    if (!jahrFehler.isEmpty())
        return setze(fehler, QStringLiteral("„%1“ ist der Fall des Jahres %2; das neue Jahr wäre %3. ")
                                     .arg(alt)
                                     .arg(e.steuerjahr)
                                     .arg(neuesJahr) +
                                 jahrFehler);
    if (KontoGlobal::rahmenSpalte(e.kontenplan).isEmpty())
        return setze(fehler, QStringLiteral("Der Fall „%1“ hat keinen Kontenplan; aus ihm kann kein neues Jahr angelegt werden.").arg(alt));

    // Settings and chart: the previous year's chart with the user's own
    // accounts, brought up to the template of the new year.
    kg->setSteuerjahr(neuesJahr);
    kg->setUstPflicht(e.ustPflicht);
    kg->setKontenplanName(e.kontenplan);
    if (kg->selectKontenplan(QString::number(neuesJahr), e.kontenplan, importDb, false, 0) != 0)
        return setze(fehler, QStringLiteral("Der Kontenplan des Vorjahres konnte nicht übernommen werden."));
    kg->abgleichKontoplanSteuerschluesselAktiv();
    if (e.ustPflicht) kg->activateUstPflicht();
    kg->setKassenkonto(e.kassenkonto != 0 ? e.kassenkonto : int(kg->getSpezialKonto(1000)));
    kg->setDatenuebernahmeUID(e.eurUid);
    kg->setDatenuebernahmeFile(QFileInfo(alt).absoluteFilePath());
    root.fillBlackList();

    // Bank connections and invoicing master data, where the old year has any.
    QStringList tabellen;
    {
        DBConnection imp;
        imp.setReadOnly(true);
        if (!imp.createAndConnect(importDb, QString(), QString(), false))
            return setze(fehler, QStringLiteral("Die Buchhaltungsdaten des Vorjahres können nicht gelesen werden."));
        for (const char* t : kStammtabellen) {
            const QString name = QString::fromLatin1(t);
            if (rsTableExists(&imp, name) && rsTableExists(db, name) &&
                GetDatenTyp(&imp, QStringLiteral("SELECT COUNT(*) FROM ") + name).toLongLong() > 0)
                tabellen << name;
        }
    }
    if (!tabellen.isEmpty() && !rsReplaceTablesFromExternalDatabase(db, importDb, tabellen))
        return setze(fehler, QStringLiteral("Bankverbindungen und Stammdaten der Fakturierung konnten nicht übernommen werden: %1")
                                 .arg(db->getErr()->last()));
    // Invoices not yet paid are paid, and booked, in the new year.
    int offeneRechnungen = 0, offeneEingangsrechnungen = 0;
    {
        DBConnection imp;
        imp.setReadOnly(true);
        if (!imp.createAndConnect(importDb, QString(), QString(), false))
            return setze(fehler, QStringLiteral("Die Buchhaltungsdaten des Vorjahres können nicht gelesen werden."));
        if (!offenePostenVortragen(&imp, db, &offeneRechnungen, &offeneEingangsrechnungen, fehler)) return false;
    }

    // What the start of a new year records about where the case came from.
    const QString heute = zDate::today().getText();
    const QList<QPair<QString, QString>> eigenschaften = {
        {QStringLiteral("Erstellt"), GetGlobal().GetProgramName()},
        {QStringLiteral("ErstelltAm"), heute},
        {QStringLiteral("DueVon"), QFileInfo(alt).absoluteFilePath()},
        {QStringLiteral("DueArt"), QStringLiteral("Jahreswechsel")},
        {QStringLiteral("DueKP"), QStringLiteral("1")},
        {QStringLiteral("DueSaldo"), QStringLiteral("1")},
        {QStringLiteral("DueBanking"), tabellen.contains(QStringLiteral("eurBankverbindung")) ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("DueAm"), heute},
        {QStringLiteral("DueBsp"), QStringLiteral("0")},
        {QStringLiteral("DueRebStamm"), QStringLiteral("1")},
        {QStringLiteral("DueRebOffene"), QStringLiteral("1")}};
    for (const auto& p : eigenschaften) KontoGlobal::setFalleigenschaft(p.first, p.second, db);

    // The data tree: master data, then the registers that continue.
    QList<rsExportVar> stamm;
    {
        const WurzelScope vorjahr(vj.baum.get());
        for (const char* pfad : kStammknoten) KontoGlobal::addExportVarsFromDatenBase(stamm, QString::fromLatin1(pfad));
    }
    {
        const WurzelScope neu(&root);
        for (const rsExportVar& v : stamm) DatenBase::SetDBVar(v.datenpfad + QLatin1Char('\\') + v.variable, DatenTyp(v.wert), true);
    }
    // Each carried asset opens the new year with the book value it closed
    // the old one with.
    QMap<int, EuroType> buchwerte;
    {
        const WurzelScope vorjahr(vj.baum.get());
        buchwerte = Anlagen::schlussBuchwerte(e.steuerjahr);
    }
    root.uebernehmeAnlagevermoegen(vj.baum->GetAnl006_Ptr(0));
    {
        const WurzelScope neu(&root);
        Anlagen::vortragen(neuesJahr, buchwerte);
    }
    root.uebernehmeUmlaufvermoegen(vj.baum->GetUml006_Ptr(0));
    root.uebernehmeInvestitionsabzugsbetrag(vj.baum->GetIab006_Ptr(0));
    root.uebernehmeKfzKosten(vj.baum->GetBuch012_Ptr(0));
    root.uebernehmeBegleitschreiben(vj.baum->GetAd0040_Ptr(0));

    // Last the opening balances against the previous year's ledger.
    Jahreswechsel ergebnis;
    ergebnis.altesJahr = e.steuerjahr;
    ergebnis.neuesJahr = neuesJahr;
    ergebnis.anlagen = eintraege(root.GetAnl006_Ptr(0), QStringLiteral("Anl006a_"));
    ergebnis.umlaufvermoegen = eintraege(root.GetUml006_Ptr(0), QStringLiteral("Uml006a_"));
    ergebnis.investitionsabzug = eintraege(root.GetIab006_Ptr(0), QStringLiteral("Iab006a_"));
    ergebnis.kfz = eintraege(root.GetBuch012_Ptr(0), QStringLiteral("Buch012a_"));
    ergebnis.offeneRechnungen = offeneRechnungen;
    ergebnis.offeneEingangsrechnungen = offeneEingangsrechnungen;
    ergebnis.bankverbindungen =
        int(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurBankverbindung")).toLongLong());
    if (root.erzeugeSaldovortraege(&ergebnis.bericht, true, &ergebnis.saldovortraege) != SV_OK)
        return setze(fehler, QStringLiteral("Die Saldovorträge konnten nicht erzeugt werden; der neue Fall wurde nicht angelegt."));
    // The asset accounts open with the book values the register carried.
    {
        const WurzelScope neu(&root);
        Anlagen::Lauf lauf;
        QString grund;
        if (!Anlagen::saldovortraege(neuesJahr, &lauf, &grund))
            return setze(fehler, QStringLiteral("Die Saldovorträge der Anlagen konnten nicht gebucht werden (%1); der neue Fall wurde nicht "
                                                "angelegt.")
                                     .arg(grund));
        ergebnis.saldovortraege += lauf.buchungen.size();
    }
    if (erg) *erg = ergebnis;
    return true;
}

}  // namespace Jahr
