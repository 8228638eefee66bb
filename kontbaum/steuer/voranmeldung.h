// The advance VAT return (UStVA) of a period: the figures per form code as
// the ledger gives them (rsUStKennziffer) and the return's own objects that
// hold, per code, the amount entered on the form and the tax the form
// computes, with the totals by the arithmetic of the 2016 form.
#pragma once

#include "host/values/euro.h"

#include <QMap>
#include <QString>

// The ledger's figure for one form code of a period.
struct rsUStKennziffer {
    unsigned long Kennziffer = 0;
    QString Bezeichnung;
    bool belegt = false;        // some amount has been added
    bool HabenPositiv = false;
    EuroType Betrag = 0.0;
};
using UStKennziffern = QMap<unsigned long, rsUStKennziffer>;

// One field of the return: element 0 the base (turnover), element 1 the tax.
struct UStFeld {
    EuroType basis = 0.0;
    EuroType steuer = 0.0;
    bool belegt = false;
};

// The sections of the form. Turnover and output tax (lines 20 to 51).
class OAnmeldungVorauszahlungen {
public:
    void clearValues() { *this = OAnmeldungVorauszahlungen(); }
    QMap<int, UStFeld> felder;  // by code: 41..49, 21, 35/36, 42, 46/47, 51, 52/53, 60, 65, 73/74, 76/80, 77, 81, 84/85, 86, 89, 91, 93, 94/96, 95/98, 97
    EuroType umsatzsteuer = 0.0;  // line 52: the sum of the tax elements
};

// Deductible input tax (lines 55 to 61).
class OAbziehbareVorsteuerbetraege {
public:
    void clearValues() { *this = OAbziehbareVorsteuerbetraege(); }
    QMap<int, UStFeld> felder;  // 59, 61, 62, 63, 64, 66, 67
    EuroType vorsteuer = 0.0;   // the sum
};

// The rest of the form: remaining amount, §14c tax, special advance
// payment and the advance payment (code 83).
class OAnmeldungVorauszahlungen2 {
public:
    void clearValues() { *this = OAnmeldungVorauszahlungen2(); }
    QMap<int, UStFeld> felder;     // 69, 39
    EuroType verbleibend = 0.0;    // line 62: output tax - input tax
    EuroType vorauszahlung = 0.0;  // code 83: remaining + 69 - 39 (a surplus is negative)
};

namespace UStVA {
// The fixed rate of a code whose tax the form computes from the whole-euro
// base (51, 81, 86, 89, 93, 97); 0 for every other code.
double festerSatz(unsigned long kennziffer);
// Hands the ledger figures to the three objects (rounding, whole-euro bases,
// computed taxes, totals). `sondervorauszahlung` (code 39) is given only in
// December and the fourth quarter.
void uebertrage(const UStKennziffern& k, OAnmeldungVorauszahlungen& a, OAnmeldungVorauszahlungen2& a2,
                OAbziehbareVorsteuerbetraege& v, EuroType sondervorauszahlung = 0.0);
}  // namespace UStVA
