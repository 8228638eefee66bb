// The cash book: opening row and running balance, the closed-register rule
// in every way a booking changes, closings with their balancing bookings.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/kasse/kasse.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using KG = KontoGlobal;

class Kassenbuchung : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT OR REPLACE INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv) VALUES "
                                               "(1010, 'Nebenkasse', 'Nebenkasse', 201, 1), (9000, 'Saldenvorträge', 'SV', 8001, 1),"
                                               "(4900, 'Sonstige Aufwendungen', 'Sonst. Aufw.', 5700, 1),"
                                               "(2700, 'Sonstige Erträge', 'Sonst. Ertr.', 4001, 1)")));
        kg->setKassenkonto(1000);
    }
    // Cash in (income on 8400 at 19 %) and out (office supplies at 19 %).
    unsigned long ein(double betrag, const zDate& d, unsigned long kasse = 1000) {
        return testfall::buche(db, 1, kasse, 8400, 5, betrag, d);
    }
    unsigned long aus(double betrag, const zDate& d, unsigned long kasse = 1000) {
        return testfall::buche(db, 2, kasse, 4930, 7, betrag, d);
    }
    unsigned long eroeffnung(double betrag, const zDate& d) {
        // Opening balance: the carry-forward account in credit, the cash in debit.
        return testfall::buche(db, 6, 9000, 1000, 0, betrag, d);
    }
    QString buchen(unsigned long kasse, const zDate& d, double betrag, int teile = 1) {
        KG::BuchungsEntwurf b;
        b.text = QStringLiteral("Bar");
        b.belegdatum = d;
        b.buchungsart = 2;
        b.haben = true;
        b.konto = kasse;
        for (int i = 0; i < teile; ++i) b.teile.append({4930, 7, EuroType::ausDouble(betrag), false, QString()});
        QString f;
        return KG::insertSplittBuchung(b, db, &f) != 0 ? QString() : f;
    }
    bool schliessen(unsigned long konto, const zDate& d, double gezaehlt, unsigned long gegen = 0, Kasse::AbschlussErgebnis* erg = nullptr,
                    QString* fehler = nullptr) {
        KassenabschlussDaten daten;
        QString f = Kasse::abschlussBeginnen(konto, &daten);
        if (f.isEmpty()) {
            daten.datum = d;
            f = Kasse::abschlussDatumPruefen(daten);
        }
        if (!f.isEmpty()) {
            if (fehler) *fehler = f;
            return false;
        }
        Kasse::abschlussSaldoErmitteln(&daten);
        daten.gezaehlt = EuroType::ausDouble(gezaehlt);
        Kasse::AbschlussErgebnis e;
        const bool ok = Kasse::abschlussDurchfuehren(daten, gegen, erg ? erg : &e, &f);
        if (fehler) *fehler = f;
        return ok;
    }
    qlonglong zahl(const QString& sql) { return GetDatenTyp(db, sql).toLongLong(); }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};

