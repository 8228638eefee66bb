-- Category and account-class templates.
--
-- Kategorien: the category texts and statement flags, and per framework the
-- account classes (column "Kontenklassen_" + framework) whose ranges an
-- account of the category must lie in: a comma-separated list of up to four
-- vonKonto values of that framework's class table, '' for none (the category
-- then accepts any number). Validity as in Kontenrahmen.
--
-- <framework>_Kontenklassen: the account classes of a framework as inclusive
-- number ranges. Class 0 starts at 1, since 0 is never an account and a class
-- reference of 0 means "none".
CREATE TABLE Kategorien (
    ID                  INTEGER PRIMARY KEY,
    Kategorie           INTEGER NOT NULL,
    Bezeichnung         TEXT,
    Rang                INTEGER DEFAULT 0,
    BilanzAktiva        INTEGER DEFAULT 0,
    BilanzPassiva       INTEGER DEFAULT 0,
    GundV               INTEGER DEFAULT 0,
    EUR                 INTEGER DEFAULT 0,
    BWA                 INTEGER DEFAULT 0,
    Kontenklassen_SKR03 TEXT    DEFAULT '',
    Kontenklassen_SKR04 TEXT    DEFAULT '',
    Kontenklassen_SKR80 TEXT    DEFAULT '',
    Kontenklassen_SKR81 TEXT    DEFAULT '',
    gueltig_ab          TEXT    DEFAULT '',
    gueltig_bis         TEXT    DEFAULT ''
);
CREATE INDEX idx_Kategorien_Kategorie ON Kategorien (Kategorie);

CREATE TABLE SKR03_Kontenklassen (
    vonKonto    INTEGER PRIMARY KEY,
    bisKonto    INTEGER NOT NULL,
    Bezeichnung TEXT,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);
CREATE TABLE SKR04_Kontenklassen (
    vonKonto    INTEGER PRIMARY KEY,
    bisKonto    INTEGER NOT NULL,
    Bezeichnung TEXT,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);
CREATE TABLE SKR80_Kontenklassen (
    vonKonto    INTEGER PRIMARY KEY,
    bisKonto    INTEGER NOT NULL,
    Bezeichnung TEXT,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);
CREATE TABLE SKR81_Kontenklassen (
    vonKonto    INTEGER PRIMARY KEY,
    bisKonto    INTEGER NOT NULL,
    Bezeichnung TEXT,
    gueltig_ab  TEXT DEFAULT '',
    gueltig_bis TEXT DEFAULT ''
);

-- Classes 5 and 6 of SKR03 and class 8 of SKR04 are left free by the
-- frameworks and hold no accounts.
INSERT INTO SKR03_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (   1,  999, 'Anlage- und Kapitalkonten'),
    (1000, 1999, 'Finanz- und Privatkonten'),
    (2000, 2999, 'Abgrenzungskonten'),
    (3000, 3999, 'Wareneingangs- und Bestandskonten'),
    (4000, 4999, 'Betriebliche Aufwendungen'),
    (7000, 7999, 'Bestände an Erzeugnissen'),
    (8000, 8999, 'Erlöskonten'),
    (9000, 9999, 'Vortrags-, Kapital- und statistische Konten');

INSERT INTO SKR04_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (   1,  999, 'Anlagevermögenskonten'),
    (1000, 1999, 'Umlaufvermögenskonten'),
    (2000, 2999, 'Eigenkapitalkonten'),
    (3000, 3999, 'Fremdkapitalkonten'),
    (4000, 4999, 'Betriebliche Erträge'),
    (5000, 5999, 'Betriebliche Aufwendungen'),
    (6000, 6999, 'Betriebliche Aufwendungen'),
    (7000, 7999, 'Weitere Erträge und Aufwendungen'),
    (9000, 9999, 'Vortrags-, Kapital- und statistische Konten');

-- The categories of the accounts every chart must have.
INSERT INTO Kategorien
    (Kategorie, Bezeichnung, Rang, BilanzAktiva, BilanzPassiva, GundV, EUR, BWA,
     Kontenklassen_SKR03, Kontenklassen_SKR04)
VALUES
    ( 201, 'Kasse',                         201, 1, 0, 0, 0, 0, '1000', '1000'),
    ( 202, 'Bank',                          202, 1, 0, 0, 0, 0, '1000', '1000'),
    (3010, 'Vereinnahmte Umsatzsteuer',    3010, 0, 1, 0, 1, 0, '1000', '3000'),
    (3100, 'Gezahlte Vorsteuer',           3100, 1, 0, 0, 1, 0, '1000', '1000'),
    (3200, 'Umsatzsteuer-Vorauszahlungen', 3200, 0, 1, 0, 1, 0, '1000', '3000'),
    (4100, 'Zinserträge',                  4100, 0, 0, 1, 1, 1, '2000', '7000'),
    (8001, 'Saldenvorträge Sachkonten',    8001, 0, 0, 0, 0, 0, '9000', '9000'),
    (8002, 'Saldenvorträge Debitoren',     8002, 0, 0, 0, 0, 0, '9000', '9000'),
    (8003, 'Saldenvorträge Kreditoren',    8003, 0, 0, 0, 0, 0, '9000', '9000');
