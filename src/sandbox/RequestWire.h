// A job as it travels to a helper: the options and sizes in the message, the bytes (and a
// .CUT's palette after them) in a memory file. Of the file name only the extension goes.
#pragma once

#include "sandbox/DecodeJob.h"
#include "sandbox/Wire.h"

#include <QString>

#include <string>
#include <vector>

namespace mv::sandbox {

// The message for job; its bytes lie at the start of the memory file, its palette after them.
std::vector<char> requestMessage(const DecodeJob& job, wire::JobKind kind);

struct ParsedRequest {
    wire::Request header;
    QString fileName; // "picture." and the extension
};

// False when the message is not a whole request.
[[nodiscard]] bool parseRequest(const std::vector<char>& message, ParsedRequest& out);

// The job a request describes, over the bytes of its memory file (size bytes long); false when
// the request points outside them.
[[nodiscard]] bool jobOf(const ParsedRequest& request, const char* bytes, std::uint64_t size, DecodeJob& job);

} // namespace mv::sandbox
