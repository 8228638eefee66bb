// Subsystem "rahmen": the frame every other folder stands on. The manager
// of a case slot (KontoGlobal) and the case database (opening, conversion
// of older files, clean-up, case properties, import database).
//
// Relies on: the host layer only (host/db, host/values, host/app,
// host/tree); it includes no other folder of the module, and every other
// folder includes this header. KontoGlobal stays one class; the folders of
// the subsystems hold the definitions of its operations (a call through
// one of its members needs no header of the folder that defines it). What
// a subsystem keeps per manager it hands in to be freed (beimFreigeben),
// and the database layer is told here where the active case's connection
// is (rsFallDB).
//
// KontoGlobal: the manager of one tax-case slot. It holds the case settings
// the ledger needs (tax year, VAT liability, cash account, year-end state,
// chart name, transfer identifiers), owns the case's database connection
// (opened lazily) and caches report parameters. Almost every ledger
// operation is a static member taking a DBConnection (null: the active case).
//
// The object is plain and copyable member by member; a copy shares the
// connection pointer (only the original's destroyConnectionKonto closes it).
#pragma once

#include "host/values/euro.h"
#include "host/values/period.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class DBConnection;
class DatenBase;
struct KBBuchung;
struct rsRebuErinnerung;
struct rsEurRegelBuch;

using rsStringList = QStringList;

// One value handed to the tax forms: node path, variable name, value text.
struct rsExportVar {
    QString datenpfad;
    QString variable;
    QString wert;
};

class KontoGlobal {
public:
    // The tax year this program is made for: its forms, limits and rates.
    static constexpr int kProgrammjahr = 2016;

    explicit KontoGlobal(int slot);
    KontoGlobal(const KontoGlobal&) = default;
    KontoGlobal& operator=(const KontoGlobal&) = default;
    ~KontoGlobal();

    // --- accessors --------------------------------------------------------
    int getSteuerjahr() const { return m_Steuerjahr; }
    bool getUstPflicht() const { return m_UstPflicht; }
    int getKassenkonto() const { return m_Kassenkonto; }
    int getJahresabschluss() const;  // 2 = file of an earlier year, 1 = closed, 0 = open
    // The stored closed-year flag itself (getJahresabschluss reports 2 for
    // any earlier year, whatever the flag says).
    bool istJahrAbgeschlossen() const { return m_Jahresabschluss != 0; }
    QString getKontenplanName() const { return m_Kontenplan; }
    QString getEurUID() const { return m_EurUID; }
    QString getDatenuebernahmeUID() const { return m_DatenuebernahmeUID; }
    QString getDatenuebernahmeFile() const { return m_DatenuebernahmeFile; }
    QString Getmdb_name() const { return m_mdb_name; }
    void Setmdb_name(const QString& n) { m_mdb_name = n; }
    QString GetKontoTempDir() const { return m_KontoTempDir; }
    bool getDoUpdateDB() const { return m_DoUpdateDB; }
    int GetDueMitJahreswechsel() const { return m_DueMitJahreswechsel; }
    rsPeriod getZeitraum() const { return m_Zeitraum; }
    int GetFormular() const { return m_Formular; }
    int GetFormularAnzahl() const { return m_FormularAnzahl; }
    bool GetEinzelkontenNachweis() const { return m_EinzelkontenNachweis; }
    bool GetNeueSeite() const { return m_NeueSeite; }
    bool wordExists() const { return m_wordExists; }
    bool isConnected() const { return m_con != nullptr; }
    // The open database is the durable case file itself, not a working copy.
    bool isDatenbankFalldatei() const { return m_DatenbankIstFalldatei; }
    DBConnection* GetDBConnect_Ptr() const { return m_con; }
    int getSlot() const { return m_slot; }

    // --- persisted settings (also written to Falleigenschaften) -------------
    void setSteuerjahr(int y);
    void setUstPflicht(bool b);
    void setJahresabschluss(int v);
    void setKontenplanName(const QString& name);
    void setEurUID(const QString& uid);
    void setDatenuebernahmeUID(const QString& uid);
    // --- field-only settings ------------------------------------------------
    void setKassenkonto(int konto) { m_Kassenkonto = konto; }
    void setDatenuebernahmeFile(const QString& f) { m_DatenuebernahmeFile = f; }
    void setDoUpdateDB(bool b) { m_DoUpdateDB = b; }
    void SetDueMitJahreswechsel(int v) { m_DueMitJahreswechsel = v; }

    int toggleJahresabschluss();
    // For the active case when `kg` is null.
    static QString getJahresabschlussgrund(int lang, const KontoGlobal* kg);
    QString getJahresabschlussgrund(int lang) const { return getJahresabschlussgrund(lang, this); }

    // --- connection -------------------------------------------------------
    DBConnection* GetDBConnectKonto_Ptr();
    void SetDBConnectKonto_Ptr(DBConnection* con);
    static bool useSQLiteStatement() { return true; }
    // Opens the case database of the slot: the working database at
    // getDatenbankName(), with `neu` first made from the empty template.
    void createConnectionKonto(bool neu);
    // Opens the case file at `pfad` itself as the case database (slot 0
    // only, not in an import run): in place and durable, read-only with
    // `nurLesen`, waiting up to `warteMs` for a lock another process holds;
    // never rebuilt, converted, cleaned up or removed here (the caller has
    // made sure it needs none of that). While it is open, getDatenbankName()
    // and the host's slot 5 (GetDB_Dir/GetDB_Name) name it. An open
    // connection is closed first. False when it could not be opened.
    bool oeffneFalldatei(const QString& pfad, bool nurLesen, int warteMs);
    void destroyConnectionKonto();
    int DBKontoConvert();
    static QString getDBDir(int slot);
    bool existsColumnInTable(const QString& table, const QString& column);
    static unsigned long getMaxKey(DBConnection* con, const QString& sql);

