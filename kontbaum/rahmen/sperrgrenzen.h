// The limits of the tax law a case carries as reference data (its table
// eurSperrgrenzen, filled from the program's table for the case's year), read
// where a rule needs one. A case file made before a limit was known keeps
// working with the limit of the law for 2015 and 2016.
#pragma once

#include "host/values/euro.h"

#include <QString>

class DBConnection;

namespace Sperrgrenzen {

// The amount named `bezeichnung` in the case's table; `vorgabe` when the
// case has no such row or `db` is null.
EuroType betrag(DBConnection* db, const QString& bezeichnung, const EuroType& vorgabe);

// The profit up to which an income-surplus statement may take an investment
// deduction (§ 7g Abs. 1 Satz 2 Nr. 1 Buchst. c EStG in the version up to
// 2019: 100 000 EUR before the deductions and their additions back). The
// profit rule takes the deduction only while the profit before it stays
// within this limit.
EuroType iabGewinngrenze(DBConnection* db);

}  // namespace Sperrgrenzen
