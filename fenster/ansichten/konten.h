// The chart of accounts with its search (number or part of the name) and,
// for the chosen account, its statement: every line of the period with the
// running balance, as the report "kontenabfrage" lists it. A double click
// on a statement line shows that booking in the ledger. Accounts are added
// and changed here, as the chart editor of the command line does.
#pragma once

#include "fenster/ansicht.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace fenster {

class KontenAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit KontenAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;
    // Shows the statement of `konto` (selects it in the chart).
    void zeigeKonto(unsigned long konto);
    // Activates the chosen account or deactivates it, under the rules of
    // the chart (an account in use stays active).
    void aktivUmschalten();
    // A new account / the chosen one changed, in a dialog under the rules
    // of the chart (number, category, a key fitting it, class ranges).
    void neuesKonto();
    void kontoAendern();

private:
    void zeigeKontenplan();
    void zeigeKontoauszug();
    // The dialog of neuesKonto/kontoAendern; `nummer` 0: a new account.
    void kontoBearbeiten(unsigned long nummer);

    QLineEdit* m_suche;
    QCheckBox* m_inaktive;
    QPushButton* m_aktiv;  // (de)activates the chosen account
    QPushButton* m_neu;
    QPushButton* m_aendern;
    QTableView* m_konten;
    QStandardItemModel* m_kontenModell;
    QComboBox* m_zeitraum;
    QLabel* m_kopf;
    QTableView* m_auszug;
    QStandardItemModel* m_auszugModell;
    unsigned long m_konto = 0;
};

}  // namespace fenster