    // The case database path of this slot: the case file while it is open
    // in place, else the host's dir + name of slot 5 (Data model, SQLite
    // extension).
    QString getDatenbankName() const;
    QString getImportDatenbankName() const;
    QString getImportDatenbankNameProg() const { return getImportDatenbankName(); }
    QString getImportDatenbankNameFall() const { return getImportDatenbankName(); }
    bool existsImportDB() const;
    bool deleteImportDB() const;
    // Opens the database embedded in another case's working file as import
    // database: copies `caseDb` (a database file) to the import file name and
    // marks the host as importing with `kind`. False when the file is missing.
    bool openImportDB(const QString& caseDb, int kind, bool unused = false);
    // SQL that makes the import database addressable as "imp": the statement
    // ATTACH DATABASE '<import file>' AS imp (the SQLite form of the import clause).
    QString inImportDB() const;
    static QString dbPassword();  // unscrambled with rot13 right before use

    // --- case properties -------------------------------------------------
    static void setFalleigenschaft(const QString& feld, const QString& wert, DBConnection* con = nullptr);
    static QString getFalleigenschaft(const QString& feld, DBConnection* con = nullptr);
    // Every case property as (field, value), by field.
    static QList<QPair<QString, QString>> getFalleigenschaften(DBConnection* con = nullptr);
    // The number of tables of the case database.
    static int getAnzahlTabellen(DBConnection* con = nullptr);

    // --- export variables --------------------------------------------------
    static bool clearExportierteDaten(DBConnection* con);
    static bool writeExportVarsToDB(const QList<rsExportVar>& vars, DBConnection* con);
    // Rows with a non-empty Datenpfad, ordered by it.
    static QList<rsExportVar> readExportVarRows(DBConnection* con);
    // Sets every variable of those rows in the data tree (the node of the
    // path is created when missing); returns how many were set.
    static int readExportVars(DBConnection* con);
    // Appends the value variables of the node at `path` (nothing when it
    // does not exist).
    static void addExportVarsFromDatenBase(QList<rsExportVar>& vars, const QString& path);

    // --- report-parameter cache ------------------------------------------
    // Resolves a report node path ("Kont_[M]\Ausw002_(3)") to the node's
    // settings by variable name; false when the node does not exist. Without
    // an installed resolver the case's data tree is asked (DatenBase::GetDB).
    using ReportNodeResolver = std::function<bool(const QString& path, QVariantMap& values)>;
    static void setReportNodeResolver(ReportNodeResolver r);

    void SetFormular(int code);
    void ResetFormular(int code);
    void setDefaultFormularData() { ClearFormularData(); }
    void ClearFormularData();
    int GetFormularData(int& p1, int& p2, int& p3, int code);
    int GetAnalyseFormularData(bool& f1, bool& f2, rsPeriod& zeitraum, bool& f3, unsigned& von, unsigned& bis,
                               EuroType& betrag, QString& text, int formular);
    int GetAktiveKonten(bool& aktiv, int& modus, int& von, int& bis);
    // The filing period of the advance return: 1..12 a month, 41..44 a
    // quarter, 19 the year. The form parameters are (kind, quarter, month).
    int GetAnmeldeZeitraum() const;
    void GetRebKundenlisteDaten(bool (&flags)[7], QString& text, rsStringList& liste) const;
    void GetRebArtikellisteDaten(bool (&flags)[8], QString& text, rsStringList& liste) const;
    void GetRebFakturierungslisteDaten(rsStringList& liste, int& a, int& b, int& c, zDate& von, zDate& bis,
                                       bool& flag) const;
    // Test access to the three form parameters: period kind (1 month,
    // 2 quarter, 3 year), quarter index 0..3, month index 0..11.
    void setFormularParameter(int p1, int p2, int p3) { m_param[0] = p1; m_param[1] = p2; m_param[2] = p3; }

    // --- special accounts --------------------------------------------------
    unsigned long getSpezialKonto(unsigned long skr03);
    bool isSpezialKonto(unsigned long konto);
    void clearSpezialKonto() { m_Spezialkonten.clear(); }
    void fillSpezialKontoMap(int unused = 0);
    // SQL condition that a Kontenrahmen row is valid for the tax year.
    static QString gueltigkeitsBedingung(int steuerjahr, const QString& alias = QStringLiteral("k1"));

