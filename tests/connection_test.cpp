// Tests of DBConnection and the statement helpers: opening files that are
// missing or not databases, running statements, the error list and its
// display, nested transactions, the Access-dialect SQL functions, schema
// versions and copying a table from another database file.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cmath>

namespace {

DatenTyp eval(DBConnection& con, const QString& expr) { return GetDatenTyp(&con, QStringLiteral("SELECT ") + expr); }

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class ConnectionTest : public ::testing::Test {
protected:
    TestEnv env;
};

// ---- opening ---------------------------------------------------------------

TEST_F(ConnectionTest, OpeningMissingOrForeignFilesFailsWithGermanMessage) {
    DBConnection con;

    const QString missing = env.path(QStringLiteral("fehlt.db3"));
    EXPECT_FALSE(con.createAndConnect(missing, QStringLiteral("admin"), QStringLiteral("pw"), false));
    EXPECT_FALSE(con.isOpen());
    EXPECT_FALSE(QFileInfo::exists(missing)) << "opening without create must not create the file";
    EXPECT_TRUE(con.getErr()->last().contains(missing));
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("Datei nicht gefunden")));

    const QString garbage = env.path(QStringLiteral("kaputt.db3"));
    ASSERT_TRUE(writeFile(garbage, QByteArray(4096, 'x')));
    con.getErr()->clear();
    EXPECT_FALSE(con.createAndConnect(garbage));
    EXPECT_FALSE(con.isOpen());
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("keine gültige Datenbank"))) << con.getErr()->last().toStdString();
    // even with create the garbage is not silently accepted (or overwritten)
    EXPECT_FALSE(con.createAndConnect(garbage, QString(), QString(), true));
    EXPECT_EQ(QFileInfo(garbage).size(), 4096);

    con.getErr()->clear();
    EXPECT_FALSE(con.createAndConnect(env.path(QStringLiteral("kein/verzeichnis/neu.db3")), QString(), QString(), true));
    EXPECT_FALSE(con.isOpen());
    EXPECT_FALSE(con.getErr()->isEmpty());
}

TEST_F(ConnectionTest, CreatedFileKeepsDataHasTheFunctionsAndGoesFast) {
    const QString file = env.path(QStringLiteral("neu.db3"));
    {
        DBConnection con;
        ASSERT_TRUE(con.createAndConnect(file, QStringLiteral("admin"), QStringLiteral("geheim"), true));
        EXPECT_EQ(con.path(), file);
        ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('Größe')")));
    }
    DBConnection con;
    ASSERT_TRUE(con.createAndConnect(file));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT a FROM t")).toString(), QStringLiteral("Größe"));
    EXPECT_EQ(eval(con, QStringLiteral("LEN(a) FROM t")).toInt(), 5);
    con.setFastMode();
    EXPECT_TRUE(con.getErr()->isEmpty()) << con.getErr()->last().toStdString();
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("memory"));
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("PRAGMA synchronous")).toInt(), 0);
    con.close();
    EXPECT_FALSE(con.isOpen());
    EXPECT_FALSE(ExecSQL(&con, QStringLiteral("SELECT 1")));
}

// ---- statements and errors -------------------------------------------------

TEST_F(ConnectionTest, ExecSqlRunsEveryStatementAndCountsChangedRows) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    long affected = -1;
    ASSERT_TRUE(ExecSQL(&con,
                        QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v INTEGER);\n"
                                       "INSERT INTO t (v) VALUES (1), (2), (3);\n"
                                       "-- a comment between statements\n"
                                       "UPDATE t SET v = v * 10 WHERE v >= 2;  SELECT * FROM t;  "),
                        &affected));
    EXPECT_EQ(affected, 3 + 2) << "the trailing SELECT must not count or reset the count";
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT SUM(v) FROM t")).toInt(), 51);
    EXPECT_EQ(con.lastInsertId(), 3);

    // rows changed by a trigger are not the statement's rows
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE log (x); CREATE TRIGGER tr AFTER DELETE ON t "
                                             "BEGIN INSERT INTO log VALUES (old.id); END")));
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("DELETE FROM t WHERE v > 1"), &affected));
    EXPECT_EQ(affected, 2);

    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("DELETE FROM t WHERE 0"), &affected));
    EXPECT_EQ(affected, 0);

    EXPECT_FALSE(ExecSQL(nullptr, QStringLiteral("SELECT 1"), &affected));
    EXPECT_EQ(affected, 0);
}

