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
    return naechsterWerktag(zDate(jahr, letzterMonat, 1).addMonths(dauerfristJa ? 2 : 1).addDays(9));
}

namespace {
// Easter Sunday of the Gregorian calendar (the anonymous Gregorian
// algorithm, Meeus/Jones/Butcher).
zDate ostersonntag(int j) {
    const int a = j % 19, b = j / 100, c = j % 100, d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30, i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451, monat = (h + l - 7 * m + 114) / 31, tag = (h + l - 7 * m + 114) % 31 + 1;
    return zDate(j, monat, tag);
}
}  // namespace

bool bundesweiterFeiertag(const zDate& t) {
    if (!t.isValid()) return false;
    const int m = t.month(), d = t.day();
    if ((m == 1 && d == 1) || (m == 5 && d == 1) || (m == 10 && d == 3) || (m == 12 && (d == 25 || d == 26))) return true;
    const zDate ostern = ostersonntag(t.year());
    for (const int abstand : {-2, 1, 39, 50})  // Good Friday, Easter Monday, Ascension, Whit Monday
        if (t == ostern.addDays(abstand)) return true;
    return false;
}

zDate naechsterWerktag(const zDate& tag) {
    zDate t = tag;
    while (t.isValid() && (t.qdate().dayOfWeek() >= 6 || bundesweiterFeiertag(t))) t = t.addDays(1);
    return t;
}

QString sondervorauszahlungHinweis(bool gebucht, DBConnection* db) {
    if (!gebucht || zeitraum(db) != Zeitraum::Quartal) return QString();
    return QStringLiteral("Der Fall meldet vierteljährlich: Vierteljährliche Abgeber leisten keine Sondervorauszahlung (§ 47 UStDV), "
                          "die Dauerfristverlängerung gilt für sie ohne Zahlung. Die gebuchte Sondervorauszahlung wird in der "
                          "Voranmeldung trotzdem angerechnet; prüfen Sie die Buchung auf dem Konto der Sondervorauszahlung.");
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
