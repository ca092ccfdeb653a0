// The viewer as the window wires it: the file list, the picture area, the information bar and
// the keys. Encrypted pictures with a remembered or a typed key, the entry already current shown
// again after every way of clearing, and the messages of files that are not shown.
#include "viewing/ui/SelectionViewer.h"
#include "ViewerParts.h"
#include "browser/ui/LeftoverOffer.h"
#include "crypto/FileCrypt.h"
#include "imaging/ui/ImageControl.h"
#include "support/ExifPhoto.h"

#include <gmock/gmock.h>

#include <QLocale>
#include <QRegularExpression>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace mv::viewing {
namespace {

const QString kBanner = u"Mirravelnock! version 0"_s;

class SelectionViewerTest : public ::testing::Test, protected test::ViewerParts {
protected:
    void SetUp() override
    {
        for (const QString& name : {u"plain.png"_s, u"secret.png"_s})
            writePicture(name, mvtest::flat(40, 20, Qt::darkCyan));
        write(u"notes.txt"_s, "text");
        write(u"diary.txt"_s, "dear diary");
        write(u"broken.png"_s, "\x89PNG\r\n\x1a\nbut nothing more");
        for (const char* name : {"secret.png", "diary.txt"})
            ASSERT_EQ(crypto::encryptOne(path(QLatin1String(name)), "key 1").kind,
                      crypto::CryptOutcome::Done);
        write(u"huge.png"_s, "\x89PNG");
        ASSERT_TRUE(QFile(path(u"huge.png"_s)).resize(kMaxViewedFileBytes * 3 / 2));
        viewer_.bannerText = kBanner;
        viewer_.askKey = [this](const QString&) {
            ++asked_;
            if (typeKey_)
                keys_.append(crypto::SecretText::fromText(u"key 1"_s));
            return typeKey_;
        };
        viewer_.openWithDesktop = [this](const QString& path) {
            opened_ << path;
            return true;
        };
        ASSERT_TRUE(open(6));
    }
    void clickOn(const QString& name)
    {
        const QRect row = rowOf(name);
        settleAfter([&] { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row.center()); });
    }
    bool showing(const QString& name) { return area_->imageControl()->pictureFile() == path(name); }
    QString info() const { return infoBar_->text(); }

    int asked_ = 0;
    bool typeKey_ = false;
    QStringList opened_;
};

TEST_F(SelectionViewerTest, AClickOrEnterOnTheCurrentEntryShowsItAgainAfterEveryWayOfClearing)
{
    const QString secret = u"secret_png.mv$"_s;
    const QString plain = u"plain.png"_s;
    const QStringList onDisk = QDir(dir_.path()).entryList(QDir::Files);

    // A cancelled key question: the same click asks again, and then the typed key opens it.
    clickOn(secret);
    EXPECT_EQ(asked_, 1);
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(info(), kBanner);
    typeKey_ = true;
    clickOn(secret);
    EXPECT_EQ(asked_, 2);
    EXPECT_TRUE(showing(secret));
    EXPECT_TRUE(viewer_.viewingEncrypted());
    EXPECT_TRUE(info().startsWith(u"(Encrypted) secret_png.mv$ : Width = 40 : Height = 20 : Colors = "_s))
        << info().toStdString();

    // "Clear Viewing Area": the remembered key opens it without a question.
    viewer_.MenuClear_Click();
    ASSERT_FALSE(area_->hasPicture());
    clickOn(secret);
    EXPECT_TRUE(showing(secret));
    EXPECT_EQ(asked_, 2);

    // A right click on the picture.
    clickOn(plain);
    ASSERT_TRUE(showing(plain));
    EXPECT_FALSE(viewer_.viewingEncrypted());
    EXPECT_TRUE(info().startsWith(u"plain.png : Width = 40 : Height = 20"_s)) << info().toStdString();
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
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), onDisk) << "nothing was written beside the files";

    // A double-click on the current unsupported file: its first click chooses it again, and
    // the file is opened once that is settled.
    const QString notes = u"notes.txt"_s;
    clickOn(notes);
    EXPECT_EQ(info(), u"You must double click to run unsupported files"_s);
    EXPECT_TRUE(viewer_.unsupportedSelected());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowOf(notes).center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowOf(notes).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened_.isEmpty(); }));
    EXPECT_EQ(opened_, QStringList {path(notes)});
}

