// The report lists (see listen.h).
#include "kontbaum/berichte/listen.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/db/faecher.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/anlagenverzeichnis.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/rahmen/sperrgrenzen.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QVector>

#include <algorithm>
#include <memory>
#include <cmath>

namespace {

using BS = BerichtSpalte;

const char* const kMonate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                               "Juli", "August", "September", "Oktober", "November", "Dezember"};

QString sql(const QString& t) { return rsDataSource::toSqlStr(t); }
QString sql(unsigned long n) { return rsDataSource::toSqlStr(n); }
QString sql(const zDate& d) { return rsDataSource::toSqlStr(d); }

// A stored amount as a report cell shows it: to the cent.
double runde(double b) { return EuroType::ausDouble(b).alsDouble(); }

QVariant datum(const DatenTyp& d) {
    const zDate z = d.toDate();
    return z.isValid() ? QVariant(z.qdate()) : QVariant();
}

QString zeitraumBedingung(const BerichtParameter& p, const QString& spalte = QStringLiteral("Belegdatum")) {
    return QStringLiteral(" AND ") + spalte + QStringLiteral(">=") + sql(p.von()) + QStringLiteral(" AND ") + spalte + QStringLiteral("<=") +
           sql(p.bis());
}

// The accounts a report covers: the requested one or range, else every
// active account (as the report filter of the ledger lists takes it).
bool kontenBereich(const BerichtParameter& p, unsigned long* von, unsigned long* bis) {
    if (p.vonKonto != 0) {
        *von = p.vonKonto;
        *bis = p.bisKonto != 0 ? p.bisKonto : p.vonKonto;
        return true;
    }
    DBConnection* db = rsFallDB();
    if (!db) return false;
    rsDataSource rs(db, QStringLiteral("Select MIN(Nummer) as von, MAX(Nummer) as bis FROM eurKontenplan WHERE (Aktiv <> 0)"));
    if (rs.isEOF() || rs.field(QStringLiteral("von")).isNull()) return false;
    *von = rs.field(QStringLiteral("von")).toULong();
    *bis = rs.field(QStringLiteral("bis")).toULong();
    return true;
}

QString kontenText(unsigned long von, unsigned long bis) {
    return von == bis ? QStringLiteral("Konto %1").arg(von) : QStringLiteral("Konten %1 bis %2").arg(von).arg(bis);
}

// A requested account or range the chart does not know is the caller's
// mistake: an empty list would read as "nothing was booked there".
bool kontenBekannt(DBConnection* db, const BerichtParameter& p, QString* fehler) {
    if (p.vonKonto == 0) return true;
    const unsigned long bis = p.bisKonto != 0 ? p.bisKonto : p.vonKonto;
    if (GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan WHERE Nummer BETWEEN ") + sql(p.vonKonto) + QStringLiteral(" AND ") +
                            sql(bis))
            .toLongLong() > 0)
        return true;
    if (fehler)
        *fehler = bis == p.vonKonto ? QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(p.vonKonto)
                                    : QStringLiteral("Im Kontenplan gibt es kein Konto von %1 bis %2.").arg(p.vonKonto).arg(bis);
    return false;
}

bool keineDatenbank(QString* fehler) {
    if (fehler) *fehler = QStringLiteral("Die Buchhaltung des Falls ist nicht geöffnet.");
    return false;
}

// The ledger failed while a list read it front to back.
bool unvollstaendigGelesen(QString* fehler) {
    if (fehler)
        *fehler = QStringLiteral("Die Buchungen konnten nicht vollständig gelesen werden. Bitte prüfen Sie die Falldatei mit „dalvo pruefen“.");
    return false;
}

QString schluesselText(unsigned long s) { return s == 999999 ? QStringLiteral("St") : s ? QString::number(s) : QString(); }

// An SQL condition on z.Buchungsnummer (z = eurVerbuchtBuchungszeilen) that
// keeps the lines of bookings that are neither cancelled nor a
// cancellation and whose voucher date lies from `von` (null: open) to
// `bis`: the lines a join with their header would keep, with "Storno=0 AND
// Storniert=0" and the period on the header. That join reads a header at a
// random place for each line, a read from the file per line once the
// ledger outgrows the page cache; this condition reads the date index and
// the index of the cancelled bookings instead. When every booking lies in
// the period it is that of the whole ledger (Berichte::gebuchteZeilen).
QString lebendeZeilen(DBConnection* db, const zDate* von, const zDate& bis) {
    const QString ab = von ? QStringLiteral("Belegdatum>=") + sql(*von) + QStringLiteral(" AND ") : QString();
    // MIN and MAX each read one end of the date index; NULL when there are
    // no bookings, and a date that is no text lies above every text.
    const QString ganz = QStringLiteral("SELECT ") +
                         (von ? QStringLiteral("(SELECT MIN(Belegdatum) FROM eurVerbucht)>=") + sql(*von) + QStringLiteral(" AND ") : QString()) +
                         QStringLiteral("(SELECT MAX(Belegdatum) FROM eurVerbucht)<=") + sql(bis) +
                         QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM eurVerbucht WHERE Belegdatum IS NULL)");
    if (GetDatenTyp(db, ganz).toLongLong() == 1) return Berichte::gebuchteZeilen(db, true);
    return QStringLiteral("(+z.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") + ab + QStringLiteral("Belegdatum<=") + sql(bis) +
           QStringLiteral(") AND +z.Buchungsnummer NOT IN (SELECT Buchungsnummer FROM eurVerbucht WHERE (Storno=0 AND Storniert=0) IS NOT 1))");
}

// --- Kontenabfrage2: account statements -------------------------------------------------

