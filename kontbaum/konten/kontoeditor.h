// The chart editor and the key editor without their dialogs: adding and
// changing an account under the rules of the chart (number, key fitting the
// category, class ranges), activating and deactivating accounts and tax
// keys. Every operation checks all it is given before it changes anything,
// so a refusal leaves the chart as it was.
//
// Relies on: the rules of KontoGlobal (pruefeKontonummer,
// pruefeKontoSteuerschluessel, pruefeKontoKlasse, pruefeKontoDeaktivieren,
// fillSetSteuerschluesselInVerwendung) and the case database of the active
// case.
#pragma once

#include <QList>
#include <QString>

namespace Kontoeditor {

struct Konto {
    unsigned long nummer = 0;
    QString bezeichnung;
    QString kurzbezeichnung;       // empty: the name, cut to 25 characters
    unsigned long kategorie = 0;
    unsigned long steuerschluessel = 0;
    int steuerautomatik = 0;       // 1: the key is fixed; 0: only pre-filled
    // The account whose form codes (advance and annual VAT return, trade
    // tax, EÜR lines, opening balance) a new account takes; 0: the first
    // account of its category. Without them a new account's amounts would
    // reach no line of any return.
    unsigned long vorbild = 0;
};

// The account's row; false when there is none.
bool lese(unsigned long nr, Konto* k);

// The refusal of an account about to be stored, empty when it may be:
// number (with `neu` also "exists already"), name, category (known, not
// one the editor hides), key (known, fitting the category).
QString pruefe(const Konto& k, bool neu);
// The warning for a number outside the class ranges of its category
// (empty when it fits); the caller asks the user before storing.
QString klassenWarnung(const Konto& k);

// Stores a new account / the changes of an existing one (after pruefe).
// anlegen writes in `vorbildGenommen` the account whose form codes it took
// (0 when the category has no account to take them from).
bool anlegen(const Konto& k, unsigned long* vorbildGenommen, QString* fehler);
bool aendern(const Konto& k, QString* fehler);

// One account as the account list shows it.
struct Kontozeile {
    unsigned long nummer = 0;
    QString bezeichnung;
    unsigned long kategorie = 0;
    unsigned long steuerschluessel = 0;
    int steuerautomatik = 0;  // 1: the key is fixed
    bool aktiv = false;
};
// The chart by number: the active accounts, with `auchInaktive` all.
QList<Kontozeile> kontenliste(bool auchInaktive);
// The accounts of `nummern` the chart has, by number.
QList<Kontozeile> kontenliste(const QList<unsigned long>& nummern);
// The accounts the account search finds for `text` (number or part of the
// name), by number.
QList<Kontozeile> kontensuche(const QString& text);
int anzahlAktiveKonten();

// One tax key as the key list shows it.
struct Schluesselzeile {
    unsigned long schluessel = 0;
    QString bezeichnung;
    double steuersatz = 0.0;
    QString steuerart;  // as stored: "U" output tax, "V" input tax, "B" both
    bool aktiv = false;
};
// Every key of the case in display order.
QList<Schluesselzeile> schluesselliste();
// The keys of `schluessel` the case has, by number.
QList<Schluesselzeile> schluesselliste(const QList<unsigned long>& schluessel);

// All or nothing: a refusal names the first account that cannot change.
bool setzeKontenAktiv(const QList<unsigned long>& nummern, bool aktiv, QString* fehler);
// Tax keys: a key that any booking, template, article, document position
// or active account with that fixed key uses stays active.
bool setzeSchluesselAktiv(const QList<unsigned long>& schluessel, bool aktiv, QString* fehler);

}  // namespace Kontoeditor
