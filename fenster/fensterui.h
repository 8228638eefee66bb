// The module's messages and questions as dialogs: the window's Ui. Every
// text is the module's own German text (HTML allowed); questions are
// answered with Ja/Nein, check lists with a list of boxes.
#pragma once

#include "host/app/ui.h"

#include <QPointer>
#include <QWidget>

namespace fenster {

class FensterUi : public Ui {
public:
    // Dialogs open over `eltern` (may be null).
    explicit FensterUi(QWidget* eltern = nullptr) : m_eltern(eltern) {}
    void setEltern(QWidget* eltern) { m_eltern = eltern; }
    void rsError(const QString& text, const QString& title) override;
    void Hinweis(const QString& text, const QString& title) override;
    void rsWarning(const QString& text, const QString& title) override;
    bool frage(const QString& text, const QString& title) override;
    void progress(const QString& what, long done, long total) override;
    void waitCursor(bool on) override;
    QList<int> auswahl(const QString& text, const QStringList& punkte, const QString& title) override;

private:
    QPointer<QWidget> m_eltern;
    int m_warten = 0;
};

}  // namespace fenster
