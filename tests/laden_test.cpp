// After loading: the year decisions of UpdateAfterLoading and the refresh of
// categories and chart from the reference data.
#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

KontoGlobal* fallMitKontenplan() {
    KontoGlobal* kg = nullptr;
    testfall::neuerFall(&kg);
    return kg;
}

QString bezeichnung(DBConnection* db, int nr) {
    return GetDatenTyp(db, QStringLiteral("SELECT Bezeichnung FROM eurKontenplan WHERE Nummer=%1").arg(nr)).toString();
}

TEST(NachDemLaden, OwnYearSetsTheYearAndRefreshesOnlyWhenAsked) {
    TestEnv env;
    KontoGlobal* kg = fallMitKontenplan();
    DBConnection* db = kg->GetDBConnect_Ptr();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='alt' WHERE Nummer=1000")));
    std::unique_ptr<Kont_> k(Kont_::New());

    kg->setDoUpdateDB(false);
    EXPECT_EQ(k->UpdateAfterLoading(0), 0u);
    EXPECT_EQ(GetGlobal().getSteuerjahr(), 2016);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("alt")) << "no refresh without DoUpdateDB";

    kg->setDoUpdateDB(true);
    EXPECT_EQ(k->UpdateAfterLoading(Kont_::kLadeOhneDB), 0u);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("alt")) << "flag 0x40 skips the refresh";

    EXPECT_EQ(k->UpdateAfterLoading(0), 0u);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("Kasse")) << "an account the user did not change is refreshed";
}

TEST(NachDemLaden, PreviousYearFilePrunesTheYearNodes) {
    TestEnv env;
    KontoGlobal* kg = fallMitKontenplan();
    kg->setDoUpdateDB(true);
    DBConnection* db = kg->GetDBConnect_Ptr();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='alt' WHERE Nummer=1000")));
    std::unique_ptr<Kont_> k(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    for (const char* p : {"Kont_[M]\\Ana002_(1)", "Kont_[M]\\Ana002_(4)", "Kont_[M]\\Ausw002_(2)", "Kont_[M]\\Ausw002_(5)"})
        ASSERT_NE(DatenBase::GetDB(QString::fromLatin1(p), true), nullptr) << p;

    EXPECT_EQ(k->UpdateAfterLoading(Kont_::kLadeVorjahr | Kont_::kLadeOhneDB), 0u);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ana002_(1)")), nullptr);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ana002_(4)")), nullptr);
    EXPECT_EQ(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_(2)")), nullptr);
    EXPECT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ausw002_(5)")), nullptr) << "later report settings stay";
    EXPECT_EQ(kg->getSteuerjahr(), 2015);
    EXPECT_EQ(GetGlobal().getSteuerjahr(), 2015);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("alt")) << "no refresh with 0x40";
}

TEST(NachDemLaden, PendingTakeOverMeansOwnYearAndImportKeepsTheHostYear) {
    TestEnv env;
    KontoGlobal* kg = fallMitKontenplan();
    std::unique_ptr<Kont_> k(Kont_::New());
    DatenBase::setRootNode(QStringLiteral("Kont_"), k.get());
    ASSERT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ana002_(1)"), true), nullptr);
    kg->SetDueMitJahreswechsel(1);
    EXPECT_EQ(k->UpdateAfterLoading(Kont_::kLadeVorjahr), 0u);
    EXPECT_EQ(GetGlobal().getSteuerjahr(), 2016);
    EXPECT_NE(DatenBase::GetDB(QStringLiteral("Kont_[M]\\Ana002_(1)")), nullptr) << "treated as the module's own year";

    kg->SetDueMitJahreswechsel(0);
    GetGlobal().setSteuerjahr(2014);
    GetGlobal().SetImport(99);
    EXPECT_EQ(k->UpdateAfterLoading(Kont_::kLadeVorjahr), 0u);
    EXPECT_EQ(GetGlobal().getSteuerjahr(), 2014) << "an import never changes the host's year";
    GetGlobal().SetImport(0);
}

