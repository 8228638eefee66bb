// The advance VAT return of one period as a host shows it: the figures per
// code after the form's arithmetic, the taxes the form computes, the totals,
// the deadline and the notes that go with the period. Both hosts (the
// command line's "ustva" and the window's return view) read it from here, so
// they cannot show different figures for the same period.
//
// Also here: which bookings make the figure of a code (the drill-down from a
// figure to its bookings), for the advance return and for the annual return.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/steuer/voranmeldung.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class BerichtListe;

namespace UStVA {

// A period as the figures take it: kind 1 month (monat 0..11), 2 quarter
// (quartal 0..3), 3 the year; the unused index is -1.
struct Periode {
    int art = 3;
    int quartal = -1;
    int monat = -1;
    static Periode ausMonat(int m) { return {1, -1, m}; }
    static Periode ausQuartal(int q) { return {2, q, -1}; }
    static Periode jahr() { return {3, -1, -1}; }
    // "März 2016", "2. Quartal 2016", "2016".
    QString text(int steuerjahr) const;
};

struct Zahlen {
    int steuerjahr = 0;
    Periode periode;
    UStKennziffern kennziffern;          // the ledger's figure and text per code
    OAnmeldungVorauszahlungen umsatz;     // the form's objects after the hand-over
    OAnmeldungVorauszahlungen2 rest;
    OAbziehbareVorsteuerbetraege vorsteuer;
    QMap<int, EuroType> eintraege;        // what is entered per code (bases whole euros, taxes with cents, 83)
    QMap<int, EuroType> steuern;          // the taxes the form computes, by the code of their base
    EuroType sondervorauszahlung;         // credited in this return (code 39), else zero
    zDate abgabefrist;                    // invalid for the year
    QStringList hinweise;                 // notes on the period (a month of a quarterly filer, …)

    // The text of a code as the form names it.
    QString text(int kennziffer) const { return kennziffern.value(unsigned(kennziffer)).Bezeichnung; }
};

// The return of `periode` of the case in `slot`. False without a case.
bool berechne(int slot, const Periode& periode, Zahlen* z);

// The return as the program's list (page, CSV, PDF): code, text, base in
// whole euros, tax; then output tax, input tax, code 83 and the deadline as
// total rows.
void liste(const Zahlen& z, BerichtListe* l);

// The bookings whose lines make the figures of `kennziffern` in `periode`,
// by number: on form 0 the codes of the advance return, on form 1 those of
// the annual return (periode: the year). A tax the form computes from its
// base comes from the base's bookings; code 39 from the postings of the
// special advance payment. Cancelled bookings and their cancellations are
// among them, as they are in the figures (where they offset each other).
// Empty when no booking makes them or there is no case.
QList<unsigned long> buchungenZu(int slot, int formular, const Periode& periode, const QList<int>& kennziffern);

}  // namespace UStVA
