// Conversion of case databases written by older program versions: brings the
// data of an opened file up to the conventions of the current program.
//
// The steps form a table: each names the old database version (and, for some,
// the program year) below which it runs. Every step is a short sequence of
// statements executed one by one; a statement that fails (an old file may
// lack a table or column) is skipped silently and the next one runs. The
// errors such statements leave in the connection's error list are removed at
// the end, so the user is never shown them later.
//
// Steps 1..20 repair data of program years up to 2014; a file written by a
// later program year has been through them already and continues at step 21.
#include "kontbaum/rahmen/kontglob.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/date.h"
#include "host/values/datentyp.h"
#include "host/values/euro.h"

#include <QHash>
#include <QStringList>
#include <QVector>

namespace {

constexpr int kSteuersummenzeile = 999999;       // tax key of generated tax lines
constexpr int kStandardProgrammjahr = 2009;      // a file without a program year
constexpr int kLetztesAltesProgrammjahr = 2014;  // last program year that needs steps 1..20
constexpr int kLetzterAltschritt = 20;

QString q(const QString& s) { return rsDataSource::toSqlStr(s); }
QString q(long v) { return rsDataSource::toSqlStr(v); }
QString q(bool b) { return rsDataSource::toSqlStr(b); }
QString q(const EuroType& e) { return rsDataSource::toSqlStr(e); }
QString q(const zDate& d) { return rsDataSource::toSqlStr(d); }

struct Konvertierung {
    KontoGlobal& kg;
    DBConnection* con;

    void sql(const QString& statement) const { ExecSQL(con, statement); }

    // All rows of a query, read completely before the caller starts writing
    // into the same tables.
    QVector<rsFields> lesen(const QString& query) const {
        QVector<rsFields> rows;
        rsDataSource rs(con, query);
        for (; !rs.isEOF(); rs.fetch()) rows.append(*rs.getFields());
        return rows;
    }

    DatenTyp wert(const QString& query) const { return GetDatenTyp(con, query); }
};

using Zeilen = QVector<rsFields>;

long zahl(const rsFields& f, const char* name) { return long(f.getField(QString::fromLatin1(name)).toLongLong()); }
QString text(const rsFields& f, const char* name) { return f.getField(QString::fromLatin1(name)).toString(); }

const QStringList& kopfTabellenVBS() {
    static const QStringList t{QStringLiteral("eurVerbucht"), QStringLiteral("eurBeispiel"),
                               QStringLiteral("eurStapel")};
    return t;
}

QString zeilen(const QString& kopf) { return kopf + QStringLiteral("Buchungszeilen"); }

// --- IBAN of German bank accounts --------------------------------------------
// No bank-data service exists on this platform, so BIC and bank name cannot be
// looked up. What the IBAN structure itself determines is filled in: a German
// IBAN is "DE", two check digits, the 8-digit bank code and the 10-digit
// account number (ISO 13616, check digits by ISO 7064 mod 97-10).

QString nurZiffernUndBuchstaben(const QString& s) {
    QString r;
    for (QChar c : s)
        if (c.isLetterOrNumber()) r.append(c.toUpper());
    return r;
}

bool nurZiffern(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Remainder mod 97 of the number that the characters spell (letters A=10 .. Z=35).
int mod97(const QString& s) {
    int rest = 0;
    for (QChar c : s) {
        int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        if (v >= 10) rest = (rest * 100 + v) % 97;
        else rest = (rest * 10 + v) % 97;
    }
    return rest;
}

QString deIban(const QString& blzText, const QString& kontoText) {
    const QString blz = nurZiffernUndBuchstaben(blzText);
    QString konto = nurZiffernUndBuchstaben(kontoText);
    if (blz.size() != 8 || !nurZiffern(blz) || !nurZiffern(konto) || konto.size() > 10) return QString();
    if (konto.toULongLong() == 0) return QString();
    konto = konto.rightJustified(10, QLatin1Char('0'));
    const QString bban = blz + konto;
    const int pruef = 98 - mod97(bban + QStringLiteral("DE00"));
    return QStringLiteral("DE") + QString::number(pruef).rightJustified(2, QLatin1Char('0')) + bban;
}

bool deIbanZerlegen(const QString& ibanText, QString* blz, QString* konto) {
    const QString iban = nurZiffernUndBuchstaben(ibanText);
    if (iban.size() != 22 || !iban.startsWith(QLatin1String("DE")) || !nurZiffern(iban.mid(2))) return false;
    if (mod97(iban.mid(4) + iban.left(4)) != 1) return false;
    *blz = iban.mid(4, 8);
    QString k = iban.mid(12, 10);
    while (k.size() > 1 && k.startsWith(QLatin1Char('0'))) k.remove(0, 1);
    *konto = k;
    return true;
}

// --- the steps --------------------------------------------------------------

void schritt0(Konvertierung& k) {
    k.sql(QStringLiteral("DELETE FROM eurVerbucht WHERE Buchungsnummer=0"));
    k.sql(QStringLiteral("DELETE FROM eurBeispiel WHERE Buchungsnummer=0"));
    k.sql(QStringLiteral("DELETE FROM eurStapel   WHERE Buchungsnummer=0"));
}

// Headers without a first dialog line.
void schritt1(Konvertierung& k) {
    for (const QString& t : kopfTabellenVBS())
        k.sql(QStringLiteral("DELETE FROM ") + t + QStringLiteral(" WHERE Buchungsnummer NOT IN (SELECT Buchungsnummer FROM ") +
              zeilen(t) + QStringLiteral(" z WHERE Dialogzeile=1)"));
}

// Lines without a header.
void schritt2(Konvertierung& k) {
    for (const QString& t : kopfTabellenVBS())
        k.sql(QStringLiteral("DELETE FROM ") + zeilen(t) + QStringLiteral(" WHERE Buchungsnummer NOT IN (SELECT Buchungsnummer FROM ") +
              t + QStringLiteral(")"));
}

// Split bookings: the parts lie on the side opposite to the unsplit line. The
// second tax account of a key books on the other side than its part, i.e. on
// the unsplit line's side.
void schritt3(Konvertierung& k) {
    QHash<long, long> zweitesSteuerkonto;
    for (const rsFields& f : k.lesen(QStringLiteral("SELECT Steuerschluessel, Steuerkonto2 FROM eurSteuerschluessel")))
        zweitesSteuerkonto.insert(zahl(f, "Steuerschluessel"), zahl(f, "Steuerkonto2"));

    for (const QString& kopf : kopfTabellenVBS()) {
        const QString t = zeilen(kopf);
        const Zeilen unsplitt = k.lesen(QStringLiteral("SELECT * FROM ") + t +
                                        QStringLiteral(" WHERE Buchungsnummer IN (SELECT DISTINCT Buchungsnummer FROM ") + t +
                                        QStringLiteral(" WHERE Splitt<>0) AND Splitt=0 AND Steuerschluessel<>999999"));
        for (const rsFields& u : unsplitt) {
            const long n = zahl(u, "Buchungsnummer");
            const bool haben = u.getField(QStringLiteral("Haben")).toBool();
            const Zeilen teile = k.lesen(QStringLiteral("SELECT * FROM ") + t + QStringLiteral(" WHERE Buchungsnummer=") + q(n) +
                                         QStringLiteral(" AND Steuerschluessel<>999999") + QStringLiteral(" AND SteuerID<>") +
                                         q(zahl(u, "SteuerID")));
            for (const rsFields& p : teile) {
                const long s = zahl(p, "SteuerID");
                const QString gruppe = QStringLiteral(" WHERE Buchungsnummer=") + q(n) + QStringLiteral("   AND SteuerID=") + q(s);
                k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET Haben=") + q(!haben) + gruppe);
                const long konto2 = zweitesSteuerkonto.value(zahl(p, "Steuerschluessel"), 0);
                if (konto2 != 0)
                    k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET Haben=") + q(haben) + gruppe +
                          QStringLiteral("   AND Konto=") + q(konto2));
            }
        }
    }
}

// Percentage splits that mix parts with and without percentage or carry more
// than one rest part: percentages are switched off and the last part takes the rest.
void schritt4(Konvertierung& k) {
    for (const QString& kopf : kopfTabellenVBS()) {
        const QString t = zeilen(kopf);
        const Zeilen buchungen = k.lesen(QStringLiteral("SELECT DISTINCT Buchungsnummer FROM ") + t +
                                         QStringLiteral(" WHERE Splitt<>0 AND AufteilungViaProzent<>0"));
        for (const rsFields& b : buchungen) {
            const QString n = q(zahl(b, "Buchungsnummer"));
            const QString teile = QStringLiteral(" WHERE Buchungsnummer=") + n + QStringLiteral(" AND Splitt<>0");
            const long uneinheitlich =
                long(k.wert(QStringLiteral("SELECT COUNT(*) FROM ") + t + teile +
                            QStringLiteral(" AND Steuerschluessel<>999999 AND (AufteilungViaProzent=0 OR RestBeiProzent<>0)"))
                         .toLongLong());
            if (uneinheitlich == 0) continue;
            const long letzte = long(k.wert(QStringLiteral("SELECT MAX(SteuerID) FROM ") + t + teile).toLongLong());
            k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET RestBeiProzent=-1") + teile +
                  QStringLiteral(" AND SteuerID=") + q(letzte));
            k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET AufteilungViaProzent=0") + teile);
        }
    }
}

