// The tEXt chunks of a PNG file, where the desktop's thumbnail cache keeps a thumbnail's URI and
// the file's modification time. Cache files may come from any program, so reading checks every
// length against the bytes that are there.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace mv::desktop {

// A whole tEXt chunk: length, type, key, NUL, value and CRC.
[[nodiscard]] QByteArray pngTextChunk(QByteArrayView key, QByteArrayView value);

// The value of the first tEXt chunk named key before the pixels; empty when there is none.
[[nodiscard]] QByteArray pngText(QByteArrayView png, QByteArrayView key);

} // namespace mv::desktop
