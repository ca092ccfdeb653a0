#include "write_behind.h"

#include "last_error.h"

namespace mv::engine {

WriteBehind::WriteBehind(OutputFile& out, std::size_t blockSize, bool inBackground)
    : out_(out), slots_ {Slot(blockSize), Slot(blockSize)}
{
    if (inBackground)
        writer_ = std::thread([this] { run(); });
}

WriteBehind::~WriteBehind()
{
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

bool WriteBehind::push(std::size_t len)
{
    if (!writer_.joinable())
        return out_.write(block(), len);
    std::unique_lock lock(mutex_);
    slots_[filling_].len = len;
    slots_[filling_].full = true;
    changed_.notify_all();
    filling_ ^= 1;
    changed_.wait(lock, [this] { return !slots_[filling_].full || failed_; });
    return !failedHere();
}

bool WriteBehind::finish()
{
    if (!writer_.joinable())
        return true;
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    writer_.join();
    return !failedHere();
}

bool WriteBehind::failedHere()
{
    // The reason was set on the writer's thread; the caller reads it on its own.
    if (failed_)
        setError(reason_);
    return failed_;
}

void WriteBehind::run()
{
    int writing = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return slots_[writing].full || ending_; });
        if (!slots_[writing].full)
            return; // ending, and everything handed over is written
        Slot& slot = slots_[writing];
        lock.unlock();
        const bool ok = out_.write(slot.data.data(), slot.len);
        lock.lock();
        slot.full = false;
        if (!ok) {
            failed_ = true;
            reason_ = lastError();
            changed_.notify_all();
            return;
        }
        changed_.notify_all();
        writing ^= 1;
    }
}

} // namespace mv::engine
