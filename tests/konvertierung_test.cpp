// Conversion of case databases written by older program versions.
//
// Each test builds an "old" file from the empty template, fills the rows a
// step is meant to change (and rows it must leave alone), runs the conversion
// for a chosen old version and program year, and looks at the data.
#include "support/testenv.h"

#include "host/app/global.h"
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

class KonvertierungTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_file = m_env.path(QStringLiteral("alt.db3"));
        ASSERT_TRUE(QFile::exists(GlobalInst::templateFile())) << GlobalInst::templateFile().toStdString();
        ASSERT_TRUE(QFile::copy(GlobalInst::templateFile(), m_file));
        QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
        m_con = new DBConnection;
        ASSERT_TRUE(m_con->createAndConnect(m_file));
        m_kg.SetDBConnectKonto_Ptr(m_con);
    }
    void TearDown() override { m_kg.destroyConnectionKonto(); }

    void sql(const QString& s) { ASSERT_TRUE(ExecSQL(m_con, s)) << s.toStdString() << " " << m_con->getErr()->last().toStdString(); }
    QString str(const QString& s) { return GetDatenTyp(m_con, s).toString(); }
    long long num(const QString& s) { return GetDatenTyp(m_con, s).toLongLong(); }
    double dbl(const QString& s) { return GetDatenTyp(m_con, s).toDouble(); }
    // `was` (a column or COUNT(*)) of the rows of `tabelle` whose `schluessel` is each of `ids`, as "id=value ..."
    // in the order asked: one comparison shows every row a step touched or left.
    QString werte(const char* tabelle, const char* was, std::initializer_list<int> ids, const char* schluessel = "ID") {
        QStringList out;
        for (int id : ids)
            out << QStringLiteral("%1=%2").arg(id).arg(str(QStringLiteral("SELECT %1 FROM %2 WHERE %3=%4").arg(was, tabelle, schluessel).arg(id)));
        return out.join(QLatin1Char(' '));
    }

    void setProperty(const QString& feld, const QString& wert) {
        sql(QStringLiteral("INSERT OR REPLACE INTO Falleigenschaften (Feld, Wert) VALUES (%1, %2)")
                .arg(rsDataSource::toSqlStr(feld), rsDataSource::toSqlStr(wert)));
    }
    void booking(int nr, double betrag, const QString& extra = QString(), const QString& table = "eurVerbucht") {
        sql(QStringLiteral("INSERT INTO %1 (Buchungsnummer, Buchungstext, Betrag, Belegdatum%2) VALUES (%3, 'B', %4, "
                           "'2015-05-05 00:00:00'%5)")
                .arg(table, extra.isEmpty() ? QString() : QStringLiteral(", ") + extra.section('|', 0, 0),
                     QString::number(nr), QString::number(betrag),
                     extra.isEmpty() ? QString() : QStringLiteral(", ") + extra.section('|', 1, 1)));
    }
    // One line: id, booking, SteuerID, Dialogzeile, amount, credit side, account, tax key.
    void line(int id, int nr, int steuerId, int dialog, double betrag, bool haben, int konto, int schluessel,
              const QString& table = "eurVerbuchtBuchungszeilen") {
        sql(QStringLiteral("INSERT INTO %1 (ID, Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Konto, "
                           "Steuerschluessel) VALUES (%2, %3, %4, %5, %6, %7, %8, %9)")
                .arg(table)
                .arg(id)
                .arg(nr)
                .arg(steuerId)
                .arg(dialog)
                .arg(betrag)
                .arg(haben ? -1 : 0)
                .arg(konto)
                .arg(schluessel));
    }
    // A booking that every always-running clean-up leaves alone: two base lines, the bank and `gegen`.
    void balancedBooking(int nr, double betrag, int gegen = 8400, int schluessel = 0, const QString& extra = QString()) {
        booking(nr, betrag, extra);
        line(nr * 100 + 1, nr, 0, 1, betrag, false, 1200, 0);
        line(nr * 100 + 2, nr, 1, 2, betrag, true, gegen, schluessel);
    }

    TestEnv m_env;
    QString m_file;
    DBConnection* m_con = nullptr;
    KontoGlobal m_kg{0};
};

// --- which steps run ----------------------------------------------------------

