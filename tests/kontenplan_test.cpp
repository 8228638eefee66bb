// Chart of accounts: generation from the reference data, the special-account
// map, booking-side selections, lists, search and the chart-editor rules.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

DBConnection* neuerFall(const QString& rahmen, bool ust = true, int jahr = 2016) {
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    kg->setSteuerjahr(jahr);
    kg->setUstPflicht(ust);
    kg->setKontenplanName(rahmen);
    return kg->GetDBConnect_Ptr();
}

QSet<unsigned long> nummern(DBConnection* db, const QString& where) {
    QSet<unsigned long> out;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE ") + where);
    EXPECT_FALSE(rs.isError()) << where.toStdString();
    for (; !rs.isEOF(); rs.fetch()) out.insert(rs.field(QStringLiteral("Nummer")).toULong());
    return out;
}

qlonglong zahl(DBConnection* db, const QString& sql) { return GetDatenTyp(db, sql).toLongLong(); }

// A hand-made chart with one account per category the rules name; the
// account number is the category number plus 10000 is not allowed, so the
// accounts are numbered 1..n and the category is what counts.
void kleinerKontenplan(DBConnection* db) {
    const int kategorien[] = {101, 108, 201, 202, 300, 1204, 2100, 2101, 2102, 2400, 3010, 3100, 3200, 3300,
                              4000, 4203, 4999, 5000, 5299, 5300, 5303, 5400, 5401, 5402, 6999, 8001, 9000};
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("DELETE FROM eurKontenplan")));
    for (int k : kategorien)
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv) "
                                               "VALUES (%1, 'K%1', %1, 1)").arg(k)));
    // An inactive bank account is never offered.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv) "
                                           "VALUES (203, 'inaktiv', 202, 0)")));
}

