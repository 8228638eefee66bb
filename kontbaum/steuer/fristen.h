// The returns a case owes for its year and the day each is due: every
// advance VAT return by the case's filing period, the annual VAT return and
// the income-surplus statement (filed with the income-tax return). The
// start page lists from here what is due.
#pragma once

#include "host/values/date.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include <QList>
#include <QString>

namespace Fristen {

struct Termin {
    enum Art { Voranmeldung, Jahreserklaerung, Euer };
    Art art = Voranmeldung;
    QString was;            // "USt-Voranmeldung März 2016"
    UStVA::Periode periode; // of an advance return; the year for the others
    zDate ende;             // the last day of the period
    zDate frist;            // the day it is due
};

// The returns of the case in `slot` whose period has ended by `heute`, by
// due date. Advance returns only for a case liable to VAT, monthly while
// the case names no filing period; the annual returns once the year has
// ended; none without a case.
QList<Termin> termine(int slot, const zDate& heute);

// The day the annual returns of `jahr` are due (§ 149 Abs. 2 AO): 31 May of
// the next year for the years up to 2017, 31 July from 2018, moved to the
// next working day. The extensions of single years by special law are not
// known here.
zDate jahresfrist(int jahr);

}  // namespace Fristen
