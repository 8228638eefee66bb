// The dunning letter as the customer receives it: a letter on A4 naming
// the invoice, its amount still open, the fee and the new due date, printed
// on a device the host holds or saved as PDF. Kept beside faktura.h so the
// hosts that print no letters need not see it.
#pragma once

#include "kontbaum/faktura/faktura.h"

class QPagedPaintDevice;

namespace Faktura {

// "Zahlungserinnerung" is no legal term here: level 1 to n is "n. Mahnung",
// the last one "Letzte Mahnung".
QString mahnungTitel(const Mahnung& m);
// The letter as HTML (for QTextDocument): the business as sender, the
// customer's address, the invoice with its date, due date and amount still
// open, the fee, the total asked for and the date it is asked by.
QString mahnungHtml(DBConnection* db, const Mahnung& m);
// The letter as PDF/A; needs a QGuiApplication. Refused (false with the
// German reason) when the invoice is gone or already paid.
bool mahnungPdf(DBConnection* db, const Mahnung& m, QByteArray* pdf, QString* fehler);
// The letter on a paged device (a printer, a print preview), laid out as
// the PDF is.
void mahnungDrucken(DBConnection* db, const Mahnung& m, QPagedPaintDevice* geraet);

}  // namespace Faktura
