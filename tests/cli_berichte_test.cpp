// The report lists from the command line: a small ledger whose figures are
// worked out by hand below, read back through "dalvo bericht" as JSON, CSV,
// page and PDF, and the mistakes a user makes with the command.
//
// The ledger (SKR03, 2016, liable to VAT):
//   1  15.03. income  1.190,00 gross 1200/8400 key 5, voucher RE-001: 8400 H 1.000,00, 1776 H 190,00
//   2  20.03. income    595,00 gross 1200/8400 key 5, voucher RE-003: 8400 H   500,00, 1776 H  95,00
//   3  02.04. expense   595,00 gross 1200/4930 key 7 "Drucker":       4930 S   500,00, 1576 S  95,00
//   4  10.04. expense   119,00 gross 1200/4930 key 7, cancelled by 5: never counts outside the journal
//   6  05.05. income  2.000,00 1200/8125 to FR12345678901 (ZM kind 3, a supply)
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList buchung(const QString& fall, const char* art, const char* datum, const char* betrag, const char* gegen, const char* key,
                    const char* beleg = nullptr) {
    QStringList a = {QStringLiteral("book"), fall, QStringLiteral("--kind"), QLatin1String(art), QStringLiteral("--date"), QLatin1String(datum),
                     QStringLiteral("--amount"), QLatin1String(betrag), QStringLiteral("--account"), QStringLiteral("1200"),
                     QStringLiteral("--counter"), QLatin1String(gegen)};
    if (key) a << QStringLiteral("--key") << QLatin1String(key);
    if (beleg) a << QStringLiteral("--voucher") << QLatin1String(beleg);
    return a;
}

class CliBerichte : public ::testing::Test {
protected:
    // The ledger is posted once; each test reads its own copy.
    static void SetUpTestSuite() {
        vorlagenDir = new QTemporaryDir;
        vorlage = vorlagenDir->filePath(QStringLiteral("vorlage.dalvo"));
        ASSERT_EQ(dalvo({QStringLiteral("new"), vorlage, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
        for (const QStringList& b : {buchung(vorlage, "einnahme", "15.03.2016", "1.190,00", "8400", "5", "RE-001"),
                                     buchung(vorlage, "einnahme", "20.03.2016", "595,00", "8400", "5", "RE-003"),
                                     buchung(vorlage, "ausgabe", "02.04.2016", "595,00", "4930", "7") << QStringLiteral("--yes"),
                                     buchung(vorlage, "ausgabe", "10.04.2016", "119,00", "4930", "7")}) {
            const Lauf l = dalvo(b);
            ASSERT_EQ(l.rc, 0) << l.err.toStdString();
        }
        ASSERT_EQ(dalvo({QStringLiteral("cancel"), vorlage, QStringLiteral("4")}).out.trimmed(), QStringLiteral("5"));
        const Lauf zm = dalvo(buchung(vorlage, "einnahme", "05.05.2016", "2000", "8125", nullptr)
                              << QStringLiteral("--ustid") << QStringLiteral("FR12345678901") << QStringLiteral("--zm") << QStringLiteral("3"));
        ASSERT_EQ(zm.rc, 0) << zm.err.toStdString();
    }
    static void TearDownTestSuite() {
        delete vorlagenDir;
        vorlagenDir = nullptr;
    }
    void SetUp() override {
        fall = dir.filePath(QStringLiteral("fall.dalvo"));
        ASSERT_TRUE(QFile::copy(vorlage, fall));
    }

    QJsonObject json(const QStringList& mehr) {
        const Lauf l = dalvo(QStringList{QStringLiteral("bericht"), fall} + mehr + QStringList{QStringLiteral("--json")});
        EXPECT_EQ(l.rc, 0) << l.err.toStdString();
        return QJsonDocument::fromJson(l.out.toUtf8()).object();
    }

    // A refusal or usage error: its exit status, the reason on stderr,
    // nothing on stdout and the case file byte for byte as before.
    void abgelehnt(const QStringList& args, int rc, const QString& grund) {
        const QByteArray vorher = hashOf(fall);
        const Lauf l = dalvo(args);
        EXPECT_EQ(l.rc, rc) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(grund)) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        EXPECT_EQ(l.out, QString());
        EXPECT_EQ(hashOf(fall), vorher);
    }

    static QTemporaryDir* vorlagenDir;
    static QString vorlage;
    QTemporaryDir dir;
    QString fall;
};
QTemporaryDir* CliBerichte::vorlagenDir = nullptr;
QString CliBerichte::vorlage;

TEST_F(CliBerichte, TheAccountStatementCarriesTheBalanceIntoThePeriodAndLeavesOutTheCancelledPair) {
    // Before April 1200 received 1.190,00 + 595,00 = 1.785,00; in the
    // second quarter it pays 595,00 (booking 3): 1.785,00 - 595,00 = 1.190,00.
    const QJsonObject o = json({QStringLiteral("kontenabfrage"), QStringLiteral("--konto"), QStringLiteral("1200"), QStringLiteral("--quarter"),
                                QStringLiteral("2")});
    EXPECT_EQ(o.value(QStringLiteral("von")).toString(), QStringLiteral("01.04.2016"));
    EXPECT_EQ(o.value(QStringLiteral("bis")).toString(), QStringLiteral("30.06.2016"));
    const QJsonArray z = o.value(QStringLiteral("zeilen")).toArray();
    ASSERT_EQ(z.size(), 2) << "booking 3 and the ZM income of May; 4 and its cancellation 5 stay out";
    EXPECT_EQ(z[0].toObject().value(QStringLiteral("buchungsnummer")).toInt(), 3);
    EXPECT_EQ(z[0].toObject().value(QStringLiteral("haben")).toDouble(), 595.00);
    EXPECT_TRUE(z[0].toObject().value(QStringLiteral("soll")).isNull());
    EXPECT_EQ(z[0].toObject().value(QStringLiteral("saldo")).toDouble(), 1190.00);
    EXPECT_EQ(z[0].toObject().value(QStringLiteral("gegenkonto")).toInt(), 4930);
    EXPECT_EQ(z[1].toObject().value(QStringLiteral("saldo")).toDouble(), 3190.00) << "1.190,00 + 2.000,00";
    const QJsonArray s = o.value(QStringLiteral("summen")).toArray();
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0].toObject().value(QStringLiteral("saldo")).toDouble(), 1785.00) << "the balance brought into April";
    EXPECT_EQ(s[0].toObject().value(QStringLiteral("datum")).toString(), QStringLiteral("31.03.2016"));
    EXPECT_EQ(s[1].toObject().value(QStringLiteral("soll")).toDouble(), 2000.00);
    EXPECT_EQ(s[1].toObject().value(QStringLiteral("haben")).toDouble(), 595.00);
    EXPECT_EQ(s[1].toObject().value(QStringLiteral("saldo")).toDouble(), 3190.00);

