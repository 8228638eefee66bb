// The manager of a case slot: lifecycle, settings, report cache, special
// accounts and the case database's open/close behaviour.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

long countRows(DBConnection* con, const QString& sql) { return GetDatenTyp(con, sql).toLongLong(); }

int g_freigegeben = 0;
void zaehleFreigabe() { ++g_freigegeben; }

TEST(KontoGlobalLifecycle, GetKontoGlobalCreatesLooksUpAndDestroys) {
    TestEnv env;
    // What a subsystem keeps for the managers is given up with each one
    // (the reports add theirs this way), however often it was added.
    KontoGlobal::beimFreigeben(&zaehleFreigabe);
    KontoGlobal::beimFreigeben(&zaehleFreigabe);
    g_freigegeben = 0;
    EXPECT_EQ(GetKontoGlobal(3, true), nullptr);
    EXPECT_EQ(GetGlobal().GetKontoGlobalPtr(3), nullptr) << "destroying an empty slot must create nothing";

    KontoGlobal* a = GetKontoGlobal(3, false);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(GetKontoGlobal(3, false), a);
    EXPECT_EQ(a->getSlot(), 3);

    GetGlobal().SetActiveSteuer(3);
    EXPECT_EQ(GetKontoGlobal(-1, false), a) << "slot -1 is the active slot";

    EXPECT_EQ(g_freigegeben, 0);
    EXPECT_EQ(GetKontoGlobal(3, true), nullptr);
    EXPECT_EQ(g_freigegeben, 1);
    EXPECT_EQ(GetGlobal().GetKontoGlobalPtr(3), nullptr);
    EXPECT_EQ(GetKontoGlobal(999, false), nullptr);
}

TEST(KontoGlobalLifecycle, DefaultsAfterConstructionAndWorkingDirectory) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    EXPECT_EQ(kg->getSteuerjahr(), 2016);
    EXPECT_TRUE(kg->getUstPflicht() && kg->getKassenkonto() == 0 && kg->getJahresabschluss() == 0 && kg->getKontenplanName().isEmpty())
        << "a new manager: liable to VAT, no cash account, open year, no chart";
    EXPECT_FALSE(kg->isConnected());
    EXPECT_EQ(kg->GetFormular(), -1);
    EXPECT_TRUE(kg->GetKontoTempDir().endsWith(QLatin1String("kont0_/")));
    EXPECT_TRUE(QFileInfo(kg->GetKontoTempDir()).isDir());
    EXPECT_EQ(GetGlobal().GetDB_Dir(5), kg->GetKontoTempDir()) << "slot 0 publishes its directory as slot 5";

    KontoGlobal* other = GetKontoGlobal(2, false);
    EXPECT_TRUE(GetGlobal().GetDB_Dir(5) == kg->GetKontoTempDir()) << "only slot 0 publishes";
    const QString dir2 = other->GetKontoTempDir();
    GetKontoGlobal(2, true);
    EXPECT_FALSE(QFileInfo(dir2).exists()) << "an empty working directory is removed with its manager";
}

TEST(KontoGlobalState, JahresabschlussByYearAndFlag) {
    TestEnv env;
    KontoGlobal kg(1);
    kg.setSteuerjahr(2014);
    EXPECT_EQ(kg.getJahresabschluss(), 2) << "files of earlier years are read-only";
    EXPECT_EQ(kg.getJahresabschlussgrund(0), QStringLiteral("Dies ist eine Datei aus früheren Jahren."));
    kg.setSteuerjahr(0);
    EXPECT_EQ(kg.getJahresabschluss(), 0);
    kg.setSteuerjahr(2016);
    EXPECT_EQ(kg.getJahresabschlussgrund(1), QString());
    EXPECT_EQ(kg.toggleJahresabschluss(), 1);
    EXPECT_EQ(kg.getJahresabschluss(), 1);
    EXPECT_EQ(kg.getJahresabschlussgrund(1),
              QStringLiteral("Der Jahresabschluss wurde bereits durchgeführt, es sind keine Änderungen mehr möglich."));
    kg.toggleJahresabschluss();
    EXPECT_EQ(kg.getJahresabschluss(), 0);
}

