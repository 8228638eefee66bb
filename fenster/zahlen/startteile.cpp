// The chart and the due list of the start page (see startteile.h).
#include "fenster/zahlen/startteile.h"

#include "fenster/sitzung.h"
#include "kontbaum/konten/startseite.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/fristen.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace fenster {

namespace {
const char* const kKurz[] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const QColor kEinnahmen(0x3a, 0x9a, 0x4a), kAusgaben(0xd0, 0x50, 0x40), kGewinn(0x2a, 0x5d, 0xb0);

// A round upper bound of the axis: 1, 2 or 5 times a power of ten.
double obergrenze(double w) {
    if (w <= 0) return 1.0;
    const double p = std::pow(10.0, std::floor(std::log10(w)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * p >= w) return f * p;
    return 10.0 * p;
}
}  // namespace

// --- chart ----------------------------------------------------------------------------------

MonatsDiagramm::MonatsDiagramm(QWidget* eltern) : QWidget(eltern), m_monate(12) {
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Einnahmen, Ausgaben und Gewinn je Monat"));
}

void MonatsDiagramm::setZahlen(int jahr, const QVector<Berichte::Monatsgewinn>& monate) {
    m_jahr = jahr;
    m_monate = monate;
    m_monate.resize(12);
    update();
}

QRectF MonatsDiagramm::flaeche() const {
    const int text = fontMetrics().height();
    return QRectF(8 + fontMetrics().horizontalAdvance(QStringLiteral("-000.000")), 2.0 * text + 8, 0, 0)
        .adjusted(0, 0, width() - 16 - fontMetrics().horizontalAdvance(QStringLiteral("-000.000")), height() - 4.0 * text - 16);
}

int MonatsDiagramm::monatBei(const QPoint& p) const {
    const QRectF f = flaeche();
    if (!f.contains(p)) return -1;
    return qBound(0, int((p.x() - f.left()) / (f.width() / 12.0)), 11);
}

bool MonatsDiagramm::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const int m = monatBei(h->pos());
        if (m < 0) {
            QToolTip::hideText();
        } else {
            const Berichte::Monatsgewinn& g = m_monate[m];
            QToolTip::showText(h->globalPos(), QStringLiteral("%1 %2\nEinnahmen %3 €\nAusgaben %4 €\n%5 %6 €")
                                                   .arg(QString::fromUtf8(kKurz[m]))
                                                   .arg(m_jahr)
                                                   .arg(g.einnahmen.getText(), g.ausgaben.getText(),
                                                        g.gewinn() < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"),
                                                        g.gewinn().getText()),
                               this);
        }
        return true;
    }
    return QWidget::event(e);
}

void MonatsDiagramm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF f = flaeche();
    const int text = fontMetrics().height();
    double hoch = 0, tief = 0;
    for (const Berichte::Monatsgewinn& g : m_monate) {
        hoch = std::max({hoch, g.einnahmen.alsDouble(), g.ausgaben.alsDouble(), g.gewinn().alsDouble()});
        tief = std::min({tief, g.einnahmen.alsDouble(), g.ausgaben.alsDouble(), g.gewinn().alsDouble()});
    }
    hoch = obergrenze(hoch);
    tief = tief < 0 ? -obergrenze(-tief) : 0.0;
    auto y = [&](double w) { return f.bottom() - (w - tief) / (hoch - tief) * f.height(); };
    p.setPen(palette().color(QPalette::WindowText));
    QFont titel = font();
    titel.setBold(true);
    p.setFont(titel);
    p.drawText(QRectF(0, 2, width(), text), Qt::AlignHCenter, QStringLiteral("Einnahmen, Ausgaben und Gewinn %1 je Monat").arg(m_jahr));
    p.setFont(font());
    // Axis with three marks and the zero line.
    p.setPen(QPen(palette().color(QPalette::Mid), 0.5));
    for (double w : {tief, 0.0, hoch / 2, hoch}) {
        p.drawLine(QPointF(f.left(), y(w)), QPointF(f.right(), y(w)));
        p.drawText(QRectF(0, y(w) - text / 2.0, f.left() - 4, text), Qt::AlignRight | Qt::AlignVCenter, QLocale(QLocale::German).toString(w, 'f', 0));
    }
    const double breite = f.width() / 12.0;
    QPolygonF linie;
    for (int m = 0; m < 12; ++m) {
        const double x = f.left() + m * breite;
        const Berichte::Monatsgewinn& g = m_monate[m];
        const double b = breite * 0.32;
        p.fillRect(QRectF(QPointF(x + breite * 0.15, y(g.einnahmen.alsDouble())), QPointF(x + breite * 0.15 + b, y(0))).normalized(), kEinnahmen);
        p.fillRect(QRectF(QPointF(x + breite * 0.15 + b, y(g.ausgaben.alsDouble())), QPointF(x + breite * 0.15 + 2 * b, y(0))).normalized(), kAusgaben);
        linie << QPointF(x + breite / 2, y(g.gewinn().alsDouble()));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRectF(x, f.bottom() + 2, breite, text), Qt::AlignHCenter, QString::fromUtf8(kKurz[m]));
    }
    p.setPen(QPen(kGewinn, 2));
    p.drawPolyline(linie);
    p.setBrush(kGewinn);
    for (const QPointF& q : linie) p.drawEllipse(q, 2.5, 2.5);
    // Legend.
    double x = f.left();
    const double yl = f.bottom() + text + 8;
    for (const auto& e : {qMakePair(kEinnahmen, QStringLiteral("Einnahmen")), qMakePair(kAusgaben, QStringLiteral("Ausgaben")),
                          qMakePair(kGewinn, QStringLiteral("Gewinn"))}) {
        p.fillRect(QRectF(x, yl + 2, 10, text - 4), e.first);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QPointF(x + 14, yl + text - 4), e.second);
        x += 24 + fontMetrics().horizontalAdvance(e.second);
    }
}

