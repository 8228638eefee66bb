// Subsystem "buchungen": the ledger itself. Posting bookings (header, lines
// and the tax lines a key generates), splitting gross and net amounts by tax
// key, cancelling and deleting, the self-check of bookings, the locking
// of periods (Festschreibung), the recurring bookings of templates, the
// runs of postings that ask before a till goes below zero, the ledger as a
// list and generated test data.
//
// Relies on: rahmen (the manager and its case database) and steuer/ustid.h
// (which revenue may carry a VAT number for the recapitulative statement);
// no other folder's header. Through KontoGlobal's members it asks konten
// (account look-ups and the account/key rules), kasse (the closed-register
// rule), faktura and bank (an invoice or a bank transaction whose payment
// booking goes is reopened; the reminders the recurring bookings show).
// Its operations are static members of KontoGlobal, declared in
// rahmen/kontglob.h under "bookings", "cancelling", "self-check",
// "locking", "recurring bookings" and "tax keys"; every file of this folder
// includes this header. The checks a booking passes before it is posted
// (eingabe.cpp), the runs of postings (lauf.cpp), the ledger list and the
// test data are declared below.
#pragma once

#include "host/values/date.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QHash>
#include <QPair>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

// One booking as a person types it or a file states it, before it is
// posted: the money account (dialog line 1), one counter account (dialog
// line 2) with its tax key and amount, the kind and the voucher date. A
// split booking is checked part by part, each part with the same money
// account, kind and date.
struct BuchungsEingabe {
    int buchungsart = 3;  // 1..6 as in KontoGlobal::getBuchungsartText
    zDate belegdatum;
    unsigned long konto = 0;       // money side (dialog line 1)
    unsigned long gegenkonto = 0;  // counter side (dialog line 2)
    unsigned long steuerschluessel = 0;
    // False when no key was entered: the counter account's own key then
    // applies where the chart gives it one (Steuerautomatik 1 or 2).
    bool schluesselAngegeben = true;
    EuroType betrag;  // as entered, positive
    // The customer's VAT number and the statement kind (UStId::BuchungsArt,
    // 1..3) for the recapitulative statement; empty and 0 for any other
    // booking.
    QString ustid;
    int zmart = 0;
};

// The rules every booking meets before it is posted, whether it was typed
// (`dalvo buchen`) or read from a file (the bookings CSV import): both ask this
// one checker, so the two can never accept different bookings. In order:
// the amount is money, the voucher date lies in the tax year, both accounts
// exist, are active and fit the kind on their side (calcKontoWhere), a key
// fixed on the counter account (Steuerautomatik 1) is the one used, the key
// exists, is active (pruefeSteuerschluesselAktiv) and is allowed on the
// counter account (isSteuerschluesselOK), and
// a VAT number with a statement kind stands only on revenue the
// recapitulative statement reports, in the format of its member state and
// with the kind that revenue is reported as (steuer/ustid.h). A case without
// VAT liability (§ 19 UStG) ignores the chart's default keys and refuses
// every key but those by which the recipient owes the tax.
//
// What it reads of the chart and the keys it keeps, so a file of many rows
// costs a few queries per distinct account and key, not per row. The chart
// must not change while a checker is in use; `db` must outlive it.
class EingabePruefer {
public:
    EingabePruefer(DBConnection* db, int steuerjahr);

    // The German refusal of the first rule the booking breaks, empty when it
    // may be posted. Without an entered key, fills in the counter account's.
    QString pruefen(BuchungsEingabe& e);
    // The same for each part of a booking to post, dated `datum` (a
    // template's dates may lie outside the year it is checked for); without
    // `schluesselAngegeben` the parts' keys are filled in.
    QString pruefen(KontoGlobal::BuchungsEntwurf& b, const zDate& datum, bool schluesselAngegeben = true);
    // Whether the account is active and may stand on that side (money side
    // or counter side) of a booking of kind `art`.
    bool passtZurArt(unsigned long konto, int art, bool geldSeite);
    // The account's category, 0 when the chart does not have it.
    unsigned long kategorie(unsigned long konto) { return konto_(konto).kategorie; }
    // Income and the refund of an expense debit the money side, expenses and
    // the refund of income credit it; a file that states the kind must put
    // its amount on that side. The refusal, empty when the side fits (free
    // bookings and opening balances go either way).
    static QString pruefeSeite(int art, bool geldHaben);

private:
    struct Konto {
        bool gibt = false, aktiv = false;
        unsigned long kategorie = 0;
        long automatik = 0;
        unsigned long schluessel = 0;
        unsigned long ustva = 0;  // code on the advance return
    };
    struct Schluessel {
        bool ohneDeutscheSteuer = false;  // output key at 0 %
        unsigned long ustva = 0;
    };
    QString zmPruefen(const BuchungsEingabe& e);
    // The refusal of a key in a case without VAT liability, empty when the
    // key may be posted there (KontoGlobal::schluesselOhneUstPflicht).
    QString ohneUstNein(unsigned long schluessel);
    const Konto& konto_(unsigned long nr);
    QString kontoPruefen(unsigned long nr, int art, bool geldSeite);