bool kontenabfrage(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    if (!kontenBekannt(db, p, fehler)) return false;
    unsigned long von = 0, bis = 0;
    if (!kontenBereich(p, &von, &bis)) return true;
    l->titel = QStringLiteral("Kontenabfrage");
    l->untertitel = (p.vonKonto ? kontenText(von, bis) : QStringLiteral("alle Konten")) + QStringLiteral(", ") + p.zeitraumText();
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Beleg"), QStringLiteral("belegnummer"), BS::Text, 14);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 32);
    l->spalte(QStringLiteral("Gegenkto"), QStringLiteral("gegenkonto"), BS::Zahl, 8);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Text, 4);
    l->spalte(QStringLiteral("Soll"), QStringLiteral("soll"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Haben"), QStringLiteral("haben"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Saldo"), QStringLiteral("saldo"), BS::Betrag, 13);
    l->spalten[7].uebertrag = l->spalten[8].uebertrag = true;
    const QString basis = QStringLiteral(" FROM eurVerbucht b, eurVerbuchtBuchungszeilen z WHERE (b.Buchungsnummer=z.Buchungsnummer) AND "
                                         "(b.Storno=0) AND (b.Storniert=0) AND ( Konto Between ") +
                          sql(von) + QStringLiteral(" AND ") + sql(bis);
    // The balance an account brings into the period, so the running
    // balance of a month continues that of the months before. The bookings
    // before the period are found through the date index (CROSS JOIN keeps
    // SQLite off the account index, which would look up the header of every
    // line of the accounts to learn its date): none at all for a whole year.
    QMap<unsigned long, qint64> vortrag;
    {
        rsDataSource rs(db, QStringLiteral("SELECT z.Konto AS Konto, SUM(CASE WHEN z.Haben THEN -ROUND(z.Betrag*100) ELSE ROUND(z.Betrag*100) END) AS c "
                                           "FROM eurVerbucht b CROSS JOIN eurVerbuchtBuchungszeilen z ON b.Buchungsnummer=z.Buchungsnummer WHERE "
                                           "b.Storno=0 AND b.Storniert=0 AND z.Konto BETWEEN ") +
                                sql(von) + QStringLiteral(" AND ") + sql(bis) + QStringLiteral(" AND b.Belegdatum<") + sql(p.von()) +
                                QStringLiteral(" GROUP BY z.Konto"));
        for (; !rs.isEOF(); rs.fetch()) vortrag.insert(rs.field(QStringLiteral("Konto")).toULong(), Berichte::cent(rs.field(QStringLiteral("c")).toDouble()));
    }
    unsigned long konto = 0;
    qint64 saldo = 0, soll = 0, haben = 0;
    auto abschluss = [&]() {
        if (konto == 0) return;
        l->zeile({qlonglong(konto), QVariant(), QVariant(), QVariant(), QStringLiteral("Summe Konto %1").arg(konto), QVariant(), QVariant(),
                  Berichte::euro(soll), Berichte::euro(haben), Berichte::euro(saldo)},
                 true);
    };
    // w: ID, booking number, text, voucher date, voucher number, amount,
    // credit, account, counter account, tax key.
    const auto zeile = [&](const QVector<DatenTyp>& w) {
        const unsigned long k = w[7].toULong();
        if (k != konto) {
            abschluss();
            konto = k;
            saldo = vortrag.value(k);
            soll = haben = 0;
            const QString name = KontoGlobal::getKontobezeichnung(k, 0, db);
            l->zeile({qlonglong(k), p.von().addDays(-1).qdate(), QVariant(), QVariant(), QStringLiteral("Konto %1 %2, Vortrag").arg(k).arg(name), QVariant(),
                      QVariant(), QVariant(), QVariant(), Berichte::euro(saldo)},
                     true);
        }
        const qint64 c = Berichte::cent(w[5].toDouble() * 100.0);
        const bool h = w[6].toBool();
        (h ? haben : soll) += c;
        saldo += h ? -c : c;
        l->zeile({qlonglong(k), datum(w[3]), qlonglong(w[1].toLongLong()), w[4].toString(), w[2].toString(), qlonglong(w[8].toLongLong()),
                  schluesselText(w[9].toULong()), h ? QVariant() : QVariant(Berichte::euro(c)), h ? QVariant(Berichte::euro(c)) : QVariant(),
                  Berichte::euro(saldo)});
    };
    const QString spalten = QStringLiteral("SELECT z.ID, b.Buchungsnummer, z.Buchungstext, b.Belegdatum, b.Belegnummer, z.Betrag, z.Haben, z.Konto, "
                                           "z.Gegenkonto, z.Steuerschluessel");
    // Statements of much of the ledger read its headers front to back, not a
    // header at a random place per line: each line goes into the compartment
    // of its account (host/db/faecher.h), and each account's lines, when
    // their turn comes, into compartments by date. The lines of one booking
    // on one account keep the order the account index gives them.
    const QString zeitraum = QStringLiteral(" WHERE Belegdatum>=") + sql(p.von()) + QStringLiteral(" AND Belegdatum<=") + sql(p.bis());
    const QString imBereich = QStringLiteral(" WHERE Konto BETWEEN ") + sql(von) + QStringLiteral(" AND ") + sql(bis);
    if (Berichte::kontenMitZeilen(db, von, bis, 4000) <= 4000 && Tabellenfolge::lohnt(db, QStringLiteral("eurVerbuchtBuchungszeilen"), imBereich) &&
        Tabellenfolge::lohnt(db, QStringLiteral("eurVerbucht"), zeitraum)) {
        Faecher nachKonto;
        bool abgelegt = true, lesefehler = false;
        {
            Tabellenfolge::KleinerCache cache(db);
            rsDataSource rs(db, spalten +
                                    QStringLiteral(" FROM eurVerbucht b NOT INDEXED CROSS JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer "
                                                   "WHERE b.Storno=0 AND b.Storniert=0 AND z.Konto BETWEEN ") +
                                    sql(von) + QStringLiteral(" AND ") + sql(bis) + zeitraumBedingung(p, QStringLiteral("b.Belegdatum")) +
                                    QStringLiteral(" ORDER BY b.Buchungsnummer, z.Steuerschluessel, z.Haben, z.Gegenkonto, z.Betrag, z.ID"));
            QByteArray satz;
            for (; abgelegt && !rs.isEOF(); rs.fetch()) {
                const rsFields& f = *rs.getFields();
                satz.clear();
                FachSatz s(&satz);
                for (int i = 0; i < 10; ++i) s.wert(f.getField(i));
                abgelegt = nachKonto.ablegen(QByteArray::number(f.getField(7).toLongLong()).rightJustified(10, '0'), satz);
            }
            lesefehler = rs.isError();
        }
        if (abgelegt && !lesefehler) {
            std::unique_ptr<Faecher> nachTag;
            QByteArray aktuell;
            QVector<DatenTyp> w(10);
            bool ok = true;
            const auto ausgeben = [&]() {
                if (nachTag)
                    ok = nachTag->lesen([&](const QByteArray&, const QByteArray& satz) {
                        FachSatzLeser s(satz);
                        for (int i = 0; i < w.size(); ++i) w[i] = s.wert();
                        zeile(w);
                    }) && ok;
                nachTag.reset();
            };
            ok = nachKonto.lesen([&](const QByteArray& k, const QByteArray& satz) {
                if (!ok) return;
                if (k != aktuell) {
                    ausgeben();
                    aktuell = k;
                    nachTag.reset(new Faecher);
                }
                FachSatzLeser s(satz);
                for (int i = 0; i < 3; ++i) s.wert();
                ok = nachTag->ablegen(s.wert().toString().toUtf8(), satz);
            }) && ok;
            ausgeben();
            if (ok) {
                abschluss();
                return true;
            }
            lesefehler = true;
        }
        if (lesefehler) return unvollstaendigGelesen(fehler);
        // More accounts than compartments, or no room for the temporary
        // file: the way through the account index takes neither.
    }
    rsDataSource rs(db, spalten + basis + zeitraumBedingung(p) + QStringLiteral(") ORDER BY Konto, Belegdatum, b.Buchungsnummer "));
    QVector<DatenTyp> w(10);
    for (; !rs.isEOF(); rs.fetch()) {
        for (int i = 0; i < w.size(); ++i) w[i] = rs.getFields()->getField(i);
        zeile(w);
    }
    abschluss();
    return true;
}

// --- Buchungsprotokoll2: the journal ------------------------------------------------------

