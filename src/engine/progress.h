// The caller's progress callback, which is also how it cancels.
#ifndef MVENGINE_PROGRESS_H
#define MVENGINE_PROGRESS_H

#include <cstdint>

#include <mvengine/engine.h>

namespace mv::engine {

struct Progress {
    mv_progress_fn fn = nullptr;
    void* user = nullptr;

    // Reports progress; true when the caller asks to stop.
    bool cancelled(std::uint64_t done, std::uint64_t total) const { return fn && fn(done, total, user) != 0; }
};

} // namespace mv::engine

#endif
