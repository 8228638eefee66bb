// The bank subsystem on a case: connections, storing with the duplicate
// test and its multiplicity, the import of a file, proposals from template,
// ledger, open invoice and counterpart, the takeover and the reset under a
// lock date and a closed cash register.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/faktura/faktura.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {
using namespace Bank;

const QString kIban = QStringLiteral("DE89370400440532013000");

class Bank_ : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT OR REPLACE INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Aktiv) "
                                               "VALUES (1210, 'Bank 2', 'Bank 2', 202, 1)")));
        Verbindung v;
        v.konto = 1200;
        v.iban = kIban;
        QString e;
        verbindung = legeVerbindungAn(db, v, &e);
        ASSERT_NE(verbindung, 0u) << e.toStdString();
    }
    static Umsatz umsatz(const zDate& d, double betrag, const QString& zweck, const QString& name = QString(), const QString& iban = QString()) {
        Umsatz u;
        u.buchungsdatum = d;
        u.betrag = EuroType::ausDouble(betrag);
        u.zweck << zweck;
        u.name = name;
        u.iban = iban;
        return u;
    }
    // A template: rent 500,00 on 4210 from the bank account, text "Miete".
    void mietvorlage() {
        KontoGlobal::BuchungsEntwurf vorlage;
        vorlage.table = QStringLiteral("eurBeispiel");
        vorlage.text = QStringLiteral("Miete");
        vorlage.belegdatum = zDate(2016, 1, 1);
        vorlage.buchungsart = 2;
        vorlage.haben = true;
        vorlage.konto = 1200;
        vorlage.teile << KontoGlobal::BuchungsTeil{4210, 0, 500.0_eur, false, QString()};
        QString e;
        ASSERT_NE(KontoGlobal::insertSplittBuchung(vorlage, db, &e), 0u) << e.toStdString();
    }
    Speicherergebnis speichere(const QList<Umsatz>& l) {
        Speicherergebnis r;
        QString e;
        EXPECT_TRUE(speichereUmsaetze(db, verbindung, l, 2016, zDate(), nullptr, &r, &e)) << e.toStdString();
        return r;
    }
    long anzahl(const QString& sql) { return long(GetDatenTyp(db, sql).toLongLong()); }
    long umsaetzeGespeichert() { return anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUmsatz")); }
    long buchungen() { return anzahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")); }
    // The ID of the transaction stored last.
    unsigned long letzter() { return (unsigned long)anzahl(QStringLiteral("SELECT MAX(UmsatzID) FROM eurUmsatz")); }
    Vorschlag vorschlagFuer(unsigned long id) {
        const QList<Kandidat> l = vorschlaege(db, {id});
        EXPECT_EQ(l.size(), 1);
        return l.isEmpty() ? Vorschlag() : l.first().vorschlag;
    }
    bool nimm(QList<unsigned long> ids, unsigned long gegen = 0, unsigned long key = 0, Uebernahmeergebnis* r = nullptr, QString* e = nullptr) {
        Auftrag a;
        a.ids = ids;
        a.gegenkonto = gegen;
        a.steuerschluessel = key;
        a.schluesselAngegeben = gegen != 0;
        Uebernahmeergebnis x;
        QString f;
        return uebernehmen(db, a, r ? r : &x, e ? e : &f);
    }
    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
    unsigned long verbindung = 0;
};

TEST_F(Bank_, VerbindungenJeKontoEinmalUndNurFuerGeldkonten) {
    QString e;
    Verbindung v;
    v.konto = 1200;
    v.iban = QStringLiteral("DE02120300000000202051");
    EXPECT_EQ(legeVerbindungAn(db, v, &e), 0u);  // 1200 already has one
    v.konto = 4930;
    EXPECT_EQ(legeVerbindungAn(db, v, &e), 0u);
    EXPECT_TRUE(e.contains(QStringLiteral("Kategorie 5700")));
    v.konto = 1210;
    v.iban = QStringLiteral("DE88370400440532013000");  // check digits wrong
    EXPECT_EQ(legeVerbindungAn(db, v, &e), 0u);
    EXPECT_TRUE(e.contains(QStringLiteral("keine gültige IBAN")));
    v.iban = QStringLiteral("de89 3704 0044 0532 0130 00");  // the IBAN of 1200
    EXPECT_EQ(legeVerbindungAn(db, v, &e), 0u);
    EXPECT_TRUE(e.contains(QStringLiteral("bereits dem Konto 1200")));
    v.iban = QStringLiteral("DE02120300000000202051");
    v.bezeichnung = QStringLiteral("O'Brien'); DROP TABLE eurUmsatz;--");
    const unsigned long zweite = legeVerbindungAn(db, v, &e);
    ASSERT_NE(zweite, 0u) << e.toStdString();
    Verbindung gelesen;
    ASSERT_TRUE(leseVerbindung(db, zweite, &gelesen));
    EXPECT_EQ(gelesen.bezeichnung, v.bezeichnung);  // bound, stored as typed
    EXPECT_EQ(verbindungen(db).size(), 2);
    // Found by IBAN (any spelling) and, for a German IBAN, by bank code and account.
    EXPECT_EQ(verbindungZuIban(db, QStringLiteral("de89 3704 0044 0532 0130 00")), verbindung);
    EXPECT_EQ(verbindungZuKontonummer(db, QStringLiteral("0532013000"), QStringLiteral("37040044")), verbindung);
    EXPECT_EQ(verbindungZuKontonummer(db, QStringLiteral("532013000"), QStringLiteral("12345678")), 0u);
}

TEST_F(Bank_, JederUmsatzEinmalMitSeinerVielfachheit) {
    const Umsatz miete = umsatz(zDate(2016, 3, 1), -500.0, QStringLiteral("Miete"), QStringLiteral("Vermieter"));
    // Twice in one file: both are real (two payments of the same day).
    EXPECT_EQ(speichere({miete, miete}).gespeichert, 2);
    Speicherergebnis r = speichere({miete, miete});
    EXPECT_EQ(r.gespeichert, 0);
    EXPECT_EQ(r.doppelt, 2);
    EXPECT_EQ(speichere({miete, miete, miete}).gespeichert, 1);  // a third one appeared
    EXPECT_EQ(umsaetzeGespeichert(), 3);
    // "Miete" is not "Miete Januar": compared exactly, not as a prefix.
    EXPECT_EQ(speichere({umsatz(zDate(2016, 3, 1), -500.0, QStringLiteral("Miete Januar"), QStringLiteral("Vermieter"))}).gespeichert, 1);
    // Texts that differ only beyond the 100th character are the same.
    const QString lang = QString(100, QLatin1Char('x'));
    EXPECT_EQ(speichere({umsatz(zDate(2016, 4, 1), 1.0, lang + QStringLiteral("A"))}).gespeichert, 1);
    EXPECT_EQ(speichere({umsatz(zDate(2016, 4, 1), 1.0, lang + QStringLiteral("B"))}).gespeichert, 0);
    // Empty counterpart fields match stored NULLs.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurUmsatz (UmsatzID, BankverbindungID, Buchungsdatum, Betrag, Buchungstext) VALUES "
                                           "(99, %1, '2016-05-02 00:00:00', 7.5, 'Zinsen')").arg(verbindung)));
    EXPECT_EQ(existUmsatz(db, verbindung, umsatz(zDate(2016, 5, 2), 7.5, QStringLiteral("Zinsen"))), 1);
    // 31 December is in the year, 1 January of the next is not.
    r = speichere({umsatz(zDate(2016, 12, 31), 3.0, QStringLiteral("Zinsen")), umsatz(zDate(2017, 1, 1), 3.0, QStringLiteral("Zinsen"))});
    EXPECT_EQ(r.gespeichert, 1);
    EXPECT_EQ(r.ausserhalb, 1);
    EXPECT_EQ(ergebnisMeldung(r, 2016), QStringLiteral("Es wurde ein Umsatz für das Wirtschaftsjahr 2016 abgerufen.<br><br>Es wurde ein Umsatz "
                                                       "nicht berücksichtigt, da er nicht im Wirtschaftsjahr 2016 liegt."));
    EXPECT_EQ(ergebnisMeldung(Speicherergebnis{3, 0, 2}, 2016),
              QStringLiteral("Es wurden 3 Umsätze für das Wirtschaftsjahr 2016 abgerufen.<br><br>Es wurden 2 Umsätze nicht berücksichtigt, da sie "
                             "nicht im Wirtschaftsjahr 2016 liegen."));
    EXPECT_EQ(ergebnisMeldung(Speicherergebnis{}, 2016), QStringLiteral("Es liegen keine neuen Umsätze für das Wirtschaftsjahr 2016 vor."));
}

