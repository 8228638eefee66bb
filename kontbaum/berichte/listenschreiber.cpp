// The writers of the lists (see listenschreiber.h).
#include "kontbaum/berichte/listenschreiber.h"

#include "host/app/tabellendruck.h"

#include <QTemporaryFile>

#include <algorithm>

namespace {
constexpr int kBlock = 1 << 16;

QString ausgabeFehler() {
    return QStringLiteral("Die Liste konnte nicht vollständig ausgegeben werden. Bitte prüfen Sie, ob auf dem Datenträger genug Platz "
                          "frei ist.");
}

bool rechts(const BerichtSpalte& s) { return s.art == BerichtSpalte::Betrag || s.art == BerichtSpalte::Zahl; }
}  // namespace

// ---------------------------------------------------------------- the base

ListenSchreiber::~ListenSchreiber() = default;

void ListenSchreiber::anfang(const BerichtListe& kopf) {
    if (m_begonnen) return;
    m_begonnen = true;
    kopfSchreiben(kopf);
}

void ListenSchreiber::zeile(const BerichtListe& kopf, const BerichtZeile& z) {
    anfang(kopf);
    zeileSchreiben(kopf, z);
}

bool ListenSchreiber::schluss(const BerichtListe&, QString*) { return true; }

bool ListenSchreiber::beenden(const BerichtListe& kopf, QString* fehler) {
    anfang(kopf);
    if (!schluss(kopf, fehler)) return false;
    if (!leeren()) {
        if (fehler) *fehler = ausgabeFehler();
        return false;
    }
    return true;
}

bool ListenSchreiber::schreibe(const BerichtListe& l, QString* fehler) {
    anfang(l);
    for (const BerichtZeile& z : l.zeilen) zeile(l, z);
    return beenden(l, fehler);
}

void ListenSchreiber::schreibe(const QByteArray& b) {
    if (m_fehler) return;
    m_puffer += b;
    if (m_puffer.size() >= kBlock) leeren();
}

bool ListenSchreiber::leeren() {
    if (!m_fehler && !m_puffer.isEmpty() && !m_ziel(m_puffer)) m_fehler = true;
    m_puffer.clear();
    return !m_fehler;
}

// ---------------------------------------------------------------- the page

namespace {
// What stands before field `i` of a line.
QString davor(const BerichtSeite::Feld& f, int i) {
    if (!f.vor.isEmpty()) return f.vor;
    return i > 0 ? QStringLiteral(" ") : QString();
}
}  // namespace

void TextSchreiber::kopfSchreiben(const BerichtListe& kopf) {
    m_felder = kopf.seitenfelder();
    m_nurZeilen = kopf.seite.nurZeilen;
    if (m_nurZeilen) {
        if (!kopf.seite.kopfzeile.isEmpty()) schreibe((kopf.seite.kopfzeile + QLatin1Char('\n')).toUtf8());
        return;
    }
    int gesamt = 0;
    for (int i = 0; i < m_felder.size(); ++i) gesamt += davor(m_felder[i], i).size() + m_felder[i].breite;
    m_gesamt = qMax(gesamt, int(kopf.titel.size()));
    const QString untertitel = kopf.seite.untertitel ? kopf.untertitel : QString();
    QString t;
    if (!kopf.titel.isEmpty()) t += kopf.titel + QLatin1Char('\n');
    if (!untertitel.isEmpty()) t += untertitel + QLatin1Char('\n');
    if (!kopf.titel.isEmpty() || !untertitel.isEmpty()) t += QLatin1Char('\n');
    if (!kopf.seite.gruppen.isEmpty()) {
        QString z;
        int feld = 0;
        for (const auto& g : kopf.seite.gruppen) {
            int breite = -1;
            for (int i = 0; i < g.second && feld < m_felder.size(); ++i, ++feld) breite += m_felder[feld].breite + 1;
            const int rand = qMax(0, breite - int(g.first.size()));
            z += QString(rand / 2, QLatin1Char(' ')) + g.first.left(qMax(0, breite)) + QString(rand - rand / 2, QLatin1Char(' ')) + QLatin1Char(' ');
        }
        while (z.endsWith(QLatin1Char(' '))) z.chop(1);
        if (!z.isEmpty()) t += z + QLatin1Char('\n');
    }
    QString koepfe;
    for (int i = 0; i < m_felder.size(); ++i) {
        const BerichtSeite::Feld& f = m_felder[i];
        const QString k = f.kopf.left(f.breite);
        koepfe += davor(f, i) + (f.rechts ? k.rightJustified(f.breite) : k.leftJustified(f.breite));
    }
    t += koepfe.trimmed() + QLatin1Char('\n');
    t += QString(m_gesamt, QLatin1Char('-')) + QLatin1Char('\n');
    schreibe(t.toUtf8());
}

