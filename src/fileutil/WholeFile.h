// Small configuration files the desktop reads, read and replaced whole.
#pragma once

#include "fileutil/FileResult.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace mv::fileutil {

// Reads the whole file; a file that does not exist reads as empty and is no failure.
FileResult readWholeFile(const QString& path, QByteArray* bytes);

// Puts `bytes` in place as the file's whole new contents, durably and atomically: a reader, a
// crash or a power cut sees the old file or the new one, never a part. A symbolic link at
// `path` is followed, so the link a dotfile manager keeps stays a link. An existing file keeps
// its permission bits; a new one gets `newMode`. Missing folders are made private (0700), as
// the XDG base directory rules ask.
FileResult replaceWholeFile(const QString& path, const QByteArray& bytes, mode_t newMode = 0644);

// The same, skipped when the file already holds exactly `bytes`; `changed` says which.
FileResult replaceWholeFileIfDifferent(const QString& path, const QByteArray& bytes, bool* changed);

} // namespace mv::fileutil
