// Writes an operation's blocks on a second thread, so that sealing or opening the next block
// and writing the last one (with the start of its write-back) happen at once: the processor
// and the disk work side by side. Blocks may hold plain text; their buffers are wiped.
#ifndef MVENGINE_WRITE_BEHIND_H
#define MVENGINE_WRITE_BEHIND_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "output_file.h"
#include "wiped_buffer.h"

namespace mv::engine {

class WriteBehind {
public:
    // inBackground false writes each block at once on the caller's thread: a file of one
    // block gains nothing from a thread and a folder of small files would pay for one each.
    WriteBehind(OutputFile& out, std::size_t blockSize, bool inBackground);
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // The block to fill next; valid until push().
    std::uint8_t* block() { return slots_[filling_].data.data(); }
    // Hands the filled block over. False once a write failed, with the reason set.
    bool push(std::size_t len);
    // Waits until every block is written. False if one failed, with the reason set.
    bool finish();

private:
    struct Slot {
        explicit Slot(std::size_t size) : data(size) {}
        WipedBuffer data;
        std::size_t len = 0;
        bool full = false;
    };

    void run();
    bool failedHere();

    OutputFile& out_;
    Slot slots_[2];
    int filling_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ending_ = false;
    bool failed_ = false;
    std::string reason_;
    std::thread writer_;
};

} // namespace mv::engine

#endif
