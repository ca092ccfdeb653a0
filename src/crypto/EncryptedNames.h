#pragma once

#include <QString>

namespace mv::crypto {

// Names of encrypted files. Only the file name (after the last "/") is changed; the folder
// part passes through untouched.
//
//   photo.bmp -> photo_bmp.mv$     (the last "." becomes "_")
//   readme    -> readme.mv%        (no "." at all)

// The name the encrypted copy of `path` gets.
QString EncryptedName(const QString& path);

// The name a decrypted copy of `path` gets: the reverse of EncryptedName. A path without an
// encrypted suffix (".mv$" / ".mv%", any case) comes back unchanged, and so does one whose
// name is nothing but the suffix: that file is decrypted under its own name.
QString PlainName(const QString& path);

// Turns a ";"-separated list of file patterns into the patterns their encrypted copies
// match. "*.*" alone stays as it is; a pattern ending in "*", "?", "\" or "/", and an empty
// one, is kept; any other gets EncryptedName's treatment.
QString EncryptedSpec(const QString& spec);

// The name ends in ".mv$" or ".mv%", case ignored.
bool HasEncryptedName(const QString& path);

} // namespace mv::crypto
