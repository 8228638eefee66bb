// The report lists on small ledgers worked out by hand, the rendering of a
// list (page, CSV, HTML), and the filing period of the advance return with
// its deadlines and the return that credits the special advance payment.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/berichte/listenschreiber.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/fristen.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

using KG = KontoGlobal;

class Berichtslisten : public ::testing::Test {
protected:
    void SetUp() override {
        db = testfall::neuerFall(&kg);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
    }
    unsigned long buche(int art, unsigned long geld, unsigned long gegen, unsigned long key, double betrag, const zDate& d) {
        return testfall::buche(db, art, geld, gegen, key, betrag, d);
    }
    BerichtListe liste(const char* name, const BerichtParameter& p, QString* fehler = nullptr) {
        BerichtListe l;
        const Berichte::BerichtArt* a = Berichte::findeBericht(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        if (a) EXPECT_EQ(a->fuellen(p, &l, fehler), fehler == nullptr) << name;
        return l;
    }
    static BerichtParameter zeitraum(int art, int index) {
        BerichtParameter p;
        p.zeitraum.art = art;
        if (art == 1) p.zeitraum.monat = index;
        if (art == 2) p.zeitraum.quartal = index;
        return p;
    }
    void setzeBeleg(unsigned long nr, const QString& beleg) {
        ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Belegnummer=") + rsDataSource::toSqlStr(beleg) +
                                    QStringLiteral(" WHERE Buchungsnummer=") + rsDataSource::toSqlStr(nr)));
    }
    TestEnv env;
    KontoGlobal* kg = nullptr;
    DBConnection* db = nullptr;
};

TEST_F(Berichtslisten, PeriodsCoverTheirDays) {
    BerichtParameter p = zeitraum(1, 1);
    EXPECT_EQ(p.von(), zDate(2016, 2, 1));
    EXPECT_EQ(p.bis(), zDate(2016, 2, 29)) << "2016 is a leap year";
    EXPECT_EQ(p.zeitraumText(), QStringLiteral("Februar 2016"));
    p = zeitraum(2, 3);
    EXPECT_EQ(p.von(), zDate(2016, 10, 1));
    EXPECT_EQ(p.bis(), zDate(2016, 12, 31));
    p = zeitraum(3, -1);
    EXPECT_EQ(p.zeitraumText(), QStringLiteral("2016"));
    p.zeitraum.art = 4;
    p.zeitraum.frei = rsPeriod(zDate(2016, 3, 5), zDate(2016, 3, 20));
    EXPECT_EQ(p.zeitraumText(), QStringLiteral("05.03.2016 bis 20.03.2016"));
}

TEST_F(Berichtslisten, AFreePeriodStatementStartsFromTheBalanceBeforeIt) {
    // Entered against the order of their dates: the statement is in date order.
    buche(1, 1000, 8400, 5, 119.00, zDate(2016, 3, 1));   // cash +119,00
    buche(1, 1000, 8400, 5, 59.50, zDate(2016, 3, 15));   // cash +59,50
    buche(2, 1000, 4930, 7, 23.80, zDate(2016, 3, 10));   // cash -23,80
    BerichtParameter p;
    p.zeitraum.art = 4;
    p.zeitraum.frei = rsPeriod(zDate(2016, 3, 5), zDate(2016, 3, 31));
    p.vonKonto = 1000;
    const BerichtListe l = liste("kontenabfrage", p);
    // Vortrag 119,00; then -23,80 -> 95,20; +59,50 -> 154,70.
    ASSERT_EQ(l.zeilen.size(), 4);
    EXPECT_TRUE(l.zeilen[0].summe);
    EXPECT_EQ(l.zeilen[0].werte[9].toDouble(), 119.00);
    EXPECT_EQ(l.zeilen[0].werte[1].toDate(), QDate(2016, 3, 4));
    EXPECT_EQ(l.zeilen[1].werte[8].toDouble(), 23.80);
    EXPECT_EQ(l.zeilen[1].werte[9].toDouble(), 95.20);
    EXPECT_EQ(l.zeilen[2].werte[9].toDouble(), 154.70);
    EXPECT_EQ(l.zeilen[3].werte[7].toDouble(), 59.50) << "debit total of the period";
    EXPECT_EQ(l.anzahl(), 2);
}