TEST_F(KonvertierungTest, ProgramYear2015SkipsTheOldBlockButRunsTheLaterSteps) {
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, EUR, USt) VALUES (4000, 'A', 1140, 38000000)");
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung) VALUES (0, 'kaputt')");
    sql("INSERT INTO reEinheiten (EinheitID, Kuerzel, NachkommastellenPreis) VALUES (1, 'Stk', 0)");
    sql("INSERT INTO reArtikel (ArtikelID, Bezeichnung) VALUES (0, 'halb angelegt')");
    sql("INSERT INTO rePersonen (PersonID, Anrede) VALUES (1, 'Herr'), (2, 'Herrn'), (3, 'Frauen')");
    balancedBooking(1, 50);
    booking(0, 10);
    line(9001, 0, 0, 1, 10, false, 1200, 0);
    line(9002, 0, 1, 2, 10, true, 8400, 0);
    // No first dialog line: step 1 would delete it.
    booking(2, 20);
    line(201, 2, 0, 2, 20, false, 1200, 0);
    line(202, 2, 1, 2, 20, true, 8400, 0);
    // Orphan template line: only step 2 deletes those.
    line(301, 77, 0, 1, 5, false, 1200, 0, "eurBeispielBuchungszeilen");

    m_kg.runConversionSteps(6000, 2015);

    // Steps 1-20 did not run.
    EXPECT_EQ(str("SELECT EUR || '/' || USt FROM eurKontenplan WHERE Nummer=4000"), "1140/38000000");
    EXPECT_EQ(num("SELECT NachkommastellenPreis FROM reEinheiten WHERE EinheitID=1"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM reArtikel WHERE ArtikelID=0"), 1);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE ID=301"), 1);
    // Steps 0, 21, 39, 42 did; booking 2 and person 1, which only the old block changes, stay.
    EXPECT_EQ(werte("eurVerbucht", "COUNT(*)", {0, 1, 2}, "Buchungsnummer"), "0=0 1=1 2=1");
    EXPECT_EQ(werte("rePersonen", "Anrede", {1, 2, 3}, "PersonID"), "1=Herr 2=Herr 3=Damen");
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurKontenplan WHERE Nummer=0"), 0);
}

TEST_F(KonvertierungTest, ProgramYear2012RunsTheOldBlockWithRenumberingsInOrder) {
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, EUR, USt) VALUES "
        "(4000, 'A', 1140, 38000000), (4001, 'B', 2140, 39000000), (4002, 'C', 55000000, 52000000), (4003, 'D', 777, 0)");
    sql("INSERT INTO reEinheiten (EinheitID, Kuerzel, NachkommastellenPreis) VALUES (1, 'Stk', 0), (2, 'kg', NULL), (3, 'h', 3)");
    sql("INSERT INTO reArtikel (ArtikelID, Bezeichnung) VALUES (0, 'halb angelegt'), (1, 'fertig')");
    sql("INSERT INTO rePersonen (PersonID, Anrede) VALUES (0, 'Herr'), (1, 'Frauen')");
    booking(2, 20);
    line(201, 2, 0, 2, 20, false, 1200, 0);
    line(202, 2, 1, 2, 20, true, 8400, 0);
    balancedBooking(3, 30);
    line(301, 77, 0, 1, 5, false, 1200, 0, "eurBeispielBuchungszeilen");

    m_kg.runConversionSteps(6000, 2012);

    EXPECT_EQ(werte("eurKontenplan", "EUR", {4000, 4001, 4002, 4003}, "Nummer"), "4000=20140 4001=25140 4002=29122 4003=777");
    // 39000000 becomes 38000000 after 38000000 has already become 37000000.
    EXPECT_EQ(werte("eurKontenplan", "USt", {4000, 4001, 4002}, "Nummer"), "4000=37000000 4001=38000000 4002=51000000");
    EXPECT_EQ(werte("reEinheiten", "NachkommastellenPreis", {1, 2, 3}, "EinheitID"), "1=2 2=2 3=3");
    EXPECT_EQ(num("SELECT COUNT(*) FROM reArtikel"), 1);
    EXPECT_EQ(num("SELECT COUNT(*) FROM rePersonen WHERE PersonID=0"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer=2"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=2"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer=3"), 1);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE ID=301"), 0);
    EXPECT_EQ(str("SELECT Anrede FROM rePersonen WHERE PersonID=1"), "Damen");
}

