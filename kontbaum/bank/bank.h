// Subsystem "bank": bank connections, the statement files a bank hands out,
// the transactions read from them and their takeover into bookings.
//
// A bank connection (eurBankverbindung) ties one bank account (IBAN, or
// account number and bank code) to one account of the chart of category
// 202, 203 or 300; each such account carries at most one connection. The
// readers turn a statement file into records (camt.cpp: CAMT.052/053 of
// the versions .001.02, .001.04 and .001.08; mt940.cpp: SWIFT MT940 with the
// structured field 86 of the German banks; bankcsv.cpp: the CSV downloads,
// by a table of column layouts). Storing keeps each transaction once
// (eurUmsatz): a file read twice adds nothing, while identical transactions
// inside one file are all kept. The takeover proposes a booking for every
// open transaction (a booking template, an earlier booking of the same
// amount, the booking of an earlier transaction of the same counterpart,
// an open invoice named in the purpose), stages it in eurUebernahme and
// posts it into the ledger; the transaction then points at its booking.
// Deleting or cancelling that booking makes the transaction open again.
//
// Relies on: rahmen (case database, manager), buchungen (insertSplittBuchung
// for every posting, so the small-business rule, the entertainment split,
// closed cash registers and the lock date hold here as everywhere; the
// input checks of EingabePruefer; cancelling and deleting), faktura (open
// invoices and bucheRechnung, which marks an invoice paid), austausch (the
// character sets of text files), each by its public header.
//
// Every value that comes from a file or a user (IBAN, names, purposes,
// references) is bound or quoted, never pasted into SQL. Every operation
// that writes runs in one transaction of its own (a savepoint inside the
// command's): all of it is in the case or nothing is. Operations return
// their result and a German reason through `fehler`; they never throw.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/austausch/austausch.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class DBConnection;
class QIODevice;

