// Runs of postings: the transaction around one operation on the ledger and
// the question before a cash register goes below zero (see buchungen.h).
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QMap>

struct Buchungslauf::Zustand {
    DBConnection* db = nullptr;
    bool fragen = true;
    // Lines with a higher key were added by the run (the key counts up and
    // is never reused).
    qlonglong hoechsteZeile = 0;
    int gebucht = 0, storniert = 0, geloescht = 0;
    // The cash lines the run deleted that were there before it: account ->
    // day -> their signed sum, negated (what the day lost).
    QMap<unsigned long, QMap<zDate, EuroType>> entfernt;
};

namespace {
// The outermost run of each connection; the postings of an operation find
// it here and join it.
QHash<DBConnection*, Buchungslauf::Zustand*>& laeufe() {
    static QHash<DBConnection*, Buchungslauf::Zustand*> l;
    return l;
}

const QString kKassenkonten = QStringLiteral("(SELECT Nummer FROM eurKontenplan WHERE Kategorie=201)");
// The lines' effect on their account's balance in cents: debit adds,
// credit takes away. The database sums whole cents, which no order of
// addition can round.
const QString kWirkung = QStringLiteral("SUM(CASE WHEN z.Haben<>0 THEN -ROUND(z.Betrag*100) ELSE ROUND(z.Betrag*100) END)");
EuroType summeVon(const rsDataSource& rs) { return EuroType::ausCent(rs.field(QStringLiteral("Summe")).toLongLong()); }

using Tage = QMap<unsigned long, QList<QPair<zDate, EuroType>>>;  // account -> (day, balance after it)

// The registers' days, limited to the accounts `konten` (a list of numbers).
Tage lesen(DBConnection* db, const QString& konten) {
    Tage t;
    // Day sums are at most one row per day and register, so the running
    // balance of a year is a few hundred additions whatever the ledger's size.
    rsDataSource rs(db, QStringLiteral("SELECT z.Konto, b.Belegdatum, ") + kWirkung +
                            QStringLiteral(" AS Summe FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht b ON "
                                           "b.Buchungsnummer=z.Buchungsnummer WHERE z.Konto IN (") +
                            konten + QStringLiteral(") GROUP BY z.Konto, b.Belegdatum ORDER BY z.Konto, b.Belegdatum"));
    EuroType lauf;
    unsigned long aktuell = 0;
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long konto = rs.field(QStringLiteral("Konto")).toULong();
        if (konto != aktuell) lauf = EuroType(), aktuell = konto;
        lauf += summeVon(rs);
        t[konto].append({rs.field(QStringLiteral("Belegdatum")).toDate(), lauf});
    }
    return t;
}

bool negativ(const EuroType& betrag) { return betrag < EuroType(); }

