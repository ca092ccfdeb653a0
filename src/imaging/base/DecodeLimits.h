// Limits that every decoder checks before it allocates, so that a hostile header cannot make
// us allocate gigabytes or loop for minutes.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

namespace mv::imaging {

inline constexpr std::int64_t kMaxDimension = 30000;
inline constexpr std::int64_t kMaxDecodedBytes = std::int64_t(1) << 30; // 1 GiB of pixels

// Empty when a picture of width x height at bytesPerPixel may be decoded; else the reason.
QString checkDimensions(std::int64_t width, std::int64_t height, int bytesPerPixel = 4);

// Allocates the image after checking the limits; a null image (and reason) when refused or
// when memory is short.
QImage allocateImage(std::int64_t width, std::int64_t height, QImage::Format format, QString* whyNot);

} // namespace mv::imaging
