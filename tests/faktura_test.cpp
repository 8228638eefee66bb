// Invoicing: totals per tax key, number ranges, the checks on saving,
// posting a paid invoice, reopening it, and the reminders.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/faktura/faktura.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>
#include <cmath>

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
        (brutto ? p.bruttopreis : p.preis) = EuroType::ausDouble(preis);
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
    b.versandNetto = 5.0_eur;
    b.versandSatz = 19.0;
    const Summen s = berechneSummen(db, b);
    ASSERT_EQ(s.schluessel.size(), 2);
    EXPECT_EQ(s.schluessel[0].steuerschluessel, 2u);
    EXPECT_EQ(s.schluessel[0].netto, 40.00_eur);
    EXPECT_EQ(s.schluessel[0].steuer, 2.80_eur);
    EXPECT_EQ(s.schluessel[1].netto, 330.00_eur);  // 320 net + 10 from 11,90 gross
    EXPECT_EQ(s.schluessel[1].steuer, 62.70_eur);  // 60,80 + 1,90
    EXPECT_EQ(s.summeNetto, 370.00_eur);
    EXPECT_EQ(s.summeSteuer, 65.50_eur);
    EXPECT_EQ(s.versandBrutto, 5.95_eur);
    EXPECT_EQ(s.endsumme, 441.45_eur);  // 435,50 + 5,95
    EXPECT_EQ(s.positionsrabatt[0], 30.00_eur);
    EXPECT_EQ(s.positionsnetto[2], 40.00_eur);
    EXPECT_EQ(s.positionsnetto[3], 10.00_eur);
}

TEST_F(Faktura_, KorrekturMitNegativerSumme) {
    Beleg b = rechnung({pos(-2, 100.0, 5)});
    b.rechnungsart = 1;
    const Summen s = berechneSummen(db, b);
    EXPECT_EQ(s.summeNetto, -200.00_eur);
    EXPECT_EQ(s.summeSteuer, -38.00_eur);
    EXPECT_EQ(s.endsumme, -238.00_eur);
    QString e;
    ASSERT_TRUE(speichereBeleg(db, &b, &e)) << e.toStdString();
    BuchungsAuftrag a{1200, zDate(2016, 3, 20), QString()};
    const unsigned long nr = bucheRechnung(db, b, a, &e);
    ASSERT_NE(nr, 0u) << e.toStdString();
    // The refund goes out of the bank: credit 238,00 on 1200.
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), -238.00_eur);
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

TEST_F(Faktura_, WiederOffenNachLoeschenUndStornoDerZahlung) {
    QString e;
    Beleg b = rechnung({pos(1, 1000, 5)});
    ASSERT_TRUE(speichereBeleg(db, &b, &e)) << e.toStdString();
    // Deleted and cancelled, the payment leaves the whole 1.190,00 open,
    // never the net amount of the booking taken as paid.
    for (const bool storno : {false, true}) {
        const unsigned long nr = bucheRechnung(db, b, BuchungsAuftrag{1200, zDate(2016, 4, 1), QString(), EuroType()}, &e);
        ASSERT_NE(nr, 0u) << e.toStdString();
        ASSERT_TRUE(storno ? KontoGlobal::storniereBuchung(nr) != 0 : KontoGlobal::deleteBuchung(nr, QStringLiteral("eurVerbucht")));
        Beleg offen;
        ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, b.id, &offen));
        EXPECT_FALSE(offen.bezahlt.isValid());
        EXPECT_EQ(berechneSummen(db, offen).offen, 1190.00_eur) << (storno ? "storno" : "loeschen");
        EXPECT_EQ(belege(db, Belegart::Rechnung, true).size(), 1);
    }
    // A payment dated before the invoice asks first.
    env.ui().setDefaultAnswer(false);
    EXPECT_EQ(bucheRechnung(db, b, BuchungsAuftrag{1200, zDate(2016, 3, 1), QString(), EuroType()}, &e), 0u);
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).last().startsWith(QStringLiteral("Die Zahlung am 01.03.2016 liegt vor dem Datum der Rechnung")));
}

