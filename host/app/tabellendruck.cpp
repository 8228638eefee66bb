// The page-by-page table printer (see tabellendruck.h). Units are points:
// the writer runs at 72 dots per inch, so a font of 8 pt is 8 units high.
#include "host/app/tabellendruck.h"

#include <QFileDevice>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {
constexpr double kPolster = 4.0;    // left and right inside a cell, as the HTML tables
constexpr double kZeilenluft = 2.0; // above and below the text of a row
}  // namespace

TabellenDruck::TabellenDruck(QByteArray* pdf, const QString& titel, bool quer, const QMarginsF& raenderMm) : m_pdf(pdf), m_puffer(pdf) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_fehler = QStringLiteral("Für die PDF-Ausgabe fehlt die Grafikumgebung des Programms.");
        return;
    }
    pdf->clear();
    m_puffer.open(QIODevice::WriteOnly);
    einrichten(&m_puffer, titel, quer, raenderMm);
}

TabellenDruck::TabellenDruck(QIODevice* ziel, const QString& titel, bool quer, const QMarginsF& raenderMm) : m_ziel(ziel) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_fehler = QStringLiteral("Für die PDF-Ausgabe fehlt die Grafikumgebung des Programms.");
        return;
    }
    einrichten(ziel, titel, quer, raenderMm);
}

void TabellenDruck::einrichten(QIODevice* ziel, const QString& titel, bool quer, const QMarginsF& raenderMm) {
    m_writer = std::make_unique<QPdfWriter>(ziel);
    m_writer->setTitle(titel);
    m_writer->setCreator(QStringLiteral("dalvo"));
    m_writer->setResolution(72);
    m_writer->setPageSize(QPageSize(QPageSize::A4));
    if (quer) m_writer->setPageOrientation(QPageLayout::Landscape);
    m_writer->setPageMargins(raenderMm, QPageLayout::Millimeter);
    m_schrift = QFont(QStringLiteral("sans-serif"));
    m_schrift.setStyleHint(QFont::SansSerif);
    m_schrift.setPointSizeF(8);
    m_fett = m_schrift;
    m_fett.setBold(true);
    m_kursiv = m_schrift;
    m_kursiv.setItalic(true);
    m_titel = m_fett;
    m_titel.setPointSizeF(12);
    m_breite = m_writer->width();
    m_hoehe = m_writer->height();
}

TabellenDruck::~TabellenDruck() {
    if (m_painter && m_painter->isActive()) m_painter->end();
}

bool TabellenDruck::ok(QString* fehler) const {
    if (fehler && !m_fehler.isEmpty()) *fehler = m_fehler;
    return m_fehler.isEmpty();
}

void TabellenDruck::kopf(const QString& ueberschrift, const QStringList& zeilen) {
    m_ueberschrift = ueberschrift;
    m_kopfzeilen = zeilen;
}

void TabellenDruck::spalten(const QList<TabellenSpalte>& spalten) {
    m_spalten = spalten;
    int summe = 0;
    // A column is at least as wide as its head.
    auto anteil = [](const TabellenSpalte& s) { return qMax(qMax(1, s.breite), int(s.kopf.size()) + 1); };
    for (const TabellenSpalte& s : spalten) summe += anteil(s);
    double x = 0;
    m_links.clear();
    m_breiten.clear();
    for (const TabellenSpalte& s : spalten) {
        const double b = m_breite * anteil(s) / qMax(1, summe);
        m_links << x;
        m_breiten << b;
        x += b;
    }
}

double TabellenDruck::zeilenhoehe() const {
    if (m_zeilenhoehe < 0) m_zeilenhoehe = QFontMetricsF(m_schrift, m_writer.get()).height() + 2 * kZeilenluft;
    return m_zeilenhoehe;
}

