#include "shell/WaylandActivation.h"

#include "shell/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <wayland-client.h>

// The scanner's inline functions cast a listener's const away.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-qual"
#include "xdg-activation-v1-client-protocol.h"
#pragma GCC diagnostic pop

namespace mv::shell {

namespace {

// A window being shown waits this long at most for the compositor to map it.
constexpr int kMapWaitMs = 5000;
constexpr std::chrono::milliseconds kActivateTimeout {2000};

// Our own view of the compositor: an event queue Qt doesn't dispatch, the registry on it, and
// the activation global when the compositor offers it. Everything made here is destroyed
// before the queue.
class ActivationClient {
public:
    explicit ActivationClient(wl_display* display) : display_(display)
    {
        queue_ = wl_display_create_queue(display_);
        wrapper_ = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
        if (!queue_ || !wrapper_)
            return;
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper_), queue_);
        registry_ = wl_display_get_registry(wrapper_);
        if (registry_)
            wl_registry_add_listener(registry_, &kRegistryListener, this);
    }
    ~ActivationClient()
    {
        if (activation_)
            xdg_activation_v1_destroy(activation_);
        if (registry_)
            wl_registry_destroy(registry_);
        if (wrapper_)
            wl_proxy_wrapper_destroy(wrapper_);
        if (queue_)
            wl_event_queue_destroy(queue_);
    }
    ActivationClient(const ActivationClient&) = delete;
    ActivationClient& operator=(const ActivationClient&) = delete;

    // Binds the activation global; false when the compositor has none or doesn't answer.
    bool bind(const QDeadlineTimer& deadline)
    {
        if (!registry_)
            return false;
        bool synced = false;
        wl_callback* sync = wl_display_sync(wrapper_);
        if (!sync)
            return false;
        wl_callback_add_listener(sync, &kSyncListener, &synced);
        const bool answered = dispatchUntil(deadline, [&] { return synced; });
        wl_callback_destroy(sync);
        return answered && activation_;
    }

    QByteArray requestToken(const QByteArray& appId, const QDeadlineTimer& deadline)
    {
        xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(activation_);
        if (!request)
            return {};
        QByteArray token;
        bool done = false;
        struct Reply {
            QByteArray* token;
            bool* done;
        } reply {&token, &done};
        static const xdg_activation_token_v1_listener listener {
            [](void* data, xdg_activation_token_v1*, const char* issued) {
                auto* r = static_cast<Reply*>(data);
                *r->token = QByteArray(issued);
                *r->done = true;
            }};
        xdg_activation_token_v1_add_listener(request, &listener, &reply);
        if (!appId.isEmpty())
            xdg_activation_token_v1_set_app_id(request, appId.constData());
        xdg_activation_token_v1_commit(request);
        const bool answered = dispatchUntil(deadline, [&] { return done; });
        xdg_activation_token_v1_destroy(request);
        return answered && isActivationToken(token) ? token : QByteArray();
    }

    bool activate(wl_surface* surface, const QByteArray& token)
    {
        xdg_activation_v1_activate(activation_, token.constData(), surface);
        return wl_display_flush(display_) >= 0 || errno == EAGAIN;
    }

private:
    // Reads and dispatches our queue until `done` or the deadline, sharing the connection's
    // socket with Qt's reader in the way libwayland allows several readers.
    template <typename Done>
    bool dispatchUntil(const QDeadlineTimer& deadline, Done done)
    {
        while (!done()) {
            if (wl_display_dispatch_queue_pending(display_, queue_) < 0)
                return false;
            if (done())
                break;
            if (wl_display_prepare_read_queue(display_, queue_) != 0)
                continue; // events arrived on our queue meanwhile: dispatch them first
            if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
                wl_display_cancel_read(display_);
                return false;
            }
            pollfd fd {wl_display_get_fd(display_), POLLIN, 0};
            const int ms = int(std::clamp<qint64>(deadline.remainingTime(), 0, 60'000));
            const int ready = ::poll(&fd, 1, ms);
            if (ready <= 0) {
                wl_display_cancel_read(display_);
                if (ready < 0 && errno == EINTR)
                    continue;
                return false;
            }
            if (wl_display_read_events(display_) < 0)
                return false;
        }
        return true;
    }

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
    {
        auto* self = static_cast<ActivationClient*>(data);
        if (!self->activation_ && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
            self->activation_ = static_cast<xdg_activation_v1*>(
                wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
    static void globalRemoved(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener kRegistryListener {global, globalRemoved};
    static constexpr wl_callback_listener kSyncListener {
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};

    wl_display* display_;
    wl_event_queue* queue_ = nullptr;
    wl_display* wrapper_ = nullptr;
    wl_registry* registry_ = nullptr;
    xdg_activation_v1* activation_ = nullptr;
};

wl_display* qtDisplay()
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return onWayland() && native ? static_cast<wl_display*>(
                                       native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")))
                                 : nullptr;
}

bool activateNow(QWindow* window, const QByteArray& token)
{
    wl_display* display = qtDisplay();
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface =
        native
            ? static_cast<wl_surface*>(native->nativeResourceForWindow(QByteArrayLiteral("surface"), window))
            : nullptr;
    return display && surface && activateSurface(display, surface, token, kActivateTimeout);
}

// Waits for a window being shown to be on screen, then activates it once.
class ActivateWhenExposed : public QObject {
public:
    ActivateWhenExposed(QWindow* window, const QByteArray& token)
        : QObject(window), window_(window), token_(token)
    {
        window->installEventFilter(this);
        QTimer::singleShot(kMapWaitMs, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed()) {
            window_->removeEventFilter(this);
            // After the exposure's first frame has gone out: the compositor maps the surface
            // with that commit, and takes requests in the order they were sent.
            QTimer::singleShot(0, this, [this] {
                (void)activateNow(window_, token_);
                deleteLater();
            });
        }
        return false;
    }

private:
    QWindow* window_;
    QByteArray token_;
};

} // namespace

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool platformPlacesWindows()
{
    return !onWayland();
}

QByteArray startupActivationToken(std::chrono::milliseconds timeout)
{
    const QByteArray given = qgetenv("XDG_ACTIVATION_TOKEN");
    if (isActivationToken(given))
        return given;
    wl_display* display = qtDisplay();
    return display ? requestActivationToken(display, QGuiApplication::desktopFileName().toUtf8(), timeout)
                   : QByteArray();
}

QByteArray requestActivationToken(wl_display* display, const QByteArray& appId,
                                  std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    ActivationClient client(display);
    return client.bind(deadline) ? client.requestToken(appId, deadline) : QByteArray();
}

bool activateSurface(wl_display* display, wl_surface* surface, const QByteArray& token,
                     std::chrono::milliseconds timeout)
{
    if (!isActivationToken(token))
        return false;
    ActivationClient client(display);
    return client.bind(QDeadlineTimer(timeout)) && client.activate(surface, token);
}

bool activateWithToken(QWindow* window, const QByteArray& token, ActivateWhen when)
{
    if (!window || !onWayland() || !isActivationToken(token))
        return false;
    if (when == ActivateWhen::Now || window->isExposed())
        return activateNow(window, token);
    new ActivateWhenExposed(window, token);
    return true;
}

} // namespace mv::shell