TEST_F(Faktura_, UebernahmeUndMahnungBehaltenDasJahrDesFalls) {
    QString e;
    Beleg angebot = rechnung({pos(1, 100, 5)});
    angebot.art = Belegart::Angebot;
    angebot.datum = zDate(2016, 2, 1);
    ASSERT_TRUE(speichereBeleg(db, &angebot, &e)) << e.toStdString();
    // Without a date the confirmation and the invoice are dated as their
    // source, and numbered in its year, one after the other.
    const unsigned long ab = belegUebernehmen(db, angebot, Belegart::Auftrag, zDate(), &e);
    Beleg auftrag, r1, r2;
    ASSERT_TRUE(leseBeleg(db, Belegart::Auftrag, ab, &auftrag)) << e.toStdString();
    EXPECT_EQ(auftrag.datum, zDate(2016, 2, 1));
    EXPECT_EQ(auftrag.nummer, QStringLiteral("AB-2016-0001"));
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, belegUebernehmen(db, auftrag, Belegart::Rechnung, zDate(), &e), &r1)) << e.toStdString();
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, belegUebernehmen(db, auftrag, Belegart::Rechnung, zDate(2016, 2, 3), &e), &r2));
    EXPECT_EQ(r1.nummer, QStringLiteral("RE-2016-0001"));
    EXPECT_EQ(r2.nummer, QStringLiteral("RE-2016-0002"));
    // A date outside the case's year asks; "no" keeps nothing.
    env.ui().setDefaultAnswer(false);
    EXPECT_EQ(belegUebernehmen(db, angebot, Belegart::Lieferschein, zDate(2017, 1, 5), &e), 0u);
    EXPECT_TRUE(e.contains(QStringLiteral("nicht im Wirtschaftsjahr 2016"))) << e.toStdString();
    EXPECT_TRUE(belege(db, Belegart::Lieferschein).isEmpty());
    // The dunning letter of a past year: the day after the invoice fell due (14 days).
    Mahnung m;
    m.rechnungsID = r1.id;
    ASSERT_NE(neueMahnung(db, m, &e), 0u) << e.toStdString();
    EXPECT_EQ(mahnungen(db, r1.id).first().datum, zDate(2016, 2, 16));
    EXPECT_EQ(mahnungen(db, r1.id).first().nummer, QStringLiteral("MA-2016-0001"));
}

