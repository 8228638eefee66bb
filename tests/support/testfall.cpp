#include "support/testfall.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "kontbaum/rahmen/kontglob.h"

#include <gtest/gtest.h>

namespace testfall {

DBConnection* neuerFall(KontoGlobal** kgAus, bool ustPflicht, const QString& rahmen, int jahr) {
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    kg->setSteuerjahr(jahr);
    kg->setUstPflicht(ustPflicht);
    kg->setKontenplanName(rahmen);
    EXPECT_EQ(kg->selectKontenplan(QString::number(jahr), rahmen, QString(), false, 0), 0) << rahmen.toStdString() << " " << jahr;
    if (kgAus) *kgAus = kg;
    return kg->GetDBConnect_Ptr();
}

void festeSchluesselUndKonten(DBConnection* db) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral(
        "INSERT OR REPLACE INTO eurSteuerschluessel (Steuerschluessel, Bezeichnung, Kurzbezeichnung, Steuersatz, Steuerart, "
        "Steuerkonto, Steuerkonto2, im_Hundert, IG_Erwerb, Sortierung, Aktiv) VALUES "
        "(0, 'keine', 'keine', 0, 'B', 0, 0, 0, 0, 0, 1),"
        "(2, 'Umsatzsteuer 7 %', 'USt 7', 7, 'U', 1771, 0, 0, 0, 20, 1),"
        "(5, 'Umsatzsteuer 19 %', 'USt 19', 19, 'U', 1776, 0, 0, 0, 10, 1),"
        "(7, 'Vorsteuer 19 %', 'VSt 19', 19, 'V', 1576, 0, 0, 0, 30, 1),"
        "(19, 'ig Erwerb 19 %', 'igE 19', 19, 'V', 1574, 1774, 1, 1, 40, 1);"
        "INSERT OR REPLACE INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv) VALUES "
        "(1000, 'Kasse', 'Kasse', 201, 1), (1200, 'Bank', 'Bank', 202, 1),"
        "(1571, 'Vorsteuer 7 %', 'VSt 7', 3100, 1), (1576, 'Vorsteuer 19 %', 'VSt 19', 3100, 1),"
        "(1574, 'Vorsteuer ig Erwerb', 'VSt igE', 3100, 1), (1774, 'USt ig Erwerb', 'USt igE', 3300, 1),"
        "(1771, 'USt 7 %', 'USt 7', 3010, 1), (1776, 'USt 19 %', 'USt 19', 3010, 1),"
        "(1800, 'Privatentnahmen', 'Privat', 2101, 1),"
        "(3425, 'Innergem. Erwerb 19 %', 'igE', 5000, 1), (4210, 'Miete', 'Miete', 5400, 1),"
        "(4930, 'Bürobedarf', 'Büro', 5700, 1), (4940, 'Zeitschriften; Bücher', 'Bücher', 5700, 1),"
        "(8300, 'Erlöse 7 %', 'Erl 7', 4000, 1), (8400, 'Erlöse 19 %', 'Erl 19', 4000, 1), (4999, 'alt', 'alt', 5700, 0)")));
}

unsigned long buche(DBConnection* db, int art, unsigned long geld, unsigned long gegen, unsigned long key, double betrag,
                    const zDate& d, const QString& ustid, int zm) {
    KontoGlobal::BuchungsEntwurf b;
    b.text = QStringLiteral("Test");
    b.belegdatum = d;
    b.buchungsart = art;
    b.haben = art == 2 || art == 4 || art == 6;
    b.konto = geld;
    b.ustid = ustid;
    b.zmart = zm;
    b.teile.append({gegen, key, EuroType::ausDouble(betrag), false, QString()});
    // The ledger tests pay from the till without a receipt first: the
    // question whether it may go below zero is answered yes here (the tests
    // of that rule post on their own).
    ScriptedUi ja;
    ja.setDefaultAnswer(true);
    const UiScope scope(&ja);
    QString f;
    const unsigned long n = KontoGlobal::insertSplittBuchung(b, db, &f);
    EXPECT_NE(n, 0u) << f.toStdString();
    return n;
}

}  // namespace testfall
