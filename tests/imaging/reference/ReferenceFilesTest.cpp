// Pictures written by other programs (ImageMagick, GraphicsMagick, netpbm, cjpeg, tiffcp), each
// decoded through our entry point and compared with another program's reading of it, kept
// beside it as <file>.png. tests/data/SOURCES says how each pair was made, and by whom. Each
// also decodes to the same pixels in the decoder helper, where the program decodes it, as in
// this process.
#include "imaging/PictureDecoder.h"
#include "support/TestDecoders.h"

#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace mv::imaging {
namespace {

const QString kDataDir = QStringLiteral(MV_TEST_DATA);

// Files where our reading and the stored one differ and we know which is right; the READMEs
// beside them say why. Once the two agree the case fails, as a reminder to drop its entry.
struct KnownDisagreement {
    const char* prefix;
    const char* why;
};
constexpr KnownDisagreement kKnownDisagreements[] = {
    {"iff-ilbm-ham6-", "netpbm is wrong here, not us: it keeps the held colour's low 4 bits where a "
                       "HAM6 change sets the whole component to v*17 (tests/data/iff-ham.README)"},
};

// Every file that has a reading beside it.
std::vector<std::string> referenceFiles()
{
    std::vector<std::string> names;
    const QDir dir(kDataDir);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (dir.exists(name + QStringLiteral(".png")))
            names.push_back(name.toStdString());
    }
    return names;
}

// JPEG readings come from djpeg, with its defaults (accurate DCT, smooth chroma upsampling),
// or for a "-fastdct-" file with the viewer's defaults (djpeg -dct fast -nosmooth). With the
// same libjpeg that is exact; another build may take SIMD paths that round a step apart.
// Every other type must match exactly.
DecodeOptions optionsFor(const std::string& name)
{
    if (name.find("-fastdct-") != std::string::npos)
        return {};
    return {.dctMethod = DctMethod::SlowInteger, .jpegFancyUpsampling = true, .targetSize = {}};
}

// Empty when the pictures match; else where they first differ and how many pixels do.
// Pixels that both sides leave fully transparent match whatever colour they carry.
std::string difference(const QImage& ours, const QImage& theirs, int tolerance)
{
    int count = 0;
    std::string first;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
            const int worst = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                        std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            if ((qAlpha(a) != 0 || qAlpha(b) != 0) && worst > tolerance && count++ == 0)
                first = "at " + std::to_string(x) + "," + std::to_string(y) + " ours #" +
                        QString::number(a, 16).toStdString() + ", theirs #" +
                        QString::number(b, 16).toStdString();
        }
    return count == 0 ? std::string() : first + " (" + std::to_string(count) + " pixels differ)";
}

class ReferenceFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceFiles, MatchesTheStoredReadingHereAndInTheHelper)
{
    const std::string name = GetParam();
    QFile file(kDataDir + QLatin1Char('/') + QString::fromStdString(name));
    const QImage theirs =
        QImage(file.fileName() + QStringLiteral(".png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(theirs.isNull()) << "cannot read " << name << ".png";

    const Picture picture = decodePictureFile(file.fileName(), optionsFor(name));
    ASSERT_TRUE(picture.ok()) << picture.status.reason;
    ASSERT_FALSE(picture.isVector());
    const QImage ours = picture.image.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ours.size(), theirs.size());

    // In the helper: the same format, colour table, pixels and facts; not the colour space a
    // file may name, which the helper does not hand back (the viewer draws pixels as they are).
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    sandbox::DecodeJob job;
    job.bytes = bytes;
    job.fileName = QString::fromStdString(name);
    job.options = optionsFor(name);
    const Picture there = test::decoders().decode(job);
    ASSERT_TRUE(there.ok()) << there.status.reason;
    QImage here = picture.image;
    here.setColorSpace(QColorSpace());
    EXPECT_EQ(there.image, here);
    // Every time: a helper that decoded before must not leave its memory in the pixels.
    for (int again = 0; again < 2; ++again)
        EXPECT_EQ(test::decoders().decode(job).image, here) << "reading " << again + 2;
    EXPECT_EQ(there.typeName, picture.typeName);
    EXPECT_EQ(QSize(there.width, there.height), QSize(picture.width, picture.height));
    EXPECT_EQ(there.colorDepth, picture.colorDepth);

    const std::string diff = difference(ours, theirs, name.ends_with(".jpg") ? 1 : 0);
    for (const KnownDisagreement& known : kKnownDisagreements) {
        if (name.starts_with(known.prefix)) {
            ASSERT_FALSE(diff.empty()) << "the readings agree now: drop the entry \"" << known.prefix << "\"";
            GTEST_SKIP() << known.why << "; " << diff;
        }
    }
    EXPECT_TRUE(diff.empty()) << diff;
}

std::string caseName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string s = info.param;
    std::replace_if(
        s.begin(), s.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return s;
}

INSTANTIATE_TEST_SUITE_P(Files, ReferenceFiles, ::testing::ValuesIn(referenceFiles()), caseName);

} // namespace
} // namespace mv::imaging
