// The main window driven as a user would, offscreen, with a settings store of its own. The
// window lends out none of its pieces: the test finds them among its children, as the dialog
// tests find their controls.
#include "shell/ui/MainWindow.h"
#include "WindowTestBase.h"
#include "browser/ThumbnailLayout.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/DirListBox.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/ThumbnailView.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "imaging/ui/ImageControl.h"
#include "secured/QuickListState.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/AppSettings.h"
#include "shell/EventWait.h"
#include "shell/PrivateBus.h"
#include "shell/Registry.h"
#include "shell/SessionLockWatch.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/LockForgetting.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/StartupSequence.h"

#include <QAction>
#include <QComboBox>
#include <QDBusMessage>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include <memory>
#include <unistd.h>

using namespace mv::shell;

namespace {

QString setting(const char* name)
{
    return GetSetting(QStringLiteral("Settings"), QLatin1String(name));
}

using test::part;

mv::browser::BrowserPane& browserOf(const MainWindow& w)
{
    return part<mv::browser::BrowserPane>(w);
}

MainMenus& menusOf(const MainWindow& w)
{
    return part<MainMenus>(w);
}

mv::imaging::ImageControl& controlOf(const MainWindow& w)
{
    return *part<mv::browser::PictureArea>(w).imageControl();
}

bool until(const std::function<bool()>& done, int limitMs = 5000)
{
    return mv::shell::test::runEventsUntil(done, limitMs);
}

// Every menu item with a shortcut key, submenus included.
void keyedItems(const QList<QAction*>& from, QList<QAction*>& into)
{
    for (QAction* a : from) {
        if (a->menu())
            keyedItems(a->menu()->actions(), into);
        else if (!a->shortcut().isEmpty())
            into << a;
    }
}

// Counts the shortcut presses an item gets and keeps them from running its command.
struct ShortcutCatcher : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        ++count;
        return true;
    }
};

// A modal question, answered once it has the keyboard, as AskKey or a message box is.
void answerAQuestion(QWidget* owner)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("?"), QStringLiteral("?"), QMessageBox::Ok, owner);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (box.isActiveWindow())
            box.accept();
    });
    poll.start(5);
    box.exec();
}

class MainWindowTest : public test::WindowTestBase {
protected:
    void SetUp() override
    {
        test::WindowTestBase::SetUp();
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(pics_.filePath(QStringLiteral("wide.png"))));
        ASSERT_TRUE(QDir(pics_.path()).mkpath(QStringLiteral("a/b/c")));
    }
    void stop()
    {
        window_->close();
        window_.reset();
        settings_.reset(); // flushes
    }
};

} // namespace

// What the window writes at exit comes back at the next start: folder, typed filter, zoom and
// a toggle; garbage in the store ("Zoom" not a number, a folder that is gone) leaves defaults.
TEST_F(MainWindowTest, SettingsWrittenAtExitComeBackAndGarbageLeavesDefaults)
{
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Zoom"), QStringLiteral("huge"));
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Last Dir"),
                pics_.filePath(QStringLiteral("gone")));
    MainWindow& w = start();
    EXPECT_TRUE(menusOf(w).MenuZoomLevel[4]->isChecked());
    EXPECT_EQ(browserOf(w).currentFolder(), QDir::currentPath());

    ASSERT_TRUE(browserOf(w).setFolder(pics_.path()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (browserOf(w).fileList()->names()) == (QStringList {QStringLiteral("wide.png")}); },
        5000));
    browserOf(w).fileSpec()->setTyped(QStringLiteral("*.txt;*.png"));
    menusOf(w).MenuZoomLevel[8]->trigger();
    menusOf(w).MenuFancyJPEG->trigger();
    EXPECT_TRUE(controlOf(w).jpegFancyUpsampling());
    EXPECT_EQ(w.thumbnails().ThumbSize(), 80);
    menusOf(w).mnuTNValue[3]->trigger(); // stored by the command: the exit does not store it
    EXPECT_EQ(w.thumbnails().ThumbSize(), 120);
    stop();

    EXPECT_EQ(setting("Last Dir"), pics_.path());
    EXPECT_EQ(setting("Spec"), QStringLiteral("*.txt;*.png"));
    EXPECT_EQ(setting("Zoom"), QStringLiteral("8"));
    EXPECT_EQ(setting("FancyUpsampling"), QStringLiteral("True"));
    EXPECT_EQ(setting("ThumbSize"), QStringLiteral("120"));
    EXPECT_EQ(setting("State"), QStringLiteral("0"));
    EXPECT_TRUE(setting("hWnd").isEmpty()); // removed at unload: it held our own id

    MainWindow& again = start();
    EXPECT_EQ(browserOf(again).currentFolder(), pics_.path());
    EXPECT_EQ(browserOf(again).fileSpec()->currentText(), QStringLiteral("*.txt;*.png"));
    EXPECT_EQ(browserOf(again).fileSpecTag(), QStringLiteral("*.txt;*.png"));
    EXPECT_TRUE(menusOf(again).MenuZoomLevel[8]->isChecked());
    EXPECT_TRUE(menusOf(again).MenuFancyJPEG->isChecked());
    EXPECT_TRUE(menusOf(again).mnuTNValue[3]->isChecked());
    EXPECT_EQ(again.thumbnails().ThumbSize(), 120);
    browserOf(again).fileSpec()->chooseEntry(17);
    stop();
    EXPECT_EQ(setting("Spec"), QStringLiteral("17"));
}

