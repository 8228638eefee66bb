// Rendering of the report lists (see liste.h).
#include "kontbaum/berichte/liste.h"

#include "kontbaum/berichte/listenschreiber.h"

void BerichtListe::zeile(const QList<QVariant>& werte, bool summe) {
    if (!m_senke) {
        zeilen.append({werte, summe});
        return;
    }
    kopfSenden();
    m_senke->zeile(*this, {werte, summe});
    if (!summe) ++m_gesendet;
}

void BerichtListe::kopfSenden() {
    if (!m_senke || m_kopfGesendet) return;
    m_kopfGesendet = true;
    m_senke->anfang(*this);
}

int BerichtListe::anzahl() const {
    int n = m_gesendet;
    for (const Zeile& z : zeilen) n += z.summe ? 0 : 1;
    return n;
}

QString BerichtListe::zelle(const Zeile& z, int spalte) const {
    const QVariant& v = z.werte.value(spalte);
    if (!v.isValid() || v.isNull()) return QString();
    // Text given for a number or amount column is shown as given (a book
    // that leaves zero amounts empty, a rate "7 %").
    if (v.userType() == QMetaType::QString) return v.toString();
    if (v.userType() == QMetaType::Bool) return v.toBool() ? QStringLiteral("ja") : QStringLiteral("nein");
    switch (spalten.value(spalte).art) {
    case BerichtSpalte::Betrag:
        return EuroType::ausDouble(v.toDouble()).getText();
    case BerichtSpalte::Datum:
        return zDate(v.toDate()).getText();
    case BerichtSpalte::Zahl:
        if (v.userType() == QMetaType::Double) return QString::number(v.toDouble(), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
        return QString::number(v.toLongLong());
    case BerichtSpalte::Text:
        break;
    }
    return v.toString();
}

QString BerichtListe::inhalt(const Zeile& z, const BerichtSeite::Feld& f) const {
    const QVariant& v = z.werte.value(f.wert);
    QString t = f.wert < spalten.size() ? zelle(z, f.wert) : v.toString();
    if (f.nullIstLeer && v.isValid() && !v.isNull() && v.userType() != QMetaType::QString && v.toLongLong() == 0) t.clear();
    return t.isEmpty() ? f.leer : t;
}

QString BerichtListe::feld(const Zeile& z, const BerichtSeite::Feld& f) const {
    const QString t = inhalt(z, f);
    // A figure is never cut: cut, it would read as another figure.
    if (f.rechts) return t.rightJustified(f.breite, t.isEmpty() ? QLatin1Char(' ') : f.fuellung);
    return (f.kuerzen ? t.left(f.breite) : t).leftJustified(f.breite);
}

QList<BerichtSeite::Feld> BerichtListe::seitenfelder() const {
    if (!seite.felder.isEmpty()) return seite.felder;
    QList<BerichtSeite::Feld> f;
    for (int i = 0; i < spalten.size(); ++i) {
        const bool rechts = spalten[i].art == BerichtSpalte::Betrag || spalten[i].art == BerichtSpalte::Zahl;
        BerichtSeite::Feld feld(i, spalten[i].breite, rechts);
        feld.kopf = spalten[i].kopf;
        feld.kuerzen = !rechts;
        f.append(feld);
    }
    return f;
}

void BerichtListe::drucke(zPrintString& p) const {
    p.setTitel(titel);
    p.setUntertitel(seite.untertitel ? untertitel : QString());
    p.setGruppen(seite.gruppen);
    const QList<BerichtSeite::Feld> felder = seitenfelder();
    QList<zPrintString::Spalte> sp;
    for (const BerichtSeite::Feld& f : felder) sp.append({f.kopf, f.breite, f.rechts});
    p.setSpalten(sp);
    for (const Zeile& z : zeilen) {
        // A total closes what stands above it; at the top it opens a group.
        if (z.summe && p.zeilen() > 0) p.trenner();
        QStringList t;
        for (const BerichtSeite::Feld& f : felder) t << inhalt(z, f);
        p.zeile(t);
    }
}

QString BerichtListe::csv() const {
    QByteArray t;
    CsvSchreiber w([&t](const QByteArray& b) {
        t += b;
        return true;
    });
    w.schreibe(*this, nullptr);
    return QString::fromUtf8(t);
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
    return PdfSchreiber(out, firma).schreibe(*this, fehler);
}
