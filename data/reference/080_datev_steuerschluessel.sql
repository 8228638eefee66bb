-- Our tax keys and the booking key (BU-Schlüssel) DATEV gives the same
-- case. DATEV numbers its keys differently (3 is output tax at 19 %, 9 input
-- tax at 19 %); the DATEV export writes the key of this table on every
-- booking whose counter account does not fix its tax itself. A key missing
-- here has no DATEV counterpart that means the same: a booking that needs it
-- is refused by the export rather than handed over under another key.
--
-- Keys 95, 96 and 97 (the recipient's § 13b cases other than services from
-- another EU state) are left out on purpose: DATEV's key 94 would report
-- them in the lines of the EU services. On an account that fixes the key
-- (an automatic account in DATEV) no key is written, so they still export.
CREATE TABLE DatevSteuerschluessel (
    Steuerschluessel INTEGER PRIMARY KEY,
    DatevSchluessel  TEXT NOT NULL,
    Bezeichnung      TEXT
);

INSERT INTO DatevSteuerschluessel (Steuerschluessel, DatevSchluessel, Bezeichnung) VALUES
    (2,  '2',  'Umsatzsteuer 7 %'),
    (3,  '5',  'Umsatzsteuer 16 %'),
    (5,  '3',  'Umsatzsteuer 19 %'),
    (7,  '9',  'Vorsteuer 19 %'),
    (8,  '8',  'Vorsteuer 7 %'),
    (9,  '7',  'Vorsteuer 16 %'),
    (18, '18', 'Innergemeinschaftlicher Erwerb 7 % Vorsteuer und 7 % Umsatzsteuer'),
    (19, '19', 'Innergemeinschaftlicher Erwerb 19 % Vorsteuer und 19 % Umsatzsteuer'),
    (25, '10', 'Steuerfreie innergemeinschaftliche Lieferung'),
    (94, '94', 'Sonstige Leistungen eines im übrigen Gemeinschaftsgebiet ansässigen Unternehmers (§ 13b UStG) 19 % Vorsteuer und 19 % Umsatzsteuer');
