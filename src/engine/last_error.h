// The thread's reason for its last refusal or failure, and the result codes that go with it.
#ifndef MVENGINE_LAST_ERROR_H
#define MVENGINE_LAST_ERROR_H

#include <cstdint>
#include <string>

namespace mv::engine {

inline constexpr std::int32_t kDone = 1;
inline constexpr std::int32_t kDeclined = 0;
inline constexpr std::int32_t kFailed = -1;

const char* lastError();
void clearError();
void setError(std::string reason);

// Sets reason and returns kFailed / kDeclined, to keep the call sites one line.
std::int32_t failWith(std::string reason);
std::int32_t declineWith(std::string reason);
// "<what>: <strerror(err)>"
std::int32_t failWithErrno(const char* what, int err);

} // namespace mv::engine

#endif
