// Invoicing from the command line, end to end: firm, customer, two
// articles, an invoice of three positions as XRechnung and PDF, posted on
// payment and seen by the UStVA and the EÜR; a reminder for an unpaid one;
// refusals that leave the case untouched.
#include "support/dalvo_lauf.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CliFaktura, VonDerFirmaBisZurEuer) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("f.dalvo"));
    auto ok = [](const Lauf& l) { EXPECT_EQ(l.rc, 0) << l.err.toStdString(); return l.out.trimmed(); };
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    ok(dalvo({"firma", f, "--name", "Muster IT", "--strasse", "Hauptstr. 1", "--plz", "10115", "--ort", "Berlin", "--steuernummer",
              "12/345/67890", "--kontakt", "Max Muster", "--telefon", "030 123", "--email", "max@muster.de", "--iban", "DE89370400440532013000"}));
    EXPECT_EQ(ok(dalvo({"kunde", f, "add", "--firma", "O'Brien GmbH", "--strasse", "Weg 2", "--plz", "20095", "--ort", "Hamburg", "--email", "a@b.de"})),
              QStringLiteral("K0001"));
    EXPECT_EQ(ok(dalvo({"artikel", f, "add", "--bezeichnung", "Beratung", "--preis", "100", "--schluessel", "5", "--konto", "8400", "--einheit", "Std"})),
              QStringLiteral("A0001"));
    ok(dalvo({"artikel", f, "add", "--bezeichnung", "Buch", "--bruttopreis", "21,40", "--schluessel", "2", "--konto", "8300"}));
    const QString nr = ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "15.03.2016", "--leistung", "01.03.2016..10.03.2016", "--yes"}));
    EXPECT_EQ(nr, QStringLiteral("RE-2016-0001"));
    ok(dalvo({"rechnung", f, "position", nr, "--artikel", "A0001", "--menge", "3", "--rabatt", "10"}));
    ok(dalvo({"rechnung", f, "position", nr, "--artikel", "A0002", "--menge", "2"}));
    ok(dalvo({"rechnung", f, "position", nr, "--text", "Fahrt", "--preis", "50", "--schluessel", "5", "--konto", "8400"}));
    // 270 + 50 net at 19 % (60,80), 42,80 gross at 7 % (40,00 + 2,80): 423,60.
    const QJsonObject show = QJsonDocument::fromJson(ok(dalvo({"rechnung", f, "show", nr, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(show[QStringLiteral("endsumme")].toDouble(), 423.60);
    EXPECT_DOUBLE_EQ(show[QStringLiteral("steuer")].toDouble(), 63.60);

    const QString xml = dir.filePath(QStringLiteral("r.xml")), pdf = dir.filePath(QStringLiteral("r.pdf"));
    ok(dalvo({"rechnung", f, "xrechnung", nr, xml}));
    ok(dalvo({"rechnung", f, "pdf", nr, pdf}));
    QFile x(xml), p(pdf);
    ASSERT_TRUE(x.open(QIODevice::ReadOnly) && p.open(QIODevice::ReadOnly));
    const QByteArray xmlText = x.readAll(), pdfText = p.readAll();
    EXPECT_TRUE(xmlText.contains("<ram:GrandTotalAmount>423.60</ram:GrandTotalAmount>"));
    EXPECT_TRUE(pdfText.startsWith("%PDF"));
    EXPECT_TRUE(pdfText.contains("(factur-x.xml)"));
    EXPECT_TRUE(pdfText.contains(xmlText));

    // A refused command leaves the case byte for byte.
    const QByteArray vorher = hashOf(f);
    EXPECT_EQ(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "15.03.2016", "--nummer", nr, "--yes"}).rc, 1);
    EXPECT_EQ(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "01.03.2016", "--no"}).rc, 1);  // before the last invoice
    EXPECT_EQ(dalvo({"rechnung", f, "xrechnung", nr, xml}).rc, 1);  // exists, no --force
    EXPECT_EQ(dalvo({"rechnung", f, "buchen", nr, "--geldkonto", "1200"}).rc, 2);
    EXPECT_EQ(dalvo({"kunde", f, "add", "--name", "X", "--ustid", "FR123"}).rc, 1);
    EXPECT_EQ(dalvo({"kunde", f, "add", "--name", "X", "--leitweg", "04011000-1234512345-07"}).rc, 1);
    EXPECT_EQ(dalvo({"rechnung", f, "position", nr, "--text", "X", "--preis", "-0,00", "--schluessel", "5", "--konto", "8400"}).rc, 2);
    EXPECT_EQ(hashOf(f), vorher);

    // A second invoice stays unpaid and is reminded of.
    const QString zweite = ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "20.03.2016", "--yes"}));
    ok(dalvo({"rechnung", f, "position", zweite, "--artikel", "A0001", "--menge", "1"}));
    EXPECT_TRUE(ok(dalvo({"mahnung", f, "neu", zweite, "--gebuehr", "5,00", "--datum", "20.04.2016"})).contains(QStringLiteral("Stufe 1")));
    EXPECT_TRUE(ok(dalvo({"mahnung", f, "list"})).contains(zweite));

    const QString buchung = ok(dalvo({"rechnung", f, "buchen", nr, "--geldkonto", "1200", "--datum", "20.03.2016"}));
    EXPECT_FALSE(buchung.isEmpty());
    const QJsonObject ustva = QJsonDocument::fromJson(ok(dalvo({"ustva", f, "--month", "3", "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("81")].toDouble(), 320.0);
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("86")].toDouble(), 40.0);
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("summen")].toObject()[QStringLiteral("umsatzsteuer")].toDouble(), 63.60);
    const QJsonObject euer = QJsonDocument::fromJson(ok(dalvo({"euer", f, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("einnahmen")].toDouble(), 423.60);
    EXPECT_TRUE(ok(dalvo({"rechnung", f, "list", "--offen"})).contains(zweite));
    EXPECT_FALSE(ok(dalvo({"rechnung", f, "list", "--offen"})).contains(nr));
    // Deleting the payment opens the invoice again.
    ok(dalvo({"delete", f, buchung, "--yes"}));
    EXPECT_TRUE(ok(dalvo({"rechnung", f, "list", "--offen"})).contains(nr));
    EXPECT_EQ(dalvo({"rechnung", f}).rc, 2);
    EXPECT_EQ(dalvo({"erinnerungen", f, "--erledigt", "9"}).rc, 1);
}
// The chain offer -> order confirmation -> delivery note -> invoice from the
// command line, the invoice paid with discount, deleting, and refusals that
// leave the case byte for byte.
TEST(CliFaktura, AngebotBisSkonto) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("f.dalvo"));
    auto ok = [](const Lauf& l) { EXPECT_EQ(l.rc, 0) << l.err.toStdString(); return l.out.trimmed(); };
    ok(dalvo({"new", f, "--year", "2016", "--no-examples"}));
    ok(dalvo({"firma", f, "--name", "Muster IT", "--strasse", "Hauptstr. 1", "--plz", "10115", "--ort", "Berlin", "--steuernummer", "12/345/67890"}));
    ok(dalvo({"kunde", f, "add", "--firma", "Kunde AG", "--strasse", "Weg 2", "--plz", "20095", "--ort", "Hamburg", "--zahlungsziel", "30",
              "--skonto", "2", "--skontotage", "10"}));
    const QString an = ok(dalvo({"angebot", f, "neu", "--kunde", "K0001", "--datum", "01.03.2016"}));
    EXPECT_EQ(an, QStringLiteral("AN-2016-0001"));
    ok(dalvo({"angebot", f, "position", an, "--text", "Beratung", "--preis", "100", "--schluessel", "5", "--konto", "8400"}));
    ok(dalvo({"angebot", f, "position", an, "--text", "Buch", "--preis", "100", "--schluessel", "2", "--konto", "8300"}));
    const QJsonObject show = QJsonDocument::fromJson(ok(dalvo({"angebot", f, "show", an, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(show[QStringLiteral("endsumme")].toDouble(), 226.00);  // 119,00 + 107,00
    EXPECT_EQ(show[QStringLiteral("art")].toString(), QStringLiteral("Angebot"));
    EXPECT_FALSE(show.contains(QStringLiteral("offen")));
    const QString pdf = dir.filePath(QStringLiteral("a.pdf"));
    ok(dalvo({"angebot", f, "pdf", an, pdf}));
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    const QByteArray pdfText = p.readAll();
    EXPECT_TRUE(pdfText.startsWith("%PDF"));
    EXPECT_FALSE(pdfText.contains("factur-x.xml"));  // an offer is no invoice

    const QString ab = ok(dalvo({"angebot", f, "uebernehmen", an, "--als", "auftrag", "--datum", "02.03.2016"}));
    EXPECT_EQ(ab, QStringLiteral("AB-2016-0001"));
    const QString ls = ok(dalvo({"auftrag", f, "uebernehmen", ab, "--als", "lieferschein", "--datum", "05.03.2016"}));
    EXPECT_EQ(ls, QStringLiteral("LS-2016-0001"));
    const QString re = ok(dalvo({"lieferschein", f, "uebernehmen", ls, "--als", "rechnung", "--datum", "07.03.2016", "--yes"}));
    EXPECT_EQ(re, QStringLiteral("RE-2016-0001"));
    EXPECT_TRUE(ok(dalvo({"lieferschein", f, "list"})).contains(ls));

    // Refusals and usage errors leave the case as it was.
    const QByteArray vorher = hashOf(f);
    EXPECT_EQ(dalvo({"angebot", f, "uebernehmen", an, "--als", "auftrag", "--datum", "02.03.2016"}).rc, 1);  // again: asks, no
    EXPECT_EQ(dalvo({"angebot", f, "loeschen", an}).rc, 1);                                                  // an order was made from it
    EXPECT_EQ(dalvo({"rechnung", f, "buchen", re, "--geldkonto", "1200", "--datum", "18.03.2016", "--skonto"}).rc, 1);  // after 17.03.
    EXPECT_EQ(dalvo({"rechnung", f, "buchen", re, "--geldkonto", "1200", "--datum", "10.03.2016", "--betrag", "200"}).rc, 1);  // 26,00 > 4,52
    EXPECT_EQ(dalvo({"angebot", f, "neu", "--kunde", "K0001", "--korrektur"}).rc, 2);
    EXPECT_EQ(dalvo({"auftrag", f, "uebernehmen", ab}).rc, 2);
    EXPECT_EQ(dalvo({"lieferschein", f, "uebernehmen", ls, "--als", "angebot"}).rc, 2);
    EXPECT_EQ(dalvo({"rechnung", f, "buchen", re, "--geldkonto", "1200", "--datum", "10.03.2016", "--skonto", "--betrag", "1"}).rc, 2);
    EXPECT_EQ(hashOf(f), vorher);

    // Paid 226,00 - 2 % = 221,48 within the period: the discount 4,52 reduces both rates.
    const QStringList nummern = ok(dalvo({"rechnung", f, "buchen", re, "--geldkonto", "1200", "--datum", "15.03.2016", "--betrag", "221,48"}))
                                    .split(QLatin1Char('\n'));
    EXPECT_EQ(nummern.size(), 2);
    const QJsonObject ustva = QJsonDocument::fromJson(ok(dalvo({"ustva", f, "--month", "3", "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("81")].toDouble(), 98.0);  // 100,00 - 2,00
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("kennziffern")].toObject()[QStringLiteral("86")].toDouble(), 98.0);  // 100,00 - 2,00
    EXPECT_DOUBLE_EQ(ustva[QStringLiteral("summen")].toObject()[QStringLiteral("umsatzsteuer")].toDouble(), 25.48);  // 18,62 + 6,86
    const QJsonObject euer = QJsonDocument::fromJson(ok(dalvo({"euer", f, "--json"})).toUtf8()).object();
    EXPECT_DOUBLE_EQ(euer[QStringLiteral("einnahmen")].toDouble(), 221.48);
    ok(dalvo({"verify", f}));

    // A posted invoice stays; the newest unposted one goes after the question and its number comes back.
    const QByteArray gebucht = hashOf(f);
    EXPECT_EQ(dalvo({"rechnung", f, "loeschen", re, "--yes"}).rc, 1);
    EXPECT_EQ(hashOf(f), gebucht);
    const QString zweite = ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "20.03.2016", "--yes"}));
    EXPECT_EQ(dalvo({"rechnung", f, "loeschen", zweite}).rc, 1);  // not confirmed
    ok(dalvo({"rechnung", f, "loeschen", zweite, "--yes"}));
    EXPECT_EQ(ok(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "21.03.2016", "--yes"})), zweite);
}
}  // namespace
