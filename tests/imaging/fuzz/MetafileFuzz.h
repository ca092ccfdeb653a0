// What the vector fuzz targets (metafiles, WPG) share: a GUI application for text drawing, and
// one input decoded and played into a small picture. Each target is one source file that
// includes this.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <string>

// fontconfig keeps a few caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so";
}

namespace mv::fuzz {

// Text drawing needs fonts, which need a GUI application; offscreen needs no display.
inline int startGuiApp(const char* name)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static std::string kept(name);
    static char* argv[] = {kept.data(), nullptr};
    new QGuiApplication(argc, argv);
    // Fonts are loaded once, here, so their caches are not taken for leaks of one input.
    QImage warm(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&warm);
    painter.drawText(0, 8, QStringLiteral("a"));
    return 0;
}

// A picture drawn into 64 x 64 pixels, whatever it is.
inline void draw(const imaging::DecodeResult& p)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    QPainter painter(&image);
    p.drawing->draw(painter, QRectF(0, 0, 64, 64));
}

inline int playMetafile(imaging::DecodeResult (*decode)(QByteArrayView), const std::uint8_t* data,
                        std::size_t size)
{
    const imaging::DecodeResult p = decode(QByteArrayView(data, qsizetype(size)));
    if (p.ok() != (p.drawing != nullptr))
        __builtin_trap(); // success must carry a drawing
    if (p.ok()) {
        if (p.width < 1 || p.height < 1 || p.colorDepth != 24)
            __builtin_trap();
        draw(p);
    }
    return 0;
}

} // namespace mv::fuzz
