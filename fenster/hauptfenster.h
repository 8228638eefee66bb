// The main window: the navigation of the registered views on the left, the
// view on the right, menus, title and status bar naming the open case, its
// year and its lock date. Without an open case only the start page shows.
#pragma once

#include "fenster/ansicht.h"
#include "fenster/fensterui.h"
#include "fenster/sitzung.h"

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QStackedWidget>

namespace fenster {

class Startseite;

class Hauptfenster : public QMainWindow {
    Q_OBJECT
public:
    explicit Hauptfenster(QWidget* eltern = nullptr);
    ~Hauptfenster() override;

    Sitzung& sitzung() { return m_sitzung; }
    // Opens a case file; a failure is shown as a dialog. False then.
    bool fallOeffnen(const QString& pfad);
    // Shows the view with that key (false when there is none).
    bool zeige(const QString& schluessel);
    // The view with that key (null when there is none).
    Ansicht* ansicht(const QString& schluessel) const;
    Ansicht* aktuelleAnsicht() const;
    QStringList schluessel() const;
    // The ledger view with the given filter.
    void zeigeBuchungen(const BuchungsFilter& filter);

    // A cash installation's case made from a register's hand-over file
    // (chosen in file dialogs unless given): the open case closes for it;
    // afterwards the new case or else the previous one is open again.
    // True when the new case file was written.
    bool kassenfallAnlegen(const QString& kassendatei = QString(), const QString& pfad = QString());

    // The recent case files, newest first (kept in the settings).
    static QStringList zuletztGeoeffnet();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void menusAnlegen();
    void titelSetzen();
    void zuletztMerken(const QString& pfad);
    void zuletztMenuFuellen();
    void dateiOeffnenDialog();
    void neuerFallDialog();
    void jahreswechselDialog();
    void einstellungenDialog();
    void hilfeAnzeigen();
    void ueberAnzeigen();
    void alleAktualisieren();
    void navigationFreigeben();

    Sitzung m_sitzung;
    FensterUi m_ui;
    Ui* m_vorherigeUi = nullptr;
    QListWidget* m_navigation = nullptr;
    QStackedWidget* m_stapel = nullptr;
    Startseite* m_start = nullptr;
    QList<QPair<QString, Ansicht*>> m_ansichten;
    QMenu* m_zuletzt = nullptr;
    QMenu* m_ansichtMenu = nullptr;
    QList<QAction*> m_nurMitFall;
    QLabel* m_statusFall = nullptr;
    QLabel* m_statusJahr = nullptr;
    QLabel* m_statusFest = nullptr;
};

}  // namespace fenster
