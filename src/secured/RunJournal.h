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

namespace mv::secured {

struct JournalRecord {
    int entry = 0;
    QString title;
    QStringList files;
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
