// The hand-over to a tax adviser who works in DATEV: the ledger of one tax
// year as a DATEV "Buchungsstapel" (EXTF, format category 21, format
// version 13) and the customers as "Debitoren/Kreditoren" (category 16,
// version 5). Both files are Windows-1252 text with CRLF line ends, fields
// separated by ';', text fields in double quotes.
//
// DATEV books a gross amount against two accounts and splits the tax off
// itself, from the booking key (BU-Schlüssel) or the fixed automatic of the
// counter account. Our keys are numbered differently; the mapping is the
// reference table DatevSteuerschluessel. A booking whose key has no DATEV
// counterpart refuses the whole export: a wrong key would put turnover into
// the wrong line of the adviser's return.
//
// Relies on: rahmen (case database, case properties), the reference
// database (the key mapping), faktura (the customers).
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QIODevice;

namespace Datev {

// Case properties of the adviser's and the client's numbers.
extern const char* const kBeraterEigenschaft;   // "DatevBeraternummer"
extern const char* const kMandantEigenschaft;   // "DatevMandantennummer"

// What the export is asked for. An invalid `von`/`bis` means the start or
// end of the case's tax year; a berater or mandant of 0 is taken from the
// case properties.
struct Angaben {
    zDate von, bis;
    long berater = 0, mandant = 0;
    int sachkontenlaenge = 4;
    QDateTime erzeugt = QDateTime::currentDateTime();
};

struct Ergebnis {
    bool ok = false;
    QString fehler;          // German reason when !ok; nothing was written
    QStringList hinweise;    // what was changed to fit the format (characters replaced, texts shortened)
    long buchungen = 0;      // bookings exported
    long zeilen = 0;         // data lines of the batch
    long korrekturen = 0;    // of them, lines that carry the cent DATEV's own tax computation would miss
    long personen = 0;       // customers in the master-data file
    bool festgeschrieben = false;  // every exported booking is locked (header field 21)
    QByteArray stapel;       // the booking batch (empty when it was written to a device)
    QByteArray personenDatei;  // the Debitoren/Kreditoren file, empty without customers
};

// Builds both files from the open case (reads only). On a refusal `ok` is
// false and `fehler` says which booking or setting stands in the way.
Ergebnis erzeugen(const Angaben& a);

// The same, but the booking batch is written into `stapel` booking by
// booking, so that memory does not grow with the ledger; `stapel` must be
// open for writing and seekable (a file: one character of the header is set
// after the last booking). On a refusal the device holds part of a batch
// and must be discarded. The customers' file is built in `personenDatei`.
Ergebnis erzeugen(const Angaben& a, QIODevice* stapel);

// The tax DATEV computes for a gross amount at `satz` percent: the share of
// the gross, rounded to the cent half away from zero. For an intra-Community
// acquisition or a § 13b service (`beidseitig`) the amount is the net base
// and each of the two taxes is `satz` percent of it.
EuroType steuerWieDatev(const EuroType& betrag, double satz, bool beidseitig);

// The 125 column headings of format version 13 and the 31 fields of the
// header's layout are fixed by DATEV; exposed for the readers of the file.
const QStringList& spaltenBuchungsstapel();
const QStringList& spaltenPersonen();
}  // namespace Datev
