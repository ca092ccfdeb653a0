#include "imaging/qt/QtDecoder.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/qt/QtFrames.h"

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

// Qt's reader over bytes in memory (not copied), under our allocation limit.
class MemoryReader {
public:
    MemoryReader(QByteArrayView data, const char* format)
        : bytes_(QByteArray::fromRawData(data.data(), data.size())), buffer_(&bytes_)
    {
        applyAllocationLimit();
        buffer_.open(QIODevice::ReadOnly);
        reader_.setDevice(&buffer_);
        reader_.setFormat(format);
    }
    QImageReader& reader() { return reader_; }

private:
    QByteArray bytes_;
    QBuffer buffer_;
    QImageReader reader_;
};

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

DecodeResult decodeWithQt(QByteArrayView data, const char* format, bool allFrames)
{
    MemoryReader memory(data, format);
    QImageReader& reader = memory.reader();
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        if (QString why = checkDimensions(size.width(), size.height()); !why.isEmpty())
            return DecodeResult::failure(why);
    }
    QImage image = reader.read();
    if (image.isNull())
        return DecodeResult::failure(readerError(reader, format));
    const int depth = image.depth();
    std::shared_ptr<const Animation> animation = allFrames ? readFurtherFrames(reader, image) : nullptr;
    DecodeResult result = DecodeResult::success(std::move(image), depth);
    result.animation = std::move(animation);
    return result;
}

PictureInfo probeWithQt(QByteArrayView data, const char* format)
{
    MemoryReader memory(data, format);
    QImageReader& reader = memory.reader();
    QSize size = reader.size();
    // Shown upright: a picture stored on its side is as tall as it is stored wide.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    PictureInfo info;
    info.width = size.width();
    info.height = size.height();
    if (!size.isValid())
        info.status = decodeFailure(readerError(reader, format));
    return info;
}

} // namespace mv::imaging
