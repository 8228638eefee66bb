// The reports (see berichte.h).
#include "kontbaum/berichte/berichte.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/berichte/listenschreiber.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/berichte/zahlenlisten.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/rahmen/sperrgrenzen.h"

#include <QHash>

#include <memory>

namespace {

QString betrag(const EuroType& e) { return e.getText(); }

const char* const kMonate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                               "Juli", "August", "September", "Oktober", "November", "Dezember"};
}  // namespace

// --- balance list ----------------------------------------------------------------------

Saldenliste2::Saldenliste2() {
    DBConnection* db = rsFallDB();
    if (!db) return;
    rsDataSource k(db, QStringLiteral("SELECT * FROM eurKontenklassen ORDER BY vonKonto"));
    for (; !k.isEOF(); k.fetch())
        m_klassen.append({k.field(QStringLiteral("vonKonto")).toULong(), k.field(QStringLiteral("bisKonto")).toULong(),
                          k.field(QStringLiteral("Bezeichnung")).toString()});
    rsDataSource e(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Kategorie>=8000 AND Kategorie<=8999 ORDER BY Nummer"));
    for (; !e.isEOF(); e.fetch()) m_ebKonten.append(e.field(QStringLiteral("Nummer")).toULong());
}

int Saldenliste2::getFilter(QString& filter) const {
    filter.clear();
    if (m_zeitraum.art == 1 && m_zeitraum.monat != -1) {
        filter = QStringLiteral("MONTH(Belegdatum) <= %1").arg(m_zeitraum.monat + 1);
    } else if (m_zeitraum.art == 2 && m_zeitraum.quartal != -1) {
        filter = QStringLiteral("MONTH(Belegdatum) <= %1").arg((m_zeitraum.quartal + 1) * 3);
    } else if (m_zeitraum.art == 4) {
        filter = QStringLiteral("Belegdatum <= ") + rsDataSource::toSqlStr(m_zeitraum.frei.bis());
    } else {
        return 0;
    }
    return 1;
}

QString Saldenliste2::getStatement() const {
    QString filter;
    QString sql = QStringLiteral("SELECT 'verbucht' AS vonTabelle,  z.ID, b.Buchungsnummer, Belegdatum, z.Betrag AS Nettobetrag, Haben, Konto, "
                                 "Gegenkonto   FROM eurVerbucht b, eurVerbuchtBuchungszeilen z  WHERE (b.Buchungsnummer=z.Buchungsnummer) AND "
                                 "(b.Storno=0) AND (b.Storniert=0) ");
    if (getFilter(filter)) sql += QStringLiteral(" AND ( ") + filter + QStringLiteral(")");
    return sql + QStringLiteral(" ORDER BY Konto");
}

bool Saldenliste2::Fuellen() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!kg || !db) return false;
    if (!m_zeitraumGesetzt) {
        int art = 3, quartal = -1, monat = -1;
        kg->GetFormularData(art, quartal, monat, kg->GetFormular());
        m_zeitraum.art = art;
        m_zeitraum.quartal = quartal;
        m_zeitraum.monat = monat;
        m_zeitraum.frei = kg->getZeitraum();
    }
    rsDataSource rs(db, getStatement());
    return !rs.isError() && !rs.isEOF();
}

namespace {
struct Saldo {
    EuroType soll, haben;
};
Saldo saldoVon(const Saldenliste2::Konto& k) {
    const EuroType saldo = k.anfang.soll + k.vormonate.soll + k.buchungen.soll - k.anfang.haben - k.vormonate.haben - k.buchungen.haben;
    if (saldo >= EuroType()) return {saldo, EuroType()};
    return {EuroType(), saldo.abs()};
}

// The name of every account as the balance list shows it (the short name
// where the name is longer than its column), read at once.
QHash<unsigned long, QString> kontoNamen(DBConnection* db) {
    QHash<unsigned long, QString> namen;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, Bezeichnung, Kurzbezeichnung FROM eurKontenplan"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString b = f.getField(1).toString();
        namen.insert(f.getField(0).toULong(), b.size() > 25 ? f.getField(2).toString() : b);
    }
    return namen;
}
}  // namespace

