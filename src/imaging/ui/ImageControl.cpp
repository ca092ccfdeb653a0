#include "imaging/ui/ImageControl.h"

#include "imaging/base/ReducedCopy.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTransform>

#include <array>
#include <cmath>

namespace mv::imaging {

namespace {

constexpr std::array<double, 11> kZoomFactors = {0.25, 0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 3, 4, 5};

} // namespace

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&player_, &FramePlayer::frameChanged, this, qOverload<>(&QWidget::update));
}

void ImageControl::setPicture(Picture picture, const QString& file)
{
    const int turns = file == file_ ? quarterTurns_ : 0;
    clear();
    if (!picture.ok())
        return;
    quarterTurns_ = turns;
    picture_ = std::move(picture);
    file_ = file;
    player_.play(picture_.animation, !isVisible());
    sizeToZoom();
    update();
}

void ImageControl::clear()
{
    player_.stop();
    file_.clear();
    quarterTurns_ = 0;
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

void ImageControl::setQuarterTurns(int turns)
{
    quarterTurns_ = ((turns % 4) + 4) % 4;
    sizeToZoom();
    update();
}

QSize ImageControl::turnedSize() const
{
    const QSize own(picture_.width, picture_.height);
    return quarterTurns_ % 2 == 0 ? own : own.transposed();
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
    o.firstFrameOnly = thumbnailSize_ > 0; // a thumbnail does not play
    return o;
}

QSizeF ImageControl::drawnSize() const
{
    return imaging::drawnSize(turnedSize(), DrawFit(fitMode_), zoom_, size(), devicePixelRatioF());
}

const QImage& ImageControl::shownImage() const
{
    if (picture_.isAnimated())
        return picture_.animation->frames[size_t(player_.frame())].image;
    return picture_.image;
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
    return zoomedControlSize(turnedSize(), zoom_, devicePixelRatioF());
}

bool ImageControl::event(QEvent* event)
{
    // Moved to a screen of another pixel ratio: 100 % is still one pixel per device pixel.
    if (event->type() == QEvent::ScreenChangeInternal) {
        cache_.clear();
        sizeToZoom();
        update();
    }
    return QWidget::event(event);
}

void ImageControl::showEvent(QShowEvent* event)
{
    player_.setPaused(false);
    QWidget::showEvent(event);
}

void ImageControl::hideEvent(QHideEvent* event)
{
    player_.setPaused(true);
    QWidget::hideEvent(event);
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), backColor_);
    const QSizeF turned = drawnSize();
    if (!picture_.ok() || turned.isEmpty())
        return;
    // A turned picture is drawn unturned into a turned painter: the pixels stay as decoded
    // (and in their protected memory), no turned copy is made.
    const bool odd = quarterTurns_ % 2 == 1;
    const QSizeF drawn = odd ? turned.transposed() : turned;
    QTransform turn;
    if (quarterTurns_ == 1)
        turn.translate(turned.width(), 0).rotate(90);
    else if (quarterTurns_ == 2)
        turn.translate(turned.width(), turned.height()).rotate(180);
    else if (quarterTurns_ == 3)
        turn.translate(0, turned.height()).rotate(270);
    painter.setTransform(turn);
    const QRectF target(QPointF(0, 0), drawn);
    const QRectF exposedRect = turn.inverted().mapRect(QRectF(event->rect()));
    if (picture_.isVector()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(exposedRect);
        picture_.drawing->draw(painter, target);
        return;
    }
    const QRectF exposed = exposedRect & target;
    if (exposed.isEmpty())
        return;
    const QImage& image = shownImage();
    const Qt::ImageConversionFlags flags = conversionFlags(options_.ditherMode);
    const qreal dpr = devicePixelRatioF();
    const QSize device = devicePixels(drawn, dpr);
    if (device.width() < image.width() || device.height() < image.height()) {
        // Reduced: filter the whole picture once at the device pixels it covers, then copy
        // the exposed part 1:1 onto them.
        const QImage& ahead = player_.frame() == 0 ? picture_.reduced : QImage();
        const QImage& small = cache_.reduced(image, device, dpr, ahead, picture_.sensitive);
        const double sx = small.width() / drawn.width();
        const double sy = small.height() / drawn.height();
        const QRectF source(exposed.x() * sx, exposed.y() * sy, exposed.width() * sx, exposed.height() * sy);
        painter.drawImage(exposed, small, source, flags);
        return;
    }
    // Enlarged or 1:1: only the source pixels under the exposed part are drawn, so a large
    // picture at a high zoom costs no more than the part on screen.
    const double kx = image.width() / drawn.width();
    const double ky = image.height() / drawn.height();
    const QRectF source(exposed.x() * kx, exposed.y() * ky, exposed.width() * kx, exposed.height() * ky);
    painter.drawImage(exposed, image, source, flags);
}

} // namespace mv::imaging
