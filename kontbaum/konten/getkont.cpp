// The start page's parser function $GETKONT: one keyword and its
// parameters in, a plain value or an HTML fragment out.
//
// The parameters come from HTML templates that anyone may edit: account
// and category lists are parsed into numbers here and only numbers reach
// SQL; every name and text that goes into a fragment is HTML-escaped.
#include "kontbaum/konten/konten.h"
#include "kontbaum/konten/startseite.h"

#include "host/app/log.h"
#include "host/db/connection.h"
#include "kontbaum/berichte/indizes.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/sperrgrenzen.h"
#include "kontbaum/steuer/steuer.h"

#include <QMap>
#include <QRegularExpression>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/kontparser");

// Account and category numbers are unsigned 32-bit keys; a longer digit
// string is no number of this program.
bool zahl(const QString& t, unsigned long* n) {
    static const QRegularExpression ziffern(QStringLiteral("^[0-9]{1,9}$"));
    if (!ziffern.match(t).hasMatch()) return false;
    *n = t.toULong();
    return true;
}

QString sqlZahl(unsigned long n) { return rsDataSource::toSqlStr(n); }

QList<unsigned long> zahlenAus(DBConnection* db, const QString& sql) {
    QList<unsigned long> l;
    rsDataSource rs(db, sql);
    for (; !rs.isEOF(); rs.fetch()) l << rs.getFields()->getField(0).toULong();
    return l;
}

// The row of one amount; the profit rows close the colour as well.
QString betragZeile(const QString& label, const EuroType& betrag, bool gewinnZeile = false) {
    return QStringLiteral("<tr><td>") + label + QStringLiteral(":</td><td class=\"rechts\"><font color=\"") +
           (betrag < EuroType() ? QStringLiteral("#b70000") : QStringLiteral("#000000")) + QStringLiteral("\">") + betrag.getText() +
           (gewinnZeile ? QStringLiteral("&nbsp;&euro;</font></td></tr>") : QStringLiteral("&nbsp;&euro;</td></tr>"));
}

class Parser {
public:
    Parser(KontoGlobal& kg, const QString& argumente, bool formatiert)
        : m_kg(kg), m_argumente(argumente), m_formatiert(formatiert), m_db(kg.GetDBConnect_Ptr()) {}

    // The answer; false with the message in m_fehler.
    bool antworten(QString* ergebnis, int* status);
    QString fehler() const { return m_fehler; }
    // The amount behind a plain answer of GEWINN, EINNAHMEN, AUSGABEN or
    // SALDO: false for every other answer.
    bool betrag(EuroType* b) const {
        if (m_hatBetrag) *b = m_betrag;
        return m_hatBetrag;
    }

private:
    bool fehlschlag(const QString& text) {
        m_fehler = QString(text).replace(QStringLiteral("%1"), m_argumente);
        return false;
    }
    QString teil(int i) const { return m_teile.value(i); }
    bool listeLesen(int ab, const QString& bereichSql, QList<unsigned long>* zahlen, bool* leer);
    bool saldo(QString* ergebnis, int* status);
    // Rows and sum of SALDO,Konto over `konten`.
    EuroType kontenSaldo(const QList<unsigned long>& konten, QString* zeilen);
    bool kontoParameter(const QString& name, unsigned long* konto);
    QString eur(bool details, int monatVon, int monatBis);
    QString datum(const zDate& d, const QString& leer, int* status, int statusWert) const;

    KontoGlobal& m_kg;
    QString m_argumente;
    bool m_formatiert;
    DBConnection* m_db;
    QStringList m_teile;
    QString m_fehler;
    EuroType m_betrag;
    bool m_hatBetrag = false;
};

bool Parser::listeLesen(int ab, const QString& bereichSql, QList<unsigned long>* zahlen, bool* leer) {
    for (int i = ab; i < m_teile.size(); ++i) {
        const QString& t = m_teile[i];
        unsigned long n = 0, a = 0, b = 0;
        const int punkte = t.indexOf(QLatin1String(".."));
        if (zahl(t, &n)) {
            *zahlen << n;
        } else if (punkte > 0 && zahl(t.left(punkte), &a) && zahl(t.mid(punkte + 2), &b)) {
            *zahlen << zahlenAus(m_db, bereichSql.arg(sqlZahl(a), sqlZahl(b)));
        } else {
            return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit falschem Parameter: $GETKONT(%1). "
                                             "Der Parameter %2 kann nicht aufgelöst werden!")
                                  .arg(QStringLiteral("%1"), t));
        }
    }
    *leer = zahlen->isEmpty();
    return true;
}

