// The figures for the tax office, on small ledgers a bookkeeper can check by
// hand: every code of the advance return, the profit and the EÜR form, the
// recapitulative statement and the balance list.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/erklaerung.h"
#include "kontbaum/steuer/steuer.h"
#include "kontbaum/steuer/voranmeldung.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {

using KG = KontoGlobal;

// A money value of the data tree; fails the test when the path is missing.
EuroType var(const QString& pfad) {
    DatenTyp w;
    EXPECT_TRUE(DatenBase::GetDBVar(pfad, &w)) << pfad.toStdString();
    return w.toEuro();
}

// The three parts of the advance return filled from `k`.
struct Formular {
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    explicit Formular(const UStKennziffern& k) { UStVA::uebertrage(k, a, a2, v); }
};

class Zahlen : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg, ustPflichtig(), rahmen());
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
    // A line of the EÜR form after the takeover into the tree: page 2 income, page 3 expenses.
    static EuroType eurVar(int seite, int kz) { return var(QStringLiteral("Kont_[M]\\Eur0001_\\Eur000%1_{1}\\eur%1_Kz%2").arg(seite).arg(kz)); }
    struct EurZeile {
        int seite, kz;
        double betrag;
    };
    static void erwarteEur(std::initializer_list<EurZeile> soll) {
        for (const EurZeile& z : soll) EXPECT_EQ(eurVar(z.seite, z.kz), EuroType::ausDouble(z.betrag)) << z.kz;
    }
    // The sum of the lines of booking `nr` that `wo` selects.
    EuroType zeilen(unsigned long nr, const QString& wo) {
        return EuroType::ausDouble(
            GetDatenTyp(db, QStringLiteral("SELECT SUM(Betrag) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=%1 AND %2").arg(nr).arg(wo))
                .toDouble());
    }
    // Switches on accounts (and keys) a new chart leaves off.
    void aktiviere(const char* konten, const char* schluessel = nullptr) {
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer IN (%1)").arg(QLatin1String(konten))));
        if (schluessel) {
            ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=1 WHERE Steuerschluessel IN (%1)")
                                        .arg(QLatin1String(schluessel))));
        }
    }

    virtual bool ustPflichtig() const { return true; }
    virtual QString rahmen() const { return QStringLiteral("SKR03"); }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    std::unique_ptr<Kont_> root;
};

// A small business (§ 19 UStG) on the same ledger.
class Kleinunternehmer : public Zahlen {
protected:
    bool ustPflichtig() const override { return false; }
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
    EXPECT_EQ(wert(k, 81), 984.03_eur);
    EXPECT_EQ(wert(k, 86), 100.00_eur);
    EXPECT_EQ(wert(k, 66), 19.00_eur);
    EXPECT_EQ(wert(k, 89), 1000.00_eur);
    EXPECT_EQ(wert(k, 61), 190.00_eur);
    EXPECT_EQ(wert(k, 46), 500.00_eur);
    EXPECT_EQ(wert(k, 47), 95.00_eur);
    EXPECT_EQ(wert(k, 67), 95.00_eur);
    EXPECT_EQ(wert(k, 41), 2000.00_eur);
    EXPECT_FALSE(k.value(48).belegt);

    auto [a, a2, v] = Formular(k);
    EXPECT_EQ(a.felder[81].basis, 984.00_eur) << "the base is cut to whole euros";
    EXPECT_EQ(a.felder[81].steuer, 186.96_eur) << "984 x 19 %";
    EXPECT_EQ(a.felder[86].steuer, 7.00_eur);
    EXPECT_EQ(a.felder[89].steuer, 190.00_eur);
    EXPECT_EQ(a.felder[46].steuer, 95.00_eur);
    EXPECT_EQ(a.umsatzsteuer, EuroType::ausDouble(186.96 + 7.00 + 190.00 + 95.00));
    EXPECT_EQ(v.vorsteuer, EuroType::ausDouble(19.00 + 190.00 + 95.00));
    EXPECT_EQ(a2.vorauszahlung, EuroType::ausDouble(a.umsatzsteuer.alsDouble() - v.vorsteuer.alsDouble()));
    EXPECT_FALSE(a2.felder.contains(39));

    // Quarter 2 holds only July's sale; month index 6 is July, index 3 April.
    UStKennziffern juli;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, juli, 1, -1, 6));
    EXPECT_EQ(wert(juli, 81), 4201.68_eur);
    EXPECT_EQ(wert(quartal(2), 81), 4201.68_eur);
    UStKennziffern apr;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, apr, 1, -1, 3));
    EXPECT_EQ(wert(apr, 81), 1084.03_eur) << "the refund of May is not in April";
    // An empty period: false and nothing.
    UStKennziffern leer;
    EXPECT_FALSE(Kont_::GetUmsaetzeFuer(0, leer, 1, -1, 0));
    EXPECT_TRUE(leer.isEmpty());
}

