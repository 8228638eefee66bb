// The incoming invoices at the change of year. Under the cash principle an
// incoming invoice is booked when it is paid; one still open on 31 December
// is paid, and booked, in the new year, so the new year's case must have
// it: its original with the SHA-256, the figures, the VAT breakdown and the
// suppliers (with the expense account used before) come over unchanged;
// what was booked stays in the old year's case, the archive of its year.
#pragma once

#include <QString>

class DBConnection;

namespace Eingang {

// Copies every supplier and each incoming invoice of `alt` (the previous
// year's database, only read) whose booking is not live into `neu`, keeping
// their ids. A carried invoice is open: its old booking number (of a
// deleted or cancelled booking) is dropped, since the new ledger's numbers
// start afresh. Returns the number of invoices carried, -1 with `fehler`.
// A previous year without the tables carries nothing.
int vortragen(DBConnection* alt, DBConnection* neu, QString* fehler);

}  // namespace Eingang