void TabellenDruck::zeichne(const QStringList& felder, Art art) {
    QPainter& p = *m_painter;
    const double h = zeilenhoehe();
    if (art == Abschluss) p.fillRect(QRectF(0, m_y, m_breite, h), QColor(0xee, 0xee, 0xee));
    if (art == Summe) {
        p.setPen(QColor(0x88, 0x88, 0x88));
        p.drawLine(QPointF(0, m_y), QPointF(m_breite, m_y));
    }
    const QFont& f = art == Summe ? m_fett : art == Abschluss ? m_kursiv : m_schrift;
    p.setFont(f);
    p.setPen(Qt::black);
    const QFontMetricsF fm(f, m_writer.get());
    for (int i = 0; i < m_spalten.size() && i < felder.size(); ++i) {
        if (felder[i].isEmpty()) continue;
        const double innen = m_breiten[i] - 2 * kPolster;
        QString t = felder[i];
        t.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        // A cell is one line: a text wider than its column ends in "…".
        if (fm.horizontalAdvance(t) > innen) t = fm.elidedText(t, Qt::ElideRight, innen);
        p.drawText(QRectF(m_links[i] + kPolster, m_y + kZeilenluft, innen, h - 2 * kZeilenluft),
                   (m_spalten[i].rechts ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine, t);
    }
    m_y += h;
}

void TabellenDruck::kopfzeile() {
    QPainter& p = *m_painter;
    const double h = zeilenhoehe();
    p.fillRect(QRectF(0, m_y, m_breite, h), QColor(0xdd, 0xdd, 0xdd));
    p.setFont(m_fett);
    p.setPen(Qt::black);
    const QFontMetricsF fm(m_fett, m_writer.get());
    for (int i = 0; i < m_spalten.size(); ++i) {
        const double innen = m_breiten[i] - 2 * kPolster;
        p.drawText(QRectF(m_links[i] + kPolster, m_y + kZeilenluft, innen, h - 2 * kZeilenluft),
                   (m_spalten[i].rechts ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                   fm.elidedText(m_spalten[i].kopf, Qt::ElideRight, innen));
    }
    m_y += h;
    p.drawLine(QPointF(0, m_y), QPointF(m_breite, m_y));
}

void TabellenDruck::seiteBeginnen() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(m_writer.get());
    } else {
        m_writer->newPage();
    }
    ++m_seite;
    m_offen = true;
    m_y = 0;
    if (m_seite == 1) {
        QPainter& p = *m_painter;
        p.setPen(Qt::black);
        p.setFont(m_titel);
        const QFontMetricsF ft(m_titel, m_writer.get());
        p.drawText(QRectF(0, m_y, m_breite, ft.height()), Qt::AlignLeft | Qt::TextSingleLine, m_ueberschrift);
        m_y += ft.height() * 1.6;
        p.setFont(m_schrift);
        const QFontMetricsF fm(m_schrift, m_writer.get());
        for (const QString& z : m_kopfzeilen) {
            p.drawText(QRectF(0, m_y, m_breite, fm.height()), Qt::AlignLeft | Qt::TextSingleLine, z);
            m_y += fm.height();
        }
        m_y += fm.height();
    }
    kopfzeile();
    if (m_seite > 1 && !m_uebertrag.isEmpty()) zeichne(m_uebertrag, Summe);
}

void TabellenDruck::seiteBeenden() {
    if (!m_uebertrag.isEmpty()) zeichne(m_uebertrag, Summe);
    QPainter& p = *m_painter;
    p.setFont(m_schrift);
    p.setPen(Qt::black);
    const double h = zeilenhoehe();
    p.drawText(QRectF(0, m_hoehe - h, m_breite, h), Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine,
               QStringLiteral("Seite %1").arg(m_seite));
    m_offen = false;
}

void TabellenDruck::zeile(const QStringList& felder, Art art, const QStringList& uebertrag) {
    if (!m_writer) return;
    if (!m_offen) seiteBeginnen();
    const double h = zeilenhoehe();
    // Room for the row, the carried-forward line and the page number.
    const double frei = m_hoehe - h - (m_uebertrag.isEmpty() && uebertrag.isEmpty() ? 0.0 : h) - h;
    if (m_y + h > frei) {
        seiteBeenden();
        seiteBeginnen();
    }
    zeichne(felder, art);
    m_uebertrag = uebertrag;
}

bool TabellenDruck::beenden(const QString& was, QString* fehler) {
    if (!m_writer) return ok(fehler);
    if (!m_offen) seiteBeginnen();
    m_uebertrag.clear();
    seiteBeenden();
    m_painter->end();
    m_painter.reset();
    m_writer.reset();
    m_puffer.close();
    const QFileDevice* datei = qobject_cast<const QFileDevice*>(m_ziel);
    if (m_pdf ? m_pdf->isEmpty() : datei && datei->error() != QFileDevice::NoError) {
        if (fehler) *fehler = QStringLiteral("Das PDF %1 konnte nicht erzeugt werden.").arg(was);
        return false;
    }
    return true;
}
