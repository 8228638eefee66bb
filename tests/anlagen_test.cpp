// The fixed-asset register with figures computed by hand: straight-line
// depreciation by months, a building by its rate, special depreciation, the
// immediate write-off at the limit and the question just above it, the
// pool by fifths with its rule for the whole year; each posting lands on
// its line of the EÜR, the Anlage AVEÜR adds up to those lines, and a
// second run posts nothing.
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/anlagen/anlagen.h"
#include "kontbaum/berichte/anlagenverzeichnis.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/dalvo_lauf.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

EuroType eur(double e) { return EuroType::ausDouble(e); }

class AnlagenTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        root.reset(Kont_::New());
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    }
    void TearDown() override { DatenBase::setRootNode(QStringLiteral("Kont_"), nullptr); }

    Anlagen::Anlage anlage(const char* name, unsigned long konto, const zDate& d, double kosten, Anlagen::Methode m, int jahre = 0) {
        Anlagen::Anlage a;
        a.bezeichnung = QString::fromUtf8(name);
        a.konto = konto;
        a.anschaffung = d;
        a.kosten = eur(kosten);
        a.methode = m;
        a.nutzungsdauer = jahre;
        return a;
    }
    void speichere(Anlagen::Anlage a) {
        QString e;
        ASSERT_TRUE(Anlagen::speichern(a, &e)) << e.toStdString();
    }
    // An expense paid from the bank: `netto` on `konto` with 19 % input tax.
    static KontoGlobal::BuchungsEntwurf ausgabe(unsigned long konto, double netto, const zDate& d) {
        KontoGlobal::BuchungsEntwurf b;
        b.buchungsart = 2;
        b.belegdatum = d;
        b.haben = true;
        b.konto = 1200;
        b.teile.append({konto, 7, eur(netto), true, QString()});
        return b;
    }
    QMap<QString, EuroType> form() { return Kont_::berechneFormularwerte(QStringLiteral("EUR"), 3); }
    // The column `schluessel` of the AVEÜR's total row.
    double summe(const QString& schluessel) {
        BerichtListe l;
        Berichte::anlagenverzeichnis(2016, &l);
        int spalte = -1;
        for (int i = 0; i < l.spalten.size(); ++i)
            if (l.spalten[i].schluessel == schluessel) spalte = i;
        return l.zeilen.last().werte.value(spalte).toDouble();
    }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    std::unique_ptr<Kont_> root;
};

