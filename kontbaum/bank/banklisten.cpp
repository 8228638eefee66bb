// The bank lists (see banklisten.h).
#include "kontbaum/bank/banklisten.h"

#include "kontbaum/bank/bank.h"
#include "kontbaum/berichte/liste.h"

namespace Bank {

void verbindungsListe(DBConnection* db, BerichtListe* l) {
    using BS = BerichtSpalte;
    l->titel = QStringLiteral("Bankverbindungen");
    l->spalte(QStringLiteral("Nr."), QStringLiteral("id"), BS::Zahl, 3);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 20);
    l->spalte(QStringLiteral("Bank"), QStringLiteral("bank"), BS::Text, 20);
    l->spalte(QStringLiteral("IBAN"), QStringLiteral("iban"), BS::Text, 34);
    l->spalte(QStringLiteral("BIC"), QStringLiteral("bic"), BS::Text, 11);
    l->spalte(QStringLiteral("Kontonr."), QStringLiteral("kontonummer"), BS::Text, 10);
    l->spalte(QStringLiteral("BLZ"), QStringLiteral("blz"), BS::Text, 9);
    l->spalte(QStringLiteral("Letzter"), QStringLiteral("letzter_umsatz"), BS::Datum, 10);
    l->spalte(QStringLiteral("Saldo Bank"), QStringLiteral("saldo"), BS::Betrag, 14);
    // The page as it always read, one sentence-like line an account; the
    // IBAN, or without one bank code and account number, is a value for the
    // page only.
    l->seite.nurZeilen = true;
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 3, true),
                       F(1, 0, false, QStringLiteral("  Konto ")),
                       F(10, 0, false, QStringLiteral("  ")),
                       F(2, 0, false, QStringLiteral("  ")),
                       F(8, 0, false, QStringLiteral("  letzter Umsatz ")).leerAls(QStringLiteral("–")),
                       F(9, 0, false, QStringLiteral(", Saldo laut Bank "))};
    for (const Verbindung& v : verbindungen(db))
        l->zeile({qlonglong(v.id), qlonglong(v.konto), v.bezeichnung, v.bank, v.iban, v.bic, v.kontonummer, v.blz,
                  v.letzterImport.isValid() ? QVariant(v.letzterImport.qdate()) : QVariant(), v.saldo.alsDouble(),
                  v.iban.isEmpty() ? v.blz + QLatin1Char('/') + v.kontonummer : v.iban});
}

void umsatzListe(DBConnection* db, bool nurOffene, BerichtListe* l) {
    using BS = BerichtSpalte;
    l->titel = nurOffene ? QStringLiteral("Offene Bankumsätze") : QStringLiteral("Bankumsätze");
    l->spalte(QStringLiteral("Umsatz"), QStringLiteral("id"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BS::Datum, 11);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Name"), QStringLiteral("name"), BS::Text, 20);
    l->spalte(QStringLiteral("Text"), QStringLiteral("text"), BS::Text, 30);
    l->spalte(QStringLiteral("IBAN"), QStringLiteral("iban"), BS::Text, 23);
    l->spalte(QStringLiteral("BIC"), QStringLiteral("bic"), BS::Text, 11);
    l->spalte(QStringLiteral("Referenz"), QStringLiteral("referenz"), BS::Text, 12);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("St."), QStringLiteral("status"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Stand"), QStringLiteral("status_text"), BS::Text, 30);
    l->spalte(QStringLiteral("Buchung"), QStringLiteral("buchungsnummer"), BS::Zahl, 8);
    // The page as it always read: name and text in one field, for the page
    // only, then the state.
    l->seite.nurZeilen = true;
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 5, true), F(1, 0, false, QStringLiteral("  ")), F(2, 12, true, QStringLiteral("  ")),
                       F(12, 60, false, QStringLiteral("  ")).gekuerzt(), F(10, 0, false, QStringLiteral("  "))};
    umsaetze(db, nurOffene, [l](const GespeicherterUmsatz& u) {
        l->zeile({qlonglong(u.id), u.datum.qdate(), u.betrag.alsDouble(), u.name, u.text, u.iban, u.bic, u.referenz, qlonglong(u.konto), u.status,
                  statusText(u.status, u.buchungsnummer), qlonglong(u.buchungsnummer),
                  u.name.isEmpty() ? u.text : u.name + QStringLiteral(" – ") + u.text});
    });
}

}  // namespace Bank
