#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::crypto {

// The private folder decrypted viewing copies live in: $XDG_RUNTIME_DIR/mirravelnock when
// that folder is usable (memory-backed on most systems, so a copy never reaches the disk),
// else $XDG_CACHE_HOME/mirravelnock/view (~/.cache when unset). Created with mode 0700.
// Refused when it exists but is not a folder of ours; a folder of ours that others could
// enter is closed to them (mode 0700) first. `folder` receives the path, no trailing "/".
fileutil::FileResult privateViewFolder(QString& folder);

// Creates a new empty file (mode 0600, unique random name) in the private folder, keeping
// the extension of `plainName` so viewers recognise the format: "view-1a2b3c4d.jpg" for
// "photo.jpg", "view-1a2b3c4d" for "readme". The caller decrypts into it, shows it, and
// wipes it.
fileutil::FileResult createViewCopy(const QString& plainName, QString& copyPath);

} // namespace mv::crypto