TEST_F(KonvertierungTest, CurrentVersionRunsOnlyTheUnconditionalClean) {
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie) VALUES (0, 'bleibt', 3000)");
    sql("INSERT INTO rePersonen (PersonID, Anrede) VALUES (1, 'Frauen'), (2, 'Herrn')");
    booking(0, 10);
    balancedBooking(1, 40);
    balancedBooking(2, 0);
    line(301, 77, 0, 1, 5, false, 1200, 0, "eurBeispielBuchungszeilen");

    m_kg.runConversionSteps(20161423, 2016);

    EXPECT_EQ(werte("eurVerbucht", "COUNT(*)", {0, 1, 2}, "Buchungsnummer"), "0=0 1=1 2=0");
    EXPECT_EQ(werte("eurVerbuchtBuchungszeilen", "COUNT(*)", {1, 2}, "Buchungsnummer"), "1=2 2=0");
    EXPECT_EQ(werte("rePersonen", "Anrede", {1, 2}, "PersonID"), "1=Frauen 2=Herrn");
    EXPECT_EQ(num("SELECT Kategorie FROM eurKontenplan WHERE Nummer=0"), 3000);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE ID=301"), 1);
}

TEST_F(KonvertierungTest, FailingStatementsDoNotStopTheConversionAndLeaveNoErrors) {
    m_con->getErr()->add(QStringLiteral("frueherer Fehler"));
    sql("DROP TABLE reEinheiten");
    sql("DROP TABLE eurBankverbindung");
    sql("INSERT INTO rePersonen (PersonID, Anrede) VALUES (1, 'Frauen')");
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, EUR) VALUES (4000, 'A', 1140)");

    m_kg.runConversionSteps(6000, 2009);

    EXPECT_EQ(num("SELECT EUR FROM eurKontenplan WHERE Nummer=4000"), 20140);
    EXPECT_EQ(str("SELECT Anrede FROM rePersonen WHERE PersonID=1"), "Damen");
    ASSERT_EQ(m_con->getErr()->errors().size(), 1);
    EXPECT_EQ(m_con->getErr()->last(), "frueherer Fehler");
}

// --- single steps ---------------------------------------------------------------

TEST_F(KonvertierungTest, Step3PutsSplitPartsOppositeTheUnsplitLine) {
    sql("INSERT OR REPLACE INTO eurSteuerschluessel (Steuerschluessel, Steuersatz, Steuerkonto, Steuerkonto2) VALUES "
        "(9091, 19, 1576, 1776), (9092, 19, 1576, 0)");
    booking(1, 238);
    line(1, 1, 0, 1, 238, true, 1200, 0);  // unsplit side: credit
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=0 WHERE ID=1");
    line(2, 1, 1, 2, 100, true, 4900, 9091);
    line(3, 1, 1, 0, 19, true, 1576, 999999);
    line(4, 1, 1, 0, 19, true, 1776, 999999);
    line(5, 1, 2, 2, 100, true, 4910, 9092);
    line(6, 1, 2, 0, 19, true, 1576, 999999);
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=1 WHERE ID>1");

    m_kg.runConversionSteps(6300, 2012);

    // Line 4 is on the second tax account: it stays opposite its base.
    EXPECT_EQ(werte("eurVerbuchtBuchungszeilen", "Haben", {1, 2, 3, 4, 5, 6}), "1=-1 2=0 3=0 4=-1 5=0 6=0");
}

TEST_F(KonvertierungTest, Step4TurnsOffMixedPercentageSplits) {
    booking(1, 100);
    line(1, 1, 0, 1, 100, false, 1200, 0);
    line(2, 1, 1, 2, 60, true, 8400, 0);
    line(3, 1, 2, 2, 40, true, 8300, 0);
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=1 WHERE ID IN (2,3)");
    sql("UPDATE eurVerbuchtBuchungszeilen SET AufteilungViaProzent=-1, AufteilungProzentsatz=60 WHERE ID=2");
    // Consistent percentage split: stays.
    booking(2, 100);
    line(11, 2, 0, 1, 100, false, 1200, 0);
    line(12, 2, 1, 2, 60, true, 8400, 0);
    line(13, 2, 2, 2, 40, true, 8300, 0);
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=1, AufteilungViaProzent=-1 WHERE ID IN (12,13)");

    m_kg.runConversionSteps(6380, 2012);

    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=1 AND AufteilungViaProzent<>0"), 0);
    EXPECT_EQ(num("SELECT RestBeiProzent FROM eurVerbuchtBuchungszeilen WHERE ID=3"), -1);
    EXPECT_EQ(num("SELECT RestBeiProzent FROM eurVerbuchtBuchungszeilen WHERE ID=2"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=2 AND AufteilungViaProzent<>0"), 2);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=2 AND RestBeiProzent<>0"), 0);
}