TEST_F(Kassenbuchung, OpeningRowRunningBalanceAndPeriodBounds) {
    eroeffnung(500.0, zDate(2016, 1, 1));
    ein(119.0, zDate(2016, 1, 15));
    aus(23.80, zDate(2016, 1, 31));
    const unsigned long feb1 = ein(50.0, zDate(2016, 2, 1));
    // A transfer from the opening-balance account inside February counts in
    // the opening balance, not as a row.
    testfall::buche(db, 3, 1000, 9000, 0, 100.0, zDate(2016, 2, 10));
    aus(10.0, zDate(2016, 2, 29));
    ein(20.0, zDate(2016, 3, 1));

    Kassenbuch feb(1000, zDate(2016, 2, 1), zDate(2016, 2, 29));
    ASSERT_TRUE(feb.Fuellen());
    const QList<KBBuchung>& z = feb.zeilen();
    ASSERT_EQ(z.size(), 3);
    // 500 + 119 - 23,80 + 100 (opening-balance account in the period)
    EXPECT_EQ(z[0].buchungstext, QStringLiteral("Anfangsbestand"));
    EXPECT_EQ(z[0].datum, zDate(2016, 2, 1));
    EXPECT_EQ(z[0].einnahme, 695.20_eur);
    EXPECT_EQ(z[0].bestand, 695.20_eur);
    EXPECT_TRUE(z[0].gegenkonto.isEmpty());
    // The first day of the period is a row, not opening balance.
    EXPECT_EQ(z[1].buchungsnummer, feb1);
    EXPECT_EQ(z[1].einnahme, 50.0_eur);
    EXPECT_EQ(z[1].bestand, 745.20_eur);
    EXPECT_EQ(z[1].gegenkonto, QStringLiteral("8400"));
    EXPECT_DOUBLE_EQ(z[1].steuersatz, 19.0);
    // The last day of the period is a row; March is left out.
    EXPECT_EQ(z[2].datum, zDate(2016, 2, 29));
    EXPECT_EQ(z[2].ausgabe, 10.0_eur);
    EXPECT_EQ(z[2].bestand, 735.20_eur);

    // A period without bookings is the opening row alone.
    Kassenbuch april(1000, zDate(2016, 4, 1), zDate(2016, 4, 30));
    ASSERT_TRUE(april.Fuellen());
    ASSERT_EQ(april.zeilen().size(), 1);
    EXPECT_EQ(april.zeilen()[0].bestand, 755.20_eur);

    // The manager's report period (kind 1, month index 1) gives February.
    kg->setFormularParameter(1, -1, 1);
    EXPECT_EQ(kg->getKBBuchungen().last().bestand, 735.20_eur);

    // A split counter side has no single counter account.
    ASSERT_TRUE(buchen(1000, zDate(2016, 4, 2), 5.0, 2).isEmpty());
    ASSERT_TRUE(april.Fuellen());
    ASSERT_EQ(april.zeilen().size(), 2);
    EXPECT_EQ(april.zeilen()[1].gegenkonto, QStringLiteral("diverse"));
    EXPECT_EQ(april.zeilen()[1].ausgabe, 10.0_eur);
    const QString druck = april.druckText(QStringLiteral("Muster"));
    EXPECT_TRUE(druck.contains(QStringLiteral("Saldo Vormonate")));
    EXPECT_TRUE(druck.contains(QStringLiteral("Endsaldo")));
    EXPECT_TRUE(druck.contains(QStringLiteral("745,20")));
}

TEST_F(Kassenbuchung, RowsByDateThenNumberAndTheLinesOfABookingInAccountOrder) {
    const unsigned long spaet = ein(10.0, zDate(2016, 5, 20));
    const unsigned long frueh = aus(20.0, zDate(2016, 5, 3));
    const unsigned long gleich = ein(30.0, zDate(2016, 5, 20));
    // A second cash line of `frueh`, on the receipts side: it comes after
    // the payment (side, then amount, as the account index orders them).
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, Betrag, Haben, Konto, Steuerschluessel, "
                                           "Gegenkonto, Buchungstext) VALUES (%1, 1, 0, 1000, 0, 4930, 'Rückgabe')")
                                .arg(frueh)));
    Kassenbuch mai(1000, zDate(2016, 5, 1), zDate(2016, 5, 31));
    ASSERT_TRUE(mai.Fuellen());
    const QList<KBBuchung>& z = mai.zeilen();
    ASSERT_EQ(z.size(), 5);
    EXPECT_EQ(z[1].buchungsnummer, frueh);
    EXPECT_EQ(z[1].ausgabe, 20.0_eur);
    EXPECT_EQ(z[2].buchungsnummer, frueh);
    EXPECT_EQ(z[2].buchungstext, QStringLiteral("Rückgabe"));
    EXPECT_EQ(z[3].buchungsnummer, spaet);
    EXPECT_EQ(z[4].buchungsnummer, gleich);
    EXPECT_EQ(z[4].bestand, 21.0_eur);
    EXPECT_EQ(mai.endbestand(), 21.0_eur);
}

