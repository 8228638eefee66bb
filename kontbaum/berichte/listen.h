// The report lists of the bookkeeping besides the balance list and the
// profit statement: account statements, the booking journal, the VAT list,
// the chart, the analyses of receipts, amounts, entry times and thresholds,
// the profit by category rank, the MOSS and ZM lines, the booking templates,
// the invoicing lists and the asset inventory.
//
// Each report is one entry of berichtArten(): a name a user types, the class
// name the host knows it by, the options it takes and the function that
// reads the ledger (afresh, every time) into a BerichtListe. Ledger lists
// leave out cancelled bookings and their cancellations, except the journal
// and the entry-time list, which show every booking as it was entered.
#pragma once

#include "kontbaum/berichte/berichte.h"
#include "kontbaum/berichte/liste.h"

#include <QList>
#include <QString>

// What a report is asked for. Not every report reads every field; the
// options of its entry say which.
struct BerichtParameter {
    int jahr = 2016;              // the tax year
    BerichtZeitraum zeitraum;     // kind, month, quarter, free period
    unsigned long vonKonto = 0;   // 0: every account
    unsigned long bisKonto = 0;   // 0: as vonKonto
    QString belegPrefix;          // Beleganalyse: only document numbers beginning so
    EuroType grenze = EuroType::ausCent(-1);  // Sperrgrenzen: negative = the GWG limit of the case
    QString sortierung;           // Buchungsprotokoll2: "nummer", "zahlungsdatum", "beleg"
    QString nach;                 // Buchungszeiten: "belegdatum", "buchungsdatum"
    QString belegart;             // RebFakturierungsliste: "rechnung", "angebot", "auftrag", "lieferschein", "mahnung"

    // The first and last day the period covers.
    zDate von() const;
    zDate bis() const;
    // "März 2016", "2. Quartal 2016", "2016", "01.03.2016 bis 15.03.2016".
    QString zeitraumText() const;
};

namespace Berichte {

enum Option : unsigned {
    OptZeitraum = 1,     // period flags
    OptKonten = 2,       // an account or a range of accounts
    OptKontoPflicht = 4, // exactly one account, required
    OptBeleg = 8,
    OptGrenze = 16,
    OptSortierung = 32,
    OptNach = 64,
    OptBelegart = 128,
};

struct BerichtArt {
    const char* name;          // "kontenabfrage"
    const char* klasse;        // "Kontenabfrage2"
    const char* beschreibung;  // one line for a list of the reports
    unsigned optionen;         // Option bits
    // Fills `liste`; false with a German reason in `fehler` when the report
    // cannot be made (a required account missing, an unknown option value).
    // An empty period is no failure: the list then has no rows.
    bool (*fuellen)(const BerichtParameter& p, BerichtListe* liste, QString* fehler);
};

// Every report, in the order a user looks for them.
const QList<BerichtArt>& berichtArten();
// The report of that name; null when there is none.
const BerichtArt* findeBericht(const QString& name);

}  // namespace Berichte
