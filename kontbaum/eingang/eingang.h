// Subsystem "eingang": incoming e-invoices. A supplier's invoice or credit
// note in one of the three forms German law lets a receiver be sent (the
// UN/CEFACT CII syntax, XRechnung or Factur-X alike; the OASIS UBL 2.1
// Invoice and CreditNote; a PDF carrying the CII as an attachment, ZUGFeRD
// 1.0 and ZUGFeRD 2 / Factur-X) is read into one model, checked the way a
// receiver must (well-formed XML of a known syntax, the totals of
// EN 16931 BR-CO-10 to BR-CO-17 per rate, the seller's mandatory data),
// kept unchanged in the case with its SHA-256 (the XML is the original
// document under the GoBD), its supplier found again by VAT id, tax number
// or IBAN, and booked as an expense through the ledger's posting
// operations: one line per rate, the input-tax key from rate and category.
//
// Relies on: rahmen (manager, case database), buchungen (insertSplittBuchung
// and the checks of an entered booking, so every rule of the ledger holds),
// Qt Core for QXmlStreamReader and SHA-256, libqpdf for the attachments of a
// PDF.
//
// Operations return their result and a German reason through `fehler`;
// they never throw and never talk to a terminal. Every operation that
// writes runs in one transaction: either all of it is in the case or
// nothing.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QList>
#include <QString>

class BerichtListe;
class DBConnection;

namespace Eingang {

// --- the invoice as read ----------------------------------------------------

enum class Syntax { CII, UBL, ZUGFeRD1 };
QString syntaxName(Syntax s);  // "CII", "UBL", "ZUGFeRD 1.0"

struct Partei {
    QString name, strasse, plz, ort, land;
    QString ustid, steuernummer;  // BT-31/BT-32 (schemeID VA / FC)
    QString kontakt, telefon, email;
};

// A document- or line-level allowance (zuschlag false) or charge.
struct Zuschlag {
    bool zuschlag = false;
    EuroType betrag;
    QString grund;
    QString kategorie;  // document level only: BT-95 / BT-102
    double satz = 0.0;
};

struct Position {
    QString id, name, menge, einheit, preis;  // quantity and price as written
    EuroType netto;                           // BT-131
    QString kategorie;                        // BT-151
    double satz = 0.0;                        // BT-152
    QList<Zuschlag> zuschlaege;
};

// One row of the VAT breakdown (BG-23).
struct Steuerzeile {
    QString kategorie;  // S, Z, E, AE, K, G, O, L, M
    double satz = 0.0;
    EuroType basis, steuer;
    QString grund, grundCode;
};

struct Rechnung {
    Syntax syntax = Syntax::CII;
    QString profil;  // BT-24
    QString nummer;  // BT-1
    QString typ;     // BT-3: 380, 381, 384, …
    bool ublGutschrift = false;  // the UBL CreditNote message
    zDate datum, faellig, lieferdatum;  // BT-2, BT-9, BT-72
    QString waehrung;                   // BT-5
    QString kaeuferreferenz, zahlungsreferenz, zahlungsbedingungen;  // BT-10, BT-83, BT-20
    QString iban, bic;                  // BT-84, BT-86
    QString bezug;                      // BT-25: the invoice a credit note corrects
    QString notiz;                      // BT-22
    Partei verkaeufer, kaeufer;
    QList<Position> positionen;
    QList<Zuschlag> zuschlaege;
    QList<Steuerzeile> steuern;
    // BG-22; a total the file leaves out is "not given", not zero.
    EuroType summePositionen, summeAbschlaege, summeZuschlaege, netto, steuer, brutto, vorausbezahlt, rundung, zahlbetrag;
    bool hatSummePositionen = false, hatAbschlaege = false, hatZuschlaege = false, hatNetto = false, hatSteuer = false,
         hatBrutto = false, hatZahlbetrag = false;

