#include "imaging/qt/QtDecoder.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"

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
        return reason(Reason::QtDamaged).arg(type);
    return reason(Reason::QtUnreadable).arg(type, reader.errorString());
}

bool startsWith(QByteArrayView data, QByteArrayView magic)
{
    return data.size() >= magic.size() && data.first(magic.size()) == magic;
}

} // namespace

bool looksLikePng(QByteArrayView d)
{
    return startsWith(d, "\x89PNG\r\n\x1a\n");
}
bool looksLikeGif(QByteArrayView d)
{
    return startsWith(d, "GIF87a") || startsWith(d, "GIF89a");
}
bool looksLikeTiff(QByteArrayView d)
{
    return startsWith(d, QByteArrayView("II*\0", 4)) || startsWith(d, QByteArrayView("MM\0*", 4));
}
bool looksLikeBmp(QByteArrayView d)
{
    return startsWith(d, "BM") && d.size() >= 26;
}

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

PictureInfo probeWithQt(QByteArrayView data, const char* format)
{
    applyAllocationLimit();
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    PictureInfo info;
    info.width = size.width();
    info.height = size.height();
    if (!size.isValid())
        info.error = readerError(reader, format);
    return info;
}

} // namespace mv::imaging
