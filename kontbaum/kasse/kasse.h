// Subsystem "kasse": the cash book, the cash closing and the exchange of
// cash registers with a separate cash-keeping installation.
//
// A cash account is an account of category 201. The cash book lists its
// movements for a period with a running balance behind an opening row; a
// closing (eurKassenabschluss, one row per closing and account) fixes the
// counted cash at a date and posts the difference as a balancing booking
// (origin 110). From then on nothing that touches that account may be
// posted, cancelled or deleted on or before the closing date: the posting
// entry (insertSplittBuchung), storniereBuchung and deleteBuchung ask
// KontoGlobal::pruefeKasseAbgeschlossen, so every later way of posting gets
// the rule without knowing of it.
//
// A register is handed to a cash installation as a ".kasse" file and comes
// back as ".buchungen" files of closed bookings. Both are SQLite databases of
// the case schema holding only what the other side needs, plus metadata rows
// in eurExportierteDaten; neither is a case file.
//
// Relies on: rahmen (manager, case database, special accounts) and the
// host's Ui for the questions; through KontoGlobal's members buchungen
// (posting, balances, self-check) and konten (categories, names). The operations the rest of the module calls are
// static members of KontoGlobal (rahmen/kontglob.h, "cash book"); the
// closing wizard's pages, the report and the files are declared here.
#pragma once

#include "kontbaum/berichte/listenschreiber.h"
#include "kontbaum/rahmen/kontglob.h"

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>

class Faecher;
class QIODevice;

// One row of the cash book. The first eight fields are those of the listing;
// the rest feed the printed book.
struct KBBuchung {
    zDate datum;             // voucher date; the period start in the opening row
    QString belegnummer;
    EuroType einnahme; // the opening balance in the opening row
    EuroType ausgabe;
    EuroType bestand;  // running balance after this row
    QString gegenkonto;      // decimal, "diverse" without a single counter account, empty in the opening row
    double steuersatz = 0.0;
    QString buchungstext;    // "Anfangsbestand" in the opening row
    unsigned long buchungsnummer = 0;  // 0 in the opening row
    QString steuerschluessel;          // short name of the counter line's key
};

// The cash book of one cash account (the "Kassenbuch" report).
class Kassenbuch {
public:
    Kassenbuch(unsigned long konto, const zDate& von, const zDate& bis);

    // The statement of the cash-book mode: every line of the account, in
    // the order account, voucher date, booking number.
    QString getStatement() const;
    // Reads the rows: false when the statement cannot be read.
    bool Fuellen();
    // Reads the opening and end balance (one sum over the account) and the
    // closings: what the book needs before its first row. False when the
    // ledger cannot be read.
    bool vorbereiten();
    // After vorbereiten(): hands the opening row, then each row of the
    // period to `je` as it is read, none of them kept, so a book of any
    // length takes the memory of one row. False when the rows could not be
    // read to their end.
    bool lesen(const std::function<void(const KBBuchung&)>& je);
    const EuroType& anfangsbestand() const { return m_anfang; }
    const EuroType& endbestand() const { return m_ende; }

    // The book written as it is read (after vorbereiten()) in one of the
    // forms of the lists: the printed page, CSV (one line a row of the book,
    // the opening row first) or JSON (konto, bezeichnung, von, bis,
    // anfangsbestand, endbestand, abschluesse, zeilen). False with a German
    // reason when it could not be read or written.
    enum class Form { Seite, Csv, Json };
    bool schreiben(Form form, const QString& firma, const ListenZiel& ziel, QString* fehler);
    // The printed book as PDF into an open device, page by page.
    bool alsPdf(const QString& firma, QIODevice* ziel, QString* fehler);
    const QList<KBBuchung>& zeilen() const { return m_zeilen; }
    unsigned long konto() const { return m_konto; }
    const zDate& von() const { return m_von; }
    const zDate& bis() const { return m_bis; }

    struct Abschluss {
        unsigned long abschlussID = 0;
        zDate datum;
        EuroType saldo, gezaehlt;
    };
    // The closings of the account inside the period, by date.
    const QList<Abschluss>& abschluesse() const { return m_abschluesse; }

    // The printed book as plain text: opening row, movements with day
    // totals, the closings, totals and end balance.
    QString druckText(const QString& firma) const;
    // The printed book as PDF bytes, laid out page by page (column heads on
    // every page, page numbers, receipts, payments and balance carried
    // forward); needs a QGuiApplication (the offscreen platform will do).
    // False with a German reason otherwise.
    bool alsPdf(const QString& firma, QByteArray* pdf, QString* fehler) const;

private:
    bool lesenUeberIndex(const std::function<void(const KBBuchung&)>& je, EuroType lauf);

    unsigned long m_konto;
    zDate m_von, m_bis;
    QList<KBBuchung> m_zeilen;
    QList<Abschluss> m_abschluesse;
    EuroType m_anfang, m_ende;
    // The rows of the account in order of voucher date, read by vorbereiten()
    // (see Faecher); null when they did not fit, and lesen() then reads them
    // through the statement of getStatement().
    std::shared_ptr<Faecher> m_faecher;
};