TEST_F(Kassenbuchung, WrittenAsReadLikeTheBookHeldWhole) {
    eroeffnung(500.0, zDate(2016, 1, 1));
    ein(119.0, zDate(2016, 1, 15));
    ein(11.0, zDate(2016, 1, 15));
    const unsigned long quittung = aus(23.80, zDate(2016, 1, 31));
    // A bare carriage return in a text (pasted from another program) is a
    // line break to a spreadsheet: RFC 4180 wants the field quoted.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET Buchungstext='Papier\rQuittung' WHERE Buchungsnummer=") +
                                rsDataSource::toSqlStr(quittung)));
    Kassenbuch gehalten(1000, zDate(2016, 1, 2), zDate(2016, 1, 31));
    ASSERT_TRUE(gehalten.Fuellen());
    Kassenbuch kb(1000, zDate(2016, 1, 2), zDate(2016, 1, 31));
    ASSERT_TRUE(kb.vorbereiten());
    auto form = [&](Kassenbuch::Form f) {
        QByteArray t;
        QString fehler;
        EXPECT_TRUE(kb.schreiben(f, QStringLiteral("Muster"), [&t](const QByteArray& b) { return t += b, true; }, &fehler)) << fehler.toStdString();
        return t;
    };
    const QByteArray csv = form(Kassenbuch::Form::Csv);
    EXPECT_TRUE(csv.contains(";\"Papier\rQuittung\";")) << csv.constData();
    EXPECT_EQ(csv.count('\n'), 1 + gehalten.zeilen().size());
    EXPECT_EQ(QString::fromUtf8(form(Kassenbuch::Form::Seite)), gehalten.druckText(QStringLiteral("Muster")));
    const QJsonObject j = QJsonDocument::fromJson(form(Kassenbuch::Form::Json)).object();
    EXPECT_EQ(j.value(QStringLiteral("anfangsbestand")).toDouble(), 500.0);
    EXPECT_EQ(j.value(QStringLiteral("endbestand")).toDouble(), gehalten.zeilen().last().bestand.alsDouble());
    EXPECT_EQ(j.value(QStringLiteral("zeilen")).toArray().size(), gehalten.zeilen().size() - 1);
}

