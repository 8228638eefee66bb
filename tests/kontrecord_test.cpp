// The case-file record of the bookkeeping root: round trip of database,
// settings and amounts; a damaged record changes nothing.
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/archive.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray speichern(Kont_& k) {
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    RS_Archive ar(&b, "DALVO16C", KontRecord::kDatenversion);
    EXPECT_TRUE(KontRecord::write(k, ar));
    return out;
}

bool laden(Kont_& k, QByteArray data, QString* err) {
    QBuffer b(&data);
    b.open(QIODevice::ReadOnly);
    RS_Archive ar(&b, "DALVO16C", KontRecord::kDatenversion, true);
    return ar.isValid() && KontRecord::read(k, ar, err);
}

TEST(KontRecord, DatabaseSettingsAndAmountsRoundTrip) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    ASSERT_TRUE(kg->isConnected());
    kg->setSteuerjahr(2016);
    kg->setKontenplanName(QStringLiteral("SKR04"));
    kg->setUstPflicht(false);
    kg->setKassenkonto(1600);
    kg->setEurUID(QStringLiteral("fall-1"));
    kg->setDatenuebernahmeUID(QStringLiteral("abc"));
    kg->setDatenuebernahmeFile(QStringLiteral("C:\\x.dvl"));
    ASSERT_TRUE(ExecSQL(kg->GetDBConnect_Ptr(),
                        QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Betrag) VALUES (7, 'Miete', 119);"
                                       "INSERT INTO eurVerbuchtBuchungszeilen (Buchungsnummer, SteuerID, Dialogzeile, Betrag, Haben, Konto) "
                                       "VALUES (7, 1, 1, 119, -1, 1200), (7, 1, 2, 119, 0, 4210)")));
    std::unique_ptr<Kont_> k(Kont_::New());
    k->eur_Betriebseinnahmen = 1000.0_eur;
    k->eur_Betriebsausgaben = 250.5_eur;
    k->Rechnung();
    k->GetStamm001_Ptr(1)->setVar(QStringLiteral("st1_Firma"), DatenTyp(QStringLiteral("Büro Kühn")));
    const QByteArray data = speichern(*k);

    GetKontoGlobal(0, true);  // the case is closed: its working file is gone
    KontoGlobal* neu = GetKontoGlobal(0, false);
    std::unique_ptr<Kont_> k2(Kont_::New());
    QString err;
    ASSERT_TRUE(laden(*k2, data, &err)) << err.toStdString();
    EXPECT_EQ(neu->getKontenplanName(), QStringLiteral("SKR04"));
    EXPECT_FALSE(neu->getUstPflicht());
    EXPECT_EQ(neu->getKassenkonto(), 1600);
    EXPECT_EQ(neu->getEurUID(), QStringLiteral("fall-1"));
    EXPECT_EQ(neu->getDatenuebernahmeUID(), QStringLiteral("abc"));
    EXPECT_EQ(neu->getDatenuebernahmeFile(), QStringLiteral("C:\\x.dvl"));
    EXPECT_EQ(k2->eur_GewinnVerlust, 749.5_eur);
    ASSERT_NE(k2->GetStamm001_Ptr(0), nullptr) << "the form nodes travel with the record";
    EXPECT_EQ(k2->GetStamm001_Ptr(0)->getVar(QStringLiteral("st1_Firma")).toString(), QStringLiteral("Büro Kühn"));
    EXPECT_EQ(GetDatenTyp(neu->GetDBConnect_Ptr(),
                          QStringLiteral("SELECT Buchungstext FROM eurVerbucht WHERE Buchungsnummer=7")).toString(),
              QStringLiteral("Miete"));
}

TEST(KontRecord, DamagedRecordLeavesTheOpenCaseAlone) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    ASSERT_TRUE(kg->isConnected());
    kg->setKontenplanName(QStringLiteral("SKR03"));
    std::unique_ptr<Kont_> k(Kont_::New());
    QByteArray data = speichern(*k);
    ASSERT_TRUE(ExecSQL(kg->GetDBConnect_Ptr(),
                        QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Betrag) VALUES (1, 'bleibt', 5)")));
    Stamm001_* stamm = k->GetStamm001_Ptr(1);
    kg->setKontenplanName(QStringLiteral("SKR04"));
    for (int pos : {20, data.size() / 2, data.size() - 5}) {
        QByteArray bad = data;
        bad[pos] = char(bad[pos] ^ 0x33);
        QString err;
        EXPECT_FALSE(laden(*k, bad, &err)) << pos;
        EXPECT_TRUE(kg->isConnected());
        EXPECT_EQ(kg->getKontenplanName(), QStringLiteral("SKR04")) << "nothing was applied";
        EXPECT_EQ(k->GetStamm001_Ptr(0), stamm) << "the open tree is kept";
        EXPECT_EQ(GetDatenTyp(kg->GetDBConnect_Ptr(), QStringLiteral("SELECT COUNT(*) FROM eurVerbucht")).toInt(), 1);
    }
    QString err;
    EXPECT_FALSE(laden(*k, data.left(data.size() / 3), &err));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(KontRecord::vorlagenDateien().size(), 36);
}

}  // namespace

namespace {

// A record whose embedded database cannot be opened leaves the open case
// with its own database and bookings: the take-over restores the backup.
TEST(KontRecord, AnUnusableEmbeddedDatabaseKeepsTheOpenOne) {
    TestEnv env;
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    ASSERT_TRUE(kg->isConnected());
    ASSERT_NE(KontoGlobal::insertSimpleBuchung(KontoGlobal::HERK_BUCH, QStringLiteral("eurVerbucht"), QStringLiteral("bleibt"),
                                               5.0_eur, false, zDate(2016, 1, 2), QStringLiteral("B-1"), 1, false, 1200, 2650, 0,
                                               QString()),
              0u);
    const QString echt = kg->Getmdb_name();
    const QString muell = env.path(QStringLiteral("muell.db3"));
    QFile f(muell);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    std::unique_ptr<Kont_> k(Kont_::New());
    kg->Setmdb_name(muell);
    const QByteArray data = speichern(*k);
    kg->Setmdb_name(echt);

    QString err;
    EXPECT_FALSE(laden(*k, data, &err));
    EXPECT_FALSE(err.isEmpty());
    ASSERT_TRUE(kg->isConnected()) << "the previous database is open again";
    EXPECT_EQ(GetDatenTyp(kg->GetDBConnect_Ptr(), QStringLiteral("SELECT Buchungstext FROM eurVerbucht")).toString(),
              QStringLiteral("bleibt"));
    EXPECT_FALSE(QFile::exists(echt + QStringLiteral(".bak")));
}

}  // namespace
