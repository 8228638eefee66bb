// A case opened by a command: a private working directory, the manager of
// slot 0 and the bookkeeping root, loaded from and saved back to the case file.
#pragma once

#include "kontbaum/kontbaum.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class KontoGlobal;

namespace cli {

class Fall {
public:
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
};

}  // namespace cli
