// The picture area moved to a screen of another pixel ratio. The offscreen platform is given
// two screens side by side, of ratio 1 and 2, so the window really changes screens.
#include "viewing/ui/PictureArea.h"

#include "imaging/ui/ImageControl.h"
#include "support/QtAppEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mv::viewing {
namespace {

// The application is made once the platform has been told of the two screens.
class TwoScreens : public mv::test::QtAppEnvironment<QApplication> {
public:
    TwoScreens() : QtAppEnvironment("viewing_screen_tests") {}
    void SetUp() override
    {
        const QString config = QDir::home().filePath(QStringLiteral("screens.json"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"synchronousWindowSystemEvents": true, "screens": [
            {"name": "one", "x": 0, "y": 0, "width": 1000, "height": 800, "logicalDpi": 96,
             "logicalBaseDpi": 96, "dpr": 1},
            {"name": "two", "x": 1000, "y": 0, "width": 1000, "height": 800, "logicalDpi": 96,
             "logicalBaseDpi": 96, "dpr": 2}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
        QtAppEnvironment::SetUp();
    }
};

[[maybe_unused]] const auto* const kApp = ::testing::AddGlobalTestEnvironment(new TwoScreens);

TEST(ScreenChange, AZoomedPictureIsArrangedAgainOnAScreenOfAnotherPixelRatio)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    QWidget host;
    host.resize(400, 400);
    auto* area = new PictureArea(&host);
    area->setGeometry(0, 0, 300, 300);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    ASSERT_TRUE(area->setZoomIndex(4)); // 100 %: one picture pixel per device pixel
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    area->showLoaded(imaging::Picture(imaging::DecodeResult::success(image, 24)), QStringLiteral("p.png"));
    const imaging::ImageControl& control = *area->imageControl();
    ASSERT_EQ(control.size(), QSize(400, 300));
    ASSERT_TRUE(area->horizontalBar()->isVisible());

    QSignalSpy sized(area, &PictureArea::viewSizeChanged);
    host.windowHandle()->setScreen(QGuiApplication::screens()[1]);
    QApplication::processEvents();
    ASSERT_EQ(area->devicePixelRatioF(), 2.0);
    // 200 x 150 logical pixels now fit the area: no bars, and the picture is centred.
    EXPECT_EQ(control.geometry(), QRect(50, 75, 200, 150));
    EXPECT_FALSE(area->horizontalBar()->isVisible());
    EXPECT_FALSE(area->verticalBar()->isVisible());
    EXPECT_EQ(sized.count(), 1); // so the viewer decodes it again for the new device pixels
}

} // namespace
} // namespace mv::viewing
