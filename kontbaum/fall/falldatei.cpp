// The case file (see falldatei.h).
#include "kontbaum/fall/falldatei.h"

#include "host/app/atomicfile.h"
#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/archive.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kMagic("DALVO16C");
const QByteArray kSqliteKopf("SQLite format 3", 16);  // with its terminating NUL
constexpr int kSqliteKopfGroesse = 100;

enum class Art { SQLite, Alt, Kaputt, KeineDatei };

Art erkenne(const QString& pfad, QByteArray* kopfAus = nullptr) {
    const QFileInfo fi(pfad);
    // A FIFO or device would block or never end; only plain files are cases.
    if (!fi.isFile()) return Art::KeineDatei;
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return Art::KeineDatei;
    const QByteArray kopf = f.read(kSqliteKopfGroesse);
    if (kopfAus) *kopfAus = kopf;
    if (kopf.startsWith(kSqliteKopf)) return kopf.size() == kSqliteKopfGroesse ? Art::SQLite : Art::Kaputt;
    if (kopf.startsWith(kMagic)) return Art::Alt;
    return Art::Kaputt;
}

quint64 inodeVon(const QString& pfad) {
    struct stat st {};
    if (::stat(QFile::encodeName(pfad).constData(), &st) != 0) return 0;
    return quint64(st.st_ino) ^ (quint64(st.st_dev) << 40);
}

bool setze(QString* fehler, const QString& text) {
    if (fehler) *fehler = text;
    return false;
}

QString ladeFehler(const QString& pfad, const QString& grund) {
    return QStringLiteral("Die Falldatei „%1“ kann nicht geladen werden: %2").arg(pfad, grund);
}

QString speicherFehler(const QString& pfad, const QString& grund) {
    return QStringLiteral("Die Falldatei „%1“ konnte nicht gespeichert werden: %2").arg(pfad, grund);
}

// A write that was cut short leaves a hot journal beside the file; SQLite
// puts the last committed state back at the next open that may write. A
// read-only open cannot, so that one step is done here first. Nothing
// happens when no journal is there or another process still owns it.
void stelleNachAbbruchWiederHer(const QString& pfad) {
    if (!QFileInfo::exists(pfad + QStringLiteral("-journal"))) return;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        // A write killed before its journal was complete never touched the
        // file; SQLite leaves such a journal lying. Holding the write lock
        // proves that no one is writing, so it is only litter then.
        const QString journal = pfad + QStringLiteral("-journal");
        sqlite3_busy_timeout(db, 0);
        if (QFileInfo::exists(journal) && sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            QFile::remove(journal);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close(db);
}

// The SQLite text of a failed save in German: what matters to the user is
// whether the disk is full, the rest is named as it is.
QString sqliteGrund(DBConnection* con) {
    const int code = con && con->handle() ? (sqlite3_errcode(con->handle()) & 0xff) : SQLITE_ERROR;
    switch (code) {
    case SQLITE_FULL:
        return rsDateifehlerText(ENOSPC);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return rsDateifehlerText(EACCES);
    case SQLITE_IOERR:
        return rsDateifehlerText(EIO);
    default:
        return QStringLiteral("Die Datenbank meldet einen Fehler (%1).").arg(con ? con->getErr()->last() : QString());
    }
}

// The record of the root as it goes into table dalvoFall.
bool schreibeSatz(DBConnection* con, Kont_& root, QString* grund) {
    QByteArray daten;
    {
        QBuffer buf(&daten);
        buf.open(QIODevice::WriteOnly);
        RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion);
        if (!KontRecord::write(root, ar, false) || !ar.ok())
            return setze(grund, QStringLiteral("Die Daten des Falls konnten nicht zusammengestellt werden."));
    }
    if (!ExecSQL(con, QStringLiteral("CREATE TABLE IF NOT EXISTS dalvoFall (Nr INTEGER PRIMARY KEY CHECK (Nr=1), "
                                     "Datenversion INTEGER NOT NULL, Satz BLOB NOT NULL)")) ||
        !ExecPrepared(con, QStringLiteral("INSERT OR REPLACE INTO dalvoFall (Nr, Datenversion, Satz) VALUES (1, ?, ?)"),
                      {DatenTyp(qlonglong(KontRecord::kDatenversion)), DatenTyp::fromBlob(daten)}))
        return setze(grund, sqliteGrund(con));
    return true;
}

