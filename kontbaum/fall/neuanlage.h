// A new case as a user asks for it in any host: tax year, chart of
// accounts, VAT liability and whether the chart's example bookings come
// along. The working database of the manager is set up from the reference
// data; writing it as a case file is Falldatei::anlegen.
//
// Relies on: rahmen (the manager, the reference database) and this folder.
#pragma once

#include <QString>
#include <QStringList>

class KontoGlobal;
class Kont_;

namespace Neuanlage {

// The charts a case can be made with ("SKR03", "SKR04", …).
const QStringList& kontenrahmen();

struct Angaben {
    int jahr = 2016;
    QString kontenrahmen = QStringLiteral("SKR03");
    bool ustPflicht = true;
    bool beispiele = true;  // the chart's example bookings as templates
};

// Makes the manager's new, empty working database the case `a` describes
// (its connection must have been created for a new case). Empty, or the
// German refusal: a year the reference data does not know, an unknown
// chart, missing reference data.
QString einrichten(KontoGlobal* kg, Kont_& root, const Angaben& a);

}  // namespace Neuanlage
