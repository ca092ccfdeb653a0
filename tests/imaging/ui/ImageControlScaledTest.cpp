// The image control on a screen of device pixel ratio 2 (QT_SCALE_FACTOR, which the offscreen
// platform honours): 100 % is one picture pixel per device pixel, and the picture's pixels
// reach the screen unchanged.
#include "../core/TestPictures.h"

#include "imaging/base/ReducedCopy.h"
#include "imaging/ui/ImageControl.h"

namespace mv::imaging::test {
namespace {

// Set before the application exists, which the test environment makes when the tests start.
[[maybe_unused]] const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

Picture pictureOf(const QImage& image)
{
    Picture p = DecodeResult::success(image, 24);
    p.typeName = QStringLiteral("PNG");
    return p;
}

TEST(ImageControlScaled, AtOneHundredPercentEachPicturePixelIsOneDevicePixelAndFittedItFillsTheArea)
{
    ImageControl control;
    ASSERT_EQ(control.devicePixelRatioF(), 2.0);
    const QImage image = pattern(400, 300);
    control.setPicture(pictureOf(image), QStringLiteral("a.png"));
    EXPECT_EQ(control.size(), QSize(200, 150));
    EXPECT_EQ(control.sizeHint(), QSize(200, 150));
    control.show();
    expectSamePixels(control.grab().toImage(), image);
    // 200 %: two device pixels a picture pixel, still sharp (no pixel mixed with its neighbour,
    // which in this pattern never shares its colour).
    ASSERT_TRUE(control.setZoomFactor(2));
    EXPECT_EQ(control.size(), QSize(400, 300));
    const QImage twice = control.grab(QRect(0, 0, 50, 40)).toImage();
    ASSERT_EQ(twice.size(), QSize(100, 80));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(twice.pixel(x, y) | 0xFF000000u, image.pixel(x / 2, y / 2) | 0xFF000000u)
                << x << "," << y;

    // Fitted, the picture fills the area from a copy at device resolution.
    const QImage reduced = reducedForScreen(image, QSizeF(100, 75), 2);
    ASSERT_EQ(reduced.size(), QSize(200, 150));
    // With a copy made ahead, and without: the control's own is the same, pixel for pixel.
    for (const bool ahead : {true, false}) {
        ImageControl fitted;
        fitted.setFitMode(ImageControl::FitWidth);
        fitted.resize(100, 75);
        fitted.show();
        Picture p = pictureOf(image);
        if (ahead)
            p.reduced = reduced;
        fitted.setPicture(p, QStringLiteral("a.png"));
        EXPECT_EQ(fitted.size(), QSize(100, 75)); // fitted: the caller sizes the control
        expectSamePixels(fitted.grab().toImage(), reduced);
        EXPECT_EQ(fitted.reducedCopiesMadeForTesting(), ahead ? 0 : 1);
    }
}

} // namespace
} // namespace mv::imaging::test
