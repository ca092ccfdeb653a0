// Places the main window's panes from the layout rule, and the auto-hide rule for the mouse on
// the window's own surface. The rule itself (shell/WindowLayout) knows nothing of widgets.
#pragma once

#include "shell/WindowLayout.h"

#include <QPointer>

class QWidget;

namespace mv::shell {

struct Panes {
    QWidget* surface = nullptr; // the window's inner area, parent of the panes
    QWidget* quickList = nullptr;
    QWidget* driveList = nullptr;
    QWidget* pathLine = nullptr;
    QWidget* dirList = nullptr;
    QWidget* fileSpec = nullptr;
    QWidget* fileList = nullptr;
    QWidget* pictureArea = nullptr;
    QWidget* fileInfoBar = nullptr;
};

class PaneLayout {
public:
    explicit PaneLayout(const Panes& panes) : panes_(panes) {}

    // `Form_Resize` for a window that is not minimized: lays the panes out for the surface's
    // present size. `outerWidthTwips` is the window's width with its frame.
    void apply(bool listsHidden, int outerWidthTwips);

    // The mouse on the window's own surface, with no button held and auto-hide on: returns
    // the new lists-hidden state (unchanged when the rule does not apply).
    [[nodiscard]] bool listsHiddenAfterMove(bool listsHidden, int xTwips, int outerWidthTwips) const;

    [[nodiscard]] const WindowLayout& layout() const { return layout_; }
    [[nodiscard]] double dpi() const;
    [[nodiscard]] int toTwips(int pixels) const;

private:
    void place(QWidget* w, const QRect& twips, bool keepHintHeight = false) const;

    Panes panes_;
    WindowLayout layout_ = WindowLayout::designed();
};

} // namespace mv::shell