bool leseSatz(DBConnection* con, QByteArray* satz) {
    if (!rsTableExists(con, QStringLiteral("dalvoFall"))) return false;
    const DatenTyp v = GetDatenTyp(con, QStringLiteral("SELECT Satz FROM dalvoFall WHERE Nr=1"));
    if (v.isNull()) return false;
    *satz = v.toBlob();
    return !satz->isEmpty();
}

bool wendeSatzAn(const QByteArray& satz, Kont_& root, QString* grund) {
    QByteArray daten = satz;
    QBuffer buf(&daten);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion, true);
    if (!ar.isValid()) return setze(grund, ar.errorText());
    if (!KontRecord::read(root, ar, grund, false)) return false;
    root.ioUpdate(ar.dataVersion());
    root.UpdateAfterLoading(0);
    return true;
}

// Writes the open working database (with its record already stored) as the
// case file `ziel`: a compact copy beside the target, then installed in one
// step. The header marks it as a case file of this container format.
bool installiere(DBConnection* con, const QString& ziel, bool ersetzen, QString* fehler) {
    if (!ExecSQL(con, QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=%2")
                          .arg(Falldatei::kApplicationId)
                          .arg(Falldatei::kFormat)))
        return setze(fehler, speicherFehler(ziel, sqliteGrund(con)));
    const QFileInfo fi(ziel);
    if (!QFileInfo(fi.absolutePath()).isDir())
        return setze(fehler, speicherFehler(ziel, QStringLiteral("Das Verzeichnis existiert nicht.")));
    QString tmpName;
    {
        QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".XXXXXX"));
        tmp.setAutoRemove(false);
        if (!tmp.open()) return setze(fehler, speicherFehler(ziel, rsDateifehlerText(EACCES)));
        tmpName = tmp.fileName();
    }
    // VACUUM INTO takes an empty file; it writes a compact, consistent copy.
    if (!ExecSQL(con, QStringLiteral("VACUUM INTO %1").arg(rsDataSource::toSqlStr(tmpName)))) {
        const QString grund = sqliteGrund(con);
        QFile::remove(tmpName);
        return setze(fehler, speicherFehler(ziel, grund));
    }
    QFile::setPermissions(tmpName, ersetzen && QFileInfo::exists(ziel)
                                       ? QFile(ziel).permissions()
                                       : (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    return rsInstallFileAtomic(tmpName, ziel, ersetzen, fehler);
}

KontoGlobal* manager() { return GetKontoGlobal(0, false); }

QString sekunden(int ms) {
    const int s = (ms + 999) / 1000;
    return s == 1 ? QStringLiteral("1 Sekunde") : QStringLiteral("%1 Sekunden").arg(s);
}
}  // namespace

QString Falldatei::beschaedigtText(const QString& pfad) {
    return ladeFehler(pfad, QStringLiteral("Die Datei ist beschädigt oder unvollständig."));
}

// A file that does not even begin like a case was never one: calling it
// damaged would send the user looking for a backup of the wrong file.
static QString unlesbarText(const QString& pfad) {
    QFile f(pfad);
    const QByteArray kopf = f.open(QIODevice::ReadOnly) ? f.read(kSqliteKopf.size()) : QByteArray();
    if (kopf.startsWith(kSqliteKopf) || kopf.startsWith(kMagic)) return Falldatei::beschaedigtText(pfad);
    return ladeFehler(pfad, kopf.isEmpty() ? QStringLiteral("Die Datei ist leer; sie ist keine Falldatei.")
                                           : QStringLiteral("Die Datei ist keine Falldatei von dalvo. Bitte geben Sie eine Falldatei an."));
}

