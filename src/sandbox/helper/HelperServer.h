// The helper's side: jobs read one at a time from the program's socket, decoded by a handler,
// answered with the facts and a sealed memory file of the pixels. A decoder that runs out of
// memory (the address-space cap) ends the helper after saying so; it is not trusted to go on.
#pragma once

#include "imaging/base/Picture.h"
#include "sandbox/DecodeJob.h"

#include <functional>

namespace mv::sandbox {

struct JobHandler {
    std::function<imaging::Picture(const DecodeJob&)> decode;
    std::function<imaging::PictureInfo(const DecodeJob&)> probe;
};

// The real decoders (JobDecoding.h).
JobHandler realDecoders();

// Serves jobs until the program closes the socket (0), sends something it never sends (2),
// or a decoder ran out of memory (3).
int serveJobs(int channel, const JobHandler& handler);

} // namespace mv::sandbox
