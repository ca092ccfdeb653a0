// What screen readers see of the picture area and the thumbnail grid. The area is a graphic
// named after the picture on show (PictureArea keeps the name); the grid is a list whose items
// are its cells, each named after its file, selectable, the current one selected and, while the
// grid has the keyboard, focused. A cell's press shows its file, as a click does; its focus
// action makes it the current cell. Qt offers no interface for cells that are no widgets, so
// these are made here and handed to Qt through its factory hook.
#pragma once

namespace mv::viewing {

// Hands Qt the interfaces above; the first call does it, later ones nothing.
void installViewingAccessibility();

} // namespace mv::viewing
