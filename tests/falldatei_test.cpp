// The case file as the database: old files are read and converted once,
// parallel writers never lose each other's bookings, a writer that cannot
// get the file gives up with a German message, damage is refused wherever
// it shows, and reading never changes a byte.
#include "support/dalvo_lauf.h"
#include "support/testenv.h"
#include "support/testfall.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/archive.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace {

QStringList buchung(const QString& fall, const QString& betrag, const QString& text = QStringLiteral("Zinsen")) {
    return {"book", fall, "--kind", "einnahme", "--date", "15.03.2016", "--amount", betrag, "--account", "1200", "--counter", "2650",
            "--text", text};
}

int anzahlBuchungen(const QString& fall) {
    const Lauf i = dalvo({"info", fall, "--json"});
    EXPECT_EQ(i.rc, 0) << i.err.toStdString();
    return QJsonDocument::fromJson(i.out.toUtf8()).object().value(QStringLiteral("buchungen")).toInt(-1);
}

QByteArray kopf(const QString& pfad, int n) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

// Files beside the case other than the case itself (journal, temporaries).
QStringList andereDateien(const QTemporaryDir& dir, const QStringList& erlaubt) {
    QStringList rest;
    for (const QString& n : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!erlaubt.contains(n)) rest << n;
    return rest;
}

QProcess* starte(const QStringList& args, std::vector<std::unique_ptr<QTemporaryDir>>& homes) {
    homes.push_back(std::make_unique<QTemporaryDir>());
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DALVO_HOME"), homes.back()->path());
    p->setProcessEnvironment(env);
    p->start(qEnvironmentVariable("DALVO_BIN"), args);
    return p;
}

// A case file of the first container (database embedded in the record),
// written as the program of that time wrote it.
QString alterFall(TestEnv& env, const QTemporaryDir& dir) {
    KontoGlobal* kg = nullptr;
    testfall::neuerFall(&kg);
    const unsigned long n = KontoGlobal::insertSimpleBuchung(KontoGlobal::HERK_BUCH, QStringLiteral("eurVerbucht"),
                                                             QStringLiteral("Altbestand"), 119.0_eur, false, zDate(2016, 3, 1),
                                                             QStringLiteral("A-1"), 1, false, 1200, 2650, 0, QString());
    EXPECT_NE(n, 0u);
    // The indexes of that time: the account index alone.
    EXPECT_TRUE(ExecSQL(kg->GetDBConnect_Ptr(),
                        QStringLiteral("DROP INDEX idx_eurVerbuchtBZ_KontoSteuer; DROP INDEX idx_eurVerbucht_UStID; "
                                       "DROP INDEX idx_eurVerbucht_Storno; CREATE INDEX idx_eurVerbuchtBZ_Konto ON "
                                       "eurVerbuchtBuchungszeilen (Konto)")));
    std::unique_ptr<Kont_> root(Kont_::New());
    QByteArray data;
    {
        QBuffer buf(&data);
        buf.open(QIODevice::WriteOnly);
        RS_Archive ar(&buf, QByteArray("DALVO16C"), KontRecord::kDatenversion);
        EXPECT_TRUE(KontRecord::write(*root, ar, true));
    }
    const QString pfad = dir.filePath(QStringLiteral("alt.dalvo"));
    QFile f(pfad);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    f.close();
    (void)env;
    return pfad;
}

