// The case file: magic "DALVO16C", the record data version (quint32), then
// the record of the bookkeeping root (KontRecord), every block with its own
// length and CRC-32. Saving is atomic (temporary file, fsync, rename);
// loading reads the whole file first and applies nothing when any part is
// damaged, so the file on disk and the open case stay as they were.
#pragma once

#include <QString>

class Kont_;

namespace Falldatei {
bool speichern(const QString& path, Kont_& root, QString* error);
bool laden(const QString& path, Kont_& root, QString* error);
}  // namespace Falldatei
