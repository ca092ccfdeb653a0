#include "viewing/ui/SelectionViewer.h"

#include "browser/FileDragDrop.h"
#include "browser/TypeTable.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/LeftoverOffer.h"
#include "crypto/EncryptedNames.h"
#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "fileutil/NameText.h"
#include "imaging/ui/ImageControl.h"
#include "sandbox/DecodeJob.h"
#include "viewing/ui/PictureArea.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QUrl>

#include <utility>

namespace mv::viewing {

namespace {

// A decoded picture this much smaller than it is drawn is decoded again at the new size.
constexpr double kSharpEnough = 0.98;

} // namespace

SelectionViewer::SelectionViewer(sandbox::Decoders& decoders, browser::BrowserPane& browser,
                                 PictureArea& area, QLineEdit* infoBar, crypto::KeyState& keys,
                                 QWidget* dialogOwner)
    : QObject(dialogOwner), browser_(browser), area_(area), infoBar_(infoBar), keys_(keys),
      owner_(dialogOwner), loader_(decoders),
      leftovers_(new browser::LeftoverOffer(browser, infoBar, dialogOwner))
{
    thumbnailCache = std::make_shared<const desktop::ThumbnailCache>(desktop::ThumbnailCache::desktopRoot());
    openWithDesktop = [](const QString& path) { return QDesktopServices::openUrl(browser::fileUrl(path)); };
    askKey = [this](const QString&) { return crypto::AskKey::ask(keys_, owner_); };
    beep = [] { QApplication::beep(); };
    connect(browser_.fileList(), &browser::FileListView::currentNameChanged, this,
            &SelectionViewer::FileList_Click);
    connect(browser_.fileList(), &browser::FileListView::currentNameClicked, this,
            &SelectionViewer::FileList_Click);
    connect(browser_.fileList(), &browser::FileListView::nameDoubleClicked, this,
            &SelectionViewer::FileList_DblClick);
    connect(&loader_, &PictureLoader::loaded, this, &SelectionViewer::onLoaded);
    connect(&loader_, &PictureLoader::loadTook, this, [this](bool firstLook, qint64 ms) {
        if (!firstLook)
            return;
        travel_.lookTook(ms);
        // A worker is free: it takes the row its look can reach now, not the one planned at
        // the last step.
        if (travel_.travelling())
            prepareAround();
    });
    clock_.start();
    // A picture that takes a while: the information line names the file being decoded, not
    // the one still on show, which is no longer the one selected.
    slowNote_.setSingleShot(true);
    slowNote_.setInterval(kSlowNoteMs);
    connect(&slowNote_, &QTimer::timeout, this, [this] {
        if (waiting_.shown() && dropPath_.isEmpty())
            showNote(tr("%1 is being decoded...").arg(pendingName_));
    });
    travelLoad_.setSingleShot(true);
    connect(&travelLoad_, &QTimer::timeout, this, [this] {
        // The user stayed on the entry: its sharp picture, unless that is on show already.
        if (waiting_.shown() || (shownName_ == pendingName_ && !sharpOnShow()))
            startLoad(makeRequest(pendingName_));
    });
    travelEnd_.setSingleShot(true);
    travelEnd_.setInterval(int(TravelPolicy::kTravelMs));
    connect(&travelEnd_, &QTimer::timeout, this, [this] {
        travel_.stop();
        if (!waiting_.shown() && !shownName_.isEmpty())
            prepareAround();
    });
    connect(&area_, &PictureArea::viewCleared, this, [this] { infoBar_->setText(bannerText); });
    connect(&area_, &PictureArea::viewSizeChanged, this, &SelectionViewer::sharpenIfNeeded);
    connect(&area_, &PictureArea::pictureRightClicked, this, &SelectionViewer::dropPending);
    connect(&area_, &PictureArea::pictureDropped, this, &SelectionViewer::showDropped);
    connect(&keys_, &crypto::KeyState::keysChanged, this, [this](bool haveKeys) {
        // Pictures decrypted with keys now forgotten must not be shown without them.
        if (!haveKeys)
            loader_.forgetPrepared();
    });
}

SelectionViewer::~SelectionViewer()
{
    waiting_.show(false);
}

void SelectionViewer::dropPending()
{
    stopLoading();
    shownName_.clear();
}

void SelectionViewer::ResetView()
{
    dropPending();
    area_.resetView(); // the banner line comes back with viewCleared()
}

void SelectionViewer::MenuClear_Click()
{
    // No thumbnail grid can be showing yet; clearing is the picture area's alone.
    ResetView();
    browser_.fileList()->setFocus();
}

QString SelectionViewer::nameOnView() const
{
    // A dropped picture on show is no entry's, unless it is the entry's own file.
    const QString name = browser_.fileList()->currentName();
    return area_.hasPicture() && area_.imageControl()->pictureFile() == pathOf(name) ? name : QString();
}

void SelectionViewer::stopLoading()
{
    openWhenSettled_ = false;
    dropPath_.clear();
    travelLoad_.stop();
    slowNote_.stop();
    loader_.cancel();
    waiting_.show(false);
}

QString SelectionViewer::pathOf(const QString& name) const
{
    QString folder = browser_.currentFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + name;
}

PictureRequest SelectionViewer::makeRequest(const QString& name) const
{
    PictureRequest r;
    r.path = pathOf(name);
    r.listedName = name;
    r.options = area_.imageControl()->decodeOptions();
    // Fitted, the picture is decoded no larger than the screen pixels it will cover.
    r.place = area_.drawPlace();
    if (r.place->bestFit) {
        r.options.targetSize = area_.size() * area_.devicePixelRatioF();
        // The picture on show turned a quarter fits the area the other way round.
        if (name == shownName_ && area_.imageControl()->quarterTurns() % 2 == 1)
            r.options.targetSize.transpose();
    }
    r.keys = keys_.keysToTry();
    return r;
}

void SelectionViewer::FileList_Click()
{
    unsupportedSelected_ = false;
    viewingEncrypted_ = false;
    const browser::FileListView* list = browser_.fileList();
    const QString name = list->currentName();
    if (name.isEmpty()) {
        stopLoading();
        return;
    }
    if (travel_.select(list->currentRow(), clock_.elapsed()))
        travelEnd_.start();
    if (!fileutil::isTextName(name)) {
        // Qt would open another name in its place; such a file can be deleted or wiped here.
        stopLoading();
        area_.resetView();
        showNote(tr("This file's name is not valid text, so it can't be shown; rename it in a file "
                    "manager to view it, or delete it here."));
        emit selectionSettled();
        return;
    }
    const QFileInfo info(pathOf(name));
    if (!info.exists() && !info.isSymLink()) {
        stopLoading();
        area_.resetView();
        QMessageBox::warning(owner_, tr("Mirravelnock!"), tr("Unable to read this file."));
        emit selectionSettled();
        return;
    }
    pendingName_ = name;
    request();
}

void SelectionViewer::request()
{
    dropPath_.clear(); // a selection overtakes a drop still loading
    PictureRequest r = makeRequest(pendingName_);
    if (SharedOutcome ready = loader_.prepared(r)) {
        stopLoading();
        settle(ready);
        return;
    }
    if (travel_.travelling()) {
        // A key held down: a first look at once, small and quick, while the workers look
        // ahead where the user is heading. The sharp picture is loaded only if the user stays
        // on the entry a moment.
        r.firstLook = true;
        r.thumbnails = thumbnailCache;
        loader_.cancel();
        if (SharedOutcome look = loader_.prepared(r)) {
            waiting_.show(false);
            settle(look);
        } else {
            waiting_.show(true);
            if (travel_.lookAtOnce() || loader_.preparing(r))
                ticket_ = loader_.load(std::move(r));
            prepareAround();
        }
        travelLoad_.start(int(travel_.loadDelayMs()));
        return;
    }
    waiting_.show(true);
    startLoad(std::move(r));
}

void SelectionViewer::startLoad(PictureRequest r)
{
    travelLoad_.stop();
    slowNote_.start();
    ticket_ = loader_.load(std::move(r));
}

void SelectionViewer::onLoaded(quint64 ticket, const SharedOutcome& outcome)
{
    if (ticket != ticket_)
        return;
    // While the sharp load waits for the user to stay, what came is a first look. One that
    // shows nothing (a key wanted, a damaged file) says so only once the user stays and the
    // real load ends: no question in the middle of a journey.
    if (travelLoad_.isActive() && !outcome->shown())
        return;
    slowNote_.stop();
    waiting_.show(false);
    if (dropPath_.isEmpty())
        settle(outcome);
    else
        settleDrop(outcome);
}

void SelectionViewer::showDropped(const QString& path)
{
    stopLoading();
    PictureRequest r;
    r.path = path;
    r.listedName = QFileInfo(path).fileName();
    // Decoded whole: the area may grow later, and a dropped picture is not read again then.
    r.options = area_.imageControl()->decodeOptions();
    r.place = area_.drawPlace();
    dropPath_ = path;
    if (SharedOutcome ready = loader_.prepared(r)) {
        settleDrop(ready);
        return;
    }
    waiting_.show(true);
    ticket_ = loader_.load(std::move(r));
}

void SelectionViewer::settleDrop(const SharedOutcome& outcome)
{
    const QString path = std::exchange(dropPath_, QString());
    // Without a key an encrypted file can't come out shown; the test only makes that plain.
    if (outcome->shown() && !outcome->facts.encrypted) {
        shownName_.clear(); // no entry is on show: nothing to sharpen or prepare around
        area_.showLoaded(outcome->picture, path);
    } else {
        QMessageBox::critical(owner_, tr("Mirravelnock!"), tr("Unable to display this file!"));
    }
    emit selectionSettled();
}

void SelectionViewer::settle(const SharedOutcome& outcome)
{
    const QString path = pathOf(pendingName_);
    switch (outcome->kind) {
    case PictureOutcome::Shown:
        viewingEncrypted_ = outcome->facts.encrypted;
        area_.showLoaded(outcome->picture, path);
        showNote(browser::fileInfoLine(outcome->facts));
        shownName_ = pendingName_;
        prepareAround();
        break;
    case PictureOutcome::Missing:
        area_.resetView();
        QMessageBox::warning(owner_, tr("Mirravelnock!"), tr("Unable to read this file."));
        break;
    case PictureOutcome::Unsupported:
        unsupportedSelected_ = true;
        area_.resetView();
        showNote(tr("You must double click to run unsupported files"));
        break;
    case PictureOutcome::DecodeFailed:
        area_.resetView();
        showNote(readError(outcome->status));
        break;
    case PictureOutcome::NeedsKey:
        area_.resetView();
        // The dialog adds the typed key; then every key is tried again, the new one too.
        if (askKey(path)) {
            request();
            return;
        }
        break;
    case PictureOutcome::TooLarge:
        area_.resetView();
        showNote(tr("%1 is too large to view: %2, and the viewer takes files of at most %3")
                     .arg(pendingName_, QLocale().formattedDataSize(outcome->facts.fileSize),
                          QLocale().formattedDataSize(kMaxViewedFileBytes)));
        break;
    case PictureOutcome::DecryptedUnviewable:
        // Only the key check of its header was read: nothing of it was decrypted.
        area_.resetView();
        beep();
        showNote(tr("A key fits %1, but its plain name is not a picture: decrypt it to open it")
                     .arg(pendingName_));
        break;
    case PictureOutcome::DecryptedDecodeFailed:
        area_.resetView();
        beep();
        // A decoder that was stopped is worth a word; a picture it merely refused is not.
        if (sandbox::decoderStopped(outcome->status))
            showNote(readError(outcome->status));
        break;
    }
    emit selectionSettled();
    if (std::exchange(openWhenSettled_, false))
        FileList_DblClick();
}

void SelectionViewer::prepareAround()
{
    const Preparation plan = travel_.toPrepare(browser_.fileList()->currentRow(), clock_.elapsed());
    loader_.setPreparingLanes(plan.lanes);
    const QStringList& names = browser_.fileList()->names();
    const bool haveKeys = keys_.hasKeysToTry();
    std::vector<PictureRequest> wanted;
    for (const int at : plan.rows) {
        if (at < 0 || at >= names.size())
            continue;
        const QString& name = names[at];
        // An encrypted file that is not a picture is never shown, so never prepared.
        if (browser::IsViewableName(name) || (haveKeys && crypto::HasEncryptedName(name) &&
                                              browser::IsViewableName(crypto::PlainName(name)))) {
            wanted.push_back(makeRequest(name));
            if (travel_.travelling()) {
                wanted.back().firstLook = true;
                wanted.back().thumbnails = thumbnailCache;
            }
        }
    }
    loader_.prepare(std::move(wanted));
}

void SelectionViewer::sharpenIfNeeded()
{
    if (shownName_.isEmpty() || !area_.hasPicture() || waiting_.shown() || sharpOnShow())
        return;
    pendingName_ = shownName_;
    request();
}

bool SelectionViewer::sharpOnShow() const
{
    const imaging::ImageControl* control = area_.imageControl();
    const imaging::Picture& picture = control->pictureObject();
    if (!area_.hasPicture() || picture.isVector() || picture.image.isNull())
        return true;
    // Turned a quarter, the picture's width lies along the control's height.
    const int across = control->quarterTurns() % 2 == 0 ? control->width() : control->height();
    const double wanted = across * control->devicePixelRatioF();
    // A picture drawn from vectors can be drawn again at any size up to the helper's limit;
    // pixels, no larger than they are.
    const double needed =
        picture.redrawable
            ? qMin<double>(wanted, sandbox::drawnVectorSize(QSizeF(picture.width, picture.height),
                                                            {QSize(), wanted / qMax(1, picture.width)})
                                       .width())
            : qMin<double>(picture.width, wanted);
    return picture.image.width() >= needed * kSharpEnough;
}

QString SelectionViewer::readError(const fileio::Status& why)
{
    if (!sandbox::decoderStopped(why))
        return tr("Error reading this file!");
    return tr("Error reading this file! (%1)").arg(QString::fromStdString(why.reason));
}

void SelectionViewer::showNote(const QString& text)
{
    infoBar_->setText(text);
    infoBar_->setCursorPosition(0); // a line longer than the bar shows its beginning
}

void SelectionViewer::FileList_DblClick()
{
    // The double-click's first click chose the entry again; what it is is known when that
    // choice settles.
    if (waiting_.shown()) {
        openWhenSettled_ = true;
        return;
    }
    if (!unsupportedSelected_)
        return;
    area_.resetView();
    if (!openWithDesktop(pathOf(browser_.fileList()->currentName())))
        QMessageBox::warning(owner_, tr("Mirravelnock!"), tr("Unable to run or view this file"));
}

} // namespace mv::viewing
