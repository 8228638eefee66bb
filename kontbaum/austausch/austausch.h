// Subsystem "austausch": bookings leaving and entering a case as files. The
// bookings CSV export (one record per booking or split part, gross amounts
// in a debit or credit column) and its import, which posts the rows of such
// a file all or nothing through the posting operations of buchungen.
//
// Relies on: rahmen (case database), buchungen (posting, tax keys), konten
// (account look-ups). Declared in rahmen/kontglob.h under "CSV import" and
// "CSV export".
#pragma once

#include "kontbaum/rahmen/kontglob.h"
