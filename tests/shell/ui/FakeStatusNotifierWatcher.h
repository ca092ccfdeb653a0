// A desktop panel's StatusNotifierWatcher, with a host registered, on the session bus: it takes
// the items that register and says a host is there, which is all Qt asks before it puts an icon
// on the bus. It answers from a thread of its own, since Qt asks it with calls that wait.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QStringList>
#include <QThread>

namespace mv::shell::test {

class WatcherObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    [[nodiscard]] bool hostRegistered() const { return true; }
    [[nodiscard]] int protocolVersion() const { return 0; }
    [[nodiscard]] QStringList items() const
    {
        QMutexLocker lock(&mutex_);
        return items_;
    }

public slots:
    // Qt registers its connection's unique name; the item lives at /StatusNotifierItem there.
    void RegisterStatusNotifierItem(const QString& service)
    {
        QMutexLocker lock(&mutex_);
        items_ << service;
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    mutable QMutex mutex_;
    QStringList items_;
};

class FakeStatusNotifierWatcher {
public:
    FakeStatusNotifierWatcher() : home_(QThread::currentThread())
    {
        thread_.start();
        object_.moveToThread(&thread_);
    }
    ~FakeStatusNotifierWatcher()
    {
        stop();
        QMetaObject::invokeMethod(
            &object_, [this] { object_.moveToThread(home_); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    // The panel starts: false when the name could not be taken.
    bool start()
    {
        bool ok = false;
        QMetaObject::invokeMethod(
            &object_,
            [this, &ok] {
                QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
                ok = bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &object_,
                                        QDBusConnection::ExportAllContents) &&
                     bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
            },
            Qt::BlockingQueuedConnection);
        return ok;
    }
    // The panel ends.
    void stop()
    {
        QMetaObject::invokeMethod(
            &object_, [] { QDBusConnection::disconnectFromBus(kConnection); }, Qt::BlockingQueuedConnection);
    }
    [[nodiscard]] QStringList items() const { return object_.items(); }

private:
    static inline const QString kConnection = QStringLiteral("fake-status-notifier-watcher");
    QThread* home_;
    QThread thread_;
    WatcherObject object_;
};

} // namespace mv::shell::test
