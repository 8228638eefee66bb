// Saving a file so that a crash, a full disk or a failed rename never leaves
// a damaged file behind: the data goes into a temporary file in the same
// directory, is flushed and fsynced, and only then renamed over the target.
// On any failure the old file stays byte for byte as it was and the
// temporary file is removed.
#pragma once

#include <QByteArray>
#include <QString>

bool rsWriteFileAtomic(const QString& path, const QByteArray& data, QString* error);

// Fault injection for tests: the next rename fails, or the next write stops
// after n bytes as on a full disk (n < 0: off).
namespace rsAtomicFileTest {
void failNextRename(bool on);
void failAfterBytes(qint64 n);
}  // namespace rsAtomicFileTest
