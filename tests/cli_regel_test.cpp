// Booking templates and recurring bookings from the command line: a monthly
// rent, what is due by a day, posting some and all, a cancelled occurrence
// due again, a template saved from a booking, the locked period and a
// closed cash register; every refusal leaves the case file as it was.
#include "support/dalvo_lauf.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ok(const Lauf& l) {
    EXPECT_EQ(l.rc, 0) << l.err.toStdString();
    return l.out.trimmed();
}

QJsonArray jsonListe(const Lauf& l) { return QJsonDocument::fromJson(ok(l).toUtf8()).array(); }

QStringList felder(const QJsonArray& a, const char* feld) {
    QStringList l;
    for (const QJsonValue& v : a) l << v.toObject()[QLatin1String(feld)].toVariant().toString();
    return l;
}

TEST(CliRegel, MonatlicheMieteVonDerVorlageBisZurBuchung) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("r.dalvo"));
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    EXPECT_EQ(ok(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "15.01.2016", "--amount", "500,00", "--account", "1200", "--counter",
                        "4210", "--text", "Miete Büro", "--intervall", "monatlich"})),
              QStringLiteral("1"));

    const QJsonArray vorlagen = jsonListe(dalvo({"vorlage", f, "list", "--json"}));
    ASSERT_EQ(vorlagen.size(), 1);
    const QJsonObject v = vorlagen.first().toObject();
    EXPECT_EQ(v[QStringLiteral("nummer")].toInt(), 1);
    EXPECT_EQ(v[QStringLiteral("buchungstext")].toString(), QStringLiteral("Miete Büro"));
    EXPECT_EQ(v[QStringLiteral("buchungsart")].toInt(), 2);
    EXPECT_DOUBLE_EQ(v[QStringLiteral("betrag")].toDouble(), 500.0);
    EXPECT_EQ(v[QStringLiteral("belegdatum")].toString(), QStringLiteral("15.01.2016"));
    EXPECT_EQ(v[QStringLiteral("zahlungsdatum")].toString(), QStringLiteral("15.01.2016"));
    EXPECT_EQ(v[QStringLiteral("intervall")].toString(), QStringLiteral("monatlich"));
    EXPECT_EQ(v[QStringLiteral("zusatzinfo")].toString(), QString());
    EXPECT_TRUE(v[QStringLiteral("konten")].toString().startsWith(QStringLiteral("S 4210 "))) << v[QStringLiteral("konten")].toString().toStdString();
    EXPECT_TRUE(v[QStringLiteral("konten")].toString().contains(QStringLiteral(", H 1200 ")));

    // Due by 20.03.2016: January, February, March.
    const QJsonArray faellig = jsonListe(dalvo({"regelbuchungen", f, "--json", "--stichtag", "20.03.2016"}));
    EXPECT_EQ(felder(faellig, "belegdatum"), (QStringList{"15.01.2016", "15.02.2016", "15.03.2016"}));
    EXPECT_EQ(felder(faellig, "nr"), (QStringList{"1", "2", "3"}));
    ASSERT_EQ(faellig.size(), 3);
    const QJsonObject erste = faellig.first().toObject();
    EXPECT_EQ(erste[QStringLiteral("vorlage")].toInt(), 1);
    EXPECT_EQ(erste[QStringLiteral("zahlungsdatum")].toString(), QStringLiteral("15.01.2016"));
    EXPECT_EQ(erste[QStringLiteral("intervall")].toString(), QStringLiteral("monatlich"));
    EXPECT_EQ(erste[QStringLiteral("buchungstext")].toString(), QStringLiteral("Miete Büro"));
    EXPECT_DOUBLE_EQ(erste[QStringLiteral("betrag")].toDouble(), 500.0);
    EXPECT_EQ(erste[QStringLiteral("steuerjahr")].toInt(), 2016);
    EXPECT_EQ(erste[QStringLiteral("konten")].toString(), v[QStringLiteral("konten")].toString());
    EXPECT_TRUE(ok(dalvo({"regelbuchungen", f, "--stichtag", "20.03.2016"})).contains(QStringLiteral("15.02.2016 (Wertstellung: 15.02.2016)")));

    // Refusals and usage errors leave the file as it was.
    ok(dalvo({"lock", f, "31.01.2016"}));
    const QByteArray vorher = hashOf(f);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--buchen", "4", "--stichtag", "20.03.2016"}).rc, 1);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--buchen", "1", "--stichtag", "20.03.2016", "--no"}).rc, 1);  // January is locked
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--buchen"}).rc, 2);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--buchen", "1", "--alle"}).rc, 2);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--buchen", "eins"}).rc, 2);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "2"}).rc, 2);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--stichtag", "01.01.2999"}).rc, 2);
    EXPECT_EQ(dalvo({"regelbuchungen", f, "--alle", "--json"}).rc, 2);
    EXPECT_EQ(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "15.01.2016", "--amount", "10,00", "--account", "1200", "--counter", "4210",
                     "--intervall", "täglich"})
                  .rc,
              2);
    EXPECT_EQ(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "15.01.2016", "--amount", "10,00", "--account", "1200", "--counter", "99999",
                     "--intervall", "monatlich"})
                  .rc,
              1);
    EXPECT_EQ(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "15.01.2017", "--amount", "10,00", "--account", "1200", "--counter", "4210",
                     "--intervall", "monatlich"})
                  .rc,
              1);  // after the tax year
    EXPECT_EQ(dalvo({"vorlage", f, "add", "--aus-buchung", "99", "--intervall", "monatlich"}).rc, 1);
    EXPECT_EQ(dalvo({"vorlage", f, "add", "--aus-buchung", "1"}).rc, 2);
    EXPECT_EQ(dalvo({"vorlage", f, "loeschen", "99"}).rc, 1);
    EXPECT_EQ(dalvo({"vorlage", f, "aendern", "1"}).rc, 2);
    EXPECT_EQ(hashOf(f), vorher);
    const Lauf gesperrt = dalvo({"regelbuchungen", f, "--buchen", "1", "--stichtag", "20.03.2016", "--no"});
    EXPECT_TRUE(gesperrt.err.contains(QStringLiteral("festgeschriebenen Zeitraum (bis zum 31.01.2016)"))) << gesperrt.err.toStdString();
    EXPECT_TRUE(gesperrt.err.contains(QStringLiteral("Es wurde nichts gebucht.")));

    // January (locked, agreed to) and February.
    const Lauf zwei = dalvo({"regelbuchungen", f, "--buchen", "1", "2", "--stichtag", "20.03.2016", "--yes"});
    EXPECT_EQ(ok(zwei), QStringLiteral("1\n2"));
    EXPECT_TRUE(zwei.err.contains(QStringLiteral("Es wurden 2 Buchungen in der Buchungsliste erzeugt."))) << zwei.err.toStdString();
    EXPECT_TRUE(zwei.err.contains(QStringLiteral("Eine der erzeugten Buchungen ist deshalb festgeschrieben.")));
    const QJsonArray ledger = jsonListe(dalvo({"list", f, "--json"}));
    EXPECT_EQ(felder(ledger, "belegdatum"), (QStringList{"15.01.2016", "15.02.2016"}));
    EXPECT_EQ(felder(ledger, "betrag"), (QStringList{"500", "500"}));
    EXPECT_EQ(felder(jsonListe(dalvo({"regelbuchungen", f, "--json", "--stichtag", "20.03.2016"})), "belegdatum"), QStringList{"15.03.2016"});

    // A cancelled occurrence is due again.
    EXPECT_EQ(ok(dalvo({"cancel", f, "2"})), QStringLiteral("3"));
    EXPECT_EQ(felder(jsonListe(dalvo({"regelbuchungen", f, "--json", "--stichtag", "20.03.2016"})), "belegdatum"),
              (QStringList{"15.02.2016", "15.03.2016"}));
    EXPECT_EQ(ok(dalvo({"regelbuchungen", f, "--alle", "--stichtag", "20.03.2016"})), QStringLiteral("4\n5"));
    // Nothing left: --alle changes nothing.
    const QByteArray danach = hashOf(f);
    const Lauf nichts = dalvo({"regelbuchungen", f, "--alle", "--stichtag", "20.03.2016"});
    EXPECT_EQ(ok(nichts), QString());
    EXPECT_TRUE(nichts.err.contains(QStringLiteral("Zurzeit liegen keine regelmäßigen Buchungen vor, die bis zum 20.03.2016 fällig sind.")));
    EXPECT_EQ(hashOf(f), danach);
    EXPECT_EQ(jsonListe(dalvo({"regelbuchungen", f, "--json", "--stichtag", "20.03.2016"})).size(), 0);
    EXPECT_EQ(dalvo({"verify", f}).rc, 0);

    // Deleting the template keeps the bookings.
    ok(dalvo({"vorlage", f, "loeschen", "1"}));
    EXPECT_EQ(jsonListe(dalvo({"vorlage", f, "list", "--json"})).size(), 0);
    EXPECT_EQ(jsonListe(dalvo({"list", f, "--json"})).size(), 5);
}

