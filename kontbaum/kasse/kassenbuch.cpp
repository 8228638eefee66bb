// The cash book: the listing with its opening row and running balance, and
// the printed book (text, PDF) an auditor files.
#include "host/app/tabellendruck.h"
#include "kontbaum/kasse/kasse.h"

#include "host/app/printstring.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/db/faecher.h"

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

// The rows of the printed book as the rows of the book arrive: the opening
// row, each movement, the day's totals where a day has more than one
// movement, the closings at their date, and the totals and end balance.
// A day is closed when the next day's first row comes (or at the end), so
// no more than one row of the book is held.
class Druckfolge {
public:
    Druckfolge(const Kassenbuch& kb, std::function<void(const Druckzeile&)> aus) : m_kb(kb), m_aus(std::move(aus)) {}

    void zeile(const KBBuchung& b) {
        if (m_erste) {
            m_erste = false;
            m_bestand = b.bestand;
            m_aus({Druckzeile::Summe, {b.datum.getText(), QString(), QString(), QString(), QString(), QStringLiteral("Saldo Vormonate"),
                                       QString(), QString(), betrag(b.bestand, false)}});
            return;
        }
        if (m_tagZeilen > 0 && m_vorige.datum != b.datum) tagSchliessen();
        abschluesseBis(b.datum, false);
        m_aus({Druckzeile::Bewegung,
               {b.datum.getText(), QString::number(b.buchungsnummer), b.belegnummer, b.gegenkonto,
                b.steuerschluessel.isEmpty() && b.steuersatz != 0.0 ? QString::number(b.steuersatz, 'g', 4) + QStringLiteral(" %")
                                                                      : b.steuerschluessel,
                b.buchungstext, betrag(b.einnahme), betrag(b.ausgabe), betrag(b.bestand, false)},
               &b});
        m_ein += b.einnahme;
        m_ausg += b.ausgabe;
        m_tagEin += b.einnahme;
        m_tagAus += b.ausgabe;
        m_bestand = b.bestand;
        ++m_tagZeilen;
        m_vorige = b;
    }

    void ende() {
        if (m_erste) return;
        if (m_tagZeilen > 0) tagSchliessen();
        abschluesseBis(m_kb.bis().addDays(1), false);
        m_aus({Druckzeile::Summe, {QString(), QString(), QString(), QString(), QString(), QStringLiteral("Summen"), betrag(m_ein, false),
                                   betrag(m_ausg, false), QString()}});
        m_aus({Druckzeile::Summe, {m_kb.bis().getText(), QString(), QString(), QString(), QString(), QStringLiteral("Endsaldo"), QString(),
                                   QString(), betrag(m_bestand, false)}});
    }

private:
    void tagSchliessen() {
        if (m_tagZeilen > 1)
            m_aus({Druckzeile::Summe, {QString(), QString(), QString(), QString(), QString(),
                                       QStringLiteral("Tagessummen (") + datumKurz(m_vorige.datum) + QLatin1Char(')'), betrag(m_tagEin, false),
                                       betrag(m_tagAus, false), betrag(m_vorige.bestand, false)}});
        abschluesseBis(m_vorige.datum, true);
        m_tagEin = m_tagAus = EuroType();
        m_tagZeilen = 0;
    }

    void abschluesseBis(const zDate& tag, bool einschliesslich) {
        const QList<Kassenbuch::Abschluss>& abs = m_kb.abschluesse();
        for (; m_abschluss < abs.size() && (abs[m_abschluss].datum < tag || (einschliesslich && abs[m_abschluss].datum == tag)); ++m_abschluss) {
            const Kassenbuch::Abschluss& a = abs[m_abschluss];
            m_aus({Druckzeile::Abschluss,
                   {a.datum.getText(), QString(), QString(), QString(), QString(),
                    QStringLiteral("Saldo bis %1, Abschluss %2").arg(a.datum.qdate().toString(QStringLiteral("dd.MM.yy"))).arg(a.abschlussID),
                    QString(), QString(), betrag(a.saldo, false)}});
        }
    }

