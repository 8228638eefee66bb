// The filing period and the extension of the advance return (see anmeldezeitraum.h).
#include "kontbaum/steuer/anmeldezeitraum.h"

#include "kontbaum/rahmen/kontglob.h"

namespace Anmeldung {

const char* const kZeitraumFeld = "UStVAZeitraum";
const char* const kDauerfristFeld = "Dauerfristverlaengerung";

Zeitraum zeitraum(DBConnection* db) {
    const QString w = KontoGlobal::getFalleigenschaft(QLatin1String(kZeitraumFeld), db).trimmed();
    if (w == QLatin1String("1")) return Zeitraum::Monat;
    if (w == QLatin1String("2")) return Zeitraum::Quartal;
    return Zeitraum::Offen;
}

void setZeitraum(Zeitraum z, DBConnection* db) {
    KontoGlobal::setFalleigenschaft(QLatin1String(kZeitraumFeld), z == Zeitraum::Offen ? QString() : QString::number(int(z)), db);
}

bool dauerfrist(DBConnection* db) {
    return KontoGlobal::getFalleigenschaft(QLatin1String(kDauerfristFeld), db).trimmed() == QLatin1String("1");
}

void setDauerfrist(bool ja, DBConnection* db) {
    KontoGlobal::setFalleigenschaft(QLatin1String(kDauerfristFeld), ja ? QStringLiteral("1") : QStringLiteral("0"), db);
}

bool mitSondervorauszahlung(int zeitraumArt, int quartal, int monat, DBConnection* db) {
    const bool dezember = zeitraumArt == 1 && monat == 11;
    const bool q4 = zeitraumArt == 2 && quartal == 3;
    switch (zeitraum(db)) {
    case Zeitraum::Monat:
        return dezember;
    case Zeitraum::Quartal:
        return q4;
    case Zeitraum::Offen:
        break;
    }
    return dezember || q4;
}

zDate abgabefrist(int jahr, int zeitraumArt, int quartal, int monat, bool dauerfristJa) {
    int letzterMonat = 0;
    if (zeitraumArt == 1 && monat >= 0 && monat <= 11) letzterMonat = monat + 1;
    else if (zeitraumArt == 2 && quartal >= 0 && quartal <= 3) letzterMonat = 3 * quartal + 3;
    else return zDate();
    return zDate(jahr, letzterMonat, 1).addMonths(dauerfristJa ? 2 : 1).addDays(9);
}

QString zeitraumHinweis(int zeitraumArt, DBConnection* db) {
    const Zeitraum z = zeitraum(db);
    if (z == Zeitraum::Quartal && zeitraumArt == 1)
        return QStringLiteral("Der Fall meldet vierteljährlich; diese Monatszahlen sind keine Voranmeldung des Falls. Die Voranmeldung "
                              "zeigt „dalvo ustva FALL --quartal Q“.");
    if (z == Zeitraum::Monat && zeitraumArt == 2)
        return QStringLiteral("Der Fall meldet monatlich; diese Quartalszahlen sind keine Voranmeldung des Falls. Die Voranmeldung "
                              "zeigt „dalvo ustva FALL --monat M“.");
    return QString();
}

}  // namespace Anmeldung
