// The CAMT reader on statements and reports of the versions .001.02, .001.04
// and .001.08: batches, reversals, pending entries, the counterpart in its
// old and new place, the balance check, and files it must refuse.
#include "kontbaum/bank/bank.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace {
using namespace Bank;

QByteArray datei(const char* name) {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QList<Auszug> lies(const QByteArray& xml) {
    QList<Auszug> a;
    QString e;
    EXPECT_TRUE(leseCamt(xml, &a, &e)) << e.toStdString();
    return a;
}

// Refused, with the line and element named; nothing returned.
QString abgelehnt(const QByteArray& xml) {
    QList<Auszug> a;
    QString e;
    EXPECT_FALSE(leseCamt(xml, &a, &e));
    EXPECT_TRUE(a.isEmpty());
    return e;
}

TEST(Camt, Version02MitSammlerStornoUndVormerkung) {
    const QList<Auszug> l = lies(datei("camt053_001_02.xml"));
    ASSERT_EQ(l.size(), 1);
    const Auszug& a = l.first();
    EXPECT_EQ(a.iban, QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(a.vorgemerkt, 1);  // the PDNG entry of 10,00
    // 4 entries, the batch giving two records: 5.
    ASSERT_EQ(a.umsaetze.size(), 5);
    const Umsatz& gut = a.umsaetze[0];
    EXPECT_EQ(gut.buchungsdatum, zDate(2016, 3, 1));
    EXPECT_EQ(gut.valuta, zDate(2016, 3, 2));
    EXPECT_DOUBLE_EQ(gut.betrag.alsDouble(), 1190.00);
    EXPECT_EQ(gut.name, QStringLiteral("Müller GmbH"));  // the debtor of a credit, not the own name
    EXPECT_EQ(gut.iban, QStringLiteral("DE02120300000000202051"));
    EXPECT_EQ(gut.bic, QStringLiteral("BYLADEM1001"));
    EXPECT_EQ(gut.referenz, QStringLiteral("RE-2016-0001"));
    EXPECT_EQ(gut.buchungstext(), QStringLiteral("Beratung Februar Kunde 4711"));
    const Umsatz& last = a.umsaetze[1];
    EXPECT_DOUBLE_EQ(last.betrag.alsDouble(), -119.00);
    EXPECT_EQ(last.name, QStringLiteral("Büro Schmidt & Söhne"));  // the creditor of a debit
    EXPECT_TRUE(last.referenz.isEmpty());                            // NOTPROVIDED is no reference
    // The batch of 300,00: 100,00 + 200,00, each with its own counterpart.
    EXPECT_DOUBLE_EQ(a.umsaetze[2].betrag.alsDouble(), -100.00);
    EXPECT_EQ(a.umsaetze[2].name, QStringLiteral("Anna Aushilfe"));
    EXPECT_DOUBLE_EQ(a.umsaetze[3].betrag.alsDouble(), -200.00);
    EXPECT_EQ(a.umsaetze[3].name, QStringLiteral("Bernd Bote"));
    EXPECT_EQ(a.umsaetze[2].buchungsdatum, a.umsaetze[3].buchungsdatum);
    // The reversal of a direct debit: money back (credit), the creditor of
    // the original debit as counterpart, marked in the text.
    const Umsatz& storno = a.umsaetze[4];
    EXPECT_TRUE(storno.storno);
    EXPECT_DOUBLE_EQ(storno.betrag.alsDouble(), 49.90);
    EXPECT_EQ(storno.name, QStringLiteral("Telefon AG"));
    EXPECT_TRUE(storno.buchungstext().startsWith(QStringLiteral("Storno:")));
    // 1.000,00 + 1.190,00 - 119,00 - 300,00 + 49,90 = 1.820,90 = closing.
    EXPECT_TRUE(a.mitSalden);
    EXPECT_DOUBLE_EQ(a.summeUmsaetze().alsDouble(), 1820.90);
    EXPECT_TRUE(saldenAbweichungen(l).isEmpty());
}

TEST(Camt, Version04UndVersion08UndBericht052) {
    const QList<Auszug> v4 = lies(datei("camt053_001_04.xml"));
    ASSERT_EQ(v4.size(), 1);
    ASSERT_EQ(v4[0].umsaetze.size(), 1);
    EXPECT_EQ(v4[0].umsaetze[0].bic, QStringLiteral("BYLADEM1001"));                // BICFI
    EXPECT_EQ(v4[0].umsaetze[0].buchungsdatum, zDate(2016, 5, 20));                 // DtTm
    EXPECT_EQ(v4[0].umsaetze[0].buchungstext(), QStringLiteral("RF18539007547034"));  // structured reference
    // Debit balances: -500,00 + 250,00 = -250,00.
    EXPECT_DOUBLE_EQ(v4[0].anfangssaldo.alsDouble(), -500.0);
    EXPECT_DOUBLE_EQ(v4[0].endsaldo.alsDouble(), -250.0);
    EXPECT_TRUE(saldenAbweichungen(v4).isEmpty());

    const QList<Auszug> v8 = lies(datei("camt053_001_08.xml"));
    ASSERT_EQ(v8.size(), 1);
    ASSERT_EQ(v8[0].umsaetze.size(), 3);
    EXPECT_EQ(v8[0].umsaetze[0].name, QStringLiteral("Stadtwerke Köln"));  // Pty/Nm
    EXPECT_DOUBLE_EQ(v8[0].umsaetze[0].betrag.alsDouble(), -120.0);            // TxDtls/Amt
    EXPECT_DOUBLE_EQ(v8[0].umsaetze[1].betrag.alsDouble(), -30.0);
    EXPECT_EQ(v8[0].umsaetze[1].buchungstext(), QStringLiteral("Wasser Juli"));
    // A reversed credit is a debit; the debtor of the original credit is the counterpart.
    EXPECT_TRUE(v8[0].umsaetze[2].storno);
    EXPECT_DOUBLE_EQ(v8[0].umsaetze[2].betrag.alsDouble(), -80.0);
    EXPECT_EQ(v8[0].umsaetze[2].name, QStringLiteral("Fehlgutschrift GmbH"));
    EXPECT_DOUBLE_EQ(v8[0].summeUmsaetze().alsDouble(), 1770.0);  // 2.000 - 150 - 80
    EXPECT_TRUE(saldenAbweichungen(v8).isEmpty());

    const QList<Auszug> r = lies(datei("camt052_001_08.xml"));
    ASSERT_EQ(r.size(), 1);
    ASSERT_EQ(r[0].umsaetze.size(), 1);
    EXPECT_DOUBLE_EQ(r[0].umsaetze[0].betrag.alsDouble(), -42.0);
    EXPECT_EQ(r[0].vorgemerkt, 1);
    EXPECT_FALSE(r[0].mitSalden);  // an intraday report without balances is not checked
    EXPECT_EQ(erkenneFormat(datei("camt052_001_08.xml")), Format::Camt);
}

TEST(Camt, SaldoAbweichungNenntBeideZahlen) {
    QByteArray x = datei("camt053_001_02.xml");
    x.replace("<Amt Ccy=\"EUR\">1820.90</Amt>", "<Amt Ccy=\"EUR\">1830.90</Amt>");
    const QStringList l = saldenAbweichungen(lies(x));
    ASSERT_EQ(l.size(), 1);
    EXPECT_TRUE(l[0].contains(QStringLiteral("1.820,90"))) << l[0].toStdString();  // what the entries give
    EXPECT_TRUE(l[0].contains(QStringLiteral("1.830,90")));                        // what the file says
    EXPECT_TRUE(l[0].contains(QStringLiteral("10,00")));                           // the difference
}

TEST(Camt, DefekteDateienWerdenMitZeileUndElementAbgelehnt) {
    const QByteArray gut = datei("camt053_001_02.xml");
    QByteArray x = gut;
    x.replace("<Amt Ccy=\"EUR\">119.00</Amt>", "<Amt Ccy=\"EUR\">119,00</Amt>");
    QString e = abgelehnt(x);
    EXPECT_TRUE(e.contains(QStringLiteral("Ntry/Amt"))) << e.toStdString();
    EXPECT_TRUE(e.contains(QStringLiteral("119,00")));
    EXPECT_TRUE(e.startsWith(QStringLiteral("Zeile 44,"))) << e.toStdString();  // the line of that amount in the file

    x = gut;
    x.replace("<CdtDbtInd>DBIT</CdtDbtInd><Sts>BOOK</Sts>\n        <BookgDt><Dt>2016-03-07", "<CdtDbtInd>SOLL</CdtDbtInd><Sts>BOOK</Sts>\n        <BookgDt><Dt>2016-03-07");
    EXPECT_TRUE(abgelehnt(x).contains(QStringLiteral("weder CRDT noch DBIT")));

    x = gut;
    x.replace("<Amt Ccy=\"EUR\">200.00</Amt>", "<Amt Ccy=\"EUR\">210.00</Amt>");
    e = abgelehnt(x);
    EXPECT_TRUE(e.contains(QStringLiteral("ergeben -310,00, die Buchung selbst -300,00"))) << e.toStdString();

    x = gut;
    x.replace("<Amt Ccy=\"EUR\">1190.00</Amt>", "<Amt Ccy=\"USD\">1190.00</Amt>");
    EXPECT_TRUE(abgelehnt(x).contains(QStringLiteral("USD")));

    x = gut;
    x.replace("<BookgDt><Dt>2016-03-01</Dt></BookgDt>", "<BookgDt><Dt>2016-02-30</Dt></BookgDt>");
    EXPECT_TRUE(abgelehnt(x).contains(QStringLiteral("kein Datum")));

    x = gut;
    x.replace("camt.053.001.02", "pain.001.001.03");
    EXPECT_TRUE(abgelehnt(x).contains(QStringLiteral("kein CAMT-Kontoauszug")));

    EXPECT_TRUE(abgelehnt(gut.left(gut.size() / 2)).contains(QStringLiteral("kein lesbares XML")));
}

TEST(Camt, EntriesArriveOneByOneAndARefusalStopsThem) {
    // A receiver that takes two transactions and refuses the third.
    struct Zaehler : AuszugEmpfaenger {
        int beginn = 0, umsaetze = 0, ende = 0, grenze = 3;
        bool auszugBeginn(const Auszug&, QString*) override { return ++beginn > 0; }
        bool umsatz(const Umsatz&, QString* f) override {
            if (++umsaetze < grenze) return true;
            *f = QStringLiteral("genug");
            return false;
        }
        bool auszugEnde(const Auszug&, QString*) override { return ++ende > 0; }
    };
    auto lesen = [](const QByteArray& xml, Zaehler* z, QString* e) {
        QBuffer b;
        b.setData(xml);
        b.open(QIODevice::ReadOnly);
        return leseCamt(&b, z, e);
    };
    const QByteArray gut = datei("camt053_001_02.xml");
    Zaehler z;
    QString e;
    EXPECT_FALSE(lesen(gut, &z, &e));
    EXPECT_EQ(e, QStringLiteral("genug"));
    EXPECT_EQ(z.beginn, 1);
    EXPECT_EQ(z.umsaetze, 3);
    EXPECT_EQ(z.ende, 0);
    // A file that breaks off later is refused as such, whatever the receiver said.
    Zaehler y;
    EXPECT_FALSE(lesen(gut.left(gut.size() - 40), &y, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("kein lesbares XML"))) << e.toStdString();
    Zaehler x;
    x.grenze = 100;
    EXPECT_TRUE(lesen(datei("camt053_001_08.xml"), &x, &e)) << e.toStdString();
    EXPECT_EQ(x.umsaetze, 3);
    EXPECT_EQ(x.ende, 1);
}
}  // namespace
