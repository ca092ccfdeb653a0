#include "shell/TrayState.h"

namespace mv::shell {

QString TrayState::tipText(const QString& tip)
{
    // A character outside the basic plane takes two units; it is kept whole or left out.
    qsizetype units = 0;
    for (int chars = 0; chars < kTipLength && units < tip.size(); ++chars) {
        const bool pair =
            tip[units].isHighSurrogate() && units + 1 < tip.size() && tip[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return tip.left(units);
}

bool TrayState::setInTray(bool inTray)
{
    if (inTray == inTray_)
        return false;
    inTray_ = inTray;
    return true;
}

void TrayState::setHostPresent(Host host, bool present)
{
    if (host == Host::StatusNotifier)
        statusNotifier_ = present;
    else if (host == Host::XEmbed)
        xembed_ = present;
}

bool TrayState::hostPresent(Host host) const
{
    switch (host) {
    case Host::StatusNotifier: return statusNotifier_;
    case Host::XEmbed: return xembed_;
    case Host::None: break;
    }
    return false;
}

TrayState::Host TrayState::hostForNewIcon() const
{
    if (!inTray_ || madeIn_ != Host::None)
        return Host::None;
    if (statusNotifier_)
        return Host::StatusNotifier;
    return xembed_ ? Host::XEmbed : Host::None;
}

bool TrayState::added() const
{
    return inTray_ && madeIn_ != Host::None && hostPresent(madeIn_);
}

} // namespace mv::shell