TEST_F(Berichtslisten, GapsAreNamedInTheSeriesOwnDigits) {
    setzeBeleg(buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 5)), QStringLiteral("2016-0001"));
    setzeBeleg(buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 6)), QStringLiteral("2016-0005"));
    setzeBeleg(buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 7)), QStringLiteral("2016-0005"));
    setzeBeleg(buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 8)), QStringLiteral("A_1"));
    setzeBeleg(buche(2, 1200, 4930, 7, 119.00, zDate(2016, 1, 9)), QStringLiteral("2016-0003"));  // an expense: not listed
    // Written with a space in front it is the same number, though it is
    // listed apart from the other.
    setzeBeleg(buche(1, 1200, 8400, 5, 119.00, zDate(2016, 1, 10)), QStringLiteral(" 2016-0001"));
    BerichtParameter p;
    const BerichtListe l = liste("beleganalyse", p);
    ASSERT_EQ(l.zeilen.size(), 5);
    EXPECT_EQ(l.zeilen[0].werte[0].toString(), QStringLiteral(" 2016-0001"));
    EXPECT_EQ(l.zeilen[0].werte[5].toString(), QStringLiteral("doppelt vergeben"));
    EXPECT_EQ(l.zeilen[1].werte[5].toString(), QStringLiteral("doppelt vergeben"));
    EXPECT_EQ(l.zeilen[2].werte[5].toString(), QStringLiteral("doppelt vergeben; davor fehlen 2016-0002 bis 2016-0004"));
    EXPECT_EQ(l.zeilen[3].werte[5].toString(), QStringLiteral("doppelt vergeben; davor fehlen 2016-0002 bis 2016-0004"));
    EXPECT_EQ(l.zeilen[4].werte[5].toString(), QString());
    // "_" is a character of the number, not a pattern: "A_" finds only A_1.
    p.belegPrefix = QStringLiteral("A_");
    EXPECT_EQ(liste("beleganalyse", p).zeilen.size(), 1);
    p.belegPrefix = QStringLiteral("'; DROP TABLE eurVerbucht; --");
    EXPECT_EQ(liste("beleganalyse", p).zeilen.size(), 0);
    EXPECT_FALSE(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")).isNull()) << "the text stays a literal";
}

TEST_F(Berichtslisten, CancelledExpensesNeverReachAnAnalysis) {
    buche(2, 1200, 4930, 7, 595.00, zDate(2016, 2, 1));                      // 4930: 500,00
    const unsigned long weg = buche(2, 1200, 4930, 7, 1190.00, zDate(2016, 2, 2));  // 4930: 1.000,00, cancelled
    ASSERT_NE(KG::storniereBuchung(weg), 0u);
    BerichtParameter p;
    p.vonKonto = 4930;
    const BerichtListe b = liste("betragsanalyse", p);
    ASSERT_EQ(b.zeilen.size(), 2);
    EXPECT_EQ(b.zeilen[0].werte[0].toDouble(), 500.00);
    EXPECT_EQ(b.zeilen[1].werte[2].toDouble(), 500.00);
    p.vonKonto = 0;
    p.grenze = 410.0_eur;
    const BerichtListe s = liste("sperrgrenzen", p);
    ASSERT_EQ(s.zeilen.size(), 1);
    EXPECT_EQ(s.zeilen[0].werte[4].toDouble(), 500.00);
    p.grenze = 500.0_eur;
    EXPECT_EQ(liste("sperrgrenzen", p).zeilen.size(), 0) << "500,00 is not above a limit of 500,00";
}

TEST_F(Berichtslisten, UnknownChoicesAreRefusedWithAReason) {
    BerichtParameter p;
    QString fehler;
    p.sortierung = QStringLiteral("datum");
    liste("journal", p, &fehler);
    EXPECT_TRUE(fehler.contains(QStringLiteral("nummer, zahlungsdatum und beleg")));
    p.belegart = QStringLiteral("quittung");
    liste("belege", p, &fehler);
    EXPECT_TRUE(fehler.contains(QStringLiteral("rechnung, angebot")));
    EXPECT_EQ(Berichte::findeBericht(QStringLiteral("UStListe2")), Berichte::findeBericht(QStringLiteral("ustliste")));
    EXPECT_EQ(Berichte::findeBericht(QStringLiteral("bilanz")), nullptr);
}