    const Kassenbuch& m_kb;
    std::function<void(const Druckzeile&)> m_aus;
    bool m_erste = true;
    KBBuchung m_vorige;
    EuroType m_ein, m_ausg, m_tagEin, m_tagAus, m_bestand;
    int m_tagZeilen = 0, m_abschluss = 0;
};

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

namespace {
// The rows of the account as read by vorbereiten(), converted as the rows
// of getStatement() are, one record a row (FachSatz).
struct KassenSatz {
    unsigned long buchungsnummer = 0, gegen = 0;
    QString buchungstext, belegnummer, steuerschluessel;
    EuroType betrag;
    bool haben = false, mitSteuer = false;
    double steuersatz = 0.0;

    void schreiben(QByteArray* ziel) const {
        FachSatz s(ziel);
        s.zahl(qint64(buchungsnummer));
        s.zahl(qint64(gegen));
        s.text(buchungstext);
        s.text(belegnummer);
        s.zahl(betrag.cent());
        s.zahl((haben ? 1 : 0) | (mitSteuer ? 2 : 0));
        if (!mitSteuer) return;
        s.wert(DatenTyp(steuersatz));
        s.text(steuerschluessel);
    }
    void lesen(const QByteArray& satz) {
        FachSatzLeser s(satz);
        buchungsnummer = (unsigned long)s.zahl();
        gegen = (unsigned long)s.zahl();
        buchungstext = s.text();
        belegnummer = s.text();
        betrag = EuroType::ausCent(s.zahl());
        const qint64 merk = s.zahl();
        haben = merk & 1;
        mitSteuer = merk & 2;
        steuersatz = mitSteuer ? s.wert().toDouble() : 0.0;
        steuerschluessel = mitSteuer ? s.text() : QString();
    }
};
}  // namespace

