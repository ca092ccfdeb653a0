// The viewer as the window wires it: the file list, the picture area, the information bar and
// the keys. Encrypted pictures with a remembered or a typed key, the entry already current shown
// again after every way of clearing, and the messages of files that are not shown. The
// thumbnail view over it: the grid over the picture area, the file list's selection choosing the
// files, encrypted pictures with the keys typed so far or asked for, and the ways a build stops
// and the grid ends. Exchanges with other programs, with the widgets the window uses and the
// offscreen platform's clipboard: what Copy to Clipboard offers, files dragged out of the file
// list, pictures dropped on the picture area. The drag's own loop needs a desktop, so the drop
// target is played here.
#include "ViewerParts.h"
#include "browser/ui/LeftoverOffer.h"
#include "crypto/FileCrypt.h"
#include "crypto/ui/DialogDriver.h"
#include "imaging/ui/ImageControl.h"
#include "support/ExifPhoto.h"
#include "viewing/ui/PictureCopy.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailGrid.h"
#include "viewing/ui/ThumbnailView.h"

#include <QClipboard>
#include <QDrag>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
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

class ThumbnailViewTest : public ::testing::Test, protected test::ViewerParts {
protected:
    void SetUp() override
    {
        // a.png b.png c_png.mv$ d.png e.txt, in list order.
        for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
            writePicture(QLatin1String(name), mvtest::flat(120, 60, Qt::darkCyan));
        write(u"e.txt"_s, "notes");
        ASSERT_EQ(crypto::encryptOne(dir_.filePath(u"c.png"_s), "key 1").kind, crypto::CryptOutcome::Done);
        view_.diskCache = std::make_shared<const desktop::ThumbnailCache>(cache_.path());
        view_.askKey = [this](const QString&) {
            ++asked_;
            return false;
        };
        ASSERT_TRUE(open(5, 400));
        host_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
    }
    ThumbnailGrid* grid() { return view_.grid(); }
    void build()
    {
        QSignalSpy ended(&view_, &ThumbnailView::buildEnded);
        view_.mnuThumb_Click();
        ASSERT_TRUE(ended.count() || ended.wait(20000));
    }
    void select(std::initializer_list<int> rows)
    {
        QItemSelectionModel* s = list()->selectionModel();
        s->clear();
        for (const int r : rows)
            s->select(list()->model()->index(r, 0), QItemSelectionModel::Select);
    }

    QTemporaryDir cache_;
    ThumbnailView view_ {*browser_, *area_, viewer_, keys_, &host_};
    int asked_ = 0;
};

TEST_F(ThumbnailViewTest, AKeyInHandShowsEncryptedPicturesWithoutAPromptAndACancelledOneLeavesTwoCells)
{
    keys_.append(crypto::SecretText::fromText(u"key 1"_s));
    const QStringList before = mvtest::filesUnder(dir_.path());
    view_.setThumbSize(80);
    select({1}); // one selected: every file
    build();
    EXPECT_EQ(asked_, 0);
    ASSERT_EQ(grid()->count(), 5);
    EXPECT_TRUE(view_.ThumbMode() && view_.StopThumbs() && view_.gridShown());
    // Four thumbnails of 80 in the 400 pixels of the area, the fifth on the next row.
    EXPECT_EQ(grid()->layout().pictureBox(4), QRect(4, 114, 80, 80));
    EXPECT_EQ(grid()->pathAt(2), dir_.filePath(u"c_png.mv$"_s));
    // Nothing decrypted reached a file; the folder holds an encrypted file, so the desktop's
    // cache got nothing either.
    EXPECT_EQ(mvtest::filesUnder(dir_.path()), before);
    EXPECT_TRUE(mvtest::filesUnder(cache_.path()).isEmpty());
    // The grid as an image, for the clipboard: the decrypted one drawn in it.
    const QImage image = view_.gridImage();
    EXPECT_EQ(image.size(), QSize(grid()->viewport()->width(), grid()->viewport()->height()));
    EXPECT_EQ(image.pixelColor(172 + 40, 4 + 40), QColor(Qt::darkCyan));
    // "Clear Passwords": the decrypted picture goes, its neighbours stay.
    keys_.clearKeys();
    EXPECT_NE(view_.gridImage().pixelColor(172 + 40, 4 + 40), QColor(Qt::darkCyan));
    EXPECT_EQ(view_.gridImage().pixelColor(88 + 40, 4 + 40), QColor(Qt::darkCyan));

    // Two selected: those two only.
    select({0, 3});
    build();
    ASSERT_EQ(grid()->count(), 2);
    EXPECT_EQ(grid()->pathAt(1), dir_.filePath(u"d.png"_s));

    // Every file again, no key in hand: the prompt for the third is cancelled, two cells stay.
    select({1});
    build();
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(grid()->count(), 2);
    EXPECT_TRUE(view_.StopThumbs() && view_.ThumbMode() && view_.gridShown());
}

