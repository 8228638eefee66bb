// The Anlage EÜR line by line (see euerformular.h).
#include "kontbaum/steuer/euerformular.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/fall/kontbaum.h"

#include <QHash>

#include <algorithm>

namespace EuerFormular {

QList<Zeile> zeilen(DBConnection* db) {
    QList<Zeile> z;
    if (!db) return z;
    const QMap<QString, EuroType> werte = Kont_::berechneFormularwerte(QStringLiteral("EUR"), 3);
    QHash<QString, QPair<int, QString>> form;
    rsDataSource rs(db, QStringLiteral("SELECT Kennziffer, Variable, Bezeichnung FROM eurFormulare WHERE Formular=3 AND Variable<>''"));
    for (; !rs.isEOF(); rs.fetch())
        form.insert(rs.field(QStringLiteral("Variable")).toString(),
                    {rs.field(QStringLiteral("Kennziffer")).toInt(), rs.field(QStringLiteral("Bezeichnung")).toString()});
    for (auto it = werte.constBegin(); it != werte.constEnd(); ++it) {
        const bool summe = it.key().startsWith(QLatin1String("eur1_"));
        if (!summe && it.value().isNull()) continue;
        const auto f = form.value(it.key());
        // The lines of profit accounts that name no line of the form.
        QString text = f.second;
        if (text.isEmpty() && it.key() == QLatin1String("eur2_UebrigeEinnahmen")) text = QStringLiteral("Übrige Betriebseinnahmen (Konten ohne Zeile des Formulars)");
        if (text.isEmpty() && it.key() == QLatin1String("eur3_UebrigeAusgaben")) text = QStringLiteral("Übrige Betriebsausgaben (Konten ohne Zeile des Formulars)");
        z.append({f.first, it.key(), text.isEmpty() ? it.key() : text, it.value(), summe});
    }
    // The income (eur2_) before the expenses (eur3_), each by code, the
    // totals of page 1 after them in the form's order.
    auto rang = [](const Zeile& x) { return x.summe ? 2 : x.variable.startsWith(QLatin1String("eur3")) ? 1 : 0; };
    std::stable_sort(z.begin(), z.end(), [&](const Zeile& a, const Zeile& b) {
        if (rang(a) != rang(b)) return rang(a) < rang(b);
        // The lines without a code of their own close their side.
        if ((a.kennziffer == 0) != (b.kennziffer == 0)) return b.kennziffer == 0;
        return a.kennziffer < b.kennziffer;
    });
    return z;
}

void liste(const QList<Zeile>& z, int jahr, BerichtListe* l) {
    *l = BerichtListe();
    l->titel = QStringLiteral("Anlage EÜR %1").arg(jahr);
    l->spalte(QStringLiteral("Kz."), QStringLiteral("kennziffer"), BerichtSpalte::Zahl, 4);
    l->spalte(QStringLiteral("Bezeichnung"), QStringLiteral("bezeichnung"), BerichtSpalte::Text, 70);
    l->spalte(QStringLiteral("Betrag"), QStringLiteral("betrag"), BerichtSpalte::Betrag, 14);
    for (const Zeile& x : z) l->zeile({x.kennziffer ? QVariant(qlonglong(x.kennziffer)) : QVariant(), x.text, x.betrag.alsDouble()}, x.summe);
}

}  // namespace EuerFormular
