// Booking an incoming invoice: one line per VAT category and rate on the
// expense account, the input-tax key chosen by category and rate (UNCL 5305
// codes of EN 16931):
//   S  standard/reduced rate       Vorsteuer 19 % (7), 7 % (8), 16 % (9)
//   AE reverse charge, § 13b UStG  94 seller in another EU state (46/47, 67),
//                                  95 seller outside the EU (52/53, 67),
//                                  96 seller in Germany (construction and
//                                  the other domestic cases, 84/85, 67)
//   K  intra-Community supply      intra-Community acquisition 19 % (19), 7 % (18)
//   E, Z, O, G and the rest        no input tax (key 0)
// A business not liable to VAT (small business) deducts no input tax: every
// line is booked gross with key 0.
//
// Under the cash principle of the profit calculation (EÜR) an expense is
// booked when it is paid: `buchen --geldkonto N --datum D` posts it as paid
// from account N on D; without a money account the invoice is marked to be
// posted when its payment comes through the bank takeover. The posting goes
// through insertSplittBuchung after the checks of an entered booking, so
// every rule of the ledger (active accounts, keys of the chart, the locked
// period, the closed cash register) holds here as everywhere.
#include "kontbaum/eingang/eingang.h"

#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/rahmen/kontglob.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datentyp.h"

#include <QSet>