void TextSchreiber::zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) {
    QString t;
    // A total closes what stands above it; at the top it opens a group.
    if (z.summe && m_zeilen > 0 && !m_nurZeilen) t += QString(m_gesamt, QLatin1Char('-')) + QLatin1Char('\n');
    ++m_zeilen;
    for (int i = 0; i < m_felder.size(); ++i) t += davor(m_felder[i], i) + kopf.feld(z, m_felder[i]);
    if (!m_nurZeilen)
        while (t.endsWith(QLatin1Char(' '))) t.chop(1);
    t += QLatin1Char('\n');
    schreibe(t.toUtf8());
}

// ---------------------------------------------------------------- CSV

QString CsvSchreiber::feld(const QString& text) {
    for (const QChar c : text)
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

QByteArray CsvSchreiber::zeilenText(const QStringList& felder) {
    QString t;
    for (int i = 0; i < felder.size(); ++i) {
        if (i > 0) t += QLatin1Char(';');
        t += feld(felder[i]);
    }
    t += QLatin1Char('\n');
    return t.toUtf8();
}

void CsvSchreiber::kopfSchreiben(const BerichtListe& kopf) {
    if (!m_kopfzeile) return;
    QStringList k;
    for (const BerichtSpalte& s : kopf.spalten) k << s.kopf;
    schreibe(zeilenText(k));
}

void CsvSchreiber::zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) {
    QString t;
    for (int i = 0; i < kopf.spalten.size(); ++i) {
        if (i > 0) t += QLatin1Char(';');
        const QString f = kopf.zelle(z, i);
        t += kopf.spalten[i].zitiert ? QLatin1Char('"') + QString(f).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"') : feld(f);
    }
    t += QLatin1Char('\n');
    schreibe(t.toUtf8());
}

// ---------------------------------------------------------------- JSON

namespace {
// Stands for the rows in the document until they are copied in; JSON
// escapes the control character, so no value can look like it.
const QByteArray kZeilenMarke = QByteArrayLiteral("\x01ZEILEN\x01");
constexpr int kImSpeicher = 1 << 20;
}  // namespace

JsonSchreiber::JsonSchreiber(ListenZiel ziel, JsonText::Felder kopf, bool listenkopf)
    : ListenSchreiber(std::move(ziel)), m_kopf(std::move(kopf)), m_listenkopf(listenkopf) {}

std::unique_ptr<JsonSchreiber> JsonSchreiber::nurZeilen(ListenZiel ziel) {
    auto w = std::make_unique<JsonSchreiber>(std::move(ziel), JsonText::Felder(), false);
    w->m_nurZeilen = true;
    return w;
}

JsonSchreiber::~JsonSchreiber() = default;

QByteArray JsonSchreiber::wert(const BerichtSpalte& s, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return JsonText::null();
    if (v.userType() == QMetaType::Bool) return JsonText::wahrheit(v.toBool());
    switch (s.art) {
    case BerichtSpalte::Betrag:
        return JsonText::betrag(EuroType::ausDouble(v.toDouble()));
    case BerichtSpalte::Zahl:
        return v.userType() == QMetaType::Double ? JsonText::zahl(v.toDouble()) : JsonText::ganz(v.toLongLong());
    case BerichtSpalte::Datum:
        return JsonText::text(zDate(v.toDate()).getText());
    case BerichtSpalte::Text:
        break;
    }
    return JsonText::text(v.toString());
}