TEST_F(KonvertierungTest, Step5TakesThePeriodOfSupplyFromTheDeliveryDate) {
    sql("INSERT INTO reRechnungen (ID, Nummer, Lieferdatum) VALUES (1, 'R1', '2009-06-15 00:00:00'), (2, 'R2', NULL)");
    m_kg.runConversionSteps(20160000, 2009);
    EXPECT_EQ(str("SELECT ZeitraumVon FROM reRechnungen WHERE ID=1"), "2009-06-15 00:00:00");
    EXPECT_EQ(str("SELECT ZeitraumBis FROM reRechnungen WHERE ID=1"), "2009-06-15 00:00:00");
    EXPECT_TRUE(GetDatenTyp(m_con, "SELECT ZeitraumVon FROM reRechnungen WHERE ID=2").isNull());
}

// Step 8 runs for program years before 2010; with a version past step 34 it
// is the only step that removes tax lines.
TEST_F(KonvertierungTest, Step8DeletesOrphanTaxLinesOnlyWhenTheLedgerIsOutOfBalance) {
    booking(1, 119);
    line(101, 1, 0, 1, 119, false, 1200, 0);
    line(102, 1, 1, 2, 100, true, 8400, 0);
    line(103, 1, 5, 0, 19, true, 1776, 999999);
    m_kg.runConversionSteps(20160000, 2009);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE ID=103"), 1) << "the ledger balances";

    balancedBooking(2, 100);
    line(203, 2, 5, 0, 19, true, 1776, 999999);
    m_kg.runConversionSteps(20160000, 2009);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE ID=203"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=2"), 2);
}

TEST_F(KonvertierungTest, Step12MovesNewYearBookingsOnlyForTaxYear2010) {
    balancedBooking(1, 10);
    sql("UPDATE eurVerbucht SET Belegdatum='2011-01-01 00:00:00' WHERE Buchungsnummer=1");
    balancedBooking(2, 10);
    sql("UPDATE eurVerbucht SET Belegdatum='2011-01-02 00:00:00' WHERE Buchungsnummer=2");

    setProperty("Steuerjahr", "2011");
    m_kg.runConversionSteps(20160000, 2010);
    EXPECT_EQ(str("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=1"), "2011-01-01 00:00:00");

    setProperty("Steuerjahr", "2010");
    m_kg.runConversionSteps(20160000, 2010);
    EXPECT_EQ(str("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=1"), "2010-01-01 00:00:00");
    EXPECT_EQ(str("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=2"), "2011-01-02 00:00:00");
}

TEST_F(KonvertierungTest, Step13StoresGrossPricesFromTheTaxRate) {
    sql("INSERT OR REPLACE INTO eurSteuerschluessel (Steuerschluessel, Steuersatz) VALUES (9019, 19), (9007, 7)");
    sql("INSERT INTO reArtikel (ArtikelID, Steuerschluessel, Normalpreis, Mindestpreis) VALUES (1, 9019, 10, 8.5)");
    sql("INSERT INTO reArtikel (ArtikelID, Steuerschluessel, Normalpreis, Bruttonormalpreis, BruttoNettoGetrennt) "
        "VALUES (2, 9019, 10, 12.34, 1)");
    sql("INSERT INTO rePreise (PreisID, ArtikelID, Preis, Steuerschluessel) VALUES (1, 1, 20, 0), (2, 1, 20, 9007)");
    sql("INSERT INTO reRechnungenPositionen (ID, PositionID, Preis, Steuerschluessel) VALUES (5, 1, 0.99, 9007), "
        "(5, 2, 4.2, 4711)");
    sql("INSERT INTO reAngebotePositionen (ID, PositionID, Preis, Steuerschluessel) VALUES (3, 1, 100, 9019)");

    m_kg.runConversionSteps(20160000, 2010);

    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttonormalpreis FROM reArtikel WHERE ArtikelID=1"), 11.90);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttomindestpreis FROM reArtikel WHERE ArtikelID=1"), 10.12);  // 10.115 rounds up
    EXPECT_EQ(num("SELECT BruttoNettoGetrennt FROM reArtikel WHERE ArtikelID=1"), 1);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttonormalpreis FROM reArtikel WHERE ArtikelID=2"), 12.34);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttopreis FROM rePreise WHERE PreisID=1"), 23.80);  // the article's key
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttopreis FROM rePreise WHERE PreisID=2"), 21.40);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttopreis FROM reRechnungenPositionen WHERE ID=5 AND PositionID=1"), 1.06);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttopreis FROM reRechnungenPositionen WHERE ID=5 AND PositionID=2"), 4.2);
    EXPECT_EQ(num("SELECT BruttoNettoGetrennt FROM reRechnungenPositionen WHERE ID=5 AND PositionID=2"), 1);
    EXPECT_DOUBLE_EQ(dbl("SELECT Bruttopreis FROM reAngebotePositionen WHERE ID=3"), 119.0);
}

