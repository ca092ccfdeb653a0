// The viewer as the window wires it: the file list, the picture area, the information bar and
// the keys. The entry already current, clicked again or given Enter, is shown again (after a
// cancelled key question, "Clear Viewing Area", a right click on the picture and "Clear
// Passwords" the view is empty while the entry stays current), and files that are not shown
// say why.
#include "browser/ui/SelectionViewer.h"
#include "ViewerParts.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/LeftoverOffer.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"
#include "sandbox/HelperPool.h"
#include "support/ExifPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace mv::browser {
namespace {

class SelectionViewerTest : public ::testing::Test, protected test::ViewerParts {
protected:
    void SetUp() override
    {
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        ASSERT_TRUE(img.save(path(QStringLiteral("plain.png"))));
        ASSERT_TRUE(img.save(path(QStringLiteral("secret.png"))));
        write(QStringLiteral("notes.txt"), "text");
        write(QStringLiteral("diary.txt"), "dear diary");
        for (const char* name : {"secret.png", "diary.txt"})
            ASSERT_EQ(crypto::encryptOne(path(QLatin1String(name)), "key 1").kind,
                      crypto::CryptOutcome::Done);
        write(QStringLiteral("huge.png"), "\x89PNG");
        ASSERT_TRUE(QFile(path(QStringLiteral("huge.png"))).resize(kMaxViewedFileBytes * 3 / 2));
        viewer_.askKey = [this](const QString&) {
            ++asked_;
            if (typeKey_)
                keys_.append(crypto::SecretText::fromText(QStringLiteral("key 1")));
            return typeKey_;
        };
        ASSERT_TRUE(open(5));
    }
    void clickOn(const QString& name)
    {
        const QRect row = list()->visualRect(list()->model()->index(list()->find(name), 0));
        settleAfter([&] { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row.center()); });
    }
    bool showing(const QString& name) { return area_->imageControl()->pictureFile() == path(name); }

    int asked_ = 0;
    bool typeKey_ = false;
};

TEST_F(SelectionViewerTest, AClickOrEnterOnTheCurrentEntryShowsItAgainAfterEveryWayOfClearing)
{
    const QString secret = QStringLiteral("secret_png.mv$");
    const QString plain = QStringLiteral("plain.png");

    // A cancelled key question: the same click asks again, and then the typed key opens it.
    clickOn(secret);
    EXPECT_EQ(asked_, 1);
    EXPECT_FALSE(area_->hasPicture());
    typeKey_ = true;
    clickOn(secret);
    EXPECT_EQ(asked_, 2);
    EXPECT_TRUE(showing(secret));

    // "Clear Viewing Area".
    viewer_.MenuClear_Click();
    ASSERT_FALSE(area_->hasPicture());
    clickOn(secret);
    EXPECT_TRUE(showing(secret));
    EXPECT_EQ(asked_, 2);

    // A right click on the picture.
    clickOn(plain);
    ASSERT_TRUE(showing(plain));
    QTest::mouseClick(area_->imageControl(), Qt::RightButton);
    ASSERT_FALSE(area_->hasPicture());
    clickOn(plain);
    EXPECT_TRUE(showing(plain));

    // "Clear Passwords", as its menu command does it: the key is gone, so it is asked again.
    clickOn(secret);
    keys_.clearKeys();
    viewer_.ResetView();
    typeKey_ = false;
    clickOn(secret);
    EXPECT_EQ(asked_, 3);
    EXPECT_FALSE(area_->hasPicture());

    // Enter on the current entry.
    typeKey_ = true;
    list()->setFocus();
    settleAfter([&] { QTest::keyClick(list(), Qt::Key_Return); });
    EXPECT_EQ(asked_, 4);
    EXPECT_TRUE(showing(secret));

    // A double-click on the current unsupported file: its first click chooses it again, and
    // the file is opened once that is settled.
    QStringList opened;
    viewer_.openWithDesktop = [&](const QString& path) {
        opened << path;
        return true;
    };
    const QString notes = QStringLiteral("notes.txt");
    clickOn(notes);
    const QRect row = list()->visualRect(list()->model()->index(list()->find(notes), 0));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList {dir_.filePath(notes)});
}

TEST_F(SelectionViewerTest, AnEncryptedNonPictureBeepsAndSaysWhyAndAPictureTooLargeSaysItsSize)
{
    int beeps = 0;
    viewer_.beep = [&] { ++beeps; };
    typeKey_ = true;
    clickOn(QStringLiteral("diary_txt.mv$"));
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(infoBar_->text(),
              QStringLiteral("A key fits diary_txt.mv$, but its plain name is not a picture: "
                             "decrypt it to open it"));
    viewer_.FileList_DblClick(); // never handed to another program
    EXPECT_FALSE(viewer_.unsupportedSelected());

    clickOn(QStringLiteral("huge.png"));
    EXPECT_EQ(infoBar_->text(),
              QStringLiteral("huge.png is too large to view: 1.50 GiB, and the viewer takes "
                             "files of at most 1.00 GiB"));
    EXPECT_FALSE(viewer_.unsupportedSelected());
}

