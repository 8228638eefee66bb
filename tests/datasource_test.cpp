// Tests of rsDataSource, rsFields, GetDatenTyp and the SQL literals of
// toSqlStr: walking and scrolling record sets, failing statements, field
// look-up and value kinds, and that every literal reads back as the value
// that was rendered.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "support/testenv.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

class DataSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(con.openMemory());
        ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE k (Nummer INTEGER PRIMARY KEY, Bezeichnung TEXT);"
                                                 "INSERT INTO k VALUES (1000, 'Kasse'), (1200, 'Bank'), (1800, 'Privat')")));
    }
    QStringList walk(rsDataSource& rs) {
        QStringList seen;
        for (; !rs.isEOF(); rs.fetch()) seen << rs.field(QStringLiteral("Bezeichnung")).toString();
        return seen;
    }
    // Reads a rendered literal back through SQLite.
    DatenTyp readBack(const QString& literal) { return GetDatenTyp(&con, QStringLiteral("SELECT ") + literal); }

    TestEnv env;
    DBConnection con;
};

// ---- walking ---------------------------------------------------------------

TEST_F(DataSourceTest, FetchWalksAllRowsThenStaysAtEnd) {
    rsDataSource rs(&con, QStringLiteral("SELECT Nummer, Bezeichnung FROM k ORDER BY Nummer"));
    ASSERT_FALSE(rs.isEOF()) << "the first row is current right after construction";
    EXPECT_EQ(rs.currentRow(), 0);
    EXPECT_EQ(rs.field(QStringLiteral("Nummer")).toInt(), 1000);
    EXPECT_TRUE(rs.fetch());
    EXPECT_EQ(rs.currentRow(), 1);
    EXPECT_TRUE(rs.fetch());
    EXPECT_EQ(rs.field(QStringLiteral("Bezeichnung")).toString(), QStringLiteral("Privat"));
    EXPECT_FALSE(rs.fetch());
    EXPECT_TRUE(rs.isEOF());
    EXPECT_TRUE(rs.field(QStringLiteral("Nummer")).isNull()) << "no stale values at end of data";
    EXPECT_FALSE(rs.fetch()) << "fetch at the end must not start over";
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.isError());
}

TEST_F(DataSourceTest, BoundRecordSetsReuseTheirStatementAndNestSafely) {
    const QString sql = QStringLiteral("SELECT Bezeichnung FROM k WHERE Nummer>=? ORDER BY Nummer");
    {
        rsDataSource aussen(&con, sql, {DatenTyp(1000)});
        QStringList paare;
        // The same text inside: a statement of its own, the outer one keeps its place.
        for (; !aussen.isEOF(); aussen.fetch()) {
            rsDataSource innen(&con, sql, {DatenTyp(1200)});
            paare << aussen.field(QStringLiteral("Bezeichnung")).toString() + QLatin1Char('/') + walk(innen).join(QLatin1Char('+'));
        }
        EXPECT_EQ(paare, QStringList({QStringLiteral("Kasse/Bank+Privat"), QStringLiteral("Bank/Bank+Privat"), QStringLiteral("Privat/Bank+Privat")}));
    }
    // Handed back, reset and unbound: the next one binds its own value.
    rsDataSource wieder(&con, sql, {DatenTyp(1800)});
    EXPECT_EQ(walk(wieder), QStringList{QStringLiteral("Privat")});
    wieder.Requery();
    EXPECT_EQ(walk(wieder), QStringList{QStringLiteral("Privat")}) << "a requery keeps the bound value";
    rsDataSource falsch(&con, QStringLiteral("SELECT x FROM fehlt WHERE y=?"), {DatenTyp(1)});
    EXPECT_TRUE(falsch.isEOF());
    EXPECT_TRUE(falsch.isError());
}

