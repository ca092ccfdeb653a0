// An enhanced metafile of the tests' standard size decoded and drawn into a white picture.
#pragma once

#include "EmfWriter.h"
#include "RenderSupport.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {

// Bounds of 100 device pixels on a 96-dpi reference device; the frame the same in 0.01 mm.
inline const QRect kEmfBounds(0, 0, 100, 100);
inline const QRect kEmfFrame(0, 0, 2646, 2646);

inline QImage renderEmf(const EmfWriter& w, QSize size = {100, 100})
{
    const Picture p = decodeEmfData(w.file(kEmfBounds, kEmfFrame));
    EXPECT_TRUE(p.ok()) << qPrintable(p.error);
    return render(p, size);
}

} // namespace mv::imaging::test
