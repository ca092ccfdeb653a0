// "Copy to Clipboard" as the window wires it, with the clipboard of the offscreen platform:
// what other programs are offered for a bitmap, a metafile, a decrypted picture, a picture
// shown reduced, and for nothing on show.
#include "browser/ui/PictureCopy.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "imaging/metafile/WmfWriter.h"
#include "imaging/ui/ImageControl.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace mv::browser {
namespace {

// 100 x 100 pixels: the left half red, the right half left undrawn.
QByteArray halfRedWmf()
{
    imaging::test::WmfWriter w;
    w.pen(5, 0, 0).brush(0, 0x0000FF).select(0).select(1).rectangle(0, 0, 50, 101);
    return w.file(true, QRect(0, 0, 100, 100), 96);
}

class PictureCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bitmap_ = QImage(30, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                bitmap_.setPixel(x, y, qRgb(x * 8, y * 12, 77));
        ASSERT_TRUE(bitmap_.save(dir_.filePath(QStringLiteral("plain.bmp")), "BMP"));
        QImage photo(2000, 1600, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        ASSERT_TRUE(photo.save(dir_.filePath(QStringLiteral("photo.jpg")), "JPEG"));
        write(QStringLiteral("drawing.wmf"), halfRedWmf());
        write(QStringLiteral("secret.wmf"), halfRedWmf());
        ASSERT_EQ(crypto::encryptOne(dir_.filePath(QStringLiteral("secret.wmf")), "key 1").kind,
                  crypto::CryptOutcome::Done);
        viewer_.askKey = [this](const QString&) {
            return keys_.append(crypto::SecretText::fromText(QStringLiteral("key 1")));
        };
        copy_.beep = [] {};
        host_.resize(800, 600);
        browser_->fileList()->setGeometry(0, 0, 300, 560);
        area_->setGeometry(300, 0, 500, 560);
        host_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
        browser_->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser_->setFolder(dir_.path()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return browser_->fileList()->names().size() == 4; }));
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    void show(const QString& name)
    {
        QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
        browser_->fileList()->selectRow(browser_->fileList()->find(name));
        ASSERT_TRUE(settled.count() || settled.wait(20000));
        ASSERT_TRUE(area_->hasPicture()) << name.toStdString();
    }
    // Copies and gives what the clipboard holds then.
    const QMimeData* copied(bool expectCopied = true)
    {
        QSignalSpy finished(&copy_, &PictureCopy::copyFinished);
        copy_.MenuCpoy_Click();
        EXPECT_TRUE(finished.count() || finished.wait(20000));
        EXPECT_EQ(finished.value(0).value(0).toBool(), expectCopied);
        return QGuiApplication::clipboard()->mimeData();
    }
    static QImage imageOf(const QMimeData* data)
    {
        return qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_ARGB32);
    }

    QTemporaryDir dir_;
    QImage bitmap_;
    QWidget host_;
    BrowserPane* browser_ = new BrowserPane(&host_);
    PictureArea* area_ = new PictureArea(&host_);
    QLineEdit* infoBar_ = new QLineEdit(&host_);
    crypto::KeyState keys_;
    SelectionViewer viewer_ {*browser_, *area_, infoBar_, keys_, &host_};
    PictureCopy copy_ {*area_, keys_, &host_};
};

TEST_F(PictureCopyTest, ABitmapIsCopiedAsItsPixelsAndAMetafileWithItsOwnBytesToo)
{
    show(QStringLiteral("plain.bmp"));
    const QMimeData* data = copied();
    EXPECT_EQ(data->formats(), QStringList {QStringLiteral("application/x-qt-image")});
    EXPECT_EQ(imageOf(data), bitmap_.convertToFormat(QImage::Format_ARGB32));

    show(QStringLiteral("drawing.wmf"));
    data = copied();
    const QImage drawn = imageOf(data);
    ASSERT_EQ(drawn.size(), QSize(100, 100));
    EXPECT_EQ(drawn.pixel(25, 50), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(drawn.pixel(75, 50)), 0);
    for (const char* type : {"image/wmf", "image/x-wmf"})
        EXPECT_EQ(data->data(QLatin1String(type)), halfRedWmf()) << type;
    EXPECT_FALSE(data->hasUrls());
    EXPECT_FALSE(data->hasText());

    // Gone since it was shown: the user is told, and the clipboard stays empty.
    QString told;
    crypto::test::ModalWatch watch([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            told = box->text();
            box->accept();
        }
    });
    ASSERT_TRUE(QFile::remove(dir_.filePath(QStringLiteral("drawing.wmf"))));
    data = copied(false);
    EXPECT_TRUE(told.startsWith(QStringLiteral("Unable to copy to clipboard\ndrawing.wmf: ")))
        << told.toStdString();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());

    // Nothing on show: nothing is copied, and nothing said.
    show(QStringLiteral("plain.bmp"));
    (void)copied();
    viewer_.MenuClear_Click();
    copy_.MenuCpoy_Click();
    data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());
    EXPECT_EQ(watch.seen(), 1);
}

TEST_F(PictureCopyTest, AnEncryptedPictureIsCopiedAsPixelsOnlyNeverItsNameOrBytes)
{
    show(QStringLiteral("secret_wmf.mv$"));
    ASSERT_TRUE(viewer_.viewingEncrypted());
    const QMimeData* data = copied();
    // No file name, no metafile bytes (plain or encrypted), no text: the pixels alone.
    EXPECT_EQ(data->formats(), QStringList {QStringLiteral("application/x-qt-image")});
    const QImage drawn = imageOf(data);
    ASSERT_EQ(drawn.size(), QSize(100, 100));
    EXPECT_EQ(drawn.pixel(25, 50), qRgb(255, 0, 0));
}

TEST_F(PictureCopyTest, APhotoShownReducedToFitIsCopiedAtItsFullSize)
{
    area_->setZoomIndex(0); // Best Fit: the JPEG is decoded at a fraction of its size
    show(QStringLiteral("photo.jpg"));
    ASSERT_LT(area_->imageControl()->pictureObject().image.width(), 2000);
    EXPECT_EQ(imageOf(copied()).size(), QSize(2000, 1600));
}

} // namespace
} // namespace mv::browser
