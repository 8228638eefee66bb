// The registers of the case: fixed and current assets with the year's
// figures of the Anlage AVEÜR, the company cars with their private use,
// and the investment deductions (§ 7g EStG). New assets, current assets,
// disposals and the adding back of a deduction are entered here;
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
    // Current assets (land, shares, securities) whose cost becomes an
    // expense only when they leave; the purchase may be posted at once.
    void neuesUmlaufgut();
    // The sale, withdrawal or scrapping of the chosen entry of the list;
    // the remaining book value and the proceeds may be posted at once.
    void abgang();
    void neuesFahrzeug();
    void neuerAbzug();
    // Adds the chosen deduction back for an asset bought in the case's year.
    void hinzurechnen();
    // Marks the chosen deduction as reversed.
    void rueckgaengig();
    void abschreibungenBuchen();
    void privatanteilBuchen();

private:
    int gewaehlteZeile(const char* tabelle) const;

    QTabWidget* m_reiter;
    QStandardItemModel* m_anlagen;
    QStandardItemModel* m_fahrzeuge;
    QStandardItemModel* m_abzuege;
};

}  // namespace fenster