// The period of supply starts and ends on the delivery date.
void schritt5(Konvertierung& k) {
    const Zeilen rechnungen =
        k.lesen(QStringLiteral("SELECT ID, Lieferdatum FROM reRechnungen WHERE Lieferdatum IS NOT NULL AND Lieferdatum<>''"));
    for (const rsFields& r : rechnungen) {
        const zDate d = r.getField(QStringLiteral("Lieferdatum")).toDate();
        if (!d.isValid()) continue;
        k.sql(QStringLiteral("UPDATE reRechnungen SET ZeitraumVon=") + q(d) + QStringLiteral(", ZeitraumBis=") + q(d) +
              QStringLiteral(" WHERE ID=") + q(zahl(r, "ID")));
    }
}

void schritt6(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE reEinheiten SET NachkommastellenPreis=2 WHERE NachkommastellenPreis=0"));
}

// Invoicing rows with key 0 are records whose creation was never finished.
void schritt7(Konvertierung& k) {
    static const char* const artikel[] = {"reArtikel", "rePreise", "reRabatt"};
    static const char* const belege[] = {"reAngebote", "reAngebotePositionen", "reAuftragsbestaetigungen",
                                         "reAuftragsbestaetigungenPositionen", "reLieferscheine",
                                         "reLieferscheinePositionen", "reRechnungen", "reRechnungenPositionen",
                                         "reMahnungen"};
    for (const char* t : artikel)
        k.sql(QStringLiteral("DELETE FROM ") + QLatin1String(t) + QStringLiteral(" WHERE ArtikelID=0"));
    for (const char* t : belege) k.sql(QStringLiteral("DELETE FROM ") + QLatin1String(t) + QStringLiteral(" WHERE ID=0"));
    k.sql(QStringLiteral("DELETE FROM rePersonen WHERE PersonID=0"));
}

// A ledger out of balance: tax lines whose base line is gone are the usual cause.
void schritt8(Konvertierung& k) {
    // Summed in whole cents: a sum of doubles could be a cent off.
    const EuroType soll = EuroType::ausCent(
        k.wert(QStringLiteral("SELECT SUM(ROUND(Betrag*100)) FROM eurVerbuchtBuchungszeilen WHERE Haben=0")).toLongLong());
    const EuroType haben = EuroType::ausCent(
        k.wert(QStringLiteral("SELECT SUM(ROUND(Betrag*100)) FROM eurVerbuchtBuchungszeilen WHERE Haben<>0")).toLongLong());
    if (soll == haben) return;
    // SQLite wants AS before the alias of a DELETE target.
    k.sql(QStringLiteral("DELETE FROM eurVerbuchtBuchungszeilen AS v1 "
                         " WHERE v1.Steuerschluessel=999999 "
                         "   AND v1.Buchungsnummer NOT IN (SELECT v2.Buchungsnummer FROM eurVerbuchtBuchungszeilen v2 "
                         "WHERE v1.Buchungsnummer=v2.buchungsnummer AND v1.SteuerID=v2.SteuerID AND  "
                         "v2.Steuerschluessel<>999999) "));
}

