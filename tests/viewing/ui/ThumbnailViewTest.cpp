// The thumbnail view as the window wires it: the grid over the picture area, the file list's
// selection choosing the files, encrypted pictures with the keys typed so far or asked for, and
// the ways a build stops and the grid ends.
#include "viewing/ui/ThumbnailView.h"
#include "ViewerParts.h"
#include "imaging/ui/ImageControl.h"
#include "viewing/ui/ThumbnailGrid.h"

#include <QItemSelectionModel>

using namespace Qt::StringLiterals;

namespace mv::viewing {
namespace {

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
    EXPECT_EQ(grid()->layout().columns(), 4);
    EXPECT_EQ(grid()->layout().pictureBox(3), QRect(256, 4, 80, 80));
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
    struct Step {
        int from;
        Qt::Key key;
        int to;
    };
    for (const Step& s : std::initializer_list<Step> {{4, Qt::Key_Down, 6},
                                                      {5, Qt::Key_Down, 6},
                                                      {6, Qt::Key_Down, 6},
                                                      {1, Qt::Key_Up, 1},
                                                      {4, Qt::Key_Up, 1},
                                                      {0, Qt::Key_Left, 0},
                                                      {6, Qt::Key_Right, 6},
                                                      {2, Qt::Key_Right, 3},
                                                      {5, Qt::Key_Home, 0},
                                                      {1, Qt::Key_End, 6},
                                                      {1, Qt::Key_PageDown, 4},
                                                      {4, Qt::Key_PageDown, 6},
                                                      {6, Qt::Key_PageUp, 3},
                                                      {2, Qt::Key_PageUp, 2}}) {
        grid.setCurrentCell(s.from);
        QTest::keyClick(&grid, s.key);
        EXPECT_EQ(grid.currentCell(), s.to) << s.from << " key " << s.key;
    }
    QSignalSpy chosen(&grid, &ThumbnailGrid::cellClicked);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 2);
}

} // namespace
} // namespace mv::viewing
