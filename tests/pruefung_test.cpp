// The self-check of bookings: each rule found on a ledger broken on purpose
// (and nowhere else), nothing found on the clean ledger, findings in the
// order of booking number, rule and line, and a pass that keeps headers and
// lines in step whatever stray rows the line table holds.
#include "host/app/log.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/buchungsfall.h"

#include <QRegularExpression>

namespace {

using KG = KontoGlobal;
const QString kVerbucht = QStringLiteral("eurVerbucht");

class Pruefung : public Buchungsfall {
protected:
    QStringList alle() { return KG::verifyBuchungen(kVerbucht, QString(), true); }
    // The findings after `sql`, which is rolled back again.
    QStringList nach(const QString& sql, const QString& liste = QString()) {
        EXPECT_TRUE(db->beginTransaction());
        EXPECT_TRUE(ExecSQL(db, sql)) << sql.toStdString();
        const QStringList b = KG::verifyBuchungen(kVerbucht, liste, true);
        db->rollback();
        return b;
    }
    static QList<int> nummern(const QStringList& befunde) {
        static const QRegularExpression re(QStringLiteral("Fehler in der Buchung (\\d+) "));
        QList<int> out;
        for (const QString& b : befunde) out << re.match(b).captured(1).toInt();
        return out;
    }
    static QList<int> ids(const QStringList& befunde) {
        static const QRegularExpression re(QStringLiteral("\\(ID=(\\d+)\\)"));
        QList<int> out;
        for (const QString& b : befunde) out << re.match(b).captured(1).toInt();
        return out;
    }
};

TEST_F(Pruefung, TheCleanLedgerHasNoFindings) {
    const QStringList b = alle();
    EXPECT_TRUE(b.isEmpty()) << b.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(KG::verifyBuchungen(kVerbucht).isEmpty()) << "without `immer` only with test flag 4";
    for (unsigned long n = 1; n <= 10; ++n) EXPECT_TRUE(KG::verifyBuchung(n, kVerbucht, true).isEmpty()) << n;
    EXPECT_TRUE(KG::verifyBuchungen(QStringLiteral("eurKontenplan"), QString(), true).isEmpty()) << "only ledger tables are checked";
}

// One break per rule; each must be found, and only on the broken booking.
TEST_F(Pruefung, EveryRuleFiresOnABrokenBookingAndNowhereElse) {
    struct Bruch {
        int buchung;
        const char* sql;
        const char* befund;
    };
    const Bruch brueche[] = {
        // header
        {2, "UPDATE eurVerbucht SET Periode=3 WHERE Buchungsnummer=2", ": Das Feld 'Periode' wird nicht genutzt und muss 0 sein!"},
        {2, "UPDATE eurVerbucht SET Stapel=1 WHERE Buchungsnummer=2", ": Das Feld 'Stapel' ist veraltet und muss 0 sein!"},
        {9, "UPDATE eurVerbucht SET Storniert=1 WHERE Buchungsnummer=9", "'Storno' und 'Storniert' darf nicht gleichzeitig gesetzt sein!"},
        {2, "UPDATE eurVerbucht SET Betrag=0 WHERE Buchungsnummer=2", ": Der Betrag darf bei einer Buchung nicht 0 sein!"},
        {2, "UPDATE eurVerbucht SET Betrag=-59.5 WHERE Buchungsnummer=2", "eurVerbucht: Der Betrag (-59,50) darf nicht negativ sein!"},
        {9, "UPDATE eurVerbucht SET Betrag=119 WHERE Buchungsnummer=9", "eurVerbucht: Der Betrag (119,00) darf nicht negativ sein!"},
        {2, "UPDATE eurVerbucht SET Belegdatum=NULL WHERE Buchungsnummer=2", ": Das Belegdatum (= Wertstellungsdatum) muss gesetzt sein!"},
        {2, "UPDATE eurVerbucht SET Zahlungsdatum='' WHERE Buchungsnummer=2", ": Das Zahlungsdatum muss gesetzt sein!"},
        {2, "UPDATE eurVerbucht SET Buchungsdatum='kein Datum' WHERE Buchungsnummer=2", ": Das Buchungsdatum muss gesetzt sein!"},
        {2, "UPDATE eurVerbucht SET Belegdatum='2015-12-31 00:00:00' WHERE Buchungsnummer=2",
         ": Das Belegdatum (= Wertstellungsdatum) (31.12.2015) liegt nicht im Steuerjahr (2016)!"},
        {6, "UPDATE eurVerbucht SET Buchungsart=9 WHERE Buchungsnummer=6", ": Unbekannte Buchungsart (9)!"},
        {6, "UPDATE eurVerbucht SET Buchungsart=0 WHERE Buchungsnummer=6", ": Die Buchungsart muss gesetzt sein!"},
        {2, "UPDATE eurVerbucht SET UStID='ATU12345678' WHERE Buchungsnummer=2", ": 'UStID' ist gesetzt, es ist aber keine ZMArt angegeben!"},
        {2, "UPDATE eurVerbucht SET UStID='ATU12345678', ZMArt=5 WHERE Buchungsnummer=2", ": Unbekannte ZMArt (5)!"},
        {2, "UPDATE eurVerbucht SET Dreieck=1 WHERE Buchungsnummer=2",
         ": Wenn 'Dreieck' (1) oder 'ZMArt' (0) gesetzt ist muss auch eine UStID angegeben werden!"},
        {5, "DELETE FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=5", ": Keine Eintraege in der Tabelle gefunden!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Dialogzeile=0 WHERE Buchungsnummer=7 AND Splitt<>0",
         ": Die Splittbuchungen sind keiner Dialogzeile zugeordnet!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Splitt=1 WHERE Buchungsnummer=7", "bei allen Teilbuchungen Splitt gesetzt"},
        // lines
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Kostenstelle='K1' WHERE ID=4",
         "(ID=4): Das Feld 'Kostenstelle' (Inhalt='K1') wird nicht genutzt und muss leer sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET OPOSNummer='OP-7' WHERE ID=5",
         "(ID=5): Das Feld 'OPOSNummer' (Inhalt='OP-7') wird nicht genutzt und muss leer sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET ID=0 WHERE ID=4", "(ID=0): ID nicht gesetzt!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Dialogzeile=2 WHERE ID=6", "(ID=6): Dialogzeile darf bei Steuerbuchungen nicht gesetzt sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Dialogzeile=0 WHERE ID=4", "(ID=4): Dialogzeile muss gesetzt sein!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Haben=-1 WHERE ID=21", "(ID=21): Haben ist nicht bei allen Teilbuchungen zu Zeile 2 gleich!"},
        {2, "INSERT INTO eurVerbuchtBuchungszeilen (ID, Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Konto, Gegenkonto) "
            "VALUES (40, 2, 0, 1, 1, 0, 1200, 4930)",
         "(ID=40): Haben ist nicht bei allen Teilbuchungen zu Zeile 1 gleich!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Steuerschluessel=0 WHERE ID=5",
         "(ID=6): Es handel sich bei dieser Teilbuchung um eine Steuerbuchung (1576), aber es gibt keine Teilbuchung zur gleichen "
         "SteuerID (1) bei der ein Steuerschluessel gesetzt ist.!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Haben=-1 WHERE ID=6", "(ID=6): Bei einer Steuerbuchung muss Haben gleich der Hauptbuchung sein!"},
        {3, "UPDATE eurVerbuchtBuchungszeilen SET Haben=0 WHERE ID=10",
         "(ID=10): Bei einer Steuerbuchung im IG-Erwerb muss Haben ungleich der Hauptbuchung sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Konto=1571 WHERE ID=6",
         "(ID=6): Das Steuerkonto 1571 passt nicht zum Steuerkonto 1576 des Steuerschluessels 7 der Hauptbuchung!"},
        {3, "UPDATE eurVerbuchtBuchungszeilen SET Konto=1771 WHERE ID=10",
         "(ID=10): Das Steuerkonto 1771 passt nicht zum Steuerkonto2 1774 des Steuerschluessels 19 der Hauptbuchung!"},
        {8, "UPDATE eurVerbuchtBuchungszeilen SET Haben=0 WHERE ID=25", "(ID=27): Haben ist nicht bei allen Teilbuchungen des Splitts gleich!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Haben=0 WHERE ID=32",
         "(ID=32): Haben der Teilbuchungen zu Zeile 1 und der Teilbuchungen zu Zeile 2 duerfen nicht gleich sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Steuerschluessel=5 WHERE ID=5",
         "(ID=5): Das Ausgabekonto 4930 darf keinen Umsatzsteuerschluessel (5) haben!"},
        {4, "UPDATE eurVerbuchtBuchungszeilen SET Steuerschluessel=7 WHERE ID=12",
         "(ID=12): Das Einnahmekonto 8400 darf keinen Vorsteuerschluessel (7) haben!"},
        {6, "UPDATE eurVerbuchtBuchungszeilen SET Steuerschluessel=7 WHERE ID=17", "(ID=17): Das Konto 1800 darf keinen Steuerschluessel (7) haben!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Betrag=0 WHERE ID=5", "(ID=5): Der Betrag darf bei einer Buchungszeile nicht 0 sein!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Betrag=-12.34 WHERE ID=33", "(ID=33): Der Betrag (-12,34) darf nicht negativ sein!"},
        {9, "UPDATE eurVerbuchtBuchungszeilen SET Betrag=100 WHERE ID=30", "(ID=30): Der Betrag (100,00) darf nicht negativ sein!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Konto=0 WHERE ID=33", "(ID=33): Das Konto ist nicht gesetzt!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Konto=4711 WHERE ID=33", "(ID=33): Das Konto 4711 ist nicht im Kontenplan!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Konto=4999 WHERE ID=33", "(ID=33): Das Konto 4999 ist im Kontenplan aber nicht aktiviert!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Konto=8400 WHERE ID=5",
         "(ID=5): Das Konto 8400 (Kategorie 4000) in Dialogzeile 2 passt nicht zur Buchungsart 'Ausgabe'!"},
        {4, "UPDATE eurVerbuchtBuchungszeilen SET Haben=0 WHERE Buchungsnummer=4 AND Dialogzeile<>1",
         "(ID=12): Bei Einnahmen und Ausgaben-Rückzahlungen muss in Dialogzeile 2 das Sachkonto im Haben stehen!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Haben=-1 WHERE ID=33",
         "(ID=33): Bei Ausgaben und Einnahme-Rückzahlungen muss in Dialogzeile 2 das Sachkonto im Soll stehen!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Konto=4930 WHERE ID=32",
         "(ID=32): Das Konto 4930 (Kategorie 5700) in Dialogzeile 1 passt nicht zur Buchungsart 'Ausgabe'!"},
        {4, "UPDATE eurVerbuchtBuchungszeilen SET Haben=-1 WHERE ID=11",
         "(ID=11): Bei Einnahmen und Ausgaben-Rückzahlungen muss in Dialogzeile 1 das Finanzkonto im Soll stehen!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Haben=0 WHERE ID=32",
         "(ID=32): Bei Ausgaben und Einnahme-Rückzahlungen muss in Dialogzeile 1 das Finanzkonto im Haben stehen!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Gegenkonto=4930 WHERE ID=18",
         "(ID=18): Bei gesplitteten Buchungen darf die nicht gesplittete Buchungszeile kein Gegenkonto (4930) haben!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Gegenkonto=0 WHERE ID=21",
         "(ID=21): Bei gesplitteten Buchungen muessen alle Buchungszeilen des Splitts ein Gegenkonto haben!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET Splitt=0 WHERE ID=21",
         "(ID=21): Die Buchungszeile gehoert zum Splitt, aber 'Splitt' ist nicht gesetzt!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Gegenkonto=0 WHERE ID=33",
         "(ID=33): Bei nicht gesplitteten Buchungen muessen alle Buchungszeilen ein Gegenkonto haben!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET Gegenkonto=1000 WHERE ID=33", "(ID=33): Keine Buchungszeile mit dem Gegenkonto 1000 gefunden!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET SplittBetrag=0 WHERE ID=21", "(ID=21): 'SplittBetrag' ist bei der Splittbuchung nicht gesetzt!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET AufteilungViaProzent=1, RestBeiProzent=1 WHERE ID=21",
         "(ID=21): Bei der Splittbuchung ist 'AufteilungViaProzent' gesetzt, aber kein Prozentsatz!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET SplittBetrag=5 WHERE ID=33",
         "(ID=33): 'SplittBetrag' (5,00) draf bei der Nicht-Splittbuchung nicht gesetzt sein!"},
        {10, "UPDATE eurVerbuchtBuchungszeilen SET SplittNetto=-1 WHERE ID=33",
         "(ID=33): 'SplittNetto' draf bei der Nicht-Splittbuchung nicht gesetzt sein!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET AufteilungViaProzent=1 WHERE ID=6",
         "(ID=6): 'AufteilungViaProzent' ist bei Sachkonto und Steuerkonto zu SteuerID 1 nicht gleich (0 != 1)!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET AufteilungProzentsatz=50 WHERE ID=6",
         "(ID=6): 'AufteilungProzentsatz' ist bei Sachkonto und Steuerkonto zu SteuerID 1 nicht gleich (0 != 50)!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET RestBeiProzent=1 WHERE ID=6",
         "(ID=6): 'RestBeiProzent' ist bei Sachkonto und Steuerkonto zu SteuerID 1 nicht gleich (0 != 1)!"},
        // closing
        {2, "UPDATE eurVerbucht SET Betrag=60 WHERE Buchungsnummer=2",
         ": Die Summe (59,50) aller Buchungszeilen ist ungleich dem Betrag (60,00) der Buchung!"},
        {2, "UPDATE eurVerbuchtBuchungszeilen SET Betrag=60 WHERE ID=4",
         ": Die Summe (-0,50) aller Buchungszeilen ist ungleich dem Betrag (59,50) der Buchung!"},
        {4, "UPDATE eurVerbucht SET Netto=0 WHERE Buchungsnummer=4",
         ": Die Summe (119,00) aller Buchungszeilen ist ungleich dem Betrag (100,00) der Buchung!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET AufteilungViaProzent=1, AufteilungProzentsatz=50 WHERE Buchungsnummer=7 AND Splitt<>0",
         ": Bei der Splittbuchung wurde 'AufteilungViaProzent' gesetzt aber für keine Teilbuchung 'RestBeiProzent'!"},
        {7, "UPDATE eurVerbuchtBuchungszeilen SET AufteilungViaProzent=1, AufteilungProzentsatz=50, RestBeiProzent=1 WHERE Buchungsnummer=7 "
            "AND Splitt<>0",
         ": Bei der Splittbuchung wurde 'AufteilungViaProzent' es wurde aber bei zuvielen Teilbuchungen (3 Stück) 'RestBeiProzent' gesetzt!"},
    };
    ASSERT_TRUE(alle().isEmpty());
    for (const Bruch& b : brueche) {
        rsLog::clear();
        const QStringList befunde = nach(QString::fromUtf8(b.sql));
        const QString text = befunde.join(QLatin1Char('\n'));
        EXPECT_TRUE(text.contains(QString::fromUtf8(b.befund))) << b.sql << "\nexpected: " << b.befund << "\nfound:\n" << text.toStdString();
        for (int n : nummern(befunde)) EXPECT_EQ(n, b.buchung) << b.sql << "\n" << text.toStdString();
        EXPECT_TRUE(befunde.first().startsWith(QStringLiteral(" - Fehler in der Buchung %1 (Herkunft: HERK_BUCH: Normaler Buchungsdialog) "
                                                              "in Tabelle eurVerbucht")
                                                   .arg(b.buchung)))
            << befunde.first().toStdString();
        EXPECT_EQ(rsLog::assertTexts().size(), befunde.size()) << "every finding goes to the assertion log";
    }
    const QStringList danach = alle();
    EXPECT_TRUE(danach.isEmpty()) << "the rollbacks restored the ledger\n" << danach.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Pruefung, FindingsComeByBookingThenRuleThenLine) {
    // Broken in reverse order of booking number, and within booking 2 the
    // line rules on all three lines.
    const QStringList b = nach(QStringLiteral("UPDATE eurVerbucht SET Periode=1 WHERE Buchungsnummer=8;"
                                              "UPDATE eurVerbuchtBuchungszeilen SET Kostenstelle='K' WHERE Buchungsnummer=2;"
                                              "UPDATE eurVerbucht SET Stapel=1 WHERE Buchungsnummer=2;"));
    ASSERT_EQ(b.size(), 5) << b.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(nummern(b), (QList<int>{2, 2, 2, 2, 8}));
    EXPECT_TRUE(b[0].contains(QStringLiteral("'Stapel'"))) << "header rules before line rules";
    EXPECT_EQ(ids(b).mid(1, 3), (QList<int>{4, 5, 6}));
    EXPECT_TRUE(b[4].contains(QStringLiteral("'Periode'")));

    // A booking's lines are checked by SteuerID, key and ID, not in the
    // order of their IDs: here the tax line has the lowest ID of its group.
    const QStringList c = nach(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET ID=700 WHERE ID=4;"
                                              "UPDATE eurVerbuchtBuchungszeilen SET ID=600 WHERE ID=5;"
                                              "UPDATE eurVerbuchtBuchungszeilen SET ID=500 WHERE ID=6;"
                                              "UPDATE eurVerbuchtBuchungszeilen SET Kostenstelle='K' WHERE Buchungsnummer=2;"));
    EXPECT_EQ(ids(c), (QList<int>{700, 600, 500})) << c.join(QLatin1Char('\n')).toStdString();
    // The same with a SteuerID stored as text: it sorts after every number.
    const QStringList d = nach(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET SteuerID='x', Kostenstelle='K' WHERE ID=4;"
                                              "UPDATE eurVerbuchtBuchungszeilen SET Kostenstelle='K' WHERE ID IN (5, 6);"));
    EXPECT_EQ(ids(d).mid(0, 3), (QList<int>{5, 6, 4})) << d.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Pruefung, LookUpsAreRememberedPerAccountKindSideAndKey) {
    // One pass asks the chart once per account; what it remembers must keep
    // the kind of booking, the side and the key apart. Each account below is
    // used correctly by an earlier booking and wrongly by a later one.
    const QStringList b = nach(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET Konto=4930 WHERE ID=27;"   // 8: income, 4930 fits expenses
                                              "UPDATE eurVerbuchtBuchungszeilen SET Konto=1200, Gegenkonto=1200 WHERE ID=33;"  // 10: bank as counter
                                              "UPDATE eurVerbuchtBuchungszeilen SET Steuerschluessel=5 WHERE ID=19;"));  // 7: 4930 with output tax
    const QString t = b.join(QLatin1Char('\n'));
    EXPECT_TRUE(t.contains(QStringLiteral("Buchung 8 (Herkunft: HERK_BUCH: Normaler Buchungsdialog) in Tabelle eurVerbucht (ID=27): Das Konto "
                                          "4930 (Kategorie 5700) in Dialogzeile 2 passt nicht zur Buchungsart 'Einnahme'!")))
        << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("(ID=33): Das Konto 1200 (Kategorie 202) in Dialogzeile 2 passt nicht zur Buchungsart 'Ausgabe'!")))
        << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("(ID=19): Das Ausgabekonto 4930 darf keinen Umsatzsteuerschluessel (5) haben!"))) << t.toStdString();
    EXPECT_FALSE(nummern(b).contains(2)) << "booking 2 uses 4930 and 1200 correctly";
}