// Renumberings run in the listed order; a new number may be an old one of a later pair.
void umnummerieren(Konvertierung& k, const char* spalte, const QVector<QPair<long, long>>& paare) {
    for (const auto& p : paare)
        k.sql(QStringLiteral("UPDATE eurKontenplan SET ") + QLatin1String(spalte) + QStringLiteral("=") + q(p.second) +
              QStringLiteral(" WHERE ") + QLatin1String(spalte) + QStringLiteral("=") + q(p.first));
}

void schritt9(Konvertierung& k) {
    umnummerieren(k, "EUR",
                  {{1120, 25120}, {1140, 20140}, {1190, 25190}, {1191, 25191}, {2140, 25140}, {3120, 27120},
                   {3187, 27187}, {3190, 27190}, {3191, 27191}, {122, 27122}, {55000000, 29122}, {56000000, 29123}});
}

void schritt10(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE reEinheiten SET NachkommastellenPreis = 2 WHERE NachkommastellenPreis IS NULL"));
}

void schritt11(Konvertierung& k) {
    for (const QString& t : kopfTabellenVBS())
        k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET ZMArt =") + q(2L) + QStringLiteral("  WHERE Dreieck <> 0"));
}

// The 2010 program dated year-end carry-forward bookings on 1 January of the next year.
void schritt12(Konvertierung& k) {
    if (KontoGlobal::getFalleigenschaft(QStringLiteral("Steuerjahr"), k.con).trimmed() != QLatin1String("2010")) return;
    k.sql(QStringLiteral("UPDATE eurVerbucht SET Belegdatum=") + q(zDate(2010, 1, 1)) + QStringLiteral(" WHERE Belegdatum=") +
          q(zDate(2011, 1, 1)));
}

// Invoicing prices: from now on net and gross prices are both stored. The
// gross price is the net price plus the rate of the row's tax key, to the cent.
struct PreisTabelle {
    const char* tabelle;
    QStringList schluessel;                   // key columns of a row
    QVector<QPair<QString, QString>> preise;  // net column → gross column
    const char* steuerschluessel;             // SQL expression of the tax key (alias t)
};

void schritt13(Konvertierung& k) {
    QHash<long, double> saetze;
    for (const rsFields& f : k.lesen(QStringLiteral("SELECT Steuerschluessel, Steuersatz FROM eurSteuerschluessel")))
        saetze.insert(zahl(f, "Steuerschluessel"), f.getField(QStringLiteral("Steuersatz")).toDouble());

    const QString posKey = QStringLiteral("ID,PositionID");
    const QVector<PreisTabelle> tabellen{
        {"reAngebotePositionen", posKey.split(','), {{"Preis", "Bruttopreis"}}, "t.Steuerschluessel"},
        {"reRechnungenPositionen", posKey.split(','), {{"Preis", "Bruttopreis"}}, "t.Steuerschluessel"},
        {"reAuftragsbestaetigungenPositionen", posKey.split(','), {{"Preis", "Bruttopreis"}}, "t.Steuerschluessel"},
        {"reArtikel",
         {QStringLiteral("ArtikelID")},
         {{"Normalpreis", "Bruttonormalpreis"}, {"Mindestpreis", "Bruttomindestpreis"}},
         "t.Steuerschluessel"},
        // A further price without its own key is taxed like its article.
        {"rePreise",
         {QStringLiteral("PreisID")},
         {{"Preis", "Bruttopreis"}},
         "COALESCE(NULLIF(t.Steuerschluessel,0),(SELECT a.Steuerschluessel FROM reArtikel a WHERE a.ArtikelID=t.ArtikelID),0)"},
    };

    for (const PreisTabelle& pt : tabellen) {
        QStringList spalten;
        for (const QString& s : pt.schluessel) spalten << QStringLiteral("t.") + s;
        for (const auto& p : pt.preise) spalten << QStringLiteral("t.") + p.first;
        spalten << QLatin1String(pt.steuerschluessel) + QStringLiteral(" AS SchluesselDesSatzes");
        const Zeilen rows = k.lesen(QStringLiteral("SELECT ") + spalten.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                                    QLatin1String(pt.tabelle) +
                                    QStringLiteral(" t WHERE t.BruttoNettoGetrennt=0 OR t.BruttoNettoGetrennt IS NULL"));
        for (const rsFields& r : rows) {
            const double satz = saetze.value(zahl(r, "SchluesselDesSatzes"), 0.0);
            QStringList set{QStringLiteral("BruttoNettoGetrennt=1")};
            for (const auto& p : pt.preise) {
                const EuroType netto = r.getField(p.first).toEuro();
                set << p.second + QStringLiteral("=") + q(netto.bruttoAusNetto(satz));
            }
            QStringList wo;
            for (const QString& s : pt.schluessel) wo << s + QStringLiteral("=") + q(long(r.getField(s).toLongLong()));
            k.sql(QStringLiteral("UPDATE ") + QLatin1String(pt.tabelle) + QStringLiteral(" SET ") + set.join(QStringLiteral(", ")) +
                  QStringLiteral(" WHERE ") + wo.join(QStringLiteral(" AND ")));
        }
    }
}

void schritt14(Konvertierung& k) { k.sql(QStringLiteral("UPDATE rePersonen SET Anrede = 'Herrn' WHERE Anrede = 'Herr'")); }

void schritt15(Konvertierung& k) {
    for (const char* t : {"eurVerbucht", "eurUebernahme", "eurStapel", "eurBeispiel"})
        k.sql(QStringLiteral("UPDATE ") + QLatin1String(t) + QStringLiteral(" SET Zahlungsdatum=Belegdatum WHERE Zahlungsdatum IS NULL"));
}