// A quarter with cents in every base the 2016 chart can reach. The ledger
// keeps the cents; the form takes each base in whole euros, cut toward
// zero, computes its own taxes from the cut bases and keeps every tax amount
// the ledger gives with its cents.
TEST_F(Zahlen, EveryBaseInWholeEurosTheTaxWithItsCents) {
    // Accounts and keys a new chart has switched off.
    aktiviere("1775, 8100, 8120, 8130, 8135, 8150, 8335, 8338, 3120, 3125, 3200, 3400, 3420, 3550", "3, 28, 97");
    const zDate mai(2016, 5, 10);
    buche(1, 1200, 8400, 5, 119.99, mai);    // 119.99 / 1.19 = 100.8319 -> net 100.83, tax 19.16
    buche(1, 1200, 8300, 2, 107.99, mai);    // 107.99 / 1.07 = 100.9252 -> net 100.93, tax 7.06
    buche(1, 1200, 8200, 3, 116.99, mai);    // 116.99 / 1.16 = 100.8534 -> net 100.85 (35), tax 16.14 on 1775 (36)
    buche(1, 1200, 8125, 25, 2000.75, mai, QStringLiteral("ATU12345678"), 3);  // 41
    buche(1, 1200, 8135, 0, 500.50, mai);    // 44
    buche(1, 1200, 8120, 0, 300.30, mai);    // 43
    buche(1, 1200, 8150, 0, 100.99, mai);    // 43: 300.30 + 100.99 = 401.29
    buche(1, 1200, 8100, 0, 150.45, mai);    // 48
    buche(1, 1200, 8110, 0, 49.60, mai);     // 48: 150.45 + 49.60 = 200.05
    buche(1, 1200, 8130, 25, 333.33, mai);   // 42
    buche(1, 1200, 8336, 26, 4100.50, mai);  // 21
    buche(1, 1200, 8337, 27, 700.70, mai);   // 60
    buche(1, 1200, 8335, 28, 600.60, mai);   // 68
    buche(1, 1200, 8338, 0, 90.90, mai);     // 45
    buche(2, 1200, 3550, 0, 80.80, mai);     // 91
    buche(2, 1200, 3425, 19, 1000.55, mai);  // 89; 61: 1000.55 x 19 % = 190.1045 -> 190.10
    buche(2, 1200, 3420, 18, 200.40, mai);   // 93; 61: 200.40 x 7 % = 14.028 -> 14.03
    buche(2, 1200, 3123, 94, 500.55, mai);   // 46; 47 and 67: 500.55 x 19 % = 95.1045 -> 95.10
    buche(2, 1200, 3125, 95, 250.25, mai);   // 52; 53 and 67: 250.25 x 19 % = 47.5475 -> 47.55
    buche(2, 1200, 3120, 96, 1234.56, mai);  // 84; 85 and 67: 1234.56 x 19 % = 234.5664 -> 234.57
    buche(2, 1200, 3200, 97, 5000.99, mai);  // 78; 79 and 67: 5000.99 x 19 % = 950.1881 -> 950.19
    buche(2, 1200, 4930, 7, 11.90, mai);     // 66: 1.90
    buche(2, 1200, 3400, 7, 119.00, mai);    // 66: 19.00; the net 100 of the purchase is no input tax

    const UStKennziffern k = quartal(1);
    // The ledger's sums keep their cents.
    EXPECT_EQ(wert(k, 81), 100.83_eur);
    EXPECT_EQ(wert(k, 43), 401.29_eur);
    EXPECT_EQ(wert(k, 48), 200.05_eur);
    EXPECT_EQ(wert(k, 66), 20.90_eur);

    auto [a, a2, v] = Formular(k);
    const QMap<int, EuroType> e = UStVA::eintraege(a, a2, v);
    const QMap<int, double> basen = {{81, 100}, {86, 100}, {35, 100}, {41, 2000}, {44, 500}, {43, 401}, {48, 200}, {42, 333},
                                     {21, 4100}, {60, 700}, {68, 600}, {45, 90}, {91, 80}, {89, 1000}, {93, 200}, {46, 500},
                                     {52, 250}, {84, 1234}, {78, 5000}};
    for (auto it = basen.constBegin(); it != basen.constEnd(); ++it) {
        ASSERT_TRUE(e.contains(it.key())) << it.key();
        EXPECT_EQ(e.value(it.key()), EuroType::ausDouble(it.value())) << "base " << it.key() << " in whole euros";
    }
    const QMap<int, double> steuern = {{36, 16.14}, {47, 95.10}, {53, 47.55}, {85, 234.57}, {79, 950.19},
                                       {61, 190.10 + 14.03}, {67, 95.10 + 47.55 + 234.57 + 950.19}, {66, 20.90}};
    for (auto it = steuern.constBegin(); it != steuern.constEnd(); ++it)
        EXPECT_EQ(e.value(it.key()), EuroType::ausDouble(it.value())) << "tax " << it.key() << " with its cents";
    // The taxes the form computes: whole-euro base x rate.
    const QMap<int, EuroType> berechnet = UStVA::berechneteSteuern(a);
    EXPECT_EQ(berechnet.value(81), 19.00_eur);    // 100 x 19 %
    EXPECT_EQ(berechnet.value(86), 7.00_eur);     // 100 x 7 %
    EXPECT_EQ(berechnet.value(89), 190.00_eur);   // 1000 x 19 %, against 190.10 of input tax in 61
    EXPECT_EQ(berechnet.value(93), 14.00_eur);    // 200 x 7 %
    EXPECT_EQ(berechnet.size(), 4);
    // Output tax 19.00 + 7.00 + 16.14 + 190.00 + 14.00 + 95.10 + 47.55 + 234.57 + 950.19 = 1573.55;
    // input tax 20.90 + 204.13 + 1327.41 = 1552.44; remaining 21.11.
    EXPECT_EQ(a.umsatzsteuer, 1573.55_eur);
    EXPECT_EQ(v.vorsteuer, 1552.44_eur);
    EXPECT_EQ(e.value(83), 21.11_eur);
    EXPECT_EQ(a2.vorauszahlung, 21.11_eur);

    // The form node gets the same entries.
    std::unique_ptr<Va_> va(Va_::New());
    DatenBase::setRootNode(QStringLiteral("Va_"), va.get());
    ASSERT_TRUE(Kont_::UebertrageUStVA(2, 1, -1));
    for (const char* kz : {"va_Kz21", "va_Kz48", "va_Kz84"}) {
        const EuroType w = var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\") + QLatin1String(kz));
        EXPECT_EQ(w, w.ganzeEuroAb()) << kz << " has no cents";
    }
    EXPECT_EQ(var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz85")), 234.57_eur) << "the tax of a pair reaches its own variable";
    DatenBase::setRootNode(QStringLiteral("Va_"), nullptr);
}

// Reverse charge by the lines of the 2016 form: services of a business of
// another EU state, work deliveries and services of a business established
// abroad, construction and the other domestic cases, mobile phones; the
// supplier's side; the input tax of all of them in 67.
TEST_F(Zahlen, ReverseChargeByItsCodes) {
    aktiviere("3120, 3125, 3200, 8335", "28, 97");
    const zDate juli(2016, 7, 4);
    buche(2, 1200, 3123, 94, 1000.00, juli);  // EU service (§ 13b Abs. 1): 46 = 1000, 47 = 190
    buche(2, 1200, 3125, 95, 2000.00, juli);  // service from outside the EU (Abs. 2 Nr. 1): 52 = 2000, 53 = 380
    buche(2, 1200, 3120, 96, 3000.00, juli);  // domestic construction service (Abs. 2 Nr. 4): 84 = 3000, 85 = 570
    buche(2, 1200, 3200, 97, 5000.00, juli);  // mobile phones (Abs. 2 Nr. 10): 78 = 5000, 79 = 950
    buche(1, 1200, 8337, 27, 700.00, juli);   // as supplier: 60
    buche(1, 1200, 8335, 28, 600.00, juli);   // as supplier of mobile phones: 68
    const unsigned long weg = buche(2, 1200, 3125, 95, 999.00, juli);
    ASSERT_NE(KG::storniereBuchung(weg), 0u);  // cancelled: offsets itself in 52, 53 and 67

    const UStKennziffern k = quartal(2);
    EXPECT_EQ(wert(k, 46), 1000.0_eur);
    EXPECT_EQ(wert(k, 47), 190.0_eur);
    EXPECT_EQ(wert(k, 52), 2000.0_eur);
    EXPECT_EQ(wert(k, 53), 380.0_eur);
    EXPECT_EQ(wert(k, 84), 3000.0_eur);
    EXPECT_EQ(wert(k, 85), 570.0_eur);
    EXPECT_EQ(wert(k, 78), 5000.0_eur);
    EXPECT_EQ(wert(k, 79), 950.0_eur);
    EXPECT_EQ(wert(k, 67), EuroType::ausDouble(190.0 + 380.0 + 570.0 + 950.0));
    EXPECT_EQ(wert(k, 60), 700.0_eur);
    EXPECT_EQ(wert(k, 68), 600.0_eur);
    EXPECT_FALSE(k.value(73).belegt);
    EXPECT_FALSE(k.value(66).belegt) << "no net amount of a reverse-charge purchase is input tax";
    auto [a, a2, v] = Formular(k);
    EXPECT_EQ(a.umsatzsteuer, 2090.0_eur);
    EXPECT_EQ(v.vorsteuer, 2090.0_eur);
    EXPECT_EQ(a2.vorauszahlung, EuroType()) << "owed and deducted at once";

    // The annual return has the same sections, each with its own pair of
    // codes; the § 13b input tax is 467 (762 is import VAT only), the
    // supplier's side 209.
    UStKennziffern jahr;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuerFormular(0, jahr, 3, -1, -1, 1));
    const QMap<unsigned long, double> erwartet = {{846, 1000}, {847, 190}, {871, 2000}, {872, 380}, {877, 3000},
                                                  {878, 570},  {855, 5000}, {856, 950}, {467, 2090}, {209, 1300}};
    for (auto it = erwartet.constBegin(); it != erwartet.constEnd(); ++it)
        EXPECT_EQ(jahr.value(it.key()).Betrag, EuroType::ausDouble(it.value())) << it.key();
    EXPECT_FALSE(jahr.value(762).belegt);

    // The EÜR: the tax owed and its input tax, a cancelled pair among them,
    // offset each other on the line of input tax; none is VAT received.
    const QMap<int, EuroType> eur = Formularwerte::eurZeilen();
    EXPECT_EQ(eur.value(185), EuroType());
    EXPECT_FALSE(eur.contains(140));
    EXPECT_EQ(eur.value(110), 6000.0_eur);
    EXPECT_TRUE(root->testCompGewinn());
}

