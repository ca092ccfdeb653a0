// Tells whether the session bus has a StatusNotifier host (the tray of current desktops: a
// panel that shows the icons applications register with org.kde.StatusNotifierWatcher), and
// when one comes or goes: a panel that starts after the program, or ends. It asks in the
// background, so a slow bus never holds up the window.
#pragma once

#include <QDBusConnection>
#include <QObject>

namespace mv::shell {

class StatusNotifierHostWatch : public QObject {
    Q_OBJECT

public:
    explicit StatusNotifierHostWatch(const QDBusConnection& bus, QObject* parent = nullptr);

    // Whether the first answer has come (at once where there is no bus).
    [[nodiscard]] bool known() const { return known_; }
    [[nodiscard]] bool present() const { return present_; }

signals:
    // An answer came: the first one, or one that changes `present()`.
    void changed();

private slots:
    void ask();

private:
    void settle(bool present);

    QDBusConnection bus_;
    quint64 asked_ = 0;
    bool known_ = false;
    bool present_ = false;
};

} // namespace mv::shell
