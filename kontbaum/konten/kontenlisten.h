// The chart of accounts and the tax keys as lists (BerichtListe), so the
// page, CSV, JSON and PDF of each come from the writers every list uses.
#pragma once

#include "kontbaum/konten/kontoeditor.h"

class BerichtListe;

namespace Kontoeditor {

// The accounts given, by number: nummer, bezeichnung, kategorie,
// steuerschluessel, aktiv.
void kontenListe(const QList<Kontozeile>& konten, BerichtListe* l);
// Every tax key in display order: steuerschluessel, steuersatz, steuerart
// (U, V or B), aktiv, bezeichnung.
void schluesselListe(BerichtListe* l);

}  // namespace Kontoeditor
