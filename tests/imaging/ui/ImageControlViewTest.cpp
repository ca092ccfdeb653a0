// The image control as the viewer drives it: pictures decoded elsewhere, reduced copies made
// ahead, and animations played by a timer (driven here through the control's test hook).
#include "../core/TestPictures.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"
#include "imaging/ui/ImageControl.h"
#include "imaging/ui/ScaledCache.h"
#include "support/Smaps.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QString kGif = QStringLiteral(MV_TEST_DATA "/gif-3frames-loop2-im.gif");

QRgb colourAt(ImageControl& control, QPoint at)
{
    return control.grab().toImage().pixel(at) | 0xFF000000u;
}

Picture flat(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    Picture p = DecodeResult::success(image, 24);
    p.typeName = QStringLiteral("PNG");
    return p;
}

TEST(ImageControlView, APictureDecodedElsewhereIsShownAsItsFile)
{
    ImageControl control;
    control.setBackColor(QColor(0, 0, 255));
    control.setPicture(flat(QSize(40, 30), qRgb(255, 0, 0)), QStringLiteral("/pics/a.png"));
    EXPECT_EQ(control.pictureFile(), QStringLiteral("/pics/a.png"));
    EXPECT_EQ(control.pictureWidth(), 40);
    EXPECT_EQ(control.colorDepth(), 24);
    EXPECT_EQ(control.pictureType(), QStringLiteral("PNG"));
    EXPECT_EQ(control.size(), QSize(40, 30)); // sized to the zoom, as a loaded file is
    control.show();
    EXPECT_EQ(colourAt(control, QPoint(20, 15)), qRgb(255, 0, 0));

    // A failed decode clears the control.
    control.setPicture(Picture::failure(QStringLiteral("the file is truncated")),
                       QStringLiteral("/pics/b.jpg"));
    EXPECT_EQ(control.pictureFile(), QString());
    EXPECT_EQ(control.pictureWidth(), 0);
    EXPECT_EQ(colourAt(control, QPoint(20, 15)), qRgb(0, 0, 255));
}

TEST(ImageControlView, AReducedCopyMadeAheadIsDrawnWhenItFitsAndReplacedWhenNot)
{
    ImageControl control;
    control.setFitMode(ImageControl::FitWidth);
    control.resize(100, 75);
    control.show();
    // The copy made ahead is marked green, so it shows whether it or the picture was drawn.
    Picture p = flat(QSize(400, 300), qRgb(255, 0, 0));
    p.reduced = reducedForScreen(p.image, QSizeF(100, 75), control.devicePixelRatioF());
    ASSERT_EQ(p.reduced.size(), QSize(100, 75));
    p.reduced.fill(qRgb(0, 255, 0));
    control.setPicture(p, QStringLiteral("a.png"));
    EXPECT_EQ(colourAt(control, QPoint(50, 40)), qRgb(0, 255, 0));
    EXPECT_EQ(control.reducedCopiesMadeForTesting(), 0);

    // Drawn at another size the copy does not fit: the control makes its own, from the picture.
    control.resize(80, 60);
    EXPECT_EQ(colourAt(control, QPoint(40, 30)), qRgb(255, 0, 0));
    EXPECT_EQ(control.reducedCopiesMadeForTesting(), 1);
    // Repaints at that size reuse it.
    control.repaint();
    EXPECT_EQ(colourAt(control, QPoint(10, 10)), qRgb(255, 0, 0));
    EXPECT_EQ(control.reducedCopiesMadeForTesting(), 1);
}

TEST(ImageControlView, CopiesTheControlMakesOfADecryptedPictureAreKeptOutOfDumps)
{
    Picture p = flat(QSize(400, 300), qRgb(255, 0, 0));
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

TEST(ImageControlView, AnAnimationPlaysItsFramesWhileShownAndStopsWithThePicture)
{
    ImageControl control;
    control.setPicture(decodePictureFile(kGif), kGif);
    // Set while hidden: nothing plays until the control is shown.
    EXPECT_FALSE(control.isAnimating());
    control.show();
    ASSERT_TRUE(control.isAnimating());
    EXPECT_EQ(control.frameIndex(), 0);
    EXPECT_EQ(control.frameDelay(), 50);
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(255, 0, 0));
    control.advanceFrameForTesting();
    EXPECT_EQ(control.frameIndex(), 1);
    EXPECT_EQ(control.frameDelay(), 100);
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(0, 255, 0));

    // Hidden, it waits on its frame.
    control.hide();
    EXPECT_FALSE(control.isAnimating());
    control.advanceFrameForTesting();
    EXPECT_EQ(control.frameIndex(), 1);
    control.show();
    ASSERT_TRUE(control.isAnimating());
    control.advanceFrameForTesting();
    EXPECT_EQ(control.frameIndex(), 2);
    EXPECT_EQ(control.frameDelay(), 300);
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(0, 0, 255));

    // The file says twice: round once more, then it rests on the last frame.
    for (const int expected : {0, 1, 2}) {
        control.advanceFrameForTesting();
        EXPECT_EQ(control.frameIndex(), expected);
    }
    EXPECT_TRUE(control.isAnimating());
    control.advanceFrameForTesting();
    EXPECT_FALSE(control.isAnimating());
    EXPECT_EQ(control.frameIndex(), 2);
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(0, 0, 255));
    // The viewer hides and shows the control whenever it arranges it: that is no restart.
    control.hide();
    control.show();
    EXPECT_FALSE(control.isAnimating());

    // Set again it starts over; another picture or a clear stops it.
    control.setPicture(decodePictureFile(kGif), kGif);
    EXPECT_TRUE(control.isAnimating());
    EXPECT_EQ(control.frameIndex(), 0);
    control.setPicture(flat(QSize(6, 4), qRgb(9, 9, 9)), QStringLiteral("b.png"));
    EXPECT_FALSE(control.isAnimating());
    EXPECT_EQ(colourAt(control, QPoint(3, 2)), qRgb(9, 9, 9));
    control.setPicture(decodePictureFile(kGif), kGif);
    control.clear();
    EXPECT_FALSE(control.isAnimating());
}

} // namespace
} // namespace mv::imaging::test
