// The recapitulative statement from the command line: which bookings may
// carry a customer's VAT number (`book` and `import` alike), the periods
// `zm` takes, and the whole year only where the law allows it. Every
// refusal leaves the case file as it was and prints nothing on stdout.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

QStringList buchung(const QString& fall, const char* art, const char* datum, const char* betrag, const char* gegen, const char* ustid,
                    const char* zm) {
    QStringList a = {QStringLiteral("book"), fall, QStringLiteral("--kind"), QLatin1String(art), QStringLiteral("--date"), QLatin1String(datum),
                     QStringLiteral("--amount"), QLatin1String(betrag), QStringLiteral("--account"), QStringLiteral("1200"),
                     QStringLiteral("--counter"), QLatin1String(gegen)};
    if (ustid) a << QStringLiteral("--ustid") << QString::fromUtf8(ustid) << QStringLiteral("--zm") << QLatin1String(zm);
    return a;
}

// A refusal: its exit status, the reason on stderr, nothing on stdout and
// the case file byte for byte as before.
void abgelehnt(const QString& fall, const QStringList& args, int rc, const QString& grund) {
    const QByteArray vorher = hashOf(fall);
    const Lauf l = dalvo(args);
    EXPECT_EQ(l.rc, rc) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
    EXPECT_TRUE(l.err.contains(grund)) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
    EXPECT_EQ(l.out, QString()) << args.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(hashOf(fall), vorher) << args.join(QLatin1Char(' ')).toStdString();
}

}  // namespace

TEST(CliZm, BookTakesVatNumbersOnlyOnReportableRevenue) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QString keinErloes = QStringLiteral("ist kein solcher Erlös");
    // A purchase from an Austrian supplier (intra-Community acquisition),
    // a domestic sale, a § 13b purchase: none is the business's own EU revenue.
    abgelehnt(fall, buchung(fall, "ausgabe", "10.02.2016", "500", "3425", "ATU12345678", "3"), 1, keinErloes);
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "1190", "8400", "FR12345678901", "3"), 1, keinErloes);
    abgelehnt(fall, buchung(fall, "ausgabe", "10.02.2016", "400", "3123", "FR12345678901", "1"), 1, keinErloes);
    // The number itself.
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "DE123456789", "3"), 1, QStringLiteral("ist eine deutsche"));
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "GR123456789", "3"), 1, QStringLiteral("„EL“"));
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "CHE123456789", "3"), 1,
              QStringLiteral("beginnt nicht mit dem Länderkennzeichen eines anderen EU-Mitgliedstaats"));
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "ATU1234567", "3"), 1,
              QStringLiteral("hat nicht den Aufbau einer USt-IdNr. aus Österreich"));
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "NL123456789B1", "3"), 1,
              QStringLiteral("aus Niederlande: nach „NL“ folgen 9 Ziffern, „B“ und 2 Ziffern"));
    // The kind must be the one the account's revenue is reported as.
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "ATU12345678", "1"), 1,
              QStringLiteral("Die ZM-Art 1 (S, sonstige Leistung) passt nicht zum Gegenkonto 8125"));
    abgelehnt(fall, buchung(fall, "einnahme", "10.02.2016", "100", "8125", "ATU12345678", "4"), 2, QString());

    ASSERT_TRUE(sqlAusfuehren(fall, "UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer=8130"));
    struct Gut {
        const char* datum;
        const char* betrag;
        const char* konto;
        const char* ustid;
        const char* zm;
    };
    const Gut gute[] = {{"03.02.2016", "1000,00", "8125", "ATU12345678", "3"}, {"04.02.2016", "700,40", "8130", "EL123456789", "2"},
                        {"05.02.2016", "300,99", "8336", "FR12345678901", "1"}, {"06.02.2016", "250", "8125", "nl123456789b01", "3"},
                        {"07.05.2016", "80", "8125", "BE0123456789", "3"},    {"08.05.2016", "90", "8336", "GB123456789", "1"},
                        {"09.05.2016", "60", "8125", "ESX1234567X", "3"},     {"10.05.2016", "40", "8336", "SE123456789701", "1"}};
    for (const Gut& g : gute) {
        const Lauf l = dalvo(buchung(fall, "einnahme", g.datum, g.betrag, g.konto, g.ustid, g.zm));
        EXPECT_EQ(l.rc, 0) << g.ustid << ": " << l.err.toStdString();
    }
    // A refund to the Austrian customer reduces his line.
    ASSERT_EQ(dalvo(buchung(fall, "erstattung", "15.02.2016", "200", "8125", "ATU12345678", "3")).rc, 0);

    const QString q1 = QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,800,L\nEL,123456789,700,D\n"
                                      "FR,12345678901,300,S\nNL,123456789B01,250,L");
    EXPECT_EQ(dalvo({QStringLiteral("zm"), fall, QStringLiteral("--quarter"), QStringLiteral("1"), QStringLiteral("--csv")}).out, q1);
    const QString q2 = QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nBE,0123456789,80,L\nES,X1234567X,60,L\n"
                                      "GB,123456789,90,S\nSE,123456789701,40,S");
    EXPECT_EQ(dalvo({QStringLiteral("zm"), fall, QStringLiteral("--quarter"), QStringLiteral("2"), QStringLiteral("--csv")}).out, q2);
}

