// Recurring bookings: which occurrences are due (month steps, the window
// around the turn of the year, posted and cancelled occurrences, templates
// saved from a booking), posting them all or nothing, the locked period,
// and the interaction's notes. "Today" is passed in, so the dates hold in
// any year the suite runs.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datehelper.h"
#include "kontbaum/buchungen/buchungen.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

namespace {

using KG = KontoGlobal;

class Regelbuchungen : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
    }
    // An expense template paid from the bank: `gegen` with `schluessel`.
    unsigned long vorlage(const QString& text, unsigned long gegen, unsigned long schluessel, double betrag, const zDate& beleg,
                          const zDate& zahlung = zDate(), int intervall = DateHelper::Monatlich) {
        KG::BuchungsEntwurf b;
        b.text = text;
        b.belegdatum = beleg;
        b.zahlungsdatum = zahlung;
        b.buchungsart = 2;
        b.haben = true;
        b.konto = 1200;
        b.teile.append({gegen, schluessel, EuroType::ausDouble(betrag), false, QString()});
        QString f;
        const unsigned long nr = Regelbuchung::vorlageAnlegen(b, intervall, &f);
        EXPECT_NE(nr, 0u) << f.toStdString();
        return nr;
    }
    QList<rsEurRegelBuch> faellig(const zDate& heute) {
        QList<rsEurRegelBuch> l;
        const int n = Regelbuchung::faellige(l, 0, heute);
        EXPECT_EQ(n, l.size());
        return l;
    }
    static QStringList daten(const QList<rsEurRegelBuch>& l) {
        QStringList d;
        for (const rsEurRegelBuch& r : l) d << r.belegdatum.getText() + QLatin1Char('/') + r.zahlungsdatum.getText();
        return d;
    }
    qlonglong zahl(const QString& sql) { return GetDatenTyp(db, sql).toLongLong(); }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};

// --- due dates ------------------------------------------------------------

TEST_F(Regelbuchungen, MonatlichDreiFaelligBisZwanzigsterMaerz) {
    const unsigned long nr = vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    const QList<rsEurRegelBuch> l = faellig(zDate(2016, 3, 20));
    EXPECT_EQ(daten(l), (QStringList{"15.01.2016/15.01.2016", "15.02.2016/15.02.2016", "15.03.2016/15.03.2016"}));
    ASSERT_EQ(l.size(), 3);
    const rsEurRegelBuch& r = l.first();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.vorlage, nr);
    EXPECT_EQ(r.buchungstext, QStringLiteral("Miete"));
    EXPECT_EQ(r.intervall, QStringLiteral("3"));
    // Debit lines first (the credit flag is stored as -1), then by group.
    EXPECT_EQ(r.konten, QStringLiteral("S 4210 Miete, H 1200 Bank"));
    EXPECT_DOUBLE_EQ(r.betrag.alsDouble(), 500.0);
    EXPECT_EQ(r.ausgewaehlt, 1);
    EXPECT_EQ(r.steuerjahr, 2016);
    EXPECT_TRUE(r.zeilenwerte.isEmpty());
    // The day before the third is due, only two.
    EXPECT_EQ(faellig(zDate(2016, 3, 14)).size(), 2);
}

TEST_F(Regelbuchungen, MonatsendeNachDemErstenDatum) {
    // 31.01. → 29.02. (leap year) → 31.03. → 30.04.
    vorlage(QStringLiteral("Leasing"), 4210, 0, 299.0, zDate(2016, 1, 31));
    EXPECT_EQ(daten(faellig(zDate(2016, 4, 30))),
              (QStringList{"31.01.2016/31.01.2016", "29.02.2016/29.02.2016", "31.03.2016/31.03.2016", "30.04.2016/30.04.2016"}));
}

