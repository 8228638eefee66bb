#include "host/app/printstring.h"

#include <QRegularExpression>

namespace {
// A text is cut to its column; a figure never is (cut, it would read as
// another figure): it widens its column instead.
QString feld(const QString& t, int breite, bool rechts) {
    return rechts ? t.rightJustified(breite) : t.left(breite).leftJustified(breite);
}
}  // namespace

QString zPrintString::text() const {
    int gesamt = 0;
    for (const Spalte& s : m_spalten) gesamt += s.breite + 1;
    gesamt = qMax(gesamt - 1, m_titel.size());
    QString out;
    if (!m_titel.isEmpty()) out += m_titel + QLatin1Char('\n');
    if (!m_untertitel.isEmpty()) out += m_untertitel + QLatin1Char('\n');
    if (!m_titel.isEmpty() || !m_untertitel.isEmpty()) out += QLatin1Char('\n');
    if (!m_gruppen.isEmpty()) {
        QString z;
        int spalte = 0;
        for (const auto& g : m_gruppen) {
            int breite = -1;
            for (int i = 0; i < g.second && spalte < m_spalten.size(); ++i, ++spalte) breite += m_spalten[spalte].breite + 1;
            const int rand = qMax(0, breite - g.first.size());
            z += QString(rand / 2, QLatin1Char(' ')) + g.first.left(qMax(0, breite)) + QString(rand - rand / 2, QLatin1Char(' ')) +
                 QLatin1Char(' ');
        }
        out += z.trimmed().isEmpty() ? QString() : QString(z).remove(QRegularExpression(QStringLiteral("\\s+$"))) + QLatin1Char('\n');
    }
    QStringList kopf;
    for (const Spalte& s : m_spalten) kopf << feld(s.kopf.left(s.breite), s.breite, s.rechts);
    out += kopf.join(QLatin1Char(' ')).trimmed() + QLatin1Char('\n');
    out += QString(gesamt, QLatin1Char('-')) + QLatin1Char('\n');
    for (const QStringList& z : m_zeilen) {
        if (z.size() == 1 && z.first() == QLatin1String("\x01")) {
            out += QString(gesamt, QLatin1Char('-')) + QLatin1Char('\n');
            continue;
        }
        QStringList teile;
        for (int i = 0; i < m_spalten.size(); ++i) teile << feld(z.value(i), m_spalten[i].breite, m_spalten[i].rechts);
        QString zeile = teile.join(QLatin1Char(' '));
        while (zeile.endsWith(QLatin1Char(' '))) zeile.chop(1);
        out += zeile + QLatin1Char('\n');
    }
    return out;
}
