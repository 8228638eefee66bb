// The documents before the invoice: offers, order confirmations and
// delivery notes, each a tab of the invoicing view with its list, the
// editor, the printed page, deleting and the taking over along the chain (offer ->
// order confirmation -> delivery note -> invoice). The chain's rules (what
// is taken over, the links, the question when a document was already made
// from the same source) are the library's (belegUebernehmen).
#pragma once

#include "kontbaum/faktura/faktura.h"

#include <QWidget>

#include <functional>

class QStandardItemModel;
class QTableView;

namespace fenster {
class Sitzung;

class VorbelegListe : public QWidget {
    Q_OBJECT
public:
    // `uebernommen` is told the kind and number of a document made by a
    // taking over, so the view can refresh and show it.
    VorbelegListe(Sitzung& sitzung, Faktura::Belegart art, std::function<void(Faktura::Belegart, const QString&)> uebernommen,
                  QWidget* eltern);
    Faktura::Belegart art() const { return m_art; }
    void aktualisieren();
    bool waehle(const QString& nummer);
    void neu();
    void bearbeiten();
    bool pdfSpeichern(const QString& pfad = QString());
    // The selected document deleted after the user confirmed it; the
    // library refuses while a later document of the chain was made from it.
    bool loeschen();
    // The selected document taken over as `ziel`, dated as its source. The
    // new document's number; empty when refused (the reason shown).
    QString uebernehmen(Faktura::Belegart ziel);

private:
    bool gewaehlt(Faktura::Beleg* b);

    Sitzung& m_sitzung;
    Faktura::Belegart m_art;
    std::function<void(Faktura::Belegart, const QString&)> m_uebernommen;
    QTableView* m_tabelle;
    QStandardItemModel* m_modell;
};

}  // namespace fenster
