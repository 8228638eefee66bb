-- Invoicing: customers, articles with prices, and the document chain
-- offer -> order confirmation -> delivery note -> invoice / invoice
-- correction -> reminder, with the document positions.
--
-- A row with key 0 is a record being created; it receives its key when it is
-- saved. Posted invoices are linked to the ledger by their Nummer, which the
-- booking carries as Zusatzinfo; bezahlt (the payment date) stays empty while
-- the invoice is open.

-- Customers (Art 1) and prospects (any other Art). Kunde is the display name.
CREATE TABLE rePersonen (
    PersonID            INTEGER PRIMARY KEY,
    Kundennummer        TEXT,
    Anrede              TEXT,
    Vorname             TEXT,
    Name                TEXT,
    Firma               TEXT,
    Art                 INTEGER DEFAULT 0,
    Notiz               TEXT,
    Kunde               TEXT,
    IstInteressent      INTEGER DEFAULT 0,
    EnthaeltNotiz       INTEGER DEFAULT 0,
    Strasse             TEXT,
    Plz                 TEXT,
    Ort                 TEXT,
    Bundesland          TEXT,
    Land                TEXT,
    Strasse2            TEXT,
    Plz2                TEXT,
    Ort2                TEXT,
    Bundesland2         TEXT,
    Land2               TEXT,
    Anschrift2verwenden INTEGER DEFAULT 0,
    Ansprechpartner     TEXT,
    Tel1                TEXT,
    Tel2                TEXT,
    Tel3                TEXT,
    Fax                 TEXT,
    eMail               TEXT,
    Webseite            TEXT,
    UStID               TEXT,
    ZahlungsbedingungID INTEGER DEFAULT 0,
    Anschreiben         TEXT,
    SyncID              TEXT,
    ModDat              TEXT,
    ModZeit             TEXT,
    -- the buyer reference of an e-invoice (Leitweg-ID of a public buyer)
    Leitweg             TEXT
);
CREATE INDEX idx_rePersonen_Kundennummer ON rePersonen (Kundennummer);

-- Bank accounts of customers and the business's own bank details.
CREATE TABLE reBankverbindungen (
    BankverbindungID INTEGER PRIMARY KEY,
    PersonID         INTEGER DEFAULT 0,
    Kontoinhaber     TEXT,
    Kontonummer      TEXT,
    BLZ              TEXT,
    IBAN             TEXT,
    BIC              TEXT,
    Bank             TEXT
);

-- One running balance per person.
CREATE TABLE reKundensalden (
    KundensaldoID INTEGER PRIMARY KEY,
    PersonID      INTEGER DEFAULT 0,
    Saldo         REAL    DEFAULT 0
);

-- Articles. Normalpreis is net, Bruttonormalpreis gross; Brutto says the gross
-- price is the one entered, BruttoNettoGetrennt that both are stored.
-- Konto is the revenue account, Einheit a reEinheiten short name.
CREATE TABLE reArtikel (
    ArtikelID           INTEGER PRIMARY KEY,
    Artikelnummer       TEXT,
    Bezeichnung         TEXT,
    Kurzbezeichnung     TEXT,
    Beschreibung        TEXT,
    Notiz               TEXT,
    Art                 INTEGER DEFAULT 0,
    Einheit             TEXT,
    DefaultMenge        REAL    DEFAULT 0,
    WarengruppeID       INTEGER DEFAULT 0,
    Steuerschluessel    INTEGER DEFAULT 0,
    Konto               INTEGER DEFAULT 0,
    Normalpreis         REAL    DEFAULT 0,
    Bruttonormalpreis   REAL    DEFAULT 0,
    Brutto              INTEGER DEFAULT 0,
    BruttoNettoGetrennt INTEGER DEFAULT 0,
    Mindestpreis        REAL    DEFAULT 0,
    MindestpreisBrutto  REAL    DEFAULT 0,
    Bruttomindestpreis  REAL    DEFAULT 0,
    Gewicht             REAL    DEFAULT 0
);

