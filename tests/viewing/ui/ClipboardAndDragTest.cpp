// Exchanges with other programs, with the widgets the window uses and the offscreen platform's
// clipboard: what Copy to Clipboard offers, files dragged out of the file list, pictures dropped
// on the picture area. The drag's own loop needs a desktop, so the drop target is played here.
#include "ViewerParts.h"
#include "crypto/ui/DialogDriver.h"
#include "imaging/ui/ImageControl.h"
#include "viewing/ui/PictureCopy.h"

#include <QClipboard>
#include <QDrag>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace mv::viewing {
namespace {

// 100 x 100 pixels: a red square in the middle, the rest not drawn.
QByteArray redSquareWmf()
{
    QFile file(QStringLiteral(MV_FIXTURES "/red-square.wmf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ClipboardAndDragTest : public ::testing::Test, protected test::ViewerParts {
protected:
    void SetUp() override
    {
        bitmap_ = QImage(30, 20, QImage::Format_ARGB32);
        bitmap_.fill(qRgb(200, 40, 77));
        bitmap_.setPixel(29, 0, qRgb(1, 2, 3)); // a row or column turned shows
        ASSERT_TRUE(bitmap_.save(path(u"plain.bmp"_s)));
        writePicture(u"photo.jpg"_s, mvtest::flat(2000, 1600, Qt::darkGreen));
        for (const char* name : {"drawing.wmf", "secret.wmf"})
            write(QLatin1String(name), redSquareWmf());
        write(u"broken.png"_s, "\x89PNG\r\n\x1a\nno more");
        write(u"notes.txt"_s, "text");
        ASSERT_EQ(crypto::encryptOne(path(u"secret.wmf"_s), "key").kind, crypto::CryptOutcome::Done);
        viewer_.askKey = [this](const QString&) { return keys_.append(crypto::SecretText::fromText("key")); };
        copy_.beep = [] {};
        ASSERT_TRUE(open(6));
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
    // A drag of paths enters the area (and drops there): whether the area takes it.
    bool enter(const QString& path, const QString& second = {}, bool drop = false)
    {
        QMimeData data;
        data.setUrls(second.isEmpty() ? QList<QUrl> {QUrl::fromLocalFile(path)}
                                      : QList<QUrl> {QUrl::fromLocalFile(path), QUrl::fromLocalFile(second)});
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent entered(QPoint(50, 50), offered, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area_, &entered);
        if (drop && entered.isAccepted()) {
            QDropEvent dropped(QPointF(50, 50), offered, &data, Qt::LeftButton, {});
            settleAfter([&] { QApplication::sendEvent(area_, &dropped); });
        }
        return entered.isAccepted() && entered.dropAction() == Qt::CopyAction;
    }

    QImage bitmap_;
    PictureCopy copy_ {*area_, keys_, viewer_.decoders(), &host_};
    QStringList told_;
    crypto::test::ModalWatch watch_ {[this](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            told_ << box->text();
            box->accept();
        }
    }};
};

TEST_F(ClipboardAndDragTest, ABitmapIsCopiedAsItsPixelsAndAMetafileWithItsOwnBytesToo)
{
    choose(u"plain.bmp"_s);
    const QMimeData* data = copied();
    EXPECT_EQ(data->formats(), QStringList {u"application/x-qt-image"_s});
    EXPECT_EQ(imageOf(data), bitmap_);

    choose(u"drawing.wmf"_s);
    data = copied();
    const QImage drawn = imageOf(data);
    ASSERT_EQ(drawn.size(), QSize(100, 100));
    EXPECT_EQ(drawn.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(drawn.pixel(5, 5)), 0);
    for (const char* type : {"image/wmf", "image/x-wmf"})
        EXPECT_EQ(data->data(QLatin1String(type)), redSquareWmf()) << type;
    EXPECT_EQ(data->formats().size(), 3);

    // Gone since it was shown: the user is told, and the clipboard is left empty.
    ASSERT_TRUE(QFile::remove(path(u"drawing.wmf"_s)));
    data = copied(false);
    ASSERT_EQ(told_.size(), 1);
    EXPECT_TRUE(told_[0].startsWith(u"Unable to copy to clipboard\ndrawing.wmf: "_s));
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());

    // Nothing on show: nothing is copied, and nothing said.
    choose(u"plain.bmp"_s);
    (void)copied();
    viewer_.MenuClear_Click();
    copy_.MenuCpoy_Click();
    data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());
    EXPECT_EQ(told_.size(), 1);
}

TEST_F(ClipboardAndDragTest, AnEncryptedPictureIsCopiedAsPixelsOnlyAndAReducedPhotoWhole)
{
    choose(u"secret_wmf.mv$"_s);
    ASSERT_TRUE(viewer_.viewingEncrypted());
    const QMimeData* data = copied();
    // No file name, no metafile bytes, no text: the pixels alone.
    EXPECT_EQ(data->formats(), QStringList {u"application/x-qt-image"_s});
    EXPECT_EQ(imageOf(data).pixel(50, 50), qRgb(255, 0, 0));

    area_->setZoomIndex(0); // Best Fit: the JPEG is decoded at a fraction of its size
    choose(u"photo.jpg"_s);
    ASSERT_LT(area_->imageControl()->pictureObject().image.width(), 2000);
    EXPECT_EQ(imageOf(copied()).size(), QSize(2000, 1600));
}

TEST_F(ClipboardAndDragTest, FilesMovedOutByADragLeaveTheListAndCopiedOnesStay)
{
    const QTemporaryDir elsewhere;
    const QStringList three {u"broken.png"_s, u"notes.txt"_s, u"plain.bmp"_s};
    write(u"late.png"_s, "written after the listing: only a new listing shows it");
    for (const QString& n : three)
        list()->selectionModel()->select(entry(n), QItemSelectionModel::Select);
    QStringList offered;
    Qt::DropAction taken = Qt::CopyAction;
    list()->runDrag = [&](QDrag& drag) {
        for (const QUrl& url : drag.mimeData()->urls()) {
            offered << url.toLocalFile();
            const QString to = elsewhere.filePath(url.fileName());
            EXPECT_TRUE(taken == Qt::MoveAction ? QFile::rename(url.toLocalFile(), to)
                                                : QFile::copy(url.toLocalFile(), to));
        }
        return taken;
    };
    list()->dragSelectedOut();
    EXPECT_EQ(offered, (QStringList {path(three[0]), path(three[1]), path(three[2])}));
    QTest::qWait(200);
    EXPECT_EQ(list()->find(u"late.png"_s), -1);

    for (const QString& n : three)
        ASSERT_TRUE(QFile::remove(elsewhere.filePath(n)));
    taken = Qt::MoveAction;
    list()->dragSelectedOut();
    ASSERT_TRUE(QTest::qWaitFor([this] { return list()->find(u"late.png"_s) >= 0; }));
    for (const QString& n : three)
        EXPECT_EQ(list()->find(n), -1) << n.toStdString();
}

// A press on an encrypted file showed it at once, and the key window that came up ended the drag
// that press was starting. A press now drags the file out with either button, no key asked and
// the picture on show kept (a right press and release without moving drags nothing out); a
// click shows the file, asking its key then.
TEST_F(ClipboardAndDragTest, APressOnAnEncryptedFileDragsItOutWithoutAskingItsKey)
{
    int asked = 0;
    viewer_.askKey = [&](const QString&) {
        ++asked;
        return keys_.append(crypto::SecretText::fromText("key"));
    };
    QStringList offered;
    list()->runDrag = [&](QDrag& drag) {
        for (const QUrl& url : drag.mimeData()->urls())
            offered << url.toLocalFile();
        return Qt::CopyAction;
    };
    QWidget* port = list()->viewport();
    const QPoint on = rowOf(u"secret_wmf.mv$"_s).center();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        choose(u"plain.bmp"_s);
        offered.clear();
        if (button == Qt::RightButton) {
            QTest::mouseClick(port, button, {}, rowOf(u"plain.bmp"_s).center());
            EXPECT_TRUE(offered.isEmpty());
        }
        QTest::mousePress(port, button, {}, on);
        // Qt's own drag starts on the second move past the drag distance, ours on the first.
        for (const int dy : {8, 24}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(on + QPoint(0, dy)), port->mapToGlobal(QPointF(on)),
                             Qt::NoButton, button, Qt::NoModifier);
            QCoreApplication::sendEvent(port, &move);
        }
        QTest::mouseRelease(port, button, {}, on + QPoint(0, 24));
        EXPECT_EQ(offered, QStringList {path(u"secret_wmf.mv$"_s)}) << button;
        EXPECT_FALSE(QTest::qWaitFor([&] { return asked > 0; }, 1000)) << button;
        EXPECT_EQ(area_->imageControl()->pictureFile(), path(u"plain.bmp"_s)) << button;
    }
    // The list's keys still show what they reach.
    for (int up = 0; up < 2; ++up)
        settleAfter([&] { QTest::keyClick(list(), Qt::Key_Up); });
    EXPECT_EQ(area_->imageControl()->pictureFile(), path(u"photo.jpg"_s));
    settleAfter([&] { QTest::mouseClick(port, Qt::LeftButton, {}, on); });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(viewer_.viewingEncrypted());
}

TEST_F(ClipboardAndDragTest, OnePlainPictureDroppedIsShownWithTheListAndInformationLineAsTheyWere)
{
    const QString bmp = path(u"plain.bmp"_s);
    // Two files, an encrypted one, one that is no picture: refused.
    EXPECT_FALSE(enter(bmp, path(u"photo.jpg"_s)));
    EXPECT_FALSE(enter(path(u"secret_wmf.mv$"_s)));
    EXPECT_FALSE(enter(path(u"notes.txt"_s)));

    choose(u"photo.jpg"_s);
    const QString infoLine = infoBar_->text();
    EXPECT_TRUE(enter(bmp, {}, true));
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
    EXPECT_EQ(list()->selectedNames(), QStringList {u"photo.jpg"_s});
    EXPECT_EQ(infoBar_->text(), infoLine);
    EXPECT_TRUE(viewer_.nameOnView().isEmpty()); // the picture on show is no entry's

    // Named a picture but none: the message, and the picture on show stays.
    EXPECT_TRUE(enter(path(u"broken.png"_s), {}, true));
    EXPECT_EQ(told_, QStringList {u"Unable to display this file!"_s});
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
}

} // namespace
} // namespace mv::viewing