TEST_F(AnlagenTest, EachKindOfDepreciationLandsOnItsLineAndIsPostedOnce) {
    // Notebook, 15.03.2016, 1 380 net over 3 years: March to December are 10
    // of 36 months, 1 380 x 10 / 36 = 383,33 (EÜR 130).
    speichere(anlage("Notebook", 420, zDate(2016, 3, 15), 1380, Anlagen::Linear, 3));
    // Office building, 01.07.2016, 300 000 at 2 % (§ 7 Abs. 4 EStG) for
    // July to December: 300 000 x 2 % x 6/12 = 3 000 (EÜR 136).
    Anlagen::Anlage haus = anlage("Bürogebäude", 90, zDate(2016, 7, 1), 300000, Anlagen::Gebaeude);
    haus.satz = 2;
    speichere(haus);
    // Machine, 02.01.2016, 10 000 over 10 years: 1 000 AfA (EÜR 130) and the
    // full 20 % special depreciation of § 7g Abs. 5 EStG, 2 000 (EÜR 134).
    Anlagen::Anlage maschine = anlage("Fräsmaschine", 210, zDate(2016, 1, 2), 10000, Anlagen::Linear, 10);
    maschine.sonder.insert(2016, eur(2000.01));
    QString e;
    EXPECT_FALSE(Anlagen::speichern(maschine, &e)) << "more than 20 % of the cost";
    EXPECT_TRUE(e.contains(QStringLiteral("20 %"))) << e.toStdString();
    maschine.sonder.insert(2016, eur(2000));
    speichere(maschine);
    // After the five years of § 7g Abs. 5 (2016 to 2020: 5 x 1 000 AfA) the
    // rest of 10 000 - 5 000 - 2 000 = 3 000 is spread over the remaining 60
    // months (§ 7a Abs. 9 EStG): 600 a year, the last in 2025.
    EXPECT_EQ(Anlagen::werte(maschine, 2020).afa, eur(1000));
    EXPECT_EQ(Anlagen::werte(maschine, 2021).afa, eur(600));
    EXPECT_EQ(Anlagen::werte(maschine, 2025).afa, eur(600));
    EXPECT_EQ(Anlagen::werte(maschine, 2025).ende, EuroType());
    // Bought 01.07.2016 for 12 000 over 6 years with 2 400 special
    // depreciation: 54 of 72 months by 2020 take 9 000, the rest of 600 goes
    // over the remaining 18 months: 400 in 2021, 200 in 2022.
    Anlagen::Anlage stapler = anlage("Stapler", 210, zDate(2016, 7, 1), 12000, Anlagen::Linear, 6);
    stapler.sonder.insert(2016, eur(2400));
    EXPECT_EQ(Anlagen::werte(stapler, 2021).anfang, eur(600));
    EXPECT_EQ(Anlagen::werte(stapler, 2021).afa, eur(400));
    EXPECT_EQ(Anlagen::werte(stapler, 2022).afa, eur(200));
    // A low-value asset at exactly the limit of 410 is written off at once
    // (EÜR 132); one cent more is refused as such.
    speichere(anlage("Schreibtischstuhl", 480, zDate(2016, 5, 10), 410, Anlagen::Sofort));
    Anlagen::Anlage regal = anlage("Regal", 480, zDate(2016, 5, 10), 410.01, Anlagen::Sofort);
    EXPECT_FALSE(Anlagen::speichern(regal, &e));

    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e)) << e.toStdString();
    EXPECT_EQ(lauf.buchungen.size(), 5);
    EXPECT_EQ(lauf.summe, eur(383.33 + 3000 + 1000 + 2000 + 410));
    const QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz130")), eur(1383.33));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz136")), eur(3000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz134")), eur(2000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz132")), eur(410));
    // The form's sums are the EÜR's lines to the cent.
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("afa")), 383.33 + 3000 + 1000 + 410);
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("sonderabschreibungen")), 2000);
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("zugaenge")), 1380 + 300000 + 10000 + 410);
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("buchwert_ende")), 996.67 + 297000 + 7000);

    // A second run posts nothing; a cancelled depreciation is due again.
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e));
    EXPECT_TRUE(lauf.buchungen.isEmpty());
    const unsigned long notebookAfa =
        GetDatenTyp(db, QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE Zusatzinfo='AnlageAbschreibung_1'")).toULong();
    ASSERT_NE(KontoGlobal::storniereBuchung(notebookAfa), 0ul);
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e));
    ASSERT_EQ(lauf.buchungen.size(), 1);
    EXPECT_EQ(form().value(QStringLiteral("eur3_Kz130")), eur(1383.33));

    // The locked period: the question of the lock rule, and No posts nothing.
    Anlagen::Anlage drucker = anlage("Drucker", 420, zDate(2016, 2, 1), 600, Anlagen::Linear, 3);
    speichere(drucker);
    ASSERT_TRUE(KontoGlobal::setFestgeschriebenBis(zDate(2016, 12, 31)));
    env.ui().queueAnswer(false);
    EXPECT_FALSE(Anlagen::buchen(2016, &lauf, &e));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).join(QString()).contains(QStringLiteral("Abschreibung des Wirtschaftsgutes am 31.12.2016")));
    EXPECT_EQ(form().value(QStringLiteral("eur3_Kz130")), eur(1383.33));
}

