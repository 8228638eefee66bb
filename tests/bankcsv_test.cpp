// The CSV reader of bank downloads: the Sparkasse CSV-CAMT layout in
// Windows-1252, the generic layout mapped by the user, and refusals.
#include "kontbaum/bank/bank.h"
#include "support/testenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
using namespace Bank;
using BuchungenCSV::Zeichensatz;

QByteArray datei(const char* name) {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

CsvLayout layout(const QString& name, const QString& spalten = QString()) {
    CsvLayout l;
    QString e;
    EXPECT_TRUE(csvLayout(name, spalten, &l, &e)) << e.toStdString();
    return l;
}

TEST(BankCsv, SparkasseInWindows1252) {
    const QByteArray bytes = datei("sparkasse_2016-06.csv");
    EXPECT_EQ(erkenneFormat(bytes), Format::Csv);
    QList<Auszug> l;
    QString e;
    ASSERT_TRUE(leseCsv(bytes, layout(QStringLiteral("sparkasse")), Zeichensatz::Automatisch, &l, &e)) << e.toStdString();
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l[0].iban, QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(l[0].vorgemerkt, 1);
    ASSERT_EQ(l[0].umsaetze.size(), 3);  // the identical pair is kept as two
    const Umsatz& u = l[0].umsaetze[0];
    EXPECT_EQ(u.buchungsdatum, zDate(2016, 6, 2));  // TT.MM.JJ of this century
    EXPECT_DOUBLE_EQ(u.betrag.alsDouble(), 1190.0);      // "1.190,00"
    EXPECT_EQ(u.name, QStringLiteral("Jörg Weiß"));
    EXPECT_EQ(u.buchungstext(), QStringLiteral("Honorar Mai; Projekt \"Größe\""));  // ";" and quotes inside quotes
    EXPECT_EQ(u.referenz, QStringLiteral("E2E-77"));
    EXPECT_EQ(u.bic, QStringLiteral("BYLADEM1001"));
    EXPECT_DOUBLE_EQ(l[0].umsaetze[1].betrag.alsDouble(), -50.0);
    EXPECT_EQ(l[0].umsaetze[1].name, QStringLiteral("Aral Süd"));
    // Recognised from its header alone, it reads the same.
    QList<Auszug> erkannt;
    ASSERT_TRUE(leseCsv(bytes, CsvLayout(), Zeichensatz::Automatisch, &erkannt, &e)) << e.toStdString();
    EXPECT_EQ(erkannt[0].umsaetze.size(), 3);
    EXPECT_EQ(erkannt[0].umsaetze[0].name, QStringLiteral("Jörg Weiß"));
    // Read as UTF-8 the Windows-1252 bytes are refused, not garbled.
    EXPECT_FALSE(leseCsv(bytes, layout(QStringLiteral("sparkasse")), Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(l.isEmpty());
}

TEST(BankCsv, GenerischMitSollUndHaben) {
    const CsvLayout g = layout(QStringLiteral("generisch"), QStringLiteral("datum=1,name=2,zweck=3,soll=4,haben=5,iban=6"));
    QList<Auszug> l;
    QString e;
    ASSERT_TRUE(leseCsv(datei("generisch_2016-09.csv"), g, Zeichensatz::Automatisch, &l, &e)) << e.toStdString();
    ASSERT_EQ(l[0].umsaetze.size(), 2);
    EXPECT_DOUBLE_EQ(l[0].umsaetze[0].betrag.alsDouble(), 595.0);   // credit column
    EXPECT_DOUBLE_EQ(l[0].umsaetze[1].betrag.alsDouble(), -23.80);  // debit column
    EXPECT_EQ(l[0].umsaetze[1].name, QStringLiteral("Bürobedarf Ost"));
    EXPECT_EQ(l[0].umsaetze[1].iban, QStringLiteral("DE44500105175407324931"));
    EXPECT_TRUE(l[0].iban.isEmpty());  // the file does not name its account

    // An incomplete or unknown mapping is refused before reading.
    CsvLayout x;
    EXPECT_FALSE(csvLayout(QStringLiteral("generisch"), QStringLiteral("datum=1"), &x, &e));
    EXPECT_FALSE(csvLayout(QStringLiteral("generisch"), QStringLiteral("datum=1,betrag=,kopf=x"), &x, &e));
    EXPECT_FALSE(csvLayout(QStringLiteral("hausbank"), QString(), &x, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("sparkasse")));
}

// The header is found by its names, or at the line an editor shows: blank
// lines and account lines above it never cost a transaction.
TEST(BankCsv, KopfzeileNachNamenOderEditorzeile) {
    const QByteArray datei = "Kontoauszug\n\n\nZeitraum: Januar\nDatum;Betrag;Zweck\n02.01.2016;10,00;neuester\n01.01.2016;5,00;a\n";
    for (const QString& spalten : {QStringLiteral("datum=Datum,betrag=Betrag,zweck=Zweck"), QStringLiteral("datum=1,betrag=2,zweck=3,kopf=5")}) {
        QList<Auszug> l;
        QString e;
        ASSERT_TRUE(leseCsv(datei, layout(QStringLiteral("generisch"), spalten), Zeichensatz::Utf8, &l, &e)) << e.toStdString();
        ASSERT_EQ(l[0].umsaetze.size(), 2) << spalten.toStdString();
        EXPECT_EQ(l[0].umsaetze[0].buchungstext(), QStringLiteral("neuester"));
    }
    // Without a header line the first row is a transaction, not a header.
    QList<Auszug> l;
    QString e;
    ASSERT_TRUE(leseCsv("02.01.2016;10,00;x\n", layout(QStringLiteral("generisch"), QStringLiteral("datum=1,betrag=2")), Zeichensatz::Utf8, &l, &e));
    EXPECT_EQ(l[0].umsaetze.size(), 1);
    // Names the file does not have are refused, naming what was looked for.
    EXPECT_FALSE(leseCsv(datei, layout(QStringLiteral("generisch"), QStringLiteral("datum=Buchungstag,betrag=Betrag")), Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Buchungstag"))) << e.toStdString();
}

TEST(BankCsv, DefekteZeilenMitNummer) {
    const CsvLayout g = layout(QStringLiteral("generisch"), QStringLiteral("datum=1,betrag=2,zweck=3"));
    QList<Auszug> l;
    QString e;
    EXPECT_FALSE(leseCsv("Datum;Betrag;Zweck\n01.09.2016;10,00;a\n31.09.2016;5,00;b\n", g, Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.startsWith(QStringLiteral("Zeile 3:"))) << e.toStdString();
    EXPECT_TRUE(l.isEmpty());
    EXPECT_FALSE(leseCsv("Datum;Betrag;Zweck\n01.09.2016;zehn;a\n", g, Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("zehn")));
    EXPECT_FALSE(leseCsv("Datum;Betrag;Zweck\n01.09.2016;\"10,00;a\n", g, Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Anführungszeichen")));
    // A Sparkasse layout on another bank's file names what it misses.
    EXPECT_FALSE(leseCsv("Datum;Betrag\n01.09.2016;1,00\n", layout(QStringLiteral("sparkasse")), Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Buchungstag")));
}
// Each bank's export as its layout describes it, recognised from the header
// alone (the files carry no hint in their names the reader could use): the
// own account, every amount, date, counterpart (a debit's payee, a
// credit's payer) and purpose, the pending and closing rows.
TEST(BankCsv, JedeBankAmKopfErkannt) {
    TestEnv env;  // the reference database with the layout table
    struct Zeile {
        zDate datum;
        qint64 cent;
        const char* name;
        const char* zweck;
        const char* iban;
    };
    struct Fall {
        const char* datei;
        const char* layout;
        const char* eigenes;
        QList<Zeile> zeilen;
        int vorgemerkt, uebersprungen;
    };
    const char* weber = "DE02120300000000202051";
    const char* haus = "DE12500105170648489890";
    const char* eigen = "DE89370400440532013000";
    const QList<Fall> faelle = {
        {"sparkasse-mt940.csv", "sparkasse-mt940", "",
         {{zDate(2016, 1, 4), 238000, "Weber KG", "EREF+RE-2016-0001 SVWZ+Rechnung RE-2016-0001", ""},
          {zDate(2016, 1, 5), -85000, "Haus GmbH", "Miete Januar Büro", ""}}, 1, 0},
        {"dkb.csv", "dkb", eigen,
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", haus}}, 1, 0},
        {"dkb-alt.csv", "dkb-alt", eigen,
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", haus}}, 0, 1},
        {"ing.csv", "ing", eigen,
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", ""},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", ""}}, 0, 0},
        {"commerzbank.csv", "commerzbank", eigen,
         {{zDate(2016, 1, 28), 238000, "", "Weber KG RE-2016-0001 Beratung Januar End-to-End-Ref.: NOTPROVIDED", ""},
          {zDate(2016, 1, 4), -85050, "", "Haus GmbH Miete Januar Büro Mandatsref: M-17", ""}}, 0, 0},
        {"volksbank.csv", "volksbank", eigen,
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "EREF: MIETE-2016-01 MREF: M-17 Miete Januar Büro", haus}}, 0, 0},
        {"deutschebank.csv", "deutschebank", "",
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", haus}}, 0, 1},
        {"comdirect.csv", "comdirect", "",
         {{zDate(2016, 1, 28), 238000, "", "Auftraggeber: Weber KG Buchungstext: RE-2016-0001 Beratung Januar Ref. 3X2C", ""},
          {zDate(2016, 1, 4), -85000, "", "Auftraggeber: Haus GmbH Buchungstext: Miete Januar Büro Ref. 9Z1A", ""}}, 0, 1},
        {"n26.csv", "n26", "",
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro, Hauptstr. 1", haus}}, 0, 0},
        {"postbank.csv", "postbank", "",
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", haus}}, 0, 1},
        {"postbank-alt.csv", "postbank-alt", "",
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", ""},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", ""}}, 0, 0},
        {"consorsbank.csv", "consorsbank", "",
         {{zDate(2016, 1, 28), 238000, "Weber KG", "RE-2016-0001 Beratung Januar", weber},
          {zDate(2016, 1, 4), -85000, "Haus GmbH", "Miete Januar Büro", haus}}, 0, 0},
    };
    // Records the skipped rows besides the statements.
    struct Sammler : AuszugSammler {
        using AuszugSammler::AuszugSammler;
        void uebersprungen(int, const QString&) override { ++n; }
        int n = 0;
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.datei);
        QFile d(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/csv/") + QLatin1String(f.datei));
        ASSERT_TRUE(d.open(QIODevice::ReadOnly));
        EXPECT_EQ(erkenneFormat(d.peek(4096)), Format::Csv);
        QList<Auszug> l;
        Sammler s(&l);
        QString e;
        ASSERT_TRUE(leseCsv(&d, CsvLayout(), Zeichensatz::Automatisch, &s, &e)) << e.toStdString();
        ASSERT_EQ(l.size(), 1);
        EXPECT_EQ(l[0].iban, QLatin1String(f.eigenes));
        EXPECT_EQ(l[0].vorgemerkt, f.vorgemerkt);
        EXPECT_EQ(s.n, f.uebersprungen);
        ASSERT_EQ(l[0].umsaetze.size(), f.zeilen.size());
        for (int i = 0; i < f.zeilen.size(); ++i) {
            const Umsatz& u = l[0].umsaetze[i];
            EXPECT_EQ(u.buchungsdatum, f.zeilen[i].datum);
            EXPECT_EQ(u.betrag.cent(), f.zeilen[i].cent);
            EXPECT_EQ(u.name, QString::fromUtf8(f.zeilen[i].name));
            EXPECT_EQ(u.buchungstext(), QString::fromUtf8(f.zeilen[i].zweck));
            EXPECT_EQ(u.iban, QLatin1String(f.zeilen[i].iban));
        }
        // The layout named by hand reads the same.
        CsvLayout named;
        ASSERT_TRUE(csvLayout(QLatin1String(f.layout), QString(), &named, &e));
        d.seek(0);
        EXPECT_TRUE(leseCsv(&d, named, Zeichensatz::Automatisch, &s, &e)) << e.toStdString();
    }
    // A file no layout fits is refused with its columns.
    QList<Auszug> l;
    QString e;
    EXPECT_FALSE(leseCsv("Datum;Wert;Text\n01.01.2016;1,00;x\n", CsvLayout(), Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Ihre Spalten: Datum; Wert; Text"))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("generisch")));
    // Amounts that are no amounts in the bank's notation are refused.
    EXPECT_FALSE(leseCsv("Buchung;Valuta;Auftraggeber/Empfänger;Buchungstext;Verwendungszweck;Betrag;Währung\n01.01.2016;;A;B;C;1.00,0;EUR\n",
                         CsvLayout(), Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("1.00,0"))) << e.toStdString();
}
}  // namespace
