// The ledger view: every booking of the case by voucher date, filtered by
// period, account, text, amount, voucher and origin, read page by page as
// the list scrolls (a million bookings open as fast as a hundred); cancel,
// delete and lock from the selection; the self-check's findings with a
// jump to their booking.
#pragma once

#include "fenster/ansicht.h"
#include "kontbaum/buchungen/journal.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace fenster {

class JournalModell : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Spalte { Nummer, Datum, Beleg, Text, Konto, Gegenkonto, Betrag, Schluessel, Art, Herkunft, Status, AnzahlSpalten };
    static constexpr int kSeite = 200;

    explicit JournalModell(Sitzung& sitzung, QObject* eltern = nullptr);
    // Reads the first page of `filter` again (after a change, a new filter).
    void setzen(const Journal::Filter& filter);
    void neuLesen() { setzen(m_filter); }
    const Journal::Zeile& zeile(int row) const { return m_zeilen[row]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    Sitzung& m_sitzung;
    Journal::Filter m_filter;
    QList<Journal::Zeile> m_zeilen;
    bool m_ende = true;
};

class BuchungsAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit BuchungsAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Buchungen"); }
    QIcon symbol() const override;
    void aktualisieren() override;
    void filterSetzen(const BuchungsFilter& filter) override;

    JournalModell* modell() const { return m_modell; }
    QTableView* tabelle() const { return m_tabelle; }
    // The actions on the selected bookings (the buttons call them).
    void stornieren();
    void loeschen();
    void festschreiben();
    void pruefen();

private:
    Journal::Filter filterAusFeldern() const;
    QList<unsigned long> markierte() const;
    void zeitraeumeFuellen();

    JournalModell* m_modell;
    QTableView* m_tabelle;
    QComboBox* m_zeitraum;
    QLineEdit* m_konto;
    QLineEdit* m_text;
    QLineEdit* m_betrag;
    QLineEdit* m_beleg;
    QComboBox* m_herkunft;
    QLabel* m_hinweis;
    QPushButton* m_aufheben;
    QListWidget* m_befunde;
    QTimer m_verzoegert;
    QList<unsigned long> m_nummern;  // a figure's bookings (drill-down)
    int m_jahr = 0;
};

}  // namespace fenster
