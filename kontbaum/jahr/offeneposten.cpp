// Open items into the new year: the outgoing invoices not yet paid (with
// their positions and reminders) and, through the subsystem that keeps
// them, the open incoming invoices. Under the cash principle both are
// income or expense of the year their money comes in or goes out, so the
// new year's bank takeover must still find them; paid ones stay in the old
// year's case.
#include "kontbaum/jahr/jahr.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/eingang/vortrag.h"

#include <QSet>

namespace {

QStringList spaltenVon(DBConnection* db, const QString& tabelle) {
    QStringList l;
    rsDataSource rs(db, QStringLiteral("PRAGMA table_info(%1)").arg(tabelle));
    for (; !rs.isEOF(); rs.fetch()) l << rs.field(QStringLiteral("name")).toString();
    return l;
}

// Copies the rows of `tabelle` that `bedingung` (over alias t) selects,
// in the columns both databases have (an older case may lack newer ones).
long kopiere(DBConnection* alt, DBConnection* neu, const QString& tabelle, const QString& bedingung) {
    if (!rsTableExists(alt, tabelle)) return 0;
    QSet<QString> dort;
    for (const QString& c : spaltenVon(alt, tabelle)) dort.insert(c.toLower());
    QStringList gemeinsam, auswahl;
    for (const QString& c : spaltenVon(neu, tabelle))
        if (dort.contains(c.toLower())) {
            gemeinsam << QLatin1Char('"') + c + QLatin1Char('"');
            auswahl << QStringLiteral("t.\"") + c + QLatin1Char('"');
        }
    return rsCopyRows(alt, QStringLiteral("SELECT ") + auswahl.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + tabelle +
                               QStringLiteral(" t WHERE ") + bedingung,
                      neu, tabelle, gemeinsam);
}

}  // namespace

namespace Jahr {

bool offenePostenVortragen(DBConnection* alt, DBConnection* neu, int* ausgang, int* eingang, QString* fehler) {
    // Open as the invoicing lists them: no date of payment.
    const QString offen = QStringLiteral("(t.bezahlt IS NULL OR t.bezahlt='') AND t.ID<>0");
    const long r = kopiere(alt, neu, QStringLiteral("reRechnungen"), offen);
    const QString ihre = QStringLiteral("(SELECT t.ID FROM reRechnungen t WHERE ") + offen + QLatin1Char(')');
    if (r < 0 || kopiere(alt, neu, QStringLiteral("reRechnungenPositionen"), QStringLiteral("t.ID IN ") + ihre) < 0 ||
        kopiere(alt, neu, QStringLiteral("reMahnungen"), QStringLiteral("t.RechnungsID IN ") + ihre) < 0) {
        *fehler = QStringLiteral("Die offenen Rechnungen konnten nicht übernommen werden: %1")
                      .arg(neu->getErr()->last().isEmpty() ? alt->getErr()->last() : neu->getErr()->last());
        return false;
    }
    *ausgang = int(r);
    *eingang = Eingang::vortragen(alt, neu, fehler);
    return *eingang >= 0;
}

}  // namespace Jahr
