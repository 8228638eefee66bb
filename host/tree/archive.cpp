// The versioned binary stream of case files (see archive.h).
#include "host/tree/archive.h"

#include <array>

#include <QBuffer>

namespace {
const char* const kBeschaedigt = "Die Datei ist beschädigt oder unvollständig.";

void configure(QDataStream& s) {
    s.setVersion(QDataStream::Qt_5_12);
    s.setByteOrder(QDataStream::BigEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
}
}  // namespace

struct RS_Archive::Ebene {
    quint32 tag = 0;
    QByteArray daten;
    QBuffer puffer;
    QDataStream stream;
};

RS_Archive::RS_Archive(QIODevice* device, const QByteArray& magic, quint32 dataVersion)
    : m_root(device), m_storing(true), m_version(dataVersion) {
    configure(m_root);
    m_root.writeRawData(magic.constData(), magic.size());
    m_root << dataVersion;
    m_valid = m_root.status() == QDataStream::Ok;
    if (!m_valid) m_error = QString::fromUtf8(kBeschaedigt);
}

RS_Archive::RS_Archive(QIODevice* device, const QByteArray& magic, quint32 maxVersion, bool)
    : m_root(device), m_storing(false) {
    configure(m_root);
    QByteArray got(magic.size(), '\0');
    if (m_root.readRawData(got.data(), got.size()) != magic.size() || got != magic) {
        m_error = QStringLiteral("Die Datei ist keine dalvo-Falldatei.");
        return;
    }
    m_root >> m_version;
    if (m_root.status() != QDataStream::Ok) {
        m_error = QString::fromUtf8(kBeschaedigt);
        return;
    }
    if (m_version > maxVersion) {
        m_error = QStringLiteral("Die Datei wurde mit einer neueren Programmversion gespeichert (Datenversion %1).")
                      .arg(m_version);
        return;
    }
    m_valid = true;
}

RS_Archive::~RS_Archive() = default;

QDataStream& RS_Archive::stream() { return m_ebenen.empty() ? m_root : m_ebenen.back()->stream; }

void RS_Archive::fail(const QString& text) {
    if (m_error.isEmpty()) m_error = text;
}

void RS_Archive::setFehler(const QString& text) { fail(text.isEmpty() ? QString::fromUtf8(kBeschaedigt) : text); }

qint64 RS_Archive::remaining() const {
    const QDataStream& s = m_ebenen.empty() ? m_root : m_ebenen.back()->stream;
    QIODevice* d = s.device();
    return d ? d->bytesAvailable() : 0;
}

#define DALVO_ARCHIVE_IO(T)                                             \
    void RS_Archive::io(T& v) {                                         \
        if (m_storing) {                                                \
            if (ok()) stream() << v;                                    \
            return;                                                     \
        }                                                               \
        T gelesen{};                                                    \
        if (ok()) {                                                     \
            stream() >> gelesen;                                        \
            if (stream().status() != QDataStream::Ok) {                 \
                fail(QString::fromUtf8(kBeschaedigt));                  \
                gelesen = T{};                                          \
            }                                                           \
        }                                                               \
        v = gelesen;                                                    \
    }
DALVO_ARCHIVE_IO(qint32)
DALVO_ARCHIVE_IO(quint32)
DALVO_ARCHIVE_IO(qint64)
DALVO_ARCHIVE_IO(double)
DALVO_ARCHIVE_IO(bool)
DALVO_ARCHIVE_IO(QDate)
#undef DALVO_ARCHIVE_IO

void RS_Archive::io(QByteArray& v) {
    if (m_storing) {
        if (ok()) {
            stream() << quint32(v.size());
            stream().writeRawData(v.constData(), v.size());
        }
        return;
    }
    QByteArray gelesen;
    quint32 n = 0;
    if (ok()) stream() >> n;
    if (ok() && (stream().status() != QDataStream::Ok || qint64(n) > remaining())) {
        fail(QString::fromUtf8(kBeschaedigt));  // a length the file cannot hold
    } else if (ok() && n > 0) {
        gelesen.resize(int(n));
        if (stream().readRawData(gelesen.data(), int(n)) != int(n)) {
            fail(QString::fromUtf8(kBeschaedigt));
            gelesen.clear();
        }
    }
    v = ok() ? gelesen : QByteArray();
}

void RS_Archive::io(QString& v) {
    // Text travels as UTF-8 through the checked byte-array path.
    QByteArray b = v.toUtf8();
    io(b);
    if (isLoading()) v = QString::fromUtf8(b);
}

void RS_Archive::io(QStringList& v) {
    quint32 n = quint32(v.size());
    io(n);
    if (isStoring()) {
        for (QString& s : v) io(s);
        return;
    }
    QStringList gelesen;
    // Every entry needs at least its 4-byte length.
    if (ok() && qint64(n) * 4 > remaining()) fail(QString::fromUtf8(kBeschaedigt));
    for (quint32 i = 0; ok() && i < n; ++i) {
        QString s;
        io(s);
        gelesen << s;
    }
    v = ok() ? gelesen : QStringList();
}

bool RS_Archive::beginSection(quint32 tag) {
    if (!ok()) return false;
    auto e = std::make_unique<Ebene>();
    e->tag = tag;
    if (m_storing) {
        e->puffer.setBuffer(&e->daten);
        e->puffer.open(QIODevice::WriteOnly);
        e->stream.setDevice(&e->puffer);
        configure(e->stream);
        m_ebenen.push_back(std::move(e));
        return true;
    }
    quint32 gotTag = 0, len = 0, crc = 0;
    QDataStream& s = stream();
    s >> gotTag >> len >> crc;
    if (s.status() != QDataStream::Ok || gotTag != tag || qint64(len) > remaining()) {
        fail(QString::fromUtf8(kBeschaedigt));
        return false;
    }
    // A block inside a buffer in memory (the case file is read whole) is
    // read in place: the embedded database of a large case is not copied
    // once more per nesting level. The parent's bytes outlive the block.
    auto* speicher = qobject_cast<QBuffer*>(s.device());
    if (speicher && speicher->isOpen() && len > 0) {
        const qint64 pos = speicher->pos();
        e->daten = QByteArray::fromRawData(speicher->buffer().constData() + pos, int(len));
        if (!speicher->seek(pos + len)) {
            fail(QString::fromUtf8(kBeschaedigt));
            return false;
        }
    } else {
        e->daten.resize(int(len));
        if (len > 0 && s.readRawData(e->daten.data(), int(len)) != int(len)) {
            fail(QString::fromUtf8(kBeschaedigt));
            return false;
        }
    }
    if (crc32(e->daten) != crc) {
        fail(QString::fromUtf8(kBeschaedigt));
        return false;
    }
    e->puffer.setBuffer(&e->daten);
    e->puffer.open(QIODevice::ReadOnly);
    e->stream.setDevice(&e->puffer);
    configure(e->stream);
    m_ebenen.push_back(std::move(e));
    return true;
}

bool RS_Archive::endSection() {
    if (m_ebenen.empty()) {
        fail(QString::fromUtf8(kBeschaedigt));
        return false;
    }
    std::unique_ptr<Ebene> e = std::move(m_ebenen.back());
    m_ebenen.pop_back();
    if (!m_storing) {
        // Unread bytes mean the reader and the file disagree on the layout.
        if (e->puffer.bytesAvailable() != 0) fail(QString::fromUtf8(kBeschaedigt));
        return ok();
    }
    e->puffer.close();
    if (!ok()) return false;
    QDataStream& s = stream();
    s << e->tag << quint32(e->daten.size()) << crc32(e->daten);
    s.writeRawData(e->daten.constData(), e->daten.size());
    if (s.status() != QDataStream::Ok) fail(QString::fromUtf8(kBeschaedigt));
    return ok();
}

quint32 RS_Archive::crc32(const QByteArray& data) {
    // CRC-32 (IEEE 802.3, reflected) computed eight bytes at a time with
    // eight tables ("slicing by 8"): the same value as the bytewise loop, but
    // the embedded database of a large case is checked in a fraction of the time.
    static const auto tabellen = [] {
        std::array<std::array<quint32, 256>, 8> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (quint32 i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        return t;
    }();
    const auto* p = reinterpret_cast<const quint8*>(data.constData());
    qsizetype n = data.size();
    quint32 c = 0xFFFFFFFFu;
    while (n >= 8) {
        const quint32 a = c ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        const quint32 b = quint32(p[4]) | quint32(p[5]) << 8 | quint32(p[6]) << 16 | quint32(p[7]) << 24;
        c = tabellen[7][a & 0xFF] ^ tabellen[6][(a >> 8) & 0xFF] ^ tabellen[5][(a >> 16) & 0xFF] ^ tabellen[4][a >> 24] ^
            tabellen[3][b & 0xFF] ^ tabellen[2][(b >> 8) & 0xFF] ^ tabellen[1][(b >> 16) & 0xFF] ^ tabellen[0][b >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0) c = tabellen[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}
