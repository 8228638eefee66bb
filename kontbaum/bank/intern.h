// What the files of the bank subsystem share and nobody else needs.
#pragma once

#include "kontbaum/bank/bank.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/faktura/intern.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Bank {
namespace intern {

// `db`, or the active case's connection.
inline DBConnection* fallDB(DBConnection* db) {
    if (db) return db;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->GetDBConnect_Ptr() : nullptr;
}

inline int steuerjahr() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}

// The module's own transaction (a savepoint inside the command's), as the
// invoicing keeps it: rolled back unless commit() was called.
using Faktura::intern::Transaktion;

// "(1,2,3)" of the IDs, for an IN list (numbers only, never text).
inline QString inListe(const QList<unsigned long>& ids) {
    QStringList t;
    for (unsigned long i : ids) t << QString::number(i);
    return QStringLiteral("(") + t.join(QLatin1Char(',')) + QStringLiteral(")");
}

}  // namespace intern
}  // namespace Bank
