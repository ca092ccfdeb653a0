// The thumbnail grid on screen: a scrollable surface with one cell per file, each the picture
// in a black box of the thumbnail size (or the icon of the file's type) with the file's name
// centred below, cut at both sides when it is wider. Cells keep the places they were given
// when the build began; a resize only changes how far the grid scrolls. Only the cells in
// view are painted, so a grid of thousands scrolls as smoothly as one of ten.
// The grid is reached with Tab (a click shows the cell's file, so it takes no focus): the arrow
// keys, Home, End and the page keys then move its current cell, outlined and kept in view, and
// Enter or Space shows that cell's file as a click does. Screen readers see a list whose items
// are the cells, named after their files (ThumbnailGridAccessible.h).
#pragma once

#include "viewing/ThumbnailLayout.h"
#include "viewing/ThumbnailLoad.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QIcon>

#include <algorithm>
#include <vector>

namespace mv::viewing {

class ThumbnailGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ThumbnailGrid(QWidget* parent = nullptr);

    // Empties the grid and lays it out for `plannedCells` cells of `thumbSize` pixels at the
    // present width (less the scroll bar's when that many will need it).
    void reset(int thumbSize, int plannedCells);
    // Appends a cell: the file at path, captioned with its listed name.
    void addCell(const QString& path, const QString& name, const ThumbnailOutcome& outcome);
    void clear();
    // Cells of decrypted pictures show their type's icon from now on.
    void dropDecrypted();
    // Whether a cell shows a decrypted picture.
    [[nodiscard]] bool holdsDecrypted() const
    {
        return std::any_of(cells_.begin(), cells_.end(), [](const Cell& c) { return c.sensitive; });
    }

    [[nodiscard]] int count() const { return int(cells_.size()); }
    // Cells showing a thumbnail rather than their type's icon.
    [[nodiscard]] int pictureCount() const
    {
        return int(
            std::count_if(cells_.begin(), cells_.end(), [](const Cell& c) { return !c.image.isNull(); }));
    }
    [[nodiscard]] QString pathAt(int index) const;
    // The listed name under cell `index`; empty outside the grid.
    [[nodiscard]] QString nameAt(int index) const;
    // Whether cell `index` shows a thumbnail rather than its type's icon.
    [[nodiscard]] bool showsPictureAt(int index) const;
    // The cell the keys move, -1 while there is none. It becomes the first cell when the grid
    // gets the focus; setting it keeps it in view.
    [[nodiscard]] int currentCell() const { return current_; }
    void setCurrentCell(int index);
    // Cell `index` in the grid's own coordinates (scrolled into view or not).
    [[nodiscard]] QRect cellRect(int index) const;
    [[nodiscard]] const ThumbnailLayout& layout() const { return layout_; }
    // The caption's height: the height of a line of the grid's font.
    [[nodiscard]] int captionHeight() const;
    // The whole grid as drawn, the part scrolled out of view included; null when empty.
    [[nodiscard]] QImage gridImage() const;

signals:
    // A click on a cell's picture or caption.
    void cellClicked(int index);
    void mouseMoved();
    // The current cell moved (-1: none).
    void currentCellChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Cell {
        QString path;
        QString name;
        QImage image; // device pixels
        bool sensitive = false;
        QString mimeType;
    };

    void updateScroll();
    void paintCell(QPainter& painter, int index) const;
    [[nodiscard]] const QIcon& iconFor(const QString& mimeType) const;
    [[nodiscard]] int cellAtView(QPoint viewPoint) const;
    void updateCell(int index);
    // Tells screen readers the cells changed, or which one has the focus now.
    void announceCells();
    void announceCurrent();

    std::vector<Cell> cells_;
    ThumbnailLayout layout_ {0, kDefaultThumbSize};
    int pressed_ = -1;
    int current_ = -1;
    mutable QHash<QString, QIcon> icons_;
};

} // namespace mv::viewing
