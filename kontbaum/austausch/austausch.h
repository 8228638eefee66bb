// Subsystem "austausch": bookings leaving and entering a case as files. The
// bookings CSV export (one record per booking or split part, gross amounts
// in a debit or credit column) and its import, which posts the rows of such
// a file all or nothing through the posting operations of buchungen.
//
// Relies on: rahmen (case database), buchungen (posting, tax keys), konten
// (account look-ups). Declared in rahmen/kontglob.h under "CSV import" and
// "CSV export", and below for the export written piece by piece.
#pragma once

#include "kontbaum/rahmen/kontglob.h"

#include <functional>

namespace BuchungenCSV {
// Receives the export in pieces (the header line, then all records of one
// booking at a time), in file order. Returning false stops the export: the
// piece could not be stored.
using Senke = std::function<bool(const QString& stueck)>;

// The bookings CSV of `table` (eurVerbucht, eurStapel or eurBeispiel): the
// live bookings, with a voucher date from `von` to `bis` where those are
// valid. Each booking goes to `senke` as soon as it has been read, so memory
// does not grow with the ledger; the concatenated pieces are exactly the text
// getBuchungenAsCSV returns. Returns the number of bookings written (a
// booking without an exportable line gives no record and is not counted; 0
// for another table or without a case), -1 when the sink refused a piece.
int schreiben(const Senke& senke, bool mitKopf, const QString& table, const zDate& von, const zDate& bis);

// The export of eurVerbucht with header line into the file `pfad`. The file
// is replaced only when it is complete and on disk (temporary file beside
// it, then rename); on any failure it stays as it was and no temporary file
// is left. Returns the number of bookings; 0 when none was selected (no file
// is created or touched); -1 on failure with the German reason in `fehler`.
int inDatei(const QString& pfad, const zDate& von, const zDate& bis, QString* fehler);
}  // namespace BuchungenCSV