// A stored thumbnail size the menu lacks gave a grid of that size with no item checked. The
// window checks the nearest size the menu offers and builds its grids at that size, however odd
// the stored value; the store keeps what the user's file says until a size is chosen.
TEST_F(MainWindowTest, StoredThumbSizeTheMenuLacksChecksTheNearestAndSizesTheGridByIt)
{
    const struct {
        const char* stored;
        int item;
    } cases[] = {{"90", 2}, {"160", 5}, {"0", 0}, {"-40", 0}, {"100000", 7}, {"4294967376", 7}};
    for (const auto& c : cases) {
        SaveSetting(QStringLiteral("Settings"), QStringLiteral("ThumbSize"), QLatin1String(c.stored));
        MainWindow& w = start();
        QList<int> checked;
        for (int i = 0; i < int(menusOf(w).mnuTNValue.size()); ++i) {
            if (menusOf(w).mnuTNValue[size_t(i)]->isChecked())
                checked << i;
        }
        EXPECT_EQ(checked, QList<int> {c.item}) << c.stored;
        EXPECT_EQ(w.thumbnails().ThumbSize(), mv::browser::kThumbSizes[c.item]) << c.stored;
        stop();
        EXPECT_EQ(setting("ThumbSize"), QLatin1String(c.stored));
    }
}

// Maximized saves only "State"; a second instance never writes the store at all.
TEST_F(MainWindowTest, MaximizedSavesOnlyStateAndSecondInstanceNeverSaves)
{
    MainWindow& w = start();
    w.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(w.isMaximized()); }, 5000));
    stop();
    EXPECT_EQ(setting("State"), QStringLiteral("2"));
    EXPECT_TRUE(setting("Top").isEmpty());
    EXPECT_TRUE(setting("Width").isEmpty());

    const QByteArray before = [&] {
        QFile f(hiveFilePath(HKEY_CURRENT_USER));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    MainWindow& second = start(true);
    ASSERT_TRUE(browserOf(second).setFolder(pics_.path()));
    menusOf(second).MenuZoomLevel[2]->trigger();
    second.resize(900, 700);
    stop();
    QFile f(hiveFilePath(HKEY_CURRENT_USER));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// Clicking a picture shows it at the zoom of the menu; moving up highlights the folder the user
// came from; Auto-Hide moves the file list out of sight but keeps it usable.
TEST_F(MainWindowTest, PictureFolderHighlightAndAutoHide)
{
    MainWindow& w = start();
    ASSERT_TRUE(browserOf(w).setFolder(pics_.filePath(QStringLiteral("a/b/c"))));
    ASSERT_TRUE(browserOf(w).setFolder(pics_.filePath(QStringLiteral("a"))));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return (browserOf(w).dirList()->highlightedPath()) == (pics_.filePath(QStringLiteral("a/b")));
        },
        5000));

    ASSERT_TRUE(browserOf(w).setFolder(pics_.path()));
    menusOf(w).MenuZoomLevel[8]->trigger(); // 200%
    ASSERT_TRUE(QTest::qWaitFor([&] { return (browserOf(w).fileList()->names().size()) == (1); }, 5000));
    EXPECT_FALSE(menusOf(w).MenuDelete->isEnabled()); // while nothing is selected
    browserOf(w).fileList()->selectRow(0);
    EXPECT_TRUE(menusOf(w).MenuDelete->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return (controlOf(w).pictureWidth()) == (40); }, 5000));
    EXPECT_EQ(controlOf(w).size(), QSize(80, 40));

    menusOf(w).MenuAutoHide->trigger();
    EXPECT_TRUE(w.ListsHidden());
    EXPECT_FALSE(browserOf(w).dirList()->isVisible());
    EXPECT_TRUE(browserOf(w).fileList()->isVisible());
    EXPECT_GE(browserOf(w).fileList()->x(), w.centralWidget()->width());
    menusOf(w).MenuAutoHide->trigger();
    EXPECT_FALSE(w.ListsHidden());
    EXPECT_TRUE(browserOf(w).dirList()->isVisible());
    stop();
    EXPECT_EQ(setting("AutoHide"), QStringLiteral("False"));
}