TEST_F(DataSourceTest, EmptyResultKnowsItsColumns) {
    rsDataSource rs(&con, QStringLiteral("SELECT Nummer, Bezeichnung AS Text FROM k WHERE Nummer < 0"));
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.isError());
    EXPECT_EQ(rs.getFields()->names(), (QStringList{QStringLiteral("Nummer"), QStringLiteral("Text")}));
    EXPECT_TRUE(rs.getFields()->hasField(QStringLiteral("text")));
    EXPECT_TRUE(rs.field(QStringLiteral("Nummer")).isNull());
}

TEST_F(DataSourceTest, ScrollMovesBothWaysAndRequerySeesNewRows) {
    rsDataSource rs(&con, QStringLiteral("SELECT Nummer FROM k ORDER BY Nummer"));
    auto nummer = [&] { return rs.field(QStringLiteral("Nummer")).toInt(); };
    ASSERT_TRUE(rs.fetchScroll(2));
    EXPECT_EQ(nummer(), 1800);
    ASSERT_TRUE(rs.fetchScroll(0)) << "moving backwards runs the statement again";
    EXPECT_EQ(nummer(), 1000);
    EXPECT_EQ(rs.currentRow(), 0);
    ASSERT_TRUE(rs.fetchScroll(1));
    EXPECT_EQ(nummer(), 1200);
    ASSERT_TRUE(rs.fetchScroll(1)) << "the current row is a valid target";
    EXPECT_EQ(nummer(), 1200);
    EXPECT_FALSE(rs.fetchScroll(3));
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.fetchScroll(-1));
    ASSERT_TRUE(rs.fetchScroll(2)) << "from the end back into range";
    EXPECT_EQ(nummer(), 1800);

    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("INSERT INTO k VALUES (500, 'Anlage')")));
    rs.Requery();
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.currentRow(), 0);
    EXPECT_EQ(nummer(), 500);
    int rows = 0;
    for (; !rs.isEOF(); rs.fetch()) ++rows;
    EXPECT_EQ(rows, 4);
}

TEST_F(DataSourceTest, FailingStatementEndsAtOnceAndIsRecorded) {
    rsDataSource rs(&con, QStringLiteral("SELECT * FROM gibtsnicht"));
    EXPECT_TRUE(rs.isError());
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.fetch());
    EXPECT_FALSE(rs.fetchScroll(0));
    ASSERT_FALSE(con.getErr()->isEmpty());
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("gibtsnicht")));

    // Requery after the table appeared succeeds: the statement is prepared anew.
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE gibtsnicht (a); INSERT INTO gibtsnicht VALUES (1)")));
    rs.Requery();
    EXPECT_FALSE(rs.isError());
    EXPECT_FALSE(rs.isEOF());

    // a failure while stepping (not while preparing) is an error as well
    rsDataSource overflow(&con, QStringLiteral("SELECT abs(-9223372036854775807 - 1)"));
    EXPECT_TRUE(overflow.isError());
    EXPECT_TRUE(overflow.isEOF());

    rsDataSource none(nullptr, QStringLiteral("SELECT 1"));
    EXPECT_TRUE(none.isError());
    EXPECT_TRUE(none.isEOF());
    EXPECT_TRUE(GetDatenTyp(nullptr, QStringLiteral("SELECT 1")).isNull());

    DBConnection closed;
    rsDataSource onClosed(&closed, QStringLiteral("SELECT 1"));
    EXPECT_TRUE(onClosed.isError());
    EXPECT_FALSE(closed.getErr()->isEmpty());
}

// ---- fields and values -------------------------------------------------------

