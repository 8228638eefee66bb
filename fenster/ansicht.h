// What every view of the window is: a page of the main window with a title,
// read again after every change of the case, and able to ask the shell to
// show the bookings behind one of its figures (the ledger view then opens
// with that filter).
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QList>
#include <QString>
#include <QWidget>

namespace fenster {

class Sitzung;

// An icon of the system theme by its freedesktop name, or where the theme
// has none (a bare desktop, the offscreen platform) the style's own.
inline QIcon symbol(const char* name, QStyle::StandardPixmap ersatz) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(ersatz));
}

// Which bookings to show. Empty fields do not filter; `nummern`, when set,
// names the bookings exactly (the bookings that make one figure).
struct BuchungsFilter {
    QString titel;          // what the ledger says it shows ("Kennzahl 81, März 2016")
    zDate von, bis;         // voucher date
    unsigned long konto = 0;  // on any line of the booking
    QString text;           // part of the booking text
    QString beleg;          // part of the voucher number
    bool mitBetrag = false;
    EuroType betrag;        // the booking's amount
    long herkunft = -1;     // origin code (KontoGlobal::herkunftToString)
    QList<unsigned long> nummern;
};

class Ansicht : public QWidget {
    Q_OBJECT
public:
    explicit Ansicht(Sitzung& sitzung, QWidget* eltern = nullptr) : QWidget(eltern), m_sitzung(sitzung) {}
    // The name in the navigation and the window title ("Buchungen").
    virtual QString titel() const = 0;
    // The icon in the navigation (QIcon::fromTheme with a fallback).
    virtual QIcon symbol() const { return fenster::symbol("document-properties", QStyle::SP_FileDialogInfoView); }
    // Reads everything it shows again: called when the view is shown, after
    // every action of the window and after a change from outside. A view
    // reads through Sitzung::lesen only.
    virtual void aktualisieren() = 0;
    // The ledger view takes a filter; the others ignore it.
    virtual void filterSetzen(const BuchungsFilter&) {}

signals:
    // Asks the shell to show the bookings behind a figure of this view.
    void zeigeBuchungen(const fenster::BuchungsFilter& filter);
    // Asks the shell to show another view by its key (see ansichten.h).
    void zeigeAnsicht(const QString& schluessel);

protected:
    Sitzung& sitzung() const { return m_sitzung; }

private:
    Sitzung& m_sitzung;
};

}  // namespace fenster
