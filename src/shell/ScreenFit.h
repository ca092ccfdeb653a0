// A window put back where it was stored may be on no screen any more: the screens were
// rearranged, one was unplugged, or the scale changed. Such a window goes onto the screen it
// overlaps most (the first one when it overlaps none), shrunk to it if need be; a window that
// lies wholly on the screens stays where it is, even across two of them.
#pragma once

#include <QList>
#include <QRect>

namespace mv::shell {

// window and the screens' available areas (the primary first), in the same pixels.
[[nodiscard]] QRect fitOnScreens(const QRect& window, const QList<QRect>& screens);

} // namespace mv::shell
