// DBConnection and the statement-level helpers around it: opening and
// probing database files, running SQL, nested transactions, the error list
// and its display, schema versions and copying a table from another file.
//
// Every failure ends up as a German text in the connection's error list; the
// caller decides when the person sees it (vShowErrors). Nothing here throws.
#include "host/db/connection.h"

#include "host/db/datasource.h"
#include "host/db/sqlfunctions.h"

#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

#include <atomic>

namespace {

// Owns one prepared statement for the duration of a scope.
class Statement {
public:
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt;
};


std::atomic<bool> g_corruption{false};

// Constant-initialised, so that the module may install it from its own
// static initialisation in any order.
DBConnection* (*g_fallQuelle)() = nullptr;

// SQLite reports every error to the log callback with its code, wherever the
// statement was run from: the one place that sees damage from any caller.
void sqliteLog(void*, int code, const char*) {
    const int primary = code & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) g_corruption = true;
}

// Installed before the library initialises (static initialisation runs before
// main and before any connection is opened).
// Memory statistics are off: they cost a global mutex on every allocation
// of every statement, and nothing here reads them.
[[maybe_unused]] const bool g_logInstalled = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return sqlite3_config(SQLITE_CONFIG_LOG, sqliteLog, nullptr) == SQLITE_OK;
}();

bool isBusy(sqlite3* db) {
    const int primary = sqlite3_errcode(db) & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

QString sqliteMessage(sqlite3* db) { return rsSqliteText(db); }

void recordSqlError(DBConnection* con, const QString& message, const QString& sql) {
    con->getErr()->add(message + QStringLiteral(" — SQL: ") + sql.trimmed());
}

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Column names of `table` in schema `schema` (main or an attached alias),
// as declared; empty when the table does not exist there.
QStringList tableColumns(DBConnection* con, const QString& schema, const QString& table) {
    QStringList columns;
    rsDataSource rs(con, QStringLiteral("PRAGMA %1.table_info(%2)").arg(quoteIdentifier(schema), quoteIdentifier(table)));
    for (; !rs.isEOF(); rs.fetch()) columns << rs.field(QStringLiteral("name")).toString();
    return columns;
}

}  // namespace

// ---- DBErrorList -------------------------------------------------------------

void DBErrorList::vShowErrors(int n) {
    if (m_errors.isEmpty() || !m_anzeige) return;
    const int count = (n < 0 || n > m_errors.size()) ? m_errors.size() : n;
    QStringList shown;
    for (int i = m_errors.size() - count; i < m_errors.size(); ++i) shown << m_errors.at(i).toHtmlEscaped();
    // The texts carry SQL with "<" and ">", so they are escaped: a display
    // treats its texts as HTML fragments.
    if (!shown.isEmpty())
        m_anzeige(QStringLiteral("Beim Zugriff auf die Datenbank ist ein Fehler aufgetreten:<br>") +
                  shown.join(QStringLiteral("<br>")));
    m_errors.clear();
}

// ---- DBConnection ------------------------------------------------------------

DBConnection::DBConnection() = default;

DBConnection::~DBConnection() { close(); }

bool DBConnection::createAndConnect(const QString& path, const QString& user, const QString& password,
                                    bool create) {
    close();
    m_path = path;
    if (!create && !QFileInfo::exists(path)) {
        m_err.add(QStringLiteral("Die Datenbank „%1“ konnte nicht geöffnet werden: Datei nicht gefunden.").arg(path));
        return false;
    }

    sqlite3* db = nullptr;
    // A connection is used by one thread at a time (a second thread opens
    // its own), so SQLite need not lock each call.
    const int flags = SQLITE_OPEN_NOMUTEX |
                      (m_readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0)));
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = db ? sqliteMessage(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        m_err.add(QStringLiteral("Die Datenbank „%1“ konnte nicht geöffnet werden: %2").arg(path, why));
        return false;
    }

    // A file another process is writing is waited for, also by the probe.
    sqlite3_busy_timeout(db, m_busyMs);
    // sqlite3_open_v2 reads nothing yet; a file of garbage bytes only shows
    // itself at the first statement, so probe before anyone relies on it.
    char* probeError = nullptr;
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &probeError) != SQLITE_OK) {
        const QString why = probeError ? QString::fromUtf8(probeError) : sqliteMessage(db);
        sqlite3_free(probeError);
        sqlite3_close(db);
        m_err.add(QStringLiteral("Die Datei „%1“ ist keine gültige Datenbank oder beschädigt (%2).").arg(path, why));
        return false;
    }

    dbsql::registerAccessFunctions(db);
    m_db = db;
    return true;
}