    // The same as a page: the account's name and the closing balance.
    const Lauf seite = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("kontenabfrage"), QStringLiteral("--konto"), QStringLiteral("1200")});
    EXPECT_EQ(seite.rc, 0);
    EXPECT_TRUE(seite.out.contains(QStringLiteral("Konto 1200 Bank")));
    EXPECT_TRUE(seite.out.contains(QStringLiteral("3.190,00")));
}

TEST_F(CliBerichte, TheJournalShowsEveryBookingWithItsStatusAsCsv) {
    const Lauf l = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("journal"), QStringLiteral("--csv")});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    const QStringList z = l.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(z.size(), 7) << "heading and bookings 1 to 6";
    EXPECT_EQ(z[0], QStringLiteral("Nr.;Belegdatum;Zahlung;Art;Beleg;Text;Konto;Gegenkto;Betrag;Status"));
    EXPECT_EQ(z[1], QStringLiteral("1;15.03.2016;15.03.2016;Ein;RE-001;;1200;8400;1.190,00;"));
    EXPECT_TRUE(z[4].startsWith(QStringLiteral("4;10.04.2016;"))) << z[4].toStdString();
    EXPECT_TRUE(z[4].endsWith(QStringLiteral(";119,00;storniert"))) << z[4].toStdString();
    EXPECT_TRUE(z[5].startsWith(QStringLiteral("5;"))) << z[5].toStdString();
    EXPECT_TRUE(z[5].endsWith(QStringLiteral(";Storno"))) << z[5].toStdString();

    // The first quarter holds the two invoices only.
    const QJsonObject q1 = json({QStringLiteral("journal"), QStringLiteral("--quarter"), QStringLiteral("1")});
    EXPECT_EQ(q1.value(QStringLiteral("zeilen")).toArray().size(), 2);
}

