// The tray icon on a real X server (ctest runs this under xvfb-run), with each kind of tray a
// desktop may have: an X tray (trayer), a StatusNotifier host on the session bus (a watcher of
// the test's own on a private bus), and none at all. Qt settles on one kind of tray per process,
// so ctest runs each suite in a process of its own.
#include "shell/ui/SysTray.h"
#include "crypto/ui/DialogDriver.h"
#include "secured/QuickListState.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/AppSettings.h"
#include "shell/EventWait.h"
#include "shell/Registry.h"
#include "shell/ui/FakeStatusNotifierWatcher.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"
#include "shell/ui/XEmbedTrayWatch.h"

#include <QAction>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

using namespace mv::shell;
using mv::shell::test::FakeStatusNotifierWatcher;

namespace {

bool until(const std::function<bool()>& done, int limitMs = 10000)
{
    return test::runEventsUntil(done, limitMs);
}

void settle(int ms)
{
    (void)until([] { return false; }, ms);
}

MainMenus& menusOf(const MainWindow& w)
{
    return *w.findChild<MainMenus*>();
}

// Qt's own window for an icon in an X tray.
QWidget* xembedIcon()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QSystemTrayIconSys") && w->isVisible())
            return w;
    return nullptr;
}

// Whether the tray took the window in: its parent is then the tray's, no longer the root.
bool embedded(QWidget* w)
{
    auto* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(c, xcb_query_tree(c, xcb_window_t(w->winId())), nullptr);
    const bool inTray = tree && tree->parent != tree->root;
    std::free(tree);
    return inTray;
}

QStringList shownTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator())
            texts << a->text();
    return texts;
}

// The process-wide choice of tray belongs to the first suite that runs in it.
const char* g_suite = nullptr;

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server: ctest runs these tests under xvfb-run -a";
        const char* suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
        if (g_suite && qstrcmp(g_suite, suite) != 0)
            GTEST_SKIP()
                << "Qt chose its tray for this process already: run one suite per process (ctest does)";
        g_suite = suite;
        if (XEmbedTrayWatch().present())
            GTEST_SKIP() << "this display has a tray of its own: run under xvfb-run -a (ctest does)";
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        SaveSetting(QStringLiteral("QuickList"), QStringLiteral("Title1"), QStringLiteral("Editor"));
    }
    void TearDown() override
    {
        window_.reset();
        settings_.reset();
        if (trayer_.state() != QProcess::NotRunning)
            stopTrayer();
    }

    // Starts the first copy as the program does; "/M" when `minimized`.
    MainWindow& start(bool minimized)
    {
        settings_ = std::make_unique<AppSettings>();
        window_ = std::make_unique<MainWindow>(*settings_, false);
        QSignalSpy loaded(&window_->startup(), &StartupSequence::loaded);
        window_->startup().Form_Load({}, minimized);
        EXPECT_TRUE(loaded.count() || loaded.wait(10000));
        return *window_;
    }
    bool startTrayer()
    {
        trayer_.start(QStringLiteral("trayer"),
                      {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--widthtype"),
                       QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24")});
        return trayer_.waitForStarted();
    }
    void stopTrayer()
    {
        trayer_.kill();
        trayer_.waitForFinished();
    }

    QTemporaryDir config_;
    QProcess trayer_;
    std::unique_ptr<AppSettings> settings_;
    std::unique_ptr<MainWindow> window_;
};

class TrayXEmbed : public TrayTest {
protected:
    void SetUp() override
    {
        TrayTest::SetUp();
        if (!IsSkipped() && QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
            GTEST_SKIP() << "trayer is not installed (Debian: trayer)";
    }
};

class TrayOnTheBus : public TrayTest {
protected:
    void SetUp() override
    {
        TrayTest::SetUp();
        if (!IsSkipped() && !QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no private session bus (Debian: dbus-daemon)";
    }

    // Asks `item` on the bus and waits for the answer; the item answers from this thread.
    static QDBusMessage ask(const QString& item, const QString& path, const QString& interface,
                            const QString& method, const QVariantList& arguments)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(item, path, interface, method);
        m.setArguments(arguments);
        QDBusPendingCall call =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("tray-test"))
                .asyncCall(m);
        EXPECT_TRUE(until([&] { return call.isFinished(); }));
        return call.reply();
    }
    static QDBusArgument property(const QString& item, const char* name)
    {
        const QDBusMessage reply = ask(
            item, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), QLatin1String(name)});
        return reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
    }
    // The sizes of the pictures of an a(iiay) image list.
    static QList<QSize> images(const QDBusArgument& a)
    {
        QList<QSize> sizes;
        a.beginArray();
        while (!a.atEnd()) {
            int width = 0;
            int height = 0;
            QByteArray pixels;
            a.beginStructure();
            a >> width >> height >> pixels;
            a.endStructure();
            sizes << QSize(width, height);
        }
        a.endArray();
        return sizes;
    }
    // The title of the (s a(iiay) s s) tool tip: the text the panel shows.
    static QString toolTip(const QString& item)
    {
        const QDBusArgument a = property(item, "ToolTip");
        QString icon;
        QString title;
        QString text;
        a.beginStructure();
        a >> icon;
        (void)images(a);
        a >> title >> text;
        a.endStructure();
        return title;
    }
    // The shown items of the menu the panel draws, label to id.
    static QMap<QString, int> menu(const QString& item)
    {
        const QDBusMessage reply =
            ask(item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                QStringLiteral("GetLayout"), {0, -1, QStringList()});
        QMap<QString, int> items;
        readLayout(reply.arguments().value(1).value<QDBusArgument>(), items);
        return items;
    }
    static void readLayout(const QDBusArgument& a, QMap<QString, int>& items)
    {
        int id = 0;
        QVariantMap properties;
        a.beginStructure();
        a >> id >> properties;
        if (properties.value(QStringLiteral("visible"), true).toBool() &&
            properties.contains(QStringLiteral("label")))
            items.insert(properties.value(QStringLiteral("label")).toString(), id);
        a.beginArray();
        while (!a.atEnd()) {
            QDBusVariant child;
            a >> child;
            readLayout(child.variant().value<QDBusArgument>(), items);
        }
        a.endArray();
        a.endStructure();
    }
    static void click(const QString& item, int id)
    {
        (void)ask(item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                  QStringLiteral("Event"),
                  {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    }
};

using TrayLate = TrayOnTheBus;

} // namespace

