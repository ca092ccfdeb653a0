#include "imaging/wpg/WpgPattern.h"

#include <array>

namespace mv::imaging::wpg {

Qt::BrushStyle wpg1FillStyle(int style)
{
    static constexpr std::array<Qt::BrushStyle, 21> kStyles = {
        Qt::NoBrush,
        Qt::SolidPattern,
        Qt::BDiagPattern,
        Qt::BDiagPattern,
        Qt::BDiagPattern,
        Qt::FDiagPattern,
        Qt::FDiagPattern,
        Qt::FDiagPattern,
        Qt::DiagCrossPattern,
        Qt::DiagCrossPattern,
        Qt::DiagCrossPattern,
        // Qt counts its dense patterns from the densest down.
        Qt::Dense7Pattern,
        Qt::Dense6Pattern,
        Qt::Dense5Pattern,
        Qt::Dense4Pattern,
        Qt::Dense3Pattern,
        Qt::Dense2Pattern,
        Qt::Dense1Pattern,
        Qt::HorPattern,
        Qt::VerPattern,
        Qt::CrossPattern,
    };
    if (style < 0 || style >= int(kStyles.size()))
        return Qt::SolidPattern;
    return kStyles[size_t(style)];
}

Qt::BrushStyle wpg2BrushPattern(int pattern)
{
    if (pattern == 0)
        return Qt::SolidPattern;
    if (pattern == 1)
        return Qt::NoBrush;
    return wpg1FillStyle(pattern);
}

QBrush wpgBrush(Qt::BrushStyle style, const QColor& colour)
{
    if (style == Qt::NoBrush)
        return QBrush(Qt::NoBrush);
    return QBrush(colour, style);
}

} // namespace mv::imaging::wpg
