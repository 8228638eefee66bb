// The bookings CSV export written piece by piece: the pieces are the whole
// text, one booking each; a sink that fails stops it; the file is replaced
// only when complete, and left alone when nothing is exported or writing
// fails half-way.
#include "host/app/atomicfile.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/austausch/austausch.h"
#include "support/buchungsfall.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

using KG = KontoGlobal;
const QString kVerbucht = QStringLiteral("eurVerbucht");

class Export : public Buchungsfall {
protected:
    QString ganz(const zDate& von = zDate(), const zDate& bis = zDate()) {
        QString csv;
        KG::getBuchungenAsCSV(csv, true, kVerbucht, von, bis);
        return csv;
    }
    static QByteArray lies(const QString& pfad) {
        QFile f(pfad);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void schreibe(const QString& pfad, const QByteArray& inhalt) {
        QFile f(pfad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(inhalt);
    }
    // Enough bookings for an export of several 64 KiB blocks.
    void vieleBuchungen(int n) {
        ASSERT_TRUE(db->beginTransaction());
        for (int i = 0; i < n; ++i)
            ASSERT_NE(KG::insertSimpleBuchung(KG::HERK_BUCH, kVerbucht, QStringLiteral("Rechnung Nummer %1 für Beratung").arg(i), EuroType::ausCent(10000 + 100 * i),
                                              false, zDate(2016, 1 + i % 12, 1 + i % 28), QStringLiteral("RE-%1").arg(i), 1, false, 1200,
                                              8400, 5, QString()),
                      0u);
        ASSERT_TRUE(db->commit());
    }
};

TEST_F(Export, ThePiecesAreTheWholeTextOneBookingEach) {
    // A header without lines is selected but writes nothing, and so is not
    // counted: the count tells how many bookings the file holds.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("INSERT INTO eurVerbucht (Buchungsnummer, Betrag, Buchungsart, Belegdatum) VALUES "
                                           "(11, 5, 3, '2016-08-01 00:00:00')")));
    QStringList stuecke;
    const int n = BuchungenCSV::schreiben(
        [&](const QString& s) {
            stuecke << s;
            return true;
        },
        true, kVerbucht, zDate(), zDate());
    EXPECT_EQ(n, 8) << "the ten bookings less the cancelled pair; the one without lines is not in the text";
    EXPECT_EQ(stuecke.join(QString()), ganz());
    ASSERT_EQ(stuecke.size(), 1 + 8);
    EXPECT_TRUE(stuecke[0].startsWith(QStringLiteral("Buchungsnummer;Teilbuchung;")));
    const QStringList nummern = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                 QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("10")};
    for (int i = 1; i < stuecke.size(); ++i) {
        const QStringList saetze = stuecke[i].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_TRUE(stuecke[i].endsWith(QLatin1Char('\n')));
        for (const QString& satz : saetze) EXPECT_EQ(satz.section(QLatin1Char(';'), 0, 0), nummern[i - 1]) << satz.toStdString();
    }
    EXPECT_EQ(stuecke[6].count(QLatin1Char('\n')), 3) << "the split expense writes one record per part";

    // Parts follow the order of the line IDs, whatever their SteuerID.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET ID=ID+100 WHERE Buchungsnummer=7;"
                                           "UPDATE eurVerbuchtBuchungszeilen SET ID=50 WHERE ID=122")));
    const QStringList teile = ganz().split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^7;")));
    ASSERT_EQ(teile.size(), 3);
    EXPECT_TRUE(teile[0].startsWith(QStringLiteral("7;1;30.06.2016;Buch;4940;"))) << teile[0].toStdString();
    EXPECT_TRUE(teile[1].startsWith(QStringLiteral("7;2;30.06.2016;Papier;4930;"))) << teile[1].toStdString();

    // Separators and line breaks of a text, a bare carriage return as well,
    // never split a record.
    ASSERT_TRUE(ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Buchungstext='a'||char(13)||'b;c'||char(10)||'d' WHERE Buchungsnummer=2;"
                                           "UPDATE eurVerbuchtBuchungszeilen SET Buchungstext='a'||char(13)||'b;c'||char(10)||'d' WHERE Buchungsnummer=2")));
    EXPECT_FALSE(ganz().contains(QLatin1Char('\r')));
    EXPECT_TRUE(ganz().contains(QStringLiteral(";a b,c d;")));
}