TEST(NachDemLaden, ChartRefreshAsksBeforeTouchingWhatTheUserChanged) {
    TestEnv env;
    KontoGlobal* kg = fallMitKontenplan();
    kg->setDoUpdateDB(true);
    DBConnection* db = kg->GetDBConnect_Ptr();
    const qlonglong anzahl = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toLongLong();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral(
        "UPDATE eurKontenplan SET Bezeichnung='Meine Kasse', Geaendert=1 WHERE Nummer=1000;"
        "UPDATE eurKontenplan SET Bezeichnung='Meine Bank', Geaendert=1 WHERE Nummer=1200;"
        "UPDATE eurKontenplan SET Kategorie=5000, Aktiv=0 WHERE Nummer=1780;"
        "DELETE FROM eurKontenplan WHERE Nummer=1576;"
        "INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kategorie, Aktiv) VALUES (4999, 'eigenes Konto', 5000, 1);"
        "DELETE FROM eurKategorien;")));

    // The user declines: the changed accounts keep their names and are not asked about again.
    env.ui().queueAnswer(false);
    EXPECT_EQ(Kont_::UpdateDBAfterLoading(1, QString(), true), 0u);
    ASSERT_EQ(env.ui().count(Ui::Art::Frage), 1);
    const QString frage = env.ui().texts(Ui::Art::Frage).first();
    EXPECT_TRUE(frage.contains(QStringLiteral("einmalig Konten aktualisieren"))) << frage.toStdString();
    EXPECT_TRUE(frage.contains(QStringLiteral("Meine Kasse")));
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("Meine Kasse"));
    EXPECT_EQ(bezeichnung(db, 1200), QStringLiteral("Meine Bank"));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT SUM(Geaendert) FROM eurKontenplan")).toInt(), 0);
    // Unchanged accounts are brought back in line; missing ones come back;
    // the user's own accounts and the activity of existing ones stay.
    EXPECT_EQ(KontoGlobal::getKategorie(1780), 3200u);
    EXPECT_FALSE(KontoGlobal::isKontoAktiv(1780));
    EXPECT_TRUE(KontoGlobal::isKontoAktiv(1576));
    EXPECT_EQ(bezeichnung(db, 4999), QStringLiteral("eigenes Konto"));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toLongLong(), anzahl + 1);
    EXPECT_GT(GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKategorien")).toLongLong(), 0) << "categories refilled";

    // The user accepts: the marked changes are written.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='Meine Kasse', Geaendert=1 WHERE Nummer=1000")));
    env.ui().clear();
    env.ui().queueAnswer(true);
    Kont_::UpdateDBAfterLoading(1, QStringLiteral("Eigener Text"), true);
    ASSERT_EQ(env.ui().count(Ui::Art::Frage), 1);
    EXPECT_TRUE(env.ui().texts(Ui::Art::Frage).first().startsWith(QStringLiteral("Eigener Text")));
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("Kasse"));

    // Without asking, changed accounts are left as they are.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='Meine Kasse', Geaendert=1 WHERE Nummer=1000")));
    env.ui().clear();
    Kont_::UpdateDBAfterLoading(1, QString(), false);
    EXPECT_EQ(env.ui().count(Ui::Art::Frage), 0);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("Meine Kasse"));
    EXPECT_EQ(GetDatenTyp(db, QStringLiteral("SELECT Geaendert FROM eurKontenplan WHERE Nummer=1000")).toInt(), 1);
}

TEST(NachDemLaden, ClosedYearsAndImportsAreNeverRefreshed) {
    TestEnv env;
    KontoGlobal* kg = fallMitKontenplan();
    kg->setDoUpdateDB(true);
    DBConnection* db = kg->GetDBConnect_Ptr();
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung='alt' WHERE Nummer=1000")));
    kg->setJahresabschluss(1);
    Kont_::UpdateDBAfterLoading(1, QString(), true);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("alt"));
    kg->setJahresabschluss(0);
    GetGlobal().SetImport(88);
    Kont_::UpdateDBAfterLoading(1, QString(), true);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("alt"));
    GetGlobal().SetImport(0);
    Kont_::UpdateDBAfterLoading(1, QString(), true);
    EXPECT_EQ(bezeichnung(db, 1000), QStringLiteral("Kasse"));
}

TEST(NachDemLaden, OldRecordsMoveTheTaxOfficeData) {
    std::unique_ptr<Kont_> k(Kont_::New());
    std::unique_ptr<Ad0031_> alt(Ad0031_::New());  // stands in for the host's address node
    alt->setVar(QStringLiteral("ad30_FANr"), DatenTyp(QStringLiteral("2166")));
    alt->setVar(QStringLiteral("ad30_Steuernummer"), DatenTyp(QStringLiteral("21/815/08150")));
    DatenBase::setRootNode(QStringLiteral("Ad0030_[1]"), alt.get());
    k->ioUpdate(61001);
    EXPECT_EQ(k->GetAd0031_Ptr(0), nullptr) << "current records need no migration";
    k->ioUpdate(57085);
    EXPECT_EQ(k->GetAd0031_Ptr(0), nullptr) << "no node 0 to take over";
    const Varlist::Variable* v = k->findVar(QStringLiteral("Ad0031_Ptr[1]"));
    ASSERT_NE(*v->slot, nullptr);
    EXPECT_EQ((*v->slot)->getVar(QStringLiteral("ad31_FANr")).toString(), QStringLiteral("2166"));
    EXPECT_EQ((*v->slot)->getVar(QStringLiteral("ad31_Steuernummer")).toString(), QStringLiteral("21/815/08150"));
    EXPECT_TRUE((*v->slot)->getVar(QStringLiteral("ad31_Finanzamt.Beide")).toBool());
    DatenBase::setRootNode(QStringLiteral("Ad0030_[1]"), nullptr);
}

}  // namespace
