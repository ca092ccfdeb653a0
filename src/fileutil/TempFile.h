#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv {

// Creates a new, empty file with a unique hidden name (".mv-" + random + ".tmp") in the
// folder of `targetPath`, mode 0600, so it can later be renamed over the target in one
// atomic step on the same file system. The name is never reused: O_EXCL guarantees two
// running copies never share a temporary file. `tempPath` receives its full path.
FileResult createTempBeside(const QString& targetPath, QString& tempPath);

// The folder part of `path`, with its trailing "/"; empty when the path has no "/".
QString folderOf(const QString& path);

} // namespace mv
