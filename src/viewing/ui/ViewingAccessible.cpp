#include "viewing/ui/ViewingAccessible.h"

#include "viewing/ui/PictureArea.h"
#include "viewing/ui/ThumbnailGrid.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QScrollBar>

namespace mv::viewing {

namespace {

// One cell of the grid. It asks the grid for everything at the time it is asked, so a cell
// interface outliving a rebuilt grid names what is now in its place, or is invalid.
class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(ThumbnailGrid* grid, int index) : grid_(grid), index_(index) {}

    [[nodiscard]] bool isValid() const override { return grid_ && index_ < grid_->count(); }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QWindow* window() const override
    {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data())->window() : nullptr;
    }
    [[nodiscard]] QAccessibleInterface* parent() const override
    {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
    }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name: return grid_->nameAt(index_);
        case QAccessible::Description:
            return grid_->showsPictureAt(index_) ? ThumbnailGrid::tr("Thumbnail")
                                                 : ThumbnailGrid::tr("No thumbnail: the file's type icon");
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    [[nodiscard]] QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = grid_->cellRect(index_).translated(0, -grid_->verticalScrollBar()->value());
        return QRect(grid_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        const bool current = grid_->currentCell() == index_;
        s.selected = current;
        s.active = current;
        s.focused = current && grid_->hasFocus();
        const QRect cell = grid_->cellRect(index_).translated(0, -grid_->verticalScrollBar()->value());
        s.offscreen = !grid_->viewport()->rect().intersects(cell);
        s.invisible = !grid_->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    [[nodiscard]] QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override
    {
        if (!isValid())
            return;
        if (name == setFocusAction()) {
            grid_->setFocus(Qt::OtherFocusReason);
            grid_->setCurrentCell(index_);
        } else if (name == pressAction()) {
            grid_->setCurrentCell(index_);
            emit grid_->cellClicked(index_);
        }
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ThumbnailGrid> grid_;
    int index_;
};

// The grid: a list of its cells. Cell interfaces are made as they are asked for and live as
// long as the grid's.
class GridAccessible : public QAccessibleWidget {
public:
    explicit GridAccessible(ThumbnailGrid* grid) : QAccessibleWidget(grid, QAccessible::List) {}
    ~GridAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
    }

    [[nodiscard]] ThumbnailGrid* grid() const { return static_cast<ThumbnailGrid*>(widget()); }

    [[nodiscard]] int childCount() const override { return grid()->count(); }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= grid()->count())
            return nullptr;
        if (const auto it = cells_.constFind(index); it != cells_.cend())
            return QAccessible::accessibleInterface(*it);
        auto* cell = new CellAccessible(grid(), index);
        cells_.insert(index, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = cells_.cbegin(); it != cells_.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key() < grid()->count() ? it.key() : -1;
        }
        return -1;
    }
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at =
            grid()->viewport()->mapFromGlobal(QPoint(x, y)) + QPoint(0, grid()->verticalScrollBar()->value());
        return child(grid()->layout().cellAt(at, grid()->count()));
    }
    [[nodiscard]] QAccessibleInterface* focusChild() const override
    {
        return grid()->hasFocus() ? child(grid()->currentCell()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> cells_;
};

QAccessibleInterface* viewingInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(ThumbnailGrid::staticMetaObject.className()))
        return new GridAccessible(static_cast<ThumbnailGrid*>(object));
    if (className == QLatin1String(PictureArea::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<PictureArea*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

void installViewingAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(viewingInterface);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace mv::viewing
