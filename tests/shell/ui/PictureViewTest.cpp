// Viewing as the window wires it, offscreen: the browser pane, the picture area, the
// information bar and the keys made here and handed to the viewer. Encrypted pictures with a
// remembered or a typed key, the messages of files that can't be shown, and a stale selection
// that must never replace a newer one.
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"
#include "sandbox/HelperPool.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

const QString kBanner = QStringLiteral("Mirravelnock! version 0");

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture(QStringLiteral("plain.png"), 40, 20);
        picture(QStringLiteral("secret.png"), 30, 10);
        ASSERT_EQ(mv::crypto::encryptOne(pics_.filePath(QStringLiteral("secret.png")), "key 1").kind,
                  mv::crypto::CryptOutcome::Done);
        write(QStringLiteral("notes.txt"), "just text");
        write(QStringLiteral("broken.png"), "\x89PNG\r\n\x1a\nbut nothing more");
        host_.resize(800, 600);
        browser_->fileList()->setGeometry(0, 0, 300, 560);
        area_->setGeometry(300, 0, 500, 560);
        infoBar_->setGeometry(0, 570, 800, 30);
        viewer_.bannerText = kBanner;
        host_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
        browser_->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser_->setFolder(pics_.path()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (list().size()) == (4); }, 5000));
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
    QStringList list() { return browser_->fileList()->names(); }
    // Selects name and waits until its outcome is shown.
    void select(const QString& name)
    {
        FileListView* files = browser_->fileList();
        QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
        files->selectRow(files->find(name));
        ASSERT_TRUE(settled.count() || settled.wait(20000)) << name.toStdString();
    }
    QString infoLine() { return infoBar_->text(); }
    const mv::imaging::ImageControl& control() { return *area_->imageControl(); }

    QTemporaryDir pics_;
    mv::sandbox::HelperPool decoders_; // outlives the viewer, which decodes in it
    QWidget host_;
    BrowserPane* browser_ = new BrowserPane(&host_);
    PictureArea* area_ = new PictureArea(&host_);
    QLineEdit* infoBar_ = new QLineEdit(&host_);
    mv::crypto::KeyState keys_;
    SelectionViewer viewer_ {decoders_, *browser_, *area_, infoBar_, keys_, &host_};
};

TEST_F(PictureViewTest, EncryptedPictureWithARememberedOrATypedKeyOrNone)
{
    SelectionViewer& viewer = viewer_;
    int asked = 0;
    viewer.askKey = [&](const QString&) {
        ++asked;
        return false;
    };
    const QStringList before = QDir(pics_.path()).entryList(QDir::Files);
    select(QStringLiteral("secret_png.mv$"));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(infoLine(), kBanner);

    // Typed: the dialog adds the key, and every key is tried again.
    viewer.askKey = [&](const QString&) {
        ++asked;
        keys_.append(mv::crypto::SecretText::fromText(QStringLiteral("key 1")));
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
    SelectionViewer& viewer = viewer_;
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
    EXPECT_FALSE(area_->hasPicture());
    viewer.FileList_DblClick(); // only unsupported files are opened
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(PictureViewTest, AStaleSelectionNeverReplacesANewerOne)
{
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::yellow);
    ASSERT_TRUE(big.save(pics_.filePath(QStringLiteral("big.bmp"))));
    browser_->RefreshFileList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return (list().size()) == (5); }, 5000));
    FileListView* files = browser_->fileList();
    QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
    files->selectRow(files->find(QStringLiteral("big.bmp")));
    files->selectRow(files->find(QStringLiteral("plain.png")));
    ASSERT_TRUE(settled.wait(20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(!viewer_.loader().busy()); }, 5000));
    QTest::qWait(50); // any late delivery would land now
    EXPECT_EQ(settled.count(), 1);
    EXPECT_EQ(control().pictureFile(), pics_.filePath(QStringLiteral("plain.png")));
    EXPECT_TRUE(infoLine().startsWith(QStringLiteral("plain.png : ")));
}

} // namespace
