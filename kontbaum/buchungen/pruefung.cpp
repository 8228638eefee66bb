// The self-check of bookings: header, line and closing checks. It never
// changes data; findings go to the assertion log and back to the caller.
//
// The ledger is read in one pass: the headers ordered by number and, in step
// with them, all lines in the order of their index (number, SteuerID, ID).
// The checks walk a booking's lines by SteuerID, key and ID; that order is
// made per booking here, on a handful of lines, instead of by a sort in the
// database over the whole table. Only one booking's lines are held at a
// time, and the chart and key look-ups a rule needs are asked once per
// account or key and remembered for the rest of the pass, so the check costs
// two statements however long the ledger is.
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QHash>
#include <QLocale>
#include <QMap>
#include <QPair>

#include <algorithm>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/pruefung");

// The header columns the checks read, in the order of kKopfSpalten.
enum KopfSpalte { kNr, kHerkunft, kStorno, kBetrag, kArt, kZMArt, kUStID, kDreieck, kBeleg, kPeriode, kStapel, kStorniert,
                  kZahlung, kBuchung, kNetto };
const char kKopfSpalten[] =
    "Buchungsnummer, Herkunft, Storno, Betrag, Buchungsart, ZMArt, UStID, Dreieck, Belegdatum, Periode, Stapel, Storniert, "
    "Zahlungsdatum, Buchungsdatum, Netto";
// The line columns, Buchungsnummer first so that the reader can keep step.
enum ZeilenSpalte { zNr, zID, zSteuerID, zDialogzeile, zBetrag, zHaben, zKonto, zSchluessel, zGegen, zKostenstelle, zOpos, zSplitt,
                    zSplittBetrag, zSplittNetto, zViaProzent, zProzent, zRest };
const char kZeilenSpalten[] =
    "Buchungsnummer, ID, SteuerID, Dialogzeile, Betrag, Haben, Konto, Steuerschluessel, Gegenkonto, Kostenstelle, OPOSNummer, "
    "Splitt, SplittBetrag, SplittNetto, AufteilungViaProzent, AufteilungProzentsatz, RestBeiProzent";

struct Zeile {
    long long id = 0;
    unsigned long steuerID = 0;
    int dialogzeile = 0;
    EuroType betrag;
    bool haben = false;
    unsigned long konto = 0, schluessel = 0, gegen = 0;
    QString kostenstelle, opos;
    bool splitt = false;
    EuroType splittBetrag;
    bool splittNetto = false, viaProzent = false;
    double prozent = 0;
    bool rest = false;
    DatenTyp steuerIDWert, schluesselWert;  // as stored, for the order of the lines
};

bool istSteuer(const Zeile& z) { return z.schluessel == 999999; }

Zeile leseZeile(const rsFields& f) {
    Zeile z;
    z.id = f.getField(zID).toLongLong();
    z.steuerID = f.getField(zSteuerID).toULong();
    z.dialogzeile = f.getField(zDialogzeile).toInt();
    z.betrag = f.getField(zBetrag).toEuro();
    z.haben = f.getField(zHaben).toBool();
    z.konto = f.getField(zKonto).toULong();
    z.schluessel = f.getField(zSchluessel).toULong();
    z.gegen = f.getField(zGegen).toULong();
    z.kostenstelle = f.getField(zKostenstelle).toString();
    z.opos = f.getField(zOpos).toString();
    z.splitt = f.getField(zSplitt).toLongLong() != 0;
    z.splittBetrag = f.getField(zSplittBetrag).toEuro();
    z.splittNetto = f.getField(zSplittNetto).toBool();
    z.viaProzent = f.getField(zViaProzent).toBool();
    z.prozent = f.getField(zProzent).toDouble();
    z.rest = f.getField(zRest).toBool();
    z.steuerIDWert = f.getField(zSteuerID);
    z.schluesselWert = f.getField(zSchluessel);
    return z;
}

// SQLite's order of two stored values (BINARY collation): NULL first, then
// numbers by value, then texts byte by byte in UTF-8, then blobs.
int sqlVergleich(const DatenTyp& a, const DatenTyp& b) {
    auto klasse = [](const DatenTyp& v) {
        switch (v.art()) {
        case DatenTyp::Null: return 0;
        case DatenTyp::Text:
        case DatenTyp::Datum: return 2;
        case DatenTyp::Blob: return 3;
        default: return 1;
        }
    };
    const int ka = klasse(a), kb = klasse(b);
    if (ka != kb) return ka < kb ? -1 : 1;
    switch (ka) {
    case 0: return 0;
    case 1:
        if (a.art() == DatenTyp::Int && b.art() == DatenTyp::Int)
            return a.toLongLong() < b.toLongLong() ? -1 : a.toLongLong() > b.toLongLong() ? 1 : 0;
        return a.toDouble() < b.toDouble() ? -1 : a.toDouble() > b.toDouble() ? 1 : 0;
    case 2: {
        const QByteArray x = a.toString().toUtf8(), y = b.toString().toUtf8();
        return x < y ? -1 : y < x ? 1 : 0;
    }
    default: {
        const QByteArray x = a.toBlob(), y = b.toBlob();
        return x < y ? -1 : y < x ? 1 : 0;
    }
    }
}

