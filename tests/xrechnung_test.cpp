// The e-invoice: the business terms it carries, the rules that refuse it,
// the small business's exemption, and the attachment inside the PDF.
#include "host/db/connection.h"
#include "kontbaum/faktura/faktura.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QDomDocument>
#include <gtest/gtest.h>

namespace {
using namespace Faktura;

QString text(QDomDocument d, const QString& name, int i = 0) {
    return d.elementsByTagNameNS(QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100"), name)
        .at(i)
        .toElement()
        .text();
}

class XRechnung : public ::testing::Test {
protected:
    void einrichten(bool ust) {
        db = testfall::neuerFall(nullptr, ust);
        ASSERT_NE(db, nullptr);
        testfall::festeSchluesselUndKonten(db);
        env.ui().setDefaultAnswer(true);
        Firma f;
        f.name = QStringLiteral("Muster IT");
        f.strasse = QStringLiteral("Hauptstr. 1");
        f.plz = QStringLiteral("10115");
        f.ort = QStringLiteral("Berlin");
        f.steuernummer = QStringLiteral("12/345/67890");
        f.kontakt = QStringLiteral("Max Muster");
        f.telefon = QStringLiteral("030 123");
        f.email = QStringLiteral("max@muster.de");
        f.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
        QString e;
        ASSERT_TRUE(schreibeFirma(db, f, &e)) << e.toStdString();
        Person p;
        p.firma = QStringLiteral("Kunde & Söhne <KG>");
        p.strasse = QStringLiteral("Weg 2");
        p.plz = QStringLiteral("20095");
        p.ort = QStringLiteral("Hamburg");
        p.email = QStringLiteral("rechnung@kunde.de");
        kunde = speicherePerson(db, p, &e);
        Position a;
        a.bezeichnung = QStringLiteral("Beratung");
        a.menge = 3;
        a.einheit = QStringLiteral("Std");
        a.preis = 100.0_eur;
        a.rabatt = 10.0;
        a.steuerschluessel = ust ? 5 : 0;
        a.konto = 8400;
        Position b = a;
        b.bezeichnung = QStringLiteral("Buch");
        b.menge = 2;
        b.rabatt = 0;
        b.brutto = true;
        b.bruttopreis = 21.40_eur;
        b.steuerschluessel = ust ? 2 : 0;
        b.konto = 8300;
        r.personID = kunde;
        r.datum = zDate(2016, 3, 15);
        r.zeitraumVon = zDate(2016, 3, 1);
        r.zeitraumBis = zDate(2016, 3, 10);
        r.positionen = {a, b};
        ASSERT_TRUE(speichereBeleg(db, &r, &e)) << e.toStdString();
    }
    TestEnv env;
    DBConnection* db = nullptr;
    unsigned long kunde = 0;
    Beleg r;
};

TEST_F(XRechnung, GeschaeftsbegriffeUndSummen) {
    einrichten(true);
    QString e;
    const QByteArray xml = xrechnung(db, r, &e);
    ASSERT_FALSE(xml.isEmpty()) << e.toStdString();
    QDomDocument d;
    ASSERT_TRUE(d.setContent(xml, true));
    EXPECT_EQ(text(d, QStringLiteral("ID"), 1), QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0"));
    EXPECT_EQ(text(d, QStringLiteral("TypeCode")), QStringLiteral("380"));
    EXPECT_EQ(text(d, QStringLiteral("LineTotalAmount"), 2), QStringLiteral("310.00"));   // 270 + 40
    EXPECT_EQ(text(d, QStringLiteral("TaxTotalAmount")), QStringLiteral("54.10"));       // 51,30 + 2,80
    EXPECT_EQ(text(d, QStringLiteral("GrandTotalAmount")), QStringLiteral("364.10"));
    EXPECT_EQ(text(d, QStringLiteral("DuePayableAmount")), QStringLiteral("364.10"));
    EXPECT_EQ(text(d, QStringLiteral("IBANID")), QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(text(d, QStringLiteral("BuyerReference")), QStringLiteral("K0001"));
    EXPECT_TRUE(xml.contains("Kunde &amp; Söhne &lt;KG&gt;"));
    EXPECT_TRUE(xml.contains("unitCode=\"HUR\""));
    EXPECT_TRUE(xml.contains("<ram:ActualAmount>30.00</ram:ActualAmount>"));
}

TEST_F(XRechnung, RegelnVerweigernMitNamen) {
    einrichten(true);
    QString e;
    Firma f = leseFirma(db);
    f.iban.clear();
    f.email.clear();
    ASSERT_TRUE(schreibeFirma(db, f, &e));
    EXPECT_TRUE(xrechnung(db, r, &e).isEmpty());
    EXPECT_TRUE(e.contains(QStringLiteral("[BR-DE-1]")));
    EXPECT_TRUE(e.contains(QStringLiteral("[BR-DE-7]")));
    // Reverse charge without the buyer's VAT number.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT OR REPLACE INTO eurSteuerschluessel (Steuerschluessel, Bezeichnung, Kurzbezeichnung, "
                                           "Steuersatz, Steuerart, VAKZUmsatz, Aktiv) VALUES (26, 'EU-Leistung', 'EU', 0, 'U', 21, 1)")));
    r.positionen[0].steuerschluessel = 26;
    const QStringList v = pruefeXRechnung(db, r);
    EXPECT_TRUE(v.join(QLatin1Char('|')).contains(QStringLiteral("[BR-AE-02]"))) << v.join(QLatin1Char('|')).toStdString();
}

TEST_F(XRechnung, KleinunternehmerOhneSteuer) {
    einrichten(false);
    QString e;
    const QByteArray xml = xrechnung(db, r, &e);
    ASSERT_FALSE(xml.isEmpty()) << e.toStdString();
    QDomDocument d;
    ASSERT_TRUE(d.setContent(xml, true));
    EXPECT_EQ(text(d, QStringLiteral("CategoryCode")), QStringLiteral("E"));
    EXPECT_EQ(text(d, QStringLiteral("TaxTotalAmount")), QStringLiteral("0.00"));
    EXPECT_EQ(text(d, QStringLiteral("GrandTotalAmount")), QStringLiteral("312.80"));  // 270 + 42,80 without tax
    EXPECT_TRUE(text(d, QStringLiteral("ExemptionReason")).contains(QStringLiteral("Kleinunternehmerregelung (§ 19 UStG)")));
}

TEST(PdfAnhang, InkrementelleAktualisierung) {
    QByteArray pdf("%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n"
                   "xref\n0 3\n0000000000 65535 f \n0000000009 00000 n \n0000000058 00000 n \ntrailer\n<< /Size 3 /Root 1 0 R >>\nstartxref\n110\n%%EOF\n");
    const QByteArray alt = pdf;
    QString e;
    ASSERT_TRUE(pdfAnhangEinfuegen(&pdf, QStringLiteral("factur-x.xml"), QByteArray("<x/>"), QStringLiteral("text/xml"), &e));
    EXPECT_TRUE(pdf.startsWith(alt));
    EXPECT_TRUE(pdf.contains("/Names << /EmbeddedFiles 5 0 R >>"));
    EXPECT_TRUE(pdf.contains("(factur-x.xml)"));
    EXPECT_TRUE(pdf.contains("/Prev 110"));
    // Every offset of the new cross-reference section points at its object.
    const int x = pdf.lastIndexOf("\nxref\n") + 1;
    const QList<QByteArray> zeilen = pdf.mid(x).split('\n');
    EXPECT_EQ(zeilen[1], QByteArray("1 1"));
    EXPECT_TRUE(pdf.mid(zeilen[2].left(10).toInt()).startsWith("1 0 obj"));
    EXPECT_EQ(zeilen[3], QByteArray("3 3"));
    EXPECT_TRUE(pdf.mid(zeilen[4].left(10).toInt()).startsWith("3 0 obj"));
    EXPECT_TRUE(pdf.mid(zeilen[6].left(10).toInt()).startsWith("5 0 obj"));
    QByteArray kaputt("kein pdf");
    EXPECT_FALSE(pdfAnhangEinfuegen(&kaputt, QStringLiteral("a.xml"), QByteArray("x"), QStringLiteral("text/xml"), &e));
    EXPECT_EQ(kaputt, QByteArray("kein pdf"));
}
}  // namespace
