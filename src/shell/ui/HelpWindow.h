#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QMessageBox;
class QSplitter;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace mv::shell {

// The user manual: its headings as a table of contents beside the text. Non-modal; one window
// per owner, reused each time help is asked for. F1 again or Esc closes it.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Shows `markdown` and rebuilds the contents from its "#" and "##" headings.
    void setManual(const QString& markdown);

    // Scrolls the text so that the heading of `item` is at the top.
    void showHeading(QTreeWidgetItem* item);

    [[nodiscard]] QTreeWidget* contentsTree() const { return contents_; }
    [[nodiscard]] QTextBrowser* textView() const { return text_; }

    // The manual as built into the program; empty when the resource can't be read.
    [[nodiscard]] static std::optional<QString> loadManual();

    // Test seam: read the manual from `path` instead (empty restores the built-in one).
    static void setManualPathForTesting(const QString& path);

private:
    void buildContents();
    void fitToScreen();

    QSplitter* splitter_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QTextBrowser* text_ = nullptr;
};

// Opens the owner's help window (making it on first use) and brings it to the front. Returns
// false, showing nothing, when the manual can't be loaded; the caller then shows
// showHelpMissing().
bool showManual(QWidget* owner);

// The error shown when the manual can't be opened, built but not shown (tests inspect it).
QMessageBox* makeHelpMissingBox(QWidget* owner);
// Shows that error modally.
void showHelpMissing(QWidget* owner);

} // namespace mv::shell
