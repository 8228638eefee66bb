-- Bank connections and the transactions received from them.
--
-- A bank connection ties a bank account to one account of the chart
-- (kpNummer, category 202, 203 or 300). The access data (Benutzername ...
-- VelotraBlob) belong to the banking components; the bookkeeping stores and
-- hands them on without reading them.
CREATE TABLE eurBankverbindung (
    BankverbindungID  INTEGER PRIMARY KEY,
    Bezeichnung       TEXT,
    Kontonummer       TEXT,
    BLZ               TEXT,
    IBAN              TEXT,
    BIC               TEXT,
    Bank              TEXT,
    OnlineArt         INTEGER DEFAULT 0,
    KontoArt          INTEGER DEFAULT 0,
    PaypalOnlineArt   INTEGER DEFAULT 0,
    VelotraKontaktID  TEXT,
    VelotraBlob       BLOB,
    kpNummer          INTEGER DEFAULT 0,
    Benutzername      TEXT,
    Passwort          TEXT,
    Unterschrift      TEXT,
    Unterkontomerkmal TEXT,
    LetzterImportMG   TEXT,
    BankSaldo         REAL    DEFAULT 0
);
CREATE INDEX idx_eurBankverbindung_kpNummer ON eurBankverbindung (kpNummer);

-- One row per bank transaction. Betrag is signed (negative for debits).
-- Status: 0/NULL open, 1 processed (Buchungsnummer is the booking made from
-- it), 2 not to be processed, 3 outside the tax year. Rows with a MasterID
-- other than 0 are never taken over. ID 1 marks a processed row linked to a
-- booking that was there before it (resetting unlinks, never deletes it).
CREATE TABLE eurUmsatz (
    UmsatzID              INTEGER PRIMARY KEY,
    BankverbindungID      INTEGER DEFAULT 0,
    Buchungsdatum         TEXT,
    Betrag                REAL    DEFAULT 0,
    Buchungstext          TEXT,
    Empfaenger            TEXT,
    EmpfaengerKontonummer TEXT,
    EmpfaengerBLZ         TEXT,
    EmpfaengerIBAN        TEXT,
    EmpfaengerBIC         TEXT,
    MasterID              INTEGER DEFAULT 0,
    Status                INTEGER DEFAULT 0,
    ID                    INTEGER DEFAULT 0,
    Buchungsnummer        INTEGER DEFAULT 0,
    Steuersatz            REAL    DEFAULT 0,
    Kategorie1            TEXT,
    Kategorie2            TEXT,
    Kategorie3            TEXT,
    Kategorie4            TEXT,
    Kategorie5            TEXT
);
-- The duplicate test looks transactions up by connection, date and amount.
CREATE INDEX idx_eurUmsatz_Bankverbindung ON eurUmsatz (BankverbindungID, Buchungsdatum, Betrag);
CREATE INDEX idx_eurUmsatz_Buchungsnummer ON eurUmsatz (Buchungsnummer);

-- State kept for the bank web-service component: opaque named values per
-- bank connection.
CREATE TABLE Velotra (
    VelotraID        INTEGER PRIMARY KEY,
    BankverbindungID INTEGER DEFAULT 0,
    Name             TEXT,
    Wert             BLOB
);
