// The figures for the tax office, on small ledgers a bookkeeper can check by
// hand: every code of the advance return, the profit and the EÜR form, the
// recapitulative statement and the balance list.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using KG = KontoGlobal;

class Zahlen : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        root.reset(Kont_::New());
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    }
    // One booking: money side `geld`, counter side `gegen` with its key.
    unsigned long buche(int art, unsigned long geld, unsigned long gegen, unsigned long key, double betrag, const zDate& d,
                        const QString& ustid = QString(), int zm = 0) {
        return testfall::buche(db, art, geld, gegen, key, betrag, d, ustid, zm);
    }
    UStKennziffern quartal(int q) {
        UStKennziffern k;
        Kont_::GetUmsaetzeFuer(0, k, 2, q, -1);
        return k;
    }
    static EuroType wert(const UStKennziffern& k, unsigned long code) { return k.value(code).Betrag; }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    std::unique_ptr<Kont_> root;
};

TEST_F(Zahlen, AdvanceReturnCodesByHand) {
    const zDate april(2016, 4, 15);
    buche(1, 1200, 8400, 5, 1190.00, april);   // 81: 1000, tax 190
    buche(1, 1200, 8400, 5, 100.00, april);    // 81: 84.03 -> whole euros with the first
    buche(1, 1000, 8300, 2, 107.00, april);    // 86: 100, tax 7
    buche(2, 1200, 4930, 7, 119.00, april);    // 66: 19
    buche(2, 1200, 3425, 19, 1000.00, april);  // 89: 1000, 61: 190
    buche(2, 1200, 3123, 94, 500.00, april);   // 46: 500, 47: 95, 67: 95
    buche(1, 1200, 8125, 25, 2000.00, april, QStringLiteral("ATU12345678"), 3);  // 41: 2000
    buche(4, 1200, 8400, 5, 119.00, zDate(2016, 5, 2));  // a refund lowers 81 by 100
    buche(1, 1200, 8400, 5, 5000.00, zDate(2016, 7, 1));  // next quarter

    const UStKennziffern k = quartal(1);
    ASSERT_FALSE(k.isEmpty());
    EXPECT_EQ(wert(k, 81), EuroType(984.03));
    EXPECT_EQ(wert(k, 86), EuroType(100.00));
    EXPECT_EQ(wert(k, 66), EuroType(19.00));
    EXPECT_EQ(wert(k, 89), EuroType(1000.00));
    EXPECT_EQ(wert(k, 61), EuroType(190.00));
    EXPECT_EQ(wert(k, 46), EuroType(500.00));
    EXPECT_EQ(wert(k, 47), EuroType(95.00));
    EXPECT_EQ(wert(k, 67), EuroType(95.00));
    EXPECT_EQ(wert(k, 41), EuroType(2000.00));
    EXPECT_FALSE(k.value(48).belegt);

    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    UStVA::uebertrage(k, a, a2, v);
    EXPECT_EQ(a.felder[81].basis, EuroType(984.00)) << "the base is cut to whole euros";
    EXPECT_EQ(a.felder[81].steuer, EuroType(186.96)) << "984 x 19 %";
    EXPECT_EQ(a.felder[86].steuer, EuroType(7.00));
    EXPECT_EQ(a.felder[89].steuer, EuroType(190.00));
    EXPECT_EQ(a.felder[46].steuer, EuroType(95.00));
    EXPECT_EQ(a.umsatzsteuer, EuroType(186.96 + 7.00 + 190.00 + 95.00));
    EXPECT_EQ(v.vorsteuer, EuroType(19.00 + 190.00 + 95.00));
    EXPECT_EQ(a2.vorauszahlung, EuroType(a.umsatzsteuer.wert() - v.vorsteuer.wert()));
    EXPECT_FALSE(a2.felder.contains(39));

    // Quarter 2 holds only July's sale; month index 6 is July, index 3 April.
    UStKennziffern juli;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, juli, 1, -1, 6));
    EXPECT_EQ(wert(juli, 81), EuroType(4201.68));
    EXPECT_EQ(wert(quartal(2), 81), EuroType(4201.68));
    UStKennziffern apr;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, apr, 1, -1, 3));
    EXPECT_EQ(wert(apr, 81), EuroType(1084.03)) << "the refund of May is not in April";
    // An empty period: false and nothing.
    UStKennziffern leer;
    EXPECT_FALSE(Kont_::GetUmsaetzeFuer(0, leer, 1, -1, 0));
    EXPECT_TRUE(leer.isEmpty());
}

