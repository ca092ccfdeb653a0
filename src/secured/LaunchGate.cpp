#include "secured/LaunchGate.h"

namespace mv::secured {

void LaunchGate::enter(std::function<void()> step)
{
    waiting_.push_back(std::move(step));
    if (busy_)
        return; // the loop below, further up the stack, runs it
    busy_ = true;
    while (!waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    busy_ = false;
}

} // namespace mv::secured