TEST_F(Berichtslisten, TheInventoryReadsTheAssetRegister) {
    // A notebook of 1 500 over 3 years and a desk of 400 over 4 years from
    // 1 July: at the end of 2016 1 000,00 and 400 - 400 x 6/48 = 350,00.
    std::unique_ptr<Kont_> root(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
    const struct {
        const char* name;
        EuroType kosten;
        zDate datum;
        int jahre;
    } anlagen[] = {{"Notebook", 1500.0_eur, zDate(2016, 1, 1), 3}, {"Tisch", 400.0_eur, zDate(2016, 7, 1), 4}};
    int n = 0;
    for (const auto& a : anlagen) {
        const QString e = QStringLiteral("Kont_[M]\\Anl006_[0]\\Anl006a_{%1}\\").arg(++n);
        ASSERT_NE(DatenBase::GetDB(e.chopped(1), true), nullptr);
        ASSERT_TRUE(DatenBase::SetDBVar(e + QStringLiteral("anl6a_Bezeichnung"), DatenTyp(QString::fromUtf8(a.name))));
        ASSERT_TRUE(DatenBase::SetDBVar(e + QStringLiteral("anl6a_Anschaffungskosten"), DatenTyp(a.kosten)));
        ASSERT_TRUE(DatenBase::SetDBVar(e + QStringLiteral("anl6a_Anschaffungsdatum"), DatenTyp(a.datum)));
        ASSERT_TRUE(DatenBase::SetDBVar(e + QStringLiteral("anl6a_Nutzungsdauer"), DatenTyp(a.jahre)));
    }
    const BerichtListe l = liste("inventar", BerichtParameter());
    DatenBase::setRootNode(QStringLiteral("Kont_"), nullptr);
    ASSERT_EQ(l.zeilen.size(), 3);
    EXPECT_EQ(l.zeilen[0].werte[1].toString(), QStringLiteral("Notebook"));
    EXPECT_EQ(l.zeilen[2].werte[4].toDouble(), 1900.00) << "1.500,00 + 400,00";
    EXPECT_EQ(l.zeilen[2].werte[5].toDouble(), 1350.00) << "1.000,00 + 350,00";
}

TEST(BerichtListe, PageCsvAndHtmlShowTheSameCells) {
    BerichtListe l;
    l.titel = QStringLiteral("Probe <1>");
    l.spalte(QStringLiteral("Text"), QStringLiteral("text"), BerichtSpalte::Text, 12);
    l.spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BerichtSpalte::Betrag, 12);
    l.spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BerichtSpalte::Datum, 10);
    l.zeile({QStringLiteral("a;b \"c\""), 1234.5, QDate(2016, 3, 1)});
    l.zeile({QStringLiteral("Summe"), 1234.5, QVariant()}, true);
    EXPECT_EQ(l.csv(), QStringLiteral("Text;Betrag;Datum\n\"a;b \"\"c\"\"\";1.234,50;01.03.2016\nSumme;1.234,50;\n"));
    EXPECT_EQ(l.anzahl(), 1);
    EXPECT_TRUE(l.html(QStringLiteral("A & B")).contains(QStringLiteral("<h2>Probe &lt;1&gt;</h2>")));
    EXPECT_TRUE(l.html(QStringLiteral("A & B")).contains(QStringLiteral("Betrieb: A &amp; B")));
    zPrintString p;
    l.drucke(p);
    EXPECT_TRUE(p.text().contains(QStringLiteral("1.234,50")));
    QByteArray pdf;
    QString fehler;
    ASSERT_TRUE(l.pdf(QString(), &pdf, &fehler)) << fehler.toStdString();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));

    // A long list goes on over pages, as many as its rows need.
    auto seiten = [&](int zeilen) {
        BerichtListe lang = l;
        lang.spalten[1].uebertrag = true;
        for (int i = 0; i < zeilen; ++i) lang.zeile({QStringLiteral("Zeile %1").arg(i), 1.0, QDate(2016, 3, 1)});
        QByteArray d;
        EXPECT_TRUE(lang.pdf(QStringLiteral("Betrieb"), &d, &fehler)) << fehler.toStdString();
        return d.count("/Type /Page\n");
    };
    const int hundert = seiten(100), vierhundert = seiten(400);
    EXPECT_GE(hundert, 2);
    EXPECT_GE(vierhundert, 3 * hundert);
    EXPECT_LE(vierhundert, 5 * hundert);
}

