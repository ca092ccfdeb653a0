// The main window driven as a user would, offscreen, with a settings store of its own; full
// screen and the slideshow through it; and what a screen reader gets of it, through Qt's
// accessibility interfaces in this process (the dialogs' are the German window test's).
#include "shell/ui/MainWindow.h"
#include "WindowTestBase.h"
#include "browser/ui/DirListBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "desktop/ThumbnailTraces.h"
#include "fileutil/NameText.h"
#include "fileutil/TestFiles.h"
#include "secured/QuickListState.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/PrivateBus.h"
#include "shell/Registry.h"
#include "shell/SessionLockWatch.h"
#include "shell/SettingsCatalogue.h"
#include "shell/ui/FullScreenMode.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/LockForgetting.h"
#include "shell/ui/Slideshow.h"
#include "shell/ui/ViewComforts.h"
#include "viewing/ViewingTestFiles.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailGrid.h"
#include "viewing/ui/ThumbnailView.h"
#include "widgets/JobRunner.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDBusMessage>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <cstdio>

#include <unistd.h>

using namespace mv::shell;
using namespace Qt::StringLiterals;

namespace {

using test::part;

QString setting(const char* name)
{
    return GetSetting(u"Settings"_s, QLatin1String(name));
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
    QMessageBox box(QMessageBox::Question, u"?"_s, u"?"_s, QMessageBox::Ok, owner);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (box.isActiveWindow())
            box.accept();
    });
    poll.start(5);
    box.exec();
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

class MainWindowTest : public test::WindowTestBase {
protected:
    void SetUp() override
    {
        test::WindowTestBase::SetUp();
        ASSERT_TRUE(mvtest::flat(40, 20, Qt::red).save(pics_.filePath(u"wide.png"_s)));
        ASSERT_TRUE(QDir(pics_.path()).mkpath(u"a/b/c"_s));
    }
    // Lists the pictures' folder and waits for its `count` files.
    void listPictures(int count = 1, const QString& folder = {})
    {
        ASSERT_TRUE(browser().setFolder(folder.isEmpty() ? pics_.path() : folder));
        ASSERT_TRUE(until([&] { return files().names().size() == count; }));
    }
    // Lists folder "a" with two copies of the picture in it, encrypted with "key 1".
    void listEncryptedPair()
    {
        for (const char* name : {"a/one.png", "a/two.png"}) {
            const QString path = pics_.filePath(QLatin1String(name));
            ASSERT_TRUE(QFile::copy(pics_.filePath(u"wide.png"_s), path));
            ASSERT_EQ(mv::crypto::encryptOne(path, "key 1").kind, mv::crypto::CryptOutcome::Done);
        }
        browser().fileSpec()->chooseEntry(0);
        listPictures(2, pics_.filePath(u"a"_s));
    }
    bool typeKey() const
    {
        return part<mv::crypto::KeyState>(*window_).append(mv::crypto::SecretText::fromText(u"key 1"_s));
    }
};

} // namespace