bool buchungsprotokoll(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    QString ordnung = QStringLiteral(" ORDER BY Buchungsnummer ");
    if (p.sortierung == QLatin1String("zahlungsdatum")) ordnung = QStringLiteral(" ORDER BY Zahlungsdatum, Buchungsnummer ");
    else if (p.sortierung == QLatin1String("beleg")) ordnung = QStringLiteral(" ORDER BY Zahlungsdatum, Belegnummer, Buchungsnummer ");
    else if (!p.sortierung.isEmpty() && p.sortierung != QLatin1String("nummer")) {
        if (fehler) *fehler = QStringLiteral("Unbekannte Sortierung „%1“; möglich sind nummer, zahlungsdatum und beleg.").arg(p.sortierung);
        return false;
    }
    l->titel = QStringLiteral("Buchungsprotokoll");
    l->untertitel = p.zeitraumText();
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Belegdatum"), QStringLiteral("belegdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Zahlung"), QStringLiteral("zahlungsdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Art"), QStringLiteral("buchungsart"), BS::Text, 4);
    l->spalte(QStringLiteral("Beleg"), QStringLiteral("belegnummer"), BS::Text, 14);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 30);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Text, 6);
    l->spalte(QStringLiteral("Gegenkto"), QStringLiteral("gegenkonto"), BS::Text, 8);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Status"), QStringLiteral("status"), BS::Text, 9);
    // The two sides entered in the dialog; a split booking has several counter lines.
    rsDataSource rs(db, QStringLiteral("SELECT 'verbucht' AS vonTabelle, b.*, s.k1 AS Konto1, s.k2 AS Konto2, s.n2 AS Anzahl2 FROM eurVerbucht b "
                                       "LEFT JOIN (SELECT Buchungsnummer AS nr, MIN(CASE WHEN Dialogzeile=1 THEN Konto END) AS k1, "
                                       "MIN(CASE WHEN Dialogzeile=2 THEN Konto END) AS k2, COUNT(DISTINCT CASE WHEN Dialogzeile=2 THEN Konto END) AS n2 "
                                       "FROM eurVerbuchtBuchungszeilen GROUP BY Buchungsnummer) s ON s.nr=b.Buchungsnummer WHERE 1=1") +
                            zeitraumBedingung(p) + ordnung);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString k1 = f.getField(QStringLiteral("Konto1")).isNull() ? QString() : QString::number(f.getField(QStringLiteral("Konto1")).toULong());
        QString k2 = f.getField(QStringLiteral("Konto2")).isNull() ? QString() : QString::number(f.getField(QStringLiteral("Konto2")).toULong());
        if (f.getField(QStringLiteral("Anzahl2")).toLongLong() > 1) k2 = QStringLiteral("diverse");
        l->zeile({qlonglong(f.getField(QStringLiteral("Buchungsnummer")).toLongLong()), datum(f.getField(QStringLiteral("Belegdatum"))),
                  datum(f.getField(QStringLiteral("Zahlungsdatum"))),
                  KontoGlobal::getBuchungsartText(f.getField(QStringLiteral("Buchungsart")).toInt(), 1),
                  f.getField(QStringLiteral("Belegnummer")).toString(), f.getField(QStringLiteral("Buchungstext")).toString(), k1, k2,
                  runde(f.getField(QStringLiteral("Betrag")).toDouble()),
                  f.getField(QStringLiteral("Storno")).toLongLong()       ? QStringLiteral("Storno")
                  : f.getField(QStringLiteral("Storniert")).toLongLong() ? QStringLiteral("storniert")
                                                                          : QString()});
    }
    return true;
}

// --- UStListe2: the VAT list ---------------------------------------------------------------

bool ustListe(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Umsatzsteuerliste");
    l->untertitel = p.zeitraumText();
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 34);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Text, 4);
    l->spalte(QStringLiteral("Soll"), QStringLiteral("soll"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Haben"), QStringLiteral("haben"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Saldo"), QStringLiteral("saldo"), BS::Betrag, 13);
    // One walk through the account index, whose order is that of the groups.
    const zDate von = p.von();
    rsDataSource rs(db, QStringLiteral("SELECT  z.Konto AS Konto, kp.Bezeichnung AS Bezeichnung, z.Steuerschluessel AS ZeileSteuerschluessel, "
                                       "SUM(CASE WHEN Haben THEN 0 ELSE ROUND(z.Betrag*100) END) AS Soll, SUM(CASE WHEN Haben THEN "
                                       "ROUND(z.Betrag*100) ELSE 0 END) AS HabenSumme FROM eurVerbuchtBuchungszeilen z, "
                                       "eurKontenplan kp WHERE (z.Konto=kp.Nummer) AND ") +
                            lebendeZeilen(db, &von, p.bis()) +
                            QStringLiteral(" AND (z.Steuerschluessel<>0) GROUP BY z.Konto, z.Steuerschluessel ORDER BY USt, Konto, z.Steuerschluessel "));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const qint64 s = Berichte::cent(f.getField(QStringLiteral("Soll")).toDouble());
        const qint64 h = Berichte::cent(f.getField(QStringLiteral("HabenSumme")).toDouble());
        l->zeile({qlonglong(f.getField(QStringLiteral("Konto")).toLongLong()), f.getField(QStringLiteral("Bezeichnung")).toString(),
                  schluesselText(f.getField(QStringLiteral("ZeileSteuerschluessel")).toULong()), Berichte::euro(s), Berichte::euro(h),
                  Berichte::euro(s - h)});
    }
    return true;
}

// --- Kontenplan ------------------------------------------------------------------------------

bool kontenplan(const BerichtParameter&, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    l->titel = QStringLiteral("Kontenplan");
    l->untertitel = kg ? kg->getKontenplanName() : QString();
    l->spalte(QStringLiteral("Konto"), QStringLiteral("nummer"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 40);
    l->spalte(QStringLiteral("Kurzbezeichnung"), QStringLiteral("kurzbezeichnung"), BS::Text, 20);
    l->spalte(QStringLiteral("Kat."), QStringLiteral("kategorie"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Kategorie"), QStringLiteral("kategorie_bezeichnung"), BS::Text, 28);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Schlüssel"), QStringLiteral("steuerautomatik"), BS::Text, 11);
    l->spalte(QStringLiteral("Aktiv"), QStringLiteral("aktiv"), BS::Text, 5);
    // Accounts without a category row or key row still belong to the chart.
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, kp.Bezeichnung AS Bezeichnung, kp.Kurzbezeichnung AS Kurzbezeichnung, kp.Kategorie AS "
                                       "Kategorie, k.Bezeichnung AS KatBezeichnung, kp.Steuerschluessel AS Steuerschluessel, Steuerautomatik, "
                                       "kp.Aktiv AS Aktiv FROM eurKontenplan kp LEFT JOIN eurKategorien k ON k.Kategorie=kp.Kategorie "
                                       "WHERE Nummer<>0 ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long s = f.getField(QStringLiteral("Steuerschluessel")).toULong();
        const bool fest = f.getField(QStringLiteral("Steuerautomatik")).toLongLong() == 1;
        l->zeile({qlonglong(f.getField(QStringLiteral("Nummer")).toLongLong()), f.getField(QStringLiteral("Bezeichnung")).toString(),
                  f.getField(QStringLiteral("Kurzbezeichnung")).toString(), qlonglong(f.getField(QStringLiteral("Kategorie")).toLongLong()),
                  f.getField(QStringLiteral("KatBezeichnung")).toString(), s ? QVariant(qlonglong(s)) : QVariant(),
                  s ? (fest ? QStringLiteral("fest") : QStringLiteral("Vorbelegung")) : QString(),
                  f.getField(QStringLiteral("Aktiv")).toLongLong() != 0 ? QStringLiteral("ja") : QStringLiteral("nein")});
    }
    return true;
}

// --- Beleganalyse: the document numbers of the income ---------------------------------------

// "RE-2016-007" -> prefix "RE-2016-", number 7, 3 digits; false without a trailing number.
bool belegTeile(const QString& beleg, QString* prefix, qlonglong* nummer, int* stellen = nullptr) {
    const QString b = beleg.trimmed();
    // Mostly plain text: the number is the trailing digits (at most 15).
    // Where the text holds a line break, another control character or a
    // surrogate, the expression decides what its "." takes.
    int i = b.size();
    while (i > 0 && b.size() - i < 15 && b.at(i - 1) >= QLatin1Char('0') && b.at(i - 1) <= QLatin1Char('9')) --i;
    bool schlicht = true;
    for (int k = 0; k < i && schlicht; ++k) {
        const ushort c = b.at(k).unicode();
        schlicht = c >= 0x20 && c != 0x7f && c != 0x85 && c != 0x2028 && c != 0x2029 && (c < 0xd800 || c > 0xdfff);
    }
    if (schlicht) {
        if (i == b.size()) return false;
        *prefix = b.left(i);
        *nummer = b.midRef(i).toLongLong();
        if (stellen) *stellen = b.size() - i;
        return true;
    }
    static const QRegularExpression re(QStringLiteral("^(.*?)(\\d{1,15})$"));
    const QRegularExpressionMatch m = re.match(b);
    if (!m.hasMatch()) return false;
    *prefix = m.captured(1);
    *nummer = m.captured(2).toLongLong();
    if (stellen) *stellen = m.captured(2).size();
    return true;
}

