#include "host/app/pdfdruck.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

bool rsHtmlAlsPdf(const QString& html, const QString& titel, bool quer, const QMarginsF& raenderMm, const QString& was,
                  QByteArray* pdf, QString* fehler, bool archiv) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (fehler) *fehler = QStringLiteral("Für die PDF-Ausgabe fehlt die Grafikumgebung des Programms.");
        return false;
    }
    pdf->clear();
    QBuffer puffer(pdf);
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter w(&puffer);
        w.setTitle(titel);
        w.setCreator(QStringLiteral("dalvo"));
        if (archiv) w.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        w.setPageSize(QPageSize(QPageSize::A4));
        if (quer) w.setPageOrientation(QPageLayout::Landscape);
        w.setPageMargins(raenderMm, QPageLayout::Millimeter);
        QTextDocument doc;
        doc.setHtml(html);
        doc.print(&w);
    }
    puffer.close();
    if (pdf->isEmpty()) {
        if (fehler) *fehler = QStringLiteral("Das PDF %1 konnte nicht erzeugt werden.").arg(was);
        return false;
    }
    return true;
}