TEST_F(Bank_, DuplikattestMitProzentUndUnterstrich) {
    // As a LIKE pattern "Rabatt 50% Aktion_1%" would match this stored row
    // ("%" for " Prozent", "_" for "-") and drop the new transaction.
    EXPECT_EQ(speichere({umsatz(zDate(2016, 6, 1), -20.0, QStringLiteral("Rabatt 50 Prozent Aktion-1"))}).gespeichert, 1);
    const Umsatz neu = umsatz(zDate(2016, 6, 1), -20.0, QStringLiteral("Rabatt 50% Aktion_1"));
    EXPECT_EQ(existUmsatz(db, verbindung, neu), 0);
    EXPECT_EQ(speichere({neu}).gespeichert, 1);
    EXPECT_EQ(speichere({neu}).gespeichert, 0);  // and itself it finds
    // Bank data with quotes is data, not SQL.
    const Umsatz boese = umsatz(zDate(2016, 6, 2), -1.0, QStringLiteral("x' OR '1'='1"), QStringLiteral("O'Brien\"; DROP TABLE eurUmsatz;--"));
    EXPECT_EQ(speichere({boese}).gespeichert, 1);
    EXPECT_EQ(existUmsatz(db, verbindung, boese), 1);
    EXPECT_EQ(umsaetzeGespeichert(), 3);
}

