// The takeover of transactions into bookings: a proposal per transaction,
// the staging rows (eurUebernahme) and the posting.
//
// Where a proposal comes from, and what it scores:
//   a booking already in the ledger that moves the same money on the
//   same bank account and no transaction points at (the invoice number
//   it pays named in the purpose, or booked within a week of it):
//   the transaction is linked to it, nothing is posted                 160
//   an open invoice whose number the purpose or reference names and whose
//   open amount is the transaction's                                   150
//   a booking template or an earlier booking of the same amount         50
//     whose booking text the transaction's text contains             + 70
//   the booking of an earlier transaction of the same counterpart IBAN 100
//     or of the same counterpart name                                   80
// From kSchwelle (100) on a proposal is taken over with --alle; below it
// only when the user names the transaction.
#include "kontbaum/bank/intern.h"

#include "host/app/ui.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/eingang/eingang.h"
#include "kontbaum/faktura/faktura.h"

#include <QSet>
#include <algorithm>

namespace Bank {
using namespace intern;

namespace {

// Texts compared in one form: upper case, umlauts written out, single blanks.
QString normal(const QString& t) {
    QString s = t.toUpper().simplified();
    s.replace(QChar(0x00C4), QLatin1String("AE")).replace(QChar(0x00D6), QLatin1String("OE")).replace(QChar(0x00DC), QLatin1String("UE"));
    s.replace(QChar(0x00DF), QLatin1String("SS")).replace(QChar(0x1E9E), QLatin1String("SS"));
    return s;
}

// What the transaction says about itself, for the booking text.
QString umsatzText(const GespeicherterUmsatz& u) {
    return (u.name.isEmpty() ? u.text : u.name + QStringLiteral(": ") + u.text).simplified().left(100);
}

// The booking kinds a transaction's sign allows (money side debit for a
// credit, credit for a debit), the free booking either way.
QString artenFuer(bool eingang) { return eingang ? QStringLiteral("1,5,3") : QStringLiteral("2,4,3"); }

// A simple booking (one money line, one counter line) as a proposal takes it.
struct Einfach {
    unsigned long nr = 0;
    int art = 0;
    bool geldHaben = false;
    unsigned long gegen = 0, schluessel = 0;
    qint64 cent = 0;  // the booking's amount, gross
    bool netto = false;
    zDate datum;
    QString text, textNormal;
};

// A booking already in the ledger that moves money on a bank's account and
// that no transaction points at yet: what the recurring bookings and the
// posting of an invoice leave for the bank statement to meet.
struct Vorhanden {
    unsigned long nr = 0;
    zDate datum;
    QString text, nummerNormal;  // nummerNormal: the invoice number it pays, if any
};

// The SQL of simple bookings as einfache() reads them: the header and its
// lines 1 and 2 of `tabelle`, restricted by `bedingung` (over v, the
// header), in `ordnung` (rows of one booking together).
QString einfachSql(const QString& tabelle, const QString& bedingung, const QString& ordnung) {
    return QStringLiteral("SELECT v.Buchungsnummer AS Nr, v.Buchungstext AS Text, v.Buchungsart AS Art, v.Belegdatum AS Datum, "
                          "v.Betrag AS Betrag, v.Netto AS Netto, z.Dialogzeile AS Zeile, z.Konto AS Konto, z.Haben AS Haben, "
                          "z.Steuerschluessel AS Schluessel FROM ") +
           tabelle + QStringLiteral(" v JOIN ") + tabelle +
           QStringLiteral("Buchungszeilen z ON z.Buchungsnummer=v.Buchungsnummer WHERE z.Dialogzeile IN (1,2)") +
           (bedingung.isEmpty() ? QString() : QStringLiteral(" AND ") + bedingung) + QStringLiteral(" ORDER BY ") + ordnung;
}

// Hands each simple booking (one money line, one counter line) of the rows
// of einfachSql to `je`; a booking of several parts proposes nothing.
template <typename F>
void einfache(rsDataSource& rs, F je) {
    Einfach e;
    int eins = 0, zwei = 0;
    auto fertig = [&]() {
        if (e.nr != 0 && eins == 1 && zwei == 1) je(e);
    };
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long nr = rs.field(QStringLiteral("Nr")).toULong();
        if (nr != e.nr) {
            fertig();
            e = Einfach();
            e.nr = nr;
            e.art = rs.field(QStringLiteral("Art")).toInt();
            e.cent = rs.field(QStringLiteral("Betrag")).toEuro().abs().cent();
            e.netto = rs.field(QStringLiteral("Netto")).toBool();
            e.datum = rs.field(QStringLiteral("Datum")).toDate();
            e.text = rs.field(QStringLiteral("Text")).toString();
            e.textNormal = normal(e.text);
            eins = zwei = 0;
        }
        if (rs.field(QStringLiteral("Zeile")).toInt() == 1) {
            ++eins;
            e.geldHaben = rs.field(QStringLiteral("Haben")).toBool();
        } else {
            ++zwei;
            e.gegen = rs.field(QStringLiteral("Konto")).toULong();
            e.schluessel = rs.field(QStringLiteral("Schluessel")).toULong();
        }
    }
    fertig();
}

// Of equal bookings the newest (the first in `l`) speaks for all: a later
// one would score the same and never be taken.
void fuegeAn(QList<Einfach>* l, const Einfach& e) {
    for (const Einfach& x : qAsConst(*l))
        if (x.art == e.art && x.gegen == e.gegen && x.schluessel == e.schluessel && x.geldHaben == e.geldHaben && x.text == e.text) return;
    *l << e;
}

// Where the proposals find the bookings of a transaction's amount. The
// ledger has no index by amount (every posting would pay for one), so it
// is read once, in the database, and only the keys of the bookings and of
// the bank lines whose amount some open transaction has are kept, in
// temporary tables indexed by amount; a transaction then costs a search in
// them and a look-up of each booking by its number. What is kept depends
// on the transactions, not on the size of the ledger, and the case is not
// written (the temporary tables go again at the end).
//
// Amounts are compared in whole cents. The database rounds its own way, so
// a key is kept within a cent of the transaction's and the caller compares
// the cents exactly as the proposals always did.
class Betragssuche {
public:
    explicit Betragssuche(DBConnection* db) : m_db(db) {
        // Emptied rather than dropped and made again: dropping a table is
        // refused while another statement of the connection is running.
        bool ok = ExecSQL(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS bankUmsatzBetrag (Konto INTEGER, Cent INTEGER, PRIMARY KEY (Konto, "
                                             "Cent)) WITHOUT ROWID; "
                                             "CREATE TEMP TABLE IF NOT EXISTS bankBetrag (Cent INTEGER PRIMARY KEY); "
                                             "CREATE TEMP TABLE IF NOT EXISTS bankKopfBetrag (Cent INTEGER, Buchungsnummer INTEGER, PRIMARY KEY "
                                             "(Cent, Buchungsnummer)) WITHOUT ROWID; "
                                             "CREATE TEMP TABLE IF NOT EXISTS bankZeilenBetrag (Konto INTEGER, Cent INTEGER, ID INTEGER, PRIMARY "
                                             "KEY (Konto, Cent, ID)) WITHOUT ROWID; ") +
                              QLatin1String(kLeeren));
        // The open transactions' amounts (signed, on their account) as
        // umsaetze() reads them.
        QSet<QPair<unsigned long, qint64>> schluessel;
        {
            rsDataSource rs(db, QStringLiteral("SELECT u.Betrag AS Betrag, b.kpNummer AS Konto FROM eurUmsatz u LEFT JOIN eurBankverbindung b ON "
                                               "u.BankverbindungID=b.BankverbindungID WHERE (u.Status=0 OR u.Status IS NULL) AND u.MasterID=0"));
            for (; !rs.isEOF(); rs.fetch())
                schluessel.insert(qMakePair(rs.field(QStringLiteral("Konto")).toULong(), rs.field(QStringLiteral("Betrag")).toEuro().cent()));
        }
        for (const auto& k : qAsConst(schluessel))
            ok = ok && ExecPrepared(db, QStringLiteral("INSERT INTO temp.bankUmsatzBetrag (Konto, Cent) VALUES (?, ?)"),
                                    {DatenTyp(k.first), DatenTyp(qlonglong(k.second))});
        ok = ok && ExecSQL(db, QStringLiteral("INSERT INTO temp.bankBetrag (Cent) SELECT DISTINCT ABS(Cent) FROM temp.bankUmsatzBetrag"));
        // One pass over the headers and one over the bank accounts' lines
        // (the covering index by account), each row searching the few keys;
        // CROSS JOIN keeps the ledger outside, so it is read once.
        ok = ok &&
             ExecSQL(db, QStringLiteral("INSERT INTO temp.bankKopfBetrag (Cent, Buchungsnummer) SELECT t.Cent, v.Buchungsnummer FROM eurVerbucht v "
                                        "CROSS JOIN temp.bankBetrag t WHERE t.Cent BETWEEN ROUND(ABS(IFNULL(v.Betrag,0))*100)-1 AND "
                                        "ROUND(ABS(IFNULL(v.Betrag,0))*100)+1")) &&
             ExecSQL(db, QStringLiteral("INSERT INTO temp.bankZeilenBetrag (Konto, Cent, ID) SELECT t.Konto, t.Cent, z.ID FROM "
                                        "eurVerbuchtBuchungszeilen z CROSS JOIN temp.bankUmsatzBetrag t WHERE z.Konto IN (SELECT kpNummer FROM "
                                        "eurBankverbindung) AND t.Konto=z.Konto AND t.Cent BETWEEN (CASE WHEN z.Haben<>0 THEN -1 ELSE 1 END)*"
                                        "ROUND(ABS(IFNULL(z.Betrag,0))*100)-1 AND (CASE WHEN z.Haben<>0 THEN -1 ELSE 1 END)*"
                                        "ROUND(ABS(IFNULL(z.Betrag,0))*100)+1"));
        // Without the keys the look-ups search the ledger itself: the same
        // proposals, only slower.
        if (!ok) {
            db->getErr()->clear();
            m_kopf = QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE ROUND(ABS(IFNULL(Betrag,0))*100) BETWEEN ?-1 AND ?+1");
            m_zeilen = QStringLiteral("SELECT ID FROM eurVerbuchtBuchungszeilen WHERE Konto=? AND (CASE WHEN Haben<>0 THEN -1 ELSE 1 END)*"
                                      "ROUND(ABS(IFNULL(Betrag,0))*100) BETWEEN ?-1 AND ?+1");
            m_schluessel = false;
        }
    }
    ~Betragssuche() {
        if (!ExecSQL(m_db, QLatin1String(kLeeren)) ||
            !ExecSQL(m_db, QStringLiteral("DROP TABLE IF EXISTS temp.bankUmsatzBetrag; DROP TABLE IF EXISTS temp.bankBetrag; "
                                          "DROP TABLE IF EXISTS temp.bankKopfBetrag; DROP TABLE IF EXISTS temp.bankZeilenBetrag")))
            m_db->getErr()->clear();
    }
    Betragssuche(const Betragssuche&) = delete;
    Betragssuche& operator=(const Betragssuche&) = delete;

    // A subquery of the numbers of the bookings within a cent of `cent`
    // either way, and its values.
    const QString& kopf() const { return m_kopf; }
    QVector<DatenTyp> kopfWerte(qint64 cent) const {
        const DatenTyp c = DatenTyp(qlonglong(cent));
        return m_schluessel ? QVector<DatenTyp>{c} : QVector<DatenTyp>{c, c};
    }
    // The same for the IDs of the lines on `konto` of `cent`, signed as the
    // bank shows it (a credit line is money going out).
    const QString& zeilen() const { return m_zeilen; }
    QVector<DatenTyp> zeilenWerte(unsigned long konto, qint64 cent) const {
        const DatenTyp c = DatenTyp(qlonglong(cent));
        return m_schluessel ? QVector<DatenTyp>{DatenTyp(konto), c} : QVector<DatenTyp>{DatenTyp(konto), c, c};
    }

private:
    static constexpr const char* kLeeren = "DELETE FROM temp.bankUmsatzBetrag; DELETE FROM temp.bankBetrag; DELETE FROM temp.bankKopfBetrag; "
                                           "DELETE FROM temp.bankZeilenBetrag";
    DBConnection* m_db;
    QString m_kopf = QStringLiteral("SELECT Buchungsnummer FROM temp.bankKopfBetrag WHERE Cent=?");
    QString m_zeilen = QStringLiteral("SELECT ID FROM temp.bankZeilenBetrag WHERE Konto=? AND Cent=?");
    bool m_schluessel = true;  // the keys are there
};

// Finds the best proposal of each transaction. What does not grow with the
// ledger is read once, when it is made: the templates, the open items, and
// the transactions taken over before with their bookings. The ledger is
// asked per transaction, for the bookings of its amount only, through an
// index (Betragssuche): proposals grow linearly with the open transactions,
// and memory with them, not with the ledger.
class Sucher {
public:
    Sucher(DBConnection* db, int jahr) : m_db(db), m_pruefer(db, jahr), m_suche(db) {
        m_fest = KontoGlobal::getFestgeschriebenBis();
        for (const OffenerPosten& p : offenePosten(db)) m_posten[p.betrag.cent()] << Posten{p, normal(p.nummer)};
        // Only a debit of an amount an open incoming invoice asks for can
        // pay one: the others need not ask the invoices at all.
        for (const Eingang::Gespeichert& g : Eingang::liste(db, true)) m_eingangCent.insert(g.zahlbetrag.cent());
        {
            rsDataSource rs(db, einfachSql(QStringLiteral("eurBeispiel"), QString(), QStringLiteral("v.Belegdatum DESC, v.Buchungsnummer, z.ID")));
            einfache(rs, [this](const Einfach& e) {
                if (!e.netto) fuegeAn(&m_vorlagen[e.cent], e);
            });
        }
        // Of the ledger by number only what transactions were booked with.
        {
            rsDataSource rs(db, einfachSql(QStringLiteral("eurVerbucht"),
                                           QStringLiteral("v.Buchungsnummer IN (SELECT Buchungsnummer FROM eurUmsatz WHERE Status=1 AND "
                                                          "Buchungsnummer<>0) AND v.Storno=0 AND v.Storniert=0"),
                                           QStringLiteral("v.Buchungsnummer, z.ID")));
            einfache(rs, [this](const Einfach& e) { m_einfachNachNr.insert(e.nr, e); });
        }
        ladeGegenparteien();
    }