bool beleganalyse(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Beleganalyse der Einnahmen");
    l->untertitel = p.zeitraumText() + (p.belegPrefix.isEmpty() ? QString() : QStringLiteral(", Belege „%1…“").arg(p.belegPrefix));
    l->spalte(QStringLiteral("Beleg"), QStringLiteral("belegnummer"), BS::Text, 14);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("belegdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 30);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Hinweis"), QStringLiteral("hinweis"), BS::Text, 30);
    // The prefix is compared as text, not as a LIKE pattern: "_" and "%"
    // are ordinary characters of a document number.
    const QString prefix = p.belegPrefix.isEmpty() ? QString()
                                                   : QStringLiteral(" AND substr(Belegnummer, 1, %1) = ").arg(p.belegPrefix.size()) + sql(p.belegPrefix);
    // The rows of the list. In document order, the unary plus keeps the
    // planner on idx_eurVerbucht_Belegnummer, which gives them without a
    // sort, rather than on the period or the set of income bookings; in
    // any order, that set gives them fastest.
    auto wo = [&](bool belegfolge) {
        const QString plus = belegfolge ? QStringLiteral("+") : QString();
        return QStringLiteral(" FROM eurVerbucht WHERE Storno=0 AND Storniert=0 ") + zeitraumBedingung(p, plus + QStringLiteral("Belegdatum")) +
               prefix + QStringLiteral(" AND ") + plus +
               QStringLiteral("Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen WHERE Konto IN (SELECT "
                              "Nummer FROM eurKontenplan WHERE Aktiv<>0 AND ((Kategorie>=4000 AND Kategorie<=4999 AND "
                              "Kategorie<>4203) OR Kategorie=5401)))");
    };

    // First pass: the numbers of each series, to measure gaps against the
    // previous number of the same series (the list is ordered by document
    // number as text, so a series is compared by its numbers, not by the
    // order of the text). A number is a duplicate when its trimmed text
    // occurs twice; the same texts are neighbours in the list, so only the
    // few written with spaces around them are counted here.
    QHash<QString, QVector<qlonglong>> serien;
    QHash<QString, int> mitLeerraum;  // trimmed text -> rows written with spaces around it
    {
        rsDataSource rs(db, QStringLiteral("SELECT Belegnummer") + wo(false));
        for (; !rs.isEOF(); rs.fetch()) {
            const QString beleg = rs.getFields()->getField(0).toString();
            const QString b = beleg.trimmed();
            QString pre;
            qlonglong n = 0;
            if (belegTeile(b, &pre, &n)) serien[pre].append(n);
            if (b != beleg && !b.isEmpty()) ++mitLeerraum[b];
        }
    }
    for (auto it = serien.begin(); it != serien.end(); ++it) std::sort(it->begin(), it->end());
    // How often the trimmed texts of those rows occur as they are.
    QHash<QString, int> ohneLeerraum;
    {
        const QStringList texte = mitLeerraum.keys();
        constexpr int kJeAbfrage = 500;
        for (int i = 0; i < texte.size(); i += kJeAbfrage) {
            QStringList literale;
            for (const QString& t : texte.mid(i, kJeAbfrage)) literale << sql(t);
            rsDataSource rs(db, QStringLiteral("SELECT Belegnummer, COUNT(*)") + wo(false) + QStringLiteral(" AND Belegnummer IN (") +
                                    literale.join(QLatin1Char(',')) + QStringLiteral(") GROUP BY Belegnummer"));
            for (; !rs.isEOF(); rs.fetch())
                ohneLeerraum.insert(rs.getFields()->getField(0).toString(), int(rs.getFields()->getField(1).toLongLong()));
        }
    }

    // Second pass: the rows in the order of the list, each written once the
    // next is read, which tells whether its number occurs again.
    rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer, Belegnummer, Belegdatum, Buchungstext, Betrag") + wo(true) +
                            QStringLiteral(" ORDER BY Belegnummer, Belegdatum, Buchungsnummer"));
    struct Z {
        QString beleg;
        QVariant datum;
        qlonglong nr = 0;
        QString text;
        double betrag = 0;
    };
    auto lies = [&](Z* z) {
        if (rs.isEOF()) return false;
        const rsFields& f = *rs.getFields();
        *z = {f.getField(1).toString(), datum(f.getField(2)), qlonglong(f.getField(0).toLongLong()), f.getField(3).toString(),
              runde(f.getField(4).toDouble())};
        rs.fetch();
        return true;
    };
    Z z, naechste;
    bool gleichDavor = false;
    for (bool weiter = lies(&z); weiter;) {
        weiter = lies(&naechste);
        const bool gleichDanach = weiter && naechste.beleg == z.beleg;
        QStringList hinweis;
        const QString b = z.beleg.trimmed();
        const bool doppelt = b == z.beleg ? gleichDavor || gleichDanach || mitLeerraum.contains(b)
                                          : mitLeerraum.value(b) + ohneLeerraum.value(b) > 1;
        if (b.isEmpty()) hinweis << QStringLiteral("ohne Belegnummer");
        else if (doppelt) hinweis << QStringLiteral("doppelt vergeben");
        QString pre;
        qlonglong n = 0;
        int stellen = 0;
        if (!b.isEmpty() && belegTeile(b, &pre, &n, &stellen)) {
            const QVector<qlonglong> s = serien.value(pre);
            const int i = int(std::lower_bound(s.begin(), s.end(), n) - s.begin());
            // A missing number is written as the series writes its numbers ("RE-002").
            auto beleg = [&](qlonglong x) { return pre + QStringLiteral("%1").arg(x, stellen, 10, QLatin1Char('0')); };
            if (i > 0 && n - s[i - 1] > 1)
                hinweis << (n - s[i - 1] == 2 ? QStringLiteral("davor fehlt %1").arg(beleg(n - 1))
                                              : QStringLiteral("davor fehlen %1 bis %2").arg(beleg(s[i - 1] + 1), beleg(n - 1)));
        }
        l->zeile({z.beleg, z.datum, z.nr, z.text, z.betrag, hinweis.join(QStringLiteral("; "))});
        gleichDavor = gleichDanach;
        if (weiter) std::swap(z, naechste);
    }
    return true;
}

// --- Betragsanalyse: the debit amounts of one account ---------------------------------------

bool betragsanalyse(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    if (!kontenBekannt(db, p, fehler)) return false;
    l->titel = QStringLiteral("Betragsanalyse");
    l->untertitel = QStringLiteral("Konto %1 %2, %3").arg(p.vonKonto).arg(KontoGlobal::getKontobezeichnung(p.vonKonto, 0, db), p.zeitraumText());
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Anzahl"), QStringLiteral("anzahl"), BS::Zahl, 7);
    l->spalte(QStringLiteral("Summe"), QStringLiteral("summe"), BS::Betrag, 14);
    // A cancelled booking and its cancellation spent nothing: their debit
    // lines would count an amount twice that was never paid.
    rsDataSource rs(db, QStringLiteral("SELECT ROUND(z.Betrag*100) AS c, COUNT(*) AS n FROM eurVerbucht b, eurVerbuchtBuchungszeilen z "
                                       "WHERE b.Buchungsnummer=z.Buchungsnummer AND z.Haben=0 AND b.Storno=0 AND b.Storniert=0 AND Konto=") +
                            sql(p.vonKonto) + zeitraumBedingung(p) + QStringLiteral(" GROUP BY c ORDER BY c DESC"));
    qint64 summe = 0, n = 0;
    for (; !rs.isEOF(); rs.fetch()) {
        const qint64 c = Berichte::cent(rs.field(QStringLiteral("c")).toDouble());
        const qint64 k = rs.field(QStringLiteral("n")).toLongLong();
        l->zeile({Berichte::euro(c), qlonglong(k), Berichte::euro(c * k)});
        summe += c * k;
        n += k;
    }
    l->zeile({QVariant(), qlonglong(n), Berichte::euro(summe)}, true);
    return true;
}

