-- Chart of accounts of the case and the tables that give accounts their
-- meaning. All of them are generated from the program's reference database
-- when a case is set up (and refreshed after a program update); the user may
-- change accounts and tax-key activity afterwards.
--
-- Form-code columns (UStVA, USt, GewSt, EUR, EUR_HABEN, EUR_AV, VAKZ...,
-- UStKZ..., Kennziffer) share one number space: 0/1 none, 2..999 a code of
-- the form, 1000..999999 a range resolved by tax key through
-- eurKennzifferbereiche, 1000000 and above a form line.

-- One row per account. Kategorie decides how the account is treated
-- everywhere; the number itself carries no meaning. Steuerautomatik 1 fixes
-- the account's tax key, any other value makes it a default only.
-- Geaendert is set when the user edited the account, so a program update
-- asks before overwriting it.
CREATE TABLE eurKontenplan (
    Nummer                 INTEGER PRIMARY KEY,
    Bezeichnung            TEXT,
    Kurzbezeichnung        TEXT,
    Kategorie              INTEGER DEFAULT 0,
    Kostenstellenautomatik INTEGER DEFAULT 0,
    Kostenstelle           TEXT,
    Steuerautomatik        INTEGER DEFAULT 0,
    Steuerschluessel       INTEGER DEFAULT 0,
    Verdichtung            INTEGER DEFAULT 0,
    EB_Erzeugung           INTEGER DEFAULT 0,
    KeineOPBuchungen       INTEGER DEFAULT 0,
    UStVA                  INTEGER DEFAULT 0,
    USt                    INTEGER DEFAULT 0,
    GewSt                  INTEGER DEFAULT 0,
    EUR                    INTEGER DEFAULT 0,
    EUR_HABEN              INTEGER DEFAULT 0,
    EUR_AV                 INTEGER DEFAULT 0,
    Aktiv                  INTEGER DEFAULT 0,
    Geaendert              INTEGER DEFAULT 0
);
CREATE INDEX idx_eurKontenplan_Kategorie ON eurKontenplan (Kategorie);

-- Account categories. The flags say in which statements a category shows;
-- Kontenklasse1..4 hold the vonKonto of up to four account classes whose
-- ranges an account of the category must lie in (0 = none).
CREATE TABLE eurKategorien (
    Kategorie     INTEGER PRIMARY KEY,
    Bezeichnung   TEXT,
    BilanzAktiva  INTEGER DEFAULT 0,
    BilanzPassiva INTEGER DEFAULT 0,
    GundV         INTEGER DEFAULT 0,
    EUR           INTEGER DEFAULT 0,
    BWA           INTEGER DEFAULT 0,
    Rang          INTEGER DEFAULT 0,
    Kontenklasse1 INTEGER DEFAULT 0,
    Kontenklasse2 INTEGER DEFAULT 0,
    Kontenklasse3 INTEGER DEFAULT 0,
    Kontenklasse4 INTEGER DEFAULT 0
);

-- Account classes: inclusive number ranges vonKonto..bisKonto.
CREATE TABLE eurKontenklassen (
    vonKonto    INTEGER PRIMARY KEY,
    bisKonto    INTEGER DEFAULT 0,
    Bezeichnung TEXT
);

-- Tax keys. Key 0 is the row for "no tax"; 999999 is never a row (it marks
-- generated tax lines). Steuerart: 'U' output tax, 'V' input tax, 'B' both.
-- Steuerkonto/Steuerkonto2 are the tax accounts of the case's chart; a key
-- with two accounts books the tax twice on opposite sides (reverse charge,
-- intra-Community acquisitions, marked by IG_Erwerb). im_Hundert: the booked
-- amount is the base, no net part is extracted.
CREATE TABLE eurSteuerschluessel (
    Steuerschluessel INTEGER PRIMARY KEY,
    Bezeichnung      TEXT,
    Kurzbezeichnung  TEXT,
    Steuersatz       REAL    DEFAULT 0,
    IG_Erwerb        INTEGER DEFAULT 0,
    im_Hundert       INTEGER DEFAULT 0,
    Steuerkonto      INTEGER DEFAULT 0,
    Steuerkonto2     INTEGER DEFAULT 0,
    VAKZUmsatz       INTEGER DEFAULT 0,
    VAKZSteuer       INTEGER DEFAULT 0,
    UStKZUmsatz      INTEGER DEFAULT 0,
    UStKZSteuer      INTEGER DEFAULT 0,
    Steuerart        TEXT,
    Sortierung       INTEGER DEFAULT 0,
    Laenderkuerzel   TEXT,
    Reduziert        INTEGER DEFAULT 0,
    Laendername      TEXT,
    Necessary        INTEGER DEFAULT 0,
    Aktiv            INTEGER DEFAULT 0
);

-- Form codes per form (0 advance VAT return, 1 annual VAT return, 2 trade
-- tax, 3 EÜR) and the form variable that receives a code's amount.
-- HabenPositiv: credit amounts count positive for this code.
CREATE TABLE eurFormulare (
    Formular     INTEGER NOT NULL DEFAULT 0,
    Kennziffer   INTEGER NOT NULL DEFAULT 0,
    Bezeichnung  TEXT,
    Variable     TEXT,
    HabenPositiv INTEGER DEFAULT 0,
    PRIMARY KEY (Formular, Kennziffer)
);

-- Which form code a range number stands for, per form and tax key; a row with
-- Steuerschluessel 999999 is the range's default for keys without a row.
CREATE TABLE eurKennzifferbereiche (
    Bereichsnummer   INTEGER DEFAULT 0,
    Steuerschluessel INTEGER DEFAULT 0,
    Formular         INTEGER DEFAULT 0,
    Kennziffer       INTEGER DEFAULT 0
);
CREATE INDEX idx_eurKennzifferbereiche ON eurKennzifferbereiche (Formular, Bereichsnummer, Steuerschluessel);