// What the window writes at exit comes back at the next start: folder, typed filter, zoom and
// a toggle; garbage in the store ("Zoom" not a number, a folder that is gone) leaves defaults.
// Maximized, the window stores its state alone; a second instance never writes the store.
// A stored thumbnail size the menu lacks gave a grid of that size with no item checked: the
// nearest size offered (2^32 + 80 is not 80, as cut to 32 bits) is checked and sizes the grid.
TEST_F(MainWindowTest, SettingsWrittenAtExitComeBackAndGarbageLeavesDefaults)
{
    SaveSetting(u"Settings"_s, u"Zoom"_s, u"huge"_s);
    SaveSetting(u"Settings"_s, u"Last Dir"_s, pics_.filePath(u"gone"_s));
    SaveSetting(u"Settings"_s, u"ThumbSize"_s, u"4294967376"_s);
    SaveSetting(u"Settings"_s, u"Top"_s, u"150000"_s); // a screen that is gone
    MainWindow& w = start();
    EXPECT_TRUE(w.screen()->availableGeometry().contains(w.geometry()));
    EXPECT_TRUE(menus().MenuZoomLevel[4]->isChecked());
    EXPECT_EQ(browser().currentFolder(), QDir::currentPath());
    const auto& sizes = menus().mnuTNValue;
    EXPECT_EQ(std::count_if(sizes.begin(), sizes.end(), [](QAction* a) { return a->isChecked(); }), 1);
    EXPECT_TRUE(sizes[7]->isChecked());
    EXPECT_EQ(w.thumbnails().ThumbSize(), 200);

    listPictures();
    browser().fileSpec()->setTyped(u"*.txt;*.png"_s);
    menus().MenuZoomLevel[8]->trigger();
    menus().MenuFancyJPEG->trigger();
    EXPECT_TRUE(control().jpegFancyUpsampling());
    menus().mnuTNValue[3]->trigger(); // stored by the command: the exit does not store it
    EXPECT_EQ(w.thumbnails().ThumbSize(), 120);
    stop();

    EXPECT_EQ(setting("Last Dir"), pics_.path());
    EXPECT_EQ(setting("Spec"), u"*.txt;*.png"_s);
    EXPECT_EQ(setting("Zoom"), u"8"_s);
    EXPECT_EQ(setting("FancyUpsampling"), u"True"_s);
    EXPECT_EQ(setting("ThumbSize"), u"120"_s);
    EXPECT_EQ(setting("State"), u"0"_s);
    EXPECT_TRUE(setting("hWnd").isEmpty()); // removed at unload: it held our own id
    const QString width = setting("Width");

    MainWindow& again = start();
    EXPECT_EQ(browser().currentFolder(), pics_.path());
    EXPECT_EQ(browser().fileSpec()->currentText(), u"*.txt;*.png"_s);
    EXPECT_EQ(browser().fileSpecTag(), u"*.txt;*.png"_s);
    EXPECT_TRUE(menus().MenuZoomLevel[8]->isChecked());
    EXPECT_TRUE(menus().MenuFancyJPEG->isChecked());
    EXPECT_TRUE(menus().mnuTNValue[3]->isChecked());
    EXPECT_EQ(again.thumbnails().ThumbSize(), 120);
    browser().fileSpec()->chooseEntry(17);
    again.showMaximized();
    ASSERT_TRUE(until([&] { return again.isMaximized(); }));
    stop();
    EXPECT_EQ(setting("Spec"), u"17"_s);
    EXPECT_EQ(setting("State"), u"2"_s);
    EXPECT_EQ(setting("Width"), width);

    const QByteArray before = mvtest::readAll(hiveFilePath(HKEY_CURRENT_USER));
    MainWindow& second = start(true);
    EXPECT_TRUE(second.isMaximized());
    ASSERT_TRUE(browser().setFolder(pics_.filePath(u"a"_s)));
    menus().MenuZoomLevel[2]->trigger();
    second.resize(900, 700);
    stop();
    EXPECT_EQ(mvtest::readAll(hiveFilePath(HKEY_CURRENT_USER)), before);
}

// Clicking a picture shows it at the zoom of the menu; moving up highlights the folder the user
// came from; Auto-Hide moves the file list out of sight but keeps it usable.
TEST_F(MainWindowTest, PictureFolderHighlightAndAutoHide)
{
    MainWindow& w = start();
    ASSERT_TRUE(browser().setFolder(pics_.filePath(u"a/b/c"_s)));
    ASSERT_TRUE(browser().setFolder(pics_.filePath(u"a"_s)));
    ASSERT_TRUE(until([&] { return browser().dirList()->highlightedPath() == pics_.filePath(u"a/b"_s); }));

    menus().MenuZoomLevel[8]->trigger(); // 200%
    listPictures();
    files().selectRow(0);
    ASSERT_TRUE(until([&] { return control().pictureWidth() == 40; }));
    EXPECT_EQ(control().size(), QSize(80, 40));

    menus().MenuAutoHide->trigger();
    EXPECT_TRUE(w.ListsHidden());
    EXPECT_FALSE(browser().dirList()->isVisible());
    EXPECT_TRUE(files().isVisible());
    EXPECT_GE(files().x(), w.centralWidget()->width());
    menus().MenuAutoHide->trigger();
    EXPECT_FALSE(w.ListsHidden());
    EXPECT_TRUE(browser().dirList()->isVisible());
    stop();
    EXPECT_EQ(setting("AutoHide"), u"False"_s);
}

