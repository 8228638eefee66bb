// The disposal of a register entry with its default accounts (see abgang.h).
#include "kontbaum/anlagen/abgang.h"

#include "kontbaum/rahmen/kontglob.h"

namespace Anlagen {

namespace {
unsigned long spezialKonto(unsigned long skr03) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSpezialKonto(skr03) : 0;
}
}  // namespace

bool abgangEintragen(int nummer, const zDate& datum, Abgangsart art, const EuroType& erloes, unsigned long geldkonto,
                     unsigned long erloeskonto, QString* fehler) {
    Anlage x;
    if (!finde(nummer, &x)) {
        if (fehler) *fehler = QStringLiteral("Eine Anlage Nr. %1 gibt es nicht.").arg(nummer);
        return false;
    }
    x.abgang = datum;
    x.abgangsart = art;
    x.erloes = erloes;
    x.geldkonto = geldkonto != 0 ? geldkonto : art == Entnahme ? spezialKonto(1800) : 0;
    x.erloeskonto = erloeskonto != 0 ? erloeskonto : erloes.isNull() ? 0 : spezialKonto(8820);
    return speichern(x, fehler);
}

bool umlaufAbgangEintragen(int nummer, const zDate& datum, Abgangsart art, const EuroType& erloes, unsigned long geldkonto,
                           QString* fehler) {
    const QList<UmlaufGut> l = umlaufListe();
    if (nummer < 1 || nummer > l.size()) {
        if (fehler) *fehler = QStringLiteral("Einen Eintrag Nr. %1 im Umlaufvermögen gibt es nicht.").arg(nummer);
        return false;
    }
    if (art != Verkauf && art != Entnahme) {
        if (fehler) *fehler = QStringLiteral("Umlaufvermögen geht durch Verkauf oder Entnahme ab.");
        return false;
    }
    UmlaufGut u = l[nummer - 1];
    u.abgang = datum;
    u.abgangsart = art;
    u.erloes = erloes;
    u.geldkonto = geldkonto != 0 ? geldkonto : art == Entnahme ? spezialKonto(1800) : 0;
    return umlaufSpeichern(u, fehler);
}

}  // namespace Anlagen
