#include "fileutil/FolderListing.h"

#include "fileutil/LeftoverNames.h"
#include "fileutil/NameText.h"
#include "fileutil/NaturalOrder.h"
#include "fileutil/PatternSet.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace mv::fileutil {
namespace {

enum class EntryKind {
    File,
    Folder,
    Special, // pipe, socket, device
};

EntryKind kindOfMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    return S_ISREG(mode) ? EntryKind::File : EntryKind::Special;
}

EntryKind kindOf(int folderFd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR: return EntryKind::Folder;
    case DT_REG: return EntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN: {
        // Follow links: a link to a folder is a way into it. A dangling link, or an entry gone
        // meanwhile, is listed as a file so that the user can see and remove it.
        struct stat st {};
        if (::fstatat(folderFd, entry.d_name, &st, 0) != 0)
            return EntryKind::File;
        return kindOfMode(st.st_mode);
    }
    default: return EntryKind::Special;
    }
}

bool isAscii(const char* name, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return false;
    }
    return true;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

Listing ListFiles(const QString& folder, const QString& patterns)
{
    Listing listing;
    listing.folder = folder;
    listing.spec = patterns;
    const PatternSet wanted(patterns);

    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        listing.error = FileResult::failure("read folder", errno);
        return listing;
    }
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0; // readdir tells its end from a failure only through errno
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        if (isDotOrDotDot(entry->d_name))
            continue;
        const EntryKind kind = kindOf(fd, *entry);
        if (kind == EntryKind::Special)
            continue;
        const std::size_t length = std::strlen(entry->d_name);
        QString name;
        bool representable = true;
        if (isAscii(entry->d_name, length)) {
            name = QString::fromLatin1(entry->d_name, qsizetype(length));
        } else {
            name = nameFromNative(QByteArray::fromRawData(entry->d_name, qsizetype(length)));
            representable = isTextName(name);
        }
        if (kind == EntryKind::File && representable && isLeftoverName(name))
            listing.leftovers.append(name);
        if (kind == EntryKind::File && !wanted.matches(name))
            continue;
        if (kind == EntryKind::Folder && !representable)
            ++listing.unlisted;
        else if (kind == EntryKind::Folder)
            listing.folders.append(name);
        else
            listing.files.append(name);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        listing.files.clear();
        listing.folders.clear();
        listing.unlisted = 0;
        listing.leftovers.clear();
        listing.error = FileResult::failure("read folder", readError);
        return listing;
    }
    sortNaturally(listing.files);
    sortNaturally(listing.folders);
    sortNaturally(listing.leftovers);
    return listing;
}

} // namespace mv::fileutil
