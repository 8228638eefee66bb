// Tests of the compartments (Faecher) and of the ledger list that reads
// through them: order by key and arrival across what went to the temporary
// file, records that read back as written, the refusal beyond the most
// keys, and the ledger list in date order whichever way it is read.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/db/faecher.h"
#include "kontbaum/buchungen/buchungen.h"
#include "support/buchungsfall.h"

#include <gtest/gtest.h>

namespace {

QStringList alle(Faecher& f) {
    QStringList aus;
    EXPECT_TRUE(f.lesen([&](const QByteArray& k, const QByteArray& s) { aus << QString::fromLatin1(k + ':' + s); }));
    return aus;
}

TEST(Faecher, KeysInByteOrderRecordsInArrivalOrderAcrossTheFile) {
    // A budget of a few records: most of them wait in the file.
    Faecher f(40);
    const char* folge[][2] = {{"2016-03-01", "a"}, {"2016-01-01", "b"}, {"2016-03-01", "c"}, {"2016-01-01 12:00:00", "d"},
                              {"2016-01-01", "e"}, {"2016-03-01", "f"}, {"", "g"},          {"2016-01-01", "h"}};
    for (const auto& z : folge) ASSERT_TRUE(f.ablegen(z[0], z[1]));
    EXPECT_TRUE(f.ausgelagert());
    const QStringList erwartet{":g", "2016-01-01:b", "2016-01-01:e", "2016-01-01:h", "2016-01-01 12:00:00:d", "2016-03-01:a", "2016-03-01:c",
                               "2016-03-01:f"};
    EXPECT_EQ(alle(f), erwartet);
    // Read twice, the same.
    EXPECT_EQ(alle(f), erwartet);
    Faecher klein;
    ASSERT_TRUE(klein.ablegen("x", "1"));
    EXPECT_FALSE(klein.ausgelagert());
    EXPECT_EQ(alle(klein), QStringList{"x:1"});
}

TEST(Faecher, RefusesAKeyBeyondTheMostAndTakesNothingAfter) {
    Faecher f(1 << 20, 2);
    EXPECT_TRUE(f.ablegen("a", "1"));
    EXPECT_TRUE(f.ablegen("b", "2"));
    EXPECT_TRUE(f.ablegen("a", "3"));
    EXPECT_FALSE(f.ablegen("c", "4"));
    EXPECT_FALSE(f.ablegen("a", "5"));
}

TEST(Faecher, RecordsReadBackAsWritten) {
    QByteArray b;
    FachSatz s(&b);
    const qint64 zahlen[] = {0, 1, -1, 63, -64, 64, 300, -300, std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
    for (qint64 z : zahlen) s.zahl(z);
    s.text(QStringLiteral("Büro „Müller“ €"));
    s.text(QString());
    s.wert(DatenTyp());
    s.wert(DatenTyp(qlonglong(-4930)));
    s.wert(DatenTyp(0.1 + 0.2));
    s.wert(DatenTyp(QStringLiteral("2016-02-29 00:00:00")));
    s.wert(DatenTyp::fromBlob(QByteArray("\0\1\2", 3)));
    FachSatzLeser l(b);
    for (qint64 z : zahlen) EXPECT_EQ(l.zahl(), z);
    EXPECT_EQ(l.text(), QStringLiteral("Büro „Müller“ €"));
    EXPECT_EQ(l.text(), QString());
    EXPECT_TRUE(l.wert().isNull());
    const DatenTyp i = l.wert();
    EXPECT_EQ(i.art(), DatenTyp::Int);
    EXPECT_EQ(i.toLongLong(), -4930);
    EXPECT_EQ(l.wert().toDouble(), 0.1 + 0.2);
    EXPECT_EQ(l.wert().toString(), QStringLiteral("2016-02-29 00:00:00"));
    EXPECT_EQ(l.wert().toBlob(), QByteArray("\0\1\2", 3));
    // A record cut short reads as zeros and empty texts, never past its end.
    FachSatzLeser kurz(b.left(3));
    for (int n = 0; n < 20; ++n) kurz.zahl();
    EXPECT_EQ(kurz.text(), QString());
}

// The ledger list is read front to back through the compartments when the
// period holds a quarter of the ledger or more, else through the date
// index: either way the bookings come by voucher date and number, each with
// its lines in the order they were written.
class Ledgerliste : public Buchungsfall {
protected:
    QStringList liste(const zDate& von, const zDate& bis) {
        QStringList aus;
        EXPECT_TRUE(Buchungsliste::lesen(db, von, bis, true, [&](const Buchungsliste::Buchung& b) {
            QString t = QStringLiteral("%1 %2 %3 %4%5").arg(b.buchungsnummer).arg(b.belegdatum.getText(), b.betrag.getText()).arg(b.storno).arg(b.storniert);
            for (const Buchungsliste::Zeile& z : b.zeilen) t += QStringLiteral(" %1/%2/%3").arg(z.konto).arg(z.betrag.getText()).arg(z.dialogzeile);
            aus << t;
        }));
        return aus;
    }
    // The same from the tables, in the order the list promises.
    QStringList erwartet(const zDate& von, const zDate& bis) {
        QStringList aus;
        rsDataSource h(db, QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE Belegdatum>=") + rsDataSource::toSqlStr(von) +
                               QStringLiteral(" AND Belegdatum<=") + rsDataSource::toSqlStr(bis) + QStringLiteral(" ORDER BY Belegdatum, Buchungsnummer"));
        for (; !h.isEOF(); h.fetch()) {
            const QVector<DatenTyp> k = QueryPrepared(
                db, QStringLiteral("SELECT Buchungsnummer, Belegdatum, Betrag, Storno<>0, Storniert<>0 FROM eurVerbucht WHERE Buchungsnummer=?"),
                {h.field(QStringLiteral("Buchungsnummer"))});
            QString t = QStringLiteral("%1 %2 %3 %4%5")
                            .arg(k[0].toULong())
                            .arg(k[1].toDate().getText(), k[2].toEuro().getText())
                            .arg(k[3].toLongLong())
                            .arg(k[4].toLongLong());
            rsDataSource z(db, QStringLiteral("SELECT Konto, Betrag, Dialogzeile FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") +
                                   rsDataSource::toSqlStr(k[0].toULong()) + QStringLiteral(" ORDER BY ID"));
            for (; !z.isEOF(); z.fetch())
                t += QStringLiteral(" %1/%2/%3")
                         .arg(z.field(QStringLiteral("Konto")).toULong())
                         .arg(z.field(QStringLiteral("Betrag")).toEuro().getText())
                         .arg(z.field(QStringLiteral("Dialogzeile")).toInt());
            aus << t;
        }
        return aus;
    }
};

TEST_F(Ledgerliste, ByDateAndNumberThroughCompartmentsAndThroughIndex) {
    // Dates against the numbers: several bookings a day, later numbers on
    // earlier days; booking 6 loses its lines.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Belegdatum='2016-05-02 00:00:00' WHERE Buchungsnummer IN (2, 8, 10);"
                                           "UPDATE eurVerbucht SET Belegdatum='2016-01-10 00:00:00' WHERE Buchungsnummer=9;"
                                           "DELETE FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=6")));
    const zDate jan(2016, 1, 1), dez(2016, 12, 31), mai(2016, 5, 1), maiEnde(2016, 5, 31);
    const QStringList jahr = liste(jan, dez);
    EXPECT_EQ(jahr, erwartet(jan, dez));
    ASSERT_EQ(jahr.size(), 10);
    EXPECT_TRUE(jahr.first().startsWith(QStringLiteral("9 10.01.2016")));
    EXPECT_TRUE(jahr.contains(QStringLiteral("6 01.09.2016 200,00 00")));
    EXPECT_EQ(liste(mai, maiEnde), erwartet(mai, maiEnde));
    // A booking numbered far above makes the year a small part of the
    // ledger: the same list through the date index.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Belegdatum, Betrag) VALUES (1000, '2015-12-31 00:00:00', 1)")));
    EXPECT_EQ(liste(jan, dez), jahr);
    EXPECT_EQ(liste(mai, maiEnde).size(), 5);
}

}  // namespace
