// What a screen reader and a keyboard alone get of every window, through Qt's accessibility
// interfaces in this process, offscreen.
#include "EveryDialog.h"
#include "WindowTestBase.h"
#include "viewing/ViewingTestFiles.h"
#include "viewing/ui/ThumbnailGrid.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>
#include <memory>
#include <vector>

using namespace mv;
using namespace Qt::StringLiterals;

namespace {

// Roles a user cannot tell one control from another by, without its name.
bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::Tree:
    case QAccessible::TreeItem:
    case QAccessible::Graphic:
    case QAccessible::ProgressBar:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::Link: return true;
    default: return false;
    }
}

// The showing controls under `iface` that need a name and have none, each as its path.
void collectUnnamed(QAccessibleInterface* iface, const QString& path, QStringList& unnamed)
{
    if (!iface || !iface->isValid() || iface->state().invisible)
        return;
    const QString here = path + u'/' + (iface->object() ? iface->object()->objectName() : QString()) + u':' +
                         QString::number(iface->role(), 16);
    if (needsName(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << here;
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), here, unnamed);
}

// The controls of `window` a user works with, which the keyboard must reach.
QList<QWidget*> keyboardControls(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w);
        // A combo box's own text box and an item view's editors come with their owner.
        if (control && w->isVisible() && w->isEnabled() && !w->focusProxy() &&
            !qobject_cast<QComboBox*>(w->parentWidget()))
            found << w;
    }
    return found;
}

// What Tab reaches, once round, from where the focus is.
QList<QWidget*> tabRound(QWidget* window)
{
    QList<QWidget*> reached;
    for (int i = 0; i < 200; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || reached.contains(focus))
            break;
        reached << focus;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    Q_UNUSED(window);
    return reached;
}

// Checks `window` as it shows: every control named, key boxes password text, every control
// within the keyboard's reach.
void checkWindow(QWidget* window, const QStringList& keyBoxes = {})
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), window->objectName(), unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u' ').toStdString();

    for (const QString& name : keyBoxes) {
        auto* box = window->findChild<QLineEdit*>(name);
        ASSERT_TRUE(box) << name.toStdString();
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(box)->state().passwordEdit) << name.toStdString();
    }

    // Tab reaches one button of a group of options, the arrows the others.
    const QList<QWidget*> reached = tabRound(window);
    const auto optionReached = [&](QWidget* control) {
        const auto* option = qobject_cast<QRadioButton*>(control);
        return option && option->autoExclusive() &&
               std::any_of(reached.begin(), reached.end(), [&](QWidget* w) {
                   return qobject_cast<QRadioButton*>(w) && w->parentWidget() == option->parentWidget();
               });
    };
    for (QWidget* control : keyboardControls(window)) {
        EXPECT_TRUE(reached.contains(control) || optionReached(control))
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
    window->hide();
}

TEST(Accessibility, EveryDialogNamesItsControlsHidesItsKeysAndIsReachedByTheKeyboard)
{
    // The boxes a key is typed into, by dialog.
    const QHash<QString, QStringList> keyBoxes {{u"Encrypt"_s, {u"KeyString"_s}},
                                                {u"Confirm"_s, {u"KeyString"_s}},
                                                {u"AskKey"_s, {u"KeyString"_s}},
                                                {u"AsscKey"_s, {u"KeyOne"_s, u"KeyTwo"_s}}};
    shell::test::EveryDialog dialogs;
    for (const auto& d : dialogs.all) {
        SCOPED_TRACE(d.name);
        const std::unique_ptr<QWidget> window = d.make();
        checkWindow(window.get(), keyBoxes.value(QLatin1String(d.name)));
    }
}

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

// The main window with a thumbnail grid on show: every control named; the grid a list of cells
// named after their files, in the list's order; Tab from the file list reaches the grid, whose
// first cell is then current, focused and selected; the arrows move it, and each move is
// told; Enter shows the cell's file, and the picture area's name, told as it changes, names it
// and its size. "Clear Viewing Area" makes it "No picture".
TEST_F(AccessibleWindow, TheGridIsAListOfNamedCellsTheKeysMoveAndThePictureAreaNamesThePicture)
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

    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(&window), u"Main"_s, unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u' ').toStdString();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&grid);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    const QStringList names {u"a.png"_s, u"b.png"_s, u"c.png"_s};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->child(i)->role(), QAccessible::ListItem);
        EXPECT_EQ(list->child(i)->text(QAccessible::Name), names[i]);
        EXPECT_TRUE(list->child(i)->state().selectable);
        EXPECT_EQ(list->indexOfChild(list->child(i)), i);
    }

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