// An icon in an X tray: trayer takes it in, a left click brings the window back from the tray
// in its last state, and the right button's menu has the tray's items and the Secured Access
// List, whose entry starts as it does from the Secured Access menu.
TEST_F(TrayXEmbed, TrayerTakesTheIconAndItsClicksRestoreAndStart)
{
    ASSERT_TRUE(startTrayer());
    MainWindow& w = start(false);
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && xembedIcon(); }));
    QWidget* icon = xembedIcon();
    ASSERT_TRUE(until([&] { return embedded(icon); }));

    w.showMaximized();
    w.showMinimized();
    ASSERT_TRUE(until([&] { return w.isHidden(); }));
    QTest::mouseClick(icon, Qt::LeftButton);
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMaximized());

    QMenu* menu = menusOf(w).MenuPopMenu;
    QTest::mouseClick(icon, Qt::RightButton);
    ASSERT_TRUE(until([&] { return menu->isVisible(); }));
    EXPECT_EQ(shownTexts(menu), (QStringList {QStringLiteral("Unload Mirravelnock!"),
                                              QStringLiteral("Cancel Menu"), QStringLiteral("Editor")}));
    QSignalSpy chosen(&w.quickListState(), &mv::secured::QuickListState::entryChosen);
    QStringList told;
    w.quickListLauncher()->tell = [&](const QString& text) { told << text; };
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menusOf(w).MenuPopItems[1]).center());
    ASSERT_TRUE(until([&] { return told.size() == 1; }));
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 1);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("Unable to run application"))) << told[0].toStdString();
}

