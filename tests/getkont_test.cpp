// The start page's parser function on a ledger small enough to check by
// hand, and the due occurrences of recurring templates behind it.
//
// The ledger of every test:
//   income  1.190,00 gross to the bank 1200 on 8400, key 5 (15.03.2016)
//   expense   595,00 gross from the bank on 4930, key 7   (20.03.2016)
//   expense 1.500,00 cash 1000 on rent 4210, no key        (01.04.2016)
// Balances (debit positive): 1000 -1.500,00; 1200 595,00; 8400 -1.000,00;
// 4210 1.500,00; 4930 500,00. Income 1.000 + 190 VAT = 1.190,00; expenses
// 500 + 95 input tax + 1.500 = 2.095,00; loss -905,00.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/konten/startseite.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

namespace {

class Getkont : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
        testfall::buche(db, 1, 1200, 8400, 5, 1190.00, zDate(2016, 3, 15));
        testfall::buche(db, 2, 1200, 4930, 7, 595.00, zDate(2016, 3, 20));
        testfall::buche(db, 2, 1000, 4210, 0, 1500.00, zDate(2016, 4, 1));
        kg->setKassenkonto(1000);
    }
    // The answer and its status; `fehler` receives the refusal.
    QString frage(const QString& argumente, bool formatiert = false, int* status = nullptr, QString* fehler = nullptr) {
        QString e;
        int s = -1;
        kg->kontParser(argumente, formatiert, e, s, fehler);
        if (status) *status = s;
        return e;
    }
    int status(const QString& argumente, bool formatiert = false) {
        int s = -1;
        frage(argumente, formatiert, &s);
        return s;
    }

    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};

TEST_F(Getkont, PlainValuesAndTheirStatus) {
    int s = 0;
    EXPECT_EQ(frage(QStringLiteral("STEUERJAHR"), false, &s), QStringLiteral("2016"));
    EXPECT_EQ(s, 1);
    EXPECT_EQ(frage(QStringLiteral("USTPFLICHT")), QStringLiteral("1"));
    EXPECT_EQ(frage(QStringLiteral("KONTENPLAN"), false, &s), QStringLiteral("SKR03"));
    EXPECT_EQ(s, 2) << "the chart's name is no plain value";
    EXPECT_EQ(frage(QStringLiteral("KASSENKONTO")), QStringLiteral("1000"));
    EXPECT_EQ(frage(QStringLiteral("KASSENKONTO"), true, &s), QStringLiteral("1000 Kasse"));
    EXPECT_EQ(s, 2) << "every keyword in formatted mode";
    kg->setKassenkonto(0);
    EXPECT_EQ(frage(QStringLiteral("KASSENKONTO"), true), QStringLiteral("nicht gesetzt"));
    EXPECT_EQ(frage(QStringLiteral("JAHRESABSCHLUSS")), QStringLiteral("0"));
    EXPECT_EQ(frage(QStringLiteral("JAHR_ABGESCHLOSSEN")), QStringLiteral("0"));
    EXPECT_EQ(frage(QStringLiteral("KONTONAME,4210")), QStringLiteral("Miete"));
    // No closing yet: status 3 with an empty date, a text when formatted.
    EXPECT_EQ(frage(QStringLiteral("KASSEABGESCHLOSSENBIS,1000"), false, &s), QString());
    EXPECT_EQ(s, 3);
    EXPECT_EQ(frage(QStringLiteral("KASSEABGESCHLOSSENBIS,1000"), true), QStringLiteral("noch nicht abgeschlossen"));
    EXPECT_EQ(frage(QStringLiteral("FESTGESCHRIEBEN_BIS"), false, &s), QString());
    EXPECT_EQ(s, 2);
    ASSERT_TRUE(KontoGlobal::setFestgeschriebenBis(zDate(2016, 3, 31)));
    EXPECT_EQ(frage(QStringLiteral("FESTGESCHRIEBEN_BIS")), QStringLiteral("31.03.2016"));
    EXPECT_EQ(frage(QStringLiteral("ANZAHL_BANKKONTEN")), QStringLiteral("0"));
    EXPECT_EQ(frage(QStringLiteral("EXISTS_IN_KATEGORIE,5400")), QStringLiteral("1"));
    EXPECT_EQ(frage(QStringLiteral("EXISTS_IN_KATEGORIE,4100..4199,5900")), QStringLiteral("0"));
}

