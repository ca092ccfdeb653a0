#include "viewing/PictureLoad.h"

#include "browser/TypeTable.h"
#include "browser/ViewArrangement.h"
#include "crypto/EncryptedNames.h"
#include "crypto/MemoryDecrypt.h"
#include "imaging/FileBytes.h"
#include "imaging/SiblingPalette.h"
#include "imaging/base/DrawnSize.h"
#include "imaging/base/ReducedCopy.h"

#include <mvengine/engine.h>

#include <QDateTime>
#include <QFileInfo>

#include <cmath>

namespace mv::viewing {

namespace {

bool isCutName(const QString& name)
{
    return QFileInfo(name).suffix().compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
}

// The job a decoder helper gets: the plain bytes and the options, and of the file only what
// names it as it is now, for the count of helpers it stopped.
sandbox::DecodeJob jobFor(const PictureRequest& request, const QFileInfo& file, QByteArrayView bytes,
                          const QString& name)
{
    sandbox::DecodeJob job;
    job.bytes = bytes;
    job.fileName = name;
    job.options = request.options;
    job.urgent = request.urgent;
    job.strikeKey = QStringLiteral("%1|%2|%3")
                        .arg(file.absoluteFilePath())
                        .arg(file.size())
                        .arg(file.lastModified().toMSecsSinceEpoch());
    if (request.firstLook && looksLikeJpeg(bytes)) {
        // The embedded preview when there is one, else the decoder's 1/8 scale: a fraction of
        // the time of the picture drawn sharp. A JPEG draws no vectors.
        job.options.targetSize = QSize(kFirstLookBox, kFirstLookBox);
        job.options.embeddedPreview = imaging::EmbeddedPreview::Use;
    } else if (request.place && request.place->bestFit) {
        // A vector picture is drawn for the place it goes: fitted into the area, or at the zoom.
        job.draw.box = request.options.targetSize;
    } else if (request.place) {
        job.draw.scale = request.place->zoom;
    }
    return job;
}

// The copy the image control will draw, made here so the window does no scaling.
void reduceAhead(const PictureRequest& request, imaging::Picture& picture)
{
    if (!request.place || picture.image.isNull() || picture.isAnimated())
        return;
    const DrawPlace& place = *request.place;
    browser::ViewArrangementInput in;
    in.pictureSize = QSize(picture.width, picture.height);
    in.bestFit = place.bestFit;
    in.zoomedSize = imaging::zoomedControlSize(in.pictureSize, place.zoom, place.devicePixelRatio);
    in.areaSize = place.areaSize;
    in.barThickness = place.barThickness;
    const browser::ViewArrangement plan = browser::arrangeView(in);
    const QSizeF drawn = imaging::drawnSize(in.pictureSize, imaging::DrawFit(int(plan.fit)), place.zoom,
                                            plan.drawnSize, place.devicePixelRatio);
    picture.reduced =
        imaging::reducedForScreen(picture.image, drawn, place.devicePixelRatio, picture.sensitive);
}

void takePicture(const PictureRequest& request, PictureOutcome& outcome, imaging::Picture picture,
                 QByteArrayView bytes)
{
    reduceAhead(request, picture);
    outcome.kind = PictureOutcome::Shown;
    outcome.facts.width = picture.width;
    outcome.facts.height = picture.height;
    outcome.facts.colorDepth = picture.colorDepth;
    // A first look stands for a moment while the key is held: its checksum waits for the
    // sharp picture, which spares a pass over the whole file at every step.
    if (!request.firstLook)
        outcome.facts.checksum = crypto::checksumOf(bytes);
    outcome.facts.fileSize = bytes.size();
    outcome.picture = std::move(picture);
}

// A job on the file's start alone. What stops the decoder here is counted apart from the
// whole file, and what decodes well does not clear the whole file's count.
sandbox::DecodeJob firstLookJob(const PictureRequest& request, const QFileInfo& file, QByteArrayView head)
{
    sandbox::DecodeJob job = jobFor(request, file, head, request.listedName);
    job.strikeKey += QStringLiteral("|first look");
    return job;
}

// The sizes of the desktop's thumbnails, largest first.
constexpr int kCachedThumbnailSizes[] = {256, 128};

// A picture's thumbnail from the desktop's cache, standing for the picture with the size and
// depth its header (in `head`) gives: true when one was found and shown.
bool lookFromThumbnailCache(const PictureRequest& request, PictureOutcome& outcome,
                            sandbox::Decoders& decoders, QByteArrayView head, const QFileInfo& file)
{
    if (!request.thumbnails)
        return false;
    const qint64 mtime = file.lastModified().toSecsSinceEpoch();
    QByteArray png;
    for (const int size : kCachedThumbnailSizes)
        if (png.isEmpty())
            png = request.thumbnails->find(request.path, mtime, size);
    if (png.isEmpty())
        return false;
    const imaging::PictureInfo facts = decoders.probe(firstLookJob(request, file, head));
    if (!facts.ok() || facts.width <= 0 || facts.height <= 0)
        return false;
    sandbox::DecodeJob job = jobFor(request, file, png, QStringLiteral("thumbnail.png"));
    job.strikeKey += QStringLiteral("|thumbnail");
    job.options.targetSize = QSize();
    imaging::Picture picture = decoders.decode(job);
    if (!picture.ok() || picture.isVector() || picture.image.isNull())
        return false;
    // A thumbnail of other proportions (turned another way, say) is not this picture's.
    const double aspect = double(facts.width) / facts.height;
    if (std::abs(double(picture.image.width()) / picture.image.height() - aspect) > 0.05 * aspect)
        return false;
    picture.width = facts.width;
    picture.height = facts.height;
    picture.colorDepth = facts.colorDepth;
    takePicture(request, outcome, std::move(picture), {});
    return true;
}

// A first look at a plain picture from its start alone: a JPEG's embedded preview, or the
// desktop's thumbnail of it. True when that settled the load; its checksum waits for the
// whole file.
bool firstLookFromHead(const PictureRequest& request, PictureOutcome& outcome, sandbox::Decoders& decoders,
                       const FileReading& reading, const QFileInfo& file)
{
    fileio::Status read;
    const QByteArray head = reading.head(request.path, kPreviewHeadBytes, &read);
    if (!read || beginsWithSignature(head))
        return false;
    bool shown = false;
    if (looksLikeJpeg(head)) {
        sandbox::DecodeJob job = firstLookJob(request, file, head);
        job.options.embeddedPreview = imaging::EmbeddedPreview::Only;
        imaging::Picture picture = decoders.decode(job);
        // A preview that stopped its decoder (a crash, the time limit) would stop it again
        // when the whole file is tried: once is enough.
        if (sandbox::decoderStopped(picture.status)) {
            outcome.kind = PictureOutcome::DecodeFailed;
            outcome.status = picture.status;
            return true;
        }
        if (picture.ok()) {
            takePicture(request, outcome, std::move(picture), {});
            shown = true;
        }
    }
    if (!shown && !lookFromThumbnailCache(request, outcome, decoders, head, file))
        return false;
    outcome.facts.checksum.reset();
    outcome.facts.fileSize = file.size();
    return true;
}

// Damaged or not ours after all: shown the way any plain file of this name would be.
void notOpenable(const PictureRequest& request, PictureOutcome& outcome, const fileio::Status& why)
{
    outcome.kind = browser::IsViewableName(request.listedName) ? PictureOutcome::DecodeFailed
                                                               : PictureOutcome::Unsupported;
    outcome.status = why;
}

// An encrypted file that will not be shown: its header's key check alone says whether a key
// opens it, so its contents are neither read nor decrypted.
void checkKeyOnly(const PictureRequest& request, PictureOutcome& outcome, const FileReading& reading)
{
    fileio::Status read;
    const QByteArray header = reading.head(request.path, crypto::kEncryptedHeaderBytes, &read);
    if (!read) {
        notOpenable(request, outcome, read);
        return;
    }
    const crypto::HeaderKeySearch search = crypto::keyForHeader(header, request.keys);
    switch (search.kind) {
    case crypto::HeaderKeySearch::NoneFits: outcome.kind = PictureOutcome::NeedsKey; return;
    case crypto::HeaderKeySearch::NotOpenable: notOpenable(request, outcome, search.status); return;
    case crypto::HeaderKeySearch::Fits: break;
    }
    outcome.kind = PictureOutcome::DecryptedUnviewable;
    outcome.keyIndex = search.keyIndex;
    outcome.facts.encrypted = true;
}

void loadEncrypted(const PictureRequest& request, PictureOutcome& outcome, sandbox::Decoders& decoders,
                   const FileReading& reading, const QFileInfo& file)
{
    const QString plainName = crypto::PlainName(request.listedName);
    const bool viewable = browser::IsViewableName(plainName);
    if (viewable && file.size() > kMaxViewedFileBytes) {
        outcome.kind = PictureOutcome::TooLarge;
        outcome.facts.fileSize = file.size();
        return;
    }
    if (request.keys.empty()) {
        outcome.kind = PictureOutcome::NeedsKey;
        return;
    }
    if (!viewable) {
        checkKeyOnly(request, outcome, reading);
        return;
    }
    crypto::MemoryDecrypt opened = reading.decrypt(request.path, request.keys, kMaxViewedFileBytes);
    if (opened.kind == crypto::MemoryDecrypt::NoneFits) {
        outcome.kind = PictureOutcome::NeedsKey;
        return;
    }
    if (opened.kind == crypto::MemoryDecrypt::NotOpenable) {
        notOpenable(request, outcome, opened.status);
        return;
    }
    outcome.keyIndex = opened.keyIndex;
    outcome.facts.encrypted = true;
    // A .CUT keeps its colours in a plain .PAL beside it; an encrypted one has none to read.
    sandbox::DecodeJob job = jobFor(request, file, opened.bytes.view(), plainName);
    job.bytesFile = opened.bytes.memoryFile();
    // Only the decoded picture stays, in memory kept out of core dumps and zeroed when the
    // picture is dropped, its reduced copy too; the decrypted bytes are wiped when `opened`
    // goes, and the helper's copy of them as soon as it has answered.
    job.sensitive = true;
    imaging::Picture picture = decoders.decode(job);
    if (!picture.ok()) {
        outcome.kind = PictureOutcome::DecryptedDecodeFailed;
        outcome.status = picture.status;
        return;
    }
    takePicture(request, outcome, std::move(picture), opened.bytes.view());
}

} // namespace

qint64 PictureOutcome::bytesHeld() const
{
    return picture.pixelBytes() + 4096; // the drawing of a vector picture and the bookkeeping
}

PictureOutcome loadPicture(const PictureRequest& request, sandbox::Decoders& decoders,
                           const FileReading& reading)
{
    PictureOutcome outcome;
    outcome.facts.listedName = request.listedName;
    const QFileInfo info(request.path);
    if (!info.exists()) {
        outcome.kind = PictureOutcome::Missing;
        return outcome;
    }
    fileio::Status read;
    // Only the signature tells an encrypted file; its name may be anything. A file that cannot
    // be shown is read no further than that.
    if (!browser::IsViewableName(request.listedName)) {
        if (beginsWithSignature(reading.head(request.path, MV_SIGNATURE_LEN, &read)))
            loadEncrypted(request, outcome, decoders, reading, info);
        else
            outcome.kind = PictureOutcome::Unsupported;
        return outcome;
    }
    if (info.size() > kMaxViewedFileBytes) {
        outcome.kind = PictureOutcome::TooLarge;
        outcome.facts.fileSize = info.size();
        return outcome;
    }
    if (request.firstLook && firstLookFromHead(request, outcome, decoders, reading, info))
        return outcome;
    const imaging::FileBytes bytes = reading.whole(request.path, kMaxViewedFileBytes, &read);
    if (beginsWithSignature(bytes.view())) {
        loadEncrypted(request, outcome, decoders, reading, info);
        return outcome;
    }
    if (!read) {
        outcome.kind = PictureOutcome::DecodeFailed;
        outcome.status = read;
        return outcome;
    }
    const QByteArray palette =
        isCutName(request.listedName) ? imaging::readSiblingPalette(request.path) : QByteArray();
    sandbox::DecodeJob job = jobFor(request, info, bytes.view(), request.listedName);
    job.bytesFile = bytes.memoryFile();
    job.palette = palette;
    imaging::Picture picture = decoders.decode(job);
    if (!picture.ok()) {
        outcome.kind = PictureOutcome::DecodeFailed;
        outcome.status = picture.status;
        return outcome;
    }
    takePicture(request, outcome, std::move(picture), bytes.view());
    return outcome;
}

} // namespace mv::viewing
