// Option store, ini reader and rot13 (see options.h).
#include "host/app/options.h"

#include "host/app/atomicfile.h"
#include "host/app/global.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
// Minimal ini format: "[Section]" lines and "key=value" lines; values are
// kept verbatim (no quoting), so any text without a line break round-trips.
using IniData = QMap<QString, QMap<QString, QString>>;

IniData readIni(const QString& path) {
    IniData data;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return data;
    QTextStream in(&f);
    in.setCodec("UTF-8");
    QString section;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'))) continue;
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            section = t.mid(1, t.size() - 2).trimmed();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        data[section][line.left(eq).trimmed()] = line.mid(eq + 1);
    }
    return data;
}
}  // namespace

rsOptionsGlobal& rsOptionsGlobal::instance() {
    static rsOptionsGlobal s;
    return s;
}

QString rsOptionsGlobal::getString(const QString& section, const QString& key, const QString& def) const {
    auto s = m_data.constFind(section);
    if (s == m_data.constEnd()) return def;
    auto k = s->constFind(key);
    return k == s->constEnd() ? def : *k;
}

int rsOptionsGlobal::getInt(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int v = getString(section, key).trimmed().toInt(&ok);
    return ok ? v : def;
}

bool rsOptionsGlobal::contains(const QString& section, const QString& key) const {
    auto s = m_data.constFind(section);
    return s != m_data.constEnd() && s->contains(key);
}

void rsOptionsGlobal::setString(const QString& section, const QString& key, const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_data[section][key] = v;
    save();
}

void rsOptionsGlobal::setFile(const QString& path) {
    m_file = path;
    m_data.clear();
    if (!m_file.isEmpty()) load();
}

void rsOptionsGlobal::clear() { m_data.clear(); }

void rsOptionsGlobal::load() { m_data = readIni(m_file); }

bool rsOptionsGlobal::save() const {
    if (m_file.isEmpty()) return true;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QByteArray text;
    for (auto s = m_data.constBegin(); s != m_data.constEnd(); ++s) {
        text += '[' + s.key().toUtf8() + "]\n";
        for (auto k = s->constBegin(); k != s->constEnd(); ++k) text += k.key().toUtf8() + '=' + k.value().toUtf8() + '\n';
        text += '\n';
    }
    return rsWriteFileAtomic(m_file, text, nullptr);
}

namespace TesmaIni {
namespace {
IniData& overrides() {
    static IniData o;
    return o;
}
QString iniPath() {
    const QString env = qEnvironmentVariable("DALVO_INI");
    if (!env.isEmpty()) return env;
    return GetGlobal().GetWriteableHomeDir() + QStringLiteral("/dalvo16.ini");
}
}  // namespace

QString getString(const QString& section, const QString& key, const QString& def) {
    const IniData& o = overrides();
    if (o.contains(section) && o[section].contains(key)) return o[section][key];
    const IniData file = readIni(iniPath());
    if (file.contains(section) && file[section].contains(key)) return file[section][key];
    return def;
}

int getInt(const QString& section, const QString& key, int def) {
    bool ok = false;
    const int v = getString(section, key).trimmed().toInt(&ok);
    return ok ? v : def;
}

void setOverride(const QString& section, const QString& key, const QString& value) { overrides()[section][key] = value; }
void clearOverrides() { overrides().clear(); }
}  // namespace TesmaIni

QString rot13(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        if (u >= 'a' && u <= 'z') c = QChar(ushort('a' + (u - 'a' + 13) % 26));
        else if (u >= 'A' && u <= 'Z') c = QChar(ushort('A' + (u - 'A' + 13) % 26));
    }
    return out;
}
