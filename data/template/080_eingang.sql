-- Incoming e-invoices: the original file of each as received (the XML of an
-- e-invoice is the original document under the GoBD and is archived
-- unchanged; SHA256 shows that it is), the figures read from it, and the
-- suppliers found again by VAT id, tax number or IBAN.
--
-- A case of an older version gets these tables when it is converted (they
-- are taken from this template by their definition here).

-- A supplier of incoming invoices. Konto is the expense account its last
-- invoice was booked on, proposed for the next one.
CREATE TABLE eingangLieferanten (
    ID            INTEGER PRIMARY KEY,
    Name          TEXT NOT NULL DEFAULT '',
    UStID         TEXT NOT NULL DEFAULT '',
    Steuernummer  TEXT NOT NULL DEFAULT '',
    IBAN          TEXT NOT NULL DEFAULT '',
    Land          TEXT NOT NULL DEFAULT '',
    Ort           TEXT NOT NULL DEFAULT '',
    Konto         INTEGER NOT NULL DEFAULT 0
);

-- One incoming invoice or credit note. Original holds the file's bytes
-- exactly as read (the PDF of a hybrid invoice, else the XML); Typ is the
-- invoice type code (380, 381, …), Gutschrift -1 for a credit note.
-- Konto/BeiZahlung: booked on Konto when the payment comes (bank takeover);
-- Buchungsnummer: the ledger booking, 0 while open.
CREATE TABLE eingangRechnungen (
    ID              INTEGER PRIMARY KEY,
    LieferantID     INTEGER NOT NULL DEFAULT 0,
    Nummer          TEXT NOT NULL DEFAULT '',
    Typ             TEXT NOT NULL DEFAULT '',
    Gutschrift      INTEGER NOT NULL DEFAULT 0,
    Syntax          TEXT NOT NULL DEFAULT '',
    Profil          TEXT NOT NULL DEFAULT '',
    Rechnungsdatum  TEXT DEFAULT '',
    Faellig         TEXT DEFAULT '',
    Netto           CURRENCY DEFAULT 0,
    Steuer          CURRENCY DEFAULT 0,
    Brutto          CURRENCY DEFAULT 0,
    Zahlbetrag      CURRENCY DEFAULT 0,
    IBAN            TEXT NOT NULL DEFAULT '',
    BIC             TEXT NOT NULL DEFAULT '',
    Zahlungsreferenz TEXT NOT NULL DEFAULT '',
    Dateiname       TEXT NOT NULL DEFAULT '',
    Original        BLOB NOT NULL,
    SHA256          TEXT NOT NULL,
    Eingelesen      TEXT DEFAULT '',
    Konto           INTEGER NOT NULL DEFAULT 0,
    BeiZahlung      INTEGER NOT NULL DEFAULT 0,
    Buchungsnummer  INTEGER NOT NULL DEFAULT 0,
    Bezahlt         TEXT DEFAULT ''
);
CREATE INDEX idx_eingangRechnungen_Nummer ON eingangRechnungen (LieferantID, Nummer);

-- The VAT breakdown of an incoming invoice: one row per category and rate.
CREATE TABLE eingangSteuern (
    ID          INTEGER PRIMARY KEY,
    RechnungID  INTEGER NOT NULL,
    Kategorie   TEXT NOT NULL DEFAULT '',
    Satz        REAL NOT NULL DEFAULT 0,
    Basis       CURRENCY DEFAULT 0,
    Steuer      CURRENCY DEFAULT 0,
    Grund       TEXT NOT NULL DEFAULT ''
);
CREATE INDEX idx_eingangSteuern_Rechnung ON eingangSteuern (RechnungID);
