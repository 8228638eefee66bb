// SEPA credit transfers for the bank's online banking to upload: a
// pain.001.001.03 file (the version German banks accept since November
// 2016) of one or more transfers from a bank connection's account.
//
// The rules of the Deutsche Kreditwirtschaft hold before anything is
// written: amounts of 0,01 to 999.999.999,99 € with two decimals, IBANs
// with valid check digits (a BIC only where given, then of valid form),
// names of at most 70, the purpose of at most 140, references of at most
// 35 characters, and only the characters of the SEPA set (a-z A-Z 0-9
// / - ? : ( ) . , ' + blank, and the & German banks take). German letters
// are written as banks do it (ä → ae, ß → ss); any other character is
// refused with its field, never dropped or replaced in silence. The file is UTF-8 without byte-order mark.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class DBConnection;

namespace Bank {

// One transfer. What an open incoming invoice would offer (payee, IBAN,
// amount, its number as the purpose) fills the same fields.
struct Ueberweisung {
    QString empfaenger;   // the payee's name
    QString iban, bic;    // bic may stay empty (IBAN only)
    EuroType betrag;
    QString zweck;        // unstructured purpose
    QString referenz;     // end-to-end reference; empty: NOTPROVIDED
};

struct SepaAuftrag {
    QString auftraggeber;        // the account holder's name
    QString iban, bic;           // the paying account
    zDate ausfuehrung;           // requested execution date
    QList<Ueberweisung> posten;
    QDateTime erstellt;          // creation time; the message ID is made from it
    // How a refusal names each transfer (by index; empty: "Überweisung n").
    QStringList namen;
};

// The paying side from the case: the connection of the chart account
// `konto` (0: the only connection there is), the name of the business
// (else the connection's description). False with the reason.
bool sepaAuftraggeber(DBConnection* db, unsigned long konto, SepaAuftrag* a, QString* fehler);

// Adds to `a` one transfer per open incoming invoice of `ids`, in that
// order: the supplier as payee, the IBAN (and BIC) the invoice asks to be
// paid to, the amount due, the payment reference it names and its number
// as the purpose, the number as end-to-end reference. False with a German
// reason naming the invoice and `a` unchanged: an unknown id, one named
// twice, one already paid (booked), a credit note, one without IBAN. The
// SEPA rules proper are schreibePain001's, which names the invoice too.
bool eingangsrechnungenZahlen(DBConnection* db, const QList<unsigned long>& ids, SepaAuftrag* a, QString* fehler);

// Checks every rule and writes the pain.001.001.03 document into `xml`;
// false with the first fault (field and transfer named) and `xml` empty.
bool schreibePain001(const SepaAuftrag& a, QByteArray* xml, QString* fehler);

}  // namespace Bank