TEST_F(ConnectionTest, FailingStatementIsRecordedWithItsSql) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY)")));
    EXPECT_TRUE(con.getErr()->isEmpty());

    EXPECT_FALSE(ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (1); INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)")));
    ASSERT_EQ(con.getErr()->errors().size(), 1);
    const QString err = con.getErr()->last();
    EXPECT_TRUE(err.contains(QStringLiteral("UNIQUE"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("— SQL: INSERT INTO t VALUES (1)"))) << err.toStdString();
    // statements before the failing one stay done, the ones after do not run
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM t")).toInt(), 1);

    EXPECT_FALSE(ExecSQL(&con, QStringLiteral("SELEKT 1")));
    EXPECT_EQ(con.getErr()->errors().size(), 2);
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("SELEKT 1")));
}

TEST_F(ConnectionTest, ShowErrorsPresentsOneMessageThroughTheDisplayAndClears) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    ExecSQL(&con, QStringLiteral("SELECT * FROM ohne_anzeige"));
    con.getErr()->vShowErrors(-1);
    EXPECT_EQ(con.getErr()->errors().size(), 1) << "without a display the error stays to be read";
    con.getErr()->clear();

    QStringList gezeigt;
    con.setFehlerAnzeige([&gezeigt](const QString& html) { gezeigt << html; });
    con.getErr()->vShowErrors(-1);
    EXPECT_TRUE(gezeigt.isEmpty()) << "nothing to show, nothing shown";

    ExecSQL(&con, QStringLiteral("SELECT * FROM erste_fehlt"));
    ExecSQL(&con, QStringLiteral("SELECT * FROM zweite_fehlt WHERE Betrag<>0"));
    con.getErr()->vShowErrors(-1);
    ASSERT_EQ(gezeigt.size(), 1);
    EXPECT_TRUE(con.getErr()->isEmpty());
    const QString shown = Ui::plainText(gezeigt.first());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Beim Zugriff auf die Datenbank ist ein Fehler aufgetreten:")));
    EXPECT_TRUE(shown.contains(QStringLiteral("erste_fehlt")));
    EXPECT_TRUE(shown.contains(QStringLiteral("zweite_fehlt WHERE Betrag<>0"))) << "SQL survives the HTML display: "
                                                                                 << shown.toStdString();
    EXPECT_LT(shown.indexOf(QStringLiteral("erste_fehlt")), shown.indexOf(QStringLiteral("zweite_fehlt")));

    gezeigt.clear();
    ExecSQL(&con, QStringLiteral("SELECT * FROM alt_fehlt"));
    ExecSQL(&con, QStringLiteral("SELECT * FROM neu_fehlt"));
    con.getErr()->vShowErrors(1);
    ASSERT_EQ(gezeigt.size(), 1);
    EXPECT_TRUE(gezeigt.first().contains(QStringLiteral("neu_fehlt")));
    EXPECT_FALSE(gezeigt.first().contains(QStringLiteral("alt_fehlt")));
    EXPECT_TRUE(con.getErr()->isEmpty());
}

// ---- transactions ----------------------------------------------------------

TEST_F(ConnectionTest, NestedTransactionsCommitOnlyAtTheOutermostLevel) {
    DBConnection con;
    ASSERT_TRUE(con.createAndConnect(env.path(QStringLiteral("tx.db3")), QString(), QString(), true));
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (v INTEGER)")));

    // A second connection sees only what reached the file.
    DBConnection other;
    ASSERT_TRUE(other.createAndConnect(con.path()));
    auto visible = [&] { return GetDatenTyp(&other, QStringLiteral("SELECT count(*) FROM t")).toInt(); };

    ASSERT_TRUE(con.beginTransaction());
    ASSERT_TRUE(con.beginTransaction());
    EXPECT_TRUE(con.inTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (1)"));
    EXPECT_TRUE(con.commit());
    EXPECT_TRUE(con.inTransaction());
    EXPECT_EQ(visible(), 0) << "inner commit must not reach the file";
    EXPECT_TRUE(con.commit());
    EXPECT_FALSE(con.inTransaction());
    EXPECT_EQ(visible(), 1);

    // an inner rollback dooms the whole transaction
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (2)"));
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (3)"));
    EXPECT_TRUE(con.rollback());
    EXPECT_FALSE(con.commit()) << "outermost commit after an inner rollback must report failure";
    EXPECT_FALSE(con.inTransaction());
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM t")).toInt(), 1);

    // the failure does not stick to the next transaction
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (4)"));
    EXPECT_TRUE(con.commit());
    EXPECT_EQ(visible(), 2);

    // outermost rollback undoes
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("DELETE FROM t"));
    EXPECT_TRUE(con.rollback());
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM t")).toInt(), 2);

    // unbalanced calls are refused
    EXPECT_FALSE(con.commit());
    EXPECT_FALSE(con.rollback());
}

