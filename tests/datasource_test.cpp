// Tests of rsDataSource, rsFields, GetDatenTyp and the SQL literals of
// toSqlStr: walking and scrolling record sets, failing statements, field
// look-up and value kinds, and that every literal reads back as the value
// that was rendered.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "support/testenv.h"

#include <QLocale>
#include <gtest/gtest.h>

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

TEST_F(DataSourceTest, EmptyResultKnowsItsColumns) {
    rsDataSource rs(&con, QStringLiteral("SELECT Nummer, Bezeichnung AS Text FROM k WHERE Nummer < 0"));
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.isError());
    EXPECT_EQ(rs.getFields()->names(), (QStringList{QStringLiteral("Nummer"), QStringLiteral("Text")}));
    EXPECT_TRUE(rs.getFields()->hasField(QStringLiteral("text")));
    EXPECT_TRUE(rs.field(QStringLiteral("Nummer")).isNull());
    EXPECT_EQ(rs.GetMaxKey(), 0u);
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
    EXPECT_EQ(rsDataSource(&con, QStringLiteral("SELECT Nummer FROM k WHERE 0")).GetMaxKey(), 0u);
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

TEST_F(DataSourceTest, LiteralsOfTheScalarKinds) {
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
    EXPECT_EQ(rsDataSource::toSqlStr(EuroType(-19.99)), QStringLiteral("-19.99"));
    EXPECT_EQ(rsDataSource::toSqlStr(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("NULL"));
}

TEST_F(DataSourceTest, NumbersUseThePointEvenUnderAGermanLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString literal = rsDataSource::toSqlStr(1234567.89);
    const QString euro = rsDataSource::toSqlStr(DatenTyp(EuroType(0.5)));
    QLocale::setDefault(previous);
    EXPECT_EQ(literal, QStringLiteral("1234567.89"));
    EXPECT_EQ(euro, QStringLiteral("0.5"));
}

TEST_F(DataSourceTest, DatenTypLiteralsFollowTheirKind) {
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
    EXPECT_EQ(readBack(rsDataSource::toSqlStr(EuroType(0.285).Runden2())).toDouble(), 0.29);

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

}  // namespace
