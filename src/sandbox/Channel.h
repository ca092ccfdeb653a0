// One message at a time over a SOCK_SEQPACKET socket, with at most one descriptor riding along.
#pragma once

#include "fileio/UniqueFd.h"

#include <cstddef>
#include <vector>

namespace mv::sandbox {

// Sends the message whole, with fd when it is not -1. False, with errno set, when it cannot:
// a peer that is gone gives EPIPE, never SIGPIPE.
[[nodiscard]] bool sendMessage(int socket, const void* data, std::size_t size, int fd = -1);

struct Received {
    enum Outcome {
        Message,  // bytes (and fd, if one came)
        Closed,   // the peer closed its end
        TimedOut, // nothing within the time given
        Failed,   // the system refused (errno in error), or the message was cut or carried more
                  // than one descriptor
    } outcome = Failed;
    std::vector<char> bytes;
    fileio::UniqueFd fd;
    int error = 0;
};

// Waits up to timeoutMs (-1: for ever) for one message of at most maxBytes.
Received receiveMessage(int socket, std::size_t maxBytes, int timeoutMs);

} // namespace mv::sandbox
