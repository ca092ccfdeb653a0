#include "shell/ui/PaneLayout.h"

#include "shell/Twips.h"

#include <QWidget>

namespace mv::shell {

double PaneLayout::dpi() const
{
    const double d = panes_.surface->logicalDpiX();
    return d > 0 ? d : 96.0;
}

int PaneLayout::toTwips(int pixels) const
{
    return pixelsToTwips(pixels, dpi());
}

void PaneLayout::place(QWidget* w, const QRect& twips, bool keepHintHeight) const
{
    if (!w)
        return;
    QRect px = twipsToPixels(twips, dpi());
    // A drop-down drawn lower than its font needs would clip its text; it keeps its top and
    // takes the height it asks for.
    if (keepHintHeight)
        px.setHeight(std::max(px.height(), w->sizeHint().height()));
    w->setGeometry(px);
}

void PaneLayout::apply(bool listsHidden, int outerWidthTwips)
{
    const QSize inner = panes_.surface->size();
    layout_ = layoutWindow(layout_, LayoutInput {toTwips(inner.width()), toTwips(inner.height()),
                                                 outerWidthTwips, listsHidden, false, false});

    for (QWidget* w : {panes_.quickList, panes_.driveList, panes_.pathLine, panes_.dirList, panes_.fileSpec})
        if (w)
            w->setVisible(!listsHidden);
    place(panes_.quickList, layout_.quickList, true);
    place(panes_.driveList, layout_.driveList, true);
    place(panes_.fileSpec, layout_.fileSpec, true);

    // The typed path line takes the top of the folder list's place.
    QRect dir = layout_.dirList;
    if (panes_.pathLine) {
        place(panes_.pathLine, QRect(dir.left(), dir.top(), dir.width(), layout_.driveList.height()), true);
        const int lineBottom = toTwips(panes_.pathLine->geometry().bottom() + 1) + 45;
        dir.setTop(std::min(lineBottom, dir.bottom()));
    }
    place(panes_.dirList, dir);
    place(panes_.fileList, layout_.fileList);
    if (panes_.fileList)
        panes_.fileList->setVisible(true);
    place(panes_.pictureArea, layout_.pictureArea());
    place(panes_.fileInfoBar, layout_.fileInfoBar);
}

bool PaneLayout::listsHiddenAfterMove(bool listsHidden, int xTwips, int outerWidthTwips) const
{
    if (!listsHidden && xTwips < layout_.imgVScroll.left())
        return true;
    if (listsHidden && xTwips >= outerWidthTwips - 300)
        return false;
    return listsHidden;
}

} // namespace mv::shell
