// What the start page tells a user about the state of the bookkeeping: the
// lists behind the keywords OFFENEBUCHUNGEN and OFFENERECHNUNGEN of
// $GETKONT (KontoGlobal::kontParser, getkont.cpp) and the overview that
// the host shows first (profit so far, money accounts, lock date, what is
// due). The overview reads its figures through kontParser, so the start
// page and the overview never disagree.
//
// Relies on: rahmen (the manager and its case database), konten (names),
// steuer (the profit), buchungen (lock date), kasse (closings), faktura
// (open invoices), bank (open transactions).
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/buchungen/buchungen.h"

#include <QList>
#include <QString>

class KontoGlobal;

namespace Startseite {

// One occurrence of a recurring template that is due and not yet posted,
// as the recurring bookings list it.
using FaelligeBuchung = rsEurRegelBuch;
// The due occurrences of the recurring templates up to `heute`, in the
// window of the tax year (payments from 22 December of the year before to
// 10 January of the next one count when their document date lies in the
// year and the template's payment and document dates differ). Nothing is
// due in a closed year or a year after `heute`'s.
QList<FaelligeBuchung> faelligeBuchungen(const KontoGlobal& kg, const zDate& heute);

// An invoice not yet paid, with the amounts of its detail block.
struct OffeneRechnung {
    unsigned long id = 0;
    QString nummer, kunde, kundennummer;
    zDate datum, zahlungsziel;
    zDate neuesZahlungsziel;  // of the latest dunning letter; invalid without one
    QString mahnstufe;        // empty without dunning letter
    EuroType netto, steuer, brutto, anzahlung;
    EuroType versandNetto, versandSteuer, versandBrutto;
    double versandSatz = 0.0;
    EuroType mahngebuehren, endsumme, offen;
};
// Invoices (not corrections) without payment date, by due date and date.
QList<OffeneRechnung> offeneRechnungen(const KontoGlobal& kg);

// HTML text of a name or any other stored text.
QString html(const QString& text);

// The overview a user sees first.
struct Stand {
    int steuerjahr = 0;
    QString kontenplan;
    bool jahrAbgeschlossen = false;
    EuroType gewinn, einnahmen, ausgaben;
    struct Geldkonto {
        unsigned long konto = 0;
        QString bezeichnung;
        unsigned long kategorie = 0;  // 201 cash, 202 bank, 203 postal bank
        EuroType saldo;
    };
    QList<Geldkonto> geldkonten;  // active accounts of categories 201..203
    EuroType kasse, bank;
    unsigned long kassenkonto = 0;
    zDate kasseAbgeschlossenBis;   // of the case's cash account; invalid without closing
    zDate festgeschriebenBis;      // invalid when nothing is locked
    QList<FaelligeBuchung> faellig;
    QList<OffeneRechnung> rechnungen;
    EuroType offeneRechnungssumme;
    int offeneBankumsaetze = 0;
};
// False with a German reason when the case has no open database.
bool stand(KontoGlobal& kg, const zDate& heute, Stand* s, QString* fehler);

}  // namespace Startseite
