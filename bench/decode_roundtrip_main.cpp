// One small picture, a 64 x 64 PNG, decoded in a decoder helper and in this process, side by
// side: what a round trip to a helper costs beyond the decoding. Prints "name value" lines
// for view_compare.sh, times in milliseconds (the median of rounds of 200 decodes each).
// Given a file and a box (decode_roundtrip_bench FILE WxH), the same for that file decoded
// to fit the box, in rounds of 5, the two turn about.
#include "sandbox/HelperPool.h"
#include "sandbox/helper/InProcessDecoders.h"
#include "support/NoisePicture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QByteArray noisePng(int size)
{
    return mv::test::noisePng(size, size, 1);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds per decode in each of two places, the median of rounds taken turn about.
std::pair<double, double> perDecode(mv::sandbox::Decoders& first, mv::sandbox::Decoders& second,
                                    const mv::sandbox::DecodeJob& job, int decodes)
{
    constexpr int kRounds = 7;
    std::vector<double> a;
    std::vector<double> b;
    for (int r = 0; r < kRounds; ++r) {
        for (auto [decoders, times] : {std::pair {&first, &a}, std::pair {&second, &b}}) {
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < decodes; ++i) {
                if (!decoders->decode(job).ok()) {
                    std::fprintf(stderr, "decode_roundtrip_bench: the picture did not decode\n");
                    std::exit(1);
                }
            }
            times->push_back(double(clock.nsecsElapsed()) / 1e6 / decodes);
        }
    }
    return {median(a), median(b)};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool file = argc == 3;
    QByteArray bytes = noisePng(64);
    mv::sandbox::DecodeJob job;
    job.fileName = QStringLiteral("small.png");
    if (file) {
        QFile in(QString::fromLocal8Bit(argv[1]));
        const QStringList box = QString::fromLatin1(argv[2]).split(u'x');
        if (!in.open(QIODevice::ReadOnly) || box.size() != 2)
            return 2;
        bytes = in.readAll();
        job.fileName = in.fileName();
        job.options.targetSize = QSize(box[0].toInt(), box[1].toInt());
    }
    job.bytes = bytes;
    mv::sandbox::InProcessDecoders here;
    mv::sandbox::PoolOptions one;
    one.maxHelpers = 1;
    mv::sandbox::HelperPool helpers(one);
    (void)helpers.decode(job); // started and warm
    const auto [inProcess, helper] = perDecode(here, helpers, job, file ? 5 : 200);
    const char* name = file ? "file" : "png64";
    std::printf("%s_inprocess_ms %.3f\n%s_helper_ms %.3f\n%s_roundtrip_overhead_ms %.3f\n", name, inProcess,
                name, helper, name, helper - inProcess);
    return 0;
}