// The lines of one booking come in index order (SteuerID, ID); the checks
// want them by SteuerID, key, ID. Posting writes a group's base line before
// its tax line, so the order is almost always right already; otherwise a
// stable sort by SteuerID and key gives it without touching the database.
void ordneZeilen(QVector<Zeile>& zeilen) {
    auto vor = [](const Zeile& a, const Zeile& b) {
        const int s = sqlVergleich(a.steuerIDWert, b.steuerIDWert);
        return s != 0 ? s < 0 : sqlVergleich(a.schluesselWert, b.schluesselWert) < 0;
    };
    if (!std::is_sorted(zeilen.cbegin(), zeilen.cend(), vor)) std::stable_sort(zeilen.begin(), zeilen.end(), vor);
}

// Where a line of the ordered line cursor stands relative to a header
// number: the header keys are integers, so a line belongs to a booking only
// when its number is the same integer (as "Buchungsnummer=n" in SQL would
// find it). NULL sorts before every number and text after, so both are
// passed over or never reached.
enum class Stand { Davor, Gleich, Dahinter };
Stand standZu(const DatenTyp& zeilenNr, qlonglong nr) {
    switch (zeilenNr.art()) {
    case DatenTyp::Null: return Stand::Davor;
    case DatenTyp::Int: {
        const qlonglong n = zeilenNr.toLongLong();
        return n < nr ? Stand::Davor : n == nr ? Stand::Gleich : Stand::Dahinter;
    }
    case DatenTyp::Double: {
        const double n = zeilenNr.toDouble();
        return n < double(nr) ? Stand::Davor : n == double(nr) ? Stand::Gleich : Stand::Dahinter;
    }
    default: return Stand::Dahinter;
    }
}

class Pruefer {
public:
    Pruefer(DBConnection* db, const QString& tabelle)
        : m_db(db), m_tabelle(tabelle), m_ustPflichtig(KontoGlobal::istUstPflichtig(db)) {
        KontoGlobal* kg = GetKontoGlobal(-1, false);
        m_jahr = kg ? kg->getSteuerjahr() : 2016;
    }

    QStringList befunde;

    // One booking: its header row and all its lines in check order.
    void pruefe(const rsFields& kopf, const QVector<Zeile>& zeilen);

private:
    // A failed check: the condition for the log, the message for the user.
    void fehler(int zeile, const QString& bedingung, const QString& text) {
        rs_logAssert(kQuelle, zeile, bedingung);
        rs_logError(kQuelle, zeile, text);
        befunde << text;
    }
    QString kopfText(const QString& weiter) const {
        return QStringLiteral(" - Fehler in der Buchung %1 (Herkunft: %2) in Tabelle %3")
                   .arg(m_nr)
                   .arg(KontoGlobal::herkunftToString(m_herkunft), m_tabelle) +
               weiter;
    }
    QString zeilenText(const Zeile& z, const QString& weiter) const {
        return QStringLiteral(" - Fehler in der Buchung %1 (Herkunft: %2) in Tabelle %3 (ID=%4)")
                   .arg(m_nr)
                   .arg(KontoGlobal::herkunftToString(m_herkunft), m_tabelle)
                   .arg(z.id) +
               weiter;
    }
    KontoGlobal::ssDaten schluesselDaten(unsigned long s) {
        auto it = m_schluessel.constFind(s);
        if (it != m_schluessel.constEnd()) return *it;
        return *m_schluessel.insert(s, KontoGlobal::calcSteuerschluessel(m_db, s, EuroType(), false, 2));
    }
    // The chart look-ups below are asked once per account (and key or
    // kind) in a pass; a ledger names a few hundred accounts at most.
    bool passtZurArt(unsigned long konto, int art, bool geldSeite) {
        const QPair<unsigned long, qint64> schluessel(konto, qint64(art) * 2 + (geldSeite ? 1 : 0));
        auto it = m_passt.constFind(schluessel);
        if (it != m_passt.constEnd()) return *it;
        QString geld, gegen;
        KontoGlobal::calcKontoWhere(m_db, art, geld, gegen);
        const bool passt = GetDatenTyp(m_db, QStringLiteral("SELECT MAX(Nummer) FROM eurKontenplan WHERE Nummer=") +
                                                 rsDataSource::toSqlStr(konto) + QStringLiteral(" AND ") + (geldSeite ? geld : gegen))
                               .toULong() != 0;
        m_passt.insert(schluessel, passt);
        return passt;
    }
    int schluesselRegel(unsigned long konto, unsigned long schluessel) {
        const QPair<unsigned long, unsigned long> k(konto, schluessel);
        auto it = m_regel.constFind(k);
        if (it != m_regel.constEnd()) return *it;
        return *m_regel.insert(k, KontoGlobal::isSteuerschluesselOK(konto, schluessel, m_db));
    }
    // 0 not in the chart, 1 inactive, 2 active.
    int kontoStand(unsigned long konto) {
        auto it = m_konto.constFind(konto);
        if (it != m_konto.constEnd()) return *it;
        bool aktiv = false;
        const int stand = !KontoGlobal::existsKonto(konto, false, &aktiv) ? 0 : aktiv ? 2 : 1;
        return *m_konto.insert(konto, stand);
    }

