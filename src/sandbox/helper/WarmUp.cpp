#include "sandbox/helper/WarmUp.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <fontconfig/fontconfig.h>

namespace mv::sandbox {

namespace {

// A 1 x 1 GIF: Qt writes none.
const char kTinyGif[] =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00"
    "\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b";

QByteArray written(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

void addAll(FcStrList* list, std::vector<std::string>& out)
{
    if (!list)
        return;
    while (FcChar8* dir = FcStrListNext(list))
        out.emplace_back(reinterpret_cast<const char*>(dir));
    FcStrListDone(list);
}

} // namespace

void warmUp(const JobHandler& decoders)
{
    QImage tiny(2, 2, QImage::Format_RGB32);
    tiny.fill(Qt::gray);
    const QByteArray samples[][2] = {
        {written(tiny, "png"), "a.png"},
        {written(tiny, "bmp"), "a.bmp"},
        {written(tiny, "tiff"), "a.tif"},
        {QByteArray(kTinyGif, sizeof kTinyGif - 1), "a.gif"},
    };
    for (const auto& sample : samples) {
        DecodeJob job;
        job.bytes = sample[0];
        job.fileName = QString::fromLatin1(sample[1]);
        (void)decoders.decode(job);
    }
    // The font database, and the faces of the usual families: metafiles and WordPerfect
    // drawings write text.
    (void)QFontDatabase::families();
    QImage canvas(64, 16, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    for (const char* family : {"", "sans-serif", "serif", "monospace"}) {
        for (const bool bold : {false, true}) {
            QFont font;
            if (*family)
                font.setFamily(QString::fromLatin1(family));
            font.setBold(bold);
            font.setPixelSize(12);
            painter.setFont(font);
            painter.drawText(QPointF(0, 12), QStringLiteral("Aa1"));
        }
    }
}

std::vector<std::string> readableFolders()
{
    std::vector<std::string> folders;
    addAll(FcConfigGetFontDirs(nullptr), folders);
    addAll(FcConfigGetCacheDirs(nullptr), folders);
    addAll(FcConfigGetConfigDirs(nullptr), folders);
    // Of Qt's plug-ins only the image readers: the other plug-in folders, the program's own
    // folder and those of QT_PLUGIN_PATH (all of them library paths) hold nothing a decoder needs.
    for (const QString& libraryPath : QCoreApplication::libraryPaths()) {
        const QFileInfo imageFormats(QDir(libraryPath).filePath(QStringLiteral("imageformats")));
        if (imageFormats.isDir())
            folders.push_back(QFile::encodeName(imageFormats.absoluteFilePath()).toStdString());
    }
    return folders;
}

} // namespace mv::sandbox