TEST(KontoGlobalState, AnmeldeZeitraumFromFormParameters) {
    TestEnv env;
    KontoGlobal kg(1);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 19) << "default parameters mean the year";
    // (kind, quarter, month), the order in which the VAT figures and the
    // balance list read the same cache.
    kg.setFormularParameter(1, 3, 11);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 12);
    kg.setFormularParameter(1, 2, 0);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 1);
    kg.setFormularParameter(2, 3, 5);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 44);
    kg.setFormularParameter(2, 0, 5);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 41);
    kg.setFormularParameter(3, 7, 7);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 19);
}

TEST(KontoGlobalState, ReportCacheUsesDefaultsWithoutNodeAndNodeValuesWithOne) {
    TestEnv env;
    KontoGlobal kg(1);
    int p1 = 0, p2 = 0, p3 = 0;
    kg.GetFormularData(p1, p2, p3, 4);
    EXPECT_EQ(p1, 3);
    EXPECT_EQ(p2, -1);
    EXPECT_EQ(p3, -1);
    EXPECT_EQ(kg.GetFormular(), 4);

    QString askedPath;
    KontoGlobal::setReportNodeResolver([&](const QString& path, QVariantMap& v) {
        askedPath = path;
        if (path != QLatin1String("Kont_[M]\\Ausw002_(3)")) return false;
        v[QStringLiteral("AlleKonten")] = false;
        v[QStringLiteral("VonKonto")] = 1000;
        v[QStringLiteral("BisKonto")] = 1999;
        v[QStringLiteral("Parameter1")] = 0;  // list index 0 = monthly
        v[QStringLiteral("Parameter2")] = 3;
        v[QStringLiteral("Parameter3")] = 1;
        v[QStringLiteral("NeueSeite")] = true;
        return true;
    });
    kg.ResetFormular(4);
    kg.GetFormularData(p1, p2, p3, 4);
    EXPECT_EQ(askedPath, QStringLiteral("Kont_[M]\\Ausw002_(3)"));
    EXPECT_EQ(p1, 1);
    EXPECT_EQ(p2, 2);
    EXPECT_EQ(p3, 0);
    EXPECT_EQ(kg.GetAnmeldeZeitraum(), 1) << "monthly, month index 0: January";
    EXPECT_TRUE(kg.GetNeueSeite());
    bool aktiv = true;
    int modus = -1, von = 0, bis = 0;
    EXPECT_EQ(kg.GetAktiveKonten(aktiv, modus, von, bis), 1);
    EXPECT_FALSE(aktiv);
    EXPECT_EQ(von, 1000);
    EXPECT_EQ(bis, 1999);

    kg.SetFormular(0);
    kg.SetFormular(7);
    EXPECT_EQ(kg.GetFormular(), 0) << "a cached code 0 is not replaced by a positive code";

    kg.ResetFormular(6);  // node (4) missing: defaults
    kg.GetFormularData(p1, p2, p3, 6);
    EXPECT_EQ(p1, 3);
    EXPECT_FALSE(kg.GetNeueSeite());

    bool kunden[7];
    QString text;
    rsStringList liste;
    kg.GetRebKundenlisteDaten(kunden, text, liste);
    EXPECT_TRUE(kunden[0]);
    EXPECT_FALSE(kunden[1]);
    EXPECT_TRUE(kunden[2]);
    KontoGlobal::setReportNodeResolver(nullptr);
}