TEST_F(Zahlen, SpecialAdvancePaymentInDecember) {
    buche(1, 1200, 8400, 5, 11900.00, zDate(2016, 12, 10));
    buche(2, 1200, 1781, 0, 1000.00, zDate(2016, 2, 10));  // the special advance payment paid in February
    EXPECT_EQ(Kont_::getSondervorauszahlung(0), EuroType(1000.00));
    kg->setFormularParameter(1, -1, 11);  // month, December
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    kg->SetFormular(0);
    ASSERT_TRUE(Kont_::GetUmsaetze(0, a, a2, v, 0));
    EXPECT_EQ(a.felder[81].steuer, EuroType(1900.00));
    EXPECT_EQ(a2.felder[39].steuer, EuroType(1000.00));
    EXPECT_EQ(a2.vorauszahlung, EuroType(900.00));
    UStKennziffern nov;
    EXPECT_FALSE(Kont_::GetUmsaetzeFuer(0, nov, 1, -1, 10)) << "no line of a relevant account in November";
}

TEST_F(Zahlen, CodeTextsAndVariables) {
    EXPECT_EQ(KG::getKennzifferBezeichnung(2081, QStringLiteral("x")), QStringLiteral("81 (Sachbereich 2) : x"));
    EXPECT_EQ(KG::getKennzifferBezeichnung(3000, QStringLiteral("x")), QStringLiteral("automatisch: x"));
    EXPECT_EQ(KG::getKennzifferBezeichnung(81, QString()), QStringLiteral("81"));
    EXPECT_EQ(KG::getKennzifferBezeichnung(55000000, QString()), QStringLiteral("Z. 56"));
    EXPECT_EQ(KG::getKennzifferBezeichnung(999999, QStringLiteral("t")), QStringLiteral("t"));
    bool hp = false;
    EXPECT_EQ(KG::getKennzifferVariable(66, 0, hp), QStringLiteral("va_Kz66"));
    EXPECT_TRUE(hp);
    EXPECT_EQ(KG::getKennzifferVariable(81, 0, hp), QStringLiteral("va_Kz81"));
    EXPECT_FALSE(hp);
    EXPECT_TRUE(KG::getKennzifferVariable(4711, 0, hp).isEmpty());
}

TEST_F(Zahlen, ProfitAndTheEuerFormAgree) {
    const zDate d(2016, 3, 1);
    buche(1, 1200, 8400, 5, 1190.00, d);   // income 1000 + VAT received 190
    buche(4, 1200, 8400, 5, 119.00, d);    // an income refund lowers income: 100 + 19
    buche(2, 1200, 4930, 7, 595.00, d);    // expense 500 + input tax 95
    buche(2, 1200, 4654, 0, 300.00, d);    // non-deductible: does not count
    buche(2, 1200, 1780, 0, 50.00, d);     // VAT paid to the tax office: an expense of the EÜR
    EXPECT_EQ(KG::getGewinn(db, false, 1), EuroType(1000 + 190 - 100 - 19));
    EXPECT_EQ(KG::getGewinn(db, false, 2), EuroType(500 + 95 + 50));
    const EuroType gewinn = KG::getGewinn(nullptr, false, 0);
    EXPECT_EQ(gewinn, EuroType(1071 - 645));

    // The investment deduction is taken while the profit does not exceed the limit.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer IN (9970, 9971, 9972, 9973)")));
    KG::insertSimpleBuchung(KG::HERK_IAB_ABZ, QStringLiteral("eurVerbucht"), QStringLiteral("IAB"), 100.0, false, d, QString(), 3, true,
                            9971, 9970, 0, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 3), EuroType(100.0));
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType(326.0));
    // Batch bookings count only when asked for.
    KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurStapel"), QStringLiteral("Stapel"), 119.0, false, d, QString(), 1, false,
                            1200, 8400, 5, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType(326.0));
    EXPECT_EQ(KG::getGewinn(db, true, 0), EuroType(445.0));

    // The EÜR form carries the same profit.
    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    DatenTyp v;
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\eur1_GewinnVerlust"), &v));
    EXPECT_EQ(v.toEuro(), KG::getGewinn(db, false, 0));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0002_{1}\\eur2_Kz112"), &v));
    EXPECT_EQ(v.toEuro(), EuroType(900.0));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0002_{1}\\eur2_Kz140"), &v));
    EXPECT_EQ(v.toEuro(), EuroType(171.0));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0003_{1}\\eur3_Kz185"), &v));
    EXPECT_EQ(v.toEuro(), EuroType(95.0));
    EXPECT_EQ(root->eur_GewinnVerlust, KG::getGewinn(db, false, 0));
    EXPECT_TRUE(root->testCompGewinn());
    EXPECT_EQ(env.ui().count(Ui::Art::Fehler), 0);

    // Also for an account the form does not know: its line goes to the "other" lines.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv) VALUES (4999, 'Eigenes', 5700, 1)")));
    buche(2, 1200, 4999, 0, 33.0, d);
    EXPECT_TRUE(root->testCompGewinn());

    EUERechnung2 r;
    ASSERT_TRUE(r.Fuellen());
    EXPECT_EQ(r.gewinn(), KG::getGewinn(db, false, 0));
    double summe = 0;
    for (const EUERechnung2::Kategorie& c : r.kategorien()) summe += c.einnahme ? c.summe.wert() : 0;
    EXPECT_EQ(EuroType(summe), r.einnahmen());
}

