// The picture on show as the clipboard gets it: its pixels at full size and, for a plain WMF or
// EMF, the file's own bytes as well, so that programs that take metafiles paste the drawing
// itself. A decrypted picture gives its pixels and nothing else: neither the file's name nor
// any of its bytes, decrypted or not.
#pragma once

#include "fileio/Status.h"
#include "imaging/base/Picture.h"
#include "viewing/FileReading.h"
#include "viewing/PictureLoad.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <memory>
#include <optional>

class QMimeData;

namespace mv::viewing {

struct ClipboardPicture {
    QImage image;
    QByteArray metafile;       // the file's bytes; empty unless a plain WMF or EMF
    QStringList metafileTypes; // the MIME types they are offered under
    fileio::Status status;     // why nothing can be copied; ok on success

    [[nodiscard]] bool ok() const { return status.ok && !image.isNull(); }
};

// The MIME types a metafile of this name is offered under: the desktop's own name for the type
// first (shared-mime-info), then the older one office programs offer and read. Empty for a name
// that is not a metafile's.
QStringList metafileMimeTypes(const QString& name);

// The picture in memory, when it is all there is to copy: pixels decoded at full size (of an
// animation, frame `frame`). None for a vector picture (a metafile, whose bytes go along) and
// a picture decoded reduced for the screen: those are read again, with clipboardFromFile.
std::optional<ClipboardPicture> clipboardFromShown(const imaging::Picture& shown, int frame);

// Reads the file on show again and decodes it whole, off the user-interface thread: an
// encrypted file is decrypted into memory with request's keys, as for viewing. A vector picture
// is drawn at its own size (a decrypted one into protected memory). request.options should ask
// for the full size (no targetSize).
ClipboardPicture clipboardFromFile(const PictureRequest& request, sandbox::Decoders& decoders,
                                   const FileReading& reading = FileReading::real());

// The data the clipboard gets: the image, and the metafile bytes under each of their types.
std::unique_ptr<QMimeData> clipboardMimeData(const ClipboardPicture& picture);

} // namespace mv::viewing
