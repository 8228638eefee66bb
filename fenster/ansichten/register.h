// The registers of the case: fixed and current assets with the year's
// figures of the Anlage AVEÜR, the company cars with their private use,
// and the investment deductions (§ 7g EStG). New assets are entered here;
// the depreciation and the private use are posted by the library's runs,
// which post only what the ledger does not hold yet.
#pragma once

#include "fenster/ansicht.h"

class QStandardItemModel;
class QTableView;
class QTabWidget;

namespace fenster {

class RegisterAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit RegisterAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;

    void neueAnlage();
    void neuesFahrzeug();
    void neuerAbzug();
    void abschreibungenBuchen();
    void privatanteilBuchen();

private:
    QTabWidget* m_reiter;
    QStandardItemModel* m_anlagen;
    QStandardItemModel* m_fahrzeuge;
    QStandardItemModel* m_abzuege;
};

}  // namespace fenster