TEST_F(AnlagenTest, ThePoolIsDissolvedByFifthsAndHoldsForTheWholeYear) {
    // Three items of 2016 in the pool: 200 + 300 + 500 = 1 000, one fifth a
    // year whatever the month: 40 + 60 + 100 = 200 (EÜR 137).
    speichere(anlage("Aktenschrank", 485, zDate(2016, 2, 1), 200, Anlagen::Sammelposten));
    speichere(anlage("Monitor", 485, zDate(2016, 6, 30), 300, Anlagen::Sammelposten));
    speichere(anlage("Tablet", 485, zDate(2016, 12, 1), 500, Anlagen::Sammelposten));
    QString e;
    // With the pool chosen for 2016, an item of 300 cannot be written off at once.
    Anlagen::Anlage stuhl = anlage("Stuhl", 480, zDate(2016, 3, 1), 300, Anlagen::Sofort);
    EXPECT_FALSE(Anlagen::speichern(stuhl, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("§ 6 Abs. 2a Satz 5"))) << e.toStdString();
    // Up to 150 it still can.
    speichere(anlage("Lampe", 480, zDate(2016, 3, 1), 150, Anlagen::Sofort));
    // An entry without postings can be removed; those after it move up.
    speichere(anlage("Fehlkauf", 485, zDate(2016, 3, 1), 999, Anlagen::Sammelposten));
    ASSERT_TRUE(Anlagen::entfernen(2, &e)) << e.toStdString();
    ASSERT_EQ(Anlagen::liste().size(), 4);
    EXPECT_EQ(Anlagen::liste().at(1).bezeichnung, QStringLiteral("Tablet"));
    ASSERT_TRUE(Anlagen::entfernen(4, &e));
    speichere(anlage("Monitor", 485, zDate(2016, 6, 30), 300, Anlagen::Sammelposten));
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e)) << e.toStdString();
    EXPECT_FALSE(Anlagen::entfernen(1, &e)) << "its depreciation is posted";
    EXPECT_EQ(form().value(QStringLiteral("eur3_Kz137")), eur(200));
    EXPECT_EQ(form().value(QStringLiteral("eur3_Kz132")), eur(150));
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("buchwert_ende")), 800);
    // The form shows the year's pool as one row, not its items.
    BerichtListe l;
    Berichte::anlagenverzeichnis(2016, &l);
    QStringList pool;
    for (const auto& z : l.zeilen)
        if (!z.summe && z.werte.value(0).toString().startsWith(QStringLiteral("Sammelposten")))
            pool << QStringLiteral("%1 %2 %3").arg(z.werte.value(2).toString()).arg(z.werte.value(6).toDouble()).arg(z.werte.value(9).toDouble());
    EXPECT_EQ(pool, QStringList{"Sammelposten 2016 1000 200"});
}

// A deduction of 2015 (carried into 2016) of 12 000 for a van planned at
// 30 000; the van is bought 01.04.2016 for 25 000 over 6 years:
//   added back min(12 000, 40 % of 25 000) = 10 000 (EÜR 188), the cost
//   reduced by 10 000 (EÜR 138), depreciation on 15 000 for April to
//   December 15 000 x 9 / 72 = 1 875 (EÜR 130); 2 000 stay open until 2018.
// A deduction of 2016 itself: 40 % of the expected cost at most (EÜR 187).
TEST_F(AnlagenTest, AnInvestmentDeductionIsAddedBackWhenTheAssetIsBought) {
    const QString e1 = QStringLiteral("Kont_[M]\\Iab006_[0]\\Iab006a_{1}\\");
    ASSERT_TRUE(DatenBase::SetDBVar(e1 + QStringLiteral("iab6a_ID"), DatenTyp(1)));
    ASSERT_TRUE(DatenBase::SetDBVar(e1 + QStringLiteral("iab6a_jahr"), DatenTyp(2015)));
    ASSERT_TRUE(DatenBase::SetDBVar(e1 + QStringLiteral("iab6a_bezeichnung"), DatenTyp(QStringLiteral("Transporter"))));
    ASSERT_TRUE(DatenBase::SetDBVar(e1 + QStringLiteral("iab6a_kosten"), DatenTyp(eur(30000))));
    ASSERT_TRUE(DatenBase::SetDBVar(e1 + QStringLiteral("iab6a_betrag"), DatenTyp(eur(12000))));
    speichere(anlage("Transporter", 320, zDate(2016, 4, 1), 25000, Anlagen::Linear, 6));
    QString e;
    EXPECT_EQ(Anlagen::hinzurechnen(1, 1, &e), eur(10000)) << e.toStdString();
    EXPECT_TRUE(Anlagen::hinzurechnen(1, 1, &e).isNull()) << "40 % of the cost are added back once";
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e)) << e.toStdString();
    QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur1_Hinzurechnung")), eur(10000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz138")), eur(10000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz130")), eur(1875));
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("herabsetzungen")), 10000);
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("buchwert_ende")), 13125);
    EXPECT_EQ(Anlagen::abzuege().first().offen(), eur(2000));
    DatenTyp datum;
    ASSERT_TRUE(DatenBase::GetDBVar(e1 + QStringLiteral("iab6a_anschaffungsdatum"), &datum));
    EXPECT_FALSE(datum.toDate().isValid()) << "the open remainder goes into the next year";

    Anlagen::Abzug neu;
    neu.bezeichnung = QStringLiteral("Drucker");
    neu.kosten = eur(5000);
    neu.betrag = eur(2000.01);
    EXPECT_EQ(Anlagen::abzugAnlegen(neu, &e), 0) << "more than 40 %";
    neu.betrag = eur(2000);
    EXPECT_EQ(Anlagen::abzugAnlegen(neu, &e), 2) << e.toStdString();
    EXPECT_EQ(form().value(QStringLiteral("eur1_Investitionsabzug")), eur(2000));
    EXPECT_TRUE(Anlagen::hinzurechnen(2, 1, &e).isNull()) << "not in the year it was taken";
}