TEST_F(Zahlen, ProfitLimitOfTheInvestmentDeduction) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer IN (9970, 9971)")));
    const zDate d(2016, 3, 1);
    buche(1, 1200, 8150, 0, 200000.00, d);  // tax-free income: profit exactly at the limit
    KG::insertSimpleBuchung(KG::HERK_IAB_ABZ, QStringLiteral("eurVerbucht"), QStringLiteral("IAB"), 1000.0, false, d, QString(), 3,
                            true, 9971, 9970, 0, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType(199000.0)) << "at the limit the deduction is taken";
    buche(1, 1200, 8150, 0, 0.01, d);
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType(200000.01)) << "above it not";
}

TEST_F(Zahlen, RecapitulativeStatement) {
    buche(1, 1200, 8125, 25, 1000.00, zDate(2016, 2, 3), QStringLiteral("ATU12345678"), 3);
    buche(4, 1200, 8125, 25, 200.00, zDate(2016, 2, 10), QStringLiteral("ATU12345678"), 3);
    buche(1, 1200, 8336, 26, 300.00, zDate(2016, 2, 11), QStringLiteral("ATU12345678"), 1);
    buche(1, 1200, 8125, 25, 1234.99, zDate(2016, 5, 4), QStringLiteral("FR12345678901"), 3);
    buche(1, 1200, 8125, 25, 500.00, zDate(2016, 2, 12), QStringLiteral("DE123456789"), 3);  // German: never reported
    const unsigned long storno = buche(1, 1200, 8125, 25, 999.00, zDate(2016, 2, 13), QStringLiteral("NL123456789B01"), 3);
    ASSERT_NE(KG::storniereBuchung(storno), 0u);

    const auto feb = KG::getUStIdMap(5);  // code 5: February
    ASSERT_EQ(feb.size(), 2);
    EXPECT_EQ(feb.value(QStringLiteral("ATU12345678#0")).Betrag, EuroType(800.00));
    EXPECT_EQ(feb.value(QStringLiteral("ATU12345678#1")).Betrag, EuroType(300.00));
    EXPECT_EQ(KG::getZusammenfassendeMeldungCsv(feb),
              QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,800,L\nAT,U12345678,300,S"));
    EXPECT_TRUE(KG::getUStIdMap(27).isEmpty() == false) << "code 27: April and May";
    EXPECT_EQ(KG::getUStIdMap(27).value(QStringLiteral("FR12345678901#0")).Betrag, EuroType(1234.99));
    const QString jahr = KG::getZusammenfassendeMeldungCsv(KG::getUStIdMap(-1));
    EXPECT_TRUE(jahr.contains(QStringLiteral("FR,12345678901,1234,L"))) << jahr.toStdString();
    EXPECT_FALSE(jahr.contains(QStringLiteral("DE"))) << "German numbers are not reported";
    EXPECT_FALSE(jahr.contains(QStringLiteral("NL"))) << "cancelled bookings are not reported";

    QMap<QString, KG::UstIdZm> minus;
    minus.insert(QStringLiteral("BE0123456789#0"), {QStringLiteral("BE"), QStringLiteral("0123456789"), -10.50, 0});
    EXPECT_TRUE(KG::getZusammenfassendeMeldungCsv(minus).endsWith(QStringLiteral("BE,0123456789,-10,L")));

    root->GetStamm001_Ptr(1)->setVar(QStringLiteral("st1_Firma"), DatenTyp(QStringLiteral("Müller & <Söhne>")));
    root->GetStamm001_Ptr(0)->setVar(QStringLiteral("st1_Strasse"), DatenTyp(QStringLiteral("Lange Straße 12a")));
    root->GetAd0031_Ptr(1)->setVar(QStringLiteral("ad31_UStIdnummer"), DatenTyp(QStringLiteral("DE123456789")));
    const QString xml = KG::getZusammenfassendeMeldungXml(feb, 5);
    EXPECT_TRUE(xml.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xml-data xmlns=\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"Uname\">Müller &amp; &lt;Söhne&gt;</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"Ustrasse\">Lange Straße</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"Uhausnr\">12a</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"knri2\">123456789</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"quartal\">Monat</element>\n            <element id=\"quart\">2</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"betrag\">800</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"umsatz_art\">1</element>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<element id=\"zeile_m\">2</element>")));
    EXPECT_TRUE(xml.endsWith(QStringLiteral("        </dataset>\n    </instance>\n</xml-data>")));
    EXPECT_TRUE(KG::getZusammenfassendeMeldungXml(KG::getUStIdMap(3), 3).isEmpty()) << "no lines, no file";
    EXPECT_EQ(KG::quoteZusammenfassendeMeldungXml(QStringLiteral("a&b<c>\"d'")), QStringLiteral("a&amp;b&lt;c&gt;&quot;d&apos;"));
}

