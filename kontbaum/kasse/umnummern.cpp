#include "kontbaum/kasse/umnummern.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/db/faecher.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace Kasse {

namespace {

QString einfuegen(const QString& tabelle, const QStringList& spalten) {
    QStringList marken;
    for (int i = 0; i < spalten.size(); ++i) marken << QStringLiteral("?");
    return QStringLiteral("INSERT INTO ") + tabelle + QStringLiteral(" (") + spalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
           marken.join(QStringLiteral(", ")) + QStringLiteral(")");
}

// A line waiting for the others of its compartment.
struct Zeile {
    unsigned long nummer;  // the new booking number
    qint64 id;             // its ID in the file: the order within a booking
    QVector<DatenTyp> werte;
};

}  // namespace

long kopiereUmnummeriert(const Umnummerung& u, unsigned long* naechste, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = QStringLiteral("Die Buchungen konnten nicht übernommen werden: ") + t;
        return -1L;
    };
    const int nrKopf = u.kopfSpalten.indexOf(QStringLiteral("Buchungsnummer"));
    const int nrZeile = u.zeilenSpalten.indexOf(QStringLiteral("Buchungsnummer"));
    if (nrKopf < 0 || nrZeile < 0) return nein(QStringLiteral("der Datei fehlt die Spalte Buchungsnummer."));

    // The headers, by date; on a day in the order of the file's numbers,
    // which the rows come in.
    std::vector<std::pair<unsigned long, unsigned long>> nummern;  // old, new
    const QString kopfSql = einfuegen(QStringLiteral("eurVerbucht"), u.kopfSpalten);
    bool lesefehler = false, schreibfehler = false;
    QVector<DatenTyp> kopf;
    const auto kopfSchreiben = [&](const QVector<DatenTyp>& zeile) {
        if (schreibfehler) return;
        kopf = zeile;
        nummern.emplace_back(kopf[nrKopf].toULong(), *naechste);
        kopf[nrKopf] = DatenTyp((*naechste)++);
        schreibfehler = !ExecPrepared(u.fall, kopfSql, kopf);
    };
    const QString kopfAuswahl = QStringLiteral("SELECT ") + u.kopfSpalten.join(QStringLiteral(", "));
    const bool geordnet = Tabellenfolge::inSchluesselfolge(
        u.datei, kopfAuswahl + QStringLiteral(", Belegdatum FROM eurVerbucht WHERE ") + u.bedingung, kopfSchreiben, &lesefehler);
    if (!geordnet && !lesefehler && !schreibfehler) {
        // No room for the compartments: SQLite sorts.
        rsDataSource rs(u.datei, kopfAuswahl + QStringLiteral(" FROM eurVerbucht WHERE ") + u.bedingung + QStringLiteral(" ORDER BY Belegdatum, Buchungsnummer"));
        QVector<DatenTyp> zeile(u.kopfSpalten.size());
        for (; !schreibfehler && !rs.isEOF(); rs.fetch()) {
            for (int i = 0; i < zeile.size(); ++i) zeile[i] = rs.getFields()->getField(i);
            kopfSchreiben(zeile);
        }
        lesefehler = rs.isError();
    }
    if (schreibfehler) return nein(u.fall->getErr()->last());
    if (lesefehler) return nein(u.datei->getErr()->last());
    if (nummern.empty()) return 0;
    const unsigned long erste = nummern.front().second;
    std::sort(nummern.begin(), nummern.end());

    // The lines, read booking by booking in the order of the old numbers,
    // go to compartments of a few hundred new numbers each; a compartment
    // is put in order in memory (new number, then ID) and written.
    const unsigned long proFach = std::max<unsigned long>(1, nummern.size() / 512 + 1);
    Faecher faecher(8 << 20);
    {
        Tabellenfolge::KleinerCache cache(u.datei);
        rsDataSource rs(u.datei, QStringLiteral("SELECT ID, ") + u.zeilenSpalten.join(QStringLiteral(", ")) +
                                     QStringLiteral(" FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") +
                                     u.bedingung + QStringLiteral(")"));
        QByteArray satz;
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const unsigned long alt = f.getField(1 + nrZeile).toULong();
            const auto it = std::lower_bound(nummern.cbegin(), nummern.cend(), std::make_pair(alt, 0UL));
            if (it == nummern.cend() || it->first != alt) continue;
            satz.clear();
            FachSatz s(&satz);
            s.zahl(qint64(it->second));
            s.zahl(f.getField(0).toLongLong());
            for (int i = 0; i < u.zeilenSpalten.size(); ++i) s.wert(i == nrZeile ? DatenTyp(it->second) : f.getField(1 + i));
            const QByteArray fach = QByteArray::number(qulonglong((it->second - erste) / proFach)).rightJustified(12, '0');
            if (!faecher.ablegen(fach, satz)) return nein(QStringLiteral("kein Platz für die temporäre Datei zum Ordnen der Buchungszeilen."));
        }
        if (rs.isError()) return nein(u.datei->getErr()->last());
    }
    const QString zeileSql = einfuegen(QStringLiteral("eurVerbuchtBuchungszeilen"), u.zeilenSpalten);
    std::vector<Zeile> fach;
    QByteArray aktuell;
    auto schreiben = [&]() {
        std::sort(fach.begin(), fach.end(), [](const Zeile& a, const Zeile& b) { return a.nummer != b.nummer ? a.nummer < b.nummer : a.id < b.id; });
        for (const Zeile& z : fach)
            if (!schreibfehler) schreibfehler = !ExecPrepared(u.fall, zeileSql, z.werte);
        fach.clear();
    };
    const bool gelesen = faecher.lesen([&](const QByteArray& schluessel, const QByteArray& satz) {
        if (schluessel != aktuell) {
            schreiben();
            aktuell = schluessel;
        }
        FachSatzLeser s(satz);
        Zeile z;
        z.nummer = (unsigned long)s.zahl();
        z.id = s.zahl();
        z.werte.reserve(u.zeilenSpalten.size());
        for (int i = 0; i < u.zeilenSpalten.size(); ++i) z.werte.append(s.wert());
        fach.push_back(std::move(z));
    });
    schreiben();
    if (!gelesen) return nein(QStringLiteral("die temporäre Datei zum Ordnen der Buchungszeilen konnte nicht gelesen werden."));
    if (schreibfehler) return nein(u.fall->getErr()->last());
    return long(nummern.size());
}

}  // namespace Kasse
