// `cSysTray`: the program's icon in the desktop's tray, over QSystemTrayIcon (a StatusNotifier
// item on current desktops, an XEmbed icon where only an X tray exists). It keeps the icon and
// its tip up to date and turns what the tray reports into the mouse events the window handles.
//
// The icon is made only once a tray is there to take it, and `isAdded()` tells whether one
// really shows it now: Qt would count an icon as shown with no tray on the desktop at all, and
// a window hidden behind such an icon could never be brought back. A panel that starts after
// the program gets the icon then; one that ends takes the added flag with it.
//
// Qt reports clicks only, not the pointer resting over the icon: there is no `MouseMove`.
#pragma once

#include "shell/TrayState.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace mv::shell {

class StatusNotifierHostWatch;
class XEmbedTrayWatch;

class cSysTray : public QObject {
    Q_OBJECT

public:
    explicit cSysTray(QObject* parent = nullptr);
    ~cSysTray() override;

    // `InTray`: True puts the icon into the tray (as soon as the desktop has one), False takes
    // it out; writing the present value does nothing. The trays are watched from the first True.
    [[nodiscard]] bool InTray() const { return state_.InTray(); }
    void setInTray(bool inTray);
    // `TrayIcon`: an empty icon is ignored.
    [[nodiscard]] QIcon TrayIcon() const { return icon_; }
    void setTrayIcon(const QIcon& icon);
    // `TrayTip`: kept whole here, shown cut to its first 63 characters.
    [[nodiscard]] QString TrayTip() const { return tip_; }
    void setTrayTip(const QString& tip);
    // The menu the tray shows at the pointer on a right click.
    void setContextMenu(QMenu* menu);

    // The added flag: true while a tray really shows the icon.
    [[nodiscard]] bool isAdded() const { return state_.added(); }

signals:
    // Button 1 left, 2 right; `id` is the icon's id, always 0.
    void MouseDown(int button, int id);
    void MouseUp(int button, int id);
    void MouseDblClick(int button, int id);
    // The icon came into a tray or left it.
    void addedChanged(bool added);

private:
    void watchTrays();
    // Makes, shows or hides the icon as the state has it now; tells a change of the added flag.
    void update();
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    TrayState state_;
    QIcon icon_;
    QString tip_;
    QMenu* menu_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    StatusNotifierHostWatch* statusNotifier_ = nullptr;
    XEmbedTrayWatch* xembed_ = nullptr;
    bool added_ = false;
};

} // namespace mv::shell
