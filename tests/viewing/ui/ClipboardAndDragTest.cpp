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
        ASSERT_TRUE(bitmap_.save(path(QStringLiteral("plain.bmp"))));
        writePicture(QStringLiteral("photo.jpg"), mvtest::flat(2000, 1600, Qt::darkGreen));
        for (const char* name : {"drawing.wmf", "secret.wmf"})
            write(QLatin1String(name), redSquareWmf());
        write(QStringLiteral("broken.png"), "\x89PNG\r\n\x1a\nno more");
        write(QStringLiteral("notes.txt"), "text");
        ASSERT_EQ(crypto::encryptOne(path(QStringLiteral("secret.wmf")), "key").kind,
                  crypto::CryptOutcome::Done);
        viewer_.askKey = [this](const QString&) { return keys_.append(crypto::SecretText::fromText("key")); };
        copy_.beep = [] {};
        ASSERT_TRUE(open(6));
    }
    void show(const QString& name)
    {
        settleAfter([&] { list()->selectRow(list()->find(name)); });
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
    show(QStringLiteral("plain.bmp"));
    const QMimeData* data = copied();
    EXPECT_EQ(data->formats(), QStringList {QStringLiteral("application/x-qt-image")});
    EXPECT_EQ(imageOf(data), bitmap_);

    show(QStringLiteral("drawing.wmf"));
    data = copied();
    const QImage drawn = imageOf(data);
    ASSERT_EQ(drawn.size(), QSize(100, 100));
    EXPECT_EQ(drawn.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(drawn.pixel(5, 5)), 0);
    for (const char* type : {"image/wmf", "image/x-wmf"})
        EXPECT_EQ(data->data(QLatin1String(type)), redSquareWmf()) << type;
    EXPECT_EQ(data->formats().size(), 3);

    // Gone since it was shown: the user is told, and the clipboard is left empty.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("drawing.wmf"))));
    data = copied(false);
    ASSERT_EQ(told_.size(), 1);
    EXPECT_TRUE(told_[0].startsWith(QStringLiteral("Unable to copy to clipboard\ndrawing.wmf: ")));
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());

    // Nothing on show: nothing is copied, and nothing said.
    show(QStringLiteral("plain.bmp"));
    (void)copied();
    viewer_.MenuClear_Click();
    copy_.MenuCpoy_Click();
    data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());
    EXPECT_EQ(told_.size(), 1);
}

TEST_F(ClipboardAndDragTest, AnEncryptedPictureIsCopiedAsPixelsOnlyAndAReducedPhotoWhole)
{
    show(QStringLiteral("secret_wmf.mv$"));
    ASSERT_TRUE(viewer_.viewingEncrypted());
    const QMimeData* data = copied();
    // No file name, no metafile bytes, no text: the pixels alone.
    EXPECT_EQ(data->formats(), QStringList {QStringLiteral("application/x-qt-image")});
    EXPECT_EQ(imageOf(data).pixel(50, 50), qRgb(255, 0, 0));

    area_->setZoomIndex(0); // Best Fit: the JPEG is decoded at a fraction of its size
    show(QStringLiteral("photo.jpg"));
    ASSERT_LT(area_->imageControl()->pictureObject().image.width(), 2000);
    EXPECT_EQ(imageOf(copied()).size(), QSize(2000, 1600));
}

TEST_F(ClipboardAndDragTest, FilesMovedOutByADragLeaveTheListAndCopiedOnesStay)
{
    const QTemporaryDir elsewhere;
    const QStringList three {QStringLiteral("broken.png"), QStringLiteral("notes.txt"),
                             QStringLiteral("plain.bmp")};
    write(QStringLiteral("late.png"), "written after the listing: only a new listing shows it");
    for (const QString& n : three)
        list()->selectionModel()->select(list()->model()->index(list()->find(n), 0),
                                         QItemSelectionModel::Select);
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
    EXPECT_EQ(list()->find(QStringLiteral("late.png")), -1);

    for (const QString& n : three)
        ASSERT_TRUE(QFile::remove(elsewhere.filePath(n)));
    taken = Qt::MoveAction;
    list()->dragSelectedOut();
    ASSERT_TRUE(QTest::qWaitFor([this] { return list()->find(QStringLiteral("late.png")) >= 0; }));
    for (const QString& n : three)
        EXPECT_EQ(list()->find(n), -1) << n.toStdString();

    // The right button held over an entry and moved drags it out too; a press and release
    // without moving does not.
    offered.clear();
    taken = Qt::CopyAction;
    const QPoint on =
        list()->visualRect(list()->model()->index(list()->find(QStringLiteral("late.png")), 0)).center();
    QTest::mousePress(list()->viewport(), Qt::RightButton, {}, on);
    QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, on);
    EXPECT_TRUE(offered.isEmpty());
    QTest::mousePress(list()->viewport(), Qt::RightButton, {}, on);
    QMouseEvent move(QEvent::MouseMove, QPointF(on + QPoint(0, 20)),
                     list()->viewport()->mapToGlobal(QPointF(on)), Qt::NoButton, Qt::RightButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(list()->viewport(), &move);
    EXPECT_EQ(offered, QStringList {path(QStringLiteral("late.png"))});
    QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, on);
}

TEST_F(ClipboardAndDragTest, OnePlainPictureDroppedIsShownWithTheListAndInformationLineAsTheyWere)
{
    const QString bmp = path(QStringLiteral("plain.bmp"));
    // Two files, an encrypted one, one that is no picture: refused.
    EXPECT_FALSE(enter(bmp, path(QStringLiteral("photo.jpg"))));
    EXPECT_FALSE(enter(path(QStringLiteral("secret_wmf.mv$"))));
    EXPECT_FALSE(enter(path(QStringLiteral("notes.txt"))));

    show(QStringLiteral("photo.jpg"));
    const QString infoLine = infoBar_->text();
    EXPECT_TRUE(enter(bmp, {}, true));
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
    EXPECT_EQ(list()->selectedNames(), QStringList {QStringLiteral("photo.jpg")});
    EXPECT_EQ(infoBar_->text(), infoLine);
    EXPECT_TRUE(viewer_.nameOnView().isEmpty()); // the picture on show is no entry's

    // Named a picture but none: the message, and the picture on show stays.
    EXPECT_TRUE(enter(path(QStringLiteral("broken.png")), {}, true));
    EXPECT_EQ(told_, QStringList {QStringLiteral("Unable to display this file!")});
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
}

} // namespace
} // namespace mv::viewing
