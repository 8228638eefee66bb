// Saving files atomically: the old file survives every failure.
#include "host/app/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray inhalt(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

int dateienIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).size();
}

TEST(AtomicFile, WritesNewAndReplacesOld) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("fall.dalvo"));
    QString err;
    ASSERT_TRUE(rsWriteFileAtomic(p, QByteArray("erste Fassung"), &err)) << err.toStdString();
    EXPECT_EQ(inhalt(p), QByteArray("erste Fassung"));
    ASSERT_TRUE(rsWriteFileAtomic(p, QByteArray(100000, 'x'), &err));
    EXPECT_EQ(inhalt(p), QByteArray(100000, 'x'));
    EXPECT_EQ(dateienIn(dir.path()), 1) << "no temporary file is left";
}

TEST(AtomicFile, FailuresLeaveTheOldFileIntact) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("fall.dalvo"));
    ASSERT_TRUE(rsWriteFileAtomic(p, QByteArray("alt"), nullptr));
    QString err;

    rsAtomicFileTest::failNextRename(true);
    EXPECT_FALSE(rsWriteFileAtomic(p, QByteArray("neu"), &err));
    EXPECT_TRUE(err.contains(QStringLiteral("konnte nicht gespeichert werden"))) << err.toStdString();
    EXPECT_EQ(inhalt(p), QByteArray("alt"));
    EXPECT_EQ(dateienIn(dir.path()), 1);

    rsAtomicFileTest::failAfterBytes(2);
    EXPECT_FALSE(rsWriteFileAtomic(p, QByteArray("neu und lang"), &err));
    EXPECT_TRUE(err.contains(QStringLiteral("Speicherplatz")));
    EXPECT_EQ(inhalt(p), QByteArray("alt"));
    EXPECT_EQ(dateienIn(dir.path()), 1);

    // The hooks act once.
    EXPECT_TRUE(rsWriteFileAtomic(p, QByteArray("neu"), &err));
    EXPECT_EQ(inhalt(p), QByteArray("neu"));

    EXPECT_FALSE(rsWriteFileAtomic(dir.filePath(QStringLiteral("fehlt/fall.dalvo")), QByteArray("x"), &err));
    EXPECT_TRUE(err.contains(QStringLiteral("Verzeichnis existiert nicht")));
}

}  // namespace
