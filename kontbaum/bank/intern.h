// What the files of the bank subsystem share and nobody else needs.
#pragma once

#include "kontbaum/bank/bank.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Bank {
namespace intern {

inline int steuerjahr() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : KontoGlobal::kProgrammjahr;
}

// "(1,2,3)" of the IDs, for an IN list (numbers only, never text).
inline QString inListe(const QList<unsigned long>& ids) {
    QStringList t;
    for (unsigned long i : ids) t << QString::number(i);
    return QStringLiteral("(") + t.join(QLatin1Char(',')) + QStringLiteral(")");
}

// Passes the entries of one statement on to a receiver as a reader
// completes them. Entries read before the statement names its account wait
// until it is begun (the receiver needs the account first); after the
// receiver's first refusal nothing more is passed on.
class Weitergabe {
public:
    explicit Weitergabe(AuszugEmpfaenger* e) : m_e(e) {}
    bool begonnen() const { return m_begonnen; }
    // The receiver's refusal, empty while it takes everything.
    const QString& fehler() const { return m_fehler; }
    // The statement `a` is handed over, then the entries that waited.
    void beginnen(const Auszug& a) {
        m_begonnen = true;
        if (weiter()) geben(m_e->auszugBeginn(a, &m_fehler));
        for (const Umsatz& u : qAsConst(m_puffer))
            if (weiter()) geben(m_e->umsatz(u, &m_fehler));
        m_puffer.clear();
    }
    void umsatz(const Umsatz& u) {
        if (!m_begonnen) m_puffer << u;
        else if (weiter()) geben(m_e->umsatz(u, &m_fehler));
    }
    // The statement `a` is complete (begun now if it never was); the next
    // statement starts unbegun.
    void ende(const Auszug& a) {
        if (!m_begonnen) beginnen(a);
        if (weiter()) geben(m_e->auszugEnde(a, &m_fehler));
        m_begonnen = false;
    }

private:
    bool weiter() const { return m_fehler.isEmpty(); }
    void geben(bool ok) {
        if (!ok && m_fehler.isEmpty()) m_fehler = QStringLiteral("Der Auszug wurde nicht übernommen.");
    }
    AuszugEmpfaenger* m_e;
    QString m_fehler;
    bool m_begonnen = false;
    QList<Umsatz> m_puffer;
};

// Marks the transaction processed by the booking `nr` that was there
// before it: ID=1 tells resetting to unlink, not to delete that booking.
inline bool verknuepfe(DBConnection* db, unsigned long umsatz, unsigned long nr) {
    return ExecPrepared(db, QStringLiteral("UPDATE eurUmsatz SET Status=1, Buchungsnummer=?, ID=1 WHERE UmsatzID=?"), {DatenTyp(nr), DatenTyp(umsatz)});
}

// --- open items a payment can settle ------------------------------------------
// The one place where the proposals learn of items that wait for their
// payment: an item names its number (looked for in the purpose) and the
// amount as the bank shows it (positive: money comes in). Outgoing
// invoices are the items today; incoming invoices join here as a further
// source, with their posting in buchePosten.
struct OffenerPosten {
    enum Quelle { Ausgangsrechnung, Eingangsrechnung };
    Quelle quelle = Ausgangsrechnung;
    unsigned long id = 0;
    QString nummer;
    EuroType betrag;
};
QList<OffenerPosten> offenePosten(DBConnection* db);
// The Herkunft a staged payment of the source carries, and back (false
// when the Herkunft is no source's).
int herkunftVon(OffenerPosten::Quelle q);
bool quelleVon(int herkunft, OffenerPosten::Quelle* q);
// Posts the payment of the item `nummer` on the money account at the date,
// through its own subsystem (an invoice is then marked paid). The booking
// number, 0 with the reason.
unsigned long buchePosten(DBConnection* db, OffenerPosten::Quelle q, const QString& nummer, unsigned long geldkonto, const zDate& datum,
                          QString* fehler);

}  // namespace intern
}  // namespace Bank