// Written through a symbolic link, as a case may be reached: the link's
// target is changed and the link stays a link, also when converted.
TEST(Falldatei, TheFirstContainerIsReadAndConvertedByTheFirstWriter) {
    TestEnv env;
    QTemporaryDir dir;
    const QString alt = alterFall(env, dir);
    ASSERT_TRUE(kopf(alt, 8) == QByteArray("DALVO16C"));
    const QString link = dir.filePath(QStringLiteral("verweis.dalvo"));
    ASSERT_TRUE(QFile::link(alt, link));
    auto nochVerweis = [&] {
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(alt).absoluteFilePath());
    };
    const QByteArray vorher = hashOf(alt);

    EXPECT_EQ(anzahlBuchungen(alt), 1);
    const Lauf l = dalvo({"list", alt, "--json"});
    EXPECT_TRUE(l.out.contains(QStringLiteral("Altbestand"))) << l.out.toStdString();
    EXPECT_EQ(hashOf(alt), vorher) << "reading an old file never converts it";

    const Lauf b = dalvo(buchung(link, QStringLiteral("10")));
    ASSERT_EQ(b.rc, 0) << b.err.toStdString();
    EXPECT_EQ(b.out, QStringLiteral("2\n"));
    nochVerweis();
    EXPECT_TRUE(kopf(alt, 16) == QByteArray("SQLite format 3", 16)) << "the writer converted the file";
    EXPECT_EQ(anzahlBuchungen(alt), 2);
    const Lauf v = dalvo({"verify", alt});
    EXPECT_EQ(v.rc, 0) << v.out.toStdString() << v.err.toStdString();
    EXPECT_EQ(andereDateien(dir, {"alt.dalvo", "verweis.dalvo"}), QStringList()) << "no temporary file is left";

    // The converted file has the indexes the reports read through.
    EXPECT_EQ(sqlZahl(alt, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='index' AND name IN "
                                          "('idx_eurVerbuchtBZ_KontoSteuer', 'idx_eurVerbucht_UStID', 'idx_eurVerbucht_Storno')")),
              3);

    // From now on the file is used in place: a second booking adds to it.
    const Lauf b2 = dalvo(buchung(link, QStringLiteral("20")));
    ASSERT_EQ(b2.rc, 0) << b2.err.toStdString();
    nochVerweis();
    EXPECT_EQ(anzahlBuchungen(alt), 3);
}

TEST(Falldatei, TwentyParallelWritersLoseNothing) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    std::vector<std::unique_ptr<QTemporaryDir>> homes;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < 20; ++i) procs.emplace_back(starte(buchung(fall, QString::number(i + 1)), homes));
    QSet<QString> nummern;
    int erfolge = 0;
    for (auto& p : procs) {
        ASSERT_TRUE(p->waitForFinished(120000));
        const QString out = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
        if (p->exitCode() == 0) {
            ++erfolge;
            EXPECT_FALSE(nummern.contains(out)) << "booking number " << out.toStdString() << " reported twice";
            nummern.insert(out);
        } else {
            EXPECT_TRUE(out.isEmpty()) << "a refused writer printed a result";
        }
    }
    EXPECT_EQ(erfolge, 20) << "every writer waited for its turn";
    EXPECT_EQ(anzahlBuchungen(fall), erfolge) << "the bookings in the file equal the successes reported";
    EXPECT_EQ(andereDateien(dir, {"fall.dalvo"}), QStringList());
}

TEST(Falldatei, AnImportAndBookingsAtTheSameTimeBothLand) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QString datei = dir.filePath(QStringLiteral("viele.csv"));
    ASSERT_TRUE(schreibeZinsenCsv(datei, 4000));

    std::vector<std::unique_ptr<QTemporaryDir>> homes;
    std::unique_ptr<QProcess> import(starte({"import", fall, datei}, homes));
    std::vector<std::unique_ptr<QProcess>> buchungen;
    for (int i = 0; i < 8; ++i) buchungen.emplace_back(starte(buchung(fall, QStringLiteral("3")), homes));
    ASSERT_TRUE(import->waitForFinished(120000));
    int erwartet = import->exitCode() == 0 ? 4000 : 0;
    EXPECT_EQ(import->exitCode(), 0) << import->readAllStandardError().toStdString();
    for (auto& p : buchungen) {
        ASSERT_TRUE(p->waitForFinished(120000));
        if (p->exitCode() == 0) ++erwartet;
    }
    EXPECT_EQ(anzahlBuchungen(fall), erwartet);
    EXPECT_EQ(erwartet, 4008);
}

