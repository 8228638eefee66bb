-- Case properties, values exported into the tax forms, the locking history,
-- limit amounts and depreciation periods.

-- Key/value properties of the case (Steuerjahr, UstPflicht, Kontenplan,
-- Programm, ProgrammJahr, ...); values are text.
CREATE TABLE Falleigenschaften (
    Feld TEXT PRIMARY KEY NOT NULL,
    Wert TEXT
);

-- Values handed to the tax forms. Rows with an empty Datenpfad carry the
-- metadata of cash-register exchange files (DBVersion, Jahr, Kasse, ...);
-- the others name a node of the case tree and one of its variables.
CREATE TABLE eurExportierteDaten (
    Id        INTEGER PRIMARY KEY,
    Datenpfad TEXT,
    Variable  TEXT,
    Wert      TEXT
);

-- One row per locking act; rows are only ever added. The lock date is the
-- largest bisZum: ledger bookings dated on or before it are unchangeable.
CREATE TABLE eurFestschreibungen (
    bisZum    TEXT,
    erzeugtAm TEXT
);

-- Limit amounts shown by the limits report.
CREATE TABLE eurSperrgrenzen (
    Betrag      REAL DEFAULT 0,
    Bezeichnung TEXT
);

-- Depreciation periods per kind of asset (years; dauer2001 under the tables
-- in force since 2001), with the number of the official table entry.
CREATE TABLE AfA_Zeitraum (
    Gut       TEXT PRIMARY KEY NOT NULL,
    nr        TEXT,
    amtlAFAT  TEXT,
    dauer     REAL DEFAULT 0,
    dauer2001 REAL DEFAULT 0,
    ID        INTEGER DEFAULT 0
);
