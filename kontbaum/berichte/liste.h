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
#include <QPair>
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

// How the plain-text page sets a list whose page users and scripts have
// long read in a form of its own, rather than as the table of its columns
// (title, heads over the columns, a rule, one blank between columns). CSV,
// JSON and PDF keep to the columns.
struct BerichtSeite {
    // One field of a line: a value of the row, padded as the page wants it.
    struct Feld {
        // Value `wert` of the row, padded to `breite` (0: as long as it is),
        // to the right or the left, after `vor` (empty: one blank between
        // fields). A value one past the list's columns is for the page only
        // (two values in one field).
        Feld(int wert, int breite = 0, bool rechts = false, const QString& vor = QString())
            : wert(wert), breite(breite), rechts(rechts), vor(vor) {}
        Feld& mitKopf(const QString& k) { return kopf = k, *this; }
        Feld& gekuerzt() { return kuerzen = true, *this; }
        Feld& mitNullen() { return fuellung = QLatin1Char('0'), *this; }
        Feld& nullLeer() { return nullIstLeer = true, *this; }
        Feld& leerAls(const QString& t) { return leer = t, *this; }

        int wert;
        int breite;
        bool rechts;
        QString vor;
        QString kopf;                       // its head where the heads are made from the fields
        bool kuerzen = false;               // a text longer than its width is cut to it
        QChar fuellung = QLatin1Char(' ');  // a right-aligned field padded with '0' (account "0027")
        bool nullIstLeer = false;           // the number 0 shows as an empty field (no tax key)
        QString leer;                       // what an empty value shows ("–")
    };
    // The fields of a line; none: the table of the columns.
    QList<Feld> felder;
    // Lines only, set exactly as the fields say: no title, no rule, blanks at
    // the end kept, `kopfzeile` (if any) the one line above them.
    bool nurZeilen = false;
    QString kopfzeile;
    // The table's subtitle on the page (JSON and PDF keep it either way).
    bool untertitel = true;
    // A line above the heads naming groups of fields, each name centred
    // over its fields: (name, number of fields).
    QList<QPair<QString, int>> gruppen;
};

class BerichtListe {
public:
    QString titel;
    QString untertitel;  // period, account range, … ("" for none)
    QList<BerichtSpalte> spalten;
    // The plain-text page where it is not the table of the columns.
    BerichtSeite seite;

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
    // The text of a field of the page (BerichtSeite::Feld): `inhalt` as it
    // reads, `feld` padded to its width.
    QString inhalt(const Zeile& z, const BerichtSeite::Feld& f) const;
    QString feld(const Zeile& z, const BerichtSeite::Feld& f) const;
    // The fields of the page: those of `seite`, or one per column.
    QList<BerichtSeite::Feld> seitenfelder() const;
    // The plain-text page held whole, as a table: the fields of `seite`
    // (or the columns) with their heads and groups.
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
