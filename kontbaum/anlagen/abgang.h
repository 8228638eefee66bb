// Entering the disposal of a register entry the way both hosts do it: the
// entry is found by its number, the disposal's date, kind and proceeds are
// set, and the accounts a user left open get their defaults (a withdrawal's
// value goes to the private account, proceeds of a fixed asset to the
// revenue account for disposals of fixed assets, EÜR line 102). The entry
// is stored through speichern()/umlaufSpeichern(), so their rules hold; the
// postings follow with the next buchen().
#pragma once

#include "kontbaum/anlagen/anlagen.h"

namespace Anlagen {

// The disposal of fixed asset `nummer`; `geldkonto` / `erloeskonto` 0: the
// defaults. False with the German reason (nothing stored).
bool abgangEintragen(int nummer, const zDate& datum, Abgangsart art, const EuroType& erloes, unsigned long geldkonto,
                     unsigned long erloeskonto, QString* fehler);
// The sale or withdrawal of current asset `nummer` (position in umlaufListe()).
bool umlaufAbgangEintragen(int nummer, const zDate& datum, Abgangsart art, const EuroType& erloes, unsigned long geldkonto,
                           QString* fehler);

}  // namespace Anlagen
