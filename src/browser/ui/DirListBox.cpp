#include "browser/ui/DirListBox.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace mv::browser {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

QString shownName(const QString& path)
{
    if (path == QLatin1String("/"))
        return path;
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit openRequested(item->data(kPathRole).toString()); });
}

void DirListBox::setFolders(const QStringList& chain, const QStringList& subFolders)
{
    setUpdatesEnabled(false);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString indent(2, QLatin1Char(' '));
    int depth = 0;
    for (const QString& p : chain) {
        auto* item = new QListWidgetItem(open, indent.repeated(depth++) + shownName(p), this);
        item->setData(kPathRole, p);
        item->setToolTip(p);
    }
    for (const QString& p : subFolders) {
        auto* item = new QListWidgetItem(closed, indent.repeated(depth) + shownName(p), this);
        item->setData(kPathRole, p);
    }
    path_ = chain.isEmpty() ? QString() : chain.last();
    if (!chain.isEmpty())
        setCurrentRow(int(chain.size()) - 1);
    setUpdatesEnabled(true);
}

bool DirListBox::highlight(const QString& path)
{
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(kPathRole).toString() == path) {
            setCurrentRow(i);
            scrollToItem(item(i));
            return true;
        }
    }
    return false;
}

QString DirListBox::highlightedPath() const
{
    const QListWidgetItem* it = currentItem();
    return it ? it->data(kPathRole).toString() : QString();
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the highlighted folder, whatever the style makes of "activated".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit openRequested(highlightedPath());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace mv::browser
