// Files the program writes besides the case: an existing file only with
// --force, never a case file, a directory or a pipe; links are written
// through, "-" is standard output.
#include "support/dalvo_lauf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void schreibe(const QString& pfad, const QByteArray& b) {
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}

TEST(CliAusgabe, ExportTargetsAreCheckedBeforeAnyWork) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("fall.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
    ASSERT_EQ(dalvo({QStringLiteral("book"), fall, QStringLiteral("--kind"), QStringLiteral("einnahme"), QStringLiteral("--date"),
                     QStringLiteral("15.03.2016"), QStringLiteral("--amount"), QStringLiteral("50"), QStringLiteral("--account"),
                     QStringLiteral("1200"), QStringLiteral("--counter"), QStringLiteral("2650")})
                  .rc,
              0);
    const QString anderer = dir.filePath(QStringLiteral("anderer.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), anderer, QStringLiteral("--year"), QStringLiteral("2016")}).rc, 0);
    auto exportiere = [&](const QString& ziel, bool force) {
        QStringList a = {QStringLiteral("export-csv"), fall, ziel};
        if (force) a << QStringLiteral("--force");
        return dalvo(a);
    };

    // "-" writes the same text to standard output.
    const QString csv = dir.filePath(QStringLiteral("b.csv"));
    ASSERT_EQ(exportiere(csv, false).rc, 0);
    const QByteArray erwartet = inhalt(csv);
    ASSERT_TRUE(erwartet.startsWith("Buchungsnummer;"));
    const Lauf aus = exportiere(QStringLiteral("-"), false);
    EXPECT_EQ(aus.rc, 0);
    EXPECT_EQ(aus.out.toUtf8(), erwartet);

    // An existing file only with --force.
    schreibe(csv, "alt");
    Lauf l = exportiere(csv, false);
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("existiert bereits. Mit --ersetzen"))) << l.err.toStdString();
    EXPECT_EQ(inhalt(csv), QByteArray("alt"));
    EXPECT_EQ(exportiere(csv, true).rc, 0);
    EXPECT_EQ(inhalt(csv), erwartet);

    // Case files, the case itself, a directory and a FIFO: never, not even with --force.
    const QByteArray fallVorher = hashOf(anderer), selbstVorher = hashOf(fall);
    const QString fifo = dir.filePath(QStringLiteral("rohr"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& ziel : {anderer, fall, dir.path(), fifo}) {
        l = exportiere(ziel, true);
        EXPECT_EQ(l.rc, 1) << ziel.toStdString();
        EXPECT_FALSE(l.err.isEmpty());
        EXPECT_TRUE(l.out.isEmpty());
    }
    EXPECT_EQ(hashOf(anderer), fallVorher);
    EXPECT_EQ(hashOf(fall), selbstVorher);
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile()) << "the pipe is still a pipe";

    // A link is written through; it stays a link.
    const QString ziel = dir.filePath(QStringLiteral("ziel.csv"));
    const QString verweis = dir.filePath(QStringLiteral("verweis.csv"));
    ASSERT_TRUE(QFile::link(ziel, verweis));
    EXPECT_EQ(exportiere(verweis, false).rc, 0) << "a dangling link names the file to create";
    EXPECT_TRUE(QFileInfo(verweis).isSymLink());
    EXPECT_EQ(inhalt(ziel), erwartet);
    EXPECT_EQ(exportiere(verweis, true).rc, 0);
    EXPECT_TRUE(QFileInfo(verweis).isSymLink());

    l = exportiere(dir.filePath(QStringLiteral("fehlt/x.csv")), false);
    EXPECT_EQ(l.rc, 1);
    EXPECT_TRUE(l.err.contains(QStringLiteral("existiert nicht"))) << l.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QStringList{QStringLiteral(".*.csv.*")}, QDir::Files | QDir::Hidden), QStringList())
        << "no temporary file is left";
}

}  // namespace

namespace {

// A case the user may not write is refused before any work, and left as it
// is; reading it still works.
TEST(CliAusgabe, AReadOnlyCaseIsRefusedBeforeAnyWork) {
    QTemporaryDir dir;
    const QString fall = dir.filePath(QStringLiteral("fall.dalvo"));
    ASSERT_EQ(dalvo({QStringLiteral("new"), fall, QStringLiteral("--year"), QStringLiteral("2016"), QStringLiteral("--no-examples")}).rc, 0);
    bool immutable = false;
    if (::geteuid() == 0) {
        // root writes whatever the permissions say; only the immutable
        // attribute stops it (where the file system has one).
        immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), fall}) == 0;
        if (!immutable) GTEST_SKIP() << "running as root without chattr: a read-only case cannot be made here";
    } else {
        ASSERT_TRUE(QFile::setPermissions(fall, QFile::ReadOwner | QFile::ReadGroup));
    }
    const QByteArray vorher = hashOf(fall);
    const Lauf b = dalvo({QStringLiteral("book"), fall, QStringLiteral("--kind"), QStringLiteral("einnahme"), QStringLiteral("--date"),
                          QStringLiteral("15.03.2016"), QStringLiteral("--amount"), QStringLiteral("50"), QStringLiteral("--account"),
                          QStringLiteral("1200"), QStringLiteral("--counter"), QStringLiteral("2650")});
    const Lauf i = dalvo({QStringLiteral("info"), fall});
    if (immutable) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), fall});
    EXPECT_EQ(b.rc, 1);
    EXPECT_TRUE(b.out.isEmpty());
    EXPECT_TRUE(b.err.contains(QStringLiteral("ist schreibgeschützt"))) << b.err.toStdString();
    EXPECT_EQ(hashOf(fall), vorher);
    EXPECT_EQ(i.rc, 0) << i.err.toStdString();
}

}  // namespace
