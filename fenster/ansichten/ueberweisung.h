// The SEPA transfer of open incoming invoices, asked for from the bank
// view or the incoming invoices: which invoices, the paying bank account,
// the execution date and the file. Payee, IBAN, amount and purpose come
// from each invoice, and every SEPA rule is the library's
// (kontbaum/bank/sepa.h); the case itself is not changed.
#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;

namespace fenster {
class Sitzung;

class UeberweisungDialog : public QDialog {
    Q_OBJECT
public:
    // `vorgewaehlt`: the incoming invoices (IDs) checked at the start.
    UeberweisungDialog(Sitzung& sitzung, const QList<unsigned long>& vorgewaehlt, QWidget* eltern);
    // False (with the hint shown) when there is nothing to pay or no bank
    // account to pay from; the dialog is not worth opening then.
    bool bereit() const { return m_bereit; }
    // Writes the file; the dialog closes only when it was written.
    void accept() override;
    // The file written last (empty before).
    QString datei() const { return m_geschrieben; }

private:
    void dateiWaehlen();

    Sitzung& m_sitzung;
    bool m_bereit = false;
    QListWidget* m_rechnungen;
    QComboBox* m_konto;
    QDateEdit* m_ausfuehrung;
    QLineEdit* m_datei;
    QString m_geschrieben;
};

// Opens the dialog over `eltern`; true when a file was written.
bool ueberweisungErstellen(Sitzung& sitzung, const QList<unsigned long>& vorgewaehlt, QWidget* eltern);

}  // namespace fenster