TEST_F(Faktura_, PruefungenBeimSpeichern) {
    QString e;
    Beleg b = rechnung({pos(1, 100, 5)});
    b.anzahlung = -5.0_eur;
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_EQ(e, QStringLiteral("Sie haben zu einer positiven Rechnungssumme von 119,00 eine negative bereits gezahlte Summe erfasst."));
    b.anzahlung = 0.0_eur;
    // In a case of a past year every date lies before today: only a date
    // before the newest invoice, or outside the case's year, asks.
    env.ui().setDefaultAnswer(false);
    Beleg erste = rechnung({pos(1, 100, 5)});
    ASSERT_TRUE(speichereBeleg(db, &erste, &e)) << e.toStdString();
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).isEmpty());
    b.datum = zDate(2016, 3, 1);
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_EQ(env.ui().texts(Ui::Art::Frage),
              QStringList{QStringLiteral("Das Rechnungsdatum liegt vor dem Datum der letzten Rechnung (15.03.2016). Trotzdem fortfahren?")});
    b.datum = zDate(2017, 1, 2);
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).last().startsWith(QStringLiteral("Das Rechnungsdatum liegt nicht im aktuell gewählten Wirtschaftsjahr 2016")));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reRechnungen")).toInt(), 1);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reTempPositionen")).toInt(), 0);
    // An invoice back-dated within the current year still asks.
    const zDate gestern = zDate::today().addDays(-1);
    if (gestern.year() == zDate::today().year()) {
        b.datum = gestern;
        EXPECT_FALSE(speichereBeleg(db, &b, &e));
        EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).contains(QStringLiteral("Das Rechnungsdatum liegt vor dem heutigen Tag. Trotzdem fortfahren?")));
    }
    b.datum = zDate(2016, 3, 15);
    env.ui().setDefaultAnswer(true);
    Position falsch = pos(1, 10, 7);  // an input-tax key on revenue
    b.positionen << falsch;
    EXPECT_FALSE(speichereBeleg(db, &b, &e));
    EXPECT_EQ(e, QStringLiteral("Das gewählte Erlöskonto passt nicht zum gewählten Steuerschlüssel."));
    b.positionen.removeLast();
    // Quantity times price, and the totals, are amounts like those booked:
    // beyond their bound the document is refused, never saturated.
    const QString grenze = QStringLiteral("999.999.999,99 €");
    Beleg riesig = rechnung({pos(999999999, 999999999.99, 5)});
    EXPECT_FALSE(speichereBeleg(db, &riesig, &e));
    EXPECT_EQ(e, QStringLiteral("Der Betrag der Position „Posten“ (Menge × Preis) übersteigt den Höchstbetrag von %1. Bitte prüfen Sie "
                                "Menge und Preis.").arg(grenze));
    Beleg brutto = rechnung({pos(1, 900000000, 5)});  // net within the bound, gross 1.071.000.000,00
    EXPECT_FALSE(speichereBeleg(db, &brutto, &e));
    EXPECT_EQ(e, QStringLiteral("Die Summen des Belegs übersteigen den Höchstbetrag von %1. Bitte verteilen Sie die Positionen auf "
                                "mehrere Belege.").arg(grenze));
    Beleg keineZahl = rechnung({pos(std::nan(""), 1, 5)});
    EXPECT_FALSE(speichereBeleg(db, &keineZahl, &e));
    EXPECT_EQ(e, QStringLiteral("Die Menge der Position „Posten“ ist keine Zahl. Bitte geben Sie eine Menge an."));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reRechnungen")).toInt(), 1);
    Artikel a;
    a.bezeichnung = QStringLiteral("Anlage");
    a.preis = EuroType::ausCent(EuroType::kHoechstCent);
    a.steuerschluessel = 5;
    a.konto = 8400;
    EXPECT_EQ(speichereArtikel(db, a, &e), 0u);
    EXPECT_EQ(e, QStringLiteral("Der Bruttopreis des Artikels übersteigt den Höchstbetrag von %1.").arg(grenze));
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
    m.gebuehr = 5.0_eur;
    ASSERT_NE(neueMahnung(db, m, &e), 0u);
    EXPECT_EQ(stufeText(mahnungen(db, a.id).first().stufe), QStringLiteral("Letzte"));
    // An invoice whose customer went missing is still offered for posting.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE reRechnungen SET PersonID=999 WHERE ID=") + QString::number(a.id)));
    EXPECT_EQ(buchungskandidaten(db).size(), 2);
    const unsigned long nr = bucheRechnung(db, a, {1200, zDate(2016, 4, 5), QString()}, &e);
    ASSERT_NE(nr, 0u) << e.toStdString();
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), 259.40_eur);  // 238,00 + 21,40
    EXPECT_EQ(KontoGlobal::getSummeKonto(1776, 0, zDate(), zDate()), -38.00_eur);
    EXPECT_EQ(KontoGlobal::getSummeKonto(1771, 0, zDate(), zDate()), -1.40_eur);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Herkunft FROM eurVerbucht WHERE Buchungsnummer=") + QString::number(nr)).toInt(), 56);
    EXPECT_EQ(buchungskandidaten(db).size(), 1);
    EXPECT_TRUE(mahnungen(db, a.id).isEmpty());
    EXPECT_EQ(mahnungen(db, b.id).size(), 1);
    EXPECT_EQ(bucheRechnung(db, a, {1200, zDate(2016, 4, 5), QString()}, &e), 0u);
    Beleg gelesen;
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, a.id, &gelesen));
    EXPECT_EQ(gelesen.bezahlt, zDate(2016, 4, 5));
    EXPECT_EQ(gelesen.anzahlung, 259.40_eur);
    // Cancelling the payment offers the invoice again; deleting reopens it.
    ASSERT_NE(KontoGlobal::storniereBuchung(nr), 0u);
    EXPECT_EQ(buchungskandidaten(db).size(), 2);
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, a.id, &gelesen));
    EXPECT_FALSE(gelesen.bezahlt.isValid());
    EXPECT_EQ(gelesen.anzahlung, EuroType());
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
// --- cash discount -------------------------------------------------------------

