#pragma once

#include <QString>

namespace mv::fileutil {

// The names this program gives files only for the moment: the wipe's "$MV" + 6 + ".TMP"
// and the hidden ".mv-" + 12 + ".tmp" of a new file written where the file system cannot
// keep it unnamed. A file under such a name outside a live run was left by a run that was
// killed; it may hold private data, so it is never encrypted or decrypted as a user's file.
bool isLeftoverName(const QString& fileName);

} // namespace mv::fileutil