// The 1 % rule for two cars of the whole year 2016:
//   list price 28 049 -> 28 000, 280 a month, booked monthly, 80 % with VAT:
//     224 x 12 = 2 688 on 8921 with 19 % (510,72 VAT), 56 x 12 = 672 on 8924;
//   list price 20 000, 200 a month, booked once, without VAT: 2 400 on 8924.
// EÜR 106 = 2 688 + 672 + 2 400 = 5 760.
// Trips of the first car, 20 km on 200 days: 28 000 x 0,03 % x 20 x 12 =
// 2 016 (EÜR 142), deductible 0,30 x 20 x 200 = 1 200 (EÜR 176), 816 not.
TEST_F(AnlagenTest, TheCompanyCarsPrivateUseByTheOnePercentRule) {
    Anlagen::Fahrzeug a;
    a.bezeichnung = QStringLiteral("Kombi");
    a.listenpreis = eur(28049);
    a.monatlich = true;
    a.entfernung = 20;
    a.arbeitstage = 200;
    Anlagen::Fahrzeug b;
    b.bezeichnung = QStringLiteral("Kleinwagen");
    b.listenpreis = eur(20000);
    b.ustProzent = 0;
    QString e;
    ASSERT_EQ(Anlagen::fahrzeugAnlegen(a, &e), 1) << e.toStdString();
    ASSERT_EQ(Anlagen::fahrzeugAnlegen(b, &e), 2) << e.toStdString();
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e)) << e.toStdString();
    EXPECT_EQ(lauf.buchungen.size(), 14);
    const QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur2_Kz106")), eur(5760));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz142")), eur(-2016)) << "line 142 reduces the car costs";
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz176")), eur(1200));
    EXPECT_EQ(KontoGlobal::getGewinn(db, false, 0), eur(5760 + 510.72 + 816)) << "private use, its VAT and the non-deductible trips";
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT SUM(Betrag) FROM eurVerbuchtBuchungszeilen WHERE Konto=1776")).toEuro(), eur(510.72));
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e));
    EXPECT_TRUE(lauf.buchungen.isEmpty()) << "a second run posts nothing";
}

// One car, list price 30 000, the whole year by the 1 % rule: 300 x 12 =
// 3 600; trips of 10 km on 200 days: 30 000 x 0,03 % x 10 x 12 = 1 080,
// deductible 0,30 x 10 x 200 = 600, not deductible 480. The flat values stay
// within the year's car costs (Kostendeckelung):
//   costs 2 000: private use 2 000, nothing left for the trips;
//   costs 4 000: private use 3 600, the trips' non-deductible part 400 of 480.
TEST_F(AnlagenTest, TheFlatValuesOfACarStayWithinItsCosts) {
    auto kosten = [&](double netto) {
        QString e;
        ASSERT_NE(KontoGlobal::bucheEingabe(ausgabe(4530, netto, zDate(2016, 6, 1)), db, &e), 0ul) << e.toStdString();
    };
    Anlagen::Fahrzeug f;
    f.bezeichnung = QStringLiteral("Limousine");
    f.listenpreis = eur(30000);
    f.entfernung = 10;
    f.arbeitstage = 200;
    QString e;
    ASSERT_EQ(Anlagen::fahrzeugAnlegen(f, &e), 1) << e.toStdString();
    kosten(2000);
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e)) << e.toStdString();
    QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur2_Kz106")), eur(2000));
    EXPECT_TRUE(w.value(QStringLiteral("eur3_Kz142")).isNull());
    kosten(2000);
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e)) << e.toStdString();
    w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur2_Kz106")), eur(3600));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz142")), eur(-1000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz176")), eur(600));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT SUM(Betrag) FROM eurVerbuchtBuchungszeilen WHERE Konto=4679")).toEuro(), eur(400));
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e));
    EXPECT_TRUE(lauf.buchungen.isEmpty());
}