TEST_F(Kassenbuchung, ClosedRegisterRefusesEveryChangeOnOrBeforeItsDate) {
    EXPECT_FALSE(KG::getKasseAbgeschlossenBis(1000).isValid());
    EXPECT_FALSE(KG::isKasseAbgeschlossen(1000, zDate(2016, 1, 1)));
    eroeffnung(100.0, zDate(2016, 1, 1));
    const unsigned long vorher = aus(10.0, zDate(2016, 1, 20));
    const unsigned long nebenkasse = ein(30.0, zDate(2016, 1, 20), 1010);
    ASSERT_TRUE(schliessen(1000, zDate(2016, 1, 31), 90.0));
    EXPECT_EQ(KG::getKasseAbgeschlossenBis(1000), zDate(2016, 1, 31));
    EXPECT_TRUE(KG::isKasseAbgeschlossen(1000, zDate(2016, 1, 31)));
    EXPECT_FALSE(KG::isKasseAbgeschlossen(1000, zDate(2016, 2, 1)));

    const qlonglong buchungen = zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht"));
    const QString meldung = buchen(1000, zDate(2016, 1, 31), 5.0);
    EXPECT_EQ(meldung, QStringLiteral("Die Kasse 1000 ist bis zum 31.01.2016 abgeschlossen.\nEs kann keine Buchung hinzugefügt, gelöscht "
                                      "oder geändert werden deren Datum vor diesem Zeitpunkt liegt."));
    EXPECT_EQ(buchen(1000, zDate(2016, 1, 31), 5.0, 2),
              QStringLiteral("Es gibt Splittbuchungen auf eine Kasse, die bereits abgeschlossen ist.\nBitte prüfen Sie die Splittbuchungen."));
    // Cash as the counter side is just as closed.
    KG::BuchungsEntwurf umbuchung;
    umbuchung.belegdatum = zDate(2016, 1, 5);
    umbuchung.konto = 1200;
    umbuchung.haben = true;
    umbuchung.teile.append({1000, 0, 5.0_eur, false, QString()});
    QString grund;
    EXPECT_EQ(KG::insertSplittBuchung(umbuchung, db, &grund), 0u);
    EXPECT_EQ(grund, meldung);
    EXPECT_TRUE(buchen(1000, zDate(2016, 2, 1), 5.0).isEmpty());
    // Cancel and delete of a closed booking are refused; the other register
    // is not closed by this one's closing.
    EXPECT_EQ(KG::storniereBuchung(vorher), 0u);
    EXPECT_FALSE(KG::deleteBuchung(vorher, QStringLiteral("eurVerbucht")));
    EXPECT_FALSE(KG::deleteBuchungen(QString::number(vorher), QStringLiteral("eurVerbucht")));
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), buchungen + 1);
    EXPECT_EQ(zahl(QStringLiteral("SELECT Storniert FROM eurVerbucht WHERE Buchungsnummer=%1").arg(vorher)), 0);
    EXPECT_TRUE(buchen(1010, zDate(2016, 1, 20), 5.0).isEmpty());
    env.ui().queueAnswer(true);  // the other register then holds -5,00
    EXPECT_NE(KG::storniereBuchung(nebenkasse), 0u);
    // The batch and template families are no ledger and are never closed.
    EXPECT_EQ(KG::pruefeKasseAbgeschlossen({1200, 8400}, zDate(2016, 1, 5)), QString());
}

