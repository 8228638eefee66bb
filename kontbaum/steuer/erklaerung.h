// The annual VAT return (Umsatzsteuererklärung, USt 2 A 2016): every code of
// the form the ledger fills, with the form's arithmetic (bases in whole
// euros, the tax of the fixed rates computed from them), the total tax of
// the year, the advance payments declared in the year's returns and the
// remaining amount or refund.
//
// Which ledger lines feed which code is reference data (form 1: the codes
// and texts in eurFormulare, the ranges in eurKennzifferbereiche, the
// annual codes of the tax keys and the accounts' column USt); this file
// holds only the structure of the form, as voranmeldung.h does for the
// advance return.
#pragma once

#include "host/values/euro.h"

#include <QString>
#include <QVector>

class BerichtListe;

namespace UStErklaerung {

enum class Abschnitt { Umsatz, Vorsteuer };

// One code of the 2016 form. A base is entered in whole euros, cut toward
// zero as on the advance return; a tax in euros and cents. `voranmeldung`
// names the codes of the advance return that hold the same figures, so the
// year's returns and the annual return can be compared code by code.
struct Kennzahl {
    int kennziffer;
    bool basis;
    int basisVon;       // a tax: the code of its base (0: it stands alone)
    double festerSatz;  // the rate of a tax computed from the base, else 0
    Abschnitt abschnitt;
    QVector<int> voranmeldung;
};
const QVector<Kennzahl>& kennzahlen();
const Kennzahl* kennzahl(int kennziffer);

// One line of the printed return: a base with its tax, or a tax alone.
struct Zeile {
    int kennziffer = 0;
    QString text;
    bool basis = false;
    EuroType bemessungsgrundlage;  // whole euros (bases only)
    EuroType steuer;               // the tax of the line (computed or booked)
    bool hatSteuer = false;
    EuroType exakt;                // the ledger's amount in cents before cutting
    Abschnitt abschnitt = Abschnitt::Umsatz;
};

struct Ergebnis {
    int jahr = 0;
    QVector<Zeile> zeilen;     // in the order of the form, filled codes only
    EuroType umsatzsteuer;     // output tax
    EuroType vorsteuer;        // deductible input tax
    EuroType steuer;           // umsatzsteuer - vorsteuer
    int perioden = 0;          // 12 monthly or 4 quarterly returns
    EuroType vorauszahlungen;  // the advance payments declared (sum of the code 83 of every return)
    EuroType sondervorauszahlung;  // credited in the last return; part of the advance payments due
    EuroType vorauszahlungssoll;   // vorauszahlungen + sondervorauszahlung
    EuroType verbleibend;      // steuer - vorauszahlungssoll: positive to pay, negative a refund
};

// The annual return of the case in `slot`. The advance payments are those
// of the filing period the case names (quarterly: four returns; monthly or
// none named: twelve). False without a case.
bool berechne(int slot, Ergebnis* e);

// The return as the program's list (text, CSV, PDF): code, text, base,
// tax, then the totals.
void liste(const Ergebnis& e, BerichtListe* l);

}  // namespace UStErklaerung