    // A credit note: it reduces the expense (type 381, 396, 532 or the UBL
    // CreditNote message).
    bool gutschrift() const;
};

// --- reading and checking (lesen.cpp, pruefung.cpp, pdf.cpp) --------------

// The XML inside `daten`: the bytes themselves for XML, the embedded
// invoice of a PDF (factur-x.xml, zugferd-invoice.xml, ZUGFeRD-invoice.xml,
// xrechnung.xml, else the one XML attachment). False with the reason.
bool xmlAusDatei(const QByteArray& daten, QByteArray* xml, bool* istPdf, QString* fehler);
// The embedded XML of a PDF through libqpdf; false with the reason (no PDF,
// damaged, no invoice attached).
bool xmlAusPdf(const QByteArray& pdf, QByteArray* xml, QString* fehler);
// Reads CII (D16B and ZUGFeRD 1.0) or UBL 2.1 into `r`. False with a German
// reason that names the line and element for a syntax error or an unknown
// root element/namespace.
bool leseXml(const QByteArray& xml, Rechnung* r, QString* fehler);
// What a receiver checks before it trusts the invoice. Each finding names
// the rule and the element, e.g. "BR-CO-10: Die Summe der Positionen
// (ram:LineTotalAmount) ist 310,00 €, die Positionen ergeben 300,00 €."
// Empty when the invoice may be taken.
QStringList pruefe(const Rechnung& r);
// File bytes -> checked invoice; `xml` receives the XML read.
bool leseDatei(const QByteArray& daten, Rechnung* r, QString* fehler);

// --- the case's archive (ablage.cpp) --------------------------------------

struct Gespeichert {
    unsigned long id = 0;
    QString nummer, typ, syntax, dateiname, sha256;
    zDate datum, faellig, bezahlt;
    unsigned long lieferantID = 0;
    QString lieferant, ustid, steuernummer, iban;
    EuroType netto, steuer, brutto, zahlbetrag;
    bool gutschrift = false;
    unsigned long konto = 0;           // the expense account chosen (0: not yet)
    bool beiZahlung = false;           // to be posted when the payment comes
    unsigned long buchungsnummer = 0;  // the posting (0: not booked)
    QList<Steuerzeile> steuern;
    bool offen() const { return buchungsnummer == 0; }
};

struct Importergebnis {
    QList<unsigned long> neu;   // the IDs stored
    QStringList doppelt;        // "datei: Rechnung … von … ist bereits als Eingangsrechnung n gespeichert."
};
struct Importdatei {
    QString name;        // the file name kept with the original
    QByteArray daten;    // its bytes, unchanged
};
// Reads, checks and stores every file in one transaction: any file that
// cannot be read or trusted refuses the whole import (nothing stored), with
// its name and the findings. A file whose seller and number the case has
// already is reported in `doppelt` and not stored again.
bool importiere(DBConnection* db, const QList<Importdatei>& dateien, Importergebnis* e, QString* fehler);
QList<Gespeichert> liste(DBConnection* db, bool nurOffen);
// The list as a table of the program's one list model (ablage.cpp).
BerichtListe alsListe(const QList<Gespeichert>& l, bool nurOffen);
bool lese(DBConnection* db, unsigned long id, Gespeichert* g, QString* fehler);
// The stored bytes, checked against their SHA-256; false with the reason
// when the original is missing or was changed.
bool original(DBConnection* db, unsigned long id, QByteArray* daten, QString* fehler);
// A readable rendering of the original: parties, lines, allowances, VAT
// breakdown, totals, payment.
bool darstellung(DBConnection* db, unsigned long id, QString* text, QString* fehler);

// --- booking (buchen.cpp) -------------------------------------------------

// The input-tax key for a VAT category and rate and the seller's country
// (the § 13b keys differ by where the supplier is established). Sets
// `schluessel`, false with the reason for a category that takes none
// (E, Z, O, G: key 0, true) or an unknown rate.
bool vorsteuerSchluessel(const QString& kategorie, double satz, const QString& land, bool ustPflichtig, unsigned long* schluessel,
                         QString* fehler);

struct Vorschlagszeile {
    unsigned long konto = 0;
    unsigned long schluessel = 0;
    EuroType betrag;  // net of the rate (gross where `netto` is false)
    bool netto = true;
    QString text;
};
struct Buchungsvorschlag {
    QString belegnummer, text;
    int buchungsart = 2;  // expense; 4 (refund) for a credit note
    zDate belegdatum;
    QList<Vorschlagszeile> zeilen;
    EuroType zahlbetrag;
};
// One line per rate and category onto `konto` (0: the account used for
// this supplier before); false with the reason when no account is known.
// When the amount due is not the gross total (a prepayment was deducted,
// a rounding added), what is paid is split over the rates in proportion to
// their gross amounts and booked gross, so the booking is the payment.
bool vorschlag(DBConnection* db, unsigned long id, unsigned long konto, Buchungsvorschlag* v, QString* fehler);

struct Buchungsauftrag {
    unsigned long konto = 0;      // expense account; 0: the supplier's last
    unsigned long geldkonto = 0;  // 0: post when paid (bank takeover)
    zDate datum;                  // the payment date with geldkonto
};
// With a money account: posts the proposal now as paid on `datum` and
// returns the booking number. Without: keeps the account and marks the
// invoice to be posted when paid; returns 0 with an empty `fehler`.
// Refusal: 0 with `fehler`, nothing changed.
unsigned long buche(DBConnection* db, unsigned long id, const Buchungsauftrag& a, QString* fehler);

// --- the bank (zahlung.cpp) -----------------------------------------------

// The open incoming invoice a bank debit pays: the amount due equals the
// debit and its number is in the text or its supplier's IBAN is the
// counterpart's (the number wins), and whose expense account is known
// (given to `buchen` or used for the supplier before). 0 when none or more
// than one fits. The takeover then books it with buche().
unsigned long passendeRechnung(DBConnection* db, const EuroType& abbuchung, const QString& text, const QString& iban,
                               QString* grund);

}  // namespace Eingang
