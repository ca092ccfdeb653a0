// Memory files (memfd) for handing bytes and pixels between the program and a decoder helper:
// anonymous memory with a descriptor, never a file on any disk. The sender seals its size, so
// the receiver may map it without fear that it shrinks under the mapping (which would crash
// the receiver on the next read); a file that will be wiped keeps its contents writable.
#pragma once

#include "fileio/UniqueFd.h"

#include <cstdint>
#include <span>

namespace mv::sandbox {

struct Part {
    const void* data = nullptr;
    std::uint64_t size = 0;
};

// A new memory file holding parts one after the other, sealed against resizing, and against
// writing too when writable is false. Invalid, with errno, when memory is short.
fileio::UniqueFd sealedMemoryFile(const char* name, std::span<const Part> parts, bool writable);

// A new memory file of size bytes, not sealed yet, for the caller to fill with pwrite.
fileio::UniqueFd newMemoryFile(const char* name, std::uint64_t size);
// Seals fd's size, and its contents unless writable; false with errno.
bool sealMemoryFile(int fd, bool writable);

// Whether fd is a memory file whose size nobody can change any more.
[[nodiscard]] bool sizeIsSealed(int fd);
// Whether fd is a memory file whose size and contents nobody can change any more.
[[nodiscard]] bool contentsAreSealed(int fd);

// Overwrites the first size bytes of a writable memory file with zeros.
void wipeMemoryFile(int fd, std::uint64_t size);

} // namespace mv::sandbox
