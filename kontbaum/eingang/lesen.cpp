// Reading an incoming e-invoice: the XML streamed once into a small tree of
// elements (namespace, local name, attributes, text), then the business
// terms of EN 16931 taken from it by the paths of the syntax binding:
// CEN/TS 16931-3-3 for the CII of D16B (XRechnung, Factur-X, ZUGFeRD 2),
// the same terms under the older element names of ZUGFeRD 1.0, and
// CEN/TS 16931-3-2 for the UBL 2.1 Invoice and CreditNote.
//
// A reader that takes what it finds would let a typo in a total pass as
// zero: an amount or date that does not parse is a finding with its
// element, and the whole file is refused.
#include "kontbaum/eingang/eingang.h"

#include <QHash>
#include <QRegularExpression>
#include <QVector>
#include <QXmlStreamReader>

namespace Eingang {

namespace {

const QString kCiiNs = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kZugferd1Ns = QStringLiteral("urn:ferd:CrossIndustryDocument:invoice:1p0");
// The OASIS URNs of the UBL 2 document schemas: "urn:oasis:names:", one
// fixed name segment, then ":ubl:schema:xsd:" and the document's name.
bool istUblNamensraum(const QString& ns, const QString& dokument) {
    return ns.startsWith(QLatin1String("urn:oasis:names:")) && ns.endsWith(QLatin1String(":ubl:schema:xsd:") + dokument) &&
           ns.count(QLatin1Char(':')) == 7;
}

struct Knoten {
    QString ns, name, text;
    QHash<QString, QString> attribute;  // by local name
    QVector<int> kinder;
};

// The tree of one document; node 0 is the root element.
class Baum {
public:
    bool lies(const QByteArray& xml, QString* fehler) {
        QXmlStreamReader r(xml);
        QVector<int> stapel;
        while (!r.atEnd()) {
            const QXmlStreamReader::TokenType t = r.readNext();
            if (t == QXmlStreamReader::StartElement) {
                Knoten k;
                k.ns = r.namespaceUri().toString();
                k.name = r.name().toString();
                for (const QXmlStreamAttribute& a : r.attributes()) k.attribute.insert(a.name().toString(), a.value().toString());
                m_k.append(k);
                if (!stapel.isEmpty()) m_k[stapel.last()].kinder.append(m_k.size() - 1);
                stapel.append(m_k.size() - 1);
            } else if (t == QXmlStreamReader::EndElement) {
                stapel.removeLast();
            } else if (t == QXmlStreamReader::Characters && !stapel.isEmpty()) {
                m_k[stapel.last()].text += r.text();
            } else if (t == QXmlStreamReader::DTD) {
                // An e-invoice has no DTD; one could only serve entity tricks.
                *fehler = QStringLiteral("Die Datei enthält eine DTD (Zeile %1); eine E-Rechnung hat keine.").arg(r.lineNumber());
                return false;
            }
        }
        if (r.hasError()) {
            *fehler = QStringLiteral("Die Datei ist kein wohlgeformtes XML (Zeile %1, Spalte %2: %3).")
                          .arg(r.lineNumber())
                          .arg(r.columnNumber())
                          .arg(r.errorString());
            return false;
        }
        if (m_k.isEmpty()) {
            *fehler = QStringLiteral("Die Datei enthält kein XML-Element.");
            return false;
        }
        return true;
    }
    const Knoten& k(int i) const { return m_k[i]; }
    // Every node at `pfad` ("A/B/C", local names) below `von`.
    QVector<int> alle(int von, const QString& pfad) const {
        QVector<int> stufe{von};
        for (const QStringRef& teil : pfad.splitRef(QLatin1Char('/'))) {
            QVector<int> naechste;
            for (int i : stufe)
                for (int c : m_k[i].kinder)
                    if (m_k[c].name == teil) naechste.append(c);
            stufe = naechste;
        }
        return stufe;
    }
    int erster(int von, const QString& pfad) const {
        if (von < 0) return -1;
        const QVector<int> l = alle(von, pfad);
        return l.isEmpty() ? -1 : l.first();
    }
    QString text(int von, const QString& pfad) const {
        const int i = erster(von, pfad);
        return i < 0 ? QString() : m_k[i].text.trimmed();
    }

private:
    QVector<Knoten> m_k;
};

// The element names that differ between CII D16B and ZUGFeRD 1.0.
struct CiiNamen {
    QString kontext, dokument, transaktion, vereinbarung, lieferung, abrechnung, summen, satz;
    QString posVereinbarung, posLieferung, posAbrechnung, posSummen;
};
const CiiNamen kD16B{QStringLiteral("ExchangedDocumentContext"), QStringLiteral("ExchangedDocument"),
                     QStringLiteral("SupplyChainTradeTransaction"), QStringLiteral("ApplicableHeaderTradeAgreement"),
                     QStringLiteral("ApplicableHeaderTradeDelivery"), QStringLiteral("ApplicableHeaderTradeSettlement"),
                     QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"), QStringLiteral("RateApplicablePercent"),
                     QStringLiteral("SpecifiedLineTradeAgreement"), QStringLiteral("SpecifiedLineTradeDelivery"),
                     QStringLiteral("SpecifiedLineTradeSettlement"), QStringLiteral("SpecifiedTradeSettlementLineMonetarySummation")};
const CiiNamen kZugferd1{QStringLiteral("SpecifiedExchangedDocumentContext"), QStringLiteral("HeaderExchangedDocument"),
                         QStringLiteral("SpecifiedSupplyChainTradeTransaction"), QStringLiteral("ApplicableSupplyChainTradeAgreement"),
                         QStringLiteral("ApplicableSupplyChainTradeDelivery"), QStringLiteral("ApplicableSupplyChainTradeSettlement"),
                         QStringLiteral("SpecifiedTradeSettlementMonetarySummation"), QStringLiteral("ApplicablePercent"),
                         QStringLiteral("SpecifiedSupplyChainTradeAgreement"), QStringLiteral("SpecifiedSupplyChainTradeDelivery"),
                         QStringLiteral("SpecifiedSupplyChainTradeSettlement"), QStringLiteral("SpecifiedTradeSettlementMonetarySummation")};

class Leser {
public:
    Leser(const Baum& b, const QString& praefix) : b(b), m_praefix(praefix) {}

