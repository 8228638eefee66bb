// What the views of the subsystems share: read-only tables over the list
// model of the reports or over rows a view fills itself, amounts, dates and
// accounts typed by a user, icons of the system theme, and the frame that
// runs a writing action of a view as one action on the open case.
#pragma once

#include "fenster/ansicht.h"
#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/berichte/berichte.h"

#include <QDate>
#include <QIcon>
#include <QStandardItemModel>
#include <QString>
#include <QStyle>
#include <functional>

class BerichtListe;
class DBConnection;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTableView;
class QWidget;

namespace fenster {
class Sitzung;

namespace gemeinsam {

// The icon `name` of the system theme, else the style's `ersatz`.
QIcon symbol(const char* name, QStyle::StandardPixmap ersatz);

// A table a user reads and selects rows in: whole rows, keyboard
// navigation, the last column stretched, no editing.
QTableView* neueTabelle(QWidget* eltern);

// Cells of a view-filled table. The value itself is kept in Qt::UserRole
// (cents of an amount, the number, the QDate), so that a test or a sum
// never reads formatted text.
QStandardItem* textZelle(const QString& text);
QStandardItem* betragZelle(const EuroType& betrag, bool leerBeiNull = false);
QStandardItem* zahlZelle(qlonglong zahl);
QStandardItem* datumZelle(const zDate& datum);
// Fits the columns to what they show (a long text column stops at a third
// of the table's width); called after a table is filled.
void spaltenAnpassen(QTableView* t);
// Sets the column heads of `m` and removes its rows.
void koepfe(QStandardItemModel* m, const QStringList& koepfe);
// Fills `m` with the columns and rows of a report list (totals in bold).
void zeigeListe(const BerichtListe& l, QStandardItemModel* m);

// The amount in `feld` ("1.234,56", "1234,56", "1234.56"); false with a
// German message naming the field `was` when it is none.
bool leseBetrag(const QLineEdit* feld, const QString& was, EuroType* betrag, QString* fehler);
// A date field: dd.MM.yyyy, typed or from the calendar.
QDateEdit* neuesDatum(QWidget* eltern, const QDate& wert);
zDate datumAus(const QDateEdit* feld);
// The period of a list: the year, a quarter or a month.
QComboBox* zeitraumAuswahl(QWidget* eltern);
BerichtZeitraum zeitraumAus(const QComboBox* auswahl);

// An account chosen by typing its number or part of its name (the
// active accounts of the chart, categories `vonKategorie`..`bisKategorie`
// when given); gewaehltesKonto reads the number back, 0 when none.
QComboBox* kontoAuswahl(Sitzung& s, QWidget* eltern, unsigned long vonKategorie = 0, unsigned long bisKategorie = 0);
unsigned long gewaehltesKonto(const QComboBox* auswahl);

// The filter that shows one booking in the ledger.
BuchungsFilter eineBuchung(unsigned long nummer, const QString& woher);

// A writing action of a view: `aktion` runs as one action on the open case
// (the write lock only for its length). When it returns false its German
// reason is shown and the case stays as it was. True when the change is
// in the case file.
bool ausfuehren(Sitzung& s, const std::function<bool(DBConnection* db, QString* fehler)>& aktion);

// A message of the view through the module's Ui, so that the window's
// dialogs and a test's scripted answers see every message alike.
void meldeFehler(const QString& text);
void meldeHinweis(const QString& text);

}  // namespace gemeinsam
}  // namespace fenster
