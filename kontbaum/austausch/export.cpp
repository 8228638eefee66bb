// The bookings CSV export: one record per booking or per split part, gross
// amounts in a debit or credit column.
#include "kontbaum/austausch/austausch.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

namespace {
DBConnection* fallDB() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->GetDBConnect_Ptr() : nullptr;
}

QString text(QString t) { return t.replace(QLatin1Char(';'), QLatin1Char(',')).replace(QLatin1Char('\n'), QLatin1Char(' ')); }

QString betrag(const EuroType& e) { return e.getText(EuroType::TextPunkt).replace(QLatin1Char('.'), QLatin1Char(',')); }
}  // namespace

int KontoGlobal::getBuchungenAsCSV(QString& csv, bool mitKopf, const QString& table, const zDate& von, const zDate& bis) {
    DBConnection* db = fallDB();
    if (!db) return 0;
    if (table != QLatin1String("eurVerbucht") && table != QLatin1String("eurStapel") && table != QLatin1String("eurBeispiel"))
        return 0;
    QString bed;
    if (von.isValid()) bed += QStringLiteral("(Belegdatum>=") + rsDataSource::toSqlStr(von) + QStringLiteral(")");
    if (bis.isValid()) {
        if (!bed.isEmpty()) bed += QStringLiteral(" AND ");
        bed += QStringLiteral("(Belegdatum<=") + rsDataSource::toSqlStr(bis) + QStringLiteral(")");
    }
    if (!bed.isEmpty()) bed += QStringLiteral(" AND ");
    bed += QStringLiteral(" Storniert=0 AND Storno=0 ");
    const QString zeilenTabelle = table + QStringLiteral("Buchungszeilen");

    const long anzahl = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") + bed).toLongLong();
    Ui& ui = GetUi();
    ui.progress(QStringLiteral("Export der Buchungen"), 0, anzahl);
    if (mitKopf)
        csv += QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;Gegenkontobezeichnung;") +
               QStringLiteral("Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;Belegnummer;Buchungsdatum;") +
               QStringLiteral("UStID;Umsatzart") + QLatin1Char('\n');

    // Names and rates are looked up once per account and key; a year's
    // ledger names a few dozen of each.
    QHash<unsigned long, QString> namen;
    auto kontoName = [&](unsigned long k) {
        auto it = namen.constFind(k);
        if (it != namen.constEnd()) return *it;
        return *namen.insert(k, text(getKontobezeichnung(k, 0, db)));
    };
    struct Schluessel {
        double satz;
        QString name;
    };
    QHash<unsigned long, Schluessel> schluessel;
    auto sKey = [&](unsigned long s) {
        auto it = schluessel.constFind(s);
        if (it != schluessel.constEnd()) return *it;
        return *schluessel.insert(s, {calcSteuerschluessel(db, s, 0.0, false, 2).steuersatz, text(getSteuerschluesselBezeichnung(s))});
    };

    // All lines of the selected bookings in one pass, grouped by booking.
    struct Zeile {
        long long id;
        unsigned long konto, gegen, schluessel;
        int dialogzeile;
        bool haben, splitt, splittNetto;
        double splittBetrag;
        QString text;
    };
    QHash<unsigned long, QVector<Zeile>> zeilen;
    {
        rsDataSource z(db, QStringLiteral("SELECT z.ID, z.Buchungsnummer, z.Konto, z.Gegenkonto, z.Steuerschluessel, z.Dialogzeile, "
                                          "z.Haben, z.Splitt, z.SplittNetto, z.SplittBetrag, z.Buchungstext FROM ") +
                               zeilenTabelle + QStringLiteral(" z WHERE z.Buchungsnummer IN (SELECT Buchungsnummer FROM ") + table +
                               QStringLiteral(" WHERE ") + bed + QStringLiteral(") ORDER BY z.Buchungsnummer, z.ID"));
        for (; !z.isEOF(); z.fetch()) {
            const rsFields& f = *z.getFields();
            zeilen[f.getField(1).toULong()].append({f.getField(0).toLongLong(), f.getField(2).toULong(), f.getField(3).toULong(),
                                                    f.getField(4).toULong(), f.getField(5).toInt(), f.getField(6).toBool(),
                                                    f.getField(7).toLongLong() != 0, f.getField(8).toBool(),
                                                    f.getField(9).toDouble(), f.getField(10).toString()});
        }
    }

    auto satz = [&](unsigned long nr, const QString& belegdatum, const Zeile& z, int teil, EuroType brutto, const QString& beleg,
                    const QString& buchungsdatum, const QString& ustid, int zmart) {
        const Schluessel s = sKey(z.schluessel);
        QStringList f;
        f << QString::number(nr) << QString::number(teil) << belegdatum << text(z.text) << QString::number(z.konto)
          << kontoName(z.konto) << QString::number(z.gegen) << kontoName(z.gegen)
          << (z.haben ? QStringLiteral("0") : betrag(brutto)) << (z.haben ? betrag(brutto) : QStringLiteral("0"))
          << QString::number(z.schluessel) << QString::asprintf("%.2f", s.satz).replace(QLatin1Char('.'), QLatin1Char(','))
          << s.name << text(beleg) << buchungsdatum << text(ustid) << QString::number(zmart);
        csv += f.join(QLatin1Char(';')) + QLatin1Char('\n');
    };

    int n = 0;
    rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer, Belegnummer, Belegdatum, Buchungsdatum, Betrag, Netto, ZMArt, UStID FROM ") +
                            table + QStringLiteral(" WHERE ") + bed + QStringLiteral(" ORDER BY Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const unsigned long nr = f.getField(0).toULong();
        const QString beleg = f.getField(1).toString();
        const QString belegdatum = f.getField(2).toDate().getText();
        const QString buchungsdatum = f.getField(3).toDate().getText();
        const EuroType kopfBetrag = f.getField(4).toDouble();
        const bool netto = f.getField(5).toBool();
        const int zmart = f.getField(6).toInt();
        const QString ustid = f.getField(7).toString();
        const QVector<Zeile>& z = zeilen[nr];
        ++n;
        if (n % 200 == 0) ui.progress(QStringLiteral("Export der Buchungen"), n, anzahl);

        bool gesplittet = false;
        for (const Zeile& x : z) gesplittet = gesplittet || x.splitt;
        if (gesplittet) {
            int teil = 0;
            for (const Zeile& x : z) {
                if (!x.splitt || x.schluessel == 999999) continue;
                EuroType b = x.splittBetrag;
                if (x.splittNetto) b = calcBruttoNetto(false, b, true, sKey(x.schluessel).satz, false);
                satz(nr, belegdatum, x, ++teil, b, beleg, buchungsdatum, ustid, zmart);
            }
            continue;
        }
        // The line with a real key, else the counter line, the last one each.
        const Zeile* gewaehlt = nullptr;
        for (const Zeile& x : z)
            if (x.schluessel != 0 && x.schluessel != 999999) gewaehlt = &x;
        if (!gewaehlt)
            for (const Zeile& x : z)
                if (x.dialogzeile == 2 && x.schluessel != 999999) gewaehlt = &x;
        if (!gewaehlt) continue;
        EuroType b = kopfBetrag;
        if (netto) b = calcBruttoNetto(false, b, true, sKey(gewaehlt->schluessel).satz, false);
        satz(nr, belegdatum, *gewaehlt, 1, b, beleg, buchungsdatum, ustid, zmart);
    }
    ui.progress(QStringLiteral("Export der Buchungen"), anzahl, anzahl);
    return n;
}