TEST_F(Zahlen, BalanceList) {
    buche(6, 9000, 1200, 0, 5000.00, zDate(2016, 1, 1));  // opening balance of the bank
    buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 20));
    buche(1, 1200, 8400, 5, 238.00, zDate(2016, 2, 5));
    buche(2, 1200, 4930, 0, 50.00, zDate(2016, 3, 5));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='%1', Kurzbezeichnung='kurz' WHERE Nummer=4930")
                                .arg(QString(25, QLatin1Char('x')))));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='%1', Kurzbezeichnung='Erl kurz' WHERE Nummer=8400")
                                .arg(QString(26, QLatin1Char('y')))));

    Saldenliste2 ganz;
    ganz.setZeitraum(BerichtZeitraum{3, -1, -1, rsPeriod()});
    QString filter;
    EXPECT_EQ(ganz.getFilter(filter), 0);
    ASSERT_TRUE(ganz.Fuellen());
    QString csv;
    EXPECT_EQ(ganz.Print2CSV(csv), 5) << "1200, 1776, 4930, 8400, 9000";
    const QStringList z = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(z[0], QStringLiteral("1200;\"Bank\";5.000,00;0,00;357,00;50,00;0,00;5.307,00"));
    EXPECT_TRUE(csv.contains(QStringLiteral("4930;\"%1\";").arg(QString(25, QLatin1Char('x'))))) << "25 characters are used as they are";
    EXPECT_TRUE(csv.contains(QStringLiteral("8400;\"Erl kurz\";0,00;0,00;0,00;300,00;300,00;0,00"))) << "26 characters: the short name";
    EXPECT_TRUE(csv.contains(QStringLiteral("9000;\"Saldenvorträge Sachkonten\";0,00;5.000,00;0,00;0,00;5.000,00;0,00")));

    // January only: the line with the carry-forward counter account stays in the opening pair.
    Saldenliste2 januar;
    januar.setZeitraum(BerichtZeitraum{1, 0, -1, rsPeriod()});
    EXPECT_EQ(januar.getFilter(filter), 1);
    EXPECT_EQ(filter, QStringLiteral("MONTH(Belegdatum) <= 1"));
    zPrintString p;
    januar.Print(p);
    const auto& k = januar.konten();
    EXPECT_EQ(k.value(1200).anfang.soll, EuroType(5000.0));
    EXPECT_EQ(k.value(1200).buchungen.soll, EuroType(119.0));
    EXPECT_EQ(k.value(1200).vormonate.soll, EuroType(0.0));
    EXPECT_FALSE(k.contains(4930));
    EXPECT_TRUE(p.text().startsWith(QStringLiteral("Summen- und Saldenliste Januar 2016")));

    // March: January and February are previous months.
    Saldenliste2 maerz;
    maerz.setZeitraum(BerichtZeitraum{1, 2, -1, rsPeriod()});
    zPrintString p2;
    maerz.Print(p2);
    EXPECT_EQ(maerz.konten().value(8400).vormonate.haben, EuroType(300.0));
    EXPECT_EQ(maerz.konten().value(4930).buchungen.soll, EuroType(50.0));

    // A balanced account shows 0 in the debit balance column.
    buche(3, 1000, 1200, 0, 100.00, zDate(2016, 3, 6));
    buche(3, 1200, 1000, 0, 100.00, zDate(2016, 3, 7));
    ganz.Print2CSV(csv);
    EXPECT_TRUE(csv.contains(QStringLiteral("1000;\"Kasse\";0,00;0,00;100,00;100,00;0,00;0,00"))) << csv.toStdString();
}

