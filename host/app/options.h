// Program option store: sections and keys with text values, kept in an ini
// file under the writable home directory ("optionen.ini"), or only in memory
// (tests: setFile with an empty path). Writes are saved at once, atomically.
#pragma once

#include <QMap>
#include <QString>

class rsOptionsGlobal {
public:
    static rsOptionsGlobal& instance();

    QString getString(const QString& section, const QString& key, const QString& def = QString()) const;
    int getInt(const QString& section, const QString& key, int def = 0) const;
    void setString(const QString& section, const QString& key, const QString& value);
    void setInt(const QString& section, const QString& key, int value) { setString(section, key, QString::number(value)); }
    bool contains(const QString& section, const QString& key) const;

    // Empty path: memory only. Otherwise loads the file if it exists.
    void setFile(const QString& path);
    const QString& file() const { return m_file; }
    void clear();  // memory only; the file is untouched until the next write

private:
    bool save() const;
    void load();
    QString m_file;
    QMap<QString, QMap<QString, QString>> m_data;
};

// Program ini file ("dalvo16.ini" beside the options, or DALVO_INI). Read-only.
namespace TesmaIni {
int getInt(const QString& section, const QString& key, int def = 0);
QString getString(const QString& section, const QString& key, const QString& def = QString());
// Overrides for tests; an empty map reads the file again.
void setOverride(const QString& section, const QString& key, const QString& value);
void clearOverrides();
}  // namespace TesmaIni

// The classic letter rotation by 13; applying it twice gives the input back.
QString rot13(const QString& text);
