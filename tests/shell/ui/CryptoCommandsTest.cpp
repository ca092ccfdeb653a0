// Encrypt, Decrypt and Clear Passwords as the menu runs them, over a browser pane and a viewer
// made here, with the real dialogs answered as a user would and a real batch: the picture on
// view is selected again under its new name, and only the selected file is touched.
#include "shell/ui/CryptoCommands.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "sandbox/HelperPool.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace mv;

namespace {

const QString kKey = QStringLiteral("test key 1");
const QString kBanner = QStringLiteral("Mirravelnock! version 0");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class CryptoCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"other.png", "photo.png"}) {
            QImage img(30, 20, QImage::Format_RGB32);
            img.fill(Qt::darkGreen);
            ASSERT_TRUE(img.save(pics_.filePath(QLatin1String(name))));
        }
        photo_ = readFile(pics_.filePath(QStringLiteral("photo.png")));
        window_.resize(800, 600);
        browser_->fileList()->setGeometry(0, 0, 300, 560);
        area_->setGeometry(300, 0, 500, 560);
        viewer_.bannerText = kBanner;
        viewer_.askKey = [this](const QString&) {
            ++keyQuestions_;
            return false;
        };
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        browser_->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser_->setFolder(pics_.path()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (names().size()) == (2); }, 5000));
    }

    QStringList names() const { return browser_->fileList()->names(); }
    QStringList onDisk() const { return QDir(pics_.path()).entryList(QDir::Files, QDir::Name); }

    // Selects name, as a click does, and waits until the viewer shows its picture.
    void view(const QString& name)
    {
        QSignalSpy settled(&viewer_, &browser::SelectionViewer::selectionSettled);
        browser_->fileList()->selectRow(browser_->fileList()->find(name));
        ASSERT_TRUE(settled.count() || settled.wait(20000)) << name.toStdString();
        ASSERT_EQ(viewer_.nameOnView(), name);
    }
    // After a run, the list is read again and `name` selected and shown.
    void expectViewedAgain(const QString& name)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return (browser_->fileList()->currentName()) == (name); }, 5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (viewer_.nameOnView()) == (name); }, 5000));
    }

    // Answers the dialogs a run opens, each once (a dialog is active again when the progress
    // dialog over it closes): the key typed into Encrypt and its confirmation, Begin pressed in
    // Decrypt. The answer comes once the watch has returned, so that it sees the dialogs each
    // answer opens. Any other question is refused and noted.
    void answer(QWidget* w)
    {
        if (answered_.contains(w))
            return;
        answered_ << w;
        QTimer::singleShot(0, w, [this, w] {
            const QString name = w->objectName();
            if (name == QLatin1String("Encrypt") || name == QLatin1String("Confirm")) {
                crypto::test::typeKeyAndEnter(w, kKey);
            } else if (name == QLatin1String("Decrypt")) {
                pointerDuringDecrypt_ = window_.cursor().shape();
                crypto::test::control<QPushButton>(w, "BeginBut")->click();
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                unexpected_ << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (!w->inherits("mv::crypto::EncDecProcess")) {
                unexpected_ << QLatin1String(w->metaObject()->className());
                QTest::keyClick(w, Qt::Key_Escape);
            }
        });
    }

    QTemporaryDir pics_;
    QByteArray photo_;
    sandbox::HelperPool decoders_; // outlives the viewer, which decodes in it
    QWidget window_;
    browser::BrowserPane* browser_ = new browser::BrowserPane(&window_);
    browser::PictureArea* area_ = new browser::PictureArea(&window_);
    QLineEdit* infoBar_ = new QLineEdit(&window_);
    crypto::KeyState keys_;
    browser::SelectionViewer viewer_ {decoders_, *browser_, *area_, infoBar_, keys_, &window_};
    shell::CryptoCommands commands_ {*browser_, viewer_, keys_, &window_};
    int keyQuestions_ = 0;
    Qt::CursorShape pointerDuringDecrypt_ = Qt::ArrowCursor;
    QStringList unexpected_;
    QList<QPointer<QWidget>> answered_;
    crypto::test::ModalWatch watch_ {[this](QWidget* w) { answer(w); }};
};

} // namespace

TEST_F(CryptoCommandsTest, ThePictureOnViewIsSelectedAgainUnderItsNewNameAfterEachRun)
{
    view(QStringLiteral("photo.png"));
    commands_.MenuEncrypt_Click();
    expectViewedAgain(QStringLiteral("photo_png.mv$"));
    EXPECT_EQ(onDisk(), (QStringList {QStringLiteral("other.png"), QStringLiteral("photo_png.mv$")}));
    EXPECT_EQ(names(), onDisk());

    // The key typed for Encrypt is remembered: Decrypt and the viewer ask for none.
    commands_.MenuDecrypt_Click();
    EXPECT_EQ(pointerDuringDecrypt_, Qt::WaitCursor);
    EXPECT_EQ(window_.cursor().shape(), Qt::ArrowCursor);
    expectViewedAgain(QStringLiteral("photo.png"));
    EXPECT_EQ(onDisk(), (QStringList {QStringLiteral("other.png"), QStringLiteral("photo.png")}));
    EXPECT_EQ(readFile(pics_.filePath(QStringLiteral("photo.png"))), photo_);
    EXPECT_EQ(keyQuestions_, 0);
    EXPECT_TRUE(unexpected_.isEmpty()) << unexpected_.join(QLatin1String(", ")).toStdString();

    // Nothing on view (cleared after the click): the list is read again and no entry is
    // chosen for the user.
    view(QStringLiteral("other.png"));
    viewer_.MenuClear_Click();
    commands_.MenuEncrypt_Click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return (names()) ==
                   ((QStringList {QStringLiteral("other_png.mv$"), QStringLiteral("photo.png")}));
        },
        5000));
    EXPECT_TRUE(browser_->fileList()->currentName().isEmpty());
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_TRUE(unexpected_.isEmpty()) << unexpected_.join(QLatin1String(", ")).toStdString();
}

TEST_F(CryptoCommandsTest, ClearPasswordsForgetsTheKeysAndClearsTheView)
{
    ASSERT_TRUE(keys_.append(crypto::SecretText::fromText(kKey)));
    view(QStringLiteral("photo.png"));
    commands_.mnuClearKeys_Click();
    EXPECT_FALSE(keys_.hasKeys());
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(infoBar_->text(), kBanner);
}
