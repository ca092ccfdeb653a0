// Pixels of decrypted pictures: out of core dumps, and zeroed once the last image holding them
// is dropped; the reduced copies made of them likewise.
#include "TestPictures.h"

#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"
#include "support/Smaps.h"

#include <algorithm>

namespace mv::imaging::test {
namespace {

TEST(ProtectedPixels, ACopyIsLeftOutOfDumpsAndZeroedWhenItsLastImageGoes)
{
    QImage indexed(300, 200, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    indexed.fill(1);
    int releases = 0;
    bool allZero = false;
    QImage copy = protectedCopy(indexed, [&](const uchar* data, qsizetype length) {
        ++releases;
        allZero = std::all_of(data, data + length, [](uchar b) { return b == 0; });
    });
    ASSERT_FALSE(copy.isNull());
    EXPECT_EQ(copy, indexed); // pixels, format and colours
    EXPECT_TRUE(mv::test::excludedFromDumps(copy.constBits())) << mv::test::vmFlagsAt(copy.constBits());
    EXPECT_FALSE(mv::test::excludedFromDumps(indexed.constBits()));

    QImage shared = copy;
    copy = QImage();
    EXPECT_EQ(releases, 0); // still drawn from `shared`
    shared = QImage();
    EXPECT_EQ(releases, 1);
    EXPECT_TRUE(allZero);
}

TEST(ProtectedPixels, ADecryptedPictureAndItsReducedCopiesAreProtected)
{
    Picture picture = DecodeResult::success(pattern(640, 480), 24);
    const QImage plain = picture.image;
    protectPicture(picture);
    EXPECT_TRUE(picture.sensitive);
    EXPECT_EQ(picture.image, plain);
    EXPECT_TRUE(mv::test::excludedFromDumps(picture.image.constBits()));
    const QImage reduced = reducedCopy(picture.image, QSize(100, 75), true);
    EXPECT_TRUE(mv::test::excludedFromDumps(reduced.constBits()));
    EXPECT_EQ(reduced, reducedCopy(plain, QSize(100, 75))); // the same copy, elsewhere
}

} // namespace
} // namespace mv::imaging::test