// A logbook car with 25 % private use and 8 000 of costs: private use
// 2 000 (EÜR 106). Trips of 15 km on 200 days are 6 000 of the 20 000 km of
// the year, their share of the costs 8 000 x 6 000 / 20 000 = 2 400 (EÜR
// 142), deductible 0,30 x 15 x 200 = 900 (EÜR 176), 1 500 not deductible.
TEST_F(AnlagenTest, ALogbookCarsTripsTakeTheirShareOfTheCosts) {
    QString e;
    ASSERT_NE(KontoGlobal::bucheEingabe(ausgabe(4530, 8000, zDate(2016, 6, 1)), db, &e), 0ul) << e.toStdString();
    Anlagen::Fahrzeug f;
    f.bezeichnung = QStringLiteral("Kombi");
    f.fahrtenbuch = true;
    f.privatProzent = 25;
    f.entfernung = 15;
    f.arbeitstage = 200;
    EXPECT_EQ(Anlagen::fahrzeugAnlegen(f, &e), 0) << "the kilometres of the year are missing";
    EXPECT_TRUE(e.contains(QStringLiteral("--jahres-km"))) << e.toStdString();
    f.jahresKm = 20000;
    ASSERT_EQ(Anlagen::fahrzeugAnlegen(f, &e), 1) << e.toStdString();
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::privatanteilBuchen(&lauf, &e)) << e.toStdString();
    const QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur2_Kz106")), eur(2000));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz142")), eur(-2400));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz176")), eur(900));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT SUM(Betrag) FROM eurVerbuchtBuchungszeilen WHERE Konto=4679")).toEuro(), eur(1500));
}

// Shares held as current assets, bought for 10 000 and sold on 01.10.2016
// for 12 500: the cost is an expense only at the sale (EÜR 135), the
// proceeds income (EÜR 102), the profit 2 500; a plot of land held for
// 50 000 changes nothing but the register. The 40 % rule corrects the
// profit outside the EÜR.
TEST_F(AnlagenTest, CurrentAssetsCostOnlyWhenTheyLeave) {
    Anlagen::UmlaufGut aktien;
    aktien.bezeichnung = QStringLiteral("Aktien");
    aktien.art = 2;
    aktien.konto = 1348;
    aktien.anschaffung = zDate(2016, 2, 1);
    aktien.kosten = eur(10000);
    QString e;
    ASSERT_TRUE(Anlagen::umlaufSpeichern(aktien, &e)) << e.toStdString();
    ASSERT_NE(Anlagen::bucheUmlaufAnschaffung(aktien, 1200, &e), 0ul) << e.toStdString();
    Anlagen::UmlaufGut grund = aktien;
    grund.nummer = 0;
    grund.bezeichnung = QStringLiteral("Bauplatz");
    grund.art = 1;
    grund.konto = 1500;
    grund.kosten = eur(50000);
    ASSERT_TRUE(Anlagen::umlaufSpeichern(grund, &e)) << e.toStdString();
    EXPECT_EQ(KontoGlobal::getGewinn(db, false, 0), EuroType()) << "buying is no expense";
    aktien.abgang = zDate(2016, 10, 1);
    aktien.abgangsart = Anlagen::Verkauf;
    aktien.erloes = eur(12500);
    aktien.geldkonto = 1200;
    ASSERT_TRUE(Anlagen::umlaufSpeichern(aktien, &e)) << e.toStdString();
    Anlagen::Lauf lauf;
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e)) << e.toStdString();
    EXPECT_EQ(lauf.buchungen.size(), 2);
    const QMap<QString, EuroType> w = form();
    EXPECT_EQ(w.value(QStringLiteral("eur2_Kz102")), eur(12500));
    EXPECT_EQ(w.value(QStringLiteral("eur3_Kz135")), eur(10000)) << "an expense, shown positive";
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT SUM(Betrag) FROM eurVerbuchtBuchungszeilen WHERE Konto=2325 AND Haben=0")).toEuro(),
              eur(10000)) << "the cost on the account of line 135";
    EXPECT_EQ(KontoGlobal::getGewinn(db, false, 0), eur(2500));
    // The 40 % rule outside the EÜR: 40 % of 12 500 tax-free (5 000), 40 %
    // of 10 000 not deductible (4 000); of the gain of 2 500 the income tax
    // takes 60 %, 1 500, the correction is -1 000. The land is no share.
    Anlagen::Teileinkuenfte t = Anlagen::teileinkuenfte(2016);
    EXPECT_EQ(t.steuerfrei, eur(5000));
    EXPECT_EQ(t.nichtAbziehbar, eur(4000));
    EXPECT_EQ(t.korrektur(), eur(-1000));
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("abgaenge")), 10000);
    EXPECT_DOUBLE_EQ(summe(QStringLiteral("buchwert_ende")), 50000);
    ASSERT_TRUE(Anlagen::buchen(2016, &lauf, &e));
    EXPECT_TRUE(lauf.buchungen.isEmpty());
    // Shares of 5 000 withdrawn at 3 000 add a loss of 2 000 of which 60 %
    // count: withdrawn values 15 500 (6 200 tax-free), cost 15 000 (6 000
    // not deductible), correction -1 000 + 800 = -200.
    Anlagen::UmlaufGut fonds = aktien;
    fonds.nummer = 0;
    fonds.bezeichnung = QStringLiteral("GmbH-Anteil");
    fonds.kosten = eur(5000);
    fonds.abgangsart = Anlagen::Entnahme;
    fonds.erloes = eur(3000);
    ASSERT_TRUE(Anlagen::umlaufSpeichern(fonds, &e)) << e.toStdString();
    t = Anlagen::teileinkuenfte(2016);
    EXPECT_EQ(t.steuerfrei, eur(6200));
    EXPECT_EQ(t.nichtAbziehbar, eur(6000));
    EXPECT_EQ(t.korrektur(), eur(-200));
}

