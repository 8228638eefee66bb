// Incoming e-invoices from the command line, end to end: import of every
// kind, refusals that leave the case byte-identical, duplicates, the list,
// the original given back byte-identical, booking with its effect on the
// UStVA and the EÜR, reopening when the booking goes, the bank takeover
// paying an open invoice, and a case of the previous data version.
#include "support/dalvo_lauf.h"

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString testdatei(const char* name) { return QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/eingang/") + QLatin1String(name); }

QString ok(const Lauf& l) {
    EXPECT_EQ(l.rc, 0) << l.err.toStdString();
    return l.out.trimmed();
}

QJsonObject json(const Lauf& l) { return QJsonDocument::fromJson(ok(l).toUtf8()).object(); }
double kz(const QJsonObject& ustva, const char* code) { return ustva[QStringLiteral("kennziffern")].toObject()[QLatin1String(code)].toDouble(); }

TEST(CliEingang, EinlesenPruefenArchivierenBuchen) {
    QTemporaryDir dir;
    const QString f = neuerFall(dir);
    const QByteArray leer = hashOf(f);
    // Broken files refuse the whole import, good ones beside them included.
    for (const char* kaputt : {"kaputt_summen.xml", "kaputt_ohne_verkaeufer.xml", "kaputt_namensraum.xml", "kaputt_syntax.xml", "ohne_xml.pdf"}) {
        const Lauf l = dalvo({"eingang", f, "import", testdatei("cii_standard.xml"), testdatei(kaputt)});
        EXPECT_EQ(l.rc, 1) << kaputt;
        EXPECT_TRUE(l.err.contains(QLatin1String(kaputt)) && l.err.contains(QStringLiteral("Es wurde nichts eingelesen."))) << l.err.toStdString();
        EXPECT_EQ(hashOf(f), leer) << kaputt;
    }
    EXPECT_EQ(dalvo({"eingang", f, "import", dir.filePath(QStringLiteral("fehlt.xml"))}).rc, 2);
    EXPECT_EQ(dalvo({"eingang", f, "zeigen", "x"}).rc, 2);
    EXPECT_EQ(dalvo({"eingang", f, "zeigen", "1"}).rc, 1);
    EXPECT_EQ(hashOf(f), leer);

    const Lauf import = dalvo({"eingang", f, "import", testdatei("cii_standard.xml"), testdatei("cii_gutschrift.xml"),
                               testdatei("cii_reverse_charge.xml"), testdatei("cii_mischsatz.xml"), testdatei("facturx.pdf"),
                               testdatei("zugferd1.pdf")});
    EXPECT_EQ(ok(import), QStringLiteral("1\n2\n3\n4\n5\n6"));
    // Again: each one reported as stored already, nothing changed.
    const QByteArray nachImport = hashOf(f);
    const Lauf nochmal = dalvo({"eingang", f, "import", testdatei("cii_standard.xml"), testdatei("zugferd1.xml")});
    EXPECT_EQ(ok(nochmal), QString());
    EXPECT_TRUE(nochmal.err.contains(QStringLiteral("BS-2016-0412 von Bürobedarf Schmidt GmbH ist bereits als Eingangsrechnung 1 gespeichert")));
    EXPECT_TRUE(nochmal.err.contains(QStringLiteral("ZF-2016-0815 von Druckerei Weber OHG ist bereits als Eingangsrechnung 6")));
    EXPECT_EQ(hashOf(f), nachImport);

    // The same supplier is found again: the credit note's seller is the
    // invoice's (by VAT id), the Factur-X one's the mixed-rate one's.
    const QJsonArray liste = QJsonDocument::fromJson(ok(dalvo({"eingang", f, "liste", "--json"})).toUtf8()).array();
    ASSERT_EQ(liste.size(), 6);
    QMap<QString, QJsonObject> nach;
    for (const QJsonValue& v : liste) nach.insert(v.toObject()[QStringLiteral("nummer")].toString(), v.toObject());
    EXPECT_EQ(nach[QStringLiteral("GS-2016-0007")][QStringLiteral("gutschrift")].toBool(), true);
    EXPECT_EQ(nach[QStringLiteral("HU-16-0088")][QStringLiteral("lieferant")], nach[QStringLiteral("FX-2016-0042")][QStringLiteral("lieferant")]);
    EXPECT_EQ(nach[QStringLiteral("HU-16-0088")][QStringLiteral("zahlbetrag")].toDouble(), 96.24);
    EXPECT_EQ(nach[QStringLiteral("FX-2016-0042")][QStringLiteral("syntax")].toString(), QStringLiteral("CII"));
    EXPECT_EQ(nach[QStringLiteral("ZF-2016-0815")][QStringLiteral("syntax")].toString(), QStringLiteral("ZUGFeRD 1.0"));

    // The original comes back byte-identical; an existing target needs --ersetzen.
    const QString zurueck = dir.filePath(QStringLiteral("zurueck.pdf"));
    ok(dalvo({"eingang", f, "export", "5", zurueck}));
    EXPECT_EQ(hashOf(zurueck), hashOf(testdatei("facturx.pdf")));
    EXPECT_EQ(dalvo({"eingang", f, "export", "5", zurueck}).rc, 1);
    const QString zeigen = ok(dalvo({"eingang", f, "zeigen", "4"}));
    EXPECT_TRUE(zeigen.contains(QStringLiteral("Fachbuch Steuerrecht 2016"))) << zeigen.toStdString();
    EXPECT_TRUE(zeigen.contains(QStringLiteral("S 7 %: Basis 39,90 €, Steuer 2,79 €")));
    EXPECT_TRUE(zeigen.contains(QStringLiteral("Für Papier & Buch Huber KG ist noch kein Aufwandskonto bekannt")));

    // Booking: no account known yet is refused; then paid from the bank.
    const QJsonObject vorher = json(dalvo({"ustva", f, "--json"}));
    EXPECT_EQ(dalvo({"eingang", f, "buchen", "1", "--geldkonto", "1200", "--datum", "20.03.2016"}).rc, 1);
    EXPECT_EQ(dalvo({"eingang", f, "buchen", "1", "--geldkonto", "1200"}).rc, 2);
    EXPECT_EQ(hashOf(f), nachImport);
    const QString b1 = ok(dalvo({"eingang", f, "buchen", "1", "--konto", "4930", "--geldkonto", "1200", "--datum", "20.03.2016"}));
    // The credit note takes the supplier's account from the invoice before.
    ok(dalvo({"eingang", f, "buchen", "2", "--geldkonto", "1200", "--datum", "22.03.2016"}));
    ok(dalvo({"eingang", f, "buchen", "3", "--konto", "4900", "--geldkonto", "1200", "--datum", "25.06.2016"}));
    EXPECT_EQ(dalvo({"eingang", f, "buchen", "1", "--geldkonto", "1200", "--datum", "20.03.2016"}).rc, 1);  // booked already
    const QJsonObject nachher = json(dalvo({"ustva", f, "--json"}));
    EXPECT_DOUBLE_EQ(kz(nachher, "66") - kz(vorher, "66"), 38.00);    // 57,00 less the credit's 19,00
    EXPECT_DOUBLE_EQ(kz(nachher, "46") - kz(vorher, "46"), 2000.00);  // § 13b: an Austrian's service
    EXPECT_DOUBLE_EQ(kz(nachher, "47") - kz(vorher, "47"), 380.00);
    EXPECT_DOUBLE_EQ(kz(nachher, "67") - kz(vorher, "67"), 380.00);
    const QJsonObject euer = json(dalvo({"euer", f, "--json"}));
    double buero = 0, fremd = 0;
    for (const QJsonValue& k : euer[QStringLiteral("kategorien")].toArray())
        for (const QJsonValue& konto : k.toObject()[QStringLiteral("konten")].toArray()) {
            if (konto.toObject()[QStringLiteral("konto")].toInt() == 4930) buero = konto.toObject()[QStringLiteral("summe")].toDouble();
            if (konto.toObject()[QStringLiteral("konto")].toInt() == 4900) fremd = konto.toObject()[QStringLiteral("summe")].toDouble();
        }
    EXPECT_DOUBLE_EQ(buero, 200.00);
    EXPECT_DOUBLE_EQ(fremd, 2000.00);

    // Deleting the booking opens the invoice again.
    ok(dalvo({"loeschen", f, b1}));
    const QJsonArray offen = QJsonDocument::fromJson(ok(dalvo({"eingang", f, "liste", "--offen", "--json"})).toUtf8()).array();
    QStringList offeneNummern;
    for (const QJsonValue& v : offen) offeneNummern << v.toObject()[QStringLiteral("nummer")].toString();
    EXPECT_EQ(offeneNummern, (QStringList{"BS-2016-0412", "HU-16-0088", "FX-2016-0042", "ZF-2016-0815"}));

    // The bank takeover: a debit naming the number, one by the supplier's
    // IBAN alone; the mixed-rate invoice waits for its payment on 4930.
    EXPECT_EQ(ok(dalvo({"eingang", f, "buchen", "4", "--konto", "4930"})), QStringLiteral("0"));
    ok(dalvo({"eingang", f, "buchen", "6", "--konto", "4910"}));
    ok(dalvo({"bank", f, "neu", "--konto", "1200", "--iban", "DE44500105175407324931"}));
    const QString csv = dir.filePath(QStringLiteral("umsatz.csv"));
    QFile c(csv);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write("Datum;Name;Zweck;Betrag;IBAN\n"
            "16.04.2016;Papier und Buch Huber;RNR HU-16-0088;-96,24;DE89370400440532013000\n"
            "20.09.2016;Druckerei Weber;Danke;-65,33;DE12500105170648489890\n"
            "21.09.2016;Irgendwer;Miete;-65,33;DE12500105170648489891\n");
    c.close();
    ok(dalvo({"bank", f, "import", csv, "--konto", "1200", "--layout", "generisch", "--spalten", "datum=1,betrag=4,zweck=3,name=2,iban=5"}));
    ok(dalvo({"bank", f, "uebernehmen", "--alle"}));
    QMap<QString, QJsonObject> danach;
    for (const QJsonValue& v : QJsonDocument::fromJson(ok(dalvo({"eingang", f, "liste", "--json"})).toUtf8()).array())
        danach.insert(v.toObject()[QStringLiteral("nummer")].toString(), v.toObject());
    EXPECT_EQ(danach[QStringLiteral("HU-16-0088")][QStringLiteral("bezahlt")].toString(), QStringLiteral("16.04.2016"));
    EXPECT_EQ(danach[QStringLiteral("ZF-2016-0815")][QStringLiteral("bezahlt")].toString(), QStringLiteral("20.09.2016"));
    EXPECT_TRUE(danach[QStringLiteral("FX-2016-0042")][QStringLiteral("offen")].toBool());
    const QJsonObject bank = json(dalvo({"ustva", f, "--json"}));
    EXPECT_DOUBLE_EQ(kz(bank, "66") - kz(nachher, "66") , 11.34 + 10.43 - 57.00);  // two paid, the deleted one gone
    EXPECT_EQ(ok(dalvo({"pruefen", f})), QString());
}

TEST(CliEingang, FallDerVorigenDatenversionBekommtDieTabellen) {
    QTemporaryDir dir;
    const QString f = neuerFall(dir);
    // As the program before the incoming invoices wrote it.
    ASSERT_TRUE(sqlAusfuehren(f, QStringLiteral("DROP TABLE eingangSteuern; DROP TABLE eingangRechnungen; DROP TABLE eingangLieferanten; "
                                                "ALTER TABLE reRechnungen DROP COLUMN KorrekturZuID; UPDATE Version SET Version=20161424")));
    const QByteArray alt = hashOf(f);
    EXPECT_EQ(ok(dalvo({"eingang", f, "liste", "--json"})), QStringLiteral("[\n]"));
    EXPECT_EQ(hashOf(f), alt);  // reading converts a copy only
    EXPECT_EQ(ok(dalvo({"eingang", f, "import", testdatei("ubl_innergemeinschaftlich.xml")})), QStringLiteral("1"));
    EXPECT_EQ(sqlZahl(f, QStringLiteral("SELECT MAX(Version) FROM Version")), 20161425);
    EXPECT_EQ(sqlText(f, QStringLiteral("SELECT Nummer FROM eingangRechnungen")), QStringLiteral("NL-2016-3321"));
    EXPECT_EQ(sqlZahl(f, QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('reRechnungen') WHERE name='KorrekturZuID'")), 1);

    // A supplier is found again by its tax number written otherwise, or by
    // its IBAN alone, whatever name it gives.
    QFile k(testdatei("cii_kleinunternehmer.xml"));
    ASSERT_TRUE(k.open(QIODevice::ReadOnly));
    const QByteArray klein = k.readAll();
    auto variante = [&](const char* datei, const char* nummer, const char* stnr, const char* name) {
        QByteArray x = klein;
        x.replace("<ram:ID>17</ram:ID>", QByteArray("<ram:ID>") + nummer + "</ram:ID>");
        x.replace("231/456/78901", stnr);
        x.replace("<ram:Name>Lena Vogel Grafik</ram:Name>", QByteArray("<ram:Name>") + name + "</ram:Name>");
        QFile o(dir.filePath(QLatin1String(datei)));
        EXPECT_TRUE(o.open(QIODevice::WriteOnly) && o.write(x) == x.size());
        return o.fileName();
    };
    ok(dalvo({"eingang", f, "import", testdatei("cii_kleinunternehmer.xml"), variante("a.xml", "18", "231 456 78901", "L. Vogel"),
              variante("b.xml", "19", "999/999/99999", "Vogel Design")}));
    EXPECT_EQ(sqlZahl(f, QStringLiteral("SELECT COUNT(DISTINCT LieferantID) FROM eingangRechnungen WHERE Nummer IN ('17','18','19')")), 1);
}

// Transfers for open incoming invoices: payee, IBAN, amount due and number
// from the invoice; a paid one, a credit note, one without IBAN and an
// unknown id are refused with nothing written.
TEST(CliEingang, UeberweisungOffenerRechnungen) {
    QTemporaryDir dir;
    const QString f = neuerFall(dir);
    // The small business's invoice paid in cash: no account to pay to.
    QFile k(testdatei("cii_kleinunternehmer.xml"));
    ASSERT_TRUE(k.open(QIODevice::ReadOnly));
    QString bar = QString::fromUtf8(k.readAll());
    bar.replace(QRegularExpression(QStringLiteral("<ram:PayeePartyCreditorFinancialAccount>.*</ram:PayeePartyCreditorFinancialAccount>"),
                                   QRegularExpression::DotMatchesEverythingOption),
                QString());
    bar.replace(QStringLiteral("<ram:TypeCode>58</ram:TypeCode>"), QStringLiteral("<ram:TypeCode>10</ram:TypeCode>"));
    const QString barDatei = dir.filePath(QStringLiteral("bar.xml"));
    QFile b(barDatei);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly) && b.write(bar.toUtf8()) > 0);
    b.close();
    EXPECT_EQ(ok(dalvo({"eingang", f, "import", testdatei("cii_standard.xml"), testdatei("cii_gutschrift.xml"), barDatei,
                        testdatei("cii_zuschlaege.xml")})),
              QStringLiteral("1\n2\n3\n4"));
    ok(dalvo({"bank", f, "neu", "--konto", "1200", "--iban", "DE44500105175407324931"}));
    ok(dalvo({"eingang", f, "buchen", "1", "--konto", "4930", "--geldkonto", "1200", "--datum", "20.03.2016"}));

    const QByteArray fall = hashOf(f);
    const QString sepa = dir.filePath(QStringLiteral("sepa.xml"));
    const QList<QPair<QStringList, const char*>> abgelehnt = {
        {{"1"}, "bereits bezahlt"}, {{"2"}, "Gutschrift"}, {{"3"}, "keine IBAN"}, {{"99"}, "gibt es nicht"}, {{"4", "4"}, "zweimal"}};
    for (const auto& a : abgelehnt) {
        const Lauf l = dalvo(QStringList{"bank", f, "ueberweisung"} + a.first + QStringList{"--ausfuehrung", "31.12.2099", sepa});
        EXPECT_EQ(l.rc, 1) << a.second;
        EXPECT_TRUE(l.err.contains(QString::fromUtf8(a.second))) << l.err.toStdString();
        EXPECT_FALSE(QFile::exists(sepa));
    }
    EXPECT_EQ(dalvo({"bank", f, "ueberweisung", "4", "--zweck", "x", "--ausfuehrung", "31.12.2099", sepa}).rc, 2);
    EXPECT_EQ(dalvo({"bank", f, "ueberweisung", "4", "--ausfuehrung", "31.12.2099"}).rc, 2);  // the file forgotten

    // The invoice with prepayment asks for what is still due, to its IBAN.
    ok(dalvo({"bank", f, "ueberweisung", "4", "--ausfuehrung", "31.12.2099", sepa}));
    EXPECT_EQ(hashOf(f), fall);
    QFile x(sepa);
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    QDomDocument d;
    ASSERT_TRUE(d.setContent(&x, true));
    const QDomElement t = d.documentElement().elementsByTagName(QStringLiteral("CdtTrfTxInf")).at(0).toElement();
    auto text = [&](const char* name) { return t.elementsByTagName(QLatin1String(name)).at(0).toElement().text(); };
    EXPECT_EQ(d.documentElement().elementsByTagName(QStringLiteral("CdtTrfTxInf")).size(), 1);
    EXPECT_EQ(text("InstdAmt"), QStringLiteral("527.31"));
    EXPECT_EQ(text("IBAN"), QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(text("EndToEndId"), QStringLiteral("HU-16-0101"));
    EXPECT_TRUE(text("Ustrd").contains(QStringLiteral("HU-16-0101")));
    EXPECT_TRUE(text("Nm").startsWith(QStringLiteral("Papier & Buch Huber"))) << text("Nm").toStdString();
}
}  // namespace
