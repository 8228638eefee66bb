// Subsystem "berichte": the report lists a user prints or exports.
// Relies on: rahmen (case database; the manager frees the report
// instances through the clean-up this folder adds), the host's print stream
// and values. Through KontoGlobal's members it asks konten (names and
// categories of the accounts).
//
// The reports of the bookkeeping: the balance list (Saldenliste2), the
// profit statement by category (EUERechnung2) and the ledger lists (cash
// book, account statements, booking journal, VAT list). Each reads the
// ledger afresh; cancelled bookings and their cancellations are left out.
// The indexes the sums are read through, and the step that gives them to
// cases made before they existed, are in indizes.h; every other report
// list, and how a list is printed and exported, in listen.h and liste.h.
#pragma once

#include "host/app/printstring.h"
#include "host/values/date.h"
#include "host/values/euro.h"
#include "host/values/period.h"

#include <QList>
#include <QMap>

class BerichtListe;
#include <QString>

// Period selection of a report: kind 1 month, 2 quarter, 3 year, 4 free.
struct BerichtZeitraum {
    int art = 3;
    int monat = -1;    // 0..11
    int quartal = -1;  // 0..3
    rsPeriod frei;
};

class Saldenliste2 {
public:
    // Reads the account classes and the opening-balance accounts of the case.
    Saldenliste2();
    // Kind, month and quarter from the manager's form data, the free period
    // from its Zeitraum; setZeitraum overrides both.
    void setZeitraum(const BerichtZeitraum& z) { m_zeitraum = z; m_zeitraumGesetzt = true; }
    int getFilter(QString& filter) const;
    QString getStatement() const;
    bool Fuellen();
    // The list of the page, JSON and PDF: per account the opening balance,
    // the previous months, the bookings of the period and the balance,
    // debit and credit each. Returns the number of accounts.
    int liste(BerichtListe* l);
    // The list of the CSV, whose text scripts read as it always was: no
    // heading, the name in quotes, the opening balance, every other line as
    // a booking, then the balance credit before debit.
    int csvListe(BerichtListe* l);
    // The two above held whole: the page into `p`, the CSV text into `out`.
    int Print(zPrintString& p);
    int Print2CSV(QString& out);

    struct Paar {
        EuroType soll, haben;
    };
    struct Konto {
        Paar anfang, vormonate, buchungen;
    };
    // The per-account totals (after Print/Print2CSV), by account.
    const QMap<unsigned long, Konto>& konten() const { return m_konten; }

private:
    // The sums per account; without `mitVormonaten` every line of the
    // period that is no opening balance counts as a booking (the CSV).
    void sammeln(bool mitVormonaten);

    BerichtZeitraum m_zeitraum;
    bool m_zeitraumGesetzt = false;
    struct Klasse {
        unsigned long von, bis;
        QString bezeichnung;
    };
    QList<Klasse> m_klassen;
    QList<unsigned long> m_ebKonten;
    QMap<unsigned long, Konto> m_konten;
};

// The profit by category and account (the sign rules of the profit: income
// credit positive, expenses debit positive).
class EUERechnung2 {
public:
    struct KontoSumme {
        unsigned long konto;
        QString bezeichnung;
        EuroType summe;
    };
    struct Kategorie {
        unsigned long kategorie;
        QString bezeichnung;
        bool einnahme;
        EuroType summe;
        QList<KontoSumme> konten;
    };
    // False when the ledger holds no line of a profit account.
    bool Fuellen();
    const QList<Kategorie>& kategorien() const { return m_kategorien; }
    EuroType einnahmen() const { return m_einnahmen; }
    EuroType ausgaben() const { return m_ausgaben; }
    EuroType iab() const { return m_iab; }
    EuroType iabAufloesung() const { return m_iabAufloesung; }
    EuroType gewinn() const { return m_gewinn; }
    int Print(zPrintString& p) const;

private:
    QList<Kategorie> m_kategorien;
    EuroType m_einnahmen, m_ausgaben, m_iab, m_iabAufloesung, m_gewinn;
};

namespace Berichte {
// The process-wide instance of the profit statement: created on first use;
// with `freigeben` an existing one is destroyed and null is returned. The
// manager releases all report instances when it goes (alleFreigeben, which
// this folder adds to the manager's clean-ups).
EUERechnung2* EUERechnung2Instanz(bool freigeben = false);
void alleFreigeben();
// The report filter of the ledger lists: the period condition and the
// account condition of the manager's active-account selection ("Konto=n",
// " Konto Between a AND b", or the range of all active accounts).
QString filter(const BerichtZeitraum& z, int jahr);
// The cash book statement of an account (also used by the cash closing):
// lines of the account in the period with their running balance.
QString kassenbuchStatement(unsigned long konto, const zDate& von, const zDate& bis);
// Account statement, booking journal and VAT list as printed pages.
int Kontenabfrage2(zPrintString& p, unsigned long von, unsigned long bis, const zDate& vonDatum, const zDate& bisDatum);
int Buchungsprotokoll2(zPrintString& p, const zDate& von, const zDate& bis);
int UStListe2(zPrintString& p, const zDate& von, const zDate& bis);
}  // namespace Berichte
