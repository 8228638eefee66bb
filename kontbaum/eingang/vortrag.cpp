// Open incoming invoices into the new year (see vortrag.h).
#include "kontbaum/eingang/vortrag.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace Eingang {

namespace {
// Open as the archive counts it (ablage.cpp): no live booking.
const char kOffen[] =
    "NOT EXISTS (SELECT 1 FROM eurVerbucht v WHERE v.Buchungsnummer=r.Buchungsnummer AND r.Buchungsnummer<>0 AND v.Storno=0 AND v.Storniert=0 "
    "AND v.Belegnummer=r.Nummer)";
}  // namespace

int vortragen(DBConnection* alt, DBConnection* neu, QString* fehler) {
    if (!rsTableExists(alt, QStringLiteral("eingangRechnungen")) || !rsTableExists(alt, QStringLiteral("eingangLieferanten")) ||
        !rsTableExists(alt, QStringLiteral("eingangSteuern")))
        return 0;
    const QStringList lieferant{QStringLiteral("ID"),   QStringLiteral("Name"), QStringLiteral("UStID"), QStringLiteral("Steuernummer"),
                                QStringLiteral("IBAN"), QStringLiteral("Land"), QStringLiteral("Ort"),   QStringLiteral("Konto")};
    const QStringList rechnung{QStringLiteral("ID"),         QStringLiteral("LieferantID"),      QStringLiteral("Nummer"),
                               QStringLiteral("Typ"),        QStringLiteral("Gutschrift"),       QStringLiteral("Syntax"),
                               QStringLiteral("Profil"),     QStringLiteral("Rechnungsdatum"),   QStringLiteral("Faellig"),
                               QStringLiteral("Netto"),      QStringLiteral("Steuer"),           QStringLiteral("Brutto"),
                               QStringLiteral("Zahlbetrag"), QStringLiteral("IBAN"),             QStringLiteral("BIC"),
                               QStringLiteral("Zahlungsreferenz"), QStringLiteral("Dateiname"), QStringLiteral("Original"),
                               QStringLiteral("SHA256"),     QStringLiteral("Eingelesen"),       QStringLiteral("Konto"),
                               QStringLiteral("BeiZahlung")};
    const QStringList steuer{QStringLiteral("ID"),    QStringLiteral("RechnungID"), QStringLiteral("Kategorie"), QStringLiteral("Satz"),
                             QStringLiteral("Basis"), QStringLiteral("Steuer"),     QStringLiteral("Grund")};
    auto spalten = [](const QStringList& l, const char* alias) {
        QStringList s;
        for (const QString& c : l) s << QLatin1String(alias) + QLatin1Char('.') + c;
        return s.join(QStringLiteral(", "));
    };
    const QString offen = QLatin1String(kOffen);
    auto nein = [&](const QString& was) {
        *fehler = QStringLiteral("%1 konnten nicht übernommen werden: %2").arg(was, neu->getErr()->last());
        return -1;
    };
    if (rsCopyRows(alt, QStringLiteral("SELECT ") + spalten(lieferant, "l") + QStringLiteral(" FROM eingangLieferanten l ORDER BY l.ID"), neu,
                   QStringLiteral("eingangLieferanten"), lieferant) < 0)
        return nein(QStringLiteral("Die Lieferanten der Eingangsrechnungen"));
    const long n = rsCopyRows(alt, QStringLiteral("SELECT ") + spalten(rechnung, "r") + QStringLiteral(" FROM eingangRechnungen r WHERE ") + offen +
                                       QStringLiteral(" ORDER BY r.ID"),
                              neu, QStringLiteral("eingangRechnungen"), rechnung);
    if (n < 0 || rsCopyRows(alt, QStringLiteral("SELECT ") + spalten(steuer, "s") +
                                     QStringLiteral(" FROM eingangSteuern s JOIN eingangRechnungen r ON r.ID=s.RechnungID WHERE ") + offen +
                                     QStringLiteral(" ORDER BY s.ID"),
                                 neu, QStringLiteral("eingangSteuern"), steuer) < 0)
        return nein(QStringLiteral("Die offenen Eingangsrechnungen"));
    return int(n);
}

}  // namespace Eingang