int KontoGlobal::exportBuchungenAsCSV(const QString& pfadVorgabe) {
    Ui& ui = GetUi();
    QString pfad = pfadVorgabe;
    if (pfad.isEmpty()) return -1;  // this program has no file dialog: the caller names the file
    QString csv;
    ui.waitCursor(true);
    const int n = getBuchungenAsCSV(csv, true, QStringLiteral("eurVerbucht"), zDate(), zDate());
    ui.waitCursor(false);
    if (n == 0) {
        ui.Hinweis(QStringLiteral("Es wurden keine Buchungen für den Export gefunden. Die Datei wurde nicht erzeugt."));
        return 0;
    }
    if (QFile::exists(pfad) && !QFile::remove(pfad)) {
        ui.rsError(QStringLiteral("Die Datei ") + pfad + QStringLiteral(" konnte nicht gelöscht werden."), QStringLiteral("Fehler"));
        return -1;
    }
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        ui.rsError(QStringLiteral("Die Datei ") + pfad +
                       QStringLiteral(" kann nicht angelegt werden. Bitte überprüfen Sie, ob Sie Schreibberechtigungen im "
                                      "ausgewählten Verzeichnis haben."),
                   QStringLiteral("Fehler"));
        return -1;
    }
    QTextStream ts(&f);
    ts.setCodec("UTF-8");
    ts << csv;
    ts.flush();
    f.close();
    if (f.error() != QFile::NoError) {
        ui.rsError(QStringLiteral("Die Datei ") + pfad + QStringLiteral(" konnte nicht vollständig geschrieben werden."),
                   QStringLiteral("Fehler"));
        QFile::remove(pfad);
        return -1;
    }
    ui.Hinweis(n == 1 ? QStringLiteral("Es wurde eine Buchung in der Datei ") + pfad + QStringLiteral(" gespeichert.")
                      : QStringLiteral("Es wurden %1 Buchungen in der Datei ").arg(n) + pfad + QStringLiteral(" gespeichert."));
    return n;
}
