// The thumbnail view of the main window: "View Thumbnails" puts a grid of the listed files in
// place of the picture (all of them while at most one is selected, otherwise the selected
// ones), built cell by cell from the top while the window stays free to use; Esc or "Clear
// Viewing Area" stops a build, the cells made so far staying. Encrypted pictures are opened
// with the keys typed so far, or with one the user types when none fits; cancelling that
// question ends the build. A click on a cell shows its file; a right click on the picture, or
// a click beside it, brings the grid back until "Clear Viewing Area" ends the thumbnail mode.
#pragma once

#include "viewing/ThumbnailBuilder.h"
#include "viewing/ThumbnailLayout.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QShortcut;
class QWidget;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::widgets {
class Job;
} // namespace mv::widgets

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {

class PictureArea;
class SelectionViewer;
class ThumbnailGrid;

class ThumbnailView : public QObject {
    Q_OBJECT

public:
    // The grid is laid over the picture area; Esc is taken in `window` while the mode is on.
    ThumbnailView(browser::BrowserPane& browser, PictureArea& area, SelectionViewer& viewer,
                  crypto::KeyState& keys, QWidget* window);
    ~ThumbnailView() override;

    // `ThumbMode`: from the start of a build until "Clear Viewing Area" ends the grid.
    [[nodiscard]] bool ThumbMode() const { return thumbMode_; }
    // `StopThumbs`: false while a build runs.
    [[nodiscard]] bool StopThumbs() const { return !builder_.running(); }
    // `ThumbSize`: the size of the next build; a grid on show is not rebuilt.
    [[nodiscard]] int ThumbSize() const { return thumbSize_; }
    void setThumbSize(int pixels);

    // `mnuThumb_Click`: builds the grid afresh.
    void mnuThumb_Click();
    // "Clear Viewing Area": with the grid on show, stops a build, or ends the grid when none
    // runs; then, unless a build was only stopped, clears the picture area as the viewer does.
    void MenuClear_Click();
    // Esc in the window: stops a build while the mode is on. Returns whether it was taken.
    bool escapePressed();
    // `ThumbClick_Click`: shows the file under cell `index`, if it is still in the list.
    void ThumbClick_Click(int index);

    [[nodiscard]] bool gridShown() const;
    // The grid as an image, for the clipboard; null when the grid is not on show.
    [[nodiscard]] QImage gridImage() const;
    // Cells of decrypted pictures show their type's icon from now on.
    void dropDecrypted();
    // Whether the grid on show holds decrypted pictures.
    [[nodiscard]] bool gridHoldsDecrypted() const;
    [[nodiscard]] ThumbnailGrid* grid() const { return grid_; }
    [[nodiscard]] const ThumbnailBuilder& builder() const { return builder_; }

    // `AskKey` for the file; false when cancelled. Tests replace it.
    std::function<bool(const QString& path)> askKey;
    // The desktop's thumbnail cache; none: thumbnails stay in memory. Tests point it elsewhere.
    std::shared_ptr<const desktop::ThumbnailCache> diskCache;

signals:
    // The mouse moved over the grid (the window's auto-hide follows it).
    void mouseMovedOverGrid();
    // A build ended: done, stopped, or a key question cancelled.
    void buildEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGrid();
    void hideGrid();
    void endGrid();
    void setThumbMode(bool on);
    void onKeyNeeded(int index);
    [[nodiscard]] std::vector<crypto::SecretText> keysInHand() const;

    browser::BrowserPane& browser_;
    PictureArea& area_;
    SelectionViewer& viewer_;
    crypto::KeyState& keys_;
    QWidget* window_;
    ThumbnailGrid* grid_;
    QShortcut* escape_;
    ThumbnailBuilder builder_;
    widgets::Job* job_;
    QList<ThumbnailBuilder::Entry> entries_; // of the grid on show
    int thumbSize_ = kDefaultThumbSize;
    bool thumbMode_ = false;
};

} // namespace mv::viewing
