// Invoicing: totals per tax key, number ranges, the checks on saving,
// posting a paid invoice, reopening it, and the reminders.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/faktura/faktura.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

namespace {
using namespace Faktura;

class Faktura_ : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
        Person p;
        p.firma = QStringLiteral("O'Brien GmbH");
        p.strasse = QStringLiteral("Weg 2");
        p.plz = QStringLiteral("20095");
        p.ort = QStringLiteral("Hamburg");
        QString e;
        kunde = speicherePerson(db, p, &e);
        ASSERT_NE(kunde, 0u) << e.toStdString();
        env.ui().setDefaultAnswer(true);
    }
    Position pos(double menge, double preis, unsigned long key, bool brutto = false, double rabatt = 0.0) {
        Position p;
        p.bezeichnung = QStringLiteral("Posten");
        p.menge = menge;
        (brutto ? p.bruttopreis : p.preis) = preis;
        p.brutto = brutto;
        p.rabatt = rabatt;
        p.steuerschluessel = key;
        p.konto = key == 2 ? 8300 : 8400;
        return p;
    }
    Beleg rechnung(const QList<Position>& l, const QString& nummer = QString()) {
        Beleg b;
        b.personID = kunde;
        b.datum = zDate(2016, 3, 15);
        b.zeitraumVon = b.zeitraumBis = zDate(2016, 3, 10);
        b.positionen = l;
        b.nummer = nummer;
        return b;
    }
    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    unsigned long kunde = 0;
};

TEST_F(Faktura_, SummenJeSchluesselMitBruttoNettoRabattUndVersand) {
    Beleg b = rechnung({pos(3, 100.0, 5, false, 10.0),  // 300 - 30 = 270 net at 19 %
                        pos(1, 50.0, 5),                // 50 net at 19 %
                        pos(2, 21.40, 2, true),         // 42,80 gross at 7 %: 40,00 + 2,80
                        pos(1, 11.90, 5, true)});       // 11,90 gross at 19 %: 10,00 + 1,90
    b.versandNetto = 5.0;
    b.versandSatz = 19.0;
    const Summen s = berechneSummen(db, b);
    ASSERT_EQ(s.schluessel.size(), 2);
    EXPECT_EQ(s.schluessel[0].steuerschluessel, 2u);
    EXPECT_EQ(s.schluessel[0].netto, EuroType(40.00));
    EXPECT_EQ(s.schluessel[0].steuer, EuroType(2.80));
    EXPECT_EQ(s.schluessel[1].netto, EuroType(330.00));  // 320 net + 10 from 11,90 gross
    EXPECT_EQ(s.schluessel[1].steuer, EuroType(62.70));  // 60,80 + 1,90
    EXPECT_EQ(s.summeNetto, EuroType(370.00));
    EXPECT_EQ(s.summeSteuer, EuroType(65.50));
    EXPECT_EQ(s.versandBrutto, EuroType(5.95));
    EXPECT_EQ(s.endsumme, EuroType(441.45));  // 435,50 + 5,95
    EXPECT_EQ(s.positionsrabatt[0], EuroType(30.00));
    EXPECT_EQ(s.positionsnetto[2], EuroType(40.00));
    EXPECT_EQ(s.positionsnetto[3], EuroType(10.00));
}

TEST_F(Faktura_, KorrekturMitNegativerSumme) {
    Beleg b = rechnung({pos(-2, 100.0, 5)});
    b.rechnungsart = 1;
    const Summen s = berechneSummen(db, b);
    EXPECT_EQ(s.summeNetto, EuroType(-200.00));
    EXPECT_EQ(s.summeSteuer, EuroType(-38.00));
    EXPECT_EQ(s.endsumme, EuroType(-238.00));
    QString e;
    ASSERT_TRUE(speichereBeleg(db, &b, &e)) << e.toStdString();
    BuchungsAuftrag a{1200, zDate(2016, 3, 20), QString()};
    const unsigned long nr = bucheRechnung(db, b, a, &e);
    ASSERT_NE(nr, 0u) << e.toStdString();
    // The refund goes out of the bank: credit 238,00 on 1200.
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), EuroType(-238.00));
}

