#include "crypto/FolderWalk.h"

#include "fileio/UniqueFd.h"
#include "fileutil/LeftoverNames.h"
#include "fileutil/NameText.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace mv::crypto {

namespace {

struct Listed {
    QByteArray name;
    QString text;
    bool folder = false;
    WalkEntry::Kind kind = WalkEntry::File;
};

WalkEntry::Kind kindOf(const struct stat& st, const QString& name)
{
    if (S_ISLNK(st.st_mode))
        return WalkEntry::Link;
    if (!S_ISREG(st.st_mode))
        return WalkEntry::Other;
    return fileutil::isLeftoverName(name) ? WalkEntry::Leftover : WalkEntry::File;
}

// Every entry of the folder but "." and "..", sorted by name; false with errno when it
// cannot be listed.
bool listFolder(const QByteArray& folder, QList<Listed>& out)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        Listed item;
        item.name = name;
        item.text = QFile::decodeName(name);
        struct stat st {};
        if (!fileutil::isRepresentable(name)) {
            item.kind = WalkEntry::Unrepresentable;
        } else if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            item.folder = S_ISDIR(st.st_mode);
            item.kind = kindOf(st, item.text);
        } else {
            item.kind = WalkEntry::Other; // vanished meanwhile; the worker will say so
        }
        out.append(item);
    }
    const int e = errno;
    ::closedir(dir);
    errno = e;
    std::sort(out.begin(), out.end(), [](const Listed& a, const Listed& b) { return a.text < b.text; });
    return e == 0;
}

bool walk(const QString& folder, const QByteArray& native, bool recursive,
          const std::function<bool(const WalkEntry&)>& visit,
          const std::function<void(const QString&, int)>& unreadable)
{
    QList<Listed> entries;
    if (!listFolder(native, entries)) {
        unreadable(folder, errno);
        return true;
    }
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QByteArray nativePrefix = native.endsWith('/') ? native : native + '/';
    for (const Listed& item : entries) {
        if (!item.folder && !visit({prefix + item.text, nativePrefix + item.name, item.kind}))
            return false;
    }
    if (!recursive)
        return true;
    for (const Listed& item : entries) {
        if (item.folder && !walk(prefix + item.text, nativePrefix + item.name, true, visit, unreadable))
            return false;
    }
    return true;
}

} // namespace

bool walkFolder(const QString& folder, bool recursive, const std::function<bool(const WalkEntry&)>& visit,
                const std::function<void(const QString&, int)>& unreadable)
{
    return walk(folder, QFile::encodeName(folder), recursive, visit, unreadable);
}

} // namespace mv::crypto
