// Which open incoming invoice a bank debit pays. The bank takeover asks
// this for every debit; the amount must be the amount due exactly, and
// either the invoice number stands in the transaction's text (purpose,
// reference, name) or the counterpart's IBAN is the one the invoice asks
// to be paid to. A number is the stronger sign: an IBAN alone fits every
// invoice of the same supplier, so it decides only when one invoice of that
// amount is open.
#include "kontbaum/eingang/eingang.h"

#include <QRegularExpression>

namespace Eingang {

namespace {
QString kompakt(const QString& s) { return s.toUpper().remove(QRegularExpression(QStringLiteral("[^A-Z0-9]"))); }
}  // namespace

unsigned long passendeRechnung(DBConnection* db, const EuroType& abbuchung, const QString& text, const QString& iban, QString* grund) {
    const QString inhalt = kompakt(text);
    const QString konto = kompakt(iban);
    QList<Gespeichert> perNummer, perIban;
    for (const Gespeichert& g : liste(db, true)) {
        if (g.gutschrift || g.zahlbetrag != abbuchung.abs() || abbuchung >= EuroType()) continue;
        // Only an invoice whose expense account is known can be booked without asking.
        Buchungsvorschlag v;
        QString ohneKonto;
        if (!vorschlag(db, g.id, 0, &v, &ohneKonto)) continue;
        const QString nummer = kompakt(g.nummer);
        if (nummer.size() >= 3 && inhalt.contains(nummer)) perNummer << g;
        else if (!konto.isEmpty() && g.iban == konto) perIban << g;
    }
    const QList<Gespeichert>& wahl = perNummer.isEmpty() ? perIban : perNummer;
    if (wahl.size() != 1) return 0;
    const Gespeichert& g = wahl.first();
    if (grund)
        *grund = perNummer.isEmpty()
                     ? QStringLiteral("Zahlung der Eingangsrechnung %1 von %2 über %3 €: die IBAN des Lieferanten").arg(g.nummer, g.lieferant, g.zahlbetrag.getText())
                     : QStringLiteral("Zahlung der Eingangsrechnung %1 von %2 über %3 €: ihre Nummer steht im Verwendungszweck")
                           .arg(g.nummer, g.lieferant, g.zahlbetrag.getText());
    return g.id;
}

}  // namespace Eingang