// The Anlage EÜR 2016 of a year a bookkeeper adds up by hand: each total is
// the sum of the lines it sums. The VAT owed on an EU service (§ 13b) and on
// an intra-EU acquisition was never received and its input tax paid to no
// one, so neither is in line 140 or 185; the non-deductible 30 % of a meal
// is shown (165) and not added; a refund of VAT is income (141).
TEST_F(Zahlen, EuerLinesAddUpToTheirTotals) {
    aktiviere("3123, 3425, 1574, 1577, 1774, 1787", "19, 94");
    const zDate d(2016, 5, 2);
    buche(1, 1200, 8400, 5, 1190.00, d);   // 112: 1000, 140: 190
    buche(2, 1200, 3123, 94, 1000.00, d);  // EU service: 110: 1000; owed 190 on 1787, deducted 190 on 1577
    buche(2, 1200, 3425, 19, 2000.00, d);  // intra-EU acquisition: 100: 2000; 380 on 1774 and on 1574
    buche(2, 1200, 4650, 7, 119.00, d);    // a meal: 175: 70, 165: 30, input tax 19
    buche(1, 1200, 1790, 0, 300.00, d);    // last year's VAT refunded: 141
    buche(2, 1200, 1780, 0, 500.00, d);    // VAT paid: 186

    // Money in 1190 + 300, out 1000 + 2000 + 119 + 500; the 30 not deductible.
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType::ausDouble(1490 - 3589));
    const QMap<int, EuroType> eur = Formularwerte::eurZeilen();
    const QMap<int, double> soll = {{112, 1000}, {140, 190}, {141, 300}, {159, 1490}, {110, 1000}, {100, 2000}, {175, 70},
                                    {165, 30},   {185, 19},  {186, 500}, {199, 3589}, {219, -2099}};
    for (auto it = soll.constBegin(); it != soll.constEnd(); ++it) EXPECT_EQ(eur.value(it.key()), EuroType::ausDouble(it.value())) << it.key();
    for (auto it = eur.constBegin(); it != eur.constEnd(); ++it)
        if (!soll.contains(it.key())) EXPECT_EQ(it.value(), EuroType()) << "no other line: " << it.key();
    EXPECT_TRUE(Formularwerte::eurSummenAbweichung(eur).isEmpty());
    EXPECT_FALSE(Formularwerte::eurSummenzeilen(199).contains(165));
    // A total that does not match its lines is named.
    QMap<int, EuroType> falsch = eur;
    falsch[185] += 1.0_eur;
    EXPECT_TRUE(Formularwerte::eurSummenAbweichung(falsch).contains(QStringLiteral("199"))) << "an expense line moved";
    EXPECT_TRUE(root->testCompGewinn());
}

