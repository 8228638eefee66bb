// One booking as the command line describes it (`buchen`, `vorlage neu`):
// the same flags, the same usage errors and the same checks wherever a
// booking is typed.
#pragma once

#include "app/cli.h"

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QString>
#include <QStringList>

namespace cli {

struct BuchungsAngaben {
    int art = 3;
    zDate datum;
    EuroType betrag;  // positive; a negative free booking has its sides turned
    unsigned long konto = 0, gegen = 0, schluessel = 0;
    bool mitSchluessel = false, netto = false;
    bool geldHaben = false;  // side of the money line
    QString text, beleg, ustid;
    int zm = 0;
};

// --art, --datum, --betrag, --konto/--gegenkonto or --soll/--haben,
// --schluessel, --netto, --text, --beleg, --ustid, --zm (with the English
// names of the first commands: --kind, --date, --amount, …).
QList<Option> buchungsOptionen();
// Reads the flags of a booking; -1 when they are complete and well formed,
// otherwise the exit code of the usage error already reported for `befehl`.
int leseBuchungsAngaben(const QString& befehl, const Args& a, BuchungsAngaben* angaben);
// The checks every entered booking passes (with `pruefdatum` as its date)
// and the booking to post; empty, or the German refusal.
QString entwurfAusAngaben(DBConnection* db, int steuerjahr, const BuchungsAngaben& angaben, const zDate& pruefdatum,
                          KontoGlobal::BuchungsEntwurf* entwurf);

}  // namespace cli