void Saldenliste2::sammeln(bool mitVormonaten) {
    // The database sums the cents per account, key, side and counter
    // account in the order of idx_eurVerbuchtBZ_KontoSteuer, those of the
    // period itself apart, and the few hundred sums are split here into
    // opening balance, previous months and bookings. The CSV counts
    // every line that is not an opening balance as a booking. Cent sums are
    // exact, so the order of the additions does not matter.
    m_konten.clear();
    DBConnection* db = rsFallDB();
    if (!db) return;
    QString filter;
    getFilter(filter);
    // The headers of the bookings of the period itself (the filter ends it;
    // what it lets through before them is the months before). The period is
    // the smaller set to look a line up in.
    QString imZeitraum;
    if (mitVormonaten) {
        if (m_zeitraum.art == 1 && m_zeitraum.monat != -1) imZeitraum = QStringLiteral("MONTH(Belegdatum) = %1").arg(m_zeitraum.monat + 1);
        else if (m_zeitraum.art == 2 && m_zeitraum.quartal != -1) imZeitraum = QStringLiteral("MONTH(Belegdatum) > %1").arg(3 * m_zeitraum.quartal);
        else if (m_zeitraum.art == 4) imZeitraum = QStringLiteral("Belegdatum >= ") + rsDataSource::toSqlStr(m_zeitraum.frei.von());
    }
    // One set of booking numbers, built once, then a look-up per line.
    const QString zeitraumSumme =
        imZeitraum.isEmpty() ? QString()
                             : QStringLiteral(", SUM(CASE WHEN +z.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") + imZeitraum +
                                   QStringLiteral(") THEN ROUND(z.Betrag*100) ELSE 0 END)");
    rsDataSource rs(db, QStringLiteral("SELECT Konto, Gegenkonto, Haben, ") + Berichte::centSumme() + zeitraumSumme +
                            QStringLiteral(" FROM eurVerbuchtBuchungszeilen z WHERE ") + Berichte::gebuchteZeilen(db, true, filter) +
                            QStringLiteral(" GROUP BY Konto, Steuerschluessel, Haben, Gegenkonto"));
    const QSet<unsigned long> eb(m_ebKonten.begin(), m_ebKonten.end());
    struct Cent {
        qint64 soll = 0, haben = 0;
    };
    struct Summen {
        Cent anfang, vormonate, buchungen;
    };
    QMap<unsigned long, Summen> summen;
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long konto = f.getField(0).toULong();
        const bool haben = f.getField(2).toBool();
        const qint64 alle = Berichte::cent(f.getField(3).toDouble());
        Summen& s = summen[konto];
        auto dazu = [haben](Cent& c, qint64 b) { (haben ? c.haben : c.soll) += b; };
        if (eb.contains(konto) || eb.contains(f.getField(1).toULong())) {
            dazu(s.anfang, alle);
        } else {
            const qint64 zeitraum = imZeitraum.isEmpty() ? alle : Berichte::cent(f.getField(4).toDouble());
            dazu(s.vormonate, alle - zeitraum);
            dazu(s.buchungen, zeitraum);
        }
    }
    auto paar = [](const Cent& c) { return Paar{EuroType::ausCent(c.soll), EuroType::ausCent(c.haben)}; };
    for (auto it = summen.constBegin(); it != summen.constEnd(); ++it)
        m_konten.insert(it.key(), {paar(it->anfang), paar(it->vormonate), paar(it->buchungen)});
}

int Saldenliste2::csvListe(BerichtListe* l) {
    sammeln(false);
    const QHash<unsigned long, QString> namen = kontoNamen(rsFallDB());
    l->titel = QStringLiteral("Summen- und Saldenliste");
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BerichtSpalte::Zahl, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 26);
    l->spalten.last().zitiert = true;
    for (const char* k : {"anfang_soll", "anfang_haben", "buchungen_soll", "buchungen_haben", "saldo_haben", "saldo_soll"})
        l->spalte(QString::fromLatin1(k), QString::fromLatin1(k), BerichtSpalte::Betrag, 15);
    int n = 0;
    for (auto it = m_konten.constBegin(); it != m_konten.constEnd(); ++it) {
        if (it.key() == 0) continue;
        const Konto& k = it.value();
        const Saldo s = saldoVon(k);
        l->zeile({qlonglong(it.key()), namen.value(it.key()), k.anfang.soll.alsDouble(), k.anfang.haben.alsDouble(), k.buchungen.soll.alsDouble(),
                  k.buchungen.haben.alsDouble(), s.haben.alsDouble(), s.soll.alsDouble()});
        ++n;
    }
    return n;
}

