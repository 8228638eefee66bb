// The printed invoice: an A4 page with every content § 14 UStG asks for,
// made by QTextDocument and QPdfWriter; an invoice goes out as PDF/A-3b
// with its e-invoice embedded (hybrid.cpp).
#include "host/app/pdfdruck.h"
#include "kontbaum/faktura/intern.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QTextDocument>

namespace Faktura {
using namespace intern;

namespace {
// A character the page's font lacks (an emoji in a customer's name) would
// vanish from the printout without a trace; it is printed as U+FFFD, the
// replacement character, so the reader sees that something stood there.
// Without the graphics environment there is no font to ask.
QString druckbar(const QString& t) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return t;
    const QFontMetrics fm{QFont(QStringLiteral("sans-serif"))};
    QString aus;
    for (const uint c : t.toUcs4()) {
        if (c < 0x80 || fm.inFontUcs4(c)) aus += QString::fromUcs4(&c, 1);
        else aus += QChar(0xFFFD);
    }
    return aus;
}
QString h(const QString& t) { return druckbar(t).toHtmlEscaped(); }
QString geld(const EuroType& e) { return e.getText() + QStringLiteral(" €"); }

// The note § 14a UStG asks for where the invoice carries no German tax.
QString steuerhinweis(DBConnection* db, unsigned long schluessel, unsigned long konto) {
    const unsigned long kz = schluessel == 0 ? wert(db, QStringLiteral("SELECT UStVA FROM eurKontenplan WHERE Nummer=?"), {DatenTyp(konto)}).toULong()
                                             : schluesselInfo(db, schluessel).kennziffer;
    if (kz == 43) return QStringLiteral("Steuerfreie Ausfuhrlieferung (§ 4 Nr. 1 Buchst. a, § 6 UStG).");
    if (kz == 41) return QStringLiteral("Steuerfreie innergemeinschaftliche Lieferung (§ 4 Nr. 1 Buchst. b UStG).");
    if (kz == 21 || kz == 60 || kz == 68) return QStringLiteral("Steuerschuldnerschaft des Leistungsempfängers.");
    return QString();
}

QString fuss(const Firma& f) {
    return QStringLiteral("<hr><p class=\"klein\">%1 · %2 · %3 %4%5%6%7%8</p></body></html>")
        .arg(h(f.name), h(f.strasse), h(f.plz), h(f.ort))
        .arg(f.steuernummer.isEmpty() ? QString() : QStringLiteral(" · Steuernummer ") + h(f.steuernummer))
        .arg(f.ustid.isEmpty() ? QString() : QStringLiteral(" · USt-IdNr. ") + h(f.ustid))
        .arg(f.telefon.isEmpty() ? QString() : QStringLiteral(" · Tel. ") + h(f.telefon))
        .arg(f.bank.isEmpty() ? QString() : QStringLiteral(" · ") + h(f.bank));
}

// A4 portrait with the wider left margin of a letter, in millimetres: the
// PDF and a printer show the same page.
const QMarginsF kRaender(20, 15, 15, 15);

// The HTML printed on A4, portrait, with the wider left margin of a letter.
bool alsPdf(const QString& titel, const QString& html, QByteArray* pdf, QString* fehler) {
    return rsHtmlAlsPdf(html, titel, false, kRaender, QStringLiteral("„%1“").arg(titel), pdf, fehler);
}
}  // namespace

QString belegTitel(const Beleg& b) {
    if (b.art != Belegart::Rechnung) return bezeichnung(b.art);
    return b.rechnungsart == 1 ? QStringLiteral("Rechnungskorrektur") : QStringLiteral("Rechnung");
}

bool belegPdf(DBConnection* db, const Beleg& b, QByteArray* pdf, QString* fehler) {
    db = rsFallDB(db);
    if (b.art == Belegart::Rechnung) return rechnungPdf(db, b, pdf, fehler);
    const QString was = bezeichnung(b.art);
    QString grund;
    if (b.id == 0) grund = QStringLiteral("Bitte speichern Sie den Beleg (%1), bevor Sie drucken.").arg(was);
    else if (b.positionen.isEmpty())
        grund = QStringLiteral("Bitte geben Sie Positionen zu dem Beleg (%1) ein, bevor Sie drucken (dalvo %2 FALL position %3 …).")
                    .arg(was, b.art == Belegart::Angebot ? QStringLiteral("angebot") : b.art == Belegart::Auftrag ? QStringLiteral("auftrag") : QStringLiteral("lieferschein"), b.nummer);
    if (!grund.isEmpty()) {
        if (fehler) *fehler = grund;
        return false;
    }
    return alsPdf(QStringLiteral("%1 %2").arg(was, b.nummer), rechnungHtml(db, b), pdf, fehler);
}