TEST_F(SelectionViewerTest, LeftoversOfAKilledRunAreToldAndWipedOnlyWithConsent)
{
    QStringList asked;
    bool agree = false;
    viewer_.leftoverOffer().askWipe = [&](const QStringList& paths) {
        asked << paths;
        return agree;
    };
    const QString told = QStringLiteral(
        "This folder holds 1 temporary file(s) left by an interrupted run, which may hold private data");
    const QString wipeLeft = dir_.filePath(QStringLiteral("$MVAB12CD.TMP"));
    write(QStringLiteral("$MVAB12CD.TMP"), "plain data");
    browser_->RefreshFileList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }));
    EXPECT_EQ(asked, QStringList {wipeLeft});
    EXPECT_EQ(infoBar_->text(), told);

    // Kept: still told at every listing, never asked about again.
    browser_->RefreshFileList();
    QTest::qWait(50);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(infoBar_->text(), told);

    // A new one is asked about alone and, agreed, wiped; the kept one stays.
    agree = true;
    const QString newLeft = dir_.filePath(QStringLiteral(".mv-0123456789ab.tmp"));
    write(QStringLiteral(".mv-0123456789ab.tmp"), "more plain data");
    QSignalSpy ended(&viewer_.leftoverOffer(), &LeftoverOffer::wipeEnded);
    browser_->RefreshFileList();
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_EQ(asked, (QStringList {wipeLeft, newLeft}));
    EXPECT_FALSE(QFileInfo::exists(newLeft));
    EXPECT_TRUE(QFileInfo::exists(wipeLeft));
    EXPECT_EQ(infoBar_->text(), QStringLiteral("Wiped 1 left-over temporary file(s)"));
}

// The window does not depend on its decoders staying alive: a helper killed in the middle of a
// decode (as a crash or the kernel would end it) costs that picture only, and says so.
TEST(SelectionViewerHelpers, AHelperKilledMidDecodeLeavesTheWindowShowingTheNextPicture)
{
    // The test build of the helper, whose "a_hang.png" decodes for ever.
    const QByteArray realHelper = qgetenv("MV_DECODER_HELPER");
    qputenv("MV_DECODER_HELPER", MV_HOSTILE_HELPER);
    auto lone = std::make_unique<test::ViewerParts>();
    qputenv("MV_DECODER_HELPER", realHelper);
    lone->write(QStringLiteral("a_hang.png"), "MVTEST-HOSTILE loop");
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(img.save(lone->path(QStringLiteral("b_plain.png"))));
    SelectionViewer& viewer = lone->viewer_;
    BrowserPane* browser = lone->browser_;
    PictureArea* area = lone->area_;
    QLineEdit* infoBar = lone->infoBar_;
    auto* pool = dynamic_cast<sandbox::HelperPool*>(&viewer.decoders());
    ASSERT_NE(pool, nullptr);
    ASSERT_TRUE(lone->open(2));
    const auto killBusy = [&] {
        for (const pid_t pid : pool->busyHelpers())
            ::kill(pid, SIGKILL);
    };

    QSignalSpy settled(&viewer, &SelectionViewer::selectionSettled);
    browser->fileList()->selectRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pool->busyHelpers().empty(); }, 20000));
    killBusy();
    ASSERT_TRUE(settled.wait(20000));
    EXPECT_FALSE(area->hasPicture());
    EXPECT_EQ(infoBar->text().toStdString(),
              "Error reading this file! (the decoder was stopped: it was killed)");

    browser->fileList()->selectRow(1);
    ASSERT_TRUE(settled.wait(20000));
    EXPECT_EQ(area->imageControl()->pictureFile(), lone->path(QStringLiteral("b_plain.png")));
    // The picture before it is prepared meanwhile, and would decode for ever too.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            killBusy();
            return viewer.loader().idle();
        },
        20000));
}

// A held arrow key through camera photos: steps show the photos' embedded previews at once,
// with the checksum left blank until the whole file is read, and the sharp picture comes
// when the user stops, never the preview of a picture passed by.
TEST(SelectionViewerTravel, AHeldKeyShowsFirstLooksAndTheSharpPictureWhenTheUserStops)
{
    test::ViewerParts lone;
    QImage blue(1600, 1200, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QImage red(160, 120, QImage::Format_RGB32);
    red.fill(Qt::red);
    const auto jpeg = [](const QImage& image) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG");
        return bytes;
    };
    const QByteArray photo = mv::test::withApp1(jpeg(blue), mv::test::exifWithCopy(1, jpeg(red)));
    constexpr int kPhotos = 16;
    for (int i = 0; i < kPhotos; ++i)
        lone.write(QStringLiteral("photo_%1.jpg").arg(i, 2, 10, QLatin1Char('0')), photo);
    ASSERT_TRUE(lone.open(kPhotos));
    SelectionViewer& viewer = lone.viewer_;
    FileListView* list = lone.list();
    QLineEdit* infoBar = lone.infoBar_;
    const imaging::ImageControl* control = lone.area_->imageControl();
    const auto onShow = [&] { return control->pictureObject().image; };
    list->setFocus();
    list->selectRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.loader().idle() && onShow().width() > 160; }, 20000));

    int looks = 0;
    QString lookLine;
    QObject::connect(&viewer, &SelectionViewer::selectionSettled, [&] {
        const QString own = lone.path(list->currentName());
        if (onShow().width() != 160)
            return;
        EXPECT_EQ(control->pictureFile(), own);
        EXPECT_GT(qRed(onShow().pixel(80, 60)), 240);
        ++looks;
        lookLine = infoBar->text();
    });
    for (int i = 1; i < kPhotos; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
        QTest::qWait(30);
    }
    const QString last = lone.path(list->names().last());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return control->pictureFile() == last && onShow().width() > 160; }, 20000));
    EXPECT_GT(looks, 0);
    const QString size = QLocale().toString(qint64(photo.size()));
    EXPECT_EQ(lookLine.section(QStringLiteral(" : "), 4),
              QStringLiteral("Checksum =  : File Size = ") + size);
    EXPECT_TRUE(infoBar->text().contains(QRegularExpression(QStringLiteral("Checksum = [0-9A-F]{8} : "))))
        << infoBar->text().toStdString();
    EXPECT_LT(qRed(onShow().pixel(10, 10)), 16); // the picture itself, blue
}

} // namespace
} // namespace mv::browser
