// One thumbnail of the grid, made off the user-interface thread: the only way the grid
// decodes anything, as loadPicture is the viewer's. A plain picture is taken from the
// desktop's thumbnail cache when a fresh one is there, else decoded small (a JPEG from its
// embedded preview when that is large enough, read from the file's first bytes only, else at
// the strongest reduction its decoder offers; an animation's first frame) and stored in the
// cache. An encrypted picture is decrypted into memory with the keys in hand, decoded, and
// its thumbnail kept in protected memory; nothing of it is written anywhere. An encrypted file
// that is not a picture is read no further than its header's key check.
//
// Nothing here asks the user anything: a file none of the keys opens says so, and the grid
// asks.
#pragma once

#include "crypto/SecretText.h"
#include "desktop/ThumbnailCache.h"
#include "imaging/base/DecodeOptions.h"
#include "viewing/FileReading.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace mv::sandbox {
class Decoders;
} // namespace mv::sandbox

namespace mv::viewing {

struct ThumbnailRequest {
    QString path;                   // the full path of the listed file
    QString listedName;             // its name as listed
    QSize box;                      // the device pixels the thumbnail is fitted into
    imaging::DecodeOptions options; // the viewer's decoding options; size and frames are set here
    // Tried in order on an encrypted file; with none, an encrypted file needs a key.
    std::vector<crypto::SecretText> keys;
    // The desktop's cache for plain pictures; none: nothing is read from or written to a disk cache.
    std::shared_ptr<const desktop::ThumbnailCache> cache;
    // The decoder helpers every picture is decoded in; never null.
    sandbox::Decoders* decoders = nullptr;
};

struct [[nodiscard]] ThumbnailOutcome {
    enum Kind {
        Picture,  // image is the thumbnail
        TypeIcon, // not a picture, or one that cannot be decoded: the cell shows the icon of mimeType
        NeedsKey, // encrypted, and none of the keys opens it
    } kind = TypeIcon;
    QImage image; // fitted into the box, never enlarged; protected memory when sensitive
    bool sensitive = false;
    bool encrypted = false;
    QString mimeType;  // of the file's name, or of its plain name when encrypted
    int keyIndex = -1; // of the request's keys, when one opened the file
};

ThumbnailOutcome loadThumbnail(const ThumbnailRequest& request,
                               const FileReading& reading = FileReading::real());

} // namespace mv::viewing
