-- The CSV downloads of German banks, one row per layout: the header names
-- of each field (alternatives separated by "|"), the delimiter, the decimal
-- sign, the date format and the character set the bank writes. A bank
-- whose export changes, or a new bank, is a row here, not code.
--
-- Fields: Buchungstag/Valuta the booking and value date; Betrag one signed
-- amount, or Soll and Haben in two columns; NameEingang the counterpart of
-- a credit (the payer), NameAusgang that of a debit (the payee), Name when
-- one column holds both; Zweck the purpose; Iban/Bic the counterpart's
-- account; Referenz the end-to-end reference; Waehrung the currency;
-- Konto the own account in each row; KontoVorspann the first cell of the
-- line above the header that names the own account; Info the column whose
-- values in Vorgemerkt mark pending entries; Fusszeilen the first cells of
-- closing lines that are no transactions. Quelle says where the layout was
-- read; recognition needs every named field's column in the header.
CREATE TABLE BankCsvLayout (
    Name          TEXT PRIMARY KEY,
    Banken        TEXT NOT NULL,
    Trennzeichen  TEXT NOT NULL DEFAULT ';',
    Dezimal       TEXT NOT NULL DEFAULT ',',
    Datumsformat  TEXT NOT NULL DEFAULT 'dd.MM.yyyy',
    Zeichensatz   TEXT NOT NULL,
    Buchungstag   TEXT NOT NULL,
    Valuta        TEXT,
    Betrag        TEXT,
    Soll          TEXT,
    Haben         TEXT,
    Name_         TEXT,
    NameEingang   TEXT,
    NameAusgang   TEXT,
    Zweck         TEXT,
    Iban          TEXT,
    Bic           TEXT,
    Referenz      TEXT,
    Waehrung      TEXT,
    Konto         TEXT,
    KontoVorspann TEXT,
    Info          TEXT,
    Vorgemerkt    TEXT,
    Fusszeilen    TEXT,
    Reihenfolge   INTEGER NOT NULL,
    Quelle        TEXT NOT NULL
);

