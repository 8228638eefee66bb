// The open items a bank transaction may pay, from every source that has
// them, and the posting of such a payment through the source's own rules.
#include "kontbaum/bank/intern.h"

#include "kontbaum/faktura/faktura.h"

namespace Bank {
namespace intern {

QList<OffenerPosten> offenePosten(DBConnection* db) {
    QList<OffenerPosten> l;
    for (const Faktura::Beleg& b : Faktura::buchungskandidaten(db)) {
        if (b.bezahlt.isValid() || b.nummer.isEmpty()) continue;
        l << OffenerPosten{OffenerPosten::Ausgangsrechnung, b.id, b.nummer, Faktura::berechneSummen(db, b).offen};
    }
    return l;
}

int herkunftVon(OffenerPosten::Quelle) { return KontoGlobal::HERK_RECH_ASSI; }

bool quelleVon(int herkunft, OffenerPosten::Quelle* q) {
    if (herkunft != KontoGlobal::HERK_RECH_ASSI) return false;
    *q = OffenerPosten::Ausgangsrechnung;
    return true;
}

unsigned long buchePosten(DBConnection* db, OffenerPosten::Quelle, const QString& nummer, unsigned long geldkonto, const zDate& datum,
                          QString* fehler) {
    Faktura::Beleg b;
    if (!Faktura::findeBeleg(db, Faktura::Belegart::Rechnung, nummer, &b)) {
        *fehler = QStringLiteral("Die Rechnung %1 gibt es nicht mehr.").arg(nummer);
        return 0;
    }
    return Faktura::bucheRechnung(db, b, Faktura::BuchungsAuftrag{geldkonto, datum, QString(), EuroType()}, fehler);
}

}  // namespace intern
}  // namespace Bank
