// The settings of a case that change how it is taxed, as a user changes
// them in any host: VAT liability (a year is taxed by one rule, so a case
// whose bookings already charge or deduct VAT is not switched to § 19
// UStG) and the cash account the cash book keeps. Both refuse with a German
// message and change nothing then.
//
// Relies on: rahmen (the manager, the chart and its VAT keys).
#pragma once

#include <QString>

class DBConnection;
class KontoGlobal;

namespace Falleinstellungen {

// Makes the open case liable to VAT or not and adapts the chart's keys.
// Empty, or the German refusal (a closed year; bookings with VAT when
// switching it off; a chart that could not be adapted).
QString setzeUstPflicht(KontoGlobal* kg, DBConnection* db, bool pflichtig);
// Makes `konto` the case's cash account; only an active register
// (category 201) is one. Empty, or the German refusal.
QString setzeKassenkonto(KontoGlobal* kg, unsigned long konto);

}  // namespace Falleinstellungen