const QString kKontenBereich = QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Nummer>=%1 AND Nummer<=%2 AND Aktiv<>0 ORDER BY Nummer ");
const QString kKategorienBereich = QStringLiteral("SELECT Kategorie FROM eurKategorien WHERE Kategorie>=%1 AND Kategorie<=%2 ORDER BY Kategorie ");

EuroType Parser::kontenSaldo(const QList<unsigned long>& konten, QString* zeilen) {
    EuroType summe;
    for (unsigned long k : konten) {
        if (!KontoGlobal::existsBuchung(k, m_db)) continue;
        const EuroType s = KontoGlobal::getSummeKonto(k, 0, zDate(), zDate());
        summe += s;
        if (zeilen) *zeilen += betragZeile(Startseite::html(KontoGlobal::getKontobezeichnung(k, 3, m_db)), s);
    }
    return summe;
}

bool Parser::saldo(QString* ergebnis, int* status) {
    if (m_teile.size() < 3) return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit zuwenig Parametern: $GETKONT(%1)!"));
    const QString art = teil(1);
    const bool konto = art == QLatin1String("Konto"), nachKategorie = art == QLatin1String("KontenByKategorie");
    if (!konto && !nachKategorie && art != QLatin1String("Kategorie"))
        return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO) mit unbekantem Parameter: $GETKONT(%1)!"));
    QList<unsigned long> liste;
    bool leer = false;
    if (!listeLesen(2, konto ? kKontenBereich : kKategorienBereich, &liste, &leer)) return false;
    if (leer)
        return fehlschlag(konto ? QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO,Konto) mit falschem Parameter: $GETKONT(%1). "
                                                 "Bitte Kontonummer angeben!")
                                : QStringLiteral("Aufruf der Parserfunktion $GETKONT(SALDO,%2) mit falschem Parameter: $GETKONT(%1). "
                                                 "Bitte Kategorie angeben!")
                                      .arg(QStringLiteral("%1"), art));
    QString zeilen;
    EuroType summe;
    if (konto) {
        summe = kontenSaldo(liste, &zeilen);
    } else {
        for (unsigned long kat : liste) {
            const QList<unsigned long> konten = zahlenAus(
                m_db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE Kategorie=") + sqlZahl(kat) + QStringLiteral(" AND Aktiv<>0 ORDER BY Nummer "));
            // The category's balance is summed as an amount: the formatted
            // text of a sum is for reading, not for adding up.
            const EuroType s = kontenSaldo(konten, nachKategorie ? &zeilen : nullptr);
            summe += s;
            if (!nachKategorie && !s.isNull()) zeilen += betragZeile(Startseite::html(KontoGlobal::getKategorieBezeichnung(kat)), s);
        }
    }
    m_betrag = summe;
    m_hatBetrag = !m_formatiert;
    *ergebnis = m_formatiert ? zeilen : m_betrag.getText();
    *status = m_formatiert ? 2 : 1;
    return true;
}

bool Parser::kontoParameter(const QString& name, unsigned long* konto) {
    if (m_teile.size() < 2)
        return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(%2) mit zuwenig Parametern: $GETKONT(%1)!").arg(QStringLiteral("%1"), name));
    if (!zahl(teil(1), konto))
        return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(%2,Konto) mit falschem Parameter: $GETKONT(%1). "
                                         "Bitte Kontonummer angeben!")
                              .arg(QStringLiteral("%1"), name));
    return true;
}

QString Parser::datum(const zDate& d, const QString& leer, int* status, int statusWert) const {
    if (!m_formatiert) *status = statusWert;
    if (d.isValid()) return d.getText();
    return m_formatiert ? leer : QString();
}

