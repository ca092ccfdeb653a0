#include "viewing/ui/ThumbnailGrid.h"

#include "imaging/base/ProtectedPixels.h"
#include "viewing/ui/ViewingAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <utility>

namespace mv::viewing {

namespace {

// The text whose height is a caption's: every letter and digit.
const QString kCaptionSample =
    QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_");

} // namespace

ThumbnailGrid::ThumbnailGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("ThumbMasterFrame"));
    viewport()->setObjectName(QStringLiteral("ThumbFrame"));
    verticalScrollBar()->setObjectName(QStringLiteral("ThumbVscroll"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    installViewingAccessibility();
    setAccessibleName(tr("Thumbnails"));
    // Reached with Tab only: a click shows the cell's file, and the keys go back to the list.
    setFocusPolicy(Qt::TabFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Window);
}

int ThumbnailGrid::captionHeight() const
{
    return fontMetrics().boundingRect(kCaptionSample).height();
}

void ThumbnailGrid::reset(int thumbSize, int plannedCells)
{
    clear();
    const QRect inner = contentsRect();
    int width = inner.width();
    if (ThumbnailLayout(width, thumbSize).heightFor(plannedCells) > inner.height())
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    layout_ = ThumbnailLayout(width, thumbSize);
}

void ThumbnailGrid::clear()
{
    cells_.clear();
    pressed_ = -1;
    if (std::exchange(current_, -1) >= 0)
        emit currentCellChanged(-1);
    verticalScrollBar()->setValue(0);
    updateScroll();
    viewport()->update();
    announceCells();
}

void ThumbnailGrid::addCell(const QString& path, const QString& name, const ThumbnailOutcome& outcome)
{
    Cell cell;
    cell.path = path;
    cell.name = name;
    if (outcome.kind == ThumbnailOutcome::Picture) {
        cell.image = outcome.image;
        cell.sensitive = outcome.sensitive;
    }
    cell.mimeType = outcome.mimeType;
    cells_.push_back(std::move(cell));
    updateScroll();
    const int index = count() - 1;
    const QRect box = layout_.pictureBox(index);
    viewport()->update(QRect(box.left() - 1, box.top() - 1, box.width() + 2, layout_.rowPitch())
                           .translated(0, -verticalScrollBar()->value()));
    announceCells();
    // Focused before the first cell came: that cell is the current one now.
    if (current_ < 0 && hasFocus())
        setCurrentCell(0);
}

void ThumbnailGrid::dropDecrypted()
{
    for (Cell& cell : cells_) {
        if (cell.sensitive) {
            cell.image = QImage();
            cell.sensitive = false;
        }
    }
    viewport()->update();
}

QString ThumbnailGrid::pathAt(int index) const
{
    return index >= 0 && index < count() ? cells_[size_t(index)].path : QString();
}

QString ThumbnailGrid::nameAt(int index) const
{
    return index >= 0 && index < count() ? cells_[size_t(index)].name : QString();
}

bool ThumbnailGrid::showsPictureAt(int index) const
{
    return index >= 0 && index < count() && !cells_[size_t(index)].image.isNull();
}

QRect ThumbnailGrid::cellRect(int index) const
{
    return layout_.cellBox(index);
}

void ThumbnailGrid::setCurrentCell(int index)
{
    if (index < 0 || index >= count())
        return;
    const int before = std::exchange(current_, index);
    // Kept in view, a whole cell where the window is high enough for one.
    const QRect cell = cellRect(index);
    QScrollBar* bar = verticalScrollBar();
    const int height = viewport()->height();
    if (cell.top() - kThumbMargin < bar->value())
        bar->setValue(cell.top() - kThumbMargin);
    else if (cell.bottom() + kThumbMargin >= bar->value() + height)
        bar->setValue(qMin(cell.top() - kThumbMargin, cell.bottom() + kThumbMargin - height + 1));
    if (before == index)
        return;
    updateCell(before);
    updateCell(index);
    emit currentCellChanged(index);
    announceCurrent();
}

void ThumbnailGrid::updateCell(int index)
{
    if (index >= 0 && index < count())
        viewport()->update(
            cellRect(index).adjusted(-3, -3, 3, 3).translated(0, -verticalScrollBar()->value()));
}

void ThumbnailGrid::announceCells()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
}

