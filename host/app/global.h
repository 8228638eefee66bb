// GlobalInst: the process-wide state of the host program.
//
// Manager slots hold the KontoGlobal of each tax-case slot (not owned here;
// GetKontoGlobal owns them). Connection slots hold database connections the
// host publishes: slot 5 is the case database of the primary case, slot 22
// the program's reference database (charts, categories, tax keys). The
// reference database is opened lazily from the data directory.
//
// Tests call GlobalInst::reset() between cases (with a fresh home directory).
#pragma once

#include <QString>
#include <QStringList>

class KontoGlobal;
class DBConnection;

class GlobalInst {
public:
    static constexpr int kManagerSlots = 16;
    static constexpr int kConnectionSlots = 32;
    static constexpr int kCaseConnection = 5;
    static constexpr int kReferenceConnection = 22;

    static GlobalInst& instance();
    // Destroys every manager (through GetKontoGlobal) and every connection the
    // instance owns, and restores the defaults. `homeDir` becomes the writable
    // home directory (empty: the default from DALVO_HOME or ~/.dalvo16).
    static void reset(const QString& homeDir = QString());

    // Manager slots.
    KontoGlobal* GetKontoGlobalPtr(int slot) const;
    void SetKontoGlobalPtr(KontoGlobal* kg, int slot);

    // Connection slots. SetDBConnect_Ptr does not take ownership.
    DBConnection* GetDBConnect_Ptr(int slot);  // slot 22 opens the reference database on demand
    void SetDBConnect_Ptr(DBConnection* con, int slot);
    // The directory and file name registered for a connection slot. They
    // are answers, not the way to a database: whoever opens one passes its
    // path and then registers it here for those who ask (slot 5: the
    // module registers its working directory, and the case file's place
    // while the case file itself is open).
    QString GetDB_Dir(int slot) const;
    void SetDB_Dir(const QString& dir, int slot);
    QString GetDB_Name(int slot) const;
    void SetDB_Name(const QString& name, int slot);

    int GetActiveSteuer() const { return m_active; }
    void SetActiveSteuer(int slot) { m_active = slot; }
    int IsImport() const { return m_import; }
    void SetImport(int state) { m_import = state; }
    int getSteuerjahr() const { return m_steuerjahr; }
    void setSteuerjahr(int y) { m_steuerjahr = y; }
    bool GetRebuildGUI() const { return m_rebuildGui; }
    void SetRebuildGUI(bool b = true) { m_rebuildGui = b; }

    // Test flags (bit set); 0x4 turns on the booking self-check.
    unsigned long testFlags() const { return m_testFlags; }
    void setTestFlags(unsigned long f) { m_testFlags = f; }
    bool isTestFlag(unsigned long bit) const { return (m_testFlags & bit) != 0; }

    QString GetWriteableHomeDir() const;  // always ends without separator, created on demand
    void SetWriteableHomeDir(const QString& dir);
    QString GetProgramName() const { return QStringLiteral("dalvo16"); }
    // "dir/name" below the home directory; created when `create` is set. Empty when
    // it does not exist (and create is false) or cannot be created.
    QString GetTempDir(const QString& name, bool create) const;

    // Data directory holding belka16.db3 and referenz16.db3: DALVO_DATA_DIR,
    // else the build's data directory, else "data" beside the executable.
    static QString dataDir();
    static QString templateFile();   // dataDir()/belka16.db3
    static QString referenceFile();  // dataDir()/referenz16.db3
    // The SQLite file extension of case databases (".db3").
    static QString sqliteExtension() { return QStringLiteral(".db3"); }

private:
    GlobalInst();
    void closeOwned();

    KontoGlobal* m_managers[kManagerSlots] = {};
    DBConnection* m_cons[kConnectionSlots] = {};
    QString m_dbDir[kConnectionSlots];
    QString m_dbName[kConnectionSlots];
    DBConnection* m_reference = nullptr;  // owned
    int m_active = 0;
    int m_import = 0;
    int m_steuerjahr = 2016;
    bool m_rebuildGui = false;
    unsigned long m_testFlags = 0;
    QString m_home;
};

// Installed by the module: destroys the manager of a slot (GlobalInst::reset).
void GlobalInst_setManagerDeleter(void (*deleter)(int slot));

inline GlobalInst& GetGlobal() { return GlobalInst::instance(); }
