// DBConnection: one open SQLite database (the case database of a slot, the
// reference database, an import file). Owns its sqlite3 handle.
//
// On open the Access-dialect SQL functions that the module's statements use
// are registered on the handle:
//   MONTH(d), YEAR(d), DAY(d), MINUTE(d)  parts of a stored date/time text; NULL for NULL or ''
//   LEN(s)                               character length of s
//   MID(s, start[, len])                 1-based substring
//   LEFT(s, n), RIGHT(s, n), TRIM(s), UCASE(s), LCASE(s)
//                                        (LEFT and RIGHT are join keywords to SQLite:
//                                        write "LEFT"(s, n), or MID/substr)
//   CDBL(x), CLNG(x), CSTR(x), INT(x)    conversions (CLNG rounds half away from zero, INT floors)
//   NZ(x[, v])                           x, or v (default 0) when x is NULL
//   ROUNDEURO(x, n)                      EuroType rounding (half away from zero)
// IIF is built into SQLite.
//
// Errors: every failing prepare/step is appended to the connection's error
// list (getErr()) with the SQL text; callers decide whether to show it
// (getErr()->vShowErrors(-1) hands all of them to the display that whoever
// opened the connection gave it). Nothing throws.
//
// This layer stands on host/values and SQLite alone: it knows neither the
// host program nor the module. What it needs of them comes in as parameters
// (the reference database of DBNeedsUpdate, the error display of a
// connection, the way to the open case's connection: rsFallDB).
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

class DBErrorList {
public:
    void add(const QString& text) { m_errors << text; }
    const QStringList& errors() const { return m_errors; }
    bool isEmpty() const { return m_errors.isEmpty(); }
    void clear() { m_errors.clear(); }
    QString last() const { return m_errors.isEmpty() ? QString() : m_errors.last(); }

    // Where shown errors go: one German message (an HTML fragment, the SQL
    // in it escaped) per call. The module sets it on the connections it
    // opens for a person to use and forwards to its Ui.
    using Anzeige = std::function<void(const QString& html)>;
    void setAnzeige(Anzeige anzeige) { m_anzeige = std::move(anzeige); }
    bool hatAnzeige() const { return bool(m_anzeige); }
    // Shows the last n errors (-1: all) as one message through the display,
    // then clears the list. Without a display the list stays as it is, so
    // that no error is lost unseen: the caller still reads it.
    void vShowErrors(int n);

private:
    QStringList m_errors;
    Anzeige m_anzeige;
};

class DBConnection {
public:
    DBConnection();
    ~DBConnection();
    DBConnection(const DBConnection&) = delete;
    DBConnection& operator=(const DBConnection&) = delete;

    // The SQLite library is usable (always true here; kept because callers check it).
    bool isValid() const { return true; }

    // Opens (and with `create` creates) the database file. User and password
    // are accepted for the connection contract; SQLite itself has no users.
    // Returns false and records a German message in getErr() on failure.
    // With setReadOnly(true) before the call the file is opened read-only
    // (SQLITE_OPEN_READONLY): no statement can change it.
    bool createAndConnect(const QString& path, const QString& user = QString(),
                          const QString& password = QString(), bool create = false);
    // Opens a private in-memory database (tests, scratch work).
    bool openMemory();
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Working-database settings: no fsync, journal in memory, the file read
    // through a memory map. For scratch copies only.
    void setFastMode();
    // Settings of a database that is the durable case file itself: rollback
    // journal beside the file only while a write is open (no -wal/-shm files
    // that a user copying the case would leave behind), full fsync at every
    // commit, reads through a memory map.
    void setDurableMode();

    void setReadOnly(bool b) { m_readOnly = b; }
    bool isReadOnly() const { return m_readOnly; }
    // How long a statement waits for a lock another process holds on the
    // file before it fails with "database is locked" (default 5 s). Set
    // before createAndConnect it also covers the probe of the open.
    void setBusyTimeout(int ms);

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }
    DBErrorList* getErr() { return &m_err; }
    // The display of getErr()->vShowErrors (see DBErrorList::setAnzeige).
    void setFehlerAnzeige(DBErrorList::Anzeige anzeige) { m_err.setAnzeige(std::move(anzeige)); }
    bool isSQLite() const { return true; }

    // Transactions nest by counting: only the outermost begin/commit reach
    // SQLite. The module holds them through DBTransaktion (below).
    bool beginTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const { return m_txDepth > 0; }

    // The transaction of a whole command around the module's own ones. With
    // `write` it is BEGIN IMMEDIATE: the write lock is taken at once (waiting
    // up to the busy timeout), so two writers never interleave and a refusal
    // costs nothing. Without, BEGIN: every statement of the command reads the
    // same snapshot. Inside it, the module's outermost begin/commit/rollback
    // become a savepoint, so they keep their meaning (an inner failure undoes
    // just that piece of work) and only commitOuter makes anything durable.
    // False when the lock could not be had: lockTimedOut() tells whether it
    // was the wait that ran out.
    bool beginOuter(bool write);
    bool commitOuter();
    void rollbackOuter();
    bool inOuter() const { return m_outer; }
    bool lockTimedOut() const { return m_busy; }

    // Rowid of the last insert; changes of the last statement.
    long long lastInsertId() const;

    // A prepared statement for `sql`, kept for the life of the connection
    // and reset for the next use (ExecPrepared / QueryPrepared bind values to
    // it). Its bindings are the caller's to clear: ExecPrepared and
    // QueryPrepared clear them after each use. Null with the error recorded
    // when the text does not prepare.
    sqlite3_stmt* cachedStatement(const QString& sql);
    // A statement for a record set of many rows, from a pool kept for the
    // life of the connection: a text read once per row of another query is
    // parsed once, and a reader nested in one of the same text gets a
    // statement of its own. Null with the error recorded when the text does
    // not prepare. Hand it back with zurueckgeben (it is reset there).
    sqlite3_stmt* leihen(const QString& sql);
    void zurueckgeben(const QString& sql, sqlite3_stmt* st);

