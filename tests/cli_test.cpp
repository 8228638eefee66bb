// The dalvo program as scripts see it: help, version, exit codes, dbinfo.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The overview groups every command by what a user does, each once, and
// every command listed has its own help, also asked for as `help COMMAND`.
TEST(Cli, HelpGroupsEveryCommandOnce) {
    const Lauf h = dalvo({"help"});
    ASSERT_EQ(h.rc, 0);
    const QStringList gruppen = {"Einrichten:", "Buchen:", "Prüfen:", "Auswerten:", "Austauschen:", "Programm:"};
    int vorher = -1;
    for (const QString& g : gruppen) {
        const int i = h.out.indexOf(QLatin1Char('\n') + g + QLatin1Char('\n'));
        EXPECT_GT(i, vorher) << g.toStdString() << " in its place";
        vorher = i;
    }
    EXPECT_FALSE(h.out.contains(QStringLiteral("Weitere:"))) << "a command without a group";
    QStringList namen;
    for (const QString& zeile : h.out.split(QLatin1Char('\n')))
        if (zeile.startsWith(QStringLiteral("  ")) && !zeile.startsWith(QStringLiteral("   ")))
            namen << zeile.trimmed().section(QLatin1Char(' '), 0, 0);
    EXPECT_GE(namen.size(), 45);
    for (const char* c : {"help", "version", "dbinfo"}) EXPECT_TRUE(h.out.contains(QLatin1String(c))) << c;
    for (const QString& n : namen) {
        EXPECT_EQ(namen.count(n), 1) << n.toStdString();
        const Lauf hilfe = dalvo({n, "--help"});
        EXPECT_EQ(hilfe.rc, 0) << n.toStdString();
        EXPECT_TRUE(hilfe.out.startsWith(QStringLiteral("Aufruf: dalvo ") + n)) << n.toStdString() << ": " << hilfe.out.left(200).toStdString();
    }
    const Lauf hv = dalvo({"help", "version"});
    EXPECT_EQ(hv.rc, 0);
    EXPECT_TRUE(hv.out.startsWith(QStringLiteral("Aufruf: dalvo version")));
}

TEST(Cli, UsageErrorsExitWithTwo) {
    Lauf u = dalvo({"gibtsnicht"});
    EXPECT_EQ(u.rc, 2);
    EXPECT_TRUE(u.err.contains(QStringLiteral("unbekannter Befehl"))) << u.err.toStdString();
    Lauf f = dalvo({"dbinfo", "--jahrgang", "2016"});
    EXPECT_EQ(f.rc, 2);
    EXPECT_TRUE(f.err.contains(QStringLiteral("Unbekannte Option")));
    Lauf y = dalvo({"dbinfo", "--year", "zwanzig"});
    EXPECT_EQ(y.rc, 2);
    Lauf m = dalvo({"dbinfo", "--year"});
    EXPECT_EQ(m.rc, 2);
    EXPECT_EQ(dalvo({}).rc, 2);
    // Two values for one thing, or a yes and a no, are never guessed at.
    Lauf zweimal = dalvo({"dbinfo", "--year", "2016", "--year=2015"});
    EXPECT_EQ(zweimal.rc, 2);
    EXPECT_TRUE(zweimal.err.contains(QStringLiteral("--year ist mehrfach angegeben"))) << zweimal.err.toStdString();
    Lauf jaNein = dalvo({"delete", "x.dalvo", "1", "--yes", "--no"});
    EXPECT_EQ(jaNein.rc, 2);
    EXPECT_TRUE(jaNein.err.contains(QStringLiteral("--yes und --no widersprechen sich"))) << jaNein.err.toStdString();
    EXPECT_EQ(dalvo({"info", "x.dalvo", "--wait", "1", "--wait", "2"}).rc, 2);
}

