// Subsystem "fall": the data tree of a tax case and its file. Kont_ and the
// form node classes with their registrations in the host's builder
// registries (registrierung.cpp), the record Kont_ writes into the case
// file, the case file itself (falldatei.h) and the steps after loading
// (year, pruning, refresh of chart and categories).
//
// Relies on: rahmen (manager, database), berichte (the report indexes a
// writer gives a case, berichte/indizes.h), the host's tree and archive.
// Kont_ declares the operations steuer and jahr define (the advance
// return, the EÜR transfer, the calculation file, the carry-forward; the
// return's objects are only named here, steuer/voranmeldung.h has them),
// and through KontoGlobal's members it asks konten (chart refresh at load).
//
// Kont_: the root node of the bookkeeping subtree of a tax case.
//
// The root owns the child nodes of the bookkeeping forms in fixed member
// slots (master data, tax-office data, registers, analyses, report settings,
// invoicing, booking entry, bank, the EÜR form root) and carries the three
// headline amounts of the income-surplus statement.
//
// Invariant: after Rechnung(), eur_GewinnVerlust == eur_Betriebseinnahmen -
// eur_Betriebsausgaben.
//
// Every child slot is described once in slotVariablen(): its variable name
// ("Stamm001_Ptr[0]", "Eur0001_Ptr"), its 16-bit variable number, its element
// index (1-based for array slots, 0 for scalar ones) and the class it holds.
// The variable registry and the case-file record are built on that table.
#pragma once

#include "host/tree/datenbase.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <QVector>

class Stamm001_;
class Ad0031_;
class Ad0040_;
class Anl006_;
class Uml006_;
class Iab006_;
class Buch012_;
class Ana001_;
// The advance return's objects (steuer/voranmeldung.h); the members of the
// root that fill them are defined in the steuer folder.
struct rsUStKennziffer;
class OAnmeldungVorauszahlungen;
class OAnmeldungVorauszahlungen2;
class OAbziehbareVorsteuerbetraege;

class Kont_ : public DatenBase {
public:
    // The four values are accepted for symmetry with every other node class
    // and carry no meaning for the root.
    Kont_(int a, int b, int c, int d);
    // Children go with the root.
    ~Kont_() override;

    // A fresh, cleared root built with 4, 7, 1, 1, not attached; the caller owns it.
    static Kont_* New();

    QString className() const override;
    QString ID() const override;
    static constexpr int kTypNummer = 142;
    DatenBase* build() const override;

    // All slots null, the slot counts of the analysis and report arrays set.
    void init();
    // Registers the child slots (slotVariablen) and the three amounts as
    // variables.
    void initVars();
    // Moves the children and amounts of `quelle` into this root; what this
    // root held before is deleted. Used to apply a fully read case record.
    void uebernehmeKinder(Kont_& quelle);
    // The three amounts become 0.
    void Clear(int art = 0);
    // Profit = income - expenses; returns 0.
    int Rechnung();
    void Set_U() {}

    // Child accessors of the first slot of each pair. mode > 0 creates the
    // child when missing and returns it; mode < 0 deletes it and returns
    // null; mode 0 returns the slot as it is (possibly null).
    Stamm001_* GetStamm001_Ptr(int mode);
    Ad0031_* GetAd0031_Ptr(int mode);
    Ad0040_* GetAd0040_Ptr(int mode);
    Anl006_* GetAnl006_Ptr(int mode);
    Uml006_* GetUml006_Ptr(int mode);
    Iab006_* GetIab006_Ptr(int mode);
    Buch012_* GetBuch012_Ptr(int mode);
    Ana001_* GetAna001_Ptr(int mode);

