#ifndef MVENGINE_DECRYPT_FILE_H
#define MVENGINE_DECRYPT_FILE_H

#include <cstdint>
#include <span>

#include "files.h"
#include "key_cache.h"
#include "progress.h"

namespace mv::engine {

// 1 decrypted and authenticated whole; 0 the key does not open the file; -1 not an
// encrypted file, unreadable, damaged or truncated.
std::int32_t decryptFile(const Files& files, std::span<const std::uint8_t> key, const Progress& progress,
                         KeyCache& cache);

} // namespace mv::engine

#endif