bool Kassenbuch::vorbereiten() {
    m_abschluesse.clear();
    m_anfang = m_ende = EuroType();
    m_faecher.reset();
    DBConnection* con = rsFallDB();
    if (!con) return false;
    // One pass over the account's lines in booking-number order: the
    // headers and the lines of the bookings are read front to back, not at
    // a random place per row as in the order of the book. Each row goes to
    // the compartment of its voucher date (Faecher) and into the balances:
    // rows before the period and rows against opening-balance accounts
    // (categories 8000 to 8999, whatever their date) make the opening
    // balance; the rest of the period moves it to the end balance. The
    // counter line's tax key is the lowest key the counter account's lines
    // of the booking carry that the table of keys knows. Rows of one booking
    // and date keep the order of the account index (key, side, counter
    // account, amount, line), in which they always came.
    QHash<qint64, QPair<double, QString>> schluessel;
    {
        rsDataSource k(con, QStringLiteral("SELECT Steuerschluessel, Steuersatz, Kurzbezeichnung FROM eurSteuerschluessel"));
        for (; !k.isEOF(); k.fetch())
            schluessel.insert(k.getFields()->getField(0).toLongLong(), {k.getFields()->getField(1).toDouble(), k.getFields()->getField(2).toString()});
        if (k.isError()) return false;
    }
    const QString konto = rsDataSource::toSqlStr(m_konto);
    auto faecher = std::make_shared<Faecher>();
    QHash<unsigned long, unsigned long> kategorien;
    qint64 anfang = 0, bewegung = 0;
    bool abgelegt = true;
    {
        Tabellenfolge::KleinerCache cache(con);
        rsDataSource rs(
            con, QStringLiteral("SELECT b.Buchungsnummer, z.Gegenkonto, z.Buchungstext, b.Belegnummer, z.Betrag, z.Haben, CASE WHEN "
                                "z.Gegenkonto<>0 THEN (SELECT MIN(x.Steuerschluessel) FROM eurVerbuchtBuchungszeilen x JOIN eurSteuerschluessel s ON "
                                "s.Steuerschluessel=x.Steuerschluessel WHERE x.Buchungsnummer=z.Buchungsnummer AND +x.Konto=z.Gegenkonto AND "
                                "x.Steuerschluessel<>0) END, (b.Belegdatum<") +
                     rsDataSource::toSqlStr(m_von) + QStringLiteral("), (b.Belegdatum>") + rsDataSource::toSqlStr(m_bis) +
                     QStringLiteral("), CASE WHEN z.Haben THEN -ROUND(z.Betrag*100) ELSE ROUND(z.Betrag*100) END, b.Belegdatum FROM eurVerbucht b "
                                    "JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer AND +z.Konto=") +
                     konto + QStringLiteral(" WHERE b.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen WHERE Konto=") + konto +
                     QStringLiteral(") ORDER BY b.Buchungsnummer, z.Steuerschluessel, z.Haben, z.Gegenkonto, z.Betrag, z.ID"));
        KassenSatz k;
        QByteArray satz;
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            k.buchungsnummer = f.getField(0).toULong();
            k.gegen = f.getField(1).toULong();
            unsigned long kategorie = 0;
            if (k.gegen != 0) {
                auto it = kategorien.constFind(k.gegen);
                if (it == kategorien.constEnd()) it = kategorien.insert(k.gegen, KontoGlobal::getKategorie(k.gegen));
                kategorie = *it;
            }
            const qint64 c = qint64(f.getField(9).toDouble());
            if (f.getField(7).toLongLong() != 0 || (kategorie >= 8000 && kategorie < 9000))
                anfang += c;
            else if (f.getField(8).toLongLong() == 0)
                bewegung += c;
            if (!abgelegt) continue;
            k.buchungstext = f.getField(2).toString();
            k.belegnummer = f.getField(3).toString();
            k.betrag = f.getField(4).toEuro();
            k.haben = f.getField(5).toLongLong() != 0;
            const auto s = f.getField(6).isNull() ? schluessel.constEnd() : schluessel.constFind(f.getField(6).toLongLong());
            k.mitSteuer = s != schluessel.constEnd();
            k.steuersatz = k.mitSteuer ? s->first : 0.0;
            k.steuerschluessel = k.mitSteuer ? s->second : QString();
            satz.clear();
            k.schreiben(&satz);
            abgelegt = faecher->ablegen(f.getField(10).toString().toUtf8(), satz);
        }
        if (rs.isError()) return false;
    }
    m_anfang = EuroType::ausCent(anfang);
    m_ende = EuroType::ausCent(anfang + bewegung);
    if (abgelegt) m_faecher = faecher;

    rsDataSource a(con, QStringLiteral("SELECT AbschlussID, Datum, Saldo, GezaehlterSaldo FROM eurKassenabschluss WHERE Konto=") +
                            rsDataSource::toSqlStr(m_konto) + QStringLiteral(" AND Datum>=") + rsDataSource::toSqlStr(m_von) +
                            QStringLiteral(" AND Datum<=") + rsDataSource::toSqlStr(m_bis) + QStringLiteral(" ORDER BY Datum"));
    for (; !a.isEOF(); a.fetch())
        m_abschluesse.append({a.field(QStringLiteral("AbschlussID")).toULong(), a.field(QStringLiteral("Datum")).toDate(),
                              a.field(QStringLiteral("Saldo")).toEuro(), a.field(QStringLiteral("GezaehlterSaldo")).toEuro()});
    return !a.isError();
}