TEST_F(Zahlen, TransferIntoTheReturnsAndTheAnnualReturn) {
    buche(1, 1200, 8400, 5, 1190.00, zDate(2016, 5, 3));
    buche(2, 1200, 4930, 7, 119.00, zDate(2016, 5, 4));
    std::unique_ptr<Va_> va(Va_::New());
    DatenBase::setRootNode(QStringLiteral("Va_"), va.get());
    ASSERT_TRUE(Kont_::UebertrageUStVA(2, 1, -1));
    DatenTyp w;
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz81"), &w));
    EXPECT_EQ(w.toEuro(), EuroType(1000.0));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz66"), &w));
    EXPECT_EQ(w.toEuro(), EuroType(19.0));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz83"), &w));
    EXPECT_EQ(w.toEuro(), EuroType(171.0));
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Uebermittelt"), DatenTyp(true)));
    buche(1, 1200, 8400, 5, 119.00, zDate(2016, 5, 5));
    EXPECT_FALSE(Kont_::UebertrageUStVA(2, 1, -1));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Fehler).contains(QStringLiteral("Bereits übermittelte Umsatzsteuer-Voranmeldungen dürfen nicht gelöscht werden.")));
    ASSERT_TRUE(DatenBase::GetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz81"), &w));
    EXPECT_EQ(w.toEuro(), EuroType(1000.0)) << "a transmitted return is kept";
    DatenBase::setRootNode(QStringLiteral("Va_"), nullptr);

    // The annual return: the same computation on form 1.
    UStKennziffern jahr;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuerFormular(0, jahr, 3, -1, -1, 1));
    EXPECT_EQ(jahr.value(81).Betrag, EuroType(1100.0));
    EXPECT_EQ(jahr.value(320).Betrag, EuroType(19.0));
    std::unique_ptr<Ust_> ust(Ust_::New());
    DatenBase::setRootNode(QStringLiteral("Ust_"), ust.get());
    EXPECT_EQ(root->UebernahmeUstGst(1221), 0);
    EXPECT_EQ(ust->getVar(QStringLiteral("ust_Kz81")).toEuro(), EuroType(1100.0));
    DatenBase::setRootNode(QStringLiteral("Ust_"), nullptr);

    kg->setKontenplanName(QString());
    EXPECT_EQ(root->UebernahmeUstGst(1223), 1);
    EXPECT_TRUE(env.ui().texts(Ui::Art::Fehler).contains(QStringLiteral("Bitte geben Sie zunächst die Firmendaten an.")));
}

TEST_F(Zahlen, LedgerListsAndTheReportFilter) {
    buche(1, 1200, 8400, 5, 119.00, zDate(2016, 2, 3));
    const unsigned long weg = buche(2, 1000, 4930, 7, 11.90, zDate(2016, 2, 4));
    ASSERT_NE(KG::storniereBuchung(weg), 0u);
    zPrintString konten;
    EXPECT_EQ(Berichte::Kontenabfrage2(konten, 1200, 1200, zDate(), zDate()), 1);
    EXPECT_TRUE(konten.text().contains(QStringLiteral("Konto 1200 Bank")));
    EXPECT_TRUE(konten.text().contains(QStringLiteral("119,00")));
    zPrintString journal;
    EXPECT_EQ(Berichte::Buchungsprotokoll2(journal, zDate(2016, 1, 1), zDate(2016, 12, 31)), 3) << "the journal shows cancellations";
    EXPECT_TRUE(journal.text().contains(QStringLiteral("storniert")));
    zPrintString ust;
    EXPECT_GE(Berichte::UStListe2(ust, zDate(), zDate()), 2);
    EXPECT_TRUE(ust.text().contains(QStringLiteral("1776")));
    EXPECT_TRUE(Berichte::kassenbuchStatement(1000, zDate(2016, 1, 1), zDate(2016, 1, 31)).contains(QStringLiteral("Konto=1000")));

    kg->SetFormular(4);
    const QString f = Berichte::filter(BerichtZeitraum{2, -1, 0, rsPeriod()}, 2016);
    EXPECT_TRUE(f.startsWith(QStringLiteral("MONTH(Belegdatum) BETWEEN 1 AND 3 AND  Konto Between "))) << f.toStdString();

    EUERechnung2* a = Berichte::EUERechnung2Instanz();
    EXPECT_EQ(Berichte::EUERechnung2Instanz(), a) << "one instance";
    EXPECT_EQ(Berichte::EUERechnung2Instanz(true), nullptr);
    EXPECT_EQ(KG::getAnlagenverzeichnisZeile(320), 4);
    EXPECT_EQ(KG::getAnlagenverzeichnisZeile(4711), 0);
}

}  // namespace