class Skonto_ : public Faktura_ {
protected:
    void SetUp() override {
        Faktura_::SetUp();
        // 2 % within 10 days; the invoices below are dated 15.03.2016, so the period ends 25.03.2016.
        Zahlungsbedingung z{0, QStringLiteral("2 % 10 Tage"), 30, 2.0, 10};
        QString e;
        const unsigned long zb = speichereZahlungsbedingung(db, z, &e);
        ASSERT_NE(zb, 0u) << e.toStdString();
        Person p;
        ASSERT_TRUE(lesePerson(db, kunde, &p));
        p.zahlungsbedingungID = zb;
        ASSERT_NE(speicherePerson(db, p, &e), 0u) << e.toStdString();
    }
    EuroType summe(unsigned long konto) { return KontoGlobal::getSummeKonto(konto, 0, zDate(), zDate()); }
    long long zahl(const QString& sql, const QVector<DatenTyp>& w = {}) { return QueryPrepared(db, sql, w).value(0).toLongLong(); }
};

TEST_F(Skonto_, GemischteRechnungMitSkontoMindertErloeseUndSteuerJeSchluessel) {
    QString e;
    // 100,00 net at 19 % (119,00) and 100,00 net at 7 % (107,00): 226,00.
    Beleg r = rechnung({pos(1, 100, 5), pos(1, 100, 2)});
    ASSERT_TRUE(speichereBeleg(db, &r, &e)) << e.toStdString();
    // 2 % of 226,00 = 4,52.
    EXPECT_EQ(skontoMoeglich(db, r, zDate(2016, 3, 25), &e), 4.52_eur);
    EXPECT_TRUE(skontoMoeglich(db, r, zDate(2016, 3, 26), &e).isNull());
    EXPECT_TRUE(e.contains(QStringLiteral("nach der Skontofrist"))) << e.toStdString();

    // More than the terms grant is refused, and nothing is booked.
    EXPECT_EQ(bucheRechnung(db, r, {1200, zDate(2016, 3, 20), QString(), 4.53_eur}, &e), 0u);
    EXPECT_TRUE(e.contains(QStringLiteral("übersteigt den Skonto von 4,52"))) << e.toStdString();
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 0);

    unsigned long skontoNr = 0;
    const unsigned long nr = bucheRechnung(db, r, {1200, zDate(2016, 3, 20), QString(), 4.52_eur}, &e, &skontoNr);
    ASSERT_NE(nr, 0u) << e.toStdString();
    ASSERT_NE(skontoNr, 0u);
    // The discount per key in proportion to the gross: 119/226 x 4,52 = 2,38 (2,00 + 0,38 tax),
    // the rest 2,14 at 7 % (2,00 + 0,14 tax). The bank receives 226,00 - 4,52 = 221,48.
    EXPECT_EQ(summe(1200), 221.48_eur);
    EXPECT_EQ(summe(1776), -18.62_eur);  // 19,00 - 0,38
    EXPECT_EQ(summe(1771), -6.86_eur);   // 7,00 - 0,14
    EXPECT_EQ(summe(8400), -100.00_eur);
    EXPECT_EQ(summe(8300), -100.00_eur);
    EXPECT_EQ(summe(8730), 4.00_eur);    // general discount account, keys 5 and 2
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Herkunft=56 AND Zusatzinfo=?"), {DatenTyp(r.nummer)}), 2);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=? AND Konto=8730"), {DatenTyp(skontoNr)}), 2);
    Beleg gelesen;
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, r.id, &gelesen));
    EXPECT_EQ(gelesen.bezahlt, zDate(2016, 3, 20));
    EXPECT_EQ(gelesen.anzahlung, 226.00_eur);  // settled in full: paid and discount

    // The invoice reopens only when both bookings are gone, whichever goes last.
    ASSERT_TRUE(KontoGlobal::deleteBuchung(nr, QStringLiteral("eurVerbucht")));
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, r.id, &gelesen));
    EXPECT_TRUE(gelesen.bezahlt.isValid());
    EXPECT_TRUE(buchungskandidaten(db).isEmpty());
    ASSERT_TRUE(KontoGlobal::deleteBuchung(skontoNr, QStringLiteral("eurVerbucht")));
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, r.id, &gelesen));
    EXPECT_FALSE(gelesen.bezahlt.isValid());
    EXPECT_EQ(gelesen.anzahlung, EuroType());
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM reRechnungen WHERE Skonto<>0")), 0);
}

