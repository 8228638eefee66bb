// Files a command writes besides the case (exports, printouts): where they
// may go; and the files it reads. Checked before any work, so a refusal
// costs nothing and changes nothing.
#pragma once

#include <QString>

#include <functional>

class QIODevice;

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

// Writes the target through `schreiben`, which gets an open device and
// writes as it goes: standard output, or a temporary file beside the
// target that takes its place only when complete, so a long printout is
// never held in memory and a failure leaves the old file as it was. False
// with the German reason in `fehler`.
bool schreibeAusgabe(const Ausgabeziel& ziel, const std::function<bool(QIODevice*, QString*)>& schreiben, QString* fehler);

// Checks a file a command reads: false (German reason in `fehler`) when it
// is missing, a directory, a device or pipe (/dev/zero would be read
// forever; the imports read a file twice: to check it, then under the
// case's lock) or unreadable.
bool pruefeEingabedatei(const QString& pfad, QString* fehler);

}  // namespace cli
