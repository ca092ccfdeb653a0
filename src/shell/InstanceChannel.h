#pragma once

#include "fileutil/FileResult.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace mv::shell {

// Which copy of the program this is, and the hand-over of a start-up file between copies.
//
// The first copy holds an flock() on "instance.lock" in the per-user runtime folder for its
// whole life (the system drops it when the process ends, even by a crash), and listens on
// the socket "instance.socket" beside it. Taking the lock decides the role, so two copies
// starting at the same moment can't both become first. A socket file found by the lock's
// new holder was left by a copy that died, and is replaced.
//
// A later copy writes the file into the "StartupImage" mailbox, flushes the settings and
// calls handOver(); the first copy answers as soon as the message is in, then emits
// handOverReceived() from its event loop, which the window turns into ShowStartupImage.
//
// The message may carry the later copy's activation token (the desktop's permission to
// bring a window to the front, XDG_ACTIVATION_TOKEN on Wayland): the first copy's window
// is not the one the user just started, so without it the desktop keeps it behind.
// Whether `token` can be an activation token: 1 to 1024 printable ASCII characters without
// spaces. Anything else is not passed on, so neither copy hands odd bytes to the compositor.
bool isActivationToken(QByteArrayView token);

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First,
        Later,
        // The runtime folder or the lock file can't be used (see error()). Nothing then
        // tells the copies apart; the caller goes on as a first copy, so the program still
        // works and saves its settings, but can't receive hand-overs.
        Unknown,
    };

    // `dir` is the runtime folder runtimeDir() made and checked, or empty when it failed
    // (the role is then Unknown); tests pass a private folder of their own.
    explicit InstanceChannel(const QString& dir, QObject* parent = nullptr);
    // A first copy stops listening, removes its socket file and then lets go of the lock.
    ~InstanceChannel() override;

    // Decides the role, once; later calls return the same answer. As First, listens too;
    // when listening fails the role stays First and error() says why.
    Role claim();
    Role role() const { return role_; }
    bool isListening() const;
    const fileutil::FileResult& error() const { return error_; }

    // Later copy: sends the hand-over message to the first copy and waits for its answer,
    // at most `timeout` in all, also when the first copy is hung or stopped. Returns whether
    // it answered. Blocks the calling thread; use it before any window is shown.
    // `activationToken` is passed on when isActivationToken() accepts it, and left out
    // otherwise.
    bool handOver(std::chrono::milliseconds timeout, const QByteArray& activationToken = {}) const;

    QString socketPath() const;
    QString lockPath() const;

signals:
    // Queued after the answer has been sent: never in the middle of the exchange.
    // `activationToken` is the later copy's, or empty when it had none.
    void handOverReceived(const QByteArray& activationToken);

private:
    void accept();
    void readFrom(QLocalSocket* client);
    void listen();

    QString dir_;
    Role role_ = Role::Unknown;
    bool claimed_ = false;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    QList<QLocalSocket*> clients_; // unanswered, oldest first
    fileutil::FileResult error_;
};

} // namespace mv::shell
