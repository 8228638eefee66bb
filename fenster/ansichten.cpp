// The registered views (see ansichten.h): one line per view, in the order
// of the navigation.
#include "fenster/ansichten.h"

#include "fenster/buchungsansicht.h"
#include "fenster/buchungsmaske.h"
#include "fenster/ansichten/bank.h"
#include "fenster/ansichten/eingang.h"
#include "fenster/ansichten/faktura.h"
#include "fenster/ansichten/kasse.h"
#include "fenster/ansichten/konten.h"
#include "fenster/ansichten/register.h"
#include "fenster/zahlen/euer_ansicht.h"
#include "fenster/zahlen/listen_ansicht.h"
#include "fenster/zahlen/startteile.h"
#include "fenster/zahlen/ustva_ansicht.h"

namespace fenster {

QList<AnsichtEintrag> alleAnsichten() {
    return {
        {QStringLiteral("buchen"), [](Sitzung& s) -> Ansicht* { return new BuchungsMaske(s); }},
        {QStringLiteral("buchungen"), [](Sitzung& s) -> Ansicht* { return new BuchungsAnsicht(s); }},
        {QStringLiteral("kontenplan"), [](Sitzung& s) -> Ansicht* { return new KontenAnsicht(s); }},
        {QStringLiteral("kassenbuch"), [](Sitzung& s) -> Ansicht* { return new KassenAnsicht(s); }},
        {QStringLiteral("bank"), [](Sitzung& s) -> Ansicht* { return new BankAnsicht(s); }},
        {QStringLiteral("rechnungen"), [](Sitzung& s) -> Ansicht* { return new RechnungenAnsicht(s); }},
        {QStringLiteral("eingangsrechnungen"), [](Sitzung& s) -> Ansicht* { return new EingangAnsicht(s); }},
        {QStringLiteral("anlagen"), [](Sitzung& s) -> Ansicht* { return new RegisterAnsicht(s); }},
        {QStringLiteral("ustva"), [](Sitzung& s) -> Ansicht* { return new UStVAAnsicht(s); }},
        {QStringLiteral("euer"), [](Sitzung& s) -> Ansicht* { return new EuerAnsicht(s); }},
        {QStringLiteral("ust-erklaerung"), [](Sitzung& s) -> Ansicht* { return new UStErklaerungAnsicht(s); }},
        {QStringLiteral("saldenliste"), [](Sitzung& s) -> Ansicht* { return new SaldenlisteAnsicht(s); }},
        {QStringLiteral("berichte"), [](Sitzung& s) -> Ansicht* { return new BerichteAnsicht(s); }},
    };
}

QList<StartseitenTeil> alleStartseitenTeile() {
    return {
        {QStringLiteral("zahlen"), [](Sitzung& s) { return new StartZahlen(s); }},
    };
}

}  // namespace fenster
