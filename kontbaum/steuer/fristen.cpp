// The returns of a year and their deadlines (see fristen.h).
#include "kontbaum/steuer/fristen.h"

#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"

#include <algorithm>

namespace Fristen {

zDate jahresfrist(int jahr) {
    return Anmeldung::naechsterWerktag(jahr <= 2017 ? zDate(jahr + 1, 5, 31) : zDate(jahr + 1, 7, 31));
}

QList<Termin> termine(int slot, const zDate& heute) {
    QList<Termin> t;
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return t;
    const int jahr = kg->getSteuerjahr();
    if (KontoGlobal::istUstPflichtig(db)) {
        const bool quartale = Anmeldung::zeitraum(db) == Anmeldung::Zeitraum::Quartal;
        const bool dauerfrist = Anmeldung::dauerfrist(db);
        for (int i = 0; i < (quartale ? 4 : 12); ++i) {
            Termin v;
            v.periode = quartale ? UStVA::Periode::ausQuartal(i) : UStVA::Periode::ausMonat(i);
            v.ende = quartale ? zDate(jahr, 3 * i + 3, 1).addMonths(1).addDays(-1) : zDate(jahr, i + 1, 1).addMonths(1).addDays(-1);
            if (heute < v.ende) break;
            v.was = QStringLiteral("USt-Voranmeldung %1").arg(v.periode.text(jahr));
            v.frist = Anmeldung::abgabefrist(jahr, v.periode.art, v.periode.quartal, v.periode.monat, dauerfrist);
            t << v;
        }
    }
    const zDate jahresende(jahr, 12, 31);
    if (!(heute < jahresende)) {
        // A small business files the annual return as well (§ 18 Abs. 3 UStG).
        t << Termin{Termin::Jahreserklaerung, QStringLiteral("Umsatzsteuererklärung %1").arg(jahr), UStVA::Periode::jahr(), jahresende,
                        jahresfrist(jahr)};
        t << Termin{Termin::Euer, QStringLiteral("Einnahmenüberschussrechnung (Anlage EÜR) %1").arg(jahr), UStVA::Periode::jahr(), jahresende,
                    jahresfrist(jahr)};
    }
    std::stable_sort(t.begin(), t.end(), [](const Termin& a, const Termin& b) { return a.frist < b.frist; });
    return t;
}

}  // namespace Fristen
