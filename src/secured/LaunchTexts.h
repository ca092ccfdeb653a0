// What the window tells the user about a program of the Secured Access List.
#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::secured {

// "Unable to run application", and on a second line the system's reason.
QString unableToRunText(const fileutil::FileResult& status);

} // namespace mv::secured