// Every command, subcommand and option answers to its German name; the
// English names scripts use stay aliases of the same row, and a row takes
// only its own options.
TEST(Cli, GermanNamesWithTheEnglishOnesAsAliases) {
    const Lauf h = dalvo({"hilfe"});
    ASSERT_EQ(h.rc, 0);
    for (const char* zeile : {"  neu (new) ", "  konten (accounts) ", "  steuerschluessel (keys, schluessel) ", "  buchen (book) ",
                              "  stornieren (cancel) ", "  loeschen (delete) ", "  festschreiben (lock) ", "  buchungen (list) ",
                              "  pruefen (verify) ", "  buchungen-import (import) ", "  buchungen-export (export-csv) ",
                              "  hilfe (help) ", "  beispielbuchungen (generate) "})
        EXPECT_EQ(h.out.count(QLatin1String(zeile)), 1) << zeile;
    for (const char* alias : {"(new)", "(book)", "(list)", "keys"}) EXPECT_EQ(h.out.count(QLatin1String(alias)), 1) << alias << " listed once";

    // The same work under either name gives the same case and output.
    QTemporaryDir dir;
    const QString de = dir.filePath(QStringLiteral("de.dalvo")), en = dir.filePath(QStringLiteral("en.dalvo"));
    ASSERT_EQ(dalvo({"neu", de, "--jahr", "2016", "--kontenrahmen", "SKR04", "--ohne-beispiele"}).rc, 0);
    ASSERT_EQ(dalvo({"new", en, "--year", "2016", "--chart", "SKR04", "--no-examples"}).rc, 0);
    const Lauf b1 = dalvo({"buchen", de, "--art", "einnahme", "--datum", "02.03.2016", "--betrag", "100,00", "--konto", "1600", "--gegenkonto",
                           "4400", "--schluessel", "5", "--netto", "--text", "Verkauf", "--beleg", "R1"});
    const Lauf b2 = dalvo({"book", en, "--kind", "einnahme", "--date", "02.03.2016", "--amount", "100,00", "--account", "1600", "--counter",
                           "4400", "--key", "5", "--net", "--text", "Verkauf", "--voucher", "R1"});
    ASSERT_EQ(b1.rc, 0) << b1.err.toStdString();
    EXPECT_EQ(b1.out, b2.out);
    EXPECT_EQ(dalvo({"buchungen", de, "--json", "--monat", "3"}).out, dalvo({"list", en, "--json", "--month", "3"}).out);
    EXPECT_EQ(dalvo({"kunde", de, "neu", "--firma", "Weber KG"}).out, dalvo({"kunde", en, "add", "--firma", "Weber KG"}).out);

    // An option of another subcommand, or one given under both names, is
    // a usage error that names it and changes nothing.
    const QByteArray vorher = hashOf(de);
    const Lauf fremd = dalvo({"rechnung", de, "list", "--versand", "3", "--rabatt", "5"});
    EXPECT_EQ(fremd.rc, 2);
    EXPECT_TRUE(fremd.err.contains(QStringLiteral("Die Option --versand gehört nicht zu „dalvo rechnung liste“"))) << fremd.err.toStdString();
    const Lauf zweimal = dalvo({"buchen", de, "--betrag", "1", "--amount", "2"});
    EXPECT_EQ(zweimal.rc, 2);
    EXPECT_TRUE(zweimal.err.contains(QStringLiteral("--amount ist mehrfach angegeben (auch als --betrag)"))) << zweimal.err.toStdString();
    for (const QStringList& args : {QStringList{"konto", de, "deaktivieren", "4400", "--wie", "4400"}, QStringList{"kunde", de, "liste", "--name", "X"},
                                    QStringList{"kunde", de, "entfernen", "K0001"}, QStringList{"stornieren", de, "1", "--ja", "--nein"}})
        EXPECT_EQ(dalvo(args).rc, 2) << args.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(hashOf(de), vorher);

    const Lauf zeile = dalvo({"hilfe", "rechnung", "list"});
    EXPECT_TRUE(zeile.out.startsWith(QStringLiteral("Aufruf: dalvo rechnung FALL liste [--offen] [--json]\n"))) << zeile.out.toStdString();
    EXPECT_TRUE(dalvo({"buchen", "--hilfe"}).out.contains(QStringLiteral("--amount für --betrag")));
}

TEST(Cli, VersionAndDbinfoShowTheSchema) {
    Lauf v = dalvo({"version"});
    EXPECT_EQ(v.rc, 0);
    EXPECT_TRUE(v.out.contains(QStringLiteral("20161425"))) << v.out.toStdString();
    Lauf d = dalvo({"dbinfo", "--year", "2016"});
    EXPECT_EQ(d.rc, 0) << d.err.toStdString();
    EXPECT_TRUE(d.out.contains(QStringLiteral("Datenbankversion:  20161425"))) << d.out.toStdString();
    EXPECT_TRUE(d.out.contains(QStringLiteral("ProgrammJahr = 2016")));
    EXPECT_TRUE(d.out.contains(QStringLiteral("Kontenplan = SKR03")));
}

