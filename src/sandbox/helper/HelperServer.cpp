#include "sandbox/helper/HelperServer.h"

#include "imaging/base/ProtectedPixels.h"
#include "sandbox/Channel.h"
#include "sandbox/RequestWire.h"
#include "sandbox/helper/JobDecoding.h"
#include "sandbox/helper/ReplyWriter.h"

#include <algorithm>
#include <new>

#include <sys/mman.h>
#include <sys/stat.h>

namespace mv::sandbox {

namespace {

// The job's bytes, mapped read-only for as long as it is decoded.
class MappedBytes {
public:
    explicit MappedBytes(int fd)
    {
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_size < 0)
            return;
        size_ = std::uint64_t(st.st_size);
        if (size_ == 0) {
            ok_ = true;
            return;
        }
        base_ = ::mmap(nullptr, std::size_t(size_), PROT_READ, MAP_SHARED, fd, 0);
        ok_ = base_ != MAP_FAILED;
    }
    ~MappedBytes()
    {
        if (base_ != MAP_FAILED)
            ::munmap(base_, std::size_t(size_));
    }
    MappedBytes(const MappedBytes&) = delete;
    MappedBytes& operator=(const MappedBytes&) = delete;

    [[nodiscard]] bool ok() const { return ok_; }
    [[nodiscard]] const char* data() const
    {
        return base_ == MAP_FAILED ? "" : static_cast<const char*>(base_);
    }
    [[nodiscard]] std::uint64_t size() const { return size_; }

private:
    void* base_ = MAP_FAILED;
    std::uint64_t size_ = 0;
    bool ok_ = false;
};

// A decrypted picture's pixels, once copied out, are zeroed before their memory is reused.
void zeroAll(imaging::Picture& picture)
{
    std::vector<QImage> images {picture.image, picture.reduced};
    if (picture.animation)
        for (const imaging::AnimationFrame& frame : picture.animation->frames)
            images.push_back(frame.image);
    picture = imaging::Picture();
    std::sort(images.begin(), images.end(),
              [](const QImage& a, const QImage& b) { return a.constBits() < b.constBits(); });
    images.erase(std::unique(images.begin(), images.end(),
                             [](const QImage& a, const QImage& b) { return a.constBits() == b.constBits(); }),
                 images.end());
    for (QImage& image : images)
        imaging::zeroPixels(image);
}

} // namespace

JobHandler realDecoders()
{
    return {decodeJob, probeJob};
}

int serveJobs(int channel, const JobHandler& handler)
{
    for (;;) {
        Received job = receiveMessage(channel, wire::kMaxMessageBytes, -1);
        if (job.outcome == Received::Closed)
            return 0;
        ParsedRequest request;
        if (job.outcome != Received::Message || !job.fd.valid() || !parseRequest(job.bytes, request))
            return 2;
        OutgoingReply reply;
        try {
            const MappedBytes bytes(job.fd.get());
            DecodeJob decodeJob;
            if (!bytes.ok() || !jobOf(request, bytes.data(), bytes.size(), decodeJob))
                return 2;
            if (request.header.kind == wire::JobKind::Probe) {
                reply = infoReply(handler.probe(decodeJob));
            } else {
                imaging::Picture picture = handler.decode(decodeJob);
                reply = pictureReply(picture, decodeJob.sensitive);
                if (decodeJob.sensitive)
                    zeroAll(picture);
            }
        } catch (const std::bad_alloc&) {
            reply = failureReply(fileio::Status::failure("decode picture", "out of memory"),
                                 wire::ReplyKind::OutOfMemory);
            (void)sendMessage(channel, reply.message.data(), reply.message.size());
            return 3;
        }
        job.fd.reset();
        if (!sendMessage(channel, reply.message.data(), reply.message.size(), reply.pixels.get()))
            return 0;
    }
}

} // namespace mv::sandbox
