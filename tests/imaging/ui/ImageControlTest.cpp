// The picture control through its members and what it paints (offscreen platform).
#include "../common/Checks.h"
#include "../core/JpegEncoder.h"
#include "../metafile/WmfWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/ui/ImageControl.h"
#include "support/QtAppEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("imaging_ui_tests");

// Left half red, right half green.
QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0));
    return image;
}

// Decodes path with the control's options, as the viewer's worker does, and shows the result.
void show(ImageControl& control, const QString& path)
{
    Picture picture = decodePictureFile(path, control.decodeOptions());
    ASSERT_TRUE(picture.ok()) << picture.status.message();
    control.setPicture(std::move(picture), path);
}

class ImageControlTest : public ::testing::Test {
protected:
    QString writePng(const QString& name, const QImage& image)
    {
        const QString path = QDir(dir_.path()).filePath(name);
        EXPECT_TRUE(QImageWriter(path, "png").write(image));
        return path;
    }
    QString writeBytes(const QString& name, const QByteArray& bytes)
    {
        return writeFile(QDir(dir_.path()), name, bytes);
    }
    static QRgb colourAt(ImageControl& control, QPoint at)
    {
        return control.grab().toImage().pixel(at) | 0xFF000000u;
    }

    QTemporaryDir dir_;
};

TEST_F(ImageControlTest, MembersAfterALoadAndAfterAClear)
{
    ImageControl control;
    EXPECT_EQ(control.pictureFile(), QString());
    const QString path = writePng(QStringLiteral("two.png"), halves(40, 30));
    show(control, path);
    EXPECT_EQ(control.pictureFile(), path);
    EXPECT_EQ(control.pictureWidth(), 40);
    EXPECT_EQ(control.pictureHeight(), 30);
    EXPECT_EQ(control.colorDepth(), 24);
    EXPECT_EQ(control.pictureType(), QStringLiteral("PNG"));
    EXPECT_EQ(control.pictureObject().image.size(), QSize(40, 30));
    // Zoom mode: the control takes the zoomed picture's size.
    EXPECT_EQ(control.size(), QSize(40, 30));
    ASSERT_TRUE(control.setZoomFactor(2));
    EXPECT_EQ(control.size(), QSize(80, 60));
    EXPECT_FALSE(control.setZoomFactor(0.3));
    EXPECT_EQ(control.zoomFactor(), 2.0);

    control.clear();
    EXPECT_EQ(control.pictureFile(), QString());
    EXPECT_EQ(control.pictureWidth(), 0);
    EXPECT_EQ(control.pictureHeight(), 0);
    EXPECT_EQ(control.colorDepth(), 0);
    EXPECT_FALSE(control.pictureObject().ok());
}

TEST_F(ImageControlTest, OptionsKeepTheirMenuIndexesAndReachTheDecoder)
{
    ImageControl control;
    EXPECT_EQ(control.fitMode(), 1);
    EXPECT_EQ(control.ditherMode(), 0);
    EXPECT_EQ(control.dctMethod(), 1); // "Fast Integer" is the checked item
    EXPECT_EQ(control.jpegDitherMethod(), 0);
    EXPECT_FALSE(control.jpegFancyUpsampling());
    EXPECT_FALSE(control.jpegTwoPassQuantize());
    control.setDitherMode(2);
    control.setDctMethod(2);
    control.setJpegDitherMethod(1);
    control.setDctMethod(7); // out of range: ignored
    control.setFitMode(9);
    control.setJpegFancyUpsampling(true);
    control.setThumbnailSize(100);
    EXPECT_EQ(control.ditherMode(), 2);
    EXPECT_EQ(control.dctMethod(), 2);
    EXPECT_EQ(control.fitMode(), 1);
    const DecodeOptions o = control.decodeOptions();
    EXPECT_EQ(o.dctMethod, DctMethod::FloatingPoint);
    EXPECT_EQ(o.jpegDither, JpegDither::Ordered);
    EXPECT_TRUE(o.jpegFancyUpsampling);
    EXPECT_EQ(o.targetSize, QSize(100, 100));

    // A thumbnail-sized decode of a large JPEG, quantized as the options say.
    const QString jpeg = writeBytes(QStringLiteral("big.jpg"), encodeJpeg(gradient(800, 600)));
    show(control, jpeg);
    EXPECT_EQ(control.pictureWidth(), 800);
    EXPECT_EQ(control.pictureHeight(), 600);
    EXPECT_EQ(control.pictureObject().image.size(), QSize(100, 75));
    EXPECT_EQ(control.pictureObject().image.format(), QImage::Format_Indexed8);
}

