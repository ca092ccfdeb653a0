// The exported C functions: argument checks, and a wall so no C++ exception reaches C.
#include <mvengine/engine.h>

#include <cstring>
#include <new>
#include <span>

#include <sodium.h>

#include "checksum.h"
#include "decrypt_file.h"
#include "encrypt_file.h"
#include "key_cache.h"
#include "last_error.h"

namespace {

using namespace mv::engine;

static_assert(MV_SIGNATURE_LEN == kSignatureLen && MV_HEADER_LEN == kHeaderLen);

using Operation = std::int32_t (*)(const Files&, std::span<const std::uint8_t>, const Progress&, KeyCache&);

template <typename F>
std::int32_t guarded(F&& body)
{
    clearError();
    if (sodium_init() < 0)
        return failWith("the cryptography library cannot start");
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return failWith("out of memory");
    } catch (...) {
        return failWith("unexpected internal error");
    }
}

std::int32_t run(Operation op, const Files& files, const void* key, std::size_t keyLen,
                 mv_progress_fn progress, void* user)
{
    return guarded([&] {
        if (files.byDescriptor() ? files.destinationFd < 0 : !files.source || !files.destination)
            return failWith("no file given");
        if (!key)
            return failWith("no key given");
        const std::span keyBytes(static_cast<const std::uint8_t*>(key), keyLen);
        return op(files, keyBytes, Progress {progress, user}, KeyCache::shared());
    });
}

std::int32_t run(Operation op, const char* source, const char* destination, const void* key,
                 std::size_t keyLen, mv_progress_fn progress, void* user)
{
    Files files;
    files.source = source;
    files.destination = destination;
    return run(op, files, key, keyLen, progress, user);
}

std::int32_t runFd(Operation op, int source, int destination, const void* key, std::size_t keyLen,
                   mv_progress_fn progress, void* user)
{
    Files files;
    files.sourceFd = source < 0 ? -1 : source;
    files.destinationFd = destination;
    if (source < 0) {
        clearError();
        return failWith("no file given");
    }
    return run(op, files, key, keyLen, progress, user);
}

std::size_t keyLength(const char* key)
{
    return key ? std::strlen(key) : 0;
}

} // namespace

extern "C" {

int32_t dbac(const char* source, const char* destination, const char* key)
{
    return run(encryptFile, source, destination, key, keyLength(key), nullptr, nullptr);
}

int32_t eabb(const char* source, const char* destination, const char* key)
{
    return run(decryptFile, source, destination, key, keyLength(key), nullptr, nullptr);
}

int32_t eaac(const char* path, int32_t /*reserved*/)
{
    clearError();
    if (!path) {
        setError("no file given");
        return 0;
    }
    try {
        return static_cast<std::int32_t>(checksumFile(path)); // the CRC's bits, as promised
    } catch (const std::bad_alloc&) {
        setError("out of memory");
        return 0;
    }
}

int32_t mv_encrypt_file(const char* source, const char* destination, const char* key, mv_progress_fn progress,
                        void* user)
{
    return run(encryptFile, source, destination, key, keyLength(key), progress, user);
}

int32_t mv_decrypt_file(const char* source, const char* destination, const char* key, mv_progress_fn progress,
                        void* user)
{
    return run(decryptFile, source, destination, key, keyLength(key), progress, user);
}

int32_t mv_encrypt_file_n(const char* source, const char* destination, const void* key, size_t key_len,
                          mv_progress_fn progress, void* user)
{
    return run(encryptFile, source, destination, key, key_len, progress, user);
}

int32_t mv_decrypt_file_n(const char* source, const char* destination, const void* key, size_t key_len,
                          mv_progress_fn progress, void* user)
{
    return run(decryptFile, source, destination, key, key_len, progress, user);
}

int32_t mv_encrypt_fd(int source_fd, int destination_fd, const void* key, size_t key_len,
                      mv_progress_fn progress, void* user)
{
    return runFd(encryptFile, source_fd, destination_fd, key, key_len, progress, user);
}

int32_t mv_decrypt_fd(int source_fd, int destination_fd, const void* key, size_t key_len,
                      mv_progress_fn progress, void* user)
{
    return runFd(decryptFile, source_fd, destination_fd, key, key_len, progress, user);
}

int32_t mv_checksum_fd(int fd, uint32_t* crc)
{
    clearError();
    if (!crc)
        return failWith("no result given");
    try {
        return checksumFd(fd, *crc) ? kDone : kFailed;
    } catch (const std::bad_alloc&) {
        return failWith("out of memory");
    }
}

int32_t mv_decrypt_to_memory(const char* source, const void* key, size_t key_len, void* buffer,
                             size_t capacity, size_t* length, mv_progress_fn progress, void* user)
{
    return guarded([&] {
        if (length)
            *length = 0;
        if (!source || !length || (!buffer && capacity > 0))
            return failWith("no file given");
        if (!key)
            return failWith("no key given");
        return decryptToMemory(source, std::span(static_cast<const std::uint8_t*>(key), key_len),
                               std::span(static_cast<std::uint8_t*>(buffer), capacity), *length,
                               Progress {progress, user}, KeyCache::shared());
    });
}

int32_t mv_check_key(const void* header, size_t header_len, const void* key, size_t key_len)
{
    return guarded([&] {
        if (!header && header_len > 0)
            return failWith("no file given");
        if (!key)
            return failWith("no key given");
        return checkKey(std::span(static_cast<const std::uint8_t*>(header), header_len),
                        std::span(static_cast<const std::uint8_t*>(key), key_len), KeyCache::shared());
    });
}

uint32_t mv_checksum_data(const void* data, size_t len)
{
    return checksumBytes(static_cast<const std::uint8_t*>(data), len);
}

const char* mv_engine_last_error(void)
{
    return lastError();
}

void mv_engine_clear_keys(void)
{
    try {
        KeyCache::shared().clear();
    } catch (...) {
        // No cache could be made, so there is nothing to forget.
    }
}

} // extern "C"
