// The case database of a manager: file names, opening and closing, the
// rebuild of outdated files from the template, case properties, the import
// database and the export-variable table. The conversion steps themselves
// are in konvertierung.cpp.
#include "kontbaum/rahmen/kontglob.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/app/options.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char* const kQuelle = "kontbaum/kontglob";

// The stored, scrambled form of the database password (see dbPassword).
const char* const kPasswortVerschluesselt = "ohpuunygr";

QString withExtension(const QString& path, const QString& ext) {
    QFileInfo fi(path);
    const QString dir = fi.path();
    QString base = fi.fileName();
    const int dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) base = base.left(dot);
    return QDir(dir).filePath(base + QLatin1Char('.') + ext);
}

// The program always uses the SQLite driver: ".mdb" names become ".db3".
QString sqliteName(QString path) {
    if (path.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive))
        path = path.left(path.size() - 4) + GlobalInst::sqliteExtension();
    return path;
}

// Tables carried over by the rebuild of an outdated database, in this order;
// the lock history only exists from version 20161390 on.
const char* const kKopierTabellen[] = {
    "eurFormulare", "Falleigenschaften", "eurSteuerschluessel", "eurKontenklassen", "eurKategorien",
    "eurKontenplan", "eurBeispiel", "eurBeispielBuchungszeilen", "eurStapel", "eurStapelBuchungszeilen",
    "eurVerbucht", "eurVerbuchtBuchungszeilen", "eurSplittBuchungszeilen", "eurUebernahme",
    "eurUebernahmeBuchungszeilen", "eurBankverbindung", "Velotra", "eurUmsatz", "eurKassenbuchExporte",
    "eurKassenbuchImporte", "eurKassenabschluss", "eurExportierteKassen", "eurExportierteDaten",
    "eurKennzifferbereiche", "reEinheiten", "reZahlungsbedingungen", "reWarengruppen", "reKundensalden",
    "reArtikel", "rePersonen", "reBankverbindungen", "reAngebote", "reAngebotePositionen",
    "reAuftragsbestaetigungen", "reAuftragsbestaetigungenPositionen", "reLieferscheine",
    "reLieferscheinePositionen", "reRechnungen", "reRechnungenPositionen", "reMahnungen", "reRabatt", "rePreise",
    "reVersandkosten", "reVerwaltung", "reTempPositionen", "AfA_Zeitraum", "eurSperrgrenzen"};
}  // namespace

QString KontoGlobal::dbPassword() { return rot13(QString::fromLatin1(kPasswortVerschluesselt)); }

