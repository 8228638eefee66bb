// The registered views (see ansichten.h): one line per view, in the order
// of the navigation.
#include "fenster/ansichten.h"

namespace fenster {

QList<AnsichtEintrag> alleAnsichten() {
    return {
    };
}

QList<StartseitenTeil> alleStartseitenTeile() {
    return {
    };
}

}  // namespace fenster
