// One step at a time across every running entry. Decrypting, the questions and the re-lock
// each show a modal window that runs its own event loop; without the gate a second program
// ending meanwhile would start its re-lock inside the first one's, on the same job state.
#pragma once

#include <deque>
#include <functional>

namespace mv::secured {

class LaunchGate {
public:
    // Runs `step` now when no step is in hand, otherwise once the steps before it are done.
    void enter(std::function<void()> step);
    [[nodiscard]] bool busy() const { return busy_; }

private:
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
};

} // namespace mv::secured
