// The file list: bare names of the current folder, many selected at once (click, Shift-click,
// Ctrl-click). A model-based view, so a folder of 100,000 files fills it in one go.
#pragma once

#include <QListView>
#include <QPoint>

#include <functional>
#include <optional>

class QDrag;
class QStringListModel;

namespace mv::browser {

class FileListView : public QListView {
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);

    void setNames(const QStringList& names);
    [[nodiscard]] const QStringList& names() const { return names_; }
    // The entry with the focus, or empty text.
    [[nodiscard]] QString currentName() const;
    [[nodiscard]] int currentRow() const;
    // The real name of entry `row` (the list shows control characters as visible symbols).
    [[nodiscard]] QString nameAt(int row) const;
    [[nodiscard]] QStringList selectedNames() const;
    // Makes `row` the only selected entry and the current one; -1 clears the selection.
    void selectRow(int row);
    // The first entry equal to `name`, letter case ignored; -1 when there is none.
    [[nodiscard]] int find(const QString& name) const;

    // The folder the names are in, for dragging them out as files; set with every listing.
    void setFolder(const QString& folder) { folder_ = folder; }
    // Drags the selected entries out as files, in list order, for the drop target to copy or
    // move (`FileList_OLEStartDrag`); a move ends in filesMovedOut().
    void dragSelectedOut();
    // Runs the drag and gives the action the drop target took. Tests replace it.
    std::function<Qt::DropAction(QDrag& drag)> runDrag;

signals:
    // The current entry changed, by mouse, keyboard or code (`FileList_Click`). A mouse button
    // pressed on an entry tells it when the button is let go: the press may start a drag, which
    // must not wait for the entry to be shown (an encrypted one asks for its key first). A press
    // that becomes a drag tells nothing.
    void currentNameChanged(const QString& name);
    // The current entry was clicked, or Enter was pressed on it, without changing it: it is
    // chosen again (`FileList_Click` runs on every click, not only on a change). Told when the
    // button is let go, as above.
    void currentNameClicked(const QString& name);
    void nameDoubleClicked(const QString& name);
    // A drag out ended in a move: the files have left the folder (`FileList_OLECompleteDrag`).
    void filesMovedOut();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The right button drags the selected files out too, as it does in file managers.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QStringListModel* model_;
    QStringList names_;
    QString folder_;
    std::optional<QPoint> rightPressAt_; // a right-button press over the list, until released
    // While a mouse button is down: what its release will tell, if anything.
    enum class PressNotice {
        None,
        Changed,
        Clicked,
    };
    bool buttonDown_ = false;
    PressNotice pressNotice_ = PressNotice::None;
    void tellPressNotice();
};

} // namespace mv::browser
