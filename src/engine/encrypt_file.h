#ifndef MVENGINE_ENCRYPT_FILE_H
#define MVENGINE_ENCRYPT_FILE_H

#include <cstdint>
#include <span>

#include "files.h"
#include "key_cache.h"
#include "progress.h"

namespace mv::engine {

// 1 encrypted; 0 the source already begins with the signature; -1 failure.
std::int32_t encryptFile(const Files& files, std::span<const std::uint8_t> key, const Progress& progress,
                         KeyCache& cache);

} // namespace mv::engine

#endif
