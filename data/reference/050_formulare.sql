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

-- Limit amounts of the two tax years this program serves: a case of 2015
-- takes the column Neujahr, a case of 2016 the column Vorjahr (the names come
-- from the program of the year before); rows with 0 are left out. The
-- bookkeeping duty of § 141 AO starts above 600 000 EUR turnover or 60 000 EUR
-- profit for years beginning after 31 December 2015 (500 000 EUR before).
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

-- Form 1 is the annual VAT return 2016 (USt 2 A). Its codes mirror the
-- advance return's: 177/275 (81/86), 155/156 (35/36), 741 (41), 744 (44),
-- 237 (43: exports under § 4 Nr. 1 a and § 4 Nr. 2 to 7, tax-free with
-- input-tax deduction), 286 (§ 4 Nr. 12 letting only) and 287 (the other
-- tax-free supplies without deduction; both in 48), 791/781/793 (91/89/93),
-- 742 (42), and the recipient's tax of § 13b by the sections of the
-- advance return: 846/847 (46/47, § 13b Abs. 1), 871/872 (52/53, Abs. 2
-- Nr. 1), 873/874 (73/74, Nr. 2 and 3), 855/856 (78/79, Nr. 10), 877/878
-- (84/85, Nr. 4, 5 b, 6 to 9 and 11); 209 (60 and 68, the supplier's side),
-- 721 (21), 205 (45); input tax 320 (66), 761 (61), 762 (62), 467 (67).
-- Checked against the published list of the annual return's codes with
-- their texts (a later edition of the form): 177, 275, 155, 156, 741, 744,
-- 742, 286, 791, 781, 793, 846, 847, 209, 721, 205, 320, 761, 762, 467;
-- 237 as the sum of the further tax-free supplies with deduction and
-- 873/874, 877/878 as § 13b codes with the scope of that later edition.
-- Not confirmed for the 2016 edition: 287, 871/872, 855/856 and the 2016
-- scope of 873/874 (Nr. 2 and 3) and 877/878 (without Nr. 1, 2 and 10).
--
-- Form 3 is the Anlage EÜR 2016. It has no lines of their own for current
-- IT costs or for work equipment such as office supplies, postage and
-- literature (those lines, 228 and 229, came with a later edition of the
-- form): in 2016 these expenses are other unrestricted business expenses,
-- line 183.
--
-- HabenPositiv marks the codes fed by debit lines (input tax, acquisitions,
-- expenses): the computation adds credit amounts positive and debit amounts
-- negative and negates the sum of such a code, so that it comes out positive.
INSERT INTO eurFormulare (Formular, Kennziffer, Bezeichnung, HabenPositiv, Variable, gueltig_ab) VALUES
    (0, 21, 'Nicht steuerbare sonstige Leistungen gem. § 18b Satz 1 Nr. 2 UStG (Leistungsort im übrigen Gemeinschaftsgebiet)', 0, 'va_Kz21', '2015-01-01 00:00:00'),
    (0, 35, 'Steuerpflichtige Umsätze zu anderen Steuersätzen (Bemessungsgrundlage)', 0, 'va_Kz35', '2015-01-01 00:00:00'),
    (0, 36, 'Steuer auf Umsätze zu anderen Steuersätzen', 0, 'va_Kz36', '2015-01-01 00:00:00'),
    (0, 39, 'Abzug der festgesetzten Sondervorauszahlung für Dauerfristverlängerung', 1, 'va_Kz39', '2015-01-01 00:00:00'),
    (0, 41, 'Innergemeinschaftliche Lieferungen an Abnehmer mit USt-IdNr.', 0, 'va_Kz41', '2015-01-01 00:00:00'),
    (0, 42, 'Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften', 0, 'va_Kz42', '2015-01-01 00:00:00'),
    (0, 43, 'Weitere steuerfreie Umsätze mit Vorsteuerabzug', 0, 'va_Kz43', '2015-01-01 00:00:00'),
    (0, 44, 'Innergemeinschaftliche Lieferungen neuer Fahrzeuge an Abnehmer ohne USt-IdNr.', 0, 'va_Kz44', '2015-01-01 00:00:00'),
    (0, 45, 'Übrige nicht steuerbare Umsätze (Leistungsort nicht im Inland)', 0, 'va_Kz45', '2015-01-01 00:00:00'),
    (0, 46, 'Steuerpflichtige sonstige Leistungen eines im übrigen Gemeinschaftsgebiet ansässigen Unternehmers (§ 13b Abs. 1 UStG), Bemessungsgrundlage', 1, 'va_Kz46', '2015-01-01 00:00:00'),
    (0, 47, 'Steuer auf Leistungen nach § 13b Abs. 1 UStG', 0, 'va_Kz47', '2015-01-01 00:00:00'),
    (0, 48, 'Steuerfreie Umsätze ohne Vorsteuerabzug', 0, 'va_Kz48', '2015-01-01 00:00:00'),
    (0, 49, 'Innergemeinschaftliche Lieferungen neuer Fahrzeuge außerhalb eines Unternehmens', 0, 'va_Kz49', '2015-01-01 00:00:00'),
    (0, 52, 'Andere Leistungen eines im Ausland ansässigen Unternehmers (§ 13b Abs. 2 Nr. 1 und 5 Buchst. a UStG), Bemessungsgrundlage', 1, 'va_Kz52', '2015-01-01 00:00:00'),
    (0, 53, 'Steuer auf Leistungen nach § 13b Abs. 2 Nr. 1 und 5 Buchst. a UStG', 0, 'va_Kz53', '2015-01-01 00:00:00'),
    (0, 59, 'Vorsteuerabzug für innergemeinschaftliche Lieferungen neuer Fahrzeuge außerhalb eines Unternehmens', 1, 'va_Kz59', '2015-01-01 00:00:00'),
    (0, 60, 'Übrige steuerpflichtige Umsätze, für die der Leistungsempfänger die Steuer nach § 13b Abs. 5 UStG schuldet', 0, 'va_Kz60', '2015-01-01 00:00:00'),
    (0, 61, 'Vorsteuerbeträge aus dem innergemeinschaftlichen Erwerb von Gegenständen', 1, 'va_Kz61', '2015-01-01 00:00:00'),
    (0, 62, 'Entstandene Einfuhrumsatzsteuer', 1, 'va_Kz62', '2015-01-01 00:00:00'),
    (0, 63, 'Vorsteuerbeträge, die nach allgemeinen Durchschnittssätzen berechnet sind', 1, 'va_Kz63', '2015-01-01 00:00:00'),
    (0, 64, 'Berichtigung des Vorsteuerabzugs (§ 15a UStG)', 1, 'va_Kz64', '2015-01-01 00:00:00'),
    (0, 65, 'Steuer infolge Wechsels der Besteuerungsform sowie Nachsteuer auf versteuerte Anzahlungen', 0, 'va_Kz65', '2015-01-01 00:00:00'),
    (0, 66, 'Vorsteuerbeträge aus Rechnungen von anderen Unternehmern', 1, 'va_Kz66', '2015-01-01 00:00:00'),
    (0, 67, 'Vorsteuerbeträge aus Leistungen im Sinne des § 13b UStG', 1, 'va_Kz67', '2015-01-01 00:00:00'),
    (0, 68, 'Steuerpflichtige Lieferungen von Mobilfunkgeräten, Tablet-Computern, Spielekonsolen und integrierten Schaltkreisen, für die der Leistungsempfänger die Steuer nach § 13b Abs. 2 Nr. 10 UStG schuldet', 0, 'va_Kz68', '2015-01-01 00:00:00'),
    (0, 69, 'In Rechnungen unrichtig oder unberechtigt ausgewiesene Steuerbeträge (§ 14c UStG)', 0, 'va_Kz69', '2015-01-01 00:00:00'),
    (0, 73, 'Lieferungen sicherungsübereigneter Gegenstände und Umsätze, die unter das GrEStG fallen (§ 13b Abs. 2 Nr. 2 und 3 UStG), Bemessungsgrundlage', 1, 'va_Kz73', '2015-01-01 00:00:00'),
    (0, 74, 'Steuer auf Kennzahl 73', 0, 'va_Kz74', '2015-01-01 00:00:00'),
    (0, 76, 'Umsätze, für die eine Steuer nach § 24 UStG zu entrichten ist, Bemessungsgrundlage', 0, 'va_Kz76', '2015-01-01 00:00:00'),
    (0, 80, 'Steuer auf Kennzahl 76', 0, 'va_Kz80', '2015-01-01 00:00:00'),
    (0, 77, 'Lieferungen land- und forstwirtschaftlicher Betriebe nach § 24 UStG an Abnehmer mit USt-IdNr.', 0, 'va_Kz77', '2015-01-01 00:00:00'),
    (0, 78, 'Lieferungen von Mobilfunkgeräten, Tablet-Computern, Spielekonsolen und integrierten Schaltkreisen (§ 13b Abs. 2 Nr. 10 UStG), Bemessungsgrundlage', 1, 'va_Kz78', '2015-01-01 00:00:00'),
    (0, 79, 'Steuer auf Lieferungen nach § 13b Abs. 2 Nr. 10 UStG', 0, 'va_Kz79', '2015-01-01 00:00:00'),
    (0, 81, 'Steuerpflichtige Umsätze zum Steuersatz von 19 %', 0, 'va_Kz81', '2015-01-01 00:00:00'),
    (0, 83, 'Verbleibende Umsatzsteuer-Vorauszahlung bzw. verbleibender Überschuss', 0, 'va_Kz83', '2015-01-01 00:00:00'),
    (0, 84, 'Andere Leistungen (§ 13b Abs. 2 Nr. 4, 5 Buchst. b, Nr. 6 bis 9 und 11 UStG), Bemessungsgrundlage', 1, 'va_Kz84', '2015-01-01 00:00:00'),
    (0, 85, 'Steuer auf andere Leistungen nach § 13b Abs. 2 Nr. 4, 5 Buchst. b, Nr. 6 bis 9 und 11 UStG', 0, 'va_Kz85', '2015-01-01 00:00:00'),
    (0, 86, 'Steuerpflichtige Umsätze zum Steuersatz von 7 %', 0, 'va_Kz86', '2015-01-01 00:00:00'),
    (0, 89, 'Steuerpflichtige innergemeinschaftliche Erwerbe zum Steuersatz von 19 %', 1, 'va_Kz89', '2015-01-01 00:00:00'),
    (0, 91, 'Steuerfreie innergemeinschaftliche Erwerbe', 1, 'va_Kz91', '2015-01-01 00:00:00'),
    (0, 93, 'Steuerpflichtige innergemeinschaftliche Erwerbe zum Steuersatz von 7 %', 1, 'va_Kz93', '2015-01-01 00:00:00'),
    (0, 94, 'Innergemeinschaftliche Erwerbe neuer Fahrzeuge von Lieferern ohne USt-IdNr., Bemessungsgrundlage', 1, 'va_Kz94', '2015-01-01 00:00:00'),
    (0, 95, 'Innergemeinschaftliche Erwerbe zu anderen Steuersätzen, Bemessungsgrundlage', 1, 'va_Kz95', '2015-01-01 00:00:00'),
    (0, 96, 'Steuer auf Kennzahl 94', 0, 'va_Kz96', '2015-01-01 00:00:00'),
    (0, 98, 'Steuer auf Kennzahl 95', 0, 'va_Kz98', '2015-01-01 00:00:00'),
    (1, 177, 'Lieferungen und sonstige Leistungen zu 19 % (Bemessungsgrundlage)', 0, 'ust_Kz177', '2015-01-01 00:00:00'),
    (1, 275, 'Lieferungen und sonstige Leistungen zu 7 % (Bemessungsgrundlage)', 0, 'ust_Kz275', '2015-01-01 00:00:00'),
    (1, 155, 'Umsätze zu anderen Steuersätzen (Bemessungsgrundlage)', 0, 'ust_Kz155', '2015-01-01 00:00:00'),
    (1, 156, 'Steuer auf Umsätze zu anderen Steuersätzen', 0, 'ust_Kz156', '2015-01-01 00:00:00'),
    (1, 741, 'Steuerfreie innergemeinschaftliche Lieferungen an Abnehmer mit USt-IdNr. (§ 4 Nr. 1 Buchst. b UStG)', 0, 'ust_Kz741', '2015-01-01 00:00:00'),
    (1, 744, 'Steuerfreie innergemeinschaftliche Lieferungen neuer Fahrzeuge an Abnehmer ohne USt-IdNr.', 0, 'ust_Kz744', '2015-01-01 00:00:00'),
    (1, 237, 'Weitere steuerfreie Umsätze mit Vorsteuerabzug (Ausfuhrlieferungen nach § 4 Nr. 1 Buchst. a UStG, Umsätze nach § 4 Nr. 2 bis 7 UStG)', 0, 'ust_Kz237', '2015-01-01 00:00:00'),
    (1, 286, 'Steuerfreie Umsätze ohne Vorsteuerabzug nach § 4 Nr. 12 UStG (Vermietung und Verpachtung von Grundstücken)', 0, 'ust_Kz286', '2015-01-01 00:00:00'),
    (1, 287, 'Steuerfreie Umsätze ohne Vorsteuerabzug nach anderen Nummern des § 4 UStG', 0, 'ust_Kz287', '2015-01-01 00:00:00'),
    (1, 791, 'Steuerfreie innergemeinschaftliche Erwerbe (§ 4b UStG)', 1, 'ust_Kz791', '2015-01-01 00:00:00'),
    (1, 781, 'Steuerpflichtige innergemeinschaftliche Erwerbe zum Steuersatz von 19 % (Bemessungsgrundlage)', 1, 'ust_Kz781', '2015-01-01 00:00:00'),
    (1, 793, 'Steuerpflichtige innergemeinschaftliche Erwerbe zum Steuersatz von 7 % (Bemessungsgrundlage)', 1, 'ust_Kz793', '2015-01-01 00:00:00'),
    (1, 742, 'Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften (§ 25b Abs. 2 UStG)', 0, 'ust_Kz742', '2015-01-01 00:00:00'),
    (1, 846, 'Sonstige Leistungen eines im übrigen Gemeinschaftsgebiet ansässigen Unternehmers (§ 13b Abs. 1 UStG), Bemessungsgrundlage', 1, 'ust_Kz846', '2015-01-01 00:00:00'),
    (1, 847, 'Steuer auf Leistungen nach § 13b Abs. 1 UStG', 0, 'ust_Kz847', '2015-01-01 00:00:00'),
    (1, 871, 'Werklieferungen und sonstige Leistungen eines im Ausland ansässigen Unternehmers (§ 13b Abs. 2 Nr. 1 und 5 Buchst. a UStG), Bemessungsgrundlage', 1, 'ust_Kz871', '2015-01-01 00:00:00'),
    (1, 872, 'Steuer auf Leistungen nach § 13b Abs. 2 Nr. 1 und 5 Buchst. a UStG', 0, 'ust_Kz872', '2015-01-01 00:00:00'),
    (1, 873, 'Lieferungen sicherungsübereigneter Gegenstände und Umsätze, die unter das GrEStG fallen (§ 13b Abs. 2 Nr. 2 und 3 UStG), Bemessungsgrundlage', 1, 'ust_Kz873', '2015-01-01 00:00:00'),
    (1, 874, 'Steuer auf Umsätze nach § 13b Abs. 2 Nr. 2 und 3 UStG', 0, 'ust_Kz874', '2015-01-01 00:00:00'),
    (1, 855, 'Lieferungen von Mobilfunkgeräten, Tablet-Computern, Spielekonsolen und integrierten Schaltkreisen (§ 13b Abs. 2 Nr. 10 UStG), Bemessungsgrundlage', 1, 'ust_Kz855', '2015-01-01 00:00:00'),
    (1, 856, 'Steuer auf Lieferungen nach § 13b Abs. 2 Nr. 10 UStG', 0, 'ust_Kz856', '2015-01-01 00:00:00'),
    (1, 877, 'Andere Leistungen (§ 13b Abs. 2 Nr. 4, 5 Buchst. b, Nr. 6 bis 9 und 11 UStG), Bemessungsgrundlage', 1, 'ust_Kz877', '2015-01-01 00:00:00'),
    (1, 878, 'Steuer auf andere Leistungen nach § 13b Abs. 2 Nr. 4, 5 Buchst. b, Nr. 6 bis 9 und 11 UStG', 0, 'ust_Kz878', '2015-01-01 00:00:00'),
    (1, 209, 'Steuerpflichtige Umsätze, für die der Leistungsempfänger die Steuer nach § 13b Abs. 5 UStG schuldet', 0, 'ust_Kz209', '2015-01-01 00:00:00'),
    (1, 721, 'Nicht steuerbare sonstige Leistungen gem. § 18b Satz 1 Nr. 2 UStG (Leistungsort im übrigen Gemeinschaftsgebiet)', 0, 'ust_Kz721', '2015-01-01 00:00:00'),
    (1, 205, 'Übrige nicht steuerbare Umsätze (Leistungsort nicht im Inland)', 0, 'ust_Kz205', '2015-01-01 00:00:00'),
    (1, 320, 'Vorsteuerbeträge aus Rechnungen von anderen Unternehmern (§ 15 Abs. 1 Satz 1 Nr. 1 UStG)', 1, 'ust_Kz320', '2015-01-01 00:00:00'),
    (1, 761, 'Vorsteuerbeträge aus innergemeinschaftlichen Erwerben von Gegenständen (§ 15 Abs. 1 Satz 1 Nr. 3 UStG)', 1, 'ust_Kz761', '2015-01-01 00:00:00'),
    (1, 762, 'Entstandene Einfuhrumsatzsteuer (§ 15 Abs. 1 Satz 1 Nr. 2 UStG)', 1, 'ust_Kz762', '2015-01-01 00:00:00'),
    (1, 467, 'Vorsteuerbeträge aus Leistungen im Sinne des § 13b UStG (§ 15 Abs. 1 Satz 1 Nr. 4 UStG)', 1, 'ust_Kz467', '2015-01-01 00:00:00'),
    (2, 10, 'Gewinn aus Gewerbebetrieb', 0, 'gst1_Gewinn', '2015-01-01 00:00:00'),
    (2, 20, 'Entgelte für Schulden (Hinzurechnung § 8 Nr. 1a GewStG)', 1, 'gst1_Schuldzinsen', '2015-01-01 00:00:00'),
    (2, 30, 'Miet- und Pachtzinsen für bewegliche Wirtschaftsgüter (§ 8 Nr. 1d GewStG)', 1, 'gst1_MieteBeweglich', '2015-01-01 00:00:00'),
    (2, 40, 'Miet- und Pachtzinsen für unbewegliche Wirtschaftsgüter (§ 8 Nr. 1e GewStG)', 1, 'gst1_MieteUnbeweglich', '2015-01-01 00:00:00'),
    (2, 50, 'Entgelte für die Überlassung von Rechten (§ 8 Nr. 1f GewStG)', 1, 'gst1_Lizenzen', '2015-01-01 00:00:00'),
    (3, 111, 'Betriebseinnahmen als umsatzsteuerlicher Kleinunternehmer', 0, 'eur2_Kz111', '2015-01-01 00:00:00'),
    (3, 104, 'Betriebseinnahmen als Land- und Forstwirt (§ 24 UStG)', 0, 'eur2_Kz104', '2015-01-01 00:00:00'),
    (3, 112, 'Umsatzsteuerpflichtige Betriebseinnahmen', 0, 'eur2_Kz112', '2015-01-01 00:00:00'),
    (3, 103, 'Umsatzsteuerfreie, nicht umsatzsteuerbare Betriebseinnahmen und Betriebseinnahmen nach § 13b UStG', 0, 'eur2_Kz103', '2015-01-01 00:00:00'),
    (3, 140, 'Vereinnahmte Umsatzsteuer sowie Umsatzsteuer auf unentgeltliche Wertabgaben', 0, 'eur2_Kz140', '2015-01-01 00:00:00'),
    (3, 141, 'Vom Finanzamt erstattete und ggf. verrechnete Umsatzsteuer', 0, 'eur2_Kz141', '2015-01-01 00:00:00'),
    (3, 102, 'Veräußerung oder Entnahme von Anlagevermögen', 0, 'eur2_Kz102', '2015-01-01 00:00:00'),
    (3, 106, 'Private Kfz-Nutzung', 0, 'eur2_Kz106', '2015-01-01 00:00:00'),
    (3, 108, 'Sonstige Sach-, Nutzungs- und Leistungsentnahmen', 0, 'eur2_Kz108', '2015-01-01 00:00:00'),
    (3, 159, 'Summe Betriebseinnahmen', 0, 'eur1_Betriebseinnahmen', '2015-01-01 00:00:00'),
    (3, 100, 'Waren, Rohstoffe und Hilfsstoffe einschließlich der Nebenkosten', 1, 'eur3_Kz100', '2015-01-01 00:00:00'),
    (3, 110, 'Bezogene Fremdleistungen', 1, 'eur3_Kz110', '2015-01-01 00:00:00'),
    (3, 120, 'Ausgaben für eigenes Personal', 1, 'eur3_Kz120', '2015-01-01 00:00:00'),
    (3, 136, 'AfA auf unbewegliche Wirtschaftsgüter', 1, 'eur3_Kz136', '2015-01-01 00:00:00'),
    (3, 131, 'AfA auf immaterielle Wirtschaftsgüter', 1, 'eur3_Kz131', '2015-01-01 00:00:00'),
    (3, 130, 'AfA auf bewegliche Wirtschaftsgüter', 1, 'eur3_Kz130', '2015-01-01 00:00:00'),
    (3, 134, 'Sonderabschreibungen nach § 7g EStG', 1, 'eur3_Kz134', '2015-01-01 00:00:00'),
    (3, 138, 'Herabsetzungsbeträge nach § 7g Abs. 2 EStG', 1, 'eur3_Kz138', '2015-01-01 00:00:00'),
    (3, 132, 'Aufwendungen für geringwertige Wirtschaftsgüter', 1, 'eur3_Kz132', '2015-01-01 00:00:00'),
    (3, 137, 'Auflösung Sammelposten nach § 6 Abs. 2a EStG', 1, 'eur3_Kz137', '2015-01-01 00:00:00'),
    (3, 135, 'Restbuchwert der ausgeschiedenen Anlagegüter', 1, 'eur3_Kz135', '2015-01-01 00:00:00'),
    (3, 150, 'Miete/Pacht für Geschäftsräume und betrieblich genutzte Grundstücke', 1, 'eur3_Kz150', '2015-01-01 00:00:00'),
    (3, 151, 'Sonstige Aufwendungen für betrieblich genutzte Grundstücke', 1, 'eur3_Kz151', '2015-01-01 00:00:00'),
    (3, 280, 'Aufwendungen für Telekommunikation', 1, 'eur3_Kz280', '2015-01-01 00:00:00'),
    (3, 221, 'Übernachtungs- und Reisenebenkosten bei Geschäftsreisen des Steuerpflichtigen', 1, 'eur3_Kz221', '2015-01-01 00:00:00'),
    (3, 281, 'Fortbildungskosten', 1, 'eur3_Kz281', '2015-01-01 00:00:00'),
    (3, 194, 'Rechts- und Steuerberatung, Buchführung', 1, 'eur3_Kz194', '2015-01-01 00:00:00'),
    (3, 222, 'Miete/Leasing für bewegliche Wirtschaftsgüter (ohne Kraftfahrzeuge)', 1, 'eur3_Kz222', '2015-01-01 00:00:00'),
    (3, 223, 'Beiträge, Gebühren, Abgaben und Versicherungen', 1, 'eur3_Kz223', '2015-01-01 00:00:00'),
    (3, 224, 'Werbekosten', 1, 'eur3_Kz224', '2015-01-01 00:00:00'),
    (3, 234, 'Schuldzinsen', 1, 'eur3_Kz234', '2015-01-01 00:00:00'),
    (3, 185, 'Gezahlte Vorsteuerbeträge', 1, 'eur3_Kz185', '2015-01-01 00:00:00'),
    (3, 186, 'An das Finanzamt gezahlte und ggf. verrechnete Umsatzsteuer', 1, 'eur3_Kz186', '2015-01-01 00:00:00'),
    (3, 183, 'Übrige unbeschränkt abziehbare Betriebsausgaben', 1, 'eur3_Kz183', '2015-01-01 00:00:00'),
    (3, 174, 'Geschenke (abziehbar)', 1, 'eur3_Kz174', '2015-01-01 00:00:00'),
    (3, 175, 'Bewirtungsaufwendungen (abziehbar)', 1, 'eur3_Kz175', '2015-01-01 00:00:00'),
    (3, 171, 'Verpflegungsmehraufwendungen', 1, 'eur3_Kz171', '2015-01-01 00:00:00'),
    (3, 172, 'Aufwendungen für ein häusliches Arbeitszimmer (abziehbar)', 1, 'eur3_Kz172', '2015-01-01 00:00:00'),
    (3, 162, 'Aufwendungen für ein häusliches Arbeitszimmer (nicht abziehbar)', 1, 'eur3_Kz162', '2015-01-01 00:00:00'),
    (3, 164, 'Geschenke (nicht abziehbar)', 1, 'eur3_Kz164', '2015-01-01 00:00:00'),
    (3, 165, 'Bewirtungsaufwendungen (nicht abziehbar)', 1, 'eur3_Kz165', '2015-01-01 00:00:00'),
    (3, 168, 'Sonstige beschränkt abziehbare Betriebsausgaben (nicht abziehbar)', 1, 'eur3_Kz168', '2015-01-01 00:00:00'),
    (3, 217, 'Gewerbesteuer (nicht abziehbar)', 1, 'eur3_Kz217', '2015-01-01 00:00:00'),
    (3, 144, 'Leasingkosten Kraftfahrzeuge', 1, 'eur3_Kz144', '2015-01-01 00:00:00'),
    (3, 145, 'Steuern, Versicherungen und Maut Kraftfahrzeuge', 1, 'eur3_Kz145', '2015-01-01 00:00:00'),
    (3, 146, 'Sonstige tatsächliche Fahrtkosten ohne AfA und Zinsen (z. B. Reparaturen, Treibstoff, Flugstrecken, öffentliche Verkehrsmittel)', 1, 'eur3_Kz146', '2015-01-01 00:00:00'),
    (3, 147, 'Fahrtkosten für nicht zum Betriebsvermögen gehörende Fahrzeuge (Nutzungseinlage)', 1, 'eur3_Kz147', '2015-01-01 00:00:00'),
    (3, 142, 'Fahrtkosten für Wege zwischen Wohnung und Betriebsstätte; Familienheimfahrten (pauschaliert oder tatsächlich)', 0, 'eur3_Kz142', '2015-01-01 00:00:00'),
    (3, 176, 'Mindestens abziehbare Fahrtkosten für Wege zwischen Wohnung und Betriebsstätte (Entfernungspauschale); Familienheimfahrten', 1, 'eur3_Kz176', '2015-01-01 00:00:00'),
    (3, 187, 'Abzugsbeträge für Investitionen nach § 7g Abs. 1 EStG', 1, 'eur1_Investitionsabzug', '2015-01-01 00:00:00'),
    (3, 188, 'Hinzurechnung der Investitionsabzugsbeträge nach § 7g Abs. 2 EStG', 0, 'eur1_Hinzurechnung', '2015-01-01 00:00:00'),
    (3, 199, 'Summe Betriebsausgaben', 1, 'eur1_Betriebsausgaben', '2015-01-01 00:00:00'),
    (3, 219, 'Steuerpflichtiger Gewinn/Verlust', 0, 'eur1_GewinnVerlust', '2015-01-01 00:00:00');

-- Range 1000: revenue accounts whose code follows the key of the line; range
-- 2000: expense accounts, whose acquisitions and reverse-charge purchases feed
-- the base codes (their tax lines feed the tax codes through the tax accounts);
-- range 3000: the account of the tax a recipient owes under § 13b UStG, whose
-- tax lines follow the key of their base line. The annual return (form 1)
-- has the same sections of § 13b as the advance return, each with its own
-- pair of codes (see the note on form 1 above the codes).
INSERT INTO Kennzifferbereiche (Bereichsnummer, Steuerschluessel, Formular, Kennziffer, gueltig_ab) VALUES
    (1000, 5, 0, 81, '2015-01-01 00:00:00'),
    (1000, 2, 0, 86, '2015-01-01 00:00:00'),
    (1000, 3, 0, 35, '2015-01-01 00:00:00'),
    (1000, 25, 0, 41, '2015-01-01 00:00:00'),
    (1000, 26, 0, 21, '2015-01-01 00:00:00'),
    (1000, 27, 0, 60, '2015-01-01 00:00:00'),
    (1000, 28, 0, 68, '2015-01-01 00:00:00'),
    (1000, 999999, 0, 0, '2015-01-01 00:00:00'),
    (2000, 19, 0, 89, '2015-01-01 00:00:00'),
    (2000, 18, 0, 93, '2015-01-01 00:00:00'),
    (2000, 94, 0, 46, '2015-01-01 00:00:00'),
    (2000, 95, 0, 52, '2015-01-01 00:00:00'),
    (2000, 96, 0, 84, '2015-01-01 00:00:00'),
    (2000, 97, 0, 78, '2015-01-01 00:00:00'),
    (2000, 999999, 0, 0, '2015-01-01 00:00:00'),
    (3000, 94, 0, 47, '2015-01-01 00:00:00'),
    (3000, 95, 0, 53, '2015-01-01 00:00:00'),
    (3000, 96, 0, 85, '2015-01-01 00:00:00'),
    (3000, 97, 0, 79, '2015-01-01 00:00:00'),
    (3000, 999999, 0, 47, '2015-01-01 00:00:00'),
    (1000, 5, 1, 177, '2015-01-01 00:00:00'),
    (1000, 2, 1, 275, '2015-01-01 00:00:00'),
    (1000, 3, 1, 155, '2015-01-01 00:00:00'),
    (1000, 25, 1, 741, '2015-01-01 00:00:00'),
    (1000, 26, 1, 721, '2015-01-01 00:00:00'),
    (1000, 27, 1, 209, '2015-01-01 00:00:00'),
    (1000, 28, 1, 209, '2015-01-01 00:00:00'),
    (1000, 999999, 1, 0, '2015-01-01 00:00:00'),
    (2000, 19, 1, 781, '2015-01-01 00:00:00'),
    (2000, 18, 1, 793, '2015-01-01 00:00:00'),
    (2000, 94, 1, 846, '2015-01-01 00:00:00'),
    (2000, 95, 1, 871, '2015-01-01 00:00:00'),
    (2000, 96, 1, 877, '2015-01-01 00:00:00'),
    (2000, 97, 1, 855, '2015-01-01 00:00:00'),
    (2000, 999999, 1, 0, '2015-01-01 00:00:00'),
    (3000, 94, 1, 847, '2015-01-01 00:00:00'),
    (3000, 95, 1, 872, '2015-01-01 00:00:00'),
    (3000, 96, 1, 878, '2015-01-01 00:00:00'),
    (3000, 97, 1, 856, '2015-01-01 00:00:00'),
    (3000, 999999, 1, 847, '2015-01-01 00:00:00');

INSERT INTO Sperrgrenzen (Bezeichnung, Vorjahr, Neujahr, gueltig_ab) VALUES
    ('Geringwertige Wirtschaftsgüter: Sofortabschreibung bis (netto)', 410, 410, '2015-01-01 00:00:00'),
    ('Sammelposten: Untergrenze (netto)', 150, 150, '2015-01-01 00:00:00'),
    ('Sammelposten: Obergrenze (netto)', 1000, 1000, '2015-01-01 00:00:00'),
    ('Geschenke an Geschäftsfreunde je Empfänger und Jahr (netto)', 35, 35, '2015-01-01 00:00:00'),
    ('Investitionsabzugsbetrag: Gewinngrenze bei Einnahmenüberschussrechnung', 100000, 100000, '2015-01-01 00:00:00'),
    ('Investitionsabzugsbetrag: Höchstbetrag je Betrieb', 200000, 200000, '2015-01-01 00:00:00'),
    ('Kleinunternehmer: Umsatzgrenze Vorjahr', 17500, 17500, '2015-01-01 00:00:00'),
    ('Kleinunternehmer: voraussichtlicher Umsatz laufendes Jahr', 50000, 50000, '2015-01-01 00:00:00'),
    ('Bewirtung: abziehbarer Anteil in Prozent', 70, 70, '2015-01-01 00:00:00'),
    ('Verpflegungsmehraufwand bei mehr als 8 Stunden Abwesenheit', 12, 12, '2015-01-01 00:00:00'),
    ('Verpflegungsmehraufwand bei 24 Stunden Abwesenheit', 24, 24, '2015-01-01 00:00:00'),
    ('Entfernungspauschale je Entfernungskilometer', 0.3, 0.3, '2015-01-01 00:00:00'),
    ('Häusliches Arbeitszimmer: Höchstbetrag ohne Mittelpunkt der Tätigkeit', 1250, 1250, '2015-01-01 00:00:00'),
    ('Buchführungspflicht: Umsatzgrenze', 600000, 500000, '2015-01-01 00:00:00'),
    ('Buchführungspflicht: Gewinngrenze', 60000, 60000, '2015-01-01 00:00:00'),
    ('Umsatzsteuer-Voranmeldung monatlich ab Vorjahressteuer über', 7500, 7500, '2015-01-01 00:00:00'),
    ('Umsatzsteuer-Voranmeldung entfällt bei Vorjahressteuer bis', 1000, 1000, '2015-01-01 00:00:00');

-- Excerpt of the official depreciation table for assets in general use (AfA-Tabelle AV):
-- dauer the period before 2001, dauer2001 the period of the table in force since 2001.
INSERT INTO AfA_Zeitraum (nr, amtlAFAT, Gut, dauer, dauer2001, ID, gueltig_ab) VALUES
    ('001', '3.1', 'Personenkraftwagen und Kombiwagen', 5, 6, 1, '2015-01-01 00:00:00'),
    ('002', '3.2.1', 'Motorräder, Motorroller', 7, 7, 2, '2015-01-01 00:00:00'),
    ('003', '3.3', 'Lastkraftwagen, Sattelschlepper', 9, 9, 3, '2015-01-01 00:00:00'),
    ('004', '3.4', 'Anhänger, Auflieger, Wechselaufbauten', 11, 11, 4, '2015-01-01 00:00:00'),
    ('005', '3.5', 'Omnibusse', 9, 9, 5, '2015-01-01 00:00:00'),
    ('006', '3.6', 'Sonderfahrzeuge', 8, 8, 6, '2015-01-01 00:00:00'),
    ('007', '3.9', 'Fahrräder', 7, 7, 7, '2015-01-01 00:00:00'),
    ('008', '5.1', 'Kompressoren', 10, 10, 8, '2015-01-01 00:00:00'),
    ('009', '5.2', 'Hebebühnen', 12, 12, 9, '2015-01-01 00:00:00'),
    ('010', '5.3', 'Stromaggregate', 15, 19, 10, '2015-01-01 00:00:00'),
    ('011', '5.8', 'Reinigungsgeräte (Hochdruckreiniger)', 5, 5, 11, '2015-01-01 00:00:00'),
    ('012', '6.1', 'Wasserspender, Kaffeeautomaten', 5, 5, 12, '2015-01-01 00:00:00'),
    ('013', '6.2', 'Kühlschränke', 10, 10, 13, '2015-01-01 00:00:00'),
    ('014', '6.6', 'Waren- und Verkaufsautomaten', 5, 5, 14, '2015-01-01 00:00:00'),
    ('015', '6.8', 'Ladeneinbauten, Gaststätteneinbauten', 8, 8, 15, '2015-01-01 00:00:00'),
    ('016', '6.9', 'Schaufensteranlagen', 8, 8, 16, '2015-01-01 00:00:00'),
    ('017', '6.10', 'Lichtreklame', 9, 9, 17, '2015-01-01 00:00:00'),
    ('018', '6.11', 'Beleuchtung', 9, 9, 18, '2015-01-01 00:00:00'),
    ('019', '6.12', 'Klimageräte (mobil)', 11, 11, 19, '2015-01-01 00:00:00'),
    ('020', '6.13', 'Büromöbel', 10, 13, 20, '2015-01-01 00:00:00'),
    ('021', '6.14.1', 'Fernsprechnebenstellenanlagen', 8, 10, 21, '2015-01-01 00:00:00'),
    ('022', '6.14.2', 'Kommunikationsendgeräte allgemein', 5, 8, 22, '2015-01-01 00:00:00'),
    ('023', '6.14.3', 'Mobilfunkendgeräte', 4, 5, 23, '2015-01-01 00:00:00'),
    ('024', '6.14.4', 'Textendeinrichtungen (Faxgeräte)', 5, 6, 24, '2015-01-01 00:00:00'),
    ('025', '6.14.5', 'Personalcomputer, Notebooks, Workstations', 3, 3, 25, '2015-01-01 00:00:00'),
    ('026', '6.14.6', 'Peripheriegeräte (Drucker, Scanner, Bildschirme)', 3, 3, 26, '2015-01-01 00:00:00'),
    ('027', '6.14.7', 'Großrechner', 7, 7, 27, '2015-01-01 00:00:00'),
    ('028', '6.15.1', 'Beschallungsanlagen', 9, 9, 28, '2015-01-01 00:00:00'),
    ('029', '6.15.2', 'Foto-, Film-, Video- und Audiogeräte', 7, 7, 29, '2015-01-01 00:00:00'),
    ('030', '6.16', 'Registrierkassen', 5, 6, 30, '2015-01-01 00:00:00'),
    ('031', '6.17', 'Kopiergeräte', 5, 7, 31, '2015-01-01 00:00:00'),
    ('032', '6.18', 'Frankiermaschinen', 8, 8, 32, '2015-01-01 00:00:00'),
    ('033', '6.19', 'Paketwaagen', 11, 11, 33, '2015-01-01 00:00:00'),
    ('034', '6.20', 'Schreibmaschinen', 6, 9, 34, '2015-01-01 00:00:00'),
    ('035', '6.21', 'Rechenmaschinen (elektronisch)', 5, 5, 35, '2015-01-01 00:00:00'),
    ('036', '6.22', 'Präsentationsgeräte, Beamer', 5, 8, 36, '2015-01-01 00:00:00'),
    ('037', '6.23', 'Tresore', 20, 23, 37, '2015-01-01 00:00:00'),
    ('038', '6.24', 'Panzerschränke', 20, 23, 38, '2015-01-01 00:00:00'),
    ('039', '6.25', 'Safe- und Schließfachanlagen', 20, 23, 39, '2015-01-01 00:00:00'),
    ('040', '6.26', 'Telefonanlagen in Wohnhäusern', 5, 10, 40, '2015-01-01 00:00:00'),
    ('041', '7.1', 'Bürocontainer, Baubuden', 8, 10, 41, '2015-01-01 00:00:00'),
    ('042', '7.2', 'Wohnwagen, Wohncontainer', 5, 7, 42, '2015-01-01 00:00:00'),
    ('043', '7.3', 'Zelte, Verkaufsstände', 5, 7, 43, '2015-01-01 00:00:00'),
    ('044', '1.1', 'Fahrbahnen, Parkplätze, Hofbefestigungen in Schotter', 9, 9, 44, '2015-01-01 00:00:00'),
    ('045', '1.4', 'Außenbeleuchtung und Straßenbeleuchtung', 19, 19, 45, '2015-01-01 00:00:00');
