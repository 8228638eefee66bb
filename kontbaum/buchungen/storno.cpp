// Cancelling and deleting bookings, the search by link, account use, counts
// and balances.
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace {
const QString kQuelle = QStringLiteral("kontbaum/storno");

QString q(unsigned long v) { return rsDataSource::toSqlStr(v); }

bool istTabelle(const QString& t) {
    return t == QLatin1String("eurVerbucht") || t == QLatin1String("eurStapel") || t == QLatin1String("eurBeispiel") ||
           t == QLatin1String("eurUebernahme");
}

// "5, 7,9" -> [5, 7, 9]; false when a part is not a number (the list then
// never reaches SQL text).
bool nummernListe(const QString& liste, QList<unsigned long>* out) {
    QString l = liste.trimmed();
    if (l.startsWith(QLatin1Char('(')) && l.endsWith(QLatin1Char(')'))) l = l.mid(1, l.size() - 2);
    for (const QString& teil : l.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const unsigned long n = teil.trimmed().toULong(&ok);
        if (!ok) return false;
        out->append(n);
    }
    return true;
}

DatenTyp negiert(const DatenTyp& v) {
    if (v.isNull() || v.toDouble() == 0.0) return v;  // a zero stays as it is
    return DatenTyp(-v.toDouble());
}

QString zeilenEinfuegen(const rsFields& f, const QStringList& ohne, const QMap<QString, DatenTyp>& ersatz,
                        const QString& tabelle) {
    QStringList spalten, werte;
    for (int i = 0; i < f.count(); ++i) {
        const QString name = f.name(i);
        if (ohne.contains(name, Qt::CaseInsensitive)) continue;
        spalten << name;
        werte << rsDataSource::toSqlStr(ersatz.contains(name) ? ersatz.value(name) : f.getField(i));
    }
    return QStringLiteral("INSERT INTO ") + tabelle + QStringLiteral(" (") + spalten.join(QStringLiteral(", ")) +
           QStringLiteral(") VALUES (") + werte.join(QStringLiteral(", ")) + QStringLiteral(");");
}
}  // namespace

unsigned long KontoGlobal::storniereBuchung(unsigned long n) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    rsDataSource kopf(db, QStringLiteral("SELECT * FROM eurVerbucht WHERE Buchungsnummer=") + q(n));
    if (kopf.isEOF()) return 0;
    // Cancelling twice, or cancelling a cancellation, would count the
    // booking again.
    if (kopf.field(QStringLiteral("Storniert")).toLongLong() != 0 || kopf.field(QStringLiteral("Storno")).toLongLong() != 0)
        return 0;
    // The cancellation carries the booking's date: a closed register stays closed.
    const QString kasse = pruefeKasseAbgeschlossen(n, db);
    if (!kasse.isEmpty()) {
        GetUi().rsError(kasse);
        return 0;
    }
    // Its own run unless it is part of a larger operation: the mirror
    // booking may take money out of a till.
    Buchungslauf lauf(db);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) return 0;
    const unsigned long m = getNewBuchungsnummer(QStringLiteral("eurVerbucht"), db);
    QMap<QString, DatenTyp> ersatz;
    ersatz.insert(QStringLiteral("Buchungsnummer"), DatenTyp(m));
    ersatz.insert(QStringLiteral("Betrag"), negiert(kopf.field(QStringLiteral("Betrag"))));
    ersatz.insert(QStringLiteral("Storno"), DatenTyp(1));
    ersatz.insert(QStringLiteral("Stapel"), DatenTyp(0));
    ersatz.insert(QStringLiteral("Buchungsdatum"), DatenTyp(zDate::today()));
    bool ok = m != 0 && ExecSQL(db, zeilenEinfuegen(*kopf.getFields(), {}, ersatz, QStringLiteral("eurVerbucht")));
    {
        rsDataSource z(db, QStringLiteral("SELECT * FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") + q(n) +
                               QStringLiteral(" ORDER BY ID"));
        for (; ok && !z.isEOF(); z.fetch()) {
            QMap<QString, DatenTyp> e;
            e.insert(QStringLiteral("Buchungsnummer"), DatenTyp(m));
            e.insert(QStringLiteral("Betrag"), negiert(z.field(QStringLiteral("Betrag"))));
            e.insert(QStringLiteral("SplittBetrag"), negiert(z.field(QStringLiteral("SplittBetrag"))));
            ok = ExecSQL(db, zeilenEinfuegen(*z.getFields(), {QStringLiteral("ID")}, e,
                                             QStringLiteral("eurVerbuchtBuchungszeilen")));
        }
    }
    // A cancelled payment no longer pays its invoice, nor its bank transaction.
    ok = ok && rechnungZahlungEntfernt(db, n) && umsatzBuchungEntfernt(db, n) && ExecSQL(db, QStringLiteral("UPDATE eurVerbucht SET Storniert=1 WHERE Buchungsnummer=") + q(n));
    if (!ok) {
        tx.rollback();
        rs_logError(kQuelle, __LINE__, QStringLiteral("Storno der Buchung %1: %2").arg(n).arg(db->getErr()->last()));
        return 0;
    }
    if (!tx.commit()) return 0;
    lauf.storniert();
    QString grund;
    if (!lauf.abschliessen(&grund)) {
        GetUi().rsError(grund);
        return 0;
    }
    return m;
}

