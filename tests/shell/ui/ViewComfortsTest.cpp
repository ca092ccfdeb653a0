// Full screen and the slideshow driven through the main window as a user would, offscreen,
// with a settings store of its own.
#include "shell/ui/ViewComforts.h"
#include "WindowTestBase.h"
#include "shell/SettingsCatalogue.h"
#include "shell/ui/FullScreenMode.h"
#include "shell/ui/Slideshow.h"
#include "viewing/ViewingTestFiles.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mv::shell;

namespace {

using test::part;

class ViewComfortsTest : public test::WindowTestBase {
protected:
    void SetUp() override
    {
        test::WindowTestBase::SetUp();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(mvtest::flat(40 + i, 20, Qt::red).save(pics_.filePath(u"p%1.png"_s.arg(i))));
        start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        ASSERT_TRUE(browser().setFolder(pics_.path()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return files().names().size() == 3; }));
        files().selectRow(0);
        ASSERT_TRUE(shows(40));
    }
    ViewComforts& comforts() { return part<ViewComforts>(*window_); }
    bool shows(int width)
    {
        return QTest::qWaitFor([&] { return control().pictureWidth() == width; });
    }
};

} // namespace

TEST_F(ViewComfortsTest, FullScreenShowsThePictureAloneTravelsTheListAndReturnsAsItWas)
{
    MainWindow& w = *window_;
    w.setGeometry(QRect(30, 40, 700, 500));
    const QRect before = w.geometry();
    const QRect areaBefore = area().geometry();

    comforts().fullScreen->trigger();
    auto& mode = part<FullScreenMode>(w);
    ASSERT_TRUE(mode.active());
    EXPECT_TRUE(comforts().fullScreen->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isFullScreen(); }, 2000));
    EXPECT_FALSE(files().isVisible());
    EXPECT_FALSE(w.menuBar()->isVisible());
    EXPECT_EQ(area().geometry(), w.centralWidget()->rect());

    // Right, Down and End go through the list; the zoom keys still answer.
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_TRUE(shows(41));
    QTest::keyClick(&w, Qt::Key_End);
    EXPECT_TRUE(shows(42));
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_TRUE(shows(41));
    QTest::keyClick(&w, Qt::Key_Equal, Qt::ControlModifier); // Zoom In
    EXPECT_TRUE(menus().MenuZoomLevel[5]->isChecked());
    EXPECT_EQ(settings_->text(Setting::Zoom), u"5"_s);
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier); // Actual Size
    EXPECT_TRUE(menus().MenuZoomLevel[4]->isChecked());
    // The pointer hides when the mouse rests, and comes back when it moves.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mode.pointerHidden(); }, FullScreenMode::kPointerIdleMs + 1000));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), area().mapToGlobal(QPointF(10, 10)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(area().pictureFrame(), &move);
    EXPECT_FALSE(mode.pointerHidden());

    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(mode.active());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isFullScreen() && w.geometry() == before; }, 2000))
        << qPrintable(u"%1,%2 %3x%4"_s.arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height()));
    EXPECT_TRUE(files().isVisible());
    EXPECT_TRUE(w.menuBar()->isVisible());
    EXPECT_EQ(area().geometry(), areaBefore);
    EXPECT_EQ(files().currentRow(), 1);
    EXPECT_FALSE(comforts().fullScreen->isChecked());
}

TEST_F(ViewComfortsTest, SlideshowStepsFullScreenAndAKeyEndsItOnThePictureOnShow)
{
    MainWindow& w = *window_;
    comforts().slideshowInterval[0]->trigger(); // 2 seconds, stored
    EXPECT_EQ(settings_->text(Setting::SlideshowInterval), u"2"_s);

    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    auto& show = part<Slideshow>(w);
    ASSERT_TRUE(show.running());
    EXPECT_TRUE(part<FullScreenMode>(w).active());
    ASSERT_TRUE(shows(41)); // two seconds on
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_FALSE(show.running());
    EXPECT_FALSE(part<FullScreenMode>(w).active());
    EXPECT_EQ(files().currentRow(), 1); // the key only ended the show
    EXPECT_EQ(control().pictureWidth(), 41);
}
