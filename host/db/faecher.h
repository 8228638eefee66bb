// Records put in order by a key in one pass, at a memory that does not grow
// with their number: a bucket sort whose compartments spill to a temporary
// file.
//
// A list of the ledger in order of voucher date, read through the date
// index, fetches every booking from a random place of the table; once the
// table outgrows SQLite's page cache that is a read from the file per
// booking. Read in the order the table is stored instead, each booking goes
// to the compartment of its date, and the compartments are handed on in
// order of their keys. A ledger of a year has a few hundred dates, so the
// compartments are few; what they hold beyond the memory budget waits in
// the file, written and read once.
#pragma once

#include "host/values/datentyp.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class DBConnection;
class QTemporaryFile;

class Faecher {
public:
    // `speicher`: the bytes the compartments hold in memory before they go
    // to the file; `hoechstens`: the most keys taken (a compartment costs
    // a little memory and a read each time it is emptied).
    explicit Faecher(int speicher = 1 << 20, int hoechstens = 4096);
    ~Faecher();
    Faecher(const Faecher&) = delete;
    Faecher& operator=(const Faecher&) = delete;

    // Adds `satz` at the end of the compartment of `schluessel`. False when
    // the records cannot be taken: a key beyond `hoechstens`, or the
    // temporary file could not be written. The store is of no use after a
    // false; the caller reads its records another way.
    bool ablegen(const QByteArray& schluessel, const QByteArray& satz);
    // Hands on every record: keys in byte order (SQLite's order of text),
    // the records of a key in the order they came. The record is valid
    // during the call only. False when the temporary file could not be
    // read back; records of later keys are then not handed on.
    bool lesen(const std::function<void(const QByteArray& schluessel, const QByteArray& satz)>& je);

    int anzahlSchluessel() const { return m_schluessel.size(); }
    // Whether records went to the temporary file (for tests).
    bool ausgelagert() const { return m_datei != nullptr; }

private:
    struct Fach {
        QByteArray puffer;                      // records not yet in the file, each as length and bytes
        QVector<QPair<qint64, int>> stuecke;    // where its earlier records lie in the file
    };
    bool auslagern();

    QHash<QByteArray, int> m_index;
    QVector<QByteArray> m_schluessel;
    QVector<Fach> m_faecher;
    qint64 m_belegt = 0;
    int m_speicher, m_hoechstens;
    int m_letztes = -1;  // the compartment of the last record: runs of one key are common
    std::unique_ptr<QTemporaryFile> m_datei;
    bool m_fehler = false;
};

// A record for the compartments: numbers as variable-length integers, texts
// as their UTF-16 code units (no conversion of text either way).
class FachSatz {
public:
    explicit FachSatz(QByteArray* ziel) : m_b(ziel) {}
    void zahl(qint64 v);
    void text(const QString& t);
    // A value as read from the database (NULL, whole number, double, text or
    // bytes; any other kind comes back as its text).
    void wert(const DatenTyp& w);

private:
    QByteArray* m_b;
};

// Reads what FachSatz wrote, in the same order.
class FachSatzLeser {
public:
    explicit FachSatzLeser(const QByteArray& satz) : m_p(satz.constData()), m_ende(satz.constData() + satz.size()) {}
    qint64 zahl();
    QString text();
    DatenTyp wert();

private:
    const char* m_p;
    const char* m_ende;
};

// Reading a table front to back in place of the random reads of an index.
namespace Tabellenfolge {

// Whether the rows of `tabelle` that satisfy `bedingung` (" WHERE …", served
// by an index) are enough of it that reading the whole table front to back
// beats a random read per row through the index (some four times dearer
// a row once the table outgrows the page cache). The count stops at a
// quarter of the highest rowid, reading the index only.
bool lohnt(DBConnection* db, const QString& tabelle, const QString& bedingung);

// While it lives, the connection's page cache is small: a read front to
// back takes each page once, and a cache sized for reads at random places
// would only take memory.
class KleinerCache {
public:
    explicit KleinerCache(DBConnection* db);
    ~KleinerCache();
    KleinerCache(const KleinerCache&) = delete;
    KleinerCache& operator=(const KleinerCache&) = delete;

private:
    DBConnection* m_db;
    QString m_vorher;
};

// Runs `select` (rows in the order of the table, the last column the key, a
// text) and hands each row without its key to `je`: keys in byte order (the
// order of SQLite's text), the rows
// of a key in the order they came. True when every row was handed on.
// False with *lesefehler when the database failed (some rows may have been
// handed on), false without it when the rows could not be put in order
// (too many keys, no room for the temporary file) and none was handed on:
// the caller then reads them another way.
bool inSchluesselfolge(DBConnection* db, const QString& select, const std::function<void(const QVector<DatenTyp>&)>& je, bool* lesefehler);

}  // namespace Tabellenfolge