int Saldenliste2::Print2CSV(QString& out) {
    QByteArray t;
    CsvSchreiber w(
        [&t](const QByteArray& b) {
            t += b;
            return true;
        },
        false);
    BerichtListe l;
    l.schreibeNach(&w);
    const int n = csvListe(&l);
    w.beenden(l, nullptr);
    out = QString::fromUtf8(t);
    return n;
}

int Saldenliste2::liste(BerichtListe* l) {
    sammeln(true);
    const QHash<unsigned long, QString> namen = kontoNamen(rsFallDB());
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    const int jahr = kg ? kg->getSteuerjahr() : 2016;
    QString zeitraum = QString::number(jahr);
    if (m_zeitraum.art == 1 && m_zeitraum.monat >= 0) zeitraum = QStringLiteral("%1 %2").arg(QString::fromUtf8(kMonate[m_zeitraum.monat])).arg(jahr);
    else if (m_zeitraum.art == 2 && m_zeitraum.quartal >= 0) zeitraum = QStringLiteral("%1. Quartal %2").arg(m_zeitraum.quartal + 1).arg(jahr);
    else if (m_zeitraum.art == 4) zeitraum = m_zeitraum.frei.von().getText() + QStringLiteral(" bis ") + m_zeitraum.frei.bis().getText();
    l->titel = QStringLiteral("Summen- und Saldenliste ") + zeitraum;
    // A free period has no previous months but the days before it.
    const bool frei = m_zeitraum.art == 4;
    if (frei) l->untertitel = QStringLiteral("Vorher: Saldo bis ") + m_zeitraum.frei.von().addDays(-1).getText();
    // Heads short enough for a printed column.
    const QString vorher = frei ? QStringLiteral("Vorher") : QStringLiteral("Vormon.");
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BerichtSpalte::Zahl, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 26);
    const QStringList gruppen = {QStringLiteral("Anfang"), vorher, QStringLiteral("Buch."), QStringLiteral("Saldo")};
    const char* const schluessel[] = {"anfang", "vormonate", "buchungen", "saldo"};
    for (int i = 0; i < 4; ++i) {
        l->spalte(gruppen[i] + QStringLiteral(" Soll"), QLatin1String(schluessel[i]) + QStringLiteral("_soll"), BerichtSpalte::Betrag, 14);
        l->spalte(gruppen[i] + QStringLiteral(" Haben"), QLatin1String(schluessel[i]) + QStringLiteral("_haben"), BerichtSpalte::Betrag, 14);
    }
    // The page keeps its form: a line naming the pairs above narrower
    // columns, and the days before a free period named there.
    const QString vormonate = frei ? QStringLiteral("Saldo bis ") + m_zeitraum.frei.von().addDays(-1).qdate().toString(QStringLiteral("dd.MM.yy"))
                                   : QStringLiteral("Saldo Vormonate");
    l->seite.untertitel = false;
    l->seite.gruppen = {{QString(), 2}, {QStringLiteral("Anfangssaldo"), 2}, {vormonate, 2}, {QStringLiteral("Buchungen"), 2}, {QStringLiteral("Saldo"), 2}};
    using F = BerichtSeite::Feld;
    l->seite.felder = {F(0, 5, true).mitKopf(QStringLiteral("Konto")), F(1, 26).mitKopf(QStringLiteral("Bezeichnung")).gekuerzt()};
    for (int i = 0; i < 4; ++i)
        l->seite.felder << F(2 + 2 * i, 12, true).mitKopf(QStringLiteral("Soll")) << F(3 + 2 * i, 12, true).mitKopf(QStringLiteral("Haben"));
    int n = 0;
    for (auto it = m_konten.constBegin(); it != m_konten.constEnd(); ++it) {
        if (it.key() == 0) continue;
        const Konto& k = it.value();
        const Saldo s = saldoVon(k);
        l->zeile({qlonglong(it.key()), namen.value(it.key()), k.anfang.soll.alsDouble(), k.anfang.haben.alsDouble(), k.vormonate.soll.alsDouble(),
                  k.vormonate.haben.alsDouble(), k.buchungen.soll.alsDouble(), k.buchungen.haben.alsDouble(), s.soll.alsDouble(),
                  s.haben.alsDouble()});
        ++n;
    }
    return n;
}