void JsonSchreiber::kopfSchreiben(const BerichtListe& kopf) {
    // The order of the members once for all rows.
    m_ordnung.clear();
    for (int i = 0; i < kopf.spalten.size(); ++i) m_ordnung << i;
    std::stable_sort(m_ordnung.begin(), m_ordnung.end(),
                     [&](int a, int b) { return kopf.spalten[a].schluessel.toUtf8() < kopf.spalten[b].schluessel.toUtf8(); });
    QVector<int> einmal;
    for (int j = 0; j < m_ordnung.size(); ++j)
        if (j + 1 == m_ordnung.size() || kopf.spalten[m_ordnung[j + 1]].schluessel != kopf.spalten[m_ordnung[j]].schluessel)
            einmal << m_ordnung[j];
    m_ordnung = einmal;
    m_schluessel.clear();
    // A row stands in "zeilen" of the document, or on its own in the list.
    const int ebene = m_nurZeilen ? 2 : 3;
    for (int i : m_ordnung) m_schluessel << JsonText::einzug(ebene) + JsonText::text(kopf.spalten[i].schluessel) + ": ";
}

void JsonSchreiber::zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) {
    QByteArray o = "{\n";
    for (int j = 0; j < m_ordnung.size(); ++j) {
        if (j > 0) o += ",\n";
        o += m_schluessel[j];
        o += wert(kopf.spalten[m_ordnung[j]], z.werte.value(m_ordnung[j]));
    }
    if (!m_ordnung.isEmpty()) o += '\n';
    const int ebene = m_nurZeilen ? 1 : 2;
    o += JsonText::einzug(ebene);
    o += '}';
    if (m_nurZeilen) {
        if (z.summe) return;
        schreibe((m_ersteZeile ? "[\n" : ",\n") + JsonText::einzug(ebene) + o);
        m_ersteZeile = false;
        return;
    }
    if (z.summe) {
        m_summen << o;
        return;
    }
    zeilenAblegen((m_ersteZeile ? JsonText::einzug(2) : ",\n" + JsonText::einzug(2)) + o);
    m_ersteZeile = false;
}

void JsonSchreiber::zeilenAblegen(const QByteArray& b) {
    m_zeilen += b;
    if (m_zeilen.size() < kImSpeicher) return;
    if (!m_ablage) {
        m_ablage = std::make_unique<QTemporaryFile>();
        if (!m_ablage->open()) m_ablageFehler = true;
    }
    if (!m_ablageFehler && m_ablage->write(m_zeilen) != m_zeilen.size()) m_ablageFehler = true;
    m_zeilen.clear();
}

bool JsonSchreiber::schluss(const BerichtListe& kopf, QString* fehler) {
    if (m_nurZeilen) {
        schreibe(m_ersteZeile ? QByteArray("[\n]\n") : QByteArray("\n]\n"));
        return true;
    }
    JsonText::Felder f = m_kopf;
    if (m_listenkopf) {
        f.append({"titel", JsonText::text(kopf.titel)});
        f.append({"untertitel", JsonText::text(kopf.untertitel)});
        f.append({"summen", JsonText::liste(m_summen, 1)});
    }
    f.append({"zeilen", kZeilenMarke});
    const QByteArray dok = JsonText::objekt(f, 0) + '\n';
    const int marke = dok.indexOf(kZeilenMarke);
    schreibe(dok.left(marke) + "[\n");
    if (m_ablage && !m_ablageFehler) {
        if (!m_ablage->seek(0)) m_ablageFehler = true;
        while (!m_ablageFehler && !m_ablage->atEnd()) {
            const QByteArray stueck = m_ablage->read(kBlock);
            if (stueck.isEmpty()) m_ablageFehler = true;
            schreibe(stueck);
        }
    }
    if (m_ablageFehler) {
        if (fehler)
            *fehler = QStringLiteral("Die Zeilen der Liste konnten nicht zwischengespeichert werden. Bitte prüfen Sie, ob im "
                                     "temporären Verzeichnis genug Platz frei ist.");
        return false;
    }
    schreibe(m_zeilen);
    schreibe((m_ersteZeile ? QByteArray() : QByteArray("\n")) + JsonText::einzug(1) + ']' + dok.mid(marke + kZeilenMarke.size()));
    return true;
}