-- Further prices of an article.
CREATE TABLE rePreise (
    PreisID             INTEGER PRIMARY KEY,
    ArtikelID           INTEGER DEFAULT 0,
    Bezeichnung         TEXT,
    Preis               REAL    DEFAULT 0,
    Bruttopreis         REAL    DEFAULT 0,
    Brutto              INTEGER DEFAULT 0,
    BruttoNettoGetrennt INTEGER DEFAULT 0,
    Steuerschluessel    INTEGER DEFAULT 0,
    Einheit             TEXT
);
CREATE INDEX idx_rePreise_ArtikelID ON rePreise (ArtikelID);

-- Discounts of an article (percent, from a quantity on).
CREATE TABLE reRabatt (
    RabattID    INTEGER PRIMARY KEY,
    ArtikelID   INTEGER DEFAULT 0,
    Bezeichnung TEXT,
    abMenge     REAL    DEFAULT 0,
    Rabatt      REAL    DEFAULT 0
);
CREATE INDEX idx_reRabatt_ArtikelID ON reRabatt (ArtikelID);

-- Units; Nachkommastellen for quantities, NachkommastellenPreis for prices.
CREATE TABLE reEinheiten (
    EinheitID             INTEGER PRIMARY KEY,
    Kuerzel               TEXT,
    Bezeichnung           TEXT,
    Nachkommastellen      INTEGER DEFAULT 0,
    NachkommastellenPreis INTEGER DEFAULT 2
);

-- Payment terms: due period in days and up to three cash discounts (percent
-- within a number of days).
CREATE TABLE reZahlungsbedingungen (
    ZahlungsbedingungID INTEGER PRIMARY KEY,
    Bezeichnung         TEXT,
    Zahlungsziel        INTEGER DEFAULT 0,
    Skonto1             REAL    DEFAULT 0,
    Skontotage1         INTEGER DEFAULT 0,
    Skonto2             REAL    DEFAULT 0,
    Skontotage2         INTEGER DEFAULT 0,
    Skonto3             REAL    DEFAULT 0,
    Skontotage3         INTEGER DEFAULT 0,
    Text                TEXT
);

-- Product groups with their default tax key and revenue account.
CREATE TABLE reWarengruppen (
    WarengruppeID    INTEGER PRIMARY KEY,
    Bezeichnung      TEXT,
    Steuerschluessel INTEGER DEFAULT 0,
    Konto            INTEGER DEFAULT 0
);

-- Shipping-cost rates.
CREATE TABLE reVersandkosten (
    VersandkostenID  INTEGER PRIMARY KEY,
    Bezeichnung      TEXT,
    Nettobetrag      REAL    DEFAULT 0,
    Bruttobetrag     REAL    DEFAULT 0,
    Steuerschluessel INTEGER DEFAULT 0
);

-- Settings of the invoicing: one row with VerwaltungID 1 (created when
-- missing) holding the number counters, their formats and the print
-- templates. "Lieferscheinnummerfomat" is spelled so on purpose: stored
-- settings use that name.
CREATE TABLE reVerwaltung (
    VerwaltungID                 INTEGER PRIMARY KEY,
    Angebotsnummer               INTEGER DEFAULT 0,
    Angebotsnummerformat         TEXT,
    Auftragsnummer               INTEGER DEFAULT 0,
    Auftragsnummerformat         TEXT,
    Lieferscheinnummer           INTEGER DEFAULT 0,
    Lieferscheinnummerfomat      TEXT,
    Rechnungsnummer              INTEGER DEFAULT 0,
    Rechnungsnummerformat        TEXT,
    Mahnungsnummer               INTEGER DEFAULT 0,
    Mahnungsnummerformat         TEXT,
    Kundennummer                 INTEGER DEFAULT 0,
    Kundennummerformat           TEXT,
    Artikelnummer                INTEGER DEFAULT 0,
    Artikelnummerformat          TEXT,
    VorlageAngebot               TEXT,
    VorlageAngebot2              TEXT,
    VorlageAngebot3              TEXT,
    VorlageAuftragsbestaetigung  TEXT,
    VorlageAuftragsbestaetigung2 TEXT,
    VorlageAuftragsbestaetigung3 TEXT,
    VorlageLieferschein          TEXT,
    VorlageLieferschein2         TEXT,
    VorlageLieferschein3         TEXT,
    VorlageRechnung              TEXT,
    VorlageRechnung2             TEXT,
    VorlageRechnung3             TEXT,
    VorlageGutschrift            TEXT,
    VorlageGutschrift2           TEXT,
    VorlageGutschrift3           TEXT,
    VorlageMahnung               TEXT
);

