// "Copy to Clipboard" (`MenuCpoy_Click`): the picture on show goes onto the clipboard as an
// image, a plain WMF or EMF with its own bytes as well; with no picture on show, the thumbnail
// grid as it is painted; with neither, the clipboard is left empty. The clipboard is cleared
// first, so a failed copy leaves nothing half set. A picture decoded smaller than it is (a
// large JPEG fitted to the area) and a metafile are read again on a worker and copied whole.
//
// When the keys are forgotten, a decrypted picture (or a grid with decrypted thumbnails) this
// program put on the clipboard is taken off it, and a copy still being read is dropped; what
// another program put there since is never touched.
#pragma once

#include "widgets/WaitCursor.h"

#include <QImage>
#include <QObject>

#include <functional>

class QMimeData;
class QWidget;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::sandbox {
class Decoders;
} // namespace mv::sandbox

namespace mv::viewing {

struct ClipboardPicture;
class PictureArea;

class PictureCopy : public QObject {
    Q_OBJECT

public:
    PictureCopy(PictureArea& area, crypto::KeyState& keys, sandbox::Decoders& decoders, QWidget* dialogOwner);
    ~PictureCopy() override;

    void MenuCpoy_Click();

    // The thumbnail grid's part: it calls this once with a function that gives its painted
    // image while the grid is on show, and a null image while it is not, and one that tells
    // whether the grid shows decrypted pictures.
    void setThumbnailGrid(std::function<QImage()> paintedGrid, std::function<bool()> gridHoldsDecrypted)
    {
        paintedGrid_ = std::move(paintedGrid);
        gridHoldsDecrypted_ = std::move(gridHoldsDecrypted);
    }

    // Whether the clipboard holds a decrypted picture this program put there.
    [[nodiscard]] bool decryptedOnClipboard() const;

    // A copy is being read on a worker.
    [[nodiscard]] bool busy() const { return busy_.shown(); }

    // The beep before the failure message. Tests replace it.
    std::function<void()> beep;

signals:
    // A copy ended: put on the clipboard (true), or failed and the user was told (false).
    void copyFinished(bool copied);

private:
    void copyFromFile();
    void finish(quint64 ticket, const ClipboardPicture& picture);
    void forgetDecrypted();

    PictureArea& area_;
    crypto::KeyState& keys_;
    sandbox::Decoders& decoders_;
    QWidget* owner_;
    std::function<QImage()> paintedGrid_;
    std::function<bool()> gridHoldsDecrypted_;
    bool copyingDecrypted_ = false;            // the copy under way is of decrypted pixels
    const QMimeData* decryptedCopy_ = nullptr; // what was put on the clipboard, while it is there
    quint64 ticket_ = 0;                       // of the latest copy: an older one still reading is not put
    widgets::WaitCursor busy_;
};

} // namespace mv::viewing
