// What the files of the bank subsystem share and nobody else needs.
#pragma once

#include "kontbaum/bank/bank.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Bank {
namespace intern {

inline int steuerjahr() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}

// "(1,2,3)" of the IDs, for an IN list (numbers only, never text).
inline QString inListe(const QList<unsigned long>& ids) {
    QStringList t;
    for (unsigned long i : ids) t << QString::number(i);
    return QStringLiteral("(") + t.join(QLatin1Char(',')) + QStringLiteral(")");
}

}  // namespace intern
}  // namespace Bank