int Saldenliste2::Print(zPrintString& p) {
    BerichtListe l;
    const int n = liste(&l);
    l.drucke(p);
    return n;
}

void Berichte::saldenliste(const BerichtZeitraum& z, BerichtListe* l) {
    // The list of the page, held whole, and the sum of each column below.
    Saldenliste2 s;
    s.setZeitraum(z);
    *l = BerichtListe();
    s.liste(l);
    EuroType summe[8];
    for (auto it = s.konten().constBegin(); it != s.konten().constEnd(); ++it) {
        if (it.key() == 0) continue;
        const Saldenliste2::Konto& k = it.value();
        const Saldo sd = saldoVon(k);
        const EuroType w[8] = {k.anfang.soll, k.anfang.haben, k.vormonate.soll, k.vormonate.haben,
                               k.buchungen.soll, k.buchungen.haben, sd.soll, sd.haben};
        for (int i = 0; i < 8; ++i) summe[i] += w[i];
    }
    QList<QVariant> zeile = {QVariant(), QStringLiteral("Summe")};
    for (const EuroType& e : summe) zeile << e.alsDouble();
    l->zeile(zeile, true);
}

// --- profit statement ------------------------------------------------------------------

bool EUERechnung2::Fuellen() {
    m_kategorien.clear();
    m_einnahmen = m_ausgaben = m_iab = m_iabAufloesung = m_gewinn = EuroType();
    DBConnection* db = rsFallDB();
    if (!db) return false;
    QHash<unsigned long, QString> katNamen;
    {
        rsDataSource k(db, QStringLiteral("SELECT Kategorie, Bezeichnung FROM eurKategorien"));
        for (; !k.isEOF(); k.fetch()) katNamen.insert(k.field(QStringLiteral("Kategorie")).toULong(), k.field(QStringLiteral("Bezeichnung")).toString());
    }
    // The accounts of the profit and their categories, then their lines
    // summed in cents per account, key and side by the database, one range
    // of idx_eurVerbuchtBZ_KontoSteuer per account.
    const QString gewinnKonten = QStringLiteral(
        "FROM eurKontenplan WHERE (Kategorie<>4208 AND Kategorie BETWEEN 4000 AND 4999) OR (Kategorie BETWEEN 3000 AND 3099) OR "
        "(Kategorie BETWEEN 5000 AND 5999) OR (Kategorie BETWEEN 3100 AND 3399)");
    struct KontoInfo {
        unsigned long kategorie = 0;
        QString bezeichnung;
    };
    QHash<unsigned long, KontoInfo> konten;
    {
        rsDataSource kp(db, QStringLiteral("SELECT Nummer, Kategorie, Bezeichnung ") + gewinnKonten);
        for (; !kp.isEOF(); kp.fetch()) {
            const rsFields& f = *kp.getFields();
            konten.insert(f.getField(0).toULong(), {f.getField(1).toULong(), f.getField(2).toString()});
        }
    }
    rsDataSource rs(db, QStringLiteral("SELECT Konto, Haben, ") + Berichte::centSumme() +
                            QStringLiteral(" FROM eurVerbuchtBuchungszeilen z WHERE Konto IN (SELECT Nummer ") + gewinnKonten +
                            QStringLiteral(") AND ") + Berichte::gebuchteZeilen(db, true) + QStringLiteral(" GROUP BY Konto, Steuerschluessel, Haben"));
    // Cents per category and account, with the sign of the profit: income
    // credit positive, expenses debit positive.
    QMap<unsigned long, QMap<unsigned long, qint64>> summen;
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long konto = f.getField(0).toULong();
        const unsigned long kat = konten.value(konto).kategorie;
        const qint64 b = Berichte::cent(f.getField(2).toDouble());
        const bool haben = f.getField(1).toBool();
        const bool einnahme = (kat >= 4000 && kat <= 4999) || (kat >= 3000 && kat <= 3099);
        summen[kat][konto] += einnahme ? (haben ? b : -b) : (haben ? -b : b);
    }
    if (summen.isEmpty()) return false;
    qint64 e = 0, a = 0, x = 0, y = 0;
    for (auto k = summen.constBegin(); k != summen.constEnd(); ++k) {
        Kategorie c;
        c.kategorie = k.key();
        c.bezeichnung = katNamen.value(k.key());
        c.einnahme = (k.key() >= 4000 && k.key() <= 4999) || (k.key() >= 3000 && k.key() <= 3099);
        qint64 s = 0;
        for (auto it = k->constBegin(); it != k->constEnd(); ++it) {
            c.konten.append({it.key(), konten.value(it.key()).bezeichnung, EuroType::ausCent(it.value())});
            s += it.value();
        }
        c.summe = EuroType::ausCent(s);
        if (c.einnahme) e += s;
        else if (k.key() == 5903) x += s;
        else if (k.key() == 5904) y -= s;
        else a += s;
        m_kategorien.append(c);
    }
    m_einnahmen = EuroType::ausCent(e);
    m_ausgaben = EuroType::ausCent(a);
    m_iab = EuroType::ausCent(x);
    m_iabAufloesung = EuroType::ausCent(y);
    // The profit by the rule of KontoGlobal::getGewinn, from the same lines:
    // the investment deduction only while the profit before it does not
    // exceed the limit, then the add-back.
    qint64 g = e - a;
    if (g <= Sperrgrenzen::iabGewinngrenze(db).cent()) g -= x;
    m_gewinn = EuroType::ausCent(g + y);
    return true;
}