void schritt16(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE eurUmsatz SET Buchungsnummer = 0, Status = 0 WHERE Buchungsnummer<>0 AND Buchungsnummer NOT "
                         "IN (SELECT Buchungsnummer FROM eurVerbucht)"));
}

// The list filters of the customer list: Kunde (has a customer number),
// IstInteressent (Art other than 1, the kind of customers) and EnthaeltNotiz.
void schritt17(Konvertierung& k) {
    const Zeilen personen = k.lesen(QStringLiteral("SELECT PersonID, Kundennummer, Art, Notiz FROM rePersonen"));
    for (const rsFields& p : personen) {
        const QString id = q(zahl(p, "PersonID"));
        const bool kunde = !text(p, "Kundennummer").trimmed().isEmpty();
        const bool interessent = zahl(p, "Art") != 1;
        const bool notiz = !text(p, "Notiz").trimmed().isEmpty();
        k.sql(QStringLiteral("UPDATE rePersonen SET Kunde = %1 WHERE PersonID = %2").arg(q(kunde), id));
        k.sql(QStringLiteral("UPDATE rePersonen SET IstInteressent = %1 WHERE PersonID = %2").arg(q(interessent), id));
        k.sql(QStringLiteral("UPDATE rePersonen SET EnthaeltNotiz = %1 WHERE PersonID = %2").arg(q(notiz), id));
    }
}

void schritt18(Konvertierung& k) {
    const unsigned long n = k.kg.getSpezialKonto(2650);
    if (n != 0) k.sql(QStringLiteral("UPDATE eurKontenplan SET Aktiv = 1 WHERE Nummer = ") + rsDataSource::toSqlStr(n));
}

void schritt19(Konvertierung& k) {
    umnummerieren(k, "USt",
                  {{38000000, 37000000}, {39000000, 38000000}, {40000000, 39000000}, {41000000, 40000000},
                   {48000000, 47000000}, {49000000, 48000000}, {52000000, 51000000}});
}

void schritt21(Konvertierung& k) { k.sql(QStringLiteral("UPDATE rePersonen SET Anrede = 'Herr' WHERE Anrede = 'Herrn'")); }

// Every bank transaction is written back once as read, which stores each
// value in the form the program writes today.
void schritt22(Konvertierung& k) {
    Zeilen rows;
    {
        rsDataSource rs(k.con, QStringLiteral("SELECT * FROM eurUmsatz"));
        for (long i = 0; rs.fetchScroll(i); ++i) rows.append(*rs.getFields());
    }
    for (const rsFields& r : rows) {
        QStringList set;
        for (int i = 0; i < r.count(); ++i) {
            const QString name = r.name(i);
            if (name.compare(QLatin1String("UmsatzID"), Qt::CaseInsensitive) == 0) continue;
            const DatenTyp w = r.getField(i);
            if (w.art() == DatenTyp::Blob) continue;
            set << name + QStringLiteral("=") + (w.isNull() ? QStringLiteral("NULL") : rsDataSource::toSqlStr(w));
        }
        if (set.isEmpty()) continue;
        k.sql(QStringLiteral("UPDATE eurUmsatz SET ") + set.join(QStringLiteral(", ")) + QStringLiteral(" WHERE UmsatzID=") +
              q(zahl(r, "UmsatzID")));
    }
}

void schritt23(Konvertierung& k) {
    k.sql(QStringLiteral("DELETE FROM eurVerbucht WHERE Betrag=0"));
    k.sql(QStringLiteral("DELETE FROM eurVerbucht WHERE Buchungsnummer NOT IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen)"));
    // Bookings with a single line that is not a tax line (a line without
    // another non-tax line in its booking). Counted in one grouped pass: the
    // same bookings as the correlated form "a non-tax line z1 with no other
    // non-tax line z2", which probes the lines once per line and makes every
    // open of a large case slow.
    k.sql(QStringLiteral("DELETE FROM eurVerbucht WHERE Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen "
                         "WHERE Steuerschluessel<>999999 GROUP BY Buchungsnummer HAVING COUNT(*)=1)"));
    k.sql(QStringLiteral("DELETE FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer NOT IN (SELECT Buchungsnummer FROM eurVerbucht)"));
}

// Booking texts are limited to 100 characters.
void schritt24(Konvertierung& k) {
    static const struct { const char* tabelle; const char* schluessel; } tabellen[] = {
        {"eurVerbucht", "Buchungsnummer"},
        {"eurVerbuchtBuchungszeilen", "ID"},
        {"eurBeispiel", "Buchungsnummer"},
        {"eurBeispielBuchungszeilen", "ID"},
    };
    constexpr int kMaxLaenge = 100;
    for (const auto& t : tabellen) {
        const QString key = QLatin1String(t.schluessel);
        const Zeilen rows = k.lesen(QStringLiteral("SELECT ") + key + QStringLiteral(", Buchungstext FROM ") +
                                    QLatin1String(t.tabelle) + QStringLiteral(" WHERE LENGTH(Buchungstext)>") +
                                    q(long(kMaxLaenge)));
        for (const rsFields& r : rows) {
            const QString neu = text(r, "Buchungstext").simplified().left(kMaxLaenge).trimmed();
            k.sql(QStringLiteral("UPDATE ") + QLatin1String(t.tabelle) + QStringLiteral(" SET Buchungstext=") + q(neu) +
                  QStringLiteral(" WHERE ") + key + QStringLiteral("=") + q(long(r.getField(key).toLongLong())));
        }
    }
}

