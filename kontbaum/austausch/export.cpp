// The bookings CSV export: one record per booking or per split part, gross
// amounts in a debit or credit column.
//
// The export is written while the ledger is read: one statement returns the
// selected headers joined with their lines, ordered by booking number, and
// each booking's records go to the sink as soon as its last line has been
// read. Only one booking and the names of the accounts and keys seen so far
// are held, so memory does not grow with the ledger.
#include "kontbaum/austausch/austausch.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

// A field holds no separator and no line break: a carriage return breaks a
// line for a spreadsheet (RFC 4180) as much as a line feed does.
QString text(QString t) {
    return t.replace(QLatin1Char(';'), QLatin1Char(',')).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

QString betrag(const EuroType& e) { return e.getText(EuroType::TextPunkt).replace(QLatin1Char('.'), QLatin1Char(',')); }

const QString kFortschritt = QStringLiteral("Export der Buchungen");

// The selection of the export: live bookings, optionally within voucher
// dates; `p` is the prefix of the header table's columns. `datum` is how the
// date terms name the column: the export itself writes "+h.Belegdatum",
// which keeps the date index out of the plan. With it, SQLite would read
// the period through that index and then sort all selected lines by number,
// a sort as large as the export; without it the headers are read in number
// order and only one booking's lines are ever sorted.
QString bedingung(const QString& p, const QString& datum, const zDate& von, const zDate& bis) {
    QString bed;
    if (von.isValid()) bed += QStringLiteral("(") + datum + QStringLiteral(">=") + rsDataSource::toSqlStr(von) + QStringLiteral(")");
    if (bis.isValid()) {
        if (!bed.isEmpty()) bed += QStringLiteral(" AND ");
        bed += QStringLiteral("(") + datum + QStringLiteral("<=") + rsDataSource::toSqlStr(bis) + QStringLiteral(")");
    }
    if (!bed.isEmpty()) bed += QStringLiteral(" AND ");
    bed += QStringLiteral(" ") + p + QStringLiteral("Storniert=0 AND ") + p + QStringLiteral("Storno=0 ");
    return bed;
}

struct Zeile {
    long long id;
    unsigned long konto, gegen, schluessel;
    int dialogzeile;
    bool haben, splitt, splittNetto;
    EuroType splittBetrag;
    QString text;
};

struct Kopf {
    unsigned long nr = 0;
    QString beleg, belegdatum, buchungsdatum, ustid;
    EuroType betrag;
    bool netto = false;
    int zmart = 0;
};

// Names and rates are looked up once per account and key; a year's ledger
// names a few dozen of each.
class Namen {
public:
    explicit Namen(DBConnection* db) : m_db(db) {}
    struct Schluessel {
        double satz;
        QString name;
    };
    QString konto(unsigned long k) {
        auto it = m_konten.constFind(k);
        if (it != m_konten.constEnd()) return *it;
        return *m_konten.insert(k, text(KontoGlobal::getKontobezeichnung(k, 0, m_db)));
    }
    Schluessel schluessel(unsigned long s) {
        auto it = m_schluessel.constFind(s);
        if (it != m_schluessel.constEnd()) return *it;
        return *m_schluessel.insert(s, {KontoGlobal::calcSteuerschluessel(m_db, s, EuroType(), false, 2).steuersatz,
                                        text(KontoGlobal::getSteuerschluesselBezeichnung(s))});
    }

private:
    DBConnection* m_db;
    QHash<unsigned long, QString> m_konten;
    QHash<unsigned long, Schluessel> m_schluessel;
};

QString satz(Namen& namen, const Kopf& k, const Zeile& z, int teil, EuroType brutto) {
    const Namen::Schluessel s = namen.schluessel(z.schluessel);
    QStringList f;
    f << QString::number(k.nr) << QString::number(teil) << k.belegdatum << text(z.text) << QString::number(z.konto)
      << namen.konto(z.konto) << QString::number(z.gegen) << namen.konto(z.gegen) << (z.haben ? QStringLiteral("0") : betrag(brutto))
      << (z.haben ? betrag(brutto) : QStringLiteral("0")) << QString::number(z.schluessel)
      << QString::asprintf("%.2f", s.satz).replace(QLatin1Char('.'), QLatin1Char(',')) << s.name << text(k.beleg) << k.buchungsdatum
      << text(k.ustid) << QString::number(k.zmart);
    return f.join(QLatin1Char(';')) + QLatin1Char('\n');
}

// The records of one booking: each split part, else the one line that
// carries the booking (none when there is no such line).
QString saetze(Namen& namen, const Kopf& k, const QVector<Zeile>& z) {
    bool gesplittet = false;
    for (const Zeile& x : z) gesplittet = gesplittet || x.splitt;
    if (gesplittet) {
        QString out;
        int teil = 0;
        for (const Zeile& x : z) {
            if (!x.splitt || x.schluessel == 999999) continue;
            EuroType b = x.splittBetrag;
            if (x.splittNetto) b = KontoGlobal::calcBruttoNetto(false, b, true, namen.schluessel(x.schluessel).satz, false);
            out += satz(namen, k, x, ++teil, b);
        }
        return out;
    }
    // The line with a real key, else the counter line, the last one each.
    const Zeile* gewaehlt = nullptr;
    for (const Zeile& x : z)
        if (x.schluessel != 0 && x.schluessel != 999999) gewaehlt = &x;
    if (!gewaehlt)
        for (const Zeile& x : z)
            if (x.dialogzeile == 2 && x.schluessel != 999999) gewaehlt = &x;
    if (!gewaehlt) return QString();
    EuroType b = k.betrag;
    if (k.netto) b = KontoGlobal::calcBruttoNetto(false, b, true, namen.schluessel(gewaehlt->schluessel).satz, false);
    return satz(namen, k, *gewaehlt, 1, b);
}

bool dateiFehler(QString* fehler, const QString& pfad, const QString& grund) {
    if (fehler) *fehler = QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden: %2").arg(pfad, grund);
    return false;
}

// The target file of an export, saved as rsWriteFileAtomic saves a file but
// block by block: into a temporary file beside the target, which
// rsInstallFileAtomic puts in the target's place only when it is complete.
// Nothing is created before the first block is due, so an export that finds
// nothing leaves no trace.
class Zieldatei {
public:
    explicit Zieldatei(const QString& pfad) : m_pfad(pfad) {}

    bool schreiben(const QString& stueck, QString* fehler) {
        m_puffer += stueck.toUtf8();
        return m_puffer.size() < kBlock || leeren(fehler);
    }
    bool abschliessen(QString* fehler) {
        if (!leeren(fehler)) return false;
        if (!m_tmp->flush()) return dateiFehler(fehler, m_pfad, schreibfehler());
        if (QFile::exists(m_pfad)) m_tmp->setPermissions(QFile(m_pfad).permissions());
        else m_tmp->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        m_tmp->close();
        if (!rsInstallFileAtomic(m_tmp->fileName(), m_pfad, true, fehler)) return false;
        m_tmp->setAutoRemove(false);  // it is the target now
        return true;
    }

private:
    static constexpr int kBlock = 1 << 16;
    static QString schreibfehler() {
        return QStringLiteral("Die Daten konnten nicht geschrieben werden. Prüfen Sie, ob auf dem Datenträger genug Platz frei ist.");
    }

    bool leeren(QString* fehler) {
        if (!m_tmp) {
            const QFileInfo fi(m_pfad);
            if (!QFileInfo(fi.absolutePath()).isDir()) return dateiFehler(fehler, m_pfad, QStringLiteral("Das Verzeichnis existiert nicht."));
            m_tmp.reset(new QTemporaryFile(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".XXXXXX")));
            m_tmp->setAutoRemove(true);  // removed on every failure path
            if (!m_tmp->open()) return dateiFehler(fehler, m_pfad, rsDateifehlerText(errno));
        }
        if (m_tmp->write(m_puffer) != m_puffer.size()) return dateiFehler(fehler, m_pfad, schreibfehler());
        m_puffer.clear();
        return true;
    }

    QString m_pfad;
    QByteArray m_puffer;
    std::unique_ptr<QTemporaryFile> m_tmp;
};
}  // namespace