TEST_F(ThumbnailViewTest, EscStopsABuildAndClearViewingAreaEndsTheGrid)
{
    // Esc does nothing here while the mode is off.
    EXPECT_FALSE(view_.escapePressed());
    keys_.append(crypto::SecretText::fromText(u"key 1"_s));
    QSignalSpy ended(&view_, &ThumbnailView::buildEnded);
    view_.mnuThumb_Click();
    ASSERT_FALSE(view_.StopThumbs());
    QTest::keyClick(&host_, Qt::Key_Escape);
    EXPECT_TRUE(view_.StopThumbs());
    EXPECT_EQ(ended.count(), 1);
    QTest::qWait(300);
    EXPECT_EQ(grid()->count(), 0); // stopped before the first cell: none comes later
    EXPECT_TRUE(view_.ThumbMode());

    // A click on a cell shows its file in place of the grid; a right click on it comes back.
    build();
    ASSERT_EQ(grid()->count(), 5);
    QSignalSpy settled(&viewer_, &SelectionViewer::selectionSettled);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->layout().pictureBox(1).center());
    ASSERT_TRUE(settled.count() || settled.wait(20000));
    EXPECT_FALSE(view_.gridShown());
    EXPECT_EQ(area_->imageControl()->pictureFile(), dir_.filePath(u"b.png"_s));
    EXPECT_TRUE(view_.gridImage().isNull());
    QTest::mouseClick(area_->imageControl(), Qt::RightButton);
    EXPECT_TRUE(view_.gridShown());

    // "Clear Viewing Area" with no build running ends the grid and the mode.
    view_.MenuClear_Click();
    EXPECT_FALSE(view_.gridShown());
    EXPECT_FALSE(view_.ThumbMode());
    EXPECT_EQ(grid()->count(), 0);
}

// The keys move the grid's current cell in reading order: a step up or down stays in its
// column, Down over a shorter last row ends on the last cell, a page is the rows in view, and
// no key leaves the grid. Enter shows the current cell as a click does.
TEST(ThumbnailGridKeys, MoveTheCurrentCellWithinTheGridAndEnterChoosesIt)
{
    ThumbnailGrid grid;
    grid.resize(4 + 3 * 84 + 20, 150); // three columns, one row in view
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.reset(80, 0);
    ASSERT_EQ(grid.layout().columns(), 3);
    for (int i = 0; i < 7; ++i) // rows 0 1 2 / 3 4 5 / 6
        grid.addCell(QString::number(i), QString::number(i), ThumbnailOutcome {});
    const struct {
        int from;
        Qt::Key key;
        int to;
    } steps[] = {{4, Qt::Key_Down, 6},   {5, Qt::Key_Down, 6},     {6, Qt::Key_Down, 6},
                 {1, Qt::Key_Up, 1},     {4, Qt::Key_Up, 1},       {0, Qt::Key_Left, 0},
                 {6, Qt::Key_Right, 6},  {2, Qt::Key_Right, 3},    {5, Qt::Key_Home, 0},
                 {1, Qt::Key_End, 6},    {1, Qt::Key_PageDown, 4}, {4, Qt::Key_PageDown, 6},
                 {6, Qt::Key_PageUp, 3}, {2, Qt::Key_PageUp, 2}};
    for (const auto& s : steps) {
        grid.setCurrentCell(s.from);
        QTest::keyClick(&grid, s.key);
        EXPECT_EQ(grid.currentCell(), s.to) << s.from << " key " << s.key;
    }
    QSignalSpy chosen(&grid, &ThumbnailGrid::cellClicked);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 2);
}

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

// A bitmap is copied as its pixels, a metafile with its own bytes too, an encrypted picture as
// its pixels alone, and a photo shown reduced whole.
TEST_F(ClipboardAndDragTest, EachPictureIsCopiedAsItsPixelsAMetafileWithItsBytesAndAnEncryptedOneBare)
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

    choose(u"secret_wmf.mv$"_s);
    ASSERT_TRUE(viewer_.viewingEncrypted());
    data = copied();
    // No file name, no metafile bytes, no text: the pixels alone.
    EXPECT_EQ(data->formats(), QStringList {u"application/x-qt-image"_s});
    EXPECT_EQ(imageOf(data).pixel(50, 50), qRgb(255, 0, 0));
    area_->setZoomIndex(0); // Best Fit: the JPEG is decoded at a fraction of its size
    choose(u"photo.jpg"_s);
    ASSERT_LT(area_->imageControl()->pictureObject().image.width(), 2000);
    EXPECT_EQ(imageOf(copied()).size(), QSize(2000, 1600));

    // Nothing on show: what the clipboard held goes, nothing is copied, and nothing said.
    viewer_.MenuClear_Click();
    copy_.MenuCpoy_Click();
    data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || data->formats().isEmpty());
    EXPECT_EQ(told_.size(), 1);
}

// Files moved out by a drag leave the list at once, without a refresh asked for.
TEST_F(ClipboardAndDragTest, FilesMovedOutByADragLeaveTheList)
{
    const QTemporaryDir elsewhere;
    const QStringList three {u"broken.png"_s, u"notes.txt"_s, u"plain.bmp"_s};
    for (const QString& n : three)
        list()->selectionModel()->select(entry(n), QItemSelectionModel::Select);
    QStringList offered;
    list()->runDrag = [&](QDrag& drag) {
        for (const QUrl& url : drag.mimeData()->urls()) {
            offered << url.toLocalFile();
            EXPECT_TRUE(QFile::rename(url.toLocalFile(), elsewhere.filePath(url.fileName())));
        }
        return Qt::MoveAction;
    };
    list()->dragSelectedOut();
    EXPECT_EQ(offered, (QStringList {path(three[0]), path(three[1]), path(three[2])}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return list()->find(u"plain.bmp"_s) == -1; }));
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
