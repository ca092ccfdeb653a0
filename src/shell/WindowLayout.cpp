#include "shell/WindowLayout.h"

#include <cmath>

namespace mv::shell {

namespace {

constexpr int kColumnWidth = 2535; // the list column at the reference width
constexpr int kMargin = 120;

int roundTwips(double v)
{
    return int(std::lround(v));
}

} // namespace

QRect WindowLayout::pictureArea() const
{
    // Best Fit stretches the frame over both scroll bar strips by exactly these amounts.
    return QRect(imgFrame.left(), imgFrame.top(), imgVScroll.left() + 135, imgHScroll.top() + 15);
}

WindowLayout WindowLayout::designed()
{
    WindowLayout l;
    l.quickList = QRect(6720, 60, 2535, 315);
    l.driveList = QRect(6720, 480, 2535, 315);
    l.dirList = QRect(6720, 840, 2535, 2115);
    l.fileSpec = QRect(6720, 3120, 2535, 315);
    l.fileList = QRect(6720, 3480, 2535, 2400);
    l.imgFrame = QRect(120, 120, 6255, 5655);
    l.imgVScroll = QRect(6360, 120, 195, 5655);
    l.imgHScroll = QRect(120, 5760, 6255, 195);
    l.fileInfoBar = QRect(0, 6000, 9375, 330);
    return l;
}

WindowLayout layoutWindow(const WindowLayout& last, const LayoutInput& in)
{
    WindowLayout l = last;

    if (in.innerWidth >= kReferenceWidth / 2) {
        const int w = roundTwips((in.innerWidth - kReferenceWidth) * 0.1 + kColumnWidth);
        const int left = in.innerWidth - w - kMargin;
        for (QRect* r : {&l.quickList, &l.driveList, &l.dirList, &l.fileSpec, &l.fileList}) {
            r->moveLeft(left);
            r->setWidth(w);
        }
        l.fileInfoBar.setWidth(in.innerWidth);
        if (!in.listsHidden) {
            l.imgHScroll.setWidth(l.fileSpec.left() - 465);
            l.imgVScroll.moveLeft(l.fileSpec.left() - 360);
        } else {
            l.imgHScroll.setWidth(in.outerWidth - 570);
            l.imgVScroll.moveLeft(in.outerWidth - 495);
        }
    }

    if (in.innerHeight >= kReferenceHeight / 2) {
        l.fileInfoBar.moveTop(in.innerHeight - l.fileInfoBar.height());
        const int infoTop = l.fileInfoBar.top();
        l.fileSpec.moveTop(roundTwips(in.innerHeight / 2.0875));
        l.fileList.moveTop(l.fileSpec.top() + l.fileSpec.height() + 45);
        l.fileList.setHeight(infoTop - l.fileList.top() - 120);
        l.dirList.setHeight(l.fileSpec.top() - l.dirList.top() - 120);
        l.imgHScroll.moveTop(infoTop - 240);
        l.imgVScroll.setHeight(infoTop - 345);
    }

    if (in.listsHidden)
        l.fileList.moveLeft(in.innerWidth + 960);

    l.imgFrame.setHeight(in.hScrollVisible ? l.imgHScroll.top() - 105 : l.imgHScroll.top() + 15);
    l.imgFrame.setWidth(in.vScrollVisible ? l.imgVScroll.left() - 105 : l.imgVScroll.left() + 135);
    if (in.hScrollVisible && !in.vScrollVisible)
        l.imgHScroll.setWidth(l.imgFrame.width());
    if (in.vScrollVisible && !in.hScrollVisible)
        l.imgVScroll.setHeight(l.imgFrame.height());
    return l;
}

} // namespace mv::shell
