// The cash book: the listing with its opening row and running balance, and
// the printed book (text, PDF) an auditor files.
#include "host/app/tabellendruck.h"
#include "kontbaum/kasse/kasse.h"

#include "host/app/printstring.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QHash>

namespace {

QString datumKurz(const zDate& d) { return d.qdate().toString(QStringLiteral("dd.MM.")); }

// What the printed book shows, row by row, for text and PDF alike.
struct Druckzeile {
    enum Art { Bewegung, Summe, Abschluss } art = Bewegung;
    QStringList felder;  // Datum, Buch-Nr., Beleg, Gegenkonto, Steuer, Buchungstext, Einnahmen, Ausgaben, Bestand
    const KBBuchung* bewegung = nullptr;  // the row of the book behind a movement
};

QString betrag(const EuroType& b, bool leerBeiNull = true) {
    return b.getText(leerBeiNull ? EuroType::TextLeerBeiNull : EuroType::TextDefault);
}

QList<Druckzeile> druckzeilen(const Kassenbuch& kb) {
    QList<Druckzeile> l;
    const QList<KBBuchung>& z = kb.zeilen();
    if (z.isEmpty()) return l;
    const KBBuchung& anfang = z.first();
    l.append({Druckzeile::Summe, {anfang.datum.getText(), QString(), QString(), QString(), QString(), QStringLiteral("Saldo Vormonate"),
                                  QString(), QString(), betrag(anfang.bestand, false)}});
    EuroType ein, aus, tagEin, tagAus;
    int tagZeilen = 0;
    int abschluss = 0;
    const QList<Kassenbuch::Abschluss>& abs = kb.abschluesse();
    EuroType bestand = anfang.bestand;
    auto abschluesseBis = [&](const zDate& tag, bool einschliesslich) {
        for (; abschluss < abs.size() && (abs[abschluss].datum < tag || (einschliesslich && abs[abschluss].datum == tag)); ++abschluss) {
            const Kassenbuch::Abschluss& a = abs[abschluss];
            l.append({Druckzeile::Abschluss,
                      {a.datum.getText(), QString(), QString(), QString(), QString(),
                       QStringLiteral("Saldo bis %1, Abschluss %2")
                           .arg(a.datum.qdate().toString(QStringLiteral("dd.MM.yy")))
                           .arg(a.abschlussID),
                       QString(), QString(), betrag(a.saldo, false)}});
        }
    };
    for (int i = 1; i < z.size(); ++i) {
        const KBBuchung& b = z[i];
        abschluesseBis(b.datum, false);
        l.append({Druckzeile::Bewegung,
                  {b.datum.getText(), QString::number(b.buchungsnummer), b.belegnummer, b.gegenkonto,
                   b.steuerschluessel.isEmpty() && b.steuersatz != 0.0 ? QString::number(b.steuersatz, 'g', 4) + QStringLiteral(" %")
                                                                         : b.steuerschluessel,
                   b.buchungstext, betrag(b.einnahme), betrag(b.ausgabe), betrag(b.bestand, false)},
                  &b});
        ein += b.einnahme;
        aus += b.ausgabe;
        tagEin += b.einnahme;
        tagAus += b.ausgabe;
        bestand = b.bestand;
        ++tagZeilen;
        const bool tagEnde = i + 1 == z.size() || z[i + 1].datum != b.datum;
        if (!tagEnde) continue;
        if (tagZeilen > 1)
            l.append({Druckzeile::Summe, {QString(), QString(), QString(), QString(), QString(),
                                          QStringLiteral("Tagessummen (") + datumKurz(b.datum) + QLatin1Char(')'), betrag(tagEin, false),
                                          betrag(tagAus, false), betrag(b.bestand, false)}});
        abschluesseBis(b.datum, true);
        tagEin = tagAus = EuroType();
        tagZeilen = 0;
    }
    abschluesseBis(kb.bis().addDays(1), false);
    l.append({Druckzeile::Summe, {QString(), QString(), QString(), QString(), QString(), QStringLiteral("Summen"), betrag(ein, false),
                                  betrag(aus, false), QString()}});
    l.append({Druckzeile::Summe, {kb.bis().getText(), QString(), QString(), QString(), QString(), QStringLiteral("Endsaldo"), QString(),
                                  QString(), betrag(bestand, false)}});
    return l;
}

QString kopfzeile(const Kassenbuch& kb) {
    return QStringLiteral("Konto: %1 %2").arg(kb.konto()).arg(KontoGlobal::getKontobezeichnung(kb.konto()));
}
}  // namespace

Kassenbuch::Kassenbuch(unsigned long konto, const zDate& von, const zDate& bis) : m_konto(konto), m_von(von), m_bis(bis) {}