// The module's pieces of work: one left without commit (an early return)
// is undone, and an inner piece left so dooms the piece around it.
TEST_F(ConnectionTest, APieceOfWorkIsUndoneUnlessCommitted) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (v INTEGER)")));
    auto zeilen = [&] { return GetDatenTyp(&con, QStringLiteral("SELECT group_concat(v) FROM t")).toString(); };
    {
        DBTransaktion tx(&con);
        ASSERT_TRUE(tx.ok());
        ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (1)"));
    }
    EXPECT_EQ(zeilen(), QString());
    EXPECT_FALSE(con.inTransaction());
    {
        DBTransaktion aussen(&con);
        ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (2)"));
        {
            DBTransaktion innen(&con);
            ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (3)"));
        }
        EXPECT_FALSE(aussen.commit()) << "a failed inner piece fails the whole";
    }
    EXPECT_EQ(zeilen(), QString());
    {
        DBTransaktion tx(&con);
        ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (4)"));
        EXPECT_TRUE(tx.commit());
        EXPECT_FALSE(tx.commit()) << "committed once";
    }
    EXPECT_EQ(zeilen(), QStringLiteral("4"));
    DBTransaktion ohne(nullptr);
    EXPECT_FALSE(ohne.ok());
    EXPECT_FALSE(ohne.commit());
}

// A command's transaction around the module's: each module transaction
// inside keeps its all-or-nothing meaning, only the command's commit makes
// anything durable, and a second writer is told that it waited in vain.
TEST_F(ConnectionTest, TheCommandsTransactionHoldsTheModulesAsSavepoints) {
    const QString pfad = env.path(QStringLiteral("outer.db3"));
    DBConnection con;
    ASSERT_TRUE(con.createAndConnect(pfad, QString(), QString(), true));
    con.setDurableMode();
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE t (v INTEGER)")));
    DBConnection other;
    other.setBusyTimeout(100);
    ASSERT_TRUE(other.createAndConnect(pfad));
    auto imFile = [&] { return GetDatenTyp(&other, QStringLiteral("SELECT count(*) FROM t")).toInt(); };

    ASSERT_TRUE(con.beginOuter(true));
    EXPECT_TRUE(con.inOuter());
    EXPECT_FALSE(con.beginOuter(true)) << "one command, one transaction";
    // a module transaction that succeeds
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (1)"));
    EXPECT_TRUE(con.commit());
    // one that fails inside: only its own rows go
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (2)"));
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (3)"));
    EXPECT_TRUE(con.rollback());
    EXPECT_FALSE(con.commit());
    // one rolled back as a whole
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO t VALUES (4)"));
    EXPECT_TRUE(con.rollback());
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT group_concat(v) FROM t")).toString(), QStringLiteral("1"));
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, pfad, QStringLiteral("t")), -1) << "no ATTACH inside a command";
    EXPECT_EQ(imFile(), 0) << "nothing is durable before the command commits";

    // a second writer waits, then says so
    DBConnection zweiter;
    zweiter.setBusyTimeout(50);
    ASSERT_TRUE(zweiter.createAndConnect(pfad));
    EXPECT_FALSE(zweiter.beginOuter(true));
    EXPECT_TRUE(zweiter.lockTimedOut());

    EXPECT_TRUE(con.commitOuter());
    EXPECT_FALSE(con.inOuter());
    EXPECT_EQ(imFile(), 1);
    EXPECT_TRUE(zweiter.beginOuter(true)) << "free again once committed";
    ExecSQL(&zweiter, QStringLiteral("INSERT INTO t VALUES (9)"));
    zweiter.rollbackOuter();
    EXPECT_EQ(imFile(), 1) << "a rolled-back command leaves nothing";
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    EXPECT_FALSE(QFileInfo::exists(pfad + QStringLiteral("-wal")));

    // read-only connections cannot change the file
    DBConnection leser;
    leser.setReadOnly(true);
    ASSERT_TRUE(leser.createAndConnect(pfad));
    EXPECT_FALSE(ExecSQL(&leser, QStringLiteral("INSERT INTO t VALUES (5)")));
    EXPECT_EQ(imFile(), 1);
}

