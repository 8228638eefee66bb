// Host infrastructure: option store, ini reader, rot13, Ui text reduction and
// the scripted Ui, the assertion log, global slots.
#include "host/app/options.h"
#include "support/testenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(Options, KeptInFileAndReadBack) {
    TestEnv env;
    rsOptionsGlobal& o = rsOptionsGlobal::instance();
    const QString file = env.path(QStringLiteral("optionen.ini"));
    o.setFile(file);
    o.setString(QStringLiteral("Private"), QStringLiteral("Name"), QStringLiteral("Müller = Meier; [x]"));
    o.setInt(QStringLiteral("Private"), QStringLiteral("Zahl"), 42);
    o.setInt(QStringLiteral("Rechnung"), QStringLiteral("Nummer"), -7);
    ASSERT_TRUE(QFile::exists(file));

    o.setFile(QString());
    EXPECT_FALSE(o.contains(QStringLiteral("Private"), QStringLiteral("Zahl")));
    o.setFile(file);
    EXPECT_EQ(o.getString(QStringLiteral("Private"), QStringLiteral("Name")), QStringLiteral("Müller = Meier; [x]"));
    EXPECT_EQ(o.getInt(QStringLiteral("Private"), QStringLiteral("Zahl")), 42);
    EXPECT_EQ(o.getInt(QStringLiteral("Rechnung"), QStringLiteral("Nummer")), -7);
    EXPECT_EQ(o.getInt(QStringLiteral("Private"), QStringLiteral("Name"), 5), 5) << "non-numbers give the default";
    EXPECT_EQ(o.getString(QStringLiteral("Fehlt"), QStringLiteral("x"), QStringLiteral("d")), QStringLiteral("d"));
    o.setFile(QString());
}

TEST(Ini, FileValuesAndOverrides) {
    TestEnv env;
    QFile f(GetGlobal().GetWriteableHomeDir() + QStringLiteral("/dalvo16.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; Kommentar\n[Datenbank]\nNOODBC=3\nText = hallo\n");
    f.close();
    EXPECT_EQ(TesmaIni::getInt(QStringLiteral("Datenbank"), QStringLiteral("NOODBC")), 3);
    EXPECT_EQ(TesmaIni::getInt(QStringLiteral("Datenbank"), QStringLiteral("Fehlt"), 9), 9);
    TesmaIni::setOverride(QStringLiteral("Datenbank"), QStringLiteral("NOODBC"), QStringLiteral("0"));
    EXPECT_EQ(TesmaIni::getInt(QStringLiteral("Datenbank"), QStringLiteral("NOODBC"), 5), 0);
}

TEST(Rot13, RotatesLettersOnlyAndIsItsOwnInverse) {
    EXPECT_EQ(rot13(QStringLiteral("Hallo, Welt! 123")), QStringLiteral("Unyyb, Jryg! 123"));
    EXPECT_EQ(rot13(rot13(QStringLiteral("buchhalte"))), QStringLiteral("buchhalte"));
    EXPECT_EQ(rot13(QStringLiteral("äöü")), QStringLiteral("äöü"));
}

TEST(UiText, HtmlAndYearMacrosBecomePlainText) {
    TestEnv env;
    GetGlobal().setSteuerjahr(2016);
    EXPECT_EQ(Ui::plainText(QStringLiteral("<b>Jahr $Y()</b><br>Vorjahr $Y(-1)")), QStringLiteral("Jahr 2016\nVorjahr 2015"));
    EXPECT_EQ(Ui::plainText(QStringLiteral("<p>A &amp; B</p><p>&lt;C&gt;</p>")), QStringLiteral("A & B\n<C>"));
    EXPECT_EQ(Ui::plainText(QStringLiteral("<ul><li>eins</li><li>zwei</li></ul>")), QStringLiteral("- eins\n- zwei"));
}

TEST(UiScripted, RecordsMessagesAndAnswersFromTheQueue) {
    TestEnv env;
    ScriptedUi& ui = env.ui();
    ui.queueAnswer(true);
    EXPECT_TRUE(Ui::current()->frage(QStringLiteral("Wirklich?")));
    EXPECT_FALSE(Ui::current()->frage(QStringLiteral("Nochmal?"))) << "default answer is No";
    Ui::current()->rsError(QStringLiteral("kaputt"));
    EXPECT_EQ(ui.count(Ui::Art::Frage), 2);
    EXPECT_EQ(ui.texts(Ui::Art::Fehler), QStringList{QStringLiteral("kaputt")});
    EXPECT_EQ(ui.messages().last().titel, QStringLiteral("Fehler"));

    // Without an installed Ui questions are answered No and nothing crashes.
    Ui* prev = Ui::install(nullptr);
    EXPECT_FALSE(Ui::current()->frage(QStringLiteral("?")));
    Ui::install(prev);
}

TEST(Log, AssertionsAreRecordedWithSource) {
    TestEnv env;
    rs_logAssert(QStringLiteral("kontbaum/kontglob"), 12, QStringLiteral("x != 0"));
    rs_logError(QStringLiteral("kontbaum/kontglob"), 13, QStringLiteral("Fehler"));
    ASSERT_EQ(rsLog::entries().size(), 2);
    EXPECT_EQ(rsLog::assertTexts(), QStringList{QStringLiteral("x != 0")});
    EXPECT_EQ(rsLog::entries().first().quelle, QStringLiteral("kontbaum/kontglob"));
    rsLog::clear();
    EXPECT_TRUE(rsLog::entries().isEmpty());
}

TEST(Global, SlotsDirectoriesAndReferenceDatabase) {
    TestEnv env;
    GlobalInst& g = GetGlobal();
    EXPECT_EQ(g.GetWriteableHomeDir(), env.home());
    EXPECT_TRUE(g.GetTempDir(QStringLiteral("neu"), false).isEmpty());
    EXPECT_EQ(g.GetTempDir(QStringLiteral("neu"), true), env.home() + QStringLiteral("/neu"));
    EXPECT_EQ(g.GetTempDir(QStringLiteral("neu"), false), env.home() + QStringLiteral("/neu"));
    EXPECT_EQ(g.GetDBConnect_Ptr(99), nullptr);
    g.SetDB_Name(QStringLiteral("fall.db3"), 5);
    EXPECT_EQ(g.GetDB_Name(5), QStringLiteral("fall.db3"));
    ASSERT_NE(g.GetDBConnect_Ptr(22), nullptr) << "the reference database opens on demand";
    EXPECT_EQ(g.GetDBConnect_Ptr(22), g.GetDBConnect_Ptr(22));
    GlobalInst::reset(env.home());
    EXPECT_TRUE(g.GetDB_Name(5).isEmpty());
}

}  // namespace