TEST_F(Bank_, ImportEinerDateiZweimalUndDefekt) {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/camt053_001_02.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray camt = f.readAll();
    Importergebnis r = importiere(db, 0, camt, Importoptionen());
    ASSERT_TRUE(r.ok) << r.meldung.toStdString();
    EXPECT_EQ(r.verbindung, verbindung);  // found by the IBAN of the file
    EXPECT_EQ(r.speicher.gespeichert, 5);
    EXPECT_EQ(r.vorgemerkt, 1);
    r = importiere(db, 1200, camt, Importoptionen());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.speicher.gespeichert, 0);
    EXPECT_EQ(r.speicher.doppelt, 5);
    EXPECT_EQ(umsaetzeGespeichert(), 5);
    EXPECT_DOUBLE_EQ(GetDatenTyp(db, QStringLiteral("SELECT BankSaldo FROM eurBankverbindung")).toDouble(), 1820.90);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT LetzterImportMG FROM eurBankverbindung")).toDate(), zDate(2016, 3, 15));
    // The balance question: no stores nothing, yes stores.
    QByteArray falsch = camt;
    falsch.replace("<Amt Ccy=\"EUR\">1820.90</Amt>", "<Amt Ccy=\"EUR\">1830.90</Amt>");
    falsch.replace("2016-03-07", "2016-03-08");
    env.ui().queueAnswer(false);
    r = importiere(db, 0, falsch, Importoptionen());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.verneint);
    EXPECT_EQ(umsaetzeGespeichert(), 5);
    env.ui().queueAnswer(true);
    EXPECT_EQ(importiere(db, 0, falsch, Importoptionen()).speicher.gespeichert, 1);  // only the moved debit is new
    env.ui().clear();
    r = importiere(db, 0, falsch, Importoptionen());  // read again it asks nothing: a question now would be answered no
    EXPECT_TRUE(r.ok) << r.meldung.toStdString();
    EXPECT_EQ(r.speicher.gespeichert, 0);
    // Broken files, another account, a connection that is not there: nothing.
    QByteArray kaputt = camt;
    kaputt.replace("<Amt Ccy=\"EUR\">49.90</Amt>", "<Amt Ccy=\"EUR\">49.9.0</Amt>");
    kaputt.replace("2016-03-01", "2016-03-02");
    r = importiere(db, 0, kaputt, Importoptionen());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.meldung.contains(QStringLiteral("es wurde nichts gespeichert")));
    EXPECT_EQ(importiere(db, 1210, camt, Importoptionen()).ok, false);
    QByteArray fremd = camt;
    fremd.replace(kIban.toLatin1(), "DE02120300000000202051");
    r = importiere(db, 0, fremd, Importoptionen());
    EXPECT_TRUE(r.meldung.contains(QStringLiteral("keine Bankverbindung eingerichtet")));
    EXPECT_EQ(umsaetzeGespeichert(), 6);
}

