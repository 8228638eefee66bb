// What the figure views share: the choice of a period, a table model over a
// report list (BerichtListe) and the bar with print and export. Every view
// of figures shows a list of the library as it comes, so the window shows
// exactly what the command line prints for the same period.
#pragma once

#include "kontbaum/berichte/berichte.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStyle>
#include <QWidget>

#include <functional>

class QComboBox;
class QDateEdit;
class QPushButton;

namespace fenster {

// A month, a quarter, the year or (with `frei`) a span of days of the tax
// year; says geaendert() when the user picks another.
class ZeitraumWahl : public QWidget {
    Q_OBJECT
public:
    explicit ZeitraumWahl(bool frei, QWidget* eltern = nullptr);
    // The tax year the periods belong to; keeps the choice.
    void setJahr(int jahr);
    int jahr() const { return m_jahr; }
    void setPeriode(const UStVA::Periode& p);
    UStVA::Periode periode() const;  // a free span counts as the year
    BerichtZeitraum zeitraum() const;
    zDate von() const;
    zDate bis() const;
    QString text() const;
    QComboBox* auswahl() const { return m_art; }

signals:
    void geaendert();

private:
    void anzeigen();
    QComboBox* m_art;
    QDateEdit* m_von;
    QDateEdit* m_bis;
    int m_jahr = 0;
};

// A report list as a table: the cells as the list's page and CSV write
// them, amounts to the right, total rows bold.
class ListenModell : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setListe(const BerichtListe& l);
    const BerichtListe& liste() const { return m_liste; }
    // The column of the list with that key, -1 when it has none.
    int spalte(const QString& schluessel) const;
    // The raw value of a cell (see BerichtListe::Zeile).
    QVariant wert(int zeile, int spalte) const;
    bool istSumme(int zeile) const;

    int rowCount(const QModelIndex& p = QModelIndex()) const override;
    int columnCount(const QModelIndex& p = QModelIndex()) const override;
    QVariant data(const QModelIndex& i, int rolle) const override;
    QVariant headerData(int s, Qt::Orientation o, int rolle) const override;

private:
    BerichtListe m_liste;
};

// Print, PDF and CSV of a list: buttons for a view's bar, and the writing
// itself (the same CSV and PDF as the command line's --csv and --pdf).
namespace Ausgabe {
bool csvSchreiben(const BerichtListe& l, const QString& pfad, QString* fehler);
bool pdfSchreiben(const BerichtListe& l, const QString& firma, const QString& pfad, QString* fehler);
// The print dialog, then the list on the printer.
void drucken(QWidget* eltern, const BerichtListe& l, const QString& firma);
// A file name for the list: its title without characters a file system dislikes.
QString dateiname(const BerichtListe& l, const QString& endung);
}  // namespace Ausgabe

class AusgabeLeiste : public QWidget {
    Q_OBJECT
public:
    // `liste` gives the list as the view shows it now, `firma` the name on the page.
    AusgabeLeiste(std::function<BerichtListe()> liste, std::function<QString()> firma, QWidget* eltern = nullptr);
    QPushButton* druckenKnopf() const { return m_drucken; }

private:
    void speichern(bool pdf);
    std::function<BerichtListe()> m_liste;
    std::function<QString()> m_firma;
    QPushButton* m_drucken;
};

// A theme icon with a fallback of the style.
QIcon symbolAus(const char* name, QStyle::StandardPixmap standard);

}  // namespace fenster
