// The dalvo program as scripts see it: help, version, exit codes, dbinfo.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Lauf {
    int rc;
    QString out;
    QString err;
};

Lauf dalvo(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QTemporaryDir home;
    env.insert(QStringLiteral("DALVO_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("DALVO_BIN"), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(Cli, HelpListsCommandsAndEachCommandExplainsItself) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DALVO_BIN"));
    Lauf h = dalvo({QStringLiteral("help")});
    EXPECT_EQ(h.rc, 0);
    for (const char* c : {"help", "version", "dbinfo"}) EXPECT_TRUE(h.out.contains(QLatin1String(c))) << c;

    Lauf v = dalvo({QStringLiteral("dbinfo"), QStringLiteral("--help")});
    EXPECT_EQ(v.rc, 0);
    EXPECT_TRUE(v.out.startsWith(QStringLiteral("Aufruf: dalvo dbinfo"))) << v.out.toStdString();
    Lauf hv = dalvo({QStringLiteral("help"), QStringLiteral("version")});
    EXPECT_EQ(hv.rc, 0);
    EXPECT_TRUE(hv.out.startsWith(QStringLiteral("Aufruf: dalvo version")));
}

TEST(Cli, UsageErrorsExitWithTwo) {
    Lauf u = dalvo({QStringLiteral("gibtsnicht")});
    EXPECT_EQ(u.rc, 2);
    EXPECT_TRUE(u.err.contains(QStringLiteral("unbekannter Befehl"))) << u.err.toStdString();
    Lauf f = dalvo({QStringLiteral("dbinfo"), QStringLiteral("--jahr"), QStringLiteral("2016")});
    EXPECT_EQ(f.rc, 2);
    EXPECT_TRUE(f.err.contains(QStringLiteral("Unbekannte Option")));
    Lauf y = dalvo({QStringLiteral("dbinfo"), QStringLiteral("--year"), QStringLiteral("zwanzig")});
    EXPECT_EQ(y.rc, 2);
    Lauf m = dalvo({QStringLiteral("dbinfo"), QStringLiteral("--year")});
    EXPECT_EQ(m.rc, 2);
    EXPECT_EQ(dalvo({}).rc, 2);
}

TEST(Cli, VersionAndDbinfoShowTheSchema) {
    Lauf v = dalvo({QStringLiteral("version")});
    EXPECT_EQ(v.rc, 0);
    EXPECT_TRUE(v.out.contains(QStringLiteral("20161423"))) << v.out.toStdString();
    Lauf d = dalvo({QStringLiteral("dbinfo"), QStringLiteral("--year"), QStringLiteral("2016")});
    EXPECT_EQ(d.rc, 0) << d.err.toStdString();
    EXPECT_TRUE(d.out.contains(QStringLiteral("Datenbankversion:  20161423"))) << d.out.toStdString();
    EXPECT_TRUE(d.out.contains(QStringLiteral("ProgrammJahr = 2016")));
    EXPECT_TRUE(d.out.contains(QStringLiteral("Kontenplan = SKR03")));
}

}  // namespace