// Every row of a file is accounted for: stored, known, outside the year,
// pending or skipped with its line; a file that is no statement is named
// as what it is, whatever its name.
TEST_F(Bank_, JedeZeileGezaehltUndKeinAuszugBenannt) {
    Importoptionen o;
    o.layout = QStringLiteral("generisch");
    o.spalten = QStringLiteral("datum=Datum,betrag=Betrag,zweck=Zweck");
    const QByteArray csv = "Konto DE89370400440532013000\n\nDatum;Betrag;Zweck\n02.01.2016;10,00;a\n30.12.2015;5,00;alt\n"
                           "03.01.2016;0,00;Abschluss\n04.01.2016;-7,50;b\n";
    Importergebnis r = importiere(db, 1200, csv, o);
    ASSERT_TRUE(r.ok) << r.meldung.toStdString();
    EXPECT_EQ(r.gelesen, 4);
    EXPECT_EQ(r.speicher.gespeichert, 2);
    EXPECT_EQ(r.speicher.ausserhalb, 1);
    EXPECT_EQ(r.uebersprungen, QStringList{QStringLiteral("Zeile 6: Betrag 0 (Abschluss)")});
    EXPECT_TRUE(r.zahlen().startsWith(QStringLiteral("Gelesen 4: gespeichert 2, bereits vorhanden 0, außerhalb des Jahres 1, vorgemerkt 0, "
                                                     "übersprungen 1.")))
        << r.zahlen().toStdString();
    r = importiere(db, 1200, csv, o);
    EXPECT_EQ(r.speicher.doppelt, 2);
    EXPECT_EQ(r.gelesen, 4);

    const QList<QPair<QByteArray, QString>> keine = {{QByteArray(), QStringLiteral("leer")},
                                                     {QByteArray(" \r\n\n"), QStringLiteral("leer")},
                                                     {QByteArray("%PDF-1.4\n"), QStringLiteral("PDF")},
                                                     {QByteArray("PK\x03\x04\x14\0", 6), QStringLiteral("xlsx")},
                                                     {QByteArray("\x01\x02\0\0abc", 7), QStringLiteral("Binärdaten")}};
    for (const auto& k : keine)
        for (Format f : {Format::Automatisch, Format::Camt, Format::Csv}) {
            Importoptionen x;
            x.format = f;
            r = importiere(db, 1200, k.first, x);
            EXPECT_FALSE(r.ok);
            EXPECT_TRUE(r.meldung.contains(k.second)) << r.meldung.toStdString();
        }
    EXPECT_EQ(umsaetzeGespeichert(), 2);
}

// What banks write besides the letter of the formats: the account under
// Othr/Id (number or IBAN) meets the connection set up by IBAN; MT940 with a
// blank before the transaction type and purpose lines numbered out of the
// standard's order.
TEST_F(Bank_, KontoUndMt940WieBankenSieSchreiben) {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/camt053_001_02.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray camt = f.readAll();
    const QByteArray iban = "<Acct><Id><IBAN>DE89370400440532013000</IBAN></Id>";
    QByteArray nummer = camt, othrIban = camt;
    nummer.replace(iban, "<Acct><Id><Othr><Id>0532013000</Id></Othr></Id>");
    othrIban.replace(iban, "<Acct><Id><Othr><Id>DE89 3704 0044 0532 0130 00</Id></Othr></Id>");
    Importergebnis r = importiere(db, 0, nummer, Importoptionen());
    ASSERT_TRUE(r.ok) << r.meldung.toStdString();
    EXPECT_EQ(r.verbindung, verbindung);
    EXPECT_EQ(r.speicher.gespeichert, 5);
    r = importiere(db, 0, othrIban, Importoptionen());
    EXPECT_EQ(r.verbindung, verbindung);
    EXPECT_EQ(r.speicher.doppelt, 5);

    QFile m(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/mt940_2016-05.sta"));
    ASSERT_TRUE(m.open(QIODevice::ReadOnly));
    QByteArray mt = m.readAll();
    mt.replace("CR1190,00NTRF", "CR1190,00 NTRF");
    mt.replace("?21SVWZ+", "?25SVWZ+").replace("?22ratung", "?23ratung");  // purpose lines numbered out of order
    r = importiere(db, 0, mt, Importoptionen());
    ASSERT_TRUE(r.ok) << r.meldung.toStdString();
    EXPECT_EQ(r.verbindung, verbindung);  // ":25:37040044/0532013000" is the IBAN's account
    EXPECT_EQ(r.speicher.gespeichert, 3);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUmsatz WHERE Buchungstext='Rechnung RE-2016-0007 Beratung April'")), 1);
    mt.replace("160510D59,50NDDT", "160510X59,50NDDT");
    r = importiere(db, 0, mt, Importoptionen());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.meldung.startsWith(QStringLiteral("Zeile 8:"))) << r.meldung.toStdString();
}