int BuchungenCSV::schreiben(const Senke& senke, bool mitKopf, const QString& table, const zDate& von, const zDate& bis) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    if (table != QLatin1String("eurVerbucht") && table != QLatin1String("eurStapel") && table != QLatin1String("eurBeispiel"))
        return 0;
    const long anzahl = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") +
                                            bedingung(QString(), QStringLiteral("Belegdatum"), von, bis))
                            .toLongLong();
    Ui& ui = GetUi();
    ui.progress(kFortschritt, 0, anzahl);
    if (mitKopf &&
        !senke(QStringLiteral("Buchungsnummer;Teilbuchung;Belegdatum;Buchungstext;Konto;Kontobezeichnung;Gegenkonto;Gegenkontobezeichnung;") +
               QStringLiteral("Soll;Haben;Steuerschluessel;Steuersatz;Steuerschluesselbezeichnung;Belegnummer;Buchungsdatum;") +
               QStringLiteral("UStID;Umsatzart") + QLatin1Char('\n')))
        return -1;

    // A booking without lines still comes as one row (NULL line columns),
    // so it is counted as before. The lines come in the order of their
    // (Buchungsnummer, SteuerID) index, without a sort in the database; the
    // records follow the line IDs, so each booking's few lines are put in
    // that order here.
    rsDataSource rs(db, QStringLiteral("SELECT h.Buchungsnummer, h.Belegnummer, h.Belegdatum, h.Buchungsdatum, h.Betrag, h.Netto, "
                                       "h.ZMArt, h.UStID, z.ID, z.Konto, z.Gegenkonto, z.Steuerschluessel, z.Dialogzeile, z.Haben, "
                                       "z.Splitt, z.SplittNetto, z.SplittBetrag, z.Buchungstext FROM ") +
                            table + QStringLiteral(" h LEFT JOIN ") + table +
                            QStringLiteral("Buchungszeilen z ON z.Buchungsnummer=h.Buchungsnummer WHERE ") +
                            bedingung(QStringLiteral("h."), QStringLiteral("+h.Belegdatum"), von, bis) +
                            QStringLiteral(" ORDER BY h.Buchungsnummer, z.SteuerID, z.ID"));
    Namen namen(db);
    Kopf kopf;
    QVector<Zeile> zeilen;
    qlonglong aktuell = 0;
    int n = 0;
    int geschrieben = 0;
    bool offen = false;
    // Writes the booking read so far (a booking without an exportable line
    // writes nothing and is not counted: the count is what the file holds);
    // false when the sink refused it.
    auto fertig = [&]() {
        if (!offen) return true;
        auto nachId = [](const Zeile& a, const Zeile& b) { return a.id < b.id; };
        if (!std::is_sorted(zeilen.cbegin(), zeilen.cend(), nachId)) std::sort(zeilen.begin(), zeilen.end(), nachId);
        const QString text = saetze(namen, kopf, zeilen);
        if (text.isEmpty()) return true;
        ++geschrieben;
        return senke(text);
    };
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const qlonglong nr = f.getField(0).toLongLong();
        if (!offen || nr != aktuell) {
            if (!fertig()) return -1;
            offen = true;
            aktuell = nr;
            kopf.nr = f.getField(0).toULong();
            kopf.beleg = f.getField(1).toString();
            kopf.belegdatum = f.getField(2).toDate().getText();
            kopf.buchungsdatum = f.getField(3).toDate().getText();
            kopf.betrag = f.getField(4).toEuro();
            kopf.netto = f.getField(5).toBool();
            kopf.zmart = f.getField(6).toInt();
            kopf.ustid = f.getField(7).toString();
            zeilen.clear();
            ++n;
            if (n % 200 == 0) ui.progress(kFortschritt, n, anzahl);
        }
        if (f.getField(8).isNull()) continue;  // no lines
        zeilen.append({f.getField(8).toLongLong(), f.getField(9).toULong(), f.getField(10).toULong(), f.getField(11).toULong(),
                       f.getField(12).toInt(), f.getField(13).toBool(), f.getField(14).toLongLong() != 0, f.getField(15).toBool(),
                       f.getField(16).toEuro(), f.getField(17).toString()});
    }
    if (!fertig()) return -1;
    ui.progress(kFortschritt, anzahl, anzahl);
    return geschrieben;
}

