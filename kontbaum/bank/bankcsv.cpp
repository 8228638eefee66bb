// The CSV reader of bank downloads. Banks write ";" between fields, the
// decimal comma, dates as TT.MM.JJ or TT.MM.JJJJ, mostly Windows-1252, and
// each its own columns. The columns are therefore data: a table of layouts
// that name each field by its header (the Sparkasse "CSV-CAMT" format), and
// the layout "generisch" whose columns the user gives by number.
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/intern.h"

#include <QBuffer>
#include <QRegularExpression>

namespace Bank {
namespace {

QStringList liste(std::initializer_list<const char*> namen) {
    QStringList l;
    for (const char* n : namen) l << QString::fromUtf8(n);
    return l;
}

QList<CsvLayout> bauen() {
    CsvLayout s;
    s.name = QStringLiteral("sparkasse");
    s.beschreibung = QStringLiteral("Sparkasse CSV-CAMT (Auftragskonto;Buchungstag;Valutadatum;…;Betrag;Waehrung;Info)");
    s.konto = liste({"Auftragskonto"});
    s.buchungstag = liste({"Buchungstag"});
    s.valuta = liste({"Valutadatum"});
    s.zweck = liste({"Verwendungszweck"});
    s.referenz = liste({"Kundenreferenz (End-to-End)"});
    s.name_ = liste({"Beguenstigter/Zahlungspflichtiger", "Begünstigter/Zahlungspflichtiger"});
    s.iban = liste({"Kontonummer/IBAN", "Kontonummer"});
    s.bic = liste({"BIC (SWIFT-Code)", "BLZ"});
    s.betrag = liste({"Betrag"});
    s.waehrung = liste({"Waehrung", "Währung"});
    s.info = liste({"Info"});
    s.vorgemerkt = liste({"Umsatz vorgemerkt"});
    CsvLayout g;
    g.name = QStringLiteral("generisch");
    g.beschreibung = QStringLiteral("Spalten nach Nummer aus --spalten, z. B. datum=1,betrag=4,zweck=3,name=2,iban=5,bic=6 "
                                    "(oder soll=…,haben=… statt betrag; valuta=…, referenz=…, kopf=ZEILEN)");
    g.datumsformat = QStringLiteral("dd.MM.yyyy");
    return {s, g};
}

// The fields of the text: ";" between fields, double quotes around a field
// that holds ";", a quote or a line break, a doubled quote for a quote.
// Each row with the line it starts on.
struct Zeile {
    int nr;
    QStringList felder;
};
// Fed a line at a time; a row that ends goes to `fertig`.
class Zerleger {
public:
    bool zeile(const QString& zeile, QList<Zeile>* fertig, QString* fehler) {
        const QString text = zeile + QLatin1Char('\n');
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (m_inAnf) {
                if (c == QLatin1Char('"')) {
                    if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                        m_feld += c;
                        ++i;
                    } else {
                        m_inAnf = false;
                    }
                } else {
                    if (c == QLatin1Char('\n')) ++m_zeile;
                    m_feld += c;
                }
            } else if (c == QLatin1Char('"') && m_feld.trimmed().isEmpty() && !m_warAnf) {
                m_inAnf = m_warAnf = true;
                m_feld.clear();
            } else if (c == QLatin1Char(';')) {
                m_z.felder << m_feld;
                m_feld.clear();
                m_warAnf = false;
            } else if (c == QLatin1Char('\n')) {
                m_z.felder << m_feld;
                if (!(m_z.felder.size() == 1 && m_z.felder.first().trimmed().isEmpty())) *fertig << m_z;
                ++m_zeile;
                m_z = Zeile{m_zeile, {}};
                m_feld.clear();
                m_warAnf = false;
            } else if (c != QLatin1Char('\r')) {
                if (m_warAnf && !c.isSpace()) {
                    *fehler = QStringLiteral("Zeile %1: Nach dem schließenden Anführungszeichen folgt „%2“ statt „;“.").arg(m_zeile).arg(c);
                    return false;
                }
                m_feld += c;
            }
        }
        return true;
    }
    bool ende(QList<Zeile>* fertig, QString* fehler) {
        if (m_inAnf) {
            *fehler = QStringLiteral("Zeile %1: Ein Anführungszeichen wird nicht geschlossen.").arg(m_z.nr);
            return false;
        }
        m_z.felder << m_feld;
        if (!(m_z.felder.size() == 1 && m_z.felder.first().trimmed().isEmpty())) *fertig << m_z;
        return true;
    }

private:
    Zeile m_z{1, {}};
    QString m_feld;
    bool m_inAnf = false, m_warAnf = false;
    int m_zeile = 1;
};