TEST_F(Regelbuchungen, NachJanuarUndFebruarNurNochMaerz) {
    const unsigned long nr = vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    Regelbuchung::Ergebnis erg;
    QString f;
    ASSERT_TRUE(Regelbuchung::buchen(faellig(zDate(2016, 2, 20)), &erg, &f)) << f.toStdString();
    ASSERT_EQ(erg.nummern, (QList<unsigned long>{1, 2}));
    EXPECT_EQ(daten(faellig(zDate(2016, 3, 20))), QStringList{"15.03.2016/15.03.2016"});
    // The occurrence is a ledger booking linked to its template.
    rsDataSource k(db, QStringLiteral("SELECT * FROM eurVerbucht WHERE Buchungsnummer=2"));
    ASSERT_FALSE(k.isEOF());
    EXPECT_EQ(k.field(QStringLiteral("Zusatzinfo")).toString(), QStringLiteral("FromBsp:%1").arg(nr));
    EXPECT_EQ(k.field(QStringLiteral("Herkunft")).toInt(), int(KG::HERK_REGEL));
    EXPECT_EQ(k.field(QStringLiteral("Belegdatum")).toDate(), zDate(2016, 2, 15));
    EXPECT_EQ(k.field(QStringLiteral("Zahlungsdatum")).toDate(), zDate(2016, 2, 15));
    EXPECT_EQ(k.field(QStringLiteral("Buchungsdatum")).toDate(), zDate::today());
    EXPECT_EQ(k.field(QStringLiteral("Intervall")).toString(), QString());
    EXPECT_EQ(k.field(QStringLiteral("Buchungsart")).toInt(), 2);
}

TEST_F(Regelbuchungen, ZahlungImJanuarDesFolgejahresZaehltZumJahr) {
    // Document on the 28th, payment a week later: December's occurrence is
    // paid on 04.01.2017 and still belongs to 2016.
    vorlage(QStringLiteral("Wartung"), 4210, 0, 80.0, zDate(2016, 1, 28), zDate(2016, 2, 4));
    const QList<rsEurRegelBuch> l = faellig(zDate(2017, 1, 5));
    ASSERT_EQ(l.size(), 12);
    EXPECT_EQ(daten(l).first(), QStringLiteral("28.01.2016/04.02.2016"));
    EXPECT_EQ(daten(l).last(), QStringLiteral("28.12.2016/04.01.2017"));
    // Before its payment day it is not due yet.
    EXPECT_EQ(faellig(zDate(2017, 1, 3)).size(), 11);
}

TEST_F(Regelbuchungen, VorauszahlungImDezemberDesVorjahres) {
    // January's rent paid on 28.12.2015: its document lies in 2016.
    vorlage(QStringLiteral("Miete voraus"), 4210, 0, 500.0, zDate(2016, 1, 2), zDate(2015, 12, 28));
    EXPECT_EQ(daten(faellig(zDate(2016, 2, 10))), (QStringList{"02.01.2016/28.12.2015", "02.02.2016/28.01.2016"}));
}

TEST_F(Regelbuchungen, GleicheDatenEndenAmJahresende) {
    // The same template with equal dates: 28.12. is the last one, nothing
    // of January 2017 comes into 2016.
    vorlage(QStringLiteral("Wartung"), 4210, 0, 80.0, zDate(2016, 1, 28));
    const QList<rsEurRegelBuch> l = faellig(zDate(2017, 3, 1));
    ASSERT_EQ(l.size(), 12);
    EXPECT_EQ(daten(l).last(), QStringLiteral("28.12.2016/28.12.2016"));
}

TEST_F(Regelbuchungen, VorlageAusDemVorjahrLaeuftWeiter) {
    // Begun on 15.06.2015 with equal dates: the months of 2015 are passed
    // over, January to March 2016 are due.
    vorlage(QStringLiteral("Versicherung"), 4210, 0, 40.0, zDate(2015, 6, 15));
    EXPECT_EQ(daten(faellig(zDate(2016, 3, 20))),
              (QStringList{"15.01.2016/15.01.2016", "15.02.2016/15.02.2016", "15.03.2016/15.03.2016"}));
}