bool DBConnection::openMemory() {
    close();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        m_err.add(QStringLiteral("Die temporäre Datenbank konnte nicht angelegt werden: %1")
                      .arg(db ? sqliteMessage(db) : QStringLiteral("kein Speicher")));
        sqlite3_close(db);
        return false;
    }
    dbsql::registerAccessFunctions(db);
    m_db = db;
    m_path = QStringLiteral(":memory:");
    return true;
}

void DBConnection::finalizeCache() {
    for (Zuletzt& z : m_zuletzt) z = Zuletzt();
    for (sqlite3_stmt* st : m_cache) sqlite3_finalize(st);
    m_cache.clear();
    for (const QVector<sqlite3_stmt*>& l : m_frei)
        for (sqlite3_stmt* st : l) sqlite3_finalize(st);
    m_frei.clear();
}

sqlite3_stmt* DBConnection::leihen(const QString& sql) {
    if (!m_db) return nullptr;
    auto it = m_frei.find(sql);
    if (it != m_frei.end() && !it->isEmpty()) return it->takeLast();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK || !st) {
        m_err.add(rsSqliteText(m_db) + QStringLiteral(" — SQL: ") + sql);
        if (st) sqlite3_finalize(st);
        return nullptr;
    }
    return st;
}

void DBConnection::zurueckgeben(const QString& sql, sqlite3_stmt* st) {
    if (!st) return;
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    // A statement of a connection closed meanwhile is no longer pooled.
    if (m_db && sqlite3_db_handle(st) == m_db) m_frei[sql].append(st);
    else sqlite3_finalize(st);
}

sqlite3_stmt* DBConnection::cachedStatement(const QString& sql) {
    if (!m_db) return nullptr;
    for (const Zuletzt& z : m_zuletzt) {
        if (z.st && z.sql.constData() == sql.constData() && z.sql.size() == sql.size()) {
            sqlite3_reset(z.st);
            return z.st;
        }
    }
    auto it = m_cache.constFind(sql);
    if (it != m_cache.constEnd()) {
        sqlite3_reset(*it);
        m_zuletzt[m_naechster] = {sql, *it};
        m_naechster = (m_naechster + 1) % 4;
        return *it;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK || !st) {
        m_err.add(rsSqliteText(m_db) + QStringLiteral(" (") + sql + QStringLiteral(")"));
        if (st) sqlite3_finalize(st);
        return nullptr;
    }
    m_cache.insert(sql, st);
    return st;
}