TEST(CliZm, ImportTakesVatNumbersOnlyOnReportableRevenue) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QString kopf = QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;"
                                        "Gegenkontobezeichnung;Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;"
                                        "Belegnummer;Buchungsdatum;UStID;Umsatzart\n");
    const QString lieferung = QStringLiteral("1;1;10.02.2016;Lieferung Wien;8125;;1200;;0;1000,00;25;0,00;;RE-1;10.02.2016;ATU12345678;3\n");
    auto datei = [&](const char* name, const QString& zeilen) {
        const QString pfad = dir.filePath(QLatin1String(name));
        QFile f(pfad);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((kopf + zeilen).toUtf8());
        return pfad;
    };
    const QString einkauf =
        datei("einkauf.csv", lieferung + QStringLiteral("2;1;11.02.2016;Einkauf Wien;3425;;1200;;500,00;0;19;19,00;;ER-1;11.02.2016;ATU12345678;3\n"));
    abgelehnt(fall, {QStringLiteral("import"), fall, einkauf}, 1, QStringLiteral("Zeile 3: Eine USt-IdNr. mit ZM-Art gehört nur zu Erlösen"));
    const QString griechisch =
        datei("griechisch.csv", QStringLiteral("1;1;10.02.2016;Lieferung Athen;8125;;1200;;0;1000,00;25;0,00;;RE-2;10.02.2016;GR123456789;3\n"));
    abgelehnt(fall, {QStringLiteral("import"), fall, griechisch}, 1, QStringLiteral("Zeile 2: Die USt-IdNr. „GR123456789“"));
    const QString deutsch =
        datei("deutsch.csv", QStringLiteral("1;1;10.02.2016;Lieferung Köln;8125;;1200;;0;1000,00;25;0,00;;RE-3;10.02.2016;DE123456789;3\n"));
    abgelehnt(fall, {QStringLiteral("import"), fall, deutsch}, 1, QStringLiteral("Zeile 2: Die USt-IdNr. „DE123456789“ ist eine deutsche"));

    const Lauf gut = dalvo({QStringLiteral("import"), fall, datei("gut.csv", lieferung)});
    ASSERT_EQ(gut.rc, 0) << gut.err.toStdString();
    EXPECT_EQ(dalvo({QStringLiteral("zm"), fall, QStringLiteral("--month"), QStringLiteral("2"), QStringLiteral("--csv")}).out,
              QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,1000,L"));
}

TEST(CliZm, PeriodsAndTheAnnualStatement) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_EQ(dalvo(buchung(fall, "einnahme", "10.02.2016", "1000", "8125", "ATU12345678", "3")).rc, 0);
    ASSERT_EQ(dalvo(buchung(fall, "einnahme", "10.11.2016", "2000", "8336", "FR12345678901", "1")).rc, 0);
    auto zm = [&](const QStringList& periode) {
        return dalvo(QStringList{QStringLiteral("zm"), fall} + periode + QStringList{QStringLiteral("--csv")});
    };
    // --quarter Q is period code Q-1, --month M is code M+3.
    for (int q = 1; q <= 4; ++q) {
        const Lauf a = zm({QStringLiteral("--quarter"), QString::number(q)});
        EXPECT_EQ(a.rc, 0);
        EXPECT_EQ(a.out, zm({QStringLiteral("--period"), QString::number(q - 1)}).out) << q;
    }
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(zm({QStringLiteral("--month"), QString::number(m)}).out, zm({QStringLiteral("--period"), QString::number(m + 3)}).out) << m;
    EXPECT_EQ(zm({QStringLiteral("--month"), QStringLiteral("2")}).out,
              QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,1000,L"));
    EXPECT_EQ(zm({QStringLiteral("--quarter"), QStringLiteral("4")}).out,
              QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nFR,12345678901,2000,S"));

    const QString z = QStringLiteral("zm");
    const QStringList csv = {QStringLiteral("--csv")};
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--quarter"), QStringLiteral("5")} + csv, 2, QStringLiteral("zm"));
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--month"), QStringLiteral("0")} + csv, 2, QStringLiteral("zm"));
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--quarter"), QStringLiteral("1"), QStringLiteral("--month"), QStringLiteral("2")} + csv,
              2, QStringLiteral("Genau eine Zeitraumangabe"));
    abgelehnt(fall, QStringList{z, fall} + csv, 2, QStringLiteral("Genau eine Zeitraumangabe"));

    // The year: refused until the case declares annual filing, by either flag.
    const QString grund = QStringLiteral("nur erlaubt, wenn das Finanzamt von den Umsatzsteuer-Voranmeldungen befreit hat");
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--period"), QStringLiteral("-1")} + csv, 1, grund);
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--year"), QStringLiteral("--xml")}, 1, grund);
    abgelehnt(fall, {QStringLiteral("einstellungen"), fall, QStringLiteral("--zm-jahresmeldung"), QStringLiteral("vielleicht")}, 2,
              QStringLiteral("ja oder nein"));
    ASSERT_EQ(dalvo({QStringLiteral("einstellungen"), fall, QStringLiteral("--zm-jahresmeldung"), QStringLiteral("ja")}).rc, 0);
    EXPECT_TRUE(dalvo({QStringLiteral("einstellungen"), fall}).out.startsWith(QStringLiteral("ustpflicht: ja\nzm-jahresmeldung: ja\n")));
    const QString jahr = QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\nAT,U12345678,1000,L\nFR,12345678901,2000,S");
    EXPECT_EQ(zm({QStringLiteral("--year")}).out, jahr);
    EXPECT_EQ(zm({QStringLiteral("--period"), QStringLiteral("-1")}).out, jahr);
    // Over 15 000 euros of EU revenue the declaration no longer helps.
    ASSERT_EQ(dalvo(buchung(fall, "einnahme", "10.12.2016", "12000,01", "8125", "ATU12345678", "3")).rc, 0);
    abgelehnt(fall, QStringList{z, fall, QStringLiteral("--year")} + csv, 1,
              QStringLiteral("betragen 15.000,01 Euro und übersteigen die Grenze von 15.000 Euro"));
}