TEST_F(Pruefung, StrayLinesAndEmptyBookingsKeepThePassInStep) {
    // Lines without a header (before, between and after the bookings, or
    // with a number that is not an integer) belong to no booking; a booking
    // without lines is found as such and its neighbours stay clean.
    const QStringList b = nach(QStringLiteral(
        "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Dialogzeile, Betrag, Konto) VALUES "
        "(NULL, 1, 1, 1200), (0, 1, 1, 1200), (2.5, 1, 1, 1200), (99, 0, 0, 0), ('abc', 1, 1, 1200), (-4, 1, 1, 1200);"
        "DELETE FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=5;"
        "INSERT INTO eurVerbucht (Buchungsnummer, Betrag, Buchungsart, Belegdatum, Buchungsdatum, Zahlungsdatum, Herkunft) VALUES "
        "(-4, 1, 1, '2016-01-01 00:00:00', '2016-01-01 00:00:00', '2016-01-01 00:00:00', 10);"));
    EXPECT_EQ(b.size(), 2) << b.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(b.value(0).startsWith(QStringLiteral(" - Fehler in der Buchung 18446744073709551612 ")))
        << "a negative number is read unsigned, as every look-up of a booking does, and finds no lines";
    EXPECT_TRUE(b.value(1).contains(QStringLiteral("Buchung 5 ")) && b.value(1).contains(QStringLiteral("Keine Eintraege")));
}