private:
    void finalizeCache();

    QHash<QString, sqlite3_stmt*> m_cache;
    QHash<QString, QVector<sqlite3_stmt*>> m_frei;  // the pool of leihen
    // The statements asked for last, with their texts: a writer of many rows
    // names a few statements by the same strings over and over, and a text
    // that shares its bytes with one kept here is that text, found without
    // hashing it. (The copy kept here keeps those bytes from being reused.)
    struct Zuletzt {
        QString sql;
        sqlite3_stmt* st = nullptr;
    };
    Zuletzt m_zuletzt[4];
    int m_naechster = 0;
    sqlite3* m_db = nullptr;
    QString m_path;
    DBErrorList m_err;
    int m_txDepth = 0;
    bool m_txFailed = false;
    bool m_outer = false;
    bool m_busy = false;
    bool m_readOnly = false;
    int m_busyMs = 5000;  // a file another program writes is waited for this long
};

// The message of the last error on `db`: German for what a person can act
// on (disk full, no permission, locked, damaged), SQLite's text otherwise.
QString rsSqliteText(sqlite3* db);

// SQLite's full integrity check of the database file at `pfad` (page
// structure, free list, every index against its table), through a read-only
// connection of its own so that it may run beside other work on the file.
// Empty when the file is sound; otherwise SQLite's findings (at most 100).
QStringList rsIntegritaetPruefen(const QString& pfad);

// Whether SQLite has met a damaged database file (SQLITE_CORRUPT or
// SQLITE_NOTADB) anywhere in this process since the last reset. Damage can
// surface in any statement, long after the file was opened; the host turns
// it into the refusal of a damaged case file.
bool rsDbCorruptionSeen();
void rsDbResetCorruptionSeen();

// One piece of work in a transaction of `con`, for the length of a scope:
// beginTransaction at construction, rolled back when the scope is left
// without commit() (every early return undoes the piece). Pieces nest as
// the connection's transactions do: an inner rollback dooms the outer
// piece, only the outermost commit reaches the file, and inside the
// command's transaction (beginOuter: BEGIN IMMEDIATE, the write lock for
// the whole command) the outermost piece is a savepoint of it.
class DBTransaktion {
public:
    explicit DBTransaktion(DBConnection* con) : m_con(con), m_offen(con && con->beginTransaction()) {}
    ~DBTransaktion() { rollback(); }
    DBTransaktion(const DBTransaktion&) = delete;
    DBTransaktion& operator=(const DBTransaktion&) = delete;

    // The transaction was begun (false without connection or when the begin failed).
    bool ok() const { return m_offen; }
    // Ends the piece as done; false when it was not begun, was doomed by an
    // inner rollback or could not be committed (then it is undone).
    bool commit() {
        if (!m_offen) return false;
        m_offen = false;
        return m_con->commit();
    }
    // Undoes the piece now (nothing when it is no longer open).
    void rollback() {
        if (!m_offen) return;
        m_offen = false;
        m_con->rollback();
    }

private:
    DBConnection* m_con;
    bool m_offen;
};

// The connection of the open case: `con` itself when it is given, else the
// connection of the case the module names as active (null when there is
// none). The module installs where that is found (rsSetFallDBQuelle), as
// this layer knows no case.
DBConnection* rsFallDB(DBConnection* con = nullptr);
void rsSetFallDBQuelle(DBConnection* (*quelle)());

// Runs one statement (or several separated by ';'). `affected` receives the
// number of changed rows (may be null). Returns false on error (recorded in
// con->getErr()); a null connection returns false.
bool ExecSQL(DBConnection* con, const QString& sql, long* affected = nullptr);

// Schema version of a database: "SELECT MAX(Version) FROM Version"; 0 when
// the table is missing or empty.
long GetDBVersion(DBConnection* con);
// True when the database's version is lower than that of `reference` (the
// program's reference database; the caller passes it, null when it is not
// available), or without reference when the database has no version.
// `versionString` receives the database's version as text.
bool DBNeedsUpdate(DBConnection* con, DBConnection* reference, QString& versionString);

// Copies all rows of `table` from the database file `externalPath` into the
// same table of `con`. Columns are matched by name; columns missing on
// either side are left out (target columns get their default). Rows whose
// key clashes with an existing row replace it. Returns the number of rows
// copied, or -1 on error (message in getErr()). A table missing in the
// external file copies nothing and returns 0. Must be called outside a
// transaction of `con` (SQLite cannot detach the file inside one): there it
// copies nothing and returns -1.
long rsCopyTablesFromExternalDatabase(DBConnection* con, const QString& externalPath,
                                      const QString& table);

// Replaces the rows of every table of `tables` by the rows of the same
// table in `externalPath` (common columns), all in one transaction: either
// every table is replaced or none is changed. False on any error (recorded),
// and outside a transaction only, as above. A table missing in the file is
// emptied.
bool rsReplaceTablesFromExternalDatabase(DBConnection* con, const QString& externalPath, const QStringList& tables);

// Table / column existence in the connected database.
bool rsTableExists(DBConnection* con, const QString& table);
bool rsColumnExists(DBConnection* con, const QString& table, const QString& column);