// ---- SQL functions ---------------------------------------------------------

TEST_F(ConnectionTest, DatePartsReadStoredDatesAndRejectOthers) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    struct Fall {
        const char* expr;
        int expected;  // -1: NULL
    } faelle[] = {
        {"MONTH('2016-03-01 00:00:00')", 3},  {"YEAR('2016-03-01 00:00:00')", 2016},
        {"DAY('2016-03-01 00:00:00')", 1},    {"MINUTE('2016-03-01 12:34:56')", 34},
        {"MONTH('2016-12-31')", 12},          {"DAY('2016-2-9')", 9},
        {"MINUTE('2016-03-01')", 0},          {"MONTH('01.03.2016')", 3},
        {"YEAR('1.3.2016')", 2016},           {"DAY('31.12.2016 08:15')", 31},
        {"MINUTE('00:07:00')", 7},            {"MONTH('2016-03-01T10:20:30')", 3},
        {"MONTH(NULL)", -1},                  {"MONTH('')", -1},
        {"YEAR('   ')", -1},                  {"MONTH('00:00:00')", -1},
        {"MONTH('2016-13-01')", -1},          {"DAY('2015-02-29')", -1},
        {"MONTH('2016-00-00 00:00:00')", -1}, {"MONTH('März 2016')", -1},
        {"MINUTE('2016-03-01 12:61:00')", -1}, {"YEAR('2016-03-01 x')", -1},
        {"YEAR(2016)", -1},
    };
    for (const Fall& f : faelle) {
        const DatenTyp v = eval(con, QString::fromUtf8(f.expr));
        if (f.expected < 0) {
            EXPECT_TRUE(v.isNull()) << f.expr << " gave " << v.toString().toStdString();
        } else {
            EXPECT_EQ(v.art(), DatenTyp::Int) << f.expr;
            EXPECT_EQ(v.toInt(), f.expected) << f.expr;
        }
    }

    // Deterministic functions may be used in an index, and work in WHERE.
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE b (Belegdatum TEXT);"
                                             "CREATE INDEX bm ON b (MONTH(Belegdatum));"
                                             "INSERT INTO b VALUES ('2016-03-01 00:00:00'), ('2016-03-31 00:00:00'), "
                                             "('2016-04-01 00:00:00'), (''), (NULL)")))
        << con.getErr()->last().toStdString();
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM b WHERE MONTH(Belegdatum)=3")).toInt(), 2);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM b WHERE MONTH(Belegdatum) IS NULL")).toInt(), 2);
}

TEST_F(ConnectionTest, TextFunctionsCountCharactersNotBytes) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    struct Fall {
        const char* expr;
        const char* expected;  // nullptr: NULL
    } faelle[] = {
        {"MID('Müllerstraße', 3, 4)", "ller"}, {"MID('Müllerstraße', 9)", "raße"},
        {"MID('2016-03-01', 5, 1)", "-"},      {"MID('abc', 0, 2)", "ab"},
        {"MID('abc', 7, 2)", ""},              {"MID('abc', 2, -1)", ""},
        {"MID(NULL, 1, 2)", nullptr},          {"MID('abc', NULL)", nullptr},
        {"\"LEFT\"('Äpfel', 2)", "Äp"},        {"\"LEFT\"('ab', 5)", "ab"},
        {"\"RIGHT\"('Straße', 3)", "aße"},     {"\"RIGHT\"('ab', 5)", "ab"},
        {"\"RIGHT\"('ab', 0)", ""},            {"TRIM('  a b  ')", "a b"},
        {"UCASE('gasse äöü')", "GASSE ÄÖÜ"}, {"LCASE('ÄÖÜ ABC')", "äöü abc"},
        {"UCASE(NULL)", nullptr},              {"CSTR(12)", "12"},
        {"CSTR(12.5)", "12.5"},                {"CSTR('x')", "x"},
        {"CSTR(NULL)", nullptr},
    };
    for (const Fall& f : faelle) {
        const DatenTyp v = eval(con, QString::fromUtf8(f.expr));
        if (!f.expected) {
            EXPECT_TRUE(v.isNull()) << f.expr;
        } else {
            EXPECT_EQ(v.art(), DatenTyp::Text) << f.expr;
            EXPECT_EQ(v.toString(), QString::fromUtf8(f.expected)) << f.expr;
        }
    }
    EXPECT_EQ(eval(con, QStringLiteral("LEN('Grüße €')")).toInt(), 7);
    EXPECT_EQ(eval(con, QStringLiteral("LEN('')")).toInt(), 0);
    EXPECT_EQ(eval(con, QStringLiteral("LEN(12345)")).toInt(), 5);
    EXPECT_TRUE(eval(con, QStringLiteral("LEN(NULL)")).isNull());
}

