// Picture buffers of tens of megabytes cost more in page faults than in decoding: such a
// buffer is put on huge pages where the kernel offers them (Linux transparent huge pages).
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

namespace mv::imaging {

// Like allocateImage (same limits and reasons); large pictures get a huge-page buffer.
QImage allocateLargeImage(std::int64_t width, std::int64_t height, QImage::Format format, QString* reason);

} // namespace mv::imaging
