// The engine for C++ callers: the C functions of engine.h behind std types.
#ifndef MVENGINE_ENGINE_HPP
#define MVENGINE_ENGINE_HPP

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <mvengine/engine.h>

namespace mv::engine {

enum class Result {
    Done = 1,
    Declined = 0,
    Failed = -1
};

// Called with bytes done and total; return false to cancel (the operation then fails and
// leaves no destination).
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

namespace detail {

// Set when the wrapper itself refused a call, which the C side never saw.
inline thread_local const char* t_refusal = nullptr;

inline int progressTrampoline(std::uint64_t done, std::uint64_t total, void* user)
{
    try {
        return (*static_cast<const ProgressFn*>(user))(done, total) ? 0 : 1;
    } catch (...) {
        return 1; // an exception must not cross the C library; stop instead
    }
}

inline bool hasNul(const std::string& s)
{
    return s.find('\0') != std::string::npos;
}

inline Result toResult(std::int32_t rc)
{
    return rc == 1 ? Result::Done : rc == 0 ? Result::Declined : Result::Failed;
}

using CFunction = std::int32_t (*)(const char*, const char*, const void*, std::size_t, mv_progress_fn, void*);

inline Result call(CFunction fn, const std::string& src, const std::string& dst, std::string_view key,
                   const ProgressFn& progress)
{
    t_refusal = nullptr;
    // A NUL would cut the path short and name another file.
    if (hasNul(src) || hasNul(dst)) {
        t_refusal = "a file name holds a NUL byte";
        return Result::Failed;
    }
    const void* user = progress ? static_cast<const void*>(&progress) : nullptr;
    return toResult(fn(src.c_str(), dst.c_str(), key.data(), key.size(),
                       progress ? progressTrampoline : nullptr, const_cast<void*>(user)));
}

} // namespace detail

// Done: encrypted; Declined: src is already encrypted, nothing written; Failed otherwise.
[[nodiscard]] inline Result encryptFile(const std::string& src, const std::string& dst, std::string_view key,
                                        const ProgressFn& progress = {})
{
    return detail::call(mv_encrypt_file_n, src, dst, key, progress);
}

// Done: decrypted and authenticated whole; Declined: the key does not open it; Failed: not
// an encrypted file, unreadable, damaged or truncated.
[[nodiscard]] inline Result decryptFile(const std::string& src, const std::string& dst, std::string_view key,
                                        const ProgressFn& progress = {})
{
    return detail::call(mv_decrypt_file_n, src, dst, key, progress);
}

// CRC-32 (zip, PNG) of the whole file; 0 when it cannot be read (see lastError()).
[[nodiscard]] inline std::uint32_t checksum(const std::string& path)
{
    detail::t_refusal = nullptr;
    if (detail::hasNul(path)) {
        detail::t_refusal = "a file name holds a NUL byte";
        return 0;
    }
    return static_cast<std::uint32_t>(eaac(path.c_str(), 0));
}

// Why the last call on this thread did not give Done, in plain words.
inline std::string lastError()
{
    return detail::t_refusal ? detail::t_refusal : mv_engine_last_error();
}

// Forgets every derived key and the salt shared by new encryptions.
inline void clearKeys()
{
    mv_engine_clear_keys();
}

} // namespace mv::engine

#endif