TEST(Cli, NewCaseFileAndInfoReadingItWithoutChangingIt) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("fall.dalvo"));
    Lauf n = dalvo({"new", fall, "--year", "2016", "--chart", "SKR04", "--no-vat"});
    ASSERT_EQ(n.rc, 0) << n.err.toStdString();
    const QByteArray vorher = hashOf(fall);
    Lauf i = dalvo({"info", fall, "--json"});
    ASSERT_EQ(i.rc, 0) << i.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(i.out.toUtf8()).object();
    EXPECT_EQ(o.value(QStringLiteral("steuerjahr")).toInt(), 2016);
    EXPECT_EQ(o.value(QStringLiteral("kontenplan")).toString(), QStringLiteral("SKR04"));
    EXPECT_FALSE(o.value(QStringLiteral("ustpflicht")).toBool(true));
    EXPECT_TRUE(o.value(QStringLiteral("festgeschrieben_bis")).isNull());
    EXPECT_EQ(o.value(QStringLiteral("buchungen")).toInt(-1), 0);
    EXPECT_EQ(hashOf(fall), vorher) << "reading a case does not write it";

    Lauf wieder = dalvo({"new", fall, "--year", "2016"});
    EXPECT_EQ(wieder.rc, 1) << "an existing case is never overwritten";
    EXPECT_EQ(hashOf(fall), vorher);
    const Lauf verzeichnis = dalvo({"new", dir.path(), "--year", "2016"});
    EXPECT_EQ(verzeichnis.rc, 1);
    EXPECT_TRUE(verzeichnis.err.contains(QStringLiteral("„%1“ ist ein Verzeichnis").arg(dir.path()))) << verzeichnis.err.toStdString();
    EXPECT_EQ(dalvo({"new", dir.filePath(QStringLiteral("x.dalvo")), "--year", "2016", "--chart", "SKR99"}).rc, 2);
    EXPECT_EQ(dalvo({"info", dir.filePath(QStringLiteral("fehlt.dalvo"))}).rc, 2);

    // Years without charts, or whose forms the program does not have, give
    // no case at all rather than one that computes wrong returns.
    for (const char* jahr : {"2014", "2017", "2030"}) {
        const QString f = dir.filePath(QStringLiteral("j%1.dalvo").arg(QLatin1String(jahr)));
        const Lauf j = dalvo({"new", f, "--year", QLatin1String(jahr)});
        EXPECT_EQ(j.rc, 2) << jahr;
        EXPECT_TRUE(j.err.contains(QStringLiteral("wird nicht unterstützt"))) << j.err.toStdString();
        EXPECT_FALSE(QFile::exists(f)) << jahr;
    }
    const QString vorjahr = dir.filePath(QStringLiteral("2015.dalvo"));
    ASSERT_EQ(dalvo({"new", vorjahr, "--year", "2015"}).rc, 0) << "the previous year, for the carry-forward";
    const Lauf vj = dalvo({"info", vorjahr, "--json"});
    EXPECT_TRUE(vj.out.contains(QStringLiteral("\"steuerjahr\": 2015"))) << vj.out.toStdString();
    EXPECT_FALSE(vj.out.contains(QStringLiteral("\"konten_aktiv\": 0"))) << vj.out.toStdString();
}

QJsonArray jsonListe(const Lauf& l) {
    QJsonParseError e;
    const QJsonDocument d = QJsonDocument::fromJson(l.out.toUtf8(), &e);
    EXPECT_EQ(e.error, QJsonParseError::NoError) << l.out.toStdString();
    return d.array();
}

QMap<int, QJsonObject> kontenNachNummer(const QJsonArray& a) {
    QMap<int, QJsonObject> m;
    for (const QJsonValue& v : a) m.insert(v.toObject().value(QStringLiteral("nummer")).toInt(), v.toObject());
    return m;
}

