// The indexes the reports read the ledger through, and the condition by
// which every report that sums the ledger picks the lines of posted
// bookings.
//
// The balance list, the advance VAT return and the profit statement sum
// eurVerbuchtBuchungszeilen per account, key, side and counter account in
// the database. idx_eurVerbuchtBZ_KontoSteuer holds exactly these columns
// in that order, so a report over the year walks one index once (or one
// range of it per account) without reading the table and without sorting.
// Looking up the header of every line in that order would be a random read
// per line; instead the condition names the few bookings whose lines do not
// count, or, for a period, the bookings that do.
#pragma once

#include "host/values/euro.h"

#include <QString>
#include <QtGlobal>

#include <cmath>

class DBConnection;

namespace Berichte {

// Gives a case database the report indexes of the empty-case template that
// it lacks or holds in another form, and drops the account index they
// replace. Idempotent: on a database that has them it only reads (so it may
// be read-only). Meant for opening a case for writing and for the end of a
// conversion; the first run on a ledger of a million bookings takes a few
// seconds. False when a statement failed (the message is in db->getErr());
// the reports give the same figures without the indexes, only slower.
// Runs no transaction of its own: inside the caller's each index is
// created with it, outside each statement is one.
bool indizesSicherstellen(DBConnection* db);

// An SQL condition on z.Buchungsnummer (z = eurVerbuchtBuchungszeilen) that
// keeps exactly the lines a join with their header keeps: lines whose
// booking exists; with `ohneStorno` only bookings that are neither
// cancelled nor a cancellation; with `kopf` (SQL over the columns of
// eurVerbucht, e.g. "MONTH(Belegdatum) = 3") only bookings whose header
// satisfies it. Without `kopf` it reads `db` to find the bookings whose
// lines do not count, so the condition holds for the ledger as it is now:
// build it right before the statement that uses it.
QString gebuchteZeilen(DBConnection* db, bool ohneStorno, const QString& kopf = QString());

// How many accounts from `von` to `bis` have lines, counted up to
// `hoechstens` + 1: one seek of the account index per account, whatever
// the number of lines.
int kontenMitZeilen(DBConnection* db, unsigned long von, unsigned long bis, int hoechstens);

// SQL for the sum of z.Betrag in whole cents. Every amount is a cent amount,
// and a sum of whole numbers is exact in any order: the database may add the
// lines in index order, and a base cut to whole euros never loses a euro to
// a binary remainder of the addition.
QString centSumme();

// A cent sum as read from the database (SUM over ROUND yields a whole
// number, held as a double: exact far beyond any ledger), and cents as the
// double a report cell shows (the double nearest to the decimal amount).
inline qint64 cent(double centSumme) { return qint64(std::llround(centSumme)); }
inline double euro(qint64 cent) { return EuroType::ausCent(cent).alsDouble(); }

}  // namespace Berichte