TEST_F(ImageControlTest, PaintsThePictureAtEachFitMode)
{
    ImageControl control;
    control.setBackColor(QColor(0, 0, 255));
    show(control, writePng(QStringLiteral("h.png"), halves(200, 100)));
    control.show();
    EXPECT_EQ(colourAt(control, QPoint(50, 50)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(control, QPoint(150, 50)), qRgb(0, 255, 0));

    ASSERT_TRUE(control.setZoomFactor(4)); // 800 x 400: only the grabbed part is drawn
    EXPECT_EQ(control.size(), QSize(800, 400));
    EXPECT_EQ(colourAt(control, QPoint(399, 200)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(control, QPoint(401, 200)), qRgb(0, 255, 0));

    // Fitted to the width of a taller control: reduced smoothly, the rest in the back colour.
    control.setFitMode(ImageControl::FitWidth);
    control.resize(50, 60);
    EXPECT_EQ(colourAt(control, QPoint(10, 12)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(control, QPoint(40, 12)), qRgb(0, 255, 0));
    EXPECT_EQ(colourAt(control, QPoint(25, 50)), qRgb(0, 0, 255));
    control.setFitMode(ImageControl::FitHeight);
    control.resize(300, 50);
    EXPECT_EQ(colourAt(control, QPoint(25, 25)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(control, QPoint(75, 25)), qRgb(0, 255, 0));
    EXPECT_EQ(colourAt(control, QPoint(200, 25)), qRgb(0, 0, 255));

    control.clear();
    EXPECT_EQ(colourAt(control, QPoint(25, 25)), qRgb(0, 0, 255));
}

TEST_F(ImageControlTest, DrawsAMetafileFromItsRecordsOverTheBackColour)
{
    // 100 x 100 units: the left half red; an XOR brush of yellow over the lower right quarter.
    WmfWriter w;
    w.pen(5, 0, 0).brush(0, 0x0000FF).brush(0, 0x00FFFF).select(0).select(1).rectangle(0, 0, 50, 101);
    w.select(2).record(0x0104, {7}).rectangle(50, 50, 101, 101);
    ImageControl control;
    control.setBackColor(QColor(0, 0, 255));
    show(control, writeBytes(QStringLiteral("m.wmf"), w.file(true, QRect(0, 0, 100, 100), 96)));
    EXPECT_EQ(control.colorDepth(), 24);
    ASSERT_TRUE(control.setZoomFactor(2)); // drawn from the records at twice the size, not scaled up
    control.show();
    EXPECT_EQ(control.size(), QSize(200, 200));
    EXPECT_EQ(colourAt(control, QPoint(50, 100)), qRgb(255, 0, 0));
    EXPECT_EQ(colourAt(control, QPoint(150, 50)), qRgb(0, 0, 255));      // nothing drawn: the back colour
    EXPECT_EQ(colourAt(control, QPoint(150, 150)), qRgb(255, 255, 255)); // yellow XOR blue
    EXPECT_EQ(colourAt(control, QPoint(99, 100)), qRgb(255, 0, 0));      // a sharp edge at 2x
    EXPECT_EQ(colourAt(control, QPoint(101, 20)), qRgb(0, 0, 255));
}

} // namespace
} // namespace mv::imaging::test