    // --- chart of accounts (kontenplan.cpp) ----------------------------------
    // The five chart frameworks the module knows.
    static QStringList kontenrahmenNamen();
    // The tax years a case can be made for: from the first year the
    // reference charts are valid for up to the program's year (2016); the
    // forms are those of 2016. False (and nothing set) without reference
    // database.
    static bool unterstuetzteSteuerjahre(int* von, int* bis);
    // Column of the reference chart that carries a framework's numbers
    // (upper case; EKR03 uses SKR03). Empty for a name that cannot be a
    // framework column, so that it never reaches SQL text.
    static QString rahmenSpalte(const QString& kontenrahmen);
    // Generates the chart for the tax year `jahr` (decimal text) from the
    // reference database, or takes it over from the case database `quelle`.
    // Returns 0 on success, 1 without a case connection or reference
    // database, 2 for an unknown framework, 3 when the chart could not be
    // written (nothing is kept then).
    int selectKontenplan(const QString& jahr, const QString& kontenrahmen, const QString& quelle = QString(),
                         bool unbenutzt = false, int beispiele = 1);
    // The SELECT of the template accounts of a framework for a tax year (the
    // columns of eurKontenplan in generation order, EKR03 names applied).
    static QString vorlagenKontenSelect(const QString& kontenrahmen, int jahr, bool ustPflicht);
    // Adds the template accounts of the case's framework and year that its
    // chart lacks (as the template has them, active or not); the accounts
    // it has stay as the user set them. The number added, -1 on failure.
    long ergaenzeKontenAusVorlage();
    // Replaces eurKategorien with the template categories of the case's
    // framework; false (and nothing changed) on failure.
    bool kopiereKategorien(int jahr);
    // Empties and refills the template-derived tables; false when one failed.
    bool copyTablesFromDBKontenplaene(const QString& jahr, const QString& kontenrahmen);
    // Takes eurKontenplan over from the case database `datei` and refreshes
    // it against the template (Kont_::UpdateDBAfterLoading).
    bool uebernehmeKontenplan(const QString& datei);
    // Copies the chart tables from the database file `datei` into `ziel`;
    // 1 when there is nothing to do (no target, no file), else 0.
    static int copyKontenplan(const QString& datei, DBConnection* ziel);

    static unsigned long getKategorie(unsigned long nr);
    static QString getKategorieBezeichnung(unsigned long kategorie);
    // art 3: the short name, otherwise the name; null `db`: the case's.
    static QString getKontobezeichnung(unsigned long nr, int art = 0, DBConnection* db = nullptr);
    static bool existsKonto(unsigned long nr, bool nurAktive = false, bool* aktiv = nullptr);
    static bool isKontoAktiv(unsigned long nr);
    // Comma-separated account numbers of the listed categories (an SQL list)
    // or of the inclusive category range; empty when none.
    static QString getKontenOfKategorien(const QString& kategorien);
    static QString getKontenOfKategorien(unsigned long von, unsigned long bis);
    // SQL conditions for the money side and the counter side of a booking kind.
    static void calcKontoWhere(DBConnection* db, int buchungsart, QString& whereGeld, QString& whereGegen);
    static QString keinEBKonto(DBConnection* db = nullptr);
    // Items "aktiv;nummer;kategorie;kurzname;tooltip" for the account lists.
    void fillAccounts(QStringList* liste, const QString& von = QString(), const QString& bis = QString(),
                      int unbenutzt = 0, bool nurAktive = true);
    // Items "von-bis;Bezeichnung" of the classes that hold accounts.
    void fillAccountClasses(QStringList* liste, int unbenutzt = 0, bool unbenutzt2 = false);
    // feld "Bezeichnung"/"Kurzbezeichnung", art "whole"/"part"/"start"; with
    // `weiter` the next hit of the previous search. nr is 0 when none.
    void searchForAccount(unsigned long& nr, const QString& text, const QString& feld, const QString& art,
                          bool weiter);
    static void aktiviereAlleBenutztenKonten();
    // Lists bookings and templates whose keys differ from the fixed keys of
    // their accounts; returns the number found (and tells the user).
    int checkSteuerautokonten(int nurVorlagen = 0);
    bool GetAktiveKonten() const { return true; }

    // Chart-editor rules. Each returns the refusal text, empty when allowed.
    static QString pruefeKontonummer(unsigned long nr, bool neu);
    static QString pruefeKontoSteuerschluessel(unsigned long kategorie, unsigned long schluessel);
    // The warning for a number outside the class ranges of its category.
    static QString pruefeKontoKlasse(unsigned long nr, unsigned long kategorie);
    static QString pruefeKontoLoeschen(unsigned long nr);
    static QString pruefeKontoDeaktivieren(unsigned long nr);
    static bool kannBankverbindungAnlegen();
    // Whether any booking, template, bank connection, asset or key uses the account.
    static bool kontoInVerwendung(unsigned long nr);
    // Bulk (de)activation of the chart editor.
    static bool setKontenAktiv(const QList<unsigned long>& nummern, bool aktiv);

    // --- start-page parser function (konten/getkont.cpp, konten/startseite.h) ---
    // Answers $GETKONT(argumente): a plain value, or with `formatiert` the
    // text or HTML fragment the start page shows. status: 0 refused (the
    // result is empty, the German message goes to the assertion log and to
    // `fehler` when given), 1 a plain value, 2 any other answer, 3 the
    // cash-closing date unformatted. Account and category lists are read as
    // numbers and ranges "a..b"; anything else is refused.
    void kontParser(const QString& argumente, bool formatiert, QString& ergebnis, int& status,
                    QString* fehler = nullptr);
    // The amount of a plain answer (GEWINN, EINNAHMEN, AUSGABEN, SALDO) as
    // a number, of any size; false with the message for any other answer.
    bool kontParserBetrag(const QString& argumente, EuroType* betrag, QString* fehler = nullptr);