TEST(Kontenplan, GenerationTakesTheFrameworkColumn) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR04"));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("skr04")), 0);
    EXPECT_EQ(kg->getKontenplanName(), QStringLiteral("SKR04"));
    EXPECT_EQ(KontoGlobal::getKontobezeichnung(1600), QStringLiteral("Kasse"));
    EXPECT_EQ(KontoGlobal::getKategorie(1800), 202u);
    EXPECT_FALSE(KontoGlobal::existsKonto(1000)) << "SKR03 numbers do not leak into SKR04";
    EXPECT_GT(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurSteuerschluessel")), 0);
    EXPECT_GT(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurKategorien")), 0);
    EXPECT_GT(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenklassen")), 0);
    EXPECT_GT(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurBeispiel")), 0) << "examples are copied by default";
    // Example lines name accounts of this chart, not SKR03 numbers.
    EXPECT_EQ(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE Konto<>0 AND Konto NOT IN "
                                      "(SELECT Nummer FROM eurKontenplan)")),
              0);
    // The special-account map of the generated chart (its rules: the manager's tests).
    EXPECT_EQ(kg->getSpezialKonto(1776), 3806u);
    EXPECT_FALSE(kg->isSpezialKonto(1000));
    // Categories carry their classes.
    EXPECT_GT(zahl(db, QStringLiteral("SELECT Kontenklasse1 FROM eurKategorien WHERE Kategorie=201")), 0);
}

TEST(Kontenplan, UnknownFrameworksAreRefusedBeforeAnySql) {
    TestEnv env;
    neuerFall(QStringLiteral("SKR03"));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    EXPECT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR99")), 2);
    EXPECT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03 FROM x; --")), 2);
    EXPECT_TRUE(KontoGlobal::rahmenSpalte(QStringLiteral("a'b")).isEmpty());
    EXPECT_EQ(KontoGlobal::rahmenSpalte(QStringLiteral("ekr03")), QStringLiteral("SKR03"));
    EXPECT_FALSE(KontoGlobal::existsKonto(1000));
}

TEST(Kontenplan, CaseWithoutVatGetsNoVatAccountsAndOtherExamples) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"), false);
    KontoGlobal* kg = GetKontoGlobal(0, false);
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03")), 0);
    EXPECT_TRUE(KontoGlobal::existsKonto(1000));
    EXPECT_FALSE(KontoGlobal::existsKonto(1576)) << "input-tax account in a case not liable to VAT";
    EXPECT_FALSE(KontoGlobal::existsKonto(1776));
    // The examples without VAT carry no tax key.
    EXPECT_EQ(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE Steuerschluessel<>0")), 0);
}

TEST(Kontenplan, AFilledChartIsLeftAloneAndExamplesCanBeSkipped) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0), 0);
    EXPECT_EQ(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurBeispiel")), 0);
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='Handkasse' WHERE Nummer=1000")));
    const qlonglong vorher = zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan"));
    kg->clearSpezialKonto();
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0), 0);
    EXPECT_EQ(KontoGlobal::getKontobezeichnung(1000), QStringLiteral("Handkasse"));
    EXPECT_EQ(zahl(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")), vorher);
    EXPECT_TRUE(kg->isSpezialKonto(1000)) << "the map is refilled";
}

TEST(Kontenplan, BookingSidesFollowTheCategoryRules) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    kleinerKontenplan(db);
    QString geld, gegen;
    using S = QSet<unsigned long>;

    KontoGlobal::calcKontoWhere(db, 1, geld, gegen);
    EXPECT_EQ(nummern(db, geld), (S{201, 202, 300, 2102}));
    EXPECT_EQ(nummern(db, gegen), (S{108, 300, 2100, 2101, 3200, 3300, 4000, 4999, 5401})) << "4203 not on the income side";
    KontoGlobal::calcKontoWhere(db, 4, geld, gegen);
    EXPECT_TRUE(nummern(db, gegen).contains(4000));

    KontoGlobal::calcKontoWhere(db, 2, geld, gegen);
    EXPECT_EQ(nummern(db, geld), (S{201, 202, 300, 2101}));
    EXPECT_EQ(nummern(db, gegen), (S{108, 300, 2100, 2102, 3200, 3300, 4203, 5000, 5299, 5303, 5400, 5402, 6999}))
        << "4203 on the expense side; 5300 and 5401 are not offered for expenses";
    KontoGlobal::calcKontoWhere(db, 5, geld, gegen);
    EXPECT_TRUE(nummern(db, gegen).contains(4203));

    KontoGlobal::calcKontoWhere(db, 3, geld, gegen);
    EXPECT_EQ(nummern(db, geld).size(), 27);
    EXPECT_EQ(nummern(db, geld), nummern(db, gegen));

    // Opening balances pair an 8000..8999 account with a balance account.
    KontoGlobal::calcKontoWhere(db, 6, geld, gegen);
    EXPECT_EQ(nummern(db, geld), (S{8001}));
    EXPECT_EQ(nummern(db, gegen), (S{101, 108, 201, 202, 300, 1204, 2100, 2101, 2102, 2400, 3300}));

    KontoGlobal::calcKontoWhere(db, 99, geld, gegen);
    EXPECT_EQ(nummern(db, geld), (S{201, 202, 300}));
    EXPECT_EQ(nummern(db, gegen).size(), 27);

    EXPECT_EQ(KontoGlobal::getKontenOfKategorien(4000, 4999), QStringLiteral("4000,4203,4999"));
    EXPECT_EQ(KontoGlobal::getKontenOfKategorien(QStringLiteral("201, 202")), QStringLiteral("201,202,203"));
    EXPECT_TRUE(KontoGlobal::getKontenOfKategorien(QStringLiteral("201) OR (1=1")).isEmpty()) << "no SQL through the list";
    EXPECT_TRUE(KontoGlobal::getKontenOfKategorien(7000, 7999).isEmpty());
}

TEST(Kontenplan, LookUpsOfMissingAccountsAreQuiet) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    kleinerKontenplan(db);
    EXPECT_EQ(KontoGlobal::getKategorie(4711), 0u);
    EXPECT_TRUE(KontoGlobal::getKontobezeichnung(4711).isEmpty());
    EXPECT_TRUE(KontoGlobal::getKategorieBezeichnung(77).isEmpty());
    bool aktiv = true;
    EXPECT_TRUE(KontoGlobal::existsKonto(203, false, &aktiv));
    EXPECT_FALSE(aktiv);
    EXPECT_FALSE(KontoGlobal::existsKonto(203, true, nullptr));
    EXPECT_FALSE(KontoGlobal::isKontoAktiv(203));
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(202));
}

