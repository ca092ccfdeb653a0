#include "shell/ui/XEmbedTrayWatch.h"

#include <QGuiApplication>

#include <cstdlib>

#include <xcb/xcb.h>

namespace mv::shell {

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const QByteArray& name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

XEmbedTrayWatch::XEmbedTrayWatch(QObject* parent) : QObject(parent)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    auto* c = x11->connection();
    connection_ = c;
    // The tray of the screen Qt opened, as Qt looks for it.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    std::free(host);
    selection_ = internAtom(c, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
    manager_ = internAtom(c, "MANAGER");
    // A new tray tells the root window, whose structure events Qt already receives.
    QCoreApplication::instance()->installNativeEventFilter(this);
    look();
}

XEmbedTrayWatch::~XEmbedTrayWatch()
{
    if (connection_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XEmbedTrayWatch::look()
{
    auto* c = static_cast<xcb_connection_t*>(connection_);
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection_), nullptr);
    const quint32 owner = reply ? reply->owner : 0;
    std::free(reply);
    if (owner) {
        // Qt asks the same of the tray's window: the event mask is one per client and window.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, owner, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    const bool was = present();
    owner_ = owner;
    if (present() != was)
        emit presentChanged(present());
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CLIENT_MESSAGE: {
        const auto* m = static_cast<const xcb_client_message_event_t*>(message);
        if (m->type == manager_ && m->format == 32 && m->data.data32[1] == selection_)
            look();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (owner_ && destroyed->window == owner_)
            look();
        break;
    }
    default: break;
    }
    return false; // Qt's own tray code needs the same events
}

} // namespace mv::shell
