// Where the main window's panes go, worked out in twips from the window's size alone, so the
// rule can be checked without a screen and the widgets are only placed from its result.
#pragma once

#include <QRect>

namespace mv::shell {

// The window as it was designed: 9495 x 7035 twips outside, the reference that the list
// column is scaled against.
inline constexpr int kReferenceWidth = 9495;
inline constexpr int kReferenceHeight = 7035;

// Every rectangle is in twips, relative to the window's inner (client) area.
struct WindowLayout {
    QRect quickList;
    QRect driveList;
    QRect dirList;
    QRect fileSpec;
    QRect fileList;
    QRect imgFrame;
    QRect imgHScroll;
    QRect imgVScroll;
    QRect fileInfoBar;
    // The whole picture area: the frame together with the strips its scroll bars take when
    // they are shown. The picture area fills this and places its bars inside it.
    QRect pictureArea() const;

    // The panes as designed, before the first resize.
    static WindowLayout designed();
};

struct LayoutInput {
    int innerWidth = 0;  // twips
    int innerHeight = 0; // twips
    int outerWidth = 0;  // twips
    bool listsHidden = false;
    bool hScrollVisible = false;
    bool vScrollVisible = false;
};

// The resize rule. `last` is the layout in force: below half the reference width or height
// the affected coordinates keep their last values. A hidden file list is moved just past the
// window's right edge rather than hidden, so it can keep the keyboard focus.
WindowLayout layoutWindow(const WindowLayout& last, const LayoutInput& in);

} // namespace mv::shell