TEST_F(KonvertierungTest, Steps17And18DeriveCustomerFlagsAndActivateTheInterestAccount) {
    sql("INSERT INTO rePersonen (PersonID, Kundennummer, Art, Notiz) VALUES (1, 'K-1', 1, ''), (2, '', 2, 'ruft zurück'), "
        "(3, NULL, 1, NULL)");
    const unsigned long konto = m_kg.getSpezialKonto(2650);
    ASSERT_NE(konto, 0u);
    sql(QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Aktiv) VALUES (%1, 'Zinsen', 0), (4711, 'X', 0)")
            .arg(konto));

    m_kg.runConversionSteps(20160000, 2011);

    auto flags = [&](int id) {
        return str(QStringLiteral("SELECT (CAST(Kunde AS INTEGER)<>0) || (IstInteressent<>0) || (EnthaeltNotiz<>0) "
                                  "FROM rePersonen WHERE PersonID=%1").arg(id));
    };
    EXPECT_EQ(flags(1), "100");
    EXPECT_EQ(flags(2), "011");
    EXPECT_EQ(flags(3), "000");
    EXPECT_EQ(num(QStringLiteral("SELECT Aktiv FROM eurKontenplan WHERE Nummer=%1").arg(konto)), 1);
    EXPECT_EQ(num("SELECT Aktiv FROM eurKontenplan WHERE Nummer=4711"), 0);
}

TEST_F(KonvertierungTest, Step23DeletesBookingsWithASingleBaseLine) {
    booking(1, 119);  // one base line and its tax line
    line(101, 1, 1, 1, 100, false, 4900, 9);
    line(102, 1, 1, 0, 19, false, 1576, 999999);
    balancedBooking(2, 50);
    booking(3, 10);  // no lines at all

    m_kg.runConversionSteps(20161423, 2016);

    EXPECT_EQ(werte("eurVerbucht", "COUNT(*)", {1, 2, 3}, "Buchungsnummer"), "1=0 2=1 3=0");
    EXPECT_EQ(num("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=1"), 0);
}

TEST_F(KonvertierungTest, Step24ShortensLongBookingTexts) {
    const QString lang = QStringLiteral("Miete   Büro") + QString(95, QLatin1Char('x')) + QStringLiteral("   Ende");
    const QString hundert(100, QLatin1Char('y'));
    balancedBooking(1, 10);
    sql(QStringLiteral("UPDATE eurVerbucht SET Buchungstext=%1 WHERE Buchungsnummer=1").arg(rsDataSource::toSqlStr(lang)));
    sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET Buchungstext=%1 WHERE ID=101").arg(rsDataSource::toSqlStr(hundert)));
    // A cut that ends on a blank: the blank goes too.
    const QString mitLuecke = QString(99, QLatin1Char('z')) + QStringLiteral("   w") + QString(10, QLatin1Char('v'));
    sql(QStringLiteral("INSERT INTO eurBeispielBuchungszeilen (ID, Buchungsnummer, Buchungstext) VALUES (7, 1, %1)")
            .arg(rsDataSource::toSqlStr(mitLuecke)));

    m_kg.runConversionSteps(20138288, 2016);

    const QString erwartet = (QStringLiteral("Miete Büro") + QString(95, QLatin1Char('x'))).left(100);
    EXPECT_EQ(str("SELECT Buchungstext FROM eurVerbucht WHERE Buchungsnummer=1"), erwartet);
    EXPECT_EQ(str("SELECT Buchungstext FROM eurVerbuchtBuchungszeilen WHERE ID=101"), hundert);
    EXPECT_EQ(str("SELECT Buchungstext FROM eurBeispielBuchungszeilen WHERE ID=7"), QString(99, QLatin1Char('z')));
}

TEST_F(KonvertierungTest, Step25SetsTheTriangularFlagFromTheRevenueAccount) {
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, UStVA) VALUES (8130, 'Dreieck', 42), (8125, 'igL', 41)");
    balancedBooking(1, 100, 8130, 25, "UStID|'ATU12345678'");
    balancedBooking(2, 100, 8125, 25, "UStID, Dreieck|'FR123', -1");
    balancedBooking(3, 100, 8125, 25, "Dreieck|-1");  // no VAT number: untouched

    m_kg.runConversionSteps(20148300, 2016);

    EXPECT_EQ(werte("eurVerbucht", "Dreieck<>0", {1, 2, 3}, "Buchungsnummer"), "1=1 2=0 3=1");
}

