// The shell's dialogs: a new case, the year change as a small wizard, the
// settings and firm data of the open case.
#pragma once

#include "kontbaum/fall/neuanlage.h"

#include <QString>
#include <QWidget>

namespace fenster {

class Sitzung;

// Creating case files needs the module's global state for itself: the
// window closes its case first.
struct NeuerFallDialog {
    struct Angaben {
        QString pfad;
        Neuanlage::Angaben fall;
        bool monatlich = false;  // filing period: month, else quarter
        bool dauerfrist = false;
    };
    // Asks for file, year, chart, VAT liability and filing period; false
    // when the user cancelled.
    static bool fragen(QWidget* eltern, Angaben* angaben);
    // Writes the new case file (no case may be open). Empty, or the German
    // refusal; nothing is written then.
    static QString anlegen(const Angaben& angaben);
};

// The case of a cash installation, made from the file a main case handed
// its register over in (Kasse::exportiereKasse): the new case file `pfad`
// (never over an existing file; no case may be open). Empty, or the
// German refusal of the file or the target; nothing is written then.
QString kassenfallAnlegen(const QString& kassendatei, const QString& pfad);

struct JahreswechselAssistent {
    // Leads through the change from the open case's year to the next: the
    // new file, then the change itself with its report. The open case is
    // closed for the change and opened again afterwards. The new case's
    // path, empty when nothing was created.
    static QString ausfuehren(Sitzung& sitzung, QWidget* eltern);
    // The change itself, from case file `alt` to the new file `neu` (no
    // case may be open). Empty with the report (HTML) in `bericht`, or the
    // German refusal; nothing is written then.
    static QString wechseln(const QString& alt, const QString& neu, QString* bericht);
};

struct EinstellungenDialog {
    // Firm data and settings of the open case; saved as one action.
    static void ausfuehren(Sitzung& sitzung, QWidget* eltern);
};

}  // namespace fenster