TEST(KontoGlobalDatabase, NewDatabaseCarriesTemplateAndProgramProperties) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    ASSERT_TRUE(kg->isConnected()) << env.ui().texts(Ui::Art::Fehler).join('\n').toStdString();
    DBConnection* con = kg->GetDBConnect_Ptr();
    EXPECT_EQ(GetGlobal().GetDBConnect_Ptr(5), con) << "slot 0 publishes its connection as slot 5";
    EXPECT_EQ(GetDBVersion(con), 20161425);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("ProgrammJahr"), con), QStringLiteral("2016"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Programm"), con), GetGlobal().GetProgramName());
    EXPECT_TRUE(kg->Getmdb_name().endsWith(QLatin1String(".db3")));
    EXPECT_TRUE(kg->existsColumnInTable(QStringLiteral("eurVerbucht"), QStringLiteral("Belegdatum")));
    EXPECT_FALSE(kg->existsColumnInTable(QStringLiteral("eurVerbucht"), QStringLiteral("GibtEsNicht")));
    EXPECT_FALSE(kg->existsColumnInTable(QStringLiteral("KeineTabelle"), QStringLiteral("X")));

    // Opening again while open changes nothing.
    const QString file = kg->Getmdb_name();
    kg->createConnectionKonto(true);
    EXPECT_EQ(kg->GetDBConnect_Ptr(), con);

    kg->destroyConnectionKonto();
    EXPECT_FALSE(kg->isConnected());
    EXPECT_EQ(GetGlobal().GetDBConnect_Ptr(5), nullptr);
    EXPECT_FALSE(QFile::exists(file)) << "the working file goes with the connection";
}

TEST(KontoGlobalDatabase, ImportFileSurvivesDestroy) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    const QString imp = kg->getImportDatenbankName();
    EXPECT_TRUE(imp.endsWith(QLatin1String("temp.import.db3"))) << imp.toStdString();
    ASSERT_TRUE(QFile::copy(GlobalInst::templateFile(), imp));
    QFile::setPermissions(imp, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(kg->existsImportDB());
    GetGlobal().SetImport(99);
    kg->createConnectionKonto(false);
    ASSERT_TRUE(kg->isConnected());
    EXPECT_EQ(kg->Getmdb_name(), imp);
    kg->destroyConnectionKonto();
    EXPECT_TRUE(QFile::exists(imp)) << "an import database stays on disk";
    GetGlobal().SetImport(0);
    EXPECT_TRUE(kg->deleteImportDB());
    EXPECT_FALSE(kg->existsImportDB());
}

TEST(KontoGlobalDatabase, UnopenableDatabaseGivesMessageAndNullConnection) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    // Garbage where the case database should be.
    QFile f(kg->getDatenbankName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    kg->createConnectionKonto(false);
    EXPECT_FALSE(kg->isConnected());
    EXPECT_EQ(kg->GetDBConnect_Ptr(), nullptr);
    EXPECT_GE(env.ui().count(Ui::Art::Fehler), 1) << "the user is told why";

    // A missing template: assertion "b", no connection, no crash.
    const QByteArray dataDir = qgetenv("DALVO_DATA_DIR");
    qputenv("DALVO_DATA_DIR", env.path(QStringLiteral("nirgends")).toUtf8());
    KontoGlobal* kg2 = GetKontoGlobal(1, false);
    kg2->createConnectionKonto(true);
    EXPECT_FALSE(kg2->isConnected());
    EXPECT_TRUE(rsLog::assertTexts().contains(QStringLiteral("b")));
    if (dataDir.isEmpty()) qunsetenv("DALVO_DATA_DIR");
    else qputenv("DALVO_DATA_DIR", dataDir);
}

TEST(KontoGlobalDatabase, NoodbcIniSettingKeepsConnectionClosed) {
    TestEnv env;
    TesmaIni::setOverride(QStringLiteral("Datenbank"), QStringLiteral("NOODBC"), QStringLiteral("1"));
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    EXPECT_FALSE(kg->isConnected());
}

