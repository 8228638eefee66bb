// The booking form, keyboard first: one row of date, voucher (proposed as
// the next of its series), kind, amount, gross/net, account and counter
// account (search by number or name as you type), tax key (the counter
// account's own unless another is chosen) and text. While typing, the
// lines the module would post are shown (net and tax, the entertainment
// split, the reverse-charge lines); Enter posts, the row clears and the
// cursor goes back to the date. More counter lines make a split booking;
// templates fill the row, recurring bookings that are due are posted from
// here. Every question and refusal comes from the module.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

class QStringListModel;

namespace fenster {

class BuchungsMaske : public Ansicht {
    Q_OBJECT
public:
    explicit BuchungsMaske(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Buchen"); }
    QIcon symbol() const override;
    void aktualisieren() override;

    // Posts what the row holds (Enter does it). The booking's number, 0
    // when nothing was posted (the refusal has been shown).
    unsigned long buchen();
    // Keeps the current counter line as one part of a split booking.
    void teilHinzufuegen();
    // The number of the last booking posted from the form.
    unsigned long letzteBuchung() const { return m_letzte; }
    QTableWidget* vorschauTabelle() const { return m_vorschau; }
    // Computes the preview now (it otherwise follows typing after a pause).
    void vorschauBerechnen();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // The booking of the row; empty, or the German reason it cannot be one.
    QString entwurf(DBConnection* db, KontoGlobal::BuchungsEntwurf* b, bool* schluesselAngegeben) const;
    QString entwurfGeprueft(DBConnection* db, KontoGlobal::BuchungsEntwurf* b) const;
    unsigned long kontoVon(const QLineEdit* e) const;
    zDate datumVon(const QString& text) const;
    void leeren();
    void vorlageUebernehmen(int index);
    void alsVorlageSpeichern();
    void faelligeBuchen();
    void teileZeigen();

    QLineEdit* m_datum;
    QLineEdit* m_beleg;
    QComboBox* m_art;
    QLineEdit* m_betrag;
    QComboBox* m_netto;
    QLineEdit* m_konto;
    QComboBox* m_seite;
    QLineEdit* m_gegen;
    QComboBox* m_schluessel;
    QLineEdit* m_text;
    QLabel* m_kontoName;
    QLabel* m_gegenName;
    QTableWidget* m_teileTabelle;
    QTableWidget* m_vorschau;
    QLabel* m_meldung;
    QComboBox* m_vorlagen;
    QPushButton* m_faellig;
    QStringListModel* m_kontenModell;
    QHash<unsigned long, QString> m_kontoNamen;
    QList<KontoGlobal::BuchungsTeil> m_teile;
    QTimer m_vorschauUhr;
    unsigned long m_letzte = 0;
    int m_jahr = 0;
};

}  // namespace fenster