TEST_F(KonvertierungTest, Steps26To28DeriveGermanBankDetailsFromEachOther) {
    sql("INSERT INTO reBankverbindungen (BankverbindungID, Kontonummer, BLZ, IBAN, BIC, Bank) VALUES "
        "(1, '0532013000', '37040044', '', '', ''), "
        "(2, '532013000', '370 400 44', NULL, NULL, NULL), "
        "(3, '12345', '1234567', '', '', ''), "  // no 8-digit bank code
        "(4, '', '', 'DE89 3704 0044 0532 0130 00', 'COBADEFFXXX', 'Commerzbank'), "
        "(5, '', '', 'DE88370400440532013000', '', ''), "  // wrong check digits
        "(6, '999', '', 'DE89370400440532013000', '', '')");
    sql("INSERT INTO eurBankverbindung (BankverbindungID, Kontonummer, BLZ, IBAN) VALUES "
        "(1, '0532013000', '37040044', ''), (2, NULL, NULL, 'DE89370400440532013000')");

    m_kg.runConversionSteps(20148000, 2016);

    EXPECT_EQ(werte("reBankverbindungen", "IBAN", {1, 2, 3}, "BankverbindungID"), "1=DE89370400440532013000 2=DE89370400440532013000 3=");
    EXPECT_EQ(str("SELECT BLZ || '/' || Kontonummer || '/' || BIC || '/' || Bank FROM reBankverbindungen "
                  "WHERE BankverbindungID=4"),
              "37040044/532013000/COBADEFFXXX/Commerzbank");
    EXPECT_EQ(werte("reBankverbindungen", "BLZ || '/' || Kontonummer", {5, 6}, "BankverbindungID"), "5=/ 6=37040044/999");
    EXPECT_EQ(str("SELECT IBAN FROM eurBankverbindung WHERE BankverbindungID=1"), "DE89370400440532013000");
    EXPECT_EQ(str("SELECT BLZ || '/' || Kontonummer FROM eurBankverbindung WHERE BankverbindungID=2"), "37040044/532013000");
}

TEST_F(KonvertierungTest, Step29MovesInvoiceRevenuePartsToTheCounterSide) {
    sql("INSERT INTO reRechnungen (ID, Nummer) VALUES (1, 'RE-1')");
    booking(1, 119, "Zusatzinfo|'RE-1'");
    line(101, 1, 0, 1, 119, false, 1200, 0);
    line(102, 1, 1, 0, 100, true, 8400, 9);
    line(103, 1, 1, 0, 19, true, 1776, 999999);
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=1, SplittBetrag=100 WHERE ID IN (102,103)");
    booking(2, 119, "Zusatzinfo|'kein Beleg'");
    line(201, 2, 0, 1, 119, false, 1200, 0);
    line(202, 2, 1, 0, 100, true, 8400, 9);
    sql("UPDATE eurVerbuchtBuchungszeilen SET Splitt=1 WHERE ID=202");

    m_kg.runConversionSteps(20148513, 2016);

    EXPECT_EQ(werte("eurVerbuchtBuchungszeilen", "Dialogzeile", {102, 103, 202}), "102=2 103=0 202=0");
    EXPECT_DOUBLE_EQ(dbl("SELECT SplittBetrag FROM eurVerbuchtBuchungszeilen WHERE ID=102"), 119.0);
}

TEST_F(KonvertierungTest, Step33RecordsThePaymentOfPaidInvoices) {
    sql("INSERT INTO reRechnungen (ID, Nummer, bezahlt, Anzahlung, Gesamtbetrag) VALUES "
        "(1, 'RE-1', '2014-03-01 00:00:00', 0, 119), (2, 'RE-2', '', 0, 50), (3, 'RE-3', '2014-03-01 00:00:00', 10, 50)");
    for (int nr = 1; nr <= 3; ++nr) balancedBooking(nr, 119, 8400, 0, QStringLiteral("Zusatzinfo|'RE-%1'").arg(nr));
    m_kg.runConversionSteps(20148584, 2016);
    EXPECT_EQ(werte("reRechnungen", "printf('%.2f', Anzahlung)", {1, 2, 3}), "1=119.00 2=0.00 3=10.00");
}