TEST_F(Skonto_, NachKontenOderNachSchluesseln) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT OR REPLACE INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv) "
                                           "VALUES (8401, 'Erlöse 19 % Waren', 'Erl 19 W', 4000, 1)")));
    QString e;
    for (int nachKonten : {1, 0}) {
        rsOptionsGlobal::instance().setInt(QStringLiteral("Reb"), QStringLiteral("RebRechnungNachKontenBuchen"), nachKonten);
        // 100,00 on 8400 and 50,00 on 8401, both at 19 %: 119,00 + 59,50 = 178,50, 2 % = 3,57.
        Position zweite = pos(1, 50, 5);
        zweite.konto = 8401;
        Beleg r = rechnung({pos(1, 100, 5), zweite});
        ASSERT_TRUE(speichereBeleg(db, &r, &e)) << e.toStdString();
        unsigned long skontoNr = 0;
        ASSERT_NE(bucheRechnung(db, r, {1200, zDate(2016, 3, 20), QString(), 3.57_eur}, &e, &skontoNr), 0u) << e.toStdString();
        const QString zeilen = QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=? AND Konto=8730");
        // By account: 119/178,50 x 3,57 = 2,38 and the rest 1,19, one line each; by key one line of 3,57.
        EXPECT_EQ(zahl(zeilen, {DatenTyp(skontoNr)}), nachKonten ? 2 : 1);
        EXPECT_EQ(KontoGlobal::getBuchung(skontoNr).buchungsnummer, skontoNr);
    }
    rsOptionsGlobal::instance().setInt(QStringLiteral("Reb"), QStringLiteral("RebRechnungNachKontenBuchen"), 1);
    // Both ways the discount's tax is 0,57 of 3,57 (3,00 net) per invoice: 2 x (28,50 - 0,57).
    EXPECT_EQ(summe(1776), -55.86_eur);
    EXPECT_EQ(summe(8730), 6.00_eur);
    EXPECT_EQ(summe(1200), 349.86_eur);  // 2 x (178,50 - 3,57)
}

TEST_F(Skonto_, KeinSkontoAufKorrekturOderOhneBedingung) {
    QString e;
    Beleg k = rechnung({pos(-1, 100, 5)});
    k.rechnungsart = 1;
    ASSERT_TRUE(speichereBeleg(db, &k, &e));
    EXPECT_TRUE(skontoMoeglich(db, k, zDate(2016, 3, 16), &e).isNull());
    EXPECT_TRUE(e.contains(QStringLiteral("Rechnungskorrektur")));
    Beleg r = rechnung({pos(1, 100, 5)});
    ASSERT_TRUE(speichereBeleg(db, &r, &e));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE reZahlungsbedingungen SET Skonto1=0")));
    EXPECT_TRUE(skontoMoeglich(db, r, zDate(2016, 3, 16), &e).isNull());
    EXPECT_TRUE(e.contains(QStringLiteral("gewähren kein Skonto")));
    EXPECT_EQ(bucheRechnung(db, r, {1200, zDate(2016, 3, 16), QString(), 2.38_eur}, &e), 0u);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 0);
}

// --- the document chain and deleting --------------------------------------------

TEST_F(Faktura_, KetteVomAngebotZurRechnung) {
    QString e;
    Beleg an = rechnung({pos(2, 50, 5)});
    an.art = Belegart::Angebot;
    an.zeitraumVon = an.zeitraumBis = zDate();
    ASSERT_TRUE(speichereBeleg(db, &an, &e)) << e.toStdString();
    EXPECT_EQ(an.nummer, QStringLiteral("AN-2016-0001"));
    const unsigned long ab = belegUebernehmen(db, an, Belegart::Auftrag, zDate(2016, 3, 16), &e);
    ASSERT_NE(ab, 0u) << e.toStdString();
    Beleg auftrag;
    ASSERT_TRUE(leseBeleg(db, Belegart::Auftrag, ab, &auftrag));
    EXPECT_EQ(auftrag.angebotsID, an.id);
    EXPECT_FALSE(auftrag.zeitraumVon.isValid());  // an order has no date of supply of its own
    // The invoice without a period takes its date as the date of supply, or the period given.
    const unsigned long re = belegUebernehmen(db, auftrag, Belegart::Rechnung, zDate(2016, 3, 20), &e, zDate(2016, 3, 1), zDate(2016, 3, 18));
    ASSERT_NE(re, 0u) << e.toStdString();
    Beleg r;
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, re, &r));
    EXPECT_EQ(r.zeitraumVon, zDate(2016, 3, 1));
    EXPECT_EQ(r.zeitraumBis, zDate(2016, 3, 18));
    EXPECT_EQ(r.auftragsID, ab);
    EXPECT_EQ(berechneSummen(db, r).endsumme, 119.00_eur);  // 2 x 50,00 net + 19 %
    // A second take-over asks; "no" makes nothing.
    env.ui().setDefaultAnswer(false);
    EXPECT_EQ(belegUebernehmen(db, an, Belegart::Auftrag, zDate(2016, 3, 16), &e), 0u);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reAuftragsbestaetigungen")).toInt(), 1);
    EXPECT_EQ(belegUebernehmen(db, r, Belegart::Angebot, zDate(2016, 3, 16), &e), 0u);  // backwards
    // The printout of an offer asks for no payment; a delivery note shows no prices or tax.
    const QString angebot = rechnungHtml(db, an);
    EXPECT_TRUE(angebot.contains(QStringLiteral("<h2>Angebot AN-2016-0001</h2>")));
    EXPECT_FALSE(angebot.contains(QStringLiteral("Bitte überweisen")));
    EXPECT_TRUE(angebot.contains(QStringLiteral("Summe Brutto")));
    Beleg ls = auftrag;
    ls.art = Belegart::Lieferschein;
    const QString lieferschein = rechnungHtml(db, ls);
    EXPECT_FALSE(lieferschein.contains(QStringLiteral("Umsatzsteuer")));
    EXPECT_FALSE(lieferschein.contains(QStringLiteral("Einzelpreis")));
}

