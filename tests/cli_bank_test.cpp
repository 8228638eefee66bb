// The bank from the command line, end to end: a bank connection, a month's
// CAMT.053 statement, the proposals, the takeover of all, one transaction
// booked by hand, and the UStVA, the EÜR and the self-check afterwards;
// refusals that leave the case untouched.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kMonat = QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/camt053_2016-06_monat.xml");

TEST(CliBank, VomKontoauszugBisZurEuer) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("b.dalvo"));
    auto ok = [](const Lauf& l) { EXPECT_EQ(l.rc, 0) << l.err.toStdString(); return l.out.trimmed(); };
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    // What the ledger already knows: May's rent and toner, an open invoice.
    ok(dalvo({"book", f, "--kind", "ausgabe", "--date", "02.05.2016", "--amount", "500,00", "--account", "1200", "--counter", "4210", "--text", "Miete"}));
    ok(dalvo({"book", f, "--kind", "ausgabe", "--date", "12.05.2016", "--amount", "119,00", "--account", "1200", "--counter", "4930", "--key", "7",
              "--text", "Toner"}));
    ok(dalvo({"firma", f, "--name", "Muster IT", "--strasse", "Hauptstr. 1", "--plz", "10115", "--ort", "Berlin", "--steuernummer", "12/345/67890"}));
    ok(dalvo({"kunde", f, "add", "--firma", "Kunde AG", "--strasse", "Weg 2", "--plz", "20095", "--ort", "Hamburg"}));
    const QString re = ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "01.06.2016", "--yes"}));
    ASSERT_EQ(re, QStringLiteral("RE-2016-0001"));
    ok(dalvo({"rechnung", f, "position", re, "--text", "Beratung", "--preis", "1000", "--schluessel", "5", "--konto", "8400"}));

    // Refusals before the connection exists, and of bad input: the file stays as it was.
    const QByteArray vorher = hashOf(f);
    EXPECT_EQ(dalvo({"bank", f, "import", kMonat}).rc, 1);  // no connection for the IBAN yet
    EXPECT_EQ(dalvo({"bank", f, "add", "--konto", "4210", "--iban", "DE89370400440532013000"}).rc, 1);
    EXPECT_EQ(dalvo({"bank", f, "add", "--konto", "1200", "--iban", "DE00370400440532013000"}).rc, 1);
    EXPECT_EQ(dalvo({"bank", f, "import", dir.filePath(QStringLiteral("fehlt.xml"))}).rc, 2);
    EXPECT_EQ(dalvo({"bank", f, "import", kMonat, "--format", "pdf"}).rc, 2);
    EXPECT_EQ(dalvo({"bank", f, "uebernehmen"}).rc, 2);
    EXPECT_EQ(hashOf(f), vorher);

    EXPECT_EQ(ok(dalvo({"bank", f, "add", "--konto", "1200", "--iban", "DE89 3704 0044 0532 0130 00", "--name", "Geschäftskonto"})), QStringLiteral("1"));
    EXPECT_TRUE(ok(dalvo({"bank", f, "list"})).contains(QStringLiteral("DE89370400440532013000")));
    const Lauf import = dalvo({"bank", f, "import", kMonat});
    EXPECT_EQ(ok(import), QStringLiteral("4"));
    EXPECT_TRUE(import.err.contains(QStringLiteral("Es wurden 4 Umsätze für das Wirtschaftsjahr 2016 abgerufen.")));
    // The same file again stores nothing and leaves the case as it was.
    const QByteArray nachImport = hashOf(f);
    EXPECT_EQ(ok(dalvo({"bank", f, "import", kMonat})), QStringLiteral("0"));
    EXPECT_EQ(hashOf(f), nachImport);

    // The proposals: invoice 150, rent and toner from May's bookings 120, the fee none.
    const QJsonArray v = QJsonDocument::fromJson(ok(dalvo({"bank", f, "vorschlaege", "--json"})).toUtf8()).array();
    ASSERT_EQ(v.size(), 4);
    QMap<QString, QJsonObject> nachText;
    for (const QJsonValue& x : v) nachText.insert(x.toObject()[QStringLiteral("text")].toString(), x.toObject());
    const QJsonObject zahlung = nachText.value(QStringLiteral("Rechnung RE-2016-0001 vom 01.06.2016"))[QStringLiteral("vorschlag")].toObject();
    EXPECT_EQ(zahlung[QStringLiteral("art")].toString(), QStringLiteral("rechnung"));
    EXPECT_EQ(zahlung[QStringLiteral("wertung")].toInt(), 150);
    EXPECT_EQ(zahlung[QStringLiteral("rechnung")].toString(), re);
    const QJsonObject miete = nachText.value(QStringLiteral("Miete Juni Buero"))[QStringLiteral("vorschlag")].toObject();
    EXPECT_EQ(miete[QStringLiteral("gegenkonto")].toInt(), 4210);
    EXPECT_EQ(miete[QStringLiteral("wertung")].toInt(), 120);
    EXPECT_TRUE(miete[QStringLiteral("grund")].toString().contains(QStringLiteral("„Miete“")));
    EXPECT_EQ(nachText.value(QStringLiteral("Toner schwarz"))[QStringLiteral("vorschlag")].toObject()[QStringLiteral("steuerschluessel")].toInt(), 7);
    const QJsonObject gebuehr = nachText.value(QStringLiteral("Kontofuehrungsentgelt Juni"));
    EXPECT_TRUE(gebuehr[QStringLiteral("vorschlag")].isNull());

    // Take over all that is trusted; the fee stays open and is booked by hand.
    const Lauf alle = dalvo({"bank", f, "uebernehmen", "--alle"});
    EXPECT_EQ(ok(alle).split(QLatin1Char('\n')).size(), 3);
    EXPECT_TRUE(alle.err.contains(QStringLiteral("Es wurden 3 Umsätze in die Einnahmen und Ausgaben übernommen.")));
    const QString id = QString::number(gebuehr[QStringLiteral("id")].toInt());
    EXPECT_TRUE(alle.err.contains(QStringLiteral("Ohne sicheren Vorschlag offen geblieben: Umsatz ") + id + QStringLiteral(" ")))
        << alle.err.toStdString();
    ok(dalvo({"bank", f, "uebernehmen", id, "--gegenkonto", "4970"}));
    EXPECT_TRUE(ok(dalvo({"bank", f, "umsaetze", "--offen"})).contains(QStringLiteral("keine offenen Umsätze")));
    EXPECT_TRUE(ok(dalvo({"rechnung", f, "show", re})).contains(QStringLiteral("bezahlt am 10.06.2016")));

    // June's advance return: revenue 1.000 at 19 % (190,00 tax), input tax
    // 19,00 of the toner; 190,00 - 19,00 = 171,00 to pay.
    const QJsonObject ustva = QJsonDocument::fromJson(ok(dalvo({"ustva", f, "--month", "6", "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("81")].toDouble(), 1000.0);
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("66")].toDouble(), 19.0);
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("summen")].toObject()[QStringLiteral("vorauszahlung")].toDouble(), 171.0);
    // EÜR: income 1.190,00; expenses May 500 + 119, June 500 + 119 + 4,90 = 1.242,90.
    const QJsonObject euer = QJsonDocument::fromJson(ok(dalvo({"euer", f, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("einnahmen")].toDouble(), 1190.0);
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("ausgaben")].toDouble(), 1242.90);
    EXPECT_EQ(dalvo({"verify", f}).rc, 0);

    // Locked up to June: a reset asks; without yes nothing changes.
    ok(dalvo({"lock", f, "30.06.2016"}));
    const QByteArray gesperrt = hashOf(f);
    EXPECT_EQ(dalvo({"bank", f, "zuruecksetzen", id, "--no"}).rc, 1);
    EXPECT_EQ(dalvo({"bank", f, "ignorieren", id}).rc, 1);  // processed, not open
    EXPECT_EQ(hashOf(f), gesperrt);
    ok(dalvo({"bank", f, "zuruecksetzen", id, "--yes"}));
    // Cancelled, not deleted: the fee and its mirror both stay in the ledger.
    const QJsonArray liste = QJsonDocument::fromJson(ok(dalvo({"list", f, "--json", "--month", "6"})).toUtf8()).array();
    int stornos = 0;
    for (const QJsonValue& b : liste) stornos += b.toObject()[QStringLiteral("storno")].toBool() ? 1 : 0;
    EXPECT_EQ(stornos, 1);
    EXPECT_TRUE(ok(dalvo({"bank", f, "umsaetze", "--offen"})).contains(QStringLiteral("Kontofuehrungsentgelt")));
    EXPECT_EQ(ok(dalvo({"bank", f, "ignorieren", id})), QStringLiteral("1"));
    EXPECT_EQ(dalvo({"verify", f}).rc, 0);
    EXPECT_TRUE(ok(dalvo({"help", "bank"})).contains(QStringLiteral("vorschlaege")));
}
// The README's year: the recurring rent posted by `regelbuchungen` and an
// invoice posted paid with `rechnung buchen`, then January's statement.
// Both transactions meet their bookings and nothing is posted twice; a
// reset unlinks without deleting, and a link by hand checks what it links.
TEST(CliBank, RegelbuchungUndGebuchteRechnungNichtDoppelt) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("j.dalvo"));
    auto ok = [](const Lauf& l) { EXPECT_EQ(l.rc, 0) << l.err.toStdString(); return l.out.trimmed(); };
    auto anzahl = [&]() { return QJsonDocument::fromJson(ok(dalvo({"info", f, "--json"})).toUtf8()).object()[QStringLiteral("buchungen")].toInt(); };
    ok(dalvo({"neu", f, "--jahr", "2016", "--kontenrahmen", "SKR03", "--no-examples"}));
    ok(dalvo({"firma", f, "--name", "Muster IT-Beratung", "--strasse", "Hauptstr. 1", "--plz", "12345", "--ort", "Musterstadt", "--steuernummer",
              "12/345/67890"}));
    ok(dalvo({"vorlage", f, "neu", "--art", "ausgabe", "--datum", "01.01.2016", "--betrag", "850,00", "--konto", "1200", "--gegenkonto", "4210",
              "--text", "Büromiete", "--intervall", "monatlich"}));
    ok(dalvo({"regelbuchungen", f, "--alle", "--ja"}));
    ok(dalvo({"bank", f, "neu", "--konto", "1200", "--iban", "DE89370400440532013000"}));
    ok(dalvo({"kunde", f, "neu", "--firma", "Weber KG", "--strasse", "Industriestr. 5", "--plz", "54321", "--ort", "Werkstadt"}));
    ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "15.01.2016", "--ja"}));
    ok(dalvo({"rechnung", f, "position", "RE-2016-0001", "--text", "Beratung Januar", "--preis", "2.000,00", "--schluessel", "5", "--konto", "8400"}));
    ok(dalvo({"rechnung", f, "buchen", "RE-2016-0001", "--geldkonto", "1200", "--datum", "29.01.2016"}));
    const int vorher = anzahl();
    const QJsonObject euerVorher = QJsonDocument::fromJson(ok(dalvo({"euer", f, "--json"})).toUtf8()).object();
    const QString januar = QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/camt053_2016-01_jahr.xml");
    EXPECT_EQ(ok(dalvo({"bank", f, "import", januar})), QStringLiteral("2"));

    const QJsonArray v = QJsonDocument::fromJson(ok(dalvo({"bank", f, "vorschlaege", "--json"})).toUtf8()).array();
    ASSERT_EQ(v.size(), 2);
    for (const QJsonValue& x : v) {
        const QJsonObject o = x.toObject()[QStringLiteral("vorschlag")].toObject();
        EXPECT_EQ(o[QStringLiteral("art")].toString(), QStringLiteral("vorhanden")) << o[QStringLiteral("grund")].toString().toStdString();
        EXPECT_TRUE(o[QStringLiteral("uebernehmen")].toBool());
    }
    const Lauf alle = dalvo({"bank", f, "uebernehmen", "--alle", "--ja"});
    EXPECT_EQ(ok(alle), QString());  // no new booking
    EXPECT_TRUE(alle.err.contains(QStringLiteral("2 Umsätze wurden schon vorhandenen Buchungen zugeordnet"))) << alle.err.toStdString();
    EXPECT_EQ(anzahl(), vorher);
    EXPECT_EQ(QJsonDocument::fromJson(ok(dalvo({"euer", f, "--json"})).toUtf8()).object(), euerVorher);
    EXPECT_TRUE(ok(dalvo({"bank", f, "umsaetze", "--offen"})).contains(QStringLiteral("keine offenen Umsätze")));
    const QByteArray fertig = hashOf(f);
    ok(dalvo({"bank", f, "uebernehmen", "--alle", "--ja"}));
    EXPECT_EQ(hashOf(f), fertig);

    // A reset unlinks; the rent booking stays in the ledger.
    const QJsonArray u = QJsonDocument::fromJson(ok(dalvo({"bank", f, "umsaetze", "--json"})).toUtf8()).array();
    const QString miete = QString::number(u[0].toObject()[QStringLiteral("id")].toInt());
    const QString mieteBuchung = QString::number(u[0].toObject()[QStringLiteral("buchungsnummer")].toInt());
    const QString rechnungBuchung = QString::number(u[1].toObject()[QStringLiteral("buchungsnummer")].toInt());
    ok(dalvo({"bank", f, "zuruecksetzen", miete, "--ja"}));
    EXPECT_EQ(anzahl(), vorher);
    // By hand: a booking of another amount (the invoice's) or one that is
    // not there is refused with the file unchanged; the rent's own is taken.
    const QByteArray offen = hashOf(f);
    EXPECT_EQ(dalvo({"bank", f, "zuordnen", miete, "--buchung", rechnungBuchung}).rc, 1);
    EXPECT_EQ(dalvo({"bank", f, "zuordnen", miete, "--buchung", "9999"}).rc, 1);
    EXPECT_EQ(dalvo({"bank", f, "zuordnen", miete}).rc, 2);
    EXPECT_EQ(hashOf(f), offen);
    EXPECT_EQ(ok(dalvo({"bank", f, "zuordnen", miete, "--buchung", mieteBuchung})), mieteBuchung);
    EXPECT_EQ(dalvo({"bank", f, "zuordnen", miete, "--buchung", mieteBuchung}).rc, 1);  // no longer open
    EXPECT_EQ(anzahl(), vorher);
    EXPECT_EQ(dalvo({"verify", f}).rc, 0);

    // A transfer for the online banking: the file written, the case untouched.
    const QString sepa = dir.filePath(QStringLiteral("ueberweisung.xml"));
    const QByteArray fall = hashOf(f);
    const QStringList ueberweisung = {"bank", f, "ueberweisung", "--betrag", "119,00", "--empfaenger", "Bürobedarf Ost", "--iban",
                                      "DE44500105175407324931", "--zweck", "Rechnung 117", "--ausfuehrung", "31.12.2099", sepa};
    ok(dalvo(ueberweisung));
    EXPECT_TRUE(QFile(sepa).size() > 0);
    EXPECT_EQ(dalvo(ueberweisung).rc, 1);  // no file replaced without --ersetzen
    QStringList falsch = ueberweisung;
    falsch[4] = QStringLiteral("1,001");
    EXPECT_EQ(dalvo(falsch).rc, 2);
    EXPECT_EQ(hashOf(f), fall);

    // The connection goes with its transactions; the bookings stay.
    EXPECT_EQ(dalvo({"bank", f, "loeschen", "7"}).rc, 1);
    ok(dalvo({"bank", f, "loeschen", "1"}));
    EXPECT_TRUE(ok(dalvo({"bank", f, "liste"})).contains(QStringLiteral("noch kein Bankkonto")));
    EXPECT_EQ(anzahl(), vorher);
}
}  // namespace
