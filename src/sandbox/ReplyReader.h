// The program's side of a helper's answer: the message checked field by field, and the picture
// rebuilt from the pixel memory file without trusting anything the helper says. Pixels of a
// plain picture are drawn from the memory file as it is, so that file must be sealed against
// writing; those of a decrypted picture are copied into protected memory and the file is wiped. A colour
// space the file named does not come back: the viewer draws the pixels as they are, and reading an ICC
// profile here would be parsing the file in the program after all.
#pragma once

#include "fileio/UniqueFd.h"
#include "imaging/base/Picture.h"
#include "sandbox/DecodeJob.h"
#include "sandbox/Wire.h"

#include <string>
#include <vector>

namespace mv::sandbox {

struct ParsedReply {
    wire::Reply header;
    std::string typeName;
    std::string step;
    std::string reason;
};

// False when the message is not a whole, well-formed reply.
[[nodiscard]] bool parseReply(const std::vector<char>& message, ParsedReply& out);

// The picture a Picture reply to job describes, its pixels read from pixels; a failure ("the
// decoder was stopped: its answer was malformed", in the step of a stopped decoder) when anything in it does
// not add up: a frame outside the file or overlapping another, an indexed frame without a
// whole colour table, more frames than a decoder keeps, a size the job could not have given,
// or a file that is not sealed as it must be.
imaging::Picture readPicture(const ParsedReply& reply, fileio::UniqueFd pixels, const DecodeJob& job);

// The facts an Info reply carries, or its failure.
imaging::PictureInfo readInfo(const ParsedReply& reply);

// The failure a Failed reply carries, in the shape a decoder reports it.
fileio::Status readFailure(const ParsedReply& reply);

} // namespace mv::sandbox
