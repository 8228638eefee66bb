// Building blocks of the library tests' cases: a case of 2016 on the SKR03
// chart in slot 0, the keys and accounts the ledger tests book on, and one
// booking posted through the module's split posting.
#pragma once

#include "host/values/date.h"

#include <QString>

class DBConnection;
class KontoGlobal;

namespace testfall {

// A new case database in slot 0 (the chart `rahmen` of `jahr`, SKR03 of
// 2016 unless named, no example bookings; liable to VAT unless `ustPflicht`
// is false, then with the chart of a small business); fails the test when
// the chart cannot be made.
DBConnection* neuerFall(KontoGlobal** kg, bool ustPflicht = true, const QString& rahmen = QStringLiteral("SKR03"), int jahr = 2016);

// Replaces the keys 0, 2, 5, 7, 19 and the accounts 1000..8400 the ledger
// tests book on by fixed rows, so their figures do not depend on the
// reference data.
void festeSchluesselUndKonten(DBConnection* db);

// One booking of kind `art`: money side `geld`, counter side `gegen` with
// key `key`; the money line is on the credit side for expenses, refunds of
// income and opening balances. Returns its number (0 fails the test).
unsigned long buche(DBConnection* db, int art, unsigned long geld, unsigned long gegen, unsigned long key, double betrag,
                    const zDate& d, const QString& ustid = QString(), int zm = 0);

}  // namespace testfall
