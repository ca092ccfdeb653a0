#include "browser/ui/FileListView.h"

#include "browser/FileDragDrop.h"
#include "fileutil/NameText.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStringListModel>

namespace mv::browser {

namespace {

// A name may hold line breaks and other control characters; shown as they are they would break
// the row or vanish, so a line break shows as an arrow and any other as the replacement mark.
QString shownName(const QString& name)
{
    if (!fileutil::isTextName(name))
        return fileutil::printableName(name);
    QString shown = name;
    for (QChar& c : shown)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QChar(0x21B5);
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QChar(0xFFFD);
    return shown;
}

} // namespace

FileListView::FileListView(QWidget* parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Equal rows let the view skip measuring 100,000 entries.
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (buttonDown_)
            pressNotice_ = PressNotice::Changed;
        else
            emit currentNameChanged(nameAt(current.row()));
    });
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { emit nameDoubleClicked(nameAt(index.row())); });
    // Files are dragged out, never into the list.
    setDragDropMode(QAbstractItemView::DragOnly);
    runDrag = [](QDrag& drag) { return drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction); };
}

void FileListView::setNames(const QStringList& names)
{
    names_ = names;
    QStringList shown = names;
    for (QString& n : shown)
        n = shownName(n);
    const QSignalBlocker block(selectionModel());
    model_->setStringList(shown);
    // A fresh list has no current entry, so selecting the first one later counts as a change.
    selectionModel()->clear();
}

QString FileListView::currentName() const
{
    return nameAt(currentRow());
}

QString FileListView::nameAt(int row) const
{
    return row >= 0 && row < names_.size() ? names_[row] : QString();
}

int FileListView::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

QStringList FileListView::selectedNames() const
{
    QStringList out;
    const QModelIndexList rows = selectionModel()->selectedRows();
    out.reserve(rows.size());
    for (const QModelIndex& i : rows)
        out.append(nameAt(i.row()));
    return out;
}

void FileListView::selectRow(int row)
{
    if (row < 0 || row >= names_.size()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex i = model_->index(row);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

void FileListView::focusInEvent(QFocusEvent* event)
{
    // Qt makes the first entry current when a list without one gets the focus. Here that would
    // show a file nobody chose (and, for an encrypted one, ask for its key), so the list gets the
    // focus and nothing else; the first arrow key still starts at the top.
    const bool hadCurrent = currentIndex().isValid();
    const QSignalBlocker block(selectionModel());
    QListView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid() && !selectionModel()->isSelected(currentIndex()))
        selectionModel()->clearCurrentIndex();
}

void FileListView::mousePressEvent(QMouseEvent* event)
{
    const QPersistentModelIndex before = currentIndex();
    // A press with another button already down keeps the first one's notice.
    if (event->buttons() == event->button())
        pressNotice_ = PressNotice::None;
    buttonDown_ = true;
    QListView::mousePressEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid() && at == before && currentIndex() == before &&
        pressNotice_ == PressNotice::None)
        pressNotice_ = PressNotice::Clicked;
    if (event->button() == Qt::RightButton)
        rightPressAt_ = event->position().toPoint();
}

void FileListView::tellPressNotice()
{
    buttonDown_ = false;
    const PressNotice notice = std::exchange(pressNotice_, PressNotice::None);
    if (notice == PressNotice::Changed)
        emit currentNameChanged(currentName());
    else if (notice == PressNotice::Clicked)
        emit currentNameClicked(currentName());
}

void FileListView::mouseMoveEvent(QMouseEvent* event)
{
    // Qt's own drag start knows the left button only.
    if (rightPressAt_ && (event->buttons() & Qt::RightButton) &&
        (event->position().toPoint() - *rightPressAt_).manhattanLength() >=
            QApplication::startDragDistance()) {
        rightPressAt_.reset();
        dragSelectedOut();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        rightPressAt_.reset();
    QListView::mouseReleaseEvent(event);
    if (event->buttons() == Qt::NoButton)
        tellPressNotice();
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    // A release this list never saw (another window took it) holds no key's change back.
    if (buttonDown_ && QGuiApplication::mouseButtons() == Qt::NoButton)
        tellPressNotice();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        event->accept();
        emit currentNameClicked(currentName());
        return;
    }
    QListView::keyPressEvent(event);
}

void FileListView::startDrag(Qt::DropActions)
{
    dragSelectedOut();
}

void FileListView::dragSelectedOut()
{
    // The press was a drag, not a choice: what it pointed at is not shown.
    pressNotice_ = PressNotice::None;
    QStringList names;
    for (int row = 0; row < names_.size(); ++row)
        if (selectionModel()->isRowSelected(row))
            names.append(names_[row]);
    if (names.isEmpty() || folder_.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(fileDragData(folder_, names).release());
    // The drag deletes itself when it ends; a copy or no drop leaves the folder as it was.
    const Qt::DropAction taken = runDrag(*drag);
    // The drag's own loop took the button's release.
    buttonDown_ = QGuiApplication::mouseButtons() != Qt::NoButton;
    if (taken == Qt::MoveAction)
        emit filesMovedOut();
}

int FileListView::find(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace mv::browser
