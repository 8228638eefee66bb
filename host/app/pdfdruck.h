// HTML printed on A4 pages as a PDF, for every printout of the program (cash
// book, report lists, invoices): one place that knows the writer's settings.
#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QString>

// Prints `html` into `pdf` (replaced) with `titel` as the document title,
// landscape when `quer`, with the margins `raenderMm` in millimetres. Qt's
// PDF writer needs a QGuiApplication, which the program starts (under the
// offscreen platform) only when a PDF is asked for. False and a German
// reason in `fehler` without it or when nothing was written; `was` names the
// printout in that reason ("des Kassenbuchs"). With `archiv` the file is
// PDF/A-1b (fonts embedded, sRGB output intent, no transparency): the base
// of an archivable document.
bool rsHtmlAlsPdf(const QString& html, const QString& titel, bool quer, const QMarginsF& raenderMm, const QString& was,
                  QByteArray* pdf, QString* fehler, bool archiv = false);
