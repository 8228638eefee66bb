// What a receiver checks before it books an incoming invoice, by the rules
// of EN 16931-1: the mandatory terms (BR-01 to BR-16 as far as a receiver
// needs them), the seller's identification (BR-CO-26, and § 14 (4) UStG:
// the input tax needs the seller's tax number or VAT id), the document
// totals (BR-CO-10 to BR-CO-16), the tax of each breakdown row (BR-CO-17,
// with the tolerance of one currency unit the official validation artefacts
// allow), and the taxable amount of each category and rate against the
// lines, allowances and charges of that category and rate (BR-S-08,
// BR-AE-08, BR-IC-08, BR-E-08, BR-Z-08, BR-G-08, BR-O-08), whose tax must be
// zero outside S (BR-xx-09).
//
// Each finding names the rule and the element of the syntax, so that the
// supplier can be told exactly what to correct.
#include "kontbaum/eingang/eingang.h"

#include <QtMath>

namespace Eingang {

namespace {

QString euro(const EuroType& e) { return e.getText() + QStringLiteral(" €"); }

// The element names of a business term in the two syntaxes.
struct Element {
    const char* cii;
    const char* ubl;
};
QString el(const Rechnung& r, const Element& e) {
    return r.syntax == Syntax::UBL ? QString::fromLatin1(e.ubl) : QString::fromLatin1(e.cii);
}

// The rule prefix of a category's rules in EN 16931.
QString regelpraefix(const QString& kategorie) {
    if (kategorie == QLatin1String("K")) return QStringLiteral("BR-IC");
    if (kategorie == QLatin1String("L")) return QStringLiteral("BR-AF");
    if (kategorie == QLatin1String("M")) return QStringLiteral("BR-AG");
    return QStringLiteral("BR-") + kategorie;
}

bool gleicherSatz(double a, double b) { return qAbs(a - b) < 0.0005; }

}  // namespace

QStringList pruefe(const Rechnung& r) {
    QStringList f;
    // The two smallest Factur-X profiles carry no lines and no complete VAT
    // data; German law does not count them as e-invoices.
    const QString profil = r.profil.toLower();
    if (profil.endsWith(QLatin1String(":minimum")) || profil.endsWith(QLatin1String(":basicwl"))) {
        f << QStringLiteral("Das Profil %1 (ram:GuidelineSpecifiedDocumentContextParameter/ram:ID) ist keine vollständige E-Rechnung "
                            "nach EN 16931; bitte fordern Sie beim Lieferanten das Profil EN 16931, EXTENDED oder XRECHNUNG an.")
                 .arg(r.profil);
        return f;
    }
    auto fehlt = [&](const QString& regel, const QString& was, const Element& e) {
        f << QStringLiteral("%1: %2 fehlt (%3).").arg(regel, was, el(r, e));
    };
    if (r.nummer.isEmpty()) fehlt(QStringLiteral("BR-02"), QStringLiteral("Die Rechnungsnummer"), {"ram:ID", "cbc:ID"});
    if (!r.datum.isValid()) fehlt(QStringLiteral("BR-03"), QStringLiteral("Das Rechnungsdatum"), {"ram:IssueDateTime", "cbc:IssueDate"});
    if (r.typ.isEmpty())
        fehlt(QStringLiteral("BR-04"), QStringLiteral("Der Rechnungstyp"), {"ram:TypeCode", r.ublGutschrift ? "cbc:CreditNoteTypeCode" : "cbc:InvoiceTypeCode"});
    if (r.waehrung.isEmpty())
        fehlt(QStringLiteral("BR-05"), QStringLiteral("Die Währung"), {"ram:InvoiceCurrencyCode", "cbc:DocumentCurrencyCode"});
    else if (r.waehrung != QLatin1String("EUR"))
        f << QStringLiteral("Die Rechnung lautet auf %1 (%2); gebucht werden nur Rechnungen in Euro. Bitte buchen Sie sie von Hand.")
                 .arg(r.waehrung, el(r, {"ram:InvoiceCurrencyCode", "cbc:DocumentCurrencyCode"}));
    const Partei& v = r.verkaeufer;
    if (v.name.isEmpty())
        fehlt(QStringLiteral("BR-06"), QStringLiteral("Der Name des Verkäufers"), {"ram:SellerTradeParty/ram:Name", "cac:AccountingSupplierParty/cac:Party/cac:PartyLegalEntity/cbc:RegistrationName"});
    if (v.ort.isEmpty() && v.plz.isEmpty() && v.strasse.isEmpty() && v.land.isEmpty())
        fehlt(QStringLiteral("BR-08"), QStringLiteral("Die Anschrift des Verkäufers"), {"ram:SellerTradeParty/ram:PostalTradeAddress", "cac:AccountingSupplierParty/cac:Party/cac:PostalAddress"});
    else if (v.land.isEmpty())
        fehlt(QStringLiteral("BR-09"), QStringLiteral("Das Land des Verkäufers"), {"ram:PostalTradeAddress/ram:CountryID", "cac:PostalAddress/cac:Country/cbc:IdentificationCode"});
    if (v.ustid.isEmpty() && v.steuernummer.isEmpty())
        f << QStringLiteral("BR-CO-26: Der Verkäufer nennt weder Umsatzsteuer-Identifikationsnummer noch Steuernummer (%1); ohne sie "
                            "berechtigt die Rechnung nicht zum Vorsteuerabzug (§ 14 Abs. 4 UStG).")
                 .arg(el(r, {"ram:SellerTradeParty/ram:SpecifiedTaxRegistration/ram:ID", "cac:AccountingSupplierParty/cac:Party/cac:PartyTaxScheme/cbc:CompanyID"}));
    if (r.positionen.isEmpty())
        fehlt(QStringLiteral("BR-16"), QStringLiteral("Mindestens eine Rechnungsposition"), {"ram:IncludedSupplyChainTradeLineItem", r.ublGutschrift ? "cac:CreditNoteLine" : "cac:InvoiceLine"});
    if (r.steuern.isEmpty())
        fehlt(QStringLiteral("BR-CO-18"), QStringLiteral("Die Aufschlüsselung der Umsatzsteuer"), {"ram:ApplicableHeaderTradeSettlement/ram:ApplicableTradeTax", "cac:TaxTotal/cac:TaxSubtotal"});
    for (const Position& p : r.positionen)
        if (p.kategorie.isEmpty())
            f << QStringLiteral("BR-CO-04: Die Position %1 nennt keine Umsatzsteuerkategorie (%2).")
                     .arg(p.id, el(r, {"ram:SpecifiedLineTradeSettlement/ram:ApplicableTradeTax/ram:CategoryCode", "cac:ClassifiedTaxCategory/cbc:ID"}));
    for (const Zuschlag& z : r.zuschlaege)
        if (z.kategorie.isEmpty())
            f << QStringLiteral("%1: Der %2 „%3“ nennt keine Umsatzsteuerkategorie (%4).")
                     .arg(z.zuschlag ? QStringLiteral("BR-37") : QStringLiteral("BR-32"), z.zuschlag ? QStringLiteral("Zuschlag") : QStringLiteral("Abschlag"),
                          z.grund, el(r, {"ram:CategoryTradeTax/ram:CategoryCode", "cac:AllowanceCharge/cac:TaxCategory/cbc:ID"}));
    if (!f.isEmpty()) return f;

    // The document totals.
    EuroType positionen, abschlaege, zuschlaege, steuer;
    for (const Position& p : r.positionen) positionen += p.netto;
    for (const Zuschlag& z : r.zuschlaege) (z.zuschlag ? zuschlaege : abschlaege) += z.betrag;
    for (const Steuerzeile& s : r.steuern) steuer += s.steuer;
    auto vergleiche = [&](const QString& regel, bool da, const EuroType& ist, const EuroType& soll, const QString& was, const Element& e, const QString& woraus) {
        if (!da) {
            f << QStringLiteral("%1: %2 fehlt (%3).").arg(regel, was, el(r, e));
            return;
        }
        if (ist != soll) f << QStringLiteral("%1: %2 (%3) ist %4, %5 ergeben %6.").arg(regel, was, el(r, e), euro(ist), woraus, euro(soll));
    };
    vergleiche(QStringLiteral("BR-CO-10"), r.hatSummePositionen, r.summePositionen, positionen, QStringLiteral("Die Summe der Positionen"),
               {"ram:LineTotalAmount", "cbc:LineExtensionAmount"}, QStringLiteral("die Positionen"));
    if (r.hatAbschlaege || !abschlaege.isNull())
        vergleiche(QStringLiteral("BR-CO-11"), r.hatAbschlaege, r.summeAbschlaege, abschlaege, QStringLiteral("Die Summe der Abschläge"),
                   {"ram:AllowanceTotalAmount", "cbc:AllowanceTotalAmount"}, QStringLiteral("die Abschläge auf Belegebene"));
    if (r.hatZuschlaege || !zuschlaege.isNull())
        vergleiche(QStringLiteral("BR-CO-12"), r.hatZuschlaege, r.summeZuschlaege, zuschlaege, QStringLiteral("Die Summe der Zuschläge"),
                   {"ram:ChargeTotalAmount", "cbc:ChargeTotalAmount"}, QStringLiteral("die Zuschläge auf Belegebene"));
    vergleiche(QStringLiteral("BR-CO-13"), r.hatNetto, r.netto, r.summePositionen - r.summeAbschlaege + r.summeZuschlaege,
               QStringLiteral("Der Nettobetrag"), {"ram:TaxBasisTotalAmount", "cbc:TaxExclusiveAmount"},
               QStringLiteral("Positionen minus Abschläge plus Zuschläge"));
    if (r.hatSteuer || !steuer.isNull())
        vergleiche(QStringLiteral("BR-CO-14"), r.hatSteuer, r.steuer, steuer, QStringLiteral("Die Umsatzsteuer"),
                   {"ram:TaxTotalAmount", "cac:TaxTotal/cbc:TaxAmount"}, QStringLiteral("die Zeilen der Aufschlüsselung"));
    vergleiche(QStringLiteral("BR-CO-15"), r.hatBrutto, r.brutto, r.netto + r.steuer, QStringLiteral("Der Bruttobetrag"),
               {"ram:GrandTotalAmount", "cbc:TaxInclusiveAmount"}, QStringLiteral("Nettobetrag und Umsatzsteuer"));
    vergleiche(QStringLiteral("BR-CO-16"), r.hatZahlbetrag, r.zahlbetrag, r.brutto - r.vorausbezahlt + r.rundung,
               QStringLiteral("Der Zahlbetrag"), {"ram:DuePayableAmount", "cbc:PayableAmount"},
               QStringLiteral("Bruttobetrag minus Vorauszahlung plus Rundung"));

    // Each row of the breakdown against the lines and document allowances
    // and charges of its category and rate.
    for (const Steuerzeile& s : r.steuern) {
        const QString regel = regelpraefix(s.kategorie);
        EuroType basis;
        bool benutzt = false;
        for (const Position& p : r.positionen)
            if (p.kategorie == s.kategorie && gleicherSatz(p.satz, s.satz)) {
                basis += p.netto;
                benutzt = true;
            }
        for (const Zuschlag& z : r.zuschlaege)
            if (z.kategorie == s.kategorie && gleicherSatz(z.satz, s.satz)) basis += z.zuschlag ? z.betrag : -z.betrag;
        const QString zeile = QStringLiteral("%1 %2 %").arg(s.kategorie, QString::number(s.satz));
        if (!benutzt && basis.isNull())
            f << QStringLiteral("%1-08: Die Aufschlüsselung nennt die Kategorie %2, die keine Position und kein Zu- oder Abschlag hat (%3).")
                     .arg(regel, zeile, el(r, {"ram:ApplicableTradeTax", "cac:TaxSubtotal"}));
        else if (basis != s.basis)
            f << QStringLiteral("%1-08: Der Steuerbemessungsbetrag für %2 (%3) ist %4, Positionen, Zu- und Abschläge dieser Kategorie ergeben %5.")
                     .arg(regel, zeile, el(r, {"ram:ApplicableTradeTax/ram:BasisAmount", "cac:TaxSubtotal/cbc:TaxableAmount"}), euro(s.basis), euro(basis));
        if (s.kategorie == QLatin1String("S") || s.kategorie == QLatin1String("L") || s.kategorie == QLatin1String("M")) {
            // BR-CO-17 allows one currency unit either way, as the official
            // artefacts test it, for suppliers that sum tax per line.
            const EuroType soll = s.basis.prozent(s.satz);
            if ((s.steuer - soll).abs() >= EuroType::ausCent(100))
                f << QStringLiteral("BR-CO-17: Die Steuer für %1 (%2) ist %3, %4 % von %5 sind %6.")
                         .arg(zeile, el(r, {"ram:ApplicableTradeTax/ram:CalculatedAmount", "cac:TaxSubtotal/cbc:TaxAmount"}), euro(s.steuer),
                              QString::number(s.satz), euro(s.basis), euro(soll));
        } else if (!s.steuer.isNull() || s.satz != 0.0) {
            f << QStringLiteral("%1-09: In der Kategorie %2 ist keine Umsatzsteuer zu berechnen, die Rechnung nennt %3 (%4).")
                     .arg(regel, zeile, euro(s.steuer), el(r, {"ram:ApplicableTradeTax/ram:CalculatedAmount", "cac:TaxSubtotal/cbc:TaxAmount"}));
        }
    }
    // Every category and rate of a line appears in the breakdown.
    for (const Position& p : r.positionen) {
        bool da = false;
        for (const Steuerzeile& s : r.steuern) da = da || (s.kategorie == p.kategorie && gleicherSatz(s.satz, p.satz));
        if (!da)
            f << QStringLiteral("%1-01: Die Position %2 hat die Kategorie %3 %4 %, die in der Aufschlüsselung fehlt (%5).")
                     .arg(regelpraefix(p.kategorie), p.id, p.kategorie, QString::number(p.satz), el(r, {"ram:ApplicableTradeTax", "cac:TaxSubtotal"}));
    }
    return f;
}

}  // namespace Eingang