TEST_F(ConnectionTest, NumberFunctionsRoundHalfAwayFromZero) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    struct Fall {
        const char* expr;
        double expected;
        bool isNull;
    } faelle[] = {
        {"CLNG(2.5)", 3, false},          {"CLNG(-2.5)", -3, false},      {"CLNG(2.49)", 2, false},
        {"CLNG('7')", 7, false},          {"CLNG('2,5')", 3, false},      {"CLNG(NULL)", 0, true},
        {"INT(2.9)", 2, false},           {"INT(-2.1)", -3, false},       {"INT(5)", 5, false},
        {"CDBL('12,5')", 12.5, false},    {"CDBL('1.234,56')", 1234.56, false},
        {"CDBL('12.5')", 12.5, false},    {"CDBL(3)", 3, false},          {"CDBL('abc')", 0, true},
        {"CDBL('')", 0, true},            {"NZ(NULL)", 0, false},         {"NZ(NULL, 7)", 7, false},
        {"NZ(5, 7)", 5, false},           {"ROUNDEURO(0.285, 2)", 0.29, false},
        {"ROUNDEURO(-0.285, 2)", -0.29, false}, {"ROUNDEURO(1.005, 2)", 1.01, false},
        {"ROUNDEURO(2.5, 0)", 3, false},  {"ROUNDEURO(1234.5678)", 1234.57, false},
        {"ROUNDEURO(NULL, 2)", 0, true},  {"ROUNDEURO(1.5, NULL)", 0, true},
    };
    for (const Fall& f : faelle) {
        const DatenTyp v = eval(con, QString::fromUtf8(f.expr));
        if (f.isNull) {
            EXPECT_TRUE(v.isNull()) << f.expr << " gave " << v.toString().toStdString();
        } else {
            EXPECT_FALSE(v.isNull()) << f.expr;
            EXPECT_DOUBLE_EQ(v.toDouble(), f.expected) << f.expr;
        }
    }
    EXPECT_EQ(eval(con, QStringLiteral("CLNG(2.5)")).art(), DatenTyp::Int);
    EXPECT_EQ(eval(con, QStringLiteral("NZ(NULL, 'leer')")).toString(), QStringLiteral("leer"));
    EXPECT_TRUE(eval(con, QStringLiteral("IIF(NZ(NULL)=0, 1, 0)")).toBool());
    // SUM over no rows is NULL; NZ makes it a number the code can use
    EXPECT_EQ(eval(con, QStringLiteral("NZ((SELECT SUM(x) FROM (SELECT 1 AS x WHERE 0)))")).toInt(), 0);
}

// ---- versions ----------------------------------------------------------------