INSERT INTO BankCsvLayout (Name, Banken, Trennzeichen, Dezimal, Datumsformat, Zeichensatz, Buchungstag, Valuta, Betrag, Soll, Haben, Name_,
                           NameEingang, NameAusgang, Zweck, Iban, Bic, Referenz, Waehrung, Konto, KontoVorspann, Info, Vorgemerkt, Fusszeilen,
                           Reihenfolge, Quelle) VALUES
    ('sparkasse', 'Sparkasse (CSV-CAMT)', ';', ',', 'dd.MM.yy', 'windows-1252', 'Buchungstag', 'Valutadatum', 'Betrag', NULL, NULL,
     'Beguenstigter/Zahlungspflichtiger|Begünstigter/Zahlungspflichtiger', NULL, NULL, 'Verwendungszweck', 'Kontonummer/IBAN', 'BIC (SWIFT-Code)',
     'Kundenreferenz (End-to-End)', 'Waehrung|Währung', 'Auftragskonto', NULL, 'Info', 'Umsatz vorgemerkt', NULL, 1,
     'homebanking-hilfe.de/forum/topic.php?t=17336; github.com/ctheune/ynab-bank-imports sparkasse.py; firefly-iii/import-configurations de/sparkasse'),
    ('sparkasse-mt940', 'Sparkasse (CSV-MT940)', ';', ',', 'dd.MM.yy', 'windows-1252', 'Buchungstag', 'Valutadatum', 'Betrag', NULL, NULL,
     'Beguenstigter/Zahlungspflichtiger|Begünstigter/Zahlungspflichtiger', NULL, NULL, 'Verwendungszweck', 'Kontonummer', 'BLZ',
     NULL, 'Waehrung|Währung', 'Auftragskonto', NULL, 'Info', 'Umsatz vorgemerkt', NULL, 2,
     'github.com/ctheune/ynab-bank-imports mt940.py; firefly-iii/import-configurations de/sparkasse/neubrandenburg-demmin/csv-mt940.json'),
    ('dkb', 'DKB (Export ab 2023)', ';', ',', 'dd.MM.yy', 'utf-8', 'Buchungsdatum', 'Wertstellung', 'Betrag (€)|Betrag (EUR)|Betrag', NULL, NULL,
     NULL, 'Zahlungspflichtige*r', 'Zahlungsempfänger*in', 'Verwendungszweck', 'IBAN', NULL, 'Kundenreferenz', NULL, NULL, 'Girokonto|Konto|Konto:', 'Status',
     'Vorgemerkt', NULL, 3,
     'github.com/hamvocke/dkb2homebank; published DKB export samples in public test suites (preamble "Girokonto";"DE…", header "Buchungsdatum";"Wertstellung";"Status";…)'),
    ('dkb-alt', 'DKB (Export bis 2023)', ';', ',', 'dd.MM.yyyy', 'windows-1252', 'Buchungstag', 'Wertstellung', 'Betrag (EUR)', NULL, NULL,
     'Auftraggeber / Begünstigter', NULL, NULL, 'Verwendungszweck', 'Kontonummer', 'BLZ', 'Kundenreferenz', NULL, NULL, 'Kontonummer:', NULL, NULL, NULL, 4,
     'github.com/hamvocke/dkb2homebank; firefly-iii/import-configurations de/dkb/README.md (preamble lines, "Abschluss" rows)'),
    ('ing', 'ING (Umsatzanzeige)', ';', ',', 'dd.MM.yyyy', 'windows-1252', 'Buchung', 'Valuta|Wertstellungsdatum', 'Betrag', NULL, NULL,
     'Auftraggeber/Empfänger', NULL, NULL, 'Verwendungszweck', NULL, NULL, 'Kundenreferenz', 'Währung', NULL, 'IBAN', NULL, NULL, NULL, 5,
     'firefly-iii/import-configurations de/ing/Readme.md; dokuwandel.de/ratgeber/ing-csv-datev-import; gist.github.com/pce/bd8c3a1a3dadfd445aeb'),
    ('commerzbank', 'Commerzbank', ';', ',', 'dd.MM.yyyy', 'utf-8', 'Buchungstag', 'Wertstellung', 'Betrag', NULL, NULL,
     NULL, NULL, NULL, 'Buchungstext', NULL, NULL, NULL, 'Währung', 'IBAN Kontoinhaber|Auftraggeberkonto', NULL, NULL, NULL, NULL, 6,
     'commerzbank.de/service/wie-kann-ich-meine-umsaetze-exportieren; firefly-iii/import-configurations de/commerzbank/csv-giro.json'),
    ('volksbank', 'Volksbanken und Raiffeisenbanken, GLS, Sparda (Atruvia)', ';', ',', 'dd.MM.yyyy', 'utf-8', 'Buchungstag', 'Valutadatum', 'Betrag', NULL,
     NULL, 'Name Zahlungsbeteiligter', NULL, NULL, 'Verwendungszweck', 'IBAN Zahlungsbeteiligter', 'BIC (SWIFT-Code) Zahlungsbeteiligter', NULL,
     'Waehrung|Währung', 'IBAN Auftragskonto', NULL, NULL, NULL, NULL, 7,
     'github.com/nicolettas-muggelbude/RechnungsFee vorlagen/bank-csv/README.md; github.com/ctheune/ynab-bank-imports fiducia.py'),
    ('deutschebank', 'Deutsche Bank, norisbank', ';', ',', 'd.M.yyyy', 'utf-8', 'Buchungstag', 'Wert', NULL, 'Soll', 'Haben',
     'Begünstigter / Auftraggeber', NULL, NULL, 'Verwendungszweck', 'IBAN / Kontonummer', 'BIC', 'Kundenreferenz', 'Währung', NULL, NULL, NULL, NULL,
     'Kontostand|Neuer Kontostand|Alter Kontostand', 8,
     'firefly-iii/import-configurations de/deutschebank/Readme.md (header line); kontocsv.de/ratgeber/norisbank-kontoauszug-csv'),
    ('comdirect', 'comdirect', ';', ',', 'dd.MM.yyyy', 'windows-1252', 'Buchungstag', 'Wertstellung (Valuta)', 'Umsatz in EUR', NULL, NULL,
     NULL, NULL, NULL, 'Buchungstext', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 'Alter Kontostand|Neuer Kontostand', 9,
     'github.com/ctheune/ynab-bank-imports comdirect.py; community.comdirect.de "Umsätze exportieren im CSV-Format"'),
    ('n26', 'N26', ',', '.', 'yyyy-MM-dd', 'utf-8', 'Booking Date', 'Value Date', 'Amount (EUR)', NULL, NULL,
     'Partner Name', NULL, NULL, 'Payment Reference', 'Partner Iban', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 10,
     'scripting-forum.derrichter.de/viewtopic.php?t=1876; homebanking-hilfe.de/forum/topic.php?t=27517'),
    ('postbank', 'Postbank (Export seit 2023)', ';', ',', 'd.M.yyyy', 'utf-8', 'Buchungstag', NULL, 'Betrag', NULL, NULL,
     'Begünstigter / Auftraggeber', NULL, NULL, 'Verwendungszweck', 'IBAN / Kontonummer', NULL, NULL, NULL, NULL, NULL, NULL, NULL,
     'Kontostand|Letzter Kontostand', 11,
     'github.com/xarantolus/postbank-konto-chart src/parse_csv.ts (first line "Umsätze", account block, "Kontostand;;;;…;EUR" before and after the transactions, one signed "Betrag", dates D.M.YYYY)'),
    ('postbank-alt', 'Postbank (Export bis 2022)', ';', ',', 'dd.MM.yyyy', 'windows-1252', 'Buchungsdatum', 'Wertstellung', 'Betrag (€)', NULL, NULL,
     NULL, 'Auftraggeber', 'Empfänger', 'Buchungsdetails', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 12,
     'github.com/dantleech/firefly-postbank-import import-postbank.py (Windows-1252 "Betrag (€)" with the € in each amount, payer "Auftraggeber", payee "Empfänger", dd.mm.yyyy); github.com/rubenhorn/Postbank-CSV-Merger ("gebuchte Umsätze" above the header, Buchungsdatum/Wertstellung)'),
    ('consorsbank', 'Consorsbank', ';', ',', 'dd.MM.yyyy', 'utf-8', 'Buchung', 'Valuta', 'Betrag in EUR|Betrag', NULL, NULL,
     'Sender / Empfänger|Sender/Empfänger', NULL, NULL, 'Verwendungszweck', 'IBAN / Konto-Nr.|IBAN', 'BIC / BLZ|BIC', NULL, NULL, NULL, NULL, NULL,
     NULL, NULL, 13,
     'github.com/davidReward/ofxstatement-consors consors.py and preprocess_ConsorsCSV.sh (five lines above the header, "Betrag in EUR"); github.com/eduralph/ofxstatement-consorsbank plugin.py (UTF-8 with BOM, header in line 6 with "IBAN", "BIC", signed "Betrag" and "Währung"); github.com/portfolio-performance/portfolio CSVConsorsAccountTransactionExtractor.java (UTF-8)');
