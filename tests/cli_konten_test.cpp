// The chart, the tax keys and the settings of a case from the command line:
// accounts added and changed under the chart's rules, (de)activation that
// never takes an account or key in use, and the settings the advance return
// reads (filing period, extension) besides the cash account.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

class CliKonten : public ::testing::Test {
protected:
    void SetUp() override {
        fall = dir.filePath(QStringLiteral("fall.dalvo"));
        ASSERT_EQ(dalvo({"new", fall, "--year", "2016", "--no-examples"}).rc, 0);
    }
    Lauf ok(const QStringList& args) {
        const Lauf l = dalvo(args);
        EXPECT_EQ(l.rc, 0) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        return l;
    }
    QJsonValue jsonVon(const QStringList& args) {
        const Lauf l = ok(args);
        const QJsonDocument d = QJsonDocument::fromJson(l.out.toUtf8());
        return d.isArray() ? QJsonValue(d.array()) : QJsonValue(d.object());
    }
    void abgelehnt(const QStringList& args, int rc, const QString& grund) {
        const QByteArray vorher = hashOf(fall);
        const Lauf l = dalvo(args);
        EXPECT_EQ(l.rc, rc) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(grund)) << args.join(QLatin1Char(' ')).toStdString() << "\n" << l.err.toStdString();
        EXPECT_EQ(l.out, QString());
        EXPECT_EQ(hashOf(fall), vorher) << args.join(QLatin1Char(' ')).toStdString();
    }
    QJsonObject konto(int nr) {
        const QJsonArray l = jsonVon({"accounts", fall, "--all", "--json"}).toArray();
        for (const QJsonValue& v : l)
            if (v.toObject().value(QStringLiteral("nummer")).toInt() == nr) return v.toObject();
        return {};
    }
    QTemporaryDir dir;
    QString fall;
};