    DBConnection* m_db;
    QString m_tabelle;
    int m_jahr = 2016;
    unsigned long m_nr = 0, m_herkunft = 0;
    QHash<unsigned long, KontoGlobal::ssDaten> m_schluessel;
    bool m_ustPflichtig;
    QHash<QPair<unsigned long, qint64>, bool> m_passt;
    QHash<QPair<unsigned long, unsigned long>, int> m_regel;
    QHash<unsigned long, int> m_konto;
};

void Pruefer::pruefe(const rsFields& k, const QVector<Zeile>& zeilen) {
    m_nr = k.getField(kNr).toULong();
    m_herkunft = k.getField(kHerkunft).toULong();
    const bool storno = k.getField(kStorno).toLongLong() != 0;
    const EuroType betrag = k.getField(kBetrag).toEuro();
    const int art = k.getField(kArt).toInt();
    const int zmart = k.getField(kZMArt).toInt();
    const QString ustid = k.getField(kUStID).toString().trimmed();
    const bool dreieck = k.getField(kDreieck).toBool();
    const zDate beleg = k.getField(kBeleg).toDate();
    const int jahr = m_jahr;

    // --- header --------------------------------------------------------------
    if (k.getField(kPeriode).toLongLong() != 0)
        fehler(__LINE__, QStringLiteral("Periode == 0"), kopfText(QStringLiteral(": Das Feld 'Periode' wird nicht genutzt und muss 0 sein!")));
    if (k.getField(kStapel).toLongLong() != 0)
        fehler(__LINE__, QStringLiteral("Stapel == 0"), kopfText(QStringLiteral(": Das Feld 'Stapel' ist veraltet und muss 0 sein!")));
    if (storno && k.getField(kStorniert).toLongLong() != 0)
        fehler(__LINE__, QStringLiteral("!(Storno && Storniert)"),
               kopfText(QStringLiteral(": Das Feld 'Storno' und 'Storniert' darf nicht gleichzeitig gesetzt sein!")));
    if (betrag.isNull())
        fehler(__LINE__, QStringLiteral("Betrag != 0"), kopfText(QStringLiteral(": Der Betrag darf bei einer Buchung nicht 0 sein!")));
    // A cancellation carries the negated amounts of what it cancels.
    else if (storno ? betrag > EuroType() : betrag < EuroType())
        fehler(__LINE__, QStringLiteral("Betrag >= 0"),
               kopfText(QStringLiteral(": Der Betrag (%4) darf nicht negativ sein!").arg(betrag.getText())));
    if (!beleg.isValid())
        fehler(__LINE__, QStringLiteral("Belegdatum.isValid()"),
               kopfText(QStringLiteral(": Das Belegdatum (= Wertstellungsdatum) muss gesetzt sein!")));
    if (!k.getField(kZahlung).toDate().isValid())
        fehler(__LINE__, QStringLiteral("Zahlungsdatum.isValid()"), kopfText(QStringLiteral(": Das Zahlungsdatum muss gesetzt sein!")));
    if (!k.getField(kBuchung).toDate().isValid())
        fehler(__LINE__, QStringLiteral("Buchungsdatum.isValid()"), kopfText(QStringLiteral(": Das Buchungsdatum muss gesetzt sein!")));
    if (beleg.isValid() && beleg.year() != jahr)
        fehler(__LINE__, QStringLiteral("Belegdatum.year() == Steuerjahr"),
               kopfText(QStringLiteral(": Das Belegdatum (= Wertstellungsdatum) (%4) liegt nicht im Steuerjahr (%5)!")
                            .arg(beleg.getText())
                            .arg(jahr)));
    if (art < 0 || art > 6)
        fehler(__LINE__, QStringLiteral("0 <= Buchungsart <= 6"), kopfText(QStringLiteral(": Unbekannte Buchungsart (%4)!").arg(art)));
    if (art == 0) fehler(__LINE__, QStringLiteral("Buchungsart != 0"), kopfText(QStringLiteral(": Die Buchungsart muss gesetzt sein!")));
    if (!ustid.isEmpty() && zmart == 0)
        fehler(__LINE__, QStringLiteral("UStID -> ZMArt"),
               kopfText(QStringLiteral(": 'UStID' ist gesetzt, es ist aber keine ZMArt angegeben!")));
    if (zmart < 0 || zmart > 3)
        fehler(__LINE__, QStringLiteral("0 <= ZMArt <= 3"), kopfText(QStringLiteral(": Unbekannte ZMArt (%4)!").arg(zmart)));
    if ((dreieck || zmart != 0) && ustid.isEmpty())
        fehler(__LINE__, QStringLiteral("(Dreieck || ZMArt) -> UStID"),
               kopfText(QStringLiteral(": Wenn 'Dreieck' (%4) oder 'ZMArt' (%5) gesetzt ist muss auch eine UStID angegeben werden!")
                            .arg(dreieck ? 1 : 0)
                            .arg(zmart)));

    if (zeilen.isEmpty()) {
        fehler(__LINE__, QStringLiteral("anzahlZeilen > 0"), kopfText(QStringLiteral(": Keine Eintraege in der Tabelle gefunden!")));
        return;
    }
    bool gesplittet = false, alleSplitt = true;
    int splittDialogzeile = 0;
    for (const Zeile& z : zeilen) {
        if (z.splitt) {
            gesplittet = true;
            splittDialogzeile = qMax(splittDialogzeile, z.dialogzeile);
        } else {
            alleSplitt = false;
        }
    }
    if (gesplittet && splittDialogzeile == 0)
        fehler(__LINE__, QStringLiteral("splittDialogzeile != 0"),
               kopfText(QStringLiteral(": Die Splittbuchungen sind keiner Dialogzeile zugeordnet!")));
    if (alleSplitt)
        fehler(__LINE__, QStringLiteral("!alleSplitt"),
               kopfText(QStringLiteral(": Bei dieser Buchung ist bei allen Teilbuchungen Splitt gesetzt. Es duerfen aber nicht beide "
                                       "Seiten gesplittet sein!")));

    // The base line of each SteuerID (the line with a real key, else the
    // first non-tax line) and the side of each dialog line.
    QHash<unsigned long, const Zeile*> basis;
    for (const Zeile& z : zeilen)
        if (!istSteuer(z) && (!basis.contains(z.steuerID) || z.schluessel != 0)) basis.insert(z.steuerID, &z);
    int seite[3] = {-1, -1, -1};
    for (const Zeile& z : zeilen)
        if (z.dialogzeile >= 1 && z.dialogzeile <= 2 && seite[z.dialogzeile] < 0) seite[z.dialogzeile] = z.haben ? 1 : 0;
    int splittSeite = -1;
    for (const Zeile& z : zeilen)
        if (z.splitt && splittSeite < 0) splittSeite = z.haben ? 1 : 0;

    // --- lines -----------------------------------------------------------------
    const bool einnahmeSeite = art == 1 || art == 5;   // income, refund of an expense
    const bool ausgabeSeite = art == 2 || art == 4;    // expense, refund of income
    const QString artText = KontoGlobal::getBuchungsartText(art, 0);
    for (const Zeile& z : zeilen) {
        auto f = [&](int zeile, const char* bed, const QString& weiter) { fehler(zeile, QString::fromLatin1(bed), zeilenText(z, weiter)); };
        if (!z.kostenstelle.isEmpty())
            f(__LINE__, "Kostenstelle.isEmpty()",
              QStringLiteral(": Das Feld 'Kostenstelle' (Inhalt='%5') wird nicht genutzt und muss leer sein!").arg(z.kostenstelle));
        if (!z.opos.isEmpty())
            f(__LINE__, "OPOSNummer.isEmpty()",
              QStringLiteral(": Das Feld 'OPOSNummer' (Inhalt='%5') wird nicht genutzt und muss leer sein!").arg(z.opos));
        if (z.id == 0) f(__LINE__, "ID != 0", QStringLiteral(": ID nicht gesetzt!"));
        if (istSteuer(z) && z.dialogzeile != 0)
            f(__LINE__, "Steuerbuchung -> Dialogzeile == 0", QStringLiteral(": Dialogzeile darf bei Steuerbuchungen nicht gesetzt sein!"));
        if (!istSteuer(z) && z.dialogzeile == 0)
            f(__LINE__, "Dialogzeile != 0", QStringLiteral(": Dialogzeile muss gesetzt sein!"));
        if (z.dialogzeile == 2 && seite[2] >= 0 && (z.haben ? 1 : 0) != seite[2])
            f(__LINE__, "Haben(Zeile 2) einheitlich", QStringLiteral(": Haben ist nicht bei allen Teilbuchungen zu Zeile 2 gleich!"));
        if (z.dialogzeile == 1 && seite[1] >= 0 && (z.haben ? 1 : 0) != seite[1])
            f(__LINE__, "Haben(Zeile 1) einheitlich", QStringLiteral(": Haben ist nicht bei allen Teilbuchungen zu Zeile 1 gleich!"));

        const Zeile* b = basis.value(z.steuerID, nullptr);
        if (istSteuer(z)) {
            if (!b || b->schluessel == 0) {
                f(__LINE__, "Steuerbuchung -> Hauptbuchung mit Steuerschluessel",
                  QStringLiteral(": Es handel sich bei dieser Teilbuchung um eine Steuerbuchung (%5), aber es gibt keine Teilbuchung zur "
                                 "gleichen SteuerID (%6) bei der ein Steuerschluessel gesetzt ist.!")
                      .arg(z.konto)
                      .arg(z.steuerID));
            } else {
                const KontoGlobal::ssDaten d = schluesselDaten(b->schluessel);
                if (z.konto == d.steuerkonto) {
                    if (z.haben != b->haben)
                        f(__LINE__, "Steuerbuchung.Haben == Hauptbuchung.Haben",
                          QStringLiteral(": Bei einer Steuerbuchung muss Haben gleich der Hauptbuchung sein!"));
                } else if (d.steuerkonto2 != 0 && z.konto == d.steuerkonto2) {
                    if (z.haben == b->haben)
                        f(__LINE__, "Steuerbuchung2.Haben != Hauptbuchung.Haben",
                          QStringLiteral(": Bei einer Steuerbuchung im IG-Erwerb muss Haben ungleich der Hauptbuchung sein!"));
                } else if (!m_ustPflichtig && d.steuerkonto2 != 0 && z.konto == b->konto) {
                    // A small business keeps the tax it owes but may not
                    // deduct on the expense itself.
                    if (z.haben != b->haben)
                        f(__LINE__, "Steuerbuchung.Haben == Hauptbuchung.Haben",
                          QStringLiteral(": Bei einer Steuerbuchung muss Haben gleich der Hauptbuchung sein!"));
                } else if (d.steuerkonto2 == 0) {
                    f(__LINE__, "Steuerbuchung.Konto == Steuerkonto",
                      QStringLiteral(": Das Steuerkonto %5 passt nicht zum Steuerkonto %6 des Steuerschluessels %7 der Hauptbuchung!")
                          .arg(z.konto)
                          .arg(d.steuerkonto)
                          .arg(b->schluessel));
                } else {
                    f(__LINE__, "Steuerbuchung.Konto == Steuerkonto2",
                      QStringLiteral(": Das Steuerkonto %5 passt nicht zum Steuerkonto2 %6 des Steuerschluessels %7 der Hauptbuchung!")
                          .arg(z.konto)
                          .arg(d.steuerkonto2)
                          .arg(b->schluessel));
                }
            }
        }
        if (z.splitt && splittSeite >= 0 && (z.haben ? 1 : 0) != splittSeite && !istSteuer(z))
            f(__LINE__, "Haben(Splitt) einheitlich", QStringLiteral(": Haben ist nicht bei allen Teilbuchungen des Splitts gleich!"));
        if (z.dialogzeile == 1 && seite[2] >= 0 && seite[1] == seite[2])
            f(__LINE__, "Haben(Zeile 1) != Haben(Zeile 2)",
              QStringLiteral(": Haben der Teilbuchungen zu Zeile 1 und der Teilbuchungen zu Zeile 2 duerfen nicht gleich sein!"));
        if (!istSteuer(z) && z.schluessel != 0 && !m_ustPflichtig && !storno && !k.getField(kStorniert).toBool() &&
            !KontoGlobal::schluesselOhneUstPflicht(m_db, z.schluessel, schluesselDaten(z.schluessel)).isEmpty())
            f(__LINE__, "UstPflicht || Steuerschluessel ohne Vorsteuerabzug",
              QStringLiteral(": Der Fall ist nicht umsatzsteuerpflichtig, aber das Konto %5 ist mit dem Steuerschluessel %6 "
                             "gebucht, der Umsatzsteuer oder Vorsteuer ausweist!")
                  .arg(z.konto)
                  .arg(z.schluessel));
        if (!istSteuer(z) && z.schluessel != 0) {
            switch (schluesselRegel(z.konto, z.schluessel)) {
            case 0: break;
            case 2:
                f(__LINE__, "isSteuerschluesselOK",
                  QStringLiteral(": Das Ausgabekonto %5 darf keinen Umsatzsteuerschluessel (%6) haben!").arg(z.konto).arg(z.schluessel));
                break;
            case 1:
                f(__LINE__, "isSteuerschluesselOK",
                  QStringLiteral(": Das Einnahmekonto %5 darf keinen Vorsteuerschluessel (%6) haben!").arg(z.konto).arg(z.schluessel));
                break;
            default:
                f(__LINE__, "isSteuerschluesselOK",
                  QStringLiteral(": Das Konto %5 darf keinen Steuerschluessel (%6) haben!").arg(z.konto).arg(z.schluessel));
                break;
            }
        }
        if (z.betrag.isNull())
            f(__LINE__, "Betrag != 0", QStringLiteral(": Der Betrag darf bei einer Buchungszeile nicht 0 sein!"));
        else if (storno ? z.betrag > EuroType() : z.betrag < EuroType())
            f(__LINE__, "Betrag > 0", QStringLiteral(": Der Betrag (%5) darf nicht negativ sein!").arg(z.betrag.getText()));
        if (z.konto == 0) {
            f(__LINE__, "Konto != 0", QStringLiteral(": Das Konto ist nicht gesetzt!"));
        } else {
            const int stand = kontoStand(z.konto);
            if (stand == 0)
                f(__LINE__, "existsKonto", QStringLiteral(": Das Konto %5 ist nicht im Kontenplan!").arg(z.konto));
            else if (stand == 1)
                f(__LINE__, "isKontoAktiv", QStringLiteral(": Das Konto %5 ist im Kontenplan aber nicht aktiviert!").arg(z.konto));
        }
        if (!istSteuer(z) && z.dialogzeile == 2) {
            if ((art == 1 || art == 2) && z.konto != 0 && !passtZurArt(z.konto, art, false))
                f(__LINE__, "calcKontoWhere(Gegen)",
                  QStringLiteral(": Das Konto %5 (Kategorie %6) in Dialogzeile 2 passt nicht zur Buchungsart '%7'!")
                      .arg(z.konto)
                      .arg(KontoGlobal::getKategorie(z.konto))
                      .arg(artText));
            if (einnahmeSeite && !z.haben)
                f(__LINE__, "Dialogzeile2.Haben",
                  QStringLiteral(": Bei Einnahmen und Ausgaben-Rückzahlungen muss in Dialogzeile 2 das Sachkonto im Haben stehen!"));
            if (ausgabeSeite && z.haben)
                f(__LINE__, "!Dialogzeile2.Haben",
                  QStringLiteral(": Bei Ausgaben und Einnahme-Rückzahlungen muss in Dialogzeile 2 das Sachkonto im Soll stehen!"));
        }
        if (!istSteuer(z) && z.dialogzeile == 1) {
            if (z.konto != 0 && !passtZurArt(z.konto, art, true))
                f(__LINE__, "calcKontoWhere(Geld)",
                  QStringLiteral(": Das Konto %5 (Kategorie %6) in Dialogzeile 1 passt nicht zur Buchungsart '%7'!")
                      .arg(z.konto)
                      .arg(KontoGlobal::getKategorie(z.konto))
                      .arg(artText));
            if (einnahmeSeite && z.haben)
                f(__LINE__, "!Dialogzeile1.Haben",
                  QStringLiteral(": Bei Einnahmen und Ausgaben-Rückzahlungen muss in Dialogzeile 1 das Finanzkonto im Soll stehen!"));
            if (ausgabeSeite && !z.haben)
                f(__LINE__, "Dialogzeile1.Haben",
                  QStringLiteral(": Bei Ausgaben und Einnahme-Rückzahlungen muss in Dialogzeile 1 das Finanzkonto im Haben stehen!"));
        }
        // Counter accounts and split fields.
        const bool aufSplittSeite = gesplittet && (z.splitt || (z.dialogzeile == splittDialogzeile && z.dialogzeile != 0) ||
                                                   (istSteuer(z) && b && b->splitt));
        if (gesplittet) {
            if (!aufSplittSeite && z.gegen != 0)
                f(__LINE__, "ungesplittet -> Gegenkonto == 0",
                  QStringLiteral(": Bei gesplitteten Buchungen darf die nicht gesplittete Buchungszeile kein Gegenkonto (%5) haben!")
                      .arg(z.gegen));
            if (aufSplittSeite && z.gegen == 0)
                f(__LINE__, "Splitt -> Gegenkonto != 0",
                  QStringLiteral(": Bei gesplitteten Buchungen muessen alle Buchungszeilen des Splitts ein Gegenkonto haben!"));
            if (aufSplittSeite && !z.splitt)
                f(__LINE__, "Splitt gesetzt", QStringLiteral(": Die Buchungszeile gehoert zum Splitt, aber 'Splitt' ist nicht gesetzt!"));
        } else if (z.gegen == 0) {
            f(__LINE__, "Gegenkonto != 0",
              QStringLiteral(": Bei nicht gesplitteten Buchungen muessen alle Buchungszeilen ein Gegenkonto haben!"));
        }
        if (z.gegen != 0) {
            bool gefunden = false;
            for (const Zeile& o : zeilen) gefunden = gefunden || (o.id != z.id && o.konto == z.gegen);
            if (!gefunden)
                f(__LINE__, "Gegenkonto vorhanden", QStringLiteral(": Keine Buchungszeile mit dem Gegenkonto %5 gefunden!").arg(z.gegen));
        }
        if (z.splitt) {
            if (z.splittBetrag.isNull())
                f(__LINE__, "SplittBetrag != 0", QStringLiteral(": 'SplittBetrag' ist bei der Splittbuchung nicht gesetzt!"));
            if (z.viaProzent && z.prozent == 0.0)
                f(__LINE__, "AufteilungProzentsatz != 0",
                  QStringLiteral(": Bei der Splittbuchung ist 'AufteilungViaProzent' gesetzt, aber kein Prozentsatz!"));
        } else {
            if (!z.splittBetrag.isNull())
                f(__LINE__, "SplittBetrag == 0",
                  QStringLiteral(": 'SplittBetrag' (%5) draf bei der Nicht-Splittbuchung nicht gesetzt sein!")
                      .arg(z.splittBetrag.getText()));
            if (z.splittNetto)
                f(__LINE__, "!SplittNetto", QStringLiteral(": 'SplittNetto' draf bei der Nicht-Splittbuchung nicht gesetzt sein!"));
        }
        if (istSteuer(z) && b) {
            // The percentage split is the same on the base line and on its tax line.
            auto gleich = [&](int zeile, const char* bedingung, const char* feld, const auto& basis, const auto& steuer) {
                if (basis != steuer)
                    f(zeile, bedingung,
                      QStringLiteral(": '%8' ist bei Sachkonto und Steuerkonto zu SteuerID %5 nicht gleich (%6 != %7)!")
                          .arg(z.steuerID)
                          .arg(basis)
                          .arg(steuer)
                          .arg(QLatin1String(feld)));
            };
            gleich(__LINE__, "AufteilungViaProzent gleich", "AufteilungViaProzent", b->viaProzent, z.viaProzent);
            gleich(__LINE__, "AufteilungProzentsatz gleich", "AufteilungProzentsatz", b->prozent, z.prozent);
            gleich(__LINE__, "RestBeiProzent gleich", "RestBeiProzent", b->rest, z.rest);
        }
    }

    // --- closing ---------------------------------------------------------------------
    // The booking balances, and its money side (dialog line 1 with its own
    // tax lines) carries the header amount, made gross when it was entered net.
    EuroType soll, haben, geld;
    for (const Zeile& z : zeilen) {
        (z.haben ? haben : soll) += z.betrag;
        if (seite[1] >= 0 && (z.haben ? 1 : 0) == seite[1] && (z.dialogzeile == 1 || (istSteuer(z) && basis.value(z.steuerID) &&
                                                                                       basis.value(z.steuerID)->dialogzeile == 1)))
            geld += z.betrag;
    }
    EuroType erwartet = betrag;
    if (k.getField(kNetto).toBool()) {
        for (const Zeile& z : zeilen)
            if (z.dialogzeile == 2 && !istSteuer(z) && z.schluessel != 0) {
                erwartet = KontoGlobal::calcBruttoNetto(false, betrag, true, schluesselDaten(z.schluessel).steuersatz, false);
                break;
            }
    }
    if (soll != haben || geld != erwartet)
        fehler(__LINE__, QStringLiteral("Summe == Betrag"),
               kopfText(QStringLiteral(": Die Summe (%4) aller Buchungszeilen ist ungleich dem Betrag (%5) der Buchung!")
                            .arg((soll != haben ? soll - haben : geld).getText(), erwartet.getText())));
    int viaProzent = 0, rest = 0;
    for (const Zeile& z : zeilen)
        if (z.splitt && !istSteuer(z)) {
            viaProzent += z.viaProzent ? 1 : 0;
            rest += z.rest ? 1 : 0;
        }
    if (viaProzent > 0 && rest == 0)
        fehler(__LINE__, QStringLiteral("RestBeiProzent >= 1"),
               kopfText(QStringLiteral(": Bei der Splittbuchung wurde 'AufteilungViaProzent' gesetzt aber für keine Teilbuchung "
                                       "'RestBeiProzent'!")));
    if (viaProzent > 0 && rest > 1)
        fehler(__LINE__, QStringLiteral("RestBeiProzent <= 1"),
               kopfText(QStringLiteral(": Bei der Splittbuchung wurde 'AufteilungViaProzent' es wurde aber bei zuvielen Teilbuchungen (%4 "
                                       "Stück) 'RestBeiProzent' gesetzt!")
                            .arg(rest)));
}

