// What an operation reads and writes: two paths, where the engine opens the source, makes
// the destination and flushes it; or two descriptors the caller holds, where the engine only
// reads and writes, and putting the result in place is the caller's.
#ifndef MVENGINE_FILES_H
#define MVENGINE_FILES_H

namespace mv::engine {

struct Files {
    const char* source = nullptr;
    const char* destination = nullptr;
    int sourceFd = -1;
    int destinationFd = -1;

    bool byDescriptor() const { return sourceFd >= 0; }
};

} // namespace mv::engine

#endif