bool Falldatei::istFalldatei(const QString& pfad) {
    QByteArray kopf;
    const Art art = erkenne(pfad, &kopf);
    if (art == Art::Alt) return true;
    if (art != Art::SQLite) return false;
    // application_id: four bytes big-endian at offset 68 of the header.
    const quint32 id = (quint32(quint8(kopf[68])) << 24) | (quint32(quint8(kopf[69])) << 16) |
                       (quint32(quint8(kopf[70])) << 8) | quint32(quint8(kopf[71]));
    return id == kApplicationId;
}

Falldatei::~Falldatei() { schliessenSitzung(); }

void Falldatei::schliessen() {
    if (KontoGlobal* kg = manager()) {
        if (kg->isDatenbankFalldatei()) kg->destroyConnectionKonto();
    }
    if (m_sperre >= 0) {
        ::close(m_sperre);  // releases the flock
        m_sperre = -1;
    }
}

void Falldatei::verwerfen() {
    if (!m_offen && m_sperre < 0) return;
    if (m_sitzung) {
        // The file stays open; what the dropped action changed in memory is
        // read again from the file at the next beginnen().
        if (KontoGlobal* kg = manager())
            if (DBConnection* con = kg->GetDBConnect_Ptr())
                if (con->inOuter()) {
                    con->rollbackOuter();
                    if (m_zugriff == Zugriff::Schreiben) m_satzVeraltet = true;
                }
        return;
    }
    m_offen = false;
    if (KontoGlobal* kg = manager())
        if (DBConnection* con = kg->GetDBConnect_Ptr())
            if (con->inOuter()) con->rollbackOuter();
    schliessen();
}

bool Falldatei::oeffnen(const QString& pfad, Zugriff zugriff, int warteMs, Kont_& root, QString* fehler) {
    schliessenSitzung();
    // A case reached through a symbolic link is the link's target: saving
    // (and a conversion's rename) must change the target, never replace the
    // link by a file.
    const QString ziel = QFileInfo(pfad).canonicalFilePath();
    m_pfad = ziel.isEmpty() ? pfad : ziel;
    m_zugriff = zugriff;
    m_warteMs = warteMs < 0 ? 0 : warteMs;
    m_umwandeln = false;
    m_gesperrt = false;
    rsDbResetCorruptionSeen();
    if (!manager()) return setze(fehler, ladeFehler(pfad, QStringLiteral("Es ist kein Fall geöffnet.")));

    const QFileInfo fi(m_pfad);
    if (!fi.exists()) return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei existiert nicht.")));
    if (!fi.isFile()) return setze(fehler, ladeFehler(pfad, QStringLiteral("Das ist keine Datei, sondern ein Verzeichnis oder Gerät.")));
    if (!fi.isReadable()) return setze(fehler, ladeFehler(pfad, rsDateifehlerText(EACCES)));
    if (zugriff == Zugriff::Schreiben) {
        // SQLite writes its journal beside the file; both must be writable,
        // and a refusal before any work leaves everything as it was.
        if (::access(QFile::encodeName(fi.absoluteFilePath()).constData(), W_OK) != 0 ||
            ::access(QFile::encodeName(fi.absolutePath()).constData(), W_OK) != 0)
            return setze(fehler, QStringLiteral("Die Falldatei „%1“ ist schreibgeschützt: Für die Datei oder ihr "
                                                "Verzeichnis fehlt die Schreibberechtigung. Nichts wurde geändert.")
                                     .arg(pfad));
    }

    for (int versuch = 0; versuch < 5; ++versuch) {
        const Art art = erkenne(m_pfad);
        if (art == Art::KeineDatei) return setze(fehler, ladeFehler(pfad, rsDateifehlerText(EACCES)));
        if (art == Art::Kaputt) return setze(fehler, unlesbarText(pfad));
        bool nochmal = false;
        if (art == Art::SQLite) {
            stelleNachAbbruchWiederHer(m_pfad);
            bool umwandeln = false;
            if (oeffnenDirekt(root, fehler, &umwandeln, &nochmal)) return true;
            if (nochmal) continue;
            if (!umwandeln) return false;
        }
        if (oeffnenUmwandeln(root, art == Art::Alt, fehler, &nochmal)) return true;
        if (!nochmal) return false;
    }
    return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei wurde während des Öffnens immer wieder ersetzt.")));
}

