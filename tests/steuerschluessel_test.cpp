// Tax keys: the split into net and tax to the cent, gross/net conversion,
// the account/key rule, the key lists and the VAT liability of the chart.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

namespace {

DBConnection* fallMitSchluesseln() {
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    DBConnection* db = kg->GetDBConnect_Ptr();
    EXPECT_TRUE(ExecSQL(db, QStringLiteral(
        "INSERT INTO eurSteuerschluessel (Steuerschluessel, Bezeichnung, Kurzbezeichnung, Steuersatz, Steuerart, Steuerkonto, "
        "Steuerkonto2, im_Hundert, IG_Erwerb, Sortierung, Aktiv) VALUES "
        "(0, 'keine', 'keine', 0, 'B', 0, 0, 0, 0, 0, 1),"
        "(2, 'Umsatzsteuer 7 %', 'USt 7', 7, 'U', 1771, 0, 0, 0, 20, 1),"
        "(5, 'Umsatzsteuer 19 %', 'USt 19', 19, 'U', 1776, 0, 0, 0, 10, 1),"
        "(7, 'Vorsteuer 19 %', 'VSt 19', 19, 'V', 1576, 0, 0, 0, 30, 1),"
        "(19, 'ig Erwerb 19 %', 'igE 19', 19, 'V', 1574, 1774, 1, 1, 40, 1),"
        "(50, 'beides, inaktiv', 'B', 0, 'B', 0, 0, 0, 0, 50, 0),"
        "(60, 'ohne Art', 'x', 10, NULL, 0, 0, 0, 0, 60, 1)")));
    return db;
}

TEST(Steuerschluessel, SplitsGrossAmountsToTheCent) {
    TestEnv env;
    DBConnection* db = fallMitSchluesseln();
    KontoGlobal::ssDaten d = KontoGlobal::calcSteuerschluessel(db, 5, 119.00_eur, false, 2);
    EXPECT_EQ(d.netto, 100.00_eur);
    EXPECT_EQ(d.steuer, 19.00_eur);
    EXPECT_DOUBLE_EQ(d.steuersatz, 19.0);
    EXPECT_EQ(d.steuerkonto, 1776u);

    d = KontoGlobal::calcSteuerschluessel(db, 5, 100.00_eur, false, 2);
    EXPECT_EQ(d.netto, 84.03_eur);
    EXPECT_EQ(d.steuer, 15.97_eur);

    // Net input: the tax comes on top.
    d = KontoGlobal::calcSteuerschluessel(db, 2, 100.00_eur, true, 2);
    EXPECT_EQ(d.netto, 100.00_eur);
    EXPECT_EQ(d.steuer, 7.00_eur);

    // Credit notes and refunds are negative amounts; the split is symmetric.
    d = KontoGlobal::calcSteuerschluessel(db, 5, -100.00_eur, false, 2);
    EXPECT_EQ(d.netto, -84.03_eur);
    EXPECT_EQ(d.steuer, -15.97_eur);

    // The base of an intra-Community acquisition is booked as it is.
    d = KontoGlobal::calcSteuerschluessel(db, 19, 100.00_eur, false, 2);
    EXPECT_TRUE(d.imHundert);
    EXPECT_EQ(d.netto, 100.00_eur);
    EXPECT_EQ(d.steuer, 19.00_eur);
    EXPECT_EQ(d.steuerkonto2, 1774u);

    // Key 0 and keys without a row: everything is net.
    for (unsigned long k : {0UL, 4711UL}) {
        d = KontoGlobal::calcSteuerschluessel(db, k, 59.99_eur, false, 2);
        EXPECT_EQ(d.netto, 59.99_eur);
        EXPECT_EQ(d.steuer, EuroType());
        EXPECT_EQ(d.steuerkonto, 0u);
    }

    // Net and tax of a gross amount always add up to it, cent by cent.
    for (int cent = 1; cent <= 20000; ++cent) {
        const EuroType brutto = EuroType::ausCent(cent);
        for (unsigned long k : {2UL, 5UL}) {
            d = KontoGlobal::calcSteuerschluessel(db, k, brutto, false, 2);
            ASSERT_EQ(d.netto + d.steuer, brutto) << cent << " key " << k;
        }
    }
}

TEST(Steuerschluessel, GrossNetConversion) {
    EXPECT_EQ(KontoGlobal::calcBruttoNetto(true, 119.0_eur, false, 19.0, false), 100.0_eur);
    EXPECT_EQ(KontoGlobal::calcBruttoNetto(false, 119.0_eur, false, 19.0, false), 119.0_eur);
    EXPECT_EQ(KontoGlobal::calcBruttoNetto(false, 100.0_eur, true, 19.0, false), 119.0_eur);
    EXPECT_EQ(KontoGlobal::calcBruttoNetto(false, 0.05_eur, true, 7.0, false), 0.05_eur);
    EXPECT_EQ(KontoGlobal::calcBruttoNetto(true, 10.0_eur, false, 7.0, false), 9.35_eur);
    for (double satz : {0.0, 7.0, 19.0, 55.5}) {
        EXPECT_EQ(KontoGlobal::calcBruttoNetto(true, 123.45_eur, false, satz, true), 123.45_eur);
        EXPECT_EQ(KontoGlobal::calcBruttoNetto(false, 123.45_eur, true, satz, true), 123.45_eur);
    }
}

TEST(Steuerschluessel, AccountKeyRuleAnswers) {
    TestEnv env;
    DBConnection* db = fallMitSchluesseln();
    auto regel = [db](unsigned long kat, unsigned long s) { return KontoGlobal::isSteuerschluesselFuerKategorieOK(kat, s, db); };
    EXPECT_EQ(regel(4000, 7), 1) << "input tax on income";
    EXPECT_EQ(regel(5000, 5), 2) << "output tax on an expense";
    EXPECT_EQ(regel(201, 5), 3) << "cash with output tax";
    EXPECT_EQ(regel(201, 7), 3);
    EXPECT_EQ(regel(103, 5), 4) << "output tax on an asset account";
    EXPECT_EQ(regel(103, 7), 0);
    EXPECT_EQ(regel(108, 7), 3) << "108 is no asset category for this rule";
    EXPECT_EQ(regel(1204, 7), 0);
    EXPECT_EQ(regel(2400, 5), 0);
    EXPECT_EQ(regel(4203, 7), 0);
    EXPECT_EQ(regel(5401, 5), 0);
    EXPECT_EQ(regel(4000, 5), 0);
    EXPECT_EQ(regel(6999, 7), 0);
    EXPECT_EQ(regel(201, 0), 0);
    EXPECT_EQ(regel(0, 5), 0);
    EXPECT_EQ(regel(201, 50), 0) << "B keys pass";
    EXPECT_EQ(regel(201, 60), 0) << "a key without kind passes";
    EXPECT_EQ(regel(201, 4711), 0) << "a key without a row passes";

    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Kategorie, Aktiv) VALUES (8400, 4000, 1), (1000, 201, 1)")));
    EXPECT_EQ(KontoGlobal::isSteuerschluesselOK(8400, 7, db), 1);
    EXPECT_EQ(KontoGlobal::isSteuerschluesselOK(1000, 5, nullptr), 3) << "null means the case's connection";
    EXPECT_EQ(KontoGlobal::isSteuerschluesselOK(0, 5, db), 0);
    EXPECT_EQ(KontoGlobal::steuerschluesselRegelText(1),
              QStringLiteral("Sie dürfen einem Einnahmekonto keinen Vorsteuerschlüssel zuordnen."));
    EXPECT_EQ(KontoGlobal::steuerschluesselRegelText(4),
              QStringLiteral("Sie dürfen einem Anlagenkonto keinen Umsatzsteuerschlüssel zuordnen."));
    EXPECT_TRUE(KontoGlobal::steuerschluesselRegelText(0).isEmpty());
}