// A year a bookkeeper checks by hand on the annual return: supplies at 19 %
// and 7 %, an EU service and a construction service received (§ 13b), an
// intra-EU supply, an export, a tax-free letting and another tax-free
// supply, input tax, and the special advance payment credited in December.
TEST_F(Zahlen, TheAnnualReturnOfAYearByHand) {
    aktiviere("8300, 3120, 8120, 8105, 8100, 8125, 1781");
    buche(1, 1200, 8400, 5, 1190.48, zDate(2016, 1, 12));  // 81: 1000.40, tax 190.08
    buche(1, 1200, 8400, 5, 600.50, zDate(2016, 2, 12));   // 81: 504.62, tax 95.88
    buche(2, 1200, 1781, 0, 100.00, zDate(2016, 2, 10));   // special advance payment
    buche(1, 1200, 8300, 2, 214.00, zDate(2016, 3, 3));    // 86: 200, tax 14
    buche(2, 1200, 3123, 94, 1000.00, zDate(2016, 4, 4));  // 46/47: 1000, 190; 67: 190
    buche(2, 1200, 3120, 96, 2000.00, zDate(2016, 5, 4));  // 84/85: 2000, 380; 67: 380
    buche(1, 1200, 8125, 25, 3000.00, zDate(2016, 6, 6), QStringLiteral("ATU12345678"), 3);  // 41
    buche(1, 1200, 8120, 0, 1500.00, zDate(2016, 7, 7));   // export: 43
    buche(1, 1200, 8105, 0, 800.00, zDate(2016, 8, 1));    // letting § 4 Nr. 12: 48
    buche(1, 1200, 8100, 0, 250.00, zDate(2016, 8, 2));    // another tax-free supply: 48
    buche(2, 1200, 4930, 7, 238.00, zDate(2016, 9, 9));    // 66: 38

    UStErklaerung::Ergebnis e;
    ASSERT_TRUE(UStErklaerung::berechne(0, &e));
    struct Soll {
        int kz;
        double basis, steuer;
    };
    // The year's base of 19 % is 1505.02 -> 1505, tax 285.95; 7 %: 200 -> 14.
    const Soll soll[] = {{177, 1505, 285.95}, {275, 200, 14.00}, {741, 3000, 0}, {237, 1500, 0}, {286, 800, 0}, {287, 250, 0},
                         {846, 1000, 190.00}, {877, 2000, 380.00}, {320, 0, 38.00}, {467, 0, 570.00}};
    ASSERT_EQ(e.zeilen.size(), int(sizeof(soll) / sizeof(soll[0])));
    for (const Soll& s : soll) {
        const auto z = std::find_if(e.zeilen.begin(), e.zeilen.end(), [&](const UStErklaerung::Zeile& x) { return x.kennziffer == s.kz; });
        ASSERT_NE(z, e.zeilen.end()) << s.kz;
        EXPECT_EQ(z->bemessungsgrundlage, EuroType::ausDouble(s.basis)) << s.kz;
        EXPECT_EQ(z->steuer, EuroType::ausDouble(s.steuer)) << s.kz;
    }
    // Output 285.95 + 14 + 190 + 380 = 869.95; input 38 + 570 = 608; the year's tax 261.95.
    EXPECT_EQ(e.umsatzsteuer, 869.95_eur);
    EXPECT_EQ(e.vorsteuer, 608.00_eur);
    EXPECT_EQ(e.steuer, 261.95_eur);
    // The returns: January 190.00 (1000 x 19 %), February 95.76 (504 x 19 %),
    // March 14.00, September -38.00, December -100.00 (the special advance
    // payment); the others 0. Declared 161.76, paid in advance with the
    // special payment 261.76; left 0.19, the cents of January's and
    // February's bases that only the year's base counts.
    EXPECT_EQ(e.perioden, 12);
    EXPECT_EQ(e.vorauszahlungen, 161.76_eur);
    EXPECT_EQ(e.sondervorauszahlung, 100.00_eur);
    EXPECT_EQ(e.vorauszahlungssoll, 261.76_eur);
    EXPECT_EQ(e.verbleibend, 0.19_eur);

    // Before the cut to whole euros the year is exactly the sum of its
    // months, code by code through the codes the annual one mirrors.
    QMap<int, EuroType> monate;
    for (int m = 0; m < 12; ++m) {
        UStKennziffern k;
        Kont_::GetUmsaetzeFuer(0, k, 1, -1, m);
        for (const rsUStKennziffer& r : k) monate[int(r.Kennziffer)] += r.Betrag;
    }
    QMap<QVector<int>, EuroType> jahr;
    for (const UStErklaerung::Zeile& z : e.zeilen) jahr[UStErklaerung::kennzahl(z.kennziffer)->voranmeldung] += z.exakt;
    for (auto it = jahr.constBegin(); it != jahr.constEnd(); ++it) {
        EuroType summe;
        for (int v : it.key()) summe += monate.value(v);
        EXPECT_EQ(it.value(), summe) << it.key().first();
    }

    // A quarterly filer: four returns, the special payment in the fourth.
    Anmeldung::setZeitraum(Anmeldung::Zeitraum::Quartal, db);
    ASSERT_TRUE(UStErklaerung::berechne(0, &e));
    EXPECT_EQ(e.perioden, 4);
    // Q1 base 1505 -> 285.95 + 14 = 299.95; Q3 -38; Q4 -100: 161.95 declared.
    EXPECT_EQ(e.vorauszahlungen, 161.95_eur);
    EXPECT_EQ(e.verbleibend, EuroType());
}

TEST_F(Zahlen, SpecialAdvancePaymentInDecember) {
    buche(1, 1200, 8400, 5, 11900.00, zDate(2016, 12, 10));
    buche(2, 1200, 1781, 0, 1000.00, zDate(2016, 2, 10));  // the special advance payment paid in February
    EXPECT_EQ(Kont_::getSondervorauszahlung(0), 1000.00_eur);
    kg->setFormularParameter(1, -1, 11);  // month, December
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    kg->SetFormular(0);
    ASSERT_TRUE(Kont_::GetUmsaetze(0, a, a2, v, 0));
    EXPECT_EQ(a.felder[81].steuer, 1900.00_eur);
    EXPECT_EQ(a2.felder[39].steuer, 1000.00_eur);
    EXPECT_EQ(a2.vorauszahlung, 900.00_eur);
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
    EXPECT_EQ(KG::getGewinn(db, false, 1), EuroType::ausDouble(1000 + 190 - 100 - 19));
    EXPECT_EQ(KG::getGewinn(db, false, 2), EuroType::ausDouble(500 + 95 + 50));
    const EuroType gewinn = KG::getGewinn(nullptr, false, 0);
    EXPECT_EQ(gewinn, EuroType::ausDouble(1071 - 645));

    // The investment deduction is taken while the profit does not exceed the limit.
    aktiviere("9970, 9971, 9972, 9973");
    KG::insertSimpleBuchung(KG::HERK_IAB_ABZ, QStringLiteral("eurVerbucht"), QStringLiteral("IAB"), 100.0_eur, false, d, QString(), 3, true,
                            9971, 9970, 0, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 3), 100.0_eur);
    EXPECT_EQ(KG::getGewinn(db, false, 0), 326.0_eur);
    // Batch bookings count only when asked for.
    KG::insertSimpleBuchung(KG::HERK_BUCH, QStringLiteral("eurStapel"), QStringLiteral("Stapel"), 119.0_eur, false, d, QString(), 1, false,
                            1200, 8400, 5, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 0), 326.0_eur);
    EXPECT_EQ(KG::getGewinn(db, true, 0), 445.0_eur);

    // The EÜR form carries the same profit.
    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    EXPECT_EQ(var(QStringLiteral("Kont_[M]\\Eur0001_\\eur1_GewinnVerlust")), KG::getGewinn(db, false, 0));
    erwarteEur({{2, 112, 900}, {2, 140, 171}, {3, 185, 95}});
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
    for (const EUERechnung2::Kategorie& c : r.kategorien()) summe += c.einnahme ? c.summe.alsDouble() : 0;
    EXPECT_EQ(EuroType::ausDouble(summe), r.einnahmen());
}

