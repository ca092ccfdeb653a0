// Viewing through the real window, offscreen: encrypted pictures with a remembered or a typed
// key, the messages of files that can't be shown, zoom with nothing on show, and a stale
// selection that must never replace a newer one.
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"
#include "shell/AppSettings.h"
#include "shell/Registry.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace mv::shell;

namespace {

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        picture(QStringLiteral("plain.png"), 40, 20);
        picture(QStringLiteral("secret.png"), 30, 10);
        ASSERT_EQ(mv::crypto::encryptOne(pics_.filePath(QStringLiteral("secret.png")), "key 1").kind,
                  mv::crypto::CryptOutcome::Done);
        write(QStringLiteral("notes.txt"), "just text");
        write(QStringLiteral("broken.png"), "\x89PNG\r\n\x1a\nbut nothing more");
        settings_ = std::make_unique<AppSettings>();
        window_ = std::make_unique<MainWindow>(*settings_, false);
        auto* startup = new StartupSequence(*window_, QString(), false);
        QSignalSpy loaded(startup, &StartupSequence::loaded);
        startup->Form_Load();
        ASSERT_TRUE(loaded.count() || loaded.wait(10000));
        list().clear();
        window_->browser().fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(window_->browser().setFolder(pics_.path()));
        QTRY_COMPARE(list().size(), 4);
    }
    void TearDown() override
    {
        window_.reset();
        settings_.reset();
        qputenv("XDG_CONFIG_HOME", saved_);
    }
    void picture(const QString& name, int w, int h)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        ASSERT_TRUE(img.save(pics_.filePath(name)));
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(pics_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    QStringList list() { return window_->browser().fileList()->names(); }
    // Selects name and waits until its outcome is shown.
    void select(const QString& name)
    {
        auto* files = window_->browser().fileList();
        QSignalSpy settled(&window_->viewer(), &mv::browser::SelectionViewer::selectionSettled);
        files->selectRow(files->find(name));
        ASSERT_TRUE(settled.count() || settled.wait(20000)) << name.toStdString();
    }
    QString infoLine() { return window_->fileInfoBar()->text(); }
    const mv::imaging::ImageControl& control() { return *window_->pictureArea().imageControl(); }

    QTemporaryDir config_;
    QTemporaryDir pics_;
    QByteArray saved_;
    std::unique_ptr<AppSettings> settings_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(PictureViewTest, EncryptedPictureWithARememberedOrATypedKeyOrNone)
{
    mv::browser::SelectionViewer& viewer = window_->viewer();
    int asked = 0;
    viewer.askKey = [&](const QString&) {
        ++asked;
        return false;
    };
    const QStringList before = QDir(pics_.path()).entryList(QDir::Files);
    select(QStringLiteral("secret_png.mv$"));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(window_->pictureArea().hasPicture());
    EXPECT_EQ(infoLine(), window_->bannerLine());

    // Typed: the dialog adds the key, and every key is tried again.
    viewer.askKey = [&](const QString&) {
        ++asked;
        window_->keys().append(mv::crypto::SecretText::fromText(QStringLiteral("key 1")));
        return true;
    };
    select(QStringLiteral("plain.png"));
    select(QStringLiteral("secret_png.mv$"));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(viewer.viewingEncrypted());
    EXPECT_EQ(control().pictureWidth(), 30);
    EXPECT_TRUE(infoLine().startsWith(
        QStringLiteral("(Encrypted) secret_png.mv$ : Width = 30 : Height = 10 : Colors = ")))
        << infoLine().toStdString();

    // Remembered now: no question, and nothing was written beside the files.
    select(QStringLiteral("plain.png"));
    EXPECT_FALSE(viewer.viewingEncrypted());
    EXPECT_TRUE(infoLine().startsWith(QStringLiteral("plain.png : Width = 40 : Height = 20")));
    select(QStringLiteral("secret_png.mv$"));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(infoLine().startsWith(QStringLiteral("(Encrypted) ")));
    EXPECT_EQ(QDir(pics_.path()).entryList(QDir::Files), before);
}

TEST_F(PictureViewTest, TextAndDamagedFilesSayWhyAndADoubleClickOpensTheText)
{
    mv::browser::SelectionViewer& viewer = window_->viewer();
    QStringList opened;
    viewer.openWithDesktop = [&](const QString& path) {
        opened << path;
        return true;
    };
    select(QStringLiteral("notes.txt"));
    EXPECT_EQ(infoLine(), QStringLiteral("You must double click to run unsupported files"));
    EXPECT_TRUE(viewer.unsupportedSelected());
    viewer.FileList_DblClick();
    EXPECT_EQ(opened, QStringList {pics_.filePath(QStringLiteral("notes.txt"))});

    select(QStringLiteral("broken.png"));
    EXPECT_EQ(infoLine(), QStringLiteral("Error reading this file!"));
    EXPECT_FALSE(window_->pictureArea().hasPicture());
    viewer.FileList_DblClick(); // only unsupported files are opened
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(PictureViewTest, ZoomWithNothingShownMovesTheCheckAndIsStored)
{
    window_->menus().MenuZoomLevel[2]->trigger();
    EXPECT_EQ(window_->menus().checkedZoomIndex(), 2);
    EXPECT_FALSE(window_->pictureArea().hasPicture());
    window_->close();
    window_.reset();
    settings_.reset();
    EXPECT_EQ(GetSetting(QStringLiteral("Settings"), QStringLiteral("Zoom")), QStringLiteral("2"));
}

TEST_F(PictureViewTest, AStaleSelectionNeverReplacesANewerOne)
{
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::yellow);
    ASSERT_TRUE(big.save(pics_.filePath(QStringLiteral("big.bmp"))));
    window_->browser().RefreshFileList();
    QTRY_COMPARE(list().size(), 5);
    auto* files = window_->browser().fileList();
    QSignalSpy settled(&window_->viewer(), &mv::browser::SelectionViewer::selectionSettled);
    files->selectRow(files->find(QStringLiteral("big.bmp")));
    files->selectRow(files->find(QStringLiteral("plain.png")));
    ASSERT_TRUE(settled.wait(20000));
    QTRY_VERIFY(!window_->viewer().loader().busy());
    QTest::qWait(50); // any late delivery would land now
    EXPECT_EQ(settled.count(), 1);
    EXPECT_EQ(control().pictureFile(), pics_.filePath(QStringLiteral("plain.png")));
    EXPECT_TRUE(infoLine().startsWith(QStringLiteral("plain.png : ")));
}

} // namespace
