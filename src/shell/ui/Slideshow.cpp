#include "shell/ui/Slideshow.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "crypto/KeyState.h"
#include "shell/ui/FullScreenMode.h"
#include "viewing/ui/PictureArea.h"
#include "viewing/ui/SelectionViewer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace mv::shell {

Slideshow::Slideshow(FullScreenMode& screen, browser::BrowserPane& browser, viewing::SelectionViewer& viewer,
                     viewing::PictureArea& area, crypto::KeyState& keys, QObject* parent)
    : QObject(parent), screen_(screen), browser_(browser), viewer_(viewer), area_(area), keys_(keys)
{
    step_.setSingleShot(true);
    connect(&step_, &QTimer::timeout, this, &Slideshow::next);
    // The next picture must not be shown with keys the user asked to forget.
    connect(&keys_, &crypto::KeyState::keysChanged, this, [this](bool haveKeys) {
        if (!haveKeys)
            stop();
    });
}

Slideshow::~Slideshow()
{
    if (running())
        qApp->removeEventFilter(this);
}

void Slideshow::start(int intervalSeconds)
{
    if (running())
        return;
    const browser::FileListView* list = browser_.fileList();
    const bool keysInHand = keys_.hasKeysToTry();
    clock_.start();
    plan_.emplace(list->names(), qMax(0, list->currentRow()), intervalSeconds, keysInHand,
                  [this] { return clock_.nsecsElapsed() / 1000; });
    const int first = plan_->first();
    if (first < 0) {
        plan_.reset();
        return;
    }
    enteredFullScreen_ = !screen_.active();
    screen_.enter();
    savedAsk_ = viewer_.askKey;
    viewer_.askKey = [this](const QString&) {
        refused_ = true;
        return false;
    };
    settled_ = connect(&viewer_, &viewing::SelectionViewer::selectionSettled, this, &Slideshow::onSettled);
    qApp->installEventFilter(this);
    emit runningChanged(true);
    showRow(first);
}

void Slideshow::stop()
{
    if (!running())
        return;
    qApp->removeEventFilter(this);
    step_.stop();
    disconnect(settled_);
    viewer_.askKey = savedAsk_;
    plan_.reset();
    if (std::exchange(enteredFullScreen_, false))
        screen_.leave();
    emit runningChanged(false);
}

void Slideshow::showRow(int row)
{
    pendingRow_ = row;
    refused_ = false;
    browser::FileListView* list = browser_.fileList();
    if (list->currentRow() == row && !viewer_.nameOnView().isEmpty()) {
        plan_->shown(row); // already on show
        schedule();
        return;
    }
    // A prepared picture settles at once, inside this call.
    list->selectRow(row);
}

void Slideshow::onSettled()
{
    if (!running() || browser_.fileList()->currentRow() != pendingRow_)
        return;
    if (refused_ || !area_.hasPicture())
        plan_->passedOver(pendingRow_);
    else
        plan_->shown(pendingRow_);
    schedule();
}

void Slideshow::schedule()
{
    step_.start(int(plan_->untilNextUs() / 1000));
}

void Slideshow::next()
{
    if (!running())
        return;
    const int row = plan_->upcoming();
    if (row < 0)
        stop();
    else
        showRow(row);
}

bool Slideshow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (letThrough_ && letThrough_->isEnabled() &&
            letThrough_->shortcut().matches(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination())) ==
                QKeySequence::ExactMatch)
            return false;
        // Claimed, so that the key's menu item does not run: the key only ends the show.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
        if (watched->isWidgetType()) {
            stop();
            return true;
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mv::shell
