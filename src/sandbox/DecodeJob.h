// One picture to decode, as the viewer and the command-line tools hand it to a decoder: the
// plain bytes (never a path, a key or a descriptor of the user's file), the decoding options
// and the size a vector picture is to be drawn at.
#pragma once

#include "imaging/base/DecodeOptions.h"

#include <QByteArrayView>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace mv::sandbox {

// The size a vector picture (a metafile, a WordPerfect drawing) is drawn at: fitted into box
// when it is valid, else its natural size times scale. Raster pictures ignore it.
struct DrawSize {
    QSize box;
    double scale = 1;
};

struct DecodeJob {
    QByteArrayView bytes; // the picture's plain bytes
    // A memory file that holds bytes at its start, sealed against resizing, and against writing
    // unless the job is sensitive (as imaging::FileBytes reads a file and crypto::PlainBytes
    // holds a decryption): a helper is handed it without a copy. -1: the bytes are copied into
    // a memory file of their own.
    int bytesFile = -1;
    QString fileName; // lends only its extension, for types that have no magic
    imaging::DecodeOptions options;
    QByteArrayView palette; // the .PAL beside a .CUT; empty otherwise
    DrawSize draw;
    // Decrypted bytes: the pixels come back in protected memory (ProtectedPixels.h), and a copy
    // of the bytes made for the decoder is wiped when it is done (bytesFile's owner wipes its own).
    bool sensitive = false;
    // The user waits for it: it gets the next free decoder before pictures prepared ahead.
    bool urgent = true;
    // Names the file as it is (path, size, modification time). A file that stopped the decoder
    // three times in a row is refused until it changes. Empty: never refused.
    QString strikeKey;
};

// The pixel size a vector picture of natural size is drawn at for draw: at least 1 x 1, and no
// larger than kMaxDrawnPixels (keeping the aspect), beyond which the view enlarges it.
QSize drawnVectorSize(QSizeF natural, const DrawSize& draw);

inline constexpr qint64 kMaxDrawnPixels = qint64(64) << 20;

} // namespace mv::sandbox
