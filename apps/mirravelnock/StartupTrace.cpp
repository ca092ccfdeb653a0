#include "StartupTrace.h"

#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

long long nowNs()
{
    timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

} // namespace

StartupTrace::StartupTrace(QWidget* window, QWidget* fileList) : window_(window), fileList_(fileList)
{
    window_->installEventFilter(this);
    fileList_->installEventFilter(this);
    for (QObject* child : fileList_->children())
        if (child->isWidgetType())
            child->installEventFilter(this);
}

bool StartupTrace::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        if (!painted_ && watched == window_) {
            painted_ = true;
            std::fprintf(stderr, "trace: painted %lld\n", nowNs());
        } else if (filled_ && !listed_ && watched != window_) {
            listed_ = true;
            std::fprintf(stderr, "trace: listed %lld\n", nowNs());
        }
    }
    return QObject::eventFilter(watched, event);
}