// The lines of the Anlage EÜR 2016 the chart's accounts feed: the owner's
// fares and hotel, the vehicle lines in the order of the form, VAT paid to
// and refunded by the tax office, and the column "nicht abziehbar" of the
// limited expenses (which never enters the profit).
TEST_F(Zahlen, EuerLinesOfTravelVehiclesRefundsAndNonDeductibles) {
    const zDate d(2016, 3, 1);
    buche(1, 1200, 8400, 5, 1190.00, d);   // 112: 1000, 140: 190
    buche(2, 1200, 1780, 0, 1000.00, d);   // VAT paid: 186
    buche(1, 1200, 1790, 0, 300.00, d);    // last year's VAT refunded: credit on 1790, 141
    const unsigned long weg = buche(2, 1200, 1780, 0, 50.00, d);
    ASSERT_NE(KG::storniereBuchung(weg), 0u);  // a payment cancelled: offsets itself in 186, nothing in 141
    buche(2, 1200, 4673, 7, 119.00, d);    // the owner's fares: 146 (100), input tax 19
    buche(2, 1200, 4676, 8, 107.00, d);    // the owner's hotel: 221 (100), input tax 7
    buche(2, 1200, 4674, 0, 24.00, d);     // meals allowance: 171
    buche(2, 1200, 4663, 7, 59.50, d);     // an employee's fares: 183 (50), input tax 9.50
    buche(2, 1200, 4510, 0, 184.00, d);    // vehicle tax: 145
    buche(2, 1200, 4570, 7, 238.00, d);    // leasing: 144 (200), input tax 38
    buche(2, 1200, 4530, 7, 59.50, d);     // fuel: 146 (50), input tax 9.50
    buche(2, 1200, 4590, 0, 300.00, d);    // private car used for the business: 147
    buche(2, 1200, 4654, 0, 30.00, d);     // non-deductible entertainment: 165
    buche(2, 1200, 4320, 0, 200.00, d);    // trade tax: 217
    buche(2, 1200, 4635, 0, 40.00, d);     // non-deductible gifts: 164
    buche(2, 1200, 4289, 0, 80.00, d);     // home office, non-deductible part: 162

    // Income 1000 + 190 = 1190. Expenses 1000 (186) - 300 (refund) + net 100 + 100 + 24 + 50 + 184 + 200
    // + 50 + 300 (= 1008) + input tax 19 + 7 + 9.50 + 38 + 9.50 (= 83) = 1791; the non-deductible 350 do
    // not count. Profit 1190 - 1791 = -601.
    EXPECT_EQ(KG::getGewinn(db, false, 1), 1190.0_eur);
    EXPECT_EQ(KG::getGewinn(db, false, 2), 1791.0_eur);
    EXPECT_EQ(KG::getGewinn(db, false, 0), -601.0_eur);

    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    erwarteEur({{2, 112, 1000}, {2, 140, 190}, {2, 141, 300}, {3, 186, 1000}, {3, 146, 150}, {3, 221, 100}, {3, 171, 24}, {3, 183, 50},
                {3, 145, 184}, {3, 144, 200}, {3, 147, 300}, {3, 185, 83}, {3, 165, 30}, {3, 217, 200}, {3, 164, 40}, {3, 162, 80}});
    EXPECT_TRUE(root->testCompGewinn());
}

// An income-surplus statement of 2016 takes an investment deduction only
// while its profit before the deduction does not exceed 100 000 EUR (§ 7g
// Abs. 1 Satz 2 Nr. 1 Buchst. c EStG in the version of 2016); the profit,
// the report and the form agree.
TEST_F(Zahlen, ProfitLimitOfTheInvestmentDeduction) {
    aktiviere("9970, 9971");
    const zDate d(2016, 3, 1);
    buche(1, 1200, 8150, 0, 100000.00, d);  // tax-free income: profit exactly at the limit
    KG::insertSimpleBuchung(KG::HERK_IAB_ABZ, QStringLiteral("eurVerbucht"), QStringLiteral("IAB"), 1000.0_eur, false, d, QString(), 3,
                            true, 9971, 9970, 0, QString());
    EXPECT_EQ(KG::getGewinn(db, false, 0), 99000.0_eur) << "at the limit the deduction is taken";
    buche(1, 1200, 8150, 0, 0.01, d);
    EXPECT_EQ(KG::getGewinn(db, false, 0), 100000.01_eur) << "above it not";
    EUERechnung2 r;
    ASSERT_TRUE(r.Fuellen());
    EXPECT_EQ(r.gewinn(), 100000.01_eur);
    EXPECT_EQ(Formularwerte::eurZeilen().value(219), 100000.01_eur) << "the form's profit line";
}

// Only the business's own EU revenue is reported, whatever the booking
// header says: a purchase from a supplier who gave his VAT number and a
// domestic sale that carries one stay out, and the kind follows the
// account (a header written by older versions may state another).
TEST_F(Zahlen, RecapitulativeStatementOnlyOwnEuRevenue) {
    aktiviere("8130");
    const zDate d(2016, 4, 5);
    buche(2, 1200, 3425, 19, 5000.00, d, QStringLiteral("ATU12345678"), 3);   // intra-Community acquisition
    buche(2, 1200, 3123, 94, 400.00, d, QStringLiteral("FR12345678901"), 1);  // service bought under § 13b
    buche(1, 1200, 8400, 5, 1190.00, d, QStringLiteral("ATU12345678"), 3);    // domestic sale at 19 %
    buche(1, 1200, 8125, 25, 1000.00, d, QStringLiteral("ATU12345678"), 1);   // supply, header says service
    buche(1, 1200, 8130, 25, 700.00, d, QStringLiteral("EL123456789"), 2);    // first buyer in a triangle
    buche(1, 1200, 8336, 26, 300.00, d, QStringLiteral("FR12345678901"), 1);  // service, reverse charge abroad
    const auto q2 = KG::getUStIdMap(1);
    ASSERT_EQ(q2.size(), 3) << KG::getZusammenfassendeMeldungCsv(q2).toStdString();
    EXPECT_EQ(KG::getZusammenfassendeMeldungCsv(q2), QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\n"
                                                                    "AT,U12345678,1000,L\nEL,123456789,700,D\nFR,12345678901,300,S"));
}

