// The figures of the start page: a small chart of income, expenses and
// profit per month, and what is due (the returns of the year with their
// deadlines, recurring bookings, open invoices, open bank transactions).
// Both read again whenever the case changes.
#pragma once

#include "kontbaum/berichte/gewinnmonate.h"

#include <QVector>
#include <QWidget>

class QTreeWidget;

namespace fenster {

class Sitzung;

class MonatsDiagramm : public QWidget {
    Q_OBJECT
public:
    explicit MonatsDiagramm(QWidget* eltern = nullptr);
    void setZahlen(int jahr, const QVector<Berichte::Monatsgewinn>& monate);
    const QVector<Berichte::Monatsgewinn>& zahlen() const { return m_monate; }
    QSize sizeHint() const override { return {520, 240}; }
    QSize minimumSizeHint() const override { return {360, 180}; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;

private:
    QRectF flaeche() const;
    int monatBei(const QPoint& p) const;
    int m_jahr = 0;
    QVector<Berichte::Monatsgewinn> m_monate;
};

// The chart beside the list of what is due.
class StartZahlen : public QWidget {
    Q_OBJECT
public:
    explicit StartZahlen(Sitzung& sitzung, QWidget* eltern = nullptr);
    void aktualisieren();
    MonatsDiagramm* diagramm() const { return m_diagramm; }
    QTreeWidget* faellig() const { return m_faellig; }

protected:
    // A hidden start page reads when it is shown again, not on every change.
    void showEvent(QShowEvent* e) override;

private:
    Sitzung& m_s;
    bool m_veraltet = true;
    MonatsDiagramm* m_diagramm;
    QTreeWidget* m_faellig;
};

}  // namespace fenster
