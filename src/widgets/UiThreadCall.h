// A worker asks, the user answers: runs `f` on the thread of `context` (a window) and waits for
// its answer. Never call it from that thread itself: it would wait for itself.
#pragma once

#include <QMetaObject>
#include <QObject>

namespace mv::widgets {

template <typename F>
auto onUiThread(QObject* context, F f)
{
    decltype(f()) answer {};
    QMetaObject::invokeMethod(
        context, [&] { answer = f(); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace mv::widgets
