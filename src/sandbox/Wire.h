// The messages between the program and a decoder helper, over a socket pair of the program's
// (SOCK_SEQPACKET: one message per send, kept whole). Bytes and pixels never travel in them:
// they lie in sealed memory files (memfd) whose descriptors ride along. Both ends are built
// from the same source, so the layout is this machine's; the program still checks every field
// of what a helper says, because a helper may have been taken over by a hostile picture.
#pragma once

#include <cstdint>

namespace mv::sandbox::wire {

// The descriptor of its socket that a helper finds open when it starts.
inline constexpr int kChannelFd = 3;
// No message is larger: the strings in them are short, everything large is in memory files.
inline constexpr std::uint32_t kMaxMessageBytes = 16 * 1024;
inline constexpr std::uint32_t kMaxStringBytes = 4096;

inline constexpr std::uint32_t kHelloMagic = 0x4d564448;   // "MVDH"
inline constexpr std::uint32_t kRequestMagic = 0x4d564452; // "MVDR"
inline constexpr std::uint32_t kReplyMagic = 0x4d564441;   // "MVDA"

// A helper's first message, once it is locked down and ready.
struct Hello {
    std::uint32_t magic = kHelloMagic;
    std::uint32_t protections = 0; // Protection bits
    std::int32_t landlockAbi = 0;
    std::int32_t pid = 0;
};

enum class JobKind : std::uint32_t {
    Decode = 1,
    Probe = 2,
};

// One job, with the memory file of its bytes; the file name's extension follows (UTF-8).
struct Request {
    std::uint32_t magic = kRequestMagic;
    JobKind kind = JobKind::Decode;
    std::uint64_t byteCount = 0; // the picture's bytes at the start of the memory file
    std::uint64_t paletteOffset = 0;
    std::uint64_t paletteCount = 0;
    std::int32_t ditherMode = 0;
    std::int32_t dctMethod = 0;
    std::int32_t jpegDither = 0;
    std::uint8_t fancyUpsampling = 0;
    std::uint8_t twoPassQuantize = 0;
    std::uint8_t firstFrameOnly = 0;
    std::uint8_t sensitive = 0;
    std::uint8_t embeddedPreview = 0; // imaging::EmbeddedPreview
    std::int32_t targetWidth = -1;    // the decoding options' target size; -1: none
    std::int32_t targetHeight = -1;
    std::int32_t boxWidth = -1; // the box a vector picture is fitted into; -1: none
    std::int32_t boxHeight = -1;
    double drawScale = 1;
    std::uint32_t suffixBytes = 0;
};

enum class ReplyKind : std::uint32_t {
    Picture = 1,     // the facts, and the pixel memory file rides along
    Info = 2,        // the facts of a probe
    Failed = 3,      // the decoder refused the picture: step, error and reason
    OutOfMemory = 4, // the helper stopped at its memory cap and ends after this message
};

inline constexpr std::uint32_t kRedrawable = 1u << 0; // drawn from a vector drawing
inline constexpr std::uint32_t kCutShort = 1u << 1;   // an animation's later frames left out

// The answer to a request; the type name, the failed step and the reason follow, in that order.
struct Reply {
    std::uint32_t magic = kReplyMagic;
    ReplyKind kind = ReplyKind::Failed;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t colorDepth = 0;
    std::uint32_t flags = 0;
    std::int32_t loopCount = 0;
    std::uint32_t frameCount = 0;
    std::int32_t error = 0;
    std::uint32_t typeNameBytes = 0;
    std::uint32_t stepBytes = 0;
    std::uint32_t reasonBytes = 0;
};

// The pixel memory file begins with one of these per frame (the first is the picture), then
// holds the colour tables and the pixels where they point, no two of them sharing a byte.
struct Frame {
    std::uint64_t pixelOffset = 0;
    std::uint64_t colorOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerLine = 0;
    std::int32_t format = 0; // QImage::Format
    std::int32_t delayMs = 0;
    std::int32_t colorCount = 0; // QRgb entries at colorOffset: 2 for 1-bit, 256 for 8-bit indexed, else 0
};

} // namespace mv::sandbox::wire
