// Subsystem "jahr": the change of year. A bookkeeper's year does not end on
// 31 December: the next year's case starts from the previous one.
//
//   - The previous year's case file is opened beside the current case as
//     the import database (a consistent copy of its database) with its data
//     tree read into a root of its own; the file is only read.
//   - The carry-forward (Kont_::erzeugeSaldovortraege) posts the balances of
//     the balance-sheet accounts (EB_Erzeugung set, category outside
//     9000..9999) as opening balances on 1 January against the special
//     account 9000 (category 8001), and only what differs from the opening
//     balances already there: a second run posts nothing, a correction in
//     the previous year posts the difference. One booking per account:
//     header origin 70, kind 6; line 1 on the carry-forward account, line 2
//     (the dialog's counter side) on the balance account.
//   - One opening balance can be set by hand (setzeSaldovortrag, origin 71).
//   - The year change (jahreswechsel) makes the new year's case from the
//     previous one: settings, chart, bank connections, invoicing master
//     data, the open outgoing and incoming invoices, the registers that
//     continue, then the carry-forward.
//
// Every run that posts does so in one transaction: all or nothing. Years
// are never fixed in the code: the new year is the previous case's year + 1
// and must be one the reference data cover.
//
// Relies on: rahmen (manager, import database, case properties), fall (the
// case file, the data tree); through KontoGlobal's members buchungen
// (posting, self-check, lock date), konten (chart take-over) and kasse (the
// closed-register rule).
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/fall/kontbaum.h"

#include <QList>
#include <QString>
#include <memory>

class KontoGlobal;
class DBConnection;

namespace Jahr {

// Results of Kont_::erzeugeSaldovortraege.
enum Saldovortrag {
    SV_OK = 0,
    SV_KEINE_IMPORTDB = 1,     // no previous year opened: nothing done
    SV_KONTEN_FEHLEN = 2,      // accounts missing in this chart: nothing posted
    SV_BUCHUNGSFEHLER = 3,     // a posting failed: nothing posted
    SV_VORJAHR_UNLESBAR = 4,   // the previous year's database cannot be read: nothing done
    SV_ABGELEHNT = 5           // closed cash register, or the lock question answered No: nothing posted
};

// The carry-forward account and category.
constexpr unsigned long kVortragskonto = 9000;
constexpr unsigned long kVortragsKategorie = 8001;
// An investment deduction may be used within the three years after the
// year it was taken (§ 7g Abs. 3 EStG).
constexpr int kIabJahre = 3;

// The refusal for a case of `jahr` when the reference data do not cover
// that year (or are missing); empty when they do.
QString pruefeSteuerjahr(int jahr);

// The previous year's case opened beside the current one.
struct Vorjahr {
    QString datei;                    // the case file as given
    KontRecord::Einstellungen einstellungen;
    std::unique_ptr<Kont_> baum;      // its data tree; belongs to no case
};

// Opens the case file `datei` as the import database of `kg` (its database
// copied to kg.getImportDatenbankNameProg()) and reads its tree into `vj`.
// The open case and the file stay untouched. False with a German message.
bool oeffneVorjahr(KontoGlobal& kg, const QString& datei, Vorjahr* vj, QString* fehler);
// The refusal when `vj` cannot be the previous year of a case of `jahr`;
// empty when it can.
QString pruefeVorjahr(const Vorjahr& vj, int jahr);

// One row of the table of opening balances: the accounts that take part
// (EB_Erzeugung set, active, category outside 9000..9999); amounts debit
// positive.
struct Tabellenzeile {
    unsigned long konto = 0;
    QString bezeichnung;
    EuroType vorhanden;           // sum of its opening balances
    QList<unsigned long> buchungen;     // the opening-balance bookings
};
QList<Tabellenzeile> saldovortragTabelle();
// Sets the opening balance of `konto` to `betrag` (debit positive) by a
// booking of the difference to the existing ones (origin 71, "Saldovortrag"
// or "Anpassung Saldovortrag"). Returns the booking number, 0 when the
// balance already agrees (`fehler` empty) or when refused (`fehler` set).
unsigned long setzeSaldovortrag(unsigned long konto, const EuroType& betrag, QString* fehler);

// The previous-year transfer of register entries (used by Kont_'s take-over
// members; public for their tests). Vehicle-cost dates move to the same day
// of `neuesJahr`; 29 February becomes 28 February only in a common year.
zDate verschiebeInsJahr(const zDate& d, int neuesJahr);

// What a year change carried over, for the user.
struct Jahreswechsel {
    int altesJahr = 0, neuesJahr = 0;
    int anlagen = 0, umlaufvermoegen = 0, investitionsabzug = 0, kfz = 0;
    int bankverbindungen = 0;
    int offeneRechnungen = 0, offeneEingangsrechnungen = 0;  // carried open items
    int saldovortraege = 0;  // opening-balance bookings posted
    QString bericht;  // the carry-forward report (HTML)
};
// Carries the open items of the previous year's database `alt` (only
// read) into `neu`: the outgoing invoices without a date of payment with
// their positions and reminders, and the incoming invoices without a live
// booking with their suppliers. False with a German message.
bool offenePostenVortragen(DBConnection* alt, DBConnection* neu, int* ausgang, int* eingang, QString* fehler);

// Builds the new year's case in the manager of slot 0, which holds a fresh
// database made from the template (the caller saves it), from the previous
// year's case file `alt`. False with a German message; the file `alt` is
// only read.
bool jahreswechsel(const QString& alt, Kont_& root, Jahreswechsel* ergebnis, QString* fehler);

}  // namespace Jahr