    Vorschlag bester(const GespeicherterUmsatz& u) {
        Vorschlag best;
        auto nimm = [&](const Vorschlag& v) {
            if (v.wertung > best.wertung && postbar(u, v)) best = v;
        };
        const bool eingang = u.betrag > EuroType();
        const QString text = normal(u.text + QLatin1Char(' ') + u.referenz + QLatin1Char(' ') + u.name);
        // A booking the ledger already has for this money: linked, never
        // posted a second time.
        if (vorhanden(u, text, &best)) return best;
        // An open item's payment goes through its own subsystem, which
        // cannot post into the locked period.
        if (!(m_fest.isValid() && !(m_fest < u.datum)))
            for (const Posten& p : m_posten.value(u.betrag.cent()))
                if (text.contains(p.nummerNormal)) {
                    best.art = Vorschlag::Rechnung;
                    best.wertung = 150;
                    best.buchungsart = eingang ? 1 : 2;
                    best.rechnungID = p.p.id;
                    best.rechnungsnummer = p.p.nummer;
                    best.text = QStringLiteral("Rechnung %1").arg(p.p.nummer);
                    best.grund = QStringLiteral("Zahlung der offenen Rechnung %1 über %2 €: ihre Nummer steht im Verwendungszweck")
                                     .arg(p.p.nummer, p.p.betrag.abs().getText());
                    return best;  // nothing else scores as high
                }
        // A debit that pays an open incoming invoice books that invoice.
        if (!eingang && !(m_fest.isValid() && !(m_fest < u.datum)) && best.art == Vorschlag::Keiner && m_eingangCent.contains(u.betrag.abs().cent())) {
            Vorschlag v;
            v.rechnungID = Eingang::passendeRechnung(m_db, u.betrag, text, u.iban, &v.grund);
            if (v.rechnungID) {
                v.art = Vorschlag::Eingangsrechnung;
                v.wertung = 150;
                v.buchungsart = 2;
                v.text = v.grund.section(QLatin1Char(':'), 0, 0);
                return v;
            }
        }
        gleicherBetrag(u, m_vorlagen.value(u.betrag.abs().cent()), false, text, nimm);
        // The ledger scores 120 at most, and only a higher score is taken.
        if (best.wertung < 120) gleicherBetrag(u, gleicheBuchungen(u.betrag.abs().cent()), true, text, nimm);
        gegenpartei(u, nimm);
        return best;
    }