int BuchungenCSV::inDatei(const QString& pfad, const zDate& von, const zDate& bis, QString* fehler) {
    Zieldatei ziel(pfad);
    QString grund;
    const int n = schreiben([&](const QString& stueck) { return ziel.schreiben(stueck, &grund); }, true, QStringLiteral("eurVerbucht"),
                            von, bis);
    if (n < 0) {
        if (fehler) *fehler = grund;
        return -1;
    }
    if (n == 0) return 0;
    if (!ziel.abschliessen(&grund)) {
        if (fehler) *fehler = grund;
        return -1;
    }
    return n;
}

int KontoGlobal::getBuchungenAsCSV(QString& csv, bool mitKopf, const QString& table, const zDate& von, const zDate& bis) {
    return BuchungenCSV::schreiben(
        [&](const QString& stueck) {
            csv += stueck;
            return true;
        },
        mitKopf, table, von, bis);
}

int KontoGlobal::exportBuchungenAsCSV(const QString& pfadVorgabe) {
    Ui& ui = GetUi();
    const QString pfad = pfadVorgabe;
    if (pfad.isEmpty()) return -1;  // this program has no file dialog: the caller names the file
    QString fehler;
    ui.waitCursor(true);
    const int n = BuchungenCSV::inDatei(pfad, zDate(), zDate(), &fehler);
    ui.waitCursor(false);
    if (n == 0) {
        ui.Hinweis(QStringLiteral("Es wurden keine Buchungen für den Export gefunden. Die Datei wurde nicht erzeugt."));
        return 0;
    }
    if (n < 0) {
        ui.rsError(fehler, QStringLiteral("Fehler"));
        return -1;
    }
    ui.Hinweis(n == 1 ? QStringLiteral("Es wurde eine Buchung in der Datei ") + pfad + QStringLiteral(" gespeichert.")
                      : QStringLiteral("Es wurden %1 Buchungen in der Datei ").arg(n) + pfad + QStringLiteral(" gespeichert."));
    return n;
}