// Bookings with a VAT number and EU tax keys (25, 26, 27, 10): the triangular
// flag follows the lines. A line is a triangular supply when its account
// reports to field 42 of the advance return (supplies of the first purchaser
// in triangular transactions), directly or through the account's field-number
// range for the line's tax key. A chart without such an account says nothing
// about triangular transactions; then no flag is changed.
void schritt25(Konvertierung& k) {
    const QString bereich = QStringLiteral(
        "SELECT * FROM eurKennzifferbereiche kb WHERE kb.Formular=0 AND kb.Bereichsnummer=kp.UStVA AND kb.Kennziffer=42");
    const long konten = long(k.wert(QStringLiteral("SELECT COUNT(*) FROM eurKontenplan kp WHERE kp.UStVA=42 OR EXISTS (") +
                                    bereich + QStringLiteral(")"))
                                 .toLongLong());
    if (konten == 0) return;
    // The range row of the key itself, else the range's default row (999999).
    const QString dreieckszeile = QStringLiteral(
        "EXISTS (SELECT * FROM eurKontenplan kp WHERE kp.Nummer=z.Konto AND (kp.UStVA=42 OR EXISTS (") + bereich +
        QStringLiteral(" AND (kb.Steuerschluessel=z.Steuerschluessel OR (kb.Steuerschluessel=999999 AND NOT EXISTS "
                       "(SELECT * FROM eurKennzifferbereiche kx WHERE kx.Formular=0 AND kx.Bereichsnummer=kp.UStVA "
                       "AND kx.Steuerschluessel=z.Steuerschluessel))))))");

    const Zeilen buchungen = k.lesen(QStringLiteral("SELECT * FROM eurVerbucht WHERE UStID IS NOT NULL AND UStID <> '' "));
    for (const rsFields& b : buchungen) {
        const long n = zahl(b, "Buchungsnummer");
        const Zeilen eu = k.lesen(QStringLiteral("SELECT ") + dreieckszeile +
                                  QStringLiteral(" AS Dreieckszeile FROM eurVerbuchtBuchungszeilen z WHERE z.Buchungsnummer=") +
                                  q(n) + QStringLiteral(" AND z.Steuerschluessel IN (25,26,27,10)"));
        if (eu.isEmpty()) continue;
        bool dreieck = false;
        for (const rsFields& z : eu) dreieck = dreieck || z.getField(QStringLiteral("Dreieckszeile")).toBool();
        if (b.getField(QStringLiteral("Dreieck")).toBool() == dreieck) continue;
        k.sql(QStringLiteral("UPDATE eurVerbucht SET Dreieck=") + q(dreieck) + QStringLiteral(" WHERE Buchungsnummer=") + q(n));
    }
}

// Bank details: the IBAN from bank code and account number ...
void ibanAusKontonummer(Konvertierung& k, const char* tabelle) {
    const QString t = QLatin1String(tabelle);
    // Rows written before the IBAN column existed hold NULL, which the query below does not see.
    k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET IBAN='' WHERE IBAN IS NULL"));
    const Zeilen rows = k.lesen(QStringLiteral("SELECT * FROM ") + t +
                                QStringLiteral(" WHERE Kontonummer <> '' AND BLZ <> '' AND IBAN == ''"));
    for (const rsFields& r : rows) {
        const QString iban = deIban(text(r, "BLZ"), text(r, "Kontonummer"));
        if (iban.isEmpty()) continue;
        k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET IBAN=") + q(iban) + QStringLiteral(" WHERE BankverbindungID=") +
              q(zahl(r, "BankverbindungID")));
    }
}

// ... and bank code and account number from the IBAN where they are missing.
void kontonummerAusIban(Konvertierung& k, const char* tabelle) {
    const QString t = QLatin1String(tabelle);
    const Zeilen rows = k.lesen(QStringLiteral("SELECT * FROM ") + t + QStringLiteral(" WHERE IBAN <> ''"));
    for (const rsFields& r : rows) {
        QString blz, konto;
        if (!deIbanZerlegen(text(r, "IBAN"), &blz, &konto)) continue;
        QStringList set;
        if (text(r, "BLZ").trimmed().isEmpty()) set << QStringLiteral("BLZ=") + q(blz);
        if (text(r, "Kontonummer").trimmed().isEmpty()) set << QStringLiteral("Kontonummer=") + q(konto);
        if (set.isEmpty()) continue;
        k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET ") + set.join(QStringLiteral(", ")) +
              QStringLiteral(" WHERE BankverbindungID=") + q(zahl(r, "BankverbindungID")));
    }
}

void schritt26(Konvertierung& k) { ibanAusKontonummer(k, "reBankverbindungen"); }
void schritt27(Konvertierung& k) { kontonummerAusIban(k, "reBankverbindungen"); }
void schritt28(Konvertierung& k) {
    ibanAusKontonummer(k, "eurBankverbindung");
    kontonummerAusIban(k, "eurBankverbindung");
}

// Bookings of invoices: their revenue parts belong to the counter side of the
// dialog. The entered amount of each part is repaired first: the gross amount
// (base line plus the largest tax line of its SteuerID), or the net amount
// when the part was entered net.
void schritt29(Konvertierung& k) {
    const QString ausRechnungen = QStringLiteral(
        "Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE Zusatzinfo NOT NULL AND Zusatzinfo<>'' AND Zusatzinfo "
        "IN (SELECT Nummer FROM reRechnungen))");
    const Zeilen teile = k.lesen(
        QStringLiteral("SELECT z.ID, z.Betrag, z.SplittBetrag, z.SplittNetto, "
                       "(SELECT MAX(s.Betrag) FROM eurVerbuchtBuchungszeilen s WHERE s.Buchungsnummer=z.Buchungsnummer "
                       "AND s.SteuerID=z.SteuerID AND s.ID<>z.ID AND s.Steuerschluessel=999999) AS Steuer "
                       "FROM eurVerbuchtBuchungszeilen z WHERE z.") +
        ausRechnungen + QStringLiteral(" AND z.Splitt<>0 AND z.Steuerschluessel<>999999"));
    for (const rsFields& z : teile) {
        const EuroType netto = z.getField(QStringLiteral("Betrag")).toEuro();
        const EuroType soll = z.getField(QStringLiteral("SplittNetto")).toBool()
                                  ? netto
                                  : netto + z.getField(QStringLiteral("Steuer")).toEuro();
        if (z.getField(QStringLiteral("SplittBetrag")).toEuro().abs() == soll.abs()) continue;
        k.sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET SplittBetrag=") + q(soll) +
              QStringLiteral(" WHERE ID=") + q(zahl(z, "ID")));
    }
    k.sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET Dialogzeile=2 WHERE ") + ausRechnungen +
          QStringLiteral(" AND Splitt<>0 AND Dialogzeile=0 AND Steuerschluessel<>999999"));
}

