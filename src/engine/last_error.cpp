#include "last_error.h"

#include <cstring>

namespace mv::engine {

namespace {

thread_local std::string t_lastError;

} // namespace

const char* lastError()
{
    return t_lastError.c_str();
}

void clearError()
{
    t_lastError.clear();
}

void setError(std::string reason)
{
    t_lastError = std::move(reason);
}

std::int32_t failWith(std::string reason)
{
    setError(std::move(reason));
    return kFailed;
}

std::int32_t declineWith(std::string reason)
{
    setError(std::move(reason));
    return kDeclined;
}

std::int32_t failWithErrno(const char* what, int err)
{
    char buf[256];
    // The GNU strerror_r: thread-safe, may return a static string instead of buf.
    const char* text = strerror_r(err, buf, sizeof buf);
    return failWith(std::string(what) + ": " + text);
}

} // namespace mv::engine
