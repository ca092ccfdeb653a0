// The image control on a screen of device pixel ratio 2 (QT_SCALE_FACTOR, which the offscreen
// platform honours): 100 % is one picture pixel per device pixel, and the picture's pixels
// reach the screen unchanged; fitted, it draws a reduced copy made ahead when that fits.
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
    control.show();
    expectSamePixels(control.grab().toImage(), image);

    // Fitted, the picture fills the area from a copy at device resolution.
    const QImage reduced = reducedForScreen(image, QSizeF(100, 75), 2);
    // With a copy made ahead, and without: the control's own is the same, pixel for pixel. Drawn
    // at another size the copy made ahead does not fit: the control makes its own, once.
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
        fitted.resize(80, 60);
        expectSamePixels(fitted.grab().toImage(), reducedForScreen(image, QSizeF(80, 60), 2));
        fitted.repaint();
        EXPECT_EQ(fitted.reducedCopiesMadeForTesting(), ahead ? 1 : 2);
    }
}

} // namespace
} // namespace mv::imaging::test
