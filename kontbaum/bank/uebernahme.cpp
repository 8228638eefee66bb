// The takeover of transactions into bookings: a proposal per transaction,
// the staging rows (eurUebernahme) and the posting.
//
// Where a proposal comes from, and what it scores:
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

struct Offen {
    unsigned long id;
    QString nummer, nummerNormal;
    EuroType offen;
};

class Sucher {
public:
    Sucher(DBConnection* db, int jahr) : m_db(db), m_pruefer(db, jahr) {
        m_fest = KontoGlobal::getFestgeschriebenBis();
        for (const Faktura::Beleg& b : Faktura::buchungskandidaten(db)) {
            if (b.bezahlt.isValid() || b.nummer.isEmpty()) continue;
            const Faktura::Summen s = Faktura::berechneSummen(db, b);
            m_rechnungen << Offen{b.id, b.nummer, normal(b.nummer), s.offen};
        }
    }

    Vorschlag bester(const GespeicherterUmsatz& u) {
        Vorschlag best;
        auto nimm = [&](const Vorschlag& v) {
            if (v.wertung > best.wertung && postbar(u, v)) best = v;
        };
        const bool eingang = u.betrag > EuroType();
        const QString text = normal(u.text + QLatin1Char(' ') + u.referenz + QLatin1Char(' ') + u.name);
        // An invoice's payment goes through the invoicing, which cannot post
        // into the locked period.
        if (eingang && !(m_fest.isValid() && !(m_fest < u.datum)))
            for (const Offen& r : m_rechnungen)
                if ((r.offen - u.betrag).isNull() && text.contains(r.nummerNormal)) {
                    Vorschlag v;
                    v.art = Vorschlag::Rechnung;
                    v.wertung = 150;
                    v.buchungsart = 1;
                    v.rechnungID = r.id;
                    v.rechnungsnummer = r.nummer;
                    v.text = QStringLiteral("Rechnung %1").arg(r.nummer);
                    v.grund = QStringLiteral("Zahlung der offenen Rechnung %1 über %2 €: ihre Nummer steht im Verwendungszweck").arg(r.nummer, r.offen.getText());
                    best = v;  // nothing else scores as high
                    break;
                }
        // A debit that pays an open incoming invoice books that invoice.
        if (!eingang && !(m_fest.isValid() && !(m_fest < u.datum)) && best.art == Vorschlag::Keiner) {
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
        for (const char* tabelle : {"eurBeispiel", "eurVerbucht"}) gleicherBetrag(u, QLatin1String(tabelle), text, nimm);
        gegenpartei(u, nimm);
        return best;
    }

    // Whether the ledger would take the proposal as it stands (accounts
    // active and of the kind, key allowed, date in the year).
    bool postbar(const GespeicherterUmsatz& u, Vorschlag v) {
        if (v.art == Vorschlag::Rechnung || v.art == Vorschlag::Eingangsrechnung) return true;
        return pruefen(u, &v).isEmpty() && EingabePruefer::pruefeSeite(v.buchungsart, u.betrag < EuroType()).isEmpty();
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

private:
    // The simple booking `nr` of `tabelle`: its money line's side, the
    // counter line's account and key; false for a split booking.
    bool einfach(const QString& tabelle, unsigned long nr, bool* geldHaben, unsigned long* gegen, unsigned long* schluessel) {
        rsDataSource z(m_db, QStringLiteral("SELECT Dialogzeile, Konto, Haben, Steuerschluessel FROM ") + tabelle +
                                 QStringLiteral("Buchungszeilen WHERE Buchungsnummer=") + rsDataSource::toSqlStr(nr) +
                                 QStringLiteral(" AND Dialogzeile IN (1,2) ORDER BY ID"));
        int eins = 0, zwei = 0;
        for (; !z.isEOF(); z.fetch()) {
            if (z.field(QStringLiteral("Dialogzeile")).toInt() == 1) {
                ++eins;
                *geldHaben = z.field(QStringLiteral("Haben")).toBool();
            } else {
                ++zwei;
                *gegen = z.field(QStringLiteral("Konto")).toULong();
                *schluessel = z.field(QStringLiteral("Steuerschluessel")).toULong();
            }
        }
        return eins == 1 && zwei == 1;
    }

    template <typename F>
    void gleicherBetrag(const GespeicherterUmsatz& u, const QString& tabelle, const QString& text, F nimm) {
        const bool eingang = u.betrag > EuroType();
        const bool ledger = tabelle == QLatin1String("eurVerbucht");
        rsDataSource rs(m_db, QStringLiteral("SELECT Buchungsnummer, Buchungstext, Buchungsart, Belegdatum FROM ") + tabelle +
                                  QStringLiteral(" WHERE Buchungsart IN (") + artenFuer(eingang) + QStringLiteral(")") +
                                  QStringLiteral("   AND ABS(Betrag - ") + rsDataSource::toSqlStr(u.betrag.abs()) +
                                  QStringLiteral(") < 0.005   AND Netto  = 0 ") +
                                  (ledger ? QStringLiteral(" AND Storno=0 AND Storniert=0") : QString()) +
                                  QStringLiteral(" ORDER BY Belegdatum DESC, Buchungsnummer"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.field(QStringLiteral("Buchungsnummer")).toULong();
            bool haben = false;
            unsigned long gegen = 0, schluessel = 0;
            if (!einfach(tabelle, nr, &haben, &gegen, &schluessel) || haben == eingang) continue;
            Vorschlag v;
            v.art = ledger ? Vorschlag::Buchung : Vorschlag::Vorlage;
            v.quelle = nr;
            v.buchungsart = rs.field(QStringLiteral("Buchungsart")).toInt();
            v.gegenkonto = gegen;
            v.steuerschluessel = schluessel;
            v.text = rs.field(QStringLiteral("Buchungstext")).toString();
            const QString eigener = normal(v.text);
            const bool passt = !eigener.isEmpty() && text.contains(eigener);
            v.wertung = 50 + (passt ? 70 : 0);
            const QString woher = ledger ? QStringLiteral("Buchung %1 vom %2").arg(nr).arg(rs.field(QStringLiteral("Belegdatum")).toDate().getText())
                                         : QStringLiteral("Buchungsvorlage %1").arg(nr);
            v.grund = woher + QStringLiteral(" mit demselben Betrag") +
                      (passt ? QStringLiteral(", deren Buchungstext „%1“ im Verwendungszweck steht").arg(v.text) : QString());
            nimm(v);
        }
    }

    template <typename F>
    void gegenpartei(const GespeicherterUmsatz& u, F nimm) {
        if (u.iban.isEmpty() && u.name.isEmpty()) return;
        const bool eingang = u.betrag > EuroType();
        rsDataSource rs(m_db, QStringLiteral("SELECT u.Buchungsnummer AS Nr, u.Buchungsdatum AS Datum, u.EmpfaengerIBAN AS IBAN, v.Buchungstext AS Text, "
                                             "v.Buchungsart AS Art FROM eurUmsatz u JOIN eurVerbucht v ON u.Buchungsnummer=v.Buchungsnummer "
                                             "WHERE u.Status=1 AND v.Storno=0 AND v.Storniert=0 AND u.UmsatzID<>") +
                                  rsDataSource::toSqlStr(u.id) + QStringLiteral(" AND ((u.EmpfaengerIBAN<>'' AND u.EmpfaengerIBAN=") +
                                  rsDataSource::toSqlStr(u.iban) + QStringLiteral(") OR (u.Empfaenger<>'' AND UPPER(u.Empfaenger)=UPPER(") +
                                  rsDataSource::toSqlStr(u.name) + QStringLiteral("))) ORDER BY u.Buchungsdatum DESC, u.UmsatzID DESC"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.field(QStringLiteral("Nr")).toULong();
            bool haben = false;
            unsigned long gegen = 0, schluessel = 0;
            if (!einfach(QStringLiteral("eurVerbucht"), nr, &haben, &gegen, &schluessel) || haben == eingang) continue;
            const bool perIban = !u.iban.isEmpty() && rs.field(QStringLiteral("IBAN")).toString() == u.iban;
            Vorschlag v;
            v.art = Vorschlag::Gegenpartei;
            v.quelle = nr;
            v.buchungsart = rs.field(QStringLiteral("Art")).toInt();
            v.gegenkonto = gegen;
            v.steuerschluessel = schluessel;
            v.text = umsatzText(u);
            v.wertung = perIban ? 100 : 80;
            v.grund = QStringLiteral("%1 wurde zuletzt am %2 auf das Konto %3 gebucht (Buchung %4)")
                          .arg(perIban ? QStringLiteral("Die IBAN %1").arg(u.iban) : QStringLiteral("„%1“").arg(u.name),
                               rs.field(QStringLiteral("Datum")).toDate().getText())
                          .arg(gegen)
                          .arg(nr);
            nimm(v);
        }
    }

    DBConnection* m_db;
    EingabePruefer m_pruefer;
    zDate m_fest;
    QList<Offen> m_rechnungen;
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

QList<Kandidat> vorschlaege(DBConnection* db, const QList<unsigned long>& ids) {
    db = rsFallDB(db);
    const int jahr = steuerjahr();
    QList<Kandidat> l;
    Sucher s(db, jahr);
    for (const GespeicherterUmsatz& u : umsaetze(db, true)) {
        if ((!ids.isEmpty() && !ids.contains(u.id)) || !imJahr(u.datum, jahr)) continue;
        l << Kandidat{u, s.bester(u)};
    }
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
    // Transactions outside the year are marked, not taken over.
    QList<unsigned long> falschesJahr;
    QList<GespeicherterUmsatz> offene;
    for (const GespeicherterUmsatz& u : umsaetze(db, true)) {
        if (!a.alle && !a.ids.contains(u.id)) continue;
        if (imJahr(u.datum, jahr)) offene << u;
        else falschesJahr << u.id;
    }
    for (unsigned long id : a.ids) {
        bool da = false;
        for (const GespeicherterUmsatz& u : offene) da = da || u.id == id;
        if (!da && !falschesJahr.contains(id))
            return nein(QStringLiteral("Der Umsatz %1 ist nicht offen oder gibt es nicht; übernommen werden nur offene Umsätze "
                                       "(dalvo bank FALL umsaetze --offen).")
                            .arg(id));
    }
    Sucher sucher(db, jahr);
    struct Wahl {
        GespeicherterUmsatz u;
        Vorschlag v;
    };
    QList<Wahl> wahl;
    for (const GespeicherterUmsatz& u : offene) {
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
            if (!n.isEmpty()) return nein(QStringLiteral("Umsatz %1: %2 Es wurde nichts übernommen.").arg(u.id).arg(n));
        } else if (v.art == Vorschlag::Keiner || (a.alle && v.wertung < kSchwelle)) {
            if (a.alle) {
                erg->ohneVorschlag << u.id;
                continue;
            }
            return nein(QStringLiteral("Für den Umsatz %1 (%2, %3 €) gibt es keinen Vorschlag. Bitte nennen Sie das Gegenkonto mit --gegenkonto "
                                       "(und den Steuerschlüssel mit --schluessel). Es wurde nichts übernommen.")
                            .arg(u.id)
                            .arg(u.datum.getText(), u.betrag.getText()));
        }
        if (!a.text.isEmpty()) v.text = a.text;
        wahl << Wahl{u, v};
    }
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
    KontoGlobal::SchluesselSpeicher speicher;
    // Staging: each chosen proposal as a booking of eurUebernahme. An
    // invoice's payment is staged as its header only; the invoicing builds
    // its lines when it is posted.
    for (const Wahl& w : wahl) {
        KontoGlobal::BuchungsEntwurf e;
        e.table = QStringLiteral("eurUebernahme");
        e.herkunft = w.v.art == Vorschlag::Rechnung           ? KontoGlobal::HERK_RECH_ASSI
                     : w.v.art == Vorschlag::Eingangsrechnung ? KontoGlobal::HERK_RECH
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
        unsigned long konto = 0;
        for (const Wahl& w : wahl)
            if (w.u.id == umsatz) konto = w.u.konto;
        QString grund;
        unsigned long nr = 0;
        if (rs.field(QStringLiteral("Herkunft")).toULong() == KontoGlobal::HERK_RECH_ASSI) {
            Faktura::Beleg b;
            if (!Faktura::findeBeleg(db, Faktura::Belegart::Rechnung, rs.field(QStringLiteral("Belegnummer")).toString(), &b))
                grund = QStringLiteral("Die Rechnung %1 gibt es nicht mehr.").arg(rs.field(QStringLiteral("Belegnummer")).toString());
            else
                nr = Faktura::bucheRechnung(db, b, Faktura::BuchungsAuftrag{konto, datum, QString()}, &grund);
        } else if (rs.field(QStringLiteral("Herkunft")).toULong() == KontoGlobal::HERK_RECH) {
            // An incoming invoice is booked by its rates, as paid on the debit's day.
            nr = Eingang::buche(db, rs.field(QStringLiteral("Belegnummer")).toULong(), Eingang::Buchungsauftrag{0, konto, datum}, &grund);
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
    const bool nichtsVorbereitet = n == 0 && erg->ohneVorschlag.isEmpty();
    if (nichtsVorbereitet) {
        const bool verarbeitet = !QueryPrepared(db, QStringLiteral("SELECT UmsatzID FROM eurUmsatz WHERE Status=1 LIMIT 1"), {}).isEmpty();
        erg->meldung = verarbeitet ? QStringLiteral("Alle vorliegenden Umsätze sind bereits in die Buchungsliste übernommen.")
                                   : QStringLiteral("Es liegen keine Umsätze vor, die in die Buchungsliste übernommen werden können.");
        return true;
    }
    erg->meldung = n > 1 ? QStringLiteral("Es wurden ") + QString::number(n) + QStringLiteral(" Umsätze in die Einnahmen und Ausgaben übernommen.")
                   : n == 1 ? QStringLiteral("Es wurde ein Umsatz in die Einnahmen und Ausgaben übernommen.")
                            : QStringLiteral("Es wurden keine Umsätze übernommen.");
    if (erg->festgeschrieben > 0)
        erg->meldung += QStringLiteral("<br><p><b>Hinweis:</b> Die Buchungen bis zum ") + fest.getText() + QStringLiteral(" sind bereits festgeschrieben.</p>") +
                        (erg->festgeschrieben == 1 ? QStringLiteral("<p>Eine der importierten Buchungen wird deshalb festgeschrieben.</p>")
                                                   : QStringLiteral("<p>%1 der importierten Buchungen werden deshalb festgeschrieben.</p>").arg(erg->festgeschrieben));
    return true;
}

}  // namespace Bank
