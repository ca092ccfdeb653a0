// The main window as the program starts it, over a settings store and a folder of pictures
// of the test's own. The window lends out none of its pieces: the tests find them among its
// children, as the dialog tests find their controls.
#pragma once

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "imaging/ui/ImageControl.h"
#include "shell/AppSettings.h"
#include "shell/EventWait.h"
#include "shell/QuitSignals.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"
#include "viewing/ui/PictureArea.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace mv::shell::test {

// The window's `T` (called `name`, if given). Without it no test means anything: stop the run.
template <typename T>
T& part(const MainWindow& window, const char* name = nullptr)
{
    T* found = window.findChild<T*>(name ? QString::fromLatin1(name) : QString());
    if (!found)
        qFatal("the main window has no %s %s", T::staticMetaObject.className(), name ? name : "");
    return *found;
}

// The items of each menu of `window` that share their underlined letter with another item of
// the same menu ("Delete &Selected..." and "&Safe Delete" did), each as "menu: item and item".
inline QStringList mnemonicClashes(const QWidget& window)
{
    QStringList clashes;
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        QHash<QKeySequence, QString> taken;
        for (const QAction* item : menu->actions()) {
            const QKeySequence letter = QKeySequence::mnemonic(item->text());
            if (!letter.isEmpty() && taken.contains(letter))
                clashes << menu->title() + QStringLiteral(": ") + item->text() + QStringLiteral(" and ") +
                               taken.value(letter);
            taken.insert(letter, item->text());
        }
    }
    return clashes;
}

class WindowTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid() && pics_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        configured_ = true;
    }
    void TearDown() override
    {
        quit_.reset();
        window_.reset();
        settings_.reset();
        if (configured_) // not when a derived test skipped before its store was made
            qputenv("XDG_CONFIG_HOME", saved_);
    }
    // Starts the window as the program does ("/M" when `minimized`) and waits until its list is
    // filled.
    MainWindow& start(bool second = false, const QString& file = {}, bool minimized = false)
    {
        settings_ = std::make_unique<AppSettings>();
        window_ = std::make_unique<MainWindow>(*settings_, second);
        QSignalSpy loaded(&window_->startup(), &StartupSequence::loaded);
        window_->startup().Form_Load(file, minimized);
        EXPECT_TRUE(loaded.count() || loaded.wait(10000));
        return *window_;
    }
    // Closes the window and ends its settings, which writes them.
    void stop()
    {
        window_->close();
        quit_.reset();
        window_.reset();
        settings_.reset();
    }
    // The stop signals (SIGTERM ...) reach the window as the program wires them.
    void quitOnSignal()
    {
        quit_ = std::make_unique<QuitSignals>();
        QObject::connect(quit_.get(), &QuitSignals::quitRequested, window_.get(), &MainWindow::requestStop);
    }
    static bool until(const std::function<bool()>& done, int limitMs = 10000)
    {
        return runEventsUntil(done, limitMs);
    }
    // Lists every file of `folder` (the pictures' folder when empty), "All Files" chosen.
    bool listAll(const QString& folder = {})
    {
        browser().fileSpec()->chooseEntry(0);
        return browser().setFolder(folder.isEmpty() ? pics_.path() : folder);
    }

    browser::BrowserPane& browser() const { return part<browser::BrowserPane>(*window_); }
    browser::FileListView& files() const { return *browser().fileList(); }
    viewing::PictureArea& area() const { return part<viewing::PictureArea>(*window_); }
    imaging::ImageControl& control() const { return *area().imageControl(); }
    MainMenus& menus() const { return part<MainMenus>(*window_); }

    QTemporaryDir config_;
    QTemporaryDir pics_;
    QByteArray saved_;
    bool configured_ = false;
    std::unique_ptr<AppSettings> settings_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QuitSignals> quit_;
};

} // namespace mv::shell::test
