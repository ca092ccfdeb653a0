// Files dragged out of the file list and pictures dropped on the picture area, with the
// widgets the window uses. The drag's own loop needs a real desktop, so the drop target's
// side is played here: it takes the files the drag offers and copies or moves them.
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/SelectionViewer.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DialogDriver.h"
#include "imaging/ui/ImageControl.h"

#include <QDrag>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace mv::browser {
namespace {

class DragAndDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.png", "b.png", "c.png", "d.png", "e.bmp"})
            picture(dir_.filePath(QLatin1String(name)));
        write(dir_.filePath(QStringLiteral("notes.txt")), "text");
        write(dir_.filePath(QStringLiteral("broken.png")), "\x89PNG\r\n\x1a\nno more");
        picture(dir_.filePath(QStringLiteral("secret.png")));
        ASSERT_EQ(crypto::encryptOne(dir_.filePath(QStringLiteral("secret.png")), "key").kind,
                  crypto::CryptOutcome::Done);
        host_.resize(800, 600);
        browser_->fileList()->setGeometry(0, 0, 300, 560);
        area_->setGeometry(300, 0, 500, 560);
        host_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
        browser_->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser_->setFolder(dir_.path()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return list()->names().size() == 8; }));
    }
    static void picture(const QString& path)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(path));
    }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    FileListView* list() { return browser_->fileList(); }
    void selectOnly(const QStringList& names)
    {
        list()->selectionModel()->clearSelection();
        for (const QString& n : names)
            list()->selectionModel()->select(list()->model()->index(list()->find(n), 0),
                                             QItemSelectionModel::Select);
    }
    // The drop target's side: takes the offered files into `to`, and tells the action taken.
    void dropTargetTakes(const QTemporaryDir& to, Qt::DropAction action)
    {
        list()->runDrag = [this, &to, action](QDrag& drag) {
            for (const QUrl& url : drag.mimeData()->urls()) {
                offered_ << url.toLocalFile();
                const QString target = to.filePath(url.fileName());
                EXPECT_TRUE(action == Qt::MoveAction ? QFile::rename(url.toLocalFile(), target)
                                                     : QFile::copy(url.toLocalFile(), target));
            }
            return action;
        };
    }
    // Drags data over the picture area: whether it is taken, and as what.
    Qt::DropAction dragOver(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area_, &enter);
        QDragMoveEvent move(QPoint(60, 60), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area_, &move);
        EXPECT_EQ(enter.isAccepted(), move.isAccepted());
        return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
    }
    void drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        // As a drag ends: it enters the area, then drops there.
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area_, &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
        QApplication::sendEvent(area_, &event);
        ASSERT_TRUE(event.isAccepted());
        ASSERT_TRUE(settled.wait(20000));
    }

    QTemporaryDir dir_;
    QWidget host_;
    BrowserPane* browser_ = new BrowserPane(&host_);
    PictureArea* area_ = new PictureArea(&host_);
    QLineEdit* infoBar_ = new QLineEdit(&host_);
    crypto::KeyState keys_;
    SelectionViewer viewer_ {*browser_, *area_, infoBar_, keys_, &host_};
    QStringList offered_;
};

TEST_F(DragAndDropTest, FilesMovedOutByADragLeaveTheListAndCopiedOnesStay)
{
    const QTemporaryDir elsewhere;
    const QStringList three {QStringLiteral("a.png"), QStringLiteral("c.png"), QStringLiteral("d.png")};
    // Written after the listing: only listing the folder again shows it.
    picture(dir_.filePath(QStringLiteral("late.png")));

    selectOnly(three);
    dropTargetTakes(elsewhere, Qt::CopyAction);
    list()->dragSelectedOut();
    EXPECT_EQ(offered_,
              (QStringList {dir_.filePath(three[0]), dir_.filePath(three[1]), dir_.filePath(three[2])}));
    QTest::qWait(200);
    EXPECT_EQ(list()->names().size(), 8);
    EXPECT_EQ(list()->find(QStringLiteral("late.png")), -1);

    for (const QString& n : three)
        ASSERT_TRUE(QFile::remove(elsewhere.filePath(n)));
    dropTargetTakes(elsewhere, Qt::MoveAction);
    list()->dragSelectedOut();
    ASSERT_TRUE(QTest::qWaitFor([this] { return list()->find(QStringLiteral("late.png")) >= 0; }));
    for (const QString& n : three) {
        EXPECT_EQ(list()->find(n), -1) << n.toStdString();
        EXPECT_TRUE(QFile::exists(elsewhere.filePath(n)));
    }
    EXPECT_EQ(list()->names().size(), 6);
}

TEST_F(DragAndDropTest, OnePlainPictureIsDroppedAndShownWithTheListAndInformationBarAsTheyWere)
{
    const QString bmp = dir_.filePath(QStringLiteral("e.bmp"));
    EXPECT_EQ(dragOver({bmp}), Qt::CopyAction);
    EXPECT_EQ(dragOver({bmp, dir_.filePath(QStringLiteral("a.png"))}), Qt::IgnoreAction);
    EXPECT_EQ(dragOver({dir_.filePath(QStringLiteral("notes.txt"))}), Qt::IgnoreAction);
    EXPECT_EQ(dragOver({dir_.filePath(QStringLiteral("secret_png.mv$"))}), Qt::IgnoreAction);

    QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
    list()->selectRow(list()->find(QStringLiteral("b.png")));
    ASSERT_TRUE(settled.wait(20000));
    const QString infoLine = infoBar_->text();
    drop(bmp);
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
    EXPECT_EQ(list()->currentName(), QStringLiteral("b.png"));
    EXPECT_EQ(list()->selectedNames(), QStringList {QStringLiteral("b.png")});
    EXPECT_EQ(infoBar_->text(), infoLine);
    EXPECT_TRUE(viewer_.nameOnView().isEmpty()); // the picture on show is no entry's

    // A picture named so but not one: the message, and the picture on show stays.
    QStringList told;
    crypto::test::ModalWatch watch([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            told << box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->accept();
        }
    });
    drop(dir_.filePath(QStringLiteral("broken.png")));
    EXPECT_EQ(told, QStringList {QStringLiteral("Unable to display this file!")});
    EXPECT_EQ(area_->imageControl()->pictureFile(), bmp);
}

} // namespace
} // namespace mv::browser
