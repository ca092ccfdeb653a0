// The tray icon's state apart from any widget: which trays the desktop offers, whether the icon
// is in one, the tip as a tray shows it, and so whether minimizing may hide the window.
//
// A desktop takes icons in one of two ways: a StatusNotifier host on the session bus (the
// panels of current desktops) or an X tray window (XEmbed, older panels). Qt picks one of them
// for the whole process the first time it is asked, so the icon is made only once a tray is
// known to be there, in the one Qt will pick: the StatusNotifier host where both are.
#pragma once

#include <QString>

namespace mv::shell {

class TrayState {
public:
    enum class Host {
        None,
        StatusNotifier,
        XEmbed,
    };

    // A tray shows at most this many characters of the tip.
    static constexpr int kTipLength = 63;
    // The tip cut to `kTipLength` whole characters.
    [[nodiscard]] static QString tipText(const QString& tip);

    // `InTray`: whether the icon is wanted in the tray. False when it already was so.
    bool setInTray(bool inTray);
    [[nodiscard]] bool InTray() const { return inTray_; }

    // A tray of that kind came or went.
    void setHostPresent(Host host, bool present);
    [[nodiscard]] bool hostPresent(Host host) const;
    // Where to make the icon now: None while it is not wanted, already made, or no tray is there.
    [[nodiscard]] Host hostForNewIcon() const;
    // The icon was made in `host`; Qt keeps it there for the rest of the process.
    void iconMade(Host host) { madeIn_ = host; }
    [[nodiscard]] Host madeIn() const { return madeIn_; }

    // The added flag: the icon is wanted, made, and the tray it was made in is there to show it.
    // Minimizing hides the window only while this holds; without it nothing could bring the
    // window back.
    [[nodiscard]] bool added() const;

private:
    bool inTray_ = false;
    bool statusNotifier_ = false;
    bool xembed_ = false;
    Host madeIn_ = Host::None;
};

} // namespace mv::shell