    // Whether the ledger would take the proposal as it stands (accounts
    // active and of the kind, key allowed; every transaction asked about
    // lies in the year, so the answer does not depend on its day).
    bool postbar(const GespeicherterUmsatz& u, Vorschlag v) {
        if (v.art == Vorschlag::Rechnung || v.art == Vorschlag::Vorhanden || v.art == Vorschlag::Eingangsrechnung) return true;
        const QString k = QStringLiteral("%1/%2/%3/%4/%5").arg(v.buchungsart).arg(v.gegenkonto).arg(v.steuerschluessel).arg(u.konto).arg(u.betrag < EuroType());
        auto it = m_postbar.constFind(k);
        if (it != m_postbar.constEnd()) return *it;
        const bool ok = pruefen(u, &v).isEmpty() && EingabePruefer::pruefeSeite(v.buchungsart, u.betrag < EuroType()).isEmpty();
        m_postbar.insert(k, ok);
        return ok;
    }
    QString pruefen(const GespeicherterUmsatz& u, Vorschlag* v) {
        BuchungsEingabe e;
        e.buchungsart = v->buchungsart;
        e.belegdatum = u.datum;
        e.konto = u.konto;
        e.gegenkonto = v->gegenkonto;
        e.steuerschluessel = v->steuerschluessel;
        e.schluesselAngegeben = v->art != Vorschlag::Vorgabe || v->steuerschluessel != 0;
        e.betrag = u.betrag.abs();
        const QString nein = m_pruefer.pruefen(e);
        v->steuerschluessel = e.steuerschluessel;
        return nein;
    }
    EingabePruefer& pruefer() { return m_pruefer; }
    // The booking is taken by a transaction: no other one is linked to it.
    void vergeben(unsigned long nr) { m_vergeben.insert(nr); }

private:
    struct Posten {
        OffenerPosten p;
        QString nummerNormal;
    };