TEST_F(Pruefung, ListsSingleBookingsAndOtherTables) {
    const QString bruch = QStringLiteral("UPDATE eurVerbucht SET Periode=1 WHERE Buchungsnummer IN (2, 4, 6);");
    EXPECT_EQ(nummern(nach(bruch, QStringLiteral("6, 2"))), (QList<int>{2, 6})) << "only the listed bookings, in number order";
    EXPECT_EQ(nummern(nach(bruch)), (QList<int>{2, 4, 6}));

    EXPECT_EQ(KG::verifyBuchung(999, kVerbucht, true),
              QStringList{QStringLiteral(" - Fehler in der Buchung 999 in Tabelle eurVerbucht: Buchung nicht in der Tabelle enthalten!")});
    EXPECT_TRUE(KG::verifyBuchung(999, kVerbucht).isEmpty()) << "without `immer` only with test flag 4";
    GetGlobal().setTestFlags(4);
    EXPECT_EQ(KG::verifyBuchung(999, kVerbucht).size(), 1);
    GetGlobal().setTestFlags(0);

    // Every ledger table family is checked the same way.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurStapel (Buchungsnummer, Betrag, Buchungsart, Belegdatum, Buchungsdatum, "
                                           "Zahlungsdatum, Herkunft) VALUES (1, 5, 3, '2016-02-01 00:00:00', '2016-02-01 00:00:00', "
                                           "'2016-02-01 00:00:00', 10)")));
    EXPECT_EQ(KG::verifyBuchungen(QStringLiteral("eurStapel"), QString(), true),
              QStringList{QStringLiteral(" - Fehler in der Buchung 1 (Herkunft: HERK_BUCH: Normaler Buchungsdialog) in Tabelle eurStapel: "
                                         "Keine Eintraege in der Tabelle gefunden!")});
}

