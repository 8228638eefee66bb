// Subsystem "steuer": the figures the tax office receives, derived from the
// ledger. The advance VAT return (amount per form code, the form's
// arithmetic, hand-over to the return's nodes), the profit of the
// income-surplus statement and its transfer to the EÜR form, and the
// recapitulative statement (ZM) as CSV and XML.
//
// The calculation file of a case (berechnung.cpp: the year's figures as
// XML and their comparison with a reference) is made here too.
//
// Relies on: rahmen (case database), fall (the form nodes the figures are
// handed to; the members of Kont_ defined here), berichte (the report
// indexes, the condition that picks the lines of posted bookings, the
// profit statement of the calculation file). Through KontoGlobal's members
// it asks konten (categories, form positions of the accounts) and
// buchungen (tax keys). The return's own objects are in voranmeldung.h;
// the operations are members of KontoGlobal (rahmen/kontglob.h: "form
// codes", "profit", "recapitulative statement") and of the form nodes.
#pragma once

#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldung.h"

#include <QVector>

namespace Gewinnregel {
// The profit from its four totals: income - expenses, less the investment
// deduction while that difference does not exceed `grenze` (the case's
// Sperrgrenzen::iabGewinngrenze), plus the add-back.
EuroType gewinn(const EuroType& einnahmen, const EuroType& ausgaben, const EuroType& iab, const EuroType& hinzurechnung,
                const EuroType& grenze);
// The four totals from the booking lines (with the staged ones when
// `mitStapel`), read in one pass over the lines of the accounts that enter
// the profit; what KontoGlobal::getGewinn gives piece by piece.
struct Teile {
    EuroType einnahmen, ausgaben, iab, hinzurechnung;
    EuroType gewinn(const EuroType& grenze) const { return Gewinnregel::gewinn(einnahmen, ausgaben, iab, hinzurechnung, grenze); }
};
Teile lesen(DBConnection* db, bool mitStapel);
}  // namespace Gewinnregel

class DatenBase;
namespace Formularwerte {
// Whether writing `neu` into the form node `knoten` (after emptying it)
// would change or drop a value it holds now: a figure entered by hand, or
// one of an earlier transfer that the ledger no longer gives. Variables
// named in `ausser` do not count. A null node holds nothing.
bool ueberschreibtWerte(const DatenBase* knoten, const QMap<QString, EuroType>& neu, const QStringList& ausser = {});
// The figures the transfer puts into the Anlage EÜR of the active case, by
// the line of the form (102, 130, 135, …, 219 the profit), each counted as
// it raises its line: an expense line shows its expense positive. Lines
// the ledger gives nothing for are left out.
QMap<int, EuroType> eurZeilen();
// The lines of the Anlage EÜR 2016 the total `summe` (159 income, 199
// expenses) adds up; empty for any other line. Lines the form shows beside
// them, the column "nicht abziehbar", are not among them.
QVector<int> eurSummenzeilen(int summe);
// Where the totals of `zeilen` (as eurZeilen gives them) differ from the sum
// of their lines, a German description of each difference; empty when they
// agree.
QString eurSummenAbweichung(const QMap<int, EuroType>& zeilen);
}  // namespace Formularwerte