bool Kassenbuch::lesen(const std::function<void(const KBBuchung&)>& je) {
    KBBuchung eroeffnung;
    eroeffnung.datum = m_von;
    eroeffnung.einnahme = m_anfang;
    eroeffnung.bestand = m_anfang;
    eroeffnung.buchungstext = QStringLiteral("Anfangsbestand");
    if (!m_faecher) {
        if (!rsFallDB()) return false;
        je(eroeffnung);
        return lesenUeberIndex(je, m_anfang);
    }
    je(eroeffnung);
    EuroType lauf = m_anfang;
    QHash<unsigned long, unsigned long> kategorien;
    QByteArray tag;
    zDate datum;
    KassenSatz k;
    return m_faecher->lesen([&](const QByteArray& schluessel, const QByteArray& satz) {
        if (schluessel != tag || schluessel.isEmpty()) {
            tag = schluessel;
            datum = DatenTyp(QString::fromUtf8(schluessel)).toDate();
        }
        if (datum < m_von || m_bis < datum) return;
        k.lesen(satz);
        unsigned long kategorie = 0;
        if (k.gegen != 0) {
            auto it = kategorien.constFind(k.gegen);
            if (it == kategorien.constEnd()) it = kategorien.insert(k.gegen, KontoGlobal::getKategorie(k.gegen));
            kategorie = *it;
        }
        if (kategorie >= 8000 && kategorie < 9000) return;
        KBBuchung b;
        b.datum = datum;
        b.belegnummer = k.belegnummer;
        b.buchungsnummer = k.buchungsnummer;
        if (k.haben) {
            b.ausgabe = k.betrag;
            lauf -= k.betrag;
        } else {
            b.einnahme = k.betrag;
            lauf += k.betrag;
        }
        b.bestand = lauf;
        if (k.gegen != 0) {
            b.gegenkonto = QString::number(k.gegen);
            b.steuersatz = k.steuersatz;
            b.steuerschluessel = k.steuerschluessel;
        } else {
            b.gegenkonto = QStringLiteral("diverse");
        }
        b.buchungstext = k.buchungstext;
        je(b);
    });
}

bool Kassenbuch::lesenUeberIndex(const std::function<void(const KBBuchung&)>& je, EuroType lauf) {
    DBConnection* con = rsFallDB();
    if (!con) return false;
    QHash<unsigned long, unsigned long> kategorien;
    rsDataSource rs(con, getStatement());
    for (; !rs.isEOF(); rs.fetch()) {
        const zDate datum = rs.field(QStringLiteral("Belegdatum")).toDate();
        if (datum < m_von || m_bis < datum) continue;
        const unsigned long gegen = rs.field(QStringLiteral("Gegenkonto")).toULong();
        unsigned long kategorie = 0;
        if (gegen != 0) {
            auto it = kategorien.constFind(gegen);
            if (it == kategorien.constEnd()) it = kategorien.insert(gegen, KontoGlobal::getKategorie(gegen));
            kategorie = *it;
        }
        if (kategorie >= 8000 && kategorie < 9000) continue;
        const bool haben = rs.field(QStringLiteral("Haben")).toLongLong() != 0;
        const EuroType betrag = rs.field(QStringLiteral("Nettobetrag")).toEuro();
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
        je(b);
    }
    return !rs.isError();
}

bool Kassenbuch::Fuellen() {
    m_zeilen.clear();
    if (!vorbereiten()) return false;
    QList<KBBuchung> zeilen;
    if (!lesen([&zeilen](const KBBuchung& b) { zeilen.append(b); })) return false;
    m_zeilen = zeilen;
    return true;
}

