// A desktop panel's StatusNotifierWatcher on the session bus, with its host registered: it says
// a host is there, which is what Qt asks before it puts an icon on the bus, and takes the items
// that register. It answers from a thread of its own, since Qt asks with calls that wait.
#pragma once

#include <QDBusConnection>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>

namespace mv::shell::test {

class WatcherObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)

public:
    [[nodiscard]] bool hostRegistered() const { return true; }
    [[nodiscard]] QStringList items() const
    {
        QMutexLocker lock(&mutex_);
        return items_;
    }

public slots:
    // Qt registers its connection's name; the item is at /StatusNotifierItem there.
    void RegisterStatusNotifierItem(const QString& service)
    {
        QMutexLocker lock(&mutex_);
        items_ << service;
    }

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
        inThread([this] { object_.moveToThread(home_); });
        thread_.quit();
        thread_.wait();
    }

    // The panel starts; false when the watcher's name could not be taken.
    bool start()
    {
        bool ok = false;
        inThread([this, &ok] {
            QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kName);
            ok = bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &object_,
                                    QDBusConnection::ExportAllContents) &&
                 bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        });
        return ok;
    }
    // The panel ends.
    void stop()
    {
        inThread([] { QDBusConnection::disconnectFromBus(kName); });
    }
    [[nodiscard]] QStringList items() const { return object_.items(); }

private:
    template <typename F>
    void inThread(F f)
    {
        QMetaObject::invokeMethod(&object_, f, Qt::BlockingQueuedConnection);
    }

    static inline const QString kName = QStringLiteral("fake-status-notifier-watcher");
    QThread* home_;
    QThread thread_;
    WatcherObject object_;
};

} // namespace mv::shell::test
