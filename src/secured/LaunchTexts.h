// What the window tells the user about a program of the Secured Access List.
#pragma once

#include "fileutil/FileResult.h"
#include "secured/OpenFileHolders.h"

#include <QString>

namespace mv::secured {

// "Unable to run application", and on a second line the system's reason.
QString unableToRunText(const fileutil::FileResult& status);

// For the information line while a re-lock waits: "Waiting for gedit (4123) to close
// notes.txt; the files are encrypted again once it has." Up to three processes and files are
// named, then "and n more".
QString waitingForHoldersText(const QList<FileHolder>& holders);

} // namespace mv::secured
