// Rendering of the report lists (see liste.h).
#include "host/app/tabellendruck.h"
#include "kontbaum/berichte/liste.h"


int BerichtListe::anzahl() const {
    int n = 0;
    for (const Zeile& z : zeilen) n += z.summe ? 0 : 1;
    return n;
}

QString BerichtListe::zelle(const Zeile& z, int spalte) const {
    const QVariant& v = z.werte.value(spalte);
    if (!v.isValid() || v.isNull()) return QString();
    switch (spalten.value(spalte).art) {
    case BerichtSpalte::Betrag:
        return EuroType::ausDouble(v.toDouble()).getText();
    case BerichtSpalte::Datum:
        return zDate(v.toDate()).getText();
    case BerichtSpalte::Zahl:
        return QString::number(v.toLongLong());
    case BerichtSpalte::Text:
        break;
    }
    return v.toString();
}

void BerichtListe::drucke(zPrintString& p) const {
    p.setTitel(titel);
    p.setUntertitel(untertitel);
    QList<zPrintString::Spalte> sp;
    for (const BerichtSpalte& s : spalten)
        sp.append({s.kopf, s.breite, s.art == BerichtSpalte::Betrag || s.art == BerichtSpalte::Zahl});
    p.setSpalten(sp);
    for (const Zeile& z : zeilen) {
        // A total closes what stands above it; at the top it opens a group.
        if (z.summe && p.zeilen() > 0) p.trenner();
        QStringList felder;
        for (int i = 0; i < spalten.size(); ++i) felder << zelle(z, i);
        p.zeile(felder);
    }
}

namespace {
QString csvFeld(QString t) {
    if (t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"')) || t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')))
        t = QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return t;
}
}  // namespace

QString BerichtListe::csv() const {
    QStringList kopf;
    for (const BerichtSpalte& s : spalten) kopf << csvFeld(s.kopf);
    QString t = kopf.join(QLatin1Char(';')) + QLatin1Char('\n');
    for (const Zeile& z : zeilen) {
        QStringList felder;
        for (int i = 0; i < spalten.size(); ++i) felder << csvFeld(zelle(z, i));
        t += felder.join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    return t;
}

QString BerichtListe::html(const QString& firma) const {
    auto h = [](const QString& t) { return t.toHtmlEscaped(); };
    QString s = QStringLiteral("<html><head><meta charset=\"utf-8\"><style>"
                               "body{font-family:sans-serif;font-size:8pt} table{border-collapse:collapse} "
                               "th{background:#ddd;border-bottom:1px solid #000;padding:2px 4px} td{padding:1px 4px} "
                               "td.r,th.r{text-align:right} tr.summe td{font-weight:bold;border-top:1px solid #888}"
                               "</style></head><body>");
    s += QStringLiteral("<h2>") + h(titel) + QStringLiteral("</h2><p>");
    if (!firma.isEmpty()) s += QStringLiteral("Betrieb: ") + h(firma) + QStringLiteral("<br>");
    s += h(untertitel) + QStringLiteral("</p><table width=\"100%\" cellspacing=\"0\"><thead><tr>");
    auto rechts = [&](int i) { return spalten[i].art == BerichtSpalte::Betrag || spalten[i].art == BerichtSpalte::Zahl; };
    for (int i = 0; i < spalten.size(); ++i)
        s += (rechts(i) ? QStringLiteral("<th class=\"r\">") : QStringLiteral("<th>")) + h(spalten[i].kopf) + QStringLiteral("</th>");
    s += QStringLiteral("</tr></thead><tbody>");
    for (const Zeile& z : zeilen) {
        s += z.summe ? QStringLiteral("<tr class=\"summe\">") : QStringLiteral("<tr>");
        for (int i = 0; i < spalten.size(); ++i)
            s += (rechts(i) ? QStringLiteral("<td class=\"r\">") : QStringLiteral("<td>")) + h(zelle(z, i)) + QStringLiteral("</td>");
        s += QStringLiteral("</tr>");
    }
    return s + QStringLiteral("</tbody></table></body></html>");
}

bool BerichtListe::pdf(const QString& firma, QByteArray* out, QString* fehler) const {
    TabellenDruck d(out, titel, true, QMarginsF(12, 12, 12, 12));
    if (!d.ok(fehler)) return false;
    QStringList kopf;
    if (!firma.isEmpty()) kopf << QStringLiteral("Betrieb: ") + firma;
    if (!untertitel.isEmpty()) kopf << untertitel.split(QLatin1Char('\n'));
    d.kopf(titel, kopf);
    QList<TabellenSpalte> sp;
    QList<int> summiert;
    int beschriftung = -1;  // the widest text column names the carried-forward line
    for (int i = 0; i < spalten.size(); ++i) {
        const BerichtSpalte& s = spalten[i];
        sp.append({s.kopf, s.breite, s.art == BerichtSpalte::Betrag || s.art == BerichtSpalte::Zahl});
        if (s.uebertrag && s.art == BerichtSpalte::Betrag) summiert << i;
        if (s.art == BerichtSpalte::Text && (beschriftung < 0 || s.breite > spalten[beschriftung].breite)) beschriftung = i;
    }
    d.spalten(sp);
    QVector<qint64> cent(spalten.size(), 0);
    for (const Zeile& z : zeilen) {
        QStringList felder;
        for (int i = 0; i < spalten.size(); ++i) felder << zelle(z, i);
        // A total closes what stands above it: nothing is carried past it.
        QStringList uebertrag;
        for (int i : summiert) cent[i] = z.summe ? 0 : cent[i] + qRound64(z.werte.value(i).toDouble() * 100.0);
        if (!z.summe && !summiert.isEmpty()) {
            for (int i = 0; i < spalten.size(); ++i)
                uebertrag << (summiert.contains(i) ? EuroType::ausCent(cent[i]).getText() : i == beschriftung ? QStringLiteral("Übertrag") : QString());
        }
        d.zeile(felder, z.summe ? TabellenDruck::Summe : TabellenDruck::Normal, uebertrag);
    }
    return d.beenden(QStringLiteral("der Liste „%1“").arg(titel), fehler);
}
