// The whole of a picture file in memory, read once. A large file goes into a buffer on huge
// pages: faulting in thousands of small pages while reading cost more than decoding a
// downscaled JPEG. The file is read, not mapped, so that another program truncating it can
// never crash the viewer.
#pragma once

#include "fileio/Status.h"

#include <QByteArrayView>
#include <QString>

#include <cstdlib>
#include <memory>

namespace mv::imaging {

class FileBytes {
public:
    // The bytes of path, at most maxBytes; on failure empty, with the failure in *status (its
    // reason in plain words, as the viewer shows it; the system's error number where known).
    static FileBytes read(const QString& path, qint64 maxBytes, fileio::Status* status);

    [[nodiscard]] QByteArrayView view() const { return QByteArrayView(data_.get(), size_); }

private:
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> data_;
    qsizetype size_ = 0;
};

} // namespace mv::imaging