void schritt30(Konvertierung& k) { k.sql(QStringLiteral("UPDATE reRechnungen SET Art=0 WHERE Art IS NULL")); }

void schritt31(Konvertierung& k) {
    for (const char* t : {"eurVerbucht", "eurStapel", "eurUebernahme", "eurBeispiel"})
        k.sql(QStringLiteral("UPDATE ") + QLatin1String(t) + QStringLiteral(" SET Herkunft=1 WHERE Herkunft IS NULL"));
}

// Split values only on split parts; kinds of online access never undefined.
void schritt32(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET SplittNetto=0 WHERE Splitt=0"));
    k.sql(QStringLiteral("UPDATE eurBeispielBuchungszeilen SET SplittNetto=0 WHERE Splitt=0"));
    k.sql(QStringLiteral("UPDATE eurBankverbindung SET OnlineArt=0 WHERE OnlineArt IS NULL"));
    k.sql(QStringLiteral("UPDATE eurBankverbindung SET KontoArt=0 WHERE KontoArt IS NULL"));
}

// Paid invoices without a recorded payment: the paid amount is what the
// uncancelled payment bookings booked on their first dialog line, with the
// sign of the invoice total.
void schritt33(Konvertierung& k) {
    const Zeilen rows = k.lesen(QStringLiteral(
        "SELECT r.ID, r.Gesamtbetrag, SUM(ROUND(z.Betrag*100)) AS Gebucht FROM reRechnungen r, eurVerbucht b, eurVerbuchtBuchungszeilen z "
        "WHERE r.bezahlt IS NOT NULL AND r.bezahlt<>'' AND (r.Anzahlung IS NULL OR r.Anzahlung=0) "
        "AND b.Zusatzinfo=r.Nummer AND b.Storno=0 AND b.Storniert=0 "
        "AND z.Buchungsnummer=b.Buchungsnummer AND z.Dialogzeile=1 GROUP BY r.ID, r.Gesamtbetrag"));
    for (const rsFields& r : rows) {
        EuroType betrag = EuroType::ausCent(r.getField(QStringLiteral("Gebucht")).toLongLong()).abs();
        if (r.getField(QStringLiteral("Gesamtbetrag")).toDouble() < 0) betrag = -betrag;
        if (betrag.isNull()) continue;
        k.sql(QStringLiteral("UPDATE reRechnungen SET Anzahlung=") + q(betrag) + QStringLiteral(" WHERE ID=") +
              q(zahl(r, "ID")));
    }
}

// Tax lines belong to the base line of their SteuerID. A group that holds a
// line without tax key next to other base lines is split up: the first line
// without key keeps the SteuerID, every other base line gets a SteuerID of
// its own, the group's tax lines moving with the (first) keyed line.
void schritt34(Konvertierung& k) {
    k.sql(QStringLiteral("DELETE FROM eurVerbuchtBuchungszeilen WHERE ID IN (SELECT ID  FROM  eurVerbuchtBuchungszeilen z1 WHERE "
                         "Steuerschluessel=999999 AND NOT EXISTS (SELECT * FROM eurVerbuchtBuchungszeilen z2 WHERE "
                         "z2.Buchungsnummer=z1.Buchungsnummer AND z2.SteuerID = z1.SteuerID AND z2.ID<>z1.ID AND "
                         "z2.Steuerschluessel<>0 AND z2.Steuerschluessel<>999999))"));

    const Zeilen gruppen = k.lesen(QStringLiteral(
        "SELECT DISTINCT z0.Buchungsnummer, z0.SteuerID FROM eurVerbuchtBuchungszeilen z0 WHERE z0.Steuerschluessel=0 "
        "AND EXISTS (SELECT * FROM eurVerbuchtBuchungszeilen z2 WHERE z2.Buchungsnummer=z0.Buchungsnummer "
        "AND z2.SteuerID=z0.SteuerID AND z2.ID<>z0.ID AND z2.Steuerschluessel<>999999)"));
    for (const rsFields& g : gruppen) {
        const long n = zahl(g, "Buchungsnummer");
        const long s = zahl(g, "SteuerID");
        const QString gruppe = QStringLiteral(" WHERE Buchungsnummer=") + q(n) + QStringLiteral(" AND SteuerID=") + q(s);
        const Zeilen basis = k.lesen(QStringLiteral("SELECT ID, Steuerschluessel FROM eurVerbuchtBuchungszeilen") + gruppe +
                                     QStringLiteral(" AND Steuerschluessel<>999999 ORDER BY ID"));
        long bleibt = 0;
        for (const rsFields& b : basis)
            if (zahl(b, "Steuerschluessel") == 0) { bleibt = zahl(b, "ID"); break; }
        long hoechste = long(k.wert(QStringLiteral("SELECT MAX(SteuerID) FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") +
                                    q(n)).toLongLong());
        bool steuerzeilenVergeben = false;
        for (const rsFields& b : basis) {
            const long id = zahl(b, "ID");
            if (id == bleibt) continue;
            const QString neu = q(++hoechste);
            if (!steuerzeilenVergeben && zahl(b, "Steuerschluessel") != 0) {
                k.sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET SteuerID=") + neu + gruppe +
                      QStringLiteral(" AND Steuerschluessel=999999"));
                steuerzeilenVergeben = true;
            }
            k.sql(QStringLiteral("UPDATE eurVerbuchtBuchungszeilen SET SteuerID=") + neu + QStringLiteral(" WHERE ID=") + q(id));
        }
    }
}

// Persons addressed as a company kept the company name in Name.
void schritt35(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE rePersonen SET Firma=Name WHERE Anrede='Firma' AND (Firma IS NULL OR Firma='') "
                         "AND Name IS NOT NULL AND Name<>''"));
}