// The writers take the rows one at a time and keep none; what they write
// is byte for byte what a list held whole gave, and the JSON what Qt's own
// serialisation writes (every escape, a key given twice, nulls, the rows
// that wait in a file once they pass a megabyte).
TEST(BerichtListe, WritersTakeRowsAsTheyComeWithTheBytesOfTheWholeList) {
    auto fuellen = [](BerichtListe& l, int zeilen) {
        l.titel = QStringLiteral("Probe");
        l.untertitel = QStringLiteral("2016");
        l.spalte(QStringLiteral("Text"), QStringLiteral("text"), BerichtSpalte::Text, 12);
        l.spalte(QStringLiteral("Nr."), QStringLiteral("nummer"), BerichtSpalte::Zahl, 6);
        l.spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BerichtSpalte::Datum, 10);
        l.spalte(QStringLiteral("Noch einmal"), QStringLiteral("nummer"), BerichtSpalte::Text, 6);
        QString schwierig = QStringLiteral("\"a\\b/ä\u20ac\t\r\n") + QChar(0x01) + QChar(0x7f) + QChar(0xd83d) + QChar(0xde00) + QChar(0xd800);
        l.zeile({QStringLiteral("Summe vorab"), qlonglong(0), QVariant(), QStringLiteral("s")}, true);
        for (int i = 0; i < zeilen; ++i) l.zeile({schwierig + QString::number(i), qlonglong(i) * 1000003, QDate(2016, 3, 1), QVariant()});
    };
    auto schreibe = [&](ListenSchreiber* w, BerichtListe& l, int zeilen, bool streamen) {
        if (streamen) l.schreibeNach(w);
        fuellen(l, zeilen);
        QString fehler;
        EXPECT_TRUE(streamen ? w->beenden(l, &fehler) : w->schreibe(l, &fehler)) << fehler.toStdString();
    };
    for (int zeilen : {0, 3, 12000}) {
        QByteArray gehalten, gestreamt;
        auto nach = [](QByteArray* t) { return [t](const QByteArray& b) { return *t += b, true; }; };
        BerichtListe a, b;
        JsonSchreiber ja(nach(&gehalten), {{"bericht", JsonText::text(QStringLiteral("probe"))}});
        JsonSchreiber jb(nach(&gestreamt), {{"bericht", JsonText::text(QStringLiteral("probe"))}});
        schreibe(&ja, a, zeilen, false);
        schreibe(&jb, b, zeilen, true);
        EXPECT_TRUE(b.zeilen.isEmpty());
        EXPECT_EQ(b.anzahl(), zeilen);
        EXPECT_EQ(gestreamt, gehalten);
        QJsonObject o{{QStringLiteral("bericht"), QStringLiteral("probe")}, {QStringLiteral("titel"), a.titel},
                      {QStringLiteral("untertitel"), a.untertitel}};
        QJsonArray r, s;
        for (const BerichtZeile& z : a.zeilen) {
            QJsonObject e;
            for (int i = 0; i < a.spalten.size(); ++i) {
                const QVariant& v = z.werte.value(i);
                e[a.spalten[i].schluessel] = v.isNull()                               ? QJsonValue()
                                             : a.spalten[i].art == BerichtSpalte::Zahl ? QJsonValue(qint64(v.toLongLong()))
                                                                                      : QJsonValue(a.zelle(z, i));
            }
            (z.summe ? s : r).append(e);
        }
        o[QStringLiteral("zeilen")] = r;
        o[QStringLiteral("summen")] = s;
        EXPECT_EQ(gestreamt, QJsonDocument(o).toJson(QJsonDocument::Indented)) << zeilen;

        QByteArray seite, csv;
        BerichtListe c, d;
        TextSchreiber ts(nach(&seite));
        CsvSchreiber cs(nach(&csv));
        schreibe(&ts, c, zeilen, true);
        schreibe(&cs, d, zeilen, true);
        zPrintString p;
        a.drucke(p);
        EXPECT_EQ(QString::fromUtf8(seite), p.text());
        EXPECT_EQ(QString::fromUtf8(csv), a.csv());
    }
}

