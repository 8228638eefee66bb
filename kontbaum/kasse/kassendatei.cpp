// The exchange of cash registers: the ".kasse" file a main case hands to a
// cash installation, and the ".buchungen" files of closed cash bookings
// that come back.
//
// Both files are SQLite databases with the case's schema, written fresh and
// filled table by table with only what the other side needs: a register
// must not carry the customers, bank access data or other bookings of the
// case to the till. Every other table stays empty. The file is built beside
// its target and put in place in one step, so a failure leaves no half file.
//
// Which bookings come back: the main case records the hand-over (register,
// KassenID, date of the register's newest booking) as already imported, and
// the cash installation takes that date as its first closing and first
// export. Each later export of the installation ends at one of its closings;
// the main case takes, per export it has not imported, the bookings after
// the previous export's date up to the export's date. So every cash booking
// arrives exactly once, however often a file is offered.
#include "kontbaum/kasse/kasse.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/kasse/umnummern.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QUuid>

namespace {

QString q(const DatenTyp& v) { return rsDataSource::toSqlStr(v); }

const QString kArtKasse = QStringLiteral("kasse");
const QString kArtBuchungen = QStringLiteral("buchungen");
const QString kRot = QStringLiteral("<p><font color=\"$COLOR(COLOR_IMPORTANT_TEXT)\">");
const QString kRotEnde = QStringLiteral("</font></p>");

// The chart and the keys: what a cash installation needs to book at all.
const QStringList& kontenplanTabellen() {
    static const QStringList t = {QStringLiteral("eurKontenplan"), QStringLiteral("eurKategorien"), QStringLiteral("eurKontenklassen"),
                                  QStringLiteral("eurSteuerschluessel"), QStringLiteral("eurKennzifferbereiche"),
                                  QStringLiteral("eurFormulare"), QStringLiteral("Version")};
    return t;
}

QStringList spalten(DBConnection* con, const QString& tabelle) {
    QStringList l;
    rsDataSource rs(con, QStringLiteral("PRAGMA table_info(") + tabelle + QStringLiteral(")"));
    for (; !rs.isEOF(); rs.fetch()) l << rs.field(QStringLiteral("name")).toString();
    return l;
}

QString bedingungBuchungenAufKonto(unsigned long konto, const QString& familie = QStringLiteral("eurVerbucht")) {
    return QStringLiteral("Buchungsnummer IN (SELECT Buchungsnummer FROM ") + familie + QStringLiteral("Buchungszeilen WHERE Konto=") +
           q(DatenTyp(konto)) + QStringLiteral(")");
}

QString datumsfenster(const zDate& nach, const zDate& bis) {
    QString s;
    if (nach.isValid()) s += QStringLiteral(" AND Belegdatum>") + q(DatenTyp(nach));
    if (bis.isValid()) s += QStringLiteral(" AND Belegdatum<=") + q(DatenTyp(bis));
    return s;
}

// A table of the file and the rows it takes from the case (empty: all).
struct Auszug {
    QString tabelle;
    QString bedingung;
};

// Writes the file `ziel`: the schema of `con` (without the case record),
// the rows of `auszuege`, and the metadata. The path written, empty with
// `fehler`.
bool schreibeDatei(DBConnection* con, const QString& ziel, bool ersetzen, const QList<Auszug>& auszuege,
                   const QMap<QString, QString>& metadaten, QString* fehler) {
    QTemporaryFile tmp(QFileInfo(ziel).absolutePath() + QStringLiteral("/.dalvo-XXXXXX.teil"));
    if (!tmp.open()) {
        if (fehler) *fehler = QStringLiteral("Im Verzeichnis „%1“ kann keine Datei angelegt werden.").arg(QFileInfo(ziel).absolutePath());
        return false;
    }
    const QString teil = tmp.fileName();
    tmp.close();
    bool ok = true;
    {
        DBConnection datei;
        ok = datei.createAndConnect(teil, QString(), QString(), true);
        // The file becomes the export only once it is complete and synced
        // (rsInstallFileAtomic); until then it needs no journal on the disk
        // and no sync of its own.
        ok = ok && ExecSQL(&datei, QStringLiteral("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF"));
        DBTransaktion tx(&datei);
        ok = ok && tx.ok();
        // The tables first and their indexes after the rows: an index built
        // over the finished table is one sort, where rows added to it one by
        // one each land at a random place of it.
        const auto schema = [&](const QString& art) {
            rsDataSource rs(con, QStringLiteral("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%' "
                                                "AND tbl_name<>'dalvoFall' AND type") + art + QStringLiteral(" ORDER BY name"));
            for (; ok && !rs.isEOF(); rs.fetch()) ok = ExecSQL(&datei, rs.field(QStringLiteral("sql")).toString());
        };
        schema(QStringLiteral("='table'"));
        for (const Auszug& a : auszuege) {
            if (!ok) break;
            const QStringList s = spalten(con, a.tabelle);
            QString sql = QStringLiteral("SELECT ") + s.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + a.tabelle;
            if (!a.bedingung.isEmpty()) sql += QStringLiteral(" WHERE ") + a.bedingung;
            ok = rsCopyRows(con, sql, &datei, a.tabelle, s) >= 0;
        }
        schema(QStringLiteral("<>'table'"));
        for (auto it = metadaten.constBegin(); ok && it != metadaten.constEnd(); ++it)
            ok = ExecPrepared(&datei, QStringLiteral("INSERT INTO eurExportierteDaten (Datenpfad, Variable, Wert) VALUES ('', ?, ?)"),
                              {DatenTyp(it.key()), DatenTyp(it.value())});
        if (ok) ok = tx.commit();
        if (!ok && fehler) *fehler = datei.getErr()->last() + con->getErr()->last();
        tx.rollback();  // before the file is closed; nothing once committed
        datei.close();
    }
    if (!ok) {
        QFile::remove(teil);
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(ziel, *fehler);
        return false;
    }
    tmp.setAutoRemove(false);
    // The temporary file is private; the export is an ordinary file.
    QFile::setPermissions(teil, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QString grund;
    if (!rsInstallFileAtomic(teil, ziel, ersetzen, &grund)) {
        if (fehler) *fehler = grund;
        return false;
    }
    return true;
}

QMap<QString, QString> grundMetadaten(KontoGlobal* kg, DBConnection* con, const QString& art, unsigned long konto) {
    QMap<QString, QString> m;
    m.insert(QStringLiteral("Art"), art);
    m.insert(QStringLiteral("DefaultSteuerjahr"), QString::number(KontoGlobal::kProgrammjahr));
    m.insert(QStringLiteral("DBVersion"), QString::number(GetDBVersion(con)));
    m.insert(QStringLiteral("Jahr"), QString::number(kg->getSteuerjahr()));
    m.insert(QStringLiteral("Datum"), zDate::today().getText());
    m.insert(QStringLiteral("UStPflicht"), kg->getUstPflicht() ? QStringLiteral("1") : QStringLiteral("0"));
    m.insert(QStringLiteral("Kontenplan"), kg->getKontenplanName());
    m.insert(QStringLiteral("Kasse"), QString::number(konto));
    m.insert(QStringLiteral("Programmversion"), QStringLiteral(DALVO_VERSION));
    return m;
}

// The file, opened read-only, with its metadata; false with the refusal.
bool oeffneDatei(const QString& datei, DBConnection* d, Kasse::Metadaten* m, QString* fehler) {
    auto nein = [&](const QString& grund) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2").arg(datei, grund);
        return false;
    };
    const QFileInfo fi(datei);
    if (!fi.exists()) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(datei);
        return false;
    }
    if (!fi.isFile()) return nein(QStringLiteral("sie ist ein Verzeichnis oder Gerät, keine Datei."));
    // Damage found in this file is its own: the case, whose damage the flag
    // reports, is intact. The whole file is checked before anything is read
    // from it, so no later statement on it can meet a damaged page.
    const bool fallSchonBeschaedigt = rsDbCorruptionSeen();
    d->setReadOnly(true);
    bool geprueft = d->createAndConnect(datei);
    if (geprueft) {
        rsDataSource pruefung(d, QStringLiteral("PRAGMA quick_check(1)"));
        geprueft = !pruefung.isError() && !pruefung.isEOF() && pruefung.getFields()->getField(0).toString() == QLatin1String("ok");
    }
    const bool beschaedigt = rsDbCorruptionSeen() && !fallSchonBeschaedigt;
    if (!fallSchonBeschaedigt) rsDbResetCorruptionSeen();
    if (!geprueft)
        return nein(beschaedigt || d->isOpen() ? QStringLiteral("sie ist beschädigt, unvollständig (etwa beim Kopieren abgeschnitten) oder gar "
                                                                "keine Datei des Kassenaustauschs. Bitte exportieren Sie sie neu.")
                                               : d->getErr()->last());
    if (!rsTableExists(d, QStringLiteral("eurExportierteDaten")))
        return nein(QStringLiteral("sie ist keine Datei des Kassenaustauschs (Export einer Kasse oder ihrer Buchungen)."));
    rsDataSource rs(d, QStringLiteral("SELECT Variable, Wert FROM eurExportierteDaten WHERE Datenpfad IS NULL OR Datenpfad=''"));
    for (; !rs.isEOF(); rs.fetch()) m->werte.insert(rs.field(QStringLiteral("Variable")).toString(), rs.field(QStringLiteral("Wert")).toString());
    if (rs.isError()) return nein(d->getErr()->last());
    return true;
}