bool KontoGlobal::storniereBuchungen(const QString& liste) {
    QList<unsigned long> nummern;
    if (!nummernListe(liste, &nummern)) return false;
    // Each in turn, each its own run: one that is refused leaves the others
    // cancelled (an all-or-nothing list is the overload below).
    bool ok = true;
    for (unsigned long n : nummern) ok = storniereBuchung(n) != 0 && ok;
    return ok;
}

QString KontoGlobal::pruefeStornoOderLoeschen(unsigned long n) {
    DBConnection* db = rsFallDB();
    if (!db) return QStringLiteral("Es ist kein Fall geöffnet.");
    const QVector<DatenTyp> z =
        QueryPrepared(db, QStringLiteral("SELECT Storno, Storniert FROM eurVerbucht WHERE Buchungsnummer=?"), {DatenTyp(n)});
    if (z.size() != 2) return QStringLiteral("Die Buchung %1 gibt es nicht.").arg(n);
    if (z[1].toLongLong() != 0) return QStringLiteral("Die Buchung %1 ist bereits storniert.").arg(n);
    if (z[0].toLongLong() != 0)
        return QStringLiteral("Die Buchung %1 ist selbst ein Storno und kann nicht storniert oder gelöscht werden.").arg(n);
    return pruefeKasseAbgeschlossen(n, db);
}

QList<unsigned long> KontoGlobal::storniereBuchungen(const QList<unsigned long>& nummern, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return QList<unsigned long>();
    };
    bool gesperrt = false;
    for (unsigned long n : nummern) {
        const QString g = pruefeStornoOderLoeschen(n);
        if (!g.isEmpty()) return nein(g);
        gesperrt = gesperrt || isFestgeschrieben(n);
    }
    // The cancellation carries the voucher date of the booking: in a locked
    // period it changes the figures of a return that was probably filed
    // already, so the user decides, as for any new locked booking.
    if (gesperrt && !festgeschriebenFrage(QStringLiteral("Festgeschrieben"), FFK_Buchen, FFT_NeueFestgeschrieben))
        return nein(QStringLiteral("Die Stornobuchung läge im festgeschriebenen Zeitraum; es wurde nichts storniert."));
    Buchungslauf lauf(rsFallDB());
    QList<unsigned long> neu;
    for (unsigned long n : nummern) {
        const unsigned long m = storniereBuchung(n);
        if (m == 0) return nein(QStringLiteral("Die Buchung %1 konnte nicht storniert werden.").arg(n));
        neu << m;
    }
    QString grund;
    if (!lauf.abschliessen(&grund)) return nein(grund);
    return neu;
}