TEST_F(Regelbuchungen, NichtsFaellig) {
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 3, 21));
    // First payment after today.
    EXPECT_TRUE(faellig(zDate(2016, 3, 20)).isEmpty());
    // The tax year after the year of today.
    EXPECT_TRUE(faellig(zDate(2015, 12, 31)).isEmpty());
    // Another year than the case's.
    QList<rsEurRegelBuch> l;
    EXPECT_EQ(Regelbuchung::faellige(l, 2015, zDate(2016, 12, 31)), 0);
    EXPECT_EQ(Regelbuchung::faellige(l, 2016, zDate(2016, 12, 31)), 10);
    // A closed year offers nothing.
    kg->setJahresabschluss(1);
    EXPECT_TRUE(faellig(zDate(2016, 12, 31)).isEmpty());
    // A template without interval is no recurring booking.
    kg->setJahresabschluss(0);
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurBeispiel SET Intervall=''")));
    EXPECT_TRUE(faellig(zDate(2016, 12, 31)).isEmpty());
}

TEST_F(Regelbuchungen, StorniertIstWiederFaellig) {
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    Regelbuchung::Ergebnis erg;
    QString f;
    ASSERT_TRUE(Regelbuchung::buchen(faellig(zDate(2016, 1, 20)), &erg, &f)) << f.toStdString();
    EXPECT_TRUE(faellig(zDate(2016, 1, 20)).isEmpty());
    ASSERT_EQ(KG::storniereBuchung(erg.nummern.first()), 2u);
    // Neither the cancelled booking nor its cancellation counts.
    EXPECT_EQ(daten(faellig(zDate(2016, 1, 20))), QStringList{"15.01.2016/15.01.2016"});
}

TEST_F(Regelbuchungen, VorlageAusBuchungZaehltAlsErsteAusfuehrung) {
    const unsigned long buchung = testfall::buche(db, 2, 1200, 4930, 7, 119.0, zDate(2016, 1, 15));
    QString f;
    const unsigned long nr = Regelbuchung::vorlageAusBuchung(buchung, DateHelper::Monatlich, &f);
    ASSERT_NE(nr, 0u) << f.toStdString();
    rsDataSource v(db, QStringLiteral("SELECT * FROM eurBeispiel WHERE Buchungsnummer=") + QString::number(nr));
    EXPECT_EQ(v.field(QStringLiteral("Zusatzinfo")).toString(), QStringLiteral("FromBuchung:%1").arg(buchung));
    EXPECT_EQ(v.field(QStringLiteral("Intervall")).toString(), QStringLiteral("3"));
    // Base, tax and money line, as in the booking.
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurBeispielBuchungszeilen WHERE Buchungsnummer=%1").arg(nr)), 3);
    const QList<rsEurRegelBuch> l = faellig(zDate(2016, 3, 20));
    EXPECT_EQ(daten(l), (QStringList{"15.02.2016/15.02.2016", "15.03.2016/15.03.2016"}));
    ASSERT_FALSE(l.isEmpty());
    EXPECT_EQ(l.first().konten, QStringLiteral("S 4930 Bürobedarf, H 1200 Bank"));

    // Cancelled or unknown bookings make no template.
    ASSERT_NE(KG::storniereBuchung(buchung), 0u);
    EXPECT_EQ(Regelbuchung::vorlageAusBuchung(buchung, DateHelper::Monatlich, &f), 0u);
    EXPECT_TRUE(f.contains(QStringLiteral("storniert")));
    EXPECT_EQ(Regelbuchung::vorlageAusBuchung(999, DateHelper::Monatlich, &f), 0u);
    EXPECT_TRUE(f.contains(QStringLiteral("999")));
}

TEST_F(Regelbuchungen, Intervallnamen) {
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("monatlich")), 3);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral(" Monatlich ")), 3);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("3")), 3);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("vierteljaehrlich")), 5);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("vierteljährlich")), 5);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("14-tägig")), 2);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("täglich")), 0);
    EXPECT_EQ(Regelbuchung::intervallCode(QStringLiteral("99")), 0);
    EXPECT_EQ(Regelbuchung::intervallName(QStringLiteral("7")), QStringLiteral("jährlich"));
    EXPECT_EQ(Regelbuchung::intervallName(QStringLiteral("alle Jubeljahre")), QStringLiteral("alle Jubeljahre"));
}

// --- posting ----------------------------------------------------------------