TEST_F(DataSourceTest, FieldsAreFoundByNameIgnoringCase) {
    rsDataSource rs(&con, QStringLiteral("SELECT k.Nummer, k2.Nummer, MAX(k.Bezeichnung), k.Bezeichnung AS Größe "
                                         "FROM k JOIN k AS k2 ON k2.Nummer = 1200 WHERE k.Nummer = 1000"));
    ASSERT_FALSE(rs.isEOF()) << con.getErr()->last().toStdString();
    const rsFields* f = rs.getFields();
    EXPECT_EQ(f->count(), 4);
    EXPECT_EQ(f->getField(QStringLiteral("NUMMER")).toInt(), 1000) << "of two equal names the first is found";
    EXPECT_EQ(f->getField(1).toInt(), 1200);
    EXPECT_EQ(f->getField(QStringLiteral("max(k.bezeichnung)")).toString(), QStringLiteral("Kasse"));
    EXPECT_TRUE(f->getField(QStringLiteral("GROESSE")).isNull()) << "case is ignored, spelling is not";
    EXPECT_EQ(f->getField(QStringLiteral("größe")).toString(), QStringLiteral("Kasse"));
    EXPECT_EQ(f->name(3), QStringLiteral("Größe"));
    EXPECT_FALSE(f->hasField(QStringLiteral("Kategorie")));
    EXPECT_TRUE(f->getField(QStringLiteral("Kategorie")).isNull());
    EXPECT_TRUE(f->getField(17).isNull());
    EXPECT_TRUE(f->getField(-1).isNull());
}

TEST_F(DataSourceTest, StorageClassesBecomeTheMatchingKinds) {
    rsDataSource rs(&con, QStringLiteral("SELECT 9007199254740993, 12.75, 'Grüße €', X'00FF10', NULL, '2016-03-01 00:00:00'"));
    ASSERT_FALSE(rs.isEOF());
    const rsFields* f = rs.getFields();
    EXPECT_EQ(f->getField(0).art(), DatenTyp::Int);
    EXPECT_EQ(f->getField(0).toLongLong(), 9007199254740993LL) << "integers are not squeezed through double";
    EXPECT_EQ(f->getField(1).art(), DatenTyp::Double);
    EXPECT_DOUBLE_EQ(f->getField(1).toDouble(), 12.75);
    EXPECT_EQ(f->getField(2).art(), DatenTyp::Text);
    EXPECT_EQ(f->getField(2).toString(), QStringLiteral("Grüße €"));
    EXPECT_EQ(f->getField(3).art(), DatenTyp::Blob);
    EXPECT_EQ(f->getField(3).toBlob(), QByteArray("\x00\xff\x10", 3));
    EXPECT_TRUE(f->getField(4).isNull());
    EXPECT_EQ(f->getField(5).toDate(), zDate(2016, 3, 1));
}

TEST_F(DataSourceTest, MaxKeyIsTheFirstValueAsUnsigned) {
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT MAX(Nummer) FROM k")).GetMaxKey(), 1800u);
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT MAX(Nummer) FROM k WHERE Nummer > 5000")).GetMaxKey(), 0u)
        << "MAX over no rows is NULL";
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT -5")).GetMaxKey(), 0u);
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT 4294967295")).GetMaxKey(), 4294967295ul)
        << "the full unsigned 32-bit range of booking numbers";
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT * FROM fehlt")).GetMaxKey(), 0u);
}

TEST_F(DataSourceTest, GetDatenTypGivesTheFirstValueOrNull) {
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT Bezeichnung FROM k WHERE Nummer=1200")).toString(),
              QStringLiteral("Bank"));
    EXPECT_TRUE(GetDatenTyp(&con, QStringLiteral("SELECT Bezeichnung FROM k WHERE Nummer=1")).isNull());
    EXPECT_TRUE(rs_getDatenTyp(&con, QStringLiteral("SELECT nix FROM k")).isNull());
    EXPECT_EQ(con.getErr()->errors().size(), 1);
}

// ---- literals ----------------------------------------------------------------