TEST_F(Bank_, VorschlaegeAusVorlageBuchungRechnungUndGegenpartei) {
    ASSERT_NO_FATAL_FAILURE(mietvorlage());
    // A posted booking: toner 119,00 gross on 4930 with input tax 19 %.
    ASSERT_NE(testfall::buche(db, 2, 1200, 4930, 7, 119.0, zDate(2016, 2, 3)), 0u);
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Buchungstext='Toner'")));
    // An open invoice RE-2016-0001 of 1.000,00 net at 19 %: 1.190,00.
    QString e;
    Faktura::Person p;
    p.firma = QStringLiteral("Kunde AG");
    p.strasse = QStringLiteral("Weg 1");
    p.plz = QStringLiteral("10115");
    p.ort = QStringLiteral("Berlin");
    Faktura::Beleg b;
    b.personID = Faktura::speicherePerson(db, p, &e);
    b.datum = zDate(2016, 3, 1);
    b.zeitraumVon = b.zeitraumBis = b.datum;
    Faktura::Position pos;
    pos.bezeichnung = QStringLiteral("Beratung");
    pos.preis = 1000.0_eur;
    pos.steuerschluessel = 5;
    pos.konto = 8400;
    b.positionen << pos;
    env.ui().setDefaultAnswer(true);
    ASSERT_TRUE(Faktura::speichereBeleg(db, &b, &e)) << e.toStdString();
    ASSERT_EQ(b.nummer, QStringLiteral("RE-2016-0001"));

    speichere({umsatz(zDate(2016, 3, 2), -500.0, QStringLiteral("Miete Maerz Buero"), QStringLiteral("Haus GmbH"))});
    Vorschlag v = vorschlagFuer(letzter());
    EXPECT_EQ(v.art, Vorschlag::Vorlage);
    EXPECT_EQ(v.wertung, 120);  // 50 for the amount, 70 for "MIETE" in the text
    EXPECT_EQ(v.gegenkonto, 4210u);
    EXPECT_EQ(v.buchungsart, 2);

    speichere({umsatz(zDate(2016, 3, 3), -119.0, QStringLiteral("Toner schwarz"))});
    v = vorschlagFuer(letzter());
    EXPECT_EQ(v.art, Vorschlag::Buchung);
    EXPECT_EQ(v.wertung, 120);
    EXPECT_EQ(v.gegenkonto, 4930u);
    EXPECT_EQ(v.steuerschluessel, 7u);
    speichere({umsatz(zDate(2016, 3, 3), -119.0, QStringLiteral("Papier"))});
    EXPECT_EQ(vorschlagFuer(letzter()).wertung, 50);  // the amount alone
    speichere({umsatz(zDate(2016, 3, 3), 119.0, QStringLiteral("Toner zurueck"))});
    EXPECT_EQ(vorschlagFuer(letzter()).art, Vorschlag::Keiner);  // a credit never follows an expense's side

    speichere({umsatz(zDate(2016, 3, 20), 1190.0, QStringLiteral("Zahlung re-2016-0001 danke"), QStringLiteral("Kunde AG"))});
    const unsigned long zahlung = letzter();
    v = vorschlagFuer(zahlung);
    EXPECT_EQ(v.art, Vorschlag::Rechnung);
    EXPECT_EQ(v.wertung, 150);
    EXPECT_EQ(v.rechnungsnummer, QStringLiteral("RE-2016-0001"));
    speichere({umsatz(zDate(2016, 3, 21), 1000.0, QStringLiteral("RE-2016-0001 Teilzahlung"))});
    EXPECT_NE(vorschlagFuer(letzter()).art, Vorschlag::Rechnung);  // not the amount due

    // The counterpart: an electricity bill taken over by hand once …
    const QString stadtwerke = QStringLiteral("DE44500105175407324931");
    speichere({umsatz(zDate(2016, 3, 5), -80.0, QStringLiteral("Abschlag 03"), QStringLiteral("Stadtwerke"), stadtwerke)});
    ASSERT_TRUE(nimm({letzter()}, 4930, 7));
    // … proposes its account and key for the next one, by IBAN or by name.
    speichere({umsatz(zDate(2016, 4, 5), -95.20, QStringLiteral("Abschlag 04"), QStringLiteral("Stadtwerke"), stadtwerke)});
    v = vorschlagFuer(letzter());
    EXPECT_EQ(v.art, Vorschlag::Gegenpartei);
    EXPECT_EQ(v.wertung, 100);
    EXPECT_EQ(v.gegenkonto, 4930u);
    EXPECT_EQ(v.steuerschluessel, 7u);
    EXPECT_TRUE(v.grund.contains(stadtwerke));
    speichere({umsatz(zDate(2016, 5, 5), -95.20, QStringLiteral("Abschlag 05"), QStringLiteral("STADTWERKE"))});
    EXPECT_EQ(vorschlagFuer(letzter()).wertung, 80);

    // --alle takes over what scores 100 or more: rent, toner, invoice, April.
    Auftrag a;
    a.alle = true;
    Uebernahmeergebnis r;
    ASSERT_TRUE(uebernehmen(db, a, &r, &e)) << e.toStdString();
    EXPECT_EQ(r.gebucht.size(), 4);
    EXPECT_EQ(r.ohneVorschlag.size(), 4);  // paper, refund, part payment, May by name
    EXPECT_EQ(r.meldung, QStringLiteral("Es wurden 4 Umsätze in die Einnahmen und Ausgaben übernommen."));
    Faktura::Beleg bezahlt;
    ASSERT_TRUE(Faktura::leseBeleg(db, Faktura::Belegart::Rechnung, b.id, &bezahlt));
    EXPECT_TRUE(bezahlt.bezahlt.isValid());  // the invoice is paid
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(zahlung)), 1);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUebernahme")), 0);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUebernahmeBuchungszeilen")), 0);
    // Bank 1200: -119 (ledger) -80 +(-500 -119 +1190 -95,20) = 276,80.
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), 276.80_eur);
    // Input tax of the April bill: 95,20 / 1,19 * 0,19 = 15,20.
    EXPECT_EQ(KontoGlobal::getSummeKonto(1576, 0, zDate(2016, 4, 1), zDate(2016, 4, 30)), 15.20_eur);
    EXPECT_TRUE(KontoGlobal::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true).isEmpty());
    // Deleting the invoice's payment opens invoice and transaction again.
    const unsigned long nr = (unsigned long)anzahl(QStringLiteral("SELECT Buchungsnummer FROM eurUmsatz WHERE UmsatzID=%1").arg(zahlung));
    ASSERT_TRUE(KontoGlobal::deleteBuchung(nr, QStringLiteral("eurVerbucht")));
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(zahlung)), 0);
    ASSERT_TRUE(Faktura::leseBeleg(db, Faktura::Belegart::Rechnung, b.id, &bezahlt));
    EXPECT_FALSE(bezahlt.bezahlt.isValid());
    EXPECT_EQ(Faktura::berechneSummen(db, bezahlt).offen, 1190.00_eur);  // open in full, not gross minus net
}