// The version checks both imports share; the refusal, empty when it fits.
QString versionPruefen(const Kasse::Metadaten& m, DBConnection* con) {
    const long unsere = GetDBVersion(con);
    if (m.wert(QStringLiteral("DBVersion")) != QString::number(unsere))
        return kRot + QStringLiteral("Die Datenversion der exportierten Daten (") + m.wert(QStringLiteral("DBVersion")) +
               QStringLiteral(") passt nicht zur aktuellen Programmversion (") + QString::number(unsere) +
               QStringLiteral("). Bitte bringen Sie Kassen- und EÜR-Programm auf den neusten Stand und wiederholen Sie dann Export und "
                              "Import.") +
               kRotEnde;
    if (m.wert(QStringLiteral("DefaultSteuerjahr")) != QString::number(KontoGlobal::kProgrammjahr))
        return QStringLiteral("Daten aus einer ") + m.wert(QStringLiteral("DefaultSteuerjahr")) + QStringLiteral("er Version können nicht in eine ") +
               QString::number(KontoGlobal::kProgrammjahr) + QStringLiteral("er Version importiert werden.");
    return QString();
}

QString kontenliste(DBConnection* con, const QString& sql) {
    QStringList l;
    rsDataSource rs(con, sql);
    for (; !rs.isEOF(); rs.fetch()) l << rs.getFields()->getField(0).toString();
    return l.join(QStringLiteral(", "));
}
// An existing export file is replaced only when the user says so.
bool ersetzenErlaubt(const QString& pfad, bool* ersetzen, QString* fehler) {
    if (!QFileInfo::exists(pfad) || *ersetzen) return true;
    if (!GetUi().frage(QStringLiteral("Die Datei \n'") + pfad + QStringLiteral("'\nexistiert bereits. Soll die Datei überschrieben werden?"),
                       QStringLiteral("Achtung"))) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ existiert bereits und wurde nicht überschrieben.").arg(pfad);
        return false;
    }
    *ersetzen = true;
    return true;
}
}  // namespace