bool KontoGlobal::loescheBuchungen(const QList<unsigned long>& nummern, QList<unsigned long>* stornos, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    stornos->clear();
    QStringList liste;
    for (unsigned long n : nummern) {
        const QString g = pruefeStornoOderLoeschen(n);
        if (!g.isEmpty()) return nein(g);
        liste << QString::number(n);
    }
    QString loeschen, stornieren;
    ermittleBuchungsnummernFuersLoeschenOderStornieren(liste.join(QLatin1Char(',')), loeschen, stornieren);
    // Locked bookings are never deleted; the user may have them cancelled.
    if (!stornieren.isEmpty() && !festgeschriebenFrage(QStringLiteral("Festgeschrieben"), FFK_Aendern, FFT_Storno))
        return nein(QStringLiteral("Die Buchungen %1 sind festgeschrieben; es wurde nichts gelöscht.").arg(stornieren));
    Buchungslauf lauf(rsFallDB());
    if (!loeschen.isEmpty() && !deleteBuchungen(loeschen, QStringLiteral("eurVerbucht")))
        return nein(QStringLiteral("Die Buchungen konnten nicht gelöscht werden."));
    QList<unsigned long> neu;
    for (const QString& t : stornieren.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const unsigned long m = storniereBuchung(t.toULong());
        if (m == 0) return nein(QStringLiteral("Die Buchung %1 konnte nicht storniert werden.").arg(t));
        neu << m;
    }
    QString grund;
    if (!lauf.abschliessen(&grund)) return nein(grund);
    *stornos = neu;
    return true;
}

bool KontoGlobal::deleteBuchung(unsigned long n, const QString& table) {
    DBConnection* db = rsFallDB();
    if (!db || !istTabelle(table)) return false;
    if (table == QLatin1String("eurVerbucht")) {
        const QString kasse = pruefeKasseAbgeschlossen(n, db);
        if (!kasse.isEmpty()) {
            GetUi().rsError(kasse);
            return false;
        }
    }
    const bool ledger = table == QLatin1String("eurVerbucht");
    Buchungslauf lauf(ledger ? db : nullptr);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) return false;
    if (ledger) lauf.entfernt({n});
    // A deleted payment reopens its invoice and its bank transaction in the
    // same transaction.
    const bool ok = (!ledger || (rechnungZahlungEntfernt(db, n) && umsatzBuchungEntfernt(db, n))) &&
                    ExecSQL(db, QStringLiteral("DELETE FROM ") + table + QStringLiteral("Buchungszeilen WHERE Buchungsnummer=") + q(n)) &&
                    ExecSQL(db, QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE Buchungsnummer=") + q(n));
    if (!ok) {
        tx.rollback();
        return false;
    }
    if (!tx.commit()) return false;
    QString grund;
    if (lauf.abschliessen(&grund)) return true;
    GetUi().rsError(grund);
    return false;
}

bool KontoGlobal::deleteBuchungen(const QString& liste, const QString& table) {
    DBConnection* db = rsFallDB();
    const QString l = liste.trimmed();
    if (!db || !istTabelle(table) || l.isEmpty() || l == QLatin1String("()")) return false;
    QList<unsigned long> nummern;
    if (!nummernListe(l, &nummern) || nummern.isEmpty()) return false;
    QStringList teile;
    for (unsigned long n : nummern) teile << QString::number(n);
    const QString in = QStringLiteral("(") + teile.join(QLatin1Char(',')) + QStringLiteral(")");
    if (table == QLatin1String("eurVerbucht"))
        for (unsigned long n : nummern) {
            const QString kasse = pruefeKasseAbgeschlossen(n, db);
            if (!kasse.isEmpty()) {
                GetUi().rsError(kasse);
                return false;
            }
        }
    const bool ledger = table == QLatin1String("eurVerbucht");
    Buchungslauf lauf(ledger ? db : nullptr);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) return false;
    if (ledger) lauf.entfernt(nummern);
    // Each deleted payment reopens its invoice once no other booking pays it,
    // so the ledger's bookings go one after the other.
    bool offen = true;
    if (ledger)
        for (unsigned long n : nummern)
            offen = offen && rechnungZahlungEntfernt(db, n) && umsatzBuchungEntfernt(db, n) &&
                    ExecSQL(db, QStringLiteral("DELETE FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") + q(n)) &&
                    ExecSQL(db, QStringLiteral("DELETE FROM eurVerbucht WHERE Buchungsnummer=") + q(n));
    const bool ok = offen && ExecSQL(db, QStringLiteral("DELETE FROM ") + table + QStringLiteral("Buchungszeilen WHERE Buchungsnummer IN ") + in) &&
                    ExecSQL(db, QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE Buchungsnummer IN ") + in);
    if (!ok) {
        tx.rollback();
        return false;
    }
    if (!tx.commit()) return false;
    QString grund;
    if (lauf.abschliessen(&grund)) return true;
    GetUi().rsError(grund);
    return false;
}