namespace {
QString lesefehler() {
    return QStringLiteral("Das Kassenbuch konnte nicht gelesen werden. Bitte prüfen Sie die Falldatei mit „dalvo pruefen“.");
}

// The head of the printed book as a list: the page writer gives it the
// look of every list.
BerichtListe seitenkopf(const Kassenbuch& kb, const QString& firma) {
    BerichtListe l;
    l.titel = QStringLiteral("Kassenbuch %1").arg(kb.konto());
    l.untertitel = QStringLiteral("%1\nBetrieb: %2\nZeitraum: %3 bis %4").arg(kopfzeile(kb), firma, kb.von().getText(), kb.bis().getText());
    using BS = BerichtSpalte;
    l.spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BS::Text, 10);
    l.spalte(QStringLiteral("Buch-Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 8);
    l.spalte(QStringLiteral("Beleg"), QStringLiteral("belegnummer"), BS::Text, 10);
    l.spalte(QStringLiteral("Gegenkto."), QStringLiteral("gegenkonto"), BS::Text, 9);
    l.spalte(QStringLiteral("Steuer"), QStringLiteral("steuer"), BS::Text, 8);
    l.spalte(QStringLiteral("Buchungstext"), QStringLiteral("buchungstext"), BS::Text, 34);
    // Amounts come as their text: the page leaves a zero movement empty.
    l.spalte(QStringLiteral("Einnahmen"), QStringLiteral("einnahmen"), BS::Zahl, 13);
    l.spalte(QStringLiteral("Ausgaben"), QStringLiteral("ausgaben"), BS::Zahl, 13);
    l.spalte(QStringLiteral("Bestand"), QStringLiteral("bestand"), BS::Zahl, 13);
    return l;
}
}  // namespace

bool Kassenbuch::schreiben(Form form, const QString& firma, const ListenZiel& ziel, QString* fehler) {
    using BS = BerichtSpalte;
    bool gelesen = true;
    if (form == Form::Seite) {
        const BerichtListe kopf = seitenkopf(*this, firma);
        TextSchreiber w(ziel);
        w.anfang(kopf);
        Druckfolge folge(*this, [&](const Druckzeile& z) {
            QList<QVariant> werte;
            for (const QString& f : z.felder) werte << f;
            // Every row but a movement stands below a rule.
            w.zeile(kopf, {werte, z.art != Druckzeile::Bewegung});
        });
        gelesen = lesen([&](const KBBuchung& b) { folge.zeile(b); });
        folge.ende();
        if (!gelesen) return (fehler ? (*fehler = lesefehler(), false) : false);
        return w.beenden(kopf, fehler);
    }
    if (form == Form::Csv) {
        BerichtListe kopf;
        for (const char* k : {"Datum", "Buchungsnummer", "Belegnummer", "Gegenkonto", "Steuersatz", "Buchungstext", "Einnahme", "Ausgabe", "Bestand"})
            kopf.spalte(QLatin1String(k), QString(), BS::Text, 10);
        CsvSchreiber w(ziel);
        w.anfang(kopf);
        gelesen = lesen([&](const KBBuchung& b) {
            w.zeile(kopf, {{b.datum.getText(), b.buchungsnummer ? QString::number(b.buchungsnummer) : QString(), b.belegnummer, b.gegenkonto,
                            QString::number(b.steuersatz, 'g', 4).replace(QLatin1Char('.'), QLatin1Char(',')), b.buchungstext,
                            b.einnahme.getText(EuroType::TextOhneTausender), b.ausgabe.getText(EuroType::TextOhneTausender),
                            b.bestand.getText(EuroType::TextOhneTausender)},
                           false});
        });
        if (!gelesen) return (fehler ? (*fehler = lesefehler(), false) : false);
        return w.beenden(kopf, fehler);
    }
    namespace J = JsonText;
    QVector<QByteArray> abs;
    for (const Abschluss& x : m_abschluesse)
        abs << J::objekt({{"abschlussid", J::ganz(qint64(x.abschlussID))}, {"datum", J::text(x.datum.getText())}, {"saldo", J::betrag(x.saldo)},
                       {"gezaehlt", J::betrag(x.gezaehlt)}},
                      2);
    BerichtListe kopf;
    kopf.spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BS::Text, 10);
    kopf.spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    kopf.spalte(QStringLiteral("Beleg"), QStringLiteral("belegnummer"), BS::Text, 10);
    kopf.spalte(QStringLiteral("Gegenkonto"), QStringLiteral("gegenkonto"), BS::Text, 9);
    kopf.spalte(QStringLiteral("Steuersatz"), QStringLiteral("steuersatz"), BS::Zahl, 5);
    kopf.spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 30);
    kopf.spalte(QStringLiteral("Einnahme"), QStringLiteral("einnahme"), BS::Betrag, 12);
    kopf.spalte(QStringLiteral("Ausgabe"), QStringLiteral("ausgabe"), BS::Betrag, 12);
    kopf.spalte(QStringLiteral("Bestand"), QStringLiteral("bestand"), BS::Betrag, 12);
    JsonSchreiber w(ziel,
                    {{"konto", J::ganz(qint64(m_konto))},
                     {"bezeichnung", J::text(KontoGlobal::getKontobezeichnung(m_konto))},
                     {"von", J::text(m_von.getText())},
                     {"bis", J::text(m_bis.getText())},
                     {"anfangsbestand", J::betrag(m_anfang)},
                     {"endbestand", J::betrag(m_ende)},
                     {"abschluesse", J::liste(abs, 1)}},
                    false);
    w.anfang(kopf);
    bool eroeffnung = true;
    gelesen = lesen([&](const KBBuchung& b) {
        if (eroeffnung) {
            eroeffnung = false;
            return;
        }
        // The amounts as cents through a double: exact to the cent far
        // beyond any cash book.
        w.zeile(kopf, {{b.datum.getText(), qlonglong(b.buchungsnummer), b.belegnummer, b.gegenkonto, b.steuersatz, b.buchungstext,
                        b.einnahme.alsDouble(), b.ausgabe.alsDouble(), b.bestand.alsDouble()},
                       false});
    });
    if (!gelesen) return (fehler ? (*fehler = lesefehler(), false) : false);
    return w.beenden(kopf, fehler);
}