TEST_F(Export, PeriodBoundsAreInclusive) {
    QStringList nummern;
    for (const QString& satz : ganz(zDate(2016, 5, 1), zDate(2016, 7, 1)).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        nummern << satz.section(QLatin1Char(';'), 0, 0);
    nummern.removeDuplicates();
    EXPECT_EQ(nummern, (QStringList{QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("8")}));
    QString csv;
    EXPECT_EQ(KG::getBuchungenAsCSV(csv, false, kVerbucht, zDate(2016, 5, 1), zDate(2016, 7, 1)), 4);
    EXPECT_EQ(KG::getBuchungenAsCSV(csv, false, QStringLiteral("eurUebernahme"), zDate(), zDate()), 0) << "not an exported table";
}

TEST_F(Export, ARefusingSinkStopsTheExport) {
    int aufrufe = 0;
    const int n = BuchungenCSV::schreiben([&](const QString&) { return ++aufrufe < 3; }, true, kVerbucht, zDate(), zDate());
    EXPECT_EQ(n, -1);
    EXPECT_EQ(aufrufe, 3) << "nothing is offered after the refused piece";
    aufrufe = 0;
    EXPECT_EQ(BuchungenCSV::schreiben([&](const QString&) { return ++aufrufe > 1; }, true, kVerbucht, zDate(), zDate()), -1)
        << "a refused header line ends it at once";
    EXPECT_EQ(aufrufe, 1);
}

TEST_F(Export, TheFileIsReplacedOnlyWhenComplete) {
    QTemporaryDir dir;
    const QString pfad = dir.filePath(QStringLiteral("buchungen.csv"));
    QString fehler;

    // Nothing selected: no file is created, an existing one is not touched.
    EXPECT_EQ(BuchungenCSV::inDatei(pfad, zDate(2016, 12, 1), zDate(2016, 12, 31), &fehler), 0);
    EXPECT_FALSE(QFile::exists(pfad));
    schreibe(pfad, "alt\n");
    QFile(pfad).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(BuchungenCSV::inDatei(pfad, zDate(2016, 12, 1), zDate(2016, 12, 31), &fehler), 0);
    EXPECT_EQ(lies(pfad), QByteArray("alt\n"));

    vieleBuchungen(2500);
    const QByteArray erwartet = ganz().toUtf8();
    ASSERT_GT(erwartet.size(), 3 * 65536) << "several blocks";
    EXPECT_EQ(BuchungenCSV::inDatei(pfad, zDate(), zDate(), &fehler), 2508) << fehler.toStdString();
    EXPECT_EQ(lies(pfad), erwartet);
    EXPECT_EQ(QFile(pfad).permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
              QFile::ReadOwner | QFile::WriteOwner)
        << "the replaced file keeps its permissions";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("buchungen.csv")}) << "no temporary file left";

    EXPECT_EQ(BuchungenCSV::inDatei(dir.filePath(QStringLiteral("fehlt/x.csv")), zDate(), zDate(), &fehler), -1);
    EXPECT_EQ(fehler, QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden: Das Verzeichnis existiert nicht.")
                          .arg(dir.filePath(QStringLiteral("fehlt/x.csv"))));
}

TEST_F(Export, AFailedWriteLeavesTheOldFile) {
    vieleBuchungen(2500);
    QTemporaryDir dir;
    const QString pfad = dir.filePath(QStringLiteral("buchungen.csv"));
    schreibe(pfad, "alt\n");
    // A file size limit makes the second block fail as a full disk would.
    struct Grenze {
        rlimit alt{};
        void (*signalAlt)(int) = nullptr;
        Grenze() {
            getrlimit(RLIMIT_FSIZE, &alt);
            signalAlt = std::signal(SIGXFSZ, SIG_IGN);
            rlimit neu = alt;
            neu.rlim_cur = 100000;
            setrlimit(RLIMIT_FSIZE, &neu);
        }
        ~Grenze() {
            setrlimit(RLIMIT_FSIZE, &alt);
            std::signal(SIGXFSZ, signalAlt);
        }
    };
    QString fehler;
    int n = 0;
    {
        Grenze g;
        n = BuchungenCSV::inDatei(pfad, zDate(), zDate(), &fehler);
    }
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(fehler.contains(QStringLiteral("Die Daten konnten nicht geschrieben werden"))) << fehler.toStdString();
    EXPECT_EQ(lies(pfad), QByteArray("alt\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("buchungen.csv")}) << "no temporary file left";

    // A rename that fails at the very end leaves the old file as well.
    rsAtomicFileTest::failNextRename(true);
    EXPECT_EQ(BuchungenCSV::inDatei(pfad, zDate(), zDate(), &fehler), -1);
    EXPECT_EQ(fehler, QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden: Die Datei konnte nicht umbenannt werden.").arg(pfad));
    EXPECT_EQ(lies(pfad), QByteArray("alt\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("buchungen.csv")});

    // The module's own export tells the user why.
    EXPECT_EQ(KG::exportBuchungenAsCSV(dir.filePath(QStringLiteral("fehlt/x.csv"))), -1);
    EXPECT_TRUE(env.ui().texts(Ui::Art::Fehler).join(QString()).contains(QStringLiteral("Das Verzeichnis existiert nicht.")))
        << env.ui().texts(Ui::Art::Fehler).join(QLatin1Char('\n')).toStdString();
}

}  // namespace
