// Date input and recurring intervals.
//
// Interval vocabulary of incByInterval (codes stored in the Intervall column
// of a booking header; 0 means "not recurring"):
//   1 weekly, 2 every two weeks, 3 monthly, 4 every two months,
//   5 quarterly, 6 half-yearly, 7 yearly, 8 every four weeks.
// Month-based intervals keep the day of the *first* date of the series:
// a series starting on 31.01. yields 29.02. (leap year), 31.03., 30.04., 31.05.
// and a series starting on 30.01. yields 29.02., 30.03.; a first date on the
// last day of its month is not special, the day number is what counts.
#pragma once

#include "host/values/date.h"

#include <QString>

namespace DateHelper {

enum Intervall {
    KeinIntervall = 0,
    Woechentlich = 1,
    Zweiwoechentlich = 2,
    Monatlich = 3,
    Zweimonatlich = 4,
    Vierteljaehrlich = 5,
    Halbjaehrlich = 6,
    Jaehrlich = 7,
    Vierwoechentlich = 8
};

// German name of an interval ("monatlich", ...); empty for an unknown code.
QString intervallText(int intervall);

// Parses day, month and year text as typed in a form: "31.1.16", "31.01.2016",
// "3101" (uses the default year), "31.01." (default year). Two-digit years
// are 2000+yy. Invalid input gives an invalid date.
zDate fromDMYtoDate(const QString& text);
zDate fromDMYtoDate(int day, int month, int year);

void setDefaultYear(int year);
int defaultYear();

// The date `schritte` intervals after `current` in a series whose first date
// is `first` (the month-end rule above keys to first.day()). An unknown
// interval or an invalid date gives an invalid date.
zDate incByInterval(const zDate& current, int intervall, const zDate& first, int schritte = 1);
// Convenience: one step, the series starting at `current`.
inline zDate incByInterval(const zDate& current, int intervall) { return incByInterval(current, intervall, current, 1); }

}  // namespace DateHelper
