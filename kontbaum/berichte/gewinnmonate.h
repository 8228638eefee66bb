// Income, expenses and profit of the income-surplus statement month by
// month: the figures of the small chart a user sees first. The months add
// up to the income and expenses of the profit statement (EUERechnung2):
// the same accounts, the same signs, cancelled bookings and their
// cancellations left out; the investment deduction and its add-back are
// figures of the year and belong to no month.
#pragma once

#include "host/values/euro.h"

#include <QVector>

class DBConnection;

namespace Berichte {

struct Monatsgewinn {
    EuroType einnahmen, ausgaben;
    EuroType gewinn() const { return einnahmen - ausgaben; }
};

// Twelve entries, January first, by the voucher date of the bookings. All
// zero without a case or without bookings.
QVector<Monatsgewinn> gewinnJeMonat(DBConnection* db);

}  // namespace Berichte
