#include "imaging/core/QtDecoder.h"

#include "imaging/DecodeLimits.h"

#include <QBuffer>
#include <QImageReader>

namespace mv::imaging {

namespace {

// The limit is process-wide in Qt: set it once, before the first reader is used.
void applyAllocationLimit()
{
    static const bool once = [] {
        QImageReader::setAllocationLimit(int(kMaxDecodedBytes / (1024 * 1024)));
        return true;
    }();
    (void)once;
}

QString readerError(const QImageReader& reader, const char* format)
{
    const QString type = QString::fromLatin1(format).toUpper();
    if (reader.error() == QImageReader::InvalidDataError || reader.errorString().isEmpty())
        return QStringLiteral("the %1 data is damaged or unsupported").arg(type);
    return QStringLiteral("the %1 data could not be read: %2").arg(type, reader.errorString());
}

} // namespace

DecodeResult decodeWithQt(QByteArrayView data, const char* format)
{
    applyAllocationLimit();
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (size.isValid()) {
        if (QString why = checkDimensions(size.width(), size.height()); !why.isEmpty())
            return DecodeResult::failure(why);
    }
    QImage image = reader.read();
    if (image.isNull())
        return DecodeResult::failure(readerError(reader, format));
    const int depth = image.depth();
    return DecodeResult::success(std::move(image), depth);
}

QSize sizeWithQt(QByteArrayView data, const char* format, QString* error)
{
    applyAllocationLimit();
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() && error)
        *error = readerError(reader, format);
    return size;
}

} // namespace mv::imaging