TEST_F(Faktura_, LoeschenOhneLueckeInDenRechnungsnummern) {
    QString e;
    Beleg an = rechnung({pos(1, 10, 5)});
    an.art = Belegart::Angebot;
    ASSERT_TRUE(speichereBeleg(db, &an, &e));
    Beleg a = rechnung({pos(1, 10, 5)}), b = rechnung({pos(1, 10, 5)});
    ASSERT_TRUE(speichereBeleg(db, &a, &e) && speichereBeleg(db, &b, &e));
    ASSERT_EQ(b.nummer, QStringLiteral("RE-2016-0002"));
    // Not the newest: deleting would leave a gap.
    EXPECT_FALSE(loescheBeleg(db, Belegart::Rechnung, a.id, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Lücke"))) << e.toStdString();
    // The newest only after it is confirmed that nobody has seen it.
    env.ui().setDefaultAnswer(false);
    EXPECT_FALSE(loescheBeleg(db, Belegart::Rechnung, b.id, &e));
    EXPECT_TRUE(leseBeleg(db, Belegart::Rechnung, b.id, nullptr));
    env.ui().setDefaultAnswer(true);
    ASSERT_TRUE(loescheBeleg(db, Belegart::Rechnung, b.id, &e)) << e.toStdString();
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM reRechnungenPositionen WHERE ID=") + QString::number(b.id)).toInt(), 0);
    Beleg c = rechnung({pos(1, 10, 5)});
    ASSERT_TRUE(speichereBeleg(db, &c, &e));
    EXPECT_EQ(c.nummer, QStringLiteral("RE-2016-0002"));  // issued again
    // Posted: refused, whatever the answer.
    ASSERT_NE(bucheRechnung(db, c, {1200, zDate(2016, 3, 20), QString()}, &e), 0u) << e.toStdString();
    EXPECT_FALSE(loescheBeleg(db, Belegart::Rechnung, c.id, &e));
    EXPECT_EQ(e, QStringLiteral("Die Rechnung RE-2016-0002 ist gebucht und kann nicht gelöscht werden. Heben Sie sie mit einer "
                                "Rechnungskorrektur auf (dalvo rechnung FALL neu --korrektur …)."));
    // An offer goes, unless a later document was made from it; its number is not issued again.
    ASSERT_NE(belegUebernehmen(db, an, Belegart::Rechnung, zDate(2016, 3, 21), &e), 0u) << e.toStdString();
    EXPECT_FALSE(loescheBeleg(db, Belegart::Angebot, an.id, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("die Rechnung RE-2016-0003"))) << e.toStdString();
    Beleg an2 = rechnung({pos(1, 10, 5)});
    an2.art = Belegart::Angebot;
    ASSERT_TRUE(speichereBeleg(db, &an2, &e));
    ASSERT_TRUE(loescheBeleg(db, Belegart::Angebot, an2.id, &e)) << e.toStdString();
    EXPECT_EQ(naechsteNummer(db, Nummernkreis::Angebot), 3u);
}
}  // namespace
