-- The ledger. Bookings live in four table families with identical columns:
--   eurVerbucht    posted bookings (the ledger proper)
--   eurStapel      batch of bookings entered but not yet posted
--   eurBeispiel    booking templates, examples and recurring bookings
--   eurUebernahme  proposals prepared from bank transactions
-- Each family is a header table keyed by Buchungsnummer and a line table
-- ("...Buchungszeilen") whose rows move one positive amount onto one account,
-- debit or credit (Haben). eurSplittBuchungszeilen is the scratch copy of the
-- lines of a split booking while it is being edited.
--
-- Dates are ISO text 'YYYY-MM-DD 00:00:00' (string order is date order);
-- flags are integers, 0 false and any other value (the program writes -1 or 1)
-- true; amounts are REAL euros.

-- Header columns, in the order the posting code writes them; Dreieck last.
CREATE TABLE eurVerbucht (
    Buchungsnummer  INTEGER PRIMARY KEY,
    Buchungstext    TEXT,
    Periode         INTEGER DEFAULT 0,
    Stapel          INTEGER DEFAULT 0,
    Storno          INTEGER DEFAULT 0,
    Storniert       INTEGER DEFAULT 0,
    Betrag          REAL    DEFAULT 0,
    Netto           INTEGER DEFAULT 0,
    Belegdatum      TEXT,
    Buchungsdatum   TEXT,
    Belegnummer     TEXT,
    Buchungsart     INTEGER DEFAULT 0,
    Zusatzinfo      TEXT,
    Intervall       TEXT,
    UStID           TEXT,
    ZMArt           INTEGER DEFAULT 0,
    Zahlungsdatum   TEXT,
    Herkunft        INTEGER DEFAULT 0,
    Dreieck         INTEGER DEFAULT 0
);

CREATE TABLE eurStapel (
    Buchungsnummer  INTEGER PRIMARY KEY,
    Buchungstext    TEXT,
    Periode         INTEGER DEFAULT 0,
    Stapel          INTEGER DEFAULT 0,
    Storno          INTEGER DEFAULT 0,
    Storniert       INTEGER DEFAULT 0,
    Betrag          REAL    DEFAULT 0,
    Netto           INTEGER DEFAULT 0,
    Belegdatum      TEXT,
    Buchungsdatum   TEXT,
    Belegnummer     TEXT,
    Buchungsart     INTEGER DEFAULT 0,
    Zusatzinfo      TEXT,
    Intervall       TEXT,
    UStID           TEXT,
    ZMArt           INTEGER DEFAULT 0,
    Zahlungsdatum   TEXT,
    Herkunft        INTEGER DEFAULT 0,
    Dreieck         INTEGER DEFAULT 0
);

-- A template with a non-empty Intervall is a recurring booking; Belegdatum
-- and Zahlungsdatum are the dates of its first occurrence.
CREATE TABLE eurBeispiel (
    Buchungsnummer  INTEGER PRIMARY KEY,
    Buchungstext    TEXT,
    Periode         INTEGER DEFAULT 0,
    Stapel          INTEGER DEFAULT 0,
    Storno          INTEGER DEFAULT 0,
    Storniert       INTEGER DEFAULT 0,
    Betrag          REAL    DEFAULT 0,
    Netto           INTEGER DEFAULT 0,
    Belegdatum      TEXT,
    Buchungsdatum   TEXT,
    Belegnummer     TEXT,
    Buchungsart     INTEGER DEFAULT 0,
    Zusatzinfo      TEXT,
    Intervall       TEXT,
    UStID           TEXT,
    ZMArt           INTEGER DEFAULT 0,
    Zahlungsdatum   TEXT,
    Herkunft        INTEGER DEFAULT 0,
    Dreieck         INTEGER DEFAULT 0
);

-- One proposal per open bank transaction (UmsatzID); geprueft is set once the
-- user has looked at it, UmsatzUebernehmen when it is to be posted.
CREATE TABLE eurUebernahme (
    Buchungsnummer    INTEGER PRIMARY KEY,
    Buchungstext      TEXT,
    Periode           INTEGER DEFAULT 0,
    Stapel            INTEGER DEFAULT 0,
    Storno            INTEGER DEFAULT 0,
    Storniert         INTEGER DEFAULT 0,
    Betrag            REAL    DEFAULT 0,
    Netto             INTEGER DEFAULT 0,
    Belegdatum        TEXT,
    Buchungsdatum     TEXT,
    Belegnummer       TEXT,
    Buchungsart       INTEGER DEFAULT 0,
    Zusatzinfo        TEXT,
    Intervall         TEXT,
    UStID             TEXT,
    ZMArt             INTEGER DEFAULT 0,
    Zahlungsdatum     TEXT,
    Herkunft          INTEGER DEFAULT 0,
    Dreieck           INTEGER DEFAULT 0,
    geprueft          INTEGER DEFAULT 0,
    UmsatzID          INTEGER DEFAULT 0,
    UmsatzUebernehmen INTEGER DEFAULT 0
);