// Template dates in forms the program does not read: a bare time (the empty
// date) becomes the empty date, a year without month and day becomes 1 January
// of that year, and other text forms are read as dates and stored in ISO form
// (the empty date when they are no date at all).
void schritt36(Konvertierung& k) {
    for (const char* spalteC : {"Belegdatum", "Buchungsdatum", "Zahlungsdatum"}) {
        const QString sp = QLatin1String(spalteC);
        const Zeilen rows = k.lesen(QStringLiteral("SELECT Buchungsnummer, ") + sp + QStringLiteral(" AS Datum FROM eurBeispiel WHERE ") +
                                    sp + QStringLiteral(" IS NOT NULL AND ") + sp + QStringLiteral("<>'' AND (") + sp +
                                    QStringLiteral("='00:00:00' OR ") + sp + QStringLiteral(" LIKE '20__-00-00 00:00:00' OR MID(") +
                                    sp + QStringLiteral(",5,1)<>'-')"));
        for (const rsFields& r : rows) {
            const QString alt = text(r, "Datum").trimmed();
            zDate neu;
            if (alt.endsWith(QLatin1String("-00-00 00:00:00"))) neu = zDate(alt.left(4).toInt(), 1, 1);
            else if (alt != QLatin1String("00:00:00")) {
                neu = zDate::fromText(alt.section(QLatin1Char(' '), 0, 0));
                if (!neu.isValid()) neu = DatenTyp(alt).toDate();
            }
            k.sql(QStringLiteral("UPDATE eurBeispiel SET ") + sp + QStringLiteral("=") + q(neu) +
                  QStringLiteral(" WHERE Buchungsnummer=") + q(zahl(r, "Buchungsnummer")));
        }
    }
}

// Voucher and payment dates carry no time of day.
void schritt37(Konvertierung& k) {
    for (const char* t : {"eurVerbucht", "eurBeispiel"}) {
        for (const char* spalteC : {"Belegdatum", "Zahlungsdatum"}) {
            const QString sp = QLatin1String(spalteC);
            const QString tag = QStringLiteral("DATETIME(strftime('%Y-%m-%d 00:00:00',") + sp + QStringLiteral("))");
            const QString update = QStringLiteral("UPDATE ") + QLatin1String(t) + QStringLiteral(" SET ") + sp +
                                   QStringLiteral("=") + tag + QStringLiteral(" WHERE ") + sp + QStringLiteral("<>") + tag;
            k.sql(update + QStringLiteral(" AND  MINUTE(") + sp + QStringLiteral(")<>0 "));
            // Times on the full hour (and seconds only) are not caught by the minute test.
            k.sql(update);
        }
    }
}

// Documents and positions left with key 0 get a key that neither table uses,
// the same for a document and its positions so they stay together.
void schritt38(Konvertierung& k) {
    static const char* const belege[] = {"reAngebote", "reAuftragsbestaetigungen", "reLieferscheine", "reRechnungen"};
    for (const char* bC : belege) {
        const QString beleg = QLatin1String(bC);
        const QString positionen = beleg + QStringLiteral("Positionen");
        const bool kopf = !k.lesen(QStringLiteral("SELECT * FROM %1 WHERE ID=0").arg(beleg)).isEmpty();
        const bool pos = !k.lesen(QStringLiteral("SELECT * FROM %1 WHERE ID=0").arg(positionen)).isEmpty();
        if (!kopf && !pos) continue;
        const long frei = 1 + qMax(long(k.wert(QStringLiteral("SELECT MAX(ID) FROM ") + beleg).toLongLong()),
                                   long(k.wert(QStringLiteral("SELECT MAX(ID) FROM ") + positionen).toLongLong()));
        for (const QString& t : {beleg, positionen})
            k.sql(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET ID=") + q(frei) + QStringLiteral(" WHERE ID=0"));
    }
}

void schritt39(Konvertierung& k) { k.sql(QStringLiteral("DELETE FROM eurKontenplan WHERE Nummer=0")); }

void schritt40(Konvertierung& k) {
    k.sql(QStringLiteral("UPDATE eurKontenplan SET Kategorie = 3010 WHERE Kategorie = 3000"));
    k.sql(QStringLiteral("UPDATE eurKontenplan SET Kategorie = 3020 WHERE Kategorie = 3001"));
}

// EU revenue templates were delivered without their tax key. A template line
// is only completed when the program's own template has the same line with
// the key, so a template the user changed stays as it is.
void schritt41(Konvertierung& k) {
    DBConnection* referenz = GlobalInst::instance().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!referenz || !rsTableExists(referenz, QStringLiteral("eurBeispielMitUSt2007Buchungszeilen"))) return;
    static const struct { long buchung; long konto; long schluessel; const char* text; } vorlagen[] = {
        {50, 8125, 25, "Steuerfreie innergemeinschaftliche Lieferungen"},
        {52, 8130, 25, "Lieferungen des ersten Abnehmers bei innergemeinschaftlichen Dreiecksgeschäften"},
        {54, 8336, 26, "Erlöse aus im anderen EU-Land steuerpflichtigen elektronischen Leistungen im Sinne des § 13b UStG"},
        {55, 8337, 27, "Erlöse aus Leistungen, für die der Leistungsempfänger die Umsatzsteuer nach § 13b UStG schuldet"},
    };
    const QString zaehlen = QStringLiteral(
        "SELECT COUNT(*) FROM eurBeispielMitUSt2007Buchungszeilen WHERE Buchungsnummer=%1 AND Konto=%2 "
        "AND Steuerschluessel=%3 AND Buchungstext=%4");
    const QString setzen = QStringLiteral(
        "UPDATE eurBeispielBuchungszeilen SET Steuerschluessel=%3 WHERE Buchungsnummer=%1 AND Konto=%2 "
        "AND Buchungstext=%4 AND Steuerschluessel=0");
    for (const auto& v : vorlagen) {
        const QString a = q(v.buchung), b = q(v.konto), c = q(v.schluessel), d = q(QString::fromUtf8(v.text));
        if (GetDatenTyp(referenz, zaehlen.arg(a, b, c, d)).toLongLong() > 0) k.sql(setzen.arg(a, b, c, d));
    }
}

