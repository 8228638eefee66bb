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

INSERT INTO SKR03_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (1, 999, 'Anlage- und Kapitalkonten'),
    (1000, 1999, 'Finanz- und Privatkonten'),
    (2000, 2999, 'Abgrenzungskonten'),
    (3000, 3999, 'Wareneingangs- und Bestandskonten'),
    (4000, 4999, 'Betriebliche Aufwendungen'),
    (7000, 7999, 'Bestände an Erzeugnissen'),
    (8000, 8999, 'Erlöskonten'),
    (9000, 9999, 'Vortrags-, Kapital- und statistische Konten');

INSERT INTO SKR04_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (1, 999, 'Anlagevermögenskonten'),
    (1000, 1999, 'Umlaufvermögenskonten'),
    (2000, 2999, 'Eigenkapitalkonten'),
    (3000, 3999, 'Fremdkapitalkonten'),
    (4000, 4999, 'Betriebliche Erträge'),
    (5000, 5999, 'Betriebliche Aufwendungen'),
    (6000, 6999, 'Betriebliche Aufwendungen'),
    (7000, 7999, 'Weitere Erträge und Aufwendungen'),
    (9000, 9999, 'Vortrags-, Kapital- und statistische Konten');

INSERT INTO SKR80_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (1, 999, 'Anlagevermögen'),
    (1000, 1999, 'Geld, Forderungen und Verbindlichkeiten'),
    (2000, 2999, 'Privatkonten und Anzahlungen'),
    (3000, 3999, 'Umsatzsteuer und Vorsteuer'),
    (4000, 4999, 'Betriebseinnahmen'),
    (6000, 6999, 'Betriebsausgaben'),
    (7000, 7999, 'Nicht abziehbare Ausgaben'),
    (9000, 9999, 'Saldenvorträge und statistische Konten');

INSERT INTO SKR81_Kontenklassen (vonKonto, bisKonto, Bezeichnung) VALUES
    (1, 999, 'Anlagevermögen'),
    (1000, 1999, 'Geld, Forderungen und Verbindlichkeiten'),
    (2000, 2999, 'Privatkonten und Anzahlungen'),
    (3000, 3999, 'Umsatzsteuer und Vorsteuer'),
    (4000, 4999, 'Betriebseinnahmen'),
    (6000, 6999, 'Betriebsausgaben'),
    (7000, 7999, 'Nicht abziehbare Ausgaben'),
    (9000, 9999, 'Saldenvorträge und statistische Konten');

-- Categories; the class lists are those the accounts of each framework use.
INSERT INTO Kategorien
    (Kategorie, Bezeichnung, Rang, BilanzAktiva, BilanzPassiva, GundV, EUR, BWA,
     Kontenklassen_SKR03, Kontenklassen_SKR04, Kontenklassen_SKR80, Kontenklassen_SKR81, gueltig_ab)