bool Falldatei::oeffnenDirekt(Kont_& root, QString* fehler, bool* umwandeln, bool* nochmal) {
    KontoGlobal* kg = manager();
    GlobalInst& g = GetGlobal();
    const bool schreiben = m_zugriff == Zugriff::Schreiben;
    kg->destroyConnectionKonto();
    const quint64 vorher = inodeVon(m_pfad);

    auto abbrechen = [&](const QString& text) {
        m_offen = true;  // so that verwerfen rolls back and closes
        verwerfen();
        return setze(fehler, text);
    };
    // The case file itself is the case database, opened by its path.
    kg->oeffneFalldatei(m_pfad, !schreiben, m_warteMs);
    DBConnection* con = kg->GetDBConnect_Ptr();
    if (!kg->isConnected() || !con) return abbrechen(beschaedigtText(m_pfad));
    if (!con->beginOuter(schreiben)) {
        if (con->lockTimedOut()) {
            m_gesperrt = true;
            return abbrechen(QStringLiteral("Die Falldatei „%1“ wird gerade von einem anderen Befehl bearbeitet; nach %2 "
                                            "Warten wurde abgebrochen. Nichts wurde geändert. Versuchen Sie "
                                            "es später noch einmal.")
                                 .arg(m_pfad, sekunden(m_warteMs)));
        }
        return abbrechen(rsDbCorruptionSeen() ? beschaedigtText(m_pfad) : ladeFehler(m_pfad, sqliteGrund(con)));
    }
    // The first read takes the shared lock: from here on the file cannot
    // change under this command (a writer holds even the write lock).
    const qlonglong appId = GetDatenTyp(con, QStringLiteral("PRAGMA application_id")).toLongLong();
    const qlonglong format = GetDatenTyp(con, QStringLiteral("PRAGMA user_version")).toLongLong();
    if (con->lockTimedOut() || (!con->getErr()->isEmpty() && (sqlite3_errcode(con->handle()) & 0xff) == SQLITE_BUSY)) {
        m_gesperrt = true;
        return abbrechen(QStringLiteral("Die Falldatei „%1“ wird gerade von einem anderen Befehl gespeichert; nach %2 "
                                        "Warten wurde abgebrochen. Versuchen Sie es später noch einmal.")
                             .arg(m_pfad, sekunden(m_warteMs)));
    }
    if (inodeVon(m_pfad) != vorher) {
        // The file was replaced (a conversion finished) between the look at
        // its name and the lock: this connection holds the old one.
        *nochmal = true;
        m_offen = true;
        verwerfen();
        return false;
    }
    if (rsDbCorruptionSeen()) return abbrechen(beschaedigtText(m_pfad));
    if (qint64(appId) != qint64(kApplicationId))
        return abbrechen(ladeFehler(m_pfad, QStringLiteral("Die Datei ist eine SQLite-Datenbank, aber keine Falldatei von dalvo.")));
    if (format > kFormat)
        return abbrechen(ladeFehler(m_pfad, QStringLiteral("Die Datei wurde von einer neueren Programmversion geschrieben "
                                                           "(Dateiformat %1). Bitte verwenden Sie die neuere Version.")
                                                .arg(format)));
    if (format < 1) return abbrechen(beschaedigtText(m_pfad));
    // A cut or grown file shows in the page count of its header.
    const qlonglong seiten = GetDatenTyp(con, QStringLiteral("PRAGMA page_count")).toLongLong();
    const qlonglong seite = GetDatenTyp(con, QStringLiteral("PRAGMA page_size")).toLongLong();
    if (seiten <= 0 || seite <= 0 || seiten * seite != QFileInfo(m_pfad).size()) return abbrechen(beschaedigtText(m_pfad));

    // Files that need their conversion or clean-up go the way of a copy.
    long refVersion = 0;
    if (DBConnection* ref = g.GetDBConnect_Ptr(GlobalInst::kReferenceConnection)) refVersion = GetDBVersion(ref);
    const long version = GetDBVersion(con);
    if (version < refVersion ||
        KontoGlobal::getFalleigenschaft(QStringLiteral("ProgrammJahr"), con) != QLatin1String("2016") ||
        KontoGlobal::getFalleigenschaft(QStringLiteral("Bereinigen"), con) == QLatin1String("1")) {
        if (rsDbCorruptionSeen()) return abbrechen(beschaedigtText(m_pfad));
        *umwandeln = true;
        m_offen = true;
        verwerfen();
        return false;
    }

    QByteArray satz;
    if (!leseSatz(con, &satz)) return abbrechen(beschaedigtText(m_pfad));
    QString grund;
    if (!wendeSatzAn(satz, root, &grund)) return abbrechen(ladeFehler(m_pfad, grund));
    // A writer gives a case the indexes the reports read through (a no-op
    // when they are there); a failure only makes the reports slower.
    if (schreiben && !Berichte::indizesSicherstellen(con)) con->getErr()->clear();
    if (rsDbCorruptionSeen()) return abbrechen(beschaedigtText(m_pfad));
    m_offen = true;
    return true;
}

