// Reading and checking incoming e-invoices: every test file (written by hand
// from the CII, UBL, ZUGFeRD 1.0 and Factur-X standards) with its
// figures checked by hand, every broken one refused with its rule, and the
// input-tax key of each VAT category.
#include "kontbaum/eingang/eingang.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray datei(const char* name) {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/eingang/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

EuroType e(qint64 cent) { return EuroType::ausCent(cent); }

TEST(Eingang, JedeTestrechnungMitIhrenZahlen) {
    struct Fall {
        const char* datei;
        Eingang::Syntax syntax;
        const char* nummer;
        bool gutschrift;
        qint64 netto, steuer, zahlbetrag;
        int zeilen;          // rows of the VAT breakdown
        const char* ersteKategorie;
        const char* verkaeuferLand;
    };
    const Fall faelle[] = {
        {"cii_standard.xml", Eingang::Syntax::CII, "BS-2016-0412", false, 30000, 5700, 35700, 1, "S", "DE"},
        {"cii_mischsatz.xml", Eingang::Syntax::CII, "HU-16-0088", false, 8490, 1134, 9624, 2, "S", "DE"},
        {"cii_zuschlaege.xml", Eingang::Syntax::CII, "HU-16-0101", false, 53300, 9431, 52731, 2, "S", "DE"},
        {"cii_gutschrift.xml", Eingang::Syntax::CII, "GS-2016-0007", true, 10000, 1900, 11900, 1, "S", "DE"},
        {"cii_reverse_charge.xml", Eingang::Syntax::CII, "2016/117", false, 200000, 0, 200000, 1, "AE", "AT"},
        {"cii_kleinunternehmer.xml", Eingang::Syntax::CII, "17", false, 25000, 0, 25000, 1, "E", "DE"},
        {"ubl_innergemeinschaftlich.xml", Eingang::Syntax::UBL, "NL-2016-3321", false, 29500, 0, 29500, 1, "K", "NL"},
        {"ubl_gutschrift.xml", Eingang::Syntax::UBL, "HU-16-0093", true, 4890, 450, 5340, 2, "S", "DE"},
        {"zugferd1.xml", Eingang::Syntax::ZUGFeRD1, "ZF-2016-0815", false, 5490, 1043, 6533, 1, "S", "DE"},
        {"zugferd1.pdf", Eingang::Syntax::ZUGFeRD1, "ZF-2016-0815", false, 5490, 1043, 6533, 1, "S", "DE"},
        {"facturx.pdf", Eingang::Syntax::CII, "FX-2016-0042", false, 8490, 1134, 9624, 2, "S", "DE"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.datei);
        Eingang::Rechnung r;
        QString fehler;
        ASSERT_TRUE(Eingang::leseDatei(datei(f.datei), &r, &fehler)) << fehler.toStdString();
        EXPECT_EQ(r.syntax, f.syntax);
        EXPECT_EQ(r.nummer, QLatin1String(f.nummer));
        EXPECT_EQ(r.gutschrift(), f.gutschrift);
        EXPECT_EQ(r.netto, e(f.netto));
        EXPECT_EQ(r.steuer, e(f.steuer));
        EXPECT_EQ(r.zahlbetrag, e(f.zahlbetrag));
        ASSERT_EQ(r.steuern.size(), f.zeilen);
        EXPECT_EQ(r.steuern.first().kategorie, QLatin1String(f.ersteKategorie));
        EXPECT_EQ(r.verkaeufer.land, QLatin1String(f.verkaeuferLand));
        EXPECT_EQ(r.waehrung, QStringLiteral("EUR"));
    }
    // The details a booking and a payment need, from one file of each syntax.
    Eingang::Rechnung r;
    QString fehler;
    ASSERT_TRUE(Eingang::leseDatei(datei("cii_zuschlaege.xml"), &r, &fehler));
    EXPECT_EQ(r.positionen.size(), 3);
    EXPECT_EQ(r.positionen[0].netto, e(36000));
    ASSERT_EQ(r.positionen[0].zuschlaege.size(), 1);
    EXPECT_FALSE(r.positionen[0].zuschlaege[0].zuschlag);
    EXPECT_EQ(r.vorausbezahlt, e(10000));
    EXPECT_EQ(r.steuern[0].basis, e(47500));
    EXPECT_EQ(r.steuern[1].steuer, e(406));
    EXPECT_EQ(r.faellig, zDate(2016, 6, 10));
    EXPECT_EQ(r.iban, QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(r.verkaeufer.ustid, QStringLiteral("DE129273398"));
    ASSERT_TRUE(Eingang::leseDatei(datei("ubl_gutschrift.xml"), &r, &fehler));
    EXPECT_EQ(r.bezug, QStringLiteral("HU-16-0088"));
    EXPECT_EQ(r.positionen.size(), 2);
    EXPECT_EQ(r.datum, zDate(2016, 4, 12));
    ASSERT_TRUE(Eingang::leseDatei(datei("cii_kleinunternehmer.xml"), &r, &fehler));
    EXPECT_TRUE(r.verkaeufer.ustid.isEmpty());
    EXPECT_EQ(r.verkaeufer.steuernummer, QStringLiteral("231/456/78901"));
}

TEST(Eingang, KaputteRechnungenNennenRegelUndElement) {
    const struct {
        const char* datei;
        const char* erwartet;
    } faelle[] = {
        {"kaputt_summen.xml", "BR-CO-10: Die Summe der Positionen (ram:LineTotalAmount) ist 310,00 €, die Positionen ergeben 300,00 €."},
        {"kaputt_ohne_verkaeufer.xml", "BR-06: Der Name des Verkäufers fehlt (ram:SellerTradeParty/ram:Name)."},
        {"kaputt_ohne_verkaeufer.xml", "BR-CO-26"},
        {"kaputt_namensraum.xml", "im Namensraum „urn:example:invoice:9“ ist keine E-Rechnung"},
        {"kaputt_syntax.xml", "kein wohlgeformtes XML (Zeile 31"},
        {"ohne_xml.pdf", "Das PDF enthält keine eingebettete XML-Rechnung"},
    };
    for (const auto& f : faelle) {
        Eingang::Rechnung r;
        QString fehler;
        EXPECT_FALSE(Eingang::leseDatei(datei(f.datei), &r, &fehler)) << f.datei;
        EXPECT_TRUE(fehler.contains(QString::fromUtf8(f.erwartet))) << f.datei << ": " << fehler.toStdString();
    }
    // Manipulated copies of a good invoice: each total, the tax of a rate,
    // a decimal too many, a currency the ledger does not keep, a DTD.
    const QByteArray gut = datei("cii_mischsatz.xml");
    const struct {
        const char* alt;
        const char* neu;
        const char* regel;
    } aenderungen[] = {
        {"<ram:TaxBasisTotalAmount>84.90", "<ram:TaxBasisTotalAmount>84.80", "BR-CO-13"},
        {"<ram:TaxTotalAmount currencyID=\"EUR\">11.34", "<ram:TaxTotalAmount currencyID=\"EUR\">11.35", "BR-CO-14"},
        {"<ram:GrandTotalAmount>96.24", "<ram:GrandTotalAmount>96.25", "BR-CO-15"},
        {"<ram:DuePayableAmount>96.24", "<ram:DuePayableAmount>90.00", "BR-CO-16"},
        {"<ram:CalculatedAmount>8.55", "<ram:CalculatedAmount>9.95", "BR-CO-17"},
        {"<ram:BasisAmount>45.00", "<ram:BasisAmount>46.00", "BR-S-08"},
        {"<ram:LineTotalAmount>45.00</ram:LineTotalAmount>", "<ram:LineTotalAmount>45.001</ram:LineTotalAmount>", "BR-DEC"},
        {"<ram:InvoiceCurrencyCode>EUR", "<ram:InvoiceCurrencyCode>CHF", "nur Rechnungen in Euro"},
        {"<rsm:CrossIndustryInvoice", "<!DOCTYPE x [<!ENTITY a \"b\">]><rsm:CrossIndustryInvoice", "DTD"},
        {"<ram:ID>urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0</ram:ID>",
         "<ram:ID>urn:factur-x.eu:1p0:minimum</ram:ID>", "keine vollständige E-Rechnung"},
    };
    for (const auto& a : aenderungen) {
        QByteArray x = gut;
        ASSERT_TRUE(x.contains(a.alt)) << a.alt;
        x.replace(a.alt, a.neu);
        Eingang::Rechnung r;
        QString fehler;
        EXPECT_FALSE(Eingang::leseDatei(x, &r, &fehler)) << a.regel;
        EXPECT_TRUE(fehler.contains(QString::fromUtf8(a.regel))) << a.regel << ": " << fehler.toStdString();
    }
}

TEST(Eingang, VorsteuerschluesselNachKategorieUndSatz) {
    const struct {
        const char* kategorie;
        double satz;
        const char* land;
        bool pflichtig;
        unsigned long schluessel;
    } faelle[] = {
        {"S", 19, "DE", true, 7}, {"S", 7, "DE", true, 8},   {"S", 19, "DE", false, 0}, {"AE", 0, "AT", true, 94},
        {"AE", 0, "CH", true, 95}, {"AE", 0, "DE", true, 96}, {"K", 0, "NL", true, 19},  {"E", 0, "DE", true, 0},
        {"Z", 0, "DE", true, 0},  {"O", 0, "DE", true, 0},
    };
    for (const auto& f : faelle) {
        unsigned long s = 99;
        QString fehler;
        EXPECT_TRUE(Eingang::vorsteuerSchluessel(QLatin1String(f.kategorie), f.satz, QLatin1String(f.land), f.pflichtig, &s, &fehler));
        EXPECT_EQ(s, f.schluessel) << f.kategorie << " " << f.satz << " " << f.land;
    }
    // Foreign VAT is no German input tax.
    unsigned long s = 0;
    QString fehler;
    EXPECT_FALSE(Eingang::vorsteuerSchluessel(QStringLiteral("S"), 21, QStringLiteral("NL"), true, &s, &fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("21 %")));
}

}  // namespace
