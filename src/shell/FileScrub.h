#pragma once

#include <QString>

namespace mv {

// Old copies of the store hold folder names and other private text, so they are
// overwritten before they go rather than merely unlinked.

// Overwrites the whole file open as `fd` with zeros and syncs it. Does not close `fd`.
bool zeroWholeFile(int fd);

// Whether the file open as `fd` has no other name than the one it was opened by; a file with
// a second hard link is someone's copy and must not be zero-filled.
bool hasSingleLink(int fd);

// Wipes the file at `path`, never following a symlink.
bool scrubAndRemove(const QString& path);

} // namespace mv