-- Line columns, in the order the posting code writes them. ID is assigned by
-- the database and never reused (AUTOINCREMENT), so a line ID seen once keeps
-- naming the same line even after higher lines were deleted.
-- Steuerschluessel 999999 marks a tax line generated from the base line with
-- the same Buchungsnummer and SteuerID.
CREATE TABLE eurVerbuchtBuchungszeilen (
    ID                    INTEGER PRIMARY KEY AUTOINCREMENT,
    Buchungsnummer        INTEGER DEFAULT 0,
    SteuerID              INTEGER DEFAULT 0,
    Dialogzeile           INTEGER DEFAULT 0,
    Betrag                REAL    DEFAULT 0,
    Haben                 INTEGER DEFAULT 0,
    Fremdbelegnummer      TEXT,
    Konto                 INTEGER DEFAULT 0,
    Kostenstelle          TEXT,
    Steuerschluessel      INTEGER DEFAULT 0,
    Gegenkonto            INTEGER DEFAULT 0,
    Buchungstext          TEXT,
    OPOSNummer            TEXT,
    Splitt                INTEGER DEFAULT 0,
    SplittBetrag          REAL    DEFAULT 0,
    SplittNetto           INTEGER DEFAULT 0,
    AufteilungViaProzent  INTEGER DEFAULT 0,
    AufteilungProzentsatz REAL    DEFAULT 0,
    RestBeiProzent        INTEGER DEFAULT 0
);

CREATE TABLE eurStapelBuchungszeilen (
    ID                    INTEGER PRIMARY KEY AUTOINCREMENT,
    Buchungsnummer        INTEGER DEFAULT 0,
    SteuerID              INTEGER DEFAULT 0,
    Dialogzeile           INTEGER DEFAULT 0,
    Betrag                REAL    DEFAULT 0,
    Haben                 INTEGER DEFAULT 0,
    Fremdbelegnummer      TEXT,
    Konto                 INTEGER DEFAULT 0,
    Kostenstelle          TEXT,
    Steuerschluessel      INTEGER DEFAULT 0,
    Gegenkonto            INTEGER DEFAULT 0,
    Buchungstext          TEXT,
    OPOSNummer            TEXT,
    Splitt                INTEGER DEFAULT 0,
    SplittBetrag          REAL    DEFAULT 0,
    SplittNetto           INTEGER DEFAULT 0,
    AufteilungViaProzent  INTEGER DEFAULT 0,
    AufteilungProzentsatz REAL    DEFAULT 0,
    RestBeiProzent        INTEGER DEFAULT 0
);

CREATE TABLE eurBeispielBuchungszeilen (
    ID                    INTEGER PRIMARY KEY AUTOINCREMENT,
    Buchungsnummer        INTEGER DEFAULT 0,
    SteuerID              INTEGER DEFAULT 0,
    Dialogzeile           INTEGER DEFAULT 0,
    Betrag                REAL    DEFAULT 0,
    Haben                 INTEGER DEFAULT 0,
    Fremdbelegnummer      TEXT,
    Konto                 INTEGER DEFAULT 0,
    Kostenstelle          TEXT,
    Steuerschluessel      INTEGER DEFAULT 0,
    Gegenkonto            INTEGER DEFAULT 0,
    Buchungstext          TEXT,
    OPOSNummer            TEXT,
    Splitt                INTEGER DEFAULT 0,
    SplittBetrag          REAL    DEFAULT 0,
    SplittNetto           INTEGER DEFAULT 0,
    AufteilungViaProzent  INTEGER DEFAULT 0,
    AufteilungProzentsatz REAL    DEFAULT 0,
    RestBeiProzent        INTEGER DEFAULT 0
);

CREATE TABLE eurUebernahmeBuchungszeilen (
    ID                    INTEGER PRIMARY KEY AUTOINCREMENT,
    Buchungsnummer        INTEGER DEFAULT 0,
    SteuerID              INTEGER DEFAULT 0,
    Dialogzeile           INTEGER DEFAULT 0,
    Betrag                REAL    DEFAULT 0,
    Haben                 INTEGER DEFAULT 0,
    Fremdbelegnummer      TEXT,
    Konto                 INTEGER DEFAULT 0,
    Kostenstelle          TEXT,
    Steuerschluessel      INTEGER DEFAULT 0,
    Gegenkonto            INTEGER DEFAULT 0,
    Buchungstext          TEXT,
    OPOSNummer            TEXT,
    Splitt                INTEGER DEFAULT 0,
    SplittBetrag          REAL    DEFAULT 0,
    SplittNetto           INTEGER DEFAULT 0,
    AufteilungViaProzent  INTEGER DEFAULT 0,
    AufteilungProzentsatz REAL    DEFAULT 0,
    RestBeiProzent        INTEGER DEFAULT 0
);