    // --- bookings (buchung.cpp) ------------------------------------------------
    enum EurBuchungsherkunft {
        HERK_UNBEKANNT = 0, HERK_ALT = 1, HERK_BUCH = 10, HERK_BSP = 11, HERK_KASSE = 12, HERK_UMSATZ = 13,
        HERK_ANL_NEU = 20, HERK_ANL_ZUG = 21, HERK_ANL_ABG = 22, HERK_ANL_ERL = 23, HERK_ANL_AFA = 24,
        HERK_ANL_SAFA = 25, HERK_ANL_AAFA = 26, HERK_ANL_KRZ = 27, HERK_ANL_SAL = 28, HERK_IAB_HIN = 30,
        HERK_IAB_ABZ = 31, HERK_UML_NEU = 40, HERK_UML_ZUG = 41, HERK_UML_ABG = 42, HERK_UML_VERK = 43,
        HERK_RECH = 50, HERK_RECH_VORL = 55, HERK_RECH_ASSI = 56, HERK_PA_ANT = 60, HERK_PA_ENTF = 61,
        HERK_SALDO = 70, HERK_SALDOASSI = 71, HERK_IMPORT = 80, HERK_SAVEDBSP = 90, HERK_REGEL = 100,
        HERK_KASSEAB = 110
    };
    // The values of a booking the dialogs and reports read back.
    struct SimpleBuchung {
        unsigned long buchungsnummer = 0;
        zDate belegdatum;
        QString buchungstext;
        QString zusatzinfo;
        unsigned long konto = 0;        // dialog line 1
        unsigned long gegenkonto = 0;   // dialog line 2
        unsigned long steuerschluessel = 0;
        EuroType betrag;          // amount of dialog line 1
        EuroType betragGegen;     // amount of dialog line 2
        EuroType steuer;
        bool haben = false;             // side of dialog line 1
        bool splitt = false;
        unsigned long steuerID1 = 0, steuerID2 = 0;
        long long zeile1 = 0, zeile2 = 0;  // line keys (ID)
    };
    static bool insertBuchung(unsigned long herkunft, const QString& table, DBConnection* con, unsigned long buchungsnummer,
                              const QString& buchungstext, unsigned long stapel, EuroType betrag, bool netto,
                              const zDate& belegdatum, const zDate& zahlungsdatum, const QString& belegnummer,
                              int buchungsart, const QString& zusatzinfo, int storno, int storniert, unsigned long periode,
                              const zDate& buchungsdatum, const QString& intervall, const QString& ustid, int zmart,
                              bool dreieck = false);
    static bool insertBuchungszeile(const QString& table, DBConnection* con, unsigned long buchungsnummer,
                                    unsigned long steuerID, int dialogzeile, EuroType betrag, bool haben,
                                    unsigned long konto, unsigned long steuerschluessel, unsigned long gegenkonto,
                                    const QString& buchungstext, int splitt = 0, const QString& fremdbelegnummer = QString(),
                                    const QString& kostenstelle = QString(), EuroType splittBetrag = EuroType(),
                                    bool splittNetto = false, const QString& oposNummer = QString(),
                                    bool aufteilungViaProzent = false, double aufteilungProzentsatz = 0.0,
                                    bool restBeiProzent = false);
    static bool insertBuchungszeileMitSteuerzeilen(const QString& table, DBConnection* con, unsigned long buchungsnummer,
                                                   unsigned long steuerID, int dialogzeile, EuroType betrag, bool netto,
                                                   bool haben, unsigned long konto, unsigned long steuerschluessel,
                                                   unsigned long gegenkonto, const QString& buchungstext, int splitt = 0,
                                                   const QString& fremdbelegnummer = QString(),
                                                   const QString& kostenstelle = QString(), EuroType splittBetrag = EuroType(),
                                                   bool splittNetto = false, const QString& oposNummer = QString(),
                                                   bool aufteilungViaProzent = false, double aufteilungProzentsatz = 0.0,
                                                   bool restBeiProzent = false);
    // Posts a booking of one account line and one counter line (with its tax
    // lines) in one transaction; returns its number, 0 when nothing was posted.
    static unsigned long insertSimpleBuchung(unsigned long herkunft, const QString& table, const QString& text, EuroType betrag,
                                             bool netto, const zDate& datum, const QString& belegnummer, int buchungsart,
                                             bool haben, unsigned long konto, unsigned long gegenkonto,
                                             unsigned long steuerschluessel, const QString& zusatzinfo,
                                             DBConnection* con = nullptr, unsigned long buchungsnummer = 0);
    // One part of the split side of a booking.
    struct BuchungsTeil {
        unsigned long konto = 0;
        unsigned long steuerschluessel = 0;
        EuroType betrag;  // as entered, positive
        bool netto = false;     // the amount is net (the tax comes on top)
        QString text;           // line text; the booking text when empty
    };
    // A booking whose counter side (dialog line 2) may be divided over several
    // accounts; with one part it is a plain booking like insertSimpleBuchung.
    struct BuchungsEntwurf {
        unsigned long herkunft = HERK_BUCH;
        QString table = QStringLiteral("eurVerbucht");
        QString text;
        zDate belegdatum;
        zDate zahlungsdatum;  // the voucher date when invalid
        QString belegnummer;
        int buchungsart = 3;
        QString zusatzinfo;
        QString ustid;
        int zmart = 0;
        bool dreieck = false;
        bool haben = false;       // side of the money line (dialog line 1)
        unsigned long konto = 0;  // account of dialog line 1
        QList<BuchungsTeil> teile;
        unsigned long buchungsnummer = 0;  // 0: the next free number
        // The caller vouches that `buchungsnummer` is free: it numbers a run
        // of postings itself inside one transaction (the import).
        bool nummerIstFrei = false;
        zDate buchungsdatum;               // entry day; today when invalid
    };
    struct SchluesselSpeicher;
    // Posts the booking in one transaction: header, the money line with the
    // sum of all parts (gross) and every part with its tax lines. The booking
    // balances by construction. Returns its number, 0 (and a German reason in
    // `fehler`) when nothing was posted.
    // With `speicher` the rows of the tax keys are read once for a whole run
    // of postings (valid while the keys cannot change: inside one transaction).
    static unsigned long insertSplittBuchung(const BuchungsEntwurf& b, DBConnection* con = nullptr, QString* fehler = nullptr,
                                             SchluesselSpeicher* speicher = nullptr);
    // A booking a person entered: when its voucher date lies in the locked
    // period, the user is asked first (it changes a return probably filed
    // already); then it is posted. Its number, 0 with the refusal in `fehler`.
    static unsigned long bucheEingabe(const BuchungsEntwurf& b, DBConnection* con, QString* fehler);
    static unsigned long getNewBuchungsnummer(const QString& table, DBConnection* con = nullptr);
    static SimpleBuchung getBuchung(unsigned long buchungsnummer, const QString& table = QStringLiteral("eurVerbucht"));
    static QString getBuchungsCols();
    static QString getBuchungsColsZeilen();
    static QString herkunftToString(unsigned long herkunft);
    static QString getBuchungsartText(int art, int kurz = 0);
    static bool zusatzinfoIsRechnungsnummer(const QString& zusatzinfo);
    static bool splitRefNumber(const QString& ref, QString& prefix, int& nullen, unsigned long& nummer, QString& suffix);
    static QString incRefNumber(const QString& prefix, int nullen, unsigned long nummer, const QString& suffix);
    static QString incRefNumber(const QString& ref);

