// The state of stored transactions: the year check, the list, "not to be
// processed", the reset, and the reopening when a booking goes.
#include "kontbaum/bank/intern.h"

#include "host/app/ui.h"
#include "kontbaum/buchungen/buchungen.h"

namespace Bank {
using namespace intern;

QString statusText(int status, unsigned long buchungsnummer) {
    switch (status) {
    case FalschesJahr: return QStringLiteral("falsches Jahr");
    case NichtVerarbeiten: return QStringLiteral("nicht verarbeiten");
    case Verarbeitet: return QStringLiteral("verarbeitet (Buchung: %1)").arg(buchungsnummer);
    default: return QStringLiteral("offen");
    }
}

long anzahlOffene(DBConnection* db) {
    return long(GetDatenTyp(rsFallDB(db), QStringLiteral("SELECT COUNT(*) FROM eurUmsatz u WHERE (u.Status=0 OR u.Status IS NULL) AND u.MasterID=0"))
                    .toLongLong());
}

void umsaetze(DBConnection* db, bool nurOffene, const std::function<void(const GespeicherterUmsatz&)>& je) {
    rsDataSource rs(rsFallDB(db), QStringLiteral("SELECT u.*, b.kpNummer AS Konto FROM eurUmsatz u LEFT JOIN eurBankverbindung b ON "
                                               "u.BankverbindungID=b.BankverbindungID") +
                                    (nurOffene ? QStringLiteral(" WHERE (u.Status=0 OR u.Status IS NULL) AND u.MasterID=0") : QString()) +
                                    QStringLiteral(" ORDER BY u.Buchungsdatum, u.UmsatzID"));
    for (; !rs.isEOF(); rs.fetch()) {
        GespeicherterUmsatz u;
        u.id = rs.field(QStringLiteral("UmsatzID")).toULong();
        u.verbindung = rs.field(QStringLiteral("BankverbindungID")).toULong();
        u.konto = rs.field(QStringLiteral("Konto")).toULong();
        u.datum = rs.field(QStringLiteral("Buchungsdatum")).toDate();
        u.betrag = rs.field(QStringLiteral("Betrag")).toEuro();
        u.text = rs.field(QStringLiteral("Buchungstext")).toString();
        u.name = rs.field(QStringLiteral("Empfaenger")).toString();
        u.kontonummer = rs.field(QStringLiteral("EmpfaengerKontonummer")).toString();
        u.blz = rs.field(QStringLiteral("EmpfaengerBLZ")).toString();
        u.iban = rs.field(QStringLiteral("EmpfaengerIBAN")).toString();
        u.bic = rs.field(QStringLiteral("EmpfaengerBIC")).toString();
        u.referenz = rs.field(QStringLiteral("Kategorie1")).toString();
        u.status = rs.field(QStringLiteral("Status")).toInt();
        u.buchungsnummer = rs.field(QStringLiteral("Buchungsnummer")).toULong();
        je(u);
    }
}

QList<GespeicherterUmsatz> umsaetze(DBConnection* db, bool nurOffene) {
    QList<GespeicherterUmsatz> l;
    umsaetze(db, nurOffene, [&l](const GespeicherterUmsatz& u) { l << u; });
    return l;
}

namespace {
// The IDs that do not exist; the first one's refusal.
QString pruefeIds(DBConnection* db, const QList<unsigned long>& ids) {
    if (ids.isEmpty()) return QStringLiteral("Bitte nennen Sie die Nummern der Umsätze (dalvo bank FALL umsaetze).");
    for (unsigned long id : ids)
        if (QueryPrepared(db, QStringLiteral("SELECT UmsatzID FROM eurUmsatz WHERE UmsatzID=?"), {DatenTyp(id)}).isEmpty())
            return QStringLiteral("Einen Umsatz Nr. %1 gibt es nicht. Die Umsätze zeigt „dalvo bank FALL umsaetze“.").arg(id);
    return QString();
}
}  // namespace

long nichtVerarbeiten(DBConnection* db, const QList<unsigned long>& ids, QString* fehler) {
    db = rsFallDB(db);
    *fehler = pruefeIds(db, ids);
    if (!fehler->isEmpty()) return -1;
    for (unsigned long id : ids)
        if (QueryPrepared(db, QStringLiteral("SELECT UmsatzID FROM eurUmsatz WHERE UmsatzID=? AND (Status=0 OR Status IS NULL)"), {DatenTyp(id)})
                .isEmpty()) {
            *fehler = QStringLiteral("Der Umsatz %1 ist nicht offen; nur offene Umsätze können auf „nicht verarbeiten“ gesetzt werden. "
                                     "Setzen Sie ihn erst mit „zuruecksetzen“ zurück.")
                          .arg(id);
            return -1;
        }
    DBTransaktion t(db);
    if (!t.ok() || !ExecSQL(db, QStringLiteral("UPDATE eurUmsatz SET Status=2 WHERE UmsatzID IN ") + inListe(ids) +
                                    QStringLiteral(" AND (Status=0 OR Status IS NULL)")) ||
        !t.commit()) {
        *fehler = QStringLiteral("Der Status konnte nicht gespeichert werden.");
        return -1;
    }
    return ids.size();
}

bool zuruecksetzen(DBConnection* db, const QList<unsigned long>& ids, QString* fehler) {
    db = rsFallDB(db);
    *fehler = pruefeIds(db, ids);
    if (!fehler->isEmpty()) return false;
    const QString in = inListe(ids);
    // The live bookings made from them: a booking already cancelled or
    // deleted is gone from the ledger's figures and needs nothing more.
    QList<unsigned long> loeschen, stornieren;
    {
        rsDataSource rs(db, QStringLiteral("SELECT u.Buchungsnummer AS Nr FROM eurUmsatz u JOIN eurVerbucht v ON u.Buchungsnummer=v.Buchungsnummer "
                                           "WHERE u.UmsatzID IN ") +
                                in + QStringLiteral(" AND u.Status=1 AND u.Buchungsnummer<>0 AND v.Storno=0 AND v.Storniert=0 AND COALESCE(u.ID,0)<>1"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long n = rs.field(QStringLiteral("Nr")).toULong();
            (KontoGlobal::isFestgeschrieben(n) ? stornieren : loeschen) << n;
        }
    }
    const int n = loeschen.size() + stornieren.size();
    if (n > 0) {
        const QString frage =
            n == 1 ? QStringLiteral("<html><body ondragstart=\"return false;\"><p>Unter den ausgewählten Umsätzen befindet sich ein Umsatz, der "
                                    "bereits in die Buchungsliste übertragen wurde und dessen Buchung beim Zurücksetzen des Status gelöscht wird.</p>"
                                    "<p>Wollen Sie dennoch fortfahren?</p></body></html>")
                   : QStringLiteral("<html><body ondragstart=\"return false;\"><p>Unter den ausgewählten Umsätzen befinden sich ") + QString::number(n) +
                         QStringLiteral(" Umsätze, die bereits in die Buchungsliste übertragen wurden und deren Buchungen beim Zurücksetzen des "
                                        "Status gelöscht werden.</p><p>Wollen Sie dennoch fortfahren?</p></body></html>");
        if (!GetUi().frage(frage)) {
            *fehler = QStringLiteral("Es wurde nichts zurückgesetzt.");
            return false;
        }
    }
    // A closed cash register stays closed: neither deleted nor cancelled.
    for (unsigned long b : loeschen + stornieren) {
        const QString kasse = KontoGlobal::pruefeKasseAbgeschlossen(b, db);
        if (!kasse.isEmpty()) {
            *fehler = kasse + QStringLiteral(" Es wurde nichts zurückgesetzt.");
            return false;
        }
    }
    // A locked booking is never deleted; it is cancelled by a mirror booking.
    if (!stornieren.isEmpty() &&
        !KontoGlobal::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), KontoGlobal::FFK_Aendern, KontoGlobal::FFT_Storno)) {
        *fehler = QStringLiteral("Die Buchungen %1 sind festgeschrieben; es wurde nichts zurückgesetzt.").arg(inListe(stornieren).mid(1).chopped(1));
        return false;
    }
    // Deleting a receipt or cancelling it takes money out of a till: one
    // run, asked once.
    Buchungslauf lauf(db);
    DBTransaktion t(lauf.ok() ? db : nullptr);
    bool ok = t.ok();
    for (unsigned long b : stornieren) ok = ok && KontoGlobal::storniereBuchung(b) != 0;
    for (unsigned long b : loeschen) ok = ok && KontoGlobal::deleteBuchung(b, QStringLiteral("eurVerbucht"));
    ok = ok && ExecSQL(db, QStringLiteral("UPDATE eurUmsatz SET Status=0, Buchungsnummer=0, ID=0 WHERE UmsatzID IN ") + in +
                               QStringLiteral(" AND (Status<>3 OR Status IS NULL)"));
    if (!ok || !t.commit()) {
        *fehler = QStringLiteral("Die Umsätze konnten nicht zurückgesetzt werden; es wurde nichts geändert.");
        return false;
    }
    return lauf.abschliessen(fehler);
}

}  // namespace Bank

bool KontoGlobal::chkUmsatzStatus(int jahr, DBConnection* con) {
    con = rsFallDB(con);
    if (!con) return false;
    DBTransaktion t(con);
    return t.ok() && ExecSQL(con, QStringLiteral("UPDATE eurUmsatz SET Status=0 WHERE Status=3")) &&
           ExecPrepared(con, QStringLiteral("UPDATE eurUmsatz SET Status=3, Buchungsnummer=0, ID=0 WHERE Buchungsdatum<? OR Buchungsdatum>?"),
                        {DatenTyp(zDate(jahr, 1, 1)), DatenTyp(zDate(jahr, 12, 31))}) &&
           t.commit();
}

bool KontoGlobal::umsatzBuchungEntfernt(DBConnection* con, unsigned long buchungsnummer) {
    con = rsFallDB(con);
    return con && ExecPrepared(con, QStringLiteral("UPDATE eurUmsatz SET Buchungsnummer = 0, Status = 0, ID = 0 WHERE Buchungsnummer = ?"),
                               {DatenTyp(buchungsnummer)});
}
