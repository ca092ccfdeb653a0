// The whole of a picture file in memory, read once, straight into a sealed memory file: a
// decoder helper is handed that file as it is, and a decoder in this process reads the same
// pages, so the bytes are copied once, from the page cache. The file is read, not mapped, so
// that another program truncating it can never crash the viewer.
#pragma once

#include "fileio/MemoryFile.h"
#include "fileio/Status.h"

#include <QByteArrayView>
#include <QString>

namespace mv::imaging {

class FileBytes {
public:
    // The bytes of path, at most maxBytes; on failure empty, with the failure in *status (its
    // reason in plain words, as the viewer shows it; the system's error number where known).
    static FileBytes read(const QString& path, qint64 maxBytes, fileio::Status* status);

    [[nodiscard]] QByteArrayView view() const
    {
        return QByteArrayView(memory_.data(), qsizetype(memory_.valid() ? memory_.size() : 0));
    }
    // The memory file holding the bytes, sealed against resizing and writing; -1 when empty.
    [[nodiscard]] int memoryFile() const { return memory_.valid() ? memory_.fd() : -1; }

private:
    fileio::MappedMemoryFile memory_;
};

} // namespace mv::imaging
