#pragma once

#include <QString>

namespace mv::fileutil {

// Unpredictable text for file names, drawn from libsodium.
// Letters are upper-case and digits only, so the name means nothing and survives any
// file system's case folding.
QString randomText(int length);

// Lower-case hexadecimal, `length` digits.
QString randomHex(int length);

} // namespace mv::fileutil