VALUES
    (100, 'Immaterielle Vermögensgegenstände', 100, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (101, 'Grundstücke und Gebäude', 101, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (102, 'Technische Anlagen und Maschinen', 102, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (103, 'Betriebs- und Geschäftsausstattung', 103, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (104, 'Fahrzeuge', 104, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (105, 'Geringwertige Wirtschaftsgüter', 105, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (106, 'Sammelposten', 106, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (107, 'Finanzanlagen', 107, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (108, 'Durchlaufende Posten', 108, 1, 1, 0, 0, 0, '1000', '1000', '1', '1', '2015-01-01 00:00:00'),
    (109, 'Anlagen im Bau', 109, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (110, 'Geleistete Anzahlungen auf Anlagevermögen', 110, 1, 0, 0, 0, 0, '1', '1', '1', '1', '2015-01-01 00:00:00'),
    (111, 'Sonstiges Anlagevermögen', 111, 1, 0, 0, 0, 0, '', '', '', '', '2015-01-01 00:00:00'),
    (201, 'Kasse', 201, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (202, 'Bank', 202, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (203, 'Postbank', 203, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (205, 'Wertpapiere des Umlaufvermögens', 205, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (300, 'Geldtransit und Verrechnungskonten', 300, 1, 1, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (1100, 'Forderungen', 1100, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (1110, 'Sonstiges Umlaufvermögen', 1110, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (1204, 'Geleistete Anzahlungen', 1204, 1, 0, 0, 0, 0, '1000', '1000', '1000', '1000', '2015-01-01 00:00:00'),
    (1300, 'Verbindlichkeiten', 1300, 0, 1, 0, 0, 0, '1000', '3000', '1000', '1000', '2015-01-01 00:00:00'),
    (1400, 'Darlehen', 1400, 0, 1, 0, 0, 0, '1,1000', '3000', '1000', '1000', '2015-01-01 00:00:00'),
    (2100, 'Privat allgemein', 2100, 0, 1, 0, 0, 0, '1000', '2000', '2000', '2000', '2015-01-01 00:00:00'),
    (2101, 'Privatentnahmen', 2101, 0, 1, 0, 0, 0, '1000', '2000', '2000', '2000', '2015-01-01 00:00:00'),
    (2102, 'Privateinlagen', 2102, 0, 1, 0, 0, 0, '1000', '2000', '2000', '2000', '2015-01-01 00:00:00'),
    (2103, 'Privatsteuern', 2103, 0, 1, 0, 0, 0, '1000', '2000', '2000', '2000', '2015-01-01 00:00:00'),
    (2104, 'Sonderausgaben und Spenden', 2104, 0, 1, 0, 0, 0, '1000', '2000', '2000', '2000', '2015-01-01 00:00:00'),
    (2400, 'Erhaltene Anzahlungen', 2400, 0, 1, 0, 0, 0, '1000', '3000', '2000', '2000', '2015-01-01 00:00:00'),
    (3010, 'Vereinnahmte Umsatzsteuer', 3010, 0, 1, 1, 1, 1, '1000', '3000', '3000', '3000', '2015-01-01 00:00:00'),
    (3020, 'Vom Finanzamt erstattete Umsatzsteuer', 3020, 0, 1, 1, 1, 1, '1000', '3000', '3000', '3000', '2015-01-01 00:00:00'),
    (3100, 'Gezahlte Vorsteuer', 3100, 1, 0, 1, 1, 1, '1000', '1000', '3000', '3000', '2015-01-01 00:00:00'),
    (3200, 'An das Finanzamt gezahlte Umsatzsteuer', 3200, 1, 0, 1, 1, 1, '1000', '3000', '3000', '3000', '2015-01-01 00:00:00'),
    (3300, 'Umsatzsteuer aus innergemeinschaftlichem Erwerb und § 13b UStG', 3300, 0, 1, 1, 1, 1, '1000', '3000', '3000', '3000', '2015-01-01 00:00:00'),
    (4000, 'Umsatzsteuerpflichtige Betriebseinnahmen', 4000, 0, 0, 1, 1, 1, '8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4001, 'Umsatzsteuerfreie und nicht steuerbare Betriebseinnahmen', 4001, 0, 0, 1, 1, 1, '2000,8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4002, 'Betriebseinnahmen als Kleinunternehmer', 4002, 0, 0, 1, 1, 1, '8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4100, 'Zinsen und sonstige Erträge', 4100, 0, 0, 1, 1, 1, '2000', '7000', '4000', '4000', '2015-01-01 00:00:00'),
    (4201, 'Private Kfz-Nutzung', 4201, 0, 0, 1, 1, 1, '8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4202, 'Erlöse aus Anlagenabgängen', 4202, 0, 0, 1, 1, 1, '8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4203, 'Erhaltene Skonti, Boni und Rabatte', 4203, 0, 0, 1, 1, 1, '3000', '5000', '4000', '4000', '2015-01-01 00:00:00'),
    (4206, 'Erlöse aus Abgängen des Umlaufvermögens', 4206, 0, 0, 1, 1, 1, '', '', '', '', '2015-01-01 00:00:00'),
    (4207, 'Erlöse aus Wertpapieren des Umlaufvermögens', 4207, 0, 0, 1, 1, 1, '', '', '', '', '2015-01-01 00:00:00'),
    (4208, 'Steuerfreie Einnahmen ohne Gewinnauswirkung', 4208, 0, 0, 0, 0, 0, '2000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (4300, 'Unentgeltliche Wertabgaben', 4300, 0, 0, 1, 1, 1, '8000', '4000', '4000', '4000', '2015-01-01 00:00:00'),
    (5000, 'Waren, Roh-, Hilfs- und Betriebsstoffe', 5000, 0, 0, 1, 1, 1, '3000,4000', '5000,6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5100, 'Bezogene Fremdleistungen', 5100, 0, 0, 1, 1, 1, '3000,4000', '5000,6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5200, 'Personalkosten', 5200, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5300, 'Abschreibungen auf immaterielle Wirtschaftsgüter', 5300, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5301, 'Abschreibungen auf bewegliche Wirtschaftsgüter', 5301, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5302, 'Abschreibungen auf Gebäude', 5302, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5303, 'Sofortabschreibung geringwertiger Wirtschaftsgüter', 5303, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5304, 'Sonderabschreibungen', 5304, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5305, 'Auflösung von Sammelposten', 5305, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5306, 'Herabsetzungsbeträge nach § 7g Abs. 2 EStG', 5306, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5400, 'Raumkosten', 5400, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5401, 'Restbuchwert ausgeschiedener Anlagen', 5401, 0, 0, 1, 1, 1, '2000', '4000,6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5402, 'Kfz-Kosten', 5402, 0, 0, 1, 1, 1, '4000', '6000,7000', '6000', '6000', '2015-01-01 00:00:00'),
    (5405, 'Kfz-Leasing und Kfz-Miete', 5405, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5411, 'Buchwert abgegangenes Umlaufvermögen', 5411, 0, 0, 1, 1, 1, '', '', '', '', '2015-01-01 00:00:00'),
    (5412, 'Buchwert abgegangener Wertpapiere des Umlaufvermögens', 5412, 0, 0, 1, 1, 1, '', '', '', '', '2015-01-01 00:00:00'),
    (5500, 'Reisekosten', 5500, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5510, 'Telekommunikation', 5510, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5520, 'Fortbildung', 5520, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5530, 'Rechts- und Beratungskosten', 5530, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5540, 'Miete und Leasing beweglicher Wirtschaftsgüter', 5540, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5550, 'Beiträge, Gebühren, Abgaben und Versicherungen', 5550, 0, 0, 1, 1, 1, '4000', '6000,7000', '6000', '6000', '2015-01-01 00:00:00'),
    (5560, 'Laufende EDV-Kosten', 5560, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5570, 'Bürobedarf und Arbeitsmittel', 5570, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5580, 'Werbekosten', 5580, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5590, 'Schuldzinsen', 5590, 0, 0, 1, 1, 1, '2000', '7000', '6000', '6000', '2015-01-01 00:00:00'),
    (5600, 'Geschenke (abziehbar)', 5600, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5610, 'Bewirtung (abziehbarer Teil)', 5610, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5630, 'Häusliches Arbeitszimmer', 5630, 0, 0, 1, 1, 1, '4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5700, 'Übrige Betriebsausgaben', 5700, 0, 0, 1, 1, 1, '2000,4000', '6000', '6000', '6000', '2015-01-01 00:00:00'),
    (5901, 'Aufwendungen im Zusammenhang mit Investitionen', 5901, 0, 0, 1, 1, 1, '', '', '', '', '2015-01-01 00:00:00'),
    (5903, 'Investitionsabzugsbetrag (Abzug)', 5903, 0, 0, 1, 1, 0, '9000', '9000', '6000', '6000', '2015-01-01 00:00:00'),
    (5904, 'Investitionsabzugsbetrag (Hinzurechnung)', 5904, 0, 0, 1, 1, 0, '9000', '9000', '6000', '6000', '2015-01-01 00:00:00'),
    (6000, 'Nicht abziehbare Kfz-Kosten', 6000, 0, 0, 0, 0, 0, '', '', '', '', '2015-01-01 00:00:00'),
    (6100, 'Nicht abziehbare Betriebsausgaben', 6100, 0, 0, 0, 0, 0, '4000', '6000,7000', '7000', '7000', '2015-01-01 00:00:00'),
    (8001, 'Saldenvorträge Sachkonten', 8001, 0, 0, 0, 0, 0, '9000', '9000', '9000', '9000', '2015-01-01 00:00:00'),
    (8002, 'Saldenvorträge Debitoren', 8002, 0, 0, 0, 0, 0, '9000', '9000', '9000', '9000', '2015-01-01 00:00:00'),
    (8003, 'Saldenvorträge Kreditoren', 8003, 0, 0, 0, 0, 0, '9000', '9000', '9000', '9000', '2015-01-01 00:00:00'),
    (9000, 'Statistische Konten', 9000, 0, 0, 0, 0, 0, '9000', '9000', '9000', '9000', '2015-01-01 00:00:00'),
    (9903, 'Investitionsabzugsbetrag, Gegenkonto (statistisch)', 9903, 0, 0, 0, 0, 0, '9000', '9000', '9000', '9000', '2015-01-01 00:00:00');