int EUERechnung2::Print(zPrintString& p) const {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    p.setTitel(QStringLiteral("Einnahmenüberschussrechnung %1").arg(kg ? kg->getSteuerjahr() : 2016));
    p.setSpalten({{QStringLiteral("Konto"), 6, true}, {QStringLiteral("Bezeichnung"), 50, false}, {QStringLiteral("Betrag"), 14, true}});
    for (bool einnahmen : {true, false}) {
        p.zeile({QString(), einnahmen ? QStringLiteral("Betriebseinnahmen") : QStringLiteral("Betriebsausgaben"), QString()});
        for (const Kategorie& c : m_kategorien) {
            if (c.einnahme != einnahmen) continue;
            p.zeile({QString(), QStringLiteral("%1 %2").arg(c.kategorie).arg(c.bezeichnung), QString()});
            for (const KontoSumme& k : c.konten) p.zeile({QString::number(k.konto), QStringLiteral("  ") + k.bezeichnung, betrag(k.summe)});
            p.zeile({QString(), QStringLiteral("  Summe ") + c.bezeichnung, betrag(c.summe)});
        }
        p.trenner();
        p.zeile({QString(), einnahmen ? QStringLiteral("Summe Betriebseinnahmen") : QStringLiteral("Summe Betriebsausgaben"),
                 betrag(einnahmen ? m_einnahmen : m_ausgaben)});
        p.trenner();
    }
    if (!m_iab.isNull()) p.zeile({QString(), QStringLiteral("Investitionsabzugsbeträge"), betrag(m_iab)});
    if (!m_iabAufloesung.isNull()) p.zeile({QString(), QStringLiteral("Hinzurechnung von Investitionsabzugsbeträgen"), betrag(m_iabAufloesung)});
    p.zeile({QString(), m_gewinn < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), betrag(m_gewinn)});
    return m_kategorien.size();
}

// --- ledger lists --------------------------------------------------------------------------

namespace {
QString datumsBedingung(const zDate& von, const zDate& bis) {
    QString w;
    if (von.isValid()) w += QStringLiteral(" AND Belegdatum>=") + rsDataSource::toSqlStr(von);
    if (bis.isValid()) w += QStringLiteral(" AND Belegdatum<=") + rsDataSource::toSqlStr(bis);
    return w;
}
}  // namespace

QString Berichte::kassenbuchStatement(unsigned long konto, const zDate& von, const zDate& bis) {
    return QStringLiteral("SELECT  z.ID, b.Buchungsnummer AS BuchNr, z.Buchungstext AS Buchungstext, Belegdatum, Belegnummer, z.Betrag AS "
                          "Nettobetrag, Haben, Konto, Gegenkonto  FROM eurVerbucht b, eurVerbuchtBuchungszeilen z WHERE "
                          "(b.Buchungsnummer=z.Buchungsnummer) AND (b.Storno=0) AND (b.Storniert=0) AND ( Konto=") +
           rsDataSource::toSqlStr(konto) + datumsBedingung(von, bis) + QStringLiteral(") ORDER BY Konto, Belegdatum, b.Buchungsnummer ");
}

