// What stays behind in plain form once the files of a list entry are encrypted again: the
// copies editors keep beside a file (backups, swap and auto-save files, locks), and the
// thumbnails the desktop made of the files.
#pragma once

#include "fileutil/FileResult.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mv::secured {

// For each file of `files`, the editor copies beside it that exist: "name~", "name.~N~",
// ".name.swp", ".name.swo", ".name.swn" (vim), "#name#", ".#name" (emacs), ".name.kate-swp"
// (Kate), ".~lock.name#" and the backup "base.bak" or "name.bak" (LibreOffice). A file of the
// list itself is never among them. Sorted, each once.
QStringList findEditorCopies(const QStringList& files);

// The freedesktop thumbnails of `files` that exist: $XDG_CACHE_HOME/thumbnails/<size>/ and
// fail/<program>/, named for the MD5 of the file's URI (as GLib and as Qt write it), and the
// old ~/.thumbnails. They are plain pictures of the files.
QStringList thumbnailsOf(const QStringList& files);

struct WipeReport {
    QStringList wiped;
    QList<fileutil::FileResult> failures; // each names its file in `leftover` or the reason
};

// Wipes each path (never a plain delete); goes on after a failure.
WipeReport wipeAll(const QStringList& paths);

// "An editor left these plain copies beside the files:" + the list + "Wipe them now?"
QString editorCopiesQuestion(const QStringList& copies);

} // namespace mv::secured
