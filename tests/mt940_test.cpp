// The MT940 reader: the German structured field 86 with SEPA qualifiers,
// umlauts in Windows-1252, reversals, entry dates, the balance check, and
// the refusal of broken fields with their line.
#include "kontbaum/bank/bank.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
using namespace Bank;
using BuchungenCSV::Zeichensatz;

QByteArray datei() {
    QFile f(QStringLiteral(DALVO_SOURCE_DIR "/tests/daten/bank/mt940_2016-05.sta"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

TEST(Mt940, StrukturiertesFeld86UndStorno) {
    const QByteArray bytes = datei();
    EXPECT_EQ(erkenneFormat(bytes), Format::Mt940);
    QList<Auszug> l;
    QString e;
    ASSERT_TRUE(leseMt940(bytes, Zeichensatz::Automatisch, &l, &e)) << e.toStdString();
    ASSERT_EQ(l.size(), 1);
    const Auszug& a = l.first();
    EXPECT_EQ(a.blz, QStringLiteral("37040044"));
    EXPECT_EQ(a.kontonummer, QStringLiteral("0532013000"));
    ASSERT_EQ(a.umsaetze.size(), 3);
    // SEPA credit: purpose behind SVWZ+ (the line break of ?21/?22 falls
    // inside "Beratung"), reference behind EREF+, name in Windows-1252.
    const Umsatz& u = a.umsaetze[0];
    EXPECT_DOUBLE_EQ(u.betrag.alsDouble(), 1190.0);
    EXPECT_EQ(u.valuta, zDate(2016, 5, 2));
    EXPECT_EQ(u.buchungstext(), QStringLiteral("Rechnung RE-2016-0007 Beratung April"));
    EXPECT_EQ(u.referenz, QStringLiteral("RE-2016-0007"));
    EXPECT_EQ(u.name, QStringLiteral("Müller GmbH"));
    EXPECT_EQ(u.iban, QStringLiteral("DE02120300000000202051"));
    EXPECT_EQ(u.bic, QStringLiteral("BYLADEM1001"));
    // A direct debit in the older form: bank code and account number.
    const Umsatz& l2 = a.umsaetze[1];
    EXPECT_DOUBLE_EQ(l2.betrag.alsDouble(), -59.5);
    EXPECT_EQ(l2.buchungstext(), QStringLiteral("Telefon April Kd-Nr 12345"));
    EXPECT_EQ(l2.blz, QStringLiteral("37040044"));
    EXPECT_EQ(l2.kontonummer, QStringLiteral("0532013999"));
    EXPECT_EQ(l2.referenz, QStringLiteral("KREF1"));
    // RD reverses the debit: money back.
    EXPECT_TRUE(a.umsaetze[2].storno);
    EXPECT_DOUBLE_EQ(a.umsaetze[2].betrag.alsDouble(), 59.5);
    // 1.000,00 + 1.190,00 - 59,50 + 59,50 = 2.190,00 = :62F:.
    EXPECT_DOUBLE_EQ(a.summeUmsaetze().alsDouble(), 2190.0);
    EXPECT_TRUE(saldenAbweichungen(l).isEmpty());
}

TEST(Mt940, BuchungstagUeberDenJahreswechselUndUnstrukturiert) {
    const QByteArray t = ":20:X\n:25:DE89370400440532013000\n:60F:C151230EUR0,\n"
                         ":61:1512310104D10,NMSCNONREF\n:86:Kontofuehrung\nDezember\n:62F:D160104EUR10,00\n";
    QList<Auszug> l;
    QString e;
    ASSERT_TRUE(leseMt940(t, Zeichensatz::Utf8, &l, &e)) << e.toStdString();
    EXPECT_EQ(l[0].iban, QStringLiteral("DE89370400440532013000"));
    EXPECT_EQ(l[0].umsaetze[0].valuta, zDate(2015, 12, 31));
    EXPECT_EQ(l[0].umsaetze[0].buchungsdatum, zDate(2016, 1, 4));  // booked in the new year
    EXPECT_EQ(l[0].umsaetze[0].buchungstext(), QStringLiteral("Kontofuehrung Dezember"));
    EXPECT_DOUBLE_EQ(l[0].endsaldo.alsDouble(), -10.0);
}

TEST(Mt940, DefekteFelderMitZeile) {
    QList<Auszug> l;
    QString e;
    QByteArray t = datei();
    t.replace(":61:160510D59,50NDDTKREF1", ":61:160510D59.50NDDTKREF1");
    EXPECT_FALSE(leseMt940(t, Zeichensatz::Automatisch, &l, &e));
    EXPECT_TRUE(e.startsWith(QStringLiteral("Zeile 8:"))) << e.toStdString();
    EXPECT_TRUE(l.isEmpty());

    t = datei();
    t.replace(":62F:C160512EUR2190,00\r\n", "");
    EXPECT_FALSE(leseMt940(t, Zeichensatz::Automatisch, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("Schlusssaldo"))) << e.toStdString();

    t = datei();
    t.replace(":60F:C160429EUR1000,00", ":60F:C160429USD1000,00");
    EXPECT_FALSE(leseMt940(t, Zeichensatz::Automatisch, &l, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("USD")));

    EXPECT_FALSE(leseMt940("Hallo\n:20:X\n", Zeichensatz::Utf8, &l, &e));
    EXPECT_TRUE(e.startsWith(QStringLiteral("Zeile 1:")));
    // A wrong closing balance is read, and reported by the check.
    t = datei();
    t.replace(":62F:C160512EUR2190,00", ":62F:C160512EUR2100,00");
    ASSERT_TRUE(leseMt940(t, Zeichensatz::Automatisch, &l, &e));
    ASSERT_EQ(saldenAbweichungen(l).size(), 1);
    EXPECT_TRUE(saldenAbweichungen(l)[0].contains(QStringLiteral("2.190,00")));
}
}  // namespace
