// mvconvert: decodes any picture the viewer can show and writes it as PNG, or prints what it
// is. The same library as the viewer, so it doubles as a command-line check of a file.
//
//   mvconvert IN OUT.png       decode IN, write OUT as PNG
//   mvconvert --width N IN OUT.png
//                              the same, scaled to N pixels wide (height keeps the aspect)
//   mvconvert --info IN        one line: type width height bits-per-pixel (header only)
//   mvconvert --decode-only IN [WxH]
//                              decode and discard (for timing), optionally for drawing into
//                              a WxH box (a JPEG then decodes downscaled)
#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeLimits.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
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

// A vector picture is drawn at its natural size, or width pixels wide (0: natural).
QImage pixelsOf(const Picture& picture, int width, QString* error)
{
    if (!picture.isVector()) {
        const QImage& image = picture.image;
        if (width <= 0 || width == image.width())
            return image;
        const double height = std::max(1.0, std::round(double(image.height()) * width / image.width()));
        *error = mv::imaging::checkDimensions(width, std::int64_t(std::min(height, 1e12)));
        return error->isEmpty() ? image.scaledToWidth(width, Qt::SmoothTransformation) : QImage();
    }
    QSizeF size = picture.drawing->naturalSize();
    if (width > 0 && size.width() > 0)
        size = QSizeF(width, size.height() * width / size.width());
    const QSize pixels = size.toSize().expandedTo(QSize(1, 1));
    QImage image = mv::imaging::allocateImage(pixels.width(), pixels.height(),
                                              QImage::Format_ARGB32_Premultiplied, error);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}

int info(const QString& in)
{
    const mv::imaging::PictureInfo i = mv::imaging::probePictureFile(in);
    if (!i.ok())
        return fail(in, i.reasonText());
    std::printf("%s %d %d %d\n", qUtf8Printable(i.typeName), i.width, i.height, i.colorDepth);
    return 0;
}

int decodeOnly(const QString& in, const QString& box)
{
    mv::imaging::DecodeOptions options;
    if (!box.isEmpty()) {
        const QStringList wh = box.split(QLatin1Char('x'));
        if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0)
            return usage();
        options.targetSize = QSize(wh[0].toInt(), wh[1].toInt());
    }
    const Picture p = mv::imaging::decodePictureFile(in, options);
    return p.ok() ? 0 : fail(in, p.reasonText());
}

// Written to a temporary file and renamed, so a failed write never damages an existing OUT.
int convert(const QString& in, const QString& out, int width = 0)
{
    const Picture p = mv::imaging::decodePictureFile(in);
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
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    // Only drawing needs the GUI application (metafile text needs fonts); reading a picture
    // does not, and the GUI application's start-up is most of a small decode's time.
    const bool reading =
        args.size() >= 2 && (args[0] == QLatin1String("--info") || args[0] == QLatin1String("--decode-only"));
    if (reading) {
        QCoreApplication app(argc, argv);
        if (args.size() == 2 && args[0] == QLatin1String("--info"))
            return info(args[1]);
        if ((args.size() == 2 || args.size() == 3) && args[0] == QLatin1String("--decode-only"))
            return decodeOnly(args[1], args.value(2));
        return usage();
    }
    // It never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (args.size() == 2 && !args[0].startsWith(QLatin1String("--")))
        return convert(args[0], args[1]);
    if (args.size() == 4 && args[0] == QLatin1String("--width")) {
        bool ok = false;
        const int width = args[1].toInt(&ok);
        if (!ok || width <= 0 || width > mv::imaging::kMaxDimension)
            return usage();
        return convert(args[2], args[3], width);
    }
    return usage();
}
