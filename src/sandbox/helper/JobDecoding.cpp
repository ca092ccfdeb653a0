#include "sandbox/helper/JobDecoding.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeLimits.h"

#include <QPainter>

namespace mv::sandbox {

namespace {

// Drawn as the image control drew vector pictures itself: antialiased, on a transparent
// ground that the view fills with its background.
imaging::Picture drawVector(imaging::Picture picture, const DrawSize& draw)
{
    const QSize size = drawnVectorSize(picture.drawing->naturalSize(), draw);
    QString whyNot;
    QImage image =
        imaging::allocateImage(size.width(), size.height(), QImage::Format_ARGB32_Premultiplied, &whyNot);
    if (image.isNull())
        return imaging::Picture::failure(whyNot);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        picture.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    picture.drawing.reset();
    picture.image = std::move(image);
    picture.redrawable = true;
    return picture;
}

} // namespace

imaging::Picture decodeJob(const DecodeJob& job)
{
    imaging::Picture picture = imaging::decodePictureData(job.bytes, job.fileName, job.options, job.palette);
    if (picture.ok() && picture.isVector())
        return drawVector(std::move(picture), job.draw);
    return picture;
}

imaging::PictureInfo probeJob(const DecodeJob& job)
{
    return imaging::probePictureData(job.bytes, job.fileName);
}

} // namespace mv::sandbox