TEST_F(KonvertierungTest, Step34GivesTaxedLinesTheirOwnSteuerID) {
    // Base line with key 9 shares SteuerID 0 with the key-0 account line.
    booking(1, 119);
    line(101, 1, 0, 1, 119, false, 1200, 0);
    line(102, 1, 0, 2, 100, true, 8400, 9);
    line(103, 1, 0, 0, 19, true, 1776, 999999);
    // Tax line whose group has no taxed base line: removed.
    balancedBooking(2, 100);
    line(203, 2, 1, 0, 19, true, 1776, 999999);
    // Already separate groups: unchanged.
    booking(3, 119);
    line(301, 3, 0, 1, 119, false, 1200, 0);
    line(302, 3, 4, 2, 100, true, 8400, 9);
    line(303, 3, 4, 0, 19, true, 1776, 999999);

    m_kg.runConversionSteps(20148694, 2016);

    EXPECT_EQ(werte("eurVerbuchtBuchungszeilen", "SteuerID", {101, 102, 103, 302, 303}), "101=0 102=1 103=1 302=4 303=4");
    EXPECT_EQ(werte("eurVerbuchtBuchungszeilen", "COUNT(*)", {201, 202, 203}), "201=1 202=1 203=0");
}

TEST_F(KonvertierungTest, Step36RepairsTemplateDates) {
    sql("INSERT INTO eurBeispiel (Buchungsnummer, Belegdatum, Buchungsdatum, Zahlungsdatum) VALUES "
        "(1, '00:00:00', '2012-00-00 00:00:00', '31.12.2013'), (2, '2014-02-03 00:00:00', 'Unsinn', NULL)");
    m_kg.runConversionSteps(20158824, 2016);
    EXPECT_EQ(werte("eurBeispiel", "Belegdatum || '|' || Buchungsdatum || '|' || IFNULL(Zahlungsdatum, 'NULL')", {1, 2}, "Buchungsnummer"),
              "1=|2012-01-01 00:00:00|2013-12-31 00:00:00 2=2014-02-03 00:00:00||NULL");
}

TEST_F(KonvertierungTest, Step37RemovesTimesOfDay) {
    balancedBooking(1, 10);
    sql("UPDATE eurVerbucht SET Belegdatum='2015-03-01 10:30:00', Zahlungsdatum='2015-03-04 10:00:00' WHERE Buchungsnummer=1");
    sql("INSERT INTO eurBeispiel (Buchungsnummer, Belegdatum, Zahlungsdatum) VALUES (1, '2015-04-01 23:59:59', NULL)");
    m_kg.runConversionSteps(20158830, 2016);
    EXPECT_EQ(str("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=1"), "2015-03-01 00:00:00");
    EXPECT_EQ(str("SELECT Zahlungsdatum FROM eurVerbucht WHERE Buchungsnummer=1"), "2015-03-04 00:00:00");
    EXPECT_EQ(str("SELECT Belegdatum FROM eurBeispiel WHERE Buchungsnummer=1"), "2015-04-01 00:00:00");
    EXPECT_TRUE(GetDatenTyp(m_con, "SELECT Zahlungsdatum FROM eurBeispiel WHERE Buchungsnummer=1").isNull());
}

TEST_F(KonvertierungTest, Step38GivesDocumentsWithKeyZeroAFreeKey) {
    sql("INSERT INTO reRechnungen (ID, Nummer) VALUES (0, 'neu'), (5, 'alt')");
    sql("INSERT INTO reRechnungenPositionen (ID, PositionID, Preis) VALUES (0, 1, 1), (0, 2, 2), (7, 1, 3)");
    sql("INSERT INTO reTempPositionen (ID, PositionID) VALUES (0, 1)");
    m_kg.runConversionSteps(20158841, 2016);
    EXPECT_EQ(str("SELECT Nummer FROM reRechnungen WHERE ID=8"), "neu");
    EXPECT_EQ(num("SELECT COUNT(*) FROM reRechnungenPositionen WHERE ID=8"), 2);
    EXPECT_EQ(num("SELECT COUNT(*) FROM reRechnungenPositionen WHERE ID=0"), 0);
    EXPECT_EQ(num("SELECT COUNT(*) FROM reTempPositionen WHERE ID=0"), 1);
}

TEST_F(KonvertierungTest, Step40MovesCategoriesInOrder) {
    sql("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie) VALUES (1, 'a', 3000), (2, 'b', 3001), (3, 'c', 3010)");
    m_kg.runConversionSteps(20161400, 2016);
    EXPECT_EQ(werte("eurKontenplan", "Kategorie", {1, 2, 3}, "Nummer"), "1=3010 2=3020 3=3010");
}

