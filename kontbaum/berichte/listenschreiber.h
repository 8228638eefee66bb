// The one writer per output form of a list (BerichtListe): the plain-text
// page, CSV, JSON and PDF. Each takes the head, then the rows one at a time
// as the list is read, and writes them on at once, so the memory a list
// takes does not grow with its rows. A report fills a list with a writer
// as its sink (BerichtListe::schreibeNach); a list already held whole goes
// the same way through schreibe().
#pragma once

#include "host/app/jsontext.h"
#include "kontbaum/berichte/liste.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;
class QTemporaryFile;
class TabellenDruck;

// Where the bytes of a list go (standard output, a file); false when they
// could not be written.
using ListenZiel = std::function<bool(const QByteArray&)>;

class ListenSchreiber : public BerichtSenke {
public:
    explicit ListenSchreiber(ListenZiel ziel) : m_ziel(std::move(ziel)) {}
    ~ListenSchreiber() override;
    void anfang(const BerichtListe& kopf) override;
    void zeile(const BerichtListe& kopf, const BerichtZeile& z) override;
    // Writes the end of the document (for a list without rows the head
    // before it) and what is still held; false with a German reason when
    // the output could not be written.
    bool beenden(const BerichtListe& kopf, QString* fehler);
    // A list held whole: head, every row, end.
    bool schreibe(const BerichtListe& l, QString* fehler);

protected:
    virtual void kopfSchreiben(const BerichtListe& kopf) = 0;
    virtual void zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) = 0;
    virtual bool schluss(const BerichtListe& kopf, QString* fehler);
    // Buffered: the target sees blocks of some 64 kB, never one call a row.
    void schreibe(const QByteArray& b);
    bool leeren();

private:
    ListenZiel m_ziel;
    QByteArray m_puffer;
    bool m_begonnen = false, m_fehler = false;
};

// The page to read: title, period, column heads, a rule, one line a row
// with amounts to the right; a rule above each total. A list that sets
// its page field by field (BerichtListe::seite) gets that page instead.
class TextSchreiber : public ListenSchreiber {
public:
    using ListenSchreiber::ListenSchreiber;

protected:
    void kopfSchreiben(const BerichtListe& kopf) override;
    void zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) override;

private:
    QList<BerichtSeite::Feld> m_felder;
    bool m_nurZeilen = false;
    int m_gesamt = 0, m_zeilen = 0;
};

// CSV for a spreadsheet: one heading line, then one line a row; ';'
// separated, decimal comma, fields quoted as RFC 4180 asks.
class CsvSchreiber : public ListenSchreiber {
public:
    // Without `kopfzeile` the rows only (a list whose readers take no
    // heading).
    explicit CsvSchreiber(ListenZiel ziel, bool kopfzeile = true) : ListenSchreiber(std::move(ziel)), m_kopfzeile(kopfzeile) {}
    // A field quoted when it holds ';', '"', a line feed or a carriage
    // return, its quotes doubled.
    static QString feld(const QString& text);
    static QByteArray zeilenText(const QStringList& felder);

protected:
    void kopfSchreiben(const BerichtListe& kopf) override;
    void zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) override;

private:
    bool m_kopfzeile = true;
};

// One JSON document: the fields of the head (`kopf`, e.g. bericht, von,
// bis), titel, untertitel, the totals as "summen" and the rows as "zeilen",
// each row an object with a member per column under its key. Members stand
// in the order of their keys, as they always have; since "summen" comes
// before "zeilen" while totals may come last, the rows wait in a temporary
// file once they pass a megabyte, not in memory.
class JsonSchreiber : public ListenSchreiber {
public:
    // Without `listenkopf` the document holds the fields of `kopf` and the
    // rows only (no titel, untertitel, summen).
    JsonSchreiber(ListenZiel ziel, JsonText::Felder kopf, bool listenkopf = true);
    // The document is the list of the rows alone ([{…}, …]), written as
    // they come; total rows are left out.
    static std::unique_ptr<JsonSchreiber> nurZeilen(ListenZiel ziel);
    ~JsonSchreiber() override;
    // The value of a cell as JSON: amounts with two decimals, numbers,
    // dates as dd.mm.yyyy, a bool true/false, an empty cell null.
    static QByteArray wert(const BerichtSpalte& s, const QVariant& v);

protected:
    void kopfSchreiben(const BerichtListe& kopf) override;
    void zeileSchreiben(const BerichtListe& kopf, const BerichtZeile& z) override;
    bool schluss(const BerichtListe& kopf, QString* fehler) override;

private:
    void zeilenAblegen(const QByteArray& b);

    JsonText::Felder m_kopf;
    QVector<int> m_ordnung;  // the columns in the order of their keys, a key given twice once (the last)
    QVector<QByteArray> m_schluessel;
    QVector<QByteArray> m_summen;
    QByteArray m_zeilen;
    std::unique_ptr<QTemporaryFile> m_ablage;
    bool m_listenkopf = true;
    bool m_nurZeilen = false;
    bool m_ersteZeile = true, m_ablageFehler = false;
};

// A4 landscape PDF, laid out a page at a time: the title block on the
// first page, the column heads on every page, the page number at the foot
// and the sums carried forward ("Übertrag") for amount columns that ask for
// it. Needs the program's graphics side (QGuiApplication); without it
// beenden() is false with the German reason.
class PdfSchreiber : public BerichtSenke {
public:
    // Into a device (a file, standard output) or a byte array.
    PdfSchreiber(QIODevice* ziel, const QString& firma);
    PdfSchreiber(QByteArray* ziel, const QString& firma);
    ~PdfSchreiber() override;
    void anfang(const BerichtListe& kopf) override;
    void zeile(const BerichtListe& kopf, const BerichtZeile& z) override;
    bool beenden(const BerichtListe& kopf, QString* fehler);
    bool schreibe(const BerichtListe& l, QString* fehler);

private:
    QIODevice* m_geraet = nullptr;
    QByteArray* m_bytes = nullptr;
    QString m_firma;
    std::unique_ptr<TabellenDruck> m_druck;
    QList<int> m_summiert;
    int m_beschriftung = -1;
    QVector<qint64> m_cent;
};