namespace Eingang {

namespace {

bool inEu(const QString& land) {
    static const QSet<QString> eu{QStringLiteral("AT"), QStringLiteral("BE"), QStringLiteral("BG"), QStringLiteral("CY"), QStringLiteral("CZ"),
                                  QStringLiteral("DK"), QStringLiteral("EE"), QStringLiteral("ES"), QStringLiteral("FI"), QStringLiteral("FR"),
                                  QStringLiteral("GR"), QStringLiteral("EL"), QStringLiteral("HR"), QStringLiteral("HU"), QStringLiteral("IE"),
                                  QStringLiteral("IT"), QStringLiteral("LT"), QStringLiteral("LU"), QStringLiteral("LV"), QStringLiteral("MT"),
                                  QStringLiteral("NL"), QStringLiteral("PL"), QStringLiteral("PT"), QStringLiteral("RO"), QStringLiteral("SE"),
                                  QStringLiteral("SI"), QStringLiteral("SK")};
    return eu.contains(land.toUpper());
}

bool satzIst(double a, double b) { return qAbs(a - b) < 0.0005; }

// The seller's country as the archive knows it.
QString landDesLieferanten(DBConnection* db, unsigned long lieferant) {
    const QVector<DatenTyp> z = QueryPrepared(db, QStringLiteral("SELECT Land FROM eingangLieferanten WHERE ID=?"), {DatenTyp(lieferant)});
    return z.isEmpty() ? QString() : z.first().toString();
}

}  // namespace

bool vorsteuerSchluessel(const QString& kategorie, double satz, const QString& land, bool ustPflichtig, unsigned long* schluessel,
                         QString* fehler) {
    *schluessel = 0;
    if (!ustPflichtig) return true;
    if (kategorie == QLatin1String("S")) {
        if (satzIst(satz, 19)) *schluessel = 7;
        else if (satzIst(satz, 7)) *schluessel = 8;
        else if (satzIst(satz, 16)) *schluessel = 9;
        else {
            *fehler = QStringLiteral("Für den Steuersatz %1 % gibt es keinen deutschen Vorsteuerschlüssel; ausländische Umsatzsteuer ist "
                                     "nicht als Vorsteuer abziehbar. Bitte buchen Sie die Rechnung von Hand.")
                          .arg(satz);
            return false;
        }
        return true;
    }
    if (kategorie == QLatin1String("AE")) {
        // The invoice names no German rate for § 13b; the recipient owes the
        // standard rate on it.
        *schluessel = land.compare(QLatin1String("DE"), Qt::CaseInsensitive) == 0 ? 96 : inEu(land) ? 94 : 95;
        return true;
    }
    if (kategorie == QLatin1String("K")) {
        *schluessel = satzIst(satz, 7) ? 18 : 19;
        return true;
    }
    return true;
}

bool vorschlag(DBConnection* db, unsigned long id, unsigned long konto, Buchungsvorschlag* v, QString* fehler) {
    db = rsFallDB(db);
    Gespeichert g;
    if (!db || !lese(db, id, &g, fehler)) return false;
    if (konto == 0) konto = g.konto;
    if (konto == 0) {
        const QVector<DatenTyp> z = QueryPrepared(db, QStringLiteral("SELECT Konto FROM eingangLieferanten WHERE ID=?"), {DatenTyp(g.lieferantID)});
        konto = z.isEmpty() ? 0 : z.first().toULong();
    }
    if (konto == 0) {
        *fehler = QStringLiteral("Für %1 ist noch kein Aufwandskonto bekannt. Bitte nennen Sie es mit --konto (z. B. 4930 Bürobedarf im SKR03).")
                      .arg(g.lieferant);
        return false;
    }
    *v = Buchungsvorschlag();
    v->belegnummer = g.nummer;
    v->text = QStringLiteral("%1 %2").arg(g.lieferant, g.nummer).left(100);
    // A credit note, and an invoice whose total is negative, give money
    // back: the refund of an expense.
    const bool negativ = g.brutto < EuroType();
    v->buchungsart = g.gutschrift != negativ ? 5 : 2;
    v->belegdatum = g.datum;
    v->zahlbetrag = g.zahlbetrag;
    const bool pflichtig = KontoGlobal::istUstPflichtig(db);
    const QString land = landDesLieferanten(db, g.lieferantID);
    const bool anteilig = g.zahlbetrag != g.brutto && !g.brutto.isNull();
    EuroType verteilt;
    for (int i = 0; i < g.steuern.size(); ++i) {
        const Steuerzeile& s = g.steuern[i];
        unsigned long schluessel = 0;
        if (!vorsteuerSchluessel(s.kategorie, s.satz, land, pflichtig, &schluessel, fehler)) {
            *fehler = QStringLiteral("Eingangsrechnung %1 (%2): ").arg(id).arg(g.nummer) + *fehler;
            return false;
        }
        Vorschlagszeile z;
        z.konto = konto;
        z.schluessel = schluessel;
        z.text = QStringLiteral("%1 %2 %").arg(s.kategorie, QString::number(s.satz));
        if (anteilig) {
            const EuroType brutto = s.basis + s.steuer;
            z.betrag = i + 1 == g.steuern.size() ? g.zahlbetrag - verteilt : brutto.anteil(g.zahlbetrag.cent(), g.brutto.cent());
            verteilt += z.betrag;
            z.netto = false;
        } else {
            // Lines without input tax take what was paid, the tax included.
            // The keys of § 13b and of acquisitions take the net amount as
            // it stands (their two taxes cancel on the money side); only
            // the input tax of category S comes on top of the net.
            z.betrag = schluessel == 0 ? s.basis + s.steuer : s.basis;
            z.netto = schluessel != 0 && s.kategorie == QLatin1String("S");
        }
        if (z.betrag.isNull()) continue;
        if ((z.betrag < EuroType()) != negativ) {
            *fehler = QStringLiteral("Die Eingangsrechnung %1 (%2) hat bei %3 einen Betrag mit anderem Vorzeichen als die Rechnungssumme; "
                                     "bitte buchen Sie sie von Hand in zwei Buchungen.")
                          .arg(id)
                          .arg(g.nummer, z.text);
            return false;
        }
        v->zeilen << z;
    }
    if (v->zeilen.isEmpty()) {
        *fehler = QStringLiteral("Die Eingangsrechnung %1 hat die Summe 0; es gibt nichts zu buchen.").arg(id);
        return false;
    }
    return true;
}

unsigned long buche(DBConnection* db, unsigned long id, const Buchungsauftrag& a, QString* fehler) {
    db = rsFallDB(db);
    fehler->clear();
    auto nein = [&](const QString& t) {
        *fehler = t;
        return 0UL;
    };
    Gespeichert g;
    if (!db || !lese(db, id, &g, fehler)) return 0;
    if (!g.offen()) return nein(QStringLiteral("Die Eingangsrechnung %1 (%2) ist bereits gebucht (Buchung %3).").arg(id).arg(g.nummer).arg(g.buchungsnummer));
    Buchungsvorschlag v;
    if (!vorschlag(db, id, a.konto, &v, fehler)) return 0;
    const unsigned long konto = v.zeilen.first().konto;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    EingabePruefer pruefer(db, kg ? kg->getSteuerjahr() : g.datum.year());
    if (a.geldkonto == 0) {
        // Checked now, so the bank takeover does not meet a refusal later.
        if (!pruefer.passtZurArt(konto, v.buchungsart, false))
            return nein(QStringLiteral("Das Konto %1 ist kein aktives Aufwandskonto; bitte wählen Sie ein anderes mit --konto.").arg(konto));
        DBTransaktion tx(db);
        if (!tx.ok() ||
            !ExecPrepared(db, QStringLiteral("UPDATE eingangRechnungen SET Konto=?, BeiZahlung=-1 WHERE ID=?"), {DatenTyp(konto), DatenTyp(id)}) ||
            !ExecPrepared(db, QStringLiteral("UPDATE eingangLieferanten SET Konto=? WHERE ID=?"), {DatenTyp(konto), DatenTyp(g.lieferantID)}) ||
            !tx.commit())
            return nein(QStringLiteral("Die Eingangsrechnung %1 konnte nicht vorgemerkt werden.").arg(id));
        return 0;
    }
    if (!a.datum.isValid()) return nein(QStringLiteral("Bitte geben Sie mit --datum den Tag der Zahlung an."));
    KontoGlobal::BuchungsEntwurf e;
    e.herkunft = KontoGlobal::HERK_BUCH;
    e.text = v.text;
    e.belegdatum = a.datum;
    e.zahlungsdatum = a.datum;
    e.belegnummer = v.belegnummer;
    e.buchungsart = v.buchungsart;
    e.haben = v.buchungsart == 2;  // an expense credits the money side, its refund debits it
    e.konto = a.geldkonto;
    for (const Vorschlagszeile& z : v.zeilen)
        e.teile << KontoGlobal::BuchungsTeil{z.konto, z.schluessel, z.betrag.abs(), z.netto, v.text + QStringLiteral(" ") + z.text};
    const QString grund = pruefer.pruefen(e, a.datum);
    if (!grund.isEmpty()) return nein(QStringLiteral("Eingangsrechnung %1 (%2): %3").arg(id).arg(g.nummer, grund));
    Buchungslauf lauf(db);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) return nein(QStringLiteral("Die Buchung konnte nicht begonnen werden."));
    QString warum;
    const unsigned long nr = KontoGlobal::bucheEingabe(e, db, &warum);
    if (nr == 0) return nein(QStringLiteral("Eingangsrechnung %1 (%2): %3").arg(id).arg(g.nummer, warum));
    if (!ExecPrepared(db, QStringLiteral("UPDATE eingangRechnungen SET Konto=?, Buchungsnummer=?, Bezahlt=? WHERE ID=?"),
                      {DatenTyp(konto), DatenTyp(nr), DatenTyp(a.datum), DatenTyp(id)}) ||
        !ExecPrepared(db, QStringLiteral("UPDATE eingangLieferanten SET Konto=? WHERE ID=?"), {DatenTyp(konto), DatenTyp(g.lieferantID)}) ||
        !tx.commit())
        return nein(QStringLiteral("Die Eingangsrechnung %1 konnte nicht gebucht werden.").arg(id));
    if (!lauf.abschliessen(&warum)) return nein(QStringLiteral("Eingangsrechnung %1: %2").arg(id).arg(warum));
    return nr;
}

}  // namespace Eingang