// --- Buchungsvorlagenliste ------------------------------------------------------------------

bool vorlagen(const BerichtParameter&, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Buchungsvorlagen");
    l->spalte(QStringLiteral("Nr."), QStringLiteral("nummer"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 34);
    l->spalte(QStringLiteral("Art"), QStringLiteral("buchungsart"), BS::Text, 4);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Text, 6);
    l->spalte(QStringLiteral("Gegenkto"), QStringLiteral("gegenkonto"), BS::Text, 8);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Text, 4);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Intervall"), QStringLiteral("intervall"), BS::Text, 12);
    rsDataSource rs(db, QStringLiteral("SELECT b.*, s.k1 AS Konto1, s.k2 AS Konto2, s.n2 AS Anzahl2, s.st AS Schluessel FROM eurBeispiel b "
                                       "LEFT JOIN (SELECT Buchungsnummer AS nr, MIN(CASE WHEN Dialogzeile=1 THEN Konto END) AS k1, "
                                       "MIN(CASE WHEN Dialogzeile=2 THEN Konto END) AS k2, COUNT(DISTINCT CASE WHEN Dialogzeile=2 THEN Konto END) AS n2, "
                                       "MIN(CASE WHEN Dialogzeile=2 THEN Steuerschluessel END) AS st FROM eurBeispielBuchungszeilen GROUP BY "
                                       "Buchungsnummer) s ON s.nr=b.Buchungsnummer ORDER BY b.Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        auto nummer = [&](const QString& feld) { return f.getField(feld).isNull() ? QString() : QString::number(f.getField(feld).toULong()); };
        l->zeile({qlonglong(f.getField(QStringLiteral("Buchungsnummer")).toLongLong()), f.getField(QStringLiteral("Buchungstext")).toString(),
                  KontoGlobal::getBuchungsartText(f.getField(QStringLiteral("Buchungsart")).toInt(), 1), nummer(QStringLiteral("Konto1")),
                  f.getField(QStringLiteral("Anzahl2")).toLongLong() > 1 ? QStringLiteral("diverse") : nummer(QStringLiteral("Konto2")),
                  schluesselText(f.getField(QStringLiteral("Schluessel")).toULong()), runde(f.getField(QStringLiteral("Betrag")).toDouble()),
                  f.getField(QStringLiteral("Intervall")).toString()});
    }
    return true;
}

// --- Buchungszeiten: when bookings were entered ------------------------------------------------

bool buchungszeiten(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    QString spalte = QStringLiteral("Belegdatum");
    if (p.nach == QLatin1String("buchungsdatum")) spalte = QStringLiteral("Buchungsdatum");
    else if (!p.nach.isEmpty() && p.nach != QLatin1String("belegdatum")) {
        if (fehler) *fehler = QStringLiteral("Unbekannte Ordnung „%1“; möglich sind belegdatum und buchungsdatum.").arg(p.nach);
        return false;
    }
    l->titel = QStringLiteral("Buchungszeiten");
    l->untertitel = p.zeitraumText() + QStringLiteral(", nach ") + spalte;
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Belegdatum"), QStringLiteral("belegdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Gebucht am"), QStringLiteral("buchungsdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Tage"), QStringLiteral("tage"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 34);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 12);
    const QString spalten = QStringLiteral("SELECT Buchungsnummer, Buchungstext, Betrag, Belegdatum, Buchungsdatum, ") + spalte;
    const QString bedingung = QStringLiteral(" WHERE 1=1") + zeitraumBedingung(p, spalte);
    // A date is read once for the run of rows that share it.
    QString belegText, gebuchtText;
    zDate beleg, gebucht;
    auto zeile = [&](const QVector<DatenTyp>& w) {
        const QString b = w[3].toString(), g = w[4].toString();
        if (b != belegText || b.isEmpty()) {
            beleg = w[3].toDate();
            belegText = b;
        }
        if (g != gebuchtText || g.isEmpty()) {
            gebucht = w[4].toDate();
            gebuchtText = g;
        }
        l->zeile({qlonglong(w[0].toLongLong()), beleg.isValid() ? QVariant(beleg.qdate()) : QVariant(),
                  gebucht.isValid() ? QVariant(gebucht.qdate()) : QVariant(),
                  beleg.isValid() && gebucht.isValid() ? QVariant(qlonglong(beleg.qdate().daysTo(gebucht.qdate()))) : QVariant(), w[1].toString(),
                  runde(w[2].toDouble())});
    };
    // Without an index on the booking date, or for most of the ledger, the
    // table is read front to back and the rows put in order by their date
    // (Tabellenfolge); else through the index of the voucher date.
    if (spalte != QLatin1String("Belegdatum") || Tabellenfolge::lohnt(db, QStringLiteral("eurVerbucht"), bedingung)) {
        bool lesefehler = false;
        if (Tabellenfolge::inSchluesselfolge(db, spalten + QStringLiteral(" FROM eurVerbucht NOT INDEXED") + bedingung +
                                                     QStringLiteral(" ORDER BY Buchungsnummer"),
                                             zeile, &lesefehler))
            return true;
        if (lesefehler) return unvollstaendigGelesen(fehler);
    }
    rsDataSource rs(db, spalten + QStringLiteral(" FROM eurVerbucht") + bedingung + QStringLiteral(" ORDER BY ") + spalte +
                            QStringLiteral(", Buchungsnummer"));
    QVector<DatenTyp> w;
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        w.clear();
        for (int i = 0; i < 5; ++i) w.append(f.getField(i));
        zeile(w);
    }
    return true;
}

// --- EUEVergleich: the profit by category rank, period against the year so far --------------