bool Falldatei::sperreExklusiv(QString* fehler, bool* nochmal) {
    const int fd = ::open(QFile::encodeName(m_pfad).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return setze(fehler, ladeFehler(m_pfad, rsDateifehlerText(errno)));
    QElapsedTimer uhr;
    uhr.start();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return setze(fehler, ladeFehler(m_pfad, rsDateifehlerText(errno)));
        }
        if (uhr.elapsed() >= m_warteMs) {
            ::close(fd);
            m_gesperrt = true;
            return setze(fehler, QStringLiteral("Die Falldatei „%1“ wird gerade von einem anderen Befehl umgewandelt; nach "
                                                "%2 Warten wurde abgebrochen. Versuchen Sie es später noch einmal.")
                                     .arg(m_pfad, sekunden(m_warteMs)));
        }
        QThread::msleep(20);
    }
    struct stat offen {}, jetzt {};
    if (::fstat(fd, &offen) != 0 || ::stat(QFile::encodeName(m_pfad).constData(), &jetzt) != 0 ||
        offen.st_ino != jetzt.st_ino || offen.st_dev != jetzt.st_dev) {
        ::close(fd);  // another command converted it meanwhile
        *nochmal = true;
        return false;
    }
    m_sperre = fd;
    return true;
}

bool Falldatei::oeffnenUmwandeln(Kont_& root, bool alt, QString* fehler, bool* nochmal) {
    KontoGlobal* kg = manager();
    if (m_zugriff == Zugriff::Schreiben && !sperreExklusiv(fehler, nochmal)) return false;
    auto abbrechen = [&](const QString& text) {
        m_offen = true;
        verwerfen();
        return setze(fehler, text);
    };
    kg->destroyConnectionKonto();
    // Re-check under the lock: the file may have changed kind meanwhile.
    const Art art = erkenne(m_pfad);
    if (art == Art::Kaputt || art == Art::KeineDatei) return abbrechen(beschaedigtText(m_pfad));
    if ((art == Art::Alt) != alt) {
        *nochmal = true;
        m_offen = true;
        verwerfen();
        return false;
    }

    QString grund;
    if (alt) {
        QFile f(m_pfad);
        if (!f.open(QIODevice::ReadOnly)) return abbrechen(ladeFehler(m_pfad, rsDateifehlerText(EACCES)));
        QByteArray daten = f.readAll();
        f.close();
        QBuffer buf(&daten);
        buf.open(QIODevice::ReadOnly);
        RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion, true);
        if (!ar.isValid()) return abbrechen(ladeFehler(m_pfad, ar.errorText()));
        if (!KontRecord::read(root, ar, &grund, true)) return abbrechen(ladeFehler(m_pfad, grund));
        root.ioUpdate(ar.dataVersion());
        root.UpdateAfterLoading(0);
    } else {
        // A consistent copy of the case into the working database; the
        // conversion then runs on the copy as on any opened database.
        const QString arbeit = kg->getDatenbankName();
        QFile::remove(arbeit);
        QByteArray satz;
        {
            DBConnection quelle;
            quelle.setReadOnly(true);
            quelle.setBusyTimeout(m_warteMs);
            if (!quelle.createAndConnect(m_pfad, QString(), QString(), false)) return abbrechen(beschaedigtText(m_pfad));
            if (!leseSatz(&quelle, &satz) ||
                !ExecSQL(&quelle, QStringLiteral("VACUUM INTO %1").arg(rsDataSource::toSqlStr(arbeit))) ||
                rsDbCorruptionSeen()) {
                QFile::remove(arbeit);
                return abbrechen(beschaedigtText(m_pfad));
            }
        }
        kg->createConnectionKonto(false);
        if (!kg->isConnected()) return abbrechen(beschaedigtText(m_pfad));
        if (!wendeSatzAn(satz, root, &grund)) return abbrechen(ladeFehler(m_pfad, grund));
    }
    if (DBConnection* con = kg->GetDBConnect_Ptr()) {
        ExecSQL(con, QStringLiteral("DELETE FROM Falleigenschaften WHERE Feld='Bereinigen'"));
        if (!Berichte::indizesSicherstellen(con)) con->getErr()->clear();
    }
    if (rsDbCorruptionSeen()) return abbrechen(beschaedigtText(m_pfad));
    m_umwandeln = true;
    m_offen = true;
    return true;
}