// A booking already on the bank account meets one transaction of its
// amount and side within a week of its date, never two, never one further.
TEST_F(Bank_, VorhandeneBuchungEinmalZugeordnet) {
    const unsigned long miete = testfall::buche(db, 2, 1200, 4210, 0, 850.0, zDate(2016, 1, 1));
    ASSERT_NE(miete, 0u);
    speichere({umsatz(zDate(2016, 1, 4), -850.0, QStringLiteral("Miete Januar")), umsatz(zDate(2016, 1, 5), -850.0, QStringLiteral("Miete doppelt")),
               umsatz(zDate(2016, 1, 4), 850.0, QStringLiteral("Erstattung"))});
    const QList<Kandidat> l = vorschlaege(db);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0].vorschlag.art, Vorschlag::Vorhanden);
    EXPECT_EQ(l[0].vorschlag.quelle, miete);
    EXPECT_NE(l[1].vorschlag.art, Vorschlag::Vorhanden);  // the booking is taken
    EXPECT_NE(l[2].vorschlag.art, Vorschlag::Vorhanden);  // the other side
    speichere({umsatz(zDate(2016, 2, 1), -850.0, QStringLiteral("Miete Februar"))});
    ASSERT_TRUE(nimm({l[0].umsatz.id}));
    EXPECT_NE(vorschlagFuer(letzter()).art, Vorschlag::Vorhanden);  // January's booking is linked now
    // A fee of the same amount two weeks after the account fee is another fee.
    ASSERT_NE(testfall::buche(db, 2, 1200, 4970, 0, 9.90, zDate(2016, 3, 15)), 0u);
    speichere({umsatz(zDate(2016, 3, 28), -9.90, QStringLiteral("Kontofuehrung Kreditkarte"))});
    EXPECT_NE(vorschlagFuer(letzter()).art, Vorschlag::Vorhanden);
    EXPECT_EQ(buchungen(), 2);
}