TEST_F(Faktura_, NummernOhneLueckeUndJeFall) {
    rsOptionsGlobal::instance().setInt(QStringLiteral("Reb"), QStringLiteral("RebNummerRechnungen"), 41);
    QString e;
    Beleg a = rechnung({pos(1, 10, 5)});
    ASSERT_TRUE(speichereBeleg(db, &a, &e)) << e.toStdString();
    EXPECT_EQ(a.nummer, QStringLiteral("RE-2016-0042"));
    Beleg k = rechnung({pos(-1, 10, 5)});
    k.rechnungsart = 1;
    ASSERT_TRUE(speichereBeleg(db, &k, &e));
    EXPECT_EQ(k.nummer, QStringLiteral("RE-2016-0043"));  // corrections share the range
    // The counter now lives in the case; the option no longer matters.
    rsOptionsGlobal::instance().setInt(QStringLiteral("Reb"), QStringLiteral("RebNummerRechnungen"), 7);
    EXPECT_EQ(naechsteNummer(db, Nummernkreis::Rechnung), 44u);
    // A refused save uses no number.
    Beleg ohne = rechnung({pos(1, 10, 5)});
    ohne.personID = 0;
    EXPECT_FALSE(speichereBeleg(db, &ohne, &e));
    EXPECT_EQ(e, QStringLiteral("Bitte wählen Sie einen Kunden für die Rechnung / Rechnungskorrektur."));
    Beleg c = rechnung({pos(1, 10, 5)});
    ASSERT_TRUE(speichereBeleg(db, &c, &e));
    EXPECT_EQ(c.nummer, QStringLiteral("RE-2016-0044"));
    EXPECT_FALSE(setzeNummernkreis(db, Nummernkreis::Rechnung, QString(), 10, &e));
    EXPECT_TRUE(setzeNummernkreis(db, Nummernkreis::Rechnung, QStringLiteral("R{JJ}/{NR:3}"), -1, &e));
    EXPECT_EQ(rs_GenerateBelegnummer(QStringLiteral("R{JJ}/{NR:3}"), 45, zDate(2016, 1, 2)), QStringLiteral("R16/045"));
    EXPECT_TRUE(rs_GenerateBelegnummer(QStringLiteral("{X}"), 1, zDate(), &e).isEmpty());
    EXPECT_TRUE(rs_GenerateBelegnummer(QStringLiteral("RE-"), 1, zDate(), &e).isEmpty());
}

TEST_F(Faktura_, NummernSindTextNieSql) {
    QString e;
    for (const QString& n : {QStringLiteral("RE-2016/01"), QStringLiteral("O'Brien-1")}) {
        Beleg b = rechnung({pos(1, 10, 5)}, n);
        ASSERT_TRUE(speichereBeleg(db, &b, &e)) << e.toStdString();
        Beleg doppelt = rechnung({pos(1, 10, 5)}, n);
        EXPECT_FALSE(speichereBeleg(db, &doppelt, &e));
        EXPECT_EQ(e, QStringLiteral("Diese Rechnungsnummer wurde bereits vergeben."));
        Beleg gefunden;
        ASSERT_TRUE(findeBeleg(db, Belegart::Rechnung, n, &gefunden));
        EXPECT_EQ(gefunden.nummer, n);
        BuchungsAuftrag a{1200, zDate(2016, 4, 1), QString()};
        const unsigned long nr = bucheRechnung(db, gefunden, a, &e);
        ASSERT_NE(nr, 0u) << e.toStdString();
        ASSERT_TRUE(KontoGlobal::deleteBuchung(nr, QStringLiteral("eurVerbucht")));
        ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, gefunden.id, &gefunden));
        EXPECT_FALSE(gefunden.bezahlt.isValid()) << n.toStdString();
    }
}

TEST_F(Faktura_, PruefungenBeimSpeichern) {
    QString e;
    Beleg b = rechnung({pos(1, 100, 5)});
    b.anzahlung = -5.0;
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_EQ(e, QStringLiteral("Sie haben zu einer positiven Rechnungssumme von 119,00 eine negative bereits gezahlte Summe erfasst."));
    b.anzahlung = 0.0;
    env.ui().setDefaultAnswer(false);
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).contains(QStringLiteral("Das Rechnungsdatum liegt vor dem heutigen Tag. Trotzdem fortfahren?")));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reRechnungen")).toInt(), 0);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reTempPositionen")).toInt(), 0);
    env.ui().setDefaultAnswer(true);
    Position falsch = pos(1, 10, 7);  // an input-tax key on revenue
    b.positionen << falsch;
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_EQ(e, QStringLiteral("Das gewählte Erlöskonto passt nicht zum gewählten Steuerschlüssel."));
    b.positionen.removeLast();
    Beleg negativ = rechnung({pos(-1, 100, 5)});
    ASSERT_TRUE(speichereBeleg(db, &negativ, &e));
    EXPECT_EQ(negativ.rechnungsart, 1);  // turned into a correction after the question
}