// The data of the closing wizard: the steps are functions the command line
// and a dialog drive alike.
struct KassenabschlussDaten {
    zDate datum;                   // closing date
    zDate letzterAbschluss;        // of this account; invalid when none
    QString letzterText;           // HTML
    QString bezeichnung;           // "1000 Kasse"
    unsigned long konto = 0;
    EuroType saldoBuchungen; // "Kontostand laut Buchungen"
    EuroType gezaehlt;       // "Gezählter Betrag"
};

namespace Kasse {

// Start of the wizard for `konto` (0: the case's cash account): the refusal
// after a year-end closing or for an account that is no cash account, else
// empty with the label and the account's last closing filled in.
QString abschlussBeginnen(unsigned long konto, KassenabschlussDaten* d);
// The date page: the refusal of the chosen date (invalid, outside the tax
// year, in the future, or not after the account's last closing).
QString abschlussDatumPruefen(const KassenabschlussDaten& d);
// The amount page: the balance by the bookings up to the closing date.
void abschlussSaldoErmitteln(KassenabschlussDaten* d);
// The summary page (HTML).
QString abschlussZusammenfassung(const KassenabschlussDaten& d);
// The counter account of the balancing booking: `gewaehlt` when given (it
// must be an active income account for a surplus, an expense account for a
// shortfall), else the special account or the only active account of the
// fallback category. 0 with the refusal in `fehler`.
unsigned long ausgleichsGegenkonto(const KassenabschlussDaten& d, unsigned long gewaehlt, QString* fehler);
struct AbschlussErgebnis {
    unsigned long ausgleichsbuchung = 0;  // 0 when counted equals booked
    unsigned long abschlussID = 0;
    EuroType saldo;
};
// Carries the closing out: the balancing booking ("Fehlbetrag" or
// "Überschuss") and the closing row in one transaction. True only when both
// are written; otherwise nothing is, and `fehler` says why.
bool abschlussDurchfuehren(const KassenabschlussDaten& d, unsigned long gegenkonto, AbschlussErgebnis* ergebnis,
                           QString* fehler);

// One cash account of the case as the overview of the registers shows it.
struct Kassenstand {
    unsigned long konto = 0;
    QString bezeichnung;
    bool aktiv = false;
    EuroType bestand;   // by every booking of the year
    zDate abgeschlossenBis;   // the latest closing; invalid without one
    bool exportiert = false;  // handed to a cash installation
};
// Every cash account (category 201), active or not, by number.
QList<Kassenstand> kassenuebersicht();

// Withdrawing an exported register: the accounts of the exported
// registers, and the withdrawal of one (false with the reason).
QList<unsigned long> exportierteKassen(DBConnection* con = nullptr);
bool kasseFreigeben(unsigned long konto, QString* fehler);

// --- exchange of registers -------------------------------------------------
// The metadata of an exchange file (rows of eurExportierteDaten with an
// empty Datenpfad).
struct Metadaten {
    QMap<QString, QString> werte;
    QString wert(const QString& v) const { return werte.value(v); }
};
bool leseMetadaten(const QString& datei, Metadaten* m, QString* fehler);

// The file name of a register export: "yyyymmdd <name> Kasse <konto> <year>.kasse".
QString kassenDateiname(const zDate& heute, const QString& name, unsigned long konto, int jahr);
// Exports the register `konto` of the open case into the directory `ziel`
// (a new file; `ersetzen` replaces one of the same name). Records the
// register (new KassenID, or the new date of an earlier export) and marks
// the hand-over as imported in the case, so its bookings never come back.
// The file holds the chart and keys, the register's bookings, templates and
// settings, and nothing else. The path written, empty with `fehler`.
QString exportiereKasse(unsigned long konto, const QString& ziel, bool ersetzen, QString* fehler);
// Checks a ".kasse" file against this program: the refusal, empty when it
// can be imported. Fills `m`.
QString pruefeKassendatei(const QString& datei, Metadaten* m);
// Fills the open, new case (working database of slot 0, template schema)
// from a ".kasse" file: settings, chart and keys, the register's bookings
// and templates, the register and its first closing and export record.
bool importiereKasse(const QString& datei, QString* fehler);

// The cash installation: the bookings the next export takes, and the export
// itself into the directory `ziel`. The report (HTML) says what is taken.
struct BuchungsExportPlan {
    unsigned long konto = 0;
    QString kassenID;
    zDate letzterAbschluss;
    EuroType saldo;
    int abgeschlossen = 0;     // bookings up to the last closing
    int offen = 0;             // bookings after it (not exported)
    QString bericht;           // HTML
};
// False (with the refusal in `fehler`) when nothing can be exported.
bool planeBuchungsExport(BuchungsExportPlan* plan, QString* fehler);
QString exportiereKassenbuchungen(const QString& ziel, bool ersetzen, QString* fehler, BuchungsExportPlan* plan = nullptr);
// The main case: imports the exports of a ".buchungen" file not yet
// imported. The number of bookings taken over (0: none, with the message
// in `meldung`), -1 on refusal (`meldung` says why; nothing changed).
long importiereKassenbuchungen(const QString& datei, QString* meldung);

}  // namespace Kasse