// The whole year as one period only in the case of § 18a Abs. 9 UStG: the
// user declares it, the ledger must keep the current year's limits
// (15 000 euros of EU revenue, 200 000 euros of turnover, both inclusive).
TEST_F(Zahlen, AnnualStatementOnlyWhenTheCaseQualifies) {
    const zDate d(2016, 6, 1);
    EXPECT_TRUE(KG::zmJahresmeldungAbgelehnt().contains(QStringLiteral("nicht erklärt")));
    KG::setFalleigenschaft(QString::fromLatin1(KG::kZmJahresmeldung), QStringLiteral("1"), db);
    buche(2, 1200, 3425, 19, 50000.00, d, QStringLiteral("ATU12345678"), 3);  // purchases count for neither limit
    buche(1, 1200, 8125, 25, 15000.00, d, QStringLiteral("ATU12345678"), 3);
    buche(1, 1200, 8150, 0, 185000.00, d);
    EXPECT_EQ(KG::zmJahresmeldungAbgelehnt(), QString()) << "both limits reached, none exceeded";
    buche(1, 1200, 8150, 0, 0.01, d);
    const QString umsatz = KG::zmJahresmeldungAbgelehnt();
    EXPECT_TRUE(umsatz.contains(QStringLiteral("Umsätze des Jahres 2016 betragen 200.000,01 Euro"))) << umsatz.toStdString();
    buche(1, 1200, 8125, 25, 0.01, d, QStringLiteral("ATU12345678"), 3);
    const QString eu = KG::zmJahresmeldungAbgelehnt();
    EXPECT_TRUE(eu.contains(QStringLiteral("Leistungen des Jahres 2016 betragen 15.000,01 Euro"))) << eu.toStdString();
    KG::setFalleigenschaft(QString::fromLatin1(KG::kZmJahresmeldung), QStringLiteral("0"), db);
    EXPECT_TRUE(KG::zmJahresmeldungAbgelehnt().contains(QStringLiteral("nicht erklärt")));
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
    EXPECT_EQ(feb.value(QStringLiteral("ATU12345678#0")).Betrag, 800.00_eur);
    EXPECT_EQ(feb.value(QStringLiteral("ATU12345678#1")).Betrag, 300.00_eur);
    EXPECT_EQ(KG::getZusammenfassendeMeldungCsv(feb),
              QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,800,L\nAT,U12345678,300,S"));
    EXPECT_EQ(KG::getUStIdMap(27).value(QStringLiteral("FR12345678901#0")).Betrag, 1234.99_eur) << "code 27: April and May";
    const QString jahr = KG::getZusammenfassendeMeldungCsv(KG::getUStIdMap(-1));
    EXPECT_TRUE(jahr.contains(QStringLiteral("FR,12345678901,1234,L"))) << jahr.toStdString();
    EXPECT_FALSE(jahr.contains(QStringLiteral("DE"))) << "German numbers are not reported";
    EXPECT_FALSE(jahr.contains(QStringLiteral("NL"))) << "cancelled bookings are not reported";

    QMap<QString, KG::UstIdZm> minus;
    minus.insert(QStringLiteral("BE0123456789#0"), {QStringLiteral("BE"), QStringLiteral("0123456789"), -10.50_eur, 0});
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
    EXPECT_EQ(k.value(1200).anfang.soll, 5000.0_eur);
    EXPECT_EQ(k.value(1200).buchungen.soll, 119.0_eur);
    EXPECT_EQ(k.value(1200).vormonate.soll, EuroType());
    EXPECT_FALSE(k.contains(4930));
    EXPECT_TRUE(p.text().startsWith(QStringLiteral("Summen- und Saldenliste Januar 2016")));

    // March: January and February are previous months.
    Saldenliste2 maerz;
    maerz.setZeitraum(BerichtZeitraum{1, 2, -1, rsPeriod()});
    zPrintString p2;
    maerz.Print(p2);
    EXPECT_EQ(maerz.konten().value(8400).vormonate.haben, 300.0_eur);
    EXPECT_EQ(maerz.konten().value(4930).buchungen.soll, 50.0_eur);

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
    EXPECT_EQ(var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz81")), 1000.0_eur);
    EXPECT_EQ(var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz66")), 19.0_eur);
    EXPECT_EQ(var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz83")), 171.0_eur);
    ASSERT_TRUE(DatenBase::SetDBVar(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Uebermittelt"), DatenTyp(true)));
    buche(1, 1200, 8400, 5, 119.00, zDate(2016, 5, 5));
    EXPECT_FALSE(Kont_::UebertrageUStVA(2, 1, -1));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Fehler).contains(QStringLiteral("Bereits übermittelte Umsatzsteuer-Voranmeldungen dürfen nicht gelöscht werden.")));
    EXPECT_EQ(var(QStringLiteral("Va_[M]\\Va0010_\\Va0011_{14}\\va_Kz81")), 1000.0_eur) << "a transmitted return is kept";
    DatenBase::setRootNode(QStringLiteral("Va_"), nullptr);

    // The annual return: the same computation on form 1.
    UStKennziffern jahr;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuerFormular(0, jahr, 3, -1, -1, 1));
    EXPECT_EQ(jahr.value(177).Betrag, 1100.0_eur) << "the annual return's line of the 19 % turnover";
    EXPECT_FALSE(jahr.contains(81)) << "81 is a code of the advance return only";
    EXPECT_EQ(jahr.value(320).Betrag, 19.0_eur);
    std::unique_ptr<Ust_> ust(Ust_::New());
    DatenBase::setRootNode(QStringLiteral("Ust_"), ust.get());
    EXPECT_EQ(root->UebernahmeUstGst(1221), 0);
    EXPECT_EQ(ust->getVar(QStringLiteral("ust_Kz177")).toEuro(), 1100.0_eur);
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

// The 2016 form (USt 1 A) takes every assessment base in whole euros and
// every tax with its cents; the list is the form's, written out here so that
// the program's table is checked against it. A negative base is cut toward
// zero as well.
TEST(UStVAFormular, BasesOfThe2016FormInWholeEurosTaxesInCents) {
    const int basen[] = {41, 44, 49, 43, 48, 81, 86, 35, 77, 76, 91, 89, 93, 95, 94, 42, 68, 60, 21, 45, 46, 52, 73, 78, 84};
    const int steuern[] = {36, 80, 98, 96, 47, 53, 74, 79, 85, 65, 66, 61, 62, 67, 63, 64, 59, 69};
    for (int vorzeichen : {1, -1}) {
        UStKennziffern k;
        for (int c : basen) k.insert(c, rsUStKennziffer{(unsigned long)c, QString(), true, false, EuroType::ausDouble(vorzeichen * (c + 0.99))});
        for (int c : steuern) k.insert(c, rsUStKennziffer{(unsigned long)c, QString(), true, false, EuroType::ausDouble(vorzeichen * (c + 0.01))});
        auto [a, a2, v] = Formular(k);
        const QMap<int, EuroType> e = UStVA::eintraege(a, a2, v);
        for (int c : basen) {
            EXPECT_TRUE(UStVA::volleEuro(c)) << c;
            EXPECT_EQ(e.value(c), EuroType::ausDouble(vorzeichen * c)) << "base " << c << " sign " << vorzeichen;
        }
        for (int c : steuern) {
            EXPECT_FALSE(UStVA::volleEuro(c)) << c;
            EXPECT_EQ(e.value(c), EuroType::ausDouble(vorzeichen * (c + 0.01))) << "tax " << c << " sign " << vorzeichen;
        }
        // 81 -> 81 x 19 % = 15.39, 86 -> 86 x 7 % = 6.02, 89 -> 16.91, 93 -> 6.51: whole-euro base x rate.
        const QMap<int, EuroType> b = UStVA::berechneteSteuern(a);
        EXPECT_EQ(b.value(81), EuroType::ausDouble(vorzeichen * 15.39));
        EXPECT_EQ(b.value(86), EuroType::ausDouble(vorzeichen * 6.02));
        EXPECT_EQ(b.value(89), EuroType::ausDouble(vorzeichen * 16.91));
        EXPECT_EQ(b.value(93), EuroType::ausDouble(vorzeichen * 6.51));
    }
    EXPECT_EQ(UStVA::kennzahl(47)->basisVon, 46);
    EXPECT_EQ(UStVA::kennzahl(79)->basisVon, 78);
    EXPECT_EQ(UStVA::kennzahl(4711), nullptr);
}

// A case on the SKR04 chart: the accounts corrected to the published
// standard chart book into the codes and lines of their standard meaning.
class ZahlenSkr04 : public Zahlen {
protected:
    QString rahmen() const override { return QStringLiteral("SKR04"); }
};

TEST_F(ZahlenSkr04, StandardAccountsBookIntoTheirCodes) {
    aktiviere("4640, 4660, 4975, 4980");
    const zDate d(2016, 2, 1);
    // Free-of-charge services and uses for private purposes at 19 %: 81.
    testfall::buche(db, 1, 1800, 4660, 5, 119.00, d);  // 100 + 19
    testfall::buche(db, 1, 1800, 4640, 5, 238.00, d);  // 200 + 38
    UStKennziffern k;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, k, 2, 0, -1));
    EXPECT_EQ(k.value(81).Betrag, 300.0_eur);
    EXPECT_FALSE(k.value(48).belegt) << "neither is tax-free";
    auto [a, a2, v] = Formular(k);
    EXPECT_EQ(a.felder.value(81).steuer, 57.0_eur);  // 300 x 19 %

    testfall::buche(db, 1, 1800, 4975, 0, 1000.00, d);  // taxable investment subsidy: income of the profit
    testfall::buche(db, 1, 1800, 4980, 0, 500.00, d);   // tax-free investment allowance: no income
    testfall::buche(db, 1, 1800, 3820, 0, 250.00, d);   // VAT refunded on the account it was paid on
    testfall::buche(db, 2, 1800, 7685, 0, 184.00, d);   // vehicle tax
    // Income 100 + 200 + 57 (VAT received) + 1000 = 1357; expenses -250 + 184 = -66; profit 1423.
    EXPECT_EQ(KG::getGewinn(db, false, 0), 1423.0_eur);
    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    erwarteEur({{2, 108, 300}, {2, 103, 1000}, {2, 141, 250}, {3, 145, 184}});
    EXPECT_TRUE(root->testCompGewinn());

    // The numbers of the standard chart.
    EXPECT_EQ(KG::getKontobezeichnung(7685), QStringLiteral("Kfz-Steuer"));
    EXPECT_EQ(KG::getKategorie(7685), 5402u);
    EXPECT_FALSE(KG::existsKonto(6510, false, nullptr)) << "6510 is no vehicle tax in SKR04";
    EXPECT_FALSE(KG::existsKonto(3850, false, nullptr)) << "3850 is deferred import VAT, no refunded VAT";
    EXPECT_EQ(KG::getKontobezeichnung(630), QStringLiteral("Betriebsausstattung"));
    EXPECT_FALSE(KG::existsKonto(500, false, nullptr)) << "0500 is a group account";
    EXPECT_FALSE(KG::existsKonto(700, false, nullptr)) << "0700 is a group account";
    EXPECT_TRUE(KG::existsKonto(710, false, nullptr));
    EXPECT_EQ(KG::getKontobezeichnung(4110), QStringLiteral("Sonstige steuerfreie Umsätze Inland"));

    // § 141 AO: bookkeeping duty above 600 000 EUR turnover or 60 000 EUR profit from 2016.
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Betrag FROM eurSperrgrenzen WHERE Bezeichnung='Buchführungspflicht: Umsatzgrenze'"))
                  .toDouble(),
              600000.0);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Betrag FROM eurSperrgrenzen WHERE Bezeichnung='Buchführungspflicht: Gewinngrenze'"))
                  .toDouble(),
              60000.0);
}

}  // namespace

