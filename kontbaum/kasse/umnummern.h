// The bookings of a cash file taken into the case under new numbers.
//
// The imported bookings are numbered after the case's highest in the order
// of their dates (and, on a day, of their old numbers). Headers and lines
// go into the case in that order, so each row and each entry of the case's
// indexes lands behind the one before; in any other order every line would
// hit another page of the line indexes, which at a large case costs more
// than the copy itself. The file is read in the order it is stored and the
// rows put in order by compartments (host/db/faecher.h), not by SQLite's
// sort after a random read per row.
#pragma once

#include <QString>
#include <QStringList>

class DBConnection;

namespace Kasse {

struct Umnummerung {
    DBConnection* datei = nullptr;  // the file, read only
    DBConnection* fall = nullptr;   // the case, inside the caller's transaction
    QString bedingung;              // which headers of the file (a condition on eurVerbucht)
    QStringList kopfSpalten;        // the columns of eurVerbucht both have
    QStringList zeilenSpalten;      // those of eurVerbuchtBuchungszeilen, without ID
};

// Copies the headers `u.bedingung` selects and their lines, numbering from
// *naechste on (advanced past the last number given). The number of
// bookings copied; -1 with the reason in *fehler, rows already written
// then left to the caller's rollback.
long kopiereUmnummeriert(const Umnummerung& u, unsigned long* naechste, QString* fehler);

}  // namespace Kasse