// A name with a line break shows on one row yet opens the real file; names that are not valid
// text can't be listed, and the information bar says how many were left out.
TEST_F(MainWindowTest, LineBreakInANameAndNamesThatAreNotText)
{
    const QString odd = pics_.filePath(QStringLiteral("two\nlines.png"));
    ASSERT_TRUE(QFile::copy(pics_.filePath(QStringLiteral("wide.png")), odd));
    const QByteArray bad = QFile::encodeName(pics_.path()) + "/caf\xe9.png";
    QFile src(pics_.filePath(QStringLiteral("wide.png")));
    ASSERT_TRUE(src.open(QIODevice::ReadOnly));
    const QByteArray bytes = src.readAll();
    FILE* f = std::fopen(bad.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fclose(f);

    MainWindow& w = start();
    ASSERT_TRUE(browserOf(w).setFolder(pics_.path()));
    mv::browser::FileListView* list = browserOf(w).fileList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return (list->names().size()) == (2); }, 5000));
    const int row = list->find(QStringLiteral("two\nlines.png"));
    ASSERT_GE(row, 0);
    EXPECT_FALSE(list->model()->index(row, 0).data().toString().contains(QLatin1Char('\n')));
    EXPECT_TRUE(part<QLineEdit>(w, "FileInfoBar").text().contains(QLatin1String("1 name(s)")));
    list->selectRow(row);
    ASSERT_TRUE(QTest::qWaitFor([&] { return (controlOf(w).pictureFile()) == (odd); }, 5000));
    EXPECT_EQ(controlOf(w).pictureWidth(), 40);
    std::remove(bad.constData()); // a name QTemporaryDir could not spell
}

// The Secured Access List is loaded at start into the combo box and the menu; choosing an
// entry twice from the menu hands it on twice. While a started program is watched the window
// refuses to close and the setup to open, each with its message; a second instance may not
// use the list at all.
TEST_F(MainWindowTest, SecuredAccessListLoadsAtStartAndARunningProgramKeepsTheWindowOpen)
{
    SaveSetting(QStringLiteral("QuickList"), QStringLiteral("Title1"), QStringLiteral("Editor"));
    SaveSetting(QStringLiteral("QuickList"), QStringLiteral("Title2"), QStringLiteral("Viewer"));
    MainWindow& w = start();
    auto& combo = part<QComboBox>(w, "QuickList");
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), QStringLiteral("Viewer"));
    EXPECT_EQ(combo.currentIndex(), -1);
    MainMenus& m = menusOf(w);
    ASSERT_EQ(m.MenuQuickItems.size(), 3u);
    EXPECT_TRUE(m.MenuQuickItems[0]->isVisible());
    EXPECT_EQ(m.MenuQuickItems[1]->text(), QStringLiteral("Editor"));
    EXPECT_TRUE(m.MenuSetupQuick->isEnabled());

    mv::secured::QuickListState& state = w.quickListState();
    QSignalSpy chosen(&state, &mv::secured::QuickListState::entryChosen);
    // The entry names no program: each choice reaches the launch, which cannot start it.
    QStringList launches;
    ASSERT_NE(w.quickListLauncher(), nullptr);
    w.quickListLauncher()->tell = [&](const QString& text) { launches << text; };
    m.MenuQuickItems[2]->trigger();
    m.MenuQuickItems[2]->trigger();
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen[1][0].toInt(), 2);
    EXPECT_EQ(combo.currentIndex(), -1);
    ASSERT_TRUE(until([&] { return launches.size() == 2; }));
    EXPECT_TRUE(launches[0].startsWith(QStringLiteral("Unable to run application")))
        << launches[0].toStdString();
    EXPECT_EQ(state.PendingCount(), 0);

    QStringList told;
    mv::crypto::test::ModalWatch watch([&](QWidget* box) {
        if (auto* b = qobject_cast<QMessageBox*>(box)) {
            told << b->text();
            b->accept();
        }
    });
    const quint64 running = state.addPending(1, {});
    w.close();
    m.MenuSetupQuick->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return (told.size()) == (2); }, 5000));
    EXPECT_EQ(told[0], QStringLiteral("Can not exit now, process still running.."));
    EXPECT_EQ(told[1], QStringLiteral(
                           "You must first close any pending applications\nbefore seting up the QuickList"));
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(state.takePending(running));
    stop();

    MainWindow& second = start(true);
    menusOf(second).MenuQuickItems[1]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return (told.size()) == (3); }, 5000));
    EXPECT_EQ(told[2], QStringLiteral("Only the first instance of Mirravelnock! can use QuickList"));
    stop();
}