void schritt42(Konvertierung& k) { k.sql(QStringLiteral("UPDATE rePersonen SET Anrede = 'Damen' WHERE Anrede = 'Frauen'")); }

// The reference data of 2016 were corrected (the codes of § 13b and the
// tax-free revenue, the EÜR lines, the limits): a case takes the keys, form
// codes, code ranges and limits of its framework and year anew. Its chart
// follows through the template rows marked with this version, which the
// loading compares with the case's accounts.
void schritt43(Konvertierung& k) {
    const QString rahmen = KontoGlobal::getFalleigenschaft(QStringLiteral("Kontenplan"), k.con).trimmed();
    const QString jahr = KontoGlobal::getFalleigenschaft(QStringLiteral("Steuerjahr"), k.con).trimmed();
    if (rahmen.isEmpty() || jahr.isEmpty() || KontoGlobal::rahmenSpalte(rahmen).isEmpty()) return;
    // The categories are read for the manager's chart, which the case's
    // record sets only after the conversion.
    if (k.kg.getKontenplanName().isEmpty()) k.kg.setKontenplanName(rahmen);
    if (!k.kg.copyTablesFromDBKontenplaene(jahr, rahmen))
        rs_logError(QStringLiteral("kontbaum/konvertierung"), __LINE__, QStringLiteral("Die Steuerschlüssel und Formularkennziffern konnten nicht erneuert werden."));
}

// The incoming e-invoices and the corrected invoice's reference
// (20161425): the tables an older case lacks are created from the
// program's template by the definitions there, so the two can never differ.
void schritt44(Konvertierung& k) {
    if (!rsColumnExists(k.con, QStringLiteral("reRechnungen"), QStringLiteral("KorrekturZuID")))
        k.sql(QStringLiteral("ALTER TABLE reRechnungen ADD COLUMN KorrekturZuID INTEGER DEFAULT 0"));
    DBConnection vorlage;
    vorlage.setReadOnly(true);
    if (!vorlage.createAndConnect(GlobalInst::templateFile())) return;
    // Tables before their indexes.
    QVector<rsFields> schema;
    {
        rsDataSource rs(&vorlage, QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND tbl_name LIKE 'eingang%' "
                                                 "ORDER BY CASE type WHEN 'table' THEN 0 ELSE 1 END, name"));
        for (; !rs.isEOF(); rs.fetch()) schema.append(*rs.getFields());
    }
    for (const rsFields& f : schema) {
        const QString name = f.getField(QStringLiteral("name")).toString();
        const bool tabelle = f.getField(QStringLiteral("type")).toString() == QLatin1String("table");
        if (tabelle ? rsTableExists(k.con, name)
                    : k.wert(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='index' AND name=") + q(name)).toLongLong() > 0)
            continue;
        k.sql(f.getField(QStringLiteral("sql")).toString());
    }
}

// --- the table --------------------------------------------------------------

struct Schritt {
    int nummer;
    long vorVersion;      // runs when the old version is lower; 0: always
    int vorProgrammjahr;  // ... or when the program year is lower; 0: no such alternative
    void (*ausfuehren)(Konvertierung&);
};

const Schritt kSchritte[] = {
    {0, 0, 0, schritt0},
    {1, 6273, 0, schritt1},
    {2, 0, 0, schritt2},
    {3, 6346, 0, schritt3},
    {4, 6389, 0, schritt4},
    {5, 6532, 2010, schritt5},
    {6, 6539, 0, schritt6},
    {7, 6546, 2010, schritt7},
    {8, 6623, 2010, schritt8},
    {9, 6636, 2010, schritt9},
    {10, 6657, 2010, schritt10},
    {11, 6727, 2010, schritt11},
    {12, 6973, 2011, schritt12},
    {13, 7065, 2011, schritt13},
    {14, 7026, 2011, schritt14},
    {15, 7136, 2012, schritt15},
    {16, 7170, 2011, schritt16},
    {17, 7318, 2012, schritt17},
    {18, 7349, 2012, schritt18},
    {19, 7917, 2012, schritt19},
    // 20: end of the steps for program years up to 2014.
    {21, 20138148, 0, schritt21},
    {22, 20138203, 0, schritt22},
    {23, 0, 0, schritt23},
    {24, 20138289, 0, schritt24},
    {25, 20148337, 0, schritt25},
    {26, 20148373, 0, schritt26},
    {27, 20148438, 0, schritt27},
    {28, 20148458, 0, schritt28},
    {29, 20148514, 0, schritt29},
    {30, 20148519, 0, schritt30},
    {31, 20148522, 0, schritt31},
    {32, 20148540, 0, schritt32},
    {33, 20148585, 0, schritt33},
    {34, 20148695, 0, schritt34},
    {35, 20158816, 0, schritt35},
    {36, 20158825, 0, schritt36},
    {37, 20158831, 0, schritt37},
    {38, 20158842, 0, schritt38},
    {39, 20159020, 0, schritt39},
    {40, 20161401, 0, schritt40},
    {41, 20161411, 0, schritt41},
    {42, 20161423, 0, schritt42},
    {43, 20161424, 0, schritt43},
    {44, 20161425, 0, schritt44},
};

bool faellig(const Schritt& s, long v, int pj) {
    if (s.vorVersion == 0) return true;
    return v < s.vorVersion || (s.vorProgrammjahr != 0 && pj < s.vorProgrammjahr);
}

}  // namespace

void KontoGlobal::runConversionSteps(long v, int pj) {
    DBConnection* con = GetDBConnect_Ptr();
    if (!con) return;
    if (pj <= 0) pj = kStandardProgrammjahr;

    // Errors recorded before the conversion are not ours to drop.
    const QStringList vorher = con->getErr()->errors();

    Konvertierung k{*this, con};
    for (const Schritt& s : kSchritte) {
        if (s.nummer >= 1 && s.nummer <= kLetzterAltschritt && pj > kLetztesAltesProgrammjahr) continue;
        if (faellig(s, v, pj)) s.ausfuehren(k);
    }

    con->getErr()->clear();
    for (const QString& e : vorher) con->getErr()->add(e);
}