// The EÜR overview of months monatVon..monatBis (1..12): categories by rank,
// totals, the investment deduction lines and the profit.
QString Parser::eur(bool details, int monatVon, int monatBis) {
    struct Kat {
        QString name;
        int rang = 0;
        EuroType summe;
        QMap<unsigned long, EuroType> konten;
    };
    QMap<unsigned long, Kat> kategorien;
    QMap<unsigned long, QString> kontoNamen;
    rsDataSource rs(m_db, QStringLiteral("SELECT kp.Kategorie, IFNULL(kat.Bezeichnung,''), IFNULL(kat.Rang,0), z.Konto, kp.Bezeichnung, z.Haben, ") +
                                         Berichte::centSumme() + QStringLiteral(" FROM eurVerbuchtBuchungszeilen z JOIN eurKontenplan kp ON kp.Nummer=z.Konto "
                                         "JOIN eurVerbucht b ON b.Buchungsnummer=z.Buchungsnummer "
                                         "LEFT JOIN eurKategorien kat ON kat.Kategorie=kp.Kategorie WHERE ((kp.Kategorie<>4208 AND "
                                         "kp.Kategorie BETWEEN 4000 AND 4999) OR (kp.Kategorie BETWEEN 3000 AND 3399) OR (kp.Kategorie "
                                         "BETWEEN 5000 AND 5999)) AND MONTH(b.Belegdatum) BETWEEN ") +
                              sqlZahl(monatVon) + QStringLiteral(" AND ") + sqlZahl(monatBis) +
                              QStringLiteral(" GROUP BY kp.Kategorie, z.Konto, z.Haben"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long kat = f.getField(0).toULong();
        const bool einnahme = (kat >= 4000 && kat <= 4999) || (kat >= 3000 && kat <= 3099);
        const EuroType b = EuroType::ausCent(f.getField(6).toLongLong());  // summed in whole cents
        const bool haben = f.getField(5).toBool();
        Kat& k = kategorien[kat];
        k.name = f.getField(1).toString();
        k.rang = f.getField(2).toInt();
        const EuroType s = einnahme ? (haben ? b : -b) : (haben ? -b : b);
        k.summe += s;
        k.konten[f.getField(3).toULong()] += s;
        kontoNamen.insert(f.getField(3).toULong(), f.getField(4).toString());
    }
    QList<unsigned long> reihe = kategorien.keys();
    std::stable_sort(reihe.begin(), reihe.end(), [&](unsigned long a, unsigned long b) { return kategorien[a].rang < kategorien[b].rang; });
    QString einnahmenZeilen, ausgabenZeilen, iabZeilen, aufloesungZeilen;
    EuroType e, a, x, y;
    for (unsigned long kat : reihe) {
        const Kat& k = kategorien[kat];
        const bool einnahme = (kat >= 4000 && kat <= 4999) || (kat >= 3000 && kat <= 3099);
        QString zeilen = betragZeile(Startseite::html(k.name), k.summe);
        if (details)
            for (auto it = k.konten.constBegin(); it != k.konten.constEnd(); ++it)
                zeilen += betragZeile(QStringLiteral("&nbsp;&nbsp;") + QString::number(it.key()) + QLatin1Char(' ') +
                                          Startseite::html(kontoNamen.value(it.key())),
                                      it.value());
        if (einnahme) {
            e += k.summe;
            einnahmenZeilen += zeilen;
        } else if (kat == 5903) {
            x += k.summe;
            iabZeilen += zeilen;
        } else if (kat == 5904) {
            y -= k.summe;
            aufloesungZeilen += zeilen;
        } else {
            a += k.summe;
            ausgabenZeilen += zeilen;
        }
    }
    const EuroType g = Gewinnregel::gewinn(e, a, x, y, Sperrgrenzen::iabGewinngrenze(m_db));
    QString html = QStringLiteral("<tr><td colspan=\"2\"><b>Einnahmen</b></td></tr>\n") + einnahmenZeilen +
                   betragZeile(QStringLiteral("Summe Einnahmen"), e) +
                   QStringLiteral("<tr><td colspan=\"2\"><b>Ausgaben</b></td></tr>\n") + ausgabenZeilen +
                   betragZeile(QStringLiteral("Summe Ausgaben"), a);
    if (!iabZeilen.isEmpty() || !aufloesungZeilen.isEmpty())
        html += QStringLiteral("<tr><td colspan=\"2\"><b>Investitionsabzugsbetr&auml;ge</b></td></tr>\n") + iabZeilen +
                betragZeile(QStringLiteral("Summe Investitionsabzugsbetr&auml;ge"), x) +
                QStringLiteral("<tr><td colspan=\"2\"><b>Aufl&ouml;sungen Investitionsabzugsbetrag</b></td></tr>\n") + aufloesungZeilen +
                betragZeile(QStringLiteral("Summe Aufl&ouml;sungen Investitionsabzugsbetrag"), y);
    return html + betragZeile(g < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), g, true);
}

