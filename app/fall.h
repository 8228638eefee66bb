// A case opened by a command: a private working directory, the manager of
// slot 0 and the bookkeeping root, loaded from and saved back to the case file.
#pragma once

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
    // exists (usage error otherwise), loads it (refused on a damaged file),
    // runs `befehl` and, for a writing command that returned Ok and left
    // geaendert() set, saves the case back atomically. A command that fails
    // or is refused leaves the file byte-for-byte as it was.
    static int ausfuehren(const QString& befehlName, const QString& path, Zugriff zugriff,
                          const std::function<int(Fall&)>& befehl);
    // Writing commands that find nothing to change clear it to skip the save.
    void setGeaendert(bool g) { m_geaendert = g; }
    bool geaendert() const { return m_geaendert; }

    Fall();
    ~Fall();
    // Creates a new, empty case (not yet saved).
    bool neu(QString* error);
    bool laden(const QString& path, QString* error);
    bool speichern(const QString& path, QString* error);
    KontoGlobal* kg() const { return m_kg; }
    Kont_& root() { return *m_root; }

private:
    QTemporaryDir m_home;
    KontoGlobal* m_kg = nullptr;
    std::unique_ptr<Kont_> m_root;
    bool m_geaendert = true;
};

}  // namespace cli