// A small business (§ 19 UStG) neither charges VAT nor deducts input tax:
// its expenses cost their gross amount. Reverse charge stays: it owes the
// tax of § 13b without deducting it.
TEST_F(Kleinunternehmer, BooksGrossAndOwesReverseChargeTaxWithoutDeduction) {
    EXPECT_FALSE(KG::istUstPflichtig(db));
    const zDate d(2016, 2, 10);

    // The posting refuses a key that would charge or deduct VAT, and names the way out.
    KG::BuchungsEntwurf b;
    b.text = QStringLiteral("Bürobedarf");
    b.belegdatum = d;
    b.buchungsart = 2;
    b.haben = true;
    b.konto = 1200;
    b.teile.append({4930, 7, 119.00_eur, false, QString()});
    QString grund;
    EXPECT_EQ(KG::insertSplittBuchung(b, db, &grund), 0u);
    EXPECT_TRUE(grund.contains(QStringLiteral("§ 19 UStG"))) << grund.toStdString();
    EXPECT_TRUE(grund.contains(QStringLiteral("brutto ohne Steuerschlüssel"))) << grund.toStdString();
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")).toLongLong(), 0);

    testfall::buche(db, 1, 1200, 8195, 0, 1000.00, d);  // revenue as a small business: 1000, no VAT
    testfall::buche(db, 2, 1200, 4930, 0, 119.00, d);   // office supplies: 119 expense, no input tax
    // A service of a business in Ireland (§ 13b Abs. 1): 500 paid to the supplier; the
    // 95 owed (19 %) are part of the cost, so the account carries 595, the tax account
    // 1787 the 95 owed; no input tax (1577) at all.
    const unsigned long rc = testfall::buche(db, 2, 1200, 3123, 94, 500.00, d);
    EXPECT_EQ(zeilen(rc, QStringLiteral("Konto=3123 AND Haben=0")), 595.00_eur);
    EXPECT_EQ(zeilen(rc, QStringLiteral("Konto=1787 AND Haben=-1")), 95.00_eur);
    EXPECT_EQ(zeilen(rc, QStringLiteral("Konto=1200 AND Haben=-1")), 500.00_eur);
    EXPECT_EQ(zeilen(rc, QStringLiteral("Konto=1577 AND Haben=0")), EuroType());
    EXPECT_TRUE(KG::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true).isEmpty());

    // The advance return it must file for the month: 46 and 47, no input tax.
    UStKennziffern k;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, k, 1, -1, 1));
    EXPECT_EQ(k.value(46).Betrag, 500.00_eur);
    EXPECT_EQ(k.value(47).Betrag, 95.00_eur);
    EXPECT_FALSE(k.value(67).belegt);
    EXPECT_FALSE(k.value(66).belegt);
    EXPECT_FALSE(k.value(81).belegt);

    // Paying the 95 to the tax office is an expense (186). Profit: 1000 - 119 - 595 + 95 - 95 = 286,
    // which is the money: 1000 in, 119 + 500 + 95 out.
    testfall::buche(db, 2, 1200, 1780, 0, 95.00, zDate(2016, 3, 10));
    EXPECT_EQ(KG::getGewinn(db, false, 0), 286.0_eur);
    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    EXPECT_EQ(eurVar(2, 111), 1000.0_eur) << "revenue as a small business";
    DatenTyp w;
    const bool vorsteuer = DatenBase::GetDBVar(QStringLiteral("Kont_[M]\\Eur0001_\\Eur0003_{1}\\eur3_Kz185"), &w);
    EXPECT_TRUE(!vorsteuer || w.toEuro().isNull()) << "no input tax";
    EXPECT_EQ(eurVar(3, 110), 500.0_eur)
        << "the service as paid; the tax owed is on 186 when paid";
    EXPECT_TRUE(root->testCompGewinn());
}