// The ledger is read once for the keys of the transactions' amounts; per
// transaction each statement is a search, never a scan. Nothing of it stays
// in the case, and an amount stored a hair off its cent is that cent.
TEST_F(Bank_, VorschlaegeSuchenProUmsatzOhneScan) {
    ASSERT_NO_FATAL_FAILURE(mietvorlage());
    const unsigned long toner = testfall::buche(db, 2, 1210, 4930, 7, 119.0, zDate(2016, 2, 3));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Buchungstext='Toner', Betrag=118.99999999 WHERE Buchungsnummer=%1").arg(toner)));
    const unsigned long miete = testfall::buche(db, 2, 1200, 4210, 0, 850.0, zDate(2016, 1, 1));
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET Betrag=850.00000001 WHERE Buchungsnummer=%1").arg(miete)));
    speichere({umsatz(zDate(2016, 1, 4), -850.0, QStringLiteral("Miete Januar")), umsatz(zDate(2016, 1, 5), -850.0, QStringLiteral("Miete doppelt")),
               umsatz(zDate(2016, 3, 2), -500.0, QStringLiteral("Miete Maerz")), umsatz(zDate(2016, 3, 3), -119.0, QStringLiteral("Toner schwarz")),
               umsatz(zDate(2016, 3, 3), 119.0, QStringLiteral("Toner zurueck"))});
    const QString schema = GetDatenTyp(db, QStringLiteral("SELECT group_concat(name) FROM sqlite_master")).toString();
    QStringList l;
    for (const Kandidat& k : vorschlaege(db)) l << QStringLiteral("%1 %2 %3").arg(k.vorschlag.art).arg(k.vorschlag.wertung).arg(k.vorschlag.quelle);
    EXPECT_EQ(l, QStringList({QStringLiteral("%1 160 %2").arg(Vorschlag::Vorhanden).arg(miete),
                              QStringLiteral("%1 50 %2").arg(Vorschlag::Buchung).arg(miete),  // linked already: only its amount is alike
                              QStringLiteral("%1 120 1").arg(Vorschlag::Vorlage), QStringLiteral("%1 120 %2").arg(Vorschlag::Buchung).arg(toner),
                              QStringLiteral("%1 0 0").arg(Vorschlag::Keiner)}));
    int n = 0;
    for (sqlite3_stmt* st = sqlite3_next_stmt(db->handle(), nullptr); st; st = sqlite3_next_stmt(db->handle(), st)) {
        if (!QString::fromUtf8(sqlite3_sql(st)).contains(QLatin1String("Cent=?"))) continue;
        ++n;
        EXPECT_EQ(sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FULLSCAN_STEP, 0), 0) << sqlite3_sql(st);
    }
    EXPECT_EQ(n, 2);
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT group_concat(name) FROM sqlite_master")).toString(), schema);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM sqlite_temp_master")), 0);
}

