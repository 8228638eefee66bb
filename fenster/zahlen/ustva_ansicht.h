// The advance VAT return of a month, a quarter or the year, laid out like
// the form: its sections, per line the code, the text, the base in whole
// euros and the tax; then output tax, input tax, the amount due (code 83)
// and the day it is due. Every line leads to the bookings that make it.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace fenster {

class AusgabeLeiste;
class ZeitraumWahl;

class UStVAAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit UStVAAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Umsatzsteuer-Voranmeldung"); }
    QIcon symbol() const override;
    void aktualisieren() override;

    ZeitraumWahl* zeitraumWahl() const { return m_zeitraum; }
    QTreeWidget* formular() const { return m_formular; }
    const UStVA::Zahlen& zahlen() const { return m_zahlen; }
    // The line of a code in the form (the base's code for a base and its
    // tax), null when the return does not fill it.
    QTreeWidgetItem* zeileVon(int kennziffer) const;
    // Asks the shell for the bookings behind a line of the form.
    void buchungenZeigen(QTreeWidgetItem* zeile);

private:
    void fuellen();
    Sitzung& m_s;
    ZeitraumWahl* m_zeitraum;
    QLabel* m_kopf;
    QLabel* m_hinweise;
    QTreeWidget* m_formular;
    AusgabeLeiste* m_ausgabe;
    UStVA::Zahlen m_zahlen;
    bool m_periodeGesetzt = false;
};

}  // namespace fenster
