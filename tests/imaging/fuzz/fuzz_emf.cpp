// Feeds arbitrary bytes to the Emf loader and plays what it accepts into a small picture: it
// must never crash, hang or read out of bounds, in parsing or in drawing.
#include "imaging/metafile/MetafileDecoder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Text drawing needs fonts, which need a GUI application; offscreen needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_emf";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    // Fonts are loaded once, here, so their caches are not taken for leaks of one input.
    QImage warm(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&warm);
    painter.drawText(0, 8, QStringLiteral("a"));
    return 0;
}

// fontconfig keeps a few caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const mv::imaging::Picture p = mv::imaging::decodeEmfData(bytes);
    if (p.ok() != (p.drawing != nullptr))
        __builtin_trap(); // success must carry a drawing
    if (p.ok()) {
        if (p.width < 1 || p.height < 1 || p.colorDepth != 24)
            __builtin_trap();
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(0);
        QPainter painter(&image);
        p.drawing->draw(painter, QRectF(0, 0, 64, 64));
    }
    return 0;
}
