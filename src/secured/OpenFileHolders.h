// Which processes still hold a file open. A program can end while something it handed the
// file to (a copy of itself that was already running, a helper process) still has it open:
// encrypting the file under it would lose what it writes next.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace mv::secured {

struct FileHolder {
    pid_t pid = -1;
    QString command; // the process's name, as /proc/<pid>/comm gives it
    QString file;    // the file of the list it holds, as the list names it
};

// Every process but this one that holds one of `files` open, read from /proc/*/fd. A file
// is recognised by its device and inode, so a process that opened it under another name
// (through a link to its folder, a bind mount) is found too. Processes this user may not
// look into are passed over.
QList<FileHolder> findHolders(const QStringList& files);

// When process `pid` started, in clock ticks since boot (/proc/<pid>/stat); 0 when it is gone.
quint64 processStartTime(pid_t pid);

// Whether the process that started at `startTime` under `pid` still runs: not ended, not a
// zombie, and the number not given to another process since.
bool processRuns(pid_t pid, quint64 startTime);

} // namespace mv::secured