// Column of a field: its number (1-based) in a mapped layout, else the
// first header that matches one of its names; -1 when it is not there.
struct Spalten {
    int datum = -1, valuta = -1, betrag = -1, soll = -1, haben = -1, zweck = -1, name = -1, iban = -1, bic = -1,
        referenz = -1, waehrung = -1, konto = -1, info = -1;
};
int spalteVon(const QStringList& kopf, const QStringList& namen) {
    for (const QString& n : namen)
        for (int i = 0; i < kopf.size(); ++i)
            if (kopf[i].trimmed().compare(n, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

zDate datumLesen(const QString& t, const QString& format) {
    const QString s = t.trimmed();
    for (const QString& f : {format, QStringLiteral("dd.MM.yyyy"), QStringLiteral("dd.MM.yy"), QStringLiteral("yyyy-MM-dd")}) {
        if (s.size() != f.size()) continue;
        QDate d = QDate::fromString(s, f);
        // Qt reads "yy" as 19yy; statements are of this century.
        if (d.isValid() && f.endsWith(QLatin1String(".yy"))) d = d.addYears(100);
        if (d.isValid()) return zDate(d);
    }
    return zDate();
}

}  // namespace

const QList<CsvLayout>& csvLayouts() {
    static const QList<CsvLayout> l = bauen();
    return l;
}

bool csvLayout(const QString& name, const QString& spalten, CsvLayout* out, QString* fehler) {
    QStringList namen;
    for (const CsvLayout& l : csvLayouts()) {
        namen << l.name;
        if (l.name.compare(name.trimmed(), Qt::CaseInsensitive) != 0) continue;
        *out = l;
        if (l.name != QLatin1String("generisch")) return true;
        // The user's columns become the "header names" of their numbers.
        const QMap<QString, QStringList*> felder = {
            {QStringLiteral("datum"), &out->buchungstag}, {QStringLiteral("valuta"), &out->valuta},
            {QStringLiteral("betrag"), &out->betrag},     {QStringLiteral("soll"), &out->soll},
            {QStringLiteral("haben"), &out->haben},       {QStringLiteral("zweck"), &out->zweck},
            {QStringLiteral("name"), &out->name_},        {QStringLiteral("iban"), &out->iban},
            {QStringLiteral("bic"), &out->bic},           {QStringLiteral("referenz"), &out->referenz},
            {QStringLiteral("kopf"), &out->info}};
        for (const QString& teil : spalten.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString k = teil.section(QLatin1Char('='), 0, 0).trimmed().toLower();
            bool ok = false;
            const int n = teil.section(QLatin1Char('='), 1).trimmed().toInt(&ok);
            if (!felder.contains(k) || !ok || n < (k == QLatin1String("kopf") ? 0 : 1) || n > 200) {
                *fehler = QStringLiteral("--spalten: „%1“ ist keine Angabe FELD=NUMMER mit FELD aus datum, valuta, betrag, soll, haben, zweck, "
                                         "name, iban, bic, referenz, kopf.")
                              .arg(teil.trimmed());
                return false;
            }
            *felder.value(k) = QStringList{QString::number(n)};
        }
        if (out->buchungstag.isEmpty() || (out->betrag.isEmpty() && (out->soll.isEmpty() || out->haben.isEmpty()))) {
            *fehler = QStringLiteral("Für das Layout „generisch“ nennt --spalten mindestens datum= und betrag= (oder soll= und haben=), "
                                     "z. B. --spalten datum=1,betrag=4,zweck=3,name=2.");
            return false;
        }
        return true;
    }
    *fehler = QStringLiteral("Das CSV-Layout „%1“ gibt es nicht; bekannt sind: %2.").arg(name, namen.join(QStringLiteral(", ")));
    return false;
}

namespace {
// Reads the rows as the tokenizer completes them: the header, then every
// row of data into a transaction for the receiver. The own account stands
// in a column of each row where the layout has one; transactions before
// the first row that names it wait for it.
class CsvLeser {
public:
    CsvLeser(const CsvLayout& layout, AuszugEmpfaenger* e, QString* fehler) : m_layout(layout), m_weitergabe(e), m_fehler(fehler) {
        m_nachNummer = layout.name == QLatin1String("generisch");
        if (m_nachNummer) {
            auto nr = [](const QStringList& l) { return l.isEmpty() ? -1 : l.first().toInt() - 1; };
            m_s = Spalten{nr(layout.buchungstag), nr(layout.valuta), nr(layout.betrag), nr(layout.soll), nr(layout.haben), nr(layout.zweck),
                          nr(layout.name_),       nr(layout.iban),   nr(layout.bic),    nr(layout.referenz), -1, -1, -1};
            m_erste = layout.info.isEmpty() ? 1 : layout.info.first().toInt();
            m_kopf = true;
        }
    }

    bool zeile(const Zeile& r) {
        const int i = m_index++;
        if (!m_kopf) {
            // Some banks put lines about the account above the header.
            const QStringList& k = r.felder;
            if (i < 30 && spalteVon(k, m_layout.buchungstag) >= 0 && spalteVon(k, m_layout.betrag) >= 0) {
                m_s = Spalten{spalteVon(k, m_layout.buchungstag), spalteVon(k, m_layout.valuta),   spalteVon(k, m_layout.betrag),
                              spalteVon(k, m_layout.soll),        spalteVon(k, m_layout.haben),    spalteVon(k, m_layout.zweck),
                              spalteVon(k, m_layout.name_),       spalteVon(k, m_layout.iban),     spalteVon(k, m_layout.bic),
                              spalteVon(k, m_layout.referenz),    spalteVon(k, m_layout.waehrung), spalteVon(k, m_layout.konto),
                              spalteVon(k, m_layout.info)};
                m_kopf = true;
                m_erste = i + 1;
                return true;
            }
            if (i >= 29) return keinKopf();
            return true;
        }
        if (i < m_erste) return true;
        const Spalten& s = m_s;
        auto feld = [&](int spalte) { return spalte >= 0 && spalte < r.felder.size() ? r.felder[spalte].trimmed() : QString(); };
        auto nein = [&](const QString& grund) {
            *m_fehler = QStringLiteral("Zeile %1: %2").arg(r.nr).arg(grund);
            return false;
        };
        const int noetig = qMax(s.datum, qMax(s.betrag, qMax(s.soll, s.haben)));
        if (r.felder.size() <= noetig)
            return nein(QStringLiteral("Die Zeile hat %1 Spalten, das Layout „%2“ braucht mindestens %3.").arg(r.felder.size()).arg(m_layout.name).arg(noetig + 1));
        if (m_layout.vorgemerkt.contains(feld(s.info), Qt::CaseInsensitive)) {
            ++m_a.vorgemerkt;
            return true;
        }
        Umsatz u;
        u.buchungsdatum = datumLesen(feld(s.datum), m_layout.datumsformat);
        if (!u.buchungsdatum.isValid()) return nein(QStringLiteral("„%1“ ist kein Datum (erwartet TT.MM.JJ oder TT.MM.JJJJ).").arg(feld(s.datum)));
        if (s.valuta >= 0 && !feld(s.valuta).isEmpty()) {
            u.valuta = datumLesen(feld(s.valuta), m_layout.datumsformat);
            if (!u.valuta.isValid()) return nein(QStringLiteral("Die Valuta „%1“ ist kein Datum.").arg(feld(s.valuta)));
        }
        if (s.betrag >= 0) {
            if (!EuroType::fromText(feld(s.betrag), &u.betrag)) return nein(QStringLiteral("„%1“ ist kein Betrag (erwartet z. B. -1.234,56).").arg(feld(s.betrag)));
        } else {
            EuroType soll, haben;
            if ((!feld(s.soll).isEmpty() && !EuroType::fromText(feld(s.soll), &soll)) ||
                (!feld(s.haben).isEmpty() && !EuroType::fromText(feld(s.haben), &haben)))
                return nein(QStringLiteral("„%1“ / „%2“ sind keine Beträge.").arg(feld(s.soll), feld(s.haben)));
            u.betrag = haben.abs() - soll.abs();
        }
        if (u.betrag.isNull()) return nein(QStringLiteral("Der Umsatz hat den Betrag 0."));
        if (s.waehrung >= 0 && !feld(s.waehrung).isEmpty() && feld(s.waehrung) != QLatin1String("EUR"))
            return nein(QStringLiteral("Der Umsatz ist in %1; es werden nur Umsätze in Euro gebucht.").arg(feld(s.waehrung)));
        if (!feld(s.zweck).isEmpty()) u.zweck << feld(s.zweck).simplified();
        u.name = feld(s.name).simplified();
        const QString konto = normIban(feld(s.iban));
        if (ibanGueltig(konto)) u.iban = konto;
        else u.kontonummer = feld(s.iban);
        const QString bic = feld(s.bic);
        static const QRegularExpression blz(QStringLiteral("^[0-9]{8}$"));
        if (blz.match(bic).hasMatch()) u.blz = bic;
        else u.bic = bic;
        u.referenz = feld(s.referenz).compare(QLatin1String("NOTPROVIDED"), Qt::CaseInsensitive) == 0 ? QString() : feld(s.referenz);
        const QString eigenes = normIban(feld(s.konto));
        if (!eigenes.isEmpty()) {
            const QString bisher = m_a.iban.isEmpty() ? m_a.kontonummer : m_a.iban;
            if (!bisher.isEmpty() && bisher != eigenes)
                return nein(QStringLiteral("Die Datei enthält Umsätze der Konten %1 und %2; bitte laden Sie je Konto eine Datei herunter.").arg(bisher, eigenes));
            (ibanGueltig(eigenes) ? m_a.iban : m_a.kontonummer) = eigenes;
        }
        if (!m_weitergabe.begonnen() && (s.konto < 0 || !eigenes.isEmpty())) m_weitergabe.beginnen(m_a);
        m_weitergabe.umsatz(u);
        return true;
    }

    bool ende() {
        if (!m_kopf) return keinKopf();
        m_weitergabe.ende(m_a);
        if (m_weitergabe.fehler().isEmpty()) return true;
        *m_fehler = m_weitergabe.fehler();
        return false;
    }

private:
    bool keinKopf() {
        *m_fehler = QStringLiteral("Zeile 1: Die Kopfzeile des Layouts „%1“ fehlt (erwartet werden die Spalten „%2“ und „%3“). Ist es die "
                                   "CSV-Datei einer anderen Bank? Dann lesen Sie sie mit --layout generisch --spalten … ein.")
                        .arg(m_layout.name, m_layout.buchungstag.first(), m_layout.betrag.first());
        return false;
    }
    const CsvLayout& m_layout;
    intern::Weitergabe m_weitergabe;
    QString* m_fehler;
    Spalten m_s;
    bool m_nachNummer = false, m_kopf = false;
    int m_erste = 0, m_index = 0;
    Auszug m_a;
};
}  // namespace

bool leseCsv(QIODevice* datei, const CsvLayout& layout, BuchungenCSV::Zeichensatz z, AuszugEmpfaenger* empfaenger, QString* fehler) {
    BuchungenCSV::TextLeser text(datei);
    if (!text.pruefen(z, fehler)) return false;
    // A file whose quoting is broken anywhere is refused as such before any
    // row is read: a first reading checks only the form.
    QList<Zeile> zeilen;
    QString t;
    {
        Zerleger form;
        while (text.zeile(&t)) {
            if (!form.zeile(t, &zeilen, fehler)) return false;
            zeilen.clear();
        }
        if (!form.ende(&zeilen, fehler)) return false;
        zeilen.clear();
    }
    text.vonVorn();
    Zerleger zerleger;
    CsvLeser leser(layout, empfaenger, fehler);
    auto lesen = [&]() {
        for (const Zeile& r : qAsConst(zeilen))
            if (!leser.zeile(r)) return false;
        zeilen.clear();
        return true;
    };
    while (text.zeile(&t))
        if (!zerleger.zeile(t, &zeilen, fehler) || !lesen()) return false;
    if (!zerleger.ende(&zeilen, fehler) || !lesen()) return false;
    return leser.ende();
}

bool leseCsv(const QByteArray& datei, const CsvLayout& layout, BuchungenCSV::Zeichensatz z, QList<Auszug>* out, QString* fehler) {
    out->clear();
    QBuffer puffer;
    puffer.setData(datei);
    puffer.open(QIODevice::ReadOnly);
    AuszugSammler sammler(out);
    if (leseCsv(&puffer, layout, z, &sammler, fehler)) return true;
    out->clear();
    return false;
}

}  // namespace Bank