// ---------------------------------------------------------------- PDF

PdfSchreiber::PdfSchreiber(QIODevice* ziel, const QString& firma) : m_geraet(ziel), m_firma(firma) {}
PdfSchreiber::PdfSchreiber(QByteArray* ziel, const QString& firma) : m_bytes(ziel), m_firma(firma) {}
PdfSchreiber::~PdfSchreiber() = default;

void PdfSchreiber::anfang(const BerichtListe& kopf) {
    if (m_druck) return;
    m_druck = m_bytes ? std::make_unique<TabellenDruck>(m_bytes, kopf.titel, true, QMarginsF(12, 12, 12, 12))
                      : std::make_unique<TabellenDruck>(m_geraet, kopf.titel, true, QMarginsF(12, 12, 12, 12));
    if (!m_druck->ok(nullptr)) return;
    QStringList zeilen;
    if (!m_firma.isEmpty()) zeilen << QStringLiteral("Betrieb: ") + m_firma;
    if (!kopf.untertitel.isEmpty()) zeilen << kopf.untertitel.split(QLatin1Char('\n'));
    m_druck->kopf(kopf.titel, zeilen);
    QList<TabellenSpalte> sp;
    // The widest text column names the carried-forward line.
    for (int i = 0; i < kopf.spalten.size(); ++i) {
        const BerichtSpalte& s = kopf.spalten[i];
        sp.append({s.kopf, s.breite, rechts(s)});
        if (s.uebertrag && s.art == BerichtSpalte::Betrag) m_summiert << i;
        if (s.art == BerichtSpalte::Text && (m_beschriftung < 0 || s.breite > kopf.spalten[m_beschriftung].breite)) m_beschriftung = i;
    }
    m_druck->spalten(sp);
    m_cent = QVector<qint64>(kopf.spalten.size(), 0);
}

void PdfSchreiber::zeile(const BerichtListe& kopf, const BerichtZeile& z) {
    anfang(kopf);
    if (!m_druck->ok(nullptr)) return;
    QStringList felder;
    for (int i = 0; i < kopf.spalten.size(); ++i) felder << kopf.zelle(z, i);
    // A total closes what stands above it: nothing is carried past it.
    QStringList uebertrag;
    for (int i : m_summiert) m_cent[i] = z.summe ? 0 : m_cent[i] + qRound64(z.werte.value(i).toDouble() * 100.0);
    if (!z.summe && !m_summiert.isEmpty()) {
        for (int i = 0; i < kopf.spalten.size(); ++i)
            uebertrag << (m_summiert.contains(i) ? EuroType::ausCent(m_cent[i]).getText()
                                                 : i == m_beschriftung ? QStringLiteral("Übertrag") : QString());
    }
    m_druck->zeile(felder, z.summe ? TabellenDruck::Summe : TabellenDruck::Normal, uebertrag);
}

bool PdfSchreiber::beenden(const BerichtListe& kopf, QString* fehler) {
    anfang(kopf);
    if (!m_druck->ok(fehler)) return false;
    return m_druck->beenden(QStringLiteral("der Liste „%1“").arg(kopf.titel), fehler);
}

bool PdfSchreiber::schreibe(const BerichtListe& l, QString* fehler) {
    anfang(l);
    for (const BerichtZeile& z : l.zeilen) zeile(l, z);
    return beenden(l, fehler);
}
