// Income and expenses per month (see gewinnmonate.h).
#include "kontbaum/berichte/gewinnmonate.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/berichte/indizes.h"

namespace Berichte {

QVector<Monatsgewinn> gewinnJeMonat(DBConnection* db) {
    QVector<Monatsgewinn> monate(12);
    if (!db) return monate;
    // Summed in cents per month, category and side by the database; the
    // categories are those of the profit statement, 5903/5904 (investment
    // deduction and add-back) apart.
    rsDataSource rs(db, QStringLiteral("SELECT MONTH(b.Belegdatum), kp.Kategorie, z.Haben, ") + centSumme() +
                            QStringLiteral(" FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht b ON b.Buchungsnummer=z.Buchungsnummer "
                                           "JOIN eurKontenplan kp ON kp.Nummer=z.Konto WHERE b.Storno=0 AND b.Storniert=0 AND "
                                           "((kp.Kategorie<>4208 AND kp.Kategorie BETWEEN 4000 AND 4999) OR (kp.Kategorie BETWEEN 3000 AND 3099) OR "
                                           "(kp.Kategorie BETWEEN 5000 AND 5999 AND kp.Kategorie NOT IN (5903, 5904)) OR "
                                           "(kp.Kategorie BETWEEN 3100 AND 3399)) GROUP BY 1, 2, 3"));
    QVector<qint64> e(12, 0), a(12, 0);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const int m = f.getField(0).toInt() - 1;
        if (m < 0 || m > 11) continue;
        const unsigned long kat = f.getField(1).toULong();
        const bool haben = f.getField(2).toBool();
        const qint64 c = cent(f.getField(3).toDouble());
        const bool einnahme = (kat >= 4000 && kat <= 4999) || (kat >= 3000 && kat <= 3099);
        if (einnahme) e[m] += haben ? c : -c;
        else a[m] += haben ? -c : c;
    }
    for (int m = 0; m < 12; ++m) monate[m] = {EuroType::ausCent(e[m]), EuroType::ausCent(a[m])};
    return monate;
}

}  // namespace Berichte