TEST_F(CliBerichte, TheVatListSumsEachAccountAndKey) {
    // First quarter: 8400 key 5 credit 1.000,00 + 500,00; 1776 tax credit 190,00 + 95,00.
    const QJsonArray z = json({QStringLiteral("ustliste"), QStringLiteral("--quarter"), QStringLiteral("1")}).value(QStringLiteral("zeilen")).toArray();
    ASSERT_EQ(z.size(), 2);
    QMap<int, QJsonObject> je;
    for (const QJsonValue& v : z) je.insert(v.toObject().value(QStringLiteral("konto")).toInt(), v.toObject());
    EXPECT_EQ(je.value(8400).value(QStringLiteral("haben")).toDouble(), 1500.00);
    EXPECT_EQ(je.value(8400).value(QStringLiteral("saldo")).toDouble(), -1500.00);
    EXPECT_EQ(je.value(8400).value(QStringLiteral("steuerschluessel")).toString(), QStringLiteral("5"));
    EXPECT_EQ(je.value(1776).value(QStringLiteral("haben")).toDouble(), 285.00);
    EXPECT_EQ(je.value(1776).value(QStringLiteral("steuerschluessel")).toString(), QStringLiteral("St"));
}

TEST_F(CliBerichte, AnalysesOfDocumentsAmountsThresholdsAndTheProfitByRank) {
    // The supply of May has no voucher; RE-001 and RE-003: RE-002 is missing.
    const QJsonArray belege = json({QStringLiteral("beleganalyse")}).value(QStringLiteral("zeilen")).toArray();
    ASSERT_EQ(belege.size(), 3);
    EXPECT_EQ(belege[0].toObject().value(QStringLiteral("buchungsnummer")).toInt(), 6);
    EXPECT_EQ(belege[0].toObject().value(QStringLiteral("hinweis")).toString(), QStringLiteral("ohne Belegnummer"));
    EXPECT_EQ(belege[1].toObject().value(QStringLiteral("belegnummer")).toString(), QStringLiteral("RE-001"));
    EXPECT_EQ(belege[1].toObject().value(QStringLiteral("hinweis")).toString(), QString());
    EXPECT_EQ(belege[2].toObject().value(QStringLiteral("belegnummer")).toString(), QStringLiteral("RE-003"));
    EXPECT_EQ(belege[2].toObject().value(QStringLiteral("hinweis")).toString(), QStringLiteral("davor fehlt RE-002"));
    EXPECT_EQ(json({QStringLiteral("beleganalyse"), QStringLiteral("--beleg"), QStringLiteral("RE-00")}).value(QStringLiteral("zeilen")).toArray().size(), 2);

    // 4930 was charged 500,00 once; the cancelled 100,00 is no expense.
    const QJsonObject betraege = json({QStringLiteral("betragsanalyse"), QStringLiteral("--konto"), QStringLiteral("4930")});
    const QJsonArray b = betraege.value(QStringLiteral("zeilen")).toArray();
    ASSERT_EQ(b.size(), 1);
    EXPECT_EQ(b[0].toObject().value(QStringLiteral("betrag")).toDouble(), 500.00);
    EXPECT_EQ(b[0].toObject().value(QStringLiteral("anzahl")).toInt(), 1);
    EXPECT_EQ(betraege.value(QStringLiteral("summen")).toArray()[0].toObject().value(QStringLiteral("summe")).toDouble(), 500.00);

    // The case's limit for low-value assets is 410,00: the 500,00 printer is above it.
    const QJsonObject gwg = json({QStringLiteral("sperrgrenzen")});
    EXPECT_TRUE(gwg.value(QStringLiteral("untertitel")).toString().contains(QStringLiteral("410,00 EUR")));
    ASSERT_EQ(gwg.value(QStringLiteral("zeilen")).toArray().size(), 1);
    EXPECT_EQ(gwg.value(QStringLiteral("zeilen")).toArray()[0].toObject().value(QStringLiteral("buchungsnummer")).toInt(), 3);
    EXPECT_EQ(json({QStringLiteral("sperrgrenzen"), QStringLiteral("--grenze"), QStringLiteral("500,00")}).value(QStringLiteral("zeilen")).toArray().size(), 0)
        << "only amounts above the limit";

    // Second quarter against January to June: income 2.000,00 / 1.500,00 net +
    // 285,00 tax + 2.000,00 = 3.785,00; expenses 500,00 + 95,00 = 595,00
    // in both; profit 1.405,00 / 3.190,00.
    const QJsonArray s = json({QStringLiteral("euer-vergleich"), QStringLiteral("--quarter"), QStringLiteral("2")}).value(QStringLiteral("summen")).toArray();
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s[0].toObject().value(QStringLiteral("zeitraum")).toDouble(), 2000.00);
    EXPECT_EQ(s[0].toObject().value(QStringLiteral("kumuliert")).toDouble(), 3785.00);
    EXPECT_EQ(s[1].toObject().value(QStringLiteral("zeitraum")).toDouble(), 595.00);
    EXPECT_EQ(s[1].toObject().value(QStringLiteral("kumuliert")).toDouble(), 595.00);
    EXPECT_EQ(s[2].toObject().value(QStringLiteral("zeitraum")).toDouble(), 1405.00);
    EXPECT_EQ(s[2].toObject().value(QStringLiteral("kumuliert")).toDouble(), 3190.00);
    // At the end of the year the comparison's profit is the EÜR's.
    const QJsonArray jahr = json({QStringLiteral("euer-vergleich")}).value(QStringLiteral("summen")).toArray();
    const QJsonObject euer = QJsonDocument::fromJson(dalvo({QStringLiteral("euer"), fall, QStringLiteral("--json")}).out.toUtf8()).object();
    EXPECT_EQ(jahr[2].toObject().value(QStringLiteral("kumuliert")).toDouble(), euer.value(QStringLiteral("gewinn")).toDouble());
}