bool Falldatei::sichern(Kont_& root, QString* fehler) {
    KontoGlobal* kg = manager();
    DBConnection* con = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!m_offen || m_zugriff != Zugriff::Schreiben || !con)
        return setze(fehler, speicherFehler(m_pfad, QStringLiteral("Die Datei ist nicht zum Schreiben geöffnet.")));
    QString grund;
    auto abbrechen = [&](const QString& text) {
        verwerfen();
        return setze(fehler, text);
    };
    if (rsDbCorruptionSeen()) return abbrechen(beschaedigtText(m_pfad));
    if (!schreibeSatz(con, root, &grund)) return abbrechen(speicherFehler(m_pfad, grund));
    if (m_umwandeln) {
        QString f;
        if (!installiere(con, m_pfad, true, &f)) return abbrechen(f);
        verwerfen();
        return true;
    }
    if (!con->commitOuter()) {
        if (m_sitzung) {
            // The session goes on; the memory is read again from the file.
            m_satzVeraltet = true;
            m_gesperrt = con->lockTimedOut();
            return setze(fehler, speicherFehler(m_pfad, rsDbCorruptionSeen() ? QStringLiteral("Die Datei ist beschädigt oder unvollständig.")
                                                                               : sqliteGrund(con)));
        }
        const bool gesperrt = con->lockTimedOut();
        m_gesperrt = gesperrt;
        grund = rsDbCorruptionSeen() ? QStringLiteral("Die Datei ist beschädigt oder unvollständig.")
                : gesperrt ? QStringLiteral("Ein anderer Befehl liest die Datei noch; nach %1 Warten wurde "
                                            "abgebrochen. Nichts wurde geändert.")
                                 .arg(sekunden(m_warteMs))
                           : sqliteGrund(con);
        return abbrechen(speicherFehler(m_pfad, grund));
    }
    if (m_sitzung) return true;
    m_offen = false;
    schliessen();
    return true;
}

// --- a session ----------------------------------------------------------------

qlonglong Falldatei::datenVersion() {
    KontoGlobal* kg = manager();
    DBConnection* con = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!con || !con->handle()) return -1;
    const DatenTyp v = GetDatenTyp(con, QStringLiteral("PRAGMA data_version"));
    return v.isNull() ? -1 : v.toLongLong();
}