// A name with a line break shows on one row yet opens the real file; a name that is not valid
// text is listed but not shown, and the information bar says why.
TEST_F(MainWindowTest, LineBreakInANameAndNamesThatAreNotText)
{
    const QString odd = pics_.filePath(u"two\nlines.png"_s);
    ASSERT_TRUE(QFile::copy(pics_.filePath(u"wide.png"_s), odd));
    const QByteArray bad = QFile::encodeName(pics_.path()) + "/caf\xe9.png";
    ASSERT_EQ(::link(QFile::encodeName(pics_.filePath(u"wide.png"_s)).constData(), bad.constData()), 0);

    // A decoy with the name Qt would have made of the bytes: selecting the odd name must not
    // show it.
    ASSERT_TRUE(QFile::copy(pics_.filePath(u"wide.png"_s), pics_.filePath(u"caf\uFFFD.png"_s)));
    MainWindow& w = start();
    listPictures(4);
    const int row = files().find(u"two\nlines.png"_s);
    ASSERT_GE(row, 0);
    EXPECT_FALSE(files().model()->index(row, 0).data().toString().contains(u'\n'));
    files().selectRow(row);
    ASSERT_TRUE(until([&] { return control().pictureFile() == odd; }));
    EXPECT_EQ(control().pictureWidth(), 40);
    files().selectRow(files().names().indexOf(mv::fileutil::nameFromNative("caf\xe9.png")));
    ASSERT_TRUE(until([&] { return !area().hasPicture(); }));
    EXPECT_TRUE(part<QLineEdit>(w, "FileInfoBar").text().startsWith("This file's name is not valid text"_L1));
    std::remove(bad.constData()); // a name QTemporaryDir could not spell
}

// The Secured Access List is loaded at start into the combo box and the menus; choosing an
// entry from the menu and again from the tray's hands it on twice. While a started program is watched the
// window refuses to close and the setup to open, each with its message; a second instance may not use the
// list at all.
TEST_F(MainWindowTest, SecuredAccessListLoadsAtStartAndARunningProgramKeepsTheWindowOpen)
{
    SaveSetting(u"QuickList"_s, u"Title1"_s, u"Editor"_s);
    SaveSetting(u"QuickList"_s, u"Title2"_s, u"Viewer"_s);
    MainWindow& w = start();
    auto& combo = part<QComboBox>(w, "QuickList");
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), u"Viewer"_s);
    EXPECT_EQ(combo.currentIndex(), -1);
    MainMenus& m = menus();
    ASSERT_EQ(m.MenuQuickItems.size(), 3u);
    EXPECT_EQ(m.MenuQuickItems[1]->text(), u"Editor"_s);

    mv::secured::QuickListState& state = w.quickListState();
    // The entry names no program: each choice reaches the launch, which cannot start it.
    QStringList launches;
    w.quickListLauncher()->tell = [&](const QString& text) { launches << text; };
    m.MenuQuickItems[2]->trigger();
    m.MenuPopItems[2]->trigger();
    EXPECT_EQ(combo.currentIndex(), -1);
    ASSERT_TRUE(until([&] { return launches.size() == 2; }));
    EXPECT_TRUE(launches[0].startsWith(u"Unable to run application"_s)) << launches[0].toStdString();
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
    ASSERT_TRUE(until([&] { return told.size() == 2; }));
    EXPECT_EQ(told[0], u"Can not exit now, process still running.."_s);
    EXPECT_EQ(told[1], u"You must first close any pending applications\nbefore seting up the QuickList"_s);
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(state.takePending(running));
    stop();

    start(true);
    menus().MenuQuickItems[1]->trigger();
    ASSERT_TRUE(until([&] { return told.size() == 3; }));
    EXPECT_EQ(told[2], u"Only the first instance of Mirravelnock! can use QuickList"_s);
    stop();
}