void KontoGlobal::ermittleBuchungsnummernFuersLoeschenOderStornieren(const QString& liste, QString& loeschen,
                                                                     QString& stornieren) {
    QStringList l, s;
    for (const QString& teil : liste.split(QLatin1Char(','))) {
        const unsigned long n = teil.trimmed().toULong();
        (isFestgeschrieben(n) ? s : l) << QString::number(n);
    }
    loeschen = l.join(QLatin1Char(','));
    stornieren = s.join(QLatin1Char(','));
}

int KontoGlobal::deleteBuchungWithInfo(const QString& info) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    // The link is user data (an invoice number): quoted, never pasted.
    const QString z = rsDataSource::toSqlStr(info);
    QList<unsigned long> gebucht, vorlagen;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE Zusatzinfo=") + z +
                                QStringLiteral(" AND Storno=0 AND Storniert=0 "));
        for (; !rs.isEOF(); rs.fetch()) gebucht << rs.field(QStringLiteral("Buchungsnummer")).toULong();
        rsDataSource bsp(db, QStringLiteral("SELECT Buchungsnummer FROM eurBeispiel WHERE Zusatzinfo=") + z);
        for (; !bsp.isEOF(); bsp.fetch()) vorlagen << bsp.field(QStringLiteral("Buchungsnummer")).toULong();
    }
    // One run: the bookings of one invoice are asked about once.
    Buchungslauf lauf(db);
    int n = 0;
    for (unsigned long b : gebucht)
        n += (isFestgeschrieben(b) ? storniereBuchung(b) != 0 : deleteBuchung(b, QStringLiteral("eurVerbucht"))) ? 1 : 0;
    for (unsigned long b : vorlagen) n += deleteBuchung(b, QStringLiteral("eurBeispiel")) ? 1 : 0;
    QString grund;
    if (lauf.abschliessen(&grund)) return n;
    GetUi().rsError(grund);
    return 0;
}

unsigned long KontoGlobal::existsBuchungWithInfo(const QString& info, QString& text, const QString& vergleich, zDate* datum) {
    text.clear();
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    const bool muster = vergleich.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0;
    rsDataSource rs(db, QStringLiteral("SELECT 'eurVerbucht' AS vonTabelle,  Buchungsnummer, Buchungstext, Betrag, Belegdatum, "
                                       "Belegnummer  FROM eurVerbucht WHERE ") +
                            (muster ? QStringLiteral(" Zusatzinfo LIKE ") : QStringLiteral(" Zusatzinfo=")) +
                            rsDataSource::toSqlStr(info) + QStringLiteral(" AND Storno=0 AND Storniert=0 "));
    if (rs.isEOF()) return 0;
    const unsigned long n = rs.field(QStringLiteral("Buchungsnummer")).toULong();
    const zDate d = rs.field(QStringLiteral("Belegdatum")).toDate();
    if (datum) *datum = d;
    const QString tabelle = rs.field(QStringLiteral("vonTabelle")).toString() + QStringLiteral("Buchungszeilen");
    auto kontoDer = [&](int zeile) {
        return GetDatenTyp(db, QStringLiteral("SELECT Konto FROM ") + tabelle + QStringLiteral(" WHERE Buchungsnummer=") + q(n) +
                                   QStringLiteral(" AND Dialogzeile=%1").arg(zeile))
            .toULong();
    };
    const bool haben = GetDatenTyp(db, QStringLiteral("SELECT Haben FROM ") + tabelle + QStringLiteral(" WHERE Buchungsnummer=") +
                                           q(n) + QStringLiteral(" AND Dialogzeile=1"))
                           .toBool();
    const unsigned long k1 = kontoDer(1), k2 = kontoDer(2);
    text = QStringLiteral("Buchungsnummer: %1, Belegnummer: %2").arg(n).arg(rs.field(QStringLiteral("Belegnummer")).toString()) +
           QStringLiteral("\nBuchungstext: ") + rs.field(QStringLiteral("Buchungstext")).toString() +
           QStringLiteral("\nDatum: ") + d.getText() + QStringLiteral(", Betrag: ") +
           rs.field(QStringLiteral("Betrag")).toEuro().getText() + QStringLiteral(" EUR \n") +
           QStringLiteral("Konten: %1 an %2").arg(haben ? k2 : k1).arg(haben ? k1 : k2);
    return n;
}

