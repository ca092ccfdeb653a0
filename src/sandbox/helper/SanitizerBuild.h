// Whether this is a build with AddressSanitizer, whose runtime needs a little more of the
// system than the decoders do (a pipe to probe memory, more address space).
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define MV_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MV_SANITIZED 1
#endif
#endif
