// The registered views (see ansichten.h): one line per view, in the order
// of the navigation.
#include "fenster/ansichten.h"

#include "fenster/zahlen/euer_ansicht.h"
#include "fenster/zahlen/listen_ansicht.h"
#include "fenster/zahlen/startteile.h"
#include "fenster/zahlen/ustva_ansicht.h"

namespace fenster {

QList<AnsichtEintrag> alleAnsichten() {
    return {
        {QStringLiteral("ustva"), [](Sitzung& s) { return new UStVAAnsicht(s); }},
        {QStringLiteral("euer"), [](Sitzung& s) { return new EuerAnsicht(s); }},
        {QStringLiteral("ust-erklaerung"), [](Sitzung& s) { return new UStErklaerungAnsicht(s); }},
        {QStringLiteral("saldenliste"), [](Sitzung& s) { return new SaldenlisteAnsicht(s); }},
        {QStringLiteral("berichte"), [](Sitzung& s) { return new BerichteAnsicht(s); }},
    };
}

QList<StartseitenTeil> alleStartseitenTeile() {
    return {
        {QStringLiteral("zahlen"), [](Sitzung& s) { return new StartZahlen(s); }},
    };
}

}  // namespace fenster