// F8, F1 and Del did nothing in the file list once a dialog had closed where no window manager
// hands the keyboard back, and the typed type filter kept Del and Shift+Del for itself. Every
// menu key reaches its item with the focus in each pane, and does its work there.
TEST_F(MainWindowTest, MenuKeysAnswerInEveryPaneAfterADialogClosed)
{
    MainWindow& w = start();
    mv::browser::BrowserPane& b = browserOf(w);
    ASSERT_TRUE(b.setFolder(pics_.path()));
    ASSERT_TRUE(until([&] { return b.fileList()->names().size() == 1; }));
    QList<QAction*> items;
    keyedItems(w.menuBar()->actions(), items);
    ASSERT_GE(items.size(), 12);
    QWidget* const panes[] = {b.fileList(), b.dirList(), b.fileSpec(), &part<mv::browser::PictureArea>(w)};
    for (QWidget* pane : panes) {
        answerAQuestion(&w);
        pane->setFocus();
        ASSERT_TRUE(until([&] { return QApplication::focusWidget() == pane; }))
            << pane->metaObject()->className();
        for (QAction* item : items) {
            const bool enabled = item->isEnabled();
            item->setEnabled(true); // the greyed ones too: their key must be free when they come
            ShortcutCatcher caught;
            item->installEventFilter(&caught);
            const QKeyCombination key = item->shortcut()[0];
            QTest::keyClick(pane, key.key(), key.keyboardModifiers());
            item->removeEventFilter(&caught);
            item->setEnabled(enabled);
            EXPECT_EQ(caught.count, 1)
                << pane->metaObject()->className() << " " << item->shortcut().toString().toStdString();
        }
    }

    // What they do, from the file list, each after a question: F8 forgets the keys and clears
    // the picture, Del clears it, F1 opens the manual (and Esc there gives the keyboard back).
    auto& keys = part<mv::crypto::KeyState>(w);
    const auto show = [&] {
        b.fileList()->selectRow(-1);
        b.fileList()->selectRow(0);
        ASSERT_TRUE(until([&] { return part<mv::browser::PictureArea>(w).hasPicture(); }));
        answerAQuestion(&w);
        b.fileList()->setFocus();
        ASSERT_TRUE(until([&] { return QApplication::focusWidget() == b.fileList(); }));
    };
    ASSERT_TRUE(keys.append(mv::crypto::SecretText::fromText(QStringLiteral("a key"))));
    show();
    QTest::keyClick(b.fileList(), Qt::Key_F8);
    EXPECT_FALSE(keys.hasKeys());
    EXPECT_FALSE(part<mv::browser::PictureArea>(w).hasPicture());
    show();
    QTest::keyClick(b.fileList(), Qt::Key_F1);
    ASSERT_TRUE(until([&] { return qobject_cast<HelpWindow*>(QApplication::activeWindow()); }));
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
    ASSERT_TRUE(until([&] { return QApplication::focusWidget() == b.fileList(); }));
    QTest::keyClick(b.fileList(), Qt::Key_Delete);
    EXPECT_FALSE(part<mv::browser::PictureArea>(w).hasPicture());
    stop();
}

