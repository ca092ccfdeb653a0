#include "shell/HandOver.h"

#include "shell/AppSettings.h"
#include "shell/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

namespace mv::shell {

namespace {
constexpr qint64 kMarkerRetryMs = 50;
} // namespace

void claimInstanceMarker(AppSettings& settings, qint64 pid)
{
    settings.setNumber(Setting::Hwnd, pid);
}

void releaseInstanceMarker(AppSettings& settings, qint64 pid)
{
    settings.removeIfEquals(Setting::Hwnd, QString::number(pid));
}

qint64 runningInstanceId(AppSettings& settings)
{
    return settingNumber(settings.readFresh(Setting::Hwnd)).value_or(0);
}

bool handStartupFileOver(AppSettings& settings, const InstanceChannel& channel, const QString& file,
                         std::chrono::milliseconds timeout, const QByteArray& activationToken)
{
    settings.setText(Setting::StartupImage, file);
    // The first copy reads the mailbox from the store as soon as it has our message.
    if (!settings.flush())
        return false;
    // The lock's holder may be starting this moment and not have written its marker yet;
    // once it is up, the marker is there for its whole life.
    const QDeadlineTimer deadline(timeout);
    while (runningInstanceId(settings) == 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(std::clamp<qint64>(deadline.remainingTime(), 0, kMarkerRetryMs)));
    }
    return channel.handOver(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime())),
                            activationToken);
}

} // namespace mv::shell
