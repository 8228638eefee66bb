// The Anlage EÜR line by line: every code (Kennzahl) of the form the ledger
// fills, with the form's text and the amount the transfer into the form
// ("euer --uebertragen") would write: the income, then the expenses, each
// by code, then the totals and the profit of page 1. A host shows the form as the
// tax office reads it without writing the case's form.
#pragma once

#include "host/values/euro.h"

#include <QList>
#include <QString>

class BerichtListe;
class DBConnection;

namespace EuerFormular {

struct Zeile {
    int kennziffer = 0;   // the code of the form (112, 140, …), 0 for a line without one
    QString variable;     // the form's variable (eur2_Kz112)
    QString text;
    EuroType betrag;
    bool summe = false;   // a total or the profit of page 1
};

// The filled lines of the active case's form; empty without a case.
QList<Zeile> zeilen(DBConnection* db);

// The lines as the program's list (page, CSV, PDF): code, text, amount;
// the totals as total rows.
void liste(const QList<Zeile>& z, int jahr, BerichtListe* l);

}  // namespace EuerFormular
