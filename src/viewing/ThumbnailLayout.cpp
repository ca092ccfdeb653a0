#include "viewing/ThumbnailLayout.h"

#include <algorithm>
#include <iterator>

namespace mv::viewing {

ThumbnailLayout::ThumbnailLayout(int usableWidth, int thumbSize)
    : size_(std::max(1, thumbSize)),
      // A cell fits while its right edge and the gap after it stay within the width.
      columns_(std::max(1, (usableWidth - kThumbMargin) / (size_ + kThumbMargin)))
{
}

QRect ThumbnailLayout::pictureBox(int index) const
{
    const int x = kThumbMargin + (index % columns_) * columnPitch();
    const int y = kThumbMargin + (index / columns_) * rowPitch();
    return {x, y, size_, size_};
}

QRect ThumbnailLayout::captionBox(int index, int lineHeight) const
{
    const QRect box = pictureBox(index);
    return {box.left(), box.bottom() + 1 + kThumbMargin, size_, lineHeight};
}

int ThumbnailLayout::cellAt(QPoint point, int cells) const
{
    if (point.x() < kThumbMargin || point.y() < kThumbMargin)
        return -1;
    const int column = (point.x() - kThumbMargin) / columnPitch();
    const int row = (point.y() - kThumbMargin) / rowPitch();
    const int index = row * columns_ + column;
    if (column >= columns_ || index >= cells)
        return -1;
    return cellBox(index).contains(point) ? index : -1;
}

QRect ThumbnailLayout::cellBox(int index) const
{
    const QRect box = pictureBox(index);
    return {box.left(), box.top(), size_, rowPitch() - kThumbMargin};
}

int ThumbnailLayout::heightFor(int cells) const
{
    if (cells <= 0)
        return 0;
    const int rows = (cells + columns_ - 1) / columns_;
    return kThumbMargin + rows * rowPitch();
}

ThumbScroll thumbScroll(int gridHeight, int viewHeight)
{
    ThumbScroll s;
    if (viewHeight <= 0 || gridHeight <= viewHeight)
        return s;
    s.visible = true;
    s.maximum = gridHeight - viewHeight;
    s.singleStep = (gridHeight / viewHeight) * 10;
    s.pageStep = viewHeight;
    return s;
}

QList<int> thumbnailRows(int count, QList<int> selectedRows)
{
    QList<int> rows;
    if (selectedRows.size() < 2) {
        rows.reserve(count);
        for (int i = 0; i < count; ++i)
            rows.append(i);
        return rows;
    }
    std::sort(selectedRows.begin(), selectedRows.end());
    for (const int r : selectedRows)
        if (r >= 0 && r < count && (rows.isEmpty() || rows.last() != r))
            rows.append(r);
    return rows;
}

int thumbSizeIndex(qint64 stored)
{
    int nearest = 0;
    for (int i = 1; i < int(std::size(kThumbSizes)); ++i) {
        // Distances from a stored value anywhere in its range, negative ones included.
        const auto distance = [stored](int size) {
            return stored < size ? quint64(size) - quint64(stored) : quint64(stored) - quint64(size);
        };
        if (distance(kThumbSizes[i]) <= distance(kThumbSizes[nearest]))
            nearest = i;
    }
    return nearest;
}

int usableThumbSize(qint64 stored)
{
    return kThumbSizes[thumbSizeIndex(stored)];
}

} // namespace mv::viewing
