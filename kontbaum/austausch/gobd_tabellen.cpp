// The tables of the audit export, one description each. To export a further
// table (the asset register, incoming invoices), add its description here:
// the case table it needs, the SELECT and the columns in the same order;
// a register of the data tree gives its rows by a function.
#include "kontbaum/austausch/gobd.h"

#include "kontbaum/anlagen/anlagen.h"

namespace {
using GoBD::Spalte;
using GoBD::Typ;

Spalte k(const char* name, const char* beschreibung, Typ typ) { return {QString::fromUtf8(name), QString::fromUtf8(beschreibung), typ, true}; }
Spalte s(const char* name, const char* beschreibung, Typ typ) { return {QString::fromUtf8(name), QString::fromUtf8(beschreibung), typ, false}; }

// Locked are the bookings dated on or before the latest lock date.
const char kFestgeschrieben[] =
    "CASE WHEN h.Belegdatum<=(SELECT MAX(bisZum) FROM eurFestschreibungen) THEN 1 ELSE 0 END";

QVector<GoBD::Tabelle> beschreibungen() {
    QVector<GoBD::Tabelle> t;

    t.append({QStringLiteral("buchungsjournal.csv"), QStringLiteral("Buchungsjournal"),
              QStringLiteral("Jede Buchungszeile aller Buchungen mit Soll- oder Habenbetrag, einschließlich stornierter Buchungen und "
                             "ihrer Stornobuchungen"),
              QStringLiteral("eurVerbuchtBuchungszeilen"),
              QStringLiteral("SELECT z.ID, z.Buchungsnummer, h.Belegdatum, h.Buchungsdatum, h.Belegnummer, z.Konto, z.Gegenkonto, "
                             "z.Steuerschluessel, CASE WHEN z.Haben=0 THEN z.Betrag ELSE 0 END, CASE WHEN z.Haben<>0 THEN z.Betrag ELSE 0 END, "
                             "COALESCE(NULLIF(z.Buchungstext,''), h.Buchungstext), h.Buchungsart, h.Herkunft, "
                             "CASE WHEN h.Storno<>0 THEN 1 ELSE 0 END, CASE WHEN h.Storniert<>0 THEN 1 ELSE 0 END, ") +
                  QLatin1String(kFestgeschrieben) +
                  QStringLiteral(" FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht h ON h.Buchungsnummer=z.Buchungsnummer "
                                 "ORDER BY z.Buchungsnummer, z.ID"),
              {k("Zeile", "Nummer der Buchungszeile", Typ::Ganzzahl), s("Buchungsnummer", "Nummer der Buchung", Typ::Ganzzahl),
               s("Belegdatum", "Datum des Belegs", Typ::Datum), s("Buchungsdatum", "Datum der Erfassung", Typ::Datum),
               s("Belegnummer", "Nummer des Belegs", Typ::Text), s("Konto", "Konto der Zeile", Typ::Ganzzahl),
               s("Gegenkonto", "Gegenkonto der Zeile (0 bei Aufteilung auf mehrere Gegenkonten)", Typ::Ganzzahl),
               s("Steuerschluessel", "Steuerschlüssel (999999: aus der Zeile berechnete Steuer)", Typ::Ganzzahl),
               s("Soll", "Betrag im Soll in Euro", Typ::Betrag), s("Haben", "Betrag im Haben in Euro", Typ::Betrag),
               s("Buchungstext", "Buchungstext", Typ::Text),
               s("Buchungsart", "1 Einnahme, 2 Ausgabe, 3 freie Buchung, 4 Erstattung, 5 Gutschrift, 6 Saldovortrag", Typ::Ganzzahl),
               s("Herkunft", "Herkunft der Buchung (0 Eingabe, sonst erzeugendes Programmteil: Import, Bank, Rechnung, Kasse)", Typ::Ganzzahl),
               s("Storno", "1: Stornobuchung", Typ::Ganzzahl), s("Storniert", "1: durch eine Stornobuchung aufgehoben", Typ::Ganzzahl),
               s("Festgeschrieben", "1: festgeschrieben (Belegdatum bis zum Festschreibungsdatum)", Typ::Ganzzahl)},
              {{QStringLiteral("Konto"), QStringLiteral("Kontenplan"), QStringLiteral("Nummer")}}});

    t.append({QStringLiteral("kontenplan.csv"), QStringLiteral("Kontenplan"), QStringLiteral("Die Konten des Falls mit Kategorie und Zeile der Anlage EÜR"),
              QStringLiteral("eurKontenplan"),
              QStringLiteral("SELECT k.Nummer, k.Bezeichnung, k.Kategorie, c.Bezeichnung, k.Steuerschluessel, "
                             "CASE WHEN k.Steuerautomatik=1 THEN 1 ELSE 0 END, k.EUR, k.EUR_HABEN, k.UStVA, CASE WHEN k.Aktiv<>0 THEN 1 ELSE 0 END "
                             "FROM eurKontenplan k LEFT JOIN eurKategorien c ON c.Kategorie=k.Kategorie ORDER BY k.Nummer"),
              {k("Nummer", "Kontonummer", Typ::Ganzzahl), s("Bezeichnung", "Bezeichnung des Kontos", Typ::Text),
               s("Kategorie", "Kategorie des Kontos", Typ::Ganzzahl), s("Kategoriebezeichnung", "Bezeichnung der Kategorie", Typ::Text),
               s("Steuerschluessel", "Steuerschlüssel des Kontos", Typ::Ganzzahl),
               s("SchluesselFest", "1: der Steuerschlüssel ist fest vorgegeben", Typ::Ganzzahl),
               s("EUR", "Kennziffer oder Zeile der Anlage EÜR für Beträge im Soll (0: keine)", Typ::Ganzzahl),
               s("EUR_Haben", "Kennziffer oder Zeile der Anlage EÜR für Beträge im Haben (0: wie EUR)", Typ::Ganzzahl),
               s("UStVA", "Kennziffer der Umsatzsteuer-Voranmeldung (0: keine)", Typ::Ganzzahl), s("Aktiv", "1: aktiv", Typ::Ganzzahl)},
              {}});

    t.append({QStringLiteral("steuerschluessel.csv"), QStringLiteral("Steuerschluessel"),
              QStringLiteral("Die Steuerschlüssel mit Steuersatz, Steuerkonten und Kennziffern der Umsatzsteuer-Voranmeldung"),
              QStringLiteral("eurSteuerschluessel"),
              QStringLiteral("SELECT Steuerschluessel, Bezeichnung, Steuersatz, Steuerart, Steuerkonto, Steuerkonto2, VAKZUmsatz, VAKZSteuer, "
                             "CASE WHEN Aktiv<>0 THEN 1 ELSE 0 END FROM eurSteuerschluessel ORDER BY Steuerschluessel"),
              {k("Steuerschluessel", "Nummer des Steuerschlüssels", Typ::Ganzzahl), s("Bezeichnung", "Bezeichnung", Typ::Text),
               s("Steuersatz", "Steuersatz in Prozent", Typ::Betrag), s("Steuerart", "U Umsatzsteuer, V Vorsteuer, B beide", Typ::Text),
               s("Steuerkonto", "Konto der Steuer", Typ::Ganzzahl),
               s("Steuerkonto2", "zweites Steuerkonto (Erwerb und § 13b UStG: die geschuldete Umsatzsteuer)", Typ::Ganzzahl),
               s("UStVA_Umsatz", "Kennziffer der Bemessungsgrundlage in der Umsatzsteuer-Voranmeldung", Typ::Ganzzahl),
               s("UStVA_Steuer", "Kennziffer der Steuer in der Umsatzsteuer-Voranmeldung", Typ::Ganzzahl), s("Aktiv", "1: aktiv", Typ::Ganzzahl)},
              {}});

    t.append({QStringLiteral("kassenbuch.csv"), QStringLiteral("Kassenbuch"),
              QStringLiteral("Die Buchungszeilen der Kassenkonten (Kategorie 201) mit Einnahme und Ausgabe"), QStringLiteral("eurKontenplan"),
              QStringLiteral("SELECT z.ID, z.Konto, z.Buchungsnummer, h.Belegdatum, h.Belegnummer, "
                             "COALESCE(NULLIF(z.Buchungstext,''), h.Buchungstext), z.Gegenkonto, "
                             "CASE WHEN z.Haben=0 THEN z.Betrag ELSE 0 END, CASE WHEN z.Haben<>0 THEN z.Betrag ELSE 0 END, "
                             "CASE WHEN h.Storno<>0 THEN 1 ELSE 0 END, CASE WHEN h.Storniert<>0 THEN 1 ELSE 0 END "
                             "FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht h ON h.Buchungsnummer=z.Buchungsnummer "
                             "WHERE z.Konto IN (SELECT Nummer FROM eurKontenplan WHERE Kategorie=201) "
                             "ORDER BY z.Konto, h.Belegdatum, z.Buchungsnummer, z.ID"),
              {k("Zeile", "Nummer der Buchungszeile (wie im Buchungsjournal)", Typ::Ganzzahl), s("Kasse", "Kassenkonto", Typ::Ganzzahl),
               s("Buchungsnummer", "Nummer der Buchung", Typ::Ganzzahl), s("Belegdatum", "Datum des Belegs", Typ::Datum),
               s("Belegnummer", "Nummer des Belegs", Typ::Text), s("Buchungstext", "Buchungstext", Typ::Text),
               s("Gegenkonto", "Gegenkonto", Typ::Ganzzahl), s("Einnahme", "Einnahme in Euro", Typ::Betrag),
               s("Ausgabe", "Ausgabe in Euro", Typ::Betrag), s("Storno", "1: Stornobuchung", Typ::Ganzzahl),
               s("Storniert", "1: durch eine Stornobuchung aufgehoben", Typ::Ganzzahl)},
              {{QStringLiteral("Zeile"), QStringLiteral("Buchungsjournal"), QStringLiteral("Zeile")}}});

    t.append({QStringLiteral("kunden.csv"), QStringLiteral("Kunden"), QStringLiteral("Kunden und Interessenten der Rechnungsstellung"),
              QStringLiteral("rePersonen"),
              QStringLiteral("SELECT PersonID, Kundennummer, Art, Firma, Anrede, Vorname, Name, Strasse, Plz, Ort, Land, UStID, eMail "
                             "FROM rePersonen ORDER BY PersonID"),
              {k("PersonID", "interne Nummer", Typ::Ganzzahl), s("Kundennummer", "Kundennummer", Typ::Text),
               s("Art", "1 Kunde, sonst Interessent", Typ::Ganzzahl), s("Firma", "Firma", Typ::Text), s("Anrede", "Anrede", Typ::Text),
               s("Vorname", "Vorname", Typ::Text), s("Name", "Name", Typ::Text), s("Strasse", "Straße", Typ::Text),
               s("Plz", "Postleitzahl", Typ::Text), s("Ort", "Ort", Typ::Text), s("Land", "Land", Typ::Text),
               s("UStID", "Umsatzsteuer-Identifikationsnummer", Typ::Text), s("EMail", "E-Mail-Adresse", Typ::Text)},
              {}});

    t.append({QStringLiteral("rechnungen.csv"), QStringLiteral("Rechnungen"), QStringLiteral("Ausgangsrechnungen (Art 0) und Rechnungskorrekturen (Art 1)"),
              QStringLiteral("reRechnungen"),
              QStringLiteral("SELECT ID, Nummer, PersonID, Datum, Lieferdatum, Art, Gesamtbetrag, Anzahlung, bezahlt, Zahlungsziel "
                             "FROM reRechnungen ORDER BY ID"),
              {k("ID", "interne Nummer", Typ::Ganzzahl), s("Nummer", "Rechnungsnummer", Typ::Text),
               s("PersonID", "Kunde (interne Nummer)", Typ::Ganzzahl), s("Datum", "Rechnungsdatum", Typ::Datum),
               s("Lieferdatum", "Liefer- oder Leistungsdatum", Typ::Datum), s("Art", "0 Rechnung, 1 Rechnungskorrektur", Typ::Ganzzahl),
               s("Gesamtbetrag", "Bruttobetrag in Euro", Typ::Betrag), s("Anzahlung", "bereits gezahlter Betrag in Euro", Typ::Betrag),
               s("Bezahlt", "Datum der vollständigen Zahlung", Typ::Datum), s("Zahlungsziel", "Fälligkeit", Typ::Datum)},
              {{QStringLiteral("PersonID"), QStringLiteral("Kunden"), QStringLiteral("PersonID")}}});

    t.append({QStringLiteral("rechnungspositionen.csv"), QStringLiteral("Rechnungspositionen"), QStringLiteral("Die Positionen der Rechnungen"),
              QStringLiteral("reRechnungenPositionen"),
              QStringLiteral("SELECT ID, PositionID, Artikelnummer, Bezeichnung, Menge, Einheit, Preis, Bruttopreis, Rabatt, Steuerschluessel, Konto "
                             "FROM reRechnungenPositionen ORDER BY ID, PositionID"),
              {k("ID", "Rechnung (interne Nummer)", Typ::Ganzzahl), k("PositionID", "Nummer der Position in der Rechnung", Typ::Ganzzahl),
               s("Artikelnummer", "Artikelnummer", Typ::Text), s("Bezeichnung", "Bezeichnung", Typ::Text),
               s("Menge", "Menge", Typ::Betrag), s("Einheit", "Einheit", Typ::Text), s("Preis", "Einzelpreis netto in Euro", Typ::Betrag),
               s("Bruttopreis", "Einzelpreis brutto in Euro", Typ::Betrag), s("Rabatt", "Rabatt in Prozent", Typ::Betrag),
               s("Steuerschluessel", "Steuerschlüssel", Typ::Ganzzahl), s("Konto", "Erlöskonto", Typ::Ganzzahl)},
              {{QStringLiteral("ID"), QStringLiteral("Rechnungen"), QStringLiteral("ID")}}});

    t.append({QStringLiteral("bankumsaetze.csv"), QStringLiteral("Bankumsaetze"), QStringLiteral("Eingelesene Umsätze der Bankkonten"),
              QStringLiteral("eurUmsatz"),
              QStringLiteral("SELECT UmsatzID, BankverbindungID, Buchungsdatum, Betrag, Buchungstext, Empfaenger, EmpfaengerIBAN, Status, "
                             "Buchungsnummer FROM eurUmsatz ORDER BY UmsatzID"),
              {k("UmsatzID", "interne Nummer", Typ::Ganzzahl), s("Bankverbindung", "Bankverbindung (interne Nummer)", Typ::Ganzzahl),
               s("Buchungsdatum", "Buchungstag der Bank", Typ::Datum), s("Betrag", "Betrag in Euro (Eingang positiv)", Typ::Betrag),
               s("Verwendungszweck", "Buchungstext der Bank", Typ::Text), s("Empfaenger", "Auftraggeber oder Empfänger", Typ::Text),
               s("IBAN", "IBAN des Auftraggebers oder Empfängers", Typ::Text), s("Status", "Stand der Übernahme in die Buchungen", Typ::Ganzzahl),
               s("Buchungsnummer", "erzeugte Buchung (0: keine)", Typ::Ganzzahl)},
              {}});

    // Incoming e-invoices: the figures read from each; the original file
    // itself stays in the case, named here with its SHA-256 so the auditor
    // can ask for it and check it is the one received.
    t.append({QStringLiteral("lieferanten.csv"), QStringLiteral("Lieferanten"), QStringLiteral("Lieferanten der Eingangsrechnungen"),
              QStringLiteral("eingangLieferanten"),
              QStringLiteral("SELECT ID, Name, UStID, Steuernummer, IBAN, Land, Ort, Konto FROM eingangLieferanten ORDER BY ID"),
              {k("ID", "interne Nummer", Typ::Ganzzahl), s("Name", "Name", Typ::Text),
               s("UStID", "Umsatzsteuer-Identifikationsnummer", Typ::Text), s("Steuernummer", "Steuernummer", Typ::Text),
               s("IBAN", "IBAN", Typ::Text), s("Land", "Land (ISO 3166)", Typ::Text), s("Ort", "Ort", Typ::Text),
               s("Konto", "zuletzt gebuchtes Aufwandskonto", Typ::Ganzzahl)},
              {}});

    t.append({QStringLiteral("eingangsrechnungen.csv"), QStringLiteral("Eingangsrechnungen"),
              QStringLiteral("Eingangsrechnungen und Gutschriften als E-Rechnung (CII, UBL, ZUGFeRD); die Originaldatei liegt unverändert im "
                             "Fall, ihr SHA-256-Wert weist das nach"),
              QStringLiteral("eingangRechnungen"),
              QStringLiteral("SELECT r.ID, r.LieferantID, r.Nummer, r.Typ, CASE WHEN r.Gutschrift<>0 THEN 1 ELSE 0 END, r.Syntax, r.Rechnungsdatum, "
                             "r.Faellig, r.Netto, r.Steuer, r.Brutto, r.Zahlbetrag, r.IBAN, r.Dateiname, r.SHA256, r.Eingelesen, r.Konto, "
                             "CASE WHEN EXISTS (SELECT 1 FROM eurVerbucht v WHERE v.Buchungsnummer=r.Buchungsnummer AND r.Buchungsnummer<>0 "
                             "AND v.Storno=0 AND v.Storniert=0 AND v.Belegnummer=r.Nummer) THEN r.Buchungsnummer ELSE 0 END "
                             "FROM eingangRechnungen r ORDER BY r.ID"),
              {k("ID", "interne Nummer", Typ::Ganzzahl), s("LieferantID", "Lieferant (interne Nummer)", Typ::Ganzzahl),
               s("Nummer", "Rechnungsnummer des Lieferanten", Typ::Text), s("Typ", "Rechnungsart (UNTDID 1001: 380 Rechnung, 381 Gutschrift)", Typ::Text),
               s("Gutschrift", "1: Gutschrift", Typ::Ganzzahl), s("Syntax", "Syntax der Datei (CII, UBL, ZUGFeRD 1.0)", Typ::Text),
               s("Rechnungsdatum", "Rechnungsdatum", Typ::Datum), s("Faellig", "Fälligkeit", Typ::Datum),
               s("Netto", "Nettobetrag in Euro", Typ::Betrag), s("Steuer", "Umsatzsteuer in Euro", Typ::Betrag),
               s("Brutto", "Bruttobetrag in Euro", Typ::Betrag), s("Zahlbetrag", "zu zahlender Betrag in Euro", Typ::Betrag),
               s("IBAN", "IBAN des Zahlungsempfängers", Typ::Text), s("Dateiname", "Name der empfangenen Originaldatei", Typ::Text),
               s("SHA256", "SHA-256-Prüfsumme der Originaldatei (hexadezimal)", Typ::Text),
               s("Eingelesen", "Zeitpunkt des Einlesens (UTC, ISO 8601)", Typ::Text), s("Konto", "Aufwandskonto", Typ::Ganzzahl),
               s("Buchungsnummer", "Buchung der Zahlung (0: offen)", Typ::Ganzzahl)},
              {{QStringLiteral("LieferantID"), QStringLiteral("Lieferanten"), QStringLiteral("ID")}}});

    t.append({QStringLiteral("eingangsrechnungen_steuer.csv"), QStringLiteral("EingangsrechnungenSteuer"),
              QStringLiteral("Aufschlüsselung der Umsatzsteuer jeder Eingangsrechnung nach Kategorie und Steuersatz"),
              QStringLiteral("eingangSteuern"),
              QStringLiteral("SELECT ID, RechnungID, Kategorie, Satz, Basis, Steuer, Grund FROM eingangSteuern ORDER BY RechnungID, ID"),
              {k("ID", "interne Nummer", Typ::Ganzzahl), s("RechnungID", "Eingangsrechnung (interne Nummer)", Typ::Ganzzahl),
               s("Kategorie", "Umsatzsteuerkategorie (UNCL 5305: S, Z, E, AE, K, G, O)", Typ::Text),
               s("Satz", "Steuersatz in Prozent", Typ::Betrag), s("Basis", "Bemessungsgrundlage in Euro", Typ::Betrag),
               s("Steuer", "Umsatzsteuer in Euro", Typ::Betrag), s("Grund", "Grund der Befreiung", Typ::Text)},
              {{QStringLiteral("RechnungID"), QStringLiteral("Eingangsrechnungen"), QStringLiteral("ID")}}});

    // The registers of the data tree, with the year's figures of the
    // Anlage AVEÜR for each entry.
    auto datum = [](const zDate& d) { return d.isValid() ? DatenTyp(d) : DatenTyp(); };
    t.append({QStringLiteral("anlagen.csv"), QStringLiteral("Anlagen"), QStringLiteral("Anlageverzeichnis mit den Werten des Jahres"), QString(),
              QString(),
              {k("Nummer", "Nummer im Anlageverzeichnis", Typ::Ganzzahl), s("Bezeichnung", "Bezeichnung", Typ::Text),
               s("Konto", "Anlagekonto", Typ::Ganzzahl), s("AfaKonto", "Konto der Abschreibung", Typ::Ganzzahl),
               s("Anschaffung", "Datum der Anschaffung", Typ::Datum), s("Kosten", "Anschaffungskosten netto in Euro", Typ::Betrag),
               s("Vorsteuer", "Vorsteuer der Anschaffung in Euro", Typ::Betrag), s("Gut", "Art des Wirtschaftsguts (AfA-Tabelle)", Typ::Text),
               s("Nutzungsdauer", "Nutzungsdauer in Jahren", Typ::Ganzzahl), s("Satz", "AfA-Satz in Prozent (Gebäude)", Typ::Betrag),
               s("Methode", "0 linear, 1 Gebäude, 2 ohne AfA, 3 Sofortabschreibung, 4 Sammelposten", Typ::Ganzzahl),
               s("Abgang", "Datum des Abgangs", Typ::Datum), s("Abgangsart", "0 kein Abgang, 1 Verkauf, 2 Entnahme, 3 Verschrottung", Typ::Ganzzahl),
               s("Erloes", "Erlös oder Entnahmewert netto in Euro", Typ::Betrag),
               s("Anfang", "Buchwert zu Beginn des Jahres in Euro", Typ::Betrag), s("Zugang", "Zugang im Jahr in Euro", Typ::Betrag),
               s("Herabsetzung", "Herabsetzung nach § 7g Abs. 2 EStG in Euro", Typ::Betrag),
               s("Sonderabschreibung", "Sonderabschreibung nach § 7g Abs. 5 EStG in Euro", Typ::Betrag),
               s("AfA", "Abschreibung des Jahres in Euro", Typ::Betrag), s("AbgangWert", "Buchwert des Abgangs in Euro", Typ::Betrag),
               s("Ende", "Buchwert am Ende des Jahres in Euro", Typ::Betrag)},
              {},
              [datum](int jahr) {
                  QVector<QVector<DatenTyp>> r;
                  for (const Anlagen::Anlage& a : Anlagen::liste()) {
                      const Anlagen::Jahreswerte w = Anlagen::werte(a, jahr);
                      r.append({a.nummer, a.bezeichnung, a.konto, a.afaKonto, datum(a.anschaffung), a.kosten, a.vorsteuer, a.gut,
                                a.nutzungsdauer, a.satz, int(a.methode), datum(a.abgang), int(a.abgangsart), a.erloes, w.anfang, w.zugang,
                                w.herabsetzung, w.sonder, w.afa, w.abgang, w.ende});
                  }
                  return r;
              }});

    t.append({QStringLiteral("umlaufvermoegen.csv"), QStringLiteral("Umlaufvermoegen"),
              QStringLiteral("Wirtschaftsgüter des Umlaufvermögens nach § 4 Abs. 3 Satz 4 EStG"), QString(), QString(),
              {k("Nummer", "Nummer im Verzeichnis", Typ::Ganzzahl), s("Bezeichnung", "Bezeichnung", Typ::Text),
               s("Art", "1 Grund und Boden, Gebäude, 2 Anteile, 3 Wertpapiere, 4 sonstige", Typ::Ganzzahl),
               s("Konto", "Konto der Anschaffungskosten", Typ::Ganzzahl), s("Anschaffung", "Datum der Anschaffung", Typ::Datum),
               s("Kosten", "Anschaffungskosten in Euro", Typ::Betrag), s("Abgang", "Datum des Abgangs", Typ::Datum),
               s("Abgangsart", "0 kein Abgang, 1 Verkauf, 2 Entnahme", Typ::Ganzzahl), s("Erloes", "Erlös oder Entnahmewert in Euro", Typ::Betrag)},
              {},
              [datum](int) {
                  QVector<QVector<DatenTyp>> r;
                  for (const Anlagen::UmlaufGut& u : Anlagen::umlaufListe())
                      r.append({u.nummer, u.bezeichnung, u.art, u.konto, datum(u.anschaffung), u.kosten, datum(u.abgang), int(u.abgangsart),
                                u.erloes});
                  return r;
              }});

    t.append({QStringLiteral("investitionsabzug.csv"), QStringLiteral("Investitionsabzugsbetraege"),
              QStringLiteral("Investitionsabzugsbeträge nach § 7g EStG mit Hinzurechnung und Rückgängigmachung"), QString(), QString(),
              {k("Nummer", "Nummer im Verzeichnis", Typ::Ganzzahl), s("Jahr", "Jahr des Abzugs", Typ::Ganzzahl),
               s("Bezeichnung", "geplante Investition", Typ::Text), s("Kosten", "voraussichtliche Anschaffungskosten in Euro", Typ::Betrag),
               s("Betrag", "Abzugsbetrag in Euro", Typ::Betrag), s("Hinzurechnung", "bisher hinzugerechnet in Euro", Typ::Betrag),
               s("Investiert", "Datum der Anschaffung, für die hinzugerechnet wurde", Typ::Datum),
               s("Anlage", "Nummer der Anlage (interner Schlüssel, 0: keine)", Typ::Ganzzahl),
               s("Rueckgaengig", "1: rückgängig gemacht", Typ::Ganzzahl), s("Offen", "noch offener Betrag in Euro", Typ::Betrag)},
              {},
              [datum](int) {
                  QVector<QVector<DatenTyp>> r;
                  for (const Anlagen::Abzug& a : Anlagen::abzuege())
                      r.append({a.nummer, a.jahr, a.bezeichnung, a.kosten, a.betrag, a.hinzurechnung, datum(a.investiert), a.anlage,
                                a.rueckgaengig ? 1 : 0, a.offen()});
                  return r;
              }});

    t.append({QStringLiteral("fahrzeuge.csv"), QStringLiteral("Fahrzeuge"),
              QStringLiteral("Fahrzeuge des Betriebs mit der Bewertung der privaten Nutzung (1-%-Regelung oder Fahrtenbuch)"), QString(), QString(),
              {k("Nummer", "Nummer im Verzeichnis", Typ::Ganzzahl), s("Bezeichnung", "Bezeichnung", Typ::Text),
               s("Fahrtenbuch", "1: Fahrtenbuch, 0: 1-%-Regelung", Typ::Ganzzahl), s("Listenpreis", "Bruttolistenpreis in Euro", Typ::Betrag),
               s("PrivatProzent", "privater Anteil laut Fahrtenbuch in Prozent", Typ::Betrag),
               s("UstProzent", "umsatzsteuerpflichtiger Anteil der Privatnutzung in Prozent", Typ::Betrag),
               s("Jahr", "Jahr der Monatsangaben", Typ::Ganzzahl), s("VonMonat", "erster Monat im Betrieb", Typ::Ganzzahl),
               s("BisMonat", "letzter Monat im Betrieb", Typ::Ganzzahl),
               s("Entfernung", "Entfernung Wohnung - Betriebsstätte in km", Typ::Ganzzahl),
               s("Arbeitstage", "Tage mit Fahrten zur Betriebsstätte", Typ::Ganzzahl)},
              {},
              [](int) {
                  QVector<QVector<DatenTyp>> r;
                  for (const Anlagen::Fahrzeug& f : Anlagen::fahrzeuge())
                      r.append({f.nummer, f.bezeichnung, f.fahrtenbuch ? 1 : 0, f.listenpreis, f.privatProzent, f.ustProzent, f.jahr,
                                f.vonMonat, f.bisMonat, f.entfernung, f.arbeitstage});
                  return r;
              }});
    return t;
}
}  // namespace

const QVector<GoBD::Tabelle>& GoBD::tabellen() {
    static const QVector<Tabelle> t = beschreibungen();
    return t;
}
