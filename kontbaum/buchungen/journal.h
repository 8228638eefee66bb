// The ledger as a window pages through it: bookings by voucher date and
// number, filtered, one page at a time from a position (never an OFFSET, so
// page 5 000 of a million bookings costs what page 1 costs); the lines a
// typed booking would post, before it is posted; the next voucher number;
// the lock date as a user moves it; the self-check with the booking each
// finding is about.
//
// Relies on: rahmen (the manager and its case database) and the rest of
// this folder (posting, cancelling, locking, self-check).
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QList>
#include <QString>

class DBConnection;

namespace Journal {

// Which bookings. Empty fields do not filter.
struct Filter {
    zDate von, bis;              // voucher date
    unsigned long konto = 0;     // the account on any line
    QString text;                // part of the booking text
    QString beleg;               // part of the voucher number
    bool mitBetrag = false;
    EuroType betrag;             // the booking's amount (either sign)
    long herkunft = -1;          // origin code
    QList<unsigned long> nummern;  // exactly these bookings
};

// One booking as the ledger lists it: its money line's accounts and side.
struct Zeile {
    unsigned long nummer = 0;
    zDate belegdatum;
    QString belegnummer, text;
    EuroType betrag;
    int art = 0;
    unsigned long konto = 0, gegenkonto = 0;  // of the money line
    bool haben = false;                       // side of the money line
    unsigned long schluessel = 0;             // of the first counter line
    long herkunft = 0;
    bool storno = false, storniert = false;
};

// Where a page begins: after the booking (datum, nummer); the default is
// the start of the ledger.
struct Position {
    zDate datum;
    unsigned long nummer = 0;
    bool anfang = true;
    static Position nach(const Zeile& z) { return {z.belegdatum, z.nummer, false}; }
};

// Up to `anzahl` bookings of `filter` after `ab`, in order of voucher date
// and number. False when the ledger could not be read.
bool seite(DBConnection* db, const Filter& filter, const Position& ab, int anzahl, QList<Zeile>* zeilen);
// How many bookings `filter` finds.
long anzahl(DBConnection* db, const Filter& filter);

// One line a booking posts, as the preview shows it.
struct Vorschauzeile {
    unsigned long konto = 0, gegenkonto = 0;
    EuroType betrag;
    bool haben = false;
    unsigned long schluessel = 0;
    bool steuerzeile = false;  // a tax line the key generated
};
// The lines the module would post for `b`: the booking is posted inside a
// savepoint and rolled back, so the preview is the posting itself (net
// and tax, the entertainment split, the reverse-charge lines). Needs the
// write lock for that moment (inside an action of the window); nothing
// stays. False with the module's German refusal in `fehler`.
bool vorschau(DBConnection* db, const KontoGlobal::BuchungsEntwurf& b, QList<Vorschauzeile>* zeilen, QString* fehler);

// The voucher number to propose next: the one after the latest booking's
// voucher number in its series ("RE-0041" -> "RE-0042"); empty when the
// latest booking has none.
QString naechsteBelegnummer(DBConnection* db);

// Moves the lock date to `bis` as a user asks for it: a date before the
// present lock or outside the year is refused. `unveraendert` when it was
// there already. Empty, or the German refusal (nothing changed).
QString festschreiben(const zDate& bis, bool* unveraendert);

// The origins a booking can have, with the German name a list shows
// ("Buchungsmaske", "Bankumsatz", "Rechnung", …), in the order of their code.
struct Herkunft {
    long code;
    QString name;
};
const QList<Herkunft>& herkuenfte();
// The name of one origin ("Herkunft 42" for a code the table lacks).
QString herkunftName(long code);

// A finding of the self-check and the booking it is about (0: none named).
struct Befund {
    unsigned long nummer = 0;
    QString text;
};
// The self-check of every ledger booking and its stored amounts.
QList<Befund> selbstpruefung();

}  // namespace Journal