bool pruefungAktiv(bool immer) { return immer || GetGlobal().isTestFlag(4); }

bool istTabelle(const QString& t) {
    return t == QLatin1String("eurVerbucht") || t == QLatin1String("eurStapel") || t == QLatin1String("eurBeispiel") ||
           t == QLatin1String("eurUebernahme");
}
}  // namespace

QStringList KontoGlobal::verifyBuchungen(const QString& table, const QString& liste, bool immer) {
    if (!pruefungAktiv(immer)) return {};
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("pDBCon"));
        rs_logError(kQuelle, __LINE__, QStringLiteral("Datenbank-Connection nicht verfuegbar."));
        return {QStringLiteral("Datenbank-Connection nicht verfuegbar.")};
    }
    if (!istTabelle(table)) return {};
    QString bed;
    if (!liste.trimmed().isEmpty()) {
        QStringList nummern;
        for (const QString& t : liste.split(QLatin1Char(','), Qt::SkipEmptyParts)) nummern << QString::number(t.trimmed().toULong());
        bed = QStringLiteral(" WHERE Buchungsnummer IN (") + nummern.join(QLatin1Char(',')) + QStringLiteral(")");
    }
    Pruefer p(db, table);
    rsDataSource kopf(db, QStringLiteral("SELECT ") + QLatin1String(kKopfSpalten) + QStringLiteral(" FROM ") + table + bed +
                              QStringLiteral(" ORDER BY Buchungsnummer"));
    // The order of the index on (Buchungsnummer, SteuerID): no sort at all.
    rsDataSource zeile(db, QStringLiteral("SELECT ") + QLatin1String(kZeilenSpalten) + QStringLiteral(" FROM ") + table +
                               QStringLiteral("Buchungszeilen") + bed + QStringLiteral(" ORDER BY Buchungsnummer, SteuerID, ID"));
    QVector<Zeile> zeilen;
    for (; !kopf.isEOF(); kopf.fetch()) {
        const rsFields& k = *kopf.getFields();
        zeilen.clear();
        // A negative key never finds lines: the number is taken unsigned,
        // as in every other look-up of a booking.
        const qlonglong nr = k.getField(kNr).toLongLong();
        while (nr >= 0 && !zeile.isEOF()) {
            const Stand s = standZu(zeile.getFields()->getField(zNr), nr);
            if (s == Stand::Dahinter) break;
            if (s == Stand::Gleich) zeilen.append(leseZeile(*zeile.getFields()));
            zeile.fetch();
        }
        ordneZeilen(zeilen);
        p.pruefe(k, zeilen);
    }
    if (kopf.isError() || zeile.isError()) {
        const QString t = QStringLiteral("Die Buchungen der Tabelle %1 konnten nicht vollständig gelesen werden.").arg(table);
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("!rs.isError()"));
        rs_logError(kQuelle, __LINE__, t);
        p.befunde << t;
    }
    return p.befunde;
}

