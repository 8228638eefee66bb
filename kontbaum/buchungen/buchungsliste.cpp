// The ledger as a list: the bookings of a period, with or without their
// lines, read in one statement and handed on one by one.
#include "kontbaum/buchungen/buchungen.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/db/faecher.h"

#include <algorithm>

namespace Buchungsliste {

namespace {
QString zeitraum(const QString& spalte, const zDate& von, const zDate& bis) {
    return QStringLiteral(" WHERE ") + spalte + QStringLiteral(">=") + rsDataSource::toSqlStr(von) + QStringLiteral(" AND ") + spalte +
           QStringLiteral("<=") + rsDataSource::toSqlStr(bis);
}

// The header but its voucher date, which is read once per date where the
// bookings come by date.
void kopfLesen(const rsFields& f, Buchung* b) {
    b->buchungsnummer = f.getField(0).toULong();
    b->buchungstext = f.getField(2).toString();
    b->betrag = f.getField(3).toEuro();
    b->buchungsart = f.getField(4).toInt();
    b->storno = f.getField(5).toLongLong() != 0;
    b->storniert = f.getField(6).toLongLong() != 0;
    b->belegnummer = f.getField(7).toString();
}

// A booking as a record of the compartments, about a seventh of its JSON.
void schreibeSatz(const Buchung& b, QByteArray* ziel) {
    FachSatz s(ziel);
    s.zahl(qint64(b.buchungsnummer));
    s.zahl(b.betrag.cent());
    s.zahl(b.buchungsart);
    s.zahl((b.storno ? 1 : 0) | (b.storniert ? 2 : 0));
    s.text(b.buchungstext);
    s.text(b.belegnummer);
    s.zahl(b.zeilen.size());
    for (const Zeile& z : b.zeilen) {
        s.zahl(z.konto);
        s.zahl(z.gegenkonto);
        s.zahl(z.betrag.cent());
        s.zahl(z.haben ? 1 : 0);
        s.zahl(z.steuerschluessel);
        s.zahl(z.steuerID);
        s.zahl(z.dialogzeile);
    }
}

void leseSatz(const QByteArray& satz, Buchung* b) {
    FachSatzLeser s(satz);
    b->buchungsnummer = (unsigned long)s.zahl();
    b->betrag = EuroType::ausCent(s.zahl());
    b->buchungsart = int(s.zahl());
    const qint64 merk = s.zahl();
    b->storno = merk & 1;
    b->storniert = merk & 2;
    b->buchungstext = s.text();
    b->belegnummer = s.text();
    const qint64 n = s.zahl();
    b->zeilen.resize(int(qBound<qint64>(0, n, satz.size())));
    for (Zeile& z : b->zeilen) {
        z.konto = s.zahl();
        z.gegenkonto = s.zahl();
        z.betrag = EuroType::ausCent(s.zahl());
        z.haben = s.zahl() != 0;
        z.steuerschluessel = s.zahl();
        z.steuerID = s.zahl();
        z.dialogzeile = int(s.zahl());
    }
}

// Groups the rows of `rs` into bookings: the header in columns 0 to 7,
// with `mitZeilen` a line in columns 8 to 15 (NULL for a booking without
// lines), the rows of a booking one after the other. The lines come in the
// order of their index (SteuerID, ID) and are put in ID order here, one
// booking at a time, which spares the database a sort per booking. Each
// booking goes to `je` with its voucher date as stored, and with
// `mitDatum` also as a date in the booking; `je` stops the reading with
// false. False when the rows could not be read to their end.
bool gruppieren(rsDataSource& rs, bool mitZeilen, bool mitDatum, const std::function<bool(const Buchung&, const DatenTyp&)>& je) {
    Buchung b;
    DatenTyp datum;
    QVector<qint64> ids;
    bool offen = false;
    auto fertig = [&]() {
        if (!offen) return true;
        if (!std::is_sorted(ids.cbegin(), ids.cend())) {
            QVector<int> folge(ids.size());
            for (int i = 0; i < folge.size(); ++i) folge[i] = i;
            std::sort(folge.begin(), folge.end(), [&](int x, int y) { return ids[x] < ids[y]; });
            QVector<Zeile> sortiert;
            sortiert.reserve(folge.size());
            for (int i : folge) sortiert.append(b.zeilen[i]);
            b.zeilen = sortiert;
        }
        return je(b, datum);
    };
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        if (!mitZeilen) {
            kopfLesen(f, &b);
            datum = f.getField(1);
            if (mitDatum) b.belegdatum = datum.toDate();
            if (!je(b, datum)) return true;
            continue;
        }
        const unsigned long nr = f.getField(0).toULong();
        if (!offen || nr != b.buchungsnummer) {
            if (!fertig()) return true;
            offen = true;
            kopfLesen(f, &b);
            datum = f.getField(1);
            if (mitDatum) b.belegdatum = datum.toDate();
            b.zeilen.clear();
            ids.clear();
        }
        if (f.getField(8).isNull()) continue;
        Zeile z;
        z.konto = f.getField(9).toLongLong();
        z.gegenkonto = f.getField(10).toLongLong();
        z.betrag = f.getField(11).toEuro();
        z.haben = f.getField(12).toBool();
        z.steuerschluessel = f.getField(13).toLongLong();
        z.steuerID = f.getField(14).toLongLong();
        z.dialogzeile = f.getField(15).toInt();
        ids.append(f.getField(8).toLongLong());
        b.zeilen.append(z);
    }
    fertig();
    return !rs.isError();
}

}  // namespace