-- The split editor writes its IDs itself (highest + 1); AUTOINCREMENT only
-- matters when a caller leaves ID out.
CREATE TABLE eurSplittBuchungszeilen (
    ID                    INTEGER PRIMARY KEY AUTOINCREMENT,
    Buchungsnummer        INTEGER DEFAULT 0,
    SteuerID              INTEGER DEFAULT 0,
    Dialogzeile           INTEGER DEFAULT 0,
    Betrag                REAL    DEFAULT 0,
    Haben                 INTEGER DEFAULT 0,
    Fremdbelegnummer      TEXT,
    Konto                 INTEGER DEFAULT 0,
    Kostenstelle          TEXT,
    Steuerschluessel      INTEGER DEFAULT 0,
    Gegenkonto            INTEGER DEFAULT 0,
    Buchungstext          TEXT,
    OPOSNummer            TEXT,
    Splitt                INTEGER DEFAULT 0,
    SplittBetrag          REAL    DEFAULT 0,
    SplittNetto           INTEGER DEFAULT 0,
    AufteilungViaProzent  INTEGER DEFAULT 0,
    AufteilungProzentsatz REAL    DEFAULT 0,
    RestBeiProzent        INTEGER DEFAULT 0
);

-- Every evaluation joins lines to their header and filters by account or by
-- voucher date; invoice payments and recurring bookings are found through
-- Zusatzinfo.
CREATE INDEX idx_eurVerbuchtBZ_Buchungsnummer   ON eurVerbuchtBuchungszeilen   (Buchungsnummer, SteuerID);
CREATE INDEX idx_eurStapelBZ_Buchungsnummer     ON eurStapelBuchungszeilen     (Buchungsnummer, SteuerID);
CREATE INDEX idx_eurStapelBZ_Konto              ON eurStapelBuchungszeilen     (Konto);
CREATE INDEX idx_eurBeispielBZ_Buchungsnummer   ON eurBeispielBuchungszeilen   (Buchungsnummer, SteuerID);
CREATE INDEX idx_eurBeispielBZ_Konto            ON eurBeispielBuchungszeilen   (Konto);
CREATE INDEX idx_eurUebernahmeBZ_Buchungsnummer ON eurUebernahmeBuchungszeilen (Buchungsnummer, SteuerID);
CREATE INDEX idx_eurUebernahmeBZ_Konto          ON eurUebernahmeBuchungszeilen (Konto);
CREATE INDEX idx_eurSplittBZ_Buchungsnummer     ON eurSplittBuchungszeilen     (Buchungsnummer, SteuerID);

CREATE INDEX idx_eurVerbucht_Belegdatum   ON eurVerbucht   (Belegdatum);
CREATE INDEX idx_eurVerbucht_Zusatzinfo   ON eurVerbucht   (Zusatzinfo);
CREATE INDEX idx_eurStapel_Belegdatum     ON eurStapel     (Belegdatum);
CREATE INDEX idx_eurBeispiel_Belegdatum   ON eurBeispiel   (Belegdatum);
CREATE INDEX idx_eurUebernahme_Belegdatum ON eurUebernahme (Belegdatum);

-- The reports sum the ledger's lines per account, key, side and counter
-- account. This index holds every column they read, in the order they
-- group by, so a balance list, a VAT return or a profit statement walks it
-- once from end to end (or per account) without touching the table and
-- without sorting; its first column also serves every search by account.
-- Cases made before it existed get it from Berichte::indizesSicherstellen,
-- which holds the same definitions.
CREATE INDEX idx_eurVerbuchtBZ_KontoSteuer ON eurVerbuchtBuchungszeilen (Konto, Steuerschluessel, Haben, Gegenkonto, Buchungsnummer, Betrag);
-- The recapitulative statement reads only bookings with a VAT id, in the
-- order it groups them.
CREATE INDEX idx_eurVerbucht_UStID ON eurVerbucht (UStID, ZMArt);
-- The few bookings that are cancelled or cancellations, so a report over
-- the whole ledger leaves out their lines without reading every header.
CREATE INDEX idx_eurVerbucht_Storno ON eurVerbucht (Buchungsnummer) WHERE (Storno=0 AND Storniert=0) IS NOT 1;
-- The bookings in the order of their document numbers (and dates; the
-- booking number follows as the row id), so the document analysis finds
-- duplicates side by side without sorting the year.
CREATE INDEX idx_eurVerbucht_Belegnummer ON eurVerbucht (Belegnummer, Belegdatum);

-- Ledger lines together with the Zusatzinfo of their header, for reports that
-- need the link to an invoice or template without writing the join. A line
-- whose header is missing still shows, with Zusatzinfo NULL.
CREATE VIEW eurVerbuchtBuchungszeilenPlus AS
SELECT z.ID, z.Buchungsnummer, z.SteuerID, z.Dialogzeile, z.Betrag, z.Haben,
       z.Fremdbelegnummer, z.Konto, z.Kostenstelle, z.Steuerschluessel,
       z.Gegenkonto, z.Buchungstext, z.OPOSNummer, z.Splitt, z.SplittBetrag,
       z.SplittNetto, z.AufteilungViaProzent, z.AufteilungProzentsatz,
       z.RestBeiProzent, b.Zusatzinfo
  FROM eurVerbuchtBuchungszeilen z
  LEFT JOIN eurVerbucht b ON b.Buchungsnummer = z.Buchungsnummer;