TEST(CliRegel, VorlageAusBuchungMitAbweichendemZahlungsdatum) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("b.dalvo"));
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    // A quarterly insurance taken from its first booking.
    EXPECT_EQ(ok(dalvo({"book", f, "--kind", "ausgabe", "--date", "10.01.2016", "--amount", "90,00", "--account", "1200", "--counter", "4360",
                        "--text", "Versicherung"})),
              QStringLiteral("1"));
    EXPECT_EQ(ok(dalvo({"vorlage", f, "add", "--aus-buchung", "1", "--intervall", "vierteljaehrlich"})), QStringLiteral("1"));
    const QJsonArray vorlagen = jsonListe(dalvo({"vorlage", f, "list", "--json", "--regelmaessig"}));
    ASSERT_EQ(vorlagen.size(), 1);
    EXPECT_EQ(vorlagen.first().toObject()[QStringLiteral("zusatzinfo")].toString(), QStringLiteral("FromBuchung:1"));
    EXPECT_EQ(vorlagen.first().toObject()[QStringLiteral("intervall")].toString(), QStringLiteral("vierteljährlich"));
    // The booking was the first; by 30.06. April is due, July not yet.
    EXPECT_EQ(felder(jsonListe(dalvo({"regelbuchungen", f, "--json", "--stichtag", "30.06.2016"})), "belegdatum"), QStringList{"10.04.2016"});

    // Maintenance invoiced on the 28th and paid a week later: December's is
    // paid on 04.01.2017 and belongs to 2016 (the tax year lies before today).
    EXPECT_EQ(ok(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "28.09.2016", "--zahlungsdatum", "05.10.2016", "--amount", "80,00",
                        "--account", "1200", "--counter", "4210", "--text", "Wartung", "--intervall", "monatlich"})),
              QStringLiteral("2"));
    QStringList wartung;
    for (const QJsonValue& x : jsonListe(dalvo({"regelbuchungen", f, "--json"})))
        if (x.toObject()[QStringLiteral("vorlage")].toInt() == 2)
            wartung << x.toObject()[QStringLiteral("belegdatum")].toString() + QLatin1Char('/') + x.toObject()[QStringLiteral("zahlungsdatum")].toString();
    EXPECT_EQ(wartung, (QStringList{"28.09.2016/05.10.2016", "28.10.2016/05.11.2016", "28.11.2016/05.12.2016", "28.12.2016/05.01.2017"}));
}