    // The simple bookings of the ledger of `cent` either way, newest first,
    // live and gross (a net amount is no transaction's).
    QList<Einfach> gleicheBuchungen(qint64 cent) {
        QList<Einfach> l;
        rsDataSource rs(m_db,
                        einfachSql(QStringLiteral("eurVerbucht"),
                                   QStringLiteral("v.Buchungsnummer IN (") + m_suche.kopf() + QStringLiteral(") AND v.Storno=0 AND v.Storniert=0"),
                                   QStringLiteral("v.Belegdatum DESC, v.Buchungsnummer, z.ID")),
                        m_suche.kopfWerte(cent));
        einfache(rs, [&](const Einfach& e) {
            if (!e.netto && e.cent == cent) fuegeAn(&l, e);
        });
        return l;
    }

    // The live bookings on the bank account `konto` that move `cent`
    // (signed as the bank shows it: a credit line is money going out) and
    // that no transaction points at, oldest first.
    QList<Vorhanden> vorhandene(unsigned long konto, qint64 cent) {
        QList<Vorhanden> l;
        rsDataSource rs(m_db,
                        QStringLiteral("SELECT z.Buchungsnummer AS Nr, z.Haben AS Haben, z.Betrag AS Betrag, v.Belegdatum AS Datum, "
                                       "v.Buchungstext AS Text, v.Herkunft AS Herkunft, v.Zusatzinfo AS Info "
                                       "FROM eurVerbuchtBuchungszeilen z JOIN eurVerbucht v ON v.Buchungsnummer=z.Buchungsnummer WHERE z.ID IN (") +
                            m_suche.zeilen() +
                            QStringLiteral(") AND z.Konto IN (SELECT kpNummer FROM eurBankverbindung) AND v.Storno=0 AND v.Storniert=0 "
                                           "AND NOT EXISTS (SELECT 1 FROM eurUmsatz u WHERE u.Status=1 AND u.Buchungsnummer=z.Buchungsnummer) "
                                           "ORDER BY v.Belegdatum, z.Buchungsnummer"),
                        m_suche.zeilenWerte(konto, cent));
        for (; !rs.isEOF(); rs.fetch()) {
            const qint64 c = rs.field(QStringLiteral("Betrag")).toEuro().abs().cent();
            if ((rs.field(QStringLiteral("Haben")).toBool() ? -c : c) != cent) continue;
            OffenerPosten::Quelle q;
            const bool posten = quelleVon(rs.field(QStringLiteral("Herkunft")).toInt(), &q);
            l << Vorhanden{rs.field(QStringLiteral("Nr")).toULong(), rs.field(QStringLiteral("Datum")).toDate(),
                           rs.field(QStringLiteral("Text")).toString(), posten ? normal(rs.field(QStringLiteral("Info")).toString()) : QString()};
        }
        return l;
    }

    // A booking of the same money on the same account: the one whose
    // invoice number the purpose names, else the nearest within a week (a
    // recurring booking is due on a day, the bank books it a few days off;
    // the same rent a month away is the next month's, and a fee of the same
    // amount two weeks away is another fee).
    bool vorhanden(const GespeicherterUmsatz& u, const QString& text, Vorschlag* v) {
        const QList<Vorhanden> kandidaten = vorhandene(u.konto, u.betrag.cent());
        const Vorhanden* best = nullptr;
        qint64 abstand = 8;
        bool perNummer = false;
        for (const Vorhanden& x : kandidaten) {
            if (m_vergeben.contains(x.nr)) continue;
            if (!x.nummerNormal.isEmpty() && text.contains(x.nummerNormal)) {
                best = &x;
                perNummer = true;
                break;
            }
            const qint64 d = qAbs(x.datum.qdate().daysTo(u.datum.qdate()));
            if (d < abstand) {
                abstand = d;
                best = &x;
            }
        }
        if (!best) return false;
        v->art = Vorschlag::Vorhanden;
        v->wertung = 160;
        v->quelle = best->nr;
        v->text = best->text;
        v->grund = QStringLiteral("Die Buchung %1 vom %2 über denselben Betrag auf dem Konto %3 ist schon gebucht%4; der Umsatz wird ihr "
                                  "zugeordnet, nicht noch einmal gebucht")
                       .arg(best->nr)
                       .arg(best->datum.getText())
                       .arg(u.konto)
                       .arg(perNummer ? QStringLiteral(" (ihre Rechnungsnummer steht im Verwendungszweck)") : QString());
        m_vergeben.insert(best->nr);
        return true;
    }

