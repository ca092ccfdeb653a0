#include "imaging/metafile/MetafileDrawing.h"

#include <QPainter>

namespace mv::imaging::metafile {

void MetafileDrawing::draw(QPainter& painter, const QRectF& target) const
{
    if (target.isEmpty() || !painter.isActive())
        return;
    player_(records_, painter, target);
}

} // namespace mv::imaging::metafile