TEST_F(Kassenbuchung, ClosingsCountPerRegisterAndBalanceTheDifference) {
    eroeffnung(500.0, zDate(2016, 1, 1));
    ein(119.0, zDate(2016, 1, 4));
    aus(73.80, zDate(2016, 1, 20));  // 545,20 by the bookings

    // Counted equals booked: no balancing booking.
    Kasse::AbschlussErgebnis e;
    ASSERT_TRUE(schliessen(1000, zDate(2016, 1, 10), 619.0, 0, &e));
    EXPECT_EQ(e.ausgleichsbuchung, 0u);
    EXPECT_EQ(e.abschlussID, 1u);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurKassenabschluss WHERE Saldo=GezaehlterSaldo AND Saldo=619")), 1);

    // The same day again, and a day before, are refused on the date page.
    QString f;
    EXPECT_FALSE(schliessen(1000, zDate(2016, 1, 10), 619.0, 0, nullptr, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("bereits bis zum 10.01.2016"))) << f.toStdString();
    EXPECT_FALSE(schliessen(1000, zDate(2016, 1, 9), 619.0, 0, nullptr, &f));
    EXPECT_FALSE(schliessen(1000, zDate(2015, 12, 31), 619.0, 0, nullptr, &f));
    EXPECT_FALSE(schliessen(1200, zDate(2016, 1, 31), 0.0, 0, nullptr, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("kein Kassenkonto"))) << f.toStdString();

    // A shortfall of 5,20: cash credited, the expense account debited, "Fehlbetrag".
    KassenabschlussDaten d;
    ASSERT_TRUE(Kasse::abschlussBeginnen(1000, &d).isEmpty());
    EXPECT_TRUE(d.letzterText.contains(QStringLiteral("am 10.01.2016 stattgefunden")));
    d.datum = zDate(2016, 1, 31);
    Kasse::abschlussSaldoErmitteln(&d);
    EXPECT_EQ(d.saldoBuchungen, 545.20_eur);
    d.gezaehlt = 540.0_eur;
    EXPECT_TRUE(Kasse::abschlussZusammenfassung(d).contains(QStringLiteral("Aussgleichsbuchung")));
    // No special account and no account of the fallback category: the
    // counter account must be chosen, and an income account will not do.
    EXPECT_EQ(Kasse::ausgleichsGegenkonto(d, 0, &f), 0u);
    EXPECT_EQ(Kasse::ausgleichsGegenkonto(d, 2700, &f), 0u);
    EXPECT_EQ(Kasse::ausgleichsGegenkonto(d, 4900, &f), 4900u);
    ASSERT_TRUE(Kasse::abschlussDurchfuehren(d, 4900, &e, &f)) << f.toStdString();
    EXPECT_EQ(e.abschlussID, 2u);
    EXPECT_EQ(e.saldo, 540.0_eur);
    rsDataSource rs(db, QStringLiteral("SELECT b.Buchungstext, b.Herkunft, z.Konto, z.Haben, z.Betrag FROM eurVerbucht b JOIN "
                                       "eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer WHERE b.Buchungsnummer=%1 ORDER BY z.ID")
                            .arg(e.ausgleichsbuchung));
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.field(QStringLiteral("Buchungstext")).toString(), QStringLiteral("Fehlbetrag"));
    EXPECT_EQ(rs.field(QStringLiteral("Herkunft")).toInt(), 110);
    EXPECT_EQ(rs.field(QStringLiteral("Konto")).toULong(), 1000u);
    EXPECT_TRUE(rs.field(QStringLiteral("Haben")).toBool());
    EXPECT_DOUBLE_EQ(rs.field(QStringLiteral("Betrag")).toDouble(), 5.20);
    rs.fetch();
    EXPECT_EQ(rs.field(QStringLiteral("Konto")).toULong(), 4900u);
    EXPECT_FALSE(rs.field(QStringLiteral("Haben")).toBool());

    // The first closing of another register is number 1, and a surplus is
    // called so: cash debited, income credited.
    ein(10.0, zDate(2016, 1, 5), 1010);
    ASSERT_TRUE(schliessen(1010, zDate(2016, 1, 31), 12.50, 2700, &e, &f)) << f.toStdString();
    EXPECT_EQ(e.abschlussID, 1u);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Buchungstext FROM eurVerbucht WHERE Buchungsnummer=%1").arg(e.ausgleichsbuchung)).toString(),
              QStringLiteral("Überschuss"));
    EXPECT_EQ(KG::getSummeKonto(1010, 0, zDate(), zDate()), 12.50_eur);
    EXPECT_EQ(KG::getSummeKonto(2700, 0, zDate(), zDate()), -2.50_eur);
}

TEST_F(Kassenbuchung, ClosingRowAndBalancingBookingStandOrFallTogether) {
    eroeffnung(100.0, zDate(2016, 1, 1));
    const qlonglong buchungen = zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht"));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("CREATE TRIGGER kaputt BEFORE INSERT ON eurKassenabschluss BEGIN SELECT RAISE(ABORT, 'voll'); END")));
    QString f;
    EXPECT_FALSE(schliessen(1000, zDate(2016, 1, 31), 90.0, 4900, nullptr, &f));
    EXPECT_TRUE(f.startsWith(QStringLiteral("Fehler beim Kassenabschluss. Der Abschluss wurde nicht durchgeführt."))) << f.toStdString();
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")), buchungen);
    EXPECT_EQ(zahl(QStringLiteral("SELECT COUNT(*) FROM eurKassenabschluss")), 0);
    EXPECT_FALSE(KG::getKasseAbgeschlossenBis(1000).isValid());

    // After a year-end closing no register can be closed.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("DROP TRIGGER kaputt")));
    kg->setJahresabschluss(1);
    EXPECT_FALSE(schliessen(1000, zDate(2016, 1, 31), 100.0, 0, nullptr, &f));
    EXPECT_TRUE(f.contains(QStringLiteral("Jahresabschluss"))) << f.toStdString();
}

}  // namespace