QString Kassenbuch::druckText(const QString& firma) const {
    const BerichtListe kopf = seitenkopf(*this, firma);
    QByteArray t;
    TextSchreiber w([&t](const QByteArray& b) {
        t += b;
        return true;
    });
    w.anfang(kopf);
    Druckfolge folge(*this, [&](const Druckzeile& z) {
        QList<QVariant> werte;
        for (const QString& f : z.felder) werte << f;
        w.zeile(kopf, {werte, z.art != Druckzeile::Bewegung});
    });
    for (const KBBuchung& b : m_zeilen) folge.zeile(b);
    folge.ende();
    w.beenden(kopf, nullptr);
    return QString::fromUtf8(t);
}

namespace {
// Lays the book out a page at a time as `quelle` hands its rows over: a
// book of a year of cash days prints in time proportional to its rows.
bool pdfDrucken(const Kassenbuch& kb, TabellenDruck& d, const QString& firma,
                const std::function<bool(const std::function<void(const KBBuchung&)>&)>& quelle, QString* fehler) {
    if (!d.ok(fehler)) return false;
    d.kopf(QStringLiteral("Kassenbuch %1").arg(kb.konto()),
           {kopfzeile(kb), QStringLiteral("Betrieb: ") + firma, QStringLiteral("Zeitraum: %1 bis %2").arg(kb.von().getText(), kb.bis().getText())});
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
    EuroType ein, aus, bestand;
    bool erste = true;
    Druckfolge folge(kb, [&](const Druckzeile& z) {
        if (z.bewegung) {
            ein += z.bewegung->einnahme;
            aus += z.bewegung->ausgabe;
            bestand = z.bewegung->bestand;
        }
        d.zeile(z.felder,
                z.art == Druckzeile::Summe ? TabellenDruck::Summe : z.art == Druckzeile::Abschluss ? TabellenDruck::Abschluss : TabellenDruck::Normal,
                {QString(), QString(), QString(), QString(), QString(), QStringLiteral("Übertrag"), betrag(ein, false), betrag(aus, false),
                 betrag(bestand, false)});
    });
    const bool gelesen = quelle([&](const KBBuchung& b) {
        if (erste) bestand = b.bestand;
        erste = false;
        folge.zeile(b);
    });
    folge.ende();
    if (!gelesen) {
        if (fehler) *fehler = lesefehler();
        return false;
    }
    return d.beenden(QStringLiteral("des Kassenbuchs"), fehler);
}
}  // namespace

bool Kassenbuch::alsPdf(const QString& firma, QByteArray* pdf, QString* fehler) const {
    TabellenDruck d(pdf, QStringLiteral("Kassenbuch %1").arg(m_konto), true, QMarginsF(12, 12, 12, 12));
    return pdfDrucken(*this, d, firma,
                      [this](const std::function<void(const KBBuchung&)>& je) {
                          for (const KBBuchung& b : m_zeilen) je(b);
                          return true;
                      },
                      fehler);
}

bool Kassenbuch::alsPdf(const QString& firma, QIODevice* ziel, QString* fehler) {
    TabellenDruck d(ziel, QStringLiteral("Kassenbuch %1").arg(m_konto), true, QMarginsF(12, 12, 12, 12));
    return pdfDrucken(*this, d, firma, [this](const std::function<void(const KBBuchung&)>& je) { return lesen(je); }, fehler);
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
