// Limits of the tax law from the case's reference data (see sperrgrenzen.h).
#include "kontbaum/rahmen/sperrgrenzen.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace Sperrgrenzen {

EuroType betrag(DBConnection* db, const QString& bezeichnung, const EuroType& vorgabe) {
    if (!db) return vorgabe;
    const DatenTyp d = QueryPrepared(db, QStringLiteral("SELECT Betrag FROM eurSperrgrenzen WHERE Bezeichnung=?"), {DatenTyp(bezeichnung)}).value(0);
    return d.isNull() ? vorgabe : EuroType::ausDouble(d.toDouble());
}

EuroType iabGewinngrenze(DBConnection* db) {
    return betrag(db, QStringLiteral("Investitionsabzugsbetrag: Gewinngrenze bei Einnahmenüberschussrechnung"), EuroType::ausCent(10000000));
}

}  // namespace Sperrgrenzen
