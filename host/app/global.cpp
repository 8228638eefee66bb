// The host's global instance (see global.h).
#include "host/app/global.h"

#include "host/db/connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
void (*g_managerDeleter)(int slot) = nullptr;
}

void GlobalInst_setManagerDeleter(void (*deleter)(int slot)) { g_managerDeleter = deleter; }

GlobalInst::GlobalInst() = default;

GlobalInst& GlobalInst::instance() {
    static GlobalInst s;
    return s;
}

void GlobalInst::closeOwned() {
    for (int i = 0; i < kManagerSlots; ++i)
        if (m_managers[i] && g_managerDeleter) g_managerDeleter(i);
    for (auto& m : m_managers) m = nullptr;
    if (m_reference) {
        if (m_cons[kReferenceConnection] == m_reference) m_cons[kReferenceConnection] = nullptr;
        delete m_reference;
        m_reference = nullptr;
    }
}

void GlobalInst::reset(const QString& homeDir) {
    GlobalInst& g = instance();
    g.closeOwned();
    for (int i = 0; i < kConnectionSlots; ++i) {
        g.m_cons[i] = nullptr;
        g.m_dbDir[i].clear();
        g.m_dbName[i].clear();
    }
    g.m_active = 0;
    g.m_import = 0;
    g.m_steuerjahr = 2016;
    g.m_rebuildGui = false;
    g.m_testFlags = 0;
    g.m_home = homeDir;
}

KontoGlobal* GlobalInst::GetKontoGlobalPtr(int slot) const {
    if (slot < 0 || slot >= kManagerSlots) return nullptr;
    return m_managers[slot];
}

void GlobalInst::SetKontoGlobalPtr(KontoGlobal* kg, int slot) {
    if (slot >= 0 && slot < kManagerSlots) m_managers[slot] = kg;
}

DBConnection* GlobalInst::GetDBConnect_Ptr(int slot) {
    if (slot < 0 || slot >= kConnectionSlots) return nullptr;
    if (slot == kReferenceConnection && !m_cons[slot]) {
        if (!m_reference) {
            // The reference database is read-only for the module; open it
            // without creating it, so a missing file is a visible error.
            auto* con = new DBConnection;
            if (con->createAndConnect(referenceFile(), QString(), QString(), false)) {
                m_reference = con;
            } else {
                delete con;
                return nullptr;
            }
        }
        m_cons[slot] = m_reference;
    }
    return m_cons[slot];
}

void GlobalInst::SetDBConnect_Ptr(DBConnection* con, int slot) {
    if (slot >= 0 && slot < kConnectionSlots) m_cons[slot] = con;
}

QString GlobalInst::GetDB_Dir(int slot) const { return slot >= 0 && slot < kConnectionSlots ? m_dbDir[slot] : QString(); }
void GlobalInst::SetDB_Dir(const QString& dir, int slot) {
    if (slot >= 0 && slot < kConnectionSlots) m_dbDir[slot] = dir;
}
QString GlobalInst::GetDB_Name(int slot) const { return slot >= 0 && slot < kConnectionSlots ? m_dbName[slot] : QString(); }
void GlobalInst::SetDB_Name(const QString& name, int slot) {
    if (slot >= 0 && slot < kConnectionSlots) m_dbName[slot] = name;
}

QString GlobalInst::GetWriteableHomeDir() const {
    QString home = m_home;
    if (home.isEmpty()) home = qEnvironmentVariable("DALVO_HOME");
    if (home.isEmpty()) home = QDir::homePath() + QStringLiteral("/.dalvo16");
    while (home.size() > 1 && (home.endsWith(QLatin1Char('/')) || home.endsWith(QLatin1Char('\\')))) home.chop(1);
    QDir().mkpath(home);
    return home;
}

void GlobalInst::SetWriteableHomeDir(const QString& dir) { m_home = dir; }

QString GlobalInst::GetTempDir(const QString& name, bool create) const {
    const QString path = GetWriteableHomeDir() + QLatin1Char('/') + name;
    if (QFileInfo(path).isDir()) return path;
    if (!create) return QString();
    return QDir().mkpath(path) ? path : QString();
}

QString GlobalInst::dataDir() {
    const QString env = qEnvironmentVariable("DALVO_DATA_DIR");
    if (!env.isEmpty()) return env;
#ifdef DALVO_BUILD_DATA_DIR
    if (QFileInfo(QStringLiteral(DALVO_BUILD_DATA_DIR "/belka16.db3")).exists()) return QStringLiteral(DALVO_BUILD_DATA_DIR);
#endif
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath() + QStringLiteral("/data");
    return QStringLiteral("data");
}

QString GlobalInst::templateFile() { return dataDir() + QStringLiteral("/belka16.db3"); }
QString GlobalInst::referenceFile() { return dataDir() + QStringLiteral("/referenz16.db3"); }