// Only unsupported files are handed to another program: not a damaged picture, not an
// encrypted file whose plain name is no picture, not one too large to view.
TEST_F(SelectionViewerTest, FilesThatAreNotShownSayWhyAndAreNeverOpenedElsewhere)
{
    int beeps = 0;
    viewer_.beep = [&] { ++beeps; };
    clickOn(u"broken.png"_s);
    EXPECT_EQ(info(), u"Error reading this file!"_s);
    EXPECT_FALSE(area_->hasPicture());
    viewer_.FileList_DblClick();

    typeKey_ = true;
    clickOn(u"diary_txt.mv$"_s);
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(info(),
              u"A key fits diary_txt.mv$, but its plain name is not a picture: decrypt it to open it"_s);
    viewer_.FileList_DblClick();
    EXPECT_FALSE(viewer_.unsupportedSelected());

    clickOn(u"huge.png"_s);
    EXPECT_EQ(info(),
              u"huge.png is too large to view: 1.50 GiB, and the viewer takes files of at most 1.00 GiB"_s);
    EXPECT_FALSE(viewer_.unsupportedSelected());
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(SelectionViewerTest, LeftoversOfAKilledRunAreToldAndWipedOnlyWithConsent)
{
    QStringList asked;
    bool agree = false;
    viewer_.leftoverOffer().askWipe = [&](const QStringList& paths) {
        asked << paths;
        return agree;
    };
    const QString told =
        u"This folder holds 1 temporary file(s) left by an interrupted run, which may hold private data"_s;
    write(u"$MVAB12CD.TMP"_s, "plain data");
    browser_->RefreshFileList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }));
    EXPECT_EQ(asked, QStringList {path(u"$MVAB12CD.TMP"_s)});
    EXPECT_EQ(info(), told);

    // Kept: still told at every listing, never asked about again.
    browser_->RefreshFileList();
    QTest::qWait(50);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(info(), told);

    // A new one is asked about alone and, agreed, wiped; the kept one stays.
    agree = true;
    write(u".mv-0123456789ab.tmp"_s, "more plain data");
    QSignalSpy ended(&viewer_.leftoverOffer(), &browser::LeftoverOffer::wipeEnded);
    browser_->RefreshFileList();
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_EQ(asked, (QStringList {path(u"$MVAB12CD.TMP"_s), path(u".mv-0123456789ab.tmp"_s)}));
    EXPECT_FALSE(QFileInfo::exists(path(u".mv-0123456789ab.tmp"_s)));
    EXPECT_TRUE(QFileInfo::exists(path(u"$MVAB12CD.TMP"_s)));
    EXPECT_EQ(info(), u"Wiped 1 left-over temporary file(s)"_s);
}

// The window does not depend on its decoders staying alive or honest. A helper taken over that
// forges its answer, an indexed picture without its colours (drawing it read past the colour
// table and crashed the window), never reaches the picture area, and the window says the decoder
// was stopped. A helper killed in the middle of a decode (as a crash or the kernel would end it)
// costs that picture only, and says so; waiting for it, the information line says which picture
// is being decoded.
TEST(SelectionViewerHelpers, AForgedOrKilledHelperCostsThatPictureOnlyAndTheWindowSaysTheDecoderStopped)
{
    auto lone = std::make_unique<test::ViewerParts>(test::ViewerParts::hostile());
    lone->write(u"a_hang.png"_s, "MVTEST-HOSTILE loop");
    lone->writePicture(u"b_plain.png"_s, mvtest::flat(40, 20, Qt::darkCyan));
    lone->write(u"c_forged.png"_s, "MVTEST-HOSTILE forge no-colours");
    SelectionViewer& viewer = lone->viewer_;
    auto* pool = dynamic_cast<sandbox::HelperPool*>(&viewer.decoders());
    ASSERT_NE(pool, nullptr);
    ASSERT_TRUE(lone->open(3));

    lone->choose(u"c_forged.png"_s);
    (void)lone->host_.grab(); // paints the window as it stands
    EXPECT_FALSE(lone->area_->hasPicture());
    EXPECT_EQ(lone->infoBar_->text().toStdString(),
              "Error reading this file! (the decoder was stopped: its answer was malformed)");
    const auto killBusy = [&] {
        for (const pid_t pid : pool->busyHelpers())
            ::kill(pid, SIGKILL);
    };

    // While it waits, the information line names the file selected, not the one on show.
    lone->choose(u"b_plain.png"_s);
    QSignalSpy settled(&viewer, &SelectionViewer::selectionSettled);
    lone->list()->selectRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pool->busyHelpers().empty(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return lone->infoBar_->text() == u"a_hang.png is being decoded..."_s; },
                                SelectionViewer::kSlowNoteMs + 2000))
        << lone->infoBar_->text().toStdString();
    // The helper preparing it ahead may be killed first; the selection's own load follows.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            killBusy();
            return settled.count() > 0;
        },
        20000));
    EXPECT_FALSE(lone->area_->hasPicture());
    EXPECT_EQ(lone->infoBar_->text().toStdString(),
              "Error reading this file! (the decoder was stopped: it was killed)");

    lone->choose(u"b_plain.png"_s);
    EXPECT_EQ(lone->area_->imageControl()->pictureFile(), lone->path(u"b_plain.png"_s));
    const QImage drawn = lone->area_->imageControl()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2), QColor(Qt::darkCyan));
    // The picture before it is prepared meanwhile, and would decode for ever too.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            killBusy();
            return viewer.loader().idle();
        },
        20000));
}