TEST_F(AnlagenTest, AnExpenseAboveTheLimitAsksWhetherItIsAnAsset) {
    // Supplies (4930, category 5570) at 19 %: 410,00 net is posted unasked,
    // 410,01 net asks with the limit named, and No posts nothing.
    auto entwurf = [](double netto) { return ausgabe(4930, netto, zDate(2016, 4, 4)); };
    QString e;
    EXPECT_NE(KontoGlobal::bucheEingabe(entwurf(410.00), db, &e), 0ul) << e.toStdString();
    EXPECT_EQ(env.ui().count(Ui::Art::Frage), 0);
    env.ui().queueAnswer(false);
    EXPECT_EQ(KontoGlobal::bucheEingabe(entwurf(410.01), db, &e), 0ul);
    ASSERT_EQ(env.ui().count(Ui::Art::Frage), 1);
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).first().contains(QStringLiteral("410,00 €"))) << "the limit is named";
    env.ui().queueAnswer(true);
    EXPECT_NE(KontoGlobal::bucheEingabe(entwurf(410.01), db, &e), 0ul);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")).toInt(), 2);
}

// A whole life on the command line: a machine bought 01.10.2015 for 6 000
// net over 5 years and a pooled tablet of 500, the change of year, and the
// machine sold on 30.06.2016 for 5 000 net.
//   2015: machine 6 000 x 3/60 = 300, tablet 500 / 5 = 100; closing 5 700 + 400,
//         the opening balances of 210 and 485 on 01.01.2016.
//   2016: machine 6 000 x 9/60 - 300 = 600 up to June; remaining book value
//         5 700 - 600 = 5 100 (EÜR 135); proceeds 5 000 (EÜR 102); the
//         tablet's fifth 100 whatever became of it.
TEST(AnlagenJahreswechsel, TheNewYearOpensWithTheOldYearsClosingValues) {
    QTemporaryDir dir;
    const QString alt = dir.filePath(QStringLiteral("2015.dalvo")), neu = dir.filePath(QStringLiteral("2016.dalvo"));
    auto ok = [](const QStringList& args) {
        const Lauf l = dalvo(args);
        EXPECT_EQ(l.rc, 0) << args.join(QLatin1Char(' ')).toStdString() << ": " << l.err.toStdString();
        return l.out;
    };
    auto json = [&](const QStringList& args) { return QJsonDocument::fromJson(ok(args).toUtf8()).object(); };
    auto gesamt = [&](const QString& fall) {
        return json({"anlage", fall, "verzeichnis", "--json"}).value(QStringLiteral("summen")).toArray().last().toObject();
    };
    ok({"neu", alt, "--jahr", "2015", "--ohne-beispiele"});
    ok({"anlage", alt, "neu", "--bezeichnung", "Maschine", "--konto", "210", "--datum", "01.10.2015", "--kosten", "6000", "--nutzungsdauer",
        "5", "--buchen", "--geldkonto", "1200", "--schluessel", "7"});
    ok({"anlage", alt, "neu", "--bezeichnung", "Tablet", "--konto", "485", "--datum", "01.12.2015", "--kosten", "500", "--methode",
        "sammelposten"});
    ok({"anlage", alt, "afa"});
    ok({"investitionsabzug", alt, "neu", "--bezeichnung", "Transporter", "--kosten", "30000", "--betrag", "12000"});
    // A plot held as a current asset comes along with its cost.
    ok({"umlauf", alt, "neu", "--bezeichnung", "Bauplatz", "--konto", "1500", "--datum", "01.11.2015", "--kosten", "50000", "--art",
        "grund"});
    const QJsonObject ende2015 = gesamt(alt);
    EXPECT_DOUBLE_EQ(ende2015.value(QStringLiteral("afa")).toDouble(), 400);
    EXPECT_DOUBLE_EQ(ende2015.value(QStringLiteral("buchwert_ende")).toDouble(), 56100);

    ok({"jahreswechsel", alt, neu});
    EXPECT_TRUE(ok({"investitionsabzug", neu, "liste"}).contains(QStringLiteral("offen 12.000,00 € bis 31.12.2018")))
        << "the open deduction comes over";
    EXPECT_DOUBLE_EQ(gesamt(neu).value(QStringLiteral("buchwert_anfang")).toDouble(), ende2015.value(QStringLiteral("buchwert_ende")).toDouble());
    // The balance list opens with the carried book values (the tablet's
    // purchase was never booked: its account opens with the register's 400).
    const QString salden = ok({"saldenliste", neu, "--csv"});
    EXPECT_TRUE(salden.contains(QStringLiteral("210;\"Maschinen\";5.700,00;0,00;"))) << salden.toStdString();
    EXPECT_TRUE(salden.contains(QStringLiteral("485;\"Sammelposten\";400,00;0,00;"))) << salden.toStdString();
    EXPECT_TRUE(ok({"saldovortrag", neu, "--vorjahr", alt, "--ja"}).contains(QStringLiteral("stimmen bereits mit den Saldovortragsbuchungen überein")))
        << "the carry-forward of the ledger leaves the register's opening balances alone";

    ok({"anlage", neu, "abgang", "1", "--datum", "30.06.2016", "--art", "verkauf", "--erloes", "5000", "--geldkonto", "1200"});
    EXPECT_EQ(ok({"anlage", neu, "afa"}).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 4);
    EXPECT_EQ(ok({"anlage", neu, "afa"}), QString()) << "a second run posts nothing";
    QMap<int, double> kategorie;
    const QJsonObject euer = json({"euer", neu, "--json"});
    for (const QJsonValue& k : euer.value(QStringLiteral("kategorien")).toArray())
        kategorie[k.toObject().value(QStringLiteral("kategorie")).toInt()] = k.toObject().value(QStringLiteral("summe")).toDouble();
    EXPECT_DOUBLE_EQ(kategorie.value(5301), 600);
    EXPECT_DOUBLE_EQ(kategorie.value(5305), 100);
    EXPECT_DOUBLE_EQ(kategorie.value(5401), 5100);
    EXPECT_DOUBLE_EQ(kategorie.value(4202), 5000);
    // The lines of the form: the remaining book value is an expense like the depreciation.
    const QJsonObject zeile = euer.value(QStringLiteral("zeilen")).toObject();
    EXPECT_DOUBLE_EQ(zeile.value(QStringLiteral("130")).toDouble(), 600);
    EXPECT_DOUBLE_EQ(zeile.value(QStringLiteral("137")).toDouble(), 100);
    EXPECT_DOUBLE_EQ(zeile.value(QStringLiteral("135")).toDouble(), 5100);
    EXPECT_DOUBLE_EQ(zeile.value(QStringLiteral("102")).toDouble(), 5000);
    // The calculation file writes every expense negated, this one too.
    EXPECT_TRUE(ok({"berechnung", neu, "-"}).contains(QStringLiteral("name=\"Restbuchwert ausgeschiedener Anlagen\" summe=\"-5.100,00\"")));
    const QJsonObject ende2016 = gesamt(neu);
    EXPECT_DOUBLE_EQ(ende2016.value(QStringLiteral("afa")).toDouble(), 700);
    EXPECT_DOUBLE_EQ(ende2016.value(QStringLiteral("abgaenge")).toDouble(), 5100);
    EXPECT_DOUBLE_EQ(ende2016.value(QStringLiteral("buchwert_ende")).toDouble(), 50300);
    EXPECT_EQ(dalvo({"pruefen", neu}).rc, 0);
}

