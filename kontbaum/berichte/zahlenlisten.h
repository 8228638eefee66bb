// The balance list and the profit statement as the program's list
// (BerichtListe), so a host shows, prints and exports them as it does every
// other report, with the figures of their printed pages.
#pragma once

#include "kontbaum/berichte/berichte.h"
#include "kontbaum/berichte/liste.h"

namespace Berichte {

// Fills `l` with the balance list of the active case for period `z`, with
// the figures of Saldenliste2::Print. Columns: konto, bezeichnung, then Soll
// and Haben of the opening balance, of the months before the period, of the
// period's bookings and of the balance; a total row at the end.
void saldenliste(const BerichtZeitraum& z, BerichtListe* l);

// Fills `l` with the profit statement `r` (after Fuellen) as its page shows
// it: per side a heading, per category its accounts and its sum, the sum of
// the side; then the investment deductions and the profit. Columns: konto,
// bezeichnung, betrag. Headings and sums are total rows.
void euer(const EUERechnung2& r, int jahr, BerichtListe* l);

}  // namespace Berichte