// F8, F1 and Del did nothing in the file list once a dialog had closed where no window manager
// hands the keyboard back, and the typed type filter kept Del and Shift+Del for itself. Every
// menu key reaches its item with the focus in each pane (the manual's own keys: the help window's test).
TEST_F(MainWindowTest, MenuKeysAnswerInEveryPaneAfterADialogClosed)
{
    MainWindow& w = start();
    mv::browser::BrowserPane& b = browser();
    listPictures();
    QList<QAction*> items;
    keyedItems(w.menuBar()->actions(), items);
    ASSERT_GE(items.size(), 12);
    const QStringList clashes = test::mnemonicClashes(w);
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    QWidget* const panes[] = {b.fileList(), b.dirList(), b.fileSpec(), &area()};
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
    // F1's item then opens the manual.
    b.fileList()->setFocus();
    QTest::keyClick(b.fileList(), Qt::Key_F1);
    EXPECT_TRUE(until([&] { return w.findChild<HelpWindow*>() != nullptr; }));
    stop();
}

// Encrypt and Decrypt from the menu, the dialogs answered as a user would: only the selected
// file is touched, and the picture on view is selected and shown again under its new name.
TEST_F(MainWindowTest, EncryptAndDecryptShowThePictureOnViewAgainUnderItsNewName)
{
    ASSERT_TRUE(mvtest::flat(30, 20, Qt::darkGreen).save(pics_.filePath(u"other.png"_s)));
    const QString photo = pics_.filePath(u"wide.png"_s);
    const QByteArray bytes = mvtest::readAll(photo);
    // The desktop's thumbnails of the encrypted picture go with its plain file; the other's stay.
    const QStringList ofPhoto = mvtest::plantThumbnails(photo);
    const QStringList ofOther = mvtest::plantThumbnails(pics_.filePath(u"other.png"_s));
    MainWindow& w = start();
    ASSERT_TRUE(listAll());
    auto& viewer = part<mv::viewing::SelectionViewer>(w);
    int keyQuestions = 0;
    viewer.askKey = [&](const QString&) {
        ++keyQuestions;
        return false;
    };
    const auto onDisk = [&] { return QDir(pics_.path()).entryList(QDir::Files, QDir::Name); };
    const auto shown = [&](const QString& name) {
        return until([&] { return files().currentName() == name && viewer.nameOnView() == name; });
    };
    // Each dialog is answered once (one is active again when the progress window over it
    // closes), once the watch has returned; any other question is refused and noted.
    QList<QPointer<QWidget>> answered;
    QStringList unexpected;
    Qt::CursorShape duringDecrypt = Qt::ArrowCursor;
    mv::crypto::test::ModalWatch watch([&](QWidget* d) {
        if (answered.contains(d))
            return;
        answered << d;
        QTimer::singleShot(0, d, [&, d] {
            if (d->objectName() == "Encrypt"_L1 || d->objectName() == "Confirm"_L1) {
                mv::crypto::test::typeKeyAndEnter(d, u"test key 1"_s);
            } else if (d->objectName() == "Decrypt"_L1) {
                duringDecrypt = w.cursor().shape();
                mv::crypto::test::control<QPushButton>(d, "BeginBut")->click();
            } else if (!d->inherits("mv::crypto::EncDecProcess")) {
                unexpected << QLatin1String(d->metaObject()->className()) + d->property("text").toString();
                QTest::keyClick(d, Qt::Key_Escape);
            }
        });
    });

    files().selectRow(files().find(u"wide.png"_s));
    ASSERT_TRUE(shown(u"wide.png"_s));
    menus().MenuEncrypt->trigger();
    EXPECT_TRUE(shown(u"wide_png.mv$"_s));
    EXPECT_EQ(onDisk(), (QStringList {u"other.png"_s, u"wide_png.mv$"_s}));
    EXPECT_EQ(mvtest::stillThere(ofPhoto), QStringList());
    EXPECT_EQ(mvtest::stillThere(ofOther), ofOther);
    EXPECT_EQ(files().names(), onDisk());

    // The key typed for Encrypt is remembered: Decrypt and the viewer ask for none.
    menus().MenuDecrypt->trigger();
    EXPECT_EQ(duringDecrypt, Qt::WaitCursor);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(shown(u"wide.png"_s));
    EXPECT_EQ(onDisk(), (QStringList {u"other.png"_s, u"wide.png"_s}));
    EXPECT_EQ(mvtest::readAll(photo), bytes);
    EXPECT_EQ(keyQuestions, 0);

    // Nothing on view (cleared after the click): the list is read again and no entry is chosen
    // for the user.
    files().selectRow(files().find(u"other.png"_s));
    ASSERT_TRUE(shown(u"other.png"_s));
    menus().MenuClear->trigger();
    menus().MenuEncrypt->trigger();
    ASSERT_TRUE(until([&] { return files().names() == QStringList {u"other_png.mv$"_s, u"wide.png"_s}; }));
    EXPECT_TRUE(files().currentName().isEmpty());
    EXPECT_FALSE(area().hasPicture());
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(", "_L1).toStdString();
}

