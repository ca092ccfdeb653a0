// The picture control of the viewer and the thumbnail grid. It shows a picture decoded on a
// worker, keeps the decoding options the menus set (for the worker to decode with), and draws the
// picture fitted to its width or height, or at a zoom factor (then it sizes itself to the
// zoomed picture; 100 % is one picture pixel per device pixel, also on a scaled screen).
// An animated picture plays while the control is visible.
#pragma once

#include "imaging/base/DecodeOptions.h"
#include "imaging/base/DrawnSize.h"
#include "imaging/base/Picture.h"
#include "imaging/ui/FramePlayer.h"
#include "imaging/ui/ScaledCache.h"

#include <QColor>
#include <QWidget>

namespace mv::imaging {

class ImageControl : public QWidget {
    Q_OBJECT

public:
    enum FitMode {
        Zoom = int(DrawFit::Zoom),
        FitWidth = int(DrawFit::Width),
        FitHeight = int(DrawFit::Height)
    };

    explicit ImageControl(QWidget* parent = nullptr);

    [[nodiscard]] QString pictureFile() const { return file_; }
    // Shows a picture decoded elsewhere, loaded from file (which pictureFile() then gives),
    // painted once. picture.reduced, when made for the size drawn, is drawn as it is. A failed
    // picture leaves the control empty: whoever decoded it tells the user why.
    void setPicture(Picture picture, const QString& file);
    // Shows nothing; pictureFile() is empty.
    void clear();

    [[nodiscard]] int fitMode() const { return fitMode_; }
    void setFitMode(int mode); // 1, 2 or 3; anything else is ignored
    [[nodiscard]] double zoomFactor() const { return zoom_; }
    bool setZoomFactor(double factor); // one of 0.25 .. 5 of the zoom menu, else false

    // Quarter turns clockwise (0 .. 3) the picture is drawn with, for viewing only: the picture
    // and its file stay as they are. A new picture starts unturned; the same file shown again
    // (decoded afresh at another size) keeps its turn.
    [[nodiscard]] int quarterTurns() const { return quarterTurns_; }
    void setQuarterTurns(int turns);
    // The picture's size as drawn unzoomed: width and height swapped by an odd turn.
    [[nodiscard]] QSize turnedSize() const;

    // The picture's own size, whatever its turn.
    [[nodiscard]] int pictureWidth() const { return picture_.width; }
    [[nodiscard]] int pictureHeight() const { return picture_.height; }
    [[nodiscard]] int colorDepth() const { return picture_.colorDepth; }
    [[nodiscard]] QString pictureType() const { return picture_.typeName; }
    // The picture on show: pixels, or a vector drawing (empty Picture when none).
    [[nodiscard]] const Picture& pictureObject() const { return picture_; }

    // The decoding options take effect at the next load; values out of range are ignored.
    [[nodiscard]] int ditherMode() const { return int(options_.ditherMode); }
    void setDitherMode(int index);
    [[nodiscard]] int dctMethod() const { return int(options_.dctMethod); }
    void setDctMethod(int index);
    [[nodiscard]] int jpegDitherMethod() const { return int(options_.jpegDither); }
    void setJpegDitherMethod(int index);
    [[nodiscard]] bool jpegFancyUpsampling() const { return options_.jpegFancyUpsampling; }
    void setJpegFancyUpsampling(bool on) { options_.jpegFancyUpsampling = on; }
    [[nodiscard]] bool jpegTwoPassQuantize() const { return options_.jpegTwoPassQuantize; }
    void setJpegTwoPassQuantize(bool on) { options_.jpegTwoPassQuantize = on; }
    // > 0: pictures are decoded just large enough for a square of this many pixels.
    [[nodiscard]] int thumbnailSize() const { return thumbnailSize_; }
    void setThumbnailSize(int pixels);

    [[nodiscard]] QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);

    [[nodiscard]] DecodeOptions decodeOptions() const;
    [[nodiscard]] QSize sizeHint() const override;

    // The frame of an animated picture on show (0 for a still one), and whether it plays.
    [[nodiscard]] int frameIndex() const { return player_.frame(); }
    [[nodiscard]] bool isAnimating() const { return player_.isRunning(); }
    [[nodiscard]] int frameDelay() const { return player_.frameDelay(); }
    // Ends the current frame's delay now, as its timer would.
    void advanceFrameForTesting() { player_.advanceForTesting(); }
    // How many reduced copies the control made itself rather than taking them ready made.
    [[nodiscard]] int reducedCopiesMadeForTesting() const { return cache_.copiesMade(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    [[nodiscard]] QSizeF drawnSize() const;
    [[nodiscard]] const QImage& shownImage() const;
    void sizeToZoom();

    QString file_;
    Picture picture_;
    DecodeOptions options_;
    int fitMode_ = Zoom;
    double zoom_ = 1.0;
    int thumbnailSize_ = 0;
    int quarterTurns_ = 0;
    QColor backColor_ = Qt::black;
    ScaledCache cache_;
    FramePlayer player_;
};

} // namespace mv::imaging
