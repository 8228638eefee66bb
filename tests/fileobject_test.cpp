// Files embedded in archives.
#include "host/tree/archive.h"
#include "host/tree/fileobject.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FileObject, BinaryEmptyAndMissingFilesRoundTrip) {
    QTemporaryDir dir;
    QByteArray gross(1 << 20, '\0');
    QRandomGenerator rng(7);
    for (char& c : gross) c = char(rng.bounded(256));
    const QString p = dir.filePath(QStringLiteral("belka.db3"));
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(gross);
    f.close();
    QFile(dir.filePath(QStringLiteral("leer.docx"))).open(QIODevice::WriteOnly);

    QByteArray arch;
    {
        QBuffer b(&arch);
        b.open(QIODevice::WriteOnly);
        RS_Archive ar(&b, "T", 1);
        RS_FileObject a(p), leer(dir.filePath(QStringLiteral("leer.docx"))), fehlt(dir.filePath(QStringLiteral("x")));
        ASSERT_TRUE(a.ioData(ar));
        ASSERT_TRUE(leer.ioData(ar));
        ASSERT_TRUE(fehlt.ioData(ar));
        ASSERT_TRUE(ar.ok());
    }
    QBuffer b(&arch);
    b.open(QIODevice::ReadOnly);
    RS_Archive ar(&b, "T", 1, true);
    RS_FileObject a, leer, fehlt;
    ASSERT_TRUE(a.ioData(ar));
    ASSERT_TRUE(leer.ioData(ar));
    ASSERT_TRUE(fehlt.ioData(ar));
    EXPECT_EQ(a.fileName(), QStringLiteral("belka.db3"));
    EXPECT_EQ(a.data(), gross);
    EXPECT_TRUE(leer.isEmpty());
    EXPECT_EQ(leer.fileName(), QStringLiteral("leer.docx"));
    EXPECT_TRUE(fehlt.isEmpty());

    QString err;
    const QString ziel = dir.filePath(QStringLiteral("kopie.db3"));
    ASSERT_TRUE(a.extractTo(ziel, &err)) << err.toStdString();
    QFile k(ziel);
    ASSERT_TRUE(k.open(QIODevice::ReadOnly));
    EXPECT_EQ(k.readAll(), gross);
}

TEST(FileObject, DamagedContentIsRefused) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("d.bin"));
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(500, 'a'));
    f.close();
    QByteArray arch;
    {
        QBuffer b(&arch);
        b.open(QIODevice::WriteOnly);
        RS_Archive ar(&b, "T", 1);
        RS_FileObject(p).ioData(ar);
    }
    arch[arch.size() - 100] = 'b';
    QBuffer b(&arch);
    b.open(QIODevice::ReadOnly);
    RS_Archive ar(&b, "T", 1, true);
    RS_FileObject o;
    EXPECT_FALSE(o.ioData(ar));
    EXPECT_FALSE(ar.ok());
}

}  // namespace