// The version is the highest row, or 0; an update is needed when it is
// below the reference's, or, without a reference, when there is none.
TEST_F(ConnectionTest, VersionAndNeedsUpdateAgainstTheReferenceItIsGiven) {
    DBConnection reference;
    ASSERT_TRUE(reference.openMemory());
    ASSERT_TRUE(ExecSQL(&reference, QStringLiteral("CREATE TABLE Version (Version INTEGER); INSERT INTO Version VALUES (20161423)")));

    DBConnection db;
    ASSERT_TRUE(db.openMemory());
    EXPECT_EQ(GetDBVersion(&db), 0);
    EXPECT_EQ(GetDBVersion(nullptr), 0);
    EXPECT_TRUE(db.getErr()->isEmpty()) << "a missing Version table is no error";
    QString version;
    EXPECT_TRUE(DBNeedsUpdate(&db, nullptr, version)) << "without reference only an unversioned database";
    EXPECT_EQ(version, QStringLiteral("0"));
    ASSERT_TRUE(ExecSQL(&db, QStringLiteral("CREATE TABLE Version (Version INTEGER)")));
    EXPECT_EQ(GetDBVersion(&db), 0);
    ASSERT_TRUE(ExecSQL(&db, QStringLiteral("INSERT INTO Version VALUES (700), (6273), (70)")));
    EXPECT_EQ(GetDBVersion(&db), 6273);
    EXPECT_FALSE(DBNeedsUpdate(&db, nullptr, version));
    EXPECT_TRUE(DBNeedsUpdate(&db, &reference, version));
    EXPECT_EQ(version, QStringLiteral("6273"));

    ExecSQL(&db, QStringLiteral("INSERT INTO Version VALUES (20161423)"));
    EXPECT_FALSE(DBNeedsUpdate(&db, &reference, version));
    EXPECT_EQ(version, QStringLiteral("20161423"));
    ExecSQL(&db, QStringLiteral("INSERT INTO Version VALUES (20170001)"));
    EXPECT_FALSE(DBNeedsUpdate(&db, &reference, version));
}

// ---- schema helpers and table copy -----------------------------------------

TEST_F(ConnectionTest, TableAndColumnExistenceIgnoreCase) {
    DBConnection con;
    ASSERT_TRUE(con.openMemory());
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE eurKontenplan (Nummer INTEGER, Bezeichnung TEXT)")));
    EXPECT_TRUE(rsTableExists(&con, QStringLiteral("eurKontenplan")));
    EXPECT_TRUE(rsTableExists(&con, QStringLiteral("EURKONTENPLAN")));
    EXPECT_FALSE(rsTableExists(&con, QStringLiteral("eurKonten")));
    EXPECT_FALSE(rsTableExists(&con, QStringLiteral("x' OR '1'='1")));
    EXPECT_TRUE(rsColumnExists(&con, QStringLiteral("eurkontenplan"), QStringLiteral("bezeichnung")));
    EXPECT_FALSE(rsColumnExists(&con, QStringLiteral("eurKontenplan"), QStringLiteral("Kategorie")));
    EXPECT_FALSE(rsColumnExists(&con, QStringLiteral("fehlt"), QStringLiteral("Nummer")));
    EXPECT_FALSE(rsTableExists(nullptr, QStringLiteral("eurKontenplan")));
    EXPECT_TRUE(con.getErr()->isEmpty());
}

class TableCopyTest : public ConnectionTest {
protected:
    void SetUp() override {
        // the apostrophe in the file name must survive the ATTACH literal
        external = env.path(QStringLiteral("alt'fall.db3"));
        DBConnection ext;
        ASSERT_TRUE(ext.createAndConnect(external, QString(), QString(), true));
        ASSERT_TRUE(ExecSQL(&ext, QStringLiteral("CREATE TABLE eurKontenplan (Nummer INTEGER PRIMARY KEY, "
                                                 "Bezeichnung TEXT, Veraltet TEXT);"
                                                 "INSERT INTO eurKontenplan VALUES (1000, 'Kasse neu', 'x'), "
                                                 "(1200, 'Bank', 'y'), (8400, 'Erlöse 19 %', 'z');"
                                                 "CREATE TABLE nurExtern (a INTEGER)")));
        ASSERT_TRUE(con.openMemory());
        ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE eurKontenplan (nummer INTEGER PRIMARY KEY, "
                                                 "BEZEICHNUNG TEXT, Kategorie INTEGER DEFAULT 201);"
                                                 "INSERT INTO eurKontenplan VALUES (1000, 'Kasse alt', 7), (1800, 'Privat', 2100);"
                                                 "CREATE TABLE nurIntern (a INTEGER)")));
    }
    int attachedDatabases() { return GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM pragma_database_list")).toInt(); }

    QString external;
    DBConnection con;
};

