// The invoicing view: invoices (list with totals and payment state, the
// document editor, the printed PDF, the XRechnung, the posting on payment,
// dunning letters), customers and articles. Every rule (numbers, totals
// per tax key, the checks of § 14 UStG, the posting) is the library's
// (kontbaum/faktura); the view collects what the user enters.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/faktura/faktura.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;
class QTableWidget;
class QTabWidget;
class QPrintPreviewWidget;
class QPrinter;
class QStackedWidget;
class QTextBrowser;

namespace fenster {

class VorbelegListe;

class RechnungenAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit RechnungenAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    ~RechnungenAnsicht() override;
    QString titel() const override;
    QIcon symbol() const override;
    void aktualisieren() override;

    // The editor for a new invoice or the selected one.
    void neueRechnung();
    void bearbeiten();
    // The selected invoice printed (PDF with the e-invoice inside) or as
    // XRechnung into a file the user chooses; `pfad` skips the dialog.
    bool pdfSpeichern(const QString& pfad = QString());
    bool xrechnungSpeichern(const QString& pfad = QString());
    // The selected invoice on a printer the user chooses.
    void drucken();
    // The payment of the selected invoice posted into the ledger.
    void zahlungBuchen();
    void mahnen();
    // The latest dunning letter of the selected invoice as PDF (`pfad`
    // skips the dialog) or on a printer the user chooses.
    bool mahnbriefSpeichern(const QString& pfad = QString());
    void mahnbriefDrucken();
    // A correction of the selected invoice in the editor: the customer as
    // there, the positions entered anew (a credit as negative quantity).
    void korrektur();
    // The due reminders selected in their list marked done.
    void erinnerungenErledigt();
    void neuerKunde();
    void neuerArtikel();
    // Selects the invoice with that number; false when the list has none.
    bool waehleRechnung(const QString& nummer);

private:
    bool gewaehlt(Faktura::Beleg* b);
    // A customer's data entered or changed (personID 0: a new one).
    void kundeDialog(Faktura::Person p);
    void artikelDialog(Faktura::Artikel a);
    // The selected invoice's latest dunning letter; false with a hint shown.
    bool letzteMahnung(Faktura::Beleg* b, Faktura::Mahnung* m);

    QTabWidget* m_reiter;
    QTableView* m_rechnungen;
    QStandardItemModel* m_rechnungsModell;
    // The page of the selected invoice as it is printed; a hint while the
    // list is empty.
    QStackedWidget* m_rechts;
    QPrinter* m_drucker;
    QPrintPreviewWidget* m_seite;
    QTextBrowser* m_hinweis;
    QTableView* m_erinnerungen;
    QStandardItemModel* m_erinnerungsModell;
    // Offers, order confirmations and delivery notes, each a tab.
    QList<VorbelegListe*> m_vorbelege;
    QTableView* m_kunden;
    QStandardItemModel* m_kundenModell;
    QTableView* m_artikel;
    QStandardItemModel* m_artikelModell;
};

// The document editor: customer, dates, positions (typed or from an
// article), the totals per tax rate and the printed page as it will look,
// both computed by the library as the user types. Saving is one action.
class BelegEditor : public QDialog {
    Q_OBJECT
public:
    BelegEditor(Sitzung& sitzung, const Faktura::Beleg& beleg, QWidget* eltern);
    ~BelegEditor() override;
    const Faktura::Beleg& beleg() const { return m_beleg; }
    void positionHinzufuegen();
    void artikelEinfuegen();
    void positionEntfernen();
    void accept() override;

private:
    // The document as entered; false with the German reason of the first
    // field that is no value.
    bool ausFormular(Faktura::Beleg* b, QString* fehler) const;
    void neuBerechnen();

    Sitzung& m_sitzung;
    Faktura::Beleg m_beleg;
    QComboBox* m_kunde;
    QDateEdit* m_datum;
    QDateEdit* m_lieferVon;
    QDateEdit* m_lieferBis;
    QComboBox* m_artikelWahl;
    QTableWidget* m_positionen;
    QLabel* m_summen;
    QPrinter* m_drucker;
    QPrintPreviewWidget* m_vorschau;
    QDate m_altesDatum;  // the supply dates follow the invoice date while they equal it
    bool m_fuellt = false;
};

}  // namespace fenster