TEST_F(KonvertierungTest, Step41CompletesTaxKeysOfEuTemplatesFromTheReference) {
    DBConnection* ref = GlobalInst::instance().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    ASSERT_NE(ref, nullptr);
    ASSERT_TRUE(rsTableExists(ref, "eurBeispielMitUSt2007Buchungszeilen"));
    const QString igl = QStringLiteral("Steuerfreie innergemeinschaftliche Lieferungen");
    const QString b13 = QStringLiteral("Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet");
    auto tpl = [&](int id, int nr, int konto, int key, const QString& text) {
        sql(QStringLiteral("INSERT INTO eurBeispielBuchungszeilen (ID, Buchungsnummer, Konto, Steuerschluessel, Buchungstext) "
                           "VALUES (%1, %2, %3, %4, %5)")
                .arg(id).arg(nr).arg(konto).arg(key).arg(rsDataSource::toSqlStr(text)));
    };
    tpl(1, 50, 8125, 0, igl);
    tpl(2, 50, 1200, 0, igl);           // the bank line keeps no key
    tpl(3, 55, 8337, 0, b13);
    tpl(4, 50, 8125, 0, "Eigener Text");  // changed by the user
    tpl(5, 52, 8130, 7, "Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften");

    m_kg.runConversionSteps(20161410, 2016);

    EXPECT_EQ(werte("eurBeispielBuchungszeilen", "Steuerschluessel", {1, 2, 3, 4, 5}), "1=25 2=0 3=27 4=0 5=7");
}

// --- through the normal open -------------------------------------------------

// The working database of `kg` as an older program left it: the template
// with version 6000 and the statements `sql` run on it.
void alteDatenbank(KontoGlobal& kg, const char* sql) {
    const QString path = kg.getDatenbankName();
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(GlobalInst::templateFile(), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    DBConnection con;
    ASSERT_TRUE(con.createAndConnect(path));
    ASSERT_TRUE(ExecSQL(&con, "UPDATE Version SET Version=6000"));
    ASSERT_TRUE(ExecSQL(&con, QString::fromUtf8(sql)));
}

TEST(KonvertierungOeffnen, OpeningAnOldCaseFileConvertsIt) {
    TestEnv env;
    rsOptionsGlobal::instance().setInt(QStringLiteral("Private"), QStringLiteral("WSConvertDoConvert"), 1);
    KontoGlobal kg(0);
    alteDatenbank(kg, "INSERT OR REPLACE INTO Falleigenschaften (Feld, Wert) VALUES ('ProgrammJahr', '2015');"
                      "INSERT INTO rePersonen (PersonID, Anrede) VALUES (1, 'Frauen');"
                      "INSERT INTO reEinheiten (EinheitID, Kuerzel, NachkommastellenPreis) VALUES (1, 'Stk', 0)");

    kg.createConnectionKonto(false);
    ASSERT_TRUE(kg.isConnected());
    DBConnection* con = kg.GetDBConnect_Ptr();
    EXPECT_EQ(GetDatenTyp(con, "SELECT Anrede FROM rePersonen WHERE PersonID=1").toString(), "Damen");
    EXPECT_EQ(GetDatenTyp(con, "SELECT NachkommastellenPreis FROM reEinheiten WHERE EinheitID=1").toLongLong(), 0);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft("ProgrammJahr", con), "2016");
    kg.destroyConnectionKonto();
}


// A database without the "ProgrammJahr" property counts as one of 2009, also
// when it is rebuilt from the template (whose own property must not count):
// the steps of the old block run.
TEST(KonvertierungOeffnen, ARebuiltFileWithoutProgramYearRunsTheOldBlock) {
    TestEnv env;
    KontoGlobal kg(0);
    alteDatenbank(kg, "DELETE FROM Falleigenschaften WHERE Feld='ProgrammJahr';"
                      "INSERT INTO reEinheiten (EinheitID, Kuerzel, NachkommastellenPreis) VALUES (1, 'Stk', 0)");
    kg.createConnectionKonto(false);
    ASSERT_TRUE(kg.isConnected());
    DBConnection* con = kg.GetDBConnect_Ptr();
    EXPECT_GT(GetDBVersion(con), 6000) << "rebuilt from the template";
    EXPECT_EQ(GetDatenTyp(con, "SELECT NachkommastellenPreis FROM reEinheiten WHERE EinheitID=1").toLongLong(), 2)
        << "step 6 of the old block ran";
    kg.destroyConnectionKonto();
}

}  // namespace
