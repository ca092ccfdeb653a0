// Dialogs open centred over their owner; the main window's default place is the screen's centre.
#pragma once

class QWidget;

namespace mv::widgets {

// Centres `w` on its screen, raised by the height of its frame, title and menu bar.
void CenterOnScreen(QWidget* w);
// Centres `w` over `owner`, or on the screen when the owner is minimized or absent.
void CenterOnOwner(QWidget* w, QWidget* owner);

} // namespace mv::widgets
