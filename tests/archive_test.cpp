// The case-file stream: round trips, foreign and newer files, and damaged
// files at every offset.
#include "host/tree/archive.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

const QByteArray kMagic("DALVO16C");

struct Satz {
    qint32 i = 0;
    quint32 u = 0;
    qint64 l = 0;
    double d = 0;
    bool b = false;
    QString s;
    QByteArray blob;
    QStringList liste;
    QDate datum;

    // One function for both directions, like a node's ioData.
    void ioData(RS_Archive& ar) {
        ar.beginSection(1);
        ar.io(i);
        ar.io(u);
        ar.io(l);
        ar.io(d);
        ar.io(b);
        ar.io(s);
        ar.beginSection(2);  // nested
        ar.io(blob);
        ar.io(liste);
        ar.endSection();
        ar.io(datum);
        ar.endSection();
    }
};

Satz beispiel() {
    Satz s;
    s.i = -42;
    s.u = 4000000000u;
    s.l = -9000000000LL;
    s.d = 1234.56;
    s.b = true;
    s.s = QStringLiteral("Müller & Söhne „GbR“");
    s.blob = QByteArray("\0\1\2binär", 9);
    s.liste = QStringList{QStringLiteral("eins"), QString(), QStringLiteral("drei")};
    s.datum = QDate(2016, 2, 29);
    return s;
}

QByteArray schreiben(Satz s, quint32 version = 3) {
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    RS_Archive ar(&buf, kMagic, version);
    s.ioData(ar);
    EXPECT_TRUE(ar.ok());
    return out;
}

bool lesen(const QByteArray& data, Satz* s, QString* fehler = nullptr, quint32 maxVersion = 3) {
    QByteArray copy = data;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, maxVersion, true);
    if (ar.isValid()) s->ioData(ar);
    if (fehler) *fehler = ar.errorText();
    return ar.ok();
}

TEST(Archive, RoundTripOfEveryType) {
    const QByteArray data = schreiben(beispiel());
    Satz r;
    ASSERT_TRUE(lesen(data, &r));
    const Satz e = beispiel();
    EXPECT_EQ(r.i, e.i);
    EXPECT_EQ(r.u, e.u);
    EXPECT_EQ(r.l, e.l);
    EXPECT_DOUBLE_EQ(r.d, e.d);
    EXPECT_EQ(r.b, e.b);
    EXPECT_EQ(r.s, e.s);
    EXPECT_EQ(r.blob, e.blob);
    EXPECT_EQ(r.liste, e.liste);
    EXPECT_EQ(r.datum, e.datum);
    Satz leer;
    Satz r2;
    ASSERT_TRUE(lesen(schreiben(leer), &r2));
    EXPECT_TRUE(r2.s.isEmpty());
    EXPECT_FALSE(r2.datum.isValid());
}

TEST(Archive, ForeignAndNewerFilesAreRefusedWithAReason) {
    Satz r;
    QString fehler;
    EXPECT_FALSE(lesen(QByteArray("PK\3\4 kein Fall"), &r, &fehler));
    EXPECT_EQ(fehler, QStringLiteral("Die Datei ist keine dalvo-Falldatei."));
    EXPECT_FALSE(lesen(QByteArray(), &r, &fehler));
    EXPECT_FALSE(lesen(schreiben(beispiel(), 9), &r, &fehler, 3));
    EXPECT_TRUE(fehler.contains(QStringLiteral("neueren Programmversion"))) << fehler.toStdString();
}

TEST(Archive, EveryTruncationAndEveryFlippedByteIsDetected) {
    const QByteArray data = schreiben(beispiel());
    for (int n = 0; n < data.size(); ++n) {
        Satz r;
        EXPECT_FALSE(lesen(data.left(n), &r)) << "truncated at " << n;
    }
    for (int pos = 0; pos < data.size(); ++pos) {
        QByteArray bad = data;
        bad[pos] = char(bad[pos] ^ 0x5A);
        Satz r;
        EXPECT_FALSE(lesen(bad, &r)) << "byte " << pos << " changed";
    }
}

TEST(Archive, AbsurdLengthsDoNotAllocate) {
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    {
        RS_Archive ar(&buf, kMagic, 1);
        quint32 riesig = 0xFFFFFFF0u;  // a byte-array length the file cannot hold
        ar.io(riesig);
    }
    buf.close();
    QBuffer in(&out);
    in.open(QIODevice::ReadOnly);
    RS_Archive ar(&in, kMagic, 1, true);
    QByteArray b;
    ar.io(b);
    EXPECT_FALSE(ar.ok());
    EXPECT_TRUE(b.isEmpty());
    QString s = QStringLiteral("bleibt nicht");
    ar.io(s);
    EXPECT_TRUE(s.isEmpty()) << "after an error every read yields empty values";
    EXPECT_EQ(ar.errorText(), QStringLiteral("Die Datei ist beschädigt oder unvollständig."));
}

TEST(Archive, Crc32OfAKnownText) {
    EXPECT_EQ(RS_Archive::crc32(QByteArray("123456789")), 0xCBF43926u);
    EXPECT_EQ(RS_Archive::crc32(QByteArray("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
    EXPECT_EQ(RS_Archive::crc32(QByteArray()), 0u);
}

}  // namespace
