// Where the thumbnail grid puts each cell, how its scroll bar is set, and which files of the
// list it shows: arithmetic only, so the grid widget and the tests share one rule. Cells are
// laid out in rows from the top left with a margin and gap of 4 pixels; a row holds as many
// cells as fit in the usable width (at least one); each cell is the picture box of the
// thumbnail size with its caption in the 26-pixel band below it.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace mv::viewing {

inline constexpr int kThumbMargin = 4;       // margin around the grid and gap between cells
inline constexpr int kThumbCaptionBand = 26; // below the picture box: the gap and the caption
// The sizes of the "Thumbnail Size..." menu, in its order.
inline constexpr int kThumbSizes[] = {60, 80, 100, 120, 140, 160, 180, 200};
inline constexpr int kDefaultThumbSize = 80;

class ThumbnailLayout {
public:
    ThumbnailLayout(int usableWidth, int thumbSize);

    [[nodiscard]] int thumbSize() const { return size_; }
    [[nodiscard]] int columns() const { return columns_; }
    // The column pitch: the size and the gap.
    [[nodiscard]] int columnPitch() const { return size_ + kThumbMargin; }
    // The row pitch: the picture box, the gap and the caption band.
    [[nodiscard]] int rowPitch() const { return size_ + kThumbMargin + kThumbCaptionBand; }
    // The picture box of cell `index`, counted from 0 in reading order.
    [[nodiscard]] QRect pictureBox(int index) const;
    // The caption's rectangle: as wide as the picture box, `lineHeight` high, 4 below it.
    [[nodiscard]] QRect captionBox(int index, int lineHeight) const;
    // Cell `index` whole: its picture box and the caption band under it, less the gap.
    [[nodiscard]] QRect cellBox(int index) const;
    // The cell under a point of the grid (the picture box and its caption), or -1.
    [[nodiscard]] int cellAt(QPoint point, int cells) const;
    // The grid's height with `cells` cells: the last row's bottom, caption band included.
    [[nodiscard]] int heightFor(int cells) const;

private:
    int size_;
    int columns_;
};

// The grid's scroll bar for a grid `gridHeight` high in a window `viewHeight` high: shown while
// the grid is taller; the arrows move ten pixels for each window height the grid holds.
struct ThumbScroll {
    bool visible = false;
    int maximum = 0;
    int singleStep = 0;
    int pageStep = 0;
};
ThumbScroll thumbScroll(int gridHeight, int viewHeight);

// The rows of a list of `count` entries the grid shows, in list order: all of them while at
// most one is selected, otherwise the selected ones.
QList<int> thumbnailRows(int count, QList<int> selectedRows);

// The "Thumbnail Size..." item for a stored "ThumbSize": its index in kThumbSizes. A size the
// menu does not offer takes the nearest one it does (the larger of two as near), so that the
// grid always has a size the menu shows checked.
int thumbSizeIndex(qint64 stored);
// The grid's size for a stored "ThumbSize": the menu's size at thumbSizeIndex().
int usableThumbSize(qint64 stored);

} // namespace mv::viewing
