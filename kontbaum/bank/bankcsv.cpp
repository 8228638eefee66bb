// The CSV reader of bank downloads. Banks write ";" (N26 ",") between
// fields, the decimal comma, dates as TT.MM.JJ or TT.MM.JJJJ, Windows-1252
// or UTF-8, and each its own columns. The columns are therefore data: the
// layouts of the reference database name each field by its header, and
// the layout "generisch" takes the user's columns by number or name. A
// file is recognised by the header it holds, never by its name.
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/intern.h"

#include "host/app/global.h"

#include <QBuffer>
#include <QRegularExpression>

namespace Bank {
namespace {

CsvLayout generisch() {
    CsvLayout g;
    g.name = QStringLiteral("generisch");
    g.beschreibung = QStringLiteral("Spalten nach Nummer oder Spaltenname aus --spalten, z. B. datum=1,betrag=4,zweck=3,name=2,iban=5,bic=6 "
                                    "oder datum=Buchungstag,betrag=Betrag (soll=…,haben=… statt betrag; valuta=…, referenz=…; kopf=ZEILE "
                                    "der Kopfzeile, wie ein Editor zählt)");
    g.datumsformat = QStringLiteral("dd.MM.yyyy");
    return g;
}

// A cell of the layout table: header names separated by "|".
QStringList namenAus(const DatenTyp& d) {
    QStringList l;
    for (const QString& n : d.toString().split(QLatin1Char('|'), Qt::SkipEmptyParts)) l << n.trimmed();
    return l;
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
    explicit Zerleger(QChar trenner = QLatin1Char(';')) : m_trenner(trenner) {}
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
            } else if (c == m_trenner) {
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
                    *fehler = QStringLiteral("Zeile %1: Nach dem schließenden Anführungszeichen folgt „%2“ statt „%3“.").arg(m_zeile).arg(c).arg(m_trenner);
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
    QChar m_trenner;
    Zeile m_z{1, {}};
    QString m_feld;
    bool m_inAnf = false, m_warAnf = false;
    int m_zeile = 1;
};

// Column of a field: its number (1-based) in a mapped layout, else the
// first header that matches one of its names; -1 when it is not there.
struct Spalten {
    int datum = -1, valuta = -1, betrag = -1, soll = -1, haben = -1, zweck = -1, name = -1, iban = -1, bic = -1,
        referenz = -1, waehrung = -1, konto = -1, info = -1, nameEingang = -1, nameAusgang = -1;
};
int spalteVon(const QStringList& kopf, const QStringList& namen) {
    if (namen.size() == 1 && namen.first().startsWith(QLatin1Char('#'))) return namen.first().mid(1).toInt() - 1;
    for (const QString& n : namen)
        for (int i = 0; i < kopf.size(); ++i)
            if (kopf[i].trimmed().compare(n, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

zDate datumLesen(const QString& t, const QString& format) {
    const QString s = t.trimmed();
    for (const QString& f : {format, QStringLiteral("dd.MM.yyyy"), QStringLiteral("dd.MM.yy"), QStringLiteral("yyyy-MM-dd")}) {
        if (s.size() != f.size() && f.contains(QLatin1String("dd"))) continue;
        QDate d = QDate::fromString(s, f);
        // Qt reads "yy" as 19yy; statements are of this century.
        if (d.isValid() && f.endsWith(QLatin1String(".yy"))) d = d.addYears(100);
        if (d.isValid()) return zDate(d);
    }
    return zDate();
}

// An amount as a bank writes it: "-1.234,56", "1.000" (a thousand),
// "-3,9", "-119,00 €" or, with the decimal point, "-16.80". Anything else
// is no amount; never a guess.
bool betragLesen(const QString& t, QChar dezimal, EuroType* out) {
    QString s = t.trimmed();
    for (const char* w : {"EUR", "€"}) {
        const QString x = QString::fromUtf8(w);
        if (s.endsWith(x)) s = s.chopped(x.size()).trimmed();
    }
    s.remove(QLatin1Char(' '));
    static const QRegularExpression komma(QStringLiteral("^[+-]?(\\d{1,3}(\\.\\d{3})+|\\d+)(,\\d{1,2})?$"));
    static const QRegularExpression punkt(QStringLiteral("^[+-]?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d{1,2})?$"));
    if (dezimal == QLatin1Char('.')) {
        if (!punkt.match(s).hasMatch()) return false;
        s.remove(QLatin1Char(','));
    } else {
        if (!komma.match(s).hasMatch()) return false;
        s.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    }
    return EuroType::fromText(s, out);
}

// The IBAN a cell of the preamble begins with ("DE12 1203 … / Girokonto").
QString ibanAus(const QString& zelle) {
    const QString i = normIban(zelle.section(QLatin1Char('/'), 0, 0));
    return ibanGueltig(i) ? i : QString();
}

}  // namespace

QList<CsvLayout> csvLayouts() {
    QList<CsvLayout> l{generisch()};
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!ref) return l;
    rsDataSource rs(ref, QStringLiteral("SELECT * FROM BankCsvLayout ORDER BY Reihenfolge"));
    for (; !rs.isEOF(); rs.fetch()) {
        CsvLayout x;
        auto f = [&](const char* spalte) { return namenAus(rs.field(QLatin1String(spalte))); };
        x.name = rs.field(QStringLiteral("Name")).toString();
        x.beschreibung = rs.field(QStringLiteral("Banken")).toString();
        const QString trenner = rs.field(QStringLiteral("Trennzeichen")).toString(), dezimal = rs.field(QStringLiteral("Dezimal")).toString();
        x.trennzeichen = trenner.isEmpty() ? QLatin1Char(';') : trenner.at(0);
        x.dezimal = dezimal.isEmpty() ? QLatin1Char(',') : dezimal.at(0);
        x.datumsformat = rs.field(QStringLiteral("Datumsformat")).toString();
        x.zeichensatz = rs.field(QStringLiteral("Zeichensatz")).toString();
        x.quelle = rs.field(QStringLiteral("Quelle")).toString();
        x.buchungstag = f("Buchungstag");
        x.valuta = f("Valuta");
        x.betrag = f("Betrag");
        x.soll = f("Soll");
        x.haben = f("Haben");
        x.name_ = f("Name_");
        x.nameEingang = f("NameEingang");
        x.nameAusgang = f("NameAusgang");
        x.zweck = f("Zweck");
        x.iban = f("Iban");
        x.bic = f("Bic");
        x.referenz = f("Referenz");
        x.waehrung = f("Waehrung");
        x.konto = f("Konto");
        x.kontoVorspann = f("KontoVorspann");
        x.info = f("Info");
        x.vorgemerkt = f("Vorgemerkt");
        x.fusszeilen = f("Fusszeilen");
        l << x;
    }
    return l;
}

bool csvLayout(const QString& name, const QString& spalten, CsvLayout* out, QString* fehler) {
    QStringList namen;
    *out = CsvLayout();
    if (name.trimmed().isEmpty() && spalten.trimmed().isEmpty()) return true;  // recognised from the file
    // Columns given by the user are the generic layout's.
    const QString gesucht = name.trimmed().isEmpty() ? QStringLiteral("generisch") : name.trimmed();
    for (const CsvLayout& l : csvLayouts()) {
        namen << l.name;
        if (l.name.compare(gesucht, Qt::CaseInsensitive) != 0) continue;
        *out = l;
        if (l.name != QLatin1String("generisch")) {
            if (spalten.trimmed().isEmpty()) return true;
            *fehler = QStringLiteral("--spalten gilt nur für das Layout „generisch“; das Layout „%1“ kennt seine Spalten.").arg(l.name);
            return false;
        }
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
            const QString wert = teil.section(QLatin1Char('='), 1).trimmed();
            bool zahl = false;
            const int n = wert.toInt(&zahl);
            // A column is named by its number or by its header; "kopf" is the
            // line of the header as an editor counts it (0: no header).
            const bool kopf = k == QLatin1String("kopf");
            if (!felder.contains(k) || wert.isEmpty() || (kopf && (!zahl || n < 0)) || (zahl && !kopf && (n < 1 || n > 200))) {
                *fehler = QStringLiteral("--spalten: „%1“ ist keine Angabe FELD=NUMMER oder FELD=SPALTENNAME mit FELD aus datum, valuta, betrag, "
                                         "soll, haben, zweck, name, iban, bic, referenz, kopf=ZEILE.")
                              .arg(teil.trimmed());
                return false;
            }
            *felder.value(k) = QStringList{zahl ? QLatin1Char('#') + QString::number(n) : wert};
        }
        if (out->buchungstag.isEmpty() || (out->betrag.isEmpty() && (out->soll.isEmpty() || out->haben.isEmpty()))) {
            *fehler = QStringLiteral("Für das Layout „generisch“ nennt --spalten mindestens datum= und betrag= (oder soll= und haben=), "
                                     "z. B. --spalten datum=1,betrag=4,zweck=3,name=2 oder --spalten datum=Buchungstag,betrag=Betrag.");
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
//
// The header is found by its names: the first row that holds the layout's
// date column and its amount (or debit and credit) columns. Only a layout
// mapped purely by column numbers has no names to look for: its header is
// the line `kopf=` names, counted as an editor counts, or else the first
// row when its date column holds no date.
class CsvLeser {
public:
    CsvLeser(const CsvLayout& layout, AuszugEmpfaenger* e, QString* fehler) : m_layout(layout), m_e(e), m_weitergabe(e), m_fehler(fehler) {
        const bool generisch = layout.name == QLatin1String("generisch");
        auto nummer = [](const QStringList& l) { return l.isEmpty() || l.first().startsWith(QLatin1Char('#')); };
        m_nachNummer = generisch && nummer(layout.buchungstag) && nummer(layout.betrag) && nummer(layout.soll) && nummer(layout.haben);
        if (m_nachNummer) {
            m_s = spalten(QStringList());
            m_kopfZeile = layout.info.isEmpty() ? -1 : layout.info.first().mid(1).toInt();
        }
    }

    bool zeile(const Zeile& r) {
        if (!m_inhaltFehler.isEmpty()) return true;  // the rest is only checked for its form
        if (!m_kopf) {
            if (m_nachNummer) {
                m_kopf = true;
                // The header ends on the named line; without one the first
                // row is the header only when its date column holds no date.
                if (m_kopfZeile >= 0) {
                    if (r.nr <= m_kopfZeile) {
                        m_kopf = false;
                        return true;
                    }
                } else if (!datumLesen(feld(r, m_s.datum), m_layout.datumsformat).isValid()) {
                    return true;
                }
            } else {
                // Some banks put lines about the account above the header;
                // one of them may name the own account.
                const QStringList& k = r.felder;
                if (k.size() >= 2 && m_layout.kontoVorspann.contains(k[0].trimmed(), Qt::CaseInsensitive) && !ibanAus(k[1]).isEmpty())
                    m_a.iban = ibanAus(k[1]);
                const bool betrag = spalteVon(k, m_layout.betrag) >= 0 || (spalteVon(k, m_layout.soll) >= 0 && spalteVon(k, m_layout.haben) >= 0);
                if (spalteVon(k, m_layout.buchungstag) >= 0 && betrag) {
                    m_s = spalten(k);
                    m_kopf = true;
                    return true;
                }
                if (++m_vorKopf >= 30) return keinKopf();
                return true;
            }
        }
        if (!inhalt(r)) m_inhaltFehler = *m_fehler;
        return true;
    }

    bool ende() {
        if (!m_inhaltFehler.isEmpty()) {
            *m_fehler = m_inhaltFehler;
            return false;
        }
        if (!m_kopf) return keinKopf();
        m_weitergabe.ende(m_a);
        if (m_weitergabe.fehler().isEmpty()) return true;
        *m_fehler = m_weitergabe.fehler();
        return false;
    }

private:
    Spalten spalten(const QStringList& k) const {
        const CsvLayout& l = m_layout;
        return Spalten{spalteVon(k, l.buchungstag), spalteVon(k, l.valuta),   spalteVon(k, l.betrag), spalteVon(k, l.soll),
                       spalteVon(k, l.haben),       spalteVon(k, l.zweck),    spalteVon(k, l.name_),  spalteVon(k, l.iban),
                       spalteVon(k, l.bic),         spalteVon(k, l.referenz), spalteVon(k, l.waehrung), spalteVon(k, l.konto),
                       m_nachNummer ? -1 : spalteVon(k, l.info), spalteVon(k, l.nameEingang), spalteVon(k, l.nameAusgang)};
    }
    static QString feld(const Zeile& r, int spalte) {
        return spalte >= 0 && spalte < r.felder.size() ? r.felder[spalte].trimmed() : QString();
    }

    // One row of data; false with the reason in m_fehler.
    bool inhalt(const Zeile& r) {
        const Spalten& s = m_s;
        auto f = [&](int spalte) { return feld(r, spalte); };
        auto nein = [&](const QString& grund) {
            *m_fehler = QStringLiteral("Zeile %1: %2").arg(r.nr).arg(grund);
            return false;
        };
        // A closing line ("Neuer Kontostand;…") is no transaction.
        if (!r.felder.isEmpty())
            for (const QString& fuss : m_layout.fusszeilen)
                if (r.felder.first().trimmed().startsWith(fuss, Qt::CaseInsensitive)) {
                    m_e->uebersprungen(r.nr, QStringLiteral("Schlusszeile „%1“").arg(r.felder.first().trimmed()));
                    return true;
                }
        const int noetig = qMax(s.datum, qMax(s.betrag, qMax(s.soll, s.haben)));
        if (r.felder.size() <= noetig)
            return nein(QStringLiteral("Die Zeile hat %1 Spalten, das Layout „%2“ braucht mindestens %3.").arg(r.felder.size()).arg(m_layout.name).arg(noetig + 1));
        if (!m_layout.vorgemerkt.isEmpty() && m_layout.vorgemerkt.contains(f(s.info), Qt::CaseInsensitive)) {
            ++m_a.vorgemerkt;
            return true;
        }
        Umsatz u;
        u.buchungsdatum = datumLesen(f(s.datum), m_layout.datumsformat);
        if (!u.buchungsdatum.isValid()) return nein(QStringLiteral("„%1“ ist kein Datum (erwartet TT.MM.JJ oder TT.MM.JJJJ).").arg(f(s.datum)));
        if (s.valuta >= 0 && !f(s.valuta).isEmpty()) {
            u.valuta = datumLesen(f(s.valuta), m_layout.datumsformat);
            if (!u.valuta.isValid()) return nein(QStringLiteral("Die Valuta „%1“ ist kein Datum.").arg(f(s.valuta)));
        }
        const QChar d = m_layout.dezimal;
        if (s.betrag >= 0) {
            if (!betragLesen(f(s.betrag), d, &u.betrag))
                return nein(QStringLiteral("„%1“ ist kein Betrag (erwartet z. B. %2).").arg(f(s.betrag), d == QLatin1Char('.') ? QStringLiteral("-1234.56") : QStringLiteral("-1.234,56")));
        } else {
            EuroType soll, haben;
            if ((!f(s.soll).isEmpty() && !betragLesen(f(s.soll), d, &soll)) || (!f(s.haben).isEmpty() && !betragLesen(f(s.haben), d, &haben)))
                return nein(QStringLiteral("„%1“ / „%2“ sind keine Beträge.").arg(f(s.soll), f(s.haben)));
            u.betrag = haben.abs() - soll.abs();
        }
        // Some banks close the list with a row of amount 0 (a balance or a
        // note); it moves no money and is left out with a word, not refused.
        if (u.betrag.isNull()) {
            m_e->uebersprungen(r.nr, QStringLiteral("Betrag 0 (%1)").arg((f(s.zweck).isEmpty() ? f(s.name) : f(s.zweck)).simplified().left(60)));
            return true;
        }
        if (s.waehrung >= 0 && !f(s.waehrung).isEmpty() && f(s.waehrung) != QLatin1String("EUR"))
            return nein(QStringLiteral("Der Umsatz ist in %1; es werden nur Umsätze in Euro gebucht.").arg(f(s.waehrung)));
        if (!f(s.zweck).isEmpty()) u.zweck << f(s.zweck).simplified();
        // The counterpart: of a debit the payee, of a credit the payer,
        // where the bank writes both (one of them is the account holder).
        u.name = (s.name >= 0 ? f(s.name) : f(u.betrag < EuroType() ? s.nameAusgang : s.nameEingang)).simplified();
        const QString konto = normIban(f(s.iban));
        if (ibanGueltig(konto)) u.iban = konto;
        else u.kontonummer = f(s.iban);
        const QString bic = f(s.bic);
        static const QRegularExpression blz(QStringLiteral("^[0-9]{8}$"));
        if (blz.match(bic).hasMatch()) u.blz = bic;
        else u.bic = bic;
        u.referenz = f(s.referenz).compare(QLatin1String("NOTPROVIDED"), Qt::CaseInsensitive) == 0 ? QString() : f(s.referenz);
        const QString eigenes = normIban(f(s.konto));
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

    bool keinKopf() {
        const QString betrag = m_layout.betrag.isEmpty() ? m_layout.soll.value(0) + QStringLiteral("“ und „") + m_layout.haben.value(0)
                                                         : m_layout.betrag.value(0);
        *m_fehler = QStringLiteral("Die Kopfzeile des Layouts „%1“ fehlt (erwartet werden die Spalten „%2“ und „%3“). Ist es die "
                                   "CSV-Datei einer anderen Bank? Dann lesen Sie sie mit --layout generisch --spalten … ein.")
                        .arg(m_layout.name, m_layout.buchungstag.value(0), betrag);
        return false;
    }
    const CsvLayout& m_layout;
    AuszugEmpfaenger* m_e;
    intern::Weitergabe m_weitergabe;
    QString* m_fehler;
    QString m_inhaltFehler;  // the first row refused for its content
    Spalten m_s;
    bool m_nachNummer = false, m_kopf = false;
    int m_kopfZeile = -1, m_vorKopf = 0;
    Auszug m_a;
};
}  // namespace

namespace {
// How well a header row fits a layout: -1 when a column the layout needs
// to tell itself apart is missing (date, amount, counterpart, purpose,
// account, own account), else the number of its fields found.
int passung(const QStringList& kopf, const CsvLayout& l) {
    int n = 0;
    for (const QStringList* noetig : {&l.buchungstag, &l.name_, &l.nameEingang, &l.nameAusgang, &l.zweck, &l.iban, &l.bic, &l.konto}) {
        if (noetig->isEmpty()) continue;
        if (spalteVon(kopf, *noetig) < 0) return -1;
        ++n;
    }
    if (!l.betrag.isEmpty() ? spalteVon(kopf, l.betrag) < 0 : spalteVon(kopf, l.soll) < 0 || spalteVon(kopf, l.haben) < 0) return -1;
    for (const QStringList* kann : {&l.valuta, &l.referenz, &l.waehrung, &l.info}) n += !kann->isEmpty() && spalteVon(kopf, *kann) >= 0 ? 1 : 0;
    return n + 1;
}

// The bank layout whose header the first 30 lines hold; false with the
// columns the file has when none fits.
bool erkenne(BuchungenCSV::TextLeser& text, CsvLayout* out, QString* fehler) {
    QStringList zeilen;
    QString t;
    while (zeilen.size() < 30 && text.zeile(&t)) zeilen << t;
    text.vonVorn();
    int beste = 0;
    QStringList breiteste;  // the row with the most columns, for the refusal
    for (const CsvLayout& l : csvLayouts()) {
        if (l.name == QLatin1String("generisch")) continue;
        Zerleger z(l.trennzeichen);
        QList<Zeile> rows;
        QString egal;
        for (const QString& x : qAsConst(zeilen))
            if (!z.zeile(x, &rows, &egal)) break;
        for (const Zeile& r : qAsConst(rows)) {
            const int p = passung(r.felder, l);
            if (p > beste) {
                beste = p;
                *out = l;
            }
            if (r.felder.size() > breiteste.size()) breiteste = r.felder;
        }
    }
    if (beste > 0) return true;
    for (QString& b : breiteste) b = b.trimmed();
    *fehler = QStringLiteral("Die CSV-Datei passt zu keinem bekannten Bank-Layout (%1). Ihre Spalten: %2.")
                  .arg([] {
                      QStringList n;
                      for (const CsvLayout& l : csvLayouts())
                          if (l.name != QLatin1String("generisch")) n << l.name;
                      return n.join(QStringLiteral(", "));
                  }(),
                       breiteste.isEmpty() ? QStringLiteral("keine") : breiteste.join(QStringLiteral("; ")));
    return false;
}
}  // namespace

bool erkenneCsvLayout(QIODevice* datei, BuchungenCSV::Zeichensatz z, CsvLayout* out, bool* keinLayout, QString* fehler) {
    *keinLayout = false;
    BuchungenCSV::TextLeser text(datei);
    if (!text.pruefen(z, fehler)) return false;
    *keinLayout = !erkenne(text, out, fehler);
    datei->seek(0);
    return !*keinLayout;
}

bool leseCsv(QIODevice* datei, const CsvLayout& gewaehlt, BuchungenCSV::Zeichensatz z, AuszugEmpfaenger* empfaenger, QString* fehler) {
    BuchungenCSV::TextLeser text(datei);
    if (!text.pruefen(z, fehler)) return false;
    CsvLayout layout = gewaehlt;
    if (layout.name.isEmpty() && !erkenne(text, &layout, fehler)) {
        *fehler += QStringLiteral(" Lesen Sie sie mit --layout generisch --spalten datum=…,betrag=…,zweck=…,name=… ein (Nummern oder "
                                  "Spaltennamen).");
        return false;
    }
    // One reading: a row refused for its content stops the handing over,
    // and the rest is still read for its form, so that a broken quote
    // anywhere is named first (the rows after it would be misread).
    QList<Zeile> zeilen;
    QString t;
    Zerleger zerleger(layout.trennzeichen);
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
