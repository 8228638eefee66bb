// The shell's dialogs (see dialoge.h).
#include "fenster/dialoge.h"

#include "fenster/sitzung.h"

namespace fenster {

QString NeuerFallDialog::ausfuehren(QWidget*) { return QString(); }
QString JahreswechselAssistent::ausfuehren(Sitzung&, QWidget*) { return QString(); }
void EinstellungenDialog::ausfuehren(Sitzung&, QWidget*) {}

}  // namespace fenster
