// What the registers' files share and nothing outside kontbaum/anlagen/ sees:
// the entries of a register node and the refusal that fills the message.
#pragma once

#include "host/tree/datenbase.h"

#include <QList>
#include <QString>

namespace Anlagen {
namespace intern {

// The entries of class `klasse` under the register node `pfad`, in slot
// order (the order the register numbers them); empty when the case has no
// such register yet.
inline QList<DatenBase*> eintraege(const QString& pfad, const QString& klasse) {
    QList<DatenBase*> l;
    if (const DatenBase* r = DatenBase::GetDB(pfad, false))
        for (int i = 0; i < r->childSlotCount(); ++i)
            if (DatenBase* e = r->childSlot(i))
                if (e->className() == klasse) l << e;
    return l;
}

// A refusal: the German reason into `fehler` (when asked for), false back.
inline bool nein(QString* fehler, const QString& t) {
    if (fehler) *fehler = t;
    return false;
}

}  // namespace intern
}  // namespace Anlagen
