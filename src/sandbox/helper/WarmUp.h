// What a helper loads before it is locked down, so that it never needs to open a file while it
// decodes: Qt's image plug-ins and the font database, by decoding a tiny picture of each type
// Qt reads for us and drawing a few words in the usual families.
#pragma once

#include "sandbox/helper/HelperServer.h"

#include <string>
#include <vector>

namespace mv::sandbox {

void warmUp(const JobHandler& decoders);

// The folders a helper may still read once locked down (where Landlock allows it): the font
// folders and caches fontconfig uses, its configuration, and Qt's image-format plug-in folders.
std::vector<std::string> readableFolders();

} // namespace mv::sandbox