// Started with /M the window lives in the tray. When the panel ends the window comes back to the
// task bar, minimized, instead of staying hidden with nothing to bring it back; a panel that
// starts again takes the icon, and the window, back.
TEST_F(TrayXEmbed, WindowInATrayThatEndsComesBackToTheTaskBar)
{
    ASSERT_TRUE(startTrayer());
    MainWindow& w = start(true);
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && w.isHidden(); }));
    stopTrayer();
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMinimized());
    EXPECT_FALSE(w.sysTray().isAdded());
    ASSERT_TRUE(startTrayer());
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && w.isHidden(); }));
}

// A StatusNotifier item: /M starts in the tray, the panel shows the tip (cut to 63 characters)
// and the program's icon, its Activate brings the window back, and its menu (drawn by the
// panel) has the tray's items and the list's entry. "Unload Mirravelnock!" is refused while a
// started program runs, and unloads the window hidden in the tray otherwise.
TEST_F(TrayOnTheBus, PanelShowsTheItemWithTipMenuAndUnload)
{
    FakeStatusNotifierWatcher panel;
    ASSERT_TRUE(panel.start());
    MainWindow& w = start(true);
    ASSERT_TRUE(until([&] { return panel.items().size() == 1 && w.isHidden(); }));
    const QString item = panel.items()[0];
    EXPECT_EQ(toolTip(item), QStringLiteral("Mirravelnock!"));
    EXPECT_FALSE(images(property(item, "IconPixmap")).isEmpty());
    const QString longTip = QStringLiteral("Mirravelnock! keeps your pictures and files encrypted, ") +
                            QStringLiteral("0123456789abcdef");
    w.sysTray().setTrayTip(longTip);
    EXPECT_EQ(w.sysTray().TrayTip(), longTip);
    EXPECT_EQ(toolTip(item), longTip.left(63));

    (void)ask(item, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
              QStringLiteral("Activate"), {0, 0});
    ASSERT_TRUE(until([&] { return w.isVisible() && !w.isMinimized(); }));

    const QMap<QString, int> items = menu(item);
    EXPECT_EQ(items.keys(), (QStringList {QStringLiteral("Cancel Menu"), QStringLiteral("Editor"),
                                          QStringLiteral("Unload Mirravelnock!")}));
    QStringList told;
    mv::crypto::test::ModalWatch watch([&](QWidget* box) {
        if (auto* b = qobject_cast<QMessageBox*>(box)) {
            told << b->text();
            b->accept();
        }
    });
    mv::secured::QuickListState& state = w.quickListState();
    const quint64 running = state.addPending(1, {});
    click(item, items.value(QStringLiteral("Unload Mirravelnock!")));
    ASSERT_TRUE(until([&] { return told.size() == 1; }));
    EXPECT_EQ(told[0], QStringLiteral("Can not exit now, process still running.."));
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(state.takePending(running));

    QSignalSpy unloading(&w, &MainWindow::unloading);
    w.showMinimized();
    ASSERT_TRUE(until([&] { return w.isHidden(); }));
    click(item, items.value(QStringLiteral("Unload Mirravelnock!")));
    ASSERT_TRUE(until([&] { return unloading.size() == 1; }));
    EXPECT_FALSE(w.sysTray().InTray());
}

// No tray at all: minimizing, by /M or later, keeps the window on the task bar. A panel that
// starts afterwards gets the icon and the minimized window goes into it; when the panel ends the
// window comes back.
TEST_F(TrayLate, WithoutATrayTheWindowStaysReachableAndALatePanelGetsTheIcon)
{
    MainWindow& w = start(true);
    settle(500);
    EXPECT_FALSE(w.sysTray().isAdded());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isMinimized());
    w.showNormal();
    w.showMinimized();
    settle(200);
    EXPECT_TRUE(w.isVisible());

    FakeStatusNotifierWatcher panel;
    ASSERT_TRUE(panel.start());
    ASSERT_TRUE(until([&] { return w.sysTray().isAdded() && w.isHidden(); }));
    EXPECT_EQ(panel.items().size(), 1);
    panel.stop();
    ASSERT_TRUE(until([&] { return w.isVisible(); }));
    EXPECT_TRUE(w.isMinimized());
}
