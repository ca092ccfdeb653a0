// The icon is built into the program: a resource the linker dropped would leave every window
// with the platform's blank icon.
#include "widgets/ProgramIcon.h"

#include <QImage>

#include <gtest/gtest.h>

namespace mv::widgets {
namespace {

TEST(ProgramIconTest, EverySizeDrawnIsBuiltIn)
{
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    // The tray's size is drawn, not scaled down from a larger one: mostly opaque.
    const QImage small = icon.pixmap(QSize(16, 16)).toImage();
    ASSERT_EQ(small.size(), QSize(16, 16));
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += qAlpha(small.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 128);
}

} // namespace
} // namespace mv::widgets
