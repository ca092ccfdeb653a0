// Plain traces of a file that the desktop keeps outside the user's own files: the thumbnails
// that file managers, viewers and this program's own cache made of it. Once a file is
// encrypted they are pictures of what it holds, so they go with it.
#pragma once

#include "fileutil/Wipe.h"

#include <QStringList>

namespace mv::desktop {

// The freedesktop thumbnails of `files` that exist: $XDG_CACHE_HOME/thumbnails/<size>/ and
// fail/<program>/, named for the MD5 of the file's URI (as GLib and as Qt write it), and the
// old ~/.thumbnails. Sorted.
[[nodiscard]] QStringList thumbnailsOf(const QStringList& files);

// Wipes every plain trace of `files` (never a plain delete); goes on after a failure. Called
// whenever a file stops being plain: encrypted, or wiped as the user asked.
fileutil::WipeReport forgetPlainTraces(const QStringList& files);

// Wipes a file the program handled, then, once it is gone, its plain traces. Traces that
// could not be wiped are added to `tracesLeft` when one is given.
fileutil::FileResult wipeWithTraces(const QString& path, QList<fileutil::FileResult>* tracesLeft = nullptr);

} // namespace mv::desktop