TEST_F(Getkont, ProfitAndLossRows) {
    int s = 0;
    EXPECT_EQ(frage(QStringLiteral("GEWINN"), false, &s), QStringLiteral("-905,00"));
    EXPECT_EQ(s, 1);
    EXPECT_EQ(frage(QStringLiteral("EINNAHMEN")), QStringLiteral("1.190,00"));
    EXPECT_EQ(frage(QStringLiteral("AUSGABEN")), QStringLiteral("2.095,00"));
    // A loss is red and labelled as such; the profit row closes its colour.
    EXPECT_EQ(frage(QStringLiteral("GEWINN,mitBezeichnung"), true),
              QStringLiteral("<tr><td>Verlust:</td><td class=\"rechts\"><font color=\"#b70000\">-905,00&nbsp;&euro;</font></td></tr>"));
    EXPECT_EQ(frage(QStringLiteral("EINNAHMEN,mitBezeichnung"), true),
              QStringLiteral("<tr><td>Einnahmen:</td><td class=\"rechts\"><font color=\"#000000\">1.190,00&nbsp;&euro;</td></tr>"));
    // The overview of April alone: the rent, a loss of 1.500,00.
    const QString april = frage(QStringLiteral("EUR,0,MONATLICH,4"), true);
    EXPECT_TRUE(april.contains(QStringLiteral("Verlust:</td><td class=\"rechts\"><font color=\"#b70000\">-1.500,00"))) << april.toStdString();
    const QString jahr = frage(QStringLiteral("EUR,1"), true);
    EXPECT_TRUE(jahr.contains(QStringLiteral("Summe Einnahmen:</td><td class=\"rechts\"><font color=\"#000000\">1.190,00"))) << jahr.toStdString();
    EXPECT_TRUE(jahr.contains(QStringLiteral("&nbsp;&nbsp;4210 Miete:"))) << "the detail variant names the accounts";
    EXPECT_EQ(status(QStringLiteral("EUR,0,MONATLICH,13"), true), 0);
    EXPECT_EQ(status(QStringLiteral("EUR,0,jaehrlich,1"), true), 0);
}

TEST_F(Getkont, BalancesOfAccountsAndCategories) {
    int s = 0;
    EXPECT_EQ(frage(QStringLiteral("SALDO,Konto,1000..1299"), false, &s), QStringLiteral("-905,00"));
    EXPECT_EQ(s, 1);
    // Blanks and tabs around and inside the parts do not count.
    EXPECT_EQ(frage(QStringLiteral(" SALDO , Konto ,\t1000 .. 1299 ")), QStringLiteral("-905,00"));
    EXPECT_EQ(frage(QStringLiteral("SALDO,Konto,1200,4210")), QStringLiteral("2.095,00"));
    EXPECT_EQ(frage(QStringLiteral("SALDO,Konto,1200"), true),
              QStringLiteral("<tr><td>Bank:</td><td class=\"rechts\"><font color=\"#000000\">595,00&nbsp;&euro;</td></tr>"));
    // 5400 rent 1.500,00 + 5700 office 500,00: a sum above a thousand is
    // added as an amount, not read back from its text.
    EXPECT_EQ(frage(QStringLiteral("SALDO,Kategorie,5400,5700")), QStringLiteral("2.000,00"));
    // 4000 revenue -1.000,00, 5400 1.500,00, 5900 nothing: the sum counts
    // all three, the formatted rows leave out the category at zero.
    EXPECT_EQ(frage(QStringLiteral("SALDO,Kategorie,4000,5400,5900")), QStringLiteral("500,00"));
    const QString zeilen = frage(QStringLiteral("SALDO,Kategorie,4000,5400,5900"), true);
    EXPECT_EQ(zeilen.count(QStringLiteral("<tr>")), 2) << zeilen.toStdString();
    EXPECT_TRUE(zeilen.contains(QStringLiteral("-1.000,00"))) << zeilen.toStdString();
    EXPECT_EQ(frage(QStringLiteral("SALDO,KontenByKategorie,5700")), QStringLiteral("500,00"));
    EXPECT_EQ(frage(QStringLiteral("SALDO,KontenByKategorie,201..202"), true).count(QStringLiteral("<tr>")), 2);
}