QString offeneBuchungenHtml(const KontoGlobal& kg) {
    const bool offen = kg.getJahresabschluss() == 0;
    const QList<Startseite::FaelligeBuchung> liste = Startseite::faelligeBuchungen(kg, zDate::today());
    if (liste.isEmpty())
        return QStringLiteral("<tr><td>Zurzeit liegen keine noch nicht verbuchten ") +
               (offen ? QStringLiteral("$DLG(KONT_A[M]\\BUCH010[2](3),regelm&auml;&szlig;ige&nbsp;Buchungen)")
                      : QStringLiteral("regelm&auml;&szlig;ige Buchungen")) +
               QStringLiteral(" vor.</td></tr>");
    QString h = QStringLiteral("<tr><td><b><u> ") +
                (offen ? QStringLiteral("$DLG(KONT_A[M]\\BUCH010[2](3),Ausstehende regelm&auml;&szlig;ige&nbsp;Buchungen)")
                       : QStringLiteral("Ausstehende regelm&auml;&szlig;ige Buchungen")) +
                QStringLiteral("</u></b></td><td class=\"rechts\">") +
                (offen ? QStringLiteral("<a href=\"javascript:doRegelmaessigBuchen()\">jetzt&nbsp;erzeugen</a>") : QString()) +
                QStringLiteral("</td></tr>\n");
    unsigned long vorlage = 0;
    for (const Startseite::FaelligeBuchung& f : liste) {
        if (f.vorlage != vorlage) {
            vorlage = f.vorlage;
            h += QStringLiteral("<tr><td colspan=\"2\"><b>Vorlage ") + QString::number(f.vorlage) + QStringLiteral(": (") +
                 f.belegdatum.getText() + QStringLiteral(") ") + Startseite::html(f.buchungstext) + QStringLiteral(" (Konten: ") +
                 Startseite::html(f.konten) + QStringLiteral(")</b></td></tr>\n");
        }
        h += betragZeile(f.belegdatum.getText() + QStringLiteral(" (Wertstellungsdatum: ") + f.zahlungsdatum.getText() + QLatin1Char(')'),
                         f.betrag);
        h += QLatin1Char('\n');
    }
    return h;
}

