#include "viewing/ui/ThumbnailView.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "imaging/ui/ImageControl.h"
#include "viewing/ui/PictureArea.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailGrid.h"
#include "widgets/Job.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QShortcut>

namespace mv::viewing {

ThumbnailView::ThumbnailView(browser::BrowserPane& browser, PictureArea& area, SelectionViewer& viewer,
                             crypto::KeyState& keys, QWidget* window)
    : QObject(window), browser_(browser), area_(area), viewer_(viewer), keys_(keys), window_(window),
      grid_(new ThumbnailGrid(&area)), escape_(new QShortcut(QKeySequence(Qt::Key_Escape), window))
{
    diskCache = std::make_shared<const desktop::ThumbnailCache>(desktop::ThumbnailCache::desktopRoot());
    askKey = [this](const QString&) { return crypto::AskKey::ask(keys_, window_); };
    grid_->hide();
    area_.installEventFilter(this);
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, this, &ThumbnailView::escapePressed);

    // The build is one of the window's jobs: a quit stops it like Esc.
    job_ = new widgets::Job(this);
    job_->onStop = [this] { builder_.stop(); };
    connect(&builder_, &ThumbnailBuilder::finished, this, [this] {
        if (!builder_.running())
            job_->end();
    });
    builder_.keys = [this] { return keysInHand(); };
    connect(&builder_, &ThumbnailBuilder::cellReady, this,
            [this](int index, const ThumbnailOutcome& outcome) {
                const ThumbnailBuilder::Entry& entry = entries_[index];
                grid_->addCell(entry.path, entry.name, outcome);
            });
    // The question waits for the hand-over that asked it to finish.
    connect(&builder_, &ThumbnailBuilder::keyNeeded, this, &ThumbnailView::onKeyNeeded, Qt::QueuedConnection);
    connect(&builder_, &ThumbnailBuilder::finished, this, &ThumbnailView::buildEnded);
    // Pictures opened with keys now forgotten are not shown without them.
    connect(&keys_, &crypto::KeyState::keysChanged, this, [this](bool haveKeys) {
        if (!haveKeys)
            dropDecrypted();
    });
    connect(grid_, &ThumbnailGrid::cellClicked, this, &ThumbnailView::ThumbClick_Click);
    connect(grid_, &ThumbnailGrid::mouseMoved, this, &ThumbnailView::mouseMovedOverGrid);

    // Choosing a file in the list shows it in place of the grid; the build goes on unseen.
    browser::FileListView* list = browser_.fileList();
    connect(list, &browser::FileListView::currentNameChanged, this, [this](const QString& name) {
        if (!name.isEmpty())
            hideGrid();
    });
    connect(list, &browser::FileListView::currentNameClicked, this, &ThumbnailView::hideGrid);
    // A right click on the picture, or a press beside it, goes back to the grid.
    connect(&area_, &PictureArea::pictureRightClicked, this, [this] {
        if (thumbMode_)
            showGrid();
    });
    connect(&area_, &PictureArea::frameClicked, this, [this] {
        if (!thumbMode_)
            return;
        viewer_.ResetView();
        showGrid();
    });
}

ThumbnailView::~ThumbnailView() = default;

void ThumbnailView::setThumbSize(int pixels)
{
    thumbSize_ = usableThumbSize(pixels);
}

std::vector<crypto::SecretText> ThumbnailView::keysInHand() const
{
    return keys_.keysToTry();
}

void ThumbnailView::setThumbMode(bool on)
{
    thumbMode_ = on;
    escape_->setEnabled(on);
}

void ThumbnailView::mnuThumb_Click()
{
    setThumbMode(true);
    const browser::FileListView* list = browser_.fileList();
    QList<int> selected;
    for (const QModelIndex& i : list->selectionModel()->selectedRows())
        selected.append(i.row());
    QString folder = browser_.currentFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    entries_.clear();
    for (const int row : thumbnailRows(int(list->names().size()), selected))
        entries_.append({folder + list->nameAt(row), list->nameAt(row)});

    viewer_.ResetView();
    showGrid();
    grid_->reset(thumbSize_, int(entries_.size()));

    ThumbnailBuilder::Job job;
    job.entries = entries_;
    job.folder = browser_.currentFolder();
    const int side = qRound(thumbSize_ * grid_->devicePixelRatioF());
    job.box = QSize(side, side);
    job.options = area_.imageControl()->decodeOptions();
    job.cache = diskCache;
    job.decoders = &viewer_.decoders();
    // Begun first: a build with nothing to do ends inside start().
    job_->begin();
    builder_.start(std::move(job));
}

void ThumbnailView::onKeyNeeded(int index)
{
    // Asked by a build since replaced, or already answered.
    if (builder_.waitingForKeyAt() != index || index >= entries_.size())
        return;
    if (askKey(entries_[index].path))
        builder_.keyAdded();
    else
        builder_.stop();
}

bool ThumbnailView::escapePressed()
{
    if (!thumbMode_)
        return false;
    builder_.stop();
    return true;
}

void ThumbnailView::MenuClear_Click()
{
    if (gridShown()) {
        if (builder_.running()) {
            builder_.stop();
            return;
        }
        endGrid();
    }
    viewer_.MenuClear_Click();
}

void ThumbnailView::endGrid()
{
    builder_.stop();
    grid_->clear();
    entries_.clear();
    hideGrid();
    setThumbMode(false);
}

void ThumbnailView::ThumbClick_Click(int index)
{
    const QString path = grid_->pathAt(index);
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    browser::FileListView* list = browser_.fileList();
    const int row = int(list->names().indexOf(name));
    if (row < 0)
        return;
    // A cell chosen with the keys hands them to the list, as the grid goes.
    const bool fromKeys = grid_->hasFocus();
    // The entry already current is chosen again: it is shown even so.
    if (row == list->currentRow())
        list->selectionModel()->clearCurrentIndex();
    list->selectRow(row);
    if (fromKeys)
        list->setFocus(Qt::OtherFocusReason);
}

bool ThumbnailView::gridShown() const
{
    return grid_->isVisible();
}

QImage ThumbnailView::gridImage() const
{
    return gridShown() ? grid_->gridImage() : QImage();
}

void ThumbnailView::dropDecrypted()
{
    grid_->dropDecrypted();
}

bool ThumbnailView::gridHoldsDecrypted() const
{
    return gridShown() && grid_->holdsDecrypted();
}

void ThumbnailView::showGrid()
{
    grid_->setGeometry(area_.rect());
    grid_->show();
    grid_->raise();
}

void ThumbnailView::hideGrid()
{
    grid_->hide();
}

bool ThumbnailView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &area_ && event->type() == QEvent::Resize)
        grid_->setGeometry(area_.rect());
    return QObject::eventFilter(watched, event);
}

} // namespace mv::viewing