bool euerVergleich(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Einnahmenüberschussrechnung im Vergleich");
    l->untertitel = p.zeitraumText() + QStringLiteral(" und ") + QStringLiteral("01.01.%1 bis %2").arg(p.jahr).arg(p.bis().getText());
    l->spalte(QStringLiteral("Kat."), QStringLiteral("kategorie"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 44);
    l->spalte(QStringLiteral("Zeitraum"), QStringLiteral("zeitraum"), BS::Betrag, 14);
    l->spalte(QStringLiteral("Jahr bis dahin"), QStringLiteral("kumuliert"), BS::Betrag, 14);
    auto einnahme = [](unsigned long k) { return (k >= 4000 && k <= 4999) || (k >= 3000 && k <= 3099); };
    // Cents of the period and of the year so far per account, key and side,
    // in the order of the account index (a walk through it, no sort), added
    // up per category here with the sign of the profit (income credit
    // positive, expenses debit positive); the categories of the profit
    // statement only.
    const zDate von = p.von();
    const QString imZeitraum = GetDatenTyp(db, QStringLiteral("SELECT (SELECT MIN(Belegdatum) FROM eurVerbucht)>=") + sql(von)).toLongLong() == 1
                                   ? QStringLiteral("1")
                                   : QStringLiteral("+z.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE Belegdatum>=") + sql(von) +
                                         QStringLiteral(" AND Belegdatum<=") + sql(p.bis()) + QLatin1Char(')');
    rsDataSource rs(db, QStringLiteral("SELECT kp.Kategorie AS Kategorie, z.Haben AS Haben, SUM(CASE WHEN ") + imZeitraum +
                            QStringLiteral(" THEN ROUND(z.Betrag*100) ELSE 0 END) AS cz, SUM(ROUND(z.Betrag*100)) AS c FROM "
                                           "eurVerbuchtBuchungszeilen z, eurKontenplan kp WHERE (z.Konto=kp.Nummer) AND ") +
                            lebendeZeilen(db, nullptr, p.bis()) +
                            QStringLiteral(" AND ((kp.Kategorie<>4208 AND kp.Kategorie BETWEEN 4000 AND 4999) OR (kp.Kategorie BETWEEN 3000 AND "
                                           "3099) OR (kp.Kategorie BETWEEN 5000 AND 5999) OR (kp.Kategorie BETWEEN 3100 AND 3399)) GROUP BY "
                                           "z.Konto, z.Steuerschluessel, z.Haben"));
    QHash<unsigned long, QPair<qint64, qint64>> summen;  // period, year so far
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long k = f.getField(0).toULong();
        const bool plus = einnahme(k) == f.getField(1).toBool();
        const qint64 cz = Berichte::cent(f.getField(2).toDouble()), c = Berichte::cent(f.getField(3).toDouble());
        QPair<qint64, qint64>& s = summen[k];
        s.first += plus ? cz : -cz;
        s.second += plus ? c : -c;
    }
    QList<unsigned long> kategorien;
    QHash<unsigned long, QString> namen;
    {
        rsDataSource k(db, QStringLiteral("SELECT Kategorie, Rang, Bezeichnung FROM eurKategorien ORDER BY Rang, Kategorie"));
        for (; !k.isEOF(); k.fetch()) {
            const unsigned long n = k.field(QStringLiteral("Kategorie")).toULong();
            kategorien.append(n);
            namen.insert(n, k.field(QStringLiteral("Bezeichnung")).toString());
        }
    }
    // A category the ledger uses but the table lacks still counts, last.
    for (auto it = summen.constBegin(); it != summen.constEnd(); ++it)
        if (!namen.contains(it.key())) kategorien.append(it.key());
    qint64 e[2] = {0, 0}, a[2] = {0, 0}, iab[2] = {0, 0}, aufl[2] = {0, 0};
    for (bool einnahmen : {true, false}) {
        for (unsigned long k : kategorien) {
            if (!summen.contains(k) || einnahme(k) != einnahmen) continue;
            const QPair<qint64, qint64> s = summen.value(k);
            l->zeile({qlonglong(k), namen.value(k), Berichte::euro(s.first), Berichte::euro(s.second)});
            const qint64 w[2] = {s.first, s.second};
            for (int i = 0; i < 2; ++i) {
                if (einnahmen) e[i] += w[i];
                else if (k == 5903) iab[i] += w[i];
                else if (k == 5904) aufl[i] -= w[i];
                else a[i] += w[i];
            }
        }
        const qint64* t = einnahmen ? e : a;
        l->zeile({QVariant(), einnahmen ? QStringLiteral("Summe Betriebseinnahmen") : QStringLiteral("Summe Betriebsausgaben"), Berichte::euro(t[0]),
                  Berichte::euro(t[1])},
                 true);
    }
    // The profit by the rule of the profit statement: the investment
    // deduction only while the profit before it stays within the limit.
    qint64 g[2];
    const qint64 grenze = Sperrgrenzen::iabGewinngrenze(db).cent();
    for (int i = 0; i < 2; ++i) {
        g[i] = e[i] - a[i];
        if (g[i] <= grenze) g[i] -= iab[i];
        g[i] += aufl[i];
    }
    l->zeile({QVariant(), QStringLiteral("Gewinn/Verlust"), Berichte::euro(g[0]), Berichte::euro(g[1])}, true);
    return true;
}

// --- MossListe: lines of the one-stop-shop keys -----------------------------------------------

bool mossListe(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("MOSS-Liste");
    l->untertitel = p.zeitraumText();
    l->spalte(QStringLiteral("Land"), QStringLiteral("land"), BS::Text, 5);
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("belegdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Zahl, 5);
    l->spalte(QStringLiteral("Satz %"), QStringLiteral("steuersatz"), BS::Betrag, 7);
    l->spalte(QStringLiteral("Netto"), QStringLiteral("netto"), BS::Betrag, 13);
    l->spalte(QStringLiteral("Steuer"), QStringLiteral("steuer"), BS::Betrag, 12);
    // The base line of each key of 100 and above, with the tax lines of its
    // group (same booking and SteuerID); amounts credit positive.
    rsDataSource rs(db, QStringLiteral("SELECT z.Buchungsnummer AS Nr, b.Belegdatum AS Belegdatum, z.Konto AS Konto, z.Steuerschluessel AS StS, "
                                       "s.Laenderkuerzel AS Land, s.Steuersatz AS Satz, CASE WHEN z.Haben THEN ROUND(z.Betrag*100) ELSE "
                                       "-ROUND(z.Betrag*100) END AS Netto, (SELECT SUM(CASE WHEN t.Haben THEN ROUND(t.Betrag*100) ELSE "
                                       "-ROUND(t.Betrag*100) END) FROM eurVerbuchtBuchungszeilen t WHERE t.Buchungsnummer=z.Buchungsnummer AND "
                                       "t.SteuerID=z.SteuerID AND t.Steuerschluessel=999999) AS Steuer FROM eurVerbuchtBuchungszeilen z JOIN "
                                       "eurVerbucht b ON b.Buchungsnummer=z.Buchungsnummer LEFT JOIN eurSteuerschluessel s ON "
                                       "s.Steuerschluessel=z.Steuerschluessel WHERE z.ID IN (SELECT ID FROM eurVerbuchtBuchungszeilenPlus WHERE "
                                       "Steuerschluessel >= 100 AND Steuerschluessel<>999999) AND b.Storno=0 AND b.Storniert=0") +
                            zeitraumBedingung(p, QStringLiteral("b.Belegdatum")) + QStringLiteral(" ORDER BY Land, b.Belegdatum, z.Buchungsnummer"));
    QString land;
    bool erste = true;
    qint64 netto = 0, steuer = 0;
    auto summe = [&]() {
        if (!erste) l->zeile({land, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), Berichte::euro(netto), Berichte::euro(steuer)}, true);
    };
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString x = f.getField(QStringLiteral("Land")).toString();
        if (erste || x != land) {
            summe();
            land = x;
            erste = false;
            netto = steuer = 0;
        }
        const qint64 n = Berichte::cent(f.getField(QStringLiteral("Netto")).toDouble());
        const qint64 s = Berichte::cent(f.getField(QStringLiteral("Steuer")).toDouble());
        netto += n;
        steuer += s;
        l->zeile({x, qlonglong(f.getField(QStringLiteral("Nr")).toLongLong()), datum(f.getField(QStringLiteral("Belegdatum"))),
                  qlonglong(f.getField(QStringLiteral("Konto")).toLongLong()), qlonglong(f.getField(QStringLiteral("StS")).toLongLong()),
                  runde(f.getField(QStringLiteral("Satz")).toDouble()), Berichte::euro(n), Berichte::euro(s)});
    }
    summe();
    return true;
}

// --- Sperrgrenzen: expenses above a threshold ---------------------------------------------------