    // --- VAT figures (ustva.cpp) -------------------------------------------------
    // The amount of every code of the advance return (form 0) for a period
    // of the case in manager slot `slot`: zeitraumArt 1 month (monat 0..11),
    // 2 quarter (quartal 0..3), else the year. False, with an empty map,
    // when the period has no relevant posted line.
    static bool GetUmsaetzeFuer(int slot, QMap<unsigned long, rsUStKennziffer>& kennziffern, int zeitraumArt, int quartal,
                                int monat);
    // The same computation on another form: 1 the annual VAT return (the
    // accounts' USt column and the keys' annual-return codes).
    static bool GetUmsaetzeFuerFormular(int slot, QMap<unsigned long, rsUStKennziffer>& kennziffern, int zeitraumArt,
                                        int quartal, int monat, int formular);
    // Fills the return's objects for the period of the case's form data
    // (art 1: the whole year), with the special advance payment in December
    // and the fourth quarter.
    static bool GetUmsaetze(int slot, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2,
                            OAbziehbareVorsteuerbetraege& v, const int& art);
    // Balance of the special advance payment account (SKR03 1781).
    static EuroType getSondervorauszahlung(int slot);
    // Writes the period's figures into the form variables of its return
    // node "Va_[M]\Va0010_\Va0011_{n}" (n: month 1..12, quarter 13..16,
    // year 17). A return marked as transmitted (va_Uebermittelt) is never
    // overwritten; one holding figures the transfer would change or drop is
    // overwritten only after the user agreed. False without a return tree
    // or when refused (the German reason in `fehler` when given).
    static bool UebertrageUStVA(int zeitraumArt, int quartal, int monat, QString* fehler = nullptr);
    // The navigation commands: 1220 advance return, 1221 annual VAT return,
    // 1222 trade tax, 1223 EÜR; refused without a chart. 0 on success.
    int UebernahmeUstGst(int befehl, int unbenutzt = 0);

    // --- profit and form transfer (gewinn.cpp) ----------------------------------
    // The ledger's totals per form variable for the account column `spalte`
    // ("EUR" with form 3, "USt" with 1, "GewSt" with 2). For the EÜR also
    // the totals of page 1 (eur1_Betriebseinnahmen, eur1_Betriebsausgaben,
    // eur1_Investitionsabzug, eur1_Hinzurechnung, eur1_GewinnVerlust);
    // lines of profit accounts that name no form line go to the form's
    // "other" lines, so eur1_GewinnVerlust always equals the profit.
    static QMap<QString, EuroType> berechneFormularwerte(const QString& spalte, int formular);
    // Writes the EÜR into "Kont_[M]\Eur0001_" and its pages. When the form
    // holds figures the transfer would change or drop, the user is asked
    // first. 0 on success, 1 without the form node, 2 when the user kept the
    // form as it was (nothing changed).
    int UebernahmeEurFormular();
    // Compares the form's profit with getGewinn; false (and a message) when they differ.
    bool testCompGewinn();

    // --- calculation file (berechnung.cpp) --------------------------------------
    // The calculation XML of the case: the advance-VAT codes of the whole year
    // and the EÜR by section, category and account. Only the manager's cached
    // report parameters are reset; no node of the tree is touched.
    static QByteArray berechnungXml();
    // The differences of two calculation files, in German, each beginning
    // with `praefix`: elements are matched by their number, the Description
    // (program, version, date) is not compared. False with `fehler` when a
    // file is no XML.
    static bool vergleicheBerechnung(const QByteArray& referenz, const QByteArray& aktuell, const QString& praefix,
                                     QStringList* unterschiede, QString* fehler);
    // Where writeDOMTree puts the calculation files that are no reference.
    static QString berechnungsVerzeichnis();
    // Writes the calculation file for the case file `datei`: with `referenz`
    // into the directory "Referenz" beside it, else into
    // berechnungsVerzeichnis(), under the name of `datei`. 0 written; 1
    // refused (suffix "$$$") or failed, with the message in the error log.
    int writeDOMTree(const QString& datei, bool referenz);
    enum BerechnungsVergleich { VergleichFehler = -1, VergleichGleich = 0, VergleichUnterschiede = 1, VergleichReferenzNeu = 2 };
    // Writes the current file and compares it with the reference. Without a
    // reference, the current figures become it and VergleichReferenzNeu
    // says that nothing was compared. Differences go to the error log and
    // to `unterschiede`.
    int compareDOMTree(const QString& datei, QStringList* unterschiede = nullptr);

