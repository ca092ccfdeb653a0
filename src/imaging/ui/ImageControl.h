// The picture control of the viewer and the thumbnail grid. It loads a file through the
// imaging library, keeps the decoding options the menus set, and draws the picture fitted to its
// width or height, or at a zoom factor (then it sizes itself to the zoomed picture).
#pragma once

#include "imaging/base/DecodeOptions.h"
#include "imaging/base/Picture.h"
#include "imaging/ui/ScaledCache.h"

#include <QColor>
#include <QWidget>

namespace mv::imaging {

class ImageControl : public QWidget {
    Q_OBJECT

public:
    enum FitMode {
        Zoom = 1,
        FitWidth = 2,
        FitHeight = 3
    };

    explicit ImageControl(QWidget* parent = nullptr);

    [[nodiscard]] QString pictureFile() const { return file_; }
    // Loads and shows path at once; "" clears. On failure the control is left empty and
    // lastError() says why.
    bool setPictureFile(const QString& path);
    [[nodiscard]] QString lastError() const { return error_; }

    [[nodiscard]] int fitMode() const { return fitMode_; }
    void setFitMode(int mode); // 1, 2 or 3; anything else is ignored
    [[nodiscard]] double zoomFactor() const { return zoom_; }
    bool setZoomFactor(double factor); // one of 0.25 .. 5 of the zoom menu, else false

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void clear();
    [[nodiscard]] QSizeF drawnSize() const;
    void sizeToZoom();

    QString file_;
    QString error_;
    Picture picture_;
    DecodeOptions options_;
    int fitMode_ = Zoom;
    double zoom_ = 1.0;
    int thumbnailSize_ = 0;
    QColor backColor_ = Qt::black;
    ScaledCache cache_;
};

} // namespace mv::imaging
