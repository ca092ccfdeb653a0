#include "imaging/ui/ImageControl.h"

#include "imaging/PictureDecoder.h"

#include <QPaintEvent>
#include <QPainter>

#include <array>
#include <cmath>

namespace mv::imaging {

namespace {

constexpr std::array<double, 11> kZoomFactors = {0.25, 0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 3, 4, 5};

} // namespace

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool ImageControl::setPictureFile(const QString& path)
{
    clear();
    if (path.isEmpty())
        return true;
    Picture picture = decodePictureFile(path, decodeOptions());
    if (!picture.ok()) {
        error_ = picture.error;
        return false;
    }
    picture_ = std::move(picture);
    file_ = path;
    sizeToZoom();
    update();
    return true;
}

void ImageControl::clear()
{
    file_.clear();
    error_.clear();
    picture_ = Picture();
    cache_.clear();
    update();
}

void ImageControl::setFitMode(int mode)
{
    if (mode < Zoom || mode > FitHeight)
        return;
    fitMode_ = mode;
    sizeToZoom();
    update();
}

bool ImageControl::setZoomFactor(double factor)
{
    for (double z : kZoomFactors) {
        if (std::abs(z - factor) < 1e-6) {
            zoom_ = z;
            sizeToZoom();
            update();
            return true;
        }
    }
    return false;
}

void ImageControl::setDitherMode(int index)
{
    if (index >= 0 && index <= 2)
        options_.ditherMode = ditherModeFromIndex(index);
    update();
}

void ImageControl::setDctMethod(int index)
{
    if (index >= 0 && index <= 2)
        options_.dctMethod = dctMethodFromIndex(index);
}

void ImageControl::setJpegDitherMethod(int index)
{
    if (index >= 0 && index <= 2)
        options_.jpegDither = jpegDitherFromIndex(index);
}

void ImageControl::setThumbnailSize(int pixels)
{
    thumbnailSize_ = qMax(0, pixels);
}

void ImageControl::setBackColor(const QColor& color)
{
    backColor_ = color;
    update();
}

DecodeOptions ImageControl::decodeOptions() const
{
    DecodeOptions o = options_;
    o.targetSize = thumbnailSize_ > 0 ? QSize(thumbnailSize_, thumbnailSize_) : QSize();
    return o;
}

QSizeF ImageControl::drawnSize() const
{
    if (picture_.width <= 0 || picture_.height <= 0)
        return {};
    double scale = zoom_;
    if (fitMode_ == FitWidth)
        scale = double(width()) / picture_.width;
    else if (fitMode_ == FitHeight)
        scale = double(height()) / picture_.height;
    return {picture_.width * scale, picture_.height * scale};
}

void ImageControl::sizeToZoom()
{
    if (fitMode_ == Zoom && picture_.ok())
        resize(sizeHint());
}

QSize ImageControl::sizeHint() const
{
    if (!picture_.ok())
        return {0, 0};
    return {qRound(picture_.width * zoom_), qRound(picture_.height * zoom_)};
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), backColor_);
    const QSizeF drawn = drawnSize();
    if (!picture_.ok() || drawn.isEmpty())
        return;
    const QRectF target(QPointF(0, 0), drawn);
    if (picture_.isVector()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(event->rect());
        picture_.drawing->draw(painter, target);
        return;
    }
    const QRectF exposed = QRectF(event->rect()) & target;
    if (exposed.isEmpty())
        return;
    const QImage& image = picture_.image;
    const Qt::ImageConversionFlags flags = conversionFlags(options_.ditherMode);
    if (drawn.width() < image.width() || drawn.height() < image.height()) {
        // Reduced: filter the whole picture once, then copy the exposed part 1:1.
        const QImage& small = cache_.reduced(image, drawn.toSize().expandedTo(QSize(1, 1)));
        painter.drawImage(exposed, small, exposed, flags);
        return;
    }
    // Enlarged or 1:1: only the source pixels under the exposed part are drawn.
    const double kx = image.width() / drawn.width();
    const double ky = image.height() / drawn.height();
    const QRectF source(exposed.x() * kx, exposed.y() * ky, exposed.width() * kx, exposed.height() * ky);
    painter.drawImage(exposed, image, source, flags);
}

} // namespace mv::imaging