TEST_F(CliKonten, ANewAccountFollowsTheRulesOfTheChartAndTakesTheFormLinesOfItsCategory) {
    const QString k = QStringLiteral("konto");
    const QJsonArray neu = jsonVon({k, fall, "add", "1290", "--bezeichnung", "Sparkasse", "--kategorie", "202", "--json"}).toArray();
    ASSERT_EQ(neu.size(), 1);
    EXPECT_EQ(neu[0].toObject().value(QStringLiteral("nummer")).toInt(), 1290);
    EXPECT_EQ(neu[0].toObject().value(QStringLiteral("bezeichnung")).toString(), QStringLiteral("Sparkasse"));
    EXPECT_EQ(neu[0].toObject().value(QStringLiteral("kategorie")).toInt(), 202);
    EXPECT_TRUE(neu[0].toObject().value(QStringLiteral("aktiv")).toBool());
    // The opening-balance flag comes from the first bank account of the chart.
    const long long eb = sqlZahl(fall, QStringLiteral("SELECT EB_Erzeugung FROM eurKontenplan WHERE Nummer=(SELECT MIN(Nummer) FROM eurKontenplan "
                                                   "WHERE Kategorie=202 AND Nummer<>1290)"));
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT EB_Erzeugung FROM eurKontenplan WHERE Nummer=1290")), eb);

    // An income account with the 19 % key fixed takes the advance-return
    // line of 8400, so its turnover reaches code 81: 100,00 net.
    const Lauf erloes = ok({k, fall, "add", "8401", "--bezeichnung", "Erlöse Beratung", "--kategorie", QString::number(sqlZahl(fall,
        QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=8400"))), "--steuerschluessel", "5", "--fest", "--wie", "8400"});
    EXPECT_EQ(erloes.out, QStringLiteral("8401\n"));
    EXPECT_TRUE(erloes.err.contains(QStringLiteral("von Konto 8400 übernommen")));
    ok({"book", fall, "--kind", "einnahme", "--date", "03.02.2016", "--amount", "119,00", "--account", "1290", "--counter", "8401", "--key",
        "5"});
    const QJsonObject va = jsonVon({"ustva", fall, "--month", "2", "--json"}).toObject();
    EXPECT_EQ(va.value(QStringLiteral("kennziffern")).toObject().value(QStringLiteral("81")).toDouble(), 100.0);

    abgelehnt({k, fall, "add", "1290", "--bezeichnung", "X", "--kategorie", "202"}, 1,
        QStringLiteral("Ein Konto mit dieser Nummer existiert bereits."));
    abgelehnt({k, fall, "add", "10000", "--bezeichnung", "X", "--kategorie", "202"}, 1, QStringLiteral("maximal 4-stellig"));
    abgelehnt({k, fall, "add", "0", "--bezeichnung", "X", "--kategorie", "202"}, 1, QStringLiteral("nicht gleich 0"));
    abgelehnt({k, fall, "add", "8402", "--bezeichnung", "X", "--kategorie", "4000", "--steuerschluessel", "7"}, 1,
        QStringLiteral("Einnahmekonto keinen Vorsteuerschlüssel"));
    abgelehnt({k, fall, "add", "1298", "--bezeichnung", "X", "--kategorie", "4711"}, 1, QStringLiteral("Kategorie 4711 gibt es nicht"));
    abgelehnt({k, fall, "add", "1220", "--kategorie", "202"}, 2, QStringLiteral("--bezeichnung"));
    // Outside the classes of its category: a question, No without --yes.
    const QStringList aussen = {k, fall, "add", "5555", "--bezeichnung", "Bank 3", "--kategorie", "202"};
    abgelehnt(aussen, 1, QStringLiteral("nicht zulässig"));
    ok(QStringList(aussen) << QStringLiteral("--yes"));
    EXPECT_EQ(konto(5555).value(QStringLiteral("kategorie")).toInt(), 202);

    // edit changes what it names and keeps the rest.
    ok({k, fall, "edit", "1290", "--bezeichnung", "Sparkasse Köln"});
    EXPECT_EQ(konto(1290).value(QStringLiteral("bezeichnung")).toString(), QStringLiteral("Sparkasse Köln"));
    EXPECT_EQ(konto(1290).value(QStringLiteral("kategorie")).toInt(), 202);
    abgelehnt({k, fall, "edit", "1290"}, 2, QStringLiteral("mindestens eine Änderung"));
    abgelehnt({k, fall, "edit", "1299", "--bezeichnung", "X"}, 1, QStringLiteral("gibt es im Kontenplan nicht"));
    abgelehnt({k, fall, "edit", "8401", "--steuerschluessel", "7"}, 1, QStringLiteral("Vorsteuerschlüssel"));
}

TEST_F(CliKonten, AnAccountOrKeyInUseStaysActiveAndARefusalChangesNone) {
    const QString k = QStringLiteral("konto");
    ok({k, fall, "add", "1290", "--bezeichnung", "Sparkasse", "--kategorie", "202"});
    ok({"book", fall, "--kind", "ausgabe", "--date", "03.02.2016", "--amount", "100,00", "--account", "1200", "--counter", "3425", "--key",
        "19"});
    // 1200 carries a booking: all or nothing, so 1290 stays active too.
    abgelehnt({k, fall, "deaktivieren", "1290", "1200"}, 1, QStringLiteral("Konto 1200: Das Konto kann nicht deaktiviert werden."));
    EXPECT_TRUE(konto(1290).value(QStringLiteral("aktiv")).toBool());
    const QJsonArray aus = jsonVon({k, fall, "deaktivieren", "1290", "--json"}).toArray();
    ASSERT_EQ(aus.size(), 1);
    EXPECT_FALSE(aus[0].toObject().value(QStringLiteral("aktiv")).toBool());
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT Aktiv FROM eurKontenplan WHERE Nummer=1290")), 0);
    EXPECT_EQ(ok({k, fall, "aktivieren", "1290"}).out, QStringLiteral("1290\n"));
    EXPECT_TRUE(konto(1290).value(QStringLiteral("aktiv")).toBool());
    abgelehnt({k, fall, "deaktivieren", "4711"}, 1, QStringLiteral("gibt es im Kontenplan nicht"));
    abgelehnt({k, fall, "loeschen", "1290"}, 2, QStringLiteral("es gibt: neu, aendern, deaktivieren, aktivieren"));

    // The case's cash account is never deactivated behind the cash book's back.
    ok({k, fall, "add", "1090", "--bezeichnung", "Nebenkasse", "--kategorie", "201"});
    ok({"einstellungen", fall, "--kassenkonto", "1090"});
    abgelehnt({k, fall, "deaktivieren", "1090"}, 1, QStringLiteral("Kassenkonto des Falls"));

    // Keys: 19 (intra-Community acquisition) is used by the booking, 5 must
    // exist in every case, 18 is free.
    const QString s = QStringLiteral("schluessel");
    abgelehnt({s, fall, "deaktivieren", "18", "19"}, 1, QStringLiteral("Der Steuerschlüssel 19 wird noch verwendet"));
    abgelehnt({s, fall, "deaktivieren", "5"}, 1, QStringLiteral("in jedem Fall vorhanden"));
    abgelehnt({s, fall, "deaktivieren", "4242"}, 1, QStringLiteral("gibt es nicht"));
    const QJsonArray schl = jsonVon({s, fall, "deaktivieren", "18", "--json"}).toArray();
    ASSERT_EQ(schl.size(), 1);
    EXPECT_EQ(schl[0].toObject().value(QStringLiteral("steuerschluessel")).toInt(), 18);
    EXPECT_FALSE(schl[0].toObject().value(QStringLiteral("aktiv")).toBool());
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT Aktiv FROM eurSteuerschluessel WHERE Steuerschluessel=18")), 0);
    ok({s, fall, "aktivieren", "18"});
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT Aktiv FROM eurSteuerschluessel WHERE Steuerschluessel=18")), 1);
    abgelehnt({s, fall, "deaktivieren"}, 2, QStringLiteral("Die Steuerschlüssel fehlen"));
}

TEST_F(CliKonten, TheSettingsTheAdvanceReturnReads) {
    const QString e = QStringLiteral("einstellungen");
    QJsonObject o = jsonVon({e, fall, "--json"}).toObject();
    EXPECT_TRUE(o.value(QStringLiteral("anmeldezeitraum")).isNull());
    EXPECT_FALSE(o.value(QStringLiteral("dauerfrist")).toBool());
    EXPECT_TRUE(o.value(QStringLiteral("ustpflicht")).toBool());

    abgelehnt({e, fall, "--anmeldezeitraum", "woche"}, 2, QStringLiteral("monat oder quartal"));
    abgelehnt({e, fall, "--dauerfrist", "vielleicht"}, 2, QStringLiteral("ja oder nein"));
    abgelehnt({e, fall, "--kassenkonto", "1200"}, 1, QStringLiteral("keine aktive Kasse"));
    abgelehnt({e, fall, "--kassenkonto", "abc"}, 2, QStringLiteral("Kontonummer"));

    // Monthly without the extension: March is due on 10 April, a Sunday, so on Monday 11 April.
    ok({e, fall, "--anmeldezeitraum", "monat", "--kassenkonto", "1000"});
    o = jsonVon({e, fall, "--json"}).toObject();
    EXPECT_EQ(o.value(QStringLiteral("anmeldezeitraum")).toString(), QStringLiteral("monat"));
    EXPECT_EQ(o.value(QStringLiteral("kassenkonto")).toInt(), 1000);
    const QStringList maerz = {"ustva", fall, "--month", "3", "--json"};
    EXPECT_EQ(jsonVon(maerz).toObject().value(QStringLiteral("abgabefrist")).toString(), QStringLiteral("11.04.2016"));
    // With the extension a month later; the fourth quarter of a quarterly filer on 10 February.
    ok({e, fall, "--dauerfrist", "ja"});
    EXPECT_EQ(jsonVon(maerz).toObject().value(QStringLiteral("abgabefrist")).toString(), QStringLiteral("10.05.2016"));
    ok({e, fall, "--anmeldezeitraum", "quartal"});
    const QJsonObject q4 = jsonVon({"ustva", fall, "--quarter", "4", "--json"}).toObject();
    EXPECT_EQ(q4.value(QStringLiteral("abgabefrist")).toString(), QStringLiteral("10.02.2017"));
    EXPECT_TRUE(jsonVon({"ustva", fall, "--json"}).toObject().value(QStringLiteral("abgabefrist")).isNull())
        << "the year has no advance return";
    // A month of a quarterly filer is computed, with a note that it is no return of the case.
    const Lauf monat = ok(maerz);
    EXPECT_TRUE(monat.err.contains(QStringLiteral("meldet vierteljährlich"))) << monat.err.toStdString();
    const Lauf text = ok({e, fall});
    EXPECT_TRUE(text.out.contains(QStringLiteral("anmeldezeitraum: quartal\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("dauerfrist: ja\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("kassenkonto: 1000\n")));
    abgelehnt({e, fall, "--dauerfrist", "nein", "--json"}, 2, QStringLiteral("--json"));
}

// Every master-data list offers the page, CSV, JSON and PDF; one form at a
// time, and a PDF never replaces a file unasked; the pages keep their form.
TEST_F(CliKonten, EveryListOffersEachFormAndRefusesTwo) {
    ASSERT_EQ(dalvo({"kunde", fall, "neu", "--firma", QStringLiteral("Bau; \"Nord\" GmbH")}).rc, 0);
    const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
    const QList<QStringList> listen = {{"konten", fall}, {"steuerschluessel", fall}, {"saldenliste", fall}, {"kunde", fall, "liste"},
        {"artikel", fall, "liste"}, {"bank", fall, "liste"}, {"bank", fall, "umsaetze"}};
    for (const QStringList& l : listen) {
        const std::string was = l.join(QLatin1Char(' ')).toStdString();
        ok(QStringList(l) << QStringLiteral("--csv"));
        const QJsonDocument json = QJsonDocument::fromJson(ok(QStringList(l) << QStringLiteral("--json")).out.toUtf8());
        EXPECT_FALSE(json.isNull()) << was;
        QFile::remove(pdf);
        ok(QStringList(l) << QStringLiteral("--pdf") << pdf);
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << was;
        EXPECT_TRUE(f.read(5) == "%PDF-") << was;
        abgelehnt(QStringList(l) << QStringLiteral("--pdf") << pdf, 1, QStringLiteral("--ersetzen"));
        abgelehnt(QStringList(l) << QStringLiteral("--csv") << QStringLiteral("--json"), 2, QStringLiteral("schließen einander aus"));
    }
    EXPECT_TRUE(ok({"kunde", fall, "liste", "--csv"}).out.contains(QStringLiteral(";\"Bau; \"\"Nord\"\" GmbH\";")));
    // The rows of the page and the keys of JSON as scripts know them.
    const QJsonObject erstes = jsonVon({"konten", fall, "--json"}).toArray().at(0).toObject();
    EXPECT_EQ(erstes.keys(), (QStringList{"aktiv", "bezeichnung", "kategorie", "nummer", "steuerschluessel"}));
    EXPECT_TRUE(erstes.value(QStringLiteral("aktiv")).isBool());
    const QJsonArray schluessel = jsonVon({"steuerschluessel", fall, "--json"}).toArray();
    bool neunzehn = false;
    for (const QJsonValue& v : schluessel) neunzehn = neunzehn || v.toObject().value(QStringLiteral("steuersatz")).toDouble() == 19.0;
    EXPECT_TRUE(neunzehn);
    // The pages as scripts have always read them: four-digit account numbers,
    // no key an empty field, no title; a real key 0 is shown.
    const QString konten = ok({"konten", fall}).out;
    EXPECT_TRUE(konten.startsWith(QStringLiteral("Nr.  Bezeichnung") + QString(41, QLatin1Char(' ')) + QStringLiteral("Kat.  StS  aktiv\n0027 EDV-Software") +
                                  QString(40, QLatin1Char(' ')) + QStringLiteral("100       ja\n")))
        << konten.left(300).toStdString();
    const QString seite = ok({"steuerschluessel", fall}).out;
    EXPECT_TRUE(seite.startsWith(QStringLiteral("StS     Satz  Art  aktiv  Bezeichnung\n  0    0,00  B    ja     Keine Umsatz- / Vorsteuer\n")))
        << seite.left(300).toStdString();
    EXPECT_TRUE(seite.contains(QStringLiteral("\n  5   19,00  U    ja     Umsatzsteuer 19 %\n")));
}

}  // namespace
