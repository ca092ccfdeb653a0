#pragma once

#include <QByteArray>
#include <QString>

namespace mv {

// Prefix of the temporary files replaceFileDurably() leaves behind only when it is killed
// mid-write: "." + file name + ".tmp-".
QString durableTempPrefix(const QString& fileName);

// Replaces the file at `path` with `bytes` so that a crash at any moment leaves either the
// old or the new file whole: write a 0600 temporary file in the same folder, fsync it,
// rename it over the old one, fsync the folder. The old file's blocks are then zero-filled.
// On failure the old file is untouched and the temporary file is gone.
bool replaceFileDurably(const QString& path, const QByteArray& bytes, QString* error);

// fsync() of a folder, so a rename or unlink in it survives a crash.
bool syncFolder(const QString& dir, QString* error);

} // namespace mv
