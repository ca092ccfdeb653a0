#include "imaging/PictureDecoder.h"

#include "imaging/FileBytes.h"
#include "imaging/FormatTable.h"
#include "imaging/SiblingPalette.h"
#include "imaging/base/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace mv::imaging {

namespace {

const QString kUnsupported = reason(Reason::UnsupportedType);

struct Candidates {
    const PictureType* byContent = nullptr;
    const PictureType* byName = nullptr;
};

Candidates candidatesFor(QByteArrayView data, const QString& fileName)
{
    return {typeByContent(data), typeByExtension(QFileInfo(fileName).suffix())};
}

Picture decodeAs(const PictureType& type, const DecodeRequest& request)
{
    Picture p = Picture::fromResult(type.decode(request));
    p.typeName = QString::fromLatin1(type.name);
    return p;
}

PictureInfo probeAs(const PictureType& type, QByteArrayView data)
{
    PictureInfo info;
    if (type.probe) {
        info = type.probe(data);
    } else {
        const Picture p = Picture::fromResult(type.decode({data, DecodeOptions {}, {}}));
        info = {p.width, p.height, p.colorDepth, {}, p.status};
    }
    info.typeName = QString::fromLatin1(type.name);
    return info;
}

// The content's type is tried first, unless its test is only a plausibility check or the
// name's type accepts the content too; the other is tried when the first fails, and the
// first one's error is reported when both fail.
template <typename Result, typename Attempt>
Result firstThatWorks(const Candidates& c, QByteArrayView data, Attempt attempt)
{
    const PictureType* first = c.byContent ? c.byContent : c.byName;
    const PictureType* second = c.byName != first ? c.byName : nullptr;
    if (second && (first->weakMagic || (second->looksLike && second->looksLike(data))))
        std::swap(first, second);
    Result r = attempt(*first);
    if (!r.ok() && second) {
        Result other = attempt(*second);
        if (other.ok())
            return other;
    }
    return r;
}

bool isCutName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
}

} // namespace

Picture decodePictureData(QByteArrayView data, const QString& fileName, const DecodeOptions& options,
                          QByteArrayView palette)
{
    if (data.isEmpty())
        return Picture::failure(reason(Reason::FileEmpty));
    const Candidates c = candidatesFor(data, fileName);
    if (!c.byContent && !c.byName)
        return Picture::failure(kUnsupported);
    const DecodeRequest request {data, options, palette};
    return firstThatWorks<Picture>(c, data, [&](const PictureType& t) { return decodeAs(t, request); });
}

Picture decodePictureFile(const QString& path, const DecodeOptions& options)
{
    fileio::Status read;
    const FileBytes data = FileBytes::read(path, kMaxPictureFileBytes, &read);
    if (!read)
        return Picture::failure(std::move(read));
    const QByteArray palette = isCutName(path) ? readSiblingPalette(path) : QByteArray();
    return decodePictureData(data.view(), path, options, palette);
}

PictureInfo probePictureData(QByteArrayView data, const QString& fileName)
{
    const Candidates c = candidatesFor(data, fileName);
    if (data.isEmpty())
        return PictureInfo::failure(reason(Reason::FileEmpty));
    if (!c.byContent && !c.byName)
        return PictureInfo::failure(kUnsupported);
    return firstThatWorks<PictureInfo>(c, data, [&](const PictureType& t) { return probeAs(t, data); });
}

PictureInfo probePictureFile(const QString& path)
{
    PictureInfo info;
    const FileBytes data = FileBytes::read(path, kMaxPictureFileBytes, &info.status);
    if (!info.ok())
        return info;
    return probePictureData(data.view(), path);
}

} // namespace mv::imaging