void ThumbnailGrid::announceCurrent()
{
    if (current_ < 0)
        return;
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(this)->child(current_);
    if (!cell)
        return;
    QAccessibleEvent selected(cell, QAccessible::Selection);
    QAccessible::updateAccessibility(&selected);
    if (hasFocus()) {
        QAccessibleEvent focused(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

void ThumbnailGrid::keyPressEvent(QKeyEvent* event)
{
    const int cells = count();
    const int columns = layout_.columns();
    const int from = qMax(current_, 0);
    const int page = columns * qMax(1, viewport()->height() / layout_.rowPitch());
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    int to = -1;
    switch (plain ? event->key() : 0) {
    case Qt::Key_Left: to = from - 1; break;
    case Qt::Key_Right: to = from + 1; break;
    case Qt::Key_Up: to = from - columns; break;
    // Down from a row over a shorter last one ends on the last cell.
    case Qt::Key_Down:
        to = from / columns < (cells - 1) / columns ? qMin(from + columns, cells - 1) : -1;
        break;
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = cells - 1; break;
    case Qt::Key_PageUp: to = from >= columns ? qMax(from - page, from % columns) : -1; break;
    case Qt::Key_PageDown: to = qMin(from + page, cells - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (current_ >= 0)
            emit cellClicked(current_);
        event->accept();
        return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (to >= 0 && to < cells)
        setCurrentCell(to);
    event->accept();
}

void ThumbnailGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (current_ < 0)
        setCurrentCell(0);
    else {
        updateCell(current_);
        announceCurrent();
    }
}

void ThumbnailGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    updateCell(current_);
}

void ThumbnailGrid::updateScroll()
{
    const ThumbScroll s = thumbScroll(layout_.heightFor(count()), viewport()->height());
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, s.maximum);
    bar->setSingleStep(qMax(1, s.singleStep));
    bar->setPageStep(qMax(1, s.pageStep));
}

void ThumbnailGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScroll();
}

const QIcon& ThumbnailGrid::iconFor(const QString& mimeType) const
{
    auto it = icons_.find(mimeType);
    if (it == icons_.end()) {
        static const QMimeDatabase types;
        const QMimeType type = types.mimeTypeForName(mimeType);
        const QIcon fallback = style()->standardIcon(QStyle::SP_FileIcon);
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
        if (icon.isNull())
            icon = fallback;
        it = icons_.insert(mimeType, icon);
    }
    return *it;
}

void ThumbnailGrid::paintCell(QPainter& painter, int index) const
{
    const Cell& cell = cells_[size_t(index)];
    const QRect box = layout_.pictureBox(index);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(box.left() - 1, box.top() - 1, box.width() + 1, box.height() + 1));
    if (!cell.image.isNull()) {
        const qreal ratio = devicePixelRatioF();
        QRect target(QPoint(0, 0), (QSizeF(cell.image.size()) / ratio).toSize());
        target.moveCenter(box.center());
        painter.drawImage(target, cell.image);
    } else {
        const int side = qMin(box.width() * 2 / 3, 64);
        QRect target(0, 0, side, side);
        target.moveCenter(box.center());
        iconFor(cell.mimeType).paint(&painter, target);
    }
    // Centred on one line, cut at both sides when wider than the picture.
    const QRect caption = layout_.captionBox(index, captionHeight());
    painter.save();
    painter.setClipRect(caption, Qt::IntersectClip);
    painter.setPen(palette().color(QPalette::WindowText));
    const int wide = fontMetrics().horizontalAdvance(cell.name) + caption.width();
    painter.drawText(QRect(caption.center().x() - wide / 2, caption.top(), wide, caption.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, cell.name);
    painter.restore();
}

void ThumbnailGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int top = verticalScrollBar()->value();
    painter.translate(0, -top);
    const QRect visible = event->rect().translated(0, top);
    // Only the rows in view.
    const int pitch = layout_.rowPitch();
    const int firstRow = qMax(0, (visible.top() - kThumbMargin) / pitch);
    const int lastRow = qMax(0, (visible.bottom() - kThumbMargin) / pitch);
    const int columns = layout_.columns();
    const int end = qMin(count(), (lastRow + 1) * columns);
    for (int i = firstRow * columns; i < end; ++i)
        paintCell(painter, i);
    // The keys' cell is outlined while the grid has them; never in the grid's copied image.
    if (hasFocus() && current_ >= 0 && current_ < count()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = cellRect(current_).adjusted(-3, -3, 3, 2);
        focus.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ThumbnailGrid::scrollContentsBy(int, int dy)
{
    viewport()->scroll(0, dy);
}

void ThumbnailGrid::wheelEvent(QWheelEvent* event)
{
    // The bar's arrow step grows with the grid; the wheel moves by rows, smoothly.
    const int pixels = !event->pixelDelta().isNull() ? event->pixelDelta().y()
                                                     : event->angleDelta().y() * layout_.rowPitch() / 240;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - pixels);
    event->accept();
}

int ThumbnailGrid::cellAtView(QPoint viewPoint) const
{
    return layout_.cellAt(viewPoint + QPoint(0, verticalScrollBar()->value()), count());
}

void ThumbnailGrid::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton ? cellAtView(event->position().toPoint()) : -1;
    event->accept();
}

void ThumbnailGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const int index = std::exchange(pressed_, -1);
    if (event->button() == Qt::LeftButton && index >= 0 && index == cellAtView(event->position().toPoint()))
        emit cellClicked(index);
    event->accept();
}

void ThumbnailGrid::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QAbstractScrollArea::mouseMoveEvent(event);
}

QImage ThumbnailGrid::gridImage() const
{
    if (cells_.empty())
        return {};
    const QSize size(viewport()->width(), qMax(viewport()->height(), layout_.heightFor(count())));
    QImage image(size, QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(font());
    bool sensitive = false;
    for (int i = 0; i < count(); ++i) {
        paintCell(painter, i);
        sensitive = sensitive || cells_[size_t(i)].sensitive;
    }
    painter.end();
    // Decrypted pictures are in it: it belongs in protected memory like them.
    return sensitive ? imaging::protectedTake(std::move(image)) : image;
}

} // namespace mv::viewing