// A decoder taken over by a hostile picture keeps the last decrypted picture it decoded and
// hands it out as the pixels of the next plain one, whose thumbnail would then be written to
// disk. The helper that decoded the decrypted picture is gone once it answered: after the view
// has moved on, no running helper is it, and the plain picture gets no decrypted pixels.
TEST(SelectionViewerHelpers, NoHelperHoldsADecryptedPictureOnceTheViewHasMovedOn)
{
    // One helper: every picture goes to the same one unless it is ended.
    test::ViewerParts lone(test::ViewerParts::hostile(1));
    lone.writePicture(u"a_plain.png"_s, mvtest::flat(40, 20, Qt::darkCyan));
    lone.writePicture(u"b_secret.png"_s, mvtest::flat(40, 20, Qt::red));
    ASSERT_EQ(crypto::encryptOne(lone.path(u"b_secret.png"_s), "key 1").kind, crypto::CryptOutcome::Done);
    lone.write(u"c_replay.png"_s, "MVTEST-HOSTILE replay");
    lone.keys_.append(crypto::SecretText::fromText(u"key 1"_s));
    SelectionViewer& viewer = lone.viewer_;
    auto* pool = dynamic_cast<sandbox::HelperPool*>(&viewer.decoders());
    ASSERT_NE(pool, nullptr);
    ASSERT_TRUE(lone.open(3));

    lone.choose(u"a_plain.png"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.loader().idle(); }, 20000));
    viewer.loader().forgetPrepared();
    const std::vector<pid_t> beforeSecret = pool->helperPids();
    ASSERT_EQ(beforeSecret.size(), 1u);

    lone.choose(u"b_secret_png.mv$"_s);
    ASSERT_EQ(lone.area_->imageControl()->pictureFile(), lone.path(u"b_secret_png.mv$"_s));
    ASSERT_EQ(lone.area_->imageControl()->pictureObject().image.pixel(0, 0), QColor(Qt::red).rgb());
    lone.choose(u"c_replay.png"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.loader().idle(); }, 20000));
    // The helper that replays had nothing to replay: the picture is one it could not decode.
    EXPECT_EQ(lone.infoBar_->text().toStdString(), "Error reading this file!");
    EXPECT_FALSE(lone.area_->hasPicture());
    EXPECT_THAT(pool->helperPids(), ::testing::Not(::testing::Contains(beforeSecret.front())));
    EXPECT_EQ(::kill(beforeSecret.front(), 0), -1);
}

// A held arrow key through camera photos: steps show the photos' embedded previews at once,
// with the checksum left blank until the whole file is read, and the sharp picture comes
// when the user stops, never the preview of a picture passed by.
TEST(SelectionViewerTravel, AHeldKeyShowsFirstLooksAndTheSharpPictureWhenTheUserStops)
{
    test::ViewerParts lone;
    const QByteArray photo = mv::test::withApp1(
        mvtest::bytesOf(mvtest::flat(1600, 1200, Qt::blue), "JPG"),
        mv::test::exifWithCopy(1, mvtest::bytesOf(mvtest::flat(160, 120, Qt::red), "JPG")));
    constexpr int kPhotos = 16;
    for (int i = 0; i < kPhotos; ++i)
        lone.write(u"photo_%1.jpg"_s.arg(i, 2, 10, QLatin1Char('0')), photo);
    ASSERT_TRUE(lone.open(kPhotos));
    SelectionViewer& viewer = lone.viewer_;
    browser::FileListView* list = lone.list();
    const imaging::ImageControl* control = lone.area_->imageControl();
    const auto onShow = [&] { return control->pictureObject().image; };
    list->setFocus();
    list->selectRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.loader().idle() && onShow().width() > 160; }, 20000));

    int looks = 0;
    QString lookLine;
    QObject::connect(&viewer, &SelectionViewer::selectionSettled, [&] {
        if (onShow().width() != 160)
            return;
        EXPECT_EQ(control->pictureFile(), lone.path(list->currentName()));
        EXPECT_GT(qRed(onShow().pixel(80, 60)), 240);
        ++looks;
        lookLine = lone.infoBar_->text();
    });
    for (int i = 1; i < kPhotos; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
        QTest::qWait(30);
    }
    const QString last = lone.path(list->names().last());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return control->pictureFile() == last && onShow().width() > 160; }, 20000));
    EXPECT_GT(looks, 0);
    EXPECT_EQ(lookLine.section(u" : "_s, 4),
              u"Checksum =  : File Size = "_s + QLocale().toString(qint64(photo.size())));
    const QString line = lone.infoBar_->text();
    EXPECT_TRUE(line.contains(QRegularExpression(u"Checksum = [0-9A-F]{8} : "_s))) << line.toStdString();
    EXPECT_LT(qRed(onShow().pixel(10, 10)), 16); // the picture itself, blue
}

} // namespace
} // namespace mv::viewing
