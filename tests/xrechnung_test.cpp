// The e-invoice: the business terms it carries, the rules that refuse it,
// the small business's exemption, corrections and exports, and the hybrid
// PDF/A-3 invoice that carries it.
#include "host/db/connection.h"
#include "kontbaum/faktura/faktura.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <QDomDocument>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {
using namespace Faktura;

QString text(QDomDocument d, const QString& name, int i = 0) {
    return d.elementsByTagNameNS(QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100"), name)
        .at(i)
        .toElement()
        .text();
}

// The checks of a hybrid invoice (below), for each kind of invoice.
void pruefeHybrid(DBConnection* db, const Beleg& r);

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
    // The XRechnung of `b` as its bytes in `xml` and as a document; a refusal fails the test.
    QDomDocument dokument(const Beleg& b, QByteArray* xml) {
        QString e;
        *xml = xrechnung(db, b, &e);
        EXPECT_FALSE(xml->isEmpty()) << e.toStdString();
        QDomDocument d;
        EXPECT_TRUE(d.setContent(*xml, true));
        return d;
    }
    TestEnv env;
    DBConnection* db = nullptr;
    unsigned long kunde = 0;
    Beleg r;
};

TEST_F(XRechnung, GeschaeftsbegriffeUndSummen) {
    einrichten(true);
    QByteArray xml;
    QDomDocument d = dokument(r, &xml);
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

TEST_F(XRechnung, KorrekturNenntDieRechnungUndGutschriftFordertNichts) {
    einrichten(true);
    QString e;
    Beleg k;
    k.personID = kunde;
    k.korrekturZu = r.id;
    k.datum = zDate(2016, 4, 2);
    k.zeitraumVon = k.zeitraumBis = zDate(2016, 3, 10);
    Position p = r.positionen[0];
    p.menge = -1;  // one hour of 90,00 net taken back: 107,10 gross
    p.bezeichnung = QStringLiteral("Beratung ☕ \U0001F680");  // a rocket: DejaVu Sans has the cup, not the rocket
    k.positionen = {p};
    ASSERT_TRUE(speichereBeleg(db, &k, &e)) << e.toStdString();
    EXPECT_EQ(k.rechnungsart, 1);
    ASSERT_TRUE(leseBeleg(db, Belegart::Rechnung, k.id, &k));
    EXPECT_EQ(k.korrekturZu, r.id);
    QByteArray xml;
    QDomDocument d = dokument(k, &xml);
    EXPECT_EQ(text(d, QStringLiteral("TypeCode")), QStringLiteral("381"));
    // BT-25 and BT-26 inside ram:InvoiceReferencedDocument, the date as qdt:DateTimeString format 102.
    const QDomElement ref = d.elementsByTagNameNS(QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100"),
                                                  QStringLiteral("InvoiceReferencedDocument"))
                                .at(0)
                                .toElement();
    EXPECT_EQ(ref.parentNode().localName(), QStringLiteral("ApplicableHeaderTradeSettlement"));
    EXPECT_EQ(ref.previousSiblingElement().localName(), QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"));
    EXPECT_EQ(ref.firstChildElement().text(), r.nummer);
    const QDomElement tag = ref.firstChildElement(QStringLiteral("FormattedIssueDateTime")).firstChildElement();
    EXPECT_EQ(tag.namespaceURI(), QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100"));
    EXPECT_EQ(tag.attribute(QStringLiteral("format")), QStringLiteral("102"));
    EXPECT_EQ(tag.text(), QStringLiteral("20160315"));
    EXPECT_EQ(text(d, QStringLiteral("DuePayableAmount")), QStringLiteral("107.10"));
    const QString seite = rechnungHtml(db, k);
    EXPECT_TRUE(seite.contains(QStringLiteral("Korrektur zu Rechnung %1 vom 15.03.2016").arg(r.nummer)));
    EXPECT_TRUE(seite.contains(QStringLiteral("Gutschrift über 107,10 €")));
    EXPECT_FALSE(seite.contains(QStringLiteral("Bitte überweisen")));
    // Printed as itself where the font has it, else as the visible U+FFFD: never nothing.
    const bool rakete = QFontMetrics(QFont(QStringLiteral("sans-serif"))).inFontUcs4(0x1F680);
    EXPECT_TRUE(seite.contains(rakete ? QStringLiteral("Beratung ☕ \U0001F680") : QStringLiteral("Beratung ☕ \uFFFD")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Beratung ☕ \U0001F680").toUtf8()));
    // Another customer's invoice cannot be corrected.
    Person x;
    x.name = QStringLiteral("Fremd");
    x.plz = QStringLiteral("1");
    x.ort = QStringLiteral("O");
    k.id = 0;
    k.nummer.clear();
    k.personID = speicherePerson(db, x, &e);
    EXPECT_FALSE(speichereBeleg(db, &k, &e));
    EXPECT_EQ(e, QStringLiteral("Die Rechnungskorrektur muss an denselben Kunden gehen wie die Rechnung %1.").arg(r.nummer));
}

TEST_F(XRechnung, AusfuhrInsDrittlandOhneStrasse) {
    einrichten(true);
    QString e;
    Firma f = leseFirma(db);
    Person ch;
    ch.firma = QStringLiteral("Berg AG");
    ch.plz = QStringLiteral("8001");
    ch.ort = QStringLiteral("Zürich");
    ch.land = QStringLiteral("CH");
    ch.email = QStringLiteral("a@berg.ch");
    ch.ustid = QStringLiteral("CHE-123.456.789");  // the Swiss business number, no EU VAT id
    ch.personID = speicherePerson(db, ch, &e);
    ASSERT_NE(ch.personID, 0u) << e.toStdString();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer=8120")));
    Beleg a = r;
    a.id = 0;
    a.nummer.clear();
    a.personID = ch.personID;
    a.positionen = {r.positionen[0]};
    a.positionen[0].steuerschluessel = 0;
    a.positionen[0].konto = 8120;  // tax-free exports, advance return 43
    a.versandNetto = 10.0_eur;
    a.versandSatz = 0.0;
    ASSERT_TRUE(speichereBeleg(db, &a, &e)) << e.toStdString();
    // BR-G-02: the seller's VAT id is required, a tax number is not enough.
    EXPECT_TRUE(pruefeXRechnung(db, a).join(QLatin1Char('|')).contains(QStringLiteral("[BR-G-02]")));
    f.ustid = QStringLiteral("DE123456789");
    ASSERT_TRUE(schreibeFirma(db, f, &e));
    QByteArray xml;
    QDomDocument d = dokument(a, &xml);
    // Line, shipping and breakdown in G at 0 % with the exemption reason and VATEX-EU-G.
    EXPECT_EQ(d.elementsByTagNameNS(QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100"),
                                    QStringLiteral("CategoryCode"))
                  .size(),
              3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(text(d, QStringLiteral("CategoryCode"), i), QStringLiteral("G"));
    EXPECT_EQ(text(d, QStringLiteral("ExemptionReasonCode")), QStringLiteral("VATEX-EU-G"));
    EXPECT_FALSE(text(d, QStringLiteral("ExemptionReason")).isEmpty());
    EXPECT_EQ(text(d, QStringLiteral("BasisAmount"), 1), QStringLiteral("280.00"));  // 270 + 10 shipping (0: the line discount's)
    EXPECT_EQ(text(d, QStringLiteral("TaxTotalAmount")), QStringLiteral("0.00"));
    EXPECT_TRUE(xml.contains("<ram:ID schemeID=\"VA\">CHE-123.456.789</ram:ID>"));
    // No street: the buyer's address is country, postcode and city alone.
    EXPECT_EQ(xml.count("<ram:LineOne>"), 1);  // the seller's street only
    EXPECT_TRUE(rechnungHtml(db, a).contains(QStringLiteral("Steuerfreie Ausfuhrlieferung (§ 4 Nr. 1 Buchst. a, § 6 UStG).")));
    // The printed invoice still asks for street or PO box (§ 14 UStG).
    EXPECT_TRUE(pruefeRechnungsangaben(db, a).contains(QStringLiteral("eine Straße oder ein Postfach")));
    ch.strasse = QStringLiteral("Postfach 12");
    ASSERT_NE(speicherePerson(db, ch, &e), 0u) << e.toStdString();
    pruefeHybrid(db, a);
    // A customer outside the EU may carry his country's number, one inside only a valid VAT id.
    ch.ustid = QStringLiteral("CHE-123.456.789 MWST");
    EXPECT_NE(speicherePerson(db, ch, &e), 0u) << e.toStdString();
    ch.land = QStringLiteral("FR");
    EXPECT_EQ(speicherePerson(db, ch, &e), 0u);
}

TEST(Leitweg, AufbauUndPruefziffern) {
    // The worked example of the Leitweg-ID format, and its variants.
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("04011000-1234512345-06")).isEmpty());
    EXPECT_TRUE(pruefeLeitweg(QString()).isEmpty());
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("04011000-1234512345-07")).contains(QStringLiteral("Prüfziffern")));
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("04011000-1234512354-06")).contains(QStringLiteral("Prüfziffern")));  // swapped digits
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("04011000123451234506")).contains(QStringLiteral("Aufbau")));
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("0-12345-06")).contains(QStringLiteral("Aufbau")));        // Grobadressierung too short
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("991-ABC-6")).contains(QStringLiteral("Aufbau")));         // one check digit
    // Letters of the Feinadressierung count as 10..35: 991101112 + 00 mod 97 = 69, 98 - 69 = 29.
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("991-ABC-29")).isEmpty());
    EXPECT_TRUE(pruefeLeitweg(QStringLiteral("991-abc-29")).isEmpty());
}

