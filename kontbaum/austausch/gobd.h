// The data carrier for a tax audit (§ 147 Abs. 6 AO, "Z3" access): the
// books of the case as CSV files with an index.xml that describes them in
// the tax authorities' description standard (Beschreibungsstandard 1.5,
// DTD gdpdu-01-09-2004.dtd, written beside it). The auditor's software reads
// the index and imports each table with the column types declared there.
//
// Each table is one description (gobd_tabellen.cpp): file, name, the SQL
// that reads it and its columns with their types. A table of a subsystem
// names the case table it reads; where the case has no such table the
// description is left out, so a register added later only needs its entry.
// The registers of the data tree (assets, current assets, investment
// deductions, vehicles) give their rows by a function instead of SQL.
//
// Relies on: rahmen (case database, case properties), faktura (the firm's
// data for the data supplier), anlagen (the registers of the data tree).
#pragma once

#include "host/values/datentyp.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace GoBD {

// How a column is declared and written: AlphaNumeric (in quotes), Numeric
// without decimals, Numeric with two decimals (money, rates) and Date
// (DD.MM.YYYY).
enum class Typ { Text, Ganzzahl, Betrag, Datum };

struct Spalte {
    QString name, beschreibung;
    Typ typ;
    bool schluessel = false;  // part of the primary key (VariablePrimaryKey)
};

// A reference to another table: `spalten` of this table name the primary
// key `ziel` of the table `tabelle` (its Name).
struct Verweis {
    QString spalte, tabelle, ziel;
};

struct Tabelle {
    QString datei;         // the CSV, relative to index.xml
    QString name;          // the table's Name in the index
    QString beschreibung;
    QString quelle;        // the case table that must exist for the table to be exported
    QString sql;           // SELECT returning the columns in the order of `spalten`
    QVector<Spalte> spalten;
    QVector<Verweis> verweise;
    // A register kept in the case's data tree instead of a table: its rows
    // for the year, in the order of `spalten` (`quelle` and `sql` empty).
    std::function<QVector<QVector<DatenTyp>>(int jahr)> zeilen = nullptr;
};

// The descriptions of every table the export knows.
const QVector<Tabelle>& tabellen();

// The DTD of the description standard 1.5, as written beside index.xml.
extern const char* const kDtdName;  // "gdpdu-01-09-2004.dtd"
QByteArray dtd();

struct Ergebnis {
    bool ok = false;
    QString fehler;       // German reason when !ok; the directory is as it was
    QStringList dateien;  // the files written, index.xml first
    QStringList hinweise; // what the auditor will miss (no firm data for the data supplier)
    long journalzeilen = 0;
};

// Writes the export of the open case into `verzeichnis`, which must not
// exist yet (its parent must) or be empty. The files are first written into
// a hidden directory beside it and moved in only when all are complete, so
// a failure leaves nothing behind. Reads the case only.
Ergebnis exportieren(const QString& verzeichnis);
}  // namespace GoBD
