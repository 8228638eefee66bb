// Subsystem "faktura": the invoicing of the business. Customers and
// prospects (rePersonen), articles with prices, units and payment terms
// (reArtikel, reZahlungsbedingungen), the document chain offer -> order
// confirmation -> delivery note -> invoice / invoice correction -> dunning
// letter with their positions, the number ranges of the case, the totals per
// tax key, the checks before a document is saved or printed, the posting of
// a paid invoice into the ledger, the reopening of an invoice whose payment
// booking is deleted, the due reminders, and the invoice as e-invoice
// (XRechnung in the UN/CEFACT CII syntax) and as printed A4 PDF/A-3b
// carrying that XML as attachment "factur-x.xml" (ZUGFeRD / Factur-X).
//
// Relies on: rahmen (manager, case database, case properties), buchungen
// (calcSteuerschluessel for every tax split, insertSplittBuchung for the
// posting, so the small-business rule, the closed cash register and the
// lock date hold here as everywhere; the record of a due reminder),
// steuer/ustid.h (the format of VAT numbers), libqpdf for the structure of
// the hybrid PDF, through KontoGlobal's members
// konten (account look-ups and the account/key rule), the host's
// Ui for the questions on saving, Qt Xml for the e-invoice and Qt Gui for
// the PDF (which then needs a QGuiApplication; the offscreen platform does).
//
// The number ranges live in the case's own reVerwaltung, never in the
// program-wide option store: two cases are two businesses with a range of
// their own each. A counter still found only in the option store (a case
// of the older program) is taken over once, when the case numbers its
// first document of that kind (see naechsteNummer).
//
// Every SQL statement binds or quotes what it gets from a user or a
// document (numbers such as "O'Brien-1" or "RE-2016/01" are text, never
// SQL). Every operation that writes runs in one transaction of its own (a
// savepoint inside the command's transaction): either all of it is in the
// case or nothing is. Operations return their result and a German reason
// through `fehler`; they never throw and never talk to a terminal.
#pragma once

// The due reminders (rsRebuErinnerung) are the ledger's, beside the
// recurring bookings they are shown with.
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/rahmen/kontglob.h"

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class DBConnection;
class QPagedPaintDevice;

