// A program that ends moments after it was started, its files just decrypted, has most
// likely handed them to a copy of itself that was already running (gedit without -w, kate
// without -b, VS Code without --wait, any single-window GApplication): that copy runs
// outside the watch and may still be editing them. Encrypting them silently under it would
// lose the user's next save, so the user is asked first.
#pragma once

#include <QString>
#include <QStringList>

namespace mv::secured {

// How soon after its start an end counts as "at once".
inline constexpr int kEndedAtOnceMs = 5000;

// Whether the end after `ranMs` needs the question: it came within `limitMs` of the start
// and at least one of `files` lies in plain form.
bool endedAtOnce(qint64 ranMs, const QStringList& files, int limitMs = kEndedAtOnceMs);

// "Diary (editor) ended at once; it may have passed the files to a copy that is already
// running. Encrypt the files now?", `program` as programName() gives it.
QString endedAtOnceQuestion(const QString& program);

} // namespace mv::secured
