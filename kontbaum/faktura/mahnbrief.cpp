// The printed dunning letter (see mahnbrief.h).
#include "kontbaum/faktura/mahnbrief.h"

#include "host/app/pdfdruck.h"
#include "kontbaum/faktura/intern.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QTextDocument>

namespace Faktura {
using namespace intern;

namespace {
QString h(const QString& t) { return t.toHtmlEscaped(); }
QString geld(const EuroType& e) { return e.getText() + QStringLiteral(" €"); }
// The margins of the printed invoice, so that letter and invoice match.
const QMarginsF kRaender(20, 15, 15, 15);
}  // namespace

QString mahnungTitel(const Mahnung& m) {
    return m.stufe == 99 ? QStringLiteral("Letzte Mahnung") : QStringLiteral("%1. Mahnung").arg(m.stufe);
}

QString mahnungHtml(DBConnection* db, const Mahnung& m) {
    db = rsFallDB(db);
    const Firma f = leseFirma(db);
    Beleg r;
    leseBeleg(db, Belegart::Rechnung, m.rechnungsID, &r);
    Person k;
    lesePerson(db, r.personID, &k);
    const Summen s = berechneSummen(db, r);
    const EuroType gesamt = s.offen + m.gebuehr;
    QString t = QStringLiteral("<html><head><meta charset=\"utf-8\"><style>body{font-family:sans-serif;font-size:9pt} "
                               ".r{text-align:right} p.klein{font-size:7pt;color:#444}</style></head><body>");
    t += QStringLiteral("<p class=\"klein\">%1 · %2 · %3 %4</p>").arg(h(f.name), h(f.strasse), h(f.plz), h(f.ort));
    t += QStringLiteral("<p>%1<br>%2<br>%3 %4%5</p>")
             .arg(h(k.anzeigename()), h(k.strasse), h(k.plz), h(k.ort),
                  k.land.isEmpty() || k.land == QLatin1String("DE") ? QString() : QStringLiteral("<br>") + h(k.land));
    t += QStringLiteral("<h2>%1</h2><table><tr><td>Mahnungsnummer:</td><td>%2</td></tr><tr><td>Datum:</td><td>%3</td></tr>")
             .arg(mahnungTitel(m), h(m.nummer), m.datum.getText());
    if (!k.kundennummer.isEmpty()) t += QStringLiteral("<tr><td>Kundennummer:</td><td>%1</td></tr>").arg(h(k.kundennummer));
    t += QStringLiteral("</table><p>Sehr geehrte Damen und Herren,</p>");
    t += QStringLiteral("<p>unsere %1 %2 vom %3 über %4 war am %5 fällig. Bis heute konnten wir keinen vollständigen Zahlungseingang "
                        "feststellen.</p>")
             .arg(belegTitel(r), h(r.nummer), r.datum.getText(), geld(s.endsumme), faelligAm(db, r).getText());
    t += QStringLiteral("<table><tr><td>Offener Rechnungsbetrag</td><td class=\"r\">%1</td></tr>").arg(geld(s.offen));
    if (!m.gebuehr.isNull()) t += QStringLiteral("<tr><td>Mahngebühr</td><td class=\"r\">%1</td></tr>").arg(geld(m.gebuehr));
    t += QStringLiteral("<tr><td><b>Zu zahlen</b></td><td class=\"r\"><b>%1</b></td></tr></table>").arg(geld(gesamt));
    t += QStringLiteral("<p>Bitte überweisen Sie den Betrag von %1 bis zum %2%3 unter Angabe der Rechnungsnummer %4.</p>")
             .arg(geld(gesamt), m.zahlungsziel.getText(), f.iban.isEmpty() ? QString() : QStringLiteral(" auf das Konto IBAN ") + h(f.iban),
                  h(r.nummer));
    if (m.stufe == 99)
        t += QStringLiteral("<p>Dies ist unsere letzte Mahnung. Geht der Betrag bis dahin nicht ein, werden wir die Forderung ohne "
                            "weitere Ankündigung gerichtlich geltend machen.</p>");
    t += QStringLiteral("<p>Sollten Sie die Zahlung inzwischen veranlasst haben, betrachten Sie dieses Schreiben bitte als "
                        "gegenstandslos.</p><p>Mit freundlichen Grüßen<br>%1</p>")
             .arg(h(f.kontakt.isEmpty() ? f.name : f.kontakt));
    t += QStringLiteral("<hr><p class=\"klein\">%1 · %2 · %3 %4%5%6%7</p></body></html>")
             .arg(h(f.name), h(f.strasse), h(f.plz), h(f.ort))
             .arg(f.steuernummer.isEmpty() ? QString() : QStringLiteral(" · Steuernummer ") + h(f.steuernummer))
             .arg(f.telefon.isEmpty() ? QString() : QStringLiteral(" · Tel. ") + h(f.telefon))
             .arg(f.bank.isEmpty() ? QString() : QStringLiteral(" · ") + h(f.bank));
    return t;
}

bool mahnungPdf(DBConnection* db, const Mahnung& m, QByteArray* pdf, QString* fehler) {
    db = rsFallDB(db);
    Beleg r;
    QString grund;
    if (!leseBeleg(db, Belegart::Rechnung, m.rechnungsID, &r))
        grund = QStringLiteral("Die Rechnung der Mahnung %1 gibt es nicht mehr.").arg(m.nummer);
    else if (r.bezahlt.isValid())
        grund = QStringLiteral("Die Rechnung %1 ist am %2 bezahlt; eine Mahnung geht nicht mehr hinaus.").arg(r.nummer, r.bezahlt.getText());
    if (!grund.isEmpty()) {
        if (fehler) *fehler = grund;
        return false;
    }
    const QString titel = QStringLiteral("%1 %2").arg(mahnungTitel(m), m.nummer);
    return rsHtmlAlsPdf(mahnungHtml(db, m), titel, false, kRaender, QStringLiteral("„%1“").arg(titel), pdf, fehler);
}

void mahnungDrucken(DBConnection* db, const Mahnung& m, QPagedPaintDevice* geraet) {
    geraet->setPageSize(QPageSize(QPageSize::A4));
    geraet->setPageOrientation(QPageLayout::Portrait);
    geraet->setPageMargins(kRaender, QPageLayout::Millimeter);
    QTextDocument doc;
    doc.setHtml(mahnungHtml(rsFallDB(db), m));
    doc.print(geraet);
}

}  // namespace Faktura
