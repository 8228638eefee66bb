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
    EXPECT_EQ(dalvo({"rechnung", f, "neu", "--kunde", "K0001", "--datum", "15.03.2016", "--no"}).rc, 1);
    EXPECT_EQ(dalvo({"rechnung", f, "xrechnung", nr, xml}).rc, 1);  // exists, no --force
    EXPECT_EQ(dalvo({"rechnung", f, "buchen", nr, "--geldkonto", "1200"}).rc, 2);
    EXPECT_EQ(dalvo({"kunde", f, "add", "--name", "X", "--ustid", "FR123"}).rc, 1);
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
}  // namespace
