// The picture area driven as the window drives it: pictures written by the test, Best Fit and
// zoom, the bars, dragging, the right click and the clearing (offscreen platform).
#include "viewing/ui/PictureArea.h"

#include "imaging/PictureDecoder.h"
#include "imaging/ui/ImageControl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace mv::viewing {
namespace {

constexpr QRgb kLeft = qRgb(200, 0, 0);
constexpr QRgb kRight = qRgb(0, 0, 200);

class PictureAreaTest : public ::testing::Test {
protected:
    // The window places the area inside itself, as the main window does.
    void SetUp() override
    {
        host_.resize(700, 700);
        area_ = new PictureArea(&host_);
        area_->setGeometry(0, 0, 300, 300);
        host_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
    }

    // Left half kLeft, right half kRight, so a shown picture can be told from the frame.
    QString writePicture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                image.setPixel(x, y, x < width / 2 ? kLeft : kRight);
        const QString path = QDir(dir_.path()).filePath(QStringLiteral("p%1x%2.png").arg(width).arg(height));
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    // Decoded here as the viewer's worker decodes it, then shown as the viewer shows it.
    void show(int width, int height, int zoomIndex)
    {
        ASSERT_TRUE(area_->setZoomIndex(zoomIndex));
        const QString path = writePicture(width, height);
        imaging::Picture picture = imaging::decodePictureFile(path, control().decodeOptions());
        ASSERT_TRUE(picture.ok()) << picture.status.message();
        area_->showLoaded(picture, path);
    }

    imaging::ImageControl& control() { return *area_->imageControl(); }
    QScrollBar& hBar() { return *area_->horizontalBar(); }
    QScrollBar& vBar() { return *area_->verticalBar(); }
    int bar() const { return area_->style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

    // The drag is followed in frame pixels while the control under the mouse moves.
    void dragTo(QPoint inFrame) { QTest::mouseMove(&control(), inFrame - control().pos()); }
    void moveWithoutButton(QWidget* target, QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }

    QRgb colourAt(QPoint at)
    {
        const QImage shot = area_->grab().toImage();
        return shot.pixel((QPointF(at) * shot.devicePixelRatio()).toPoint()) | 0xFF000000u;
    }
    void expectCleared()
    {
        EXPECT_FALSE(area_->hasPicture());
        EXPECT_FALSE(control().isVisible());
        EXPECT_FALSE(hBar().isVisible() || vBar().isVisible());
        EXPECT_EQ(area_->pictureFrame()->geometry(), area_->rect());
        EXPECT_FALSE(area_->pictureFrame()->testAttribute(Qt::WA_SetCursor));
    }

    QTemporaryDir dir_;
    QWidget host_;
    PictureArea* area_ = nullptr;
};

// Zoomed in, the bars start at half their maximum and move the picture; a drag moves them by
// the mouse's distance, within their range. The keyboard stays in the file list: nothing here
// takes the focus, and a click hands it back. A right click on the picture clears the view, as
// "Clear Viewing Area" does.
TEST_F(PictureAreaTest, ZoomBarsAndDragsMoveThePictureClicksHandTheFocusBackAndARightClickClears)
{
    for (QWidget* w :
         std::initializer_list<QWidget*> {area_, area_->pictureFrame(), &control(), &hBar(), &vBar()})
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << qPrintable(w->objectName());
    show(400, 300, 8); // 200%
    ASSERT_TRUE(hBar().isVisible() && vBar().isVisible());
    const int visible = 300 - bar();
    EXPECT_EQ(area_->pictureFrame()->size(), QSize(visible, visible));
    EXPECT_EQ(hBar().geometry(), QRect(0, visible, visible, bar()));
    EXPECT_EQ(vBar().geometry(), QRect(visible, 0, bar(), visible));
    EXPECT_EQ(hBar().maximum(), 800 - visible);
    EXPECT_EQ(vBar().maximum(), 600 - visible);
    EXPECT_EQ(hBar().value(), hBar().maximum() / 2);
    EXPECT_EQ(vBar().value(), vBar().maximum() / 2);
    EXPECT_EQ(control().geometry(), QRect(-hBar().value(), -vBar().value(), 800, 600));
    const QPoint bars0(hBar().value(), vBar().value());
    const QPoint start(150, 150);
    QSignalSpy moved(area_, &PictureArea::mouseMovedOverPicture);
    QTest::mousePress(&control(), Qt::LeftButton, {}, start - control().pos());
    for (const QPoint by : {QPoint(-10, 0), QPoint(0, 4), QPoint(-5000, -5000), QPoint(5000, 5000)}) {
        dragTo(start + by);
        const QPoint bars(std::clamp(bars0.x() - by.x(), 0, hBar().maximum()),
                          std::clamp(bars0.y() - by.y(), 0, vBar().maximum()));
        EXPECT_EQ(QPoint(hBar().value(), vBar().value()), bars) << by.x() << "," << by.y();
        EXPECT_EQ(control().pos(), -bars);
    }
    QTest::mouseRelease(&control(), Qt::LeftButton, {}, start - control().pos());
    EXPECT_EQ(moved.count(), 0);
    // Released, a move is only the mouse passing over the picture.
    moveWithoutButton(&control(), {20, 20});
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(hBar().value(), 0);
    // Ctrl or Alt held: no dragging.
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::AltModifier}) {
        QTest::mousePress(&control(), Qt::LeftButton, held, start - control().pos());
        dragTo(start - QPoint(30, 30));
        EXPECT_EQ(hBar().value(), 0);
        QTest::mouseRelease(&control(), Qt::LeftButton, held, start - control().pos());
    }
    hBar().setValue(7);
    vBar().setValue(9);
    EXPECT_EQ(control().pos(), QPoint(-7, -9));