    DBConnection* m_db;
    int m_jahr;
    QHash<unsigned long, Konto> m_konten;
    QHash<QPair<unsigned long, int>, bool> m_passt;  // (account, kind * 2 + money side)
    QHash<unsigned long, QString> m_schluesselNein;  // pruefeSteuerschluesselAktiv
    QHash<unsigned long, Schluessel> m_schluesselZm;
    QHash<QPair<unsigned long, unsigned long>, int> m_regel;  // (account, key) -> isSteuerschluesselOK
    bool m_ustPflichtig;
    QHash<unsigned long, QString> m_ohneUst;
};

// --- runs of postings and the cash balance (lauf.cpp) ----------------------
// A cash register never goes below zero unasked. Whatever changes the
// ledger, the user is asked when the change leaves a register with a
// negative balance on a day that was not negative before, and answered No,
// nothing of the change is kept.
//
// The unit of that question is a run. Each posting operation of the ledger
// (insertSplittBuchung, storniereBuchung, deleteBuchung, deleteBuchungen) is
// a run on its own; an operation made of many postings (a file import, the
// recurring bookings, the bank takeover, an invoice with its discount, the
// cash closing, the carry-forward) opens a run around them and its postings
// join it, so it asks once. The outermost run of a connection opens a
// transaction; abschliessen() finds the first day a register turned
// negative, asks through the Ui and commits, or rolls everything back and
// refuses. A run left without abschliessen (a failure, an early return)
// rolls back. Inner runs only join: their abschliessen() says yes.
//
// What it reads: the highest line key when the run starts; at its end the
// lines added since on cash accounts (category 201) and, only for a
// register with an outflow, that register's day sums. Lines deleted inside
// the run are reported by the deleting operation (entfernt) before they go.
class DBTransaktion;
class Buchungslauf {
public:
    // A run on the case database `db` (null: a run that does nothing, for
    // postings into other tables or databases).
    explicit Buchungslauf(DBConnection* db);
    ~Buchungslauf();
    Buchungslauf(const Buchungslauf&) = delete;
    Buchungslauf& operator=(const Buchungslauf&) = delete;

    // False when the outermost run could not begin its transaction.
    bool ok() const { return m_ok; }
    // What the run did, for the wording of the question.
    void gebucht(int anzahl = 1);
    void storniert(int anzahl = 1);
    // The ledger bookings `nummern` (eurVerbucht) are about to be deleted:
    // their cash lines count as removed. Call inside the run, before deleting.
    void entfernt(const QList<unsigned long>& nummern);
    // Ends the run. The outermost run asks when a register turned negative
    // and commits; false (nothing kept) with the German refusal in `fehler`
    // when the user said No or the commit failed. An inner run returns true.
    bool abschliessen(QString* fehler = nullptr);
    // After abschliessen: the user answered the question with No.
    bool verneint() const { return m_verneint; }

    struct Zustand;  // lauf.cpp

private:
    friend class Testdaten;
    // Generated test data only: a run that never asks.
    enum class OhneKassenfrage { Ja };
    Buchungslauf(DBConnection* db, OhneKassenfrage);
    void beginnen(DBConnection* db, bool fragen);

    DBConnection* m_db = nullptr;
    Zustand* m_zustand = nullptr;       // the outermost run's, shared by the inner ones
    std::unique_ptr<Zustand> m_eigener;  // set in the outermost run only
    std::unique_ptr<DBTransaktion> m_tx;  // the outermost run's transaction
    bool m_ok = true;
    bool m_verneint = false;
};

// --- generated test data (testdaten.cpp) ------------------------------------
class Testdaten {
public:
    // Posts `anzahl` realistic, varied bookings into the active case (income
    // and expenses at 19 % and 7 %, cash and bank, split receipts,
    // intra-Community supplies), the same ones for the same `seed`, all in
    // one transaction and after the lock date. The only postings that do not
    // ask about a till going below zero (see Buchungslauf). The number
    // posted; -1 (nothing posted) with the German reason in `fehler`.
    static long erzeugen(int anzahl, int seed, QString* fehler);
};

// --- the ledger as a list (buchungsliste.cpp) -------------------------------
namespace Buchungsliste {

// A line of a booking as it is stored.
struct Zeile {
    qint64 konto = 0, gegenkonto = 0;
    EuroType betrag;
    bool haben = false;
    qint64 steuerschluessel = 0, steuerID = 0;
    int dialogzeile = 0;
};
// A booking of the ledger, its lines in the order they were written.
struct Buchung {
    unsigned long buchungsnummer = 0;
    zDate belegdatum;
    QString buchungstext;
    QString belegnummer;
    EuroType betrag;
    int buchungsart = 0;
    bool storno = false, storniert = false;
    QVector<Zeile> zeilen;  // only when read with lines
};
// Hands the bookings of the ledger with a voucher date from `von` to `bis`
// to `je` in the order of voucher date and number, each as soon as it has
// been read, so a list of any length is never held whole; with `mitZeilen`
// each with its lines. False when the ledger could not be read to its end.
bool lesen(DBConnection* db, const zDate& von, const zDate& bis, bool mitZeilen, const std::function<void(const Buchung&)>& je);
// The number of live bookings: neither cancelled nor cancellations.
long anzahlGueltige(DBConnection* db);

}  // namespace Buchungsliste