// Another program holds the file past the writer's wait: either it holds
// the write lock, or it keeps reading so that the commit cannot happen. The
// writer gives up in German, prints no booking number (nothing it reports
// is lost) and leaves the file as it was; readers are not held up.
TEST(Falldatei, AWriterThatCannotGetTheFileGivesUpInGerman) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QByteArray vorher = hashOf(fall);
    QStringList args = buchung(fall, QStringLiteral("5"));
    args << QStringLiteral("--wait") << QStringLiteral("1");
    const struct {
        const char* halten;
        QStringList meldungen;
    } faelle[] = {
        {"BEGIN IMMEDIATE", {"wird gerade von einem anderen Befehl bearbeitet", fall, "--warten"}},
        {"BEGIN; SELECT count(*) FROM eurVerbucht",
         {"konnte nicht gespeichert werden", "nach 1 Sekunde Warten"}},
    };
    for (const auto& f : faelle) {
        sqlite3* halter = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(fall).constData(), &halter), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(halter, f.halten, nullptr, nullptr, nullptr), SQLITE_OK);
        const Lauf b = dalvo(args);
        EXPECT_EQ(anzahlBuchungen(fall), 0) << f.halten;
        sqlite3_exec(halter, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(halter);
        EXPECT_EQ(b.rc, 1) << f.halten;
        EXPECT_EQ(b.out, QString()) << f.halten;
        for (const QString& m : f.meldungen) EXPECT_TRUE(b.err.contains(m)) << f.halten << ": " << b.err.toStdString();
        EXPECT_EQ(hashOf(fall), vorher) << f.halten;
    }
    EXPECT_EQ(dalvo({"info", fall, "--wait", "x"}).rc, 2);
    EXPECT_EQ(dalvo(args).rc, 0) << "with the file released the same command succeeds";
}

// The settings of the manager travel with the file: VAT liability, cash
// account, chart, and the closed-year flag.
TEST(Falldatei, TheCasesSettingsSurviveSavingAndOpening) {
    for (int jahr : {2016, 2014}) {
        TestEnv env;
        QTemporaryDir dir;
        const QString pfad = dir.filePath(QStringLiteral("abschluss.dalvo"));
        {
            KontoGlobal* kg = GetKontoGlobal(0, false);
            kg->createConnectionKonto(true);
            kg->setSteuerjahr(jahr);
            kg->setKontenplanName(QStringLiteral("SKR04"));
            kg->setUstPflicht(false);
            kg->setKassenkonto(1600);
            kg->setJahresabschluss(1);
            std::unique_ptr<Kont_> root(Kont_::New());
            QString e;
            ASSERT_TRUE(Falldatei::anlegen(pfad, *root, &e)) << e.toStdString();
            kg->destroyConnectionKonto();
        }
        GlobalInst::reset(env.home());
        KontoGlobal* kg = GetKontoGlobal(0, false);
        std::unique_ptr<Kont_> root(Kont_::New());
        Falldatei datei;
        QString e;
        ASSERT_TRUE(datei.oeffnen(pfad, Falldatei::Zugriff::Schreiben, 1000, *root, &e)) << e.toStdString();
        // The case file is opened by its path; the host's slot 5 reports it
        // while it is open, and the working directory again afterwards.
        const QFileInfo fi(QFileInfo(pfad).canonicalFilePath());
        EXPECT_TRUE(kg->isDatenbankFalldatei());
        EXPECT_EQ(kg->getDatenbankName(), fi.filePath());
        EXPECT_EQ(GetGlobal().GetDB_Dir(GlobalInst::kCaseConnection), fi.absolutePath());
        EXPECT_EQ(GetGlobal().GetDB_Name(GlobalInst::kCaseConnection), fi.fileName());
        EXPECT_EQ(GetGlobal().GetDBConnect_Ptr(GlobalInst::kCaseConnection), kg->GetDBConnect_Ptr());
        EXPECT_TRUE(kg->istJahrAbgeschlossen()) << jahr;
        EXPECT_EQ(kg->getKontenplanName(), QStringLiteral("SKR04"));
        EXPECT_FALSE(kg->getUstPflicht());
        EXPECT_EQ(kg->getKassenkonto(), 1600);
        ASSERT_TRUE(datei.sichern(*root, &e)) << e.toStdString();
        EXPECT_FALSE(kg->isConnected());
        EXPECT_EQ(GetGlobal().GetDB_Dir(GlobalInst::kCaseConnection), kg->GetKontoTempDir());
        EXPECT_TRUE(GetGlobal().GetDB_Name(GlobalInst::kCaseConnection).isEmpty());
        EXPECT_NE(kg->getDatenbankName(), fi.filePath());
        GlobalInst::reset(env.home());
        kg = GetKontoGlobal(0, false);
        ASSERT_TRUE(datei.oeffnen(pfad, Falldatei::Zugriff::Lesen, 1000, *root, &e)) << e.toStdString();
        EXPECT_TRUE(kg->istJahrAbgeschlossen()) << jahr << ": a saved case stays closed";
        EXPECT_EQ(kg->getJahresabschluss(), jahr < 2015 ? 2 : 1);
        datei.verwerfen();
    }
}

