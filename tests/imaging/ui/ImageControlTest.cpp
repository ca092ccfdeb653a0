// The image control as the viewer drives it (offscreen platform); animations are stepped
// through the test hooks instead of the timer.
#include "../common/Checks.h"
#include "../common/Fixtures.h"
#include "../core/JpegEncoder.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"
#include "imaging/ui/FramePlayer.h"
#include "imaging/ui/ImageControl.h"
#include "imaging/ui/ScaledCache.h"
#include "support/Smaps.h"

#include <QPainter>

namespace mv::imaging::test {
namespace {

const QString kGif = QStringLiteral(MV_TEST_DATA "/gif-3frames-loop2-im.gif");
const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);

QRgb colourAt(ImageControl& control, QPoint at)
{
    return control.grab().toImage().pixel(at) | 0xFF000000u;
}

// A PNG of one colour, or left half red and right half green.
Picture png(QSize size, QRgb colour, bool halves = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(),
                              QColor(halves ? kGreen : colour));
    Picture p = DecodeResult::success(image, 24);
    p.typeName = QStringLiteral("PNG");
    return p;
}

// Decodes the bytes with the control's options, as the viewer's worker does, and shows them.
void show(ImageControl& control, const QByteArray& bytes, const QString& name)
{
    Picture picture = decodePictureData(bytes, name, control.decodeOptions());
    ASSERT_TRUE(picture.ok()) << picture.status.message();
    control.setPicture(std::move(picture), name);
}

TEST(ImageControl, ShowsAPictureAsItsFileWithTheMenuOptionsAndAFailedDecodeClearsIt)
{
    ImageControl control;
    control.setBackColor(QColor(0, 0, 255));
    control.setPicture(png(QSize(40, 30), kRed), QStringLiteral("/pics/a.png"));
    EXPECT_EQ(control.size(), QSize(40, 30)); // zoom mode: the control takes the zoomed size
    ASSERT_TRUE(control.setZoomFactor(2));
    EXPECT_EQ(control.size(), QSize(80, 60));
    EXPECT_FALSE(control.setZoomFactor(0.3)); // not on the zoom menu
    EXPECT_EQ(control.zoomFactor(), 2.0);
    control.show();
    EXPECT_EQ(colourAt(control, QPoint(20, 15)), kRed);
    control.setPicture(Picture::failure(QStringLiteral("the file is truncated")),
                       QStringLiteral("/pics/b.jpg"));
    EXPECT_EQ(control.pictureFile(), QString());
    EXPECT_EQ(control.pictureWidth(), 0);
    EXPECT_EQ(colourAt(control, QPoint(20, 15)), kBlue);

    // The menu options reach the decoder; out of range they are ignored.
    control.setDitherMode(2);
    control.setDctMethod(2);
    control.setJpegDitherMethod(1);
    control.setDctMethod(7);
    control.setFitMode(9);
    control.setJpegFancyUpsampling(true);
    control.setThumbnailSize(100);
    EXPECT_EQ(control.fitMode(), 1);
    const DecodeOptions o = control.decodeOptions();
    EXPECT_EQ(o.ditherMode, DitherMode::DitherExtraColors);
    EXPECT_EQ(o.dctMethod, DctMethod::FloatingPoint);
    EXPECT_TRUE(o.jpegFancyUpsampling);
    // A thumbnail-sized decode of a large JPEG, quantized as the options say.
    show(control, encodeJpeg(gradient(800, 600)), QStringLiteral("big.jpg"));
    EXPECT_EQ(QSize(control.pictureWidth(), control.pictureHeight()), QSize(800, 600));
    EXPECT_EQ(control.pictureObject().image.size(), QSize(100, 75));
    EXPECT_EQ(control.pictureObject().image.format(), QImage::Format_Indexed8);
    control.clear();
    EXPECT_EQ(control.pictureFile(), QString());
    EXPECT_FALSE(control.pictureObject().ok());
}

TEST(ImageControl, PaintsThePictureAtEachFitModeAndMetafilesFromTheirRecords)
{
    ImageControl control;
    control.setBackColor(QColor(0, 0, 255));
    control.setPicture(png(QSize(200, 100), kRed, true), QStringLiteral("h.png"));
    control.show();
    EXPECT_EQ(colourAt(control, QPoint(50, 50)), kRed);
    EXPECT_EQ(colourAt(control, QPoint(150, 50)), kGreen);
    ASSERT_TRUE(control.setZoomFactor(4)); // 800 x 400: only the grabbed part is drawn
    EXPECT_EQ(colourAt(control, QPoint(399, 200)), kRed);
    EXPECT_EQ(colourAt(control, QPoint(401, 200)), kGreen);
    // Fitted to the width of a taller control: reduced smoothly, the rest in the back colour.
    control.setFitMode(ImageControl::FitWidth);
    control.resize(50, 60);
    EXPECT_EQ(colourAt(control, QPoint(10, 12)), kRed);
    EXPECT_EQ(colourAt(control, QPoint(40, 12)), kGreen);
    EXPECT_EQ(colourAt(control, QPoint(25, 50)), kBlue);
    control.setFitMode(ImageControl::FitHeight);
    control.resize(300, 50);
    EXPECT_EQ(colourAt(control, QPoint(25, 25)), kRed);
    EXPECT_EQ(colourAt(control, QPoint(75, 25)), kGreen);
    EXPECT_EQ(colourAt(control, QPoint(200, 25)), kBlue);

    // 100 x 100 units: the left half red; an XOR brush of yellow over the lower right quarter.
    ImageControl metafile;
    metafile.setBackColor(QColor(0, 0, 255));
    show(metafile, fixture(QStringLiteral("control-xor.wmf")), QStringLiteral("m.wmf"));
    ASSERT_TRUE(metafile.setZoomFactor(2)); // drawn from the records at twice the size, not scaled up
    metafile.show();
    EXPECT_EQ(metafile.size(), QSize(200, 200));
    EXPECT_EQ(colourAt(metafile, QPoint(50, 100)), kRed);
    EXPECT_EQ(colourAt(metafile, QPoint(150, 50)), kBlue);                // nothing drawn: the back colour
    EXPECT_EQ(colourAt(metafile, QPoint(150, 150)), qRgb(255, 255, 255)); // yellow XOR blue
    EXPECT_EQ(colourAt(metafile, QPoint(99, 100)), kRed);                 // a sharp edge at 2x
    EXPECT_EQ(colourAt(metafile, QPoint(101, 20)), kBlue);
}