// A store made read-only while the program runs used to lose every change without a word: the
// information line says once that settings cannot be saved, and why.
TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreReportedOnceInTheInformationLine)
{
    const QString store = config_.filePath(QStringLiteral("mirravelnock"));
    MainWindow& w = start();
    auto& infoBar = part<QLineEdit>(w, "FileInfoBar");
    ASSERT_TRUE(settings_->flush().ok);
    // Root writes into a read-only folder all the same; for root the folder gives way to a file.
    ASSERT_TRUE(::geteuid() != 0
                    ? QFile::setPermissions(store, QFile::ReadOwner | QFile::ExeOwner)
                    : QDir(store).removeRecursively() && QFile(store).open(QIODevice::WriteOnly));
    menusOf(w).MenuZoomLevel[2]->trigger();
    EXPECT_FALSE(settings_->flush().ok);
    const QString said = QStringLiteral("Settings cannot be saved in %1: ").arg(store);
    EXPECT_TRUE(until([&] { return infoBar.text().startsWith(said); })) << infoBar.text().toStdString();
    EXPECT_GT(infoBar.text().size(), said.size() + 5) << "the reason follows";
    infoBar.setText(QStringLiteral("shown"));
    menusOf(w).MenuZoomLevel[3]->trigger();
    EXPECT_FALSE(settings_->flush().ok);
    QCoreApplication::processEvents();
    EXPECT_EQ(infoBar.text(), QStringLiteral("shown")) << "said once";
    QFile::remove(store);
    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    stop();
}

// The session locking forgets what F8 forgets: the keys, the decrypted pictures prepared ahead
// and the encrypted picture on show. Unchecked, the item forgets nothing, and it is stored.
TEST_F(MainWindowTest, SessionLockForgetsKeysAndPreparedPicturesUnlessTurnedOff)
{
    if (!mv::shell::test::PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    const QDir locked(pics_.filePath(QStringLiteral("a")));
    for (const char* name : {"one.png", "two.png"}) {
        const QString path = locked.filePath(QLatin1String(name));
        ASSERT_TRUE(QFile::copy(pics_.filePath(QStringLiteral("wide.png")), path));
        ASSERT_EQ(mv::crypto::encryptOne(path, "key 1").kind, mv::crypto::CryptOutcome::Done);
    }
    mv::shell::test::PrivateBus bus;
    ASSERT_TRUE(bus.up());
    QDBusConnection sender = bus.connect(QStringLiteral("sender"));
    const SessionLockWatch watch(bus.connect(QStringLiteral("listener")),
                                 bus.connect(QStringLiteral("listener")));
    const auto lock = [&] {
        return sender.send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1/session/_1"),
                                                      QStringLiteral("org.freedesktop.login1.Session"),
                                                      QStringLiteral("Lock")));
    };

    MainWindow& w = start();
    part<LockForgetting>(w).listen(&watch);
    mv::shell::test::PrivateBus::settle(bus.connect(QStringLiteral("listener")));
    QAction* item = menusOf(w).mnuForgetOnLock;
    EXPECT_EQ(item->text(), QStringLiteral("&Forget keys when the session locks or sleeps"));
    EXPECT_TRUE(item->isChecked());
    auto& keys = part<mv::crypto::KeyState>(w);
    auto& viewer = part<mv::browser::SelectionViewer>(w);
    auto& area = part<mv::browser::PictureArea>(w);
    int asked = 0;
    viewer.askKey = [&](const QString&) {
        ++asked;
        return false;
    };
    mv::browser::BrowserPane& b = browserOf(w);
    b.fileSpec()->chooseEntry(0);
    ASSERT_TRUE(b.setFolder(locked.path()));
    ASSERT_TRUE(until([&] { return b.fileList()->names().size() == 2; }));
    ASSERT_TRUE(keys.append(mv::crypto::SecretText::fromText(QStringLiteral("key 1"))));
    b.fileList()->selectRow(b.fileList()->find(QStringLiteral("one_png.mv$")));
    ASSERT_TRUE(until([&] { return area.hasPicture(); }));
    until([] { return false; }, 500); // time to prepare two_png.mv$ ahead

    ASSERT_TRUE(lock());
    ASSERT_TRUE(until([&] { return !keys.hasKeys(); }));
    EXPECT_FALSE(area.hasPicture());
    b.fileList()->selectRow(b.fileList()->find(QStringLiteral("two_png.mv$")));
    EXPECT_TRUE(until([&] { return asked == 1; })) << "the prepared picture was forgotten too";
    EXPECT_FALSE(area.hasPicture());

    item->trigger();
    EXPECT_FALSE(item->isChecked());
    ASSERT_TRUE(keys.append(mv::crypto::SecretText::fromText(QStringLiteral("key 1"))));
    ASSERT_TRUE(lock());
    until([] { return false; }, 300);
    EXPECT_TRUE(keys.hasKeys());
    stop();
    EXPECT_EQ(setting("ForgetKeysOnLock"), QStringLiteral("False"));
    EXPECT_FALSE(menusOf(start()).mnuForgetOnLock->isChecked());
}
