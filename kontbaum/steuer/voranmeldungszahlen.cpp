// The advance VAT return of a period as the hosts show it (see
// voranmeldungszahlen.h). The drill-down to the bookings is in ustva.cpp,
// beside the reading of the figures it retraces.
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include "kontbaum/berichte/liste.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"

namespace UStVA {

QString Periode::text(int steuerjahr) const {
    BerichtParameter p;
    p.jahr = steuerjahr;
    p.zeitraum.art = art;
    p.zeitraum.monat = monat;
    p.zeitraum.quartal = quartal;
    return p.zeitraumText();
}

bool berechne(int slot, const Periode& periode, Zahlen* z) {
    *z = Zahlen();
    KontoGlobal* kg = GetKontoGlobal(slot, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return false;
    z->steuerjahr = kg->getSteuerjahr();
    z->periode = periode;
    Kont_::GetUmsaetzeFuer(slot, z->kennziffern, periode.art, periode.quartal, periode.monat);
    const bool letzte = Anmeldung::mitSondervorauszahlung(periode.art, periode.quartal, periode.monat, db);
    const EuroType svz = Kont_::getSondervorauszahlung(slot);
    const QString zeitraumHinweis = Anmeldung::zeitraumHinweis(periode.art, db);
    if (!zeitraumHinweis.isEmpty()) z->hinweise << zeitraumHinweis;
    const QString svzHinweis = Anmeldung::sondervorauszahlungHinweis(!svz.isNull(), db);
    if (!svzHinweis.isEmpty()) z->hinweise << svzHinweis;
    if (letzte) z->sondervorauszahlung = svz;
    z->abgabefrist = Anmeldung::abgabefrist(z->steuerjahr, periode.art, periode.quartal, periode.monat, Anmeldung::dauerfrist(db));
    uebertrage(z->kennziffern, z->umsatz, z->rest, z->vorsteuer, z->sondervorauszahlung);
    z->eintraege = eintraege(z->umsatz, z->rest, z->vorsteuer);
    z->steuern = berechneteSteuern(z->umsatz);
    return true;
}

void liste(const Zahlen& z, BerichtListe* l) {
    *l = BerichtListe();
    l->titel = QStringLiteral("Umsatzsteuer-Voranmeldung %1").arg(z.periode.text(z.steuerjahr));
    l->spalte(QStringLiteral("Kz."), QStringLiteral("kennziffer"), BerichtSpalte::Zahl, 4);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 62);
    l->spalte(QStringLiteral("Bemessungsgrundlage"), QStringLiteral("bemessungsgrundlage"), BerichtSpalte::Betrag, 19);
    l->spalte(QStringLiteral("Steuer"), QStringLiteral("steuer"), BerichtSpalte::Betrag, 14);
    auto d = [](const EuroType& e) { return QVariant(e.alsDouble()); };
    for (auto it = z.eintraege.constBegin(); it != z.eintraege.constEnd(); ++it) {
        if (it.key() == 83) continue;
        // A base with the tax the form computes from it; a tax alone in the tax column.
        const bool basis = volleEuro(it.key());
        const QVariant steuer = basis ? (z.steuern.contains(it.key()) ? d(z.steuern.value(it.key())) : QVariant()) : d(it.value());
        l->zeile({qlonglong(it.key()), z.text(it.key()), basis ? d(it.value()) : QVariant(), steuer});
    }
    l->zeile({QVariant(), QStringLiteral("Umsatzsteuer"), QVariant(), d(z.umsatz.umsatzsteuer)}, true);
    l->zeile({QVariant(), QStringLiteral("Abziehbare Vorsteuerbeträge"), QVariant(), d(z.vorsteuer.vorsteuer)}, true);
    l->zeile({qlonglong(83),
              z.rest.vorauszahlung < EuroType() ? QStringLiteral("Verbleibender Überschuss") : QStringLiteral("Verbleibende Umsatzsteuer-Vorauszahlung"),
              QVariant(), d(z.rest.vorauszahlung)},
             true);
    if (z.abgabefrist.isValid()) l->untertitel = QStringLiteral("Abgabefrist %1").arg(z.abgabefrist.getText());
}

}  // namespace UStVA