TEST(Falldatei, DamageIsRefusedWhereverItShows) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_EQ(dalvo(buchung(fall, QStringLiteral("5"))).rc, 0);
    QFile f(fall);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray gut = f.readAll();
    f.close();
    const QString bad = dir.filePath(QStringLiteral("bad.dalvo"));
    auto schreibe = [&](const QByteArray& b) {
        QFile o(bad);
        ASSERT_TRUE(o.open(QIODevice::WriteOnly | QIODevice::Truncate));
        o.write(b);
    };
    auto abgelehnt = [&](const QStringList& befehl, const char* was) {
        const QByteArray vorher = hashOf(bad);
        const Lauf l = dalvo(befehl);
        EXPECT_EQ(l.rc, 1) << was << ": " << l.err.toStdString();
        EXPECT_TRUE(l.err.contains(QStringLiteral("kann nicht geladen werden"))) << was << ": " << l.err.toStdString();
        EXPECT_EQ(hashOf(bad), vorher) << was;
    };

    schreibe(gut + QByteArray(4096, '\0'));
    abgelehnt({"info", bad}, "grown by a page");
    schreibe(gut.left(gut.size() - 4096));
    abgelehnt(buchung(bad, QStringLiteral("1")), "cut by a page");
    for (int n : {0, 5, 100, int(gut.size()) / 2, int(gut.size()) - 1}) {
        schreibe(gut.left(n));
        abgelehnt({"info", bad}, "truncated");
    }

    // A page of the ledger overwritten: the self-check finds it even where
    // no report happens to read that page.
    QByteArray kaputt = gut;
    const int seite = 4096;
    for (int i = 0; i < seite; ++i) kaputt[gut.size() - seite + i] = char(0xA5);
    schreibe(kaputt);
    abgelehnt({"verify", bad}, "overwritten last page");

    // The record of the case: its own checksum.
    schreibe(gut);
    ASSERT_TRUE(sqlAusfuehren(bad, QStringLiteral("UPDATE dalvoFall SET Satz = substr(Satz, 1, 40) || x'00' || substr(Satz, 42)")));
    abgelehnt({"info", bad}, "damaged record");
    schreibe(gut);
    ASSERT_TRUE(sqlAusfuehren(bad, QStringLiteral("DELETE FROM dalvoFall")));
    abgelehnt({"list", bad}, "missing record");

    // Other SQLite files and files of a newer program are named as such.
    schreibe(gut);
    ASSERT_TRUE(sqlAusfuehren(bad, QStringLiteral("PRAGMA user_version=7")));
    Lauf l = dalvo({"info", bad});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("neueren Programmversion"))) << l.err.toStdString();
    schreibe(QByteArray());
    QFile::remove(bad);
    ASSERT_TRUE(sqlAusfuehren(bad, QStringLiteral("CREATE TABLE t (x)")));
    l = dalvo({"info", bad});
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("keine Falldatei"))) << l.err.toStdString();
}

