// The bookings behind a figure of a report that sums accounts (a category
// of the profit statement, a group of accounts), for the drill-down from a
// figure to what makes it.
#pragma once

#include "host/values/date.h"

#include <QList>

class DBConnection;

namespace Berichte {

// The numbers of the bookings with a line on one of `konten` and a voucher
// date from `von` to `bis` (an invalid date: open), in number order.
// Cancelled bookings and their cancellations are left out, as the profit
// statement and the balance list leave them out.
QList<unsigned long> buchungenAufKonten(DBConnection* db, const QList<unsigned long>& konten, const zDate& von, const zDate& bis);

}  // namespace Berichte