    // --- cancelling and deleting (storno.cpp) ----------------------------------
    // Cancels ledger booking n by a mirror booking; returns its number, 0 when
    // n does not exist, is already cancelled or is itself a cancellation.
    static unsigned long storniereBuchung(unsigned long n);
    static bool storniereBuchungen(const QString& liste);
    // Whether ledger booking n may be cancelled or deleted: the German
    // refusal when it does not exist, is cancelled already, is itself a
    // cancellation or touches a closed register; empty when it may.
    static QString pruefeStornoOderLoeschen(unsigned long n);
    // Cancelling as a user asks for it: every booking checked first, the
    // lock question when a cancellation would fall into the locked period,
    // then all of them as one run of postings. The numbers of the
    // cancellations in the order given; empty (nothing changed) with the
    // refusal in `fehler`.
    static QList<unsigned long> storniereBuchungen(const QList<unsigned long>& nummern, QString* fehler);
    // Deleting as a user asks for it: every booking checked first; a locked
    // booking is never deleted but cancelled after the user agreed; all as
    // one run. The numbers of the cancellations made in `stornos`; false
    // (nothing changed) with the refusal in `fehler`.
    static bool loescheBuchungen(const QList<unsigned long>& nummern, QList<unsigned long>* stornos, QString* fehler);
    static bool deleteBuchung(unsigned long n, const QString& table);
    static bool deleteBuchungen(const QString& liste, const QString& table);
    static void ermittleBuchungsnummernFuersLoeschenOderStornieren(const QString& liste, QString& loeschen,
                                                                   QString& stornieren);
    // Removes (or, when locked, cancels) the live bookings and the templates
    // linked to `info`; returns how many bookings were handled.
    static int deleteBuchungWithInfo(const QString& info);
    // vergleich "LIKE" matches `info` as a pattern, anything else exactly.
    static unsigned long existsBuchungWithInfo(const QString& info, QString& text, const QString& vergleich = QString(),
                                               zDate* datum = nullptr);
    // Whether any booking, template, key, cash register or bank connection
    // uses the account; `mitSteuer` includes the tax keys.
    static bool existsBuchung(unsigned long konto, DBConnection* con = nullptr, bool mitSteuer = true);
    static unsigned long countBuchungen(unsigned long konto, int unbenutzt, const zDate& von, const zDate& bis);
    // Debit positive, credit negative; nachZahlungsdatum selects the date column.
    static EuroType getSummeKonto(unsigned long konto, int nachZahlungsdatum, const zDate& von, const zDate& bis);

    // --- self-check (pruefung.cpp) -------------------------------------------------
    // The consistency check of bookings. Runs only with test flag 4 (or
    // `immer`); every finding goes to the assertion log and is returned.
    static QStringList verifyBuchung(unsigned long n, const QString& table, bool immer = false);
    static QStringList verifyBuchungen(const QString& table, const QString& liste = QString(), bool immer = false);
    // Stored amounts that are no money: more than two decimals or beyond
    // EuroType::kHoechstbetrag, in the headers and lines of `table`. One
    // German finding per amount, by booking number.
    static QStringList pruefeGeldbetraege(const QString& table);

    // --- locking (festschreibung.cpp) ------------------------------------------
    enum FestgeschriebenFrageKontext { FFK_Aendern = 0, FFK_Buchen = 1, FFK_Uebernahme = 2 };
    enum FestgeschriebenFrageTyp { FFT_Storno = 0, FFT_NeueFestgeschrieben = 1 };
    static zDate getFestgeschriebenBis();
    // Moves the lock date forward and saves the case file at once (through
    // the hook the host installs); false when the row could not be written.
    static bool setFestgeschriebenBis(const zDate& bisZum);
    static bool isFestgeschrieben(unsigned long n);
    static bool isInFestschreibungsZeitraum(const zDate& datum);
    static int GetAnzBuchungenFestgeschrieben();
    static QString getFestgeschriebenFragetext(int kontext, int typ, const QString& a = QString(), const QString& b = QString());
    static bool festgeschriebenFrage(const QString& titel, int kontext, int typ, const QString& a = QString(),
                                     const QString& b = QString());
    QString getFestschreibungMsgTextUStVaHinweis(int format) const;