TEST_F(CliBerichte, MasterDataListsAndTheRecapitulativeStatement) {
    const QJsonArray zm = json({QStringLiteral("zm"), QStringLiteral("--quarter"), QStringLiteral("2")}).value(QStringLiteral("zeilen")).toArray();
    ASSERT_EQ(zm.size(), 1);
    EXPECT_EQ(zm[0].toObject().value(QStringLiteral("land")).toString(), QStringLiteral("FR"));
    EXPECT_EQ(zm[0].toObject().value(QStringLiteral("betrag")).toDouble(), 2000.00);
    EXPECT_EQ(json({QStringLiteral("zm"), QStringLiteral("--quarter"), QStringLiteral("1")}).value(QStringLiteral("zeilen")).toArray().size(), 0);
    EXPECT_EQ(json({QStringLiteral("moss")}).value(QStringLiteral("zeilen")).toArray().size(), 0);

    const Lauf plan = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("kontenplan"), QStringLiteral("--csv")});
    ASSERT_EQ(plan.rc, 0);
    EXPECT_TRUE(plan.out.startsWith(QStringLiteral("Konto;Bezeichnung;Kurzbezeichnung;Kat.;Kategorie;StS;Schlüssel;Aktiv\n")));
    EXPECT_TRUE(plan.out.contains(QStringLiteral("\n1200;Bank;"))) << plan.out.left(400).toStdString();

    ASSERT_EQ(dalvo({QStringLiteral("kunde"), fall, QStringLiteral("add"), QStringLiteral("--firma"), QStringLiteral("Muster; Söhne GmbH"),
                     QStringLiteral("--ort"), QStringLiteral("Köln")})
                  .rc,
              0);
    const Lauf kunden = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("kunden"), QStringLiteral("--csv")});
    EXPECT_TRUE(kunden.out.contains(QStringLiteral(";\"Muster; Söhne GmbH\";;Köln;"))) << kunden.out.toStdString();
    EXPECT_EQ(json({QStringLiteral("belege")}).value(QStringLiteral("zeilen")).toArray().size(), 0);
    EXPECT_EQ(json({QStringLiteral("inventar")}).value(QStringLiteral("titel")).toString(), QStringLiteral("Inventarliste"));

    // A case with the example bookings lists them as templates.
    const QString mitVorlagen = dir.filePath(QStringLiteral("vorlagen.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), mitVorlagen, QStringLiteral("--year"), QStringLiteral("2016")}).rc, 0);
    const Lauf v = dalvo({QStringLiteral("bericht"), mitVorlagen, QStringLiteral("vorlagen"), QStringLiteral("--json")});
    const QJsonArray vz = QJsonDocument::fromJson(v.out.toUtf8()).object().value(QStringLiteral("zeilen")).toArray();
    ASSERT_FALSE(vz.isEmpty());
    EXPECT_EQ(vz[0].toObject().value(QStringLiteral("buchungstext")).toString(), QStringLiteral("Honorar 19 % USt"));
    EXPECT_EQ(vz[0].toObject().value(QStringLiteral("konto")).toString(), QStringLiteral("1200"));
    EXPECT_EQ(vz[0].toObject().value(QStringLiteral("gegenkonto")).toString(), QStringLiteral("8400"));
}

TEST_F(CliBerichte, PdfGoesWhereTheUserSaysAndNeverOverAFile) {
    const QString pdf = dir.filePath(QStringLiteral("journal.pdf"));
    const QByteArray vorher = hashOf(fall);
    const Lauf l = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("journal"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(l.rc, 0) << l.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    f.close();
    EXPECT_EQ(hashOf(fall), vorher) << "a report never writes the case";
    abgelehnt({QStringLiteral("bericht"), fall, QStringLiteral("ustliste"), QStringLiteral("--pdf"), pdf}, 1, QStringLiteral("Mit --ersetzen"));
    EXPECT_EQ(dalvo({QStringLiteral("bericht"), fall, QStringLiteral("ustliste"), QStringLiteral("--pdf"), pdf, QStringLiteral("--force")}).rc, 0);
    abgelehnt({QStringLiteral("bericht"), fall, QStringLiteral("journal"), QStringLiteral("--pdf"), fall, QStringLiteral("--force")}, 1, QString());
    const Lauf stdoutPdf = dalvo({QStringLiteral("bericht"), fall, QStringLiteral("kontenabfrage"), QStringLiteral("--pdf"), QStringLiteral("-")});
    EXPECT_EQ(stdoutPdf.rc, 0);
    EXPECT_TRUE(stdoutPdf.out.startsWith(QStringLiteral("%PDF-")));
}

TEST_F(CliBerichte, MistakesAreUsageErrorsOrRefusalsThatChangeNothing) {
    const QString b = QStringLiteral("bericht");
    abgelehnt({b, fall, QStringLiteral("bilanz")}, 2, QStringLiteral("dalvo bericht --liste"));
    abgelehnt({b, fall}, 2, QStringLiteral("Liste"));
    abgelehnt({b, fall, QStringLiteral("journal"), QStringLiteral("--konto"), QStringLiteral("1200")}, 2, QStringLiteral("kennt --konto nicht"));
    abgelehnt({b, fall, QStringLiteral("kontenplan"), QStringLiteral("--month"), QStringLiteral("3")}, 2, QStringLiteral("keinen Zeitraum"));
    abgelehnt({b, fall, QStringLiteral("betragsanalyse")}, 2, QStringLiteral("braucht --konto"));
    abgelehnt({b, fall, QStringLiteral("betragsanalyse"), QStringLiteral("--konto"), QStringLiteral("1200-1299")}, 2, QStringLiteral("genau ein Konto"));
    abgelehnt({b, fall, QStringLiteral("betragsanalyse"), QStringLiteral("--konto"), QStringLiteral("7777")}, 1, QStringLiteral("gibt es im Kontenplan nicht"));
    abgelehnt({b, fall, QStringLiteral("kontenabfrage"), QStringLiteral("--konto"), QStringLiteral("12x")}, 2, QStringLiteral("Kontonummer"));
    // An account or range the chart does not know is no empty statement.
    abgelehnt({b, fall, QStringLiteral("kontenabfrage"), QStringLiteral("--konto"), QStringLiteral("9999")}, 1,
              QStringLiteral("Das Konto 9999 gibt es im Kontenplan nicht."));
    abgelehnt({b, fall, QStringLiteral("sperrgrenzen"), QStringLiteral("--konto"), QStringLiteral("9990-9998")}, 1,
              QStringLiteral("Im Kontenplan gibt es kein Konto von 9990 bis 9998."));
    abgelehnt({b, fall, QStringLiteral("journal"), QStringLiteral("--sortierung"), QStringLiteral("datum")}, 2, QStringLiteral("nummer, zahlungsdatum, beleg"));
    abgelehnt({b, fall, QStringLiteral("zm"), QStringLiteral("--from"), QStringLiteral("01.01.2016"), QStringLiteral("--to"), QStringLiteral("15.01.2016")},
              1, QStringLiteral("Monat, ein Quartal oder das Jahr"));
    abgelehnt({b, fall, QStringLiteral("journal"), QStringLiteral("--csv"), QStringLiteral("--json")}, 2, QStringLiteral("Nur eine Ausgabeform"));
    abgelehnt({b, dir.filePath(QStringLiteral("fehlt.dalvo")), QStringLiteral("journal")}, 2, QString());

    const Lauf liste = dalvo({b, QStringLiteral("--liste"), QStringLiteral("--json")});
    ASSERT_EQ(liste.rc, 0);
    const QJsonArray arten = QJsonDocument::fromJson(liste.out.toUtf8()).array();
    EXPECT_EQ(arten.size(), 17);
    EXPECT_EQ(arten[0].toObject().value(QStringLiteral("klasse")).toString(), QStringLiteral("Kontenabfrage2"));
}

}  // namespace
