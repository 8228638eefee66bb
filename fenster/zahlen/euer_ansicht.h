// The income-surplus statement: income and expenses by category and
// account, the investment deductions and the profit, as "dalvo euer" shows
// them. An account or a category leads to its bookings.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/steuer/euerformular.h"

class QLabel;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace fenster {

class UStVAAnsicht;

class EuerAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit EuerAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Einnahmenüberschussrechnung"); }
    QIcon symbol() const override;
    void aktualisieren() override;

    QTreeWidget* baum() const { return m_baum; }
    // The second page: the Anlage EÜR line by line.
    QTableView* formular() const { return m_formular; }
    const QList<EuerFormular::Zeile>& formularZeilen() const { return m_zeilen; }
    const EUERechnung2& rechnung() const { return m_rechnung; }
    // The line of an account (or of a category, by its number), null when the statement has none.
    QTreeWidgetItem* kontoZeile(unsigned long konto) const;
    QTreeWidgetItem* kategorieZeile(unsigned long kategorie) const;
    void buchungenZeigen(QTreeWidgetItem* zeile);

private:
    Sitzung& m_s;
    QLabel* m_kopf;
    QTabWidget* m_seiten;
    QTreeWidget* m_baum;
    QTableView* m_formular;
    class ListenModell* m_formularModell;
    EUERechnung2 m_rechnung;
    QList<EuerFormular::Zeile> m_zeilen;
    int m_jahr = 0;
};

}  // namespace fenster
