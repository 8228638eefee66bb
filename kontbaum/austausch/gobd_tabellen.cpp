// The tables of the audit export, one description each. To export a further
// table (the asset register, incoming invoices), add its description here:
// the case table it needs, the SELECT and the columns in the same order.
#include "kontbaum/austausch/gobd.h"

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
    return t;
}
}  // namespace

const QVector<GoBD::Tabelle>& GoBD::tabellen() {
    static const QVector<Tabelle> t = beschreibungen();
    return t;
}
