// Tells whether the X display has a tray that takes icons by XEmbed (the owner of the
// _NET_SYSTEM_TRAY_S<screen> selection), and when one starts or ends. It asks the X server
// itself: asking Qt whether a tray exists would fix Qt's choice of tray for the rest of the
// process, and a panel that starts later could then never be used.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace mv::shell {

class XEmbedTrayWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Watches only on X11; elsewhere there is no such tray and `present()` stays false.
    explicit XEmbedTrayWatch(QObject* parent = nullptr);
    ~XEmbedTrayWatch() override;

    [[nodiscard]] bool present() const { return owner_ != 0; }

signals:
    void presentChanged(bool present);

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Finds the tray's window and asks to hear when it is destroyed.
    void look();

    void* connection_ = nullptr; // xcb_connection_t
    quint32 selection_ = 0;      // _NET_SYSTEM_TRAY_S<screen>
    quint32 manager_ = 0;        // MANAGER: a new tray announces itself with it
    quint32 owner_ = 0;          // the tray's window, 0 while there is none
};

} // namespace mv::shell