bool Falldatei::oeffnenSitzung(const QString& pfad, int warteMs, Kont_& root, QString* fehler) {
    if (!oeffnen(pfad, Zugriff::Schreiben, warteMs, root, fehler)) return false;
    if (m_umwandeln) {
        // An older file becomes the current one once, as the first writing
        // command would make it; the session then works on the file itself.
        if (!sichern(root, fehler)) return false;
        if (!oeffnen(pfad, Zugriff::Schreiben, warteMs, root, fehler)) return false;
        if (m_umwandeln) {
            verwerfen();
            return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei konnte nicht umgewandelt werden.")));
        }
    }
    DBConnection* con = manager()->GetDBConnect_Ptr();
    // Opening changes nothing: what the writer's open prepared (indexes) is
    // dropped; the first action of the session makes it anyway.
    con->rollbackOuter();
    m_sitzung = true;
    m_satzVeraltet = false;
    m_datenVersion = datenVersion();
    m_inode = inodeVon(m_pfad);
    return true;
}

bool Falldatei::beginnen(Zugriff zugriff, Kont_& root, QString* fehler) {
    KontoGlobal* kg = manager();
    DBConnection* con = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!m_sitzung || !m_offen || !con)
        return setze(fehler, ladeFehler(m_pfad, QStringLiteral("Es ist kein Fall geöffnet.")));
    if (con->inOuter()) return setze(fehler, QStringLiteral("Eine andere Aktion läuft noch; bitte warten Sie, bis sie beendet ist."));
    m_gesperrt = false;
    rsDbResetCorruptionSeen();
    m_zugriff = zugriff;
    const bool schreiben = zugriff == Zugriff::Schreiben;
    if (!con->beginOuter(schreiben)) {
        if (con->lockTimedOut()) {
            m_gesperrt = true;
            return setze(fehler, QStringLiteral("Die Falldatei „%1“ wird gerade von einem anderen Programm bearbeitet; nach %2 "
                                                "Warten wurde abgebrochen. Nichts wurde geändert. Versuchen Sie es gleich noch einmal.")
                                     .arg(m_pfad, sekunden(m_warteMs)));
        }
        return setze(fehler, rsDbCorruptionSeen() ? beschaedigtText(m_pfad) : ladeFehler(m_pfad, sqliteGrund(con)));
    }
    // The first read inside the transaction fixes its snapshot; the record
    // is read again only when the file changed under the session.
    const qlonglong version = datenVersion();
    if (con->lockTimedOut() || version < 0) {
        m_gesperrt = con->lockTimedOut();
        con->rollbackOuter();
        return setze(fehler, QStringLiteral("Die Falldatei „%1“ wird gerade von einem anderen Programm gespeichert; nach %2 "
                                            "Warten wurde abgebrochen. Versuchen Sie es gleich noch einmal.")
                                 .arg(m_pfad, sekunden(m_warteMs)));
    }
    if (version != m_datenVersion || m_satzVeraltet) {
        QByteArray satz;
        QString grund;
        if (!leseSatz(con, &satz)) {
            con->rollbackOuter();
            return setze(fehler, beschaedigtText(m_pfad));
        }
        if (!wendeSatzAn(satz, root, &grund)) {
            con->rollbackOuter();
            return setze(fehler, ladeFehler(m_pfad, grund));
        }
        m_datenVersion = version;
        m_satzVeraltet = false;
    }
    if (rsDbCorruptionSeen()) {
        con->rollbackOuter();
        return setze(fehler, beschaedigtText(m_pfad));
    }
    return true;
}

bool Falldatei::vonAussenGeaendert() {
    KontoGlobal* kg = manager();
    DBConnection* con = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!m_sitzung || !con || con->inOuter()) return false;
    const qlonglong version = datenVersion();
    if (version < 0 || version == m_datenVersion) return false;
    // Seen now: the next beginnen() reads the record again.
    m_datenVersion = version;
    m_satzVeraltet = true;
    return true;
}

bool Falldatei::wurdeErsetzt() const { return m_sitzung && inodeVon(m_pfad) != m_inode; }

void Falldatei::schliessenSitzung() {
    m_sitzung = false;
    verwerfen();
}