    template <typename F>
    void gleicherBetrag(const GespeicherterUmsatz& u, const QList<Einfach>& gleiche, bool ledger, const QString& text, F nimm) {
        const bool eingang = u.betrag > EuroType();
        for (const Einfach& b : gleiche) {
            if (b.geldHaben == eingang || !artenFuer(eingang).contains(QString::number(b.art))) continue;
            const bool passt = !b.textNormal.isEmpty() && text.contains(b.textNormal);
            Vorschlag v;
            v.art = ledger ? Vorschlag::Buchung : Vorschlag::Vorlage;
            v.quelle = b.nr;
            v.buchungsart = b.art;
            v.gegenkonto = b.gegen;
            v.steuerschluessel = b.schluessel;
            v.text = b.text;
            v.wertung = 50 + (passt ? 70 : 0);
            const QString woher = ledger ? QStringLiteral("Buchung %1 vom %2").arg(b.nr).arg(b.datum.getText()) : QStringLiteral("Buchungsvorlage %1").arg(b.nr);
            v.grund = woher + QStringLiteral(" mit demselben Betrag") +
                      (passt ? QStringLiteral(", deren Buchungstext „%1“ im Verwendungszweck steht").arg(v.text) : QString());
            nimm(v);
            if (v.wertung == 120 && postbar(u, v)) return;  // nothing later in the list scores higher
        }
    }