    // --- recurring bookings (regelmaessig.cpp, details in buchungen/buchungen.h)
    // The occurrences of the recurring templates due up to today (jahr 0:
    // the tax year; another year than the case's gives none); their number.
    static int fillRegelmaessigeBuchungen(QList<rsEurRegelBuch>& liste, int jahr = 0);
    // Posts the entries in one transaction (after the question when some
    // fall into the locked period); the number posted, 0 when nothing was
    // (the user was told why).
    static int doRegelmaessigeBuchungen(const QList<rsEurRegelBuch>& liste);
    // The whole interaction: art 0 recurring bookings and reminders, 1
    // reminders only, 2 recurring bookings only; `meldung` not 0 tells the
    // user when nothing is due.
    static int regelmaessigBuchen(int art, int meldung);
    // The host saves the case file through this hook (set by the program).
    using SichernHook = std::function<bool()>;
    static void setSichernHook(SichernHook h);
    // One booking as an HTML table row: number, text, date, accounts, amount.
    static QString buchungToHtml(const QString& table, unsigned long n, const QString& klasse = QString(),
                                 const QString& unbenutzt = QString());
    // The locking wizard: the dates it offers, the overview of page 2, finishing.
    static void festschreibungsZeitraum(zDate& von, zDate& bis);
    static QString festschreibungsUebersicht(const zDate& von, const zDate& bis);
    static bool festschreibungAbschliessen(const zDate& bisZum);

    // --- form codes (ustva.cpp) -------------------------------------------------
    // Display text of a code value: plain code, range ("automatisch" or
    // "81 (Sachbereich 2) "), or form line ("Z. 12"), with ": text" appended.
    static QString getKennzifferBezeichnung(unsigned long code, const QString& text);
    static QString getKennzifferVariable(unsigned long kennziffer, unsigned long formular, bool& habenPositiv);

    // --- profit (gewinn.cpp) ----------------------------------------------------------
    // art 1 income, 2 expenses, 3 investment deduction (5903), 4 its
    // add-back (5904), else the profit. Null `db`: the case's connection.
    static EuroType getGewinn(DBConnection* db, bool mitStapel, int art);
    // The profit up to which the investment deduction is taken (the host's
    // EuroType(200000, 2)); also used by the investment-deduction dialogs.
    static constexpr EuroType kIabGewinngrenze = EuroType::ausCent(20000000);
    static int getAnlagenverzeichnisZeile(unsigned long konto, DBConnection* db = nullptr);

    // --- recapitulative statement (zm.cpp) ----------------------------------------
    struct UstIdZm {
        QString Laenderkennzeichen;
        QString UStIdNr;
        EuroType Betrag;
        int ZMArt = 0;
    };
    // Period code: negative the year, 0..3 quarter, 4..15 month (code - 3),
    // 26..29 the first two months of quarter 1..4.
    static QMap<QString, UstIdZm> getUStIdMap(const int& zeitraum);
    static QString getZusammenfassendeMeldungXml(const QMap<QString, UstIdZm>& zeilen, const int& zeitraum);
    static QString getZusammenfassendeMeldungCsv(const QMap<QString, UstIdZm>& zeilen);
    static QString quoteZusammenfassendeMeldungXml(const QString& text);
    // Whether the case may report the whole calendar year as one period
    // (§ 18a Abs. 9 UStG): empty when it may, else the German reason. The
    // user declares in the case property kZmJahresmeldung ("1") what the
    // ledger cannot know (released from advance returns, the previous
    // year's limits, no new vehicles); the ledger must then show the
    // current year within the limits (kZmJahresUmsatzGrenze,
    // kZmJahresEuGrenze).
    static QString zmJahresmeldungAbgelehnt();
    static const char* const kZmJahresmeldung;
    static constexpr EuroType kZmJahresUmsatzGrenze = EuroType::ausCent(20000000);
    static constexpr EuroType kZmJahresEuGrenze = EuroType::ausCent(1500000);
    // The schema namespace of the XML's root element (the online form
    // service's); the default is documented in zm.cpp.
    static QString zmNamespace();
    static void setZmNamespace(const QString& uri);

    // --- CSV import (import.cpp) ------------------------------------------------------
    // Reads bookings in the export format (header line required; an extra
    // column "Buchungsart" is optional) and posts them all in one
    // transaction. All or nothing: the first bad row ends the import with
    // its row number and reason in `fehler`, and nothing is posted. Returns
    // the number of bookings posted, -1 on refusal.
    static long importBuchungenAusCSV(const QString& csv, QString* fehler);

    // --- CSV export (export.cpp) ------------------------------------------------------
    static int getBuchungenAsCSV(QString& csv, bool mitKopf, const QString& table, const zDate& von, const zDate& bis);
    // Writes the export to `pfad` (asked from the Ui when empty); returns the
    // number of bookings written, -1 on failure (the user was told).
    static int exportBuchungenAsCSV(const QString& pfad = QString());