TEST_F(Regelbuchungen, BuchtMitSteuerzeilenUndAusgeglichen) {
    // 119,00 office supplies at 19 %: 100,00 on 4930, 19,00 input tax on 1576, 119,00 from the bank.
    vorlage(QStringLiteral("Software-Abo"), 4930, 7, 119.0, zDate(2016, 1, 10));
    Regelbuchung::Ergebnis erg;
    QString f;
    ASSERT_TRUE(Regelbuchung::buchen(faellig(zDate(2016, 2, 10)), &erg, &f)) << f.toStdString();
    ASSERT_EQ(erg.nummern.size(), 2);
    EXPECT_EQ(erg.meldung, QStringLiteral("Es wurden 2 Buchungen in der Buchungsliste erzeugt."));
    auto summe = [&](unsigned long konto, bool haben) {
        return GetDatenTyp(db, QStringLiteral("SELECT ROUND(SUM(Betrag),2) FROM eurVerbuchtBuchungszeilen WHERE Konto=%1 AND Haben%2")
                                   .arg(konto)
                                   .arg(haben ? QStringLiteral("<>0") : QStringLiteral("=0")))
            .toDouble();
    };
    EXPECT_DOUBLE_EQ(summe(4930, false), 200.00);
    EXPECT_DOUBLE_EQ(summe(1576, false), 38.00);
    EXPECT_DOUBLE_EQ(summe(1200, true), 238.00);
    EXPECT_TRUE(KG::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true).isEmpty());
}

TEST_F(Regelbuchungen, EinFehlerBuchtNichts) {
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    vorlage(QStringLiteral("Papier"), 4930, 7, 59.5, zDate(2016, 1, 20));
    const QList<rsEurRegelBuch> l = faellig(zDate(2016, 1, 31));
    ASSERT_EQ(l.size(), 2);
    // The second template's account was deactivated meanwhile.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=0 WHERE Nummer=4930")));
    Regelbuchung::Ergebnis erg;
    QString f;
    EXPECT_FALSE(Regelbuchung::buchen(l, &erg, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("„Papier“ vom 20.01.2016 (Vorlage 2)"))) << f.toStdString();
    EXPECT_TRUE(f.endsWith(QStringLiteral("Es wurde nichts gebucht."))) << f.toStdString();
    EXPECT_TRUE(erg.nummern.isEmpty());
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 0);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbuchtBuchungszeilen")), 0);
}

TEST_F(Regelbuchungen, NieZweimal) {
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    const QList<rsEurRegelBuch> l = faellig(zDate(2016, 2, 20));
    Regelbuchung::Ergebnis erg;
    QString f;
    ASSERT_TRUE(Regelbuchung::buchen(l, &erg, &f)) << f.toStdString();
    // The same, older list again: refused, nothing more posted.
    EXPECT_FALSE(Regelbuchung::buchen(l, &erg, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("nicht fällig oder schon gebucht"))) << f.toStdString();
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 2);
    // One occurrence chosen twice.
    const QList<rsEurRegelBuch> m = faellig(zDate(2016, 3, 20));
    ASSERT_EQ(m.size(), 1);
    EXPECT_FALSE(Regelbuchung::buchen({m.first(), m.first()}, &erg, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("doppelt"))) << f.toStdString();
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 2);
}

