// The ledger as a list: the bookings of a period, with or without their
// lines, read in one statement and handed on one by one.
#include "kontbaum/buchungen/buchungen.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <algorithm>

namespace Buchungsliste {

namespace {
QString zeitraum(const QString& spalte, const zDate& von, const zDate& bis) {
    return QStringLiteral(" WHERE ") + spalte + QStringLiteral(">=") + rsDataSource::toSqlStr(von) + QStringLiteral(" AND ") + spalte +
           QStringLiteral("<=") + rsDataSource::toSqlStr(bis);
}

void kopfLesen(const rsFields& f, Buchung* b) {
    b->buchungsnummer = f.getField(0).toULong();
    b->belegdatum = f.getField(1).toDate();
    b->buchungstext = f.getField(2).toString();
    b->betrag = f.getField(3).toEuro();
    b->buchungsart = f.getField(4).toInt();
    b->storno = f.getField(5).toLongLong() != 0;
    b->storniert = f.getField(6).toLongLong() != 0;
    b->belegnummer = f.getField(7).toString();
}
}  // namespace

bool lesen(DBConnection* db, const zDate& von, const zDate& bis, bool mitZeilen, const std::function<void(const Buchung&)>& je) {
    if (!db) return false;
    if (!mitZeilen) {
        rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer, Belegdatum, Buchungstext, Betrag, Buchungsart, Storno, Storniert, "
                                           "Belegnummer FROM eurVerbucht") +
                                zeitraum(QStringLiteral("Belegdatum"), von, bis) + QStringLiteral(" ORDER BY Belegdatum, Buchungsnummer"));
        Buchung b;
        for (; !rs.isEOF(); rs.fetch()) {
            kopfLesen(*rs.getFields(), &b);
            je(b);
        }
        return !rs.isError();
    }
    // The headers joined with their lines. The lines come in the order of
    // their index (SteuerID, ID) and are put in ID order here, one booking
    // at a time, which spares the database a sort per booking.
    rsDataSource rs(db, QStringLiteral("SELECT h.Buchungsnummer, h.Belegdatum, h.Buchungstext, h.Betrag, h.Buchungsart, h.Storno, "
                                       "h.Storniert, h.Belegnummer, z.ID, z.Konto, z.Gegenkonto, z.Betrag, z.Haben, z.Steuerschluessel, "
                                       "z.SteuerID, z.Dialogzeile FROM eurVerbucht h LEFT JOIN eurVerbuchtBuchungszeilen z ON "
                                       "z.Buchungsnummer=h.Buchungsnummer") +
                            zeitraum(QStringLiteral("h.Belegdatum"), von, bis) +
                            QStringLiteral(" ORDER BY h.Belegdatum, h.Buchungsnummer, z.SteuerID, z.ID"));
    Buchung b;
    QVector<qint64> ids;
    qlonglong aktuell = 0;
    bool offen = false;
    auto fertig = [&]() {
        if (!offen) return;
        if (!std::is_sorted(ids.cbegin(), ids.cend())) {
            QVector<int> folge(ids.size());
            for (int i = 0; i < folge.size(); ++i) folge[i] = i;
            std::sort(folge.begin(), folge.end(), [&](int x, int y) { return ids[x] < ids[y]; });
            QVector<Zeile> sortiert;
            sortiert.reserve(folge.size());
            for (int i : folge) sortiert.append(b.zeilen[i]);
            b.zeilen = sortiert;
        }
        je(b);
    };
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const qlonglong nr = f.getField(0).toLongLong();
        if (!offen || nr != aktuell) {
            fertig();
            aktuell = nr;
            offen = true;
            kopfLesen(f, &b);
            b.zeilen.clear();
            ids.clear();
        }
        if (f.getField(8).isNull()) continue;
        Zeile z;
        z.konto = f.getField(9).toLongLong();
        z.gegenkonto = f.getField(10).toLongLong();
        z.betrag = f.getField(11).toEuro();
        z.haben = f.getField(12).toBool();
        z.steuerschluessel = f.getField(13).toLongLong();
        z.steuerID = f.getField(14).toLongLong();
        z.dialogzeile = f.getField(15).toInt();
        ids.append(f.getField(8).toLongLong());
        b.zeilen.append(z);
    }
    fertig();
    return !rs.isError();
}

long anzahlGueltige(DBConnection* db) {
    if (!db) return 0;
    // All headers less the few cancelled ones and cancellations: the count
    // walks the smallest index and the partial index of the cancelled
    // bookings, never the table (the same rows as "WHERE Storno=0 AND
    // Storniert=0", NULL flags included).
    return long(GetDatenTyp(db, QStringLiteral("SELECT (SELECT COUNT(*) FROM eurVerbucht) - (SELECT COUNT(*) FROM eurVerbucht "
                                               "WHERE (Storno=0 AND Storniert=0) IS NOT 1)"))
                    .toLongLong());
}

}  // namespace Buchungsliste
