// The advance VAT return (UStVA) of a period: the figures per form code as
// the ledger gives them (rsUStKennziffer) and the return's own objects that
// hold, per code, the amount entered on the form and the tax the form
// computes, with the totals by the arithmetic of the 2016 form.
#pragma once

#include "host/values/euro.h"

#include <QMap>
#include <QString>
#include <QVector>

// The ledger's figure for one form code of a period.
struct rsUStKennziffer {
    unsigned long Kennziffer = 0;
    QString Bezeichnung;
    bool belegt = false;        // some amount has been added
    bool HabenPositiv = false;
    EuroType Betrag;
};
using UStKennziffern = QMap<unsigned long, rsUStKennziffer>;

// One field of the return: element 0 the base (turnover), element 1 the tax.
struct UStFeld {
    EuroType basis;
    EuroType steuer;
    bool belegt = false;
    bool hatBasis = false;   // the ledger gave the base
    bool hatSteuer = false;  // the ledger gave the tax, or the form computed it
};

// The sections of the form. Turnover and output tax.
class OAnmeldungVorauszahlungen {
public:
    void clearValues() { *this = OAnmeldungVorauszahlungen(); }
    QMap<int, UStFeld> felder;    // by the code of the field's base; a tax without base (65) by its own code
    EuroType umsatzsteuer;  // the sum of the tax elements
};

// Deductible input tax.
class OAbziehbareVorsteuerbetraege {
public:
    void clearValues() { *this = OAbziehbareVorsteuerbetraege(); }
    QMap<int, UStFeld> felder;  // 59, 61, 62, 63, 64, 66, 67
    EuroType vorsteuer;   // the sum
};

// The rest of the form: remaining amount, §14c tax, special advance
// payment and the advance payment (code 83).
class OAnmeldungVorauszahlungen2 {
public:
    void clearValues() { *this = OAnmeldungVorauszahlungen2(); }
    QMap<int, UStFeld> felder;     // 69, 39
    EuroType verbleibend;    // output tax - input tax
    EuroType vorauszahlung;  // code 83: remaining + 69 - 39 (a surplus is negative)
};

namespace UStVA {
// Where a code of the 2016 form (USt 1 A) is entered.
enum class Abschnitt { Umsatz, Vorsteuer, Rest };

// One code of the form. A base is entered in whole euros, cut toward zero
// (the form's column "Bemessungsgrundlage ohne Umsatzsteuer, volle EUR"); a
// tax in euros and cents. A tax that belongs to a base names the base's code.
struct Kennzahl {
    int kennziffer;
    bool basis;         // true: an assessment base in whole euros
    int basisVon;       // for a tax: the code of its base (0: it stands alone)
    double festerSatz;  // the rate of a tax the form computes from the base, else 0
    Abschnitt abschnitt;
};

// The codes of the form, in the order of its lines; the one place that says
// which codes are bases in whole euros.
const QVector<Kennzahl>& kennzahlen();
// The code's entry in kennzahlen(), null for a code the form does not have.
const Kennzahl* kennzahl(int kennziffer);
// Whether the form takes the code in whole euros.
bool volleEuro(int kennziffer);
// The fixed rate of a code whose tax the form computes from the whole-euro
// base (51, 81, 86, 89, 93, 97); 0 for every other code.
double festerSatz(unsigned long kennziffer);
// Hands the ledger figures to the three objects (rounding, whole-euro bases,
// computed taxes, totals). `sondervorauszahlung` (code 39) is given only in
// December and the fourth quarter.
void uebertrage(const UStKennziffern& k, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2,
                OAbziehbareVorsteuerbetraege& v, EuroType sondervorauszahlung = EuroType());
// What is entered on the form per code after uebertrage: every base in whole
// euros, every tax with its cents, and code 83.
QMap<int, EuroType> eintraege(const OAnmeldungVorauszahlungen& a, const OAnmeldungVorauszahlungen2& a2,
                              const OAbziehbareVorsteuerbetraege& v);
// The taxes the form computes itself, by the code of their base.
QMap<int, EuroType> berechneteSteuern(const OAnmeldungVorauszahlungen& a);
}  // namespace UStVA