bool sperrgrenzen(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    if (!kontenBekannt(db, p, fehler)) return false;
    EuroType grenze = p.grenze;
    QString name = QStringLiteral("Grenze");
    if (grenze < EuroType()) {
        rsDataSource g(db, QStringLiteral("SELECT Betrag, Bezeichnung FROM eurSperrgrenzen WHERE Bezeichnung LIKE 'Geringwertige%' ORDER BY Betrag"));
        if (g.isEOF()) {
            if (fehler) *fehler = QStringLiteral("Der Fall kennt keine Grenze für geringwertige Wirtschaftsgüter; bitte geben Sie die Grenze mit --grenze BETRAG an.");
            return false;
        }
        grenze = g.field(QStringLiteral("Betrag")).toEuro();
        name = g.field(QStringLiteral("Bezeichnung")).toString();
    }
    l->titel = QStringLiteral("Ausgaben über der Sperrgrenze");
    l->untertitel = QStringLiteral("%1: %2 EUR, %3").arg(name, grenze.getText(), p.zeitraumText());
    l->spalte(QStringLiteral("Nr."), QStringLiteral("buchungsnummer"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("belegdatum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Text"), QStringLiteral("buchungstext"), BS::Text, 36);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 12);
    QString konten;
    if (p.vonKonto != 0)
        konten = QStringLiteral(" AND Konto BETWEEN ") + sql(p.vonKonto) + QStringLiteral(" AND ") + sql(p.bisKonto ? p.bisKonto : p.vonKonto);
    // Cancelled expenses were never spent: they and their cancellations stay out.
    rsDataSource rs(db, QStringLiteral("SELECT 'verbucht' AS vonTabelle, b.Buchungsnummer AS Buchnummer, Belegdatum, z.Buchungstext AS Buchtext, "
                                       "z.Betrag AS Betrag, Konto FROM eurVerbucht b, eurVerbuchtBuchungszeilen z  WHERE b.Buchungsnummer= "
                                       "z.Buchungsnummer AND Haben=0 AND b.Storno=0 AND b.Storniert=0") +
                            zeitraumBedingung(p) + konten + QStringLiteral(" AND ROUND(z.Betrag*100) > ") + rsDataSource::toSqlStr(qlonglong(grenze.cent())) +
                            QStringLiteral(" AND Konto IN (SELECT Nummer FROM eurKontenplan WHERE Nummer<>0 AND ((Kategorie>=5000 AND "
                                           "Kategorie<=6999 AND Kategorie<>5401) OR (Kategorie=4203)) ) ORDER BY Buchnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        l->zeile({qlonglong(f.getField(QStringLiteral("Buchnummer")).toLongLong()), datum(f.getField(QStringLiteral("Belegdatum"))),
                  qlonglong(f.getField(QStringLiteral("Konto")).toLongLong()), f.getField(QStringLiteral("Buchtext")).toString(),
                  runde(f.getField(QStringLiteral("Betrag")).toDouble())});
    }
    return true;
}

// --- ZusammenfassendeMeldung2: the recapitulative statement as a list -------------------------

bool zmListe(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    if (!rsFallDB()) return keineDatenbank(fehler);
    int code = -1;
    if (p.zeitraum.art == 1) code = p.zeitraum.monat + 4;
    else if (p.zeitraum.art == 2) code = p.zeitraum.quartal;
    else if (p.zeitraum.art == 4) {
        if (fehler) *fehler = QStringLiteral("Die Zusammenfassende Meldung gilt für einen Monat, ein Quartal oder das Jahr; bitte --monat, --quartal oder --jahr angeben.");
        return false;
    }
    l->titel = QStringLiteral("Zusammenfassende Meldung");
    l->untertitel = p.zeitraumText();
    l->spalte(QStringLiteral("Land"), QStringLiteral("land"), BS::Text, 4);
    l->spalte(QStringLiteral("USt-IdNr."), QStringLiteral("ustid"), BS::Text, 16);
    l->spalte(QStringLiteral("Art"), QStringLiteral("zmart"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BS::Betrag, 14);
    // The same figures the statement itself reports.
    const QMap<QString, KontoGlobal::UstIdZm> zeilen = KontoGlobal::getUStIdMap(code);
    qint64 summe = 0;
    for (const KontoGlobal::UstIdZm& z : zeilen) {
        const qint64 c = z.Betrag.cent();
        summe += c;
        l->zeile({z.Laenderkennzeichen, z.UStIdNr, qlonglong(z.ZMArt), Berichte::euro(c)});
    }
    l->zeile({QVariant(), QVariant(), QVariant(), Berichte::euro(summe)}, true);
    return true;
}

// --- the invoicing lists ----------------------------------------------------------------------

bool kundenliste(const BerichtParameter&, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Kundenliste");
    l->spalte(QStringLiteral("Kunde"), QStringLiteral("kundennummer"), BS::Text, 8);
    l->spalte(QStringLiteral("Name"), QStringLiteral("name"), BS::Text, 20);
    l->spalte(QStringLiteral("Vorname"), QStringLiteral("vorname"), BS::Text, 14);
    l->spalte(QStringLiteral("Firma"), QStringLiteral("firma"), BS::Text, 24);
    l->spalte(QStringLiteral("PLZ"), QStringLiteral("plz"), BS::Text, 6);
    l->spalte(QStringLiteral("Ort"), QStringLiteral("ort"), BS::Text, 16);
    l->spalte(QStringLiteral("USt-IdNr."), QStringLiteral("ustid"), BS::Text, 14);
    l->spalte(QStringLiteral("E-Mail"), QStringLiteral("email"), BS::Text, 24);
    rsDataSource rs(db, QStringLiteral("SELECT * FROM rePersonen  ORDER BY Kundennummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        QList<QVariant> w;
        for (const char* feld : {"Kundennummer", "Name", "Vorname", "Firma", "Plz", "Ort", "UStID", "eMail"})
            w << f.getField(QLatin1String(feld)).toString();
        l->zeile(w);
    }
    return true;
}

bool artikelliste(const BerichtParameter&, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    l->titel = QStringLiteral("Artikelliste");
    l->spalte(QStringLiteral("Artikel"), QStringLiteral("artikelnummer"), BS::Text, 10);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BS::Text, 34);
    l->spalte(QStringLiteral("Einheit"), QStringLiteral("einheit"), BS::Text, 8);
    l->spalte(QStringLiteral("StS"), QStringLiteral("steuerschluessel"), BS::Zahl, 4);
    l->spalte(QStringLiteral("Konto"), QStringLiteral("konto"), BS::Zahl, 6);
    l->spalte(QStringLiteral("Netto"), QStringLiteral("nettopreis"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Brutto"), QStringLiteral("bruttopreis"), BS::Betrag, 12);
    rsDataSource rs(db, QStringLiteral("SELECT * FROM reArtikel  ORDER BY Artikelnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        l->zeile({f.getField(QStringLiteral("Artikelnummer")).toString(), f.getField(QStringLiteral("Bezeichnung")).toString(),
                  f.getField(QStringLiteral("Einheit")).toString(), qlonglong(f.getField(QStringLiteral("Steuerschluessel")).toLongLong()),
                  qlonglong(f.getField(QStringLiteral("Konto")).toLongLong()), runde(f.getField(QStringLiteral("Normalpreis")).toDouble()),
                  runde(f.getField(QStringLiteral("Bruttonormalpreis")).toDouble())});
    }
    return true;
}

bool fakturierungsliste(const BerichtParameter& p, BerichtListe* l, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return keineDatenbank(fehler);
    struct Tabelle {
        const char* art;
        const char* tabelle;
        const char* titel;
    };
    static const Tabelle tabellen[] = {{"rechnung", "reRechnungen", "Rechnungen"},
                                       {"angebot", "reAngebote", "Angebote"},
                                       {"auftrag", "reAuftragsbestaetigungen", "Auftragsbestätigungen"},
                                       {"lieferschein", "reLieferscheine", "Lieferscheine"},
                                       {"mahnung", "reMahnungen", "Mahnungen"}};
    const QString art = p.belegart.isEmpty() ? QStringLiteral("rechnung") : p.belegart;
    const Tabelle* t = nullptr;
    for (const Tabelle& x : tabellen)
        if (art == QLatin1String(x.art)) t = &x;
    if (!t) {
        if (fehler) *fehler = QStringLiteral("Unbekannte Belegart „%1“; möglich sind rechnung, angebot, auftrag, lieferschein und mahnung.").arg(art);
        return false;
    }
    l->titel = QString::fromUtf8(t->titel);
    l->untertitel = p.zeitraumText();
    l->spalte(QStringLiteral("Nummer"), QStringLiteral("nummer"), BS::Text, 12);
    l->spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BS::Datum, 10);
    l->spalte(QStringLiteral("Kunde"), QStringLiteral("kundennummer"), BS::Text, 8);
    l->spalte(QStringLiteral("Name"), QStringLiteral("name"), BS::Text, 26);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("gesamtbetrag"), BS::Betrag, 12);
    l->spalte(QStringLiteral("Bezahlt"), QStringLiteral("bezahlt"), BS::Text, 10);
    l->spalte(QStringLiteral("Erinnerung"), QStringLiteral("erinnerungsdatum"), BS::Datum, 10);
    rsDataSource rs(db, QStringLiteral("SELECT * FROM ( SELECT f.*, p.Kundennummer AS knr, p.Name AS pName, p.Firma AS pFirma FROM %1 AS f LEFT "
                                       "JOIN rePersonen AS p ON f.PersonID = p.PersonID) WHERE 1=1")
                                .arg(QLatin1String(t->tabelle)) +
                            zeitraumBedingung(p, QStringLiteral("Datum")) + QStringLiteral(" ORDER BY Nummer"));
    qint64 summe = 0;
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString firma = f.getField(QStringLiteral("pFirma")).toString();
        const qint64 c = qint64(std::llround(f.getField(QStringLiteral("Gesamtbetrag")).toDouble() * 100.0));
        summe += c;
        const zDate bezahlt = f.getField(QStringLiteral("bezahlt")).toDate();
        l->zeile({f.getField(QStringLiteral("Nummer")).toString(), datum(f.getField(QStringLiteral("Datum"))), f.getField(QStringLiteral("knr")).toString(),
                  firma.isEmpty() ? f.getField(QStringLiteral("pName")).toString() : firma, Berichte::euro(c),
                  bezahlt.isValid() ? bezahlt.getText() : f.getField(QStringLiteral("bezahlt")).toString(),
                  datum(f.getField(QStringLiteral("Erinnerungsdatum")))});
    }
    l->zeile({QVariant(), QVariant(), QVariant(), QStringLiteral("Summe"), Berichte::euro(summe), QVariant(), QVariant()}, true);
    return true;
}

