// A metafile picture: the checked records, played onto any painter at any size.
#pragma once

#include "imaging/base/VectorDrawing.h"
#include "imaging/metafile/MetafileRecords.h"

namespace mv::imaging::metafile {

class MetafileDrawing final : public VectorDrawing {
public:
    using Player = void (*)(const MetafileRecords&, QPainter&, const QRectF&);

    MetafileDrawing(MetafileRecords records, Player player) : records_(std::move(records)), player_(player) {}

    [[nodiscard]] QSizeF naturalSize() const override { return records_.natural; }
    void draw(QPainter& painter, const QRectF& target) const override;
    [[nodiscard]] const MetafileRecords& records() const { return records_; }

private:
    MetafileRecords records_;
    Player player_;
};

} // namespace mv::imaging::metafile