bool KontoGlobal::existsBuchung(unsigned long konto, DBConnection* con, bool mitSteuer) {
    con = rsFallDB(con);
    if (!con) return false;
    const QString k = q(konto);
    QStringList pruefungen;
    for (const char* t : {"eurStapelBuchungszeilen", "eurVerbuchtBuchungszeilen", "eurSplittBuchungszeilen",
                          "eurBeispielBuchungszeilen"})
        // The account's own lines through the account index first; only an
        // account without one has its counter side searched line by line.
        pruefungen << QStringLiteral("SELECT 1 FROM ") + QLatin1String(t) + QStringLiteral(" WHERE Konto=") + k +
                          QStringLiteral(" UNION ALL SELECT 1 FROM ") + QLatin1String(t) + QStringLiteral(" WHERE Gegenkonto=") + k;
    if (mitSteuer)
        pruefungen << QStringLiteral("SELECT 1 FROM eurSteuerschluessel WHERE Steuerkonto=") + k + QStringLiteral(" OR Steuerkonto2=") + k;
    pruefungen << QStringLiteral("SELECT 1 FROM eurExportierteKassen WHERE Konto=") + k;
    pruefungen << QStringLiteral("SELECT 1 FROM eurBankverbindung WHERE kpNummer=%1").arg(konto);
    for (const QString& p : pruefungen) {
        if (!GetDatenTyp(con, p + QStringLiteral(" LIMIT 1")).isNull()) return true;
    }
    con->getErr()->clear();  // a table this case does not have counts as unused
    return false;
}

unsigned long KontoGlobal::countBuchungen(unsigned long konto, int, const zDate& von, const zDate& bis) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    if (von.isValid() && bis.isValid() && bis < von) rs_logAssert(kQuelle, __LINE__, QStringLiteral("von<=bis"));
    QString w;
    if (von.isValid()) w += QStringLiteral("Belegdatum>=") + rsDataSource::toSqlStr(von) + QStringLiteral(" AND ");
    if (bis.isValid()) w += QStringLiteral("Belegdatum<=") + rsDataSource::toSqlStr(bis) + QStringLiteral(" AND ");
    return GetDatenTyp(db, QStringLiteral("SELECT COUNT (*) FROM eurVerbucht WHERE ") + w +
                               QStringLiteral("Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbuchtBuchungszeilen WHERE Konto=") +
                               q(konto) + QStringLiteral(")"))
        .toULong();
}

EuroType KontoGlobal::getSummeKonto(unsigned long konto, int nachZahlungsdatum, const zDate& von, const zDate& bis) {
    DBConnection* db = rsFallDB();
    if (!db) return EuroType();
    if (von.isValid() && bis.isValid() && bis < von) rs_logAssert(kQuelle, __LINE__, QStringLiteral("von<=bis"));
    const QString spalte = nachZahlungsdatum != 0 ? QStringLiteral("Zahlungsdatum") : QStringLiteral("Belegdatum");
    QStringList grenzen;
    if (von.isValid()) grenzen << spalte + QStringLiteral(">=") + rsDataSource::toSqlStr(von);
    if (bis.isValid()) grenzen << spalte + QStringLiteral("<=") + rsDataSource::toSqlStr(bis);
    QString sql = QStringLiteral("SELECT Konto, Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE Konto=") + q(konto);
    if (!grenzen.isEmpty())
        sql += QStringLiteral(" AND Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") +
               grenzen.join(QStringLiteral(" AND ")) + QStringLiteral(")");
    EuroType summe;
    rsDataSource rs(db, sql);
    for (; !rs.isEOF(); rs.fetch()) {
        const EuroType b = rs.field(QStringLiteral("Betrag")).toEuro();
        summe += rs.field(QStringLiteral("Haben")).toBool() ? -b : b;
    }
    return summe;
}
