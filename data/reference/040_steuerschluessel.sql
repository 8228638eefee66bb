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

-- The keys of 2015 and 2016. Keys 100 and up are supplies taxed in another EU
-- state (distance sales, electronic services): no German tax, turnover in code 45;
-- the booked amount is the net turnover (im_Hundert), the foreign tax is paid abroad.
--
-- The recipient's keys of § 13b UStG (94 to 97) are told apart by the line of
-- the advance return their turnover and tax belong to: 94 services of a
-- business established in another EU state (46/47), 95 work deliveries and
-- services of a business established outside Germany (52/53), 96 construction
-- services, building cleaning and the other cases the 2016 form groups in
-- 84/85, 97 mobile phones, tablets, game consoles and integrated circuits
-- (78/79). All four book both taxes at once; the input tax is code 67. The
-- tax account of the owed tax carries a range, so that its lines follow the
-- key of their base line (Kennzifferbereiche 3000). Keys 27 and 28 are the
-- supplier's side: 60 for the cases of § 13b Abs. 5, 68 for mobile phones and
-- the like.
INSERT INTO Steuerschluessel
    (Steuerschluessel, Bezeichnung, Kurzbezeichnung, Steuersatz, IG_Erwerb, im_Hundert,
     SKR03_Steuerkonto, SKR03_Steuerkonto2, SKR04_Steuerkonto, SKR04_Steuerkonto2, SKR80_Steuerkonto, SKR80_Steuerkonto2,
     SKR81_Steuerkonto, SKR81_Steuerkonto2, VAKZUmsatz, VAKZSteuer, UStKZUmsatz, UStKZSteuer, Steuerart, Sortierung,
     Laenderkuerzel, Reduziert, Laendername, Necessary, Aktiv, gueltig_ab)
