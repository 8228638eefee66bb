// dalvo accounts / dalvo keys: the chart of accounts and the tax keys.
#include "app/befehle.h"
#include "app/cli.h"
#include "app/fall.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {
QJsonObject kontoJson(const rsFields& f) {
    QJsonObject o;
    o[QStringLiteral("nummer")] = qint64(f.getField(QStringLiteral("Nummer")).toLongLong());
    o[QStringLiteral("bezeichnung")] = f.getField(QStringLiteral("Bezeichnung")).toString();
    o[QStringLiteral("kategorie")] = qint64(f.getField(QStringLiteral("Kategorie")).toLongLong());
    o[QStringLiteral("steuerschluessel")] = qint64(f.getField(QStringLiteral("Steuerschluessel")).toLongLong());
    o[QStringLiteral("aktiv")] = f.getField(QStringLiteral("Aktiv")).toLongLong() != 0;
    return o;
}
}  // namespace

int cmdAccounts(const QStringList& args) {
    const QString n = QStringLiteral("accounts");
    Args a(args, {QStringLiteral("--search")}, {QStringLiteral("--all"), QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    if (a.has(QStringLiteral("--search")) && a.value(QStringLiteral("--search")).trimmed().isEmpty())
        return usageError(n, QStringLiteral("--search braucht einen Suchtext."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        DBConnection* db = kg->GetDBConnect_Ptr();
        QString where;
        if (a.has(QStringLiteral("--search"))) {
            // Every hit of the module's search (number or part of the name).
            QStringList treffer;
            unsigned long nr = 0;
            kg->searchForAccount(nr, a.value(QStringLiteral("--search")), QStringLiteral("Bezeichnung"),
                                 QStringLiteral("part"), false);
            while (nr != 0) {
                treffer << QString::number(nr);
                kg->searchForAccount(nr, a.value(QStringLiteral("--search")), QStringLiteral("Bezeichnung"),
                                     QStringLiteral("part"), true);
            }
            where = QStringLiteral(" WHERE Nummer IN (") + (treffer.isEmpty() ? QStringLiteral("-1") : treffer.join(QLatin1Char(','))) +
                    QStringLiteral(")");
        } else if (!a.has(QStringLiteral("--all"))) {
            where = QStringLiteral(" WHERE Aktiv<>0");
        }
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, Bezeichnung, Kategorie, Steuerschluessel, Steuerautomatik, Aktiv "
                                           "FROM eurKontenplan") + where + QStringLiteral(" ORDER BY Nummer"));
        if (a.has(QStringLiteral("--json"))) {
            QJsonArray liste;
            for (; !rs.isEOF(); rs.fetch()) liste.append(kontoJson(*rs.getFields()));
            out(QString::fromUtf8(QJsonDocument(liste).toJson(QJsonDocument::Indented)));
            return int(Ok);
        }
        out(QStringLiteral("Nr.  Bezeichnung                                         Kat.  StS  aktiv\n"));
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const unsigned long schl = f.getField(QStringLiteral("Steuerschluessel")).toULong();
            out(QStringLiteral("%1 %2 %3  %4  %5\n")
                    .arg(f.getField(QStringLiteral("Nummer")).toULong(), 4, 10, QLatin1Char('0'))
                    .arg(f.getField(QStringLiteral("Bezeichnung")).toString().left(50), -50)
                    .arg(f.getField(QStringLiteral("Kategorie")).toULong(), 4)
                    .arg(schl ? QString::number(schl) : QString(), 3)
                    .arg(f.getField(QStringLiteral("Aktiv")).toLongLong() != 0 ? QStringLiteral("ja") : QStringLiteral("nein")));
        }
        return int(Ok);
    });
}

int cmdKeys(const QStringList& args) {
    const QString n = QStringLiteral("keys");
    Args a(args, {}, {QStringLiteral("--json")});
    if (!a.ok()) return usageError(n, a.error());
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        rsDataSource rs(fall.kg()->GetDBConnect_Ptr(),
                        QStringLiteral("SELECT Steuerschluessel, Bezeichnung, Steuersatz, Steuerart, Aktiv FROM eurSteuerschluessel "
                                       "ORDER BY Sortierung, Steuerschluessel"));
        QJsonArray liste;
        if (!a.has(QStringLiteral("--json")))
            out(QStringLiteral("StS     Satz  Art  aktiv  Bezeichnung\n"));
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const double satz = EuroType(f.getField(QStringLiteral("Steuersatz")).toDouble()).Runden(2);
            const QString art = f.getField(QStringLiteral("Steuerart")).toString().trimmed().left(1);
            const bool aktiv = f.getField(QStringLiteral("Aktiv")).toLongLong() != 0;
            if (a.has(QStringLiteral("--json"))) {
                QJsonObject o;
                o[QStringLiteral("steuerschluessel")] = qint64(f.getField(QStringLiteral("Steuerschluessel")).toLongLong());
                o[QStringLiteral("bezeichnung")] = f.getField(QStringLiteral("Bezeichnung")).toString();
                o[QStringLiteral("steuersatz")] = satz;
                o[QStringLiteral("steuerart")] = art;
                o[QStringLiteral("aktiv")] = aktiv;
                liste.append(o);
            } else {
                out(QStringLiteral("%1  %2  %3    %4   %5\n")
                        .arg(f.getField(QStringLiteral("Steuerschluessel")).toULong(), 3)
                        .arg(QString::number(satz, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')), 6)
                        .arg(art, 1)
                        .arg(aktiv ? QStringLiteral("ja  ") : QStringLiteral("nein"))
                        .arg(f.getField(QStringLiteral("Bezeichnung")).toString()));
            }
        }
        if (a.has(QStringLiteral("--json"))) out(QString::fromUtf8(QJsonDocument(liste).toJson(QJsonDocument::Indented)));
        return int(Ok);
    });
}

}  // namespace cli