TEST(CliRegel, AbgeschlosseneKasse) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("k.dalvo"));
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    ok(dalvo({"book", f, "--kind", "frei", "--date", "02.01.2016", "--amount", "300,00", "--account", "1000", "--counter", "1200", "--text", "Bargeld"}));
    ok(dalvo({"kassenabschluss", f, "--datum", "31.01.2016", "--gezaehlt", "300,00", "--yes"}));
    EXPECT_EQ(ok(dalvo({"vorlage", f, "add", "--kind", "ausgabe", "--date", "15.01.2016", "--amount", "20,00", "--account", "1000", "--counter",
                        "4210", "--text", "Parkplatz", "--intervall", "monatlich"})),
              QStringLiteral("1"));
    const QByteArray vorher = hashOf(f);
    // January lies in the closed period: the whole run is refused, February too.
    const Lauf r = dalvo({"regelbuchungen", f, "--alle", "--stichtag", "20.02.2016", "--yes"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("„Parkplatz“ vom 15.01.2016 (Vorlage 1)"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Es wurde nichts gebucht.")));
    EXPECT_EQ(hashOf(f), vorher);
    // February alone may be posted.
    EXPECT_EQ(ok(dalvo({"regelbuchungen", f, "--buchen", "2", "--stichtag", "20.02.2016"})), QStringLiteral("2"));
}

}  // namespace