QString Kassenbuch::getStatement() const {
    // The period is no part of the filter: earlier rows make the opening
    // balance, and rows against opening-balance accounts count whatever
    // their date.
    return QStringLiteral("SELECT 'verbucht' AS vonTabelle, ") +
           QStringLiteral(" z.ID, b.Buchungsnummer AS BuchNr, z.Buchungstext AS Buchungstext, Belegdatum, Belegnummer, z.Betrag AS "
                          "Nettobetrag, Haben, Konto, Gegenkonto ") +
           QStringLiteral("  FROM eurVerbucht b, eurVerbuchtBuchungszeilen z ") + QStringLiteral(" WHERE (b.Buchungsnummer=z.Buchungsnummer) ") +
           QStringLiteral(" AND ( ") + QStringLiteral("Konto=") + rsDataSource::toSqlStr(m_konto) + QStringLiteral(")") +
           QStringLiteral(" ORDER BY Konto, Belegdatum, b.Buchungsnummer ");
}

bool Kassenbuch::Fuellen() {
    m_zeilen.clear();
    m_abschluesse.clear();
    DBConnection* con = rsFallDB();
    if (!con) return false;
    EuroType anfang, lauf;
    QHash<unsigned long, unsigned long> kategorien;
    QList<KBBuchung> zeilen;
    rsDataSource rs(con, getStatement());
    for (; !rs.isEOF(); rs.fetch()) {
        const zDate datum = rs.field(QStringLiteral("Belegdatum")).toDate();
        const bool haben = rs.field(QStringLiteral("Haben")).toLongLong() != 0;
        const EuroType betrag = rs.field(QStringLiteral("Nettobetrag")).toEuro();
        const unsigned long gegen = rs.field(QStringLiteral("Gegenkonto")).toULong();
        unsigned long kategorie = 0;
        if (gegen != 0) {
            auto it = kategorien.constFind(gegen);
            if (it == kategorien.constEnd()) it = kategorien.insert(gegen, KontoGlobal::getKategorie(gegen));
            kategorie = *it;
        }
        if (datum < m_von || (kategorie >= 8000 && kategorie < 9000)) {
            anfang = haben ? anfang - betrag : anfang + betrag;
            continue;
        }
        if (m_bis < datum) continue;
        KBBuchung b;
        b.datum = datum;
        b.belegnummer = rs.field(QStringLiteral("Belegnummer")).toString();
        b.buchungsnummer = rs.field(QStringLiteral("BuchNr")).toULong();
        if (haben) {
            b.ausgabe = betrag;
            lauf -= betrag;
        } else {
            b.einnahme = betrag;
            lauf += betrag;
        }
        b.bestand = lauf;
        if (gegen != 0) {
            b.gegenkonto = QString::number(gegen);
            // The booking's own lines are a handful; "+Konto" keeps the
            // planner off the account index, which would walk every line
            // of the counter account for each row of the book.
            const QVector<DatenTyp> s = QueryPrepared(
                con,
                QStringLiteral("SELECT Steuersatz, Kurzbezeichnung FROM eurSteuerschluessel WHERE Steuerschluessel IN (SELECT Steuerschluessel "
                               "FROM eurVerbuchtBuchungszeilen WHERE (Buchungsnummer=?) AND (+Konto=?) AND (Steuerschluessel<>0))"),
                {DatenTyp(b.buchungsnummer), DatenTyp(gegen)});
            if (s.size() >= 2) {
                b.steuersatz = s[0].toDouble();
                b.steuerschluessel = s[1].toString();
            }
        } else {
            b.gegenkonto = QStringLiteral("diverse");
        }
        b.buchungstext = rs.field(QStringLiteral("Buchungstext")).toString();
        zeilen.append(b);
    }
    if (rs.isError()) return false;
    for (KBBuchung& b : zeilen) b.bestand += anfang;
    KBBuchung eroeffnung;
    eroeffnung.datum = m_von;
    eroeffnung.einnahme = anfang;
    eroeffnung.bestand = anfang;
    eroeffnung.buchungstext = QStringLiteral("Anfangsbestand");
    m_zeilen = QList<KBBuchung>{eroeffnung} + zeilen;

    rsDataSource a(con, QStringLiteral("SELECT AbschlussID, Datum, Saldo, GezaehlterSaldo FROM eurKassenabschluss WHERE Konto=") +
                            rsDataSource::toSqlStr(m_konto) + QStringLiteral(" AND Datum>=") + rsDataSource::toSqlStr(m_von) +
                            QStringLiteral(" AND Datum<=") + rsDataSource::toSqlStr(m_bis) + QStringLiteral(" ORDER BY Datum"));
    for (; !a.isEOF(); a.fetch())
        m_abschluesse.append({a.field(QStringLiteral("AbschlussID")).toULong(), a.field(QStringLiteral("Datum")).toDate(),
                              a.field(QStringLiteral("Saldo")).toEuro(), a.field(QStringLiteral("GezaehlterSaldo")).toEuro()});
    return !a.isError();
}

