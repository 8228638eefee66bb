// The report indexes and the line condition (see indizes.h).
#include "kontbaum/berichte/indizes.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QHash>
#include <QStringList>

namespace {

struct Index {
    const char* name;
    const char* definition;  // what follows the name in CREATE INDEX
};

// The same definitions as in data/template/020_buchungen.sql; a test
// compares the two, so a change in one place cannot go unnoticed.
const Index kIndizes[] = {
    {"idx_eurVerbuchtBZ_KontoSteuer",
     "ON eurVerbuchtBuchungszeilen (Konto, Steuerschluessel, Haben, Gegenkonto, Buchungsnummer, Betrag)"},
    {"idx_eurVerbucht_UStID", "ON eurVerbucht (UStID, ZMArt)"},
    {"idx_eurVerbucht_Storno", "ON eurVerbucht (Buchungsnummer) WHERE (Storno=0 AND Storniert=0) IS NOT 1"},
    {"idx_eurVerbucht_Belegnummer", "ON eurVerbucht (Belegnummer, Belegdatum)"},
};

// Superseded by the first column of idx_eurVerbuchtBZ_KontoSteuer; keeping
// it would only cost every posting an index update.
const char* const kErsetzt = "idx_eurVerbuchtBZ_Konto";

// SQLite keeps the text of CREATE INDEX as written (without IF NOT EXISTS);
// spacing and case do not change what an index is.
QString normalform(const QString& sql) {
    QString s;
    for (const QChar c : sql)
        if (!c.isSpace()) s += c.toLower();
    return s;
}

QString erwartet(const Index& i) {
    return normalform(QStringLiteral("CREATE INDEX ") + QLatin1String(i.name) + QLatin1Char(' ') + QLatin1String(i.definition));
}

}  // namespace

bool Berichte::indizesSicherstellen(DBConnection* db) {
    if (!db || !db->isOpen()) return false;
    QStringList namen{QString::fromLatin1(kErsetzt)};
    for (const Index& i : kIndizes) namen << QString::fromLatin1(i.name);
    QStringList literale;
    for (const QString& n : namen) literale << rsDataSource::toSqlStr(n);
    QHash<QString, QString> vorhanden;  // name -> normalised definition
    {
        rsDataSource rs(db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='index' AND name IN (") +
                                literale.join(QLatin1Char(',')) + QLatin1Char(')'));
        if (rs.isError()) return false;
        for (; !rs.isEOF(); rs.fetch())
            vorhanden.insert(rs.field(QStringLiteral("name")).toString(), normalform(rs.field(QStringLiteral("sql")).toString()));
    }
    bool ok = true;
    bool kontoSteuer = false;
    for (const Index& i : kIndizes) {
        const QString name = QString::fromLatin1(i.name);
        auto it = vorhanden.constFind(name);
        if (it != vorhanden.constEnd() && *it == erwartet(i)) {
            kontoSteuer = kontoSteuer || name == QLatin1String("idx_eurVerbuchtBZ_KontoSteuer");
            continue;
        }
        // An index of this name in another form (an older or narrower one)
        // gives way to the template's.
        if (it != vorhanden.constEnd() && !ExecSQL(db, QStringLiteral("DROP INDEX IF EXISTS ") + name)) {
            ok = false;
            continue;
        }
        if (!ExecSQL(db, QStringLiteral("CREATE INDEX IF NOT EXISTS ") + name + QLatin1Char(' ') + QLatin1String(i.definition))) {
            ok = false;
            continue;
        }
        kontoSteuer = kontoSteuer || name == QLatin1String("idx_eurVerbuchtBZ_KontoSteuer");
    }
    // The account index goes only once its replacement stands, so a failed
    // step never leaves the ledger without an index by account.
    if (kontoSteuer && vorhanden.contains(QString::fromLatin1(kErsetzt)))
        ok = ExecSQL(db, QStringLiteral("DROP INDEX IF EXISTS ") + QString::fromLatin1(kErsetzt)) && ok;
    return ok;
}

int Berichte::kontenMitZeilen(DBConnection* db, unsigned long von, unsigned long bis, int hoechstens) {
    int n = 0;
    DatenTyp naechstes = QueryPrepared(db, QStringLiteral("SELECT MIN(Konto) FROM eurVerbuchtBuchungszeilen WHERE Konto>=? AND Konto<=?"),
                                       {DatenTyp(qlonglong(von)), DatenTyp(qlonglong(bis))})
                             .value(0);
    while (!naechstes.isNull() && n <= hoechstens) {
        ++n;
        naechstes = QueryPrepared(db, QStringLiteral("SELECT MIN(Konto) FROM eurVerbuchtBuchungszeilen WHERE Konto>? AND Konto<=?"),
                                  {naechstes, DatenTyp(qlonglong(bis))})
                        .value(0);
    }
    return n;
}

QString Berichte::gebuchteZeilen(DBConnection* db, bool ohneStorno, const QString& kopf) {
    if (!kopf.isEmpty()) {
        // A period: the list of bookings that count is built once; the unary
        // plus keeps the planner from turning it into a search per booking,
        // which would give up the index order of the sums.
        const QString bed = ohneStorno ? QStringLiteral("Storno=0 AND Storniert=0 AND (") + kopf + QLatin1Char(')') : kopf;
        return QStringLiteral("(+z.Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") + bed + QStringLiteral("))");
    }
    // The whole ledger: every line but those of the few bookings that do not
    // count, which are looked for first: cancelled ones through the partial
    // index ("IS NOT 1" also counts a NULL flag as not "0 and 0", as the
    // join's condition does), and numbers without a header, read in number
    // order with one rowid search each. Usually there are none, and the sums
    // then read the index without a test per line.
    QString aus = QStringLiteral("SELECT x.Buchungsnummer FROM eurVerbuchtBuchungszeilen x WHERE x.Buchungsnummer NOT IN "
                                 "(SELECT Buchungsnummer FROM eurVerbucht)");
    if (ohneStorno)
        aus = QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE (Storno=0 AND Storniert=0) IS NOT 1 UNION ALL ") + aus;
    constexpr int kHoechstensLiterale = 1000;
    QStringList nummern;
    {
        rsDataSource rs(db, aus + QStringLiteral(" LIMIT ") + rsDataSource::toSqlStr(kHoechstensLiterale + 1));
        for (; !rs.isEOF(); rs.fetch()) nummern << rsDataSource::toSqlStr(rs.getFields()->getField(0).toLongLong());
    }
    QStringList teile;
    // A line without a number has no header; NOT IN keeps it when the list
    // is empty.
    if (!GetDatenTyp(db, QStringLiteral("SELECT 1 FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer IS NULL LIMIT 1")).isNull())
        teile << QStringLiteral("z.Buchungsnummer IS NOT NULL");
    if (nummern.size() > kHoechstensLiterale)
        teile << QStringLiteral("z.Buchungsnummer NOT IN (") + aus + QLatin1Char(')');
    else if (!nummern.isEmpty())
        teile << QStringLiteral("z.Buchungsnummer NOT IN (") + nummern.join(QLatin1Char(',')) + QLatin1Char(')');
    return teile.isEmpty() ? QStringLiteral("1") : QLatin1Char('(') + teile.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}

QString Berichte::centSumme() { return QStringLiteral("SUM(ROUND(z.Betrag*100))"); }