QString KontoGlobal::getDBDir(int slot) {
    GlobalInst& g = GetGlobal();
    const QString name = QStringLiteral("kont%1_").arg(slot);
    QString dir = g.GetTempDir(name, false);
    if (dir.isEmpty()) dir = g.GetTempDir(name, true);
    if (dir.isEmpty()) dir = g.GetWriteableHomeDir();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

QString KontoGlobal::getDatenbankName() const {
    // The case file opened in place is the case database itself.
    if (m_DatenbankIstFalldatei) return m_mdb_name;
    GlobalInst& g = GetGlobal();
    QString dir = g.GetDB_Dir(GlobalInst::kCaseConnection);
    if (dir.isEmpty()) dir = m_KontoTempDir;
    QString name = g.GetDB_Name(GlobalInst::kCaseConnection);
    if (name.isEmpty()) name = QStringLiteral("temp.mdb");
    return sqliteName(QDir(dir).filePath(name));
}

QString KontoGlobal::getImportDatenbankName() const {
    QString basis = getDatenbankName();
    // A case file opened in place has its user's directory around it, which
    // is no place for scratch files: the import database goes to the slot's.
    if (m_DatenbankIstFalldatei && !m_KontoTempDir.isEmpty())
        basis = QDir(m_KontoTempDir).filePath(QFileInfo(basis).fileName());
    return sqliteName(withExtension(basis, QStringLiteral("import.mdb")));
}

bool KontoGlobal::existsImportDB() const {
    const QString n = getImportDatenbankNameProg();
    return !n.isEmpty() && QFile::exists(n);
}

bool KontoGlobal::deleteImportDB() const {
    const QString n = getImportDatenbankNameFall();
    return !QFile::exists(n) || QFile::remove(n);
}

bool KontoGlobal::openImportDB(const QString& caseDb, int kind, bool) {
    if (!QFile::exists(caseDb)) return false;
    GlobalInst& g = GetGlobal();
    const int before = g.IsImport();
    g.SetImport(kind);
    const QString target = getImportDatenbankName();
    QFile::remove(target);
    const bool ok = QFile::copy(caseDb, target);
    if (ok) QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    if (!ok) g.SetImport(before);
    return ok;
}

QString KontoGlobal::inImportDB() const {
    return QStringLiteral("ATTACH DATABASE ") + rsDataSource::toSqlStr(getImportDatenbankName()) +
           QStringLiteral(" AS imp");
}

void KontoGlobal::createConnectionKonto(bool neu) {
    if (m_con) return;
    QString path = getDatenbankName();
    if (GetGlobal().IsImport() == 99) path = getImportDatenbankNameProg();
    verbinde(path, neu, nullptr);
}

bool KontoGlobal::oeffneFalldatei(const QString& pfad, bool nurLesen, int warteMs) {
    destroyConnectionKonto();
    // Only the primary case is ever a case file of its own, and an import
    // run works on its import database.
    if (m_slot != 0 || GetGlobal().IsImport() == 99) return false;
    const FalldateiZugriff zugriff{nurLesen, warteMs};
    verbinde(pfad, false, &zugriff);
    return m_con != nullptr;
}

void KontoGlobal::verbinde(const QString& pfad, bool neu, const FalldateiZugriff* direkt) {
    if (TesmaIni::getInt(QStringLiteral("Datenbank"), QStringLiteral("NOODBC"), 0) != 0) return;

    auto* con = new DBConnection;
    if (!con->isValid()) {
        delete con;
        return;
    }
    // The connection's errors, when shown, reach the person through the Ui.
    con->setFehlerAnzeige([](const QString& text) { GetUi().rsError(text); });
    GlobalInst& g = GetGlobal();
    QString path = pfad;

    if (neu) {
        QFile::remove(path);
        path = sqliteName(path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        const bool b = QFile::copy(GlobalInst::templateFile(), path);
        if (!b) rs_logAssert(QString::fromLatin1(kQuelle), __LINE__, QStringLiteral("b"));
        // The template is installed read-only; the working copy must be writable.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    // The case file itself (oeffneFalldatei): opened in place, durable, and
    // never rebuilt or cleaned up here; the caller has made sure it needs
    // neither before it asked for the direct way.
    if (direkt) {
        con->setReadOnly(direkt->nurLesen);
        con->setBusyTimeout(direkt->warteMs);
    }
    if (!con->createAndConnect(path, QStringLiteral("admin"), dbPassword(), false)) {
        con->getErr()->vShowErrors(-1);
        delete con;
        return;
    }
    if (direkt) {
        con->setDurableMode();
    } else {
        con->setFastMode();
    }
    m_con = con;
    m_mdb_name = path;
    m_DatenbankIstFalldatei = direkt != nullptr;
    if (m_slot == 0) g.SetDBConnect_Ptr(m_con, GlobalInst::kCaseConnection);
    if (direkt && m_slot == 0) {
        // Those who ask the host for the case database get the case file.
        const QFileInfo fi(path);
        g.SetDB_Dir(fi.absolutePath(), GlobalInst::kCaseConnection);
        g.SetDB_Name(fi.fileName(), GlobalInst::kCaseConnection);
    }

    if (!neu && !direkt) {
        const long oldVersion = GetDBVersion(m_con);
        // The program year is the old file's: the rebuild below starts from
        // the template, whose own "ProgrammJahr" row would hide that the old
        // file had none (and so came from 2009).
        const int pjAlt = getFalleigenschaft(QStringLiteral("ProgrammJahr"), m_con).toInt();
        rsOptionsGlobal& opt = rsOptionsGlobal::instance();
        opt.setInt(QStringLiteral("Private"), QStringLiteral("OldDBVersionVorjahr"), int(oldVersion));
        if (opt.getInt(QStringLiteral("Private"), QStringLiteral("WSConvertDoConvert"), 0) == 0)
            DBKontoConvert();
        else
            opt.setInt(QStringLiteral("Private"), QStringLiteral("WSConvertDoConvert"), 0);
        if (!m_con) return;  // the rebuild could not reopen the database

        long refVersion = 0;
        if (DBConnection* ref = g.GetDBConnect_Ptr(GlobalInst::kReferenceConnection))
            refVersion = GetDatenTyp(ref, QStringLiteral("SELECT MAX(Version) FROM Version")).toLongLong();
        int pj = pjAlt;
        if (pj == 0) pj = 2009;
        setDoUpdateDB(oldVersion < refVersion);
        runConversionSteps(oldVersion, pj);
    }
    if (direkt && direkt->nurLesen) return;
    setFalleigenschaft(QStringLiteral("Programm"), g.GetProgramName(), m_con);
    setFalleigenschaft(QStringLiteral("ProgrammJahr"), QStringLiteral("2016"), m_con);
}

void KontoGlobal::destroyConnectionKonto() {
    if (m_con) {
        // No window stack exists in this host; pending deferred deletions of
        // dialogs that still point at the connection are nevertheless flushed
        // by the GUI host before it calls us.
        GlobalInst& g = GetGlobal();
        if (m_slot == 0 && g.GetDBConnect_Ptr(GlobalInst::kCaseConnection) == m_con)
            g.SetDBConnect_Ptr(nullptr, GlobalInst::kCaseConnection);
        delete m_con;
        m_con = nullptr;
    }
    if (m_DatenbankIstFalldatei) {
        // The durable case file is closed, never removed; the host's slot
        // names the working directory again.
        m_DatenbankIstFalldatei = false;
        m_mdb_name.clear();
        if (m_slot == 0) {
            GlobalInst& g = GetGlobal();
            g.SetDB_Dir(m_KontoTempDir, GlobalInst::kCaseConnection);
            g.SetDB_Name(QString(), GlobalInst::kCaseConnection);
        }
        return;
    }
    if (!m_mdb_name.isEmpty() && !m_mdb_name.contains(QLatin1String(".import.mdb")) &&
        !m_mdb_name.contains(QStringLiteral(".import") + GlobalInst::sqliteExtension())) {
        QFile::remove(m_mdb_name);
        m_mdb_name.clear();
    }
}

DBConnection* KontoGlobal::GetDBConnectKonto_Ptr() {
    GlobalInst& g = GetGlobal();
    DBConnection* hostCase = g.GetDBConnect_Ptr(GlobalInst::kCaseConnection);
    if (hostCase != g.GetDBConnect_Ptr(0)) return hostCase;
    if (!m_con) createConnectionKonto(true);
    return m_con;
}

void KontoGlobal::SetDBConnectKonto_Ptr(DBConnection* con) {
    if (m_con) {
        // Keep the working file: the caller hands us a replacement connection,
        // typically to the same database.
        const QString keep = m_mdb_name;
        m_mdb_name.clear();
        destroyConnectionKonto();
        m_mdb_name = keep;
    }
    m_con = con;
}

int KontoGlobal::DBKontoConvert() {
    if (!m_con) return -1;
    GlobalInst& g = GetGlobal();
    QString path = m_mdb_name.isEmpty() ? getDatenbankName() : m_mdb_name;
    if (g.IsImport() == 99) path = getImportDatenbankName();
    const QString copy = withExtension(path, QStringLiteral("vj"));
    if (QFile::exists(copy)) return 0;

    QString versionString;
    const bool force = g.isTestFlag(0x200) || g.isTestFlag(0x1);
    if (!DBNeedsUpdate(m_con, g.GetDBConnect_Ptr(GlobalInst::kReferenceConnection), versionString) && !force) return 0;
    const long oldVersion = versionString.toLong();

    // No backup facility for case files exists on this platform: the case
    // file itself is untouched by the rebuild (only the working copy changes).
    if (!QFile::copy(path, copy)) {
        rs_logAssert(QString::fromLatin1(kQuelle), __LINE__, QStringLiteral("QFile::copy(path, copy)"));
        return 0;
    }
    destroyConnectionKonto();
    createConnectionKonto(true);
    if (!m_con) return 0;
    for (const char* t : kKopierTabellen) {
        if (rsCopyTablesFromExternalDatabase(m_con, copy, QString::fromLatin1(t)) < 0) m_con->getErr()->clear();
    }
    if (oldVersion >= 20161390) rsCopyTablesFromExternalDatabase(m_con, copy, QStringLiteral("eurFestschreibungen"));
    QFile::remove(copy);
    return 0;
}

bool KontoGlobal::existsColumnInTable(const QString& table, const QString& column) {
    DBConnection* con = m_con ? m_con : GetDBConnectKonto_Ptr();
    if (!con) return false;
    // LIMIT 0 gives the column names without reading a row.
    rsDataSource rs(con, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" LIMIT 0"));
    const bool ok = !rs.isError() && rs.getFields()->hasField(column);
    con->getErr()->clear();
    return ok;
}

unsigned long KontoGlobal::getMaxKey(DBConnection* con, const QString& sql) {
    if (!con) {
        rs_logAssert(QString::fromLatin1(kQuelle), __LINE__, QStringLiteral("pDBCon!=NULL"));
        return 0;
    }
    const DatenTyp v = GetDatenTyp(con, sql);
    if (v.isNull()) return 0;
    const qlonglong n = v.toLongLong();
    return n > 0 ? (unsigned long)n : 0;
}

void KontoGlobal::setFalleigenschaft(const QString& feld, const QString& wert, DBConnection* con) {
    con = rsFallDB(con);
    if (!con) return;
    const QString key = rsDataSource::toSqlStr(feld);
    bool exists = false;
    {
        rsDataSource rs(con, QStringLiteral("SELECT Wert FROM Falleigenschaften WHERE Feld=") + key);
        exists = !rs.isEOF();
        // Writing the value a property already has would change nothing but
        // turn every reading of a case into a write.
        if (exists && !rs.field(QStringLiteral("Wert")).isNull() && rs.field(QStringLiteral("Wert")).toString() == wert)
            return;
    }
    if (exists)
        ExecSQL(con, QStringLiteral("UPDATE Falleigenschaften SET Wert=") + rsDataSource::toSqlStr(wert) +
                         QStringLiteral(" WHERE Feld=") + key);
    else
        ExecSQL(con, QStringLiteral("INSERT INTO Falleigenschaften (Feld,Wert) VALUES (") + key +
                         QStringLiteral(", ") + rsDataSource::toSqlStr(wert) + QStringLiteral(")"));
}

QString KontoGlobal::getFalleigenschaft(const QString& feld, DBConnection* con) {
    con = rsFallDB(con);
    if (!con) return QString();
    const QVector<DatenTyp> v = QueryPrepared(con, QStringLiteral("SELECT Wert FROM Falleigenschaften WHERE Feld=?"), {DatenTyp(feld)});
    return v.isEmpty() || v.first().isNull() ? QString() : v.first().toString();
}

QList<QPair<QString, QString>> KontoGlobal::getFalleigenschaften(DBConnection* con) {
    QList<QPair<QString, QString>> l;
    con = rsFallDB(con);
    if (!con) return l;
    rsDataSource rs(con, QStringLiteral("SELECT Feld, Wert FROM Falleigenschaften ORDER BY Feld"));
    for (; !rs.isEOF(); rs.fetch()) l.append({rs.field(QStringLiteral("Feld")).toString(), rs.field(QStringLiteral("Wert")).toString()});
    return l;
}

int KontoGlobal::getAnzahlTabellen(DBConnection* con) {
    con = rsFallDB(con);
    return con ? GetDatenTyp(con, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table'")).toInt() : 0;
}

bool KontoGlobal::clearExportierteDaten(DBConnection* con) {
    return con && ExecSQL(con, QStringLiteral("DELETE FROM eurExportierteDaten"));
}

bool KontoGlobal::writeExportVarsToDB(const QList<rsExportVar>& vars, DBConnection* con) {
    if (!con) return false;
    unsigned long id = getMaxKey(con, QStringLiteral("SELECT MAX(Id) FROM eurExportierteDaten"));
    DBTransaktion tx(con);
    bool ok = tx.ok();
    for (const rsExportVar& v : vars) {
        if (!ok) break;
        ok = ExecSQL(con, QStringLiteral("INSERT INTO eurExportierteDaten (Id, Datenpfad, Variable, Wert) VALUES (") +
                              rsDataSource::toSqlStr(++id) + QStringLiteral(", ") +
                              rsDataSource::toSqlStr(v.datenpfad) + QStringLiteral(", ") +
                              rsDataSource::toSqlStr(v.variable) + QStringLiteral(", ") +
                              rsDataSource::toSqlStr(v.wert) + QStringLiteral(")"));
    }
    return ok && tx.commit();
}

QList<rsExportVar> KontoGlobal::readExportVarRows(DBConnection* con) {
    QList<rsExportVar> out;
    if (!con) return out;
    rsDataSource rs(con, QStringLiteral("SELECT * FROM eurExportierteDaten WHERE (NOT Datenpfad IS NULL) AND "
                                        "Datenpfad<>'' ORDER BY Datenpfad"));
    for (; !rs.isEOF(); rs.fetch())
        out.append({rs.field(QStringLiteral("Datenpfad")).toString(), rs.field(QStringLiteral("Variable")).toString(),
                    rs.field(QStringLiteral("Wert")).toString()});
    return out;
}

int KontoGlobal::readExportVars(DBConnection* con) {
    int gesetzt = 0;
    for (const rsExportVar& v : readExportVarRows(con))
        if (DatenBase::SetDBVar(v.datenpfad + QLatin1Char('\\') + v.variable, DatenTyp(v.wert), true)) ++gesetzt;
    return gesetzt;
}

void KontoGlobal::addExportVarsFromDatenBase(QList<rsExportVar>& vars, const QString& path) {
    const DatenBase* knoten = DatenBase::GetDB(path);
    if (!knoten) return;
    const QVariantMap werte = knoten->werte();
    for (auto it = werte.constBegin(); it != werte.constEnd(); ++it)
        vars.append({path, it.key(), it.value().toString()});
}
