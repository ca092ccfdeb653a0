// mvconvert: decodes any picture the viewer can show and writes it as PNG, or prints what it
// is. The same library as the viewer, so it doubles as a command-line check of a file.
//
//   mvconvert IN OUT.png       decode IN, write OUT as PNG
//   mvconvert --info IN        one line: type width height bits-per-pixel (header only)
//   mvconvert --decode-only IN [WxH]
//                              decode and discard (for timing), optionally for drawing into
//                              a WxH box (a JPEG then decodes downscaled)
#include "imaging/core/PictureDecoder.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

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
    std::fprintf(stderr, "usage: mvconvert IN OUT.png | mvconvert --info IN | mvconvert --decode-only IN\n");
    return 2;
}

QImage pixelsOf(const Picture& picture)
{
    if (!picture.isVector())
        return picture.image;
    const QSize size = picture.drawing->naturalSize().toSize().expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

int info(const QString& in)
{
    const mv::imaging::PictureInfo i = mv::imaging::probePictureFile(in);
    if (!i.ok())
        return fail(in, i.error);
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
    return p.ok() ? 0 : fail(in, p.error);
}

// Written to a temporary file and renamed, so a failed write never damages an existing OUT.
int convert(const QString& in, const QString& out)
{
    const Picture p = mv::imaging::decodePictureFile(in);
    if (!p.ok())
        return fail(in, p.error);
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly))
        return fail(out, file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(pixelsOf(p))) {
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
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--info"))
        return info(args[1]);
    if ((args.size() == 2 || args.size() == 3) && args[0] == QLatin1String("--decode-only"))
        return decodeOnly(args[1], args.value(2));
    if (args.size() == 2 && !args[0].startsWith(QLatin1String("--")))
        return convert(args[0], args[1]);
    return usage();
}
