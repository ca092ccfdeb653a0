// The main window as the program starts it, over a settings store and a folder of pictures
// of the test's own. The window lends out none of its pieces: the tests find them among its
// children, as the dialog tests find their controls.
#pragma once

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "imaging/ui/ImageControl.h"
#include "shell/AppSettings.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"
#include "viewing/ui/PictureArea.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        window_.reset();
        settings_.reset();
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
};

} // namespace mv::shell::test
