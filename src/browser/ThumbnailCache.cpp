#include "browser/ThumbnailCache.h"

#include "browser/DesktopThumbnailNames.h"

#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/FileResult.h"
#include "fileutil/RandomText.h"
#include "fileutil/Wipe.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::browser {

namespace {

constexpr int kNormal = 128;
constexpr int kLarge = 256;
// A thumbnail file larger than this is not one of ours, nor a sane one of anyone's.
constexpr qint64 kMaxThumbnailFileBytes = qint64(4) << 20;
const QByteArrayView kPngSignature("\x89PNG\r\n\x1a\n", 8);

QString folderFor(int size)
{
    return size <= kNormal ? QStringLiteral("normal") : QStringLiteral("large");
}

QString failFolder()
{
    return QStringLiteral("fail/mirravelnock");
}

std::uint32_t be32(const uchar* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void appendBe32(QByteArray& out, std::uint32_t v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

std::uint32_t crc32(QByteArrayView bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ uchar(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A tEXt chunk: Qt would compress a long value (zTXt), which readers of the cache need not expect.
QByteArray textChunk(QByteArrayView key, QByteArrayView value)
{
    QByteArray body("tEXt");
    body.append(key).append('\0').append(value);
    QByteArray chunk;
    appendBe32(chunk, std::uint32_t(body.size() - 4));
    chunk.append(body);
    appendBe32(chunk, crc32(body));
    return chunk;
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
    const QByteArray text = textChunk("Thumb::URI", uri) +
                            textChunk("Thumb::MTime", QByteArray::number(mtime)) +
                            textChunk("Software", "Mirravelnock");
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
    const QByteArray md5 = QCryptographicHash::hash(uriOf(path), QCryptographicHash::Md5).toHex();
    return root_ + u'/' + folder + u'/' + QString::fromLatin1(md5) + QStringLiteral(".png");
}

QByteArray ThumbnailCache::pngText(QByteArrayView png, QByteArrayView key)
{
    if (!png.startsWith(kPngSignature))
        return {};
    qsizetype at = kPngSignature.size();
    while (png.size() - at >= 12) {
        const auto* p = reinterpret_cast<const uchar*>(png.data() + at);
        const std::uint32_t length = be32(p);
        if (length > std::uint32_t(png.size() - at - 12))
            return {};
        const QByteArrayView type = png.sliced(at + 4, 4);
        const QByteArrayView data = png.sliced(at + 8, qsizetype(length));
        if (type == "IDAT" || type == "IEND")
            return {}; // text that matters comes before the pixels
        if (type == "tEXt") {
            const qsizetype nul = data.indexOf('\0');
            if (nul >= 0 && data.first(nul) == key)
                return data.sliced(nul + 1).toByteArray();
        }
        at += 12 + qsizetype(length);
    }
    return {};
}

QByteArray ThumbnailCache::find(const QString& path, qint64 mtime, int size) const
{
    QFile file(entryPath(folderFor(size), path));
    if (file.size() > kMaxThumbnailFileBytes || !file.open(QIODevice::ReadOnly))
        return {};
    QByteArray png = file.readAll();
    if (pngText(png, "Thumb::URI") != uriOf(path) ||
        pngText(png, "Thumb::MTime") != QByteArray::number(mtime))
        return {};
    return png;
}

bool ThumbnailCache::failed(const QString& path, qint64 mtime) const
{
    QFile file(entryPath(failFolder(), path));
    if (file.size() > kMaxThumbnailFileBytes || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray png = file.readAll();
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

} // namespace mv::browser
