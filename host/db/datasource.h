// rsDataSource: a record set over one SELECT. Constructed from a connection
// and the SQL text; the statement is prepared and the first row is fetched at
// once, so after construction either a row is current or isEOF() is true.
//
//   rsDataSource rs(con, "SELECT Nummer, Bezeichnung FROM eurKontenplan");
//   for (; !rs.isEOF(); rs.fetch()) {
//       int n = rs.getFields()->getField("Nummer").toInt();
//   }
//
// fetchScroll() positions on an absolute row (0-based); it re-runs the
// statement when it has to move backwards, so it is correct but not cheap.
// Requery() runs the statement again from the first row.
// A failing statement leaves the set at end of data and records the error in
// the connection's error list (isError() is true).
//
// Literals: toSqlStr renders a value for pasting into SQL text; it is the
// only sanctioned way to put data into a statement.
#pragma once

#include "host/values/datentyp.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class DBConnection;
struct sqlite3_stmt;

// The current row: column name (case-insensitive) → value.
class rsFields {
public:
    // NULL DatenTyp for an unknown column (and rs_logError is not called: callers probe).
    DatenTyp getField(const QString& name) const;
    DatenTyp getField(int index) const;
    bool hasField(const QString& name) const;
    int count() const { return m_values.size(); }
    QString name(int index) const { return m_names.value(index); }
    const QStringList& names() const { return m_names; }

    // Internal: filled by rsDataSource.
    void setNames(const QStringList& names);
    void setValues(const QVector<DatenTyp>& values) { m_values = values; }
    QVector<DatenTyp>& zeilenpuffer() { return m_values; }

private:
    QStringList m_names;
    QHash<QString, int> m_index;  // lower-case name → column
    QVector<DatenTyp> m_values;
};

class rsDataSource {
public:
    rsDataSource(DBConnection* con, const QString& sql);
    // The same over "?" placeholders bound to `werte` (bound as QueryPrepared
    // binds them, so the rows are those of pasted literals). The statement
    // comes from the connection's pool: a query run once per row of another
    // is parsed once. The connection must outlive the record set.
    rsDataSource(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte);
    ~rsDataSource();
    rsDataSource(const rsDataSource&) = delete;
    rsDataSource& operator=(const rsDataSource&) = delete;

    bool isEOF() const { return m_eof; }
    bool isError() const { return m_error; }
    bool fetch();                 // next row; false at end of data
    bool fetchScroll(long row);   // absolute 0-based row; false when out of range
    void Requery();
    long currentRow() const { return m_row; }

    rsFields* getFields() { return &m_fields; }
    const rsFields* getFields() const { return &m_fields; }
    DatenTyp field(const QString& name) const { return m_fields.getField(name); }

    // Value of the first column of the first row as unsigned key (0 for NULL / no row).
    unsigned long GetMaxKey();

    const QString& sql() const { return m_sql; }

    // SQL literals. Text: quotes doubled, NULL-free; numbers with '.'; booleans
    // -1/0; dates 'YYYY-MM-DD 00:00:00', the invalid date as ''.
    static QString toSqlStr(const QString& text);
    static QString toSqlStr(const char* text) { return toSqlStr(QString::fromUtf8(text)); }
    static QString toSqlStr(int v);
    static QString toSqlStr(long v);
    static QString toSqlStr(unsigned long v);
    static QString toSqlStr(long long v);
    static QString toSqlStr(unsigned int v) { return toSqlStr((unsigned long)v); }
    static QString toSqlStr(double v);
    static QString toSqlStr(const EuroType& v);
    static QString toSqlStr(bool v);
    static QString toSqlStr(const zDate& v);
    static QString toSqlStr(const DatenTyp& v);

private:
    bool step();
    void prepare();

    void freigeben();

    DBConnection* m_con;
    QString m_sql;
    QVector<DatenTyp> m_werte;
    bool m_gebunden = false;  // built with values: the statement is the pool's
    sqlite3_stmt* m_stmt = nullptr;
    rsFields m_fields;
    bool m_eof = true;
    bool m_error = false;
    long m_row = -1;
};

// One value: first column of the first row of `sql`; NULL DatenTyp when there
// is no row or on error.
DatenTyp GetDatenTyp(DBConnection* con, const QString& sql);
inline DatenTyp rs_getDatenTyp(DBConnection* con, const QString& sql) { return GetDatenTyp(con, sql); }

// Copies the rows of `select` (run on `from`) into `table` of `to`, column by
// column in the order of `columns` (the select must yield that many columns,
// matched by position). All rows go in one transaction of `to` through one
// prepared statement; on any failure nothing is kept. `transform`, when set,
// may change a row's values before it is written, or return false to leave
// the row out. Returns the number of rows written, -1 on failure (the reason
// is in `to`'s error list).
long rsCopyRows(DBConnection* from, const QString& select, DBConnection* to, const QString& table,
                const QStringList& columns,
                const std::function<bool(QVector<DatenTyp>& row)>& transform = nullptr);

// Runs `sql` (one statement with "?" placeholders) through the connection's
// statement cache with `werte` bound in order. The values are bound as
// toSqlStr would render them, so the rows are the same as with pasted
// literals; the statement is parsed once per connection instead of once per
// call. ExecPrepared returns false with the error recorded, as ExecSQL does; QueryPrepared
// returns the first row (empty when there is none or on error).
bool ExecPrepared(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte);
// The same for `anzahl` values at `werte` (an array on the caller's stack:
// a writer of many rows then builds no vector per row).
bool ExecPrepared(DBConnection* con, const QString& sql, const DatenTyp* werte, int anzahl);
QVector<DatenTyp> QueryPrepared(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte);
