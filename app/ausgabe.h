// Files a command writes besides the case (exports, printouts): where they
// may go. Checked before any work, so a refusal costs nothing and changes
// nothing.
#pragma once

#include <QString>

namespace cli {

struct Ausgabeziel {
    bool standardausgabe = false;  // "-": the text goes to stdout
    QString pfad;                  // the file to write (a symbolic link resolved to its target)
};

// Checks the target `angabe` of a command working on the case `fallPfad`:
// "-" is standard output; a symbolic link is followed to its target, which
// is written, never the link replaced; refused (false, German reason in
// `fehler`) are a case file of either container (also with --ersetzen), a
// directory, device, FIFO or socket, a missing directory, and an existing
// file without `ersetzen` (--ersetzen).
bool pruefeAusgabeziel(const QString& angabe, const QString& fallPfad, bool ersetzen, Ausgabeziel* ziel, QString* fehler);

}  // namespace cli
