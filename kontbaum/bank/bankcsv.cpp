// The CSV reader of bank downloads. Banks write ";" between fields, the
// decimal comma, dates as TT.MM.JJ or TT.MM.JJJJ, mostly Windows-1252, and
// each its own columns. The columns are therefore data: a table of layouts
// that name each field by its header (the Sparkasse "CSV-CAMT" format), and
// the layout "generisch" whose columns the user gives by number.
#include "kontbaum/bank/bank.h"

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
bool zerlegen(const QString& text, QList<Zeile>* out, QString* fehler) {
    Zeile z{1, {}};
    QString feld;
    bool inAnf = false, warAnf = false;
    int zeile = 1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inAnf) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    feld += c;
                    ++i;
                } else {
                    inAnf = false;
                }
            } else {
                if (c == QLatin1Char('\n')) ++zeile;
                feld += c;
            }
        } else if (c == QLatin1Char('"') && feld.trimmed().isEmpty() && !warAnf) {
            inAnf = warAnf = true;
            feld.clear();
        } else if (c == QLatin1Char(';')) {
            z.felder << feld;
            feld.clear();
            warAnf = false;
        } else if (c == QLatin1Char('\n')) {
            z.felder << feld;
            if (!(z.felder.size() == 1 && z.felder.first().trimmed().isEmpty())) *out << z;
            ++zeile;
            z = Zeile{zeile, {}};
            feld.clear();
            warAnf = false;
        } else if (c != QLatin1Char('\r')) {
            if (warAnf && !c.isSpace()) {
                *fehler = QStringLiteral("Zeile %1: Nach dem schließenden Anführungszeichen folgt „%2“ statt „;“.").arg(zeile).arg(c);
                return false;
            }
            feld += c;
        }
    }
    if (inAnf) {
        *fehler = QStringLiteral("Zeile %1: Ein Anführungszeichen wird nicht geschlossen.").arg(z.nr);
        return false;
    }
    z.felder << feld;
    if (!(z.felder.size() == 1 && z.felder.first().trimmed().isEmpty())) *out << z;
    return true;
}

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

bool leseCsv(const QByteArray& datei, const CsvLayout& layout, BuchungenCSV::Zeichensatz z, QList<Auszug>* out, QString* fehler) {
    out->clear();
    QString text;
    if (!BuchungenCSV::dekodieren(datei, z, &text, fehler)) return false;
    QList<Zeile> zeilen;
    if (!zerlegen(text, &zeilen, fehler)) return false;
    Spalten s;
    int erste = 0;  // first row of data
    const bool nachNummer = layout.name == QLatin1String("generisch");
    if (nachNummer) {
        auto nr = [](const QStringList& l) { return l.isEmpty() ? -1 : l.first().toInt() - 1; };
        s = Spalten{nr(layout.buchungstag), nr(layout.valuta), nr(layout.betrag), nr(layout.soll), nr(layout.haben), nr(layout.zweck),
                    nr(layout.name_),       nr(layout.iban),   nr(layout.bic),    nr(layout.referenz), -1, -1, -1};
        erste = layout.info.isEmpty() ? 1 : layout.info.first().toInt();
    } else {
        // Some banks put lines about the account above the header.
        int kopf = -1;
        for (int i = 0; i < zeilen.size() && i < 30 && kopf < 0; ++i)
            if (spalteVon(zeilen[i].felder, layout.buchungstag) >= 0 && spalteVon(zeilen[i].felder, layout.betrag) >= 0) kopf = i;
        if (kopf < 0) {
            *fehler = QStringLiteral("Zeile 1: Die Kopfzeile des Layouts „%1“ fehlt (erwartet werden die Spalten „%2“ und „%3“). Ist es die "
                                     "CSV-Datei einer anderen Bank? Dann lesen Sie sie mit --layout generisch --spalten … ein.")
                              .arg(layout.name, layout.buchungstag.first(), layout.betrag.first());
            return false;
        }
        const QStringList& k = zeilen[kopf].felder;
        s = Spalten{spalteVon(k, layout.buchungstag), spalteVon(k, layout.valuta), spalteVon(k, layout.betrag), spalteVon(k, layout.soll),
                    spalteVon(k, layout.haben),       spalteVon(k, layout.zweck),  spalteVon(k, layout.name_),  spalteVon(k, layout.iban),
                    spalteVon(k, layout.bic),         spalteVon(k, layout.referenz), spalteVon(k, layout.waehrung),
                    spalteVon(k, layout.konto),       spalteVon(k, layout.info)};
        erste = kopf + 1;
    }
    Auszug a;
    for (int i = erste; i < zeilen.size(); ++i) {
        const Zeile& r = zeilen[i];
        auto feld = [&](int spalte) { return spalte >= 0 && spalte < r.felder.size() ? r.felder[spalte].trimmed() : QString(); };
        auto nein = [&](const QString& grund) {
            *fehler = QStringLiteral("Zeile %1: %2").arg(r.nr).arg(grund);
            return false;
        };
        const int noetig = qMax(s.datum, qMax(s.betrag, qMax(s.soll, s.haben)));
        if (r.felder.size() <= noetig)
            return nein(QStringLiteral("Die Zeile hat %1 Spalten, das Layout „%2“ braucht mindestens %3.").arg(r.felder.size()).arg(layout.name).arg(noetig + 1));
        if (layout.vorgemerkt.contains(feld(s.info), Qt::CaseInsensitive)) {
            ++a.vorgemerkt;
            continue;
        }
        Umsatz u;
        u.buchungsdatum = datumLesen(feld(s.datum), layout.datumsformat);
        if (!u.buchungsdatum.isValid()) return nein(QStringLiteral("„%1“ ist kein Datum (erwartet TT.MM.JJ oder TT.MM.JJJJ).").arg(feld(s.datum)));
        if (s.valuta >= 0 && !feld(s.valuta).isEmpty()) {
            u.valuta = datumLesen(feld(s.valuta), layout.datumsformat);
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
        if (QRegularExpression(QStringLiteral("^[0-9]{8}$")).match(bic).hasMatch()) u.blz = bic;
        else u.bic = bic;
        u.referenz = feld(s.referenz).compare(QLatin1String("NOTPROVIDED"), Qt::CaseInsensitive) == 0 ? QString() : feld(s.referenz);
        const QString eigenes = normIban(feld(s.konto));
        if (!eigenes.isEmpty()) {
            const QString bisher = a.iban.isEmpty() ? a.kontonummer : a.iban;
            if (!bisher.isEmpty() && bisher != eigenes)
                return nein(QStringLiteral("Die Datei enthält Umsätze der Konten %1 und %2; bitte laden Sie je Konto eine Datei herunter.").arg(bisher, eigenes));
            (ibanGueltig(eigenes) ? a.iban : a.kontonummer) = eigenes;
        }
        a.umsaetze << u;
    }
    *out << a;
    return true;
}

}  // namespace Bank