// The lists documented as a bare JSON list read as QJsonDocument writes
// one; a headless CSV quotes the columns that ask for it; a figure wider
// than its column is never cut on the page.
TEST(BerichtListe, BareJsonHeadlessCsvAndUncutFigures) {
    auto nach = [](QByteArray* t) { return [t](const QByteArray& b) { return *t += b, true; }; };
    for (int zeilen : {0, 2}) {
        BerichtListe l;
        l.spalte(QStringLiteral("Nr."), QStringLiteral("nummer"), BerichtSpalte::Zahl, 4);
        l.spalte(QStringLiteral("Satz"), QStringLiteral("satz"), BerichtSpalte::Zahl, 6);
        l.spalte(QStringLiteral("Name"), QStringLiteral("name"), BerichtSpalte::Text, 8);
        l.spalte(QStringLiteral("aktiv"), QStringLiteral("aktiv"), BerichtSpalte::Text, 5);
        l.spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BerichtSpalte::Betrag, 8);
        l.spalten[2].zitiert = true;
        QJsonArray erwartet;
        for (int i = 0; i < zeilen; ++i) {
            l.zeile({qlonglong(i), i ? 19.0 : 7.5, QStringLiteral("a\"b"), bool(i), 1234567.89});
            erwartet.append(QJsonObject{{QStringLiteral("nummer"), i}, {QStringLiteral("satz"), i ? 19.0 : 7.5}, {QStringLiteral("name"), QStringLiteral("a\"b")},
                                        {QStringLiteral("aktiv"), bool(i)}, {QStringLiteral("betrag"), 1234567.89}});
        }
        l.zeile({QVariant(), QVariant(), QStringLiteral("Summe"), QVariant(), 0.0}, true);
        QByteArray json, csv, seite;
        QString fehler;
        EXPECT_TRUE(JsonSchreiber::nurZeilen(nach(&json))->schreibe(l, &fehler));
        EXPECT_EQ(json, QJsonDocument(erwartet).toJson(QJsonDocument::Indented)) << "totals are left out";
        CsvSchreiber(nach(&csv), false).schreibe(l, &fehler);
        TextSchreiber(nach(&seite)).schreibe(l, &fehler);
        if (zeilen == 0) continue;
        EXPECT_TRUE(csv.startsWith("0;7,50;\"a\"\"b\";nein;1.234.567,89\n1;19,00;\"a\"\"b\";ja;")) << csv.constData();
        EXPECT_TRUE(seite.startsWith("Nr.   Satz Name     aktiv   Betrag\n")) << seite.constData();
        EXPECT_TRUE(seite.contains("   1  19,00 a\"b      ja    1.234.567,89\n")) << seite.constData();
    }
}