TEST(Steuerschluessel, ListsOfferTheKeysOfTheBookingSide) {
    TestEnv env;
    DBConnection* db = fallMitSchluesseln();
    auto schluessel = [db](int art) {
        QList<unsigned long> out;
        for (const auto& e : KontoGlobal::fillSteuerschluessel(db, art)) out << e.schluessel;
        return out;
    };
    // Income: U and B keys, but never the inactive B key.
    EXPECT_EQ(schluessel(1), (QList<unsigned long>{0, 5, 2}));
    EXPECT_EQ(schluessel(4), (QList<unsigned long>{0, 5, 2}));
    EXPECT_EQ(schluessel(2), (QList<unsigned long>{0, 7, 19}));
    EXPECT_EQ(schluessel(3), (QList<unsigned long>{0, 5, 2, 7, 19, 60}));
    EXPECT_EQ(KontoGlobal::fillSteuerschluessel(db, 1).first().text, QStringLiteral("Keine Umsatzsteuer"));
    EXPECT_EQ(KontoGlobal::fillSteuerschluessel(db, 5).first().text, QStringLiteral("Keine Vorsteuer"));
    EXPECT_EQ(KontoGlobal::fillSteuerschluessel(db, 6).first().text, QStringLiteral("Keine Umsatz- / Vorsteuer"));

    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('1'), 1), 5);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('9'), 2), 7);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('7'), 4), 2);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('7'), 5), 8);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('6'), 1), 3);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('6'), 3), 9);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('0'), 1), 0);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QChar(0x08), 2), 0);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('5'), 1), -1);
    EXPECT_EQ(KontoGlobal::steuerschluesselKurzwahl(QLatin1Char('+'), 1), -1);

    EXPECT_EQ(KontoGlobal::getSteuersatz(2), 7.0);
    EXPECT_EQ(KontoGlobal::getSteuersatz(4711), 0.0);
    EXPECT_EQ(KontoGlobal::getSteuerschluesselBezeichnung(5, true), QStringLiteral("USt 19"));
    EXPECT_EQ(KontoGlobal::getSteuerschluesselBezeichnung(5, false), QStringLiteral("Umsatzsteuer 19 %"));
    EXPECT_TRUE(KontoGlobal::getSteuerschluesselBezeichnung(4711).isEmpty());
}

