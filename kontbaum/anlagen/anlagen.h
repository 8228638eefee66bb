// Subsystem "anlagen": the fixed-asset register of the income-surplus
// statement and its depreciation.
//
//   - An asset is an entry "Kont_[M]\Anl006_[0]\Anl006a_{n}" of the case's
//     data tree (so it travels in the case file and into the next year):
//     name, asset account (categories 100..199), acquisition date, net cost,
//     input tax, kind of asset (AfA_Zeitraum) with its useful life, method,
//     special depreciation per year (§ 7g Abs. 5 EStG) and the disposal.
//   - The ledger is the truth of what was posted. Every posting of the
//     register carries a tag in Zusatzinfo ("AnlageAbschreibung_<id>",
//     "AnlageSonderAbschreibung_<id>", "AnlageAbgang_<id>",
//     "AnlageErloes_<id>", "AnlageNeu_<id>"); a run compares what the plan
//     asks for with what the tagged bookings (cancellations included, which
//     offset) already hold and posts only the difference. A second run posts
//     nothing; a cancelled depreciation is due again.
//   - Straight-line depreciation runs by months (§ 7 Abs. 1 Satz 4 EStG):
//     the cumulative amount after m months is cost * m / (life * 12),
//     rounded to the cent, and a year takes the difference of two such
//     cumulative amounts, so the years add up to the cost exactly. Buildings
//     go by their rate (§ 7 Abs. 4 EStG) the same way; land and financial
//     assets are not depreciated. Low-value assets (net cost up to the
//     limit of eurSperrgrenzen, 410 EUR in 2016) may be written off at once
//     (§ 6 Abs. 2 EStG); assets above 150 and up to 1000 EUR may go into the
//     pool of their year instead (§ 6 Abs. 2a EStG), which is dissolved by
//     one fifth a year and for which the choice holds for the whole year.
//   - The year's figures of an entry (register and Anlage AVEÜR) start from
//     the book value carried from the previous year (anl6a_Vortragsjahr,
//     anl6a_BuchwertVortrag) or, for an asset of the case's own year, from
//     nothing.
//
// Relies on: rahmen (the manager, the case database, posting and the lock
// question through KontoGlobal's members) and the host's data tree. Every
// operation works on the active case (the root registered as "Kont_").
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QList>
#include <QMap>
#include <QString>

class DBConnection;