// The rule in the shared input check (book and import) and in switching the liability.
TEST_F(Kleinunternehmer, DefaultKeysIgnoredOtherKeysRefusedSwitchingKeepsTheRule) {
    EingabePruefer p(db, 2016);
    BuchungsEingabe e;
    e.buchungsart = 2;
    e.belegdatum = zDate(2016, 4, 1);
    e.konto = 1200;
    e.gegenkonto = 4930;  // default key 7 in the chart
    e.betrag = 119.00_eur;
    e.schluesselAngegeben = false;
    EXPECT_TRUE(p.pruefen(e).isEmpty());
    EXPECT_EQ(e.steuerschluessel, 0u) << "the chart's default input-tax key does not apply";
    e.schluesselAngegeben = true;
    e.steuerschluessel = 7;
    EXPECT_TRUE(p.pruefen(e).contains(QStringLiteral("nicht umsatzsteuerpflichtig")));
    e.gegenkonto = 3123;  // fixed key 94: reverse charge stays possible
    e.schluesselAngegeben = false;
    EXPECT_TRUE(p.pruefen(e).isEmpty());
    EXPECT_EQ(e.steuerschluessel, 94u);

    // Made liable, the case gets the VAT accounts it never had, and the default key applies again.
    EXPECT_FALSE(KG::existsKonto(1576, false, nullptr));
    kg->setUstPflicht(true);
    ASSERT_TRUE(kg->activateUstPflicht());
    EXPECT_TRUE(KG::isKontoAktiv(1576));
    EXPECT_TRUE(KG::isKontoAktiv(1776));
    EingabePruefer pflichtig(db, 2016);
    e.gegenkonto = 4930;
    e.schluesselAngegeben = false;
    EXPECT_TRUE(pflichtig.pruefen(e).isEmpty());
    EXPECT_EQ(e.steuerschluessel, 7u);
    const unsigned long n = testfall::buche(db, 2, 1200, 4930, 7, 119.00, zDate(2016, 4, 1));
    EXPECT_EQ(KG::buchungenMitUmsatzsteuer(db), QList<unsigned long>{n});
    // Back to a small business: the self-check names the booking that still deducts input tax.
    kg->setUstPflicht(false);
    const QStringList befunde = KG::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true);
    ASSERT_EQ(befunde.size(), 1);
    EXPECT_TRUE(befunde.first().contains(QStringLiteral("nicht umsatzsteuerpflichtig"))) << befunde.first().toStdString();
    // A cancelled booking and its cancellation charge nothing.
    kg->setUstPflicht(true);
    ASSERT_NE(KG::storniereBuchung(n), 0u);
    EXPECT_TRUE(KG::buchungenMitUmsatzsteuer(db).isEmpty());
}

// Entertaining business friends: 70 % of the cost is deductible, the input
// tax in full (§ 4 Abs. 5 Satz 1 Nr. 2 EStG, § 15 Abs. 1a UStG).
TEST_F(Zahlen, EntertainmentSeventyThirtyWithTheWholeInputTax) {
    const zDate d(2016, 6, 3);
    // 47.53 gross at 19 %: net 39.94, tax 7.59. Deductible 70 %: net 39.94 x 0.7 = 27.958 -> 27.96,
    // tax 7.59 x 0.7 = 5.313 -> 5.31; the rest 11.98 and 2.28 on 4654. Together 47.53.
    unsigned long n = buche(2, 1200, 4650, 7, 47.53, d);
    auto zeile = [&](unsigned long konto, unsigned long schluessel) {
        return zeilen(n, QStringLiteral("Konto=%1 AND Steuerschluessel=%2").arg(konto).arg(schluessel));
    };
    EXPECT_EQ(zeile(4650, 7), 27.96_eur);
    EXPECT_EQ(zeile(4654, 7), 11.98_eur);
    EXPECT_EQ(zeile(1576, 999999), 7.59_eur) << "the whole input tax of the receipt";
    EXPECT_EQ(zeile(1200, 0), 47.53_eur);
    // Divided by hand (the booking names the non-deductible account): taken as it is.
    KG::BuchungsEntwurf b;
    b.text = QStringLiteral("Bewirtung, von Hand geteilt");
    b.belegdatum = d;
    b.buchungsart = 2;
    b.haben = true;
    b.konto = 1200;
    b.teile = {{4650, 7, 83.30_eur, false, QString()}, {4654, 7, 35.70_eur, false, QString()}};
    ASSERT_NE(KG::insertSplittBuchung(b, db), 0u);
    EXPECT_TRUE(KG::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true).isEmpty());

    UStKennziffern k;
    ASSERT_TRUE(Kont_::GetUmsaetzeFuer(0, k, 1, -1, 5));
    EXPECT_EQ(k.value(66).Betrag, EuroType::ausDouble(7.59 + 19.00));
    // Deductible 27.96 + 70, non-deductible 11.98 + 30; the profit counts the deductible part and the input tax.
    EXPECT_EQ(KG::getGewinn(db, false, 0), EuroType::ausDouble(-(27.96 + 70.0 + 7.59 + 19.0)));
    ASSERT_EQ(root->UebernahmeEurFormular(), 0);
    erwarteEur({{3, 175, 97.96}, {3, 165, 41.98}});
    EXPECT_TRUE(root->testCompGewinn());

    // The share comes from the case's limits.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSperrgrenzen SET Betrag=50 WHERE Bezeichnung='Bewirtung: abziehbarer Anteil in Prozent'")));
    const unsigned long halb = buche(2, 1200, 4650, 0, 100.01, d);  // 50.01 rounded half up, 50.00 rest
    EXPECT_EQ(zeilen(halb, QStringLiteral("Konto=4654")), 50.00_eur);

    // The two parts of a receipt the program divided, posted again as they
    // stand (the import of an exported file, a template's parts): 113.14 at
    // 19 % gave 66.56 + 12.64 and 28.52 + 5.42. Split each on its own, 79.20
    // would give 66.55 + 12.65; taken from the whole, every line is as it was.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurSperrgrenzen SET Betrag=70 WHERE Bezeichnung='Bewirtung: abziehbarer Anteil in Prozent'")));
    b.text = QStringLiteral("Bewirtung, exportiert");
    b.teile = {{4650, 7, 79.20_eur, false, QString()}, {4654, 7, 33.94_eur, false, QString()}};
    const unsigned long wieder = KG::insertSplittBuchung(b, db);
    ASSERT_NE(wieder, 0u);
    n = wieder;
    EXPECT_EQ(zeile(4650, 7), 66.56_eur);
    EXPECT_EQ(zeile(4654, 7), 28.52_eur);
    EXPECT_EQ(zeile(1576, 999999), 18.06_eur);
}

// A small business's entertainment: 70 % of the gross amount is deductible.
TEST_F(Kleinunternehmer, EntertainmentSplitsTheGrossAmount) {
    const unsigned long n = testfall::buche(db, 2, 1000, 4650, 0, 119.00, zDate(2016, 8, 8));
    EXPECT_EQ(zeilen(n, QStringLiteral("Konto=4650")), 83.30_eur);
    EXPECT_EQ(zeilen(n, QStringLiteral("Konto=4654")), 35.70_eur);
    EXPECT_EQ(KG::getGewinn(db, false, 0), -83.30_eur);
}