    // The transactions taken over before, newest first, by counterpart IBAN
    // and by name (upper case).
    struct Frueher {
        unsigned long nr;
        zDate datum;
        QString iban;
        unsigned long umsatz;
    };
    void ladeGegenparteien() {
        rsDataSource rs(m_db, QStringLiteral("SELECT u.UmsatzID AS ID, u.Buchungsnummer AS Nr, u.Buchungsdatum AS Datum, u.EmpfaengerIBAN AS IBAN, "
                                             "u.Empfaenger AS Name FROM eurUmsatz u WHERE u.Status=1 AND u.Buchungsnummer<>0 "
                                             "ORDER BY u.Buchungsdatum DESC, u.UmsatzID DESC"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.field(QStringLiteral("Nr")).toULong();
            if (!m_einfachNachNr.contains(nr)) continue;  // split, cancelled or gone
            const Frueher f{nr, rs.field(QStringLiteral("Datum")).toDate(), rs.field(QStringLiteral("IBAN")).toString(), rs.field(QStringLiteral("ID")).toULong()};
            if (!f.iban.isEmpty()) m_nachIban[f.iban] << f;
            const QString name = rs.field(QStringLiteral("Name")).toString().toUpper();
            if (!name.isEmpty()) m_nachName[name] << f;
        }
    }

    template <typename F>
    void gegenpartei(const GespeicherterUmsatz& u, F nimm) {
        if (u.iban.isEmpty() && u.name.isEmpty()) return;
        const bool eingang = u.betrag > EuroType();
        // Newest first across both lists, as one list ordered by date would give.
        QList<Frueher> l = u.iban.isEmpty() ? QList<Frueher>() : m_nachIban.value(u.iban);
        if (!u.name.isEmpty()) l += m_nachName.value(u.name.toUpper());
        std::stable_sort(l.begin(), l.end(), [](const Frueher& a, const Frueher& b) {
            return b.datum < a.datum || (a.datum == b.datum && a.umsatz > b.umsatz);
        });
        for (const Frueher& f : l) {
            if (f.umsatz == u.id) continue;
            const Einfach& b = m_einfachNachNr[f.nr];
            if (b.geldHaben == eingang) continue;
            const bool perIban = !u.iban.isEmpty() && f.iban == u.iban;
            Vorschlag v;
            v.art = Vorschlag::Gegenpartei;
            v.quelle = f.nr;
            v.buchungsart = b.art;
            v.gegenkonto = b.gegen;
            v.steuerschluessel = b.schluessel;
            v.text = umsatzText(u);
            v.wertung = perIban ? 100 : 80;
            v.grund = QStringLiteral("%1 wurde zuletzt am %2 auf das Konto %3 gebucht (Buchung %4)")
                          .arg(perIban ? QStringLiteral("Die IBAN %1").arg(u.iban) : QStringLiteral("„%1“").arg(u.name), f.datum.getText())
                          .arg(b.gegen)
                          .arg(f.nr);
            nimm(v);
            if (perIban && postbar(u, v)) return;  // the newest by IBAN is the best there is
        }
    }

    DBConnection* m_db;
    EingabePruefer m_pruefer;
    zDate m_fest;
    QHash<qint64, QList<Posten>> m_posten;
    QSet<qint64> m_eingangCent;  // what the open incoming invoices ask for
    Betragssuche m_suche;
    QHash<qint64, QList<Einfach>> m_vorlagen;
    QHash<unsigned long, Einfach> m_einfachNachNr;
    QHash<QString, QList<Frueher>> m_nachIban, m_nachName;
    QHash<QString, bool> m_postbar;
    QSet<unsigned long> m_vergeben;
};

bool imJahr(const zDate& d, int jahr) { return d.isValid() && d.year() == jahr; }

// The kind of a booking on `gegen` that the user chose himself: income or
// expense where the account is one, else a free booking.
int artFuerGegenkonto(EingabePruefer& p, unsigned long gegen, bool eingang) {
    for (int art : eingang ? QList<int>{1, 5, 3} : QList<int>{2, 4, 3})
        if (p.passtZurArt(gegen, art, false)) return art;
    return 3;
}

}  // namespace

void vorschlaege(DBConnection* db, const QList<unsigned long>& ids, const std::function<void(const Kandidat&)>& je) {
    db = rsFallDB(db);
    const int jahr = steuerjahr();
    const QSet<unsigned long> genannt(ids.begin(), ids.end());
    Sucher s(db, jahr);
    umsaetze(db, true, [&](const GespeicherterUmsatz& u) {
        if ((!genannt.isEmpty() && !genannt.contains(u.id)) || !imJahr(u.datum, jahr)) return;
        je(Kandidat{u, s.bester(u)});
    });
}

QList<Kandidat> vorschlaege(DBConnection* db, const QList<unsigned long>& ids) {
    QList<Kandidat> l;
    vorschlaege(db, ids, [&l](const Kandidat& k) { l << k; });
    return l;
}

bool uebernehmen(DBConnection* db, const Auftrag& a, Uebernahmeergebnis* erg, QString* fehler) {
    db = rsFallDB(db);
    *erg = Uebernahmeergebnis();
    auto nein = [&](const QString& t) {
        *fehler = t;
        return false;
    };
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    const int jahr = steuerjahr();
    const QSet<unsigned long> genannt(a.ids.begin(), a.ids.end());
    if (!genannt.isEmpty()) {
        QSet<unsigned long> da;
        umsaetze(db, true, [&](const GespeicherterUmsatz& u) {
            if (genannt.contains(u.id)) da.insert(u.id);
        });
        for (unsigned long id : a.ids) {
            if (!da.contains(id))
                return nein(QStringLiteral("Der Umsatz %1 ist nicht offen oder gibt es nicht; übernommen werden nur offene Umsätze "
                                           "(dalvo bank FALL umsaetze --offen).")
                                .arg(id));
        }
    }
    Sucher sucher(db, jahr);
    // What the staging needs of a transaction and its proposal; the texts
    // that only explain are left behind, so the chosen ones stay small
    // however many there are.
    struct Wahl {
        GespeicherterUmsatz u;
        Vorschlag v;
        Wahl(const GespeicherterUmsatz& umsatz, const Vorschlag& vorschlag) : v(vorschlag) {
            u.id = umsatz.id;
            u.konto = umsatz.konto;
            u.datum = umsatz.datum;
            u.betrag = umsatz.betrag;
            v.grund.clear();
        }
    };
    // Transactions outside the year are marked, not taken over.
    QList<unsigned long> falschesJahr;
    QList<Wahl> wahl;
    QList<Wahl> verknuepfen;  // transactions that meet a booking already there
    // Each open transaction is proposed for as it is read; the first
    // refusal ends the run.
    QString abbruch;
    umsaetze(db, true, [&](const GespeicherterUmsatz& u) {
        if (!abbruch.isEmpty() || (!a.alle && !genannt.contains(u.id))) return;
        if (!imJahr(u.datum, jahr)) {
            falschesJahr << u.id;
            return;
        }
        Vorschlag v = a.gegenkonto ? Vorschlag() : sucher.bester(u);
        if (a.gegenkonto) {
            v.art = Vorschlag::Vorgabe;
            v.wertung = kSchwelle;
            v.gegenkonto = a.gegenkonto;
            v.steuerschluessel = a.steuerschluessel;
            v.buchungsart = artFuerGegenkonto(sucher.pruefer(), a.gegenkonto, u.betrag > EuroType());
            v.text = a.text.isEmpty() ? umsatzText(u) : a.text;
            if (!a.schluesselAngegeben) v.steuerschluessel = 0;
            const QString n = sucher.pruefen(u, &v);
            if (!n.isEmpty()) {
                abbruch = QStringLiteral("Umsatz %1: %2 Es wurde nichts übernommen.").arg(u.id).arg(n);
                return;
            }
        } else if (v.art == Vorschlag::Keiner || (a.alle && v.wertung < kSchwelle)) {
            if (a.alle) {
                erg->ohneVorschlag << u.id;
                return;
            }
            abbruch = QStringLiteral("Für den Umsatz %1 (%2, %3 €) gibt es keinen Vorschlag. Bitte nennen Sie das Gegenkonto mit --gegenkonto "
                                     "(und den Steuerschlüssel mit --schluessel). Es wurde nichts übernommen.")
                          .arg(u.id)
                          .arg(u.datum.getText(), u.betrag.getText());
            return;
        }
        if (v.art == Vorschlag::Vorhanden) {
            verknuepfen << Wahl(u, v);
            return;
        }
        if (!a.text.isEmpty()) v.text = a.text;
        wahl << Wahl(u, v);
    });
    if (!abbruch.isEmpty()) return nein(abbruch);
    const zDate fest = KontoGlobal::getFestgeschriebenBis();
    int gesperrt = 0;
    for (const Wahl& w : wahl) gesperrt += fest.isValid() && !(fest < w.u.datum) ? 1 : 0;
    if (gesperrt > 0 &&
        !KontoGlobal::festgeschriebenFrage(QStringLiteral("Festgeschrieben"), KontoGlobal::FFK_Uebernahme, KontoGlobal::FFT_NeueFestgeschrieben))
        return nein(QStringLiteral("%1 der Umsätze liegen im festgeschriebenen Zeitraum (bis zum %2); es wurde nichts übernommen.")
                        .arg(gesperrt)
                        .arg(fest.getText()));

    // One run for all transactions taken over: asked once when they take a
    // till below zero, and nothing kept when the answer is No.
    Buchungslauf lauf(db);
    DBTransaktion t(lauf.ok() ? db : nullptr);
    if (!t.ok()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    if (!ExecSQL(db, QStringLiteral("DELETE FROM eurUebernahme")) || !ExecSQL(db, QStringLiteral("DELETE FROM eurUebernahmeBuchungszeilen")) ||
        (!falschesJahr.isEmpty() && !ExecSQL(db, QStringLiteral("UPDATE eurUmsatz SET Status=3 WHERE UmsatzID IN ") + inListe(falschesJahr))))
        return nein(QStringLiteral("Die Übernahme konnte nicht vorbereitet werden."));
    // A booking already there is the transaction's booking: no new one.
    for (const Wahl& w : verknuepfen) {
        if (!verknuepfe(db, w.u.id, w.v.quelle))
            return nein(QStringLiteral("Der Status des Umsatzes %1 konnte nicht gespeichert werden.").arg(w.u.id));
        erg->verknuepft << qMakePair(w.u.id, w.v.quelle);
    }
    QHash<unsigned long, unsigned long> kontoVon;  // transaction → its money account
    for (const Wahl& w : wahl) kontoVon.insert(w.u.id, w.u.konto);
    KontoGlobal::SchluesselSpeicher speicher;
    // Staging: each chosen proposal as a booking of eurUebernahme. An
    // invoice's payment is staged as its header only; the invoicing builds
    // its lines when it is posted.
    for (const Wahl& w : wahl) {
        KontoGlobal::BuchungsEntwurf e;
        e.table = QStringLiteral("eurUebernahme");
        e.herkunft = w.v.art == Vorschlag::Rechnung           ? herkunftVon(OffenerPosten::Ausgangsrechnung)
                     : w.v.art == Vorschlag::Eingangsrechnung ? herkunftVon(OffenerPosten::Eingangsrechnung)
                                                              : KontoGlobal::HERK_UMSATZ;
        e.text = w.v.text;
        e.belegdatum = w.u.datum;
        e.buchungsart = w.v.buchungsart;
        e.belegnummer = w.v.art == Vorschlag::Eingangsrechnung ? QString::number(w.v.rechnungID) : w.v.rechnungsnummer;
        e.haben = w.u.betrag < EuroType();
        e.konto = w.v.art == Vorschlag::Rechnung || w.v.art == Vorschlag::Eingangsrechnung ? 0 : w.u.konto;
        e.teile << KontoGlobal::BuchungsTeil{w.v.gegenkonto, w.v.steuerschluessel, w.u.betrag.abs(), false, QString()};
        QString grund;
        const unsigned long nr = KontoGlobal::insertSplittBuchung(e, db, &grund, &speicher);
        if (!nr || !ExecPrepared(db, QStringLiteral("UPDATE eurUebernahme SET UmsatzID=?, UmsatzUebernehmen=-1, geprueft=-1, Zusatzinfo=?, Betrag=? "
                                                    "WHERE Buchungsnummer=?"),
                                 {DatenTyp(w.u.id), DatenTyp(QStringLiteral("Wertung: %1").arg(w.v.wertung)),
                                  DatenTyp(w.u.betrag.abs()), DatenTyp(nr)}))
            return nein(QStringLiteral("Umsatz %1: %2 Es wurde nichts übernommen.").arg(w.u.id).arg(grund));
    }
    // Posting: the examined rows, in the order they were staged.
    rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer, Buchungstext, Belegdatum, Belegnummer, Buchungsart, Betrag, Herkunft, UmsatzID, "
                                       "UmsatzUebernehmen FROM eurUebernahme WHERE geprueft<>0 ORDER BY Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long umsatz = rs.field(QStringLiteral("UmsatzID")).toULong();
        const unsigned long staging = rs.field(QStringLiteral("Buchungsnummer")).toULong();
        if (rs.field(QStringLiteral("UmsatzUebernehmen")).toLongLong() == 0) {
            if (!ExecPrepared(db, QStringLiteral("UPDATE eurUmsatz SET Status=2, Buchungsnummer=0 WHERE UmsatzID=?"), {DatenTyp(umsatz)}))
                return nein(QStringLiteral("Der Status des Umsatzes %1 konnte nicht gespeichert werden.").arg(umsatz));
            continue;
        }
        const zDate datum = rs.field(QStringLiteral("Belegdatum")).toDate();
        const unsigned long konto = kontoVon.value(umsatz);
        QString grund;
        unsigned long nr = 0;
        OffenerPosten::Quelle quelle;
        if (quelleVon(rs.field(QStringLiteral("Herkunft")).toInt(), &quelle)) {
            nr = buchePosten(db, quelle, rs.field(QStringLiteral("Belegnummer")).toString(), konto, datum, &grund);
        } else {
            // The booking as staged: money line and counter line with its key.
            KontoGlobal::BuchungsEntwurf e;
            e.herkunft = KontoGlobal::HERK_UMSATZ;
            e.text = rs.field(QStringLiteral("Buchungstext")).toString();
            e.belegdatum = datum;
            e.buchungsart = rs.field(QStringLiteral("Buchungsart")).toInt();
            rsDataSource z(db, QStringLiteral("SELECT Dialogzeile, Konto, Haben, Steuerschluessel FROM eurUebernahmeBuchungszeilen WHERE "
                                              "Buchungsnummer=") +
                                   rsDataSource::toSqlStr(staging) + QStringLiteral(" AND Dialogzeile IN (1,2) ORDER BY ID"));
            for (; !z.isEOF(); z.fetch())
                if (z.field(QStringLiteral("Dialogzeile")).toInt() == 1) {
                    e.konto = z.field(QStringLiteral("Konto")).toULong();
                    e.haben = z.field(QStringLiteral("Haben")).toBool();
                } else {
                    e.teile << KontoGlobal::BuchungsTeil{z.field(QStringLiteral("Konto")).toULong(), z.field(QStringLiteral("Steuerschluessel")).toULong(),
                                                         rs.field(QStringLiteral("Betrag")).toEuro(), false, QString()};
                }
            nr = KontoGlobal::insertSplittBuchung(e, db, &grund, &speicher);
        }
        if (!nr) return nein(QStringLiteral("Umsatz %1: %2 Es wurde nichts übernommen.").arg(umsatz).arg(grund));
        KontoGlobal::verifyBuchung(nr, QStringLiteral("eurVerbucht"));
        if (!ExecPrepared(db, QStringLiteral("UPDATE eurUmsatz SET Status=1, Buchungsnummer=? WHERE UmsatzID=?"), {DatenTyp(nr), DatenTyp(umsatz)}))
            return nein(QStringLiteral("Der Status des Umsatzes %1 konnte nicht gespeichert werden.").arg(umsatz));
        erg->gebucht << qMakePair(umsatz, nr);
        if (fest.isValid() && !(fest < datum)) ++erg->festgeschrieben;
    }
    if (!ExecSQL(db, QStringLiteral("DELETE FROM eurUebernahmeBuchungszeilen WHERE Buchungsnummer IN (SELECT Buchungsnummer FROM eurUebernahme "
                                    "WHERE geprueft<>0)")) ||
        !ExecSQL(db, QStringLiteral("DELETE FROM eurUebernahme WHERE geprueft<>0 ")) || !t.commit())
        return nein(QStringLiteral("Die Übernahme konnte nicht abgeschlossen werden; es wurde nichts übernommen."));
    QString grund;
    if (!lauf.abschliessen(&grund)) {
        erg->gebucht.clear();
        return nein(grund);
    }

    const int n = erg->gebucht.size();
    const int k = erg->verknuepft.size();
    const bool nichtsVorbereitet = n == 0 && k == 0 && erg->ohneVorschlag.isEmpty();
    if (nichtsVorbereitet) {
        const bool verarbeitet = !QueryPrepared(db, QStringLiteral("SELECT UmsatzID FROM eurUmsatz WHERE Status=1 LIMIT 1"), {}).isEmpty();
        erg->meldung = verarbeitet ? QStringLiteral("Alle vorliegenden Umsätze sind bereits in die Buchungsliste übernommen.")
                                   : QStringLiteral("Es liegen keine Umsätze vor, die in die Buchungsliste übernommen werden können.");
        return true;
    }
    erg->meldung = n > 1 ? QStringLiteral("Es wurden ") + QString::number(n) + QStringLiteral(" Umsätze in die Einnahmen und Ausgaben übernommen.")
                   : n == 1 ? QStringLiteral("Es wurde ein Umsatz in die Einnahmen und Ausgaben übernommen.")
                            : QStringLiteral("Es wurden keine Umsätze übernommen.");
    if (n == 0 && k > 0) erg->meldung.clear();
    else if (k > 0) erg->meldung += QStringLiteral("<br><br>");
    if (k > 0)
        erg->meldung += k == 1 ? QStringLiteral("Ein Umsatz wurde einer schon vorhandenen Buchung zugeordnet und nicht noch einmal gebucht.")
                               : QStringLiteral("%1 Umsätze wurden schon vorhandenen Buchungen zugeordnet und nicht noch einmal gebucht.").arg(k);
    if (erg->festgeschrieben > 0)
        erg->meldung += QStringLiteral("<br><p><b>Hinweis:</b> Die Buchungen bis zum ") + fest.getText() + QStringLiteral(" sind bereits festgeschrieben.</p>") +
                        (erg->festgeschrieben == 1 ? QStringLiteral("<p>Eine der importierten Buchungen wird deshalb festgeschrieben.</p>")
                                                   : QStringLiteral("<p>%1 der importierten Buchungen werden deshalb festgeschrieben.</p>").arg(erg->festgeschrieben));
    return true;
}

bool zuordnen(DBConnection* db, unsigned long umsatz, unsigned long buchung, QString* fehler) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        *fehler = t + QStringLiteral(" Es wurde nichts zugeordnet.");
        return false;
    };
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    GespeicherterUmsatz u;
    bool da = false;
    for (const GespeicherterUmsatz& x : umsaetze(db, true))
        if (x.id == umsatz) {
            u = x;
            da = true;
        }
    if (!da) return nein(QStringLiteral("Der Umsatz %1 ist nicht offen oder gibt es nicht (dalvo bank FALL umsaetze --offen).").arg(umsatz));
    const QVector<DatenTyp> kopf = QueryPrepared(db, QStringLiteral("SELECT Belegdatum, Storno, Storniert FROM eurVerbucht WHERE Buchungsnummer=?"),
                                                 {DatenTyp(buchung)});
    if (kopf.isEmpty()) return nein(QStringLiteral("Eine Buchung Nr. %1 gibt es nicht.").arg(buchung));
    if (kopf[1].toBool() || kopf[2].toBool()) return nein(QStringLiteral("Die Buchung %1 ist storniert oder eine Stornobuchung.").arg(buchung));
    if (!imJahr(kopf[0].toDate(), steuerjahr()) || !imJahr(u.datum, steuerjahr()))
        return nein(QStringLiteral("Umsatz und Buchung müssen im Steuerjahr %1 liegen.").arg(steuerjahr()));
    // The booking must move this money on this account, on its side.
    const bool haben = u.betrag < EuroType();
    bool passt = false;
    rsDataSource z(db, QStringLiteral("SELECT Betrag, Haben FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") + rsDataSource::toSqlStr(buchung) +
                           QStringLiteral(" AND Konto=") + rsDataSource::toSqlStr(u.konto));
    for (; !z.isEOF(); z.fetch())
        passt = passt || (z.field(QStringLiteral("Haben")).toBool() == haben && (z.field(QStringLiteral("Betrag")).toEuro().abs() - u.betrag.abs()).isNull());
    if (!passt)
        return nein(QStringLiteral("Die Buchung %1 bucht nicht %2 € %3 dem Konto %4, wie es der Umsatz %5 tut.")
                        .arg(buchung)
                        .arg(u.betrag.abs().getText(), haben ? QStringLiteral("von") : QStringLiteral("auf"))
                        .arg(u.konto)
                        .arg(umsatz));
    const QVector<DatenTyp> andere = QueryPrepared(db, QStringLiteral("SELECT UmsatzID FROM eurUmsatz WHERE Status=1 AND Buchungsnummer=? LIMIT 1"),
                                                   {DatenTyp(buchung)});
    if (!andere.isEmpty())
        return nein(QStringLiteral("Die Buchung %1 gehört schon zum Umsatz %2.").arg(buchung).arg(andere.first().toLongLong()));
    DBTransaktion t(db);
    if (!t.ok() || !verknuepfe(db, umsatz, buchung) || !t.commit()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    return true;
}

}  // namespace Bank
