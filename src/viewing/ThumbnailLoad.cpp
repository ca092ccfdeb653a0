#include "viewing/ThumbnailLoad.h"

#include "browser/TypeTable.h"
#include "crypto/EncryptedNames.h"
#include "crypto/MemoryDecrypt.h"
#include "imaging/SiblingPalette.h"
#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"
#include "imaging/base/VectorDrawing.h"
#include "sandbox/Decoders.h"
#include "viewing/PictureLoad.h"

#include <mvengine/engine.h>

#include <QDateTime>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>

namespace mv::viewing {

namespace {

// Every decode of a thumbnail goes through here, to the decoder helpers: plain bytes and
// options in, a picture out (a vector picture drawn for the thumbnail's box).
imaging::Picture decode(const ThumbnailRequest& request, QByteArrayView bytes, const QString& name,
                        const imaging::DecodeOptions& options, QByteArrayView palette = {},
                        bool sensitive = false, int bytesFile = -1)
{
    sandbox::DecodeJob job;
    job.bytes = bytes;
    job.bytesFile = bytesFile;
    job.fileName = name;
    job.options = options;
    job.palette = palette;
    job.draw.box = request.box;
    job.sensitive = sensitive;
    job.urgent = false;
    return request.decoders->decode(job);
}

QString mimeTypeOf(const QString& name)
{
    static const QMimeDatabase types;
    return types.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name();
}

// size fitted into box, never enlarged, at least a pixel each way.
QSize fitted(QSize size, QSize box)
{
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    const QSize s = size.scaled(box, Qt::KeepAspectRatio);
    return {qMax(1, s.width()), qMax(1, s.height())};
}

// The decoded picture fitted into box: pixels reduced, a drawing drawn on white.
QImage thumbnailOf(const imaging::Picture& picture, QSize box)
{
    if (picture.isVector()) {
        const QSize natural = picture.drawing->naturalSize().toSize().expandedTo(QSize(1, 1));
        const QSize size = natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        return picture.sensitive ? imaging::protectedTake(std::move(image)) : image;
    }
    return imaging::reducedCopy(picture.image, fitted(picture.image.size(), box), picture.sensitive);
}

ThumbnailOutcome icon(const QString& name, bool encrypted = false)
{
    ThumbnailOutcome outcome;
    outcome.kind = ThumbnailOutcome::TypeIcon;
    outcome.mimeType = mimeTypeOf(name);
    outcome.encrypted = encrypted;
    return outcome;
}

imaging::DecodeOptions smallOptions(const ThumbnailRequest& request, QSize box)
{
    imaging::DecodeOptions options = request.options;
    options.targetSize = box;
    options.firstFrameOnly = true;
    options.embeddedPreview = imaging::EmbeddedPreview::Use;
    return options;
}

ThumbnailOutcome encrypted(const ThumbnailRequest& request, const FileReading& reading, qint64 fileSize)
{
    const QString plainName = crypto::PlainName(request.listedName);
    ThumbnailOutcome outcome = icon(plainName, true);
    if (request.keys.empty()) {
        outcome.kind = ThumbnailOutcome::NeedsKey;
        return outcome;
    }
    if (!browser::IsViewableName(plainName)) {
        // Its key is still asked for, as for any encrypted file; its contents are not needed.
        fileio::Status read;
        const QByteArray header = reading.head(request.path, crypto::kEncryptedHeaderBytes, &read);
        const crypto::HeaderKeySearch search = crypto::keyForHeader(header, request.keys);
        if (search.kind == crypto::HeaderKeySearch::NoneFits)
            outcome.kind = ThumbnailOutcome::NeedsKey;
        outcome.keyIndex = search.keyIndex;
        return outcome;
    }
    if (fileSize > kMaxViewedFileBytes)
        return outcome;
    const crypto::MemoryDecrypt opened = reading.decrypt(request.path, request.keys, kMaxViewedFileBytes);
    if (opened.kind == crypto::MemoryDecrypt::NoneFits) {
        outcome.kind = ThumbnailOutcome::NeedsKey;
        return outcome;
    }
    if (opened.kind != crypto::MemoryDecrypt::Opened)
        return outcome;
    outcome.keyIndex = opened.keyIndex;
    imaging::Picture picture =
        decode(request, opened.bytes.view(), plainName, smallOptions(request, request.box), {}, true,
               opened.bytes.memoryFile());
    if (!picture.ok())
        return outcome;
    // The decoded pixels, and the thumbnail made of them, stay in protected memory; the
    // decrypted bytes are wiped when `opened` goes.
    imaging::protectPicture(picture);
    outcome.image = thumbnailOf(picture, request.box);
    outcome.sensitive = true;
    outcome.kind = outcome.image.isNull() ? ThumbnailOutcome::TypeIcon : ThumbnailOutcome::Picture;
    return outcome;
}

ThumbnailOutcome shown(QImage image)
{
    ThumbnailOutcome outcome;
    outcome.kind = ThumbnailOutcome::Picture;
    outcome.image = std::move(image);
    return outcome;
}

bool isCutName(const QString& name)
{
    return QFileInfo(name).suffix().compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
}

} // namespace

ThumbnailOutcome loadThumbnail(const ThumbnailRequest& request, const FileReading& reading)
{
    const QFileInfo info(request.path);
    if (!info.isFile())
        return icon(request.listedName);
    fileio::Status read;
    // Only the signature tells an encrypted file; its name may be anything.
    if (!browser::IsViewableName(request.listedName)) {
        if (beginsWithSignature(reading.head(request.path, MV_SIGNATURE_LEN, &read)))
            return encrypted(request, reading, info.size());
        return icon(request.listedName);
    }
    if (info.size() > kMaxViewedFileBytes)
        return icon(request.listedName);

    // Plain pictures only from here. The disk cache keeps thumbnails of its own sizes, which
    // cover the grid's; a box larger than its largest is decoded for the grid alone.
    const desktop::ThumbnailCache* cache =
        request.cache && !request.cache->holds(request.path) ? request.cache.get() : nullptr;
    const int cacheSize = cache ? desktop::ThumbnailCache::sizeFor(request.box) : 0;
    const qint64 mtime = info.lastModified().toSecsSinceEpoch();
    if (cacheSize > 0) {
        const QByteArray png = cache->find(request.path, mtime, cacheSize);
        if (!png.isEmpty()) {
            const imaging::Picture stored =
                decode(request, png, QStringLiteral("thumbnail.png"), smallOptions(request, request.box));
            if (stored.ok())
                return shown(thumbnailOf(stored, request.box));
        }
        if (cache->failed(request.path, mtime))
            return icon(request.listedName);
    }

    const QSize decodeBox = cacheSize > 0 ? QSize(cacheSize, cacheSize) : request.box;
    const QByteArray head = reading.head(request.path, kPreviewHeadBytes, &read);
    if (beginsWithSignature(head))
        return encrypted(request, reading, info.size());
    imaging::Picture picture;
    if (looksLikeJpeg(head)) {
        imaging::DecodeOptions previewOnly = smallOptions(request, decodeBox);
        previewOnly.embeddedPreview = imaging::EmbeddedPreview::Only;
        picture = decode(request, head, request.listedName, previewOnly);
    }
    if (!picture.ok()) {
        const imaging::FileBytes bytes = reading.whole(request.path, kMaxViewedFileBytes, &read);
        if (beginsWithSignature(bytes.view()))
            return encrypted(request, reading, info.size());
        const QByteArray palette =
            isCutName(request.listedName) ? imaging::readSiblingPalette(request.path) : QByteArray();
        if (read)
            picture = decode(request, bytes.view(), request.listedName, smallOptions(request, decodeBox),
                             palette, false, bytes.memoryFile());
    }
    if (!picture.ok()) {
        // A file that cannot be read now may be readable later: only a decoder's refusal is recorded.
        if (cacheSize > 0 && read)
            (void)cache->storeFailure(request.path, mtime);
        return icon(request.listedName);
    }
    QImage small = thumbnailOf(picture, decodeBox);
    if (cacheSize > 0)
        (void)cache->store(request.path, mtime, cacheSize, small);
    if (decodeBox == request.box)
        return shown(std::move(small));
    return shown(imaging::reducedCopy(small, fitted(small.size(), request.box)));
}

} // namespace mv::viewing
