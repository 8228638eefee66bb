// The start page: without a case the recent case files and the ways to open
// or create one; with a case where the bookkeeping stands (year, profit so
// far, money accounts, lock date) and the parts registered for it.
#pragma once

#include "fenster/ansicht.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenster {

class Startseite : public Ansicht {
    Q_OBJECT
public:
    explicit Startseite(Sitzung& sitzung, QWidget* eltern = nullptr);
    QString titel() const override { return QStringLiteral("Übersicht"); }
    QIcon symbol() const override;
    void aktualisieren() override;

signals:
    void oeffnenGewaehlt(const QString& pfad);
    void oeffnenDialogGewaehlt();
    void neuGewaehlt();

private:
    QLabel* m_kopf = nullptr;
    QLabel* m_stand = nullptr;
    QListWidget* m_zuletzt = nullptr;
    QWidget* m_teile = nullptr;
    QVBoxLayout* m_teileLayout = nullptr;
    bool m_teileAngelegt = false;
};

}  // namespace fenster