    // --- carry-forward (jahr/saldovortrag.cpp, see jahr/jahr.h) -------------
    // Carries the balances of the previous year's ledger (the import
    // database) into this year as opening balances; posts only what differs
    // from the opening balances already there, all in one transaction.
    // `bericht` (may be null) receives the HTML report; `buchen` false only
    // computes and reports and changes nothing. `anzahl` (may be null)
    // receives the number of bookings posted, or to be posted. Returns a
    // Jahr::Saldovortrag result (0 done).
    int erzeugeSaldovortraege(QString* bericht, bool buchen, int* anzahl = nullptr);
    // One report row: number, name, amount with cents.
    static QString addSaldovortragText(unsigned long konto, const EuroType& betrag);
    // --- previous-year transfer (jahr/uebernahme.cpp) -------------------------
    // Copy the registers that continue from the previous year's nodes into
    // this root (see jahr/jahr.h for what is carried). Null does nothing.
    void uebernehmeAnlagevermoegen(Anl006_* vorjahr);
    void uebernehmeUmlaufvermoegen(Uml006_* vorjahr);
    void uebernehmeInvestitionsabzugsbetrag(Iab006_* vorjahr);
    void uebernehmeKfzKosten(Buch012_* vorjahr);
    void uebernehmeBegleitschreiben(Ad0040_* vorjahr);

    // --- after loading (laden.cpp) ------------------------------------------
    // Load flags: the file is the previous year's case at a change of year;
    // do not refresh the database afterwards.
    static constexpr unsigned long kLadeVorjahr = 0x01;
    static constexpr unsigned long kLadeOhneDB = 0x40;
    // Entry point after a case was read; 0 on success.
    unsigned long UpdateAfterLoading(unsigned long flags);
    unsigned long UpdateAfterLoadingSteuerjahr(unsigned long flags);
    unsigned long UpdateAfterLoadingVorjahr(unsigned long flags);
    // Deletes the year-specific analysis and report-setting nodes.
    void LoescheKnotenVorjahr();
    // Refreshes categories and chart from the reference database when the
    // manager asks for it (DoUpdateDB) and the year is open. Template accounts
    // the case lacks are added; differences on accounts the user has not
    // changed are written; those on changed accounts (Geaendert) are offered
    // to the user once (when `nachfragen`), with `text` replacing the
    // standard explanation when given. Returns 0.
    static unsigned long UpdateDBAfterLoading(unsigned long ersterLauf, const QString& text, bool nachfragen);
    // Migration of records older than data version 57086: the tax-office
    // data of the host's address nodes "Ad0030_[0]"/"Ad0030_[1]" move into
    // Ad0031_ children.
    void ioUpdate(unsigned long datenversion);

    // Creates the critical-terms child when missing and adds the terms of the
    // program's reference database (KritischeBegriffe) to it. Returns the
    // number of terms added; nothing happens without a reference database.
    int fillBlackList();

    // The take-over identifier and file travel in the case file as one text,
    // joined by "//////"; two empty values are stored as an empty text.
    static QString joinDatenuebernahme(const QString& uid, const QString& file);
    // Splits at the first separator; without one the whole text is the UID.
    static void splitDatenuebernahme(const QString& text, QString* uid, QString* file);

    // Base values, every child slot (as a shallow pointer copy: the copy
    // points at the same children but does not own them) and the amounts.
    Kont_& operator=(const Kont_& other);
    // Same children in the compared slots; the amounts do not count.
    bool operator==(const Kont_& other) const;
    bool IstGleich(const DatenBase* other) const;
    static void copy(const DatenBase* src, DatenBase* dst);

