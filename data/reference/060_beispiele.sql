-- Example bookings offered to a new case as booking templates, one table pair
-- per framework and VAT situation (header table and its "Buchungszeilen"):
--   eurBeispielMitUSt2007 / eurBeispielMitUSt2005 / eurBeispielOhneUSt2005
--     SKR03, EKR03 and SKR04 (the year suffix is the first tax year the
--     examples apply to), eurBeispielSKR80MitUSt / ...OhneUSt,
--     eurBeispielSKR81MitUSt / ...OhneUSt, and eurBeispielMitUSt for any
--     other framework.
-- The tables have exactly the columns of the case's eurBeispiel family, so a
-- case can take rows over column by column. Line accounts are SKR03 numbers.

CREATE TABLE eurBeispielMitUSt2007 (
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
CREATE TABLE eurBeispielMitUSt2007Buchungszeilen (
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
CREATE INDEX idx_eurBeispielMitUSt2007BZ ON eurBeispielMitUSt2007Buchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielMitUSt2005 (
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
CREATE TABLE eurBeispielMitUSt2005Buchungszeilen (
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
CREATE INDEX idx_eurBeispielMitUSt2005BZ ON eurBeispielMitUSt2005Buchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielOhneUSt2005 (
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
CREATE TABLE eurBeispielOhneUSt2005Buchungszeilen (
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
CREATE INDEX idx_eurBeispielOhneUSt2005BZ ON eurBeispielOhneUSt2005Buchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielSKR80MitUSt (
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
CREATE TABLE eurBeispielSKR80MitUStBuchungszeilen (
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
CREATE INDEX idx_eurBeispielSKR80MitUStBZ ON eurBeispielSKR80MitUStBuchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielSKR80OhneUSt (
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
CREATE TABLE eurBeispielSKR80OhneUStBuchungszeilen (
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
CREATE INDEX idx_eurBeispielSKR80OhneUStBZ ON eurBeispielSKR80OhneUStBuchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielSKR81MitUSt (
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
CREATE TABLE eurBeispielSKR81MitUStBuchungszeilen (
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
CREATE INDEX idx_eurBeispielSKR81MitUStBZ ON eurBeispielSKR81MitUStBuchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielSKR81OhneUSt (
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
CREATE TABLE eurBeispielSKR81OhneUStBuchungszeilen (
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
CREATE INDEX idx_eurBeispielSKR81OhneUStBZ ON eurBeispielSKR81OhneUStBuchungszeilen (Buchungsnummer, SteuerID);

CREATE TABLE eurBeispielMitUSt (
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
CREATE TABLE eurBeispielMitUStBuchungszeilen (
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
CREATE INDEX idx_eurBeispielMitUStBZ ON eurBeispielMitUStBuchungszeilen (Buchungsnummer, SteuerID);

-- Income templates for supplies and services whose tax treatment hangs on the
-- tax key of the revenue line (intra-Community supplies, triangular
-- transactions, services taxable in another EU state, reverse charge).
-- Each is a bank receipt: line 1 on the bank account (debit), line 2 on the
-- revenue account (credit) with the key. Amounts are left to the user.
INSERT INTO eurBeispielMitUSt2007 (Buchungsnummer, Buchungstext, Buchungsart, Herkunft) VALUES
    (50, 'Steuerfreie innergemeinschaftliche Lieferungen', 1, 11),
    (52, 'Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften', 1, 11),
    (54, 'Erlöse aus im anderen EU-Land steuerpflichtigen elektronischen Leistungen im Sinne des § 13b UStG', 1, 11),
    (55, 'Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet', 1, 11);

INSERT INTO eurBeispielMitUSt2007Buchungszeilen
    (Buchungsnummer, SteuerID, Dialogzeile, Haben, Konto, Steuerschluessel, Gegenkonto, Buchungstext)
VALUES
    (50, 0, 1,  0, 1200,  0, 8125, 'Steuerfreie innergemeinschaftliche Lieferungen'),
    (50, 1, 2, -1, 8125, 25, 1200, 'Steuerfreie innergemeinschaftliche Lieferungen'),
    (52, 0, 1,  0, 1200,  0, 8130, 'Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften'),
    (52, 1, 2, -1, 8130, 25, 1200, 'Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften'),
    (54, 0, 1,  0, 1200,  0, 8336, 'Erlöse aus im anderen EU-Land steuerpflichtigen elektronischen Leistungen im Sinne des § 13b UStG'),
    (54, 1, 2, -1, 8336, 26, 1200, 'Erlöse aus im anderen EU-Land steuerpflichtigen elektronischen Leistungen im Sinne des § 13b UStG'),
    (55, 0, 1,  0, 1200,  0, 8337, 'Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet'),
    (55, 1, 2, -1, 8337, 27, 1200, 'Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet');