    // --- tax keys (steuerschluessel.cpp) ---------------------------------------
    struct ssDaten {
        EuroType netto;
        EuroType steuer;
        double steuersatz = 0.0;
        unsigned long steuerkonto = 0;
        unsigned long steuerkonto2 = 0;
        bool imHundert = false;
    };
    static ssDaten calcSteuerschluessel(DBConnection* db, unsigned long schluessel, EuroType betrag, bool netto,
                                        int stellen = 2);
    // The split of `betrag` by a key whose row (rate, tax accounts, im
    // Hundert) is in `zeile`: what calcSteuerschluessel computes after its
    // look-up.
    static ssDaten teileBetrag(const ssDaten& zeile, EuroType betrag, bool netto, int stellen = 2);
    // The key rows of a run of postings, each read once.
    struct SchluesselSpeicher {
        QHash<unsigned long, ssDaten> zeilen;
        int ustPflicht = -1;  // the case's VAT liability once read; -1 before
        // The entertainment rule once read (bewirtungsKonto -1 before) and
        // the EÜR line of each account a part named.
        long bewirtungsKonto = -1;
        double bewirtungsProzent = 100.0;
        QHash<unsigned long, unsigned long> eurZeilen;
        // The cash registers with a closing, read once per run (-1 before).
        int kassenGelesen = -1;
        QSet<unsigned long> abgeschlosseneKassen;
        // pruefeSteuerschluesselAktiv of each key a part named.
        QHash<unsigned long, QString> schluesselNein;
    };
    // Entertainment of business friends is deductible only in part (§ 4
    // Abs. 5 Satz 1 Nr. 2 EStG; the share is the case's limit "Bewirtung:
    // abziehbarer Anteil in Prozent"), while its input tax is deductible in
    // full. A part on an account of the EÜR line of deductible entertainment
    // is therefore posted as two: the deductible share of net and tax on
    // that account, the rest on the account of the line of non-deductible
    // entertainment (both with the part's key). A booking that already
    // names the non-deductible account is taken as divided by hand.
    static constexpr unsigned long kEurBewirtungAbziehbar = 175;
    static constexpr unsigned long kEurBewirtungNichtAbziehbar = 165;
    // Whether the case of `con` is liable to VAT: its property "UstPflicht";
    // liable when the property is missing, as a new case is.
    static bool istUstPflichtig(DBConnection* con = nullptr);
    // A small business (§ 19 UStG) neither charges output tax nor deducts
    // input tax. The only keys it may post are those by which the recipient
    // owes the tax (§ 13b UStG, intra-Community acquisition: two tax
    // accounts); it owes that tax without deducting it, so the posting keeps
    // the would-be input tax on the expense itself. The refusal of any other
    // key, `zeile` being the key's row as calcSteuerschluessel reads it;
    // empty when the key may be posted.
    static QString schluesselOhneUstPflicht(DBConnection* con, unsigned long schluessel, const ssDaten& zeile);
    // Bookings of the ledger (neither cancelled nor cancellations) that
    // charge or deduct VAT with a key a small business may not post: what
    // stands in the way of declaring the case not liable.
    static QList<unsigned long> buchungenMitUmsatzsteuer(DBConnection* con = nullptr);
    static EuroType calcBruttoNetto(bool liefereNetto, EuroType betrag, bool istNetto, double satz, bool ohneSteuer);
    // The one rule for keys that are not in use: the German refusal of a key
    // the case does not have or has not activated, naming the key and the
    // active keys of the same kind to choose from; empty for an active key,
    // for 0 and for the placeholder 999999. Every path that posts a key or
    // stores one for posting asks it: the posting itself
    // (insertSplittBuchung), the checks of an entered booking
    // (EingabePruefer) and the invoice and article positions.
    static QString pruefeSteuerschluesselAktiv(DBConnection* db, unsigned long schluessel);
    static double getSteuersatz(unsigned long schluessel);
    static QString getSteuerschluesselBezeichnung(unsigned long schluessel, bool kurz = false);
    // 0 allowed; 1 input tax on income, 2 output tax on expense, 3 key on an
    // account that is neither, 4 output tax on an asset account.
    static int isSteuerschluesselFuerKategorieOK(unsigned long kategorie, unsigned long schluessel,
                                                 DBConnection* db = nullptr);
    static int isSteuerschluesselOK(unsigned long konto, unsigned long schluessel, DBConnection* db = nullptr);
    // The chart editor's refusal text of an answer of the rule above.
    static QString steuerschluesselRegelText(int antwort);
    static unsigned long getSkontiKontoForSteuerschluessel(DBConnection* db, unsigned long schluessel);
    // The SQL condition on eurKontenplan.Nummer for the accounts of granted
    // cash discounts in the case's framework (SKR03 8730 to 8739).
    static QString skontoKontenBedingung(DBConnection* db = nullptr);
    struct SchluesselEintrag {
        unsigned long schluessel;
        QString text;
    };
    // The keys offered for a booking kind, in display order.
    static QList<SchluesselEintrag> fillSteuerschluessel(DBConnection* db, int buchungsart, bool unbenutzt = false);
    // The key a shortcut key of the key box selects for a booking kind; -1
    // when the key is no shortcut.
    static long steuerschluesselKurzwahl(QChar taste, int buchungsart);
    QStringList getAktiveSteuerschluessel() const;
    static void fillSetSteuerschluesselInVerwendung(QSet<unsigned long>& menge);
    static bool abgleichKontoplanSteuerschluesselAktiv();
    // Brings the VAT accounts of the chart in line with the VAT liability.
    // A case created without VAT liability has no VAT accounts at all; made
    // liable, it first receives them from the template, or its keys would
    // post onto accounts the chart lacks.
    bool activateUstPflicht();