TEST(Falldatei, ReadingNeverWritesAndTheCleanUpRunsOnlyWhenMarked) {
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    ASSERT_EQ(dalvo(buchung(fall, QStringLiteral("5"))).rc, 0);
    // A header without lines, as an older program could leave one, and the
    // marker that asks for the clean-up.
    ASSERT_TRUE(sqlAusfuehren(fall, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Betrag, Storno, Storniert) VALUES (99, 'verwaist', 7, 0, 0);"
              "INSERT INTO Falleigenschaften (Feld, Wert) VALUES ('Bereinigen', '1')")));
    const QByteArray vorher = hashOf(fall);
    const QDateTime zeit = QFileInfo(fall).lastModified();
    for (const char* befehl : {"info", "list", "saldenliste", "euer", "verify"}) {
        dalvo({QString::fromLatin1(befehl), fall});
        EXPECT_EQ(hashOf(fall), vorher) << befehl;
    }
    EXPECT_EQ(QFileInfo(fall).lastModified(), zeit);
    EXPECT_EQ(anzahlBuchungen(fall), 1) << "readers see the cleaned-up copy";

    ASSERT_EQ(dalvo(buchung(fall, QStringLiteral("6"))).rc, 0);
    EXPECT_EQ(anzahlBuchungen(fall), 2) << "the writer kept the clean-up";
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer=99")), 0);
    EXPECT_EQ(sqlZahl(fall, QStringLiteral("SELECT COUNT(*) FROM Falleigenschaften WHERE Feld='Bereinigen'")), 0);

    // Without the marker a writer leaves such a row alone: nothing is cleaned
    // up behind the user's back at every open.
    ASSERT_TRUE(sqlAusfuehren(fall, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Buchungstext, Betrag, Storno, Storniert) VALUES (98, 'verwaist', 7, 0, 0)")));
    ASSERT_EQ(dalvo(buchung(fall, QStringLiteral("7"))).rc, 0);
    EXPECT_EQ(anzahlBuchungen(fall), 4);
}

TEST(Falldatei, NewNeverReplacesAFileAndTheModuleRefusesAClosedFile) {
    TestEnv env;
    QTemporaryDir dir;
    const QString fall = neuerFall(dir);
    const QByteArray vorher = hashOf(fall);
    KontoGlobal* kg = GetKontoGlobal(0, false);
    kg->createConnectionKonto(true);
    std::unique_ptr<Kont_> root(Kont_::New());
    QString e;
    EXPECT_FALSE(Falldatei::anlegen(fall, *root, &e));
    EXPECT_TRUE(e.contains(QStringLiteral("existiert bereits"))) << e.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_EQ(andereDateien(dir, {"fall.dalvo"}), QStringList());

    Falldatei datei;
    EXPECT_FALSE(datei.sichern(*root, &e)) << "nothing open, nothing saved";
    ASSERT_TRUE(datei.oeffnen(fall, Falldatei::Zugriff::Lesen, 0, *root, &e)) << e.toStdString();
    EXPECT_TRUE(kg->isDatenbankFalldatei());
    EXPECT_FALSE(ExecSQL(kg->GetDBConnect_Ptr(), QStringLiteral("DELETE FROM eurVerbucht"))) << "read-only";
    EXPECT_FALSE(datei.sichern(*root, &e));
    datei.verwerfen();
    EXPECT_TRUE(QFile::exists(fall)) << "closing never removes the case file";
    EXPECT_EQ(hashOf(fall), vorher);
}

}  // namespace
