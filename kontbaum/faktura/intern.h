// What the files of the invoicing share and nobody else needs: bound
// statements over a map of columns, number-range and key look-ups. (The
// case connection and the transaction are the database layer's: rsFallDB,
// DBTransaktion.)
#pragma once

#include "kontbaum/faktura/faktura.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datentyp.h"

#include <QMap>
#include <QStringList>
#include <QVector>

namespace Faktura {
namespace intern {

// The columns and values of one row to write. The column names come from
// this code only; the values are bound.
using Zeile = QMap<QString, DatenTyp>;
bool einfuegen(DBConnection* db, const QString& tabelle, const Zeile& z);
bool aendern(DBConnection* db, const QString& tabelle, const Zeile& z, const QString& schluessel, const DatenTyp& wert);
// One value of a bound query (NULL DatenTyp when there is no row).
DatenTyp wert(DBConnection* db, const QString& sql, const QVector<DatenTyp>& werte = {});

// The counter value that issued `nummer` when it is the last number the
// range gave (formatted for `datum`), else 0.
unsigned long letzteVergebene(DBConnection* db, Nummernkreis k, const QString& nummer, const zDate& datum);
// Moves the counter back so that `zaehler` is issued again (its document is
// gone). False when the range would skip it all the same.
bool nummerZurueckgeben(DBConnection* db, Nummernkreis k, unsigned long zaehler);

// Whether a revenue account exists, is active and takes the key (the rule
// of the chart: an output or no key on a revenue account). The refusal,
// empty when it fits.
QString pruefeErloeskonto(DBConnection* db, unsigned long konto, unsigned long schluessel);
// The row of a key as calcSteuerschluessel reads it, and its kind.
struct SchluesselInfo {
    bool gibt = false;
    double satz = 0.0;
    QString steuerart;          // "U", "V", "B"
    unsigned long kennziffer = 0;  // code of the turnover on the advance return
    bool igErwerb = false;
    QString kurz;
};
SchluesselInfo schluesselInfo(DBConnection* db, unsigned long schluessel);

// The year of the open case (`sonst` without one).
int fallJahr(const zDate& sonst);
// Whether a new document (`was`: "Angebot", "Mahnung", …) may carry
// `datum`: inside the case's year, or outside it after the Ui's question.
// False with the German refusal in `fehler` after a "no".
bool jahrPasst(const zDate& datum, const QString& was, QString* fehler);
// The day an invoice falls due: its own due date, else its date plus the
// days of its (or its customer's) payment terms, else 14 days.
zDate faelligAm(DBConnection* db, const Beleg& b);

}  // namespace intern
}  // namespace Faktura