QStringList KontoGlobal::verifyBuchung(unsigned long n, const QString& table, bool immer) {
    if (!pruefungAktiv(immer)) return {};
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("pDBCon"));
        rs_logError(kQuelle, __LINE__, QStringLiteral("Datenbank-Connection nicht verfuegbar."));
        return {QStringLiteral("Datenbank-Connection nicht verfuegbar.")};
    }
    if (!istTabelle(table)) return {};
    if (GetDatenTyp(db, QStringLiteral("SELECT MAX(Buchungsnummer) FROM ") + table + QStringLiteral(" WHERE buchungsnummer=") +
                            rsDataSource::toSqlStr(n))
            .toULong() == 0) {
        const QString t = QStringLiteral(" - Fehler in der Buchung %1 in Tabelle %2: Buchung nicht in der Tabelle enthalten!").arg(n).arg(table);
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("bn!=0"));
        rs_logError(kQuelle, __LINE__, t);
        return {t};
    }
    return verifyBuchungen(table, QString::number(n), true);
}

QStringList KontoGlobal::pruefeGeldbetraege(const QString& table) {
    QStringList befunde;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return befunde;
    if (table != QLatin1String("eurVerbucht") && table != QLatin1String("eurStapel") && table != QLatin1String("eurBeispiel") &&
        table != QLatin1String("eurUebernahme"))
        return befunde;
    // The database does the coarse sieve (a non-integral number of cents
    // beyond a rounding error, or too large); the amount type has the last
    // word, so the rule is the one input follows.
    const QString grenze = rsDataSource::toSqlStr(EuroType::kHoechstbetrag);
    const QString sieb = QStringLiteral("(ABS(%1*100 - ROUND(%1*100)) > 0.000001 OR ABS(%1) > ") + grenze + QLatin1Char(')');
    struct Quelle {
        QString sql;
        QString was;
    };
    const Quelle quellen[] = {
        {QStringLiteral("SELECT Buchungsnummer, Betrag FROM ") + table + QStringLiteral(" WHERE ") + sieb.arg(QStringLiteral("Betrag")) + QStringLiteral(" ORDER BY +Buchungsnummer"),
         QStringLiteral("Betrag der Buchung")},
        {QStringLiteral("SELECT Buchungsnummer, Betrag FROM ") + table + QStringLiteral("Buchungszeilen WHERE ") +
             sieb.arg(QStringLiteral("Betrag")) + QStringLiteral(" ORDER BY +Buchungsnummer, +SteuerID, +ID"),
         QStringLiteral("Betrag einer Buchungszeile")},
        {QStringLiteral("SELECT Buchungsnummer, SplittBetrag FROM ") + table + QStringLiteral("Buchungszeilen WHERE ") +
             sieb.arg(QStringLiteral("SplittBetrag")) + QStringLiteral(" ORDER BY +Buchungsnummer, +SteuerID, +ID"),
         QStringLiteral("Teilbetrag einer Buchungszeile")},
    };
    QMap<qlonglong, QStringList> nachNummer;
    for (const Quelle& q : quellen) {
        // "+": the few rows found are sorted afterwards (in the order of the
        // line index); walking the index would visit every row through it.
        rsDataSource rs(db, q.sql);
        for (; !rs.isEOF(); rs.fetch()) {
            const double wert = rs.getFields()->getField(1).toDouble();
            if (EuroType::istGeldbetrag(wert)) continue;
            const qlonglong nr = rs.getFields()->getField(0).toLongLong();
            nachNummer[nr] << QStringLiteral("Buchung %1: Der %2 (%3) ist kein Geldbetrag: mehr als zwei Nachkommastellen "
                                             "oder über %4 €.")
                                  .arg(nr)
                                  .arg(q.was, QString::number(wert, 'f', QLocale::FloatingPointShortest),
                                       EuroType::hoechstbetragText());
        }
    }
    for (const QStringList& l : nachNummer) befunde << l;
    return befunde;
}
