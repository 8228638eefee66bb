-- Cash book: closings of cash accounts and the exchange of cash registers with
-- a separate cash-keeping installation.

-- One row per cash closing. AbschlussID counts the closings of one cash
-- account (1, 2, ...), so the same number recurs for different accounts and
-- the key is the pair. Saldo is the ledger balance after the balancing
-- booking, GezaehlterSaldo the counted cash. No booking on the account may be
-- dated on or before the latest Datum.
CREATE TABLE eurKassenabschluss (
    AbschlussID     INTEGER NOT NULL DEFAULT 0,
    Konto           INTEGER NOT NULL DEFAULT 0,
    KassenID        TEXT,
    Saldo           REAL    DEFAULT 0,
    GezaehlterSaldo REAL    DEFAULT 0,
    Datum           TEXT,
    PRIMARY KEY (Konto, AbschlussID)
);
CREATE INDEX idx_eurKassenabschluss_Datum ON eurKassenabschluss (Datum);

-- Exports of closed cash bookings made by a cash installation (ExportID =
-- highest + 1); Saldo and Datum are those of the closing that ends the export.
CREATE TABLE eurKassenbuchExporte (
    ExportID INTEGER PRIMARY KEY,
    Konto    INTEGER DEFAULT 0,
    KassenID TEXT,
    Saldo    REAL    DEFAULT 0,
    Datum    TEXT
);

-- Exports imported into the main case. An export counts as imported when a
-- row with its Konto, KassenID and Datum exists.
CREATE TABLE eurKassenbuchImporte (
    ImportID INTEGER PRIMARY KEY,
    ExportID INTEGER DEFAULT 0,
    Konto    INTEGER DEFAULT 0,
    KassenID TEXT,
    Saldo    REAL    DEFAULT 0,
    Datum    TEXT
);
CREATE INDEX idx_eurKassenbuchImporte_Konto ON eurKassenbuchImporte (Konto, KassenID, Datum);

-- Cash accounts handed to a cash installation; KassenID is the register's
-- UUID, Datum the date of the latest export.
CREATE TABLE eurExportierteKassen (
    Konto    INTEGER PRIMARY KEY,
    KassenID TEXT,
    Datum    TEXT
);
