// The case file: the case's bookkeeping database itself, an SQLite 3 file.
//
// Layout (container format 1):
//   - the SQLite header carries application_id 0x44414C56 ("DALV") and
//     user_version = the container format (1);
//   - every table of the bookkeeping database (the template's schema);
//   - table dalvoFall (Nr INTEGER PRIMARY KEY CHECK (Nr=1), Datenversion
//     INTEGER, Satz BLOB): one row with the record of the bookkeeping root
//     (KontRecord, fields and order as ever, written through RS_Archive with
//     magic "DALVO16C" and its own CRC per block; its database field is
//     empty because the file is the database).
// A reader refuses a user_version above the one it knows (a newer program
// wrote the file). The first container (magic "DALVO16C" at byte 0, the
// database embedded in the record) is still read; a writing command turns
// it into the current one.
//
// A writing command opens the file in place and works inside one
// transaction (BEGIN IMMEDIATE), so a second writer waits for the first and
// never interleaves; sichern() stores the record and commits, with the
// rollback journal and full fsync of SQLite. Whatever is not committed
// (refusal, failure, kill) leaves the file as it was. A reading command
// opens the file read-only inside one read transaction (one snapshot).
//
// A file that needs conversion (the first container, an older database
// version, or the case property "Bereinigen" = "1") is converted in a
// working copy; saving then replaces the case file atomically (temporary
// file beside it, fsync, rename) while an exclusive flock on the old file
// keeps other writers out. A reading command reads such a file through the
// copy and never writes.
//
// A window keeps the file open for a whole session instead (oeffnenSitzung):
// the connection stays, but no transaction and no lock is held between the
// user's actions. Each action or read is bracketed by beginnen() and
// sichern()/verwerfen(): a read takes a short read transaction, an action
// the write lock (BEGIN IMMEDIATE) for just its own length, so a script can
// book into the same case while the window is open. SQLite's data_version
// tells when another connection committed; the record is then read again
// at the next beginnen(), and vonAussenGeaendert() lets the window refresh.
//
// Damage is refused with "Die Falldatei „…“ kann nicht geladen werden: …":
// header, page count against the file size and the record's CRC at every
// open, SQLite's corruption errors wherever they surface (rsDbCorruptionSeen).
#pragma once

#include "kontbaum/fall/kontbaum.h"

#include <QString>
#include <QtGlobal>

class KontoGlobal;

class Falldatei {
public:
    enum class Zugriff { Lesen, Schreiben };
    static constexpr int kFormat = 1;
    static constexpr quint32 kApplicationId = 0x44414C56;  // "DALV"
    static constexpr int kStandardWarteMs = 30000;

    Falldatei() = default;
    ~Falldatei();  // what was not saved is dropped
    Falldatei(const Falldatei&) = delete;
    Falldatei& operator=(const Falldatei&) = delete;

    // Opens the case file at `pfad` for the manager of slot 0 and reads its
    // record into `root`. A writer waits up to `warteMs` for another writer.
    // False with a German message in `fehler`; nothing is changed then.
    bool oeffnen(const QString& pfad, Zugriff zugriff, int warteMs, Kont_& root, QString* fehler);
    // Writing access only: stores the record and makes every change durable
    // in one commit. False (and nothing changed) with a German message.
    bool sichern(Kont_& root, QString* fehler);
    // Drops every change since oeffnen and closes the file.
    void verwerfen();
    // The open file came from an older container or database version.
    bool wirdUmgewandelt() const { return m_umwandeln; }
    // The last failure was the wait for another writer running out.
    bool warGesperrt() const { return m_gesperrt; }

    // --- a session (the window) ------------------------------------------
    // Opens the case at `pfad` for a session: the file is checked and read
    // as by a writing command (a file that needs conversion is converted
    // and saved once, here), then the connection stays open without any
    // transaction. False with a German message; nothing is changed then.
    bool oeffnenSitzung(const QString& pfad, int warteMs, Kont_& root, QString* fehler);
    bool inSitzung() const { return m_sitzung; }
    // Begins one read (Lesen: a snapshot) or one action (Schreiben: the
    // write lock, waiting up to the session's wait) and reads the record
    // into `root` again when another connection committed since, or the
    // last action was dropped. End it with sichern() (an action) or
    // verwerfen(); in a session both keep the file open. False with a
    // German message when the lock could not be had; nothing is begun then.
    bool beginnen(Zugriff zugriff, Kont_& root, QString* fehler);
    // Whether another connection (a script, the command line) committed a
    // change since this session last looked; the record is read again at
    // the next beginnen(). Never inside a transaction.
    bool vonAussenGeaendert();
    // Whether the file at the session's path is no longer the one it opened
    // (another program replaced it, as a conversion does): the session must
    // be opened again to see it.
    bool wurdeErsetzt() const;
    // Ends the session and closes the file (an open transaction is dropped).
    void schliessenSitzung();

    // Writes the manager's open working database with the record of `root`
    // as a new case file at `pfad`; an existing file is never replaced.
    static bool anlegen(const QString& pfad, Kont_& root, QString* fehler);
    // Writes it as the case file at `pfad`, replacing an existing file
    // atomically (tools and benchmarks that write a case in one go).
    static bool speichernAls(const QString& pfad, Kont_& root, QString* fehler);

    // Reads another case file beside the open case (the previous year's at a
    // change of year): a consistent copy of its database goes to
    // `datenbankZiel`, its record into `knoten` (a root of no open case) and
    // `e`. The file is only read, the open case is not touched. False with
    // a German message.
    static bool leseFremd(const QString& pfad, const QString& datenbankZiel, Kont_& knoten,
                          KontRecord::Einstellungen* e, QString* fehler);

    // The refusal of a damaged file, for damage found after opening.
    static QString beschaedigtText(const QString& pfad);
    // Whether the file at `pfad` is a case file of either container (judged
    // by its first bytes only): such a file is never the target of an export.
    static bool istFalldatei(const QString& pfad);

private:
    bool oeffnenDirekt(Kont_& root, QString* fehler, bool* umwandeln, bool* nochmal);
    bool oeffnenUmwandeln(Kont_& root, bool alt, QString* fehler, bool* nochmal);
    bool sperreExklusiv(QString* fehler, bool* nochmal);
    void schliessen();
    qlonglong datenVersion();

    QString m_pfad;
    Zugriff m_zugriff = Zugriff::Lesen;
    int m_warteMs = kStandardWarteMs;
    bool m_offen = false;
    bool m_umwandeln = false;
    bool m_gesperrt = false;
    bool m_sitzung = false;
    bool m_satzVeraltet = false;  // the root may differ from the file (an action was dropped)
    qlonglong m_datenVersion = -1;  // PRAGMA data_version when the record was last read
    int m_sperre = -1;  // flock descriptor while a conversion holds the file
    quint64 m_inode = 0;
};
