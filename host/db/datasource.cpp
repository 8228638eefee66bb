// rsDataSource and rsFields: reading the rows of one SELECT as DatenTyp
// values, and toSqlStr, the single place where values become SQL literals.
//
// SQLite's storage classes map one to one: INTEGER → Int, REAL → Double,
// TEXT → Text, BLOB → Blob, NULL → Null. Dates and amounts are therefore read
// as text and reals; DatenTyp converts on demand (toDate, toEuro).
#include "host/db/datasource.h"

#include "host/db/connection.h"

#include <sqlite3.h>

#include <QVarLengthArray>

#include <cmath>

// ---- rsFields ----------------------------------------------------------------

void rsFields::setNames(const QStringList& names) {
    m_names = names;
    m_index.clear();
    // "SELECT a.ID, b.ID" yields two columns named ID: the first one wins,
    // as a reader who asks for "ID" expects the leading table's key.
    for (int i = 0; i < names.size(); ++i) {
        const QString key = names.at(i).toLower();
        if (!m_index.contains(key)) m_index.insert(key, i);
    }
}

DatenTyp rsFields::getField(const QString& name) const { return getField(m_index.value(name.toLower(), -1)); }

DatenTyp rsFields::getField(int index) const { return m_values.value(index); }

bool rsFields::hasField(const QString& name) const { return m_index.contains(name.toLower()); }

// ---- rsDataSource --------------------------------------------------------------

rsDataSource::rsDataSource(DBConnection* con, const QString& sql) : m_con(con), m_sql(sql) {
    prepare();
    step();
}

rsDataSource::rsDataSource(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte)
    : m_con(con), m_sql(sql), m_werte(werte), m_gebunden(true) {
    prepare();
    step();
}

rsDataSource::~rsDataSource() { freigeben(); }

void rsDataSource::freigeben() {
    if (m_gebunden && m_stmt && m_con) m_con->zurueckgeben(m_sql, m_stmt);
    else sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

namespace {
int bindValue(sqlite3_stmt* st, int pos, const DatenTyp& v, QVarLengthArray<char, 2048>* puffer);
}

void rsDataSource::prepare() {
    freigeben();
    m_eof = true;
    m_error = false;
    m_row = -1;
    m_fields.setValues({});

    if (!m_con) {
        m_error = true;
        return;
    }
    sqlite3* db = m_con->handle();
    if (!db) {
        m_con->getErr()->add(QStringLiteral("Keine Verbindung zur Datenbank — SQL: ") + m_sql);
        m_error = true;
        return;
    }
    if (m_gebunden) {
        m_stmt = m_con->leihen(m_sql);
        if (!m_stmt) {
            m_error = true;
            return;
        }
        for (int i = 0; i < m_werte.size(); ++i) bindValue(m_stmt, i + 1, m_werte[i], nullptr);
    }
    // Only the first statement is run; a record set reads one result.
    const QByteArray utf8 = m_gebunden ? QByteArray() : m_sql.toUtf8();
    if (!m_gebunden && sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &m_stmt, nullptr) != SQLITE_OK) {
        m_con->getErr()->add(rsSqliteText(db) + QStringLiteral(" — SQL: ") + m_sql);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_error = true;
        return;
    }
    QStringList names;
    const int columns = m_stmt ? sqlite3_column_count(m_stmt) : 0;
    for (int i = 0; i < columns; ++i) names << QString::fromUtf8(sqlite3_column_name(m_stmt, i));
    m_fields.setNames(names);
}

// Advances the statement by one row; m_row counts the rows read, so at end
// of data it stands one past the last row.
bool rsDataSource::step() {
    if (!m_stmt) {
        m_eof = true;
        return false;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) {
            m_con->getErr()->add(rsSqliteText(m_con->handle()) + QStringLiteral(" — SQL: ") +
                                 m_sql);
            m_error = true;
        }
        m_eof = true;
        ++m_row;
        m_fields.setValues({});
        return false;
    }

    const int columns = sqlite3_column_count(m_stmt);
    // The row is read into the buffer of the previous one: a long result
    // then costs no allocation per row. A caller that kept a copy of an
    // earlier row keeps its values (the buffer detaches).
    QVector<DatenTyp>& values = m_fields.zeilenpuffer();
    values.resize(columns);
    for (int i = 0; i < columns; ++i) {
        switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_INTEGER:
            values[i] = DatenTyp(qlonglong(sqlite3_column_int64(m_stmt, i)));
            break;
        case SQLITE_FLOAT:
            values[i] = DatenTyp(sqlite3_column_double(m_stmt, i));
            break;
        case SQLITE_TEXT: {
            // text before bytes: the byte count is of the converted form
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
            values[i] = DatenTyp(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, i)));
            break;
        }
        case SQLITE_BLOB: {
            const char* blob = static_cast<const char*>(sqlite3_column_blob(m_stmt, i));
            values[i] = DatenTyp::fromBlob(QByteArray(blob, sqlite3_column_bytes(m_stmt, i)));
            break;
        }
        default:
            values[i] = DatenTyp();
        }
    }
    m_eof = false;
    ++m_row;
    return true;
}