TEST_F(XRechnung, KleinunternehmerOhneSteuer) {
    einrichten(false);
    QByteArray xml;
    QDomDocument d = dokument(r, &xml);
    EXPECT_EQ(text(d, QStringLiteral("CategoryCode")), QStringLiteral("E"));
    EXPECT_EQ(text(d, QStringLiteral("TaxTotalAmount")), QStringLiteral("0.00"));
    EXPECT_EQ(text(d, QStringLiteral("GrandTotalAmount")), QStringLiteral("312.80"));  // 270 + 42,80 without tax
    EXPECT_TRUE(text(d, QStringLiteral("ExemptionReason")).contains(QStringLiteral("Kleinunternehmerregelung (§ 19 UStG)")));
    pruefeHybrid(db, r);
}

// The hybrid invoice, checked as a receiver checks it without the Java
// validator: qpdf's structural check, the attachment taken out again, the
// objects read back through qpdf's JSON and compared with what ISO 19005-3
// and Factur-X 1.0 require, and pdffonts for the fonts.
namespace {
QByteArray lauf(const QString& programm, const QStringList& argumente, int* rc = nullptr) {
    QProcess p;
    p.start(programm, argumente);
    p.waitForFinished(60000);
    if (rc) *rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}
QString ohneTyp(const QJsonValue& v) { return v.toString().mid(v.toString().startsWith(QLatin1String("u:")) ? 2 : 0); }
}  // namespace

