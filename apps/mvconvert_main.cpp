// mvconvert: decodes any picture the viewer can show and writes it as PNG, or prints what it
// is. It decodes as the viewer does, in the same locked-down decoder helper (mvdecode), so it
// doubles as a command-line check of a file.
//
//   mvconvert IN OUT.png       decode IN, write OUT as PNG
//   mvconvert --width N IN OUT.png
//                              the same, scaled to N pixels wide (height keeps the aspect)
//   mvconvert --info IN        one line: type width height bits-per-pixel (header only)
//   mvconvert --decode-only IN [WxH]
//                              decode and discard (for timing), optionally for drawing into
//                              a WxH box (a JPEG then decodes downscaled)
#include "i18n/Language.h"
#include "imaging/FileBytes.h"
#include "imaging/PictureDecoder.h"
#include "imaging/SiblingPalette.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "sandbox/HelperPool.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using mv::imaging::Picture;

int fail(const QString& subject, const QString& reason)
{
    std::fprintf(stderr, "mvconvert: %s: %s\n", qUtf8Printable(subject), qUtf8Printable(reason));
    return 1;
}

int usage()
{
    std::fputs(
        qUtf8Printable(QCoreApplication::translate(
            "mvconvert",
            "usage: mvconvert [--width N] IN OUT.png | mvconvert --info IN | mvconvert --decode-only IN\n")),
        stderr);
    return 2;
}

// The picture's pixels, width pixels wide (0: as decoded). A vector picture was drawn at that
// width by the helper already.
QImage pixelsOf(const Picture& picture, int width, QString* error)
{
    const QImage& image = picture.image;
    if (width <= 0 || width == image.width())
        return image;
    const double height = std::max(1.0, std::round(double(image.height()) * width / image.width()));
    *error = mv::imaging::checkDimensions(width, std::int64_t(std::min(height, 1e12)));
    return error->isEmpty() ? image.scaledToWidth(width, Qt::SmoothTransformation) : QImage();
}

// The file's bytes (and a .CUT's palette beside it) handed to a decoder helper.
struct Input {
    mv::imaging::FileBytes bytes;
    QByteArray palette;
    mv::sandbox::DecodeJob job;
    mv::fileio::Status read;

    explicit Input(const QString& path)
    {
        bytes = mv::imaging::FileBytes::read(path, mv::imaging::kMaxPictureFileBytes, &read);
        if (QFileInfo(path).suffix().compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0)
            palette = mv::imaging::readSiblingPalette(path);
        job.bytes = bytes.view();
        job.palette = palette;
        job.fileName = QFileInfo(path).fileName();
    }
};

Picture decode(mv::sandbox::Decoders& decoders, const Input& input)
{
    if (!input.read)
        return Picture::failure(input.read);
    if (input.bytes.view().isEmpty())
        return Picture::failure(mv::imaging::reason(mv::imaging::Reason::FileEmpty));
    return decoders.decode(input.job);
}

int printInfo(mv::sandbox::Decoders& decoders, const QString& in)
{
    Input input(in);
    mv::imaging::PictureInfo i;
    if (!input.read)
        i.status = input.read;
    else if (input.bytes.view().isEmpty())
        i = mv::imaging::PictureInfo::failure(mv::imaging::reason(mv::imaging::Reason::FileEmpty));
    else
        i = decoders.probe(input.job);
    if (!i.ok())
        return fail(in, i.reasonText());
    std::printf("%s %d %d %d\n", qUtf8Printable(i.typeName), i.width, i.height, i.colorDepth);
    return 0;
}

int decodeAndDrop(mv::sandbox::Decoders& decoders, const QString& in, const QString& box)
{
    Input input(in);
    mv::imaging::DecodeOptions& options = input.job.options;
    if (!box.isEmpty()) {
        const QStringList wh = box.split(QLatin1Char('x'));
        if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0)
            return usage();
        options.targetSize = QSize(wh[0].toInt(), wh[1].toInt());
    }
    const Picture p = decode(decoders, input);
    return p.ok() ? 0 : fail(in, p.reasonText());
}

// Written to a temporary file and renamed, so a failed write never damages an existing OUT.
int convert(mv::sandbox::Decoders& decoders, const QString& in, const QString& out, int width = 0)
{
    Input input(in);
    // A vector picture is drawn at its natural size, or width pixels wide.
    if (width > 0)
        input.job.draw.box = QSize(width, int(mv::imaging::kMaxDimension));
    const Picture p = decode(decoders, input);
    if (!p.ok())
        return fail(in, p.reasonText());
    QString error;
    const QImage pixels = pixelsOf(p, width, &error);
    if (pixels.isNull())
        return fail(in, error.isEmpty()
                            ? QCoreApplication::translate("mvconvert", "the picture could not be drawn")
                            : error);
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly))
        return fail(out, file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(pixels)) {
        file.cancelWriting();
        return fail(out, writer.errorString());
    }
    if (!file.commit())
        return fail(out, file.errorString());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    mv::i18n::installTranslators(app, mv::i18n::userLanguage());
    QStringList args = app.arguments();
    args.removeFirst();
    const auto command = [&](const char* name, qsizetype minArgs, qsizetype maxArgs) {
        return args.size() >= minArgs && args.size() <= maxArgs && args[0] == QLatin1String(name);
    };
    int width = 0;
    if (command("--width", 4, 4)) {
        bool ok = false;
        width = args[1].toInt(&ok);
        if (!ok || width <= 0 || width > mv::imaging::kMaxDimension)
            return usage();
        args.remove(0, 2);
    }
    const bool info = command("--info", 2, 2) && width == 0;
    const bool decodeOnly = command("--decode-only", 2, 3) && width == 0;
    const bool toPng = args.size() == 2 && !args[0].startsWith(QLatin1String("--"));
    if (!info && !decodeOnly && !toPng)
        return usage();
    // One picture: one helper, started now.
    mv::sandbox::PoolOptions one;
    one.maxHelpers = 1;
    mv::sandbox::HelperPool decoders(one);
    if (info)
        return printInfo(decoders, args[1]);
    if (decodeOnly)
        return decodeAndDrop(decoders, args[1], args.value(2));
    return convert(decoders, args[0], args[1], width);
}
