#pragma once

#include <QString>

namespace mv::crypto {

// True when the file at `path` begins with the 71-byte signature every encrypted file
// carries. Reads those bytes only. False for shorter or unreadable files and for anything
// that is not a regular file.
bool BeginsWithSignature(const QString& path);

} // namespace mv::crypto
