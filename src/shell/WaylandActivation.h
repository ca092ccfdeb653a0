#pragma once

#include <QByteArray>

#include <chrono>

class QWindow;
struct wl_display;
struct wl_surface;

namespace mv::shell {

// Bringing a window to the front on Wayland, where only the compositor decides: it does so for
// a window that shows a token it issued (xdg_activation_v1). A launcher passes the token of a
// start in XDG_ACTIVATION_TOKEN; a program can also ask for one itself. The compositor is
// reached through Qt's own connection, on an event queue of our own, so Qt's dispatching
// never sees our objects.

// Whether the application runs on Qt's Wayland platform.
bool onWayland();

// Whether a window may choose its own place on the screen. On Wayland the compositor places
// every window, and a window's position is neither known nor settable.
bool platformPlacesWindows();

// This start's token: XDG_ACTIVATION_TOKEN as the launcher set it, or, on Wayland, a fresh
// one the compositor issues for this program; empty when neither is to be had in `timeout`.
QByteArray startupActivationToken(std::chrono::milliseconds timeout);

// Asks the compositor at `display` for a token for `appId`, with no surface and no input
// event behind it; empty when it doesn't offer the protocol or doesn't answer in `timeout`.
QByteArray requestActivationToken(wl_display* display, const QByteArray& appId,
                                  std::chrono::milliseconds timeout);

// Asks the compositor at `display` to activate `surface` with `token`. Returns whether the
// request went out; whether the compositor honours it is its decision.
bool activateSurface(wl_display* display, wl_surface* surface, const QByteArray& token,
                     std::chrono::milliseconds timeout);

// Activates `window` with `token` on Wayland. A window on screen is activated at once (even
// when the compositor has stopped drawing it, as it does behind another workspace); one that
// was only just shown, as from the tray, when it is first exposed, as a compositor ignores an
// activation of a surface it hasn't mapped yet. Returns false when not on Wayland, without a
// token, or without a window.
enum class ActivateWhen {
    Now,
    Exposed,
};
bool activateWithToken(QWindow* window, const QByteArray& token, ActivateWhen when);

} // namespace mv::shell
