// RS_Archive: the versioned binary stream of case files.
//
// One ioData function serves saving and loading: every io() call writes the
// value when storing and reads it into the same variable when loading.
//
// Layout: magic bytes, then the data version (quint32, big endian), then the
// values in QDataStream form (Qt 5.12 encoding, fixed so files stay
// readable across Qt updates). Sections (beginSection/endSection) are
// length-prefixed blocks with a tag and a CRC-32, so a reader detects a
// damaged block before it interprets a single value from it.
//
// Reading never trusts the file: a length is checked against the bytes that
// remain, a failed read sets a sticky error, and every later io() yields
// empty values. Callers check ok() once at the end.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QBuffer;
class QIODevice;

class RS_Archive {
public:
    // Storing: writes magic and version at once.
    RS_Archive(QIODevice* device, const QByteArray& magic, quint32 dataVersion);
    // Loading: reads and checks magic and version (up to maxVersion).
    RS_Archive(QIODevice* device, const QByteArray& magic, quint32 maxVersion, bool /*loading*/);
    ~RS_Archive();
    RS_Archive(const RS_Archive&) = delete;
    RS_Archive& operator=(const RS_Archive&) = delete;

    bool isStoring() const { return m_storing; }
    bool isLoading() const { return !m_storing; }
    bool isValid() const { return m_valid; }
    bool ok() const { return m_valid && m_error.isEmpty(); }
    const QString& errorText() const { return m_error; }
    quint32 dataVersion() const { return m_version; }

    void io(qint32& v);
    void io(quint32& v);
    void io(qint64& v);
    void io(double& v);
    void io(bool& v);
    void io(QString& v);
    void io(QByteArray& v);
    void io(QStringList& v);
    void io(QDate& v);

    // Storing: starts a block; loading: reads the whole block, checks tag,
    // length and checksum, and reads the following values from it. False
    // (and the sticky error) when the block is damaged.
    bool beginSection(quint32 tag);
    bool endSection();

    // Marks the stream as failed (sticky) with `text`, or with the standard
    // damaged-file message when `text` is empty. For readers that find a
    // value they cannot interpret.
    void setFehler(const QString& text);

    static quint32 crc32(const QByteArray& data);

private:
    QDataStream& stream();
    void fail(const QString& text);
    qint64 remaining() const;

    struct Ebene;
    QDataStream m_root;
    std::vector<std::unique_ptr<Ebene>> m_ebenen;
    bool m_storing;
    bool m_valid = false;
    quint32 m_version = 0;
    QString m_error;
};
