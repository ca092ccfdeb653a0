#include "viewing/ui/PictureCopy.h"

#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"
#include "viewing/ClipboardPicture.h"
#include "viewing/ui/PictureArea.h"
#include "widgets/Job.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>

namespace mv::viewing {

PictureCopy::PictureCopy(PictureArea& area, crypto::KeyState& keys, sandbox::Decoders& decoders,
                         QWidget* dialogOwner)
    : QObject(dialogOwner), area_(area), keys_(keys), decoders_(decoders), owner_(dialogOwner)
{
    beep = [] { QApplication::beep(); };
    connect(&keys_, &crypto::KeyState::keysChanged, this, [this](bool haveKeys) {
        if (!haveKeys)
            forgetDecrypted();
    });
    // Once anything else is on the clipboard, the copy is no longer this program's to take off.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (QGuiApplication::clipboard()->mimeData() != decryptedCopy_)
            decryptedCopy_ = nullptr;
    });
}

PictureCopy::~PictureCopy()
{
    busy_.show(false);
}

void PictureCopy::MenuCpoy_Click()
{
    ++ticket_;
    busy_.show(false);
    QGuiApplication::clipboard()->clear();
    const imaging::ImageControl& control = *area_.imageControl();
    copyingDecrypted_ = false;
    if (area_.hasPicture()) {
        copyingDecrypted_ = control.pictureObject().sensitive;
        if (std::optional<ClipboardPicture> inMemory =
                clipboardFromShown(control.pictureObject(), control.frameIndex()))
            finish(ticket_, *inMemory);
        else
            copyFromFile();
        return;
    }
    if (paintedGrid_) {
        ClipboardPicture grid;
        grid.image = paintedGrid_();
        copyingDecrypted_ = gridHoldsDecrypted_ && gridHoldsDecrypted_();
        if (!grid.image.isNull())
            finish(ticket_, grid);
    }
}

void PictureCopy::copyFromFile()
{
    const imaging::ImageControl& control = *area_.imageControl();
    PictureRequest request;
    request.path = control.pictureFile();
    request.listedName = QFileInfo(request.path).fileName();
    request.options = control.decodeOptions();
    request.options.targetSize = QSize(); // the whole picture, not the screen's share of it
    if (control.pictureObject().sensitive)
        request.keys = keys_.keysToTry();
    const quint64 ticket = ticket_;
    // A child of this object: going, it waits for its worker, which uses the window's decoder
    // helpers and nothing of this object.
    auto* job = new widgets::Job(this);
    auto picture = std::make_shared<ClipboardPicture>();
    job->onEnded = [this, job, ticket, picture] {
        job->deleteLater();
        if (ticket == ticket_ && !job->stopRequested())
            finish(ticket, *picture);
        else if (ticket == ticket_)
            busy_.show(false);
    };
    busy_.show(true);
    job->start([picture, &decoders = decoders_, request = std::move(request)] {
        *picture = clipboardFromFile(request, decoders);
    });
}

void PictureCopy::finish(quint64 ticket, const ClipboardPicture& picture)
{
    if (ticket != ticket_)
        return;
    busy_.show(false);
    if (!picture.ok()) {
        beep();
        QMessageBox::warning(owner_, tr("Mirravelnock!"),
                             tr("Unable to copy to clipboard") + QLatin1Char('\n') +
                                 QString::fromStdString(picture.status.reason));
        emit copyFinished(false);
        return;
    }
    QMimeData* data = clipboardMimeData(picture).release();
    QGuiApplication::clipboard()->setMimeData(data);
    decryptedCopy_ = copyingDecrypted_ ? data : nullptr;
    emit copyFinished(true);
}

bool PictureCopy::decryptedOnClipboard() const
{
    return decryptedCopy_ && QGuiApplication::clipboard()->mimeData() == decryptedCopy_;
}

void PictureCopy::forgetDecrypted()
{
    if (busy_.shown() && copyingDecrypted_) {
        ++ticket_; // the copy being read is not put
        busy_.show(false);
    }
    if (decryptedOnClipboard())
        QGuiApplication::clipboard()->clear();
    decryptedCopy_ = nullptr;
}

} // namespace mv::viewing