// The first register and day whose balance the run made negative; a day
// that was negative before and still is does not count.
bool neuNegativ(const Buchungslauf::Zustand& z, unsigned long* konto, zDate* tag, EuroType* bestand) {
    DBConnection* db = z.db;
    // Receipts alone cannot turn a day negative: without a deleted cash line
    // and without an added one that takes money out, there is nothing to read.
    // The run's lines are read by their IDs (NOT INDEXED keeps SQLite off the
    // account index, which would pass over every cash line of the ledger).
    if (z.entfernt.isEmpty() &&
        QueryPrepared(db,
                      QStringLiteral("SELECT 1 FROM eurVerbuchtBuchungszeilen NOT INDEXED WHERE ID>? AND Konto IN ") + kKassenkonten +
                          QStringLiteral(" AND ((Haben<>0 AND Betrag>0) OR (IFNULL(Haben,0)=0 AND Betrag<0)) LIMIT 1"),
                      {DatenTyp(z.hoechsteZeile)})
            .isEmpty())
        return false;
    // What the run changed, per register and day.
    QMap<unsigned long, QMap<zDate, EuroType>> aenderung = z.entfernt;
    {
        rsDataSource rs(db, QStringLiteral("SELECT z.Konto, b.Belegdatum, ") + kWirkung +
                                QStringLiteral(" AS Summe FROM eurVerbuchtBuchungszeilen z NOT INDEXED JOIN eurVerbucht b ON "
                                               "b.Buchungsnummer=z.Buchungsnummer WHERE z.ID>") +
                                QString::number(z.hoechsteZeile) + QStringLiteral(" AND z.Konto IN ") + kKassenkonten +
                                QStringLiteral(" GROUP BY z.Konto, b.Belegdatum"));
        for (; !rs.isEOF(); rs.fetch())
            aenderung[rs.field(QStringLiteral("Konto")).toULong()][rs.field(QStringLiteral("Belegdatum")).toDate()] += summeVon(rs);
    }
    // Only a register that lost money on some day can have turned negative;
    // only those are read whole.
    QStringList abfluss;
    for (auto k = aenderung.constBegin(); k != aenderung.constEnd(); ++k)
        for (const EuroType& d : k.value())
            if (negativ(d)) {
                abfluss << QString::number(k.key());
                break;
            }
    if (abfluss.isEmpty()) return false;
    const Tage nachher = lesen(db, abfluss.join(QLatin1Char(',')));
    bool gefunden = false;
    for (auto it = nachher.constBegin(); it != nachher.constEnd(); ++it) {
        // The balance before the run on each of today's days: today's less
        // what the run changed up to that day (also on days it emptied).
        const QMap<zDate, EuroType>& d = aenderung[it.key()];
        auto naechste = d.constBegin();
        EuroType summe;
        for (const auto& tagBestand : it.value()) {
            for (; naechste != d.constEnd() && !(tagBestand.first < naechste.key()); ++naechste) summe += naechste.value();
            if (!negativ(tagBestand.second)) continue;
            if (negativ(tagBestand.second - summe)) continue;
            if (!gefunden || tagBestand.first < *tag) {
                *konto = it.key();
                *tag = tagBestand.first;
                *bestand = tagBestand.second;
                gefunden = true;
            }
            break;
        }
    }
    return gefunden;
}

// The question, worded after what the run did.
struct Wortlaut {
    QString durch, frage, nichts;
};
Wortlaut wortlaut(const Buchungslauf::Zustand& z) {
    const int arten = (z.gebucht > 0) + (z.storniert > 0) + (z.geloescht > 0);
    if (arten != 1)
        return {QStringLiteral("Durch diese Änderung"), QStringLiteral("Soll die Änderung trotzdem gespeichert werden?"),
                QStringLiteral("es wurde nichts geändert")};
    if (z.storniert > 0)
        return z.storniert == 1
                   ? Wortlaut{QStringLiteral("Durch diese Stornierung"), QStringLiteral("Soll die Buchung trotzdem storniert werden?"),
                              QStringLiteral("es wurde nichts storniert")}
                   : Wortlaut{QStringLiteral("Durch diese Stornierungen"), QStringLiteral("Sollen die Buchungen trotzdem storniert werden?"),
                              QStringLiteral("es wurde nichts storniert")};
    if (z.geloescht > 0)
        return z.geloescht == 1
                   ? Wortlaut{QStringLiteral("Durch das Löschen der Buchung"), QStringLiteral("Soll die Buchung trotzdem gelöscht werden?"),
                              QStringLiteral("es wurde nichts gelöscht")}
                   : Wortlaut{QStringLiteral("Durch das Löschen der Buchungen"),
                              QStringLiteral("Sollen die Buchungen trotzdem gelöscht werden?"), QStringLiteral("es wurde nichts gelöscht")};
    return z.gebucht == 1 ? Wortlaut{QStringLiteral("Durch diese Buchung"), QStringLiteral("Soll die Buchung trotzdem erzeugt werden?"),
                                     QStringLiteral("es wurde nichts gebucht")}
                          : Wortlaut{QStringLiteral("Durch diese Buchungen"),
                                     QStringLiteral("Sollen die Buchungen trotzdem erzeugt werden?"), QStringLiteral("es wurde nichts gebucht")};
}
}  // namespace

Buchungslauf::Buchungslauf(DBConnection* db) { beginnen(db, true); }