TEST_F(Getkont, NamesInFragmentsAreEscaped) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='Bank <b>&Co', Kurzbezeichnung='Bank <b>&Co' WHERE Nummer=1200")));
    EXPECT_TRUE(frage(QStringLiteral("SALDO,Konto,1200"), true).startsWith(QStringLiteral("<tr><td>Bank &lt;b&gt;&amp;Co:</td>")));
    EXPECT_EQ(frage(QStringLiteral("KONTONAME,1200"), true), QStringLiteral("Bank &lt;b&gt;&amp;Co"));
    EXPECT_EQ(frage(QStringLiteral("KONTONAME,1200")), QStringLiteral("Bank <b>&Co")) << "a plain value stays as stored";
}

TEST_F(Getkont, ListsAreNumbersAndNothingElseReachesTheDatabase) {
    const long konten = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toInt();
    QString fehler;
    int s = -1;
    for (const char* boese : {"SALDO,Konto,1200..1299) OR (1=1", "SALDO,Konto,1200;DELETE FROM eurKontenplan", "SALDO,Kategorie,abc",
                              "SALDO,Konto,1200..", "SALDO,Konto,-5", "EXISTS_IN_KATEGORIE,5400..5400;DROP TABLE eurKontenplan",
                              "SALDO,Konto,12345678901"}) {
        EXPECT_EQ(frage(QLatin1String(boese), false, &s, &fehler), QString()) << boese;
        EXPECT_EQ(s, 0) << boese;
        EXPECT_TRUE(fehler.contains(QStringLiteral("kann nicht aufgelöst werden!"))) << fehler.toStdString();
    }
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit falschem Parameter: $GETKONT(SALDO,Konto,12345678901). "
                                     "Der Parameter 12345678901 kann nicht aufgelöst werden!"));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toInt(), konten);
}

TEST_F(Getkont, RefusalsCarryTheirMessages) {
    QString fehler;
    int s = -1;
    frage(QString(), false, &s, &fehler);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(fehler, QStringLiteral("Parserfunktion $GETKONT wurde ohne Parameter aufgerufen!"));
    frage(QStringLiteral("gewinn"), false, &s, &fehler);
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT mit unbekannter Funktion: $GETKONT(gewinn)!"));
    frage(QStringLiteral("SALDO,Konto"), false, &s, &fehler);
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit zuwenig Parametern: $GETKONT(SALDO,Konto)!"));
    frage(QStringLiteral("SALDO,Konten,1200"), false, &s, &fehler);
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit unbekantem Parameter: $GETKONT(SALDO,Konten,1200)!"));
    frage(QStringLiteral("KONTONAME"), false, &s, &fehler);
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT(KONTONAME) mit zuwenig Parametern: $GETKONT(KONTONAME)!"));
    frage(QStringLiteral("SPEZIALKONTO,Bank"), false, &s, &fehler);
    EXPECT_EQ(fehler, QStringLiteral("Aufruf der Parserfunktion $GETKONT(SPEZIALKONTO,Konto) mit falschem Parameter: "
                                     "$GETKONT(SPEZIALKONTO,Bank). Bitte Kontonummer angeben!"));
    // A range without an active account leaves nothing to sum.
    frage(QStringLiteral("SALDO,Konto,7..9"), false, &s, &fehler);
    EXPECT_EQ(s, 0);
    EXPECT_TRUE(fehler.endsWith(QStringLiteral("Bitte Kontonummer angeben!")));
    EXPECT_EQ(env.ui().count(Ui::Art::Fehler), 0) << "the start page shows no dialog";
}

// A monthly rent template (document and payment date 15.01.2016) paid from
// the bank; `nummer` and the two dates vary per test.
void vorlage(DBConnection* db, unsigned long nummer, const zDate& beleg, const zDate& zahlung, int intervall, const QString& text) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurBeispiel (Buchungsnummer, Buchungstext, Betrag, Belegdatum, Zahlungsdatum, "
                                           "Intervall, Buchungsart) VALUES (%1, %2, 500, %3, %4, '%5', 2)")
                                .arg(nummer)
                                .arg(rsDataSource::toSqlStr(text), rsDataSource::toSqlStr(beleg), rsDataSource::toSqlStr(zahlung))
                                .arg(intervall)));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurBeispielBuchungszeilen (Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, "
                                           "Konto, Steuerschluessel) VALUES (%1, 1, 1, 500, 1, 1200, 0), (%1, 2, 2, 500, 0, 4210, 0)")
                                .arg(nummer)));
}

