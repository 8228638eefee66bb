// The bank connections and the stored transactions as lists
// (BerichtListe), so their page, CSV, JSON and PDF come from the writers
// every list uses; the transactions go to the list as they are read.
#pragma once

class BerichtListe;
class DBConnection;

namespace Bank {

// id, konto, bezeichnung, bank, iban, bic, kontonummer, blz,
// letzter_umsatz (null before the first), saldo (as the bank reported).
void verbindungsListe(DBConnection* db, BerichtListe* l);
// By date (only the open ones with `nurOffene`): id, datum, betrag, name,
// text, iban, bic, referenz, konto, status, status_text, buchungsnummer.
void umsatzListe(DBConnection* db, bool nurOffene, BerichtListe* l);

}  // namespace Bank
