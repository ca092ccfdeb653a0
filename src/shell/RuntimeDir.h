#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::shell {

// The per-user folder for the instance lock and socket: $XDG_RUNTIME_DIR/mirravelnock, or,
// when XDG_RUNTIME_DIR is unset, empty or not absolute, /tmp/mirravelnock-<uid>. It is made
// with mode 0700 if missing. Being shared, the /tmp folder is used only when it is a real
// folder (no symbolic link) owned by this user that nobody else may enter; the same is
// checked of the folder under XDG_RUNTIME_DIR. On success `*dir` holds the folder.
fileutil::FileResult runtimeDir(QString* dir);

} // namespace mv::shell