TEST_F(Berichtslisten, TheFilingPeriodDecidesTheReturnWithTheSpecialAdvancePayment) {
    // Without a filing period December and the fourth quarter both credit it.
    EXPECT_TRUE(Anmeldung::mitSondervorauszahlung(1, -1, 11, db));
    EXPECT_TRUE(Anmeldung::mitSondervorauszahlung(2, 3, -1, db));
    EXPECT_FALSE(Anmeldung::mitSondervorauszahlung(1, -1, 10, db));
    Anmeldung::setZeitraum(Anmeldung::Zeitraum::Monat, db);
    EXPECT_TRUE(Anmeldung::mitSondervorauszahlung(1, -1, 11, db));
    EXPECT_FALSE(Anmeldung::mitSondervorauszahlung(2, 3, -1, db)) << "a monthly filer files no fourth quarter";
    EXPECT_TRUE(Anmeldung::zeitraumHinweis(2, db).contains(QStringLiteral("monatlich")));
    EXPECT_EQ(Anmeldung::zeitraumHinweis(1, db), QString());
    Anmeldung::setZeitraum(Anmeldung::Zeitraum::Quartal, db);
    EXPECT_FALSE(Anmeldung::mitSondervorauszahlung(1, -1, 11, db));
    EXPECT_TRUE(Anmeldung::mitSondervorauszahlung(2, 3, -1, db));
    EXPECT_EQ(Anmeldung::zeitraum(db), Anmeldung::Zeitraum::Quartal);
    EXPECT_TRUE(Anmeldung::sondervorauszahlungHinweis(true, db).contains(QStringLiteral("§ 47 UStDV")));
    EXPECT_EQ(Anmeldung::sondervorauszahlungHinweis(false, db), QString());
    // What is due in mid-July of the year: the two quarters that have ended.
    const QList<Fristen::Termin> t = Fristen::termine(kg->getSlot(), zDate(2016, 7, 15));
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[1].was, QStringLiteral("USt-Voranmeldung 2. Quartal 2016"));
    EXPECT_EQ(t[1].frist, zDate(2016, 7, 11)) << "10.07.2016 is a Sunday";
    EXPECT_EQ(Fristen::termine(kg->getSlot(), zDate(2017, 1, 5)).size(), 6) << "four quarters, the annual VAT return and the EÜR";

    // Deadlines: the tenth after the period, a month later with the
    // extension, then the next working day.
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 0, false), zDate(2016, 2, 10));
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 11, false), zDate(2017, 1, 10));
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 11, true), zDate(2017, 2, 10));
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 2, 1, -1, true), zDate(2016, 8, 10));
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 2, false), zDate(2016, 4, 11)) << "10.04.2016 is a Sunday";
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 7, true), zDate(2016, 10, 10)) << "August with the extension: a Monday";
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 8, false), zDate(2016, 10, 10)) << "September: 10.10.2016 is a Monday";
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 6, true), zDate(2016, 9, 12)) << "July with the extension: Saturday 10.09.";
    // The extension first, then the shift: November with it is 10.01.2017, a Tuesday.
    EXPECT_EQ(Anmeldung::abgabefrist(2016, 1, -1, 10, true), zDate(2017, 1, 10));
    // Holidays: Easter 2016 was 27 March, 2011 on 24 April (Easter Monday 25.04.),
    // Ascension 2018 on 10 May; Christmas 2011 ran Sunday 25 to Monday 26 December.
    EXPECT_EQ(Anmeldung::naechsterWerktag(zDate(2016, 3, 25)), zDate(2016, 3, 29)) << "Good Friday to Easter Monday";
    EXPECT_EQ(Anmeldung::naechsterWerktag(zDate(2011, 4, 23)), zDate(2011, 4, 26));
    EXPECT_EQ(Anmeldung::abgabefrist(2018, 1, -1, 3, false), zDate(2018, 5, 11)) << "April 2018: 10 May is Ascension";
    EXPECT_EQ(Anmeldung::naechsterWerktag(zDate(2011, 12, 24)), zDate(2011, 12, 27));
    EXPECT_EQ(Anmeldung::naechsterWerktag(zDate(2016, 5, 14)), zDate(2016, 5, 17)) << "Whit Monday 16.05.2016";
    EXPECT_EQ(Anmeldung::naechsterWerktag(zDate(2016, 12, 31)), zDate(2017, 1, 2)) << "Saturday, Sunday, New Year on Sunday";
    EXPECT_FALSE(Anmeldung::bundesweiterFeiertag(zDate(2016, 1, 6))) << "Epiphany is a holiday of three states only";
    EXPECT_TRUE(Anmeldung::bundesweiterFeiertag(zDate(2016, 10, 3)));
    EXPECT_FALSE(Anmeldung::abgabefrist(2016, 3, -1, -1, false).isValid());
    // The annual returns: 31 May up to the year 2017, 31 July from 2018.
    EXPECT_EQ(Fristen::jahresfrist(2016), zDate(2017, 5, 31));
    EXPECT_EQ(Fristen::jahresfrist(2014), zDate(2015, 6, 1)) << "31.05.2015 is a Sunday";
    EXPECT_EQ(Fristen::jahresfrist(2018), zDate(2019, 7, 31));
    EXPECT_FALSE(Anmeldung::dauerfrist(db));
    Anmeldung::setDauerfrist(true, db);
    EXPECT_TRUE(Anmeldung::dauerfrist(db));
}

}  // namespace