TEST(Cli, EveryFrameworkGetsItsChart) {
    QTemporaryDir dir;
    struct Fall {
        const char* rahmen;
        int kasse;
        int bank;
    };
    for (const Fall& f : {Fall{"SKR03", 1000, 1200}, Fall{"SKR04", 1600, 1800}, Fall{"EKR03", 1000, 1200},
                          Fall{"SKR80", 0, 0}, Fall{"SKR81", 0, 0}}) {
        const QString datei = dir.filePath(QLatin1String(f.rahmen) + QStringLiteral(".dalvo"));
        Lauf n = dalvo({"new", datei, "--year", "2016", "--chart", QLatin1String(f.rahmen)});
        ASSERT_EQ(n.rc, 0) << f.rahmen << n.err.toStdString();
        const QByteArray vorher = hashOf(datei);
        const QMap<int, QJsonObject> konten = kontenNachNummer(jsonListe(dalvo({"accounts", datei, "--json"})));
        EXPECT_FALSE(konten.isEmpty()) << f.rahmen;
        // Cash and bank by their category, wherever the framework puts them.
        int kassen = 0, banken = 0;
        for (const QJsonObject& o : konten) {
            kassen += o.value(QStringLiteral("kategorie")).toInt() == 201;
            banken += o.value(QStringLiteral("kategorie")).toInt() == 202;
            EXPECT_TRUE(o.value(QStringLiteral("aktiv")).toBool()) << "without --all only active accounts";
        }
        EXPECT_GE(kassen, 1) << f.rahmen;
        EXPECT_GE(banken, 1) << f.rahmen;
        if (f.kasse) {
            EXPECT_EQ(konten.value(f.kasse).value(QStringLiteral("kategorie")).toInt(), 201) << f.rahmen;
            EXPECT_EQ(konten.value(f.bank).value(QStringLiteral("kategorie")).toInt(), 202) << f.rahmen;
        }
        const QJsonObject info = QJsonDocument::fromJson(dalvo({"info", datei, "--json"}).out.toUtf8()).object();
        EXPECT_EQ(info.value(QStringLiteral("konten_aktiv")).toInt(), konten.size());
        EXPECT_EQ(konten.value(info.value(QStringLiteral("kassenkonto")).toInt()).value(QStringLiteral("kategorie")).toInt(), 201)
            << "the case's cash account is a cash account";
        EXPECT_EQ(hashOf(datei), vorher) << "listing does not write the case";
    }
}

TEST(Cli, AccountsWithoutVatSearchAndKeys) {
    QTemporaryDir dir;
    const QString mit = dir.filePath(QStringLiteral("mit.dalvo"));
    const QString ohne = dir.filePath(QStringLiteral("ohne.dalvo"));
    ASSERT_EQ(dalvo({"new", mit, "--year", "2016"}).rc, 0);
    ASSERT_EQ(dalvo({"new", ohne, "--year", "2016", "--no-vat"}).rc, 0);
    const auto kMit = kontenNachNummer(jsonListe(dalvo({"accounts", mit, "--json", "--all"})));
    const auto kOhne = kontenNachNummer(jsonListe(dalvo({"accounts", ohne, "--json", "--all"})));
    EXPECT_TRUE(kMit.contains(1576));
    EXPECT_TRUE(kMit.contains(1776));
    EXPECT_FALSE(kOhne.contains(1576));
    EXPECT_FALSE(kOhne.contains(1776));
    EXPECT_TRUE(kOhne.contains(1000));

    const auto treffer = kontenNachNummer(jsonListe(dalvo({"accounts", mit, "--search", "kasse", "--json"})));
    EXPECT_TRUE(treffer.contains(1000));
    for (const QJsonObject& o : treffer)
        EXPECT_TRUE(o.value(QStringLiteral("bezeichnung")).toString().contains(QStringLiteral("kasse"), Qt::CaseInsensitive));
    EXPECT_TRUE(jsonListe(dalvo({"accounts", mit, "--search", "gibtesnicht", "--json"})).isEmpty());
    EXPECT_EQ(dalvo({"accounts", mit, "--search"}).rc, 2);

    const QJsonArray keys = jsonListe(dalvo({"keys", mit, "--json"}));
    ASSERT_FALSE(keys.isEmpty());
    const QJsonObject null = keys.first().toObject();
    EXPECT_EQ(null.value(QStringLiteral("steuerschluessel")).toInt(-1), 0);
    for (const char* k : {"bezeichnung", "steuersatz", "steuerart", "aktiv"}) EXPECT_TRUE(null.contains(QLatin1String(k))) << k;
    Lauf text = dalvo({"accounts", mit});
    EXPECT_EQ(text.rc, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("1000 Kasse"))) << text.out.toStdString();
}

}  // namespace