// A store made read-only while the program runs used to lose every change without a word: the
// information line says once that settings cannot be saved, and why.
TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreReportedOnceInTheInformationLine)
{
    const QString store = config_.filePath(u"mirravelnock"_s);
    MainWindow& w = start();
    auto& infoBar = part<QLineEdit>(w, "FileInfoBar");
    ASSERT_TRUE(settings_->flush().ok);
    // Root writes into a read-only folder all the same; for root the folder gives way to a file.
    ASSERT_TRUE(::geteuid() != 0
                    ? QFile::setPermissions(store, QFile::ReadOwner | QFile::ExeOwner)
                    : QDir(store).removeRecursively() && QFile(store).open(QIODevice::WriteOnly));
    menus().MenuZoomLevel[2]->trigger();
    EXPECT_FALSE(settings_->flush().ok);
    const QString said = u"Settings cannot be saved in %1: "_s.arg(store);
    EXPECT_TRUE(until([&] { return infoBar.text().startsWith(said); })) << infoBar.text().toStdString();
    EXPECT_GT(infoBar.text().size(), said.size() + 5) << "the reason follows";
    infoBar.setText(u"shown"_s);
    menus().MenuZoomLevel[3]->trigger();
    EXPECT_FALSE(settings_->flush().ok);
    QCoreApplication::processEvents();
    EXPECT_EQ(infoBar.text(), u"shown"_s) << "said once";
    QFile::remove(store);
    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    stop();
}

