#ifndef MVENGINE_DECRYPT_FILE_H
#define MVENGINE_DECRYPT_FILE_H

#include <cstddef>
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

// Whether key opens the file that begins with header, from its key check alone: 1 yes, 0 no,
// -1 not an encrypted header, damaged or unsupported. Only the first kHeaderLen bytes count.
std::int32_t checkKey(std::span<const std::uint8_t> header, std::span<const std::uint8_t> key,
                      KeyCache& cache);

// The same into the caller's buffer, no file written: on 1, length is the plain size; a file
// whose plain text would not fit is a failure (-1). On any other result the buffer holds no
// plain text.
std::int32_t decryptToMemory(const char* source, std::span<const std::uint8_t> key,
                             std::span<std::uint8_t> buffer, std::size_t& length, const Progress& progress,
                             KeyCache& cache);

} // namespace mv::engine

#endif
