#include "viewing/ClipboardPicture.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/ProtectedPixels.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>

namespace mv::viewing {

namespace {

fileio::Status failure(const QString& path, const QString& why)
{
    return fileio::Status::failure(
        "copy picture", QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why).toStdString());
}

// Reads like the real thing, and keeps the whole plain file it read: the bytes the picture
// was decoded from, so the image and the metafile on the clipboard are one and the same.
class KeepingReading final : public FileReading {
public:
    explicit KeepingReading(const FileReading& real) : real_(real) {}

    QByteArray head(const QString& path, qint64 count, fileio::Status* status) const override
    {
        return real_.head(path, count, status);
    }
    imaging::FileBytes whole(const QString& path, qint64 maxBytes, fileio::Status* status) const override
    {
        imaging::FileBytes bytes = real_.whole(path, maxBytes, status);
        kept_ = bytes.view().toByteArray();
        return bytes;
    }
    crypto::MemoryDecrypt decrypt(const QString& path, const std::vector<crypto::SecretText>& keys,
                                  qint64 maxBytes) const override
    {
        return real_.decrypt(path, keys, maxBytes);
    }

    [[nodiscard]] const QByteArray& kept() const { return kept_; }

private:
    const FileReading& real_;
    mutable QByteArray kept_;
};

QString whyNotLoaded(const PictureOutcome& outcome)
{
    if (!outcome.status.reason.empty())
        return QString::fromStdString(outcome.status.reason);
    switch (outcome.kind) {
    case PictureOutcome::Missing:
        return QCoreApplication::translate("mv::viewing::ClipboardPicture", "the file is no longer there");
    case PictureOutcome::NeedsKey:
        return QCoreApplication::translate(
            "mv::viewing::ClipboardPicture",
            "none of the keys typed so far opens it; select it again to type its key");
    case PictureOutcome::TooLarge:
        return QCoreApplication::translate("mv::viewing::ClipboardPicture",
                                           "the file is now larger than the viewer takes");
    case PictureOutcome::Unsupported:
    case PictureOutcome::DecryptedUnviewable:
        return QCoreApplication::translate("mv::viewing::ClipboardPicture",
                                           "the file is no longer a picture");
    default:
        return QCoreApplication::translate("mv::viewing::ClipboardPicture",
                                           "the picture could not be decoded");
    }
}

// A vector picture drawn at its own size; a decrypted one straight into protected memory.
QImage drawn(const imaging::Picture& picture, bool sensitive, QString* whyNot)
{
    QImage image =
        imaging::allocateImage(picture.width, picture.height, QImage::Format_ARGB32_Premultiplied, whyNot);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    if (sensitive)
        image = imaging::protectedTake(std::move(image));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        picture.drawing->draw(painter, QRectF(0, 0, picture.width, picture.height));
    }
    return image;
}

} // namespace

QStringList metafileMimeTypes(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("wmf"))
        return {QStringLiteral("image/wmf"), QStringLiteral("image/x-wmf")};
    if (suffix == QLatin1String("emf"))
        return {QStringLiteral("image/emf"), QStringLiteral("image/x-emf")};
    return {};
}

std::optional<ClipboardPicture> clipboardFromShown(const imaging::Picture& shown, int frame)
{
    // A metafile, drawn from vectors here or as pixels by the decoder helper, is read again:
    // its own bytes go along with the picture.
    if (!shown.ok() || shown.isVector() || shown.redrawable ||
        shown.image.size() != QSize(shown.width, shown.height))
        return std::nullopt;
    ClipboardPicture out;
    out.image = shown.image;
    if (shown.animation && frame > 0 && std::size_t(frame) < shown.animation->frames.size())
        out.image = shown.animation->frames[std::size_t(frame)].image;
    return out;
}

ClipboardPicture clipboardFromFile(const PictureRequest& request, sandbox::Decoders& decoders,
                                   const FileReading& reading)
{
    ClipboardPicture out;
    const KeepingReading keeping(reading);
    const PictureOutcome outcome = loadPicture(request, decoders, keeping);
    if (!outcome.shown()) {
        out.status = failure(request.path, whyNotLoaded(outcome));
        return out;
    }
    const imaging::Picture& picture = outcome.picture;
    if (picture.isVector()) {
        QString whyNot;
        out.image = drawn(picture, outcome.facts.encrypted, &whyNot);
        if (out.image.isNull()) {
            out.status = failure(request.path, whyNot);
            return out;
        }
    } else {
        out.image = picture.image;
    }
    if (!outcome.facts.encrypted) {
        out.metafileTypes = metafileMimeTypes(request.listedName);
        if (!out.metafileTypes.isEmpty())
            out.metafile = keeping.kept();
    }
    return out;
}

std::unique_ptr<QMimeData> clipboardMimeData(const ClipboardPicture& picture)
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(picture.image);
    if (!picture.metafile.isEmpty())
        for (const QString& type : picture.metafileTypes)
            data->setData(type, picture.metafile);
    return data;
}

} // namespace mv::viewing
