// The invoice as e-invoice: XRechnung 3.0 in the UN/CEFACT CII syntax.
//
// CII rather than UBL because the same XML goes into the printed invoice as
// "factur-x.xml": ZUGFeRD/Factur-X, the hybrid PDF German businesses
// exchange, carries CII only, so one writer serves both.
//
// The data are first gathered into a model with every business term the
// XML will carry; the rules of EN 16931 and of the German CIUS that our
// data can break are checked on that model, and only a model without
// violation is written. A correction with a negative total is written as
// credit note (381) with the signs turned, as the standard wants credit
// notes in positive amounts.
#include "kontbaum/faktura/intern.h"

#include <QXmlStreamWriter>
#include <cmath>

namespace Faktura {
using namespace intern;

namespace {
const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");
const QString kStandardKennung = QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0");
const QString kProzess = QStringLiteral("urn:fdc:peppol.eu:2017:poacc:billing:01:1.0");
const QString kKleinunternehmer =
    QStringLiteral("Es besteht keine Umsatzsteuerpflicht, da aufgrund der Kleinunternehmerregelung (§ 19 UStG) eine Befreiung von der "
                   "Einbehaltung und Abführung der Umsatzsteuer besteht.");

struct Kategorie {
    QString code;  // S, E, AE, K; empty: not for an e-invoice
    double satz = 0.0;
    QString grund, grundCode;
};

// The export outside the EU (§ 4 Nr. 1 Buchst. a, § 6 UStG): the revenue
// account of tax-free exports carries code 43 of the advance return.
const Kategorie kAusfuhr{QStringLiteral("G"), 0.0, QStringLiteral("Steuerfreie Ausfuhrlieferung (§ 4 Nr. 1 Buchst. a UStG)"),
                         QStringLiteral("VATEX-EU-G")};

// The category of a position: its key, and for a position without tax its
// revenue account (the account of exports makes it G, any other E).
Kategorie kategorie(DBConnection* db, unsigned long schluessel, bool ust, unsigned long konto = 0) {
    if (!ust) return {QStringLiteral("E"), 0.0, kKleinunternehmer, QString()};
    if (schluessel == 0) {
        if (konto != 0 && wert(db, QStringLiteral("SELECT UStVA FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(konto)}).toULong() == 43)
            return kAusfuhr;
        return {QStringLiteral("E"), 0.0, QStringLiteral("Steuerfreier Umsatz"), QString()};
    }
    const SchluesselInfo s = schluesselInfo(db, schluessel);
    if (!s.gibt || s.steuerart != QLatin1String("U") || s.igErwerb) return {};
    if (s.kennziffer == 43) return kAusfuhr;
    if (s.kennziffer == 41)
        return {QStringLiteral("K"), 0.0, QStringLiteral("Steuerfreie innergemeinschaftliche Lieferung (§ 4 Nr. 1 Buchst. b UStG)"),
                QStringLiteral("VATEX-EU-IC")};
    if (s.kennziffer == 21 || s.kennziffer == 60 || s.kennziffer == 68)
        return {QStringLiteral("AE"), 0.0, QStringLiteral("Steuerschuldnerschaft des Leistungsempfängers (Reverse Charge)"),
                QStringLiteral("VATEX-EU-AE")};
    if (s.satz > 0.0) return {QStringLiteral("S"), s.satz, QString(), QString()};
    return {};
}

struct XZeile {
    int nr = 0;
    QString artikelnummer, name, beschreibung, einheit;
    double menge = 0.0;
    // The net price of one unit, to four places as the standard allows: a
    // gross position's is its net share divided by the quantity, finer
    // than a cent, so it is no amount.
    double preis = 0.0;
    EuroType rabatt, basis, netto;
    double rabattProzent = 0.0;
    Kategorie kat;
};
struct XSteuer {
    Kategorie kat;
    EuroType basis, steuer;
};
struct Modell {
    QString nummer, typ;
    zDate datum, von, bis, faellig;
    // The preceding invoice a correction names (BT-25, BT-26).
    QString vorherNummer;
    zDate vorherDatum;
    Firma firma;
    Person kunde;
    bool mitKunde = false;
    QString referenz;
    QList<XZeile> zeilen;
    QList<XSteuer> steuern;
    EuroType versand;
    Kategorie versandKat;
    EuroType summeZeilen, zuschlaege, steuerbasis, steuer, brutto, bezahlt, faelligBetrag;
    QString zahlungstext;
    QStringList fehlendeSchluessel;
};

// Quantities and prices as the XML writes them: no exponent, no trailing zeros.
QString zahl(double v, int stellen) {
    QString t = QString::number(v, 'f', stellen);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0'))) t.chop(1);
        if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    }
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}
QString betrag(const EuroType& e) { return e.getText(EuroType::TextPunkt); }

// UN/ECE Recommendation 20 codes of the units the program offers.
QString einheitCode(const QString& e) {
    const QString k = e.trimmed().toLower();
    if (k == QLatin1String("std") || k == QLatin1String("std.") || k == QLatin1String("h") || k == QLatin1String("stunde")) return QStringLiteral("HUR");
    if (k == QLatin1String("tag") || k == QLatin1String("tage") || k == QLatin1String("d")) return QStringLiteral("DAY");
    if (k == QLatin1String("kg")) return QStringLiteral("KGM");
    if (k == QLatin1String("m")) return QStringLiteral("MTR");
    if (k == QLatin1String("l")) return QStringLiteral("LTR");
    if (k == QLatin1String("monat")) return QStringLiteral("MON");
    if (k == QLatin1String("pauschal") || k == QLatin1String("psch")) return QStringLiteral("LS");
    return QStringLiteral("H87");  // piece
}

Modell modell(DBConnection* db, const Beleg& b) {
    Modell m;
    const bool ust = KontoGlobal::istUstPflichtig(db);
    const Summen s = berechneSummen(db, b);
    // A credit note states its amounts positive; the sign goes into the type.
    const bool gutschrift = s.endsumme < EuroType();
    const double vz = gutschrift ? -1.0 : 1.0;
    auto positiv = [gutschrift](const EuroType& e) { return gutschrift ? -e : e; };
    m.typ = gutschrift ? QStringLiteral("381") : QStringLiteral("380");
    m.nummer = b.nummer;
    m.datum = b.datum;
    m.von = b.zeitraumVon;
    m.bis = b.zeitraumBis;
    Beleg vorher;
    if (b.korrekturZu != 0 && leseBeleg(db, Belegart::Rechnung, b.korrekturZu, &vorher)) {
        m.vorherNummer = vorher.nummer;
        m.vorherDatum = vorher.datum;
    }
    m.firma = leseFirma(db);
    m.mitKunde = lesePerson(db, b.personID, &m.kunde);
    m.referenz = !m.kunde.leitweg.trimmed().isEmpty() ? m.kunde.leitweg.trimmed() : m.kunde.kundennummer.trimmed();
    QMap<QString, XSteuer> steuern;  // category + rate
    auto steuer = [&](const Kategorie& k) -> XSteuer& {
        XSteuer& x = steuern[k.code + QLatin1Char('/') + zahl(k.satz, 2)];
        x.kat = k;
        return x;
    };
    for (int i = 0; i < b.positionen.size(); ++i) {
        const Position& p = b.positionen[i];
        XZeile z;
        z.nr = i + 1;
        z.artikelnummer = p.artikelnummer;
        z.name = p.bezeichnung;
        z.beschreibung = p.beschreibung;
        z.einheit = einheitCode(p.einheit);
        z.kat = kategorie(db, p.steuerschluessel, ust, p.konto);
        if (z.kat.code.isEmpty()) m.fehlendeSchluessel << QString::number(p.steuerschluessel);
        const EuroType preis = p.brutto ? EuroType() : p.preis;
        const double preisVz = preis < EuroType() ? -1.0 : 1.0;
        z.menge = p.menge * preisVz * vz;
        z.netto = positiv(s.positionsnetto[i]);
        if (p.brutto) {
            // A gross price has no net price of its own: the line's net share
            // per unit, the discount already in it.
            z.preis = p.menge != 0.0 ? std::fabs(z.netto.alsDouble() / p.menge) : 0.0;
            z.menge = p.menge * (z.netto < EuroType() ? -1.0 : 1.0) * (p.menge < 0 ? -1.0 : 1.0);
            z.basis = z.netto;
        } else {
            z.preis = preis.abs().alsDouble();
            z.rabattProzent = p.rabatt;
            z.rabatt = positiv(s.positionsrabatt[i]);
            z.basis = z.netto + z.rabatt;
        }
        m.summeZeilen += z.netto;
        steuer(z.kat).basis += z.netto;
        m.zeilen << z;
    }
    for (const Schluesselsumme& k : s.schluessel) {
        // Only a taxed key has tax to place, and its category is the key's alone.
        const Kategorie kat = kategorie(db, k.steuerschluessel, ust);
        if (!kat.code.isEmpty() && !k.steuer.isNull()) steuer(kat).steuer += positiv(k.steuer);
    }
    if (!s.versandNetto.isNull()) {
        m.versand = positiv(s.versandNetto);
        // Untaxed shipping of an export is part of the export.
        bool ausfuhr = !m.zeilen.isEmpty();
        for (const XZeile& z : m.zeilen) ausfuhr = ausfuhr && z.kat.code == kAusfuhr.code;
        m.versandKat = !ust                    ? kategorie(db, 0, false)
                       : b.versandSatz > 0.0   ? Kategorie{QStringLiteral("S"), b.versandSatz, QString(), QString()}
                       : ausfuhr               ? kAusfuhr
                                               : Kategorie{QStringLiteral("E"), 0.0, QStringLiteral("Steuerfreier Umsatz"), QString()};
        XSteuer& x = steuer(m.versandKat);
        x.basis += m.versand;
        x.steuer += positiv(s.versandSteuer);
    }
    for (const XSteuer& x : steuern) {
        m.steuern << x;
        m.steuer += x.steuer;
    }
    m.zuschlaege = m.versand;
    m.steuerbasis = m.summeZeilen + m.zuschlaege;
    m.brutto = m.steuerbasis + m.steuer;
    m.bezahlt = positiv(b.anzahlung);
    m.faelligBetrag = m.brutto - m.bezahlt;
    Zahlungsbedingung zb;
    const bool mitBedingung = leseZahlungsbedingung(db, b.zahlungsbedingungID, &zb) ||
                              leseZahlungsbedingung(db, m.kunde.zahlungsbedingungID, &zb);
    m.faellig = b.zahlungsziel.isValid() ? b.zahlungsziel : b.datum.addDays(mitBedingung ? zb.tage : 14);
    m.zahlungstext = gutschrift ? QStringLiteral("Gutschrift über %1 €, erstattet bis %2.").arg(m.faelligBetrag.getText(), m.faellig.getText())
                                : QStringLiteral("Zahlbar bis %1 ohne Abzug.").arg(m.faellig.getText());
    if (mitBedingung && zb.skonto1 > 0.0)
        m.zahlungstext = QStringLiteral("#SKONTO#TAGE=%1#PROZENT=%2#\n").arg(zb.skontotage1).arg(QString::number(zb.skonto1, 'f', 2)) +
                         m.zahlungstext;
    return m;
}

QStringList regeln(const Modell& m) {
    QStringList v;
    auto regel = [&](bool verletzt, const char* id, const QString& text) {
        if (verletzt) v << QStringLiteral("[%1] %2").arg(QLatin1String(id), text);
    };
    const Firma& f = m.firma;
    const Person& k = m.kunde;
    const QString firmaTipp = QStringLiteral(" Bitte ergänzen Sie es mit „dalvo firma“.");
    const QString kundeTipp = QStringLiteral(" Bitte ergänzen Sie es mit „dalvo kunde FALL aendern“.");
    regel(m.nummer.isEmpty(), "BR-02", QStringLiteral("Die Rechnungsnummer fehlt. Bitte speichern Sie die Rechnung."));
    regel(!m.datum.isValid(), "BR-03", QStringLiteral("Das Rechnungsdatum fehlt."));
    regel(m.typ != QLatin1String("380") && m.typ != QLatin1String("381"), "BR-DE-17", QStringLiteral("Unzulässiger Rechnungstyp."));
    regel(f.name.isEmpty(), "BR-06", QStringLiteral("Der Name des Verkäufers (Ihrer Firma) fehlt.") + firmaTipp);
    regel(!m.mitKunde || k.anzeigename().isEmpty(), "BR-07", QStringLiteral("Der Name des Käufers fehlt.") + kundeTipp);
    regel(f.land.size() != 2, "BR-09", QStringLiteral("Der Ländercode des Verkäufers fehlt.") + firmaTipp);
    // The postal addresses (BR-08, BR-10) need no street: their country
    // (BR-09, BR-11), city and postcode (BR-DE-3/4/8/9) are what the rules
    // ask for. The printout checks the full address of § 14 UStG itself.
    regel(k.land.size() != 2, "BR-11", QStringLiteral("Der Ländercode des Käufers fehlt.") + kundeTipp);
    regel(m.zeilen.isEmpty(), "BR-16", QStringLiteral("Die Rechnung hat keine Positionen."));
    for (const XZeile& z : m.zeilen) {
        regel(z.name.trimmed().isEmpty(), "BR-25", QStringLiteral("Position %1 hat keine Bezeichnung.").arg(z.nr));
        regel(z.menge == 0.0, "BR-22", QStringLiteral("Position %1 hat keine Menge.").arg(z.nr));
        regel(z.preis < 0.0, "BR-27", QStringLiteral("Der Nettopreis der Position %1 ist negativ.").arg(z.nr));
    }
    regel(!m.fehlendeSchluessel.isEmpty(), "BR-CO-18",
          QStringLiteral("Für die Steuerschlüssel %1 gibt es keine Umsatzsteuerkategorie einer E-Rechnung (S, E, AE, K, G). Bitte wählen Sie "
                         "einen Umsatzsteuerschlüssel.")
              .arg(m.fehlendeSchluessel.join(QStringLiteral(", "))));
    // The arithmetic of the totals.
    EuroType zeilen, steuer;
    for (const XZeile& z : m.zeilen) zeilen += z.netto;
    for (const XSteuer& x : m.steuern) steuer += x.steuer;
    regel(zeilen != m.summeZeilen, "BR-CO-10", QStringLiteral("Die Summe der Positionen stimmt nicht mit der Nettosumme überein."));
    regel((m.summeZeilen + m.zuschlaege) != m.steuerbasis, "BR-CO-13",
          QStringLiteral("Die Steuerbasis ist nicht Nettosumme plus Zuschläge."));
    regel(steuer != m.steuer, "BR-CO-14", QStringLiteral("Die Umsatzsteuer ist nicht die Summe der Steuerbeträge je Kategorie."));
    regel((m.steuerbasis + m.steuer) != m.brutto, "BR-CO-15", QStringLiteral("Der Bruttobetrag ist nicht Steuerbasis plus Umsatzsteuer."));
    regel((m.brutto - m.bezahlt) != m.faelligBetrag, "BR-CO-16", QStringLiteral("Der fällige Betrag ist nicht Brutto minus Anzahlung."));
    regel(m.steuern.isEmpty(), "BR-CO-18", QStringLiteral("Die Rechnung hat keine Aufschlüsselung der Umsatzsteuer."));
    bool mitS = false, mitAE = false, mitK = false, mitG = false;
    for (const XSteuer& x : m.steuern) {
        // A key's tax is figured on its sum, gross positions backwards from
        // the gross amount: that may differ from basis × rate by one cent.
        const EuroType soll = x.basis.prozent(x.kat.satz);
        regel((x.steuer - soll).abs() > EuroType::ausCent(1), "BR-CO-17",
              QStringLiteral("Die Umsatzsteuer der Kategorie %1 (%2 %) ist nicht Basis mal Steuersatz.").arg(x.kat.code, zahl(x.kat.satz, 2)));
        const bool ohneSteuer = x.kat.code != QLatin1String("S");
        regel(ohneSteuer && !x.steuer.isNull(), "BR-E-09", QStringLiteral("In der Kategorie %1 darf keine Umsatzsteuer anfallen.").arg(x.kat.code));
        regel(ohneSteuer && x.kat.grund.isEmpty(), "BR-E-10", QStringLiteral("Der Grund der Steuerbefreiung fehlt."));
        mitS = mitS || x.kat.code == QLatin1String("S");
        mitAE = mitAE || x.kat.code == QLatin1String("AE");
        mitK = mitK || x.kat.code == QLatin1String("K");
        mitG = mitG || x.kat.code == QLatin1String("G");
    }
    const bool sellerId = !f.ustid.isEmpty() || !f.steuernummer.isEmpty();
    regel(!sellerId, mitS ? "BR-S-02" : "BR-DE-16",
          QStringLiteral("Die USt-IdNr. oder die Steuernummer des Verkäufers fehlt.") + firmaTipp);
    regel(mitAE && k.ustid.isEmpty(), "BR-AE-02",
          QStringLiteral("Bei Steuerschuldnerschaft des Leistungsempfängers muss die USt-IdNr. des Käufers angegeben sein.") + kundeTipp);
    regel(mitK && f.ustid.isEmpty(), "BR-K-02",
          QStringLiteral("Bei einer innergemeinschaftlichen Lieferung muss Ihre USt-IdNr. angegeben sein.") + firmaTipp);
    regel(mitK && k.ustid.isEmpty(), "BR-K-02",
          QStringLiteral("Bei einer innergemeinschaftlichen Lieferung muss die USt-IdNr. des Käufers angegeben sein.") + kundeTipp);
    regel(mitG && f.ustid.isEmpty(), "BR-G-02",
          QStringLiteral("Bei einer steuerfreien Ausfuhr muss Ihre USt-IdNr. angegeben sein.") + firmaTipp);
    regel(mitK && !m.von.isValid() && !m.bis.isValid(), "BR-IC-11",
          QStringLiteral("Bei einer innergemeinschaftlichen Lieferung muss das Lieferdatum oder der Leistungszeitraum angegeben sein."));
    // The German CIUS.
    regel(f.iban.isEmpty(), "BR-DE-1", QStringLiteral("Die Zahlungsanweisungen fehlen: die IBAN Ihrer Firma ist nicht angegeben.") + firmaTipp);
    regel(f.kontakt.isEmpty(), "BR-DE-5", QStringLiteral("Der Ansprechpartner des Verkäufers fehlt.") + firmaTipp);
    regel(f.telefon.isEmpty(), "BR-DE-6", QStringLiteral("Die Telefonnummer des Verkäufers fehlt.") + firmaTipp);
    regel(f.email.isEmpty(), "BR-DE-7", QStringLiteral("Die E-Mail-Adresse des Verkäufers fehlt.") + firmaTipp);
    regel(f.ort.isEmpty(), "BR-DE-3", QStringLiteral("Der Ort des Verkäufers fehlt.") + firmaTipp);
    regel(f.plz.isEmpty(), "BR-DE-4", QStringLiteral("Die Postleitzahl des Verkäufers fehlt.") + firmaTipp);
    regel(k.ort.isEmpty(), "BR-DE-8", QStringLiteral("Der Ort des Käufers fehlt.") + kundeTipp);
    regel(k.plz.isEmpty(), "BR-DE-9", QStringLiteral("Die Postleitzahl des Käufers fehlt.") + kundeTipp);
    regel(m.referenz.isEmpty(), "BR-DE-15",
          QStringLiteral("Die Käuferreferenz (Leitweg-ID oder Kundennummer) fehlt.") + kundeTipp);
    regel(k.email.isEmpty(), "BT-49",
          QStringLiteral("Die elektronische Adresse des Käufers (E-Mail) fehlt; XRechnung 3.0 verlangt sie.") + kundeTipp);
    return v;
}

void text(QXmlStreamWriter& w, const QString& name, const QString& wert) { w.writeTextElement(kRam, name, wert); }
void datum(QXmlStreamWriter& w, const QString& name, const zDate& d) {
    w.writeStartElement(kRam, name);
    w.writeStartElement(kUdt, QStringLiteral("DateTimeString"));
    w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
    w.writeCharacters(d.qdate().toString(QStringLiteral("yyyyMMdd")));
    w.writeEndElement();
    w.writeEndElement();
}
void kategorieSchreiben(QXmlStreamWriter& w, const QString& element, const Kategorie& k, const EuroType* steuer, const EuroType* basis) {
    w.writeStartElement(kRam, element);
    if (steuer) text(w, QStringLiteral("CalculatedAmount"), betrag(*steuer));
    text(w, QStringLiteral("TypeCode"), QStringLiteral("VAT"));
    if (steuer && !k.grund.isEmpty()) text(w, QStringLiteral("ExemptionReason"), k.grund);
    if (basis) text(w, QStringLiteral("BasisAmount"), betrag(*basis));
    text(w, QStringLiteral("CategoryCode"), k.code);
    if (steuer && !k.grundCode.isEmpty()) text(w, QStringLiteral("ExemptionReasonCode"), k.grundCode);
    text(w, QStringLiteral("RateApplicablePercent"), zahl(k.satz, 2));
    w.writeEndElement();
}
void adresse(QXmlStreamWriter& w, const QString& plz, const QString& strasse, const QString& ort, const QString& land) {
    w.writeStartElement(kRam, QStringLiteral("PostalTradeAddress"));
    text(w, QStringLiteral("PostcodeCode"), plz);
    if (!strasse.isEmpty()) text(w, QStringLiteral("LineOne"), strasse);
    text(w, QStringLiteral("CityName"), ort);
    text(w, QStringLiteral("CountryID"), land);
    w.writeEndElement();
}
void emailAdresse(QXmlStreamWriter& w, const QString& email) {
    w.writeStartElement(kRam, QStringLiteral("URIUniversalCommunication"));
    w.writeStartElement(kRam, QStringLiteral("URIID"));
    w.writeAttribute(QStringLiteral("schemeID"), QStringLiteral("EM"));
    w.writeCharacters(email);
    w.writeEndElement();
    w.writeEndElement();
}
void steuerNr(QXmlStreamWriter& w, const QString& schema, const QString& id) {
    if (id.isEmpty()) return;
    w.writeStartElement(kRam, QStringLiteral("SpecifiedTaxRegistration"));
    w.writeStartElement(kRam, QStringLiteral("ID"));
    w.writeAttribute(QStringLiteral("schemeID"), schema);
    w.writeCharacters(id);
    w.writeEndElement();
    w.writeEndElement();
}
void summe(QXmlStreamWriter& w, const QString& name, const EuroType& e, bool mitWaehrung = false) {
    w.writeStartElement(kRam, name);
    if (mitWaehrung) w.writeAttribute(QStringLiteral("currencyID"), QStringLiteral("EUR"));
    w.writeCharacters(betrag(e));
    w.writeEndElement();
}

QByteArray schreiben(const Modell& m) {
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeNamespace(kRsm, QStringLiteral("rsm"));
    w.writeNamespace(kRam, QStringLiteral("ram"));
    w.writeNamespace(kUdt, QStringLiteral("udt"));
    if (!m.vorherNummer.isEmpty()) w.writeNamespace(kQdt, QStringLiteral("qdt"));
    w.writeStartElement(kRsm, QStringLiteral("CrossIndustryInvoice"));
    w.writeStartElement(kRsm, QStringLiteral("ExchangedDocumentContext"));
    w.writeStartElement(kRam, QStringLiteral("BusinessProcessSpecifiedDocumentContextParameter"));
    text(w, QStringLiteral("ID"), kProzess);
    w.writeEndElement();
    w.writeStartElement(kRam, QStringLiteral("GuidelineSpecifiedDocumentContextParameter"));
    text(w, QStringLiteral("ID"), kStandardKennung);
    w.writeEndElement();
    w.writeEndElement();

    w.writeStartElement(kRsm, QStringLiteral("ExchangedDocument"));
    text(w, QStringLiteral("ID"), m.nummer);
    text(w, QStringLiteral("TypeCode"), m.typ);
    datum(w, QStringLiteral("IssueDateTime"), m.datum);
    if (m.firma.kleinunternehmer) {
        w.writeStartElement(kRam, QStringLiteral("IncludedNote"));
        text(w, QStringLiteral("Content"), kKleinunternehmer);
        w.writeEndElement();
    }
    w.writeEndElement();

    w.writeStartElement(kRsm, QStringLiteral("SupplyChainTradeTransaction"));
    for (const XZeile& z : m.zeilen) {
        w.writeStartElement(kRam, QStringLiteral("IncludedSupplyChainTradeLineItem"));
        w.writeStartElement(kRam, QStringLiteral("AssociatedDocumentLineDocument"));
        text(w, QStringLiteral("LineID"), QString::number(z.nr));
        w.writeEndElement();
        w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeProduct"));
        if (!z.artikelnummer.isEmpty()) text(w, QStringLiteral("SellerAssignedID"), z.artikelnummer);
        text(w, QStringLiteral("Name"), z.name);
        if (!z.beschreibung.isEmpty()) text(w, QStringLiteral("Description"), z.beschreibung);
        w.writeEndElement();
        w.writeStartElement(kRam, QStringLiteral("SpecifiedLineTradeAgreement"));
        w.writeStartElement(kRam, QStringLiteral("NetPriceProductTradePrice"));
        text(w, QStringLiteral("ChargeAmount"), zahl(z.preis, 4));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(kRam, QStringLiteral("SpecifiedLineTradeDelivery"));
        w.writeStartElement(kRam, QStringLiteral("BilledQuantity"));
        w.writeAttribute(QStringLiteral("unitCode"), z.einheit);
        w.writeCharacters(zahl(z.menge, 4));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(kRam, QStringLiteral("SpecifiedLineTradeSettlement"));
        kategorieSchreiben(w, QStringLiteral("ApplicableTradeTax"), z.kat, nullptr, nullptr);
        if (!z.rabatt.isNull()) {
            w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeAllowanceCharge"));
            w.writeStartElement(kRam, QStringLiteral("ChargeIndicator"));
            w.writeTextElement(kUdt, QStringLiteral("Indicator"), QStringLiteral("false"));
            w.writeEndElement();
            text(w, QStringLiteral("CalculationPercent"), zahl(z.rabattProzent, 2));
            text(w, QStringLiteral("BasisAmount"), betrag(z.basis));
            text(w, QStringLiteral("ActualAmount"), betrag(z.rabatt));
            text(w, QStringLiteral("Reason"), QStringLiteral("Rabatt"));
            w.writeEndElement();
        }
        w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeSettlementLineMonetarySummation"));
        text(w, QStringLiteral("LineTotalAmount"), betrag(z.netto));
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }

    w.writeStartElement(kRam, QStringLiteral("ApplicableHeaderTradeAgreement"));
    text(w, QStringLiteral("BuyerReference"), m.referenz);
    w.writeStartElement(kRam, QStringLiteral("SellerTradeParty"));
    text(w, QStringLiteral("Name"), m.firma.name);
    w.writeStartElement(kRam, QStringLiteral("DefinedTradeContact"));
    text(w, QStringLiteral("PersonName"), m.firma.kontakt);
    w.writeStartElement(kRam, QStringLiteral("TelephoneUniversalCommunication"));
    text(w, QStringLiteral("CompleteNumber"), m.firma.telefon);
    w.writeEndElement();
    w.writeStartElement(kRam, QStringLiteral("EmailURIUniversalCommunication"));
    text(w, QStringLiteral("URIID"), m.firma.email);
    w.writeEndElement();
    w.writeEndElement();
    adresse(w, m.firma.plz, m.firma.strasse, m.firma.ort, m.firma.land);
    emailAdresse(w, m.firma.email);
    steuerNr(w, QStringLiteral("FC"), m.firma.steuernummer);
    steuerNr(w, QStringLiteral("VA"), m.firma.ustid);
    w.writeEndElement();
    w.writeStartElement(kRam, QStringLiteral("BuyerTradeParty"));
    text(w, QStringLiteral("Name"), m.kunde.anzeigename());
    adresse(w, m.kunde.plz, m.kunde.strasse, m.kunde.ort, m.kunde.land);
    emailAdresse(w, m.kunde.email);
    // A VAT identifier starts with its country's code (BR-CO-09); a tax
    // number of a country outside the EU that does not is no BT-48.
    const QString kundeId = m.kunde.ustid.simplified();
    if (kundeId.size() > 2 && kundeId[0].isLetter() && kundeId[1].isLetter()) steuerNr(w, QStringLiteral("VA"), kundeId);
    w.writeEndElement();
    w.writeEndElement();

    w.writeStartElement(kRam, QStringLiteral("ApplicableHeaderTradeDelivery"));
    w.writeStartElement(kRam, QStringLiteral("ShipToTradeParty"));
    text(w, QStringLiteral("Name"), m.kunde.anzeigename());
    adresse(w, m.kunde.plz, m.kunde.strasse, m.kunde.ort, m.kunde.land);
    w.writeEndElement();
    if (m.von.isValid() && (!m.bis.isValid() || m.bis == m.von)) {
        w.writeStartElement(kRam, QStringLiteral("ActualDeliverySupplyChainEvent"));
        datum(w, QStringLiteral("OccurrenceDateTime"), m.von);
        w.writeEndElement();
    }
    w.writeEndElement();

    w.writeStartElement(kRam, QStringLiteral("ApplicableHeaderTradeSettlement"));
    text(w, QStringLiteral("InvoiceCurrencyCode"), QStringLiteral("EUR"));
    w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeSettlementPaymentMeans"));
    text(w, QStringLiteral("TypeCode"), QStringLiteral("58"));
    w.writeStartElement(kRam, QStringLiteral("PayeePartyCreditorFinancialAccount"));
    text(w, QStringLiteral("IBANID"), m.firma.iban);
    w.writeEndElement();
    w.writeEndElement();
    for (const XSteuer& x : m.steuern) kategorieSchreiben(w, QStringLiteral("ApplicableTradeTax"), x.kat, &x.steuer, &x.basis);
    if (m.von.isValid() && m.bis.isValid() && m.bis != m.von) {
        w.writeStartElement(kRam, QStringLiteral("BillingSpecifiedPeriod"));
        datum(w, QStringLiteral("StartDateTime"), m.von);
        datum(w, QStringLiteral("EndDateTime"), m.bis);
        w.writeEndElement();
    }
    if (!m.versand.isNull()) {
        w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeAllowanceCharge"));
        w.writeStartElement(kRam, QStringLiteral("ChargeIndicator"));
        w.writeTextElement(kUdt, QStringLiteral("Indicator"), QStringLiteral("true"));
        w.writeEndElement();
        text(w, QStringLiteral("ActualAmount"), betrag(m.versand));
        text(w, QStringLiteral("Reason"), QStringLiteral("Versandkosten"));
        kategorieSchreiben(w, QStringLiteral("CategoryTradeTax"), m.versandKat, nullptr, nullptr);
        w.writeEndElement();
    }
    w.writeStartElement(kRam, QStringLiteral("SpecifiedTradePaymentTerms"));
    text(w, QStringLiteral("Description"), m.zahlungstext);
    datum(w, QStringLiteral("DueDateDateTime"), m.faellig);
    w.writeEndElement();
    w.writeStartElement(kRam, QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"));
    summe(w, QStringLiteral("LineTotalAmount"), m.summeZeilen);
    summe(w, QStringLiteral("ChargeTotalAmount"), m.zuschlaege);
    summe(w, QStringLiteral("AllowanceTotalAmount"), EuroType());
    summe(w, QStringLiteral("TaxBasisTotalAmount"), m.steuerbasis);
    summe(w, QStringLiteral("TaxTotalAmount"), m.steuer, true);
    summe(w, QStringLiteral("GrandTotalAmount"), m.brutto);
    summe(w, QStringLiteral("TotalPrepaidAmount"), m.bezahlt);
    summe(w, QStringLiteral("DuePayableAmount"), m.faelligBetrag);
    w.writeEndElement();
    if (!m.vorherNummer.isEmpty()) {
        w.writeStartElement(kRam, QStringLiteral("InvoiceReferencedDocument"));
        text(w, QStringLiteral("IssuerAssignedID"), m.vorherNummer);
        w.writeStartElement(kRam, QStringLiteral("FormattedIssueDateTime"));
        w.writeStartElement(kQdt, QStringLiteral("DateTimeString"));
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
        w.writeCharacters(m.vorherDatum.qdate().toString(QStringLiteral("yyyyMMdd")));
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}
}  // namespace

QStringList pruefeXRechnung(DBConnection* db, const Beleg& b) { return regeln(modell(rsFallDB(db), b)); }

QByteArray xrechnung(DBConnection* db, const Beleg& b, QString* fehler) {
    db = rsFallDB(db);
    if (b.art != Belegart::Rechnung || b.id == 0) {
        if (fehler) *fehler = QStringLiteral("Bitte speichern Sie die Rechnung, bevor Sie sie als E-Rechnung ausgeben.");
        return QByteArray();
    }
    const Modell m = modell(db, b);
    const QStringList v = regeln(m);
    if (!v.isEmpty()) {
        if (fehler)
            *fehler = QStringLiteral("Die Rechnung %1 ist keine gültige XRechnung:\n  ").arg(b.nummer) + v.join(QStringLiteral("\n  "));
        return QByteArray();
    }
    return schreiben(m);
}

}  // namespace Faktura
