// RS_FileObject: one file embedded in an archive (the bookkeeping database,
// the invoicing templates). Stored as its own checked section: base name,
// then content. A missing file is stored as an empty object.
#pragma once

#include <QByteArray>
#include <QString>

class RS_Archive;

class RS_FileObject {
public:
    RS_FileObject() = default;
    explicit RS_FileObject(const QString& path) : m_path(path) {}

    void setFile(const QString& path) { m_path = path; }
    const QString& path() const { return m_path; }
    // Storing reads the file at m_path and drops the bytes once they are in
    // the archive; loading fills name and content.
    bool ioData(RS_Archive& ar);
    // Writes the content atomically to `path` (an empty object writes an empty file).
    bool extractTo(const QString& path, QString* error) const;

    bool isEmpty() const { return m_data.isEmpty(); }
    const QByteArray& data() const { return m_data; }
    const QString& fileName() const { return m_name; }

private:
    QString m_path;
    QString m_name;
    QByteArray m_data;
};