TEST(Steuerschluessel, KeysInUseAndActivation) {
    TestEnv env;
    DBConnection* db = fallMitSchluesseln();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral(
        "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Konto, Steuerschluessel) VALUES (1, 8400, 5), (1, 1776, 999999);"
        "INSERT INTO eurBeispielBuchungszeilen (Buchungsnummer, Konto, Steuerschluessel) VALUES (1, 3400, 50);"
        "INSERT INTO eurKontenplan (Nummer, Kategorie, Aktiv, Steuerautomatik, Steuerschluessel) VALUES "
        "(8300, 4000, 1, 1, 2), (8301, 4000, 0, 1, 60), (8302, 4000, 1, 0, 19)")));
    QSet<unsigned long> menge;
    KontoGlobal::fillSetSteuerschluesselInVerwendung(menge);
    EXPECT_EQ(menge, (QSet<unsigned long>{5, 50, 2})) << "tax lines, inactive accounts and plain defaults do not count";
    EXPECT_EQ(GetKontoGlobal(0, false)->getAktiveSteuerschluessel().size(), 6);

    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=0")));
    ASSERT_TRUE(KontoGlobal::abgleichKontoplanSteuerschluesselAktiv());
    EXPECT_EQ(GetKontoGlobal(0, false)->getAktiveSteuerschluessel(), (QStringList{QStringLiteral("2"), QStringLiteral("19")}));
}

TEST(Steuerschluessel, RefreshKeepsActiveAndUsedKeysActive) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    kg->setKontenplanName(QStringLiteral("SKR03"));
    DBConnection* db = kg->GetDBConnect_Ptr();
    ASSERT_TRUE(kg->copyTablesFromDBKontenplaene(QStringLiteral("2016"), QStringLiteral("SKR03")));
    ASSERT_GT(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurSteuerschluessel")).toInt(), 0);
    // A key the user switched on, and an inactive key still in use.
    const unsigned long inaktiv = GetDatenTyp(db, QStringLiteral("SELECT MAX(Steuerschluessel) FROM eurSteuerschluessel")).toULong();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=0 WHERE Steuerschluessel=%1").arg(inaktiv)));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Konto, Steuerschluessel) VALUES (1, 1, %1)")
                                .arg(inaktiv)));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Bezeichnung='geändert'")));
    ASSERT_TRUE(kg->copyTablesFromDBKontenplaene(QStringLiteral("2016"), QStringLiteral("SKR03")));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Aktiv FROM eurSteuerschluessel WHERE Steuerschluessel=%1").arg(inaktiv)).toInt(), 1);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurSteuerschluessel WHERE Bezeichnung='geändert'")).toInt(), 0)
        << "the table is replaced";
}

TEST(Steuerschluessel, VatLiabilitySwitchesTheVatAccounts) {
    TestEnv env;
    KontoGlobal* kg = nullptr;
    testfall::neuerFall(&kg);
    ASSERT_TRUE(KontoGlobal::isKontoAktiv(1576));
    kg->setUstPflicht(false);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("UstPflicht")), QStringLiteral("0"));
    ASSERT_TRUE(kg->activateUstPflicht());
    EXPECT_FALSE(KontoGlobal::isKontoAktiv(1576));
    EXPECT_FALSE(KontoGlobal::isKontoAktiv(1776));
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(1000)) << "only the VAT accounts";
    kg->setUstPflicht(true);
    ASSERT_TRUE(kg->activateUstPflicht());
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(1576));
}

}  // namespace

namespace {
// The discount account of a key: in SKR03 8730 to 8739, in SKR04 4730 to
// 4739; an account with the key fixed comes before one that only defaults
// to it, whatever the order of the rows.
TEST(Steuerschluessel, DiscountAccountsOfEachFramework) {
    for (const char* rahmen : {"SKR03", "SKR04"}) {
        TestEnv env;
        KontoGlobal* kg = nullptr;
        DBConnection* db = testfall::neuerFall(&kg, true, QLatin1String(rahmen));
        const bool skr04 = QLatin1String(rahmen) == QLatin1String("SKR04");
        const unsigned long allgemein = skr04 ? 4730 : 8730, fest19 = skr04 ? 4736 : 8736;
        EXPECT_EQ(KontoGlobal::getSkontiKontoForSteuerschluessel(db, 5), allgemein) << rahmen << ": only the default-key account is active";
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer=%1").arg(fest19)));
        EXPECT_EQ(KontoGlobal::getSkontiKontoForSteuerschluessel(db, 5), fest19) << rahmen << ": the fixed key wins";
        EXPECT_EQ(KontoGlobal::getSkontiKontoForSteuerschluessel(db, 7), 0u) << rahmen << ": no discount account for input tax";
        if (skr04) EXPECT_FALSE(KontoGlobal::skontoKontenBedingung(db).contains(QStringLiteral("8729")));
        kg->destroyConnectionKonto();
    }
}
}  // namespace
