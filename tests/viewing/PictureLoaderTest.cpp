// The loads behind the viewer, driven through the event loop: only the latest request is
// delivered, neighbours are prepared and kept within the budget, a changed file is decoded anew.
#include "viewing/PictureLoader.h"

#include "ViewingTestFiles.h"
#include "support/TestDecoders.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using namespace mv::viewing;
using namespace mv::browser;
using namespace mvtest;

namespace {

PictureRequest requestFor(const QString& path)
{
    PictureRequest r;
    r.path = path;
    r.listedName = QFileInfo(path).fileName();
    return r;
}

TEST(PictureLoader, AStaleSelectionNeverReplacesANewerOne)
{
    QTemporaryDir dir;
    const QString big = writeBytes(dir, QStringLiteral("a.png"), noisePng(1500, 1500, 1));
    const QString second = writeBytes(dir, QStringLiteral("b.png"), noisePng(30, 30, 2));
    const QString third = writeBytes(dir, QStringLiteral("c.png"), noisePng(20, 20, 3));
    PictureLoader loader(mv::test::decoders());
    QList<QPair<quint64, QString>> delivered;
    QObject::connect(&loader, &PictureLoader::loaded, [&](quint64 ticket, const SharedOutcome& outcome) {
        delivered.append({ticket, outcome->facts.listedName});
    });
    loader.load(requestFor(big));
    loader.load(requestFor(second)); // waits behind the first, then is replaced
    const quint64 last = loader.load(requestFor(third));
    ASSERT_TRUE(waitFor([&] { return !loader.busy(); }));
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0].first, last);
    EXPECT_EQ(delivered[0].second, QStringLiteral("c.png"));
    // The stale picture that did finish is kept for a return to it; the skipped one is not.
    EXPECT_NE(loader.prepared(requestFor(big)), nullptr);
    EXPECT_EQ(loader.prepared(requestFor(second)), nullptr);

    // After cancel() nothing is delivered.
    loader.load(requestFor(second));
    loader.cancel();
    ASSERT_TRUE(waitFor([&] { return !loader.busy(); }));
    EXPECT_EQ(delivered.size(), 1);
}

TEST(PictureLoader, PreparedNeighboursAreShownWithoutAWorkerUntilTheFileChanges)
{
    QTemporaryDir dir;
    const QString next = writeBytes(dir, QStringLiteral("next.png"), noisePng(50, 40, 4));
    const QString after = writeBytes(dir, QStringLiteral("after.png"), noisePng(60, 40, 5));
    PictureLoader loader(mv::test::decoders());
    loader.prepare({requestFor(next), requestFor(after)});
    ASSERT_TRUE(waitFor([&] { return loader.cache().count() == 2; }));
    const SharedOutcome ready = loader.prepared(requestFor(next));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->facts.width, 50);

    // Other decoding options or a changed file are another picture.
    PictureRequest smaller = requestFor(next);
    smaller.options.targetSize = QSize(10, 10);
    EXPECT_EQ(loader.prepared(smaller), nullptr);
    writeBytes(dir, QStringLiteral("next.png"), noisePng(51, 40, 6));
    EXPECT_EQ(loader.prepared(requestFor(next)), nullptr);

    // Asked for while it is being prepared, a picture is delivered from that preparation.
    QList<QString> delivered;
    QObject::connect(&loader, &PictureLoader::loaded,
                     [&](quint64, const SharedOutcome& o) { delivered << o->facts.listedName; });
    loader.prepare({requestFor(next)});
    loader.load(requestFor(next));
    ASSERT_TRUE(waitFor([&] { return !delivered.isEmpty() && !loader.busy(); }));
    EXPECT_EQ(delivered, QList<QString> {QStringLiteral("next.png")});

    loader.forgetPrepared();
    EXPECT_EQ(loader.prepared(requestFor(after)), nullptr);
    // A load begun before forgetPrepared() (keys cleared) is delivered but not kept.
    QFile::remove(after);
    writeBytes(dir, QStringLiteral("after.png"), noisePng(61, 40, 7));
    loader.load(requestFor(after));
    loader.forgetPrepared();
    ASSERT_TRUE(waitFor([&] { return loader.idle(); }));
    EXPECT_EQ(loader.prepared(requestFor(after)), nullptr);
}

TEST(PreparedCache, KeepsTheMostRecentlyUsedWithinItsBudget)
{
    auto picture = [](int side) {
        auto o = std::make_shared<PictureOutcome>();
        o->kind = PictureOutcome::Shown;
        o->picture.image = QImage(side, side, QImage::Format_RGB32);
        return SharedOutcome(o);
    };
    const qint64 each = picture(100)->bytesHeld();
    PreparedCache cache(2 * each + 10);
    cache.insert(QStringLiteral("a"), picture(100));
    cache.insert(QStringLiteral("b"), picture(100));
    EXPECT_NE(cache.find(QStringLiteral("a")), nullptr); // now the most recent
    cache.insert(QStringLiteral("c"), picture(100));
    EXPECT_EQ(cache.find(QStringLiteral("b")), nullptr);
    EXPECT_NE(cache.find(QStringLiteral("a")), nullptr);
    EXPECT_EQ(cache.bytesHeld(), 2 * each);
    cache.insert(QStringLiteral("a"), picture(100)); // again: replaced, not counted twice
    EXPECT_EQ(cache.bytesHeld(), 2 * each);
    cache.insert(QStringLiteral("huge"), picture(1000)); // alone over the budget: not kept
    EXPECT_EQ(cache.count(), 2);
    auto failed = std::make_shared<PictureOutcome>();
    cache.insert(QStringLiteral("failed"), failed); // only shown pictures are kept
    EXPECT_EQ(cache.find(QStringLiteral("failed")), nullptr);
}

} // namespace
