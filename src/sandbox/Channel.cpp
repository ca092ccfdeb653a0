#include "sandbox/Channel.h"

#include "fileio/RetryInterrupted.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>

namespace mv::sandbox {

bool sendMessage(int socket, const void* data, std::size_t size, int fd)
{
    iovec part {const_cast<void*>(data), size};
    msghdr message {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
    }
    const ssize_t sent = fileio::retryInterrupted([&] { return ::sendmsg(socket, &message, MSG_NOSIGNAL); });
    return sent >= 0 && std::size_t(sent) == size;
}

Received receiveMessage(int socket, std::size_t maxBytes, int timeoutMs)
{
    Received out;
    if (timeoutMs >= 0) {
        pollfd waiting {socket, POLLIN, 0};
        const int ready = fileio::retryInterrupted([&] { return ::poll(&waiting, 1, timeoutMs); });
        if (ready == 0) {
            out.outcome = Received::TimedOut;
            return out;
        }
        if (ready < 0) {
            out.error = errno;
            return out;
        }
    }
    out.bytes.resize(maxBytes);
    iovec part {out.bytes.data(), maxBytes};
    msghdr message {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    // Room for more descriptors than allowed, so that a second one is seen (and closed) rather
    // than cutting the control data short.
    alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))] = {};
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got =
        fileio::retryInterrupted([&] { return ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC); });
    if (got < 0) {
        out.error = errno;
        return out;
    }
    int descriptors = 0;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
            if (descriptors++ == 0)
                out.fd.reset(fd);
            else
                fileio::UniqueFd extra(fd); // closed at once
        }
    }
    if (got == 0 && descriptors == 0) {
        out.outcome = Received::Closed;
        out.bytes.clear();
        return out;
    }
    if ((message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) || descriptors > 1) {
        out.fd.reset();
        out.error = EPROTO;
        return out;
    }
    out.bytes.resize(std::size_t(got));
    out.outcome = Received::Message;
    return out;
}

} // namespace mv::sandbox