zDate KontoGlobal::getLastKassenbuchExport(unsigned long konto) {
    return GetDatenTyp(rsFallDB(), QStringLiteral("SELECT MAX(Datum) FROM eurKassenbuchExporte WHERE Konto=") + q(DatenTyp(konto))).toDate();
}

int KontoGlobal::BuchungenInFZInKassenimportdatei(DBConnection* datei, unsigned long konto, const zDate& von, const zDate& bis) {
    if (!datei) return 0;
    QString sql = QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE (") + bedingungBuchungenAufKonto(konto) + QStringLiteral(")");
    if (von.isValid()) sql += QStringLiteral(" AND Belegdatum>=") + q(DatenTyp(von));
    if (bis.isValid()) sql += QStringLiteral(" AND Belegdatum<=") + q(DatenTyp(bis));
    return GetDatenTyp(datei, sql).toInt();
}

namespace Kasse {

bool leseMetadaten(const QString& datei, Metadaten* m, QString* fehler) {
    DBConnection d;
    return oeffneDatei(datei, &d, m, fehler);
}

QString kassenDateiname(const zDate& heute, const QString& name, unsigned long konto, int jahr) {
    QString n = name;
    for (QChar c : QStringLiteral("/\\:*?\"<>|")) n.remove(c);
    return heute.qdate().toString(QStringLiteral("yyyyMMdd")) + QLatin1Char(' ') + n.trimmed() +
           QStringLiteral(" Kasse [KASSE] ").replace(QStringLiteral("[KASSE]"), QString::number(konto)) + QString::number(jahr) +
           QStringLiteral(".kasse");
}

QString exportiereKasse(unsigned long konto, const QString& ziel, bool ersetzen, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return QString();
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    if (!kg || !con) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (kg->getJahresabschluss() != 0)
        return nein(QStringLiteral("Sie haben bereits einen Jahresabschluss durchgeführt und können daher keine Kasse mehr exportieren."));
    if (!KontoGlobal::existsKonto(konto, true, nullptr) || KontoGlobal::getKategorie(konto) != 201)
        return nein(QStringLiteral("Das Konto %1 ist keine aktive Kasse (Kategorie 201). Bitte wählen Sie eine Kasse des Kontenplans.").arg(konto));
    if (!QFileInfo(QFileInfo(ziel).absolutePath()).isDir())
        return nein(QStringLiteral("Das Verzeichnis „%1“ existiert nicht.").arg(QFileInfo(ziel).absolutePath()));
    if (!ersetzenErlaubt(ziel, &ersetzen, fehler)) return QString();

    DBTransaktion tx(con);
    if (!tx.ok()) return nein(con->getErr()->last());
    auto abbrechen = [&](const QString& t) {
        tx.rollback();
        return nein(QStringLiteral("Fehler beim Export. Die Exportdateien\n") + ziel + QStringLiteral(" konnten nicht erzeugt werden.") +
                    (t.isEmpty() ? QString() : QLatin1Char(' ') + t));
    };
    QString kassenID = kg->getKassenID(konto);
    bool ok;
    if (kassenID.isEmpty()) {
        kassenID = QUuid::createUuid().toString();
        ok = ExecPrepared(con, QStringLiteral("INSERT INTO eurExportierteKassen (Konto, KassenID, Datum) VALUES (?, ?, ?)"),
                          {DatenTyp(konto), DatenTyp(kassenID), DatenTyp(zDate::today())});
    } else {
        ok = ExecSQL(con, QStringLiteral("UPDATE eurExportierteKassen SET Datum=") + q(DatenTyp(zDate::today())) +
                              QStringLiteral(" WHERE Konto=") + q(DatenTyp(konto)));
    }
    if (!ok) return abbrechen(con->getErr()->last());
    zDate stand = GetDatenTyp(con, QStringLiteral("SELECT MAX(Belegdatum) FROM eurVerbucht WHERE ") + bedingungBuchungenAufKonto(konto)).toDate();
    // A register without bookings is handed over at the end of the
    // previous year: the cash installation may then book from 1 January.
    if (!stand.isValid()) stand = zDate(kg->getSteuerjahr() - 1, 12, 31);
    // Every booking of the register lies on or before `stand`, so its
    // balance then is the sum of all its lines: the account index alone,
    // not a set of every booking up to that day to test each line against.
    const EuroType saldo = KontoGlobal::getSummeKonto(konto, 0, zDate(), zDate());
    const unsigned long importID = KontoGlobal::getMaxKey(con, QStringLiteral("SELECT MAX(ImportID) FROM eurKassenbuchImporte")) + 1;
    // The hand-over counts as imported here, so the bookings it carries
    // never come back as new ones.
    if (!ExecPrepared(con, QStringLiteral("INSERT INTO eurKassenbuchImporte (ImportID, ExportID, Konto, KassenID, Saldo, Datum) VALUES (?, 0, ?, ?, ?, ?)"),
                      {DatenTyp(importID), DatenTyp(konto), DatenTyp(kassenID), DatenTyp(saldo), DatenTyp(stand)}))
        return abbrechen(con->getErr()->last());

    QList<Auszug> auszuege;
    for (const QString& t : kontenplanTabellen()) auszuege.append({t, QString()});
    auszuege.append({QStringLiteral("eurVerbucht"), bedingungBuchungenAufKonto(konto)});
    auszuege.append({QStringLiteral("eurVerbuchtBuchungszeilen"), bedingungBuchungenAufKonto(konto)});
    const QString vorlagen = QStringLiteral("Buchungsnummer IN (SELECT Buchungsnummer FROM eurBeispielBuchungszeilen WHERE Dialogzeile=1 AND Konto=") +
                             q(DatenTyp(konto)) + QStringLiteral(")");
    auszuege.append({QStringLiteral("eurBeispiel"), vorlagen});
    auszuege.append({QStringLiteral("eurBeispielBuchungszeilen"), vorlagen});
    auszuege.append({QStringLiteral("eurExportierteKassen"), QStringLiteral("Konto=") + q(DatenTyp(konto))});
    auszuege.append({QStringLiteral("eurKassenbuchImporte"), QStringLiteral("ImportID=") + q(DatenTyp(importID))});
    QMap<QString, QString> meta = grundMetadaten(kg, con, kArtKasse, konto);
    meta.insert(QStringLiteral("FallID"), kg->getEurUID());
    QString grund;
    if (!schreibeDatei(con, ziel, ersetzen, auszuege, meta, &grund)) return abbrechen(grund);
    if (!tx.commit()) return nein(con->getErr()->last());
    return ziel;
}

QString pruefeKassendatei(const QString& datei, Metadaten* m) {
    DBConnection d;
    QString fehler;
    if (!oeffneDatei(datei, &d, m, &fehler)) return fehler;
    if (m->wert(QStringLiteral("Art")) != kArtKasse || m->wert(QStringLiteral("Kasse")).isEmpty())
        return QStringLiteral("Die Datei enthält keine Kassendaten.");
    fehler = versionPruefen(*m, &d);
    if (!fehler.isEmpty()) return fehler;
    if (GetDatenTyp(&d, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toLongLong() == 0)
        return kRot + QStringLiteral("Die Importdatei enthält keine Konten.") + kRotEnde;
    const unsigned long konto = m->wert(QStringLiteral("Kasse")).toULong();
    if (GetDatenTyp(&d, QStringLiteral("SELECT COUNT(*) FROM eurExportierteKassen WHERE Konto=") + q(DatenTyp(konto))).toLongLong() == 0)
        return QStringLiteral("Die Datei enthält keine exportierten Kassen.");
    const QString fehlend =
        kontenliste(&d, QStringLiteral("SELECT DISTINCT Konto FROM eurVerbuchtBuchungszeilen WHERE NOT Konto IN (SELECT Nummer FROM eurKontenplan) "
                                       "ORDER BY Konto"));
    if (!fehlend.isEmpty())
        return QStringLiteral("Die Datei ist unvollständig: die Konten %1 ihrer Buchungen fehlen in ihrem Kontenplan. Bitte exportieren "
                              "Sie die Kasse erneut.")
            .arg(fehlend);
    return QString();
}

bool importiereKasse(const QString& datei, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    if (!kg || !con) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    Metadaten m;
    QString grund = pruefeKassendatei(datei, &m);
    if (!grund.isEmpty()) return nein(grund);
    const unsigned long konto = m.wert(QStringLiteral("Kasse")).toULong();
    const QString misslungen =
        QStringLiteral("Fehler beim Import. Die Datei <b>") + QFileInfo(datei).fileName() + QStringLiteral("</b> konnte nicht fehlerfrei importiert werden.");
    kg->setSteuerjahr(m.wert(QStringLiteral("Jahr")).toInt());
    kg->setKontenplanName(m.wert(QStringLiteral("Kontenplan")));
    kg->setUstPflicht(m.wert(QStringLiteral("UStPflicht")) == QLatin1String("1"));
    // The framework's tables first, then the case's own chart and keys over them.
    if (kg->selectKontenplan(m.wert(QStringLiteral("Jahr")), m.wert(QStringLiteral("Kontenplan")), QString(), false, 0) != 0)
        return nein(misslungen + QStringLiteral(" Der Kontenplan %1 konnte nicht erstellt werden.").arg(m.wert(QStringLiteral("Kontenplan"))));
    QStringList tabellen = kontenplanTabellen();
    tabellen.removeAll(QStringLiteral("Version"));
    tabellen << QStringLiteral("eurVerbucht") << QStringLiteral("eurVerbuchtBuchungszeilen") << QStringLiteral("eurBeispiel")
             << QStringLiteral("eurBeispielBuchungszeilen") << QStringLiteral("eurExportierteKassen");
    if (!rsReplaceTablesFromExternalDatabase(con, datei, tabellen)) return nein(misslungen + QLatin1Char(' ') + con->getErr()->last());

    const QString k = q(DatenTyp(konto));
    DBConnection d;
    if (!oeffneDatei(datei, &d, &m, &grund)) return nein(grund);
    rsDataSource imp(&d, QStringLiteral("SELECT KassenID, Saldo, Datum FROM eurKassenbuchImporte WHERE Konto=") + k +
                             QStringLiteral(" ORDER BY ImportID DESC"));
    if (imp.isEOF()) return nein(QStringLiteral("Die Datei enthält keine exportierten Kassen."));
    const QVector<DatenTyp> uebergabe = {imp.field(QStringLiteral("KassenID")), imp.field(QStringLiteral("Saldo")),
                                         imp.field(QStringLiteral("Datum"))};
    DBTransaktion tx(con);
    if (!tx.ok()) return nein(misslungen);
    bool ok = ExecSQL(con, QStringLiteral("DELETE FROM eurExportierteKassen WHERE Konto<>") + k) &&
              ExecSQL(con, QStringLiteral("DELETE FROM eurBeispiel WHERE Buchungsnummer IN (SELECT Buchungsnummer FROM eurBeispielBuchungszeilen "
                                          "WHERE Dialogzeile=1 AND Konto<>") + k + QStringLiteral(")")) &&
              ExecSQL(con, QStringLiteral("DELETE FROM eurBeispielBuchungszeilen WHERE Buchungsnummer NOT IN (SELECT Buchungsnummer FROM eurBeispiel)")) &&
              ExecPrepared(con, QStringLiteral("INSERT INTO eurKassenabschluss (AbschlussID, Konto, KassenID, Saldo, GezaehlterSaldo, Datum) "
                                               "VALUES (1, ?, ?, ?, ?, ?)"),
                           {DatenTyp(konto), uebergabe[0], uebergabe[1], uebergabe[1], uebergabe[2]}) &&
              ExecPrepared(con, QStringLiteral("INSERT INTO eurKassenbuchExporte (ExportID, Konto, KassenID, Saldo, Datum) VALUES (1, ?, ?, ?, ?)"),
                           {DatenTyp(konto), uebergabe[0], uebergabe[1], uebergabe[2]});
    if (!ok) {
        tx.rollback();
        return nein(misslungen + QLatin1Char(' ') + con->getErr()->last());
    }
    if (!tx.commit()) return nein(misslungen);
    KontoGlobal::setFalleigenschaft(QStringLiteral("KassenFallID"), m.wert(QStringLiteral("FallID")), con);
    kg->setKassenkonto(int(konto));
    return true;
}

bool planeBuchungsExport(BuchungsExportPlan* plan, QString* fehler) {
    const QString kopf = QStringLiteral("<p>Die Kassenbuchungen können nicht exportiert werden.</p>\n");
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = kopf + t;
        return false;
    };
    *plan = BuchungsExportPlan();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    if (!kg || !con) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (kg->getJahresabschluss() != 0)
        return nein(QStringLiteral("Sie haben bereits einen Jahresabschluss durchgeführt und können daher keine Kasse mehr exportieren."));
    rsDataSource rs(con, QStringLiteral("SELECT Konto, KassenID FROM eurExportierteKassen ORDER BY Konto"));
    if (rs.isEOF())
        return nein(QStringLiteral("Dieser Fall führt keine übernommene Kasse. Kassenbuchungen exportiert nur ein Fall, der aus einer "
                                   "Kassendatei (.kasse) angelegt wurde."));
    plan->konto = rs.field(QStringLiteral("Konto")).toULong();
    plan->kassenID = rs.field(QStringLiteral("KassenID")).toString();
    // The hand-over date: bookings up to it came from the main case.
    const zDate uebergabe = GetDatenTyp(con, QStringLiteral("SELECT MIN(Datum) FROM eurKassenbuchExporte WHERE Konto=") +
                                                 q(DatenTyp(plan->konto)))
                                .toDate();
    plan->letzterAbschluss = KontoGlobal::getKasseAbgeschlossenBis(plan->konto);
    const int alle = KontoGlobal::BuchungenInFZInKassenimportdatei(con, plan->konto, uebergabe.isValid() ? uebergabe.addDays(1) : zDate(), zDate());
    if (alle == 0) return nein(QStringLiteral("Es liegen keine Kassenbuchungen vor"));
    if (!plan->letzterAbschluss.isValid() || (uebergabe.isValid() && !(uebergabe < plan->letzterAbschluss)))
        return nein(QStringLiteral("Es wurde noch kein Kassenabschluss durchgeführt. Nur abgeschlossene Buchungen können exportiert werden."));
    plan->abgeschlossen = KontoGlobal::BuchungenInFZInKassenimportdatei(con, plan->konto, uebergabe.isValid() ? uebergabe.addDays(1) : zDate(),
                                                                        plan->letzterAbschluss);
    if (plan->abgeschlossen == 0)
        return nein(QStringLiteral("Es wurde zwar ein Kassenabschluss durchgeführt, es gibt aber keine Buchungen, die innerhalb des "
                                   "Abschlusses liegen."));
    plan->offen = alle - plan->abgeschlossen;
    plan->saldo = GetDatenTyp(con, QStringLiteral("SELECT Saldo FROM eurKassenabschluss WHERE Konto=") + q(DatenTyp(plan->konto)) +
                                       QStringLiteral(" AND Datum=") + q(DatenTyp(plan->letzterAbschluss)))
                      .toEuro();
    plan->bericht = QStringLiteral("<p>Es werden alle Buchungen bis zum letzten Kassenabschluss (") + plan->letzterAbschluss.getText() +
                    QStringLiteral(") exportiert.</p>\n");
    if (plan->offen == 1)
        plan->bericht += QStringLiteral("<p>Es gibt eine Buchung, die nicht exportiert wird, da sie noch nicht abgeschlossen ist.</p>\n");
    else if (plan->offen > 1)
        plan->bericht += QStringLiteral("<p>Es gibt ") + QString::number(plan->offen) +
                         QStringLiteral(" Buchungen, die nicht exportiert werden, da sie noch nicht abgeschlossen sind.</p>\n");
    return true;
}

QString exportiereKassenbuchungen(const QString& ziel, bool ersetzen, QString* fehler, BuchungsExportPlan* planAus) {
    BuchungsExportPlan plan;
    if (!planeBuchungsExport(&plan, fehler)) return QString();
    if (planAus) *planAus = plan;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    QString pfad = ziel;
    if (QFileInfo(ziel).isDir())
        pfad = QDir(ziel).filePath(zDate::today().qdate().toString(QStringLiteral("yyyyMMdd")) +
                                   QStringLiteral(" Kasse %1 bis %2.buchungen")
                                       .arg(plan.konto)
                                       .arg(plan.letzterAbschluss.qdate().toString(QStringLiteral("yyyyMMdd"))));
    if (!ersetzenErlaubt(pfad, &ersetzen, fehler)) return QString();
    DBTransaktion tx(con);
    if (!tx.ok()) return QString();
    const QString k = q(DatenTyp(plan.konto));
    bool ok = true;
    if (GetDatenTyp(con, QStringLiteral("SELECT COUNT(*) FROM eurKassenbuchExporte WHERE Konto=") + k + QStringLiteral(" AND KassenID=") +
                             q(DatenTyp(plan.kassenID)) + QStringLiteral(" AND Datum=") + q(DatenTyp(plan.letzterAbschluss)))
            .toLongLong() == 0)
        ok = ExecPrepared(con, QStringLiteral("INSERT INTO eurKassenbuchExporte (ExportID, Konto, KassenID, Saldo, Datum) VALUES (?, ?, ?, ?, ?)"),
                          {DatenTyp(KontoGlobal::getMaxKey(con, QStringLiteral("SELECT MAX(ExportID) FROM eurKassenbuchExporte")) + 1),
                           DatenTyp(plan.konto), DatenTyp(plan.kassenID), DatenTyp(plan.saldo), DatenTyp(plan.letzterAbschluss)});
    const zDate uebergabe = GetDatenTyp(con, QStringLiteral("SELECT MIN(Datum) FROM eurKassenbuchExporte WHERE Konto=") + k).toDate();
    const QString buchungen = bedingungBuchungenAufKonto(plan.konto) + datumsfenster(uebergabe, plan.letzterAbschluss);
    QList<Auszug> auszuege;
    for (const QString& t : kontenplanTabellen()) auszuege.append({t, QString()});
    auszuege.append({QStringLiteral("eurVerbucht"), buchungen});
    auszuege.append({QStringLiteral("eurVerbuchtBuchungszeilen"),
                     QStringLiteral("Buchungsnummer IN (SELECT Buchungsnummer FROM eurVerbucht WHERE ") + buchungen + QStringLiteral(")")});
    auszuege.append({QStringLiteral("eurKassenbuchExporte"), QStringLiteral("Konto=") + k});
    QMap<QString, QString> meta = grundMetadaten(kg, con, kArtBuchungen, plan.konto);
    meta.insert(QStringLiteral("FallID"), KontoGlobal::getFalleigenschaft(QStringLiteral("KassenFallID"), con));
    QString grund;
    if (ok) ok = schreibeDatei(con, pfad, ersetzen, auszuege, meta, &grund);
    if (!ok) {
        tx.rollback();
        if (fehler) *fehler = QStringLiteral("Fehler beim Export. Die Exportdateien\n") + pfad + QStringLiteral(" konnten nicht erzeugt werden. ") + grund;
        return QString();
    }
    if (!tx.commit()) return QString();
    return pfad;
}

long importiereKassenbuchungen(const QString& datei, QString* meldung) {
    auto nein = [meldung](const QString& t) {
        if (meldung) *meldung = t;
        return -1L;
    };
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    if (!kg || !con) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (kg->getJahresabschluss() != 0)
        return nein(QStringLiteral("Sie haben bereits einen Jahresabschluss durchgeführt und können daher keine Kassenbuchungen mehr importieren."));
    if (GetDatenTyp(con, QStringLiteral("SELECT MAX(Konto) FROM eurExportierteKassen")).isNull())
        return nein(QStringLiteral("Zurzeit liegen keine exportierten Kassen vor.\nEs können nur Buchungssätze für Kassen importiert werden, "
                                   "die Sie zuvor exportiert haben."));
    DBConnection d;
    Metadaten m;
    QString grund;
    if (!oeffneDatei(datei, &d, &m, &grund)) return nein(grund);
    if (m.wert(QStringLiteral("Art")) != kArtBuchungen || !rsTableExists(&d, QStringLiteral("eurKassenbuchExporte")))
        return nein(QStringLiteral("Die Datei enthält keine Kassenbuchungen."));
    grund = versionPruefen(m, con);
    if (!grund.isEmpty()) return nein(grund);
    if (m.wert(QStringLiteral("Jahr")) != QString::number(kg->getSteuerjahr()))
        return nein(QStringLiteral("Die Kassenbuchungen gehören zum Steuerjahr %1, dieser Fall zum Steuerjahr %2.")
                        .arg(m.wert(QStringLiteral("Jahr")))
                        .arg(kg->getSteuerjahr()));
    if (m.wert(QStringLiteral("FallID")) != kg->getEurUID())
        return nein(QStringLiteral("Die Importdatei gehört nicht zu dem ") + QStringLiteral("EÜR-Programm") +
                    QStringLiteral("s-Fall, aus dem Sie die Kasse ursprünglich exportiert haben.") + QStringLiteral("<p>FallID: ") +
                    kg->getEurUID() + QStringLiteral(" DateiID: ") + m.wert(QStringLiteral("FallID")) + QStringLiteral("</p>"));
    const unsigned long konto = m.wert(QStringLiteral("Kasse")).toULong();
    const QString k = q(DatenTyp(konto));
    const QString kassenID = kg->getKassenID(konto);
    if (kassenID.isEmpty() ||
        GetDatenTyp(&d, QStringLiteral("SELECT COUNT(*) FROM eurKassenbuchExporte WHERE Konto=") + k + QStringLiteral(" AND KassenID=") +
                            q(DatenTyp(kassenID)))
                .toLongLong() == 0)
        return nein(QStringLiteral("Die Datei enthält keine Buchungen einer Kasse, die aus diesem Fall exportiert ist (Kasse %1). Bitte "
                                   "prüfen Sie, ob die Kasse freigegeben oder neu exportiert wurde.")
                        .arg(konto));
    QStringList fehlend;
    {
        rsDataSource rs(&d, QStringLiteral("SELECT DISTINCT Konto FROM eurVerbuchtBuchungszeilen ORDER BY Konto"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.field(QStringLiteral("Konto")).toULong();
            if (!KontoGlobal::existsKonto(nr, true, nullptr)) fehlend << QString::number(nr);
        }
    }
    if (!fehlend.isEmpty())
        return nein(kRot + QStringLiteral("Die Buchungen können nicht importiert werden, da nicht alle bebuchten Konten im aktuellen Kontenplan "
                                          "enthalten sind. Bitte passen Sie den Kontenplan an und führen Sie den Import erneut durch.<br>Fehlende "
                                          "Konten oder nicht aktive Konten:<br>") +
                    fehlend.join(QStringLiteral(", ")) + kRotEnde);

    // The closed bookings of the cash installation are bookings of the
    // ledger like any other: one run, asked once when they take a till below zero.
    Buchungslauf lauf(con);
    DBTransaktion tx(lauf.ok() ? con : nullptr);
    if (!tx.ok()) return nein(con->getErr()->last());
    auto abbrechen = [&](const QString& t) {
        tx.rollback();
        return nein(t);
    };
    const QStringList kopfSpalten = spalten(con, QStringLiteral("eurVerbucht"));
    QStringList zeilenSpalten = spalten(con, QStringLiteral("eurVerbuchtBuchungszeilen"));
    zeilenSpalten.removeAll(QStringLiteral("ID"));
    unsigned long naechste = KontoGlobal::getNewBuchungsnummer(QStringLiteral("eurVerbucht"), con);
    long uebertragen = 0;
    zDate vorige;
    // The main case's closings by account (a row per register at most).
    QHash<unsigned long, zDate> abgeschlossen;
    zDate spaetesterAbschluss;
    QString abgeschlosseneKonten;
    {
        rsDataSource rs(con, QStringLiteral("SELECT Konto, MAX(Datum) AS Datum FROM eurKassenabschluss WHERE Konto<>0 GROUP BY Konto"));
        for (; !rs.isEOF(); rs.fetch()) {
            const zDate bis = rs.field(QStringLiteral("Datum")).toDate();
            if (!bis.isValid()) continue;
            abgeschlossen.insert(rs.field(QStringLiteral("Konto")).toULong(), bis);
            if (!spaetesterAbschluss.isValid() || spaetesterAbschluss < bis) spaetesterAbschluss = bis;
            abgeschlosseneKonten += (abgeschlosseneKonten.isEmpty() ? QString() : QStringLiteral(",")) + rs.field(QStringLiteral("Konto")).toString();
        }
        if (rs.isError()) return abbrechen(con->getErr()->last());
    }
    rsDataSource ex(&d, QStringLiteral("SELECT * FROM eurKassenbuchExporte WHERE Konto=") + k + QStringLiteral(" AND KassenID=") +
                            q(DatenTyp(kassenID)) + QStringLiteral(" ORDER BY Datum"));
    for (; !ex.isEOF(); ex.fetch()) {
        const zDate datum = ex.field(QStringLiteral("Datum")).toDate();
        const zDate ab = vorige;
        vorige = datum;
        if (GetDatenTyp(con, QStringLiteral("SELECT COUNT(*) FROM eurKassenbuchImporte WHERE Konto=") + k + QStringLiteral(" AND KassenID=") +
                                 q(DatenTyp(kassenID)) + QStringLiteral(" AND Datum=") + q(DatenTyp(datum)))
                .toLongLong() > 0)
            continue;
        const QString fenster = bedingungBuchungenAufKonto(konto) + datumsfenster(ab, datum);
        // A closing the main case made on the register itself still holds.
        // The lines on accounts it closed are read in one pass, in the order
        // the bookings are numbered, up to the first a closing covers.
        if (!abgeschlossen.isEmpty()) {
            rsDataSource z(&d, QStringLiteral("SELECT b.Belegdatum, z.Konto FROM (SELECT Buchungsnummer, Belegdatum FROM eurVerbucht WHERE ") +
                                   fenster + QStringLiteral(" AND Belegdatum<") + q(DatenTyp(spaetesterAbschluss.addDays(1))) +
                                   QStringLiteral(") b JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer=b.Buchungsnummer WHERE z.Konto IN (") +
                                   abgeschlosseneKonten + QStringLiteral(") ORDER BY b.Belegdatum, b.Buchungsnummer, z.SteuerID, z.ID"));
            for (; !z.isEOF(); z.fetch()) {
                const unsigned long nr = z.field(QStringLiteral("Konto")).toULong();
                const zDate am = z.field(QStringLiteral("Belegdatum")).toDate();
                const zDate bis = abgeschlossen.value(nr);
                if (am.isValid() && bis.isValid() && !(bis < am)) return abbrechen(KontoGlobal::pruefeKasseAbgeschlossen({nr}, am, false, con));
            }
            if (z.isError()) return abbrechen(d.getErr()->last());
        }
        // The bookings of this export, renumbered after the case's highest in
        // the order of their dates.
        const long kopiert = kopiereUmnummeriert({&d, con, fenster, kopfSpalten, zeilenSpalten}, &naechste, &grund);
        if (kopiert < 0) return abbrechen(grund);
        uebertragen += kopiert;
        if (!ExecPrepared(con, QStringLiteral("INSERT INTO eurKassenbuchImporte (ImportID, ExportID, Konto, KassenID, Saldo, Datum) VALUES (?, ?, ?, ?, ?, ?)"),
                          {DatenTyp(KontoGlobal::getMaxKey(con, QStringLiteral("SELECT MAX(ImportID) FROM eurKassenbuchImporte")) + 1),
                           ex.field(QStringLiteral("ExportID")), DatenTyp(konto), DatenTyp(kassenID), ex.field(QStringLiteral("Saldo")),
                           DatenTyp(datum)}))
            return abbrechen(con->getErr()->last());
    }
    if (!tx.commit()) return nein(con->getErr()->last());
    lauf.gebucht(int(uebertragen));
    if (!lauf.abschliessen(&grund)) return nein(grund);
    if (uebertragen == 0) {
        if (meldung) *meldung = QStringLiteral("Es wurden keine Buchungen gefunden, die hätten importiert werden können.");
        return 0;
    }
    QString text = uebertragen == 1 ? QStringLiteral("Der Import wurde erfolgreich abgeschlossen.\nEs wurde eine Buchung übertragen.")
                                    : QStringLiteral("Der Import wurde erfolgreich abgeschlossen.\nEs wurden ") + QString::number(uebertragen) +
                                          QStringLiteral(" Buchungen übertragen.");
    const zDate fest = KontoGlobal::getFestgeschriebenBis();
    if (fest.isValid()) {
        const long gesperrt = GetDatenTyp(con, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer>=") +
                                                   q(DatenTyp(naechste - (unsigned long)uebertragen)) + QStringLiteral(" AND Belegdatum<=") +
                                                   q(DatenTyp(fest)))
                                  .toLongLong();
        if (gesperrt > 0)
            text += QStringLiteral("<br><p><b>Hinweis:</b> Die Buchungen bis zum ") + fest.getText() + QStringLiteral(" sind bereits festgeschrieben.</p>") +
                    (gesperrt == 1 ? QStringLiteral("<p>Eine der importierten Buchungen wurde")
                                   : QStringLiteral("<p>%1  der importierten Buchungen wurden").arg(gesperrt)) +
                    QStringLiteral(" daher ebenfalls festgeschrieben.</p>");
    }
    if (meldung) *meldung = text;
    return uebertragen;
}

}  // namespace Kasse