TEST_F(Bank_, UebernahmeUndZuruecksetzenUnterFestschreibung) {
    speichere({umsatz(zDate(2016, 3, 10), -59.50, QStringLiteral("Fachbuch"))});
    const unsigned long gesperrt = letzter();
    speichere({umsatz(zDate(2016, 4, 10), -11.90, QStringLiteral("Zeitschrift"))});
    const unsigned long frei = letzter();
    ASSERT_TRUE(KontoGlobal::setFestgeschriebenBis(zDate(2016, 3, 31)));
    // No to the lock question: nothing posted, nothing marked.
    env.ui().queueAnswer(false);
    QString e;
    EXPECT_FALSE(nimm({gesperrt, frei}, 4940, 7, nullptr, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("festgeschriebenen Zeitraum"))) << e.toStdString();
    EXPECT_EQ(buchungen(), 0);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUmsatz WHERE Status<>0")), 0);
    env.ui().queueAnswer(true);
    Uebernahmeergebnis r;
    ASSERT_TRUE(nimm({gesperrt, frei}, 4940, 7, &r, &e)) << e.toStdString();
    ASSERT_EQ(r.gebucht.size(), 2);
    EXPECT_EQ(r.festgeschrieben, 1);
    EXPECT_TRUE(r.meldung.contains(QStringLiteral("Die Buchungen bis zum 31.03.2016 sind bereits festgeschrieben.")));
    EXPECT_TRUE(r.meldung.contains(QStringLiteral("Eine der importierten Buchungen wird deshalb festgeschrieben.")));
    const unsigned long bGesperrt = r.gebucht[0].second, bFrei = r.gebucht[1].second;
    EXPECT_TRUE(KontoGlobal::isFestgeschrieben(bGesperrt));
    // Numbers in one run: the second follows the first.
    EXPECT_EQ(bFrei, bGesperrt + 1);

    // Reset, asked and refused: nothing changes.
    env.ui().queueAnswer(false);
    EXPECT_FALSE(zuruecksetzen(db, {gesperrt, frei}, &e));
    EXPECT_EQ(buchungen(), 2);
    // Yes, and yes to cancelling the locked one: cancelled, the other deleted.
    env.ui().queueAnswer(true);
    env.ui().queueAnswer(true);
    ASSERT_TRUE(zuruecksetzen(db, {gesperrt, frei}, &e)) << e.toStdString();
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Storniert FROM eurVerbucht WHERE Buchungsnummer=%1").arg(bGesperrt)), 1);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Storno<>0")), 1);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer=%1").arg(bFrei)), 0);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT COUNT(*) FROM eurUmsatz WHERE Status=0 AND Buchungsnummer=0")), 2);
    // The locked booking and its cancellation together leave nothing on 1200.
    EXPECT_EQ(KontoGlobal::getSummeKonto(1200, 0, zDate(), zDate()), EuroType());
}

TEST_F(Bank_, GeschlosseneKasseUndStatus) {
    // Cash withdrawn from the bank into the register 1000, then the register closed.
    speichere({umsatz(zDate(2016, 5, 2), -200.0, QStringLiteral("Bargeld"))});
    const unsigned long abhebung = letzter();
    QString e;
    ASSERT_TRUE(nimm({abhebung}, 1000, 0, nullptr, &e)) << e.toStdString();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurKassenabschluss (AbschlussID, Konto, Saldo, GezaehlterSaldo, Datum) VALUES "
                                           "(1, 1000, 200, 200, '2016-05-31 00:00:00')")));
    env.ui().setDefaultAnswer(true);
    EXPECT_FALSE(zuruecksetzen(db, {abhebung}, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("nichts zurückgesetzt"))) << e.toStdString();
    EXPECT_EQ(buchungen(), 1);
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(abhebung)), 1);

    // Not to process: only open ones; an unknown ID refuses all.
    speichere({umsatz(zDate(2016, 6, 1), -1.0, QStringLiteral("Gebuehr"))});
    EXPECT_EQ(nichtVerarbeiten(db, {letzter(), 999}, &e), -1);
    EXPECT_EQ(nichtVerarbeiten(db, {abhebung}, &e), -1);
    EXPECT_EQ(nichtVerarbeiten(db, {letzter()}, &e), 1);
    EXPECT_EQ(statusText(2, 0), QStringLiteral("nicht verarbeiten"));
    EXPECT_EQ(umsaetze(db, true).size(), 0);
    EXPECT_FALSE(nimm({letzter()}, 4930, 0, nullptr, &e));  // not open
    // The year check: a date outside the year becomes state 3, and back.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurUmsatz SET Buchungsdatum='2015-12-31 00:00:00' WHERE UmsatzID=%1").arg(letzter())));
    ASSERT_TRUE(KontoGlobal::chkUmsatzStatus(2016, db));
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(letzter())), 3);
    ASSERT_TRUE(zuruecksetzen(db, {letzter()}, &e));  // a wrong-year transaction keeps its state
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(letzter())), 3);
    ASSERT_TRUE(KontoGlobal::chkUmsatzStatus(2015, db));
    EXPECT_EQ(anzahl(QStringLiteral("SELECT Status FROM eurUmsatz WHERE UmsatzID=%1").arg(letzter())), 0);
}
}  // namespace
