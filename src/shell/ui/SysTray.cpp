#include "shell/ui/SysTray.h"

#include "shell/StatusNotifierHostWatch.h"
#include "shell/ui/XEmbedTrayWatch.h"

#include <QGuiApplication>
#include <QMenu>

namespace mv::shell {

cSysTray::cSysTray(QObject* parent) : QObject(parent), tip_(QGuiApplication::applicationDisplayName()) {}

cSysTray::~cSysTray()
{
    // The icon leaves the tray with the control; nobody is told, the window is going too.
    if (trayIcon_)
        trayIcon_->hide();
}

void cSysTray::setInTray(bool inTray)
{
    if (!state_.setInTray(inTray))
        return;
    if (inTray)
        watchTrays();
    update();
}

void cSysTray::setTrayIcon(const QIcon& icon)
{
    if (icon.isNull())
        return;
    icon_ = icon;
    if (trayIcon_)
        trayIcon_->setIcon(icon_);
}

void cSysTray::setTrayTip(const QString& tip)
{
    tip_ = tip;
    if (trayIcon_)
        trayIcon_->setToolTip(TrayState::tipText(tip_));
}

void cSysTray::setContextMenu(QMenu* menu)
{
    menu_ = menu;
    if (trayIcon_)
        trayIcon_->setContextMenu(menu_);
}

void cSysTray::watchTrays()
{
    if (statusNotifier_)
        return;
    statusNotifier_ = new StatusNotifierHostWatch(QDBusConnection::sessionBus(), this);
    xembed_ = new XEmbedTrayWatch(this);
    connect(statusNotifier_, &StatusNotifierHostWatch::changed, this, &cSysTray::update);
    connect(xembed_, &XEmbedTrayWatch::presentChanged, this, &cSysTray::update);
}

void cSysTray::update()
{
    if (statusNotifier_) {
        state_.setHostPresent(TrayState::Host::StatusNotifier, statusNotifier_->present());
        state_.setHostPresent(TrayState::Host::XEmbed, xembed_->present());
    }
    // Until the bus has answered, an X tray alone would decide for a desktop that has both.
    const TrayState::Host host =
        statusNotifier_ && statusNotifier_->known() ? state_.hostForNewIcon() : TrayState::Host::None;
    // Qt has the last word: it may have settled on the other kind of tray already.
    if (host != TrayState::Host::None && QSystemTrayIcon::isSystemTrayAvailable()) {
        trayIcon_ = new QSystemTrayIcon(icon_, this);
        trayIcon_->setToolTip(TrayState::tipText(tip_));
        trayIcon_->setContextMenu(menu_);
        connect(trayIcon_, &QSystemTrayIcon::activated, this, &cSysTray::onActivated);
        state_.iconMade(host);
    }
    if (trayIcon_)
        trayIcon_->setVisible(state_.InTray());
    if (state_.added() != added_) {
        added_ = state_.added();
        emit addedChanged(added_);
    }
}

void cSysTray::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Each tray reports a whole click at once; the middle button raises nothing.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit MouseDown(1, 0);
        emit MouseUp(1, 0);
        break;
    case QSystemTrayIcon::Context:
        emit MouseDown(2, 0);
        emit MouseUp(2, 0);
        break;
    case QSystemTrayIcon::DoubleClick: emit MouseDblClick(1, 0); break;
    default: break;
    }
}

} // namespace mv::shell