    // An amount of at most two decimals (BR-DEC); a malformed one is a finding.
    EuroType betrag(int von, const QString& pfad, bool* da = nullptr) {
        const int i = b.erster(von, pfad);
        if (da) *da = i >= 0;
        return i < 0 ? EuroType() : betragVon(i);
    }
    EuroType betragVon(int i) {
        const QString t = b.k(i).text.trimmed();
        static const QRegularExpression muster(QStringLiteral("^([+-]?)(\\d{1,13})(?:\\.(\\d{1,2}))?$"));
        const QRegularExpressionMatch m = muster.match(t);
        if (!m.hasMatch()) {
            static const QRegularExpression stellen(QStringLiteral("^[+-]?\\d+\\.\\d{3,}$"));
            const bool zuVieleStellen = stellen.match(t).hasMatch();
            fehler << QStringLiteral("%1 %2%3: „%4“ ist kein Betrag%5.")
                          .arg(zuVieleStellen ? QStringLiteral("BR-DEC:") : QStringLiteral("Syntax:"), m_praefix, b.k(i).name, t,
                               zuVieleStellen ? QStringLiteral(" mit höchstens zwei Nachkommastellen") : QString());
            return EuroType();
        }
        const qint64 cent = m.captured(2).toLongLong() * 100 + m.captured(3).leftJustified(2, QLatin1Char('0')).toLongLong();
        return EuroType::ausCent(m.captured(1) == QLatin1String("-") ? -cent : cent);
    }
    double zahl(int von, const QString& pfad) {
        const int i = b.erster(von, pfad);
        if (i < 0) return 0.0;
        bool ok = false;
        const double d = b.k(i).text.trimmed().toDouble(&ok);
        if (!ok) fehler << QStringLiteral("Syntax: %1%2: „%3“ ist keine Zahl.").arg(m_praefix, b.k(i).name, b.k(i).text.trimmed());
        return d;
    }
    // CII dates: format 102 (YYYYMMDD); UBL dates: YYYY-MM-DD.
    zDate datum(int von, const QString& pfad) {
        const int i = b.erster(von, pfad);
        if (i < 0) return zDate();
        const QString t = b.k(i).text.trimmed();
        const QString format = b.k(i).attribute.value(QStringLiteral("format"));
        QDate d;
        if (!format.isEmpty() && format != QLatin1String("102"))
            fehler << QStringLiteral("Syntax: %1%2: Datumsformat %3 wird nicht unterstützt (erwartet 102 = JJJJMMTT).")
                          .arg(m_praefix, b.k(i).name, format);
        else
            d = QDate::fromString(t, t.contains(QLatin1Char('-')) ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyyMMdd"));
        if (!d.isValid() && (format.isEmpty() || format == QLatin1String("102")))
            fehler << QStringLiteral("Syntax: %1%2: „%3“ ist kein gültiges Datum.").arg(m_praefix, b.k(i).name, t);
        return zDate(d);
    }
    QString text(int von, const QString& pfad) const { return b.text(von, pfad); }

    const Baum& b;
    QStringList fehler;

private:
    QString m_praefix;
};

void lesePartei(Leser& l, int p, Partei* x) {
    if (p < 0) return;
    const Baum& b = l.b;
    x->name = l.text(p, QStringLiteral("Name"));
    x->kontakt = l.text(p, QStringLiteral("DefinedTradeContact/PersonName"));
    x->telefon = l.text(p, QStringLiteral("DefinedTradeContact/TelephoneUniversalCommunication/CompleteNumber"));
    x->email = l.text(p, QStringLiteral("DefinedTradeContact/EmailURIUniversalCommunication/URIID"));
    const int a = b.erster(p, QStringLiteral("PostalTradeAddress"));
    x->plz = l.text(a, QStringLiteral("PostcodeCode"));
    x->strasse = l.text(a, QStringLiteral("LineOne"));
    x->ort = l.text(a, QStringLiteral("CityName"));
    x->land = l.text(a, QStringLiteral("CountryID")).toUpper();
    for (int r : b.alle(p, QStringLiteral("SpecifiedTaxRegistration/ID"))) {
        const QString schema = b.k(r).attribute.value(QStringLiteral("schemeID"));
        if (schema == QLatin1String("VA")) x->ustid = b.k(r).text.trimmed();
        else if (schema == QLatin1String("FC")) x->steuernummer = b.k(r).text.trimmed();
    }
}

Zuschlag leseCiiZuschlag(Leser& l, int z, const QString& satz) {
    Zuschlag x;
    x.zuschlag = l.text(z, QStringLiteral("ChargeIndicator/Indicator")) == QLatin1String("true");
    x.betrag = l.betrag(z, QStringLiteral("ActualAmount"));
    x.grund = l.text(z, QStringLiteral("Reason"));
    x.kategorie = l.text(z, QStringLiteral("CategoryTradeTax/CategoryCode"));
    x.satz = l.zahl(z, QStringLiteral("CategoryTradeTax/") + satz);
    return x;
}

bool leseCii(const Baum& b, const CiiNamen& n, Rechnung* r, QString* fehler) {
    Leser l(b, QStringLiteral("ram:"));
    const int doc = b.erster(0, n.dokument);
    r->profil = l.text(0, n.kontext + QStringLiteral("/GuidelineSpecifiedDocumentContextParameter/ID"));
    r->nummer = l.text(doc, QStringLiteral("ID"));
    r->typ = l.text(doc, QStringLiteral("TypeCode"));
    r->datum = l.datum(doc, QStringLiteral("IssueDateTime/DateTimeString"));
    r->notiz = l.text(doc, QStringLiteral("IncludedNote/Content"));
    const int tx = b.erster(0, n.transaktion);
    const int ver = b.erster(tx, n.vereinbarung);
    const int lie = b.erster(tx, n.lieferung);
    const int abr = b.erster(tx, n.abrechnung);
    r->kaeuferreferenz = l.text(ver, QStringLiteral("BuyerReference"));
    lesePartei(l, b.erster(ver, QStringLiteral("SellerTradeParty")), &r->verkaeufer);
    lesePartei(l, b.erster(ver, QStringLiteral("BuyerTradeParty")), &r->kaeufer);
    r->lieferdatum = l.datum(lie, QStringLiteral("ActualDeliverySupplyChainEvent/OccurrenceDateTime/DateTimeString"));
    r->zahlungsreferenz = l.text(abr, QStringLiteral("PaymentReference"));
    r->waehrung = l.text(abr, QStringLiteral("InvoiceCurrencyCode"));
    r->iban = l.text(abr, QStringLiteral("SpecifiedTradeSettlementPaymentMeans/PayeePartyCreditorFinancialAccount/IBANID"));
    r->bic = l.text(abr, QStringLiteral("SpecifiedTradeSettlementPaymentMeans/PayeeSpecifiedCreditorFinancialInstitution/BICID"));
    r->zahlungsbedingungen = l.text(abr, QStringLiteral("SpecifiedTradePaymentTerms/Description"));
    r->faellig = l.datum(abr, QStringLiteral("SpecifiedTradePaymentTerms/DueDateDateTime/DateTimeString"));
    r->bezug = l.text(abr, QStringLiteral("InvoiceReferencedDocument/IssuerAssignedID"));
    for (int t : b.alle(abr, QStringLiteral("ApplicableTradeTax"))) {
        Steuerzeile s;
        s.kategorie = l.text(t, QStringLiteral("CategoryCode"));
        s.satz = l.zahl(t, n.satz);
        s.basis = l.betrag(t, QStringLiteral("BasisAmount"));
        s.steuer = l.betrag(t, QStringLiteral("CalculatedAmount"));
        s.grund = l.text(t, QStringLiteral("ExemptionReason"));
        s.grundCode = l.text(t, QStringLiteral("ExemptionReasonCode"));
        r->steuern << s;
    }
    for (int z : b.alle(abr, QStringLiteral("SpecifiedTradeAllowanceCharge"))) r->zuschlaege << leseCiiZuschlag(l, z, n.satz);
    const int sum = b.erster(abr, n.summen);
    r->summePositionen = l.betrag(sum, QStringLiteral("LineTotalAmount"), &r->hatSummePositionen);
    r->summeZuschlaege = l.betrag(sum, QStringLiteral("ChargeTotalAmount"), &r->hatZuschlaege);
    r->summeAbschlaege = l.betrag(sum, QStringLiteral("AllowanceTotalAmount"), &r->hatAbschlaege);
    r->netto = l.betrag(sum, QStringLiteral("TaxBasisTotalAmount"), &r->hatNetto);
    // BT-110 is the TaxTotalAmount in the invoice currency; BT-111 (the
    // accounting currency) may stand beside it.
    for (int t : b.alle(sum, QStringLiteral("TaxTotalAmount"))) {
        const QString w = b.k(t).attribute.value(QStringLiteral("currencyID"));
        if (!r->hatSteuer && (w.isEmpty() || w == r->waehrung)) {
            r->steuer = l.betragVon(t);
            r->hatSteuer = true;
        }
    }
    r->brutto = l.betrag(sum, QStringLiteral("GrandTotalAmount"), &r->hatBrutto);
    r->vorausbezahlt = l.betrag(sum, QStringLiteral("TotalPrepaidAmount"));
    r->rundung = l.betrag(sum, QStringLiteral("RoundingAmount"));
    r->zahlbetrag = l.betrag(sum, QStringLiteral("DuePayableAmount"), &r->hatZahlbetrag);
    for (int p : b.alle(tx, QStringLiteral("IncludedSupplyChainTradeLineItem"))) {
        Position x;
        x.id = l.text(p, QStringLiteral("AssociatedDocumentLineDocument/LineID"));
        x.name = l.text(p, QStringLiteral("SpecifiedTradeProduct/Name"));
        x.preis = l.text(p, n.posVereinbarung + QStringLiteral("/NetPriceProductTradePrice/ChargeAmount"));
        const int menge = b.erster(p, n.posLieferung + QStringLiteral("/BilledQuantity"));
        if (menge >= 0) {
            x.menge = b.k(menge).text.trimmed();
            x.einheit = b.k(menge).attribute.value(QStringLiteral("unitCode"));
        }
        const int pa = b.erster(p, n.posAbrechnung);
        x.kategorie = l.text(pa, QStringLiteral("ApplicableTradeTax/CategoryCode"));
        x.satz = l.zahl(pa, QStringLiteral("ApplicableTradeTax/") + n.satz);
        for (int z : b.alle(pa, QStringLiteral("SpecifiedTradeAllowanceCharge"))) x.zuschlaege << leseCiiZuschlag(l, z, n.satz);
        x.netto = l.betrag(pa, n.posSummen + QStringLiteral("/LineTotalAmount"));
        r->positionen << x;
    }
    if (!l.fehler.isEmpty()) {
        *fehler = l.fehler.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

void leseUblPartei(Leser& l, int p, Partei* x) {
    if (p < 0) return;
    const Baum& b = l.b;
    x->name = l.text(p, QStringLiteral("PartyName/Name"));
    if (x->name.isEmpty()) x->name = l.text(p, QStringLiteral("PartyLegalEntity/RegistrationName"));
    const int a = b.erster(p, QStringLiteral("PostalAddress"));
    x->strasse = l.text(a, QStringLiteral("StreetName"));
    x->ort = l.text(a, QStringLiteral("CityName"));
    x->plz = l.text(a, QStringLiteral("PostalZone"));
    x->land = l.text(a, QStringLiteral("Country/IdentificationCode")).toUpper();
    for (int s : b.alle(p, QStringLiteral("PartyTaxScheme"))) {
        // BT-31 carries the tax scheme VAT; BT-32 (the tax number) any other.
        if (l.text(s, QStringLiteral("TaxScheme/ID")) == QLatin1String("VAT")) x->ustid = l.text(s, QStringLiteral("CompanyID"));
        else x->steuernummer = l.text(s, QStringLiteral("CompanyID"));
    }
    x->kontakt = l.text(p, QStringLiteral("Contact/Name"));
    x->telefon = l.text(p, QStringLiteral("Contact/Telephone"));
    x->email = l.text(p, QStringLiteral("Contact/ElectronicMail"));
}

Zuschlag leseUblZuschlag(Leser& l, int z) {
    Zuschlag x;
    x.zuschlag = l.text(z, QStringLiteral("ChargeIndicator")) == QLatin1String("true");
    x.betrag = l.betrag(z, QStringLiteral("Amount"));
    x.grund = l.text(z, QStringLiteral("AllowanceChargeReason"));
    x.kategorie = l.text(z, QStringLiteral("TaxCategory/ID"));
    x.satz = l.zahl(z, QStringLiteral("TaxCategory/Percent"));
    return x;
}

bool leseUbl(const Baum& b, bool gutschrift, Rechnung* r, QString* fehler) {
    Leser l(b, QStringLiteral("cbc:"));
    r->ublGutschrift = gutschrift;
    r->profil = l.text(0, QStringLiteral("CustomizationID"));
    r->nummer = l.text(0, QStringLiteral("ID"));
    r->datum = l.datum(0, QStringLiteral("IssueDate"));
    r->typ = l.text(0, gutschrift ? QStringLiteral("CreditNoteTypeCode") : QStringLiteral("InvoiceTypeCode"));
    r->notiz = l.text(0, QStringLiteral("Note"));
    r->waehrung = l.text(0, QStringLiteral("DocumentCurrencyCode"));
    r->kaeuferreferenz = l.text(0, QStringLiteral("BuyerReference"));
    r->bezug = l.text(0, QStringLiteral("BillingReference/InvoiceDocumentReference/ID"));
    leseUblPartei(l, b.erster(0, QStringLiteral("AccountingSupplierParty/Party")), &r->verkaeufer);
    leseUblPartei(l, b.erster(0, QStringLiteral("AccountingCustomerParty/Party")), &r->kaeufer);
    r->lieferdatum = l.datum(0, QStringLiteral("Delivery/ActualDeliveryDate"));
    // BT-9: the invoice's DueDate; the CreditNote has it in its payment means.
    r->faellig = l.datum(0, QStringLiteral("DueDate"));
    if (!r->faellig.isValid()) r->faellig = l.datum(0, QStringLiteral("PaymentMeans/PaymentDueDate"));
    r->zahlungsreferenz = l.text(0, QStringLiteral("PaymentMeans/PaymentID"));
    r->iban = l.text(0, QStringLiteral("PaymentMeans/PayeeFinancialAccount/ID"));
    r->bic = l.text(0, QStringLiteral("PaymentMeans/PayeeFinancialAccount/FinancialInstitutionBranch/ID"));
    r->zahlungsbedingungen = l.text(0, QStringLiteral("PaymentTerms/Note"));
    for (int z : b.alle(0, QStringLiteral("AllowanceCharge"))) r->zuschlaege << leseUblZuschlag(l, z);
    // The TaxTotal in the document currency is the one with the breakdown.
    for (int t : b.alle(0, QStringLiteral("TaxTotal"))) {
        const int betrag = b.erster(t, QStringLiteral("TaxAmount"));
        const QString w = betrag < 0 ? QString() : b.k(betrag).attribute.value(QStringLiteral("currencyID"));
        if (r->hatSteuer || (!w.isEmpty() && w != r->waehrung)) continue;
        r->steuer = l.betrag(t, QStringLiteral("TaxAmount"), &r->hatSteuer);
        for (int s : b.alle(t, QStringLiteral("TaxSubtotal"))) {
            Steuerzeile z;
            z.basis = l.betrag(s, QStringLiteral("TaxableAmount"));
            z.steuer = l.betrag(s, QStringLiteral("TaxAmount"));
            z.kategorie = l.text(s, QStringLiteral("TaxCategory/ID"));
            z.satz = l.zahl(s, QStringLiteral("TaxCategory/Percent"));
            z.grund = l.text(s, QStringLiteral("TaxCategory/TaxExemptionReason"));
            z.grundCode = l.text(s, QStringLiteral("TaxCategory/TaxExemptionReasonCode"));
            r->steuern << z;
        }
    }
    const int sum = b.erster(0, QStringLiteral("LegalMonetaryTotal"));
    r->summePositionen = l.betrag(sum, QStringLiteral("LineExtensionAmount"), &r->hatSummePositionen);
    r->netto = l.betrag(sum, QStringLiteral("TaxExclusiveAmount"), &r->hatNetto);
    r->brutto = l.betrag(sum, QStringLiteral("TaxInclusiveAmount"), &r->hatBrutto);
    r->summeAbschlaege = l.betrag(sum, QStringLiteral("AllowanceTotalAmount"), &r->hatAbschlaege);
    r->summeZuschlaege = l.betrag(sum, QStringLiteral("ChargeTotalAmount"), &r->hatZuschlaege);
    r->vorausbezahlt = l.betrag(sum, QStringLiteral("PrepaidAmount"));
    r->rundung = l.betrag(sum, QStringLiteral("PayableRoundingAmount"));
    r->zahlbetrag = l.betrag(sum, QStringLiteral("PayableAmount"), &r->hatZahlbetrag);
    const QString zeile = gutschrift ? QStringLiteral("CreditNoteLine") : QStringLiteral("InvoiceLine");
    const QString menge = gutschrift ? QStringLiteral("CreditedQuantity") : QStringLiteral("InvoicedQuantity");
    for (int p : b.alle(0, zeile)) {
        Position x;
        x.id = l.text(p, QStringLiteral("ID"));
        x.name = l.text(p, QStringLiteral("Item/Name"));
        x.preis = l.text(p, QStringLiteral("Price/PriceAmount"));
        const int m = b.erster(p, menge);
        if (m >= 0) {
            x.menge = b.k(m).text.trimmed();
            x.einheit = b.k(m).attribute.value(QStringLiteral("unitCode"));
        }
        x.netto = l.betrag(p, QStringLiteral("LineExtensionAmount"));
        x.kategorie = l.text(p, QStringLiteral("Item/ClassifiedTaxCategory/ID"));
        x.satz = l.zahl(p, QStringLiteral("Item/ClassifiedTaxCategory/Percent"));
        for (int z : b.alle(p, QStringLiteral("AllowanceCharge"))) x.zuschlaege << leseUblZuschlag(l, z);
        r->positionen << x;
    }
    if (!l.fehler.isEmpty()) {
        *fehler = l.fehler.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

}  // namespace

QString syntaxName(Syntax s) {
    switch (s) {
    case Syntax::CII: return QStringLiteral("CII");
    case Syntax::UBL: return QStringLiteral("UBL");
    case Syntax::ZUGFeRD1: return QStringLiteral("ZUGFeRD 1.0");
    }
    return QString();
}

bool Rechnung::gutschrift() const {
    return ublGutschrift || typ == QLatin1String("381") || typ == QLatin1String("396") || typ == QLatin1String("532");
}

bool leseXml(const QByteArray& xml, Rechnung* r, QString* fehler) {
    *r = Rechnung();
    Baum b;
    if (!b.lies(xml, fehler)) return false;
    const Knoten& w = b.k(0);
    if (w.name == QLatin1String("CrossIndustryInvoice") && w.ns == kCiiNs) {
        r->syntax = Syntax::CII;
        return leseCii(b, kD16B, r, fehler);
    }
    if (w.name == QLatin1String("CrossIndustryDocument") && w.ns == kZugferd1Ns) {
        r->syntax = Syntax::ZUGFeRD1;
        return leseCii(b, kZugferd1, r, fehler);
    }
    if ((w.name == QLatin1String("Invoice") && istUblNamensraum(w.ns, QStringLiteral("Invoice-2"))) ||
        (w.name == QLatin1String("CreditNote") && istUblNamensraum(w.ns, QStringLiteral("CreditNote-2")))) {
        r->syntax = Syntax::UBL;
        return leseUbl(b, w.name == QLatin1String("CreditNote"), r, fehler);
    }
    *fehler = QStringLiteral("Das Wurzelelement „%1“ im Namensraum „%2“ ist keine E-Rechnung: erwartet wird rsm:CrossIndustryInvoice "
                             "(CII, XRechnung, Factur-X), rsm:CrossIndustryDocument (ZUGFeRD 1.0) oder ein UBL-Invoice/CreditNote.")
                  .arg(w.name, w.ns.isEmpty() ? QStringLiteral("(keiner)") : w.ns);
    return false;
}

bool xmlAusDatei(const QByteArray& daten, QByteArray* xml, bool* istPdf, QString* fehler) {
    *istPdf = daten.startsWith("%PDF-");
    if (*istPdf) return xmlAusPdf(daten, xml, fehler);
    *xml = daten;
    return true;
}

bool leseDatei(const QByteArray& daten, Rechnung* r, QString* fehler) {
    QByteArray xml;
    bool pdf = false;
    if (!xmlAusDatei(daten, &xml, &pdf, fehler)) return false;
    if (!leseXml(xml, r, fehler)) {
        if (pdf) *fehler = QStringLiteral("Die im PDF eingebettete XML-Datei: ") + *fehler;
        return false;
    }
    const QStringList befund = pruefe(*r);
    if (!befund.isEmpty()) {
        *fehler = befund.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

}  // namespace Eingang
