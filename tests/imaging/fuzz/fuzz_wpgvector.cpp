// Fuzz target: WordPerfect graphics with vector records, parsed and drawn into a 64 x 64 image,
// must never crash, hang or read out of bounds.
#include "imaging/core/Picture.h"
#include "imaging/wpg/WpgVectorDecoder.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Text is only drawn with a GUI application running; offscreen needs no display.
void startGui()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_wpgvector";
    static char* argv[] = { name, nullptr };
    new QGuiApplication(argc, argv);
}

} // namespace

// The font lookups of text leave fontconfig's own patterns behind; they are not our leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    startGui();
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const mv::imaging::Picture picture = mv::imaging::decodeWpgPicture(bytes);
    if (picture.drawing) {
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.drawing->draw(painter, QRectF(0, 0, 64, 64));
    }
    return 0;
}