TEST(KontoGlobalDatabase, FalleigenschaftUpdatesOrInsertsOneRow) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    DBConnection* con = kg->GetDBConnect_Ptr();
    ASSERT_NE(con, nullptr);
    const QString key = QStringLiteral("Notiz's \"Feld\"");
    KontoGlobal::setFalleigenschaft(key, QStringLiteral("eins"), con);
    KontoGlobal::setFalleigenschaft(key, QStringLiteral("zwei'; DROP TABLE Version; --"), con);
    EXPECT_EQ(countRows(con, QStringLiteral("SELECT COUNT(*) FROM Falleigenschaften WHERE Feld=") +
                                 rsDataSource::toSqlStr(key)),
              1);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(key, con), QStringLiteral("zwei'; DROP TABLE Version; --"));
    EXPECT_EQ(GetDBVersion(con), 20161425);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("fehlt"), con), QString());
    // A null connection means the active case.
    KontoGlobal::setFalleigenschaft(QStringLiteral("Aktiv"), QStringLiteral("ja"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Aktiv"), con), QStringLiteral("ja"));
}

TEST(KontoGlobalDatabase, PersistedSettingsAreWrittenAsProperties) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    DBConnection* con = kg->GetDBConnect_Ptr();
    ASSERT_NE(con, nullptr);
    GetGlobal().SetRebuildGUI(false);
    kg->setSteuerjahr(2016);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Steuerjahr"), con), QStringLiteral("2016"));
    EXPECT_FALSE(GetGlobal().GetRebuildGUI()) << "the same year does not push the year to the host";
    kg->setSteuerjahr(2015);
    EXPECT_TRUE(GetGlobal().GetRebuildGUI());
    EXPECT_EQ(GetGlobal().getSteuerjahr(), 2015);
    kg->setUstPflicht(false);
    kg->setJahresabschluss(1);
    kg->setKontenplanName(QStringLiteral("SKR04"));
    kg->setEurUID(QStringLiteral("uid-1"));
    kg->setDatenuebernahmeUID(QStringLiteral("uid-0"));
    kg->setKassenkonto(1600);
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("UstPflicht"), con), QStringLiteral("0"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Jahresabschluss"), con), QStringLiteral("1"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Kontenplan"), con), QStringLiteral("SKR04"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("EurUID"), con), QStringLiteral("uid-1"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("DueUID"), con), QStringLiteral("uid-0"));
    EXPECT_EQ(KontoGlobal::getFalleigenschaft(QStringLiteral("Kassenkonto"), con), QString())
        << "the cash account is a field only";

    kg->Clear();
    EXPECT_EQ(kg->getSteuerjahr(), 2016);
    EXPECT_TRUE(kg->getUstPflicht());
    EXPECT_EQ(kg->getKassenkonto(), 0);
    EXPECT_EQ(kg->getJahresabschluss(), 0);
    EXPECT_TRUE(kg->getKontenplanName().isEmpty());
    EXPECT_FALSE(kg->isConnected());
}

TEST(KontoGlobalSpezialkonten, MapsStandardNumbersIntoTheCaseChart) {
    TestEnv env;
    KontoGlobal kg(1);
    EXPECT_EQ(kg.getSpezialKonto(1000), 1000UL) << "without a chart nothing is mapped";
    kg.setKontenplanName(QStringLiteral("SKR04"));
    EXPECT_EQ(kg.getSpezialKonto(1000), 1600UL) << "cash";
    EXPECT_EQ(kg.getSpezialKonto(1200), 1800UL) << "bank";
    EXPECT_EQ(kg.getSpezialKonto(4711), 4711UL) << "an unmapped number stands for itself";
    EXPECT_TRUE(kg.isSpezialKonto(1600)) << "outside SKR03 the mapped values count";
    EXPECT_FALSE(kg.isSpezialKonto(4711));

    kg.setKontenplanName(QStringLiteral("EKR03"));
    EXPECT_EQ(kg.getSpezialKonto(1000), 1000UL);
    EXPECT_TRUE(kg.isSpezialKonto(1000)) << "EKR03 shares the SKR03 numbers";

    kg.setKontenplanName(QStringLiteral("SKR03 ; DROP TABLE x"));
    EXPECT_EQ(kg.getSpezialKonto(1000), 1000UL) << "a bogus chart name never reaches the SQL";
}

}  // namespace
