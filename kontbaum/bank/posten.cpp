// The open items a bank transaction may pay, from every source that has
// them, and the posting of such a payment through the source's own rules.
#include "kontbaum/bank/intern.h"

#include "kontbaum/eingang/eingang.h"
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

int herkunftVon(OffenerPosten::Quelle q) {
    return q == OffenerPosten::Eingangsrechnung ? KontoGlobal::HERK_RECH : KontoGlobal::HERK_RECH_ASSI;
}

bool quelleVon(int herkunft, OffenerPosten::Quelle* q) {
    if (herkunft == KontoGlobal::HERK_RECH_ASSI) *q = OffenerPosten::Ausgangsrechnung;
    else if (herkunft == KontoGlobal::HERK_RECH) *q = OffenerPosten::Eingangsrechnung;
    else return false;
    return true;
}

unsigned long buchePosten(DBConnection* db, OffenerPosten::Quelle q, const QString& nummer, unsigned long geldkonto, const zDate& datum,
                          QString* fehler) {
    // An incoming invoice is booked by its rates, as paid on the debit's day;
    // its staged payment carries the invoice's id as voucher number.
    if (q == OffenerPosten::Eingangsrechnung) return Eingang::buche(db, nummer.toULong(), Eingang::Buchungsauftrag{0, geldkonto, datum}, fehler);
    Faktura::Beleg b;
    if (!Faktura::findeBeleg(db, Faktura::Belegart::Rechnung, nummer, &b)) {
        *fehler = QStringLiteral("Die Rechnung %1 gibt es nicht mehr.").arg(nummer);
        return 0;
    }
    return Faktura::bucheRechnung(db, b, Faktura::BuchungsAuftrag{geldkonto, datum, QString(), EuroType()}, fehler);
}

}  // namespace intern
}  // namespace Bank
