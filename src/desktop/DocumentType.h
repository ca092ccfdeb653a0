// Registers the program with the desktop for this user, so that double-clicking an encrypted
// file opens it in the program.
#pragma once

#include "fileutil/FileResult.h"

#include <QString>
#include <QStringList>

namespace mv::desktop {

struct RegisterOutcome {
    fileutil::FileResult status;
    bool entryChanged = false;   // the desktop entry was written
    bool packageChanged = false; // the MIME package was written
    bool listChanged = false;    // mimeapps.list was written
    bool cacheWithdrawn = false; // the program was taken out of the user's mimeinfo.cache
    QStringList toolsRun;        // the desktop's cache tools that ran, by name
    // A tool that failed or hung, or a cache that could not be changed, and why; the program's
    // own files are in place.
    QStringList toolProblems;
};

// Puts the desktop entry mirravelnock.desktop (starting `executable` with the file) in the
// user's applications folder and the MIME package of the encrypted files in the user's MIME
// packages, lets update-mime-database, where installed, rebuild the user's MIME database, and
// associates the encrypted files' type with the program in the user's mimeapps.list ([Added
// Associations]). Only the user's own folders are written; no picture type is claimed, and no
// cache of the user's applications is written. A file that already holds the right text is
// left alone, so a start with everything in place writes nothing.
//
// A mimeinfo.cache in the user's applications folder that names the program (earlier versions
// had update-desktop-database write one, which made the program the default for every picture
// type) loses the program's lines, and is wiped when nothing else is left in it; the picture
// types the user gave the program keep it, associated in mimeapps.list instead.
// Runs child processes and waits for them: call it off the user-interface thread.
RegisterOutcome RegisterDocumentType(const QString& executable);

} // namespace mv::desktop