QString offeneRechnungenHtml(const KontoGlobal& kg) {
    const QList<Startseite::OffeneRechnung> liste = Startseite::offeneRechnungen(kg);
    if (liste.isEmpty()) return QStringLiteral("<tr><td>Derzeit liegen keine offenen Rechnungen vor.</td></tr>");
    QString h = QStringLiteral(
        "<script type=\"text/javascript\">\n"
        "function showTable(t) { t.style.display = ''; }\n"
        "function hideAllTables() { var l = document.getElementsByClassName('rs-containing-details');"
        " for (var i = 0; i < l.length; ++i) l[i].style.display = 'none'; }\n"
        "function onDetailsClicked(a) { var t = a.parentNode.parentNode.nextElementSibling.getElementsByClassName('rs-containing-details')[0];"
        " if (a.innerHTML == 'Details anzeigen') { hideAllTables(); showTable(t); a.innerHTML = 'Details ausblenden'; }"
        " else { t.style.display = 'none'; a.innerHTML = 'Details anzeigen'; } return false; }\n"
        "</script>\n<style type=\"text/css\">\n.rs-containing-details { display: none; }\n"
        ".show-hide-details-table { font-size: smaller; }\n</style>\n");
    auto detail = [](const QString& label, const QString& wert) {
        return QStringLiteral("<tr><td>") + label + QStringLiteral("</td><td class=\"rechts\">") + wert + QStringLiteral("</td></tr>\n");
    };
    auto euro = [](const EuroType& b) { return b.getText() + QStringLiteral("&nbsp;&euro;"); };
    EuroType netto, steuer, brutto, offen;
    for (int i = 0; i < liste.size(); ++i) {
        const Startseite::OffeneRechnung& r = liste[i];
        if (i > 0) h += QStringLiteral("<tr><td colspan=\"2\"><hr /></td></tr>\n");
        h += QStringLiteral("<tr><td>") + Startseite::html(r.kunde) + QStringLiteral("&nbsp;(Rechnung:&nbsp;") + Startseite::html(r.nummer) +
             QStringLiteral(")</td><td class=\"rechts\">") + euro(r.offen) + QStringLiteral("</td></tr>\n<tr><td colspan=\"2\">") +
             QStringLiteral("<a class=\"show-hide-details-table\" href=\"#\" onclick=\"javascript:onDetailsClicked(this)\">Details anzeigen</a>\n") +
             QStringLiteral("</td></tr>\n<tr><td colspan=\"2\"><table class=\"rs-containing-details\">\n");
        h += detail(QStringLiteral("Kunde:"), Startseite::html(r.kunde)) + detail(QStringLiteral("Kundennummer:"), Startseite::html(r.kundennummer)) +
             detail(QStringLiteral("Saldo:"), euro(r.offen)) + detail(QStringLiteral("Kreditlimit:"), QString()) +
             detail(QStringLiteral("Rechnungsnummer:"), Startseite::html(r.nummer)) + detail(QStringLiteral("Rechnungsdatum:"), r.datum.getText());
        if (r.neuesZahlungsziel.isValid())
            h += detail(QStringLiteral("Urspr&uuml;ngliches Zahlungsziel:"), r.zahlungsziel.getText()) +
                 detail(QStringLiteral("Neues Zahlungsziel:"), r.neuesZahlungsziel.getText());
        else
            h += detail(QStringLiteral("Zahlungsziel:"), r.zahlungsziel.getText());
        h += detail(QStringLiteral("Mahnstufe:"), Startseite::html(r.mahnstufe)) + detail(QStringLiteral("Rechnungsbetrag:"), euro(r.endsumme)) +
             detail(QStringLiteral("Summe Netto"), euro(r.netto)) + detail(QStringLiteral("Summe Mehrwertsteuer"), euro(r.steuer)) +
             detail(QStringLiteral("Summe Brutto"), euro(r.brutto)) + detail(QStringLiteral("Anzahlung"), euro(r.anzahlung)) +
             detail(QStringLiteral("Versandkosten Netto"), euro(r.versandNetto)) +
             detail(QStringLiteral("Versandkosten Mehrwertsteuer (") + QString::number(r.versandSatz) + QStringLiteral("%)"), euro(r.versandSteuer)) +
             detail(QStringLiteral("Versandkosten Brutto"), euro(r.versandBrutto)) + detail(QStringLiteral("Mahngeb&uuml;hren"), euro(r.mahngebuehren)) +
             detail(QStringLiteral("Endsumme"), euro(r.endsumme + r.mahngebuehren)) + QStringLiteral("</table></td></tr>\n");
        netto += r.netto + r.versandNetto;
        steuer += r.steuer + r.versandSteuer;
        brutto += r.endsumme;
        offen += r.offen;
    }
    h += QStringLiteral("<tr><td colspan=\"2\"><hr /></td></tr>\n") + betragZeile(QStringLiteral("Gesamtsumme Netto"), netto) +
         betragZeile(QStringLiteral("Gesamtsumme Mehrwertsteuer"), steuer) + betragZeile(QStringLiteral("Gesamtsumme Brutto"), brutto) +
         betragZeile(QStringLiteral("Gesamte offene Summe"), offen);
    return h;
}

