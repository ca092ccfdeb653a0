#include "browser/ui/PictureCopy.h"

#include "browser/ClipboardPicture.h"
#include "browser/ui/PictureArea.h"
#include "crypto/KeyState.h"
#include "imaging/ui/ImageControl.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QMimeData>
#include <QtConcurrent>

namespace mv::browser {

PictureCopy::PictureCopy(PictureArea& area, crypto::KeyState& keys, sandbox::Decoders& decoders,
                         QWidget* dialogOwner)
    : QObject(dialogOwner), area_(area), keys_(keys), decoders_(decoders), owner_(dialogOwner)
{
    beep = [] { QApplication::beep(); };
}

PictureCopy::~PictureCopy()
{
    setBusy(false);
}

void PictureCopy::MenuCpoy_Click()
{
    ++ticket_;
    setBusy(false);
    QGuiApplication::clipboard()->clear();
    const imaging::ImageControl& control = *area_.imageControl();
    if (area_.hasPicture()) {
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
    auto* watcher = new QFutureWatcher<ClipboardPicture>(this);
    connect(watcher, &QFutureWatcher<ClipboardPicture>::finished, this, [this, watcher, ticket] {
        watcher->deleteLater();
        if (ticket == ticket_)
            finish(ticket, watcher->result());
    });
    setBusy(true);
    watcher->setFuture(QtConcurrent::run(
        [this, request = std::move(request)] { return clipboardFromFile(request, decoders_); }));
}

void PictureCopy::finish(quint64 ticket, const ClipboardPicture& picture)
{
    if (ticket != ticket_)
        return;
    setBusy(false);
    if (!picture.ok()) {
        beep();
        QMessageBox::warning(owner_, tr("Mirravelnock!"),
                             tr("Unable to copy to clipboard") + QLatin1Char('\n') +
                                 QString::fromStdString(picture.status.reason));
        emit copyFinished(false);
        return;
    }
    QGuiApplication::clipboard()->setMimeData(clipboardMimeData(picture).release());
    emit copyFinished(true);
}

void PictureCopy::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace mv::browser