bool rsDataSource::fetch() {
    if (m_eof) return false;
    return step();
}

bool rsDataSource::fetchScroll(long row) {
    if (row < 0 || m_error) return false;
    if (row < m_row) Requery();  // a forward-only statement: start over
    while (!m_eof && m_row < row) step();
    return !m_eof && m_row == row;
}

void rsDataSource::Requery() {
    if (m_stmt) {
        // reset keeps the compiled statement; it sees the current data.
        sqlite3_reset(m_stmt);
        m_eof = true;
        m_error = false;
        m_row = -1;
        m_fields.setValues({});
    } else {
        prepare();  // it may have failed before because a table was missing
    }
    step();
}

unsigned long rsDataSource::GetMaxKey() {
    if (m_eof) return 0;
    const DatenTyp v = m_fields.getField(0);
    if (v.isNull()) return 0;
    const qlonglong n = v.toLongLong();
    return n > 0 ? (unsigned long)n : 0;
}

// ---- literals -------------------------------------------------------------

QString rsDataSource::toSqlStr(const QString& text) {
    QString s = text;
    s.remove(QChar(0));  // SQLite would end the text there
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString rsDataSource::toSqlStr(int v) { return QString::number(v); }
QString rsDataSource::toSqlStr(long v) { return QString::number(v); }
QString rsDataSource::toSqlStr(unsigned long v) { return QString::number(v); }
QString rsDataSource::toSqlStr(long long v) { return QString::number(v); }

// 15 significant digits carry every amount up to billions exactly to the cent
// and stay short; the C locale of QString::number guarantees the '.'.
QString rsDataSource::toSqlStr(double v) {
    if (!std::isfinite(v)) return QStringLiteral("NULL");  // SQL has no literal for them
    return QString::number(v, 'g', 15);
}

// Cents go out as the same literal a double amount always had (c / 100,
// 15 significant digits), so files written before and after read alike.
QString rsDataSource::toSqlStr(const EuroType& v) { return toSqlStr(v.alsDouble()); }

QString rsDataSource::toSqlStr(bool v) { return v ? QStringLiteral("-1") : QStringLiteral("0"); }

QString rsDataSource::toSqlStr(const zDate& v) {
    if (!v.isValid()) return QStringLiteral("''");
    return QString::asprintf("'%04d-%02d-%02d 00:00:00'", v.year(), v.month(), v.day());
}

QString rsDataSource::toSqlStr(const DatenTyp& v) {
    switch (v.art()) {
    case DatenTyp::Null: return QStringLiteral("NULL");
    case DatenTyp::Int: return toSqlStr((long long)v.toLongLong());
    case DatenTyp::Double: return toSqlStr(v.toDouble());
    case DatenTyp::Euro: return toSqlStr(v.toEuro());
    case DatenTyp::Bool: return toSqlStr(v.toBool());
    case DatenTyp::Text: return toSqlStr(v.toString());
    case DatenTyp::Datum: return toSqlStr(v.toDate());
    case DatenTyp::Blob: return QStringLiteral("X'") + QString::fromLatin1(v.toBlob().toHex()) + QLatin1Char('\'');
    }
    return QStringLiteral("NULL");
}

// ---- single values ---------------------------------------------------------

DatenTyp GetDatenTyp(DBConnection* con, const QString& sql) {
    rsDataSource rs(con, sql);
    return rs.isEOF() ? DatenTyp() : rs.getFields()->getField(0);
}

namespace {
// The double a pasted literal of `d` (15 significant digits) reads back as.
// An amount of whole cents below 10^13 is already that double: it is the
// double nearest to a decimal of at most 15 digits, and that decimal is
// what the literal prints and parses back to. Only other values pay for
// the round trip through text. The literal of -0 is "0".
double alsLiteral(double d) {
    if (std::fabs(d) < 1e13) {
        const double cents = double(std::llround(d * 100.0));
        if (cents / 100.0 == d) return d == 0.0 ? 0.0 : d;
    }
    return QString::number(d, 'g', 15).toDouble();
}

// Bytes of the texts of one row, bound without a copy (SQLITE_STATIC): the
// caller reserves room for all of them before the first is bound, so no
// append moves the earlier ones, and clears the bindings before the
// bytes go away.
using Zeilenpuffer = QVarLengthArray<char, 2048>;

// Room the texts of `werte` need at most in a Zeilenpuffer.
int pufferGroesse(const DatenTyp* werte, int anzahl) {
    int n = 0;
    for (int i = 0; i < anzahl; ++i) {
        if (werte[i].art() == DatenTyp::Text) n += 3 * werte[i].variant().toString().size();
        else if (werte[i].art() == DatenTyp::Datum) n += 19;
    }
    return n;
}

// Binds `n` bytes as text: from the row's buffer when there is one, else
// copied by SQLite.
int bindBytes(sqlite3_stmt* st, int pos, const char* bytes, int n, Zeilenpuffer* puffer) {
    if (!puffer || puffer->capacity() - puffer->size() < n) return sqlite3_bind_text(st, pos, bytes, n, SQLITE_TRANSIENT);
    const int von = puffer->size();
    puffer->append(bytes, n);
    return sqlite3_bind_text(st, pos, puffer->constData() + von, n, SQLITE_STATIC);
}

// UTF-8 of `t` as QString::toUtf8 writes it. A text without surrogates is
// encoded here, into the row's buffer; the rare other goes through QString.
int bindText(sqlite3_stmt* st, int pos, const QString& t, Zeilenpuffer* puffer) {
    const int n = t.size();
    // Without room the buffer would move the texts bound before.
    if (puffer && puffer->capacity() - puffer->size() < 3 * n) puffer = nullptr;
    Zeilenpuffer eigener;
    Zeilenpuffer& out = puffer ? *puffer : eigener;
    const int von = out.size();
    const QChar* c = t.constData();
    bool ok = true;
    for (int i = 0; ok && i < n; ++i) {
        const ushort u = c[i].unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u < 0x800) {
            out.append(char(0xC0 | (u >> 6)));
            out.append(char(0x80 | (u & 0x3F)));
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            ok = false;
        } else {
            out.append(char(0xE0 | (u >> 12)));
            out.append(char(0x80 | ((u >> 6) & 0x3F)));
            out.append(char(0x80 | (u & 0x3F)));
        }
    }
    if (!ok) {
        out.resize(von);
        const QByteArray b = t.toUtf8();
        return sqlite3_bind_text(st, pos, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
    return sqlite3_bind_text(st, pos, out.constData() + von, out.size() - von, puffer ? SQLITE_STATIC : SQLITE_TRANSIENT);
}

// Binds one value the way toSqlStr would render it, so a copied row reads
// back exactly like one written through SQL text. Texts go into `puffer`
// when it is given (see Zeilenpuffer).
int bindValue(sqlite3_stmt* st, int pos, const DatenTyp& v, Zeilenpuffer* puffer = nullptr) {
    switch (v.art()) {
    case DatenTyp::Null:
        return sqlite3_bind_null(st, pos);
    case DatenTyp::Int:
        return sqlite3_bind_int64(st, pos, v.toLongLong());
    case DatenTyp::Double:
    case DatenTyp::Euro: {
        const double d = v.toDouble();
        if (!std::isfinite(d)) return sqlite3_bind_null(st, pos);
        return sqlite3_bind_double(st, pos, alsLiteral(d));
    }
    case DatenTyp::Bool:
        return sqlite3_bind_int(st, pos, v.toBool() ? -1 : 0);
    case DatenTyp::Datum: {
        // The literal's text without its quotes. Years of four digits are
        // written here (every posting passes this per date); any other goes
        // through the literal itself.
        const zDate d = v.toDate();
        int y = 0, m = 0, t = 0;
        if (d.isValid()) d.qdate().getDate(&y, &m, &t);
        if (y > 0 && y <= 9999) {
            const char text[19] = {char('0' + y / 1000), char('0' + y / 100 % 10), char('0' + y / 10 % 10), char('0' + y % 10), '-',
                                   char('0' + m / 10),   char('0' + m % 10),       '-',  char('0' + t / 10), char('0' + t % 10),
                                   ' ', '0', '0', ':', '0', '0', ':', '0', '0'};
            return bindBytes(st, pos, text, int(sizeof text), puffer);
        }
        const QString literal = rsDataSource::toSqlStr(d);
        const QByteArray u = literal.mid(1, literal.size() - 2).toUtf8();  // without the quotes
        return sqlite3_bind_text(st, pos, u.constData(), u.size(), SQLITE_TRANSIENT);
    }
    case DatenTyp::Blob: {
        const QByteArray b = v.toBlob();
        return sqlite3_bind_blob(st, pos, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
    case DatenTyp::Text:
    default:
        return bindText(st, pos, v.toString(), puffer);
    }
}
}  // namespace

long rsCopyRows(DBConnection* from, const QString& select, DBConnection* to, const QString& table,
                const QStringList& columns, const std::function<bool(QVector<DatenTyp>& row)>& transform) {
    if (!from || !to || !to->handle() || columns.isEmpty()) return -1;
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
    const QString sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                        QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(to->handle(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        to->getErr()->add(rsSqliteText(to->handle()) + QStringLiteral(" (") + sql + QStringLiteral(")"));
        return -1;
    }
    DBTransaktion tx(to);
    if (!tx.ok()) {
        sqlite3_finalize(st);
        return -1;
    }
    long n = 0;
    bool ok = true;
    rsDataSource rs(from, select);
    if (rs.isError()) ok = false;
    for (; ok && !rs.isEOF(); rs.fetch()) {
        const rsFields* f = rs.getFields();
        if (f->count() < columns.size()) {
            to->getErr()->add(QStringLiteral("Zu wenige Spalten beim Kopieren nach ") + table);
            ok = false;
            break;
        }
        QVector<DatenTyp> row(columns.size());
        for (int i = 0; i < columns.size(); ++i) row[i] = f->getField(i);
        if (transform && !transform(row)) continue;
        sqlite3_reset(st);
        for (int i = 0; i < columns.size(); ++i) bindValue(st, i + 1, row[i]);
        if (sqlite3_step(st) != SQLITE_DONE) {
            to->getErr()->add(rsSqliteText(to->handle()) + QStringLiteral(" (") + sql + QStringLiteral(")"));
            ok = false;
            break;
        }
        ++n;
    }
    if (rs.isError()) ok = false;
    sqlite3_finalize(st);
    if (!ok) {
        tx.rollback();
        return -1;
    }
    return tx.commit() ? n : -1;
}

bool ExecPrepared(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte) {
    return ExecPrepared(con, sql, werte.constData(), werte.size());
}

bool ExecPrepared(DBConnection* con, const QString& sql, const DatenTyp* werte, int anzahl) {
    if (!con || !con->handle()) return false;
    sqlite3_stmt* st = con->cachedStatement(sql);
    if (!st) {
        return false;
    }
    // Left clear by the row before; a row of fewer values than places
    // leaves the rest NULL.
    Zeilenpuffer puffer;
    puffer.reserve(pufferGroesse(werte, anzahl));
    for (int i = 0; i < anzahl; ++i) bindValue(st, i + 1, werte[i], &puffer);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok) {
        con->getErr()->add(rsSqliteText(con->handle()) + QStringLiteral(" (") + sql + QStringLiteral(")"));
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);  // the texts were the row's buffer's
    return ok;
}

QVector<DatenTyp> QueryPrepared(DBConnection* con, const QString& sql, const QVector<DatenTyp>& werte) {
    QVector<DatenTyp> zeile;
    if (!con || !con->handle()) return zeile;
    sqlite3_stmt* st = con->cachedStatement(sql);
    if (!st) return zeile;
    for (int i = 0; i < werte.size(); ++i) bindValue(st, i + 1, werte[i]);
    if (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: zeile.append(DatenTyp(qlonglong(sqlite3_column_int64(st, c)))); break;
            case SQLITE_FLOAT: zeile.append(DatenTyp(sqlite3_column_double(st, c))); break;
            case SQLITE_TEXT:
                zeile.append(DatenTyp(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c))));
                break;
            case SQLITE_BLOB:
                zeile.append(DatenTyp::fromBlob(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c))));
                break;
            default: zeile.append(DatenTyp()); break;
            }
        }
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);  // as ExecPrepared leaves it, for the next caller
    return zeile;
}
