// The bookings behind a report figure (see herkunft.h).
#include "kontbaum/berichte/herkunft.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/berichte/indizes.h"

#include <QStringList>

namespace Berichte {

QList<unsigned long> buchungenAufKonten(DBConnection* db, const QList<unsigned long>& konten, const zDate& von, const zDate& bis) {
    QList<unsigned long> nummern;
    if (!db || konten.isEmpty()) return nummern;
    QStringList liste;
    for (unsigned long k : konten) liste << rsDataSource::toSqlStr(k);
    QStringList kopf;
    if (von.isValid()) kopf << QStringLiteral("Belegdatum>=") + rsDataSource::toSqlStr(von);
    if (bis.isValid()) kopf << QStringLiteral("Belegdatum<=") + rsDataSource::toSqlStr(bis);
    rsDataSource rs(db, QStringLiteral("SELECT DISTINCT z.Buchungsnummer FROM eurVerbuchtBuchungszeilen z WHERE z.Konto IN (") +
                            liste.join(QLatin1Char(',')) + QStringLiteral(") AND ") +
                            gebuchteZeilen(db, true, kopf.join(QStringLiteral(" AND "))) + QStringLiteral(" ORDER BY z.Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) nummern << rs.getFields()->getField(0).toULong();
    return nummern;
}

}  // namespace Berichte