TEST_F(Regelbuchungen, FestgeschriebenerZeitraumFragtVorher) {
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 1, 15));
    ASSERT_TRUE(KG::setFestgeschriebenBis(zDate(2016, 2, 29)));
    const QList<rsEurRegelBuch> l = faellig(zDate(2016, 3, 20));
    ASSERT_EQ(l.size(), 3);
    Regelbuchung::Ergebnis erg;
    QString f;
    env.ui().queueAnswer(false);
    EXPECT_FALSE(Regelbuchung::buchen(l, &erg, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("2 der ausgewählten Buchungen liegen im festgeschriebenen Zeitraum (bis zum 29.02.2016)")))
        << f.toStdString();
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 0);
    ASSERT_EQ(env.ui().messages().size(), 1);
    EXPECT_EQ(env.ui().messages().first().titel, QStringLiteral("Ausgewählte Buchungen erzeugen?"));
    EXPECT_EQ(env.ui().messages().first().text,
              QStringLiteral("<p>Alle Buchungen bis zum 29.02.2016 sind bereits festgeschrieben.</p>"
                             "<p>2  der ausgewählten Buchungen werden daher ebenfalls festgeschrieben.</p>"
                             "<p>Wollen Sie trotzdem die ausgewählten Buchungen erzeugen?</p>"));
    env.ui().clear();
    // One of them, agreed to.
    env.ui().queueAnswer(true);
    ASSERT_TRUE(Regelbuchung::buchen(l.mid(0, 1), &erg, &f)) << f.toStdString();
    EXPECT_TRUE(env.ui().texts(ScriptedUi::Art::Frage).first().contains(QStringLiteral("<p>Eine der ausgewählten Buchungen wird daher")));
    EXPECT_EQ(erg.festgeschrieben, 1);
    EXPECT_TRUE(erg.meldung.startsWith(QStringLiteral("Es wurde eine Buchung in der Buchungsliste erzeugt.")));
    EXPECT_TRUE(erg.meldung.contains(QStringLiteral("Eine der erzeugten Buchungen ist deshalb festgeschrieben.")));
    // After the lock date nothing is asked.
    env.ui().clear();
    ASSERT_TRUE(Regelbuchung::buchen(faellig(zDate(2016, 3, 20)).mid(1), &erg, &f)) << f.toStdString();
    EXPECT_EQ(env.ui().count(ScriptedUi::Art::Frage), 0);
    EXPECT_EQ(erg.festgeschrieben, 0);
}

// --- the interaction -----------------------------------------------------------

TEST_F(Regelbuchungen, NichtsFaelligMeldetNurAufWunsch) {
    EXPECT_EQ(KG::regelmaessigBuchen(2, 0), 0);
    EXPECT_TRUE(env.ui().messages().isEmpty());
    EXPECT_EQ(KG::regelmaessigBuchen(2, 1), 0);
    ASSERT_EQ(env.ui().count(ScriptedUi::Art::Hinweis), 1);
    EXPECT_EQ(env.ui().texts(ScriptedUi::Art::Hinweis).first(),
              QStringLiteral("Zurzeit&nbsp;liegen&nbsp;keine&nbsp;regelmäßigen&nbsp;Buchungen&nbsp;vor, die bis zum heutigen Datum (") +
                  zDate::today().getText() +
                  QStringLiteral(") fällig sind.<br>$HINWEIS(Regelmäßige Buchungen bearbeiten Sie im Bereich \"laufende Buchungen\" unter "
                                 "\"Buchungsvorlagen\".)"));
    env.ui().clear();
    EXPECT_EQ(KG::regelmaessigBuchen(0, 1), 0);
    EXPECT_TRUE(env.ui().texts(ScriptedUi::Art::Hinweis).first().startsWith(
        QStringLiteral("Zurzeit&nbsp;liegen&nbsp;weder&nbsp;Erinnerungen,&nbsp;noch&nbsp;regelmäßigen&nbsp;Buchungen&nbsp;vor")));
}

TEST_F(Regelbuchungen, AuswahlBuchtUndMeldet) {
    // 2016 lies before today: October to December are all due.
    vorlage(QStringLiteral("Miete"), 4210, 0, 500.0, zDate(2016, 10, 1));
    QList<rsEurRegelBuch> l;
    ASSERT_EQ(KG::fillRegelmaessigeBuchungen(l, 0), 3);
    env.ui().queueAnswer(true);
    EXPECT_EQ(KG::regelmaessigBuchen(2, 1), 3);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Herkunft=100")), 3);
    EXPECT_EQ(env.ui().texts(ScriptedUi::Art::Hinweis).last(), QStringLiteral("Es wurden 3 Buchungen in der Buchungsliste erzeugt."));
    // The same list once more fails as a whole: told, nothing posted.
    EXPECT_EQ(KG::doRegelmaessigeBuchungen(l), 0);
    ASSERT_EQ(env.ui().count(ScriptedUi::Art::Fehler), 1);
    EXPECT_TRUE(env.ui().texts(ScriptedUi::Art::Fehler).first().contains(QStringLiteral("schon gebucht")));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), 3);
}

}  // namespace
