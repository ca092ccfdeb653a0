// Loading the file selected in the list for viewing, off the user-interface thread: the file's
// bytes, or its decryption into memory with the keys in hand (never into a file, and wiped as
// soon as it is decoded), then a decoder helper (sandbox/HelperPool.h: the plain bytes go to a
// locked-down process, the pixels come back), and the facts the information line shows.
// Nothing here asks the user anything: a file that needs a key says so and the window asks.
//
// What a file is, is decided from its name and its first bytes: only a file that can be shown
// is read whole. A file that is not a picture is read no further than its signature, and an
// encrypted one whose plain name is not a picture no further than its header, whose key check
// tells whether a key opens it; its contents are never read or decrypted.
#pragma once

#include "browser/FileInfoLine.h"
#include "crypto/SecretText.h"
#include "desktop/ThumbnailCache.h"
#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeOptions.h"
#include "imaging/base/Picture.h"
#include "sandbox/Decoders.h"
#include "viewing/FileReading.h"

#include <QSize>
#include <QString>

#include <memory>
#include <optional>

#include <vector>

namespace mv::viewing {

// Where the picture will be drawn: the picture area as the window lays it out, so the worker
// can reduce a large picture to exactly the screen pixels it will cover.
struct DrawPlace {
    QSize areaSize;       // the area's inner size, logical pixels, with the bars' strips
    int barThickness = 0; // logical pixels a visible bar takes
    bool bestFit = true;
    double zoom = 1; // when not fitted
    qreal devicePixelRatio = 1;
};

struct PictureRequest {
    QString path;       // the full path of the listed file
    QString listedName; // its name as listed
    imaging::DecodeOptions options;
    std::optional<DrawPlace> place; // none: no reduced copy is made ahead
    // Tried in order on an encrypted file; with none, an encrypted file needs a key.
    std::vector<crypto::SecretText> keys;
    // The user waits for it (not a picture prepared ahead): it gets the next free decoder.
    bool urgent = true;
    // A first look while the user travels through the list: a JPEG is shown from its embedded
    // preview, read from the file's start alone; else any plain picture from the desktop's
    // thumbnail of it (`thumbnails`), its size and depth probed from the file's start; else a
    // JPEG is decoded at its strongest reduction. The picture comes out small and is decoded
    // sharp once the user stops. Other pictures load in full.
    bool firstLook = false;
    // The desktop's thumbnail cache, only read here; none: not used.
    std::shared_ptr<const desktop::ThumbnailCache> thumbnails;
};

// The box a first look is decoded into: an EXIF thumbnail is at most 160 x 120.
inline constexpr int kFirstLookBox = 160;

struct [[nodiscard]] PictureOutcome {
    enum Kind {
        Shown,                 // picture and facts are set
        Missing,               // the file is gone
        Unsupported,           // a plain file whose name is not a picture type
        DecodeFailed,          // a plain picture the decoder refused (or was stopped on)
        TooLarge,              // a picture larger than the viewer takes (facts.fileSize)
        NeedsKey,              // encrypted, and none of the keys opens it
        DecryptedUnviewable,   // a key opens it, but its plain name is not a picture type
        DecryptedDecodeFailed, // decrypted, but the decoder refused it
    } kind = Missing;
    imaging::Picture picture;
    browser::FileFacts facts;
    int keyIndex = -1;     // of the request's keys, when one opened the file
    fileio::Status status; // why it failed: the reason in plain words, as the window shows it
    qint64 loadMs = 0;     // how long the load took on its worker, set by PictureLoader

    [[nodiscard]] bool shown() const { return kind == Shown; }
    // Rough memory held, for the cache of prepared pictures.
    [[nodiscard]] qint64 bytesHeld() const;
};

// The most bytes of a file the viewer reads or decrypts into memory.
inline constexpr qint64 kMaxViewedFileBytes = imaging::kMaxPictureFileBytes;

PictureOutcome loadPicture(const PictureRequest& request, sandbox::Decoders& decoders,
                           const FileReading& reading = FileReading::real());

} // namespace mv::viewing