bool Parser::antworten(QString* ergebnis, int* status) {
    QString text = m_argumente;
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    m_teile = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (m_teile.isEmpty()) return fehlschlag(QStringLiteral("Parserfunktion $GETKONT wurde ohne Parameter aufgerufen!"));
    const QString kw = teil(0);
    *status = 2;
    const bool f = m_formatiert;
    auto wert = [&](const QString& w) {
        *ergebnis = w;
        if (!f) *status = 1;
        return true;
    };
    auto kontoMitName = [&](unsigned long nr) {
        if (!f) return wert(QString::number(nr));
        *ergebnis = nr == 0 ? QStringLiteral("nicht gesetzt")
                            : QString::number(nr) + QLatin1Char(' ') + Startseite::html(KontoGlobal::getKontobezeichnung(nr, 0, m_db));
        return true;
    };

    if (kw == QLatin1String("KASSENKONTO")) return kontoMitName(m_kg.getKassenkonto() > 0 ? m_kg.getKassenkonto() : 0);
    if (kw == QLatin1String("JAHRESABSCHLUSS")) return wert(QString::number(m_kg.getJahresabschluss()));
    if (kw == QLatin1String("JAHRESABSCHLUSSGRUND")) {
        unsigned long n = 0;
        if (!teil(1).isEmpty() && !zahl(teil(1), &n))
            return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(JAHRESABSCHLUSSGRUND) mit falschem Parameter: $GETKONT(%1). "
                                             "Bitte eine Zahl angeben!"));
        *ergebnis = f ? Startseite::html(m_kg.getJahresabschlussgrund(int(n))) : m_kg.getJahresabschlussgrund(int(n));
        return true;
    }
    if (kw == QLatin1String("STEUERJAHR")) return wert(QString::number(m_kg.getSteuerjahr()));
    if (kw == QLatin1String("USTPFLICHT")) return wert(m_kg.getUstPflicht() ? QStringLiteral("1") : QStringLiteral("0"));
    // Without the case's database nothing else can be answered; the start
    // page then shows an empty field, which is no failure.
    if (!m_db) return true;

    if (kw == QLatin1String("KONTENPLAN")) {
        *ergebnis = f ? Startseite::html(m_kg.getKontenplanName()) : m_kg.getKontenplanName();
        return true;
    }
    if (kw == QLatin1String("FESTGESCHRIEBEN_BIS")) {
        *ergebnis = datum(KontoGlobal::getFestgeschriebenBis(), QStringLiteral("nicht festgeschrieben"), status, 2);
        return true;
    }
    if (kw == QLatin1String("GEWINN") || kw == QLatin1String("EINNAHMEN") || kw == QLatin1String("AUSGABEN")) {
        const int art = kw == QLatin1String("GEWINN") ? 0 : kw == QLatin1String("EINNAHMEN") ? 1 : 2;
        const EuroType b = KontoGlobal::getGewinn(m_db, false, art);
        if (f && teil(1) == QLatin1String("mitBezeichnung")) {
            *ergebnis = art == 0 ? betragZeile(b < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), b, true)
                                 : betragZeile(art == 1 ? QStringLiteral("Einnahmen") : QStringLiteral("Ausgaben"), b);
            return true;
        }
        m_betrag = b;
        m_hatBetrag = !f;
        return wert(b.getText());
    }
    if (kw == QLatin1String("KONTONAME")) {
        unsigned long k = 0;
        if (!kontoParameter(kw, &k)) return false;
        const QString name = KontoGlobal::getKontobezeichnung(k, 0, m_db);
        *ergebnis = f ? Startseite::html(name) : name;
        return true;
    }
    if (kw == QLatin1String("SPEZIALKONTO")) {
        unsigned long k = 0;
        if (!kontoParameter(kw, &k)) return false;
        return kontoMitName(m_kg.getSpezialKonto(k));
    }
    if (kw == QLatin1String("SALDO")) return saldo(ergebnis, status);
    if (kw == QLatin1String("EUR")) {
        int von = 1, bis = 12;
        const QString zeitraum = teil(2).toUpper();
        if (!zeitraum.isEmpty()) {
            unsigned long n = 0;
            const bool monat = zeitraum == QLatin1String("MONATLICH"), quartal = zeitraum == QLatin1String("VIERTELJAEHRLICH");
            if ((!monat && !quartal) || !zahl(teil(3), &n) || n < 1 || n > (monat ? 12u : 4u))
                return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT(EUR) mit falschem Parameter: $GETKONT(%1). Bitte "
                                                 "MONATLICH mit einem Monat 1 bis 12 oder VIERTELJAEHRLICH mit einem Quartal 1 bis 4 angeben!"));
            von = monat ? int(n) : int(n) * 3 - 2;
            bis = monat ? int(n) : int(n) * 3;
        }
        *ergebnis = eur(teil(1) == QLatin1String("1"), von, bis);
        return true;
    }
    if (kw == QLatin1String("OFFENEBUCHUNGEN")) {
        *ergebnis = offeneBuchungenHtml(m_kg);
        return true;
    }
    if (kw == QLatin1String("EXISTS_IN_KATEGORIE")) {
        QList<unsigned long> kategorien;
        bool leer = false;
        if (!listeLesen(1, kKategorienBereich, &kategorien, &leer)) return false;
        QStringList in;
        for (unsigned long k : kategorien) in << sqlZahl(k);
        const bool da = !leer && !GetDatenTyp(m_db, QStringLiteral("SELECT 1 FROM eurVerbuchtBuchungszeilen z JOIN eurKontenplan kp ON "
                                                                   "kp.Nummer=z.Konto WHERE kp.Kategorie IN (") +
                                                        in.join(QLatin1Char(',')) + QStringLiteral(") LIMIT 1"))
                                             .isNull();
        return wert(da ? QStringLiteral("1") : QStringLiteral("0"));
    }
    if (kw == QLatin1String("JAHR_ABGESCHLOSSEN")) return wert(m_kg.istJahrAbgeschlossen() ? QStringLiteral("1") : QStringLiteral("0"));
    if (kw == QLatin1String("KASSEABGESCHLOSSENBIS")) {
        unsigned long k = m_kg.getKassenkonto() > 0 ? unsigned(m_kg.getKassenkonto()) : 0;
        if (!teil(1).isEmpty() && !kontoParameter(kw, &k)) return false;
        *ergebnis = datum(KontoGlobal::getKasseAbgeschlossenBis(k), QStringLiteral("noch nicht abgeschlossen"), status, 3);
        return true;
    }
    if (kw == QLatin1String("OFFENERECHNUNGEN")) {
        *ergebnis = offeneRechnungenHtml(m_kg);
        return true;
    }
    if (kw == QLatin1String("ANZAHL_BANKKONTEN")) {
        static const QMap<QString, int> arten = {{QStringLiteral("BANKING_ONLINE"), 1},
                                                 {QStringLiteral("BANKING_TALVERIS"), 2},
                                                 {QStringLiteral("BANKING_CSVDATEI"), 4},
                                                 {QStringLiteral("BANKING_BANKX"), 16}};
        QString sql = QStringLiteral("SELECT COUNT(*) FROM eurBankverbindung ");
        if (arten.contains(teil(1))) sql += QStringLiteral(" WHERE OnlineArt=") + sqlZahl(unsigned(arten.value(teil(1))));
        return wert(QString::number(GetDatenTyp(m_db, sql).toInt()));
    }
    if (kw == QLatin1String("EURUID")) {
        *ergebnis = m_kg.getEurUID();
        return true;
    }
    return fehlschlag(QStringLiteral("Aufruf der Parserfunktion $GETKONT mit unbekannter Funktion: $GETKONT(%1)!"));
}
}  // namespace

void KontoGlobal::kontParser(const QString& argumente, bool formatiert, QString& ergebnis, int& status, QString* fehler) {
    ergebnis.clear();
    status = 0;
    Parser p(*this, argumente, formatiert);
    if (p.antworten(&ergebnis, &status)) {
        if (fehler) fehler->clear();
        return;
    }
    ergebnis.clear();
    status = 0;
    rs_logAssert(kQuelle, __LINE__, p.fehler());
    if (fehler) *fehler = p.fehler();
}

bool KontoGlobal::kontParserBetrag(const QString& argumente, EuroType* betrag, QString* fehler) {
    // The amount itself, not its text read back: a sum may exceed what
    // input accepts, and the text of a figure is for reading.
    QString ergebnis;
    int status = 0;
    Parser p(*this, argumente, false);
    if (!p.antworten(&ergebnis, &status)) {
        rs_logAssert(kQuelle, __LINE__, p.fehler());
        if (fehler) *fehler = p.fehler();
        return false;
    }
    if (p.betrag(betrag)) return true;
    if (fehler) *fehler = QStringLiteral("$GETKONT(%1) lieferte keinen Betrag: „%2“.").arg(argumente, ergebnis);
    return false;
}