    // At each bar's maximum the far edges are in view (the old arithmetic left the last columns
    // out of reach once the vertical bar took its strip).
    hBar().setValue(hBar().maximum());
    vBar().setValue(vBar().maximum());
    EXPECT_EQ(control().geometry().bottomRight(), QPoint(visible - 1, visible - 1));
    EXPECT_EQ(colourAt({visible - 1, 10}), kRight);

    ASSERT_TRUE(area_->setZoomIndex(1)); // 25%: centred, the frame over the bars' strips again
    EXPECT_FALSE(hBar().isVisible() || vBar().isVisible());
    EXPECT_EQ(control().geometry(), QRect(100, 112, 100, 75));
    EXPECT_EQ(area_->pictureFrame()->geometry(), QRect(0, 0, 300, 300));
    EXPECT_FALSE(area_->setZoomIndex(12));
    EXPECT_EQ(area_->zoomIndex(), 1);

    // The frame shows around the small picture: a click on either hands the focus back.
    QSignalSpy focus(area_, &PictureArea::focusFileListRequested);
    QTest::mouseClick(area_->pictureFrame(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(&control(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(focus.count(), 2);
    EXPECT_TRUE(area_->hasPicture());
    QSignalSpy rightClicked(area_, &PictureArea::pictureRightClicked);
    QTest::mousePress(&control(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(rightClicked.count(), 1);
    expectCleared();
    // Nothing loaded: a resize or a zoom sets the control but arranges and shows nothing.
    area_->resize(320, 320);
    ASSERT_TRUE(area_->setZoomIndex(9));
    EXPECT_EQ(control().zoomFactor(), 3.0);
    expectCleared();
}

TEST_F(PictureAreaTest, CtrlWheelZoomsALevelKeepingThePixelUnderTheMouse)
{
    show(400, 300, 4); // 100%, larger than the area
    QObject::connect(area_, &PictureArea::zoomStepRequested, area_, [this](int steps, QPoint at) {
        area_->setZoomIndex(area_->steppedZoomIndex(steps), at);
    });
    const QPoint mouse(70, 200);
    auto pixelUnder = [&] {
        const double scale = double(control().width()) / control().pictureWidth();
        return QPointF(mouse - control().pos()) / scale;
    };
    auto wheel = [&](int delta, Qt::KeyboardModifiers held) {
        const QPoint local = mouse - control().pos();
        QWheelEvent e(local, control().mapToGlobal(local), {}, QPoint(0, delta), Qt::NoButton, held,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&control(), &e);
    };
    const QPointF before = pixelUnder();
    for (int level : {5, 6, 5, 4, 3}) { // up, up, down, down, down
        wheel(level > area_->zoomIndex() ? 120 : -120, Qt::ControlModifier);
        EXPECT_EQ(area_->zoomIndex(), level);
        if (hBar().isVisible() && vBar().isVisible()) {
            EXPECT_NEAR(pixelUnder().x(), before.x(), 1.0) << level;
            EXPECT_NEAR(pixelUnder().y(), before.y(), 1.0) << level;
        }
    }
    // A plain wheel leaves the zoom alone; from Best Fit a step goes to the next larger level.
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(area_->zoomIndex(), 3);
    ASSERT_TRUE(area_->setZoomIndex(0)); // fitted at 75 %
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(area_->zoomIndex(), 4);
}

// Best Fit centres the picture, fitted, without bars, and fits it again when the area changes
// size or the view is turned.
TEST_F(PictureAreaTest, BestFitAndATurnedViewArrangeThePictureAndLeaveTheFileAlone)
{
    show(300, 200, 0);
    const QString path = control().pictureFile();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_EQ(control().geometry(), QRect(0, 50, 300, 200));
    EXPECT_FALSE(hBar().isVisible() || vBar().isVisible());
    EXPECT_EQ(area_->pictureFrame()->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(colourAt({150, 20}), area_->palette().color(QPalette::Window).rgb() | 0xFF000000u);
    area_->resize(600, 500);
    EXPECT_EQ(control().geometry(), QRect(0, 50, 600, 400));
    area_->resize(300, 300);

    area_->turnView(1); // clockwise: the picture's left half is now on top
    EXPECT_EQ(control().geometry(), QRect(50, 0, 200, 300));
    EXPECT_EQ(colourAt({150, 20}), kLeft);
    EXPECT_EQ(colourAt({150, 280}), kRight);
    area_->turnView(-2); // a quarter the other way from where it began: the left half below
    EXPECT_EQ(control().geometry(), QRect(50, 0, 200, 300));
    EXPECT_EQ(colourAt({150, 280}), kLeft);
    // The file's own size stays the picture's; the zoom follows the turned size.
    EXPECT_EQ(QSize(control().pictureWidth(), control().pictureHeight()), QSize(300, 200));
    ASSERT_TRUE(area_->setZoomIndex(4));
    EXPECT_EQ(control().size(), QSize(200, 300));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    // Another picture starts unturned.
    show(310, 200, 0);
    EXPECT_EQ(control().quarterTurns(), 0);
}

} // namespace
} // namespace mv::viewing
