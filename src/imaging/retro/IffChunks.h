// Reads the chunks of an IFF "FORM" picture (ILBM or PBM) into a plain description: the BMHD
// header, the colour map, the display mode and a view of the BODY. Chunk lengths are checked
// against the file; a chunk of odd length is followed by one pad byte.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QRgb>
#include <QString>

#include <cstdint>

namespace mv::imaging {

struct IffPicture {
    bool chunky = false; // "PBM ": one byte per pixel instead of bit planes
    int width = 0;
    int height = 0;
    int planes = 0;
    int masking = 0;             // 1: a mask plane follows the colour planes of each row
    int compression = 0;         // 0 none, 1 ByteRun1
    std::uint32_t viewModes = 0; // CAMG
    QList<QRgb> colours;         // CMAP, empty when absent
    QByteArrayView body;

    static constexpr std::uint32_t kExtraHalfBrite = 0x80;
    static constexpr std::uint32_t kHoldAndModify = 0x800;
    static constexpr int kHasMask = 1;
};

// The FORM type when data starts with "FORM", a size and "ILBM" or "PBM "; else empty.
QByteArrayView iffFormType(QByteArrayView data);

// Fills picture from the chunks; the reason in plain words when the file is unusable.
QString readIffChunks(QByteArrayView data, IffPicture* picture);

} // namespace mv::imaging