// An occurrence of template `nummer` posted into the ledger.
void gebucht(DBConnection* db, unsigned long buchung, unsigned long nummer, const zDate& d) {
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Betrag, Belegdatum, Zahlungsdatum, "
                                           "Zusatzinfo, Buchungsart, Storno, Storniert) VALUES (%1, 'Miete', 500, %2, %2, 'FromBsp:%3', 2, 0, 0)")
                                .arg(buchung)
                                .arg(rsDataSource::toSqlStr(d))
                                .arg(nummer)));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, "
                                           "Konto, Steuerschluessel) VALUES (%1, 1, 1, 500, 1, 1200, 0), (%1, 2, 2, 500, 0, 4210, 0)")
                                .arg(buchung)));
}

TEST_F(Getkont, DueOccurrencesOfRecurringTemplates) {
    vorlage(db, 1, zDate(2016, 1, 15), zDate(2016, 1, 15), 3, QStringLiteral("Miete <Büro>"));
    // Today 20 March: January, February and March are due.
    QList<Startseite::FaelligeBuchung> f = Startseite::faelligeBuchungen(*kg, zDate(2016, 3, 20));
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0].belegdatum, zDate(2016, 1, 15));
    EXPECT_EQ(f[2].zahlungsdatum, zDate(2016, 3, 15));
    EXPECT_EQ(f[0].konten, QStringLiteral("H 1200 Bank, S 4210 Miete"));
    // January and February posted: only March is left.
    gebucht(db, 100, 1, zDate(2016, 1, 15));
    gebucht(db, 101, 1, zDate(2016, 2, 15));
    f = Startseite::faelligeBuchungen(*kg, zDate(2016, 3, 20));
    ASSERT_EQ(f.size(), 1);
    EXPECT_EQ(f[0].belegdatum, zDate(2016, 3, 15));
    // Equal dates stop at the end of the year: March to December, ten.
    EXPECT_EQ(Startseite::faelligeBuchungen(*kg, zDate(2017, 2, 1)).size(), 10);
    // A first payment after today is not offered; a closed year offers nothing.
    EXPECT_EQ(Startseite::faelligeBuchungen(*kg, zDate(2016, 1, 14)).size(), 0);
    kg->setJahresabschluss(1);
    EXPECT_EQ(Startseite::faelligeBuchungen(*kg, zDate(2016, 3, 20)).size(), 0);
}

TEST_F(Getkont, PaymentsAroundTheTurnOfTheYear) {
    // Document 28.12.2016, paid a week later: the payment of 4 January 2017
    // still belongs to 2016's list once that day has come.
    vorlage(db, 2, zDate(2016, 12, 28), zDate(2017, 1, 4), 7, QStringLiteral("Versicherung"));
    EXPECT_EQ(Startseite::faelligeBuchungen(*kg, zDate(2017, 1, 3)).size(), 0);
    const QList<Startseite::FaelligeBuchung> f = Startseite::faelligeBuchungen(*kg, zDate(2017, 1, 5));
    ASSERT_EQ(f.size(), 1);
    EXPECT_EQ(f[0].zahlungsdatum, zDate(2017, 1, 4));
}

TEST_F(Getkont, OpenBookingsAndInvoicesAsHtml) {
    EXPECT_EQ(frage(QStringLiteral("OFFENEBUCHUNGEN"), true),
              QStringLiteral("<tr><td>Zurzeit liegen keine noch nicht verbuchten $DLG(KONT_A[M]\\BUCH010[2](3),regelm&auml;&szlig;ige&nbsp;"
                             "Buchungen) vor.</td></tr>"));
    vorlage(db, 1, zDate(2016, 1, 15), zDate(2016, 1, 15), 3, QStringLiteral("Miete <Büro>"));
    gebucht(db, 100, 1, zDate(2016, 11, 15));
    // Today lies after 2016: only December is still due.
    const QString h = frage(QStringLiteral("OFFENEBUCHUNGEN"), true);
    EXPECT_TRUE(h.contains(QStringLiteral("<a href=\"javascript:doRegelmaessigBuchen()\">jetzt&nbsp;erzeugen</a>"))) << h.toStdString();
    EXPECT_TRUE(h.contains(QStringLiteral("Vorlage 1: (15.12.2016) Miete &lt;Büro&gt; (Konten: H 1200 Bank, S 4210 Miete)"))) << h.toStdString();
    EXPECT_EQ(h.count(QStringLiteral("Wertstellungsdatum: 15.12.2016")), 1);
    EXPECT_EQ(frage(QStringLiteral("OFFENERECHNUNGEN"), true), QStringLiteral("<tr><td>Derzeit liegen keine offenen Rechnungen vor.</td></tr>"));
}

}  // namespace
