-- Form templates: form codes with their form variables, the tax-key ranges
-- of form codes, limit amounts and depreciation periods. Copied into the
-- case tables of the same meaning (eurFormulare, eurKennzifferbereiche,
-- eurSperrgrenzen, AfA_Zeitraum) when a case is set up. Validity as in
-- Kontenrahmen.

-- Formular 0 advance VAT return, 1 annual VAT return, 2 trade tax, 3 EÜR.
CREATE TABLE eurFormulare (
    ID           INTEGER PRIMARY KEY,
    Formular     INTEGER NOT NULL DEFAULT 0,
    Kennziffer   INTEGER NOT NULL DEFAULT 0,
    Bezeichnung  TEXT,
    HabenPositiv INTEGER DEFAULT 0,
    Variable     TEXT,
    gueltig_ab   TEXT    DEFAULT '',
    gueltig_bis  TEXT    DEFAULT ''
);
CREATE INDEX idx_eurFormulare ON eurFormulare (Formular, Kennziffer);
-- The same table under the name of the other template tables.
CREATE VIEW Formulare AS SELECT * FROM eurFormulare;

-- Within a form, the code a range number stands for with a given tax key;
-- Steuerschluessel 999999 is the range's default.
CREATE TABLE Kennzifferbereiche (
    ID               INTEGER PRIMARY KEY,
    Bereichsnummer   INTEGER NOT NULL DEFAULT 0,
    Steuerschluessel INTEGER NOT NULL DEFAULT 0,
    Formular         INTEGER NOT NULL DEFAULT 0,
    Kennziffer       INTEGER DEFAULT 0,
    gueltig_ab       TEXT    DEFAULT '',
    gueltig_bis      TEXT    DEFAULT ''
);
CREATE INDEX idx_Kennzifferbereiche ON Kennzifferbereiche (Bereichsnummer, Steuerschluessel);

-- Limit amounts: Vorjahr is the amount of the previous year, Neujahr that of
-- the new year; a case takes the column of its year, rows with 0 are left out.
CREATE TABLE Sperrgrenzen (
    ID          INTEGER PRIMARY KEY,
    Bezeichnung TEXT,
    Vorjahr     REAL DEFAULT 0,
    Neujahr     REAL DEFAULT 0,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);

-- Depreciation periods per kind of asset, with the official table entry.
CREATE TABLE AfA_Zeitraum (
    ID          INTEGER PRIMARY KEY,
    nr          TEXT,
    amtlAFAT    TEXT,
    Gut         TEXT NOT NULL,
    dauer       REAL DEFAULT 0,
    dauer2001   REAL DEFAULT 0,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);