TEST_F(TableCopyTest, CopiesCommonColumnsAndReplacesClashingRows) {
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, external, QStringLiteral("EURKONTENPLAN")), 3)
        << con.getErr()->last().toStdString();
    EXPECT_EQ(attachedDatabases(), 1) << "the external file must be detached again";
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM eurKontenplan")).toInt(), 4);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT Bezeichnung FROM eurKontenplan WHERE Nummer=1000")).toString(),
              QStringLiteral("Kasse neu"));
    // a replaced row is a new row: the column the source lacks gets its default
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=1000")).toInt(), 201);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=1800")).toInt(), 2100);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT Bezeichnung FROM eurKontenplan WHERE Nummer=8400")).toString(),
              QStringLiteral("Erlöse 19 %"));
    EXPECT_TRUE(con.getErr()->isEmpty());

    // copying again is idempotent
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, external, QStringLiteral("eurKontenplan")), 3);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM eurKontenplan")).toInt(), 4);
}

TEST_F(TableCopyTest, MissingTablesCopyNothingAndErrorsReportMinusOne) {
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, external, QStringLiteral("nurIntern")), 0);
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, external, QStringLiteral("nurExtern")), 0);
    EXPECT_FALSE(rsTableExists(&con, QStringLiteral("nurExtern"))) << "a copy never creates tables";
    EXPECT_EQ(attachedDatabases(), 1);

    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, env.path(QStringLiteral("gibtsnicht.db3")),
                                               QStringLiteral("eurKontenplan")),
              -1);
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("Datei nicht gefunden")));
    EXPECT_FALSE(QFileInfo::exists(env.path(QStringLiteral("gibtsnicht.db3")))) << "ATTACH must not create it";

    const QString garbage = env.path(QStringLiteral("kaputt.db3"));
    ASSERT_TRUE(writeFile(garbage, QByteArray(2048, '\x5a')));
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, garbage, QStringLiteral("eurKontenplan")), -1);
    EXPECT_EQ(attachedDatabases(), 1);
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM eurKontenplan")).toInt(), 2);
}

// Replacing several tables is one step: when the copy of one fails, every
// table keeps its rows (a chart is never left empty or half taken over).
TEST_F(TableCopyTest, ReplacingTablesIsAllOrNothingAndRefusedInATransaction) {
    ASSERT_TRUE(ExecSQL(&con, QStringLiteral("CREATE TABLE nurExtern (a INTEGER NOT NULL); INSERT INTO nurExtern VALUES (5)")));
    {
        DBConnection ext;
        ASSERT_TRUE(ext.createAndConnect(external));
        ASSERT_TRUE(ExecSQL(&ext, QStringLiteral("INSERT INTO nurExtern VALUES (NULL)")));
    }
    auto bezeichnungen = [&] {
        return GetDatenTyp(&con, QStringLiteral("SELECT group_concat(Bezeichnung, '|') FROM (SELECT Bezeichnung FROM "
                                                "eurKontenplan ORDER BY Nummer)"))
            .toString();
    };
    EXPECT_FALSE(rsReplaceTablesFromExternalDatabase(&con, external, {QStringLiteral("eurKontenplan"), QStringLiteral("nurExtern")}));
    EXPECT_EQ(bezeichnungen(), QStringLiteral("Kasse alt|Privat")) << "the first table is back as it was";
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM nurExtern")).toInt(), 1);
    EXPECT_EQ(attachedDatabases(), 1);
    EXPECT_FALSE(con.inTransaction());

    EXPECT_TRUE(rsReplaceTablesFromExternalDatabase(&con, external, {QStringLiteral("eurKontenplan")}));
    EXPECT_EQ(bezeichnungen(), QStringLiteral("Kasse neu|Bank|Erlöse 19 %")) << "replaced, not merged";
    EXPECT_EQ(attachedDatabases(), 1);

    // both are refused inside a transaction, which stays usable
    ASSERT_TRUE(con.beginTransaction());
    ExecSQL(&con, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung) VALUES (4000, 'Wareneingang')"));
    EXPECT_FALSE(rsReplaceTablesFromExternalDatabase(&con, external, {QStringLiteral("eurKontenplan")}));
    con.getErr()->clear();
    EXPECT_EQ(rsCopyTablesFromExternalDatabase(&con, external, QStringLiteral("eurKontenplan")), -1);
    EXPECT_TRUE(con.getErr()->last().contains(QStringLiteral("Transaktion")));
    EXPECT_EQ(attachedDatabases(), 1);
    EXPECT_TRUE(con.commit());
    EXPECT_EQ(GetDatenTyp(&con, QStringLiteral("SELECT count(*) FROM eurKontenplan")).toInt(), 4);
}

}  // namespace