bool lesen(DBConnection* db, const zDate& von, const zDate& bis, bool mitZeilen, const std::function<void(const Buchung&)>& je) {
    if (!db) return false;
    const QString spalten = QStringLiteral("SELECT h.Buchungsnummer, h.Belegdatum, h.Buchungstext, h.Betrag, h.Buchungsart, h.Storno, h.Storniert, "
                                           "h.Belegnummer") +
                            (mitZeilen ? QStringLiteral(", z.ID, z.Konto, z.Gegenkonto, z.Betrag, z.Haben, z.Steuerschluessel, z.SteuerID, "
                                                        "z.Dialogzeile")
                                       : QString());
    const QString zeilen = mitZeilen ? QStringLiteral(" LEFT JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=h.Buchungsnummer") : QString();
    const QString zeilenFolge = mitZeilen ? QStringLiteral(", z.SteuerID, z.ID") : QString();
    const QString bedingung = zeitraum(QStringLiteral("h.Belegdatum"), von, bis);
    if (Tabellenfolge::lohnt(db, QStringLiteral("eurVerbucht"), zeitraum(QStringLiteral("Belegdatum"), von, bis))) {
        // Front to back through the table, each booking into the
        // compartment of its voucher date; the table's order is the number
        // order the list keeps within a date.
        Faecher faecher;
        bool abgelegt = true;
        bool gelesen = false;
        {
            Tabellenfolge::KleinerCache cache(db);
            QByteArray satz;
            rsDataSource rs(db, spalten + QStringLiteral(" FROM eurVerbucht h NOT INDEXED") + zeilen + bedingung +
                                    QStringLiteral(" ORDER BY h.Buchungsnummer") + zeilenFolge);
            gelesen = gruppieren(rs, mitZeilen, false, [&](const Buchung& b, const DatenTyp& datum) {
                satz.clear();
                schreibeSatz(b, &satz);
                return abgelegt = faecher.ablegen(datum.toString().toUtf8(), satz);
            });
        }
        if (!gelesen) return false;
        if (abgelegt) {
            Buchung b;
            QByteArray tag;
            zDate datum;
            return faecher.lesen([&](const QByteArray& schluessel, const QByteArray& s) {
                if (schluessel != tag) {
                    tag = schluessel;
                    datum = DatenTyp(QString::fromUtf8(schluessel)).toDate();
                }
                leseSatz(s, &b);
                b.belegdatum = datum;
                je(b);
            });
        }
        // More dates than compartments, or no room for the temporary file:
        // the way through the date index takes neither.
    }
    rsDataSource rs(db, spalten + QStringLiteral(" FROM eurVerbucht h") + zeilen + bedingung + QStringLiteral(" ORDER BY h.Belegdatum, h.Buchungsnummer") +
                            zeilenFolge);
    return gruppieren(rs, mitZeilen, true, [&](const Buchung& b, const DatenTyp&) {
        je(b);
        return true;
    });
}

long anzahlGueltige(DBConnection* db) {
    if (!db) return 0;
    // All headers less the few cancelled ones and cancellations: the count
    // walks the smallest index and the partial index of the cancelled
    // bookings, never the table (the same rows as "WHERE Storno=0 AND
    // Storniert=0", NULL flags included).
    return long(GetDatenTyp(db, QStringLiteral("SELECT (SELECT COUNT(*) FROM eurVerbucht) - (SELECT COUNT(*) FROM eurVerbucht "
                                               "WHERE (Storno=0 AND Storniert=0) IS NOT 1)"))
                    .toLongLong());
}

}  // namespace Buchungsliste
