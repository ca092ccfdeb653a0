// Feeds arbitrary bytes to one vector decoder (MV_FUZZ_DECODE, declared in MV_FUZZ_HEADER) and
// plays what it accepts into a 64 x 64 picture: it must never crash, hang or read out of bounds,
// in parsing or in drawing. With MV_FUZZ_METAFILE success must carry a drawing of some size (a
// WPG file may hold pixels alone). Built once per decoder, as fuzz_<name>.
#include MV_FUZZ_HEADER

#include <QByteArrayView>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

// fontconfig keeps a few caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so";
}

// Text drawing needs fonts, which need a GUI application; offscreen needs no display.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    // Fonts are loaded once, here, so their caches are not taken for leaks of one input.
    QImage warm(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&warm);
    painter.drawText(0, 8, QStringLiteral("a"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const mv::imaging::DecodeResult p = mv::imaging::MV_FUZZ_DECODE(QByteArrayView(data, qsizetype(size)));
#ifdef MV_FUZZ_METAFILE
    if (p.ok() != (p.drawing != nullptr) || (p.ok() && (p.width < 1 || p.height < 1 || p.colorDepth != 24)))
        __builtin_trap();
#endif
    if (p.drawing) {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(0);
        QPainter painter(&image);
        p.drawing->draw(painter, QRectF(0, 0, 64, 64));
    }
    return 0;
}