void belegDrucken(DBConnection* db, const Beleg& b, QPagedPaintDevice* geraet) {
    geraet->setPageSize(QPageSize(QPageSize::A4));
    geraet->setPageOrientation(QPageLayout::Portrait);
    geraet->setPageMargins(kRaender, QPageLayout::Millimeter);
    QTextDocument doc;
    doc.setHtml(rechnungHtml(rsFallDB(db), b));
    doc.print(geraet);
}

QString rechnungHtml(DBConnection* db, const Beleg& b) {
    db = rsFallDB(db);
    const Firma f = leseFirma(db);
    Person k;
    lesePerson(db, b.personID, &k);
    const Summen s = berechneSummen(db, b);
    QString t = QStringLiteral("<html><head><meta charset=\"utf-8\"><style>body{font-family:sans-serif;font-size:9pt} "
                               "table.pos{border-collapse:collapse} table.pos th{background:#ddd;padding:2px 4px} "
                               "table.pos td{padding:2px 4px;border-bottom:1px solid #ccc} .r{text-align:right} "
                               "p.klein{font-size:7pt;color:#444}</style></head><body>");
    t += QStringLiteral("<p class=\"klein\">%1 · %2 · %3 %4</p>").arg(h(f.name), h(f.strasse), h(f.plz), h(f.ort));
    t += QStringLiteral("<p>%1<br>%2<br>%3 %4%5</p>")
             .arg(h(k.anzeigename()), h(k.strasse), h(k.plz), h(k.ort),
                  k.land.isEmpty() || k.land == QLatin1String("DE") ? QString() : QStringLiteral("<br>") + h(k.land));
    const bool rechnung = b.art == Belegart::Rechnung;
    // A delivery note showing tax could pass for an invoice and make the tax owed (§ 14c UStG).
    const bool mitPreisen = b.art != Belegart::Lieferschein;
    t += QStringLiteral("<h2>%1 %2</h2>").arg(belegTitel(b), h(b.nummer));
    t += QStringLiteral("<table><tr><td>%1</td><td>%2</td></tr>").arg(rechnung ? QStringLiteral("Rechnungsdatum:") : QStringLiteral("Datum:"), b.datum.getText());
    QString leistung = b.zeitraumVon.isValid() && b.zeitraumBis.isValid() && b.zeitraumVon != b.zeitraumBis
                           ? b.zeitraumVon.getText() + QStringLiteral(" bis ") + b.zeitraumBis.getText()
                           : (b.zeitraumVon.isValid() ? b.zeitraumVon : b.zeitraumBis).getText();
    if (rechnung || !leistung.isEmpty()) t += QStringLiteral("<tr><td>Leistungsdatum:</td><td>%1</td></tr>").arg(h(leistung));
    if (!k.kundennummer.isEmpty()) t += QStringLiteral("<tr><td>Kundennummer:</td><td>%1</td></tr>").arg(h(k.kundennummer));
    if (!k.ustid.isEmpty()) t += QStringLiteral("<tr><td>USt-IdNr. des Kunden:</td><td>%1</td></tr>").arg(h(k.ustid));
    Beleg vorher;
    if (rechnung && b.korrekturZu != 0 && leseBeleg(db, Belegart::Rechnung, b.korrekturZu, &vorher))
        t += QStringLiteral("<tr><td colspan=\"2\"><b>Korrektur zu Rechnung %1 vom %2</b></td></tr>").arg(h(vorher.nummer), vorher.datum.getText());
    t += QStringLiteral("</table><br><table class=\"pos\" width=\"100%\"><tr><th>Pos.</th><th>Bezeichnung</th><th class=\"r\">Menge</th>"
                        "<th>Einheit</th>");
    t += mitPreisen ? QStringLiteral("<th class=\"r\">Einzelpreis</th><th class=\"r\">Rabatt</th><th class=\"r\">USt</th>"
                                     "<th class=\"r\">Betrag</th></tr>")
                    : QStringLiteral("</tr>");
    QStringList hinweise;
    for (int i = 0; i < b.positionen.size(); ++i) {
        const Position& p = b.positionen[i];
        const double satz = KontoGlobal::calcSteuerschluessel(db, p.steuerschluessel, EuroType(), true).steuersatz;
        if (!mitPreisen) {
            t += QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"r\">%3</td><td>%4</td></tr>")
                     .arg(i + 1)
                     .arg(h(p.bezeichnung), QLocale(QLocale::German).toString(p.menge, 'g', 10), h(p.einheit));
            continue;
        }
        t += QStringLiteral("<tr><td>%1</td><td>%2%3</td><td class=\"r\">%4</td><td>%5</td><td class=\"r\">%6%7</td><td class=\"r\">%8</td>"
                            "<td class=\"r\">%9 %</td><td class=\"r\">%10</td></tr>")
                 .arg(i + 1)
                 .arg(h(p.bezeichnung), p.beschreibung.isEmpty() ? QString() : QStringLiteral("<br><i>") + h(p.beschreibung) + QStringLiteral("</i>"))
                 .arg(QLocale(QLocale::German).toString(p.menge, 'g', 10), h(p.einheit))
                 .arg(geld(p.brutto ? p.bruttopreis : p.preis), p.brutto ? QStringLiteral(" brutto") : QString())
                 .arg(p.rabatt != 0.0 ? QLocale(QLocale::German).toString(p.rabatt, 'g', 6) + QStringLiteral(" %") : QString())
                 .arg(QLocale(QLocale::German).toString(satz, 'g', 4))
                 .arg(geld(s.positionsbetrag[i]));
        const QString hw = steuerhinweis(db, p.steuerschluessel, p.konto);
        if (!hw.isEmpty() && !hinweise.contains(hw)) hinweise << hw;
    }
    if (!mitPreisen) return t + QStringLiteral("</table>") + fuss(f);
    t += QStringLiteral("</table><br><table align=\"right\">");
    auto zeile = [&](const QString& a, const EuroType& e, bool fett = false) {
        t += fett ? QStringLiteral("<tr><td><b>%1</b></td><td class=\"r\"><b>%2</b></td></tr>").arg(h(a), geld(e))
                  : QStringLiteral("<tr><td>%1</td><td class=\"r\">%2</td></tr>").arg(h(a), geld(e));
    };
    zeile(QStringLiteral("Summe Netto"), s.summeNetto);
    for (const Schluesselsumme& x : s.schluessel)
        if (!f.kleinunternehmer)
            zeile(QStringLiteral("Umsatzsteuer %1 % auf %2").arg(QLocale(QLocale::German).toString(x.satz, 'g', 4), geld(x.netto)), x.steuer);
    zeile(QStringLiteral("Summe Mehrwertsteuer"), s.summeSteuer);
    zeile(QStringLiteral("Summe Brutto"), s.summeBrutto);
    if (!s.versandNetto.isNull()) {
        zeile(QStringLiteral("Versandkosten Netto"), s.versandNetto);
        zeile(QStringLiteral("Versandkosten Brutto (%1 %)").arg(QLocale(QLocale::German).toString(b.versandSatz, 'g', 4)), s.versandBrutto);
    }
    zeile(QStringLiteral("Endsumme"), s.endsumme, true);
    if (rechnung && !b.anzahlung.isNull()) {
        zeile(QStringLiteral("Bereits gezahlt"), b.anzahlung);
        zeile(QStringLiteral("Offen"), s.offen, true);
    }
    t += QStringLiteral("</table><br clear=\"all\">");
    if (f.kleinunternehmer)
        hinweise.prepend(QStringLiteral("Es besteht keine Umsatzsteuerpflicht, da aufgrund der Kleinunternehmerregelung (§ 19 UStG) eine "
                                        "Befreiung von der Einbehaltung und Abführung der Umsatzsteuer besteht."));
    for (const QString& x : hinweise) t += QStringLiteral("<p>%1</p>").arg(h(x));
    if (!rechnung) return t + fuss(f);
    Zahlungsbedingung zb;
    zahlungsbedingungVon(db, b, &zb);
    const zDate faellig = faelligAm(db, b);
    // A credit note asks the customer for nothing: the business owes him.
    if (s.offen < EuroType()) {
        t += QStringLiteral("<p>Gutschrift über %1. Wir erstatten Ihnen den Betrag bis zum %2.</p>").arg(geld(-s.offen), faellig.getText());
        return t + fuss(f);
    }
    if (s.offen.isNull()) return t + QStringLiteral("<p>Der Betrag ist bereits bezahlt.</p>") + fuss(f);
    t += QStringLiteral("<p>Bitte überweisen Sie den Betrag von %1 bis zum %2%3.</p>")
             .arg(geld(s.offen), faellig.getText(), f.iban.isEmpty() ? QString() : QStringLiteral(" auf das Konto IBAN ") + h(f.iban));
    if (zb.skonto1 > 0.0)
        t += QStringLiteral("<p>%1 % Skonto: bei Zahlung innerhalb von %2 Tagen.</p>")
                 .arg(QLocale(QLocale::German).toString(zb.skonto1, 'g', 4))
                 .arg(zb.skontotage1);
    return t + fuss(f);
}

bool rechnungPdf(DBConnection* db, const Beleg& b, QByteArray* pdf, QString* fehler) {
    db = rsFallDB(db);
    const QString angaben = pruefeRechnungsangaben(db, b);
    if (!angaben.isEmpty()) {
        if (fehler) *fehler = angaben;
        return false;
    }
    // The printout carries the e-invoice: without a valid one there is none.
    const QByteArray xml = xrechnung(db, b, fehler);
    if (xml.isEmpty()) return false;
    HybridAngaben a;
    a.titel = QStringLiteral("%1 %2").arg(belegTitel(b), b.nummer);
    QByteArray seite;
    if (!rsHtmlAlsPdf(rechnungHtml(db, b), a.titel, false, kRaender, QStringLiteral("„%1“").arg(a.titel), &seite, fehler,
                      true))
        return false;
    return hybridPdf(seite, xml, a, pdf, fehler);
}

}  // namespace Faktura