namespace Faktura {

// --- document kinds and number ranges -------------------------------------

// The five document tables in the order the reminders list them.
enum class Belegart { Angebot = 0, Auftrag = 1, Lieferschein = 2, Rechnung = 3, Mahnung = 4 };
// The number ranges of reVerwaltung. Invoices and invoice corrections share
// one range.
enum class Nummernkreis { Angebot, Auftrag, Lieferschein, Rechnung, Mahnung, Kunde, Artikel };

QString tabelle(Belegart art);
QString positionsTabelle(Belegart art);  // empty for dunning letters
QString bezeichnung(Belegart art);       // "Rechnung", …
Nummernkreis nummernkreis(Belegart art);

// The number text of `nummer` by `format`. The format is literal text with
// placeholders in braces:
//   {NR}    the number          {NR:4}  the number with at least 4 digits (0042)
//   {JJJJ}  year of the date    {JJ}    its last two digits
//   {MM}    month (two digits)  {TT}    day (two digits)
// "{{" and "}}" stand for a brace. An empty format is "{NR}". Empty with a
// German reason for an unknown placeholder or an unbalanced brace.
QString rs_GenerateBelegnummer(const QString& format, unsigned long nummer, const zDate& datum = zDate(),
                               QString* fehler = nullptr);
// The format a range uses when the case has none set ("RE-{JJJJ}-{NR:4}", …).
QString vorgabeFormat(Nummernkreis k);
// The case's format of the range (the default when unset).
QString nummernformat(DBConnection* db, Nummernkreis k);
// The next number of the range without using it: the case's counter + 1.
// A case whose counter was never set takes the program option of the
// older program (RebNummerRechnungen, …) when there is one, else the
// largest key of the kind's table; either way never less than that key
// + 1. 0 without a connection.
unsigned long naechsteNummer(DBConnection* db, Nummernkreis k);
// Uses the next number of the range: the number text for `datum` (skipping
// numbers that a document of the kind already carries) and the counter
// moved on. Empty with `fehler` when the format is broken.
QString vergibNummer(DBConnection* db, Nummernkreis k, const zDate& datum, QString* fehler);
// Sets the format (checked) and/or the counter (the last number used;
// negative: unchanged). Lowering the counter below a number already issued
// is refused, so no number is ever given twice.
bool setzeNummernkreis(DBConnection* db, Nummernkreis k, const QString& format, long zaehler, QString* fehler);

// --- the business's own data ----------------------------------------------

struct Firma {
    QString name, strasse, plz, ort, land = QStringLiteral("DE");
    QString steuernummer, ustid;
    QString kontakt, telefon, email;  // the seller contact an e-invoice names
    QString iban, bic, bank;
    bool kleinunternehmer = false;    // the case is not liable to VAT (§ 19 UStG); read from the case
};
Firma leseFirma(DBConnection* db);
// Stores the data in the case (properties and the own bank details) and in
// the case's master-data node, which the recapitulative statement reads.
// Refuses a malformed VAT number or IBAN.
bool schreibeFirma(DBConnection* db, const Firma& f, QString* fehler);

// --- customers and articles -----------------------------------------------

struct Person {
    unsigned long personID = 0;
    QString kundennummer;
    int art = 1;  // 1 customer, otherwise prospect
    QString anrede, vorname, name, firma;
    QString strasse, plz, ort, land = QStringLiteral("DE");
    QString email, telefon, ustid;
    QString leitweg;  // the buyer reference of an e-invoice (Leitweg-ID of a public buyer)
    unsigned long zahlungsbedingungID = 0;
    // The name an invoice addresses: the firm, else first and last name.
    QString anzeigename() const;
};
// Inserts (personID 0: a new number from the range unless kundennummer is
// set) or updates the person. Returns the PersonID, 0 with `fehler`.
// Refuses a malformed VAT number (a customer outside the EU may carry his
// country's tax number instead) and a Leitweg-ID that pruefeLeitweg refuses.
unsigned long speicherePerson(DBConnection* db, Person p, QString* fehler);
// The buyer reference of a public buyer as the German CIUS defines it:
// Grobadressierung (2 to 12 digits), optional Feinadressierung (up to 30
// letters and digits), two check digits by ISO/IEC 7064 MOD 97-10, joined
// by hyphens. The German refusal, empty when it holds (or is empty).
QString pruefeLeitweg(const QString& leitweg);
bool lesePerson(DBConnection* db, unsigned long personID, Person* p);
// The person with that customer number or, failing that, that PersonID.
bool findePerson(DBConnection* db, const QString& nummerOderId, Person* p);
QList<Person> personen(DBConnection* db);

struct Artikel {
    unsigned long artikelID = 0;
    QString artikelnummer;
    QString bezeichnung, beschreibung;
    QString einheit = QStringLiteral("Stk");
    EuroType preis;   // net unit price
    EuroType bruttopreis;
    bool brutto = false;    // the gross price is the one entered
    unsigned long steuerschluessel = 0;
    unsigned long konto = 0;  // revenue account
    double rabatt = 0.0;      // discount in percent (reRabatt, from quantity 0)
    double gewicht = 0.0;
};
// Checks account and key (an active revenue account the key fits) and
// stores; the price not entered is derived with the key's rate.
unsigned long speichereArtikel(DBConnection* db, Artikel a, QString* fehler);
bool leseArtikel(DBConnection* db, unsigned long artikelID, Artikel* a);
bool findeArtikel(DBConnection* db, const QString& nummerOderId, Artikel* a);
QList<Artikel> artikelListe(DBConnection* db);

struct Zahlungsbedingung {
    unsigned long id = 0;
    QString bezeichnung;
    int tage = 14;           // due period in days
    double skonto1 = 0.0;    // percent
    int skontotage1 = 0;
};
unsigned long speichereZahlungsbedingung(DBConnection* db, const Zahlungsbedingung& z, QString* fehler);
bool leseZahlungsbedingung(DBConnection* db, unsigned long id, Zahlungsbedingung* z);

// --- documents --------------------------------------------------------------

struct Position {
    unsigned long positionID = 0;
    unsigned long artikelID = 0;
    QString artikelnummer, bezeichnung, beschreibung;
    double menge = 1.0;
    QString einheit = QStringLiteral("Stk");
    EuroType preis;        // net unit price
    EuroType bruttopreis;  // gross unit price
    bool brutto = false;         // the gross price is the one entered
    double rabatt = 0.0;         // percent
    unsigned long steuerschluessel = 0;
    unsigned long konto = 0;
};

struct Beleg {
    Belegart art = Belegart::Rechnung;
    unsigned long id = 0;     // 0: not yet saved
    QString nummer;           // given on the first save unless set
    unsigned long personID = 0;
    zDate datum;
    zDate zeitraumVon, zeitraumBis;  // period (or day: both equal) of supply
    int rechnungsart = 0;            // invoices: 0 invoice, 1 invoice correction
    unsigned long korrekturZu = 0;   // a correction: the invoice it corrects (0: none named)
    EuroType anzahlung;        // amount already paid
    zDate bezahlt;                   // payment date; invalid while open
    zDate zahlungsziel;
    unsigned long zahlungsbedingungID = 0;
    zDate erinnerungsdatum;
    // The documents it was made from (0: none).
    unsigned long angebotsID = 0, auftragsID = 0, lieferscheinID = 0;
    EuroType versandNetto;     // shipping, net, at its own rate
    double versandSatz = 0.0;
    QList<Position> positionen;
};

// The totals per tax key: the positions of a key (gross and net ones each
// summed and split with calcSteuerschluessel), shipping at its own rate.
struct Schluesselsumme {
    unsigned long steuerschluessel = 0;
    double satz = 0.0;
    EuroType netto, steuer, brutto;
};
struct Summen {
    QList<Schluesselsumme> schluessel;  // by key, shipping not included
    EuroType summeNetto, summeSteuer, summeBrutto;
    EuroType versandNetto, versandSteuer, versandBrutto;
    EuroType endsumme;            // summeBrutto + versandBrutto
    EuroType offen;               // endsumme - anzahlung
    // Each position's amount after discount, as entered (gross for a gross
    // position), and its net share (the key's net spread over its gross
    // positions, so that the net amounts add up to the key's net exactly).
    QList<EuroType> positionsbetrag, positionsnetto;
    QList<EuroType> positionsrabatt;
};
Summen berechneSummen(DBConnection* db, const Beleg& b);
// The amount of one position before and after discount (rounded to the cent).
EuroType positionsbetrag(const Position& p, EuroType* rabatt = nullptr);

// Saves the document through the scratch state: header with ID 0,
// positions in reTempPositionen, the checks, then the new ID and the
// number (a new document) or the rows replaced (an existing one). The
// questions are asked through the Ui; a "no" or a failed check refuses
// (false with `fehler`) and leaves nothing behind. Sets b->id and
// b->nummer.
bool speichereBeleg(DBConnection* db, Beleg* b, QString* fehler);
bool leseBeleg(DBConnection* db, Belegart art, unsigned long id, Beleg* b);
// By number (bound, so any text is safe) or, failing that, by ID.
bool findeBeleg(DBConnection* db, Belegart art, const QString& nummerOderId, Beleg* b);
QList<Beleg> belege(DBConnection* db, Belegart art, bool nurOffene = false);
// A new document of kind `ziel` from `quelle` (offer -> order confirmation
// -> delivery note -> invoice): customer, positions and shipping taken
// over, linked to its source. Saved; the new ID, 0 with `fehler`.
// When a document of kind `ziel` was already made from `quelle`, asks
// through the Ui first. A period of supply `von`..`bis` replaces the
// source's; a delivery note or invoice without any gets its date. An
// invalid `datum` dates it as its source; a date outside the case's year
// asks first. Its number follows its date.
unsigned long belegUebernehmen(DBConnection* db, const Beleg& quelle, Belegart ziel, const zDate& datum, QString* fehler,
                               const zDate& von = zDate(), const zDate& bis = zDate());
// Deletes an offer, order confirmation, delivery note or invoice with its
// positions. Refused while a later document of the chain was made from
// it. An invoice goes only while it is neither posted, paid nor reminded
// and carries the last number of the range, and only after the Ui
// confirmed that it never left the business; its number is then issued
// again, so the invoice numbers keep no gap. Numbers of the other kinds
// are not issued again (they need no gapless sequence).
bool loescheBeleg(DBConnection* db, Belegart art, unsigned long id, QString* fehler);

// Whether an invoice may be output under § 14 UStG: saved, with positions,
// the business's name, address and tax number or VAT id, the customer's
// full address, and a date of supply. Empty when it may, else the message.
QString pruefeRechnungsangaben(DBConnection* db, const Beleg& b);

// --- posting and payments ---------------------------------------------------

// Invoices no uncancelled booking references, with or without a customer.
QList<Beleg> buchungskandidaten(DBConnection* db);
struct BuchungsAuftrag {
    unsigned long geldkonto = 0;
    zDate datum;   // payment date
    QString text;  // empty: the booking-text option, "[Art] [Rechnungsnummer] vom [Datum] ([Kundenname])"
    EuroType skonto;  // cash discount the customer deducted, gross; 0: paid in full
};
// The payment terms of the invoice (its own, else its customer's).
bool zahlungsbedingungVon(DBConnection* db, const Beleg& b, Zahlungsbedingung* z);
// The largest cash discount (gross, rounded to the cent) the payment terms
// grant on payment at `zahlung`; 0 with the German reason in `fehler` when
// they grant none, the period has passed or the invoice is a correction.
EuroType skontoMoeglich(DBConnection* db, const Beleg& b, const zDate& zahlung, QString* fehler);
// The account the discount on revenue of key `schluessel` is booked on: the
// key's own discount account, else an active discount account whose key is
// not fixed (the general "Gewährte Skonti"). 0 when the chart has neither.
unsigned long skontoKonto(DBConnection* db, unsigned long schluessel);
// The booking text from the pattern with its placeholders filled in.
QString buchungstext(DBConnection* db, const Beleg& b, const QString& muster = QString());
// Posts the invoice as paid: one booking (origin 56, Zusatzinfo = number)
// with the money line and a line per revenue account and key, the invoice
// marked paid and its dunning letters removed, all in one transaction. The
// booking number, 0 with `fehler` (nothing changed then).
//
// With a cash discount (at most skontoMoeglich) a second booking of the
// same origin and Zusatzinfo reduces the revenue: the discount is spread
// over the revenue lines in proportion to their gross amounts and booked
// per key on the discount accounts (skontoKonto) as a refund of income
// from the money account, so that the money account shows the amount
// received and the output tax falls by the discount's tax. The program
// option "RebRechnungNachKontenBuchen" (section "Reb", default 1) chooses
// one discount line per revenue account and key; 0 one per key. The
// revenue itself always stays on the accounts its positions name: merged
// by key it would move between the lines of the EÜR and the codes of the
// advance return. reRechnungen.Skonto keeps the discount.
// `skontoBuchung` receives the number of the discount booking (0: none).
unsigned long bucheRechnung(DBConnection* db, const Beleg& b, const BuchungsAuftrag& a, QString* fehler,
                            unsigned long* skontoBuchung = nullptr);
// How the customer paid a run of invoices: in full, with the whole cash
// discount the payment terms grant on the payment date, or a stated amount
// (whatever is missing to the invoice's total counts as cash discount, and
// must lie within what the terms grant).
struct Zahlungseingang {
    enum class Art { Voll, VollerSkonto, Betrag } art = Art::Voll;
    unsigned long geldkonto = 0;
    zDate datum;
    QString text;
    EuroType betrag;  // Art::Betrag: the amount received, gross
};
// Posts the invoices `belege` as paid, all or none, as one run of postings
// (asked once when they take a till below zero). `buchungen` receives the
// numbers of the payment bookings and of the discount bookings after each;
// `skonti` how many of them are discount bookings. False with the German
// refusal in `fehler` (nothing posted then).
bool bucheZahlungseingang(DBConnection* db, const QList<Beleg>& belege, const Zahlungseingang& z, QList<unsigned long>* buchungen,
                          int* skonti, QString* fehler);

// --- dunning letters ----------------------------------------------------------
struct Mahnung {
    unsigned long id = 0;
    QString nummer;
    unsigned long rechnungsID = 0;
    int stufe = 1;               // 99: the last reminder
    EuroType gebuehr;
    zDate datum, zahlungsziel, erinnerungsdatum;
};
QString stufeText(int stufe);  // "1", "2", …, "Letzte"
// A dunning letter for an open invoice: the next level unless given, a new
// due date (date + 14 days unless given). Refused for a paid invoice.
// Without a date it is dated today, or in a case of a past year the day
// after the invoice fell due; a date outside the case's year asks first.
unsigned long neueMahnung(DBConnection* db, Mahnung m, QString* fehler);
QList<Mahnung> mahnungen(DBConnection* db, unsigned long rechnungsID = 0);

// --- output -----------------------------------------------------------------------

// The invoice as XRechnung (CII), after the business rules were checked.
// Empty with `fehler` naming the rule that failed.
QByteArray xrechnung(DBConnection* db, const Beleg& b, QString* fehler);
// The rules alone: every violation, each "[BR-…] German text"; empty when
// the invoice passes.
QStringList pruefeXRechnung(DBConnection* db, const Beleg& b);
// The printed invoice as HTML (for QTextDocument) and as PDF with the
// e-invoice embedded as "factur-x.xml". The PDF needs a QGuiApplication.
// The HTML serves every kind of document: an offer or order confirmation
// shows prices and totals but asks for no payment, a delivery note lists
// quantities only.
QString rechnungHtml(DBConnection* db, const Beleg& b);
bool rechnungPdf(DBConnection* db, const Beleg& b, QByteArray* pdf, QString* fehler);
// "Angebot", "Auftragsbestätigung", "Lieferschein", "Rechnung", "Rechnungskorrektur".
QString belegTitel(const Beleg& b);
// The printed document: an invoice through rechnungPdf, the other kinds
// without the checks of § 14 UStG and without an e-invoice attached (they
// are no invoices).
bool belegPdf(DBConnection* db, const Beleg& b, QByteArray* pdf, QString* fehler);
// The printed page of the document on a paged device the host holds (a
// printer, the window's print preview): A4 portrait with the margins of the
// PDF, laid out as the PDF is. Prints what there is: the checks of
// § 14 UStG are the PDF's, which goes out to the customer.
void belegDrucken(DBConnection* db, const Beleg& b, QPagedPaintDevice* geraet);
// What a hybrid invoice says about itself: the document title, the
// attachment (name, MIME type, description) and the Factur-X conformance
// level of the XML ("EN 16931", "XRECHNUNG"); the time of creation (now
// when invalid).
struct HybridAngaben {
    QString titel;
    QString dateiname = QStringLiteral("factur-x.xml");
    QString mimeTyp = QStringLiteral("text/xml");
    QString beschreibung = QStringLiteral("E-Rechnung (XRechnung, CII)");
    QString stufe = QStringLiteral("XRECHNUNG");
    QDateTime zeit;
};
// Makes the PDF/A-3b hybrid invoice (ZUGFeRD 2.x / Factur-X 1.0) from the
// printed page `seite`, a PDF/A-1b of QPdfWriter, and the e-invoice `xml`,
// embedded byte for byte with relationship /Alternative and named in the
// catalog's /AF; XMP metadata with the PDF/A identification and the
// Factur-X extension schema, an sRGB output intent. False with `fehler`
// for a page the PDF library cannot read.
bool hybridPdf(const QByteArray& seite, const QByteArray& xml, const HybridAngaben& a, QByteArray* pdf, QString* fehler);

}  // namespace Faktura
