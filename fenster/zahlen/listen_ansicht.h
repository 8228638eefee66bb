// The views that show one report list of the library as a table: the
// annual VAT return, the balance list and every report of "dalvo bericht".
// Each fills its list from the library, shows it cell for cell as the
// command line prints it, prints and exports it, and leads from a row to
// its bookings where the row names them.
#pragma once

#include "fenster/ansicht.h"
#include "fenster/zahlen/werkzeug.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/steuer/erklaerung.h"

class DBConnection;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QHBoxLayout;

namespace fenster {

class ListenAnsicht : public Ansicht {
    Q_OBJECT
public:
    explicit ListenAnsicht(Sitzung& sitzung, bool mitZeitraum, QWidget* eltern = nullptr);
    void aktualisieren() override;

    QTableView* tabelle() const { return m_tabelle; }
    ListenModell* modell() const { return m_modell; }
    ZeitraumWahl* zeitraumWahl() const { return m_zeitraum; }
    const BerichtListe& liste() const { return m_modell->liste(); }
    // Asks the shell for the bookings behind a row (nothing for a row without them).
    void buchungenZeigen(int zeile);

protected:
    // Fills `l` from the library inside a read of the case; false with a
    // German reason when the list cannot be made.
    virtual bool fuellen(DBConnection* db, BerichtListe* l, QString* fehler) = 0;
    // The bookings behind a row; false when the row has none.
    virtual bool filterFuer(int zeile, BuchungsFilter* f) = 0;
    // The line above the table (rich text); empty for none.
    virtual QString kopfzeile() const { return QString(); }
    QHBoxLayout* leiste() const { return m_leiste; }
    Sitzung& m_s;
    ZeitraumWahl* m_zeitraum = nullptr;

private:
    QHBoxLayout* m_leiste;
    QLabel* m_kopf;
    QLabel* m_fehler;
    QTableView* m_tabelle;
    ListenModell* m_modell;
};

// The annual VAT return (USt 2 A) with the advance payments of the year.
class UStErklaerungAnsicht : public ListenAnsicht {
    Q_OBJECT
public:
    explicit UStErklaerungAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr) : ListenAnsicht(sitzung, false, eltern) {}
    QString titel() const override { return QStringLiteral("Umsatzsteuererklärung"); }
    QIcon symbol() const override;
    const UStErklaerung::Ergebnis& ergebnis() const { return m_ergebnis; }

protected:
    bool fuellen(DBConnection* db, BerichtListe* l, QString* fehler) override;
    bool filterFuer(int zeile, BuchungsFilter* f) override;
    QString kopfzeile() const override;

private:
    UStErklaerung::Ergebnis m_ergebnis;
};

// The balance list from the start of the year to the end of the period.
class SaldenlisteAnsicht : public ListenAnsicht {
    Q_OBJECT
public:
    explicit SaldenlisteAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr) : ListenAnsicht(sitzung, true, eltern) {}
    QString titel() const override { return QStringLiteral("Summen- und Saldenliste"); }
    QIcon symbol() const override;

protected:
    bool fuellen(DBConnection* db, BerichtListe* l, QString* fehler) override;
    bool filterFuer(int zeile, BuchungsFilter* f) override;
};

// Every report of the library's table (Berichte::berichtArten) with the
// options it takes.
class BerichteAnsicht : public ListenAnsicht {
    Q_OBJECT
public:
    explicit BerichteAnsicht(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Berichte"); }
    QIcon symbol() const override;
    // Picks the report by its name ("journal"); false when there is none.
    bool waehle(const QString& name);
    QLineEdit* kontoFeld() const { return m_konto; }

protected:
    bool fuellen(DBConnection* db, BerichtListe* l, QString* fehler) override;
    bool filterFuer(int zeile, BuchungsFilter* f) override;
    QString kopfzeile() const override;

private:
    void optionenZeigen();
    const Berichte::BerichtArt* art() const;
    QComboBox* m_bericht;
    QLineEdit* m_konto;
    QLineEdit* m_beleg;
    QLineEdit* m_grenze;
    QComboBox* m_sortierung;
    QComboBox* m_nach;
    QComboBox* m_belegart;
    QList<QWidget*> m_optionen;  // the label and field of each option, in pairs
    BerichtParameter m_parameter;
};

}  // namespace fenster
