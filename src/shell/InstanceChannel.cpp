#include "shell/InstanceChannel.h"

#include "fileio/RetryInterrupted.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mv::shell {

using fileutil::FileResult;

namespace {

// The whole conversation: one line each way. The request is this prefix, then either the
// line's end or a space and the later copy's activation token.
constexpr QByteArrayView kMessage = "mirravelnock show-startup-image 1";
constexpr qsizetype kMaxToken = 1024;
constexpr qsizetype kMaxLine = kMessage.size() + 1 + kMaxToken + 1;
constexpr QByteArrayView kAnswer = "ok\n";

// A client that says nothing is dropped after this long, and no more than this many are
// heard at once, so a misbehaving one can neither block others nor use up descriptors.
constexpr int kClientTimeoutMs = 3000;
constexpr int kMaxClients = 16;

// How often a later copy tries again while the first copy, which holds the lock, is not
// yet listening.
constexpr int kRetryMs = 25;

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, 24 * 3600 * 1000));
}

// What a request received so far says: wait for more, drop the client, or the whole line,
// with its token (empty when none) in `token`.
enum class Line {
    Partial,
    Bad,
    Whole
};

Line parseRequest(QByteArrayView got, QByteArray* token)
{
    const qsizetype end = got.indexOf('\n');
    if (end < 0) {
        const bool prefixSoFar = got.size() <= kMessage.size()
                                     ? kMessage.startsWith(got)
                                     : got.startsWith(kMessage) && got[kMessage.size()] == ' ';
        return prefixSoFar && got.size() < kMaxLine ? Line::Partial : Line::Bad;
    }
    // More than the line: not one of us.
    if (end != got.size() - 1 || !got.startsWith(kMessage))
        return Line::Bad;
    if (end == kMessage.size()) {
        token->clear();
        return Line::Whole;
    }
    const QByteArrayView rest = got.sliced(kMessage.size(), end - kMessage.size());
    if (rest[0] != ' ' || !isActivationToken(rest.sliced(1)))
        return Line::Bad;
    *token = rest.sliced(1).toByteArray();
    return Line::Whole;
}

} // namespace

bool isActivationToken(QByteArrayView token)
{
    return !token.isEmpty() && token.size() <= kMaxToken &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

InstanceChannel::InstanceChannel(const QString& dir, QObject* parent) : QObject(parent), dir_(dir) {}

InstanceChannel::~InstanceChannel()
{
    // The socket file goes first: once the lock is free, a new first copy may claim its
    // name.
    if (server_)
        server_->close();
    delete server_;
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString InstanceChannel::socketPath() const
{
    return dir_ + QStringLiteral("/instance.socket");
}

QString InstanceChannel::lockPath() const
{
    return dir_ + QStringLiteral("/instance.lock");
}

bool InstanceChannel::isListening() const
{
    return server_ && server_->isListening();
}

InstanceChannel::Role InstanceChannel::claim()
{
    if (claimed_)
        return role_;
    claimed_ = true;
    if (dir_.isEmpty()) {
        error_ = FileResult::failure(tr("find the runtime folder").toStdString(),
                                     tr("no folder was given").toStdString());
        return role_ = Role::Unknown;
    }
    // Close-on-exec: a program launched from the Secured Access List must not inherit the
    // lock and keep it after we are gone.
    const QByteArray path = QFile::encodeName(lockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = FileResult::failure(tr("open %1").arg(lockPath()).toStdString(), errno);
        return role_ = Role::Unknown;
    }
    if (fileio::retryInterrupted([fd] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return role_ = Role::Later;
        error_ = FileResult::failure(tr("lock %1").arg(lockPath()).toStdString(), err);
        return role_ = Role::Unknown;
    }
    lockFd_ = fd;
    role_ = Role::First;
    listen();
    return role_;
}

void InstanceChannel::listen()
{
    // Holding the lock, we are the only copy that may listen here: a socket file that is
    // there now was left by a copy that died.
    (void)QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(kMaxClients);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    if (!server_->listen(socketPath()))
        error_ = FileResult::failure(tr("listen on %1").arg(socketPath()).toStdString(),
                                     server_->errorString().toStdString());
}

namespace {
void drop(QLocalSocket* client)
{
    client->abort();
    client->deleteLater();
}
} // namespace

void InstanceChannel::accept()
{
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        // At the limit the longest waiting one goes: it has had its chance, and a flood of
        // silent clients can't lock a real copy out.
        if (clients_.size() >= kMaxClients)
            drop(clients_.takeFirst());
        clients_ << client;
        connect(client, &QObject::destroyed, this, [this, client] { clients_.removeOne(client); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { readFrom(client); });
        QTimer::singleShot(kClientTimeoutMs, client, [client] { drop(client); });
        if (client->bytesAvailable() > 0)
            readFrom(client);
    }
}

void InstanceChannel::readFrom(QLocalSocket* client)
{
    QByteArray got = client->property("mvReceived").toByteArray();
    got += client->read(kMaxLine + 1 - got.size());
    client->setProperty("mvReceived", got);
    QByteArray token;
    switch (parseRequest(got, &token)) {
    case Line::Partial: return;
    case Line::Bad: drop(client); return; // not one of us, or more than the message: not listened to
    case Line::Whole: break;
    }
    client->write(kAnswer.data(), kAnswer.size());
    client->disconnectFromServer(); // after the answer has gone out
    QMetaObject::invokeMethod(
        this, [this, token] { emit handOverReceived(token); }, Qt::QueuedConnection);
}

bool InstanceChannel::handOver(std::chrono::milliseconds timeout, const QByteArray& activationToken) const
{
    QByteArray message = kMessage.toByteArray();
    if (isActivationToken(activationToken))
        message += ' ' + activationToken;
    message += '\n';
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(remainingMs(deadline)))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(std::min(kRetryMs, remainingMs(deadline))));
    }
    if (socket.write(message) != message.size())
        return false;
    (void)socket.flush(); // a line of at most ~1 kB fits the socket's buffer, so this never blocks
    QByteArray answer;
    while (answer.size() < kAnswer.size()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remainingMs(deadline)))
            return false;
        answer += socket.read(kAnswer.size() - answer.size());
    }
    return answer == kAnswer;
}

} // namespace mv::shell