TEST(Kontenplan, SearchWalksThroughItsHits) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv) VALUES "
                                           "(1200, 'Bank Sparkasse', 'Spk', 202, 1), (1210, 'Bank Volksbank', 'VoBa', 202, 1), "
                                           "(1220, 'Bank alt', 'alt', 202, 0), (4210, 'Miete', 'Miete', 5400, 1)")));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    unsigned long nr = 99;
    kg->searchForAccount(nr, QStringLiteral(" bank "), QStringLiteral("Bezeichnung"), QStringLiteral("part"), false);
    EXPECT_EQ(nr, 1200u);
    kg->searchForAccount(nr, QStringLiteral("bank"), QStringLiteral("Bezeichnung"), QStringLiteral("part"), true);
    EXPECT_EQ(nr, 1210u);
    kg->searchForAccount(nr, QStringLiteral("bank"), QStringLiteral("Bezeichnung"), QStringLiteral("part"), true);
    EXPECT_EQ(nr, 0u) << "after the last hit; the inactive account is not found";
    kg->searchForAccount(nr, QStringLiteral("bank"), QStringLiteral("Bezeichnung"), QStringLiteral("part"), true);
    EXPECT_EQ(nr, 1200u) << "after the end, the next search starts over";
    // A typed number finds that account whatever the field.
    kg->searchForAccount(nr, QStringLiteral("4210"), QStringLiteral("Kurzbezeichnung"), QStringLiteral("whole"), false);
    EXPECT_EQ(nr, 4210u);
    kg->searchForAccount(nr, QStringLiteral("Vo"), QStringLiteral("Kurzbezeichnung"), QStringLiteral("start"), false);
    EXPECT_EQ(nr, 1210u);
    kg->searchForAccount(nr, QStringLiteral("Bank"), QStringLiteral("Bezeichnung"), QStringLiteral("whole"), false);
    EXPECT_EQ(nr, 0u) << "whole matches the whole name";
    // A quote in the text is data, not SQL.
    kg->searchForAccount(nr, QStringLiteral("x' OR '1'='1"), QStringLiteral("Bezeichnung"), QStringLiteral("part"), false);
    EXPECT_EQ(nr, 0u);
    // Bad field or kind: nothing is searched.
    kg->searchForAccount(nr, QStringLiteral("Bank"), QStringLiteral("Nummer; DROP"), QStringLiteral("part"), false);
    EXPECT_EQ(nr, 0u);
    kg->searchForAccount(nr, QStringLiteral("Bank"), QStringLiteral("Bezeichnung"), QStringLiteral("fuzzy"), false);
    EXPECT_EQ(nr, 0u);
}

