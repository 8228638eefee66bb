// Subsystem "buchungen": the ledger itself. Posting bookings (header, lines
// and the tax lines a key generates), splitting gross and net amounts by tax
// key, cancelling and deleting, the self-check of bookings and the locking
// of periods (Festschreibung).
//
// Relies on: rahmen (the manager and its case database), konten (account
// look-ups and the account/key rules). Its operations are static members of
// KontoGlobal, declared in rahmen/kontglob.h under "bookings", "cancelling",
// "self-check", "locking" and "tax keys"; every file of this folder
// includes this header and nothing of the report or exchange folders.
#pragma once

#include "kontbaum/rahmen/kontglob.h"