namespace Bank {

// --- records of a statement file ------------------------------------------

// One transaction as a statement file delivers it.
struct Umsatz {
    zDate buchungsdatum;
    zDate valuta;
    EuroType betrag;     // signed: negative for a debit
    QStringList zweck;         // the purpose lines
    QString name;              // the counterpart
    QString iban, bic;         // the counterpart's account
    QString kontonummer, blz;  // the same in the older form (MT940)
    QString referenz;          // the end-to-end or bank reference
    bool storno = false;       // the reversal of an earlier transaction
    // What eurUmsatz keeps as Buchungstext: the purpose lines joined by one
    // blank, cut to 100 characters.
    QString buchungstext() const;
};

// One statement of a file (a file may carry several, one per account or day).
struct Auszug {
    QString iban, kontonummer, blz;  // the own account
    bool mitSalden = false;          // opening and closing balance given
    EuroType anfangssaldo, endsaldo;
    QList<Umsatz> umsaetze;
    int vorgemerkt = 0;              // pending entries, left out
    // The closing balance the entries lead to from the opening one.
    EuroType summeUmsaetze() const;
};

enum class Format { Automatisch, Camt, Mt940, Csv };
// "camt", "mt940", "csv" (any case); false for any other name.
bool formatAusName(const QString& name, Format* f);
// CAMT for XML, MT940 when the first field tag is ":20:" or a SWIFT block
// header, otherwise CSV.
Format erkenneFormat(const QByteArray& datei);

// Receives what a reader finds, statement by statement and transaction by
// transaction, so that a file of any size is read with the memory of one
// entry. A receiver that answers false has said why in `fehler`; the reader
// then hands it nothing more, still reads the rest of the file (a file
// that cannot be read is refused for that first) and returns false.
class AuszugEmpfaenger {
public:
    virtual ~AuszugEmpfaenger() = default;
    // A statement begins: its own account and what is known of its
    // balances before its entries (umsaetze empty).
    virtual bool auszugBeginn(const Auszug& kopf, QString* fehler) = 0;
    virtual bool umsatz(const Umsatz& u, QString* fehler) = 0;
    // The statement is read: its balances and pending count (umsaetze empty).
    virtual bool auszugEnde(const Auszug& kopf, QString* fehler) = 0;
    // A row the reader leaves out although it is no damage (a closing row
    // of amount 0), with its line and why: the import names each one.
    virtual void uebersprungen(int /*zeile*/, const QString& /*grund*/) {}
};
// Collects the statements in a list.
class AuszugSammler : public AuszugEmpfaenger {
public:
    explicit AuszugSammler(QList<Auszug>* out) : m_out(out) {}
    bool auszugBeginn(const Auszug& kopf, QString*) override;
    bool umsatz(const Umsatz& u, QString*) override;
    bool auszugEnde(const Auszug& kopf, QString*) override;

private:
    QList<Auszug>* m_out;
};

// Every reader refuses a file it cannot read completely: false, with the
// line (or element) and a German reason in `fehler`, and nothing in `out`.

// CAMT.053 (statement) and CAMT.052 (report), any version of the namespace.
// An entry with several transaction details (a batch) gives one record per
// detail; pending entries are counted, not returned.
bool leseCamt(const QByteArray& datei, QList<Auszug>* out, QString* fehler);
// The same from a device, entry by entry into `empfaenger`.
bool leseCamt(QIODevice* datei, AuszugEmpfaenger* empfaenger, QString* fehler);
// MT940: fields :20:, :25:, :60F:/:60M:, :61:, :86:, :62F:/:62M:.
bool leseMt940(const QByteArray& datei, BuchungenCSV::Zeichensatz z, QList<Auszug>* out, QString* fehler);
// The same from a device that can seek (an open file), line by line into
// `empfaenger`: the character set is checked in a first reading.
bool leseMt940(QIODevice* datei, BuchungenCSV::Zeichensatz z, AuszugEmpfaenger* empfaenger, QString* fehler);

// The column layout of a bank's CSV download. Each field is found by one of
// its header names (case-insensitive) or, in a layout the user maps, by its
// column number or its header name. The header row is found by its names,
// never by counting lines. The layouts of the banks are rows of the
// reference database (table BankCsvLayout); "generisch" is the user's own.
struct CsvLayout {
    QString name;          // "sparkasse", "dkb", …, "generisch"
    QString beschreibung;  // the banks, for the help text
    // Header names per field; empty: the field is not in the layout. The
    // counterpart stands in name_, or by the sign in nameEingang (a
    // credit's payer) and nameAusgang (a debit's payee).
    QStringList buchungstag, valuta, betrag, soll, haben, zweck, name_, nameEingang, nameAusgang, iban, bic, referenz, waehrung, konto, info;
    // Values of the column `info` that mark a pending entry.
    QStringList vorgemerkt;
    // First cells of the line above the header that names the own account
    // in its second cell, and of closing lines that are no transactions.
    QStringList kontoVorspann, fusszeilen;
    QChar trennzeichen = QLatin1Char(';');
    QChar dezimal = QLatin1Char(',');
    QString zeichensatz;   // what the bank writes, for the help text; the reader still checks the bytes
    QString quelle;        // where the layout was read
    QString datumsformat = QStringLiteral("dd.MM.yy");  // also read as dd.MM.yyyy
};
// "generisch" and the layouts of the reference database, in its order.
QList<CsvLayout> csvLayouts();
// The layout named `name`; for "generisch" the columns come from `spalten`
// ("datum=1,betrag=4,zweck=3,name=2,iban=5,bic=6,valuta=7", numbers 1-based,
// or header names; "soll=…,haben=…" instead of betrag; kopf=LINE). An empty
// name leaves `out` empty: the layout is then recognised from the file's
// header. False with the reason when the name is unknown or the mapping
// incomplete.
bool csvLayout(const QString& name, const QString& spalten, CsvLayout* out, QString* fehler);
// The bank layout whose columns the header of the file (an open device
// that can seek) holds, as an import without a chosen layout finds it.
// False with the reason: with `keinLayout` the file was readable but fits
// no layout (the reason names the columns it has), so that a host can let
// the user choose the layout or map the columns; else its character set
// is refused.
bool erkenneCsvLayout(QIODevice* datei, BuchungenCSV::Zeichensatz z, CsvLayout* out, bool* keinLayout, QString* fehler);
// Reads the file with `layout`, or (layout without a name) with the bank
// layout whose columns its header holds, by content, whatever the file is
// called; a file matching none is refused with the columns it has.
bool leseCsv(const QByteArray& datei, const CsvLayout& layout, BuchungenCSV::Zeichensatz z, QList<Auszug>* out,
             QString* fehler);
// The same from a device that can seek (an open file), row by row into
// `empfaenger`: the character set is checked in a first reading; rows are
// handed over as they are read, so a receiver that stores them does so in
// a transaction it rolls back on refusal. A row with a broken quote
// anywhere in the file is reported before the first row whose content is
// refused.
bool leseCsv(QIODevice* datei, const CsvLayout& layout, BuchungenCSV::Zeichensatz z, AuszugEmpfaenger* empfaenger, QString* fehler);

// The statements whose entries do not lead from the opening to the closing
// balance, each as a German sentence with both figures.
QStringList saldenAbweichungen(const QList<Auszug>& auszuege);

// --- bank connections ------------------------------------------------------

struct Verbindung {
    unsigned long id = 0;
    QString bezeichnung, bank;
    QString kontonummer, blz, iban, bic;
    unsigned long konto = 0;  // the chart account (kpNummer)
    zDate letzterImport;      // newest transaction received
    EuroType saldo;     // the balance the bank reported last
};
// The IBAN with blanks removed and letters in upper case.
QString normIban(const QString& iban);
bool ibanGueltig(const QString& iban);
// Adds the connection: the account must be an active account of category
// 202, 203 or 300 without a connection; an IBAN (checked) or an account
// number with bank code is required, and neither may belong to another
// connection. The new ID, 0 with `fehler`.
unsigned long legeVerbindungAn(DBConnection* db, Verbindung v, QString* fehler);
QList<Verbindung> verbindungen(DBConnection* db);
// By chart account, by IBAN, or by account number and bank code; 0 when none.
unsigned long verbindungZuKonto(DBConnection* db, unsigned long konto);
unsigned long verbindungZuIban(DBConnection* db, const QString& iban);
unsigned long verbindungZuKontonummer(DBConnection* db, const QString& kontonummer, const QString& blz);
bool leseVerbindung(DBConnection* db, unsigned long id, Verbindung* v);
// Removes the connection and its transactions (their bookings stay).
bool loescheVerbindung(DBConnection* db, unsigned long id, QString* fehler);

// --- storing ---------------------------------------------------------------

struct Speicherergebnis {
    long gespeichert = 0;      // new rows
    long doppelt = 0;          // already stored
    long ausserhalb = 0;       // not in the tax year
};
// How many stored transactions of the connection equal `u` in date, amount,
// text (the first 100 characters, compared exactly) and every counterpart
// field (empty and NULL alike).
long existUmsatz(DBConnection* db, unsigned long verbindung, const Umsatz& u);
// Stores the transactions of one retrieval or file in their order: of n
// equal ones, n minus the number stored before are inserted (a copy equal
// to a stored one counts as that one, the others are all kept); dates
// outside the tax year `jahr` or before `ab` (when valid) are left out. Records the newest date and, when `saldo` is
// given, the balance on the connection. One transaction; false with
// `fehler` (and nothing stored) when the database refuses.
bool speichereUmsaetze(DBConnection* db, unsigned long verbindung, const QList<Umsatz>& umsaetze, int jahr,
                       const zDate& ab, const EuroType* saldo, Speicherergebnis* ergebnis, QString* fehler);
// The note after storing ("Es wurden 3 Umsätze für das Wirtschaftsjahr 2016
// abgerufen." …).
QString ergebnisMeldung(const Speicherergebnis& e, int jahr);

// Reads a statement file and stores its transactions on the connection of
// the chart account `konto` (0: the connection whose IBAN or account number
// the file names). A file naming another account than that connection's is
// refused. When balances do not fit their entries the user is asked first.
struct Importoptionen {
    Format format = Format::Automatisch;
    QString layout;                                 // CSV only; empty: recognised from the header
    QString spalten;                                // CSV layout "generisch"
    BuchungenCSV::Zeichensatz zeichensatz = BuchungenCSV::Zeichensatz::Automatisch;
};
struct Importergebnis {
    bool ok = false;
    bool verneint = false;  // the user said no to the balance question
    // The own account (IBAN, else account number) the file names and the
    // case has no bank connection for: a host offers to set one up.
    QString ohneVerbindung;
    unsigned long verbindung = 0;
    Speicherergebnis speicher;
    int vorgemerkt = 0;
    long gelesen = 0;            // transactions and pending or skipped rows the file holds
    QStringList uebersprungen;   // "Zeile N: reason" of each row left out
    QString meldung;  // the note on success, the reason on refusal
    // Every row accounted for: "Gelesen 12: gespeichert 10, bereits
    // vorhanden 1, …", then each skipped row on a line of its own.
    QString zahlen() const;
};
Importergebnis importiere(DBConnection* db, unsigned long konto, const QByteArray& datei, const Importoptionen& o);
// The same from a device that can seek (an open file): the file is read and
// stored entry by entry, in the memory of one entry whatever its size. Each
// transaction is stored as it is read, all in one transaction that the
// refusal of any part (or a no to the balance question) rolls back.
Importergebnis importiere(DBConnection* db, unsigned long konto, QIODevice* datei, const Importoptionen& o);

// --- status -------------------------------------------------------------------

enum Status { Offen = 0, Verarbeitet = 1, NichtVerarbeiten = 2, FalschesJahr = 3 };
QString statusText(int status, unsigned long buchungsnummer);

struct GespeicherterUmsatz {
    unsigned long id = 0, verbindung = 0, konto = 0;
    zDate datum;
    EuroType betrag;
    QString text, name, kontonummer, blz, iban, bic;
    QString referenz;  // kept in Kategorie1: what the bank delivered besides the purpose
    int status = 0;
    unsigned long buchungsnummer = 0;
};
// The stored transactions by date (only open ones with `nurOffene`).
QList<GespeicherterUmsatz> umsaetze(DBConnection* db, bool nurOffene = false);
// The same one at a time, none held.
void umsaetze(DBConnection* db, bool nurOffene, const std::function<void(const GespeicherterUmsatz&)>& je);
// How many umsaetze(db, true) would list.
long anzahlOffene(DBConnection* db);
// Marks open transactions as not to be processed; the number changed.
// Refused (nothing changed) when an ID does not exist or is not open.
long nichtVerarbeiten(DBConnection* db, const QList<unsigned long>& ids, QString* fehler);
// Makes the transactions open again. Their bookings go: deleted, or
// cancelled when they lie in the locked period (after the question), never
// touching a closed cash period (then nothing changes). The user is asked
// first when bookings go. Transactions outside the year keep their state.
// One transaction; false with `fehler` when refused.
bool zuruecksetzen(DBConnection* db, const QList<unsigned long>& ids, QString* fehler);

// --- takeover into bookings -----------------------------------------------------

// A proposed booking for a transaction.
struct Vorschlag {
    // Vorhanden: a booking already in the ledger (a recurring booking, an
    // invoice posted as paid) is this transaction's; it is linked, not posted.
    enum Art { Keiner, Vorlage, Buchung, Gegenpartei, Rechnung, Vorgabe, Vorhanden, Eingangsrechnung };
    Art art = Keiner;
    int wertung = 0;         // score; from kSchwelle on it is taken over with --alle
    QString grund;           // the reason in words
    int buchungsart = 3;
    unsigned long gegenkonto = 0;
    unsigned long steuerschluessel = 0;
    QString text;            // booking text
    unsigned long quelle = 0;    // the template's or booking's number (Vorhanden: the booking linked)
    unsigned long rechnungID = 0;  // Rechnung, Eingangsrechnung: the invoice
    QString rechnungsnummer;
};
constexpr int kSchwelle = 100;
struct Kandidat {
    GespeicherterUmsatz umsatz;
    Vorschlag vorschlag;  // the best one (art Keiner when none)
};
// The proposals for the open transactions of the tax year (restricted to
// `ids` when not empty), without writing anything.
QList<Kandidat> vorschlaege(DBConnection* db, const QList<unsigned long>& ids = {});
// The same one at a time, in the same order, none held: `je` gets each
// transaction with its proposal as soon as it is found.
void vorschlaege(DBConnection* db, const QList<unsigned long>& ids, const std::function<void(const Kandidat&)>& je);

// What the user decides for the takeover.
struct Auftrag {
    bool alle = false;              // every transaction whose proposal scores kSchwelle or more
    QList<unsigned long> ids;       // these, with their best proposal
    unsigned long gegenkonto = 0;   // instead of the proposal (with ids)
    unsigned long steuerschluessel = 0;
    bool schluesselAngegeben = false;
    QString text;
};
struct Uebernahmeergebnis {
    QList<QPair<unsigned long, unsigned long>> gebucht;  // (transaction, booking)
    QList<QPair<unsigned long, unsigned long>> verknuepft;  // (transaction, booking already there)
    QList<unsigned long> ohneVorschlag;                  // --alle: left open
    int festgeschrieben = 0;                              // bookings locked at once
    QString meldung;
};
// Stages the proposals in eurUebernahme, posts the chosen ones into the
// ledger (an invoice's payment through the invoicing, which marks it paid),
// marks each transaction processed with its booking, and clears the staged
// rows: all in one transaction. A transaction dated in the locked period is
// posted only after the question and is locked at once. False with
// `fehler` (nothing changed) on any refusal.
bool uebernehmen(DBConnection* db, const Auftrag& a, Uebernahmeergebnis* e, QString* fehler);

// Links the open transaction `umsatz` to the booking `buchung` already in
// the ledger, by hand: the booking must be live, lie in the year and move
// the transaction's amount on its money account on the transaction's side,
// and no other transaction may point at it. Nothing is posted; resetting
// the transaction later unlinks it and leaves the booking. False with the
// reason (nothing changed).
bool zuordnen(DBConnection* db, unsigned long umsatz, unsigned long buchung, QString* fehler);

}  // namespace Bank