namespace {
// The manager's open working database with the record of `root` as the case
// file `pfad`.
bool schreibeAls(const QString& pfad, Kont_& root, bool ersetzen, QString* fehler) {
    KontoGlobal* kg = manager();
    DBConnection* con = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!con) return setze(fehler, speicherFehler(pfad, QStringLiteral("Es ist kein Fall geöffnet.")));
    QString grund;
    if (!schreibeSatz(con, root, &grund)) return setze(fehler, speicherFehler(pfad, grund));
    return installiere(con, pfad, ersetzen, fehler);
}
}  // namespace

bool Falldatei::anlegen(const QString& pfad, Kont_& root, QString* fehler) {
    if (schreibeAls(pfad, root, false, fehler)) return true;
    if (QFileInfo::exists(pfad) && fehler)
        *fehler = QStringLiteral("Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben.").arg(pfad);
    return false;
}

bool Falldatei::speichernAls(const QString& pfad, Kont_& root, QString* fehler) { return schreibeAls(pfad, root, true, fehler); }

bool Falldatei::leseFremd(const QString& pfad, const QString& datenbankZiel, Kont_& knoten, KontRecord::Einstellungen* e,
                          QString* fehler) {
    const Art art = erkenne(pfad);
    if (art == Art::KeineDatei) return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei existiert nicht oder kann nicht gelesen werden.")));
    if (art == Art::Kaputt || !istFalldatei(pfad))
        return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei ist keine Falldatei von dalvo.")));
    QString grund;
    if (art == Art::Alt) {
        QFile f(pfad);
        if (!f.open(QIODevice::ReadOnly)) return setze(fehler, ladeFehler(pfad, rsDateifehlerText(EACCES)));
        QByteArray daten = f.readAll();
        QBuffer buf(&daten);
        buf.open(QIODevice::ReadOnly);
        RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion, true);
        if (!ar.isValid()) return setze(fehler, ladeFehler(pfad, ar.errorText()));
        if (!KontRecord::lesenFremd(knoten, ar, e, datenbankZiel, &grund)) return setze(fehler, ladeFehler(pfad, grund));
        return true;
    }
    stelleNachAbbruchWiederHer(pfad);
    QFile::remove(datenbankZiel);
    {
        // VACUUM INTO reads in one transaction: the copy is one committed
        // state even while another command writes the file.
        DBConnection quelle;
        quelle.setReadOnly(true);
        quelle.setBusyTimeout(kStandardWarteMs);
        if (!quelle.createAndConnect(pfad, QString(), QString(), false)) return setze(fehler, beschaedigtText(pfad));
        const qlonglong format = GetDatenTyp(&quelle, QStringLiteral("PRAGMA user_version")).toLongLong();
        if (format > kFormat)
            return setze(fehler, ladeFehler(pfad, QStringLiteral("Die Datei wurde von einer neueren Programmversion geschrieben "
                                                                 "(Dateiformat %1). Bitte verwenden Sie die neuere Version.")
                                                      .arg(format)));
        if (!ExecSQL(&quelle, QStringLiteral("VACUUM INTO %1").arg(rsDataSource::toSqlStr(datenbankZiel)))) {
            QFile::remove(datenbankZiel);
            return setze(fehler, beschaedigtText(pfad));
        }
    }
    QFile::setPermissions(datenbankZiel, QFile::ReadOwner | QFile::WriteOwner);
    QByteArray satz;
    {
        DBConnection kopie;
        kopie.setReadOnly(true);
        if (!kopie.createAndConnect(datenbankZiel, QString(), QString(), false) || !leseSatz(&kopie, &satz)) {
            QFile::remove(datenbankZiel);
            return setze(fehler, beschaedigtText(pfad));
        }
    }
    QBuffer buf(&satz);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion, true);
    if (!ar.isValid() || !KontRecord::lesenFremd(knoten, ar, e, QString(), &grund)) {
        QFile::remove(datenbankZiel);
        return setze(fehler, ladeFehler(pfad, ar.isValid() ? grund : ar.errorText()));
    }
    return true;
}