TEST(ImageControl, CopiesTheControlMakesOfADecryptedPictureAreKeptOutOfDumps)
{
    Picture p = png(QSize(400, 300), kRed);
    protectPicture(p);
    ScaledCache own;
    EXPECT_TRUE(mv::test::excludedFromDumps(own.reduced(p.image, QSize(100, 75), 1, {}, true).constBits()));
    // A copy made ahead for another pixel ratio is copied again to take this one.
    const QImage ahead = reducedForScreen(p.image, QSizeF(100, 75), 1, true);
    ScaledCache taken;
    const QImage& retaken = taken.reduced(p.image, QSize(100, 75), 2, ahead, true);
    EXPECT_EQ(retaken.devicePixelRatio(), 2.0);
    EXPECT_NE(retaken.constBits(), ahead.constBits());
    EXPECT_TRUE(mv::test::excludedFromDumps(retaken.constBits()));
}

TEST(ImageControl, AnAnimationPlaysItsFramesWhileShownAndStopsWithThePicture)
{
    ImageControl control;
    control.setPicture(decodePictureFile(kGif), kGif);
    EXPECT_FALSE(control.isAnimating()); // set while hidden: nothing plays until it is shown
    control.show();
    ASSERT_TRUE(control.isAnimating());
    const auto expectFrame = [&](int index, int delay, QRgb colour) {
        EXPECT_EQ(control.frameIndex(), index);
        EXPECT_EQ(control.frameDelay(), delay);
        EXPECT_EQ(colourAt(control, QPoint(3, 2)), colour);
    };
    expectFrame(0, 50, kRed);
    control.advanceFrameForTesting();
    expectFrame(1, 100, kGreen); // stored as 10 ms: Qt's reader gives 100 ms, as browsers show it
    control.hide();              // hidden, it waits on its frame
    EXPECT_FALSE(control.isAnimating());
    control.advanceFrameForTesting();
    EXPECT_EQ(control.frameIndex(), 1);
    control.show();
    control.advanceFrameForTesting();
    expectFrame(2, 300, kBlue);
    // The file says twice: round once more, then it rests on the last frame.
    for (const int expected : {0, 1, 2}) {
        control.advanceFrameForTesting();
        EXPECT_EQ(control.frameIndex(), expected);
    }
    EXPECT_TRUE(control.isAnimating());
    control.advanceFrameForTesting();
    EXPECT_FALSE(control.isAnimating());
    expectFrame(2, 300, kBlue);
    // The viewer hides and shows the control whenever it arranges it: that is no restart.
    control.hide();
    control.show();
    EXPECT_FALSE(control.isAnimating());
    // Set again it starts over; another picture or a clear stops it.
    control.setPicture(decodePictureFile(kGif), kGif);
    EXPECT_TRUE(control.isAnimating());
    EXPECT_EQ(control.frameIndex(), 0);
    control.setPicture(png(QSize(6, 4), qRgb(9, 9, 9)), QStringLiteral("b.png"));
    EXPECT_FALSE(control.isAnimating());
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(9, 9, 9));
    control.setPicture(decodePictureFile(kGif), kGif);
    control.clear();
    EXPECT_FALSE(control.isAnimating());
}

TEST(FramePlayer, ShortDelaysAreRaisedToTheFloorAndAnEndlessLoopKeepsGoing)
{
    auto a = std::make_shared<Animation>();
    for (const int d : {0, 5, 40})
        a->frames.push_back({QImage(1, 1, QImage::Format_RGB32), d});
    a->loopCount = -1;
    FramePlayer player;
    player.play(a, false);
    for (const int delay : {kMinFrameDelayMs, kMinFrameDelayMs, 40}) {
        EXPECT_EQ(player.frameDelay(), delay);
        player.advanceForTesting();
    }
    for (int i = 0; i < 30; ++i)
        player.advanceForTesting();
    EXPECT_TRUE(player.isRunning());
    EXPECT_EQ(player.frame(), 33 % 3);
}

} // namespace
} // namespace mv::imaging::test