void pruefeHybrid(DBConnection* db, const Beleg& r) {
    QString e;
    QByteArray pdf;
    ASSERT_TRUE(rechnungPdf(db, r, &pdf, &e)) << e.toStdString();
    const QByteArray xml = xrechnung(db, r, &e);
    QTemporaryDir dir;
    const QString datei = dir.filePath(QStringLiteral("r.pdf"));
    QFile f(datei);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(pdf) == pdf.size());
    f.close();
    EXPECT_TRUE(pdf.startsWith("%PDF-1.7\n%"));  // PDF/A-3 is PDF 1.7; a binary comment line follows (6.1.2)
    int rc = -1;
    const QByteArray check = lauf(QStringLiteral("qpdf"), {"--check", datei}, &rc);
    EXPECT_EQ(rc, 0) << check.toStdString();
    EXPECT_TRUE(check.contains("File is not encrypted"));
    EXPECT_TRUE(check.contains("No syntax or stream encoding errors found"));
    // The XML inside is the standalone XRechnung byte for byte.
    EXPECT_EQ(lauf(QStringLiteral("qpdf"), {"--show-attachment=factur-x.xml", datei}), xml);

    const QJsonObject o = QJsonDocument::fromJson(lauf(QStringLiteral("qpdf"), {"--json=2", "--json-key=qpdf", "--json-stream-data=inline",
        datei})).object()[QStringLiteral("qpdf")].toArray().at(1).toObject();
    auto objekt = [&](const QJsonValue& ref) { return o[QStringLiteral("obj:") + ref.toString()].toObject(); };
    auto wert = [&](const QJsonValue& ref) { return objekt(ref)[QStringLiteral("value")].toObject(); };
    auto daten = [&](const QJsonValue& ref) {
        return QByteArray::fromBase64(objekt(ref)[QStringLiteral("stream")].toObject()[QStringLiteral("data")].toString().toLatin1());
    };
    const QJsonObject trailer = o[QStringLiteral("trailer")].toObject()[QStringLiteral("value")].toObject();
    EXPECT_FALSE(trailer.contains(QStringLiteral("/Encrypt")));
    EXPECT_EQ(trailer[QStringLiteral("/ID")].toArray().size(), 2);
    const QJsonObject katalog = wert(trailer[QStringLiteral("/Root")]);
    // The attachment: in the name tree and the catalog's /AF, relationship Alternative, MIME type text/xml.
    const QJsonArray af = katalog[QStringLiteral("/AF")].toArray();
    ASSERT_EQ(af.size(), 1);
    const QJsonObject eintrag = wert(af[0]);
    EXPECT_EQ(eintrag[QStringLiteral("/AFRelationship")].toString(), QStringLiteral("/Alternative"));
    EXPECT_EQ(ohneTyp(eintrag[QStringLiteral("/F")]), QStringLiteral("factur-x.xml"));
    EXPECT_EQ(ohneTyp(eintrag[QStringLiteral("/UF")]), QStringLiteral("factur-x.xml"));
    const QJsonArray namen = wert(katalog[QStringLiteral("/Names")].toObject()[QStringLiteral("/EmbeddedFiles")])[QStringLiteral("/Names")].toArray();
    ASSERT_EQ(namen.size(), 2);
    EXPECT_EQ(namen[1], af[0]);
    const QJsonObject eingebettet =
        objekt(eintrag[QStringLiteral("/EF")].toObject()[QStringLiteral("/F")])[QStringLiteral("stream")].toObject()[QStringLiteral("dict")].toObject();
    EXPECT_EQ(eingebettet[QStringLiteral("/Subtype")].toString(), QStringLiteral("/text/xml"));  // written /text#2Fxml
    EXPECT_TRUE(eingebettet[QStringLiteral("/Params")].toObject().contains(QStringLiteral("/ModDate")));
    // The output intent: GTS_PDFA1 with an RGB display profile.
    const QJsonObject absicht = wert(katalog[QStringLiteral("/OutputIntents")].toArray().at(0));
    EXPECT_EQ(absicht[QStringLiteral("/S")].toString(), QStringLiteral("/GTS_PDFA1"));
    const QByteArray icc = daten(absicht[QStringLiteral("/DestOutputProfile")]);
    EXPECT_EQ(icc.mid(36, 4), QByteArray("acsp"));
    EXPECT_EQ(icc.mid(16, 4), QByteArray("RGB "));
    // The XMP, read back: PDF/A-3b, the Factur-X properties and their extension schema.
    const QJsonObject metaObjekt = objekt(katalog[QStringLiteral("/Metadata")])[QStringLiteral("stream")].toObject();
    EXPECT_FALSE(metaObjekt[QStringLiteral("dict")].toObject().contains(QStringLiteral("/Filter")));
    QDomDocument x;
    ASSERT_TRUE(x.setContent(daten(katalog[QStringLiteral("/Metadata")]), true));
    auto xmp = [&](const char* ns, const char* name, int i = 0) {
        return x.elementsByTagNameNS(QLatin1String(ns), QLatin1String(name)).at(i).toElement().text();
    };
    const char* fx = "urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#";
    EXPECT_EQ(xmp("http://www.aiim.org/pdfa/ns/id/", "part"), QStringLiteral("3"));
    EXPECT_EQ(xmp("http://www.aiim.org/pdfa/ns/id/", "conformance"), QStringLiteral("B"));
    EXPECT_EQ(xmp(fx, "DocumentType"), QStringLiteral("INVOICE"));
    EXPECT_EQ(xmp(fx, "DocumentFileName"), QStringLiteral("factur-x.xml"));
    EXPECT_EQ(xmp(fx, "Version"), QStringLiteral("1.0"));
    EXPECT_EQ(xmp(fx, "ConformanceLevel"), QStringLiteral("XRECHNUNG"));
    EXPECT_EQ(xmp("http://www.aiim.org/pdfa/ns/schema#", "namespaceURI"), QLatin1String(fx));
    EXPECT_EQ(xmp("http://www.aiim.org/pdfa/ns/schema#", "prefix"), QStringLiteral("fx"));
    QStringList beschrieben;
    for (int i = 0; i < 4; ++i) beschrieben << xmp("http://www.aiim.org/pdfa/ns/property#", "name", i);
    beschrieben.sort();
    EXPECT_EQ(beschrieben, (QStringList{"ConformanceLevel", "DocumentFileName", "DocumentType", "Version"}));
    // The information dictionary says what the XMP says (6.6.3).
    const QJsonObject info = wert(trailer[QStringLiteral("/Info")]);
    EXPECT_EQ(ohneTyp(info[QStringLiteral("/Title")]), xmp("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "li"));
    EXPECT_EQ(ohneTyp(info[QStringLiteral("/Producer")]), xmp("http://ns.adobe.com/pdf/1.3/", "Producer"));
    EXPECT_EQ(ohneTyp(info[QStringLiteral("/Creator")]), xmp("http://ns.adobe.com/xap/1.0/", "CreatorTool"));
    const QString erstellt = xmp("http://ns.adobe.com/xap/1.0/", "CreateDate").remove(QRegularExpression(QStringLiteral("[-:T]")));
    EXPECT_EQ(ohneTyp(info[QStringLiteral("/CreationDate")]), QStringLiteral("D:") + erstellt);
    // No transparency group, no soft mask, no alpha below 1 anywhere.
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QJsonObject d = it->toObject()[QStringLiteral("value")].toObject();
        EXPECT_NE(d[QStringLiteral("/S")].toString(), QStringLiteral("/Transparency")) << it.key().toStdString();
        for (const char* a : {"/CA", "/ca"})
            if (d.contains(QLatin1String(a))) EXPECT_EQ(d[QLatin1String(a)].toDouble(), 1.0) << it.key().toStdString();
        if (d.contains(QStringLiteral("/SMask"))) EXPECT_EQ(d[QStringLiteral("/SMask")].toString(), QStringLiteral("/None"));
    }
    // Every font embedded: the column "emb" of pdffonts says yes on each row.
    const QList<QByteArray> fonts = lauf(QStringLiteral("pdffonts"), {datei}, &rc).split('\n');
    ASSERT_EQ(rc, 0);
    int zeilen = 0;
    for (int i = 2; i < fonts.size(); ++i) {
        const QList<QByteArray> spalten = fonts[i].simplified().split(' ');
        if (spalten.size() < 7) continue;
        ++zeilen;
        EXPECT_EQ(spalten[spalten.size() - 5], QByteArray("yes")) << fonts[i].toStdString();
    }
    EXPECT_GE(zeilen, 1);
}

TEST_F(XRechnung, HybridIstPdfA3bMitFacturX) {
    einrichten(true);
    {
        SCOPED_TRACE("Rechnung mit zwei Steuersätzen, Rabatt und Bruttopreis");
        pruefeHybrid(db, r);
    }
    QString e;
    Beleg k;
    k.personID = kunde;
    k.korrekturZu = r.id;
    k.datum = zDate(2016, 4, 2);
    k.zeitraumVon = k.zeitraumBis = zDate(2016, 3, 10);
    k.positionen = {r.positionen[1]};
    k.positionen[0].menge = -1;
    ASSERT_TRUE(speichereBeleg(db, &k, &e)) << e.toStdString();
    {
        SCOPED_TRACE("Gutschrift");
        pruefeHybrid(db, k);
    }
    const QByteArray xml = xrechnung(db, r, &e);
    QByteArray kaputt;
    EXPECT_FALSE(hybridPdf(QByteArray("kein pdf"), xml, HybridAngaben(), &kaputt, &e));
    EXPECT_TRUE(e.startsWith(QStringLiteral("Die E-Rechnung konnte nicht in das PDF/A-3 eingebettet werden")));
}
}  // namespace