namespace Anlagen {

enum Methode { Linear = 0, Gebaeude = 1, OhneAfa = 2, Sofort = 3, Sammelposten = 4 };
enum Abgangsart { KeinAbgang = 0, Verkauf = 1, Entnahme = 2, Verschrottung = 3 };

// The groups of the Anlage AVEÜR, in the order of the form.
enum Gruppe { Immateriell = 0, GrundUndBoden, Gebaeude_, Kfz, Bewegliche, Gwg, Pool, Finanzanlagen, Umlauf, kGruppen };
QString gruppenText(Gruppe g);

// One asset as the register keeps it.
struct Anlage {
    int nummer = 0;  // position in the register, 1-based (the user's handle)
    int id = 0;      // stable key of its tags
    QString bezeichnung;
    unsigned long konto = 0;     // asset account
    unsigned long afaKonto = 0;  // expense account of its depreciation
    zDate anschaffung;
    EuroType kosten;     // net cost
    EuroType vorsteuer;  // input tax paid on it (for the user's record)
    QString gut;         // kind of asset (AfA_Zeitraum.Gut), may be empty
    int nutzungsdauer = 0;  // years (straight-line)
    double satz = 0;        // percent a year (buildings)
    Methode methode = Linear;
    QMap<int, EuroType> sonder;  // special depreciation (§ 7g Abs. 5) by year
    zDate abgang;
    Abgangsart abgangsart = KeinAbgang;
    EuroType erloes;  // net proceeds (sale) or value taken out (withdrawal)
    unsigned long geldkonto = 0;   // where the proceeds go (bank, cash, private account)
    unsigned long erloeskonto = 0; // revenue account of the proceeds (EÜR line 102)
    int vortragsjahr = 0;         // the year whose opening book value is carried
    EuroType buchwertVortrag;     // book value on 1 January of vortragsjahr
    int aufBuchung = 0;           // the ledger booking it was made from, 0 none
    // The reduction of its cost by an investment deduction added back in the
    // year of acquisition (§ 7g Abs. 2 Satz 2 EStG, EÜR line 138); the
    // depreciation runs on the reduced cost.
    EuroType kuerzung;
};

// The figures of one asset for one year, as the Anlage AVEÜR shows them.
struct Jahreswerte {
    EuroType kosten, anfang, zugang, herabsetzung, sonder, afa, abgang, ende;
};

// The register of the active case, in order. Empty without a register.
QList<Anlage> liste();
// The entry with position `nummer`; false when there is none.
bool finde(int nummer, Anlage* a);
// Stores `a` (a.nummer 0: appended as a new entry with a new id). False
// with the German reason when the entry breaks a rule of the register
// (account of the wrong category, useful life missing, pool and immediate
// write-off mixed within one year, …); nothing is stored then.
bool speichern(Anlage& a, QString* fehler);
// Removes an entry from the register; refused while the ledger holds live
// postings of it.
bool entfernen(int nummer, QString* fehler);

// The figures of `a` for `jahr`.
Jahreswerte werte(const Anlage& a, int jahr);
// The group of the Anlage AVEÜR for an asset.
Gruppe gruppe(const Anlage& a);

// The limits of the case (eurSperrgrenzen): immediate write-off, pool
// lower and upper bound.
EuroType gwgGrenze();
EuroType poolUntergrenze();
EuroType poolObergrenze();
// The useful life of a kind of asset in years (AfA_Zeitraum, the table in
// force since 2001); 0 when the kind is unknown.
int nutzungsdauer(const QString& gut);
// The depreciation account the register offers for an asset (by method and
// account category), 0 when the chart has none.
unsigned long vorschlagAfaKonto(const Anlage& a);
// The account of the chart for a category, an active one first; 0 when the
// chart has none. Postings of the register activate an inactive one.
unsigned long kontoDerKategorie(int kategorie);

// What one posting run did.
struct Lauf {
    QList<unsigned long> buchungen;  // the bookings posted, in order
    EuroType summe;                  // the net effect on the profit (expense positive)
};
// Posts each entry's depreciation for `jahr` (the case's year) that the
// ledger does not hold yet: straight-line and building depreciation, the
// immediate write-off of low-value assets, the pool's fifth, the special
// depreciation and, for an asset disposed in the year, its remaining book
// value and proceeds. Postings that fall into the locked period are made
// only after the lock question was answered Yes. All in one transaction;
// false (nothing posted) with the German reason.
bool buchen(int jahr, Lauf* lauf, QString* fehler);
// Posts the opening balances of the assets carried into `jahr` (the book
// value on 1 January on the asset account against the carry-forward
// account, origin 28, "AnlageSaldovortrag_<id>") that the ledger does not
// hold yet; buchen() posts them too. The year change calls it.
bool saldovortraege(int jahr, Lauf* lauf, QString* fehler);
// The purchase of an entry: money account credited, the asset account
// debited with the net cost and the input tax by `steuerschluessel`.
// Refused when the entry already has a purchase in the ledger.
unsigned long bucheAnschaffung(const Anlage& a, unsigned long geldkonto, unsigned long steuerschluessel, QString* fehler);
// Reads a purchase booked on an asset account into a new entry (name,
// account, date, net cost, input tax); false with the reason when the
// booking is no such purchase or is already an entry of the register.
bool ausBuchung(unsigned long buchungsnummer, Anlage* a, QString* fehler);

// The year change: each carried entry gets the closing book value of
// `altesJahr` as its opening value of the new year. `vorjahrBuchwerte`
// maps entry ids to the previous year's closing values (computed by
// werte() on the previous case before its tree went away).
void vortragen(int neuesJahr, const QMap<int, EuroType>& vorjahrBuchwerte);
QMap<int, EuroType> schlussBuchwerte(int jahr);

// The question a typed expense above the limit of low-value assets asks
// (GWG asset account, immediate write-off account, supplies): empty when
// the booking may be posted unasked; otherwise the German question text.
QString grenzfrage(unsigned long gegenkonto, const EuroType& netto);

// --- current assets under § 4 Abs. 3 Satz 4 EStG (umlauf.cpp) -------------
//
// Land and buildings, shares in corporations, securities and comparable
// claims held as current assets: their cost is no expense when paid but only
// when the proceeds come in or the asset is withdrawn. An entry
// "Kont_[M]\Uml006_[0]\Uml006a_{n}" keeps name, kind, the balance account
// that holds the cost (categories 205 and 1110), date and cost; uml6a_Betrag
// is the cost while the asset is held and 0 once it left, so the change of
// year carries only what is still there. At the disposal buchen() posts the
// cost as an expense (category 5411, EÜR line 135, "UmlaufAbgang_<id>",
// origin 42) and the proceeds (category 4206, EÜR line 102,
// "UmlaufVerkauf_<id>", origin 43).
struct UmlaufGut {
    int nummer = 0, id = 0;
    QString bezeichnung;
    int art = 4;  // 1 land and buildings, 2 shares, 3 securities, 4 other
    unsigned long konto = 0;
    zDate anschaffung;
    EuroType kosten;
    zDate abgang;
    Abgangsart abgangsart = KeinAbgang;  // Verkauf or Entnahme
    EuroType erloes;
    unsigned long geldkonto = 0;
};
QList<UmlaufGut> umlaufListe();
// Stores the entry (nummer 0: a new one); false with the German reason.
bool umlaufSpeichern(UmlaufGut& u, QString* fehler);
// The purchase: the holding account debited, `geldkonto` credited ("UmlaufNeu_<id>", origin 40).
unsigned long bucheUmlaufAnschaffung(const UmlaufGut& u, unsigned long geldkonto, QString* fehler);
// The figures of the AVEÜR for `jahr` (no depreciation).
Jahreswerte werte(const UmlaufGut& u, int jahr);

// The 40 % rule for shares in corporations held as current assets by a
// sole proprietor (Teileinkünfteverfahren): of what a share brings in when
// it is sold or withdrawn 40 % is tax-free (§ 3 Nr. 40 Satz 1 Buchst. a
// EStG), and 40 % of its cost are not deductible (§ 3c Abs. 2 EStG). The
// EÜR keeps both in full; the difference is the correction the declaration
// of the business's income makes to its profit.
struct Teileinkuenfte {
    EuroType erloese, kosten;           // of the shares that left in the year
    EuroType steuerfrei, nichtAbziehbar;  // 40 % of each
    // What the profit of the EÜR changes by for the income tax.
    EuroType korrektur() const { return nichtAbziehbar - steuerfrei; }
};
// The figures of the entries of kind 2 (shares) that left in `jahr`.
Teileinkuenfte teileinkuenfte(int jahr);

// --- investment deductions, § 7g EStG in the version for 2016 (iab.cpp) -----
//
// An entry "Kont_[M]\Iab006_[0]\Iab006a_{n}" is one deduction: the year it
// was taken (iab6a_jahr), the planned investment and its expected cost, the
// amount (at most 40 % of that cost, § 7g Abs. 1), what was added back when
// an asset was bought (iab6a_hinzurechnung, with the date of that purchase
// in iab6a_anschaffungsdatum) and whether it was reversed. Open deductions
// of the three years before the case's year come over with the change of
// year. The deduction of the case's own year is posted on the off-balance
// accounts of category 5903/9903 (EÜR line 187, tag "IabAbz_<id>"), its
// addition back on 5904/9903 (EÜR line 188, "IabHin_<id>"); the matching
// reduction of the asset's cost is the asset's (anl6a_Kuerzung, posted by
// buchen() under "AnlageKuerzung_<id>", EÜR line 138).
struct Abzug {
    int nummer = 0, id = 0;
    int jahr = 0;
    QString bezeichnung;
    EuroType kosten;         // expected cost of the planned investment
    EuroType betrag;         // the deduction
    EuroType hinzurechnung;  // added back so far
    zDate investiert;        // purchase the deduction was used for
    int anlage = 0;          // id of that asset
    bool rueckgaengig = false;
    // What is left to be added back or reversed.
    EuroType offen() const { return rueckgaengig ? EuroType() : betrag - hinzurechnung; }
};
QList<Abzug> abzuege();
// Takes a deduction for the case's year and posts it. Refused above 40 %
// of the expected cost, when the profit before deductions exceeds the limit
// of eurSperrgrenzen (100 000 EUR for an income-surplus statement) or the
// open deductions would exceed 200 000 EUR per business. Its number.
int abzugAnlegen(Abzug a, QString* fehler);
// Adds back the open deduction `nummer` for the asset `anlageNummer` bought
// in the case's year: up to 40 % of its cost (§ 7g Abs. 2 Satz 1), posted at
// once, and reduces the asset's cost by the same amount (posted with the
// next buchen()). The amount added back; 0 with `fehler`.
EuroType hinzurechnen(int nummer, int anlageNummer, QString* fehler);
// Marks a deduction whose investment period has run out as reversed: the
// assessment of the year it was taken changes (§ 7g Abs. 3 EStG); this
// year's ledger does not.
bool rueckgaengig(int nummer, QString* fehler);
// Whether the investment period (the three years after the deduction) is over.
bool fristAbgelaufen(const Abzug& a, int jahr);

// --- the private use of a company car (kfz.cpp) ------------------------------
//
// An entry "Kont_[M]\Buch012_[0]\Buch012a_{n}" is one vehicle of the
// business with the way its private use is valued: by the 1 % rule (1 % of
// the gross list price, rounded down to full hundreds, for each month of
// the year the car was in the business, § 6 Abs. 1 Nr. 4 Satz 2 EStG) or by
// the logbook's private share of the year's car costs (running costs and
// leasing of categories 5402/5405, the depreciation of the vehicles in the
// asset register). The share is a withdrawal: the private account is
// debited, the accounts of private use (category 4201, EÜR line 106)
// credited, the part with VAT (ustProzent, 80 % by the usual 20 % discount
// for costs without input tax) at 19 % on the account with the key, the
// rest on the account without. Postings carry "Privatanteil[<id>]<year>"
// (and "-MM" when monthly) and origin 60; a run posts only the difference
// to what those bookings hold.
struct Fahrzeug {
    int nummer = 0, id = 0;
    QString bezeichnung;
    bool fahrtenbuch = false;
    EuroType listenpreis;      // gross list price (1 % rule)
    double privatProzent = 0;  // private share by the logbook
    double ustProzent = 80;    // share of the private use subject to VAT
    int jahr = 0;              // the year vonMonat/bisMonat belong to
    int vonMonat = 1, bisMonat = 12;
    bool monatlich = false;    // one booking a month instead of one a year
    // Trips between home and business (§ 4 Abs. 5 Satz 1 Nr. 6 EStG, 1 %
    // rule, or the logbook's share of costs): km one way and the days driven.
    // Of 0,03 % of the list price per km and month (EÜR 142) the allowance
    // of 0,30 EUR per km and day stays deductible (EÜR 176); the rest is not
    // deductible (category 6000). Posted once a year under
    // "EntfPausch[<id>]<year>", origin 61.
    int entfernung = 0;
    int arbeitstage = 0;
    // With a logbook the trips take their share of the year's costs by
    // kilometres: 2 x entfernung x arbeitstage of jahresKm driven in all.
    int jahresKm = 0;
};
QList<Fahrzeug> fahrzeuge();
// Adds a vehicle for the case's year; its number, 0 with `fehler`.
int fahrzeugAnlegen(Fahrzeug f, QString* fehler);
// The year's car costs (net) and, in `mitVorsteuer`, the part that carried input tax.
EuroType fahrzeugKosten(DBConnection* db, EuroType* mitVorsteuer);
// Posts the private use of every vehicle for the case's year that the
// ledger does not hold yet; all in one transaction, the lock question first.
// While the register holds one vehicle, the year's car costs are its own:
// the 1 % value and the non-deductible part of the trips are capped at them
// (the cap posted as "Kostendeckelung[<id>]<year>", origin 60).
// With several vehicles the ledger cannot say which car a cost belongs to
// and no cap is made.
bool privatanteilBuchen(Lauf* lauf, QString* fehler);

}  // namespace Anlagen
