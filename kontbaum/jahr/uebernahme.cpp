// The previous-year transfer of the registers that continue into the new
// year (see jahr.h): assets not disposed of before 1 January, current
// assets with an amount, investment deductions still open, vehicle costs
// with their dates moved into the new year, and the cover letter.
#include "kontbaum/jahr/jahr.h"

#include "host/tree/adressknoten.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QDate>
#include <cmath>
#include <functional>

namespace {

int steuerjahr() {
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}

// What is done to each value of a carried entry.
using Wandlung = std::function<DatenTyp(const DatenTyp&)>;

void kopiereWerte(const DatenBase& von, DatenBase& nach, const Wandlung& wandle) {
    for (const Varlist::Variable& v : von.variablen()) {
        if (v.art == Varlist::VarArt::Knoten) continue;
        const DatenTyp wert = von.getVar(v.name);
        nach.setVar(v.name, wandle && v.art == Varlist::VarArt::Wert ? wandle(wert) : wert);
    }
}

// The entry with its sub-lists (depreciation lines, additions, disposals).
DatenBase* kopiereEintrag(const DatenBase& von, const Wandlung& wandle) {
    DatenBase* neu = von.build();
    kopiereWerte(von, *neu, wandle);
    for (int i = 0; i < von.childSlotCount(); ++i)
        if (const DatenBase* kind = von.childSlot(i)) neu->setChildSlot(neu->childSlotCount(), kopiereEintrag(*kind, wandle));
    return neu;
}

// Appends the carried entries of class `klasse` of `vorjahr` to `ziel` in
// their order, after the entries already there.
void uebertrage(const DatenBase& vorjahr, DatenBase& ziel, const QString& klasse,
                const std::function<bool(const DatenBase&)>& mitnehmen, const Wandlung& wandle) {
    for (int i = 0; i < vorjahr.childSlotCount(); ++i) {
        const DatenBase* e = vorjahr.childSlot(i);  // gaps in the list are skipped
        if (!e || e->className() != klasse || !mitnehmen(*e)) continue;
        ziel.setChildSlot(ziel.childSlotCount(), kopiereEintrag(*e, wandle));
    }
}

}  // namespace

namespace Jahr {

zDate verschiebeInsJahr(const zDate& d, int neuesJahr) {
    if (!d.isValid()) return d;
    const QDate q = d.qdate();
    int tag = q.day();
    if (q.month() == 2 && tag == 29 && !QDate::isLeapYear(neuesJahr)) tag = 28;
    return zDate(neuesJahr, q.month(), tag);
}

}  // namespace Jahr

void Kont_::uebernehmeAnlagevermoegen(Anl006_* vorjahr) {
    if (!vorjahr) return;
    Anl006_* ziel = GetAnl006_Ptr(1);
    kopiereWerte(*vorjahr, *ziel, nullptr);
    const zDate neujahr(steuerjahr(), 1, 1);
    // An asset sold before 1 January left the business in the old year.
    uebertrage(*vorjahr, *ziel, QStringLiteral("Anl006a_"),
               [&](const DatenBase& e) {
                   const zDate verkauf = e.getVar(QStringLiteral("anl6a_DB_Verkaufsdatum")).toDate();
                   return !verkauf.isValid() || !(verkauf < neujahr);
               },
               nullptr);  // amounts are whole cents already
}

void Kont_::uebernehmeUmlaufvermoegen(Uml006_* vorjahr) {
    if (!vorjahr) return;
    Uml006_* ziel = GetUml006_Ptr(1);
    uebertrage(*vorjahr, *ziel, QStringLiteral("Uml006a_"),
               [](const DatenBase& e) { return !e.getVar(QStringLiteral("uml6a_Betrag")).toEuro().isNull(); },
               nullptr);
}

void Kont_::uebernehmeInvestitionsabzugsbetrag(Iab006_* vorjahr) {
    if (!vorjahr) return;
    Iab006_* ziel = GetIab006_Ptr(1);
    kopiereWerte(*vorjahr, *ziel, nullptr);
    const int erstesJahr = steuerjahr() - Jahr::kIabJahre;
    // Still open: taken within the investment period, the investment not yet
    // made, and not of the kinds that are added back at once.
    uebertrage(*vorjahr, *ziel, QStringLiteral("Iab006a_"),
               [&](const DatenBase& e) {
                   const int jahr = e.getVar(QStringLiteral("iab6a_jahr")).toInt();
                   const int kategorie = e.getVar(QStringLiteral("iab6a_kategorie")).toInt();
                   return jahr >= erstesJahr && !e.getVar(QStringLiteral("iab6a_anschaffungsdatum")).toDate().isValid() &&
                          !(kategorie >= 101 && kategorie <= 104) && kategorie != 108;
               },
               nullptr);
}

void Kont_::uebernehmeKfzKosten(Buch012_* vorjahr) {
    if (!vorjahr) return;
    Buch012_* ziel = GetBuch012_Ptr(1);
    kopiereWerte(*vorjahr, *ziel, nullptr);
    const int jahr = steuerjahr();
    uebertrage(*vorjahr, *ziel, QStringLiteral("Buch012a_"), [](const DatenBase&) { return true; },
               [jahr](const DatenTyp& d) {
                   return d.art() == DatenTyp::Datum ? DatenTyp(Jahr::verschiebeInsJahr(d.toDate(), jahr)) : d;
               });
}

void Kont_::uebernehmeBegleitschreiben(Ad0040_* vorjahr) {
    if (!vorjahr) return;
    kopiereWerte(*vorjahr, *GetAd0040_Ptr(1), nullptr);
}
