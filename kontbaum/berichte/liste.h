// The list every report other than the balance list produces: a title,
// typed columns and rows, and the ways a user takes it away (the plain-text
// page, CSV for a spreadsheet, HTML and PDF for paper). A report fills one
// BerichtListe from the ledger; how it is shown is decided here once, so all
// reports print, export and paginate alike.
#pragma once

#include "host/app/printstring.h"
#include "host/values/date.h"
#include "host/values/euro.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class BerichtListe;

// A row holds one value per column: QString for Text, qlonglong for Zahl
// (a double for a rate, shown with two decimals and written as such to
// JSON), double (already rounded to the cent) for Betrag, QDate for Datum;
// a bool in any column reads "ja"/"nein" and is true/false in JSON; a null
// QVariant leaves the cell empty, a QString in a number or amount column is
// shown as given. `summe` marks a total row.
struct BerichtZeile {
    QList<QVariant> werte;
    bool summe = false;
};

// Takes the rows of a list as they are made (the writers of
// listenschreiber.h): the head once before the first row, then each row.
class BerichtSenke {
public:
    virtual ~BerichtSenke() = default;
    virtual void anfang(const BerichtListe& kopf) = 0;
    virtual void zeile(const BerichtListe& kopf, const BerichtZeile& z) = 0;
};

struct BerichtSpalte {
    enum Art { Text, Zahl, Betrag, Datum };
    QString kopf;        // heading of the page and the CSV
    QString schluessel;  // the key a machine reader (JSON) uses
    Art art = Text;
    int breite = 10;     // characters on the plain-text page
    // Betrag columns only: printed pages carry the column's sum since the
    // last total row forward ("Übertrag").
    bool uebertrag = false;
    // CSV: the field always in quotes (lists whose readers expect it so).
    bool zitiert = false;
};

class BerichtListe {
public:
    QString titel;
    QString untertitel;  // period, account range, … ("" for none)
    QList<BerichtSpalte> spalten;

    using Zeile = BerichtZeile;
    // The rows, when no sink takes them.
    QList<Zeile> zeilen;

    void spalte(const QString& kopf, const QString& schluessel, BerichtSpalte::Art art, int breite) {
        spalten.append({kopf, schluessel, art, breite});
    }
    void zeile(const QList<QVariant>& werte, bool summe = false);
    // The rows that are not totals.
    int anzahl() const;

    // From here on the rows go to `senke` as they are made and are not
    // kept, so a list of any length takes the memory of one row. Set before
    // the first row; the title and columns must stand by then.
    void schreibeNach(BerichtSenke* senke) { m_senke = senke; }
    // Hands the head to the sink if no row has done so (an empty list).
    void kopfSenden();

    // The text of a cell as page, CSV and HTML show it (amounts "1.234,56",
    // dates "dd.mm.yyyy").
    QString zelle(const Zeile& z, int spalte) const;
    // The plain-text page.
    void drucke(zPrintString& p) const;
    // One heading line, then one line per row; ';' separated, decimal
    // comma, text fields quoted when they hold ';', '"' or a line break.
    QString csv() const;
    QString html(const QString& firma) const;
    // A4 landscape PDF with the look of html(), laid out page by page with
    // the column heads on every page and the carried-forward sums; needs
    // the program's graphics side (QGuiApplication), refused with a German
    // reason otherwise.
    bool pdf(const QString& firma, QByteArray* out, QString* fehler) const;

private:
    BerichtSenke* m_senke = nullptr;
    bool m_kopfGesendet = false;
    int m_gesendet = 0;  // rows handed to the sink that are not totals
};