TEST_F(Faktura_, BuchenUndWiederOeffnen) {
    QString e;
    Beleg a = rechnung({pos(2, 100, 5), pos(1, 21.40, 2, true)});
    Beleg b = rechnung({pos(1, 10, 5)});
    ASSERT_TRUE(speichereBeleg(db, &a, &e) && speichereBeleg(db, &b, &e)) << e.toStdString();
    // A dunning letter of b whose own ID equals a's: posting a must keep it.
    Mahnung m;
    m.rechnungsID = b.id;
    m.datum = zDate(2016, 4, 1);
    ASSERT_NE(neueMahnung(db, m, &e), 0u) << e.toStdString();
    ASSERT_EQ(mahnungen(db, b.id).first().id, a.id);
    m.rechnungsID = a.id;
    m.stufe = 99;
    m.gebuehr = 5.0;
    ASSERT_NE(neueMahnung(db, m, &e), 0u);
    EXPECT_EQ(stufeText(mahnungen(db, a.id).first().stufe), QStringLiteral("Letzte"));
    // An invoice whose customer went missing is still offered for posting.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE reRechnungen SET PersonID=999 WHERE ID=") + QString::number(a.id)));
    EXPECT_EQ(buchungskandidaten(db).size(), 2);
    const unsigned long nr = bucheRechnung(db, a, {1200, zDate(2016, 4, 5), QString()}, &e);
    ASSERT_NE(nr, 0u) << e.toStdString();
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), EuroType(259.40));  // 238,00 + 21,40
    EXPECT_EQ(KontoGlobal::getSummeKonto(1776, 0, zDate(), zDate()), EuroType(-38.00));
    EXPECT_EQ(KontoGlobal::getSummeKonto(1771, 0, zDate(), zDate()), EuroType(-1.40));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Herkunft FROM eurVerbucht WHERE Buchungsnummer=") + QString::number(nr)).toInt(), 56);
    EXPECT_EQ(buchungskandidaten(db).size(), 1);
    EXPECT_TRUE(mahnungen(db, a.id).isEmpty());
    EXPECT_EQ(mahnungen(db, b.id).size(), 1);
    EXPECT_EQ(bucheRechnung(db, a, {1200, zDate(2016, 4, 5), QString()}, &e), 0u);
    Beleg gelesen;
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, a.id, &gelesen));
    EXPECT_EQ(gelesen.bezahlt, zDate(2016, 4, 5));
    EXPECT_EQ(gelesen.anzahlung, EuroType(259.40));
    // Cancelling the payment offers the invoice again; deleting reopens it.
    ASSERT_NE(KontoGlobal::storniereBuchung(nr), 0u);
    EXPECT_EQ(buchungskandidaten(db).size(), 2);
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, a.id, &gelesen));
    EXPECT_FALSE(gelesen.bezahlt.isValid());
    EXPECT_EQ(gelesen.anzahlung, EuroType(0.0));
}

TEST_F(Faktura_, Erinnerungen) {
    QString e;
    Beleg heute = rechnung({pos(1, 10, 5)});
    heute.erinnerungsdatum = zDate::today();
    Beleg morgen = rechnung({pos(1, 10, 5)});
    morgen.erinnerungsdatum = zDate::today().addDays(1);
    ASSERT_TRUE(speichereBeleg(db, &heute, &e) && speichereBeleg(db, &morgen, &e));
    QList<rsRebuErinnerung> l;
    ASSERT_EQ(KontoGlobal::fillErinnerungen(l), 1);
    EXPECT_EQ(l.first().art, 3u);
    EXPECT_TRUE(l.first().text.startsWith(QStringLiteral("Rechnungsnummer: ") + heute.nummer + QStringLiteral(" vom 15.03.2016 Kundennummer: K0001 (O'Brien GmbH)")));
    l.first().datum = zDate();
    EXPECT_EQ(KontoGlobal::delErinnerungen(l), 1);
    EXPECT_EQ(KontoGlobal::fillErinnerungen(l), 0);
}
}  // namespace