    // --- cash book (kasse/, details in kasse/kasse.h) ---------------------------
    // The date of the account's latest closing; invalid for account 0 or
    // without a closing. Closings count per account.
    static zDate getKasseAbgeschlossenBis(unsigned long konto);
    static bool isKasseAbgeschlossen(unsigned long konto, const zDate& datum);
    // The one rule for closed cash periods: the refusal of a booking dated
    // `datum` whose lines touch `konten`, when one of them is a cash account
    // closed on or after that date; empty when the change is allowed.
    // `splitt` chooses the split booking's wording.
    static QString pruefeKasseAbgeschlossen(const QList<unsigned long>& konten, const zDate& datum, bool splitt = false,
                                            DBConnection* con = nullptr);
    // The same for an existing booking of the ledger (cancel, delete).
    static QString pruefeKasseAbgeschlossen(unsigned long buchungsnummer, DBConnection* con = nullptr);
    // The register identifier of an exported cash account (0: the current
    // one); empty when not exported.
    QString getKassenID(unsigned long konto) const;
    // The cash book of the current cash account for the report period.
    QList<KBBuchung> getKBBuchungen();
    static bool isExportierteKasse(unsigned long konto, DBConnection* con = nullptr);
    static zDate getLastKassenbuchExport(unsigned long konto);
    static int BuchungenInFZInKassenimportdatei(DBConnection* datei, unsigned long konto, const zDate& von, const zDate& bis);

    // --- invoicing (faktura/, details in faktura/faktura.h) ----------------------
    // The reminders of offers, order confirmations, delivery notes, invoices
    // and dunning letters due today or earlier; their number.
    static int fillErinnerungen(QList<rsRebuErinnerung>& liste);
    // Writes each entry's reminder date back to its document (an invalid
    // date clears it); the number of documents written.
    static int delErinnerungen(const QList<rsRebuErinnerung>& liste);
    // A payment booking of an invoice (Zusatzinfo = its number) is about to
    // disappear from the ledger: when no other live booking references the
    // invoice it is reopened (paid amount reduced, payment date cleared).
    // Called inside the transaction that removes the booking.
    static bool rechnungZahlungEntfernt(DBConnection* con, unsigned long buchungsnummer);

    // --- bank (bank/, details in bank/bank.h) -------------------------------------
    // The year check of the transactions: those dated outside `jahr` get
    // state 3 ("falsches Jahr"), those back inside it are open again.
    static bool chkUmsatzStatus(int jahr, DBConnection* con = nullptr);
    // A booking made from a bank transaction is about to disappear from the
    // ledger (deleted or cancelled): the transaction is open again. Called
    // inside the transaction that removes the booking.
    static bool umsatzBuchungEntfernt(DBConnection* con, unsigned long buchungsnummer);

    void updateYear();
    void Clear();
    // What a subsystem keeps for the managers and must give up when one
    // goes (the report caches): `freigeben` runs in every manager's
    // destructor. Subsystems add theirs while the library loads; adding one
    // twice keeps one.
    static void beimFreigeben(void (*freigeben)());

    static bool isFestschreibungMoeglich() { return true; }
    static bool isFestschreibungUStVAHinweisNoetig();

    // The conversion steps 0..42 of an existing database, old version `v`,
    // program year `pj`; called by createConnectionKonto (public for tests).
    void runConversionSteps(long v, int pj);

private:
    struct FalldateiZugriff {
        bool nurLesen;
        int warteMs;
    };
    // Opens the database at `pfad` (see createConnectionKonto); `direkt`:
    // it is the case file itself, opened as oeffneFalldatei says.
    void verbinde(const QString& pfad, bool neu, const FalldateiZugriff* direkt);

    int m_Formular = -1;
    int m_param[3] = {3, -1, -1};
    int m_FormularAnzahl = 1;
    int m_FormularErgebnis = 0;
    bool m_AktiveKonten = false;
    int m_AktiveKontenModus = 0;
    int m_vonKonto = 0;
    int m_bisKonto = 0;
    bool m_EinzelkontenNachweis = false;
    bool m_kundenFlags[7] = {true, false, true, false, false, false, false};
    QString m_kundenText;
    rsStringList m_kundenListe;
    bool m_artikelFlags[8] = {false, false, false, false, false, false, false, false};
    QString m_artikelText;
    rsStringList m_artikelListe;
    rsStringList m_fakturaListe;
    int m_fakturaInt[3] = {0, 0, 0};
    zDate m_fakturaVon, m_fakturaBis;
    bool m_fakturaFlag = false;
    int m_slot;
    bool m_AnalyseFlag = false;
    bool m_NeueSeite = false;
    rsPeriod m_Zeitraum;
    bool m_AnalyseFlag2 = false;
    bool m_AnalyseFlag3 = false;
    EuroType m_AnalyseBetrag;
    QString m_AnalyseText;
    QString m_mdb_name;
    DBConnection* m_con = nullptr;
    bool m_DatenbankIstFalldatei = false;
    QString m_KontoTempDir;
    int m_Steuerjahr = 2016;
    bool m_UstPflicht = true;
    int m_Kassenkonto = 0;
    int m_Jahresabschluss = 0;
    QString m_Kontenplan;
    int m_DueMitJahreswechsel = 0;
    bool m_DoUpdateDB = false;
    QMap<unsigned long, unsigned long> m_Spezialkonten;
    QString m_EurUID;
    QString m_DatenuebernahmeUID;
    QString m_DatenuebernahmeFile;
    bool m_wordExists = false;
    // Account search state: last text, its hits, last result.
    QString m_suchText;
    QList<unsigned long> m_suchTreffer;
    unsigned long m_suchErgebnis = 0;
};

// Looks up (slot -1: the active slot), creates or with `destroy` destroys the
// manager of a slot. Returns null after destroying and for invalid slots.
KontoGlobal* GetKontoGlobal(int slot, bool destroy = false);
void DALVO_ExportFunction();
