-- Tax-key template. A case's eurSteuerschluessel is copied from here; the
-- tax accounts are kept once per framework (<framework>_Steuerkonto and
-- <framework>_Steuerkonto2) and the pair of the case's framework becomes
-- Steuerkonto/Steuerkonto2. Steuerart 'U' output tax, 'V' input tax, 'B' both.
-- A key may change over the years (a new rate), hence one row per validity
-- period; validity as in Kontenrahmen.
CREATE TABLE Steuerschluessel (
    ID                 INTEGER PRIMARY KEY,
    Steuerschluessel   INTEGER NOT NULL,
    Bezeichnung        TEXT,
    Kurzbezeichnung    TEXT,
    Steuersatz         REAL    DEFAULT 0,
    IG_Erwerb          INTEGER DEFAULT 0,
    im_Hundert         INTEGER DEFAULT 0,
    SKR03_Steuerkonto  INTEGER DEFAULT 0,
    SKR03_Steuerkonto2 INTEGER DEFAULT 0,
    SKR04_Steuerkonto  INTEGER DEFAULT 0,
    SKR04_Steuerkonto2 INTEGER DEFAULT 0,
    SKR80_Steuerkonto  INTEGER DEFAULT 0,
    SKR80_Steuerkonto2 INTEGER DEFAULT 0,
    SKR81_Steuerkonto  INTEGER DEFAULT 0,
    SKR81_Steuerkonto2 INTEGER DEFAULT 0,
    VAKZUmsatz         INTEGER DEFAULT 0,
    VAKZSteuer         INTEGER DEFAULT 0,
    UStKZUmsatz        INTEGER DEFAULT 0,
    UStKZSteuer        INTEGER DEFAULT 0,
    Steuerart          TEXT,
    Sortierung         INTEGER DEFAULT 0,
    Laenderkuerzel     TEXT,
    Reduziert          INTEGER DEFAULT 0,
    Laendername        TEXT,
    Necessary          INTEGER DEFAULT 0,
    Aktiv              INTEGER DEFAULT 0,
    gueltig_ab         TEXT    DEFAULT '',
    gueltig_bis        TEXT    DEFAULT ''
);
CREATE INDEX idx_Steuerschluessel ON Steuerschluessel (Steuerschluessel);

-- Key 0, "no tax", exists in every case and is offered for income and
-- expense bookings alike.
INSERT INTO Steuerschluessel
    (Steuerschluessel, Bezeichnung, Kurzbezeichnung, Steuersatz, Steuerart,
     Sortierung, Necessary, Aktiv)
VALUES
    (0, 'Keine Umsatz- / Vorsteuer', 'keine', 0, 'B', 0, 1, 1);
