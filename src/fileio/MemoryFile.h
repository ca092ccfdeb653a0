// Memory files (memfd) for handing bytes and pixels between the program and a decoder helper:
// anonymous memory with a descriptor, never a file on any disk. The sender seals its size, so
// the receiver may map it without fear that it shrinks under the mapping (which would crash
// the receiver on the next read); a file that will be wiped keeps its contents writable.
#pragma once

#include "fileio/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace mv::fileio {

struct Part {
    const void* data = nullptr;
    std::uint64_t size = 0;
};

// A new memory file holding parts one after the other, sealed against resizing, and against
// writing too when writable is false. Invalid, with errno, when memory is short.
UniqueFd sealedMemoryFile(const char* name, std::span<const Part> parts, bool writable);

// A new memory file of size bytes, not sealed yet, for the caller to fill with pwrite.
UniqueFd newMemoryFile(const char* name, std::uint64_t size);
// Seals fd's size, and its contents unless writable; false with errno.
bool sealMemoryFile(int fd, bool writable);

// Whether fd is a memory file whose size nobody can change any more.
[[nodiscard]] bool sizeIsSealed(int fd);
// Whether fd is a memory file whose size and contents nobody can change any more.
[[nodiscard]] bool contentsAreSealed(int fd);

// A descriptor of the same memory file that can only read it: through it no one can write,
// resize, seal or map it writable. Invalid, with errno, when /proc is not there to open it by.
UniqueFd readOnlyDescriptor(int fd);

// Overwrites the first size bytes of a writable memory file with zeros.
void wipeMemoryFile(int fd, std::uint64_t size);

// A memory file and a shared mapping of all of it, released together. Bytes are put straight
// into the file's pages (no copy through another buffer) while it is writable; sealing it maps
// it again read-only, since the kernel refuses a write seal while a writable mapping exists.
class MappedMemoryFile {
public:
    MappedMemoryFile() = default;
    ~MappedMemoryFile();
    MappedMemoryFile(MappedMemoryFile&& other) noexcept;
    MappedMemoryFile& operator=(MappedMemoryFile&& other) noexcept;

    // A new writable file of size bytes (at least one), mapped; invalid, with errno, when
    // memory is short.
    static MappedMemoryFile create(const char* name, std::uint64_t size);

    [[nodiscard]] bool valid() const { return base_ != nullptr; }
    [[nodiscard]] char* data() const { return static_cast<char*>(base_); }
    [[nodiscard]] std::uint64_t size() const { return size_; }
    [[nodiscard]] int fd() const { return fd_.get(); }

    // Cuts the file to its first size bytes (only smaller; before sealing); false with errno.
    bool shrink(std::uint64_t size);
    // Seals its size, and its contents unless writable, and maps it read-only when sealed
    // against writing; false with errno (the file is then as before, or unmapped).
    bool seal(bool writable);

private:
    void unmap();

    UniqueFd fd_;
    void* base_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t mapped_ = 0;
};

} // namespace mv::fileio
