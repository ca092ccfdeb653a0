// What the window tells the user about a program of the Secured Access List.
#pragma once

#include "fileutil/FileResult.h"
#include "secured/OpenFileHolders.h"
#include "secured/RunJournal.h"

#include <QString>

namespace mv::secured {

// "Unable to run application", and on a second line the system's reason.
QString unableToRunText(const fileutil::FileResult& status);

// For the information line while a re-lock waits: "Waiting for gedit (4123) to close
// notes.txt; the files are encrypted again once it has." Up to three processes and files are
// named, then "and n more".
QString waitingForHoldersText(const QList<FileHolder>& holders);

// For the first start after this program ended while listed programs ran: "Mirravelnock!
// ended while these programs ran, and their files were left decrypted:", a line per entry
// ("Diary: diary.txt, notes.txt"), "Encrypt them now?"
QString leftPlainText(const QList<LeftJournal>& left);

} // namespace mv::secured
