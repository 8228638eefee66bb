// The shell's dialogs: a new case, the year change as a small wizard, the
// settings and firm data of the open case.
#pragma once

#include <QString>
#include <QWidget>

namespace fenster {

class Sitzung;

struct NeuerFallDialog {
    // Asks for file, year, chart, VAT liability and filing period and
    // creates the case file. Its path, empty when nothing was created.
    static QString ausfuehren(QWidget* eltern);
};

struct JahreswechselAssistent {
    // Leads through the change to the next year for the open case: the new
    // file, what is carried, the report. The new case's path, empty when
    // nothing was created.
    static QString ausfuehren(Sitzung& sitzung, QWidget* eltern);
};

struct EinstellungenDialog {
    // Firm data and settings of the open case; saved as one action.
    static void ausfuehren(Sitzung& sitzung, QWidget* eltern);
};

}  // namespace fenster
