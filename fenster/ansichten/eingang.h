// Incoming e-invoices: the archive of the case (XRechnung/CII, UBL,
// ZUGFeRD), import of files (file dialog or dropped on the view), the
// readable rendering of the selected original, and its booking as an
// expense: paid now from a money account, or kept for the bank takeover;
// the SEPA transfer file that pays open ones.
#pragma once

#include "fenster/ansicht.h"

class QCheckBox;
class QStandardItemModel;
class QTableView;
class QTextBrowser;

namespace fenster {

class EingangAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit EingangAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;

    // Reads and stores the files as one action (all or none).
    bool importiere(const QStringList& pfade);
    void importDialog();
    void buchen();
    // A SEPA transfer file for open invoices, the selected one checked.
    bool ueberweisen();

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    unsigned long gewaehlt() const;

    QCheckBox* m_nurOffen;
    QTableView* m_tabelle;
    QStandardItemModel* m_modell;
    QTextBrowser* m_darstellung;
    QList<unsigned long> m_buchungen;  // per row: its booking, 0 while open
};

}  // namespace fenster
