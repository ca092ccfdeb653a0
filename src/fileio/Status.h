// The outcome of a file operation, the one shape every file layer returns: success, or the
// step that failed, the system's error number and the reason in plain words.
#pragma once

#include <string>

namespace mv::fileio {

struct [[nodiscard]] Status {
    bool ok = true;
    std::string step;     // what was being done: "write zeros", "put in place"
    std::string reason;   // the system's text for `error`, or our own words
    int error = 0;        // errno; 0 when the reason is our own
    std::string note;     // what the failure means for the user's data, when it is not obvious
    std::string leftover; // a file the failure left behind, to be named to the user

    static Status success() { return {}; }
    static Status failure(std::string step, int error); // reason = the system's text
    static Status failure(std::string step, std::string reason);

    explicit operator bool() const { return ok; }
    // "step: reason (note; left behind: leftover)"; empty on success.
    std::string message() const;
    // This failure told as a step of a larger operation: "wipe source: write zeros: ...".
    Status within(const std::string& outerStep) const;
};

// The system's text for an error number, without the thread-safety trap of strerror.
std::string errorText(int error);

} // namespace mv::fileio
