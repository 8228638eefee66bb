// The bank view: the bank accounts of the case, the statement files read
// into them (dropped on the view or chosen in a file dialog), the stored
// transactions with the library's proposal for each open one (score and
// reason), and the takeover: the chosen ones or every safe one, a booking
// by hand with a counter account, or a link to a booking already there.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/bank/bank.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace fenster {

class BankAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit BankAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;

    // Reads a statement file (CAMT, MT940, CSV) into the bank account its
    // IBAN names, as one action; the module's note or refusal is shown. A
    // file of an account without bank connection offers to set one up and
    // is then read. A CSV file whose header fits no bank's layout opens the
    // choice of the layout by hand.
    bool importiereDatei(const QString& pfad);
    void importDialog();
    // Sets up a bank connection (`iban` proposed); true when one was.
    bool verbindungDialog(const QString& iban = QString());
    // The selected transactions with their proposals; every transaction
    // whose proposal is safe.
    void uebernehmeAuswahl();
    void uebernehmeAlle();
    // The selected transaction booked by hand against a counter account.
    void vonHandBuchen();
    // The selected transaction linked to a booking of the ledger.
    void zuordnen();
    void nichtVerarbeiten();
    void zuruecksetzen();
    // A SEPA transfer file for open incoming invoices.
    bool ueberweisen();

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QList<unsigned long> auswahl() const;
    // The file read with options `o` into the chart account `konto` (0:
    // the one the file names).
    bool importiereMit(const QString& pfad, const Bank::Importoptionen& o, unsigned long konto);

    QLabel* m_konten;
    QCheckBox* m_nurOffene;
    QTableView* m_tabelle;
    QStandardItemModel* m_modell;
    QLabel* m_status;
};

}  // namespace fenster