VALUES
    (0, 'Keine Umsatz- / Vorsteuer', 'keine', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'B', 0, '', 0, '', 1, 1, '2015-01-01 00:00:00'),
    (5, 'Umsatzsteuer 19 %', 'USt 19 %', 19, 0, 0, 1776, 0, 3806, 0, 3020, 0, 3020, 0, 81, 0, 177, 0, 'U', 10, '', 0, '', 1, 1, '2015-01-01 00:00:00'),
    (2, 'Umsatzsteuer 7 %', 'USt 7 %', 7, 0, 0, 1771, 0, 3801, 0, 3000, 0, 3000, 0, 86, 0, 275, 0, 'U', 20, '', 0, '', 1, 1, '2015-01-01 00:00:00'),
    (3, 'Umsatzsteuer 16 %', 'USt 16 %', 16, 0, 0, 1775, 0, 3805, 0, 3010, 0, 3010, 0, 35, 36, 155, 156, 'U', 30, '', 0, '', 0, 0, '2015-01-01 00:00:00'),
    (7, 'Vorsteuer 19 %', 'VSt 19 %', 19, 0, 0, 1576, 0, 1406, 0, 3080, 0, 3080, 0, 0, 66, 0, 320, 'V', 40, '', 0, '', 1, 1, '2015-01-01 00:00:00'),
    (8, 'Vorsteuer 7 %', 'VSt 7 %', 7, 0, 0, 1571, 0, 1401, 0, 3040, 0, 3040, 0, 0, 66, 0, 320, 'V', 50, '', 0, '', 1, 1, '2015-01-01 00:00:00'),
    (9, 'Vorsteuer 16 %', 'VSt 16 %', 16, 0, 0, 1575, 0, 1405, 0, 3070, 0, 3070, 0, 0, 66, 0, 320, 'V', 60, '', 0, '', 0, 0, '2015-01-01 00:00:00'),
    (19, 'Innergemeinschaftlicher Erwerb 19 % Vorsteuer und 19 % Umsatzsteuer', 'igE 19 %', 19, 1, 1, 1574, 1774, 1404, 3804, 3060, 3170, 3060, 3170, 89, 61, 781, 761, 'V', 70, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (18, 'Innergemeinschaftlicher Erwerb 7 % Vorsteuer und 7 % Umsatzsteuer', 'igE 7 %', 7, 1, 1, 1572, 1772, 1402, 3802, 3050, 3160, 3050, 3160, 93, 61, 793, 761, 'V', 80, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (94, 'Sonstige Leistungen eines im übrigen Gemeinschaftsgebiet ansässigen Unternehmers (§ 13b Abs. 1 UStG) 19 % Vorsteuer und 19 % Umsatzsteuer', '§ 13b Abs. 1 19 %', 19, 1, 1, 1577, 1787, 1407, 3837, 3090, 3180, 3090, 3180, 46, 67, 846, 467, 'V', 90, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (95, 'Werklieferungen und sonstige Leistungen eines im Ausland ansässigen Unternehmers (§ 13b Abs. 2 Nr. 1 und 5 Buchst. a UStG) 19 % Vorsteuer und 19 % Umsatzsteuer', '§ 13b Ausland 19 %', 19, 1, 1, 1577, 1787, 1407, 3837, 3090, 3180, 3090, 3180, 52, 67, 871, 467, 'V', 91, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (96, 'Bauleistungen, Gebäudereinigung und andere Leistungen nach § 13b Abs. 2 Nr. 4, 5 Buchst. b, Nr. 6 bis 9 und 11 UStG 19 % Vorsteuer und 19 % Umsatzsteuer', '§ 13b Bau u. a. 19 %', 19, 1, 1, 1577, 1787, 1407, 3837, 3090, 3180, 3090, 3180, 84, 67, 877, 467, 'V', 92, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (97, 'Lieferungen von Mobilfunkgeräten, Tablet-Computern, Spielekonsolen und integrierten Schaltkreisen (§ 13b Abs. 2 Nr. 10 UStG) 19 % Vorsteuer und 19 % Umsatzsteuer', '§ 13b Mobilfunk 19 %', 19, 1, 1, 1577, 1787, 1407, 3837, 3090, 3180, 3090, 3180, 78, 67, 855, 467, 'V', 93, '', 0, '', 0, 0, '2015-01-01 00:00:00'),
    (25, 'Steuerfreie innergemeinschaftliche Lieferung', 'igL steuerfrei', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 41, 0, 741, 0, 'U', 100, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (26, 'Im übrigen Gemeinschaftsgebiet steuerbare sonstige Leistung', 'EU-Leistung', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 21, 0, 721, 0, 'U', 110, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (27, 'Leistung, für die der Leistungsempfänger die Steuer schuldet (§ 13b UStG)', '§ 13b Leistender', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 0, 209, 0, 'U', 120, '', 0, '', 0, 1, '2015-01-01 00:00:00'),
    (28, 'Lieferung von Mobilfunkgeräten, Tablet-Computern, Spielekonsolen und integrierten Schaltkreisen, für die der Leistungsempfänger die Steuer schuldet (§ 13b Abs. 2 Nr. 10 UStG)', '§ 13b Mobilfunk Leistender', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 68, 0, 209, 0, 'U', 125, '', 0, '', 0, 0, '2015-01-01 00:00:00'),
    (100, 'Steuerpflichtige Lieferung/Leistung Österreich 20 %', 'AT 20 %', 20, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 200, 'AT', 0, 'Österreich', 0, 0, '2015-01-01 00:00:00'),
    (101, 'Steuerpflichtige Lieferung/Leistung Österreich 10 %', 'AT 10 %', 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 201, 'AT', 1, 'Österreich', 0, 0, '2015-01-01 00:00:00'),
    (102, 'Steuerpflichtige Lieferung/Leistung Belgien 21 %', 'BE 21 %', 21, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 202, 'BE', 0, 'Belgien', 0, 0, '2015-01-01 00:00:00'),
    (103, 'Steuerpflichtige Lieferung/Leistung Belgien 6 %', 'BE 6 %', 6, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 203, 'BE', 1, 'Belgien', 0, 0, '2015-01-01 00:00:00'),
    (104, 'Steuerpflichtige Lieferung/Leistung Frankreich 20 %', 'FR 20 %', 20, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 204, 'FR', 0, 'Frankreich', 0, 0, '2015-01-01 00:00:00'),
    (105, 'Steuerpflichtige Lieferung/Leistung Frankreich 5,5 %', 'FR 5,5 %', 5.5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 205, 'FR', 1, 'Frankreich', 0, 0, '2015-01-01 00:00:00'),
    (106, 'Steuerpflichtige Lieferung/Leistung Italien 22 %', 'IT 22 %', 22, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 206, 'IT', 0, 'Italien', 0, 0, '2015-01-01 00:00:00'),
    (107, 'Steuerpflichtige Lieferung/Leistung Italien 10 %', 'IT 10 %', 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 207, 'IT', 1, 'Italien', 0, 0, '2015-01-01 00:00:00'),
    (108, 'Steuerpflichtige Lieferung/Leistung Niederlande 21 %', 'NL 21 %', 21, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 208, 'NL', 0, 'Niederlande', 0, 0, '2015-01-01 00:00:00'),
    (109, 'Steuerpflichtige Lieferung/Leistung Niederlande 6 %', 'NL 6 %', 6, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 209, 'NL', 1, 'Niederlande', 0, 0, '2015-01-01 00:00:00'),
    (110, 'Steuerpflichtige Lieferung/Leistung Polen 23 %', 'PL 23 %', 23, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 210, 'PL', 0, 'Polen', 0, 0, '2015-01-01 00:00:00'),
    (111, 'Steuerpflichtige Lieferung/Leistung Polen 8 %', 'PL 8 %', 8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 211, 'PL', 1, 'Polen', 0, 0, '2015-01-01 00:00:00'),
    (112, 'Steuerpflichtige Lieferung/Leistung Spanien 21 %', 'ES 21 %', 21, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 212, 'ES', 0, 'Spanien', 0, 0, '2015-01-01 00:00:00'),
    (113, 'Steuerpflichtige Lieferung/Leistung Spanien 10 %', 'ES 10 %', 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 213, 'ES', 1, 'Spanien', 0, 0, '2015-01-01 00:00:00'),
    (114, 'Steuerpflichtige Lieferung/Leistung Dänemark 25 %', 'DK 25 %', 25, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 214, 'DK', 0, 'Dänemark', 0, 0, '2015-01-01 00:00:00'),
    (116, 'Steuerpflichtige Lieferung/Leistung Schweden 25 %', 'SE 25 %', 25, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 215, 'SE', 0, 'Schweden', 0, 0, '2015-01-01 00:00:00'),
    (117, 'Steuerpflichtige Lieferung/Leistung Schweden 12 %', 'SE 12 %', 12, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 216, 'SE', 1, 'Schweden', 0, 0, '2015-01-01 00:00:00'),
    (118, 'Steuerpflichtige Lieferung/Leistung Tschechien 21 %', 'CZ 21 %', 21, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 217, 'CZ', 0, 'Tschechien', 0, 0, '2015-01-01 00:00:00'),
    (119, 'Steuerpflichtige Lieferung/Leistung Tschechien 15 %', 'CZ 15 %', 15, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 218, 'CZ', 1, 'Tschechien', 0, 0, '2015-01-01 00:00:00'),
    (120, 'Steuerpflichtige Lieferung/Leistung Luxemburg 17 %', 'LU 17 %', 17, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 219, 'LU', 0, 'Luxemburg', 0, 0, '2015-01-01 00:00:00'),
    (121, 'Steuerpflichtige Lieferung/Leistung Luxemburg 8 %', 'LU 8 %', 8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 220, 'LU', 1, 'Luxemburg', 0, 0, '2015-01-01 00:00:00'),
    (122, 'Steuerpflichtige Lieferung/Leistung Irland 23 %', 'IE 23 %', 23, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 221, 'IE', 0, 'Irland', 0, 0, '2015-01-01 00:00:00'),
    (123, 'Steuerpflichtige Lieferung/Leistung Irland 13,5 %', 'IE 13,5 %', 13.5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 45, 0, 205, 0, 'U', 222, 'IE', 1, 'Irland', 0, 0, '2015-01-01 00:00:00');