TEST_F(Pruefung, AnUnreadableTableIsAFindingNotASilentPass) {
    ASSERT_TRUE(db->beginTransaction());
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("DROP TABLE eurUebernahmeBuchungszeilen")));
    const QStringList b = KG::verifyBuchungen(QStringLiteral("eurUebernahme"), QString(), true);
    db->rollback();
    EXPECT_EQ(b, QStringList{QStringLiteral("Die Buchungen der Tabelle eurUebernahme konnten nicht vollständig gelesen werden.")});
}

}  // namespace

namespace {

// Amounts are money in the file too: a third decimal or an amount beyond
// the bound, written by another tool or an old program, is a finding.
TEST_F(Pruefung, StoredAmountsThatAreNoMoneyAreFound) {
    EXPECT_EQ(KG::pruefeGeldbetraege(QStringLiteral("eurVerbucht")), QStringList()) << "the clean ledger";
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Betrag=59.505 WHERE Buchungsnummer=2;"
                                           "UPDATE eurVerbuchtBuchungszeilen SET Betrag=1e10 WHERE ID=(SELECT MIN(ID) FROM "
                                           "eurVerbuchtBuchungszeilen WHERE Buchungsnummer=10);"
                                           "UPDATE eurVerbuchtBuchungszeilen SET Betrag=0.1+0.2 WHERE ID=(SELECT MAX(ID) FROM "
                                           "eurVerbuchtBuchungszeilen WHERE Buchungsnummer=4)")));
    const QStringList b = KG::pruefeGeldbetraege(QStringLiteral("eurVerbucht"));
    ASSERT_EQ(b.size(), 2) << b.join(QLatin1Char('\n')).toStdString() << "\n0.1+0.2 is 0.30 to the cent";
    EXPECT_TRUE(b[0].startsWith(QStringLiteral("Buchung 2: Der Betrag der Buchung (59.505)"))) << b[0].toStdString();
    EXPECT_TRUE(b[1].startsWith(QStringLiteral("Buchung 10: Der Betrag einer Buchungszeile (10000000000)"))) << b[1].toStdString();
    EXPECT_TRUE(b[1].contains(QStringLiteral("kein Geldbetrag")));
    EXPECT_EQ(KG::pruefeGeldbetraege(QStringLiteral("eurGibtsNicht")), QStringList());
}

}  // namespace