TEST(Kontenplan, AccountListItemsSplitCleanly) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKategorien (Kategorie, Bezeichnung) VALUES (5400, 'Raum;kosten')")));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurSteuerschluessel (Steuerschluessel, Bezeichnung, Steuersatz, Steuerart, Aktiv) "
                                           "VALUES (7, 'Vorsteuer 19 %', 19, 'V', 1)")));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv, "
                                           "Steuerautomatik, Steuerschluessel) VALUES "
                                           "(4210, 'Miete; Büro', 'Miete;Büro', 5400, 1, 1, 7), "
                                           "(4211, 'Nebenkosten', 'NK', 5400, 1, 2, 7), "
                                           "(4212, 'Ohne', 'Ohne', 5400, 1, 1, 0), "
                                           "(4213, 'Inaktiv', 'Inaktiv', 5400, 0, 0, 0)")));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    QStringList liste;
    kg->fillAccounts(&liste, QString(), QString(), 0, true);
    ASSERT_EQ(liste.size(), 3);
    // Four separators, then the tooltip (whose entities carry ';' of their own).
    QStringList teile;
    for (int i = 0; i < 4; ++i) teile << liste[0].section(QLatin1Char(';'), i, i);
    teile << liste[0].section(QLatin1Char(';'), 4);
    EXPECT_EQ(teile[0], QStringLiteral("1"));
    EXPECT_EQ(teile[1], QStringLiteral("4210"));
    EXPECT_EQ(teile[2], QStringLiteral("5400"));
    EXPECT_EQ(teile[3], QStringLiteral("Miete#--#Büro"));
    EXPECT_TRUE(teile[4].contains(QStringLiteral("<b>4210&nbsp;Miete#--#&nbsp;Büro</b>")));
    EXPECT_TRUE(teile[4].contains(QStringLiteral("Kategorie:&nbsp;Raum#--#kosten")));
    EXPECT_TRUE(teile[4].contains(QStringLiteral("Steuerschlüssel:&nbsp;Vorsteuer&nbsp;19&nbsp;%")));
    EXPECT_FALSE(teile[4].contains(QLatin1Char(' ')));
    EXPECT_TRUE(liste[1].contains(QStringLiteral("Steuerschlüsselvorbelegung:")));
    EXPECT_TRUE(liste[2].contains(QStringLiteral("kein&nbsp;Steuerschlüssel")));

    kg->fillAccounts(&liste, QStringLiteral("4211"), QStringLiteral("4213"), 0, false);
    ASSERT_EQ(liste.size(), 3);
    EXPECT_TRUE(liste[2].startsWith(QStringLiteral("0;4213;")));

    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES "
                                           "(4000, 4999, 'Betriebliche Aufwendungen'), (8000, 8999, 'Erlöse')")));
    kg->fillAccountClasses(&liste);
    EXPECT_EQ(liste, QStringList{QStringLiteral("4000-4999;Betriebliche Aufwendungen")}) << "only classes that hold accounts";
}

TEST(Kontenplan, EditorRulesRefuseWithTheirMessages) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    ASSERT_EQ(kg->selectKontenplan(QStringLiteral("2016"), QStringLiteral("SKR03"), QString(), false, 0), 0);
    EXPECT_EQ(KontoGlobal::pruefeKontonummer(10000, true), QStringLiteral("Die Kontonummer darf maximal 4-stellig sein."));
    EXPECT_TRUE(KontoGlobal::pruefeKontonummer(9999, true).isEmpty());
    EXPECT_EQ(KontoGlobal::pruefeKontonummer(0, true), QStringLiteral("Die Kontonummer darf nicht gleich 0 sein."));
    EXPECT_EQ(KontoGlobal::pruefeKontonummer(1000, true), QStringLiteral("Ein Konto mit dieser Nummer existiert bereits."));
    EXPECT_TRUE(KontoGlobal::pruefeKontonummer(1000, false).isEmpty()) << "an existing account may be changed";

    // Class ranges of the category (201 Kasse lies in class 1000..1999 of SKR03).
    EXPECT_TRUE(KontoGlobal::pruefeKontoKlasse(1001, 201).isEmpty());
    const QString w = KontoGlobal::pruefeKontoKlasse(4001, 201);
    EXPECT_TRUE(w.startsWith(QStringLiteral("Die Kontonummer 4001 ist für die Kategorie 201 nicht zulässig.\n Für die Kategorie 201 "
                                            "dürfen nur Kontonummern im Bereich 1000 - 1999")))
        << w.toStdString();
    EXPECT_TRUE(w.endsWith(QStringLiteral(" verwendet werden. Durch eine falsche Zuordnung kann es zu Auswertungsfehlern kommen.")));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKategorien (Kategorie, Bezeichnung) VALUES (7777, 'frei')")));
    EXPECT_TRUE(KontoGlobal::pruefeKontoKlasse(4001, 7777).isEmpty()) << "a category without classes takes any number";

    // Special accounts and used accounts cannot go.
    EXPECT_FALSE(KontoGlobal::pruefeKontoLoeschen(1000).isEmpty());
    EXPECT_FALSE(KontoGlobal::pruefeKontoDeaktivieren(1000).isEmpty());
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv) VALUES (4999, 'frei', 5000, 1)")));
    EXPECT_TRUE(KontoGlobal::pruefeKontoLoeschen(4999).isEmpty());
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Konto, Betrag) VALUES (1, 4999, 10)")));
    EXPECT_TRUE(KontoGlobal::pruefeKontoLoeschen(4999).startsWith(QStringLiteral("Das Konto kann nicht gelöscht werden.")));

    // Bulk (de)activation and the activation of used accounts.
    ASSERT_TRUE(KontoGlobal::setKontenAktiv({4999, 1200}, false));
    EXPECT_FALSE(KontoGlobal::isKontoAktiv(4999));
    KontoGlobal::aktiviereAlleBenutztenKonten();
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(4999)) << "used";
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(1200)) << "special account";
    ASSERT_TRUE(KontoGlobal::setKontenAktiv({4999}, true));
    EXPECT_EQ(zahl(db, QStringLiteral("SELECT Aktiv FROM eurKontenplan WHERE Nummer=4999")), -1);

    EXPECT_TRUE(KontoGlobal::kannBankverbindungAnlegen());
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurBankverbindung (kpNummer) SELECT Nummer FROM eurKontenplan WHERE "
                                           "Kategorie IN (202,203,300)")));
    EXPECT_FALSE(KontoGlobal::kannBankverbindungAnlegen());
}

