// Saving a file so that a crash, a full disk or a failed rename never leaves
// a damaged file behind: the data goes into a temporary file in the same
// directory, is flushed and fsynced, and only then renamed over the target.
// On any failure the old file stays byte for byte as it was and the
// temporary file is removed.
#pragma once

#include <QByteArray>
#include <QString>

bool rsWriteFileAtomic(const QString& path, const QByteArray& data, QString* error);

// Puts the finished file `fertig` (written in the target's directory) in
// place of `ziel`: fsyncs it, then with `ersetzen` renames it over the
// target (atomic), without it links it to the target name only when no file
// of that name exists (an existing file is never replaced, even when one
// appears meanwhile), and fsyncs the directory so the new name survives a
// power cut. On failure the target is as it was, `fertig` is removed, and
// `error` holds a German message.
bool rsInstallFileAtomic(const QString& fertig, const QString& ziel, bool ersetzen, QString* error);

// A German sentence for an errno value of a failed file operation (what a
// user can do about it), never the C library's English text.
QString rsDateifehlerText(int errnoWert);

// Fault injection for tests: the next rename fails, or the next write stops
// after n bytes as on a full disk (n < 0: off).
namespace rsAtomicFileTest {
void failNextRename(bool on);
void failAfterBytes(qint64 n);
}  // namespace rsAtomicFileTest
