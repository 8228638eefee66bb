#include "support/buchungsfall.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

void Buchungsfall::SetUp() {
    using KG = KontoGlobal;
    kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    kg->setSteuerjahr(2016);
    kg->setUstPflicht(true);
    kg->setKontenplanName(QStringLiteral("SKR03"));
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0), 0);
    db = kg->GetDBConnect_Ptr();
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

    const QString t = QStringLiteral("eurVerbucht");
    auto ein = [&](double betrag, unsigned long konto, unsigned long schluessel, bool netto, const zDate& datum) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Honorar"), betrag, netto, datum, QStringLiteral("RE-1"), 1,
                                       false, 1200, konto, schluessel, QString());
    };
    auto aus = [&](double betrag, unsigned long konto, unsigned long schluessel) {
        return KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Einkauf"), betrag, false, zDate(2016, 4, 2), QStringLiteral("B-7"),
                                       2, true, 1200, konto, schluessel, QString());
    };
    ASSERT_EQ(ein(119.0, 8400, 5, false, zDate(2016, 3, 15)), 1u);
    ASSERT_EQ(aus(59.50, 4930, 7), 2u);
    ASSERT_EQ(aus(1000.0, 3425, 19), 3u);
    ASSERT_EQ(ein(100.0, 8400, 5, true, zDate(2016, 5, 1)), 4u);
    ASSERT_EQ(ein(0.05, 8300, 2, false, zDate(2016, 5, 2)), 5u);
    ASSERT_EQ(KG::insertSimpleBuchung(KG::HERK_BUCH, t, QStringLiteral("Privat"), 200.0, false, zDate(2016, 9, 1), QString(), 3, true, 1200,
                                      1800, 0, QString()),
              6u);
    KG::BuchungsEntwurf b;
    b.text = QStringLiteral("Splitt");
    b.belegdatum = zDate(2016, 6, 30);
    b.buchungsart = 2;
    b.haben = true;
    b.konto = 1000;
    b.teile = {{4930, 7, 119.00, false, QStringLiteral("Papier")}, {4210, 0, 500.00, false, QStringLiteral("Miete")},
               {4940, 7, 10.00, true, QStringLiteral("Buch")}};
    ASSERT_EQ(KG::insertSplittBuchung(b), 7u);
    KG::BuchungsEntwurf c;
    c.text = QStringLiteral("Splitt Einnahme");
    c.belegdatum = zDate(2016, 7, 1);
    c.buchungsart = 1;
    c.konto = 1200;
    c.teile = {{8400, 5, 238.00, false, QString()}, {8300, 2, 107.00, false, QString()}};
    ASSERT_EQ(KG::insertSplittBuchung(c), 8u);
    ASSERT_EQ(KG::storniereBuchung(1), 9u);
    ASSERT_EQ(aus(12.34, 4210, 0), 10u);
}
