// What editors leave beside a file in plain form once the files of a list entry are encrypted
// again: backups, swap and auto-save files, locks. (The desktop's thumbnails of the files are
// desktop/PlainTraces.h's.)
#pragma once

#include <QString>
#include <QStringList>

namespace mv::secured {

// For each file of `files`, the editor copies beside it that exist: "name~", "name.~N~",
// ".name.swp", ".name.swo", ".name.swn" (vim), "#name#", ".#name" (emacs), ".name.kate-swp"
// (Kate), ".~lock.name#" and the backup "base.bak" or "name.bak" (LibreOffice). A file of the
// list itself is never among them. Sorted, each once.
QStringList findEditorCopies(const QStringList& files);

// "An editor left these plain copies beside the files:" + the list + "Wipe them now?"
QString editorCopiesQuestion(const QStringList& copies);

} // namespace mv::secured