namespace {
// The printed page of a report list over a span of days of the tax year;
// returns the number of its rows that are not totals.
int drucke(zPrintString& p, const char* name, const zDate& von, const zDate& bis, unsigned long vonKonto = 0, unsigned long bisKonto = 0) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    BerichtParameter par;
    par.jahr = kg ? kg->getSteuerjahr() : 2016;
    par.zeitraum.art = 4;
    par.zeitraum.frei = rsPeriod(von.isValid() ? von : zDate(par.jahr, 1, 1), bis.isValid() ? bis : zDate(par.jahr, 12, 31));
    par.vonKonto = vonKonto;
    par.bisKonto = bisKonto;
    BerichtListe l;
    const Berichte::BerichtArt* art = Berichte::findeBericht(QLatin1String(name));
    if (!art || !art->fuellen(par, &l, nullptr)) return 0;
    l.drucke(p);
    return l.anzahl();
}
}  // namespace

int Berichte::Kontenabfrage2(zPrintString& p, unsigned long von, unsigned long bis, const zDate& vonDatum, const zDate& bisDatum) {
    return drucke(p, "Kontenabfrage2", vonDatum, bisDatum, von, bis);
}

int Berichte::Buchungsprotokoll2(zPrintString& p, const zDate& von, const zDate& bis) { return drucke(p, "Buchungsprotokoll2", von, bis); }

int Berichte::UStListe2(zPrintString& p, const zDate& von, const zDate& bis) { return drucke(p, "UStListe2", von, bis); }

// --- single instances and the shared filter ----------------------------------------------------

namespace {
std::unique_ptr<EUERechnung2>& euerInstanz() {
    static std::unique_ptr<EUERechnung2> i;
    return i;
}
}  // namespace

EUERechnung2* Berichte::EUERechnung2Instanz(bool freigeben) {
    if (freigeben) {
        euerInstanz().reset();
        return nullptr;
    }
    if (!euerInstanz()) euerInstanz().reset(new EUERechnung2());
    return euerInstanz().get();
}

void Berichte::alleFreigeben() { EUERechnung2Instanz(true); }

namespace {
// The report instances hold figures of a case: they go with its manager.
[[maybe_unused]] const bool g_freigabeAngemeldet = (KontoGlobal::beimFreigeben(&Berichte::alleFreigeben), true);
}  // namespace

QString Berichte::filter(const BerichtZeitraum& z, int jahr) {
    QStringList teile;
    if (z.art == 1 && z.monat >= 0) teile << QStringLiteral("MONTH(Belegdatum) = %1").arg(z.monat + 1);
    else if (z.art == 2 && z.quartal >= 0)
        teile << QStringLiteral("MONTH(Belegdatum) BETWEEN %1 AND %2").arg(3 * z.quartal + 1).arg(3 * z.quartal + 3);
    else if (z.art == 4)
        teile << QStringLiteral("Belegdatum>=") + rsDataSource::toSqlStr(z.frei.von()) + QStringLiteral(" AND Belegdatum<=") +
                     rsDataSource::toSqlStr(z.frei.bis());
    Q_UNUSED(jahr);
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (kg && db) {
        bool aktiv = true;
        int modus = 0, von = 0, bis = 0;
        kg->GetAktiveKonten(aktiv, modus, von, bis);
        if (!aktiv && von > 0 && (bis == 0 || bis == von)) {
            teile << QStringLiteral("Konto=%1").arg(von);
        } else if (!aktiv && von > 0) {
            teile << QStringLiteral(" Konto Between %1 AND %2").arg(von).arg(bis);
        } else {
            rsDataSource rs(db, QStringLiteral("Select MIN(Nummer) as von, MAX(Nummer) as bis FROM eurKontenplan WHERE (Aktiv <> 0)"));
            if (!rs.isEOF() && !rs.field(QStringLiteral("von")).isNull())
                teile << QStringLiteral(" Konto Between %1 AND %2").arg(rs.field(QStringLiteral("von")).toULong()).arg(rs.field(QStringLiteral("bis")).toULong());
        }
    }
    return teile.join(QStringLiteral(" AND "));
}