-- Documents. All share the head columns; each kind adds the links to the
-- documents it was made from. PersonID 0 means no customer chosen yet.
CREATE TABLE reAngebote (
    ID                  INTEGER PRIMARY KEY,
    Nummer              TEXT,
    PersonID            INTEGER DEFAULT 0,
    Datum               TEXT,
    Lieferdatum         TEXT,
    ZeitraumVon         TEXT,
    ZeitraumBis         TEXT,
    Art                 INTEGER DEFAULT 0,
    Anzahlung           REAL    DEFAULT 0,
    bezahlt             TEXT,
    Gesamtbetrag        REAL    DEFAULT 0,
    ZahlungsbedingungID INTEGER DEFAULT 0,
    Versandkosten       REAL    DEFAULT 0,
    Erinnerungsdatum    TEXT,
    Anschreiben         TEXT,
    SyncID              TEXT,
    ModDat              TEXT,
    Gueltigkeitsdatum   TEXT
);

CREATE TABLE reAuftragsbestaetigungen (
    ID                  INTEGER PRIMARY KEY,
    Nummer              TEXT,
    PersonID            INTEGER DEFAULT 0,
    Datum               TEXT,
    Lieferdatum         TEXT,
    ZeitraumVon         TEXT,
    ZeitraumBis         TEXT,
    Art                 INTEGER DEFAULT 0,
    Anzahlung           REAL    DEFAULT 0,
    bezahlt             TEXT,
    Gesamtbetrag        REAL    DEFAULT 0,
    ZahlungsbedingungID INTEGER DEFAULT 0,
    Versandkosten       REAL    DEFAULT 0,
    Erinnerungsdatum    TEXT,
    Anschreiben         TEXT,
    SyncID              TEXT,
    ModDat              TEXT,
    AngebotsID          INTEGER DEFAULT 0
);

CREATE TABLE reLieferscheine (
    ID                     INTEGER PRIMARY KEY,
    Nummer                 TEXT,
    PersonID               INTEGER DEFAULT 0,
    Datum                  TEXT,
    Lieferdatum            TEXT,
    ZeitraumVon            TEXT,
    ZeitraumBis            TEXT,
    Art                    INTEGER DEFAULT 0,
    Anzahlung              REAL    DEFAULT 0,
    bezahlt                TEXT,
    Gesamtbetrag           REAL    DEFAULT 0,
    ZahlungsbedingungID    INTEGER DEFAULT 0,
    Versandkosten          REAL    DEFAULT 0,
    Erinnerungsdatum       TEXT,
    Anschreiben            TEXT,
    SyncID                 TEXT,
    ModDat                 TEXT,
    AngebotsID             INTEGER DEFAULT 0,
    AuftragsbestaetigungID INTEGER DEFAULT 0
);

-- Invoices (Art 0) and invoice corrections (Art 1). Anzahlung is the amount
-- already paid; ZeitraumVon/ZeitraumBis the period of supply; KorrekturZuID
-- the invoice a correction corrects.
CREATE TABLE reRechnungen (
    ID                       INTEGER PRIMARY KEY,
    Nummer                   TEXT,
    PersonID                 INTEGER DEFAULT 0,
    Datum                    TEXT,
    Lieferdatum              TEXT,
    ZeitraumVon              TEXT,
    ZeitraumBis              TEXT,
    Art                      INTEGER DEFAULT 0,
    Anzahlung                REAL    DEFAULT 0,
    bezahlt                  TEXT,
    Gesamtbetrag             REAL    DEFAULT 0,
    ZahlungsbedingungID      INTEGER DEFAULT 0,
    Versandkosten            REAL    DEFAULT 0,
    Erinnerungsdatum         TEXT,
    Anschreiben              TEXT,
    SyncID                   TEXT,
    ModDat                   TEXT,
    AngebotsID               INTEGER DEFAULT 0,
    AuftragsbestaetigungID   INTEGER DEFAULT 0,
    LieferscheinID           INTEGER DEFAULT 0,
    Zahlungsziel             TEXT,
    Skonto                   REAL    DEFAULT 0,
    Lieferzeitraum           TEXT,
    Kleinunternehmerregelung INTEGER DEFAULT 0,
    Summe35aLeistungen       REAL    DEFAULT 0,
    VersandkostenNetto       REAL    DEFAULT 0,
    VersandkostenBrutto      REAL    DEFAULT 0,
    VersandkostenSteuersatz  REAL    DEFAULT 0,
    VersandkostenSteuer      REAL    DEFAULT 0,
    RAP                      INTEGER DEFAULT 0,
    KorrekturZuID            INTEGER DEFAULT 0
);
CREATE INDEX idx_reRechnungen_Nummer ON reRechnungen (Nummer);

