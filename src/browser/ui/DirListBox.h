// The folder list: the chain of folders from the drive's root down to the current folder, then
// the current folder's sub-folders, each indented one step further, as the classic folder list
// shows them. A click only highlights; a double-click or Enter opens.
#pragma once

#include <QListWidget>

namespace mv::browser {

class DirListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirListBox(QWidget* parent = nullptr);

    // `chain` runs from the root to the current folder; `subFolders` are full paths.
    void setFolders(const QStringList& chain, const QStringList& subFolders);
    [[nodiscard]] QString path() const { return path_; }
    // Highlights the entry whose path equals `path` exactly; false when there is none.
    bool highlight(const QString& path);
    [[nodiscard]] QString highlightedPath() const;

signals:
    // The user opened an entry (double-click or Enter).
    void openRequested(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString path_;
};

} // namespace mv::browser