QString Kassenbuch::druckText(const QString& firma) const {
    zPrintString p;
    p.setTitel(QStringLiteral("Kassenbuch %1").arg(m_konto));
    p.setUntertitel(QStringLiteral("%1\nBetrieb: %2\nZeitraum: %3 bis %4").arg(kopfzeile(*this), firma, m_von.getText(), m_bis.getText()));
    p.setSpalten({{QStringLiteral("Datum"), 10, false},
                  {QStringLiteral("Buch-Nr."), 8, true},
                  {QStringLiteral("Beleg"), 10, false},
                  {QStringLiteral("Gegenkto."), 9, false},
                  {QStringLiteral("Steuer"), 8, false},
                  {QStringLiteral("Buchungstext"), 34, false},
                  {QStringLiteral("Einnahmen"), 13, true},
                  {QStringLiteral("Ausgaben"), 13, true},
                  {QStringLiteral("Bestand"), 13, true}});
    const QList<Druckzeile> zeilen = druckzeilen(*this);
    for (int i = 0; i < zeilen.size(); ++i) {
        const Druckzeile& z = zeilen[i];
        if (i > 0 && z.art != Druckzeile::Bewegung) p.trenner();
        p.zeile(z.felder);
    }
    return p.text();
}

bool Kassenbuch::alsPdf(const QString& firma, QByteArray* pdf, QString* fehler) const {
    // Laid out a page at a time: a book of a year of cash days prints in
    // time proportional to its rows.
    TabellenDruck d(pdf, QStringLiteral("Kassenbuch %1").arg(m_konto), true, QMarginsF(12, 12, 12, 12));
    if (!d.ok(fehler)) return false;
    d.kopf(QStringLiteral("Kassenbuch %1").arg(m_konto),
           {kopfzeile(*this), QStringLiteral("Betrieb: ") + firma, QStringLiteral("Zeitraum: %1 bis %2").arg(m_von.getText(), m_bis.getText())});
    d.spalten({{QStringLiteral("Datum"), 10, false},
               {QStringLiteral("Buch-Nr."), 8, true},
               {QStringLiteral("Beleg"), 10, false},
               {QStringLiteral("Gegenkonto"), 9, false},
               {QStringLiteral("Steuerschl."), 8, false},
               {QStringLiteral("Buchungstext"), 34, false},
               {QStringLiteral("Einnahmen"), 13, true},
               {QStringLiteral("Ausgaben"), 13, true},
               {QStringLiteral("Bestand"), 13, true}});
    // A page that ends carries the receipts and payments so far and the
    // balance forward.
    EuroType ein, aus, bestand = m_zeilen.isEmpty() ? EuroType() : m_zeilen.first().bestand;
    for (const Druckzeile& z : druckzeilen(*this)) {
        if (z.bewegung) {
            ein += z.bewegung->einnahme;
            aus += z.bewegung->ausgabe;
            bestand = z.bewegung->bestand;
        }
        d.zeile(z.felder,
                z.art == Druckzeile::Summe ? TabellenDruck::Summe : z.art == Druckzeile::Abschluss ? TabellenDruck::Abschluss : TabellenDruck::Normal,
                {QString(), QString(), QString(), QString(), QString(), QStringLiteral("Übertrag"), betrag(ein, false), betrag(aus, false),
                 betrag(bestand, false)});
    }
    return d.beenden(QStringLiteral("des Kassenbuchs"), fehler);
}

QList<KBBuchung> KontoGlobal::getKBBuchungen() {
    // The report period of the manager: month, quarter, year, else the free one.
    const int jahr = m_Steuerjahr;
    zDate von(jahr, 1, 1), bis(jahr, 12, 31);
    switch (m_param[0]) {
    case 1:
        if (m_param[2] >= 0 && m_param[2] <= 11) {
            von = zDate(jahr, m_param[2] + 1, 1);
            bis = von.addMonths(1).addDays(-1);
        }
        break;
    case 2: {
        const int q = m_param[1] >= 0 && m_param[1] <= 3 ? m_param[1] : 0;
        von = zDate(jahr, 3 * q + 1, 1);
        bis = von.addMonths(3).addDays(-1);
        break;
    }
    case 3:
        break;
    default:
        von = m_Zeitraum.von();
        bis = m_Zeitraum.bis();
    }
    Kassenbuch kb((unsigned long)qMax(0, m_Kassenkonto), von, bis);
    kb.Fuellen();
    return kb.zeilen();
}
