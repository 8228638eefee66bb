// How a case files its advance VAT returns: monthly or quarterly, with or
// without the permanent extension of the deadline (Dauerfristverlängerung).
// Both are case properties; the advance return reads them to know which of
// its periods is the last of the year (the one that credits the special
// advance payment) and when a return is due.
#pragma once

#include "host/values/date.h"

#include <QString>

class DBConnection;

namespace Anmeldung {

enum class Zeitraum { Offen = 0, Monat = 1, Quartal = 2 };

// Case properties; `db` null: the active case.
extern const char* const kZeitraumFeld;    // "UStVAZeitraum": "1" monthly, "2" quarterly
extern const char* const kDauerfristFeld;  // "Dauerfristverlaengerung": "1" granted
Zeitraum zeitraum(DBConnection* db = nullptr);
void setZeitraum(Zeitraum z, DBConnection* db = nullptr);
bool dauerfrist(DBConnection* db = nullptr);
void setDauerfrist(bool ja, DBConnection* db = nullptr);

// Whether the return of a period (kind 1 month, 2 quarter, as the VAT
// figures take it) credits the special advance payment: the last return of
// the year, December for a monthly filer, the fourth quarter for a
// quarterly one; either while the case names no filing period.
bool mitSondervorauszahlung(int zeitraumArt, int quartal, int monat, DBConnection* db = nullptr);

// The day the return of a month or quarter of `jahr` is due: the tenth day
// after the period ends, a month later with the extension (§ 18 Abs. 1
// UStG, § 46 UStDV), and then, when that day is a Saturday, a Sunday or a
// nationwide public holiday, the next working day (§ 108 Abs. 3 AO).
// Invalid for any other period.
zDate abgabefrist(int jahr, int zeitraumArt, int quartal, int monat, bool dauerfrist);

// Whether a day is one of the public holidays of every German state: New
// Year, Good Friday, Easter Monday, 1 May, Ascension, Whit Monday,
// 3 October, Christmas Day and Boxing Day. Holidays of single states do
// not move a federal deadline for everyone, so they are left out.
bool bundesweiterFeiertag(const zDate& tag);
// `tag` itself when it is a working day, otherwise the next working day.
zDate naechsterWerktag(const zDate& tag);

// A quarterly filer pays no special advance payment (§ 47 UStDV: it is the
// monthly filer's price of the extension); when one is booked anyway, the
// note that says so, empty otherwise. The return still credits the amount
// booked, as the tax office would credit a payment it received.
QString sondervorauszahlungHinweis(bool gebucht, DBConnection* db = nullptr);

// A note when a month is asked of a quarterly filer or a quarter of a
// monthly one (the figures are right, but they are no return of the case);
// empty otherwise.
QString zeitraumHinweis(int zeitraumArt, DBConnection* db = nullptr);

}  // namespace Anmeldung
