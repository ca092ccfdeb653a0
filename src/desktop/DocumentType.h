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
    QStringList toolsRun;        // the desktop's cache tools that ran, by name
    QStringList toolProblems;    // a tool that failed or hung, and why; the files are in place
};

// Puts the desktop entry mirravelnock.desktop (starting `executable` with the file) in the
// user's applications folder and the MIME package of the encrypted files in the user's MIME
// packages, then lets update-mime-database and update-desktop-database, where installed,
// rebuild the user's caches. Only the user's own folders are written. A file that already
// holds the right text is left alone, and the tools run only when something changed or a
// cache is missing, so a start with everything in place costs two reads.
// Runs child processes and waits for them: call it off the user-interface thread.
RegisterOutcome RegisterDocumentType(const QString& executable);

} // namespace mv::desktop
