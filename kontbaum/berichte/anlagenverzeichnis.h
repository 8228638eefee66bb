// The Anlage AVEÜR and the inventory list, both made from the fixed-asset
// register (anlagen/anlagen.h): one row per asset, grouped as the form
// groups them, with the group sums and the total.
#pragma once

#include "kontbaum/berichte/liste.h"

namespace Berichte {
// The Anlage AVEÜR of `jahr`: cost, book value at the start of the year,
// additions, special depreciation, depreciation, disposals (remaining book
// value) and book value at the end, per asset, per group and in total.
void anlagenverzeichnis(int jahr, BerichtListe* l);
// The inventory: every asset with its cost and its book value at the end of `jahr`.
void inventar(int jahr, BerichtListe* l);
}  // namespace Berichte
