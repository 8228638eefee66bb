-- Chart templates. One row of Kontenrahmen is one account of the standard
-- charts, with its number in every chart framework (0 = the framework has no
-- such account; EKR03 uses the SKR03 numbers) and the attributes a case's
-- eurKontenplan row is generated from.
--
-- necessary marks the accounts the program's logic finds by number (cash,
-- bank, VAT accounts, carry-forward accounts ...): their SKR03 number is the
-- framework-independent name, translated into the case's chart through these
-- rows. DeaktivBeiKeinerUSt marks accounts that a case not liable to VAT does
-- not get. Build is the program build that last changed the row, so an update
-- only compares rows newer than the case.
--
-- Validity: gueltig_ab/gueltig_bis are dates 'YYYY-MM-DD 00:00:00'; '' in
-- gueltig_ab means since always, in gueltig_bis open-ended. A row belongs to
-- the chart of tax year Y when
--   gueltig_ab <= 'Y-12-31 00:00:00' AND
--   (gueltig_bis = '' OR gueltig_bis >= 'Y-12-31 00:00:00').
CREATE TABLE Kontenrahmen (
    ID                     INTEGER PRIMARY KEY,
    SKR03                  INTEGER DEFAULT 0,
    SKR04                  INTEGER DEFAULT 0,
    SKR80                  INTEGER DEFAULT 0,
    SKR81                  INTEGER DEFAULT 0,
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
    necessary              INTEGER DEFAULT 0,
    DeaktivBeiKeinerUSt    INTEGER DEFAULT 0,
    Build                  INTEGER DEFAULT 0,
    gueltig_ab             TEXT    DEFAULT '',
    gueltig_bis            TEXT    DEFAULT ''
);
CREATE INDEX idx_Kontenrahmen_SKR03 ON Kontenrahmen (SKR03);
CREATE INDEX idx_Kontenrahmen_SKR04 ON Kontenrahmen (SKR04);

-- Account names that differ per framework (looked up by the framework name
-- as the user chose it, EKR03 included); where no row exists the names of
-- Kontenrahmen apply. No validity columns: the table is joined to
-- Kontenrahmen, whose validity decides.
CREATE TABLE Kontobezeichnungen (
    ID              INTEGER PRIMARY KEY,
    Kontenrahmen    TEXT    NOT NULL,
    Nummer          INTEGER NOT NULL,
    Bezeichnung     TEXT,
    Kurzbezeichnung TEXT
);
CREATE UNIQUE INDEX idx_Kontobezeichnungen ON Kontobezeichnungen (Kontenrahmen, Nummer);

-- The accounts every chart must have, valid for 2015 and 2016. SKR80/SKR81
-- follow the SKR03 numbering.
INSERT INTO Kontenrahmen
    (SKR03, SKR04, SKR80, SKR81, Bezeichnung, Kurzbezeichnung, Kategorie,
     EB_Erzeugung, Aktiv, necessary, DeaktivBeiKeinerUSt, gueltig_ab, gueltig_bis)
VALUES
    (1000, 1600, 1000, 1000, 'Kasse', 'Kasse', 201,
     1, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1200, 1800, 1200, 1200, 'Bank', 'Bank', 202,
     1, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1571, 1401, 1571, 1571, 'Abziehbare Vorsteuer 7 %', 'Vorsteuer 7 %', 3100,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1576, 1406, 1576, 1576, 'Abziehbare Vorsteuer 19 %', 'Vorsteuer 19 %', 3100,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1771, 3801, 1771, 1771, 'Umsatzsteuer 7 %', 'USt 7 %', 3010,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1776, 3806, 1776, 1776, 'Umsatzsteuer 19 %', 'USt 19 %', 3010,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1780, 3820, 1780, 1780, 'Umsatzsteuer-Vorauszahlungen', 'USt-Vorauszahlungen', 3200,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (1781, 3830, 1781, 1781, 'Umsatzsteuer-Vorauszahlungen 1/11', 'USt-Vorauszahlungen 1/11', 3200,
     0, 1, 1, 1, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (2650, 7100, 2650, 2650, 'Sonstige Zinsen und ähnliche Erträge', 'Zinserträge', 4100,
     0, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (9000, 9000, 9000, 9000, 'Saldenvorträge, Sachkonten', 'Saldenvorträge Sachkonten', 8001,
     0, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (9008, 9008, 9008, 9008, 'Saldenvorträge, Debitoren', 'Saldenvorträge Debitoren', 8002,
     0, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00'),
    (9009, 9009, 9009, 9009, 'Saldenvorträge, Kreditoren', 'Saldenvorträge Kreditoren', 8003,
     0, 1, 1, 0, '2015-01-01 00:00:00', '2016-12-31 00:00:00');
