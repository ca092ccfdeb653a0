#include "KeyInput.h"

#include "fileio/RetryInterrupted.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace mv::cli {

namespace {

constexpr int kMaxKeyChars = 255;
constexpr int kMinNewKeyChars = 4;

int g_ttyFd = -1;
termios g_savedTty {};

// Ctrl-C while the key is typed must not leave the terminal without echo.
void restoreTtyAndExit(int sig)
{
    if (g_ttyFd >= 0)
        ::tcsetattr(g_ttyFd, TCSAFLUSH, &g_savedTty);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void dropLineBreak(QByteArray& line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
}

bool readLineNoEcho(int fd, const char* prompt, QByteArray& line)
{
    // Echo goes off before the prompt shows, and typed-ahead input is kept: a key that is
    // answered as soon as the prompt appears must neither show nor be thrown away.
    termios quiet = g_savedTty;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    ::tcsetattr(fd, TCSADRAIN, &quiet);
    (void)!::write(fd, prompt, std::strlen(prompt));
    line.clear();
    char c = 0;
    bool gotLine = false;
    while (true) {
        if (fileio::retryInterrupted([&] { return ::read(fd, &c, 1); }) <= 0)
            break;
        if (c == '\n') {
            gotLine = true;
            break;
        }
        line.append(c);
        if (line.size() > 4 * kMaxKeyChars + 8)
            break;
    }
    ::tcsetattr(fd, TCSADRAIN, &g_savedTty);
    return gotLine;
}

} // namespace

QString checkKey(const QByteArray& key, KeyPurpose purpose)
{
    if (key.isEmpty())
        return QCoreApplication::translate("mv::cli", "the key is empty");
    if (key.contains('\0'))
        return QCoreApplication::translate("mv::cli", "the key contains a NUL character");
    const qsizetype chars = QString::fromUtf8(key).size();
    if (chars > kMaxKeyChars)
        return QCoreApplication::translate("mv::cli", "the key is longer than %1 characters")
            .arg(kMaxKeyChars);
    if (purpose == KeyPurpose::Encrypt && chars < kMinNewKeyChars)
        return QCoreApplication::translate("mv::cli", "a new key needs at least %1 characters")
            .arg(kMinNewKeyChars);
    return {};
}

void forgetKey(QByteArray& key)
{
    if (!key.isEmpty())
        ::explicit_bzero(key.data(), size_t(key.size()));
    key.clear();
}

QByteArray readKeyFile(const QString& path, KeyPurpose purpose, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("mv::cli", "%1: cannot read the key file: %2")
                     .arg(path, file.errorString());
        return {};
    }
    QByteArray key = file.read(4 * kMaxKeyChars + 8);
    dropLineBreak(key);
    if (const QString why = checkKey(key, purpose); !why.isEmpty()) {
        forgetKey(key);
        *error = QStringLiteral("%1: %2").arg(path, why);
    }
    return key;
}

QByteArray askKeyOnTerminal(KeyPurpose purpose, QString* error)
{
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0 || ::tcgetattr(fd, &g_savedTty) != 0) {
        if (fd >= 0)
            ::close(fd);
        *error = QCoreApplication::translate("mv::cli", "no terminal to ask the key on; use --key-file FILE");
        return {};
    }
    g_ttyFd = fd;
    auto oldInt = ::signal(SIGINT, restoreTtyAndExit);
    auto oldTerm = ::signal(SIGTERM, restoreTtyAndExit);

    QByteArray key, again;
    if (!readLineNoEcho(fd, "Key: ", key)) {
        *error = QCoreApplication::translate("mv::cli", "no key typed");
    } else if (const QString why = checkKey(key, purpose); !why.isEmpty()) {
        *error = why;
    } else if (purpose == KeyPurpose::Encrypt &&
               (!readLineNoEcho(fd, "Key again: ", again) || again != key)) {
        *error = QCoreApplication::translate("mv::cli", "the two keys differ");
    }
    forgetKey(again);
    ::signal(SIGINT, oldInt);
    ::signal(SIGTERM, oldTerm);
    g_ttyFd = -1;
    ::close(fd);
    if (!error->isEmpty())
        forgetKey(key);
    return key;
}

} // namespace mv::cli