// --- chart and due list ---------------------------------------------------------------------

StartZahlen::StartZahlen(Sitzung& sitzung, QWidget* eltern) : QWidget(eltern), m_s(sitzung) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    m_diagramm = new MonatsDiagramm(this);
    h->addWidget(m_diagramm, 1);
    auto* rechts = new QVBoxLayout;
    auto* titel = new QLabel(QStringLiteral("<b>Was fällig ist</b>"), this);
    rechts->addWidget(titel);
    m_faellig = new QTreeWidget(this);
    m_faellig->setColumnCount(3);
    m_faellig->setHeaderLabels({QStringLiteral("Was"), QStringLiteral("Fällig"), QStringLiteral("Betrag / Stand")});
    m_faellig->setRootIsDecorated(true);
    m_faellig->setUniformRowHeights(true);
    m_faellig->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_faellig->header()->setStretchLastSection(false);
    titel->setBuddy(m_faellig);
    rechts->addWidget(m_faellig, 1);
    h->addLayout(rechts, 1);
    connect(&m_s, &Sitzung::geaendert, this, &StartZahlen::aktualisieren);
    connect(&m_s, &Sitzung::geoeffnet, this, &StartZahlen::aktualisieren);
    aktualisieren();
}

void StartZahlen::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_veraltet) aktualisieren();
}

void StartZahlen::aktualisieren() {
    m_veraltet = true;
    if (!m_s.istOffen() || !isVisible()) return;
    m_veraltet = false;
    const zDate heute = zDate::today();
    QVector<Berichte::Monatsgewinn> monate;
    QList<Fristen::Termin> termine;
    ::Startseite::Stand stand;
    bool mitStand = false;
    int jahr = 0;
    m_s.lesen([&](DBConnection* db) {
        KontoGlobal* kg = m_s.kg();
        jahr = kg->getSteuerjahr();
        monate = Berichte::gewinnJeMonat(db);
        termine = Fristen::termine(kg->getSlot(), heute);
        QString fehler;
        mitStand = ::Startseite::stand(*kg, heute, &stand, &fehler);
    });
    m_diagramm->setZahlen(jahr, monate);

    m_faellig->clear();
    QFont fett = m_faellig->font();
    fett.setBold(true);
    auto gruppe = [&](const QString& text, int anzahl) {
        auto* g = new QTreeWidgetItem(m_faellig, {QStringLiteral("%1 (%2)").arg(text).arg(anzahl)});
        g->setFont(0, fett);
        g->setFirstColumnSpanned(true);
        return g;
    };
    auto eintrag = [](QTreeWidgetItem* in, const QString& a, const QString& b, const QString& c) {
        auto* i = new QTreeWidgetItem(in, {a, b, c});
        i->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        return i;
    };
    QTreeWidgetItem* erkl = gruppe(QStringLiteral("Erklärungen und Voranmeldungen"), termine.size());
    for (const Fristen::Termin& t : termine) {
        const qint64 tage = heute.qdate().daysTo(t.frist.qdate());
        const QString stand = tage < 0 ? QStringLiteral("Frist abgelaufen") : tage == 0 ? QStringLiteral("heute") : QStringLiteral("in %1 Tagen").arg(tage);
        QTreeWidgetItem* i = eintrag(erkl, t.was, t.frist.getText(), stand);
        if (tage >= 0 && tage <= 14) i->setFont(0, fett);
    }
    if (mitStand) {
        QTreeWidgetItem* regel = gruppe(QStringLiteral("Regelmäßige Buchungen"), stand.faellig.size());
        for (const ::Startseite::FaelligeBuchung& f : stand.faellig)
            eintrag(regel, QStringLiteral("Vorlage %1: %2").arg(f.vorlage).arg(f.buchungstext), f.belegdatum.getText(), f.betrag.getText());
        QTreeWidgetItem* rech = gruppe(QStringLiteral("Offene Rechnungen"), stand.rechnungen.size());
        for (const ::Startseite::OffeneRechnung& r : stand.rechnungen) {
            const zDate ziel = r.neuesZahlungsziel.isValid() ? r.neuesZahlungsziel : r.zahlungsziel;
            eintrag(rech, QStringLiteral("%1 %2").arg(r.nummer, r.kunde), ziel.isValid() ? ziel.getText() : QStringLiteral("–"), r.offen.getText());
        }
        QTreeWidgetItem* bank = gruppe(QStringLiteral("Offene Bankumsätze"), stand.offeneBankumsaetze);
        if (stand.offeneBankumsaetze > 0)
            eintrag(bank, QStringLiteral("noch keiner Buchung zugeordnet"), QString(), QString::number(stand.offeneBankumsaetze));
    }
    m_faellig->expandAll();
    m_faellig->resizeColumnToContents(1);
    m_faellig->resizeColumnToContents(2);
}

}  // namespace fenster
