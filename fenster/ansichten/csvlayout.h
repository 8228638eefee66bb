// The choice of a bank CSV layout by hand, for a statement file whose
// header fits none of the banks the library knows: one of the banks'
// layouts, or the user's own mapping of the columns (the layout
// "generisch"), with the file's first lines shown to count them, and the
// bank account when the file does not name it. What a layout means and
// whether a mapping is complete is the library's (Bank::csvLayout).
#pragma once

#include "kontbaum/bank/bank.h"

#include <QDialog>
#include <QMap>

#include <functional>

class QComboBox;
class QSpinBox;
class QWidget;

namespace fenster {
class Sitzung;

class CsvLayoutDialog : public QDialog {
    Q_OBJECT
public:
    // `grund`: why the file was not recognised (the library's words).
    // `einlesen` reads the file with the chosen layout into the chosen
    // chart account (0: the one the file names) as one action; the dialog
    // closes only once it did, so a wrong mapping can be corrected.
    using Einlesen = std::function<bool(const Bank::Importoptionen&, unsigned long konto)>;
    CsvLayoutDialog(Sitzung& sitzung, const QString& pfad, const QString& grund, Einlesen einlesen, QWidget* eltern);
    void accept() override;

private:
    void layoutGewechselt();

    Einlesen m_einlesen;
    QComboBox* m_layout;
    QComboBox* m_konto;
    QWidget* m_spalten;
    QMap<QString, QSpinBox*> m_felder;  // "datum", "betrag", … -> its column (0: none)
    QSpinBox* m_kopf;
};

}  // namespace fenster
