// The printed invoice: an A4 page with every content § 14 UStG asks for,
// made by QTextDocument and QPdfWriter, and the e-invoice attached to the
// PDF as "factur-x.xml".
//
// Qt's PDF writer cannot attach files, so the attachment is added
// afterwards as an incremental update (PDF 1.7, 7.5.6): the writer's bytes
// stay as they are, and behind them come the embedded file, its file-spec
// dictionary (/Filespec), a name tree, a new version of the catalog that points to
// both, and a cross-reference section for these objects alone whose
// trailer chains to the old one. Every reader sees the new catalog.
#include "host/app/pdfdruck.h"
#include "kontbaum/faktura/intern.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>

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
QString steuerhinweis(DBConnection* db, unsigned long schluessel) {
    const unsigned long kz = schluesselInfo(db, schluessel).kennziffer;
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

// The HTML printed on A4, portrait, with the wider left margin of a letter.
bool alsPdf(const QString& titel, const QString& html, QByteArray* pdf, QString* fehler) {
    return rsHtmlAlsPdf(html, titel, false, QMarginsF(20, 15, 15, 15), QStringLiteral("„%1“").arg(titel), pdf, fehler);
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
        const QString hw = steuerhinweis(db, p.steuerschluessel);
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
    if (!alsPdf(QStringLiteral("Rechnung %1").arg(b.nummer), rechnungHtml(db, b), pdf, fehler)) return false;
    return pdfAnhangEinfuegen(pdf, QStringLiteral("factur-x.xml"), xml, QStringLiteral("text/xml"), fehler);
}

bool pdfAnhangEinfuegen(QByteArray* pdf, const QString& name, const QByteArray& datei, const QString& mimeTyp, QString* fehler) {
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = QStringLiteral("Der Anhang konnte nicht in das PDF eingefügt werden: %1").arg(t);
        return false;
    };
    const int sx = pdf->lastIndexOf("startxref");
    const int tr = pdf->lastIndexOf("trailer");
    if (sx < 0 || tr < 0 || tr > sx) return nein(QStringLiteral("kein Trailer gefunden"));
    static const QRegularExpression zahl(QStringLiteral("startxref\\s+(\\d+)"));
    const QRegularExpressionMatch mx = zahl.match(QString::fromLatin1(pdf->mid(sx, 40)));
    const QString trailer = QString::fromLatin1(pdf->mid(tr, sx - tr));
    static const QRegularExpression size(QStringLiteral("/Size\\s+(\\d+)")), root(QStringLiteral("/Root\\s+(\\d+)\\s+(\\d+)\\s+R")),
        info(QStringLiteral("/Info\\s+(\\d+\\s+\\d+\\s+R)"));
    const QRegularExpressionMatch ms = size.match(trailer), mr = root.match(trailer), mi = info.match(trailer);
    if (!mx.hasMatch() || !ms.hasMatch() || !mr.hasMatch()) return nein(QStringLiteral("Trailer ohne /Size oder /Root"));
    const int n = ms.captured(1).toInt(), katalog = mr.captured(1).toInt();
    // The catalog as the writer left it: the last definition of its object.
    const QByteArray kopf = QByteArray::number(katalog) + ' ' + mr.captured(2).toLatin1() + " obj";
    int a = pdf->lastIndexOf(kopf);
    while (a > 0 && !QChar::fromLatin1(pdf->at(a - 1)).isSpace()) a = pdf->lastIndexOf(kopf, a - 1);
    const int e = a < 0 ? -1 : pdf->indexOf("endobj", a);
    if (a < 0 || e < 0) return nein(QStringLiteral("Katalog nicht gefunden"));
    QByteArray inhalt = pdf->mid(a + kopf.size(), e - a - kopf.size()).trimmed();
    if (!inhalt.startsWith("<<") || !inhalt.endsWith(">>") || inhalt.contains("/Names") || inhalt.contains("/AF"))
        return nein(QStringLiteral("unerwarteter Katalog"));
    inhalt.chop(2);

    QByteArray neu;
    if (!pdf->endsWith('\n')) neu += '\n';
    QList<QPair<int, qint64>> lagen;
    auto objekt = [&](int nr, const QByteArray& koerper) {
        lagen << qMakePair(nr, qint64(pdf->size() + neu.size()));
        neu += QByteArray::number(nr) + " 0 obj\n" + koerper + "\nendobj\n";
    };
    const QByteArray datum = "D:" + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z";
    const QByteArray pdfName = name.toLatin1();  // the attachment names are plain ASCII
    QByteArray subtyp = mimeTyp.toLatin1();
    subtyp.replace("/", "#2F");
    objekt(n, "<< /Type /EmbeddedFile /Subtype /" + subtyp + " /Length " + QByteArray::number(datei.size()) + " /Params << /Size " +
                  QByteArray::number(datei.size()) + " /ModDate (" + datum + ") >> >>\nstream\n" + datei + "\nendstream");
    objekt(n + 1, "<< /Type /Filespec /F (" + pdfName + ") /UF (" + pdfName + ") /EF << /F " + QByteArray::number(n) + " 0 R /UF " +
                      QByteArray::number(n) + " 0 R >> /AFRelationship /Alternative /Desc (E-Rechnung) >>");
    objekt(n + 2, "<< /Names [(" + pdfName + ") " + QByteArray::number(n + 1) + " 0 R] >>");
    objekt(katalog, inhalt + " /Names << /EmbeddedFiles " + QByteArray::number(n + 2) + " 0 R >> /AF [" + QByteArray::number(n + 1) + " 0 R] >>");
    const qint64 xref = pdf->size() + neu.size();
    neu += "xref\n";
    // Subsections of consecutive numbers; every entry exactly 20 bytes.
    std::sort(lagen.begin(), lagen.end());
    for (int i = 0; i < lagen.size();) {
        int j = i;
        while (j + 1 < lagen.size() && lagen[j + 1].first == lagen[j].first + 1) ++j;
        neu += QByteArray::number(lagen[i].first) + ' ' + QByteArray::number(j - i + 1) + '\n';
        for (int x = i; x <= j; ++x) neu += QString::asprintf("%010lld 00000 n \n", lagen[x].second).toLatin1();
        i = j + 1;
    }
    neu += "trailer\n<< /Size " + QByteArray::number(n + 3) + " /Root " + QByteArray::number(katalog) + ' ' + mr.captured(2).toLatin1() + " R" +
           (mi.hasMatch() ? " /Info " + mi.captured(1).toLatin1() : QByteArray()) + " /Prev " + mx.captured(1).toLatin1() +
           " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    pdf->append(neu);
    return true;
}

}  // namespace Faktura