Buchungslauf::Buchungslauf(DBConnection* db, OhneKassenfrage) { beginnen(db, false); }

void Buchungslauf::beginnen(DBConnection* db, bool fragen) {
    m_db = db;
    if (!db) return;
    auto it = laeufe().constFind(db);
    if (it != laeufe().constEnd()) {
        m_zustand = *it;  // joins the operation's run
        return;
    }
    m_tx.reset(new DBTransaktion(db));
    m_ok = m_tx->ok();
    if (!m_ok) return;
    m_eigener.reset(new Zustand);
    m_zustand = m_eigener.get();
    m_zustand->db = db;
    m_zustand->fragen = fragen;
    if (fragen) {
        const QVector<DatenTyp> z = QueryPrepared(db, QStringLiteral("SELECT MAX(ID) FROM eurVerbuchtBuchungszeilen"), {});
        m_zustand->hoechsteZeile = z.isEmpty() ? 0 : z.first().toLongLong();
    }
    laeufe().insert(db, m_zustand);
}

Buchungslauf::~Buchungslauf() {
    if (!m_eigener) return;
    laeufe().remove(m_db);
}

void Buchungslauf::gebucht(int anzahl) {
    if (m_zustand) m_zustand->gebucht += anzahl;
}

void Buchungslauf::storniert(int anzahl) {
    if (m_zustand) m_zustand->storniert += anzahl;
}

void Buchungslauf::entfernt(const QList<unsigned long>& nummern) {
    if (!m_zustand || nummern.isEmpty()) return;
    m_zustand->geloescht += nummern.size();
    if (!m_zustand->fragen) return;
    QStringList l;
    for (unsigned long n : nummern) l << QString::number(n);
    // Lines the run added itself vanish from its additions by themselves.
    rsDataSource rs(m_db, QStringLiteral("SELECT z.Konto, b.Belegdatum, ") + kWirkung +
                              QStringLiteral(" AS Summe FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht b ON "
                                             "b.Buchungsnummer=z.Buchungsnummer WHERE z.Buchungsnummer IN (") +
                              l.join(QLatin1Char(',')) + QStringLiteral(") AND z.ID<=") + QString::number(m_zustand->hoechsteZeile) +
                              QStringLiteral(" AND z.Konto IN ") + kKassenkonten + QStringLiteral(" GROUP BY z.Konto, b.Belegdatum"));
    for (; !rs.isEOF(); rs.fetch())
        m_zustand->entfernt[rs.field(QStringLiteral("Konto")).toULong()][rs.field(QStringLiteral("Belegdatum")).toDate()] -= summeVon(rs);
}

bool Buchungslauf::abschliessen(QString* fehler) {
    if (!m_eigener) return m_ok;  // inert or inner: the outermost run decides
    laeufe().remove(m_db);
    const std::unique_ptr<Zustand> z = std::move(m_eigener);
    m_zustand = nullptr;
    unsigned long konto = 0;
    zDate tag;
    EuroType bestand;
    if (z->fragen && neuNegativ(*z, &konto, &tag, &bestand)) {
        const Wortlaut w = wortlaut(*z);
        // The booking dialog's own question, word for word for a single
        // booking; the refusal names the register, the day and the balance.
        if (!GetUi().frage(QStringLiteral("%1 wird der Kassenbestand negativ.\n%2").arg(w.durch, w.frage), QStringLiteral("Frage"))) {
            m_tx->rollback();
            m_verneint = true;
            if (fehler)
                *fehler = QStringLiteral("Der Bestand der Kasse %1 wäre am %2 negativ (%3 EUR); %4. Bitte prüfen Sie Datum und Betrag, "
                                         "oder bestätigen Sie die Rückfrage.")
                              .arg(konto)
                              .arg(tag.getText(), bestand.getText(), w.nichts);
            return false;
        }
    }
    if (m_tx->commit()) return true;
    if (fehler) *fehler = QStringLiteral("Die Änderung konnte nicht gespeichert werden: %1").arg(m_db->getErr()->last());
    return false;
}
