// The customers and the articles as lists (BerichtListe), so their page,
// CSV, JSON and PDF come from the writers every list uses.
#pragma once

#include "kontbaum/faktura/faktura.h"

class BerichtListe;

namespace Faktura {

// kundennummer, name (the name an invoice addresses), strasse, plz, ort,
// land, email, ustid, leitweg.
void kundenListe(const QList<Person>& personen, BerichtListe* l);
// artikelnummer, bezeichnung, preis (net), bruttopreis, einheit,
// steuerschluessel, konto, rabatt (percent).
void artikelStammliste(const QList<Artikel>& artikel, BerichtListe* l);

}  // namespace Faktura
