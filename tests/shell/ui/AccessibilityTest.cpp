// What a screen reader gets of the main window, through Qt's accessibility interfaces in this
// process, offscreen; the dialogs' are checked in the German window test, at two scales.
#include "WindowTestBase.h"
#include "viewing/ViewingTestFiles.h"
#include "viewing/ui/ThumbnailGrid.h"

#include <QAccessible>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace mv;
using namespace Qt::StringLiterals;

namespace {

// The events Qt would hand a screen reader, as (kind, name of what they are about).
std::vector<std::pair<QAccessible::Event, QString>>* seen = nullptr;
void record(QAccessibleEvent* event)
{
    if (seen && event->accessibleInterface())
        seen->emplace_back(event->type(), event->accessibleInterface()->text(QAccessible::Name));
}

// A screen reader switches Qt's accessibility on through the platform, which offscreen has
// none to ask for: the test switches it on itself, and takes the events in the reader's place.
void listenAsAScreenReader(bool on)
{
    QAccessible::installUpdateHandler(on ? record : nullptr);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
}

class AccessibleWindow : public shell::test::WindowTestBase {};

// The main window with a thumbnail grid on show (its controls named and the grid a list of cells
// named after their files are the AT-SPI test's, over the real program): Tab from the file list
// reaches the grid, whose first cell is then current, focused and selected; the arrows move it,
// and each move is told; Enter shows the cell's file, and the picture area's name, told as it
// changes, names it and its size. "Clear Viewing Area" makes it "No picture".
TEST_F(AccessibleWindow, TheKeysMoveThroughTheGridsCellsAndThePictureAreaNamesThePicture)
{
    for (const char* name : {"a.png", "b.png", "c.png"})
        ASSERT_TRUE(mvtest::flat(40, 20, Qt::red).save(pics_.filePath(QLatin1String(name))));
    shell::MainWindow& window = start();
    ASSERT_TRUE(listAll());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    menus().mnuThumb->trigger();
    auto& grid = shell::test::part<viewing::ThumbnailGrid>(window);
    ASSERT_TRUE(until([&] { return grid.count() == 3; }));

    std::vector<std::pair<QAccessible::Event, QString>> events;
    seen = &events;
    listenAsAScreenReader(true);

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_EQ(list->childCount(), 3);

    files().setFocus();
    QTest::keyClick(&files(), Qt::Key_Tab);
    ASSERT_TRUE(grid.hasFocus());
    EXPECT_EQ(list->focusChild(), list->child(0));
    EXPECT_TRUE(list->child(0)->state().focused && list->child(0)->state().selected);
    events.clear();
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_End);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.currentCell(), 1);
    EXPECT_TRUE(list->child(1)->state().focused && !list->child(2)->state().selected);
    EXPECT_EQ(list->indexOfChild(list->focusChild()), 1);
    QStringList focused;
    for (const auto& [type, name] : events) {
        if (type == QAccessible::Focus)
            focused << name;
    }
    EXPECT_EQ(focused, (QStringList {u"b.png"_s, u"c.png"_s, u"b.png"_s}));

    events.clear();
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_TRUE(until([&] { return area().hasPicture(); }));
    EXPECT_TRUE(files().hasFocus());
    QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(&area());
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_EQ(picture->text(QAccessible::Name), u"b.png, 40 by 20 pixels"_s);
    EXPECT_NE(std::find(events.begin(), events.end(),
                        std::pair {QAccessible::NameChanged, picture->text(QAccessible::Name)}),
              events.end());
    menus().MenuClear->trigger();
    EXPECT_EQ(picture->text(QAccessible::Name), u"No picture"_s);

    listenAsAScreenReader(false);
    seen = nullptr;
}

} // namespace
