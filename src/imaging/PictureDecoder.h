// The one way into picture decoding: by content first (a PNG named .bmp still opens), by the
// file's extension second. Safe to call from a worker thread; nothing is shared.
#pragma once

#include "imaging/base/DecodeOptions.h"
#include "imaging/base/Picture.h"

#include <QByteArrayView>
#include <QString>

namespace mv::imaging {

// Files larger than this are refused before they are read.
inline constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// Reads and decodes a file; for a .CUT also reads the .PAL beside it.
Picture decodePictureFile(const QString& path, const DecodeOptions& options = {});

// Decodes bytes already in memory; fileName only lends its extension.
Picture decodePictureData(QByteArrayView data, const QString& fileName, const DecodeOptions& options = {},
                          QByteArrayView palette = {});

// Type, size and depth from the header where the type allows it, else by decoding.
PictureInfo probePictureFile(const QString& path);
PictureInfo probePictureData(QByteArrayView data, const QString& fileName);

} // namespace mv::imaging
