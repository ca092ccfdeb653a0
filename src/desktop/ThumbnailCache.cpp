#include "desktop/ThumbnailCache.h"

#include "desktop/DesktopThumbnailNames.h"
#include "desktop/PngText.h"

#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/FileResult.h"
#include "fileutil/RandomText.h"
#include "fileutil/Wipe.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::desktop {

namespace {

constexpr int kNormal = 128;
constexpr int kLarge = 256;
// A thumbnail file larger than this is not one of ours, nor a sane one of anyone's.
constexpr qint64 kMaxThumbnailFileBytes = qint64(4) << 20;

// An entry's bytes, or nothing. Any program of the user may put anything in the shared cache:
// a FIFO would block the open for ever and hold the thumbnail build (and a quit waiting for
// it), a link to a device would be read without end. So the name is not followed, the open
// does not wait, and only a regular file of a thumbnail's size is read.
QByteArray readEntry(const QString& entry)
{
    fileio::UniqueFd fd(
        ::open(QFile::encodeName(entry).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > kMaxThumbnailFileBytes)
        return {};
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    const ssize_t got = fileio::readFull(fd.get(), bytes.data(), std::size_t(bytes.size()));
    if (got < 0)
        return {};
    bytes.truncate(got);
    return bytes;
}

QString folderFor(int size)
{
    return size <= kNormal ? QStringLiteral("normal") : QStringLiteral("large");
}

QString failFolder()
{
    return QStringLiteral("fail/mirravelnock");
}

// The image as PNG with the text chunks right after its header chunk.
QByteArray pngWithText(const QImage& image, const QByteArray& uri, qint64 mtime)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    constexpr qsizetype afterHeader = 8 + 4 + 4 + 13 + 4; // signature, then IHDR whole
    if (png.size() < afterHeader)
        return {};
    const QByteArray text = pngTextChunk("Thumb::URI", uri) +
                            pngTextChunk("Thumb::MTime", QByteArray::number(mtime)) +
                            pngTextChunk("Software", "Mirravelnock");
    return png.insert(afterHeader, text);
}

// Makes each missing folder of path owner-only; false when one cannot be made.
bool makeOwnerOnlyPath(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !makeOwnerOnlyPath(parent))
        return false;
    return ::mkdir(fileutil::nativePath(path).c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root) : root_(QDir::cleanPath(root)) {}

QString ThumbnailCache::desktopRoot()
{
    return desktopThumbnailRoot();
}

int ThumbnailCache::sizeFor(QSize box)
{
    const int longest = qMax(box.width(), box.height());
    if (longest <= 0)
        return 0;
    return longest <= kNormal ? kNormal : longest <= kLarge ? kLarge : 0;
}

QByteArray ThumbnailCache::uriOf(const QString& path)
{
    return glibFileUri(path);
}

QString ThumbnailCache::entryPath(const QString& folder, const QString& path) const
{
    return root_ + u'/' + folder + u'/' + thumbnailFileName(uriOf(path));
}

QByteArray ThumbnailCache::find(const QString& path, qint64 mtime, int size) const
{
    QByteArray png = readEntry(entryPath(folderFor(size), path));
    if (pngText(png, "Thumb::URI") != uriOf(path) ||
        pngText(png, "Thumb::MTime") != QByteArray::number(mtime))
        return {};
    return png;
}

bool ThumbnailCache::failed(const QString& path, qint64 mtime) const
{
    const QByteArray png = readEntry(entryPath(failFolder(), path));
    return pngText(png, "Thumb::URI") == uriOf(path) &&
           pngText(png, "Thumb::MTime") == QByteArray::number(mtime);
}

bool ThumbnailCache::store(const QString& path, qint64 mtime, int size, const QImage& thumbnail) const
{
    return write(folderFor(size), path, mtime, thumbnail);
}

bool ThumbnailCache::storeFailure(const QString& path, qint64 mtime) const
{
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return write(failFolder(), path, mtime, empty);
}

bool ThumbnailCache::holds(const QString& path) const
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(root_ + u'/');
}

bool ThumbnailCache::write(const QString& folder, const QString& path, qint64 mtime,
                           const QImage& image) const
{
    const QByteArray png = pngWithText(image, uriOf(path), mtime);
    const QString target = entryPath(folder, path);
    const QString dir = QFileInfo(target).path();
    if (png.isEmpty() || !makeOwnerOnlyPath(dir))
        return false;
    const QString temporary =
        dir + QStringLiteral("/.mv-") + fileutil::randomText(12) + QStringLiteral(".png");
    const std::string native = fileutil::nativePath(temporary);
    fileio::UniqueFd fd(::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return false;
    const bool written = fileio::writeFull(fd.get(), png.constData(), std::size_t(png.size()));
    fd.reset();
    if (written && ::rename(native.c_str(), fileutil::nativePath(target).c_str()) == 0)
        return true;
    (void)fileutil::WipeFile(temporary);
    return false;
}

} // namespace mv::desktop
