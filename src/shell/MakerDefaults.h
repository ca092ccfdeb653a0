#pragma once

#include "fileutil/FileResult.h"

namespace mv::shell {

// The maker's values in the current user's store, written at start-up when missing: the
// company key's default value, "WebSite" and "TechEmail" together when the company key's
// default value is absent or empty, and the product key's default value when it is absent
// or empty. Values already there are never touched.
//
// One durable store modification when anything is missing, none otherwise; it may run on
// any thread. Fails, with the reason, when the store can't be read or written.
fileutil::FileResult writeMakerDefaults();

} // namespace mv::shell
