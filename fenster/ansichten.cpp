// The registered views (see ansichten.h): one line per view, in the order
// of the navigation.
#include "fenster/ansichten.h"

#include "fenster/buchungsansicht.h"
#include "fenster/buchungsmaske.h"

namespace fenster {

QList<AnsichtEintrag> alleAnsichten() {
    return {
        {QStringLiteral("buchen"), [](Sitzung& s) { return new BuchungsMaske(s); }},
        {QStringLiteral("buchungen"), [](Sitzung& s) { return new BuchungsAnsicht(s); }},
    };
}

QList<StartseitenTeil> alleStartseitenTeile() {
    return {
    };
}

}  // namespace fenster
