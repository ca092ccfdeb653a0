#include "fileio/Status.h"

#include <cstring>

namespace mv::fileio {

std::string errorText(int error)
{
    // strerrordesc_np (glibc 2.32+) is thread-safe and gives the bare text.
    const char* text = ::strerrordesc_np(error);
    return text ? std::string(text) : "error " + std::to_string(error);
}

Status Status::failure(std::string step, int error)
{
    Status s;
    s.ok = false;
    s.step = std::move(step);
    s.error = error;
    s.reason = errorText(error);
    return s;
}

Status Status::failure(std::string step, std::string reason)
{
    Status s;
    s.ok = false;
    s.step = std::move(step);
    s.reason = std::move(reason);
    return s;
}

std::string Status::message() const
{
    if (ok)
        return {};
    std::string text = step + ": " + reason;
    if (!note.empty() || !leftover.empty()) {
        text += " (" + note;
        if (!leftover.empty())
            text += (note.empty() ? "" : "; ") + std::string("left behind: ") + leftover;
        text += ")";
    }
    return text;
}

Status Status::within(const std::string& outerStep) const
{
    if (ok)
        return *this;
    Status s = *this;
    s.step = outerStep;
    s.reason = step + ": " + reason;
    return s;
}

} // namespace mv::fileio