// The session locking forgets what F8 forgets: the keys, the decrypted pictures prepared ahead
// and the encrypted picture on show; sleep and the screen savers starting do too, their ends do
// not. Unchecked, the item forgets nothing, and it is stored.
TEST_F(MainWindowTest, SessionLockSleepAndScreenSaverForgetKeysAndPreparedPicturesUnlessTurnedOff)
{
    if (!mv::shell::test::PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    mv::shell::test::PrivateBus bus;
    ASSERT_TRUE(bus.up());
    QDBusConnection sender = bus.connect(u"sender"_s);
    const SessionLockWatch watch(bus.connect(u"listener"_s), bus.connect(u"listener"_s));
    ASSERT_TRUE(watch.isListening());
    const auto send = [&](const char* path, const char* interface, const char* member,
                          const QVariantList& args) {
        QDBusMessage signal =
            QDBusMessage::createSignal(QLatin1String(path), QLatin1String(interface), QLatin1String(member));
        signal.setArguments(args);
        return sender.send(signal);
    };
    const auto lock = [&] {
        return send("/org/freedesktop/login1/session/_1", "org.freedesktop.login1.Session", "Lock", {});
    };

    MainWindow& w = start();
    auto& forgetting = part<LockForgetting>(w);
    forgetting.listen(&watch);
    mv::shell::test::PrivateBus::settle(bus.connect(u"listener"_s));
    int forgotten = 0;
    QObject::connect(&forgetting, &LockForgetting::forgotten, [&] { ++forgotten; });
    QAction* item = menus().mnuForgetOnLock;
    EXPECT_TRUE(item->isChecked());
    auto& keys = part<mv::crypto::KeyState>(w);
    auto& viewer = part<mv::viewing::SelectionViewer>(w);
    int asked = 0;
    viewer.askKey = [&](const QString&) {
        ++asked;
        return false;
    };
    listEncryptedPair();
    ASSERT_TRUE(typeKey());
    files().selectRow(files().find(u"one_png.mv$"_s));
    ASSERT_TRUE(until([&] { return area().hasPicture(); }));
    until([] { return false; }, 500); // time to prepare two_png.mv$ ahead

    ASSERT_TRUE(lock());
    ASSERT_TRUE(until([&] { return !keys.hasKeys(); }));
    EXPECT_FALSE(area().hasPicture());
    files().selectRow(files().find(u"two_png.mv$"_s));
    EXPECT_TRUE(until([&] { return asked == 1; })) << "the prepared picture was forgotten too";
    EXPECT_FALSE(area().hasPicture());

    // Signals from one sender arrive in order: when a lock after an ignored signal is counted
    // exactly, the ignored one was seen and passed over.
    const struct {
        const char* path;
        const char* interface;
        const char* member;
        QVariantList args;
        int forgottenAfter;
    } kinds[] = {
        {"/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true}, 2},
        {"/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {false}, 2},
        {"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true}, 3},
        {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", {false}, 3},
        {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", {true}, 4},
        {"/org/freedesktop/login1/session/_32", "org.freedesktop.login1.Session", "Unlock", {}, 4},
        {"/org/mate/ScreenSaver", "org.mate.ScreenSaver", "ActiveChanged", {true}, 5},
    };
    for (const auto& c : kinds) {
        ASSERT_TRUE(send(c.path, c.interface, c.member, c.args)) << c.member;
        EXPECT_TRUE(until([&] { return forgotten >= c.forgottenAfter; }, 5000)) << c.interface << c.member;
        EXPECT_EQ(forgotten, c.forgottenAfter) << c.interface << " " << c.member;
    }

    item->trigger();
    EXPECT_FALSE(item->isChecked());
    ASSERT_TRUE(typeKey());
    ASSERT_TRUE(lock());
    until([] { return false; }, 300);
    EXPECT_TRUE(keys.hasKeys());
    stop();
    EXPECT_EQ(setting("ForgetKeysOnLock"), u"False"_s);
    EXPECT_FALSE((start(), menus()).mnuForgetOnLock->isChecked());
}

// F8 forgets what the keys opened wherever the user is: a slideshow ends on no picture rather
// than going on to the next decrypted one; a decrypted picture this program put on the
// clipboard is taken off it (another program's text is not); a message in front of the window
// does not stop it, a key question does, as the key is then the question's.
TEST_F(MainWindowTest, ClearPasswordsReachesTheSlideshowTheClipboardAndDialogsButNotAKeyQuestion)
{
    MainWindow& w = start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto& keys = part<mv::crypto::KeyState>(w);
    listEncryptedPair();
    ASSERT_TRUE(typeKey());
    files().selectRow(0);
    ASSERT_TRUE(until([&] { return control().pictureObject().sensitive; }));
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto picturePasted = [clipboard] {
        const QMimeData* data = clipboard->mimeData();
        return data && data->hasImage();
    };
    menus().MenuCpoy->trigger();
    ASSERT_TRUE(until(picturePasted));

    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    auto& show = part<Slideshow>(w);
    ASSERT_TRUE(show.running());
    QTest::keyClick(&w, Qt::Key_F8);
    EXPECT_FALSE(show.running());
    EXPECT_FALSE(keys.hasKeys());
    EXPECT_FALSE(area().hasPicture());
    EXPECT_FALSE(picturePasted());
    until([] { return false; }, 2500); // past the slideshow's next step
    EXPECT_FALSE(area().hasPicture());

    clipboard->setText(u"another program's words"_s);
    ASSERT_TRUE(typeKey());
    QTimer::singleShot(0, &w, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_TRUE(box);
        QTest::keyClick(box, Qt::Key_F8);
        EXPECT_FALSE(keys.hasKeys()) << "forgotten with a message in front";
        ASSERT_TRUE(typeKey());
        box->setObjectName(u"AskKey"_s);
        QTest::keyClick(box, Qt::Key_F8);
        EXPECT_TRUE(keys.hasKeys()) << "a key question keeps its key";
        static_cast<QDialog*>(box)->accept();
    });
    QMessageBox::information(&w, u"Mirravelnock!"_s, u"A message"_s);
    EXPECT_EQ(clipboard->text(), u"another program's words"_s);
}

// The window took its parts down before its own layout was asked about them: it deleted the
// layout first, and each later part's leaving read freed memory (a crash without sanitizers,
// unseen by them, as the read is inside Qt). Every part it deletes now goes before the layout.
TEST_F(MainWindowTest, ClosingTheWindowDeletesItsLayoutAfterEveryOtherPart)
{
    MainWindow& w = start();
    QStringList gone;
    for (QObject* part : w.children()) {
        if (qobject_cast<mv::widgets::JobRunner*>(part))
            continue; // kept to the end on purpose: the window's jobs answer to it
        QObject::connect(part, &QObject::destroyed, [&gone, isLayout = part == w.layout()] {
            gone << (isLayout ? u"layout"_s : u"part"_s);
        });
    }
    stop();
    ASSERT_GT(gone.size(), 2);
    EXPECT_EQ(gone.indexOf(u"layout"_s), gone.size() - 1) << gone.join(u' ').toStdString();
}

// Full screen shows the picture alone, travels the list and returns as it was; the slideshow
// steps in full screen, and a key ends it on the picture on show.
TEST_F(MainWindowTest, FullScreenAndTheSlideshow)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(mvtest::flat(40 + i, 20, Qt::red).save(pics_.filePath(u"p%1.png"_s.arg(i))));
    MainWindow& w = start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    listPictures(4);
    const auto shows = [&](int row, int width) {
        return QTest::qWaitFor(
            [&] { return files().currentRow() == row && control().pictureWidth() == width; });
    };
    files().selectRow(0);
    ASSERT_TRUE(shows(0, 40));
    auto& comforts = part<ViewComforts>(w);
    w.setGeometry(QRect(30, 40, 700, 500));
    const QRect before = w.geometry();
    const QRect areaBefore = area().geometry();

    comforts.fullScreen->trigger();
    auto& mode = part<FullScreenMode>(w);
    ASSERT_TRUE(mode.active());
    EXPECT_TRUE(comforts.fullScreen->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isFullScreen(); }, 2000));
    EXPECT_FALSE(files().isVisible());
    EXPECT_FALSE(w.menuBar()->isVisible());
    EXPECT_EQ(area().geometry(), w.centralWidget()->rect());

    // Right, Down and End go through the list; the zoom keys still answer.
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_TRUE(shows(1, 41));
    QTest::keyClick(&w, Qt::Key_End);
    EXPECT_TRUE(shows(3, 40));
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_TRUE(shows(2, 42));
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
    EXPECT_TRUE(shows(2, 42));
    EXPECT_FALSE(comforts.fullScreen->isChecked());

    comforts.slideshowInterval[0]->trigger(); // 2 seconds, stored
    EXPECT_EQ(settings_->text(Setting::SlideshowInterval), u"2"_s);
    files().selectRow(1);
    ASSERT_TRUE(shows(1, 41));
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    auto& show = part<Slideshow>(w);
    ASSERT_TRUE(show.running());
    EXPECT_TRUE(mode.active());
    ASSERT_TRUE(shows(2, 42)); // two seconds on
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_FALSE(show.running());
    EXPECT_FALSE(mode.active());
    EXPECT_TRUE(shows(2, 42)); // the key only ended the show
}

// The main window with a thumbnail grid on show (its controls named are the AT-SPI test's, over
// the real program), the grid a list of cells named after their files: Tab from the file list
// reaches the grid, whose first cell is then current, focused and selected; the arrows move it,
// and each move is told; Enter shows the cell's file, and the picture area's name, told as it
// changes, names it and its size. "Clear Viewing Area" makes it "No picture".
TEST_F(MainWindowTest, AScreenReaderHearsTheKeysMoveThroughTheGridAndThePictureNamed)
{
    ASSERT_TRUE(QFile::remove(pics_.filePath(u"wide.png"_s)));
    for (const char* name : {"a.png", "b.png", "c.png"})
        ASSERT_TRUE(mvtest::flat(40, 20, Qt::red).save(pics_.filePath(QLatin1String(name))));
    MainWindow& window = start();
    ASSERT_TRUE(listAll());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    menus().mnuThumb->trigger();
    auto& grid = part<mv::viewing::ThumbnailGrid>(window);
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
