// A note on disk for each list entry whose files are decrypted for a running program, so
// that a crash, a kill or a power cut of this program while the program runs does not leave
// the files plain and forgotten. It is on disk before the first file is decrypted and goes
// once the files are encrypted again; at the next start the journals still there name the
// entries whose files may lie plain. It names the entry and its files, never the key.
#pragma once

#include "fileutil/FileResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace mv::secured {

struct JournalRecord {
    JournalRecord() = default;
    JournalRecord(int n, QString entryTitle, QStringList entryFiles, QString entryProgram = {})
        : entry(n), title(std::move(entryTitle)), files(std::move(entryFiles)),
          program(std::move(entryProgram))
    {
    }

    int entry = 0;
    QString title;
    QStringList files;
    QString program; // the entry's program, to name it
    // Why the files may lie plain: the program ran when the journal was last written, or the
    // re-lock after its end did not happen.
    enum class State {
        Running,      // decrypting, starting or running: cut short if still here at a start
        RelockFailed, // encrypting the files again failed
        LeftPlain,    // the user chose to keep the files plain after the program ended at once
    } state = State::Running;
    // The launch helper of the run (its end is the end of everything the program started) and
    // its start time in clock ticks since boot, so that its number, once given to another
    // process, is not taken for it. -1 and 0 until the program has started.
    pid_t helperPid = -1;
    quint64 helperStarted = 0;
    pid_t programPid = -1; // for the user: the process to wait for
};

// "running" in the settings folder.
QString journalFolder();

// Writes the journal of `record.entry` into `folder` (made private if missing), flushed and
// in place before it returns, replacing one of the same entry left by an earlier start.
fileutil::FileResult writeJournal(const QString& folder, const JournalRecord& record);

// Wipes the journal of `entry`; one that is not there counts as removed.
fileutil::FileResult removeJournal(const QString& folder, int entry);

struct LeftJournal {
    JournalRecord record;
    QStringList plainFiles; // the files of the record that exist in plain form
};

// The journals a run that ended without re-locking left in `folder`, for the first copy of
// the program as it starts (no other copy runs then). Only those with files in plain form
// are returned; the others are wiped as they are read. A journal that cannot be read is
// left where it is.
QList<LeftJournal> readLeftJournals(const QString& folder);

} // namespace mv::secured
