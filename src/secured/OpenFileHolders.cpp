#include "secured/OpenFileHolders.h"

#include "fileutil/FileResult.h"

#include <QtGlobal>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::secured {

namespace {

using FileId = std::pair<dev_t, ino_t>;

// Lists the names of a /proc folder; the folder's contents change while it is read, which
// readdir allows.
template <typename Each>
void forEachEntry(int folder, Each each)
{
    DIR* dir = ::fdopendir(folder);
    if (!dir) {
        ::close(folder);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.')
            each(entry->d_name);
    }
    ::closedir(dir);
}

QString commandOf(int procFolder)
{
    const int fd = ::openat(procFolder, "comm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char name[64];
    const ssize_t n = ::read(fd, name, sizeof name);
    ::close(fd);
    return n > 0 ? QString::fromLocal8Bit(name, n).trimmed() : QString();
}

// The state letter and start time of `pid`; false when it is gone.
bool readStart(pid_t pid, char& state, quint64& startTime)
{
    if (pid <= 0)
        return false;
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        return false;
    const std::string stat(buffer, std::size_t(n));
    // "pid (name) S ppid ...": the name may hold blanks and parentheses, so count fields after
    // the last ")". The state is field 3 and the start time field 22.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return false;
    state = stat[close + 2];
    std::size_t at = close + 2;
    for (int field = 3; field < 22; ++field) {
        at = stat.find(' ', at);
        if (at == std::string::npos)
            return false;
        ++at;
    }
    startTime = std::strtoull(stat.c_str() + at, nullptr, 10);
    return true;
}

} // namespace

quint64 processStartTime(pid_t pid)
{
    char state = 0;
    quint64 start = 0;
    return readStart(pid, state, start) ? start : 0;
}

bool processRuns(pid_t pid, quint64 startTime)
{
    char state = 0;
    quint64 start = 0;
    return startTime != 0 && readStart(pid, state, start) && start == startTime && state != 'Z' &&
           state != 'X';
}

QList<FileHolder> findHolders(const QStringList& files)
{
    std::map<FileId, QString> wanted;
    for (const QString& file : files) {
        struct stat st {};
        if (::stat(fileutil::nativePath(file).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            wanted.emplace(FileId(st.st_dev, st.st_ino), file);
    }
    QList<FileHolder> holders;
    if (wanted.empty())
        return holders;

    const std::string self = std::to_string(::getpid());
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc < 0)
        return holders;
    forEachEntry(proc, [&](const char* name) {
        if (name[0] < '1' || name[0] > '9' || self == name)
            return;
        const int process = ::openat(proc, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (process < 0)
            return;
        const int fds = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::set<QString> held; // each file once per process
        if (fds >= 0) {
            const int fdsCopy = ::dup(fds); // fdopendir takes one, fstatat needs the other
            forEachEntry(fds, [&](const char* fd) {
                struct stat st {};
                if (fdsCopy >= 0 && ::fstatat(fdsCopy, fd, &st, 0) == 0 && S_ISREG(st.st_mode)) {
                    const auto it = wanted.find(FileId(st.st_dev, st.st_ino));
                    if (it != wanted.end())
                        held.insert(it->second);
                }
            });
            if (fdsCopy >= 0)
                ::close(fdsCopy);
        }
        if (!held.empty()) {
            const QString command = commandOf(process);
            for (const QString& file : held)
                holders.append({pid_t(std::atoi(name)), command, file});
        }
        ::close(process);
    });
    return holders;
}

} // namespace mv::secured
