// The seed files of the fuzz targets (fuzz/): small valid pictures from the test writers. Every
// run checks that each seed decodes, stays small and, when it is a vector picture that should
// show something, draws some ink but not only ink. With MV_WRITE_CORPUS=<tests/imaging/corpus>
// the seeds are also written there, one folder per fuzz target.
#pragma once

#include "Checks.h"
#include "Render.h"

#include <QFileInfo>

namespace mv::imaging::test {

struct Seed {
    QString path; // <target>/<name>
    QByteArray bytes;
    std::function<DecodeResult(QByteArrayView)> decode;
    bool draws = false;
};

inline void checkSeeds(const QList<Seed>& seeds, qsizetype maxBytes)
{
    const QString target = qEnvironmentVariable("MV_WRITE_CORPUS");
    for (const Seed& s : seeds) {
        SCOPED_TRACE(s.path.toStdString());
        const DecodeResult r = s.decode(s.bytes);
        EXPECT_TRUE(r.ok()) << r.status.reason;
        EXPECT_LT(s.bytes.size(), maxBytes);
        if (s.draws) {
            const int dark = darkPixels(render(r, QSize(200, 200)), QRect(0, 0, 200, 200));
            EXPECT_GT(dark, 10);
            EXPECT_LT(dark, 200 * 200);
        }
        if (!target.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(target + QLatin1Char('/') + s.path).path()));
            writeFile(QDir(target), s.path, s.bytes);
        }
    }
}

} // namespace mv::imaging::test
