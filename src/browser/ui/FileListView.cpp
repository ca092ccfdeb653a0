#include "browser/ui/FileListView.h"

#include <QStringListModel>

namespace mv::browser {

FileListView::FileListView(QWidget* parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Equal rows let the view skip measuring 100,000 entries.
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { emit currentNameChanged(current.data().toString()); });
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { emit nameDoubleClicked(index.data().toString()); });
}

void FileListView::setNames(const QStringList& names)
{
    names_ = names;
    const QSignalBlocker block(selectionModel());
    model_->setStringList(names_);
    // A fresh list has no current entry, so selecting the first one later counts as a change.
    selectionModel()->clear();
}

QString FileListView::currentName() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.data().toString() : QString();
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
        out.append(i.data().toString());
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

int FileListView::find(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace mv::browser