// --- Inventarliste2: the assets of the case ------------------------------------------------------

bool inventarliste(const BerichtParameter& p, BerichtListe* l, QString*) {
    Berichte::inventar(p.jahr, l);
    return true;
}

bool anlagenverzeichnisListe(const BerichtParameter& p, BerichtListe* l, QString*) {
    Berichte::anlagenverzeichnis(p.jahr, l);
    return true;
}

}  // namespace

// --- the period ---------------------------------------------------------------------------

zDate BerichtParameter::von() const {
    if (zeitraum.art == 1 && zeitraum.monat >= 0) return zDate(jahr, zeitraum.monat + 1, 1);
    if (zeitraum.art == 2 && zeitraum.quartal >= 0) return zDate(jahr, 3 * zeitraum.quartal + 1, 1);
    if (zeitraum.art == 4 && zeitraum.frei.von().isValid()) return zeitraum.frei.von();
    return zDate(jahr, 1, 1);
}

zDate BerichtParameter::bis() const {
    if (zeitraum.art == 1 && zeitraum.monat >= 0) return von().addMonths(1).addDays(-1);
    if (zeitraum.art == 2 && zeitraum.quartal >= 0) return von().addMonths(3).addDays(-1);
    if (zeitraum.art == 4 && zeitraum.frei.bis().isValid()) return zeitraum.frei.bis();
    return zDate(jahr, 12, 31);
}

QString BerichtParameter::zeitraumText() const {
    if (zeitraum.art == 1 && zeitraum.monat >= 0) return QStringLiteral("%1 %2").arg(QString::fromUtf8(kMonate[zeitraum.monat])).arg(jahr);
    if (zeitraum.art == 2 && zeitraum.quartal >= 0) return QStringLiteral("%1. Quartal %2").arg(zeitraum.quartal + 1).arg(jahr);
    if (zeitraum.art == 4) return von().getText() + QStringLiteral(" bis ") + bis().getText();
    return QString::number(jahr);
}

// --- the table of reports -------------------------------------------------------------------

const QList<Berichte::BerichtArt>& Berichte::berichtArten() {
    static const QList<BerichtArt> arten = {
        {"kontenabfrage", "Kontenabfrage2", "Kontoauszüge: jede Buchungszeile eines Kontos mit laufendem Saldo", OptZeitraum | OptKonten, kontenabfrage},
        {"journal", "Buchungsprotokoll2", "Buchungsprotokoll (Journal): alle Buchungen, auch stornierte", OptZeitraum | OptSortierung, buchungsprotokoll},
        {"ustliste", "UStListe2", "Umsatzsteuerliste: Summen je Konto und Steuerschlüssel", OptZeitraum, ustListe},
        {"kontenplan", "Kontenplan", "der Kontenplan mit Kategorien und Steuerschlüsseln", 0, kontenplan},
        {"vorlagen", "Buchungsvorlagenliste", "die Buchungsvorlagen, auch die regelmäßigen", 0, vorlagen},
        {"beleganalyse", "Beleganalyse", "Belegnummern der Einnahmen: doppelte, fehlende und Lücken", OptZeitraum | OptBeleg, beleganalyse},
        {"betragsanalyse", "Betragsanalyse", "Sollbeträge eines Kontos nach Höhe und Häufigkeit", OptZeitraum | OptKontoPflicht, betragsanalyse},
        {"buchungszeiten", "Buchungszeiten", "wann gebucht wurde: Beleg- und Buchungsdatum mit dem Abstand in Tagen", OptZeitraum | OptNach, buchungszeiten},
        {"euer-vergleich", "EUEVergleich", "Gewinn je Kategorie: Zeitraum und Jahr bis dahin", OptZeitraum, euerVergleich},
        {"sperrgrenzen", "Sperrgrenzen", "Ausgaben über einer Grenze (etwa der für geringwertige Wirtschaftsgüter)", OptZeitraum | OptKonten | OptGrenze, sperrgrenzen},
        {"moss", "MossListe", "Buchungen mit Steuerschlüsseln des MOSS-Verfahrens, je Land", OptZeitraum, mossListe},
        {"zm", "ZusammenfassendeMeldung2", "Zusammenfassende Meldung als Liste je USt-IdNr.", OptZeitraum, zmListe},
        {"kunden", "RebKundenliste", "Kunden der Fakturierung", 0, kundenliste},
        {"artikel", "RebArtikelliste", "Artikel der Fakturierung", 0, artikelliste},
        {"belege", "RebFakturierungsliste", "Rechnungen, Angebote, Aufträge, Lieferscheine oder Mahnungen", OptZeitraum | OptBelegart, fakturierungsliste},
        {"inventar", "Inventarliste2", "das Anlagevermögen laut Anlagenverzeichnis", 0, inventarliste},
        {"aveuer", "AnlageAVEUER", "Anlagenverzeichnis (Anlage AVEÜR): Buchwerte, Zugänge, AfA und Abgänge des Jahres", 0, anlagenverzeichnisListe},
    };
    return arten;
}

const Berichte::BerichtArt* Berichte::findeBericht(const QString& name) {
    for (const BerichtArt& a : berichtArten())
        if (name == QLatin1String(a.name) || name == QLatin1String(a.klasse)) return &a;
    return nullptr;
}
