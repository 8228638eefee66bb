// Subsystem "steuer": the figures the tax office receives, derived from the
// ledger. The advance VAT return (amount per form code, the form's
// arithmetic, hand-over to the return's nodes), the profit of the
// income-surplus statement and its transfer to the EÜR form, and the
// recapitulative statement (ZM) as CSV and XML.
//
// Relies on: rahmen (case database), konten (categories, form positions of
// the accounts), buchungen (tax keys), fall (the form nodes the figures are
// handed to), berichte (the report indexes and the condition that picks the
// lines of posted bookings, berichte/indizes.h). The return's own objects are in voranmeldung.h; the
// operations are members of KontoGlobal (rahmen/kontglob.h: "form codes",
// "profit", "recapitulative statement") and of the form nodes.
#pragma once

#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldung.h"

namespace Gewinnregel {
// The profit from its four totals: income - expenses, less the investment
// deduction while that difference does not exceed the limit
// (KontoGlobal::kIabGewinngrenze), plus the add-back.
EuroType gewinn(const EuroType& einnahmen, const EuroType& ausgaben, const EuroType& iab, const EuroType& hinzurechnung);
}  // namespace Gewinnregel

class DatenBase;
namespace Formularwerte {
// Whether writing `neu` into the form node `knoten` (after emptying it)
// would change or drop a value it holds now: a figure entered by hand, or
// one of an earlier transfer that the ledger no longer gives. Variables
// named in `ausser` do not count. A null node holds nothing.
bool ueberschreibtWerte(const DatenBase* knoten, const QMap<QString, EuroType>& neu, const QStringList& ausser = {});
}  // namespace Formularwerte