void DBConnection::close() {
    finalizeCache();
    if (m_db) {
        // An open transaction is rolled back by SQLite on close. close_v2 lets
        // a record set that is still alive finalize its statement afterwards.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_txDepth = 0;
    m_txFailed = false;
    m_outer = false;
}

void DBConnection::setBusyTimeout(int ms) {
    m_busyMs = ms < 0 ? 0 : ms;
    if (m_db) sqlite3_busy_timeout(m_db, m_busyMs);
}

void DBConnection::setDurableMode() {
    // journal_mode is a property of the file; a read-only connection can
    // neither set nor need it.
    if (!m_readOnly) ExecSQL(this, QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"));
    ExecSQL(this, QStringLiteral("PRAGMA cache_size=-16384; PRAGMA mmap_size=0"));
}

void DBConnection::setFastMode() {
    // The working file is read through a memory map: a year's ledger is
    // scanned by every report, and copying each page into the page cache
    // costs more than the scan itself.
    ExecSQL(this, QStringLiteral("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; "
                                 "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-16384; PRAGMA mmap_size=268435456"));
}

bool DBConnection::beginOuter(bool write) {
    m_busy = false;
    if (!m_db || m_outer || m_txDepth > 0) {
        m_err.add(QStringLiteral("Die Transaktion des Befehls kann nicht beginnen: eine andere ist offen."));
        return false;
    }
    if (!ExecSQL(this, write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"))) {
        m_busy = isBusy(m_db);
        return false;
    }
    m_outer = true;
    return true;
}

bool DBConnection::commitOuter() {
    m_busy = false;
    if (!m_db || !m_outer) return false;
    if (m_txDepth > 0) {
        // A module transaction is still open: its work is not finished.
        m_err.add(QStringLiteral("Eine Transaktion ist beim Abschluss des Befehls noch offen."));
        rollbackOuter();
        return false;
    }
    m_outer = false;
    if (sqlite3_get_autocommit(m_db)) {
        m_err.add(QStringLiteral("Die Transaktion wurde von der Datenbank abgebrochen; die Änderungen sind verloren."));
        return false;
    }
    if (!ExecSQL(this, QStringLiteral("COMMIT"))) {
        m_busy = isBusy(m_db);
        if (!sqlite3_get_autocommit(m_db)) ExecSQL(this, QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

void DBConnection::rollbackOuter() {
    if (!m_db) return;
    finalizeCache();  // a pending statement would keep the rollback from finishing
    m_txDepth = 0;
    m_txFailed = false;
    m_outer = false;
    if (!sqlite3_get_autocommit(m_db)) ExecSQL(this, QStringLiteral("ROLLBACK"));
}

bool DBConnection::beginTransaction() {
    if (!m_db) return false;
    if (m_txDepth == 0) {
        if (!ExecSQL(this, m_outer ? QStringLiteral("SAVEPOINT dalvo_modul") : QStringLiteral("BEGIN"))) return false;
        m_txFailed = false;
    }
    ++m_txDepth;
    return true;
}

bool DBConnection::commit() {
    if (!m_db || m_txDepth == 0) {
        m_err.add(QStringLiteral("Abschluss einer Transaktion ohne offene Transaktion."));
        return false;
    }
    if (--m_txDepth > 0) return !m_txFailed;  // the outermost commit decides

    const bool failed = m_txFailed;
    m_txFailed = false;
    if (m_outer) {
        if (failed) {
            ExecSQL(this, QStringLiteral("ROLLBACK TO dalvo_modul; RELEASE dalvo_modul"));
            return false;
        }
        return ExecSQL(this, QStringLiteral("RELEASE dalvo_modul"));
    }
    if (sqlite3_get_autocommit(m_db)) {
        // SQLite has already rolled back on its own (for example disk full).
        m_err.add(QStringLiteral("Die Transaktion wurde von der Datenbank abgebrochen; die Änderungen sind verloren."));
        return false;
    }
    if (failed) {
        ExecSQL(this, QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!ExecSQL(this, QStringLiteral("COMMIT"))) {
        if (!sqlite3_get_autocommit(m_db)) ExecSQL(this, QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool DBConnection::rollback() {
    if (!m_db || m_txDepth == 0) {
        m_err.add(QStringLiteral("Rücknahme einer Transaktion ohne offene Transaktion."));
        return false;
    }
    if (--m_txDepth > 0) {
        // Inner work failed: the whole transaction must not be committed.
        m_txFailed = true;
        return true;
    }
    m_txFailed = false;
    if (m_outer) return ExecSQL(this, QStringLiteral("ROLLBACK TO dalvo_modul; RELEASE dalvo_modul"));
    if (sqlite3_get_autocommit(m_db)) return true;  // nothing left to undo
    return ExecSQL(this, QStringLiteral("ROLLBACK"));
}

long long DBConnection::lastInsertId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }

// ---- free functions ------------------------------------------------------

bool ExecSQL(DBConnection* con, const QString& sql, long* affected) {
    if (affected) *affected = 0;
    if (!con) return false;
    sqlite3* db = con->handle();
    if (!db) {
        recordSqlError(con, QStringLiteral("Keine Verbindung zur Datenbank"), sql);
        return false;
    }

    const QByteArray utf8 = sql.toUtf8();
    const char* pos = utf8.constData();
    const char* end = pos + utf8.size();
    long changed = 0;
    while (pos < end) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db, pos, int(end - pos), &raw, &tail);
        Statement stmt(raw);
        if (rc != SQLITE_OK) {
            recordSqlError(con, sqliteMessage(db), QString::fromUtf8(pos, int(end - pos)));
            return false;
        }
        if (!stmt.get()) {  // only white space or a comment was left
            pos = tail;
            continue;
        }
        const int before = sqlite3_total_changes(db);
        int step;
        while ((step = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        }
        if (step != SQLITE_DONE) {
            recordSqlError(con, sqliteMessage(db), QString::fromUtf8(sqlite3_sql(stmt.get())));
            return false;
        }
        // sqlite3_changes keeps the count of the last INSERT/UPDATE/DELETE
        // across other statements; only take it when this one changed rows.
        // (It excludes rows changed by triggers, which total_changes counts.)
        if (sqlite3_total_changes(db) != before) changed += long(sqlite3_changes(db));
        pos = tail;
    }
    if (affected) *affected = changed;
    return true;
}

QString rsSqliteText(sqlite3* db) {
    if (!db) return QStringLiteral("Keine Verbindung zur Datenbank.");
    // What the person can act on is said in German; the rest (mostly faults
    // of a statement) keeps SQLite's own words for the log.
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("Auf dem Datenträger ist kein Speicherplatz mehr frei.");
    case SQLITE_READONLY:
        return QStringLiteral("Die Datenbank ist schreibgeschützt.");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Keine Berechtigung für die Datenbankdatei.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Die Datenbankdatei kann nicht geöffnet werden (fehlt sie, oder fehlt die Berechtigung?).");
    case SQLITE_IOERR:
        return QStringLiteral("Ein-/Ausgabefehler beim Zugriff auf die Datenbankdatei.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Die Datenbank wird gerade von einem anderen Programm benutzt.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Die Datei ist beschädigt oder keine Datenbank.");
    case SQLITE_NOMEM:
        return QStringLiteral("Zu wenig Arbeitsspeicher.");
    default:
        return QString::fromUtf8(sqlite3_errmsg(db));
    }
}

QStringList rsIntegritaetPruefen(const QString& pfad) {
    DBConnection con;
    con.setReadOnly(true);
    if (!con.createAndConnect(pfad)) return {con.getErr()->last()};
    ExecSQL(&con, QStringLiteral("PRAGMA cache_size=-16384"));
    QStringList befunde;
    rsDataSource rs(&con, QStringLiteral("PRAGMA integrity_check(100)"));
    for (; !rs.isEOF(); rs.fetch()) {
        const QString t = rs.getFields()->getField(0).toString();
        if (t != QLatin1String("ok")) befunde << t;
    }
    if (rs.isError()) befunde << con.getErr()->last();
    return befunde;
}

DBConnection* rsFallDB(DBConnection* con) {
    if (con) return con;
    return g_fallQuelle ? g_fallQuelle() : nullptr;
}

void rsSetFallDBQuelle(DBConnection* (*quelle)()) { g_fallQuelle = quelle; }

bool rsDbCorruptionSeen() { return g_corruption; }
void rsDbResetCorruptionSeen() { g_corruption = false; }

long GetDBVersion(DBConnection* con) {
    if (!con || !con->isOpen() || !rsTableExists(con, QStringLiteral("Version"))) return 0;
    return long(GetDatenTyp(con, QStringLiteral("SELECT MAX(Version) FROM Version")).toLongLong());
}

bool DBNeedsUpdate(DBConnection* con, DBConnection* reference, QString& versionString) {
    const long version = GetDBVersion(con);
    versionString = QString::number(version);
    if (!reference || !reference->isOpen()) return version == 0;
    return version < GetDBVersion(reference);
}

// ATTACH works inside a transaction, but DETACH of a file that the
// transaction has read fails until it ends, and the alias would stay attached
// to the connection. Hence the copy refuses to run inside a transaction.
namespace {
// Copies the common columns of `table` from the attached `alias` into main;
// -1 on error.
long kopiereTabelle(DBConnection* con, const QString& alias, const QString& table) {
    long copied = 0;
    const QStringList target = tableColumns(con, QStringLiteral("main"), table);
    QSet<QString> source;
    {
        rsDataSource probe(con, QStringLiteral("PRAGMA %1.table_info(%2)").arg(quoteIdentifier(alias), quoteIdentifier(table)));
        if (probe.isError()) return -1;  // for example: the file is no database
        for (; !probe.isEOF(); probe.fetch()) source.insert(probe.field(QStringLiteral("name")).toString().toLower());
    }  // the record set must be finalized before DETACH
    QStringList common;
    for (const QString& column : target)
        if (source.contains(column.toLower())) common << quoteIdentifier(column);
    if (common.isEmpty()) return 0;
    const QString cols = common.join(QLatin1Char(','));
    const QString sql = QStringLiteral("INSERT OR REPLACE INTO main.%1 (%2) SELECT %2 FROM %3.%1")
                            .arg(quoteIdentifier(table), cols, quoteIdentifier(alias));
    if (!ExecSQL(con, sql, &copied)) return -1;
    return copied;
}

// Attaches `externalPath` under a fresh alias; empty on failure (recorded).
QString haengeAn(DBConnection* con, const QString& externalPath, const QString& was) {
    if (!con) return QString();
    if (!con->isOpen()) {
        recordSqlError(con, QStringLiteral("Keine Verbindung zur Datenbank"), QStringLiteral("ATTACH"));
        return QString();
    }
    if (con->inTransaction() || con->inOuter() || !sqlite3_get_autocommit(con->handle())) {
        con->getErr()->add(QStringLiteral("Die Tabelle „%1“ kann nicht innerhalb einer offenen Transaktion "
                                          "aus „%2“ übernommen werden.")
                               .arg(was, externalPath));
        return QString();
    }
    if (!QFileInfo(externalPath).isFile()) {
        con->getErr()->add(QStringLiteral("Die Datenbank „%1“ konnte nicht geöffnet werden: Datei nicht gefunden.")
                               .arg(externalPath));
        return QString();
    }
    // A fresh alias per call, so a nested use (or a left-over attachment)
    // never collides.
    static std::atomic<int> counter{0};
    const QString alias = QStringLiteral("dalvo_extern%1").arg(++counter);
    if (!ExecSQL(con, QStringLiteral("ATTACH DATABASE %1 AS %2").arg(rsDataSource::toSqlStr(externalPath), quoteIdentifier(alias))))
        return QString();
    return alias;
}
}  // namespace

// ATTACH works inside a transaction, but DETACH of a file that the
// transaction has read fails until it ends, and the alias would stay attached
// to the connection. Hence the copy refuses to run inside a transaction.
long rsCopyTablesFromExternalDatabase(DBConnection* con, const QString& externalPath, const QString& table) {
    const QString alias = haengeAn(con, externalPath, table);
    if (alias.isEmpty()) return -1;
    const long copied = kopiereTabelle(con, alias, table);
    ExecSQL(con, QStringLiteral("DETACH DATABASE %1").arg(quoteIdentifier(alias)));
    return copied;
}

bool rsReplaceTablesFromExternalDatabase(DBConnection* con, const QString& externalPath, const QStringList& tables) {
    const QString alias = haengeAn(con, externalPath, tables.join(QStringLiteral(", ")));
    if (alias.isEmpty()) return false;
    DBTransaktion tx(con);
    bool ok = tx.ok();
    for (const QString& t : tables) {
        if (!ok) break;
        ok = ExecSQL(con, QStringLiteral("DELETE FROM main.%1").arg(quoteIdentifier(t))) && kopiereTabelle(con, alias, t) >= 0;
    }
    // Ended before the DETACH, which SQLite refuses inside a transaction.
    if (ok) ok = tx.commit();
    else tx.rollback();
    ExecSQL(con, QStringLiteral("DETACH DATABASE %1").arg(quoteIdentifier(alias)));
    return ok;
}

bool rsTableExists(DBConnection* con, const QString& table) {
    if (!con || !con->isOpen()) return false;
    const DatenTyp n = GetDatenTyp(con, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type IN ('table','view') "
                                                       "AND name=%1 COLLATE NOCASE")
                                            .arg(rsDataSource::toSqlStr(table)));
    return n.toLongLong() > 0;
}

bool rsColumnExists(DBConnection* con, const QString& table, const QString& column) {
    if (!con || !con->isOpen()) return false;
    for (const QString& name : tableColumns(con, QStringLiteral("main"), table))
        if (name.compare(column, Qt::CaseInsensitive) == 0) return true;
    return false;
}
