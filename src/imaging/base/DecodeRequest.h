// What the format table hands a decoder: the bytes, the options the menus set, and for a
// Dr. Halo .CUT the bytes of the .PAL file beside it.
#pragma once

#include "imaging/base/DecodeOptions.h"

#include <QByteArrayView>

namespace mv::imaging {

struct DecodeRequest {
    QByteArrayView data;
    const DecodeOptions& options;
    QByteArrayView palette; // the .PAL beside a .CUT file; empty otherwise
};

} // namespace mv::imaging
