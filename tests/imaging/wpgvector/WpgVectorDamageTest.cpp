// Damaged and hostile WPG files: truncation anywhere, point counts beyond the record, sizes
// past the end, a zero-size start record, floods of records; plus the fuzz seeds, written to
// a folder when MV_WRITE_CORPUS is set.
#include "RenderWpg.h"
#include "WpgVectorEncoder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QSize kSize(64, 64);

QByteArray wpg1Sample()
{
    return wpg1File(2400, 1200, { wpg1Colours(1, { qRgb(255, 0, 0) }), wpg1Fill(1, 1), wpg1Line(1, 1, 24),
                                  wpg1Words(0x07, { 240, 240, 480, 480 }),
                                  wpg1Points(0x08, { { 1500, 100 }, { 2300, 100 }, { 1900, 1100 } }),
                                  wpg1Words(0x09, { 600, 600, 400, 200, 30, 0, 0, 0 }),
                                  wpg1Points(0x13, { { 0, 600 }, { 800, 900 }, { 1600, 300 }, { 2400, 600 } }),
                                  wpg1TextAttributes(240, 1), wpg1Text(100, 100, "WPG") });
}

QByteArray wpg2Sample()
{
    WpgBitmapInput s;
    s.width = 4;
    s.height = 4;
    s.depth = 4;
    s.value = [](int x, int y) { return std::uint32_t((x + y) & 15); };
    return wpg2File(1200, 2400, 1200, { wpg2Colour(0x31, qRgb(255, 0, 0), true), wpg2Colour(0x25, qRgb(0, 0, 255)),
                                        wpg2Object(0x18, 0xA000, { 240, 240, 720, 720, 40, 40 }),
                                        wpg2Object(0x15, 0xE000, { 1500, 100, 2300, 100, 1900, 1100 }, 3),
                                        wpg2Object(0x19, 0xA000, { 600, 600, 400, 200, 400, 0, 0, 200 }),
                                        wpg2Object(0x17, 0x8000, { 0, 600, 0, 600, 800, 900, 1600, 300, 2400, 600, 2400, 600 }, 2),
                                        wpg2PlacedBitmap(s, 1200, 0, 2400, 600) });
}

TEST(WpgVectorDamage, TruncatedAnywhereGivesAnErrorOrAPartialPicture)
{
    ensureGuiApplication();
    for (const QByteArray& whole : { wpg1Sample(), wpg2Sample() }) {
        const Picture full = decodeWpgPicture(whole);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            SCOPED_TRACE(cut);
            const Picture p = decodeWpgPicture(whole.first(cut));
            if (!p.ok()) {
                EXPECT_FALSE(p.error.isEmpty());
                continue;
            }
            // A partial drawing keeps the size the start record gave, and draws.
            EXPECT_EQ(p.width, full.width);
            if (p.drawing)
                (void)drawPicture(p, kSize);
        }
    }
}

TEST(WpgVectorDamage, PointCountsAreCappedByTheRecord)
{
    // 65535 points claimed, three stored: the triangle is still drawn, from its three points.
    const QByteArray file = wpg1File(2400, 1200, { wpg1Fill(1, 4), wpg1Points(0x08, { { 1500, 100 }, { 2300, 100 }, { 1900, 1100 } }, 65535) });
    const QImage image = renderWpg(file, QSize(192, 96));
    EXPECT_TRUE(colourNear(image, 152, 62, qRgb(0xAA, 0, 0), 60)); // EGA red, the default colour 4
    EXPECT_TRUE(colourNear(image, 40, 50, qRgb(255, 255, 255), 0));

    const QByteArray file2 = wpg2File(1200, 2400, 1200, { wpg2Object(0x17, 0xE000, { 0, 0, 10, 10 }, 65535),
                                                          wpg2Object(0x15, 0x8000, { 0, 0, 2400, 1200 }, 40000) });
    const Picture p = decodeWpgPicture(file2);
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    (void)drawPicture(p, kSize);
}

TEST(WpgVectorDamage, RecordsPastTheEndEndThePlaybackWithWhatWasDrawn)
{
    QByteArray file = wpg1File(2400, 1200, { wpg1Fill(1, 4), wpg1Words(0x07, { 240, 240, 480, 480 }) });
    file.chop(2); // drop the end record
    file.append(char(0x07));
    file.append(char(0xFF));
    file.append(QByteArray("\xFF\x7F", 2)); // 32767 bytes that are not there
    const Picture p = decodeWpgPicture(file);
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    const QImage image = drawPicture(p, QSize(192, 96));
    EXPECT_TRUE(colourNear(image, 38, 57, qRgb(0xAA, 0, 0), 60));
}

TEST(WpgVectorDamage, ZeroSizeStartRecordsAndMissingStartsAreRefused)
{
    const QByteArray line = wpg1Words(0x05, { 0, 0, 100, 100 });
    Picture p = decodeWpgPicture(wpg1File(0, 1200, { line }));
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.error.startsWith(QStringLiteral("the picture has no size"))) << p.error.toStdString();
    p = decodeWpgPicture(wpg1File(2400, 0, { line }));
    EXPECT_FALSE(p.ok());

    // No start record at all.
    QByteArray noStart = wpg1File(2400, 1200, { line });
    noStart.remove(16, 8);
    p = decodeWpgPicture(noStart);
    EXPECT_FALSE(p.ok());
    EXPECT_FALSE(p.error.isEmpty());
}

TEST(WpgVectorDamage, FloodsOfRecordsAndHugeShapesStayBounded)
{
    // 300000 unknown records, then a rectangle that comes too late to be drawn.
    QList<QByteArray> records(300000, wpg1Rec(0x30, QByteArray(1, '\0')));
    records.append(wpg1Words(0x07, { 0, 0, 2400, 1200 }));
    records.prepend(wpg1Line(1, 1, 0));
    records.prepend(wpg1Words(0x05, { 0, 0, 10, 10 }));
    Picture p = decodeWpgPicture(wpg1File(2400, 1200, records));
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    QImage image = drawPicture(p, QSize(192, 96));
    EXPECT_TRUE(colourNear(image, 96, 48, qRgb(255, 255, 255), 0));

    // Coordinates and pen widths at their extremes.
    p = decodeWpgPicture(wpg1File(65535, 65535, { wpg1Line(1, 1, 65535), wpg1Words(0x09, { 0x8000, 0x7FFF, 0xFFFF, 0xFFFF, 0x7FFF, 0x8000, 0x7FFF, 0 }),
                                                 wpg1TextAttributes(65534, 1), wpg1Text(0, 0, QByteArray(4000, 'W')) }));
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    (void)drawPicture(p, kSize);
}

TEST(WpgVectorDamage, SeedsDecodeAndAreWrittenOnRequest)
{
    const QString target = qEnvironmentVariable("MV_WRITE_CORPUS");
    const QList<std::pair<QString, QByteArray>> seeds = { { "wpg1_shapes.wpg", wpg1Sample() }, { "wpg2_shapes.wpg", wpg2Sample() } };
    for (const auto& [name, bytes] : seeds) {
        const Picture p = decodeWpgPicture(bytes);
        EXPECT_TRUE(p.ok() && p.isVector()) << p.error.toStdString();
        EXPECT_LT(bytes.size(), 4096);
        if (target.isEmpty())
            continue;
        ASSERT_TRUE(QDir().mkpath(target + "/wpgvector"));
        QFile file(target + "/wpgvector/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
}

} // namespace
} // namespace mv::imaging::test
