// zPrintString: the print stream of the reports. A report writes a title,
// column definitions and rows; the stream renders them as a plain-text page
// (fixed-width columns, right-aligned amounts) that a terminal, a text file
// or a printer spooler can take as it is.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class zPrintString {
public:
    struct Spalte {
        QString kopf;
        int breite;
        bool rechts;  // right-aligned (amounts)
    };
    void setTitel(const QString& titel) { m_titel = titel; }
    void setUntertitel(const QString& t) { m_untertitel = t; }
    // A heading row spanning column groups, e.g. "Anfangssaldo" over two columns.
    void setGruppen(const QList<QPair<QString, int>>& gruppen) { m_gruppen = gruppen; }
    void setSpalten(const QList<Spalte>& spalten) { m_spalten = spalten; }
    void zeile(const QStringList& felder) { m_zeilen.append(felder); }
    void trenner() { m_zeilen.append(QStringList{QStringLiteral("\x01")}); }
    int zeilen() const { return m_zeilen.size(); }
    // The rendered page. Over-long values are cut to their column.
    QString text() const;

private:
    QString m_titel, m_untertitel;
    QList<QPair<QString, int>> m_gruppen;
    QList<Spalte> m_spalten;
    QList<QStringList> m_zeilen;
};