TEST_F(DataSourceTest, LiteralsOfTheScalarKindsAndOfDatenTyp) {
    EXPECT_EQ(rsDataSource::toSqlStr(QStringLiteral("O'Brien's")), QStringLiteral("'O''Brien''s'"));
    EXPECT_EQ(rsDataSource::toSqlStr(QString()), QStringLiteral("''"));
    EXPECT_EQ(rsDataSource::toSqlStr(QStringLiteral("a") + QChar(0) + QStringLiteral("b")), QStringLiteral("'ab'"));
    EXPECT_EQ(rsDataSource::toSqlStr("Grüße"), QStringLiteral("'Grüße'"));

    EXPECT_EQ(rsDataSource::toSqlStr(-42), QStringLiteral("-42"));
    EXPECT_EQ(rsDataSource::toSqlStr(std::numeric_limits<long long>::min()), QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(rsDataSource::toSqlStr(4294967295ul), QStringLiteral("4294967295"));
    EXPECT_EQ(rsDataSource::toSqlStr(7u), QStringLiteral("7"));

    EXPECT_EQ(rsDataSource::toSqlStr(true), QStringLiteral("-1"));
    EXPECT_EQ(rsDataSource::toSqlStr(false), QStringLiteral("0"));

    EXPECT_EQ(rsDataSource::toSqlStr(zDate(2016, 3, 1)), QStringLiteral("'2016-03-01 00:00:00'"));
    EXPECT_EQ(rsDataSource::toSqlStr(zDate(999, 12, 31)), QStringLiteral("'0999-12-31 00:00:00'"));
    EXPECT_EQ(rsDataSource::toSqlStr(zDate()), QStringLiteral("''"));

    EXPECT_EQ(rsDataSource::toSqlStr(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(rsDataSource::toSqlStr(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(rsDataSource::toSqlStr(-19.99_eur), QStringLiteral("-19.99"));
    EXPECT_EQ(rsDataSource::toSqlStr(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("NULL"));

    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp()), QStringLiteral("NULL"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(17)), QStringLiteral("17"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(2.25)), QStringLiteral("2.25"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(true)), QStringLiteral("-1"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(QStringLiteral("it's"))), QStringLiteral("'it''s'"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(QStringLiteral("17"))), QStringLiteral("'17'")) << "text stays text";
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(zDate(2016, 12, 31))), QStringLiteral("'2016-12-31 00:00:00'"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp(zDate())), QStringLiteral("''"));
    EXPECT_EQ(rsDataSource::toSqlStr(DatenTyp::fromBlob(QByteArray("\x01\xab", 2))), QStringLiteral("X'01ab'"));
}

TEST_F(DataSourceTest, NumbersUseThePointEvenUnderAGermanLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString literal = rsDataSource::toSqlStr(1234567.89);
    const QString euro = rsDataSource::toSqlStr(DatenTyp(0.5_eur));
    QLocale::setDefault(previous);
    EXPECT_EQ(literal, QStringLiteral("1234567.89"));
    EXPECT_EQ(euro, QStringLiteral("0.5"));
}

TEST_F(DataSourceTest, HostileTextRoundTripsUnchanged) {
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, s TEXT)")));
    const QStringList texts = {
        QStringLiteral("x'); DROP TABLE k; --"),
        QStringLiteral("''''"),
        QStringLiteral("Müller & Söhne \"GmbH\"; -- Rabatt 3 % /* nicht */ \\n"),
        QStringLiteral("Zeile 1\nZeile 2\ttab"),
        QStringLiteral("€ ∑ 😀"),
        QString(),
    };
    for (int i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(ExecSQL(&con, QStringLiteral("INSERT INTO t (id, s) VALUES (%1, %2)")
                                      .arg(rsDataSource::toSqlStr(i), rsDataSource::toSqlStr(texts[i]))))
            << con.getErr()->last().toStdString();
        const DatenTyp back = GetDatenTyp(&con, QStringLiteral("SELECT s FROM t WHERE id=%1").arg(i));
        EXPECT_EQ(back.toString(), texts[i]);
        // and the literal also finds the row
        EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT id FROM t WHERE s=%1").arg(rsDataSource::toSqlStr(texts[i]))).toInt(), i);
    }
    EXPECT_TRUE(rsTableExists(&con, QStringLiteral("k")));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM t")).toInt(), texts.size());
}

TEST_F(DataSourceTest, ValueLiteralsReadBackAsTheSameValue) {
    // every amount to the cent up to ten billion euros comes back exactly
    for (long long cents : {0LL, 1LL, 5LL, 28LL, 29LL, 99LL, 100LL, 123456LL, 99999999LL, 100000000001LL, 999999999999LL}) {
        for (int sign : {1, -1}) {
            const double v = sign * cents / 100.0;
            EXPECT_EQ(readBack(rsDataSource::toSqlStr(v)).toDouble(), v) << v;
        }
    }
    EXPECT_EQ(readBack(rsDataSource::toSqlStr(0.285_eur)).toDouble(), 0.29);

    const zDate d(2016, 2, 29);
    EXPECT_EQ(readBack(rsDataSource::toSqlStr(d)).toDate(), d);
    EXPECT_TRUE(readBack(rsDataSource::toSqlStr(zDate())).toDate().isBad());
    EXPECT_EQ(readBack(rsDataSource::toSqlStr(DatenTyp(zDate(2016, 3, 1))) + QStringLiteral(" < ") +
                       rsDataSource::toSqlStr(zDate(2016, 10, 1)))
                  .toInt(),
              1)
        << "stored dates compare in calendar order as text";
    EXPECT_TRUE(readBack(rsDataSource::toSqlStr(true)).toBool());
    EXPECT_EQ(readBack(rsDataSource::toSqlStr(DatenTyp::fromBlob(QByteArray("\x00\x01", 2)))).toBlob(),
              QByteArray("\x00\x01", 2));
    EXPECT_TRUE(readBack(rsDataSource::toSqlStr(DatenTyp())).isNull());
}


TEST_F(DataSourceTest, BoundValuesAreStoredExactlyAsTheirLiterals) {
    // ExecPrepared takes shortcuts for amounts, dates and texts; each row it
    // writes must equal, in storage class and value, the row the pasted
    // literals write, in columns of the declared kinds the tables use. (A
    // number bound to a column without a kind or of kind TEXT keeps 5.0 a
    // real, where the literal "5" is an integer, as ever; amounts are not
    // kept in such columns.)
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE a (id INTEGER PRIMARY KEY, r REAL, n NUMERIC, x DOUBLE, d DATETIME, t TEXT, k INTEGER)")));
    QVector<DatenTyp> werte;
    std::uint64_t z = 88172645463325252ULL;  // xorshift: many values, the same every run
    auto zufall = [&z] {
        z ^= z << 13;
        z ^= z >> 7;
        z ^= z << 17;
        return z;
    };
    for (int i = 0; i < 400; ++i) {
        const long long cents = (long long)(zufall() % 200000000000ULL) - 100000000000LL;
        werte << DatenTyp(EuroType::ausDouble(cents / 100.0)) << DatenTyp(cents / 100.0 + (i % 3 == 0 ? 1e-9 : 0.0));
    }
    for (double d : {0.0, -0.0, 0.1 + 0.2, 1.0 / 3.0, 1e13, 1e13 + 0.01, -1e15, 1e-7, 0.005, 2.675, 123456789012.34, 0.285 * 100.0,
                     1.15 * 3, 19.0 / 100.0, 1e300, -5e-324})
        werte << DatenTyp(d) << DatenTyp(EuroType::ausDouble(d));
    for (int y : {1, 99, 1000, 2016, 9999})
        for (int m : {1, 2, 12}) werte << DatenTyp(zDate(y, m, m == 2 ? 29 - (y % 4 != 0) : 31));
    werte << DatenTyp(zDate()) << DatenTyp(zDate(-44, 3, 15)) << DatenTyp(zDate(12000, 1, 1));
    for (const char* t : {"", "x", "Müller & Söhne", "€ 1.234,56", "ǅ ∑ ﬀ", "\xf0\x9f\x98\x80 Gesicht", "a'b''c"})
        werte << DatenTyp(QString::fromUtf8(t));
    werte << DatenTyp(QString(600, QChar(0x20AC))) << DatenTyp(QString(QChar(0xD800)) + QStringLiteral("lose Hälfte"))
          << DatenTyp(QString(QChar(0xDC00)));
    werte << DatenTyp(true) << DatenTyp(false) << DatenTyp(qlonglong(-1)) << DatenTyp() << DatenTyp::fromBlob(QByteArray("\x00\xff", 2));

    const QString sql = QStringLiteral("INSERT INTO a (id, r, n, x, d, t, k) VALUES (?, ?, ?, ?, ?, ?, ?)");
    int id = 0;
    for (const DatenTyp& v : werte) {
        // the value in every column of its own row, once bound ...
        const DatenTyp zeile[] = {DatenTyp(2 * id), v, v, v, v, v, DatenTyp(int(v.art()))};
        ASSERT_TRUE(ExecPrepared(&con, sql, zeile, 7)) << con.getErr()->last().toStdString();
        // ... and once pasted
        const QString l = rsDataSource::toSqlStr(v);
        ASSERT_TRUE(ExecSQL(&con, QStringLiteral("INSERT INTO a (id, r, n, x, d, t, k) VALUES (%1, %2, %2, %2, %2, %2, %3)")
                                      .arg(2 * id + 1)
                                      .arg(l)
                                      .arg(int(v.art()))))
            << l.toStdString();
        ++id;
    }
    const QString unterschiede = QStringLiteral(
        "SELECT count(*) FROM a p JOIN a q ON q.id = p.id + 1 WHERE p.id % 2 = 0 AND ("
        "p.r IS NOT q.r OR typeof(p.r) IS NOT typeof(q.r) OR p.n IS NOT q.n OR typeof(p.n) IS NOT typeof(q.n) OR "
        "p.x IS NOT q.x OR typeof(p.x) IS NOT typeof(q.x) OR p.d IS NOT q.d OR typeof(p.d) IS NOT typeof(q.d) OR "
        "((p.t IS NOT q.t OR typeof(p.t) IS NOT typeof(q.t)) AND p.k NOT IN (%1, %2)))")
                                     .arg(int(DatenTyp::Double))
                                     .arg(int(DatenTyp::Euro));
    EXPECT_EQ(GetDatenTyp(&con, unterschiede).toInt(), 0);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM a")).toInt(), 2 * werte.size());

    // A -0 is written as its literal "0" writes it, not as a negative zero.
    const DatenTyp null[] = {DatenTyp(-1), DatenTyp(-0.0), DatenTyp(-0.0), DatenTyp(-0.0), DatenTyp(), DatenTyp(), DatenTyp()};
    ASSERT_TRUE(ExecPrepared(&con, sql, null, 7));
    EXPECT_FALSE(std::signbit(GetDatenTyp(&con, QStringLiteral("SELECT r FROM a WHERE id = -1")).toDouble()));
}

TEST_F(DataSourceTest, ABoundRowLeavesNoTextBehindInTheStatement) {
    // The texts of a row are bound from the row's own buffer; the next row
    // through the same statement with fewer values must not see them.
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE b (id INTEGER PRIMARY KEY, s TEXT, t TEXT)")));
    const QString sql = QStringLiteral("INSERT INTO b (id, s, t) VALUES (?, ?, ?)");
    ASSERT_TRUE(ExecPrepared(&con, sql, QVector<DatenTyp>{DatenTyp(1), DatenTyp(QStringLiteral("eins")), DatenTyp(QStringLiteral("zwei"))}));
    ASSERT_TRUE(ExecPrepared(&con, sql, QVector<DatenTyp>{DatenTyp(2), DatenTyp(QStringLiteral("drei"))}));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT s FROM b WHERE id = 1")).toString(), QStringLiteral("eins"));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT t FROM b WHERE id = 1")).toString(), QStringLiteral("zwei"));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT s FROM b WHERE id = 2")).toString(), QStringLiteral("drei"));
    EXPECT_TRUE(GetDatenTyp(&con, QStringLiteral("SELECT t FROM b WHERE id = 2")).isNull());
    // nor a value a query bound to the same statement text
    const QString frage = QStringLiteral("SELECT count(*) FROM b WHERE ? IS NULL OR s = ?");
    EXPECT_EQ(QueryPrepared(&con, frage, {DatenTyp(1), DatenTyp(QStringLiteral("eins"))}).value(0).toInt(), 1);
    EXPECT_EQ(QueryPrepared(&con, frage, {}).value(0).toInt(), 2);
}

}  // namespace
