// The profit statement as a list (see zahlenlisten.h); the balance list's
// is in berichte.cpp beside the page it mirrors.
#include "kontbaum/berichte/zahlenlisten.h"

namespace Berichte {

void euer(const EUERechnung2& r, int jahr, BerichtListe* l) {
    *l = BerichtListe();
    l->titel = QStringLiteral("Einnahmenüberschussrechnung %1").arg(jahr);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BerichtSpalte::Zahl, 6);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 50);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BerichtSpalte::Betrag, 14);
    auto d = [](const EuroType& e) { return QVariant(e.alsDouble()); };
    for (bool einnahmen : {true, false}) {
        l->zeile({QVariant(), einnahmen ? QStringLiteral("Betriebseinnahmen") : QStringLiteral("Betriebsausgaben"), QVariant()}, true);
        for (const EUERechnung2::Kategorie& c : r.kategorien()) {
            if (c.einnahme != einnahmen) continue;
            l->zeile({QVariant(), QStringLiteral("%1 %2").arg(c.kategorie).arg(c.bezeichnung), QVariant()}, true);
            for (const EUERechnung2::KontoSumme& k : c.konten) l->zeile({qlonglong(k.konto), QStringLiteral("  ") + k.bezeichnung, d(k.summe)});
            l->zeile({QVariant(), QStringLiteral("  Summe ") + c.bezeichnung, d(c.summe)}, true);
        }
        l->zeile({QVariant(), einnahmen ? QStringLiteral("Summe Betriebseinnahmen") : QStringLiteral("Summe Betriebsausgaben"),
                  d(einnahmen ? r.einnahmen() : r.ausgaben())},
                 true);
    }
    if (!r.iab().isNull()) l->zeile({QVariant(), QStringLiteral("Investitionsabzugsbeträge"), d(r.iab())}, true);
    if (!r.iabAufloesung().isNull()) l->zeile({QVariant(), QStringLiteral("Hinzurechnung von Investitionsabzugsbeträgen"), d(r.iabAufloesung())}, true);
    l->zeile({QVariant(), r.gewinn() < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), d(r.gewinn())}, true);
}

}  // namespace Berichte