-- Reminders of an invoice; Mahnstufe 99 is the last reminder.
CREATE TABLE reMahnungen (
    ID                  INTEGER PRIMARY KEY,
    Nummer              TEXT,
    RechnungsID         INTEGER DEFAULT 0,
    Mahnstufe           INTEGER DEFAULT 0,
    "Mahngebühr"        REAL    DEFAULT 0,
    PersonID            INTEGER DEFAULT 0,
    Datum               TEXT,
    Zahlungsziel        TEXT,
    Lieferdatum         TEXT,
    ZeitraumVon         TEXT,
    ZeitraumBis         TEXT,
    Art                 INTEGER DEFAULT 0,
    Anzahlung           REAL    DEFAULT 0,
    bezahlt             TEXT,
    Gesamtbetrag        REAL    DEFAULT 0,
    Erinnerungsdatum    TEXT,
    Anschreiben         TEXT,
    SyncID              TEXT,
    ModDat              TEXT
);
CREATE INDEX idx_reMahnungen_RechnungsID ON reMahnungen (RechnungsID);

-- Positions of a document: ID is the document's ID, PositionID numbers the
-- positions within it. Preis is the net, Bruttopreis the gross unit price;
-- Rabatt a discount in percent. reTempPositionen is the working copy of the
-- positions of the document being edited.
CREATE TABLE reAngebotePositionen (
    ID                      INTEGER NOT NULL DEFAULT 0,
    PositionID              INTEGER NOT NULL DEFAULT 0,
    ArtikelID               INTEGER DEFAULT 0,
    Artikelnummer           TEXT,
    Bezeichnung             TEXT,
    Beschreibung            TEXT,
    Menge                   REAL    DEFAULT 0,
    Einheit                 TEXT,
    Preis                   REAL    DEFAULT 0,
    Bruttopreis             REAL    DEFAULT 0,
    Brutto                  INTEGER DEFAULT 0,
    BruttoNettoGetrennt     INTEGER DEFAULT 0,
    Rabatt                  REAL    DEFAULT 0,
    ManualRabatt            INTEGER DEFAULT 0,
    Steuerschluessel        INTEGER DEFAULT 0,
    Konto                   INTEGER DEFAULT 0,
    AbweichendesLieferdatum INTEGER DEFAULT 0,
    LieferdatumArt          INTEGER DEFAULT 0,
    Lieferdatum             TEXT,
    ZeitraumVon             TEXT,
    ZeitraumBis             TEXT,
    PRIMARY KEY (ID, PositionID)
);

CREATE TABLE reAuftragsbestaetigungenPositionen (
    ID                      INTEGER NOT NULL DEFAULT 0,
    PositionID              INTEGER NOT NULL DEFAULT 0,
    ArtikelID               INTEGER DEFAULT 0,
    Artikelnummer           TEXT,
    Bezeichnung             TEXT,
    Beschreibung            TEXT,
    Menge                   REAL    DEFAULT 0,
    Einheit                 TEXT,
    Preis                   REAL    DEFAULT 0,
    Bruttopreis             REAL    DEFAULT 0,
    Brutto                  INTEGER DEFAULT 0,
    BruttoNettoGetrennt     INTEGER DEFAULT 0,
    Rabatt                  REAL    DEFAULT 0,
    ManualRabatt            INTEGER DEFAULT 0,
    Steuerschluessel        INTEGER DEFAULT 0,
    Konto                   INTEGER DEFAULT 0,
    AbweichendesLieferdatum INTEGER DEFAULT 0,
    LieferdatumArt          INTEGER DEFAULT 0,
    Lieferdatum             TEXT,
    ZeitraumVon             TEXT,
    ZeitraumBis             TEXT,
    PRIMARY KEY (ID, PositionID)
);