// A purchase typed as debit and credit with input tax on the asset account,
// taken into the register: 1 380 net from 09.03.2016 over 3 years, 10 of 36
// months: 383,33; a second run posts nothing.
TEST(AnlagenBuchen, APurchaseBookedByHandBecomesAnAsset) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("fall.dalvo"));
    ASSERT_EQ(dalvo({"neu", fall, "--jahr", "2016", "--ohne-beispiele"}).rc, 0);
    const Lauf kauf = dalvo({"buchen", fall, "--art", "frei", "--datum", "09.03.2016", "--betrag", "1380", "--netto", "--soll", "420",
        "--haben", "1200", "--schluessel", "7", "--text", "Notebook"});
    ASSERT_EQ(kauf.rc, 0) << kauf.err.toStdString();
    const Lauf neu = dalvo({"anlage", fall, "neu", "--aus-buchung", kauf.out.trimmed(), "--nutzungsdauer", "3"});
    ASSERT_EQ(neu.rc, 0) << neu.err.toStdString();
    EXPECT_EQ(dalvo({"anlage", fall, "neu", "--aus-buchung", kauf.out.trimmed(), "--nutzungsdauer", "3"}).rc,
        1) << "one booking, one asset";
    ASSERT_EQ(dalvo({"anlage", fall, "afa"}).rc, 0);
    EXPECT_EQ(dalvo({"anlage", fall, "afa"}).out, QString());
    const QJsonObject summe = QJsonDocument::fromJson(dalvo({"anlage", fall, "verzeichnis",
        "--json"}).out.toUtf8()).object().value(QStringLiteral("summen")).toArray().last().toObject();
    EXPECT_DOUBLE_EQ(summe.value(QStringLiteral("afa")).toDouble(), 383.33);
    EXPECT_DOUBLE_EQ(summe.value(QStringLiteral("buchwert_ende")).toDouble(), 996.67);
    EXPECT_EQ(dalvo({"pruefen", fall}).rc, 0);
}

