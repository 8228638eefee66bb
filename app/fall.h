// A case opened by a command: a private working directory, the manager of
// slot 0 and the bookkeeping root, and the case file they were read from.
#pragma once

#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class KontoGlobal;

namespace cli {

class Fall {
public:
    enum class Zugriff { Lesen, Schreiben };
    // The frame of every command on an existing case: checks that the file
    // exists (usage error otherwise), opens it (refused on a damaged file,
    // or after waiting --warten seconds for another writer), runs `befehl`
    // and, for a writing command that returned Ok and left geaendert() set,
    // saves the case in one commit. What a writing command prints on stdout
    // appears only after its change is in the file; a command that fails or
    // is refused prints no result and leaves the file byte-for-byte as it was.
    static int ausfuehren(const QString& befehlName, const QString& path, Zugriff zugriff,
                          const std::function<int(Fall&)>& befehl);
    // Whether `pfad` may become a new case file (new, kasse-import,
    // jahreswechsel): -1 when it may; otherwise the refusal is reported for
    // `befehlName` and its exit code returned: an existing file or a
    // directory is refused (1), a missing directory is a usage error (2).
    static int neueFalldateiPruefen(const QString& befehlName, const QString& pfad);
    // Writing commands that find nothing to change clear it to skip the save.
    void setGeaendert(bool g) { m_geaendert = g; }
    bool geaendert() const { return m_geaendert; }

    Fall();
    ~Fall();
    // Creates a new, empty case in the working directory (not yet saved).
    bool neu(QString* error);
    // Writes the new case as the case file `path`; never replaces a file.
    bool anlegen(const QString& path, QString* error);
    KontoGlobal* kg() const { return m_kg; }
    // The business a printout names in its head: the company of "dalvo
    // firma", or the name of the case file `pfad` while none is set.
    QString betriebsname(const QString& pfad) const;
    Kont_& root() { return *m_root; }

private:
    QTemporaryDir m_home;
    KontoGlobal* m_kg = nullptr;
    std::unique_ptr<Kont_> m_root;
    Falldatei m_datei;
    bool m_geaendert = true;
};

// How long a command waits for another one that writes the same case
// (--warten SEKUNDEN; default 30 s).
void setWarteSekunden(int s);
int warteSekunden();

}  // namespace cli