TEST(Kontenplan, FixedKeysThatBookingsContradictAreReported) {
    TestEnv env;
    DBConnection* db = neuerFall(QStringLiteral("SKR03"));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv, Steuerautomatik, "
                                           "Steuerschluessel) VALUES (8400, 'Erlöse 19 %', 4000, 1, 1, 5)")));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral(
        "INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Storno, Storniert) VALUES (1, 'richtig', 0, 0), (2, 'falsch <b>', 0, 0);"
        "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Dialogzeile, Konto, Steuerschluessel) VALUES "
        "(1, 2, 8400, 5), (2, 2, 8400, 2), (2, 0, 1776, 999999)")));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    EXPECT_EQ(kg->checkSteuerautokonten(1), 0) << "templates only";
    EXPECT_EQ(kg->checkSteuerautokonten(0), 1);
    ASSERT_EQ(env.ui().count(Ui::Art::Hinweis), 1);
    const QString t = env.ui().texts(Ui::Art::Hinweis).first();
    EXPECT_TRUE(t.contains(QStringLiteral("<h3>Betroffene Buchungen</h3><ul>\n   <li>2: falsch &lt;b&gt;</li>\n</ul>")))
        << t.toStdString();
    EXPECT_TRUE(t.endsWith(QStringLiteral("</body></html>")));

    // The indexed form (the ledger's fast path at every open) reports the
    // same bookings as the plain one: keys below and above the fixed key,
    // never a line without a key or a cancelled booking.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral(
        "INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Storno, Storniert) VALUES "
        "(3, 'höher', 0, 0), (4, 'ohne', 0, 0), (5, 'storniert', 0, 1);"
        "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Dialogzeile, Konto, Steuerschluessel) VALUES "
        "(3, 2, 8400, 9), (4, 2, 8400, NULL), (5, 2, 8400, 3)")));
    for (bool mitIndex : {false, true}) {
        ExecSQL(db, mitIndex ? QStringLiteral("CREATE INDEX IF NOT EXISTS idx_eurVerbuchtBZ_KontoSteuer ON "
                                              "eurVerbuchtBuchungszeilen (Konto, Steuerschluessel)")
                             : QStringLiteral("DROP INDEX IF EXISTS idx_eurVerbuchtBZ_KontoSteuer"));
        env.ui().clear();
        EXPECT_EQ(kg->checkSteuerautokonten(0), 2) << mitIndex;
        const QString h = env.ui().texts(Ui::Art::Hinweis).value(0);
        EXPECT_TRUE(h.contains(QStringLiteral("<li>2: falsch &lt;b&gt;</li>\n   <li>3: höher</li>\n</ul>"))) << h.toStdString();
    }
    kg->setUstPflicht(false);
    EXPECT_EQ(kg->checkSteuerautokonten(0), 0) << "only for cases liable to VAT";
}

}  // namespace