// --- recurring bookings (regelmaessig.cpp) ---------------------------------
// A template of eurBeispiel with an Intervall is a recurring booking. An
// occurrence posted from it carries "FromBsp:" and the template's number in
// its Zusatzinfo; a template saved from a booking carries "FromBuchung:"
// and that booking's number, which counts as its first occurrence. Nothing
// else remembers what was posted: the next run starts after the latest live
// occurrence, so a cancelled one is due again.

// One due occurrence of a recurring template.
struct rsEurRegelBuch {
    int status = 0;
    unsigned long vorlage = 0;  // booking number of the template
    QString buchungstext;
    zDate zahlungsdatum;        // payment (value) date of the occurrence
    zDate belegdatum;           // document date of the occurrence
    QString intervall;          // as stored in the template
    QString konten;             // "S 4210 Miete, H 1200 Bank"
    EuroType betrag;
    int ausgewaehlt = 1;        // every due occurrence starts selected
    int steuerjahr = 0;
    QStringList zeilenwerte;
};

// One due reminder of an invoicing document, offered with the recurring
// bookings (KontoGlobal::regelmaessigBuchen); the invoicing finds and
// stores them (KontoGlobal::fillErinnerungen, delErinnerungen).
struct rsRebuErinnerung {
    int status = 0;
    unsigned long id = 0;    // the document's ID
    unsigned long art = 0;   // 0 offer, 1 order confirmation, 2 delivery note, 3 invoice, 4 dunning letter
    zDate datum;             // the reminder date
    QString text;
    int erneut = 0;          // remind again (the date is kept when set)
};

namespace Regelbuchung {

// The interval code of DateHelper (1..8) of a stored or typed interval:
// the code as digits or its German name ("monatlich", also written without
// umlauts: "vierteljaehrlich"); 0 for anything else.
int intervallCode(const QString& text);
// The German name of a stored interval, the text itself when it has none.
QString intervallName(const QString& gespeichert);

// Empties `liste` and fills it with the occurrences due up to `heute` (jahr
// 0: the tax year of the active case; any other year than that gives an
// empty list). Their number.
int faellige(QList<rsEurRegelBuch>& liste, int jahr, const zDate& heute);
// What is due today in the active case (for overviews such as the start page).
QList<rsEurRegelBuch> faelligeHeute();

struct Ergebnis {
    QList<unsigned long> nummern;  // the bookings posted, in the order of the list
    int festgeschrieben = 0;       // how many of them fall into the locked period
    QString meldung;               // the note for the user
};
// Posts the occurrences of `liste` into the ledger, all in one transaction:
// each through the posting of every booking, with the checks of an entered
// booking (accounts active and fitting, key allowed, date in the year) and
// the closed-register rule. Occurrences in the locked period are posted
// only after the user agreed. An entry that is not due (any more) today is
// refused, so nothing is posted twice. False with the German reason in
// `fehler` when nothing was posted.
bool buchen(const QList<rsEurRegelBuch>& liste, Ergebnis* erg, QString* fehler);
// The note after posting `anzahl` occurrences; `festgeschrieben` of them
// locked up to `bis`.
QString ergebnisText(int anzahl, int festgeschrieben = 0, const zDate& bis = zDate());

// A booking template as the template list shows it.
struct Vorlage {
    unsigned long nummer = 0;
    QString buchungstext;
    int buchungsart = 0;
    EuroType betrag;
    zDate belegdatum, zahlungsdatum;
    QString intervall;  // as stored; empty for a template that does not recur
    QString zusatzinfo;
    QString konten;     // as in rsEurRegelBuch
};
QList<Vorlage> vorlagen(DBConnection* db);
// Stores `b` as a template (b.table is ignored) recurring by `intervall`
// (a DateHelper code; 0 for a template that does not recur), its dates
// being those of the first occurrence. The template's number, 0 with
// `fehler`.
unsigned long vorlageAnlegen(const KontoGlobal::BuchungsEntwurf& b, int intervall, QString* fehler);
// Saves the live ledger booking `buchung` as a template recurring by
// `intervall`; the booking is its first occurrence. 0 with `fehler`.
unsigned long vorlageAusBuchung(unsigned long buchung, int intervall, QString* fehler);
// Deletes a template; the occurrences already posted stay in the ledger.
bool vorlageLoeschen(unsigned long nummer, QString* fehler);

}  // namespace Regelbuchung
