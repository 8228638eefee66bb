// The cash book view: the movements of a cash account for a period with
// their running balance behind the opening row, its closings, the printed
// book as PDF, and the cash closing as a dialog over the steps of the
// library's closing wizard (Kasse::abschluss…); its menu "Kassenprogramm"
// is the exchange with a cash installation (Kasse::exportiere…/importiere…).
#pragma once

#include "fenster/ansicht.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace fenster {

class KassenAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit KassenAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;

    // The closing dialog of the chosen cash account; the view refreshes
    // after a closing was carried out.
    void abschlussDialog();
    void alsPdf();

    // The exchange with a cash installation, each one action. A path given
    // skips the file dialog.
    // The chosen register handed over: its file in directory `verzeichnis`.
    bool kasseUebergeben(const QString& verzeichnis = QString());
    // In the main case: the closed bookings a cash installation returned.
    bool buchungenEinlesen(const QString& datei = QString());
    // In the cash installation's case: its closed bookings into a file in
    // `verzeichnis` for the main case.
    bool buchungenZurueckgeben(const QString& verzeichnis = QString());
    // The chosen register no longer exported (the library asks first).
    bool kasseFreigeben();

signals:
    // The user wants a cash installation's case made from a hand-over file;
    // that closes the open case, so the main window does it.
    void kassenfallGewuenscht();

private:
    void zeigeKassenbuch();
    unsigned long gewaehlteKasse() const;

    QComboBox* m_kasse;
    QComboBox* m_zeitraum;
    QTableView* m_tabelle;
    QStandardItemModel* m_modell;
    QLabel* m_summen;
    QPushButton* m_abschluss;
    QPushButton* m_pdf;
};

// The cash closing: date, the balance by the bookings up to it, the
// counted amount, the counter account of a difference, and the summary the
// user confirms. Carried out as one action on the case.
class KassenabschlussDialog : public QDialog {
    Q_OBJECT
public:
    KassenabschlussDialog(Sitzung& sitzung, unsigned long konto, QWidget* eltern);
    // The refusal of the start (after a year-end closing, no cash account);
    // empty when the dialog may be shown.
    QString beginnFehler() const { return m_beginnFehler; }
    void accept() override;

private:
    void neuBerechnen();
    void berechnen();

    Sitzung& m_sitzung;
    unsigned long m_konto;
    QString m_beginnFehler;
    QDateEdit* m_datum;
    QLabel* m_saldo;
    QLineEdit* m_gezaehlt;
    QLabel* m_differenz;
    QComboBox* m_gegenkonto;
    QLabel* m_hinweis;
};

}  // namespace fenster