    EuroType eur_Betriebseinnahmen;
    EuroType eur_Betriebsausgaben;
    EuroType eur_GewinnVerlust;

    struct SlotVariable {
        const char* name;      // variable name
        quint16 nummer;        // variable number
        int index;             // 1-based element of an array slot, 0 for a scalar slot
        const char* klasse;    // class of the child
        DatenBase** slot;      // the member cell
    };
    // The child slots in declaration order.
    QVector<SlotVariable> slotVariablen();

    quint32 ana002Anzahl() const { return m_Ana002Anzahl; }
    quint32 ausw002Anzahl() const { return m_Ausw002Anzahl; }

private:
    template <class T>
    T* accessor(DatenBase*& slot, int mode);

    DatenBase* m_Stamm001[2];
    DatenBase* m_Ad0031[2];
    DatenBase* m_Ad0040[2];
    DatenBase* m_Anl006[2];
    DatenBase* m_Uml006[2];
    DatenBase* m_Iab006[2];
    DatenBase* m_Buch012[2];
    DatenBase* m_Ana002[4];
    quint32 m_Ana002Anzahl;
    DatenBase* m_Ana001;
    DatenBase* m_Ausw002[9];
    quint32 m_Ausw002Anzahl;
    DatenBase* m_Stamm005;
    DatenBase* m_Stamm007;
    DatenBase* m_Reb001;
    DatenBase* m_Reb002;
    DatenBase* m_Reb009;
    DatenBase* m_Stamm002;
    DatenBase* m_Reb011;
    DatenBase* m_Reb013;
    DatenBase* m_Reb015;
    DatenBase* m_Reb017;
    DatenBase* m_Reba001;
    DatenBase* m_Reba002;
    DatenBase* m_Reba003;
    DatenBase* m_Buch010[3];
    DatenBase* m_Ausw005;
    DatenBase* m_Ausw006;
    DatenBase* m_Ausw007;
    DatenBase* m_Bank001;
    DatenBase* m_Bank002;
    DatenBase* m_Eur0001;
};

class RS_Archive;

// The case-file record of the bookkeeping root, kept apart from the node so
// the node header stays free of archive details.
namespace KontRecord {
// Data version of the record this program writes.
constexpr quint32 kDatenversion = 61001;
// Writes the manager's settings, the 36 invoicing templates of the working
// directory and the node's variables (child nodes and the amounts,
// Varlist::ioDataVar). With `mitDatenbank` the case database is embedded
// too (compacted first), as the case files of the first container did; the
// current case file is the database itself and stores the record in it, so
// it writes the database field empty.
bool write(Kont_& node, RS_Archive& ar, bool mitDatenbank = true);
// Reads a record completely before anything is applied: a damaged record
// changes nothing. With `mitDatenbank` the previous working database is then
// moved to a "bak" backup, the embedded one takes its place and is opened;
// when that fails the backup is moved back. Without, the manager's open
// connection is the case's database and stays as it is. Returns false with
// a German message.
bool read(Kont_& node, RS_Archive& ar, QString* error, bool mitDatenbank = true);
// The invoicing template files in record order (kind 0..5, two passes each).
QStringList vorlagenDateien();
// The manager's settings a record carries besides the tree.
struct Einstellungen {
    QString eurUid, dueUid, dueFile, kontenplan;
    int steuerjahr = 0;
    int kassenkonto = 0;
    bool ustPflicht = true;
    bool jahresabschluss = false;
};
// Reads the record of another case (the previous year's, at a change of
// year) into `node`, a root that belongs to no open case, and its settings
// into `e`; the open case and its manager are not touched. With
// `datenbankZiel` the database embedded in a record of the first container
// is written there. False with a German message.
bool lesenFremd(Kont_& node, RS_Archive& ar, Einstellungen* e, const QString& datenbankZiel, QString* error);
}  // namespace KontRecord