// The chart keeps tools (440), securities (1348) and special depreciation
// (4850) inactive: a register posting there activates the account in the
// same step and says so; a refused posting leaves the chart as it was.
TEST(AnlagenBuchen, APostingOnAnInactiveAccountActivatesIt) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    auto aktiv = [&](int konto) { return sqlZahl(fall, QStringLiteral("SELECT Aktiv<>0 FROM eurKontenplan WHERE Nummer=%1").arg(konto)); };
    const QStringList anlage = {"anlage", fall, "neu", "--bezeichnung", "Werkzeugsatz", "--konto", "440", "--datum", "01.03.2016",
                                "--kosten", "3000", "--nutzungsdauer", "5", "--sonder", "2016:600", "--buchen", "--schluessel", "7"};
    const QByteArray vorher = hashOf(fall);
    const Lauf abgelehnt = dalvo(QStringList(anlage) << "--geldkonto" << "1299");
    EXPECT_EQ(abgelehnt.rc, 1);
    EXPECT_TRUE(abgelehnt.err.contains(QStringLiteral("Das Konto 1299 gibt es im Kontenplan nicht"))) << abgelehnt.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_EQ(aktiv(440), 0);

    const Lauf neu = dalvo(QStringList(anlage) << "--geldkonto" << "1200");
    ASSERT_EQ(neu.rc, 0) << neu.err.toStdString();
    EXPECT_TRUE(neu.err.contains(QStringLiteral("Konto 440 „Werkzeuge“ wurde aktiviert."))) << neu.err.toStdString();
    const Lauf umlauf = dalvo({"umlauf", fall, "neu", "--bezeichnung", "Anleihe", "--konto", "1348", "--datum", "01.04.2016", "--kosten",
                               "2000", "--art", "wertpapiere", "--buchen", "--geldkonto", "1200"});
    ASSERT_EQ(umlauf.rc, 0) << umlauf.err.toStdString();
    EXPECT_TRUE(umlauf.err.contains(QStringLiteral("Konto 1348 „Sonstige Wertpapiere“ wurde aktiviert."))) << umlauf.err.toStdString();
    ASSERT_EQ(dalvo({"anlage", fall, "abgang", "1", "--datum", "30.09.2016", "--art", "verkauf", "--erloes", "1500", "--geldkonto", "1200"}).rc, 0);
    const Lauf afa = dalvo({"anlage", fall, "afa"});
    ASSERT_EQ(afa.rc, 0) << afa.err.toStdString();
    EXPECT_TRUE(afa.err.contains(QStringLiteral("4850 „"))) << afa.err.toStdString();
    EXPECT_EQ(aktiv(440) + aktiv(1348) + aktiv(4850), 3);
    const Lauf pruefen = dalvo({"pruefen", fall});
    EXPECT_EQ(pruefen.rc, 0) << pruefen.out.toStdString() << pruefen.err.toStdString();
}

}  // namespace
