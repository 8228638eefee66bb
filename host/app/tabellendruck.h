// A long table printed as PDF page by page: the title block on the first
// page, the column heads on every page, the page number at the foot, and a
// carried-forward line ("Übertrag") at the foot of a page and the head of
// the next where the caller keeps sums. Each page is laid out and drawn
// when its rows arrive and never again, so printing takes time in
// proportion to the rows. Looks like the HTML tables of pdfdruck.h: 8 pt
// sans serif, grey heads, bold totals with a rule above, closing rows in
// grey italics.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>

#include <memory>

class QPainter;
class QPdfWriter;

struct TabellenSpalte {
    QString kopf;
    int breite = 10;     // share of the line, in characters
    bool rechts = false; // numbers and amounts
};

class TabellenDruck {
public:
    enum Art { Normal, Summe, Abschluss };

    // Starts the document in `pdf` (replaced). Needs a QGuiApplication;
    // without one ok() is false with the German reason, and nothing is drawn.
    TabellenDruck(QByteArray* pdf, const QString& titel, bool quer, const QMarginsF& raenderMm);
    // The same into an open device (a file, standard output), written as
    // the pages are done: memory stays flat however long the table.
    TabellenDruck(QIODevice* ziel, const QString& titel, bool quer, const QMarginsF& raenderMm);
    ~TabellenDruck();
    bool ok(QString* fehler) const;

    // The block above the table on the first page: a heading and lines
    // (firm, period); then the columns. Both before the first row.
    void kopf(const QString& ueberschrift, const QStringList& zeilen);
    void spalten(const QList<TabellenSpalte>& spalten);
    // One row; `uebertrag` is what a page ending after it carries forward
    // (one text per column, empty ones left blank; an empty list carries
    // nothing).
    void zeile(const QStringList& felder, Art art = Normal, const QStringList& uebertrag = QStringList());
    // Ends the document; false with `was` in the German reason when nothing
    // was written.
    bool beenden(const QString& was, QString* fehler);

private:
    void einrichten(QIODevice* ziel, const QString& titel, bool quer, const QMarginsF& raenderMm);
    void seiteBeginnen();
    void seiteBeenden();
    void kopfzeile();
    void zeichne(const QStringList& felder, Art art);
    double zeilenhoehe() const;

    QByteArray* m_pdf = nullptr;
    QIODevice* m_ziel = nullptr;
    QBuffer m_puffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    QString m_fehler;
    QFont m_schrift, m_fett, m_kursiv, m_titel;
    mutable double m_zeilenhoehe = -1;  // measured once: every row has the same height
    QList<TabellenSpalte> m_spalten;
    QList<double> m_links, m_breiten;  // x and width of each column
    QString m_ueberschrift;
    QStringList m_kopfzeilen;
    QStringList m_uebertrag;
    double m_breite = 0, m_hoehe = 0, m_y = 0;
    int m_seite = 0;
    bool m_offen = false;  // a page is begun
};