CREATE TABLE reLieferscheinePositionen (
    ID                      INTEGER NOT NULL DEFAULT 0,
    PositionID              INTEGER NOT NULL DEFAULT 0,
    ArtikelID               INTEGER DEFAULT 0,
    Artikelnummer           TEXT,
    Bezeichnung             TEXT,
    Beschreibung            TEXT,
    Menge                   REAL    DEFAULT 0,
    Einheit                 TEXT,
    Preis                   REAL    DEFAULT 0,
    Bruttopreis             REAL    DEFAULT 0,
    Brutto                  INTEGER DEFAULT 0,
    BruttoNettoGetrennt     INTEGER DEFAULT 0,
    Rabatt                  REAL    DEFAULT 0,
    ManualRabatt            INTEGER DEFAULT 0,
    Steuerschluessel        INTEGER DEFAULT 0,
    Konto                   INTEGER DEFAULT 0,
    AbweichendesLieferdatum INTEGER DEFAULT 0,
    LieferdatumArt          INTEGER DEFAULT 0,
    Lieferdatum             TEXT,
    ZeitraumVon             TEXT,
    ZeitraumBis             TEXT,
    PRIMARY KEY (ID, PositionID)
);

CREATE TABLE reRechnungenPositionen (
    ID                      INTEGER NOT NULL DEFAULT 0,
    PositionID              INTEGER NOT NULL DEFAULT 0,
    ArtikelID               INTEGER DEFAULT 0,
    Artikelnummer           TEXT,
    Bezeichnung             TEXT,
    Beschreibung            TEXT,
    Menge                   REAL    DEFAULT 0,
    Einheit                 TEXT,
    Preis                   REAL    DEFAULT 0,
    Bruttopreis             REAL    DEFAULT 0,
    Brutto                  INTEGER DEFAULT 0,
    BruttoNettoGetrennt     INTEGER DEFAULT 0,
    Rabatt                  REAL    DEFAULT 0,
    ManualRabatt            INTEGER DEFAULT 0,
    Steuerschluessel        INTEGER DEFAULT 0,
    Konto                   INTEGER DEFAULT 0,
    AbweichendesLieferdatum INTEGER DEFAULT 0,
    LieferdatumArt          INTEGER DEFAULT 0,
    Lieferdatum             TEXT,
    ZeitraumVon             TEXT,
    ZeitraumBis             TEXT,
    PRIMARY KEY (ID, PositionID)
);

CREATE TABLE reTempPositionen (
    ID                      INTEGER NOT NULL DEFAULT 0,
    PositionID              INTEGER NOT NULL DEFAULT 0,
    ArtikelID               INTEGER DEFAULT 0,
    Artikelnummer           TEXT,
    Bezeichnung             TEXT,
    Beschreibung            TEXT,
    Menge                   REAL    DEFAULT 0,
    Einheit                 TEXT,
    Preis                   REAL    DEFAULT 0,
    Bruttopreis             REAL    DEFAULT 0,
    Brutto                  INTEGER DEFAULT 0,
    BruttoNettoGetrennt     INTEGER DEFAULT 0,
    Rabatt                  REAL    DEFAULT 0,
    ManualRabatt            INTEGER DEFAULT 0,
    Steuerschluessel        INTEGER DEFAULT 0,
    Konto                   INTEGER DEFAULT 0,
    AbweichendesLieferdatum INTEGER DEFAULT 0,
    LieferdatumArt          INTEGER DEFAULT 0,
    Lieferdatum             TEXT,
    ZeitraumVon             TEXT,
    ZeitraumBis             TEXT,
    PRIMARY KEY (ID, PositionID)
);
