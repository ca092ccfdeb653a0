// The grid's thumbnails off the user-interface thread: an encrypted picture decrypted in
// memory and kept in protected memory with nothing written anywhere; plain pictures through
// the desktop's cache, owner-only, whole, and made again when the file changes; cells handed
// over in grid order, a missing key holding them up until it is typed or the build stopped.
#include "viewing/ThumbnailBuilder.h"

#include "ViewingTestFiles.h"
#include "desktop/PngText.h"
#include "fileutil/TestFiles.h"
#include "support/TestDecoders.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

using namespace Qt::StringLiterals;
using namespace mv;
using namespace mv::viewing;
using namespace mvtest;

namespace {

ThumbnailRequest requestFor(const QString& path, std::shared_ptr<const desktop::ThumbnailCache> cache = {})
{
    ThumbnailRequest r;
    r.path = path;
    r.listedName = QFileInfo(path).fileName();
    r.box = QSize(80, 80);
    r.cache = std::move(cache);
    r.decoders = &mv::test::decoders();
    return r;
}

TEST(ThumbnailLoad, AnEncryptedPictureIsDecodedInMemoryAndWrittenNowhere)
{
    QTemporaryDir dir;
    QTemporaryDir cacheRoot;
    const QString secret = writeEncrypted(dir, u"secret.png"_s, noisePng(400, 200, 7), "key 1");
    const QString text = writeEncrypted(dir, u"diary.txt"_s, "dear diary", "key 1");
    ASSERT_FALSE(secret.isEmpty());
    const QStringList before = filesUnder(dir.path());
    auto cache = std::make_shared<const desktop::ThumbnailCache>(cacheRoot.path());

    ThumbnailRequest request = requestFor(secret, cache);
    EXPECT_EQ(loadThumbnail(request).kind, ThumbnailOutcome::NeedsKey);
    request.keys.push_back(mv::crypto::SecretText::fromText(u"wrong"_s));
    EXPECT_EQ(loadThumbnail(request).kind, ThumbnailOutcome::NeedsKey);
    request.keys.push_back(mv::crypto::SecretText::fromText(u"key 1"_s));
    const ThumbnailOutcome shown = loadThumbnail(request);
    ASSERT_EQ(shown.kind, ThumbnailOutcome::Picture);
    EXPECT_EQ(shown.image.size(), QSize(80, 40));
    EXPECT_TRUE(shown.sensitive && shown.encrypted);
    EXPECT_EQ(shown.keyIndex, 1);

    // Not a picture: its key is asked for, and the cell shows the plain name's type.
    ThumbnailRequest diary = requestFor(text, cache);
    EXPECT_EQ(loadThumbnail(diary).kind, ThumbnailOutcome::NeedsKey);
    diary.keys = std::move(request.keys);
    const ThumbnailOutcome icon = loadThumbnail(diary);
    EXPECT_EQ(icon.kind, ThumbnailOutcome::TypeIcon);
    EXPECT_EQ(icon.mimeType, u"text/plain"_s);

    EXPECT_EQ(filesUnder(dir.path()), before);
    EXPECT_TRUE(filesUnder(cacheRoot.path()).isEmpty());
}

TEST(ThumbnailLoad, PlainPicturesGoThroughTheDesktopCacheUntilTheyChange)
{
    QTemporaryDir dir;
    QTemporaryDir cacheHome;
    const QString root = cacheHome.filePath(u"thumbnails"_s);
    auto cache = std::make_shared<const desktop::ThumbnailCache>(root);
    const QString photo = writeBytes(dir, u"photo.png"_s, bytesOf(flat(300, 150, Qt::green)));
    const ThumbnailOutcome first = loadThumbnail(requestFor(photo, cache));
    ASSERT_EQ(first.kind, ThumbnailOutcome::Picture);
    EXPECT_EQ(first.image.size(), QSize(80, 40));
    EXPECT_FALSE(first.sensitive);

    // Named by the MD5 of its URI, 128 pixels, with the URI and time; owner-only all the way.
    const QByteArray uri = desktop::ThumbnailCache::uriOf(photo);
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex());
    const QString entry = root + u"/normal/"_s + md5 + u".png"_s;
    ASSERT_EQ(filesUnder(cacheHome.path()), QStringList {entry});
    EXPECT_EQ(modeOf(entry), 0600u);
    EXPECT_EQ(modeOf(root), 0700u);
    EXPECT_EQ(modeOf(root + u"/normal"_s), 0700u);
    const QByteArray png = readAll(entry);
    EXPECT_EQ(QImage::fromData(png).size(), QSize(128, 64));
    EXPECT_EQ(desktop::pngText(png, "Thumb::URI"), uri);
    const qint64 mtime = QFileInfo(photo).lastModified().toSecsSinceEpoch();
    EXPECT_EQ(desktop::pngText(png, "Thumb::MTime"), QByteArray::number(mtime));

    // A fresh entry is what the grid shows: one made red here stays red.
    ASSERT_TRUE(cache->store(photo, mtime, 128, flat(128, 64, Qt::red)));
    EXPECT_EQ(loadThumbnail(requestFor(photo, cache)).image.pixelColor(40, 20), QColor(Qt::red));
    // The file changed: decoded again, and the entry made anew.
    QFile touched(photo);
    ASSERT_TRUE(
        touched.open(QIODevice::ReadWrite) &&
        touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(loadThumbnail(requestFor(photo, cache)).image.pixelColor(40, 20), QColor(Qt::green));
    EXPECT_EQ(QImage(entry).pixelColor(60, 30), QColor(Qt::green));

    // A damaged picture leaves a failure record and shows its type's icon.
    const QString broken = writeBytes(dir, u"broken.png"_s, "\x89PNG\r\n\x1a\nnothing");
    EXPECT_EQ(loadThumbnail(requestFor(broken, cache)).kind, ThumbnailOutcome::TypeIcon);
    EXPECT_TRUE(cache->failed(broken, QFileInfo(broken).lastModified().toSecsSinceEpoch()));
    EXPECT_EQ(modeOf(root + u"/fail/mirravelnock"_s), 0700u);
    // Nothing but entries: no half-written file is left beside them.
    EXPECT_EQ(filesUnder(root).size(), 2);
}

struct Recorder {
    QList<int> cells;
    QList<int> asked;
    bool finished = false;
};

void record(ThumbnailBuilder& builder, Recorder& r)
{
    QObject::connect(&builder, &ThumbnailBuilder::cellReady,
                     [&r](int index, const ThumbnailOutcome&) { r.cells.append(index); });
    QObject::connect(&builder, &ThumbnailBuilder::keyNeeded, [&r](int index) { r.asked.append(index); });
    QObject::connect(&builder, &ThumbnailBuilder::finished, [&r] { r.finished = true; });
}

// A job for 60-pixel cells of the files in `dir`, with the desktop's cache in `cacheRoot`.
ThumbnailBuilder::Job jobIn(const QTemporaryDir& dir, const QTemporaryDir& cacheRoot)
{
    ThumbnailBuilder::Job job;
    job.folder = dir.path();
    job.box = QSize(60, 60);
    job.cache = std::make_shared<const desktop::ThumbnailCache>(cacheRoot.path());
    job.decoders = &mv::test::decoders();
    return job;
}

TEST(ThumbnailBuilder, CellsComeInOrderAndAMissingKeyHoldsThemUntilTypedOrStopped)
{
    QTemporaryDir dir;
    QTemporaryDir cacheRoot;
    ThumbnailBuilder::Job job = jobIn(dir, cacheRoot);
    // A large picture first, so later ones are ready before it.
    for (int i = 0; i < 6; ++i) {
        const QString name = u"p%1.png"_s.arg(i);
        QString path = i == 2 ? writeEncrypted(dir, name, noisePng(50, 50, 2), "key 1")
                              : writeBytes(dir, name, noisePng(i == 0 ? 1500 : 40, 40, quint32(i)));
        job.entries.append({path, QFileInfo(path).fileName()});
    }

    // Stopped while held at the third file: two cells, and what was still being made is dropped.
    {
        ThumbnailBuilder stopped(nullptr, 2);
        Recorder recorded;
        record(stopped, recorded);
        stopped.start(job);
        ASSERT_TRUE(waitFor([&] { return !recorded.asked.isEmpty(); }));
        stopped.stop();
        const QDeadlineTimer grace(300);
        (void)waitFor([&] { return grace.hasExpired(); });
        EXPECT_TRUE(recorded.finished);
        EXPECT_EQ(recorded.cells, QList<int>({0, 1}));
        EXPECT_EQ(stopped.delivered(), 2);
    }

    // Held there until the key is typed: it is tried again and the rest follow, in order.
    ThumbnailBuilder builder(nullptr, 2);
    Recorder recorded;
    record(builder, recorded);
    bool typed = false;
    builder.keys = [&typed] {
        std::vector<mv::crypto::SecretText> keys;
        if (typed)
            keys.push_back(mv::crypto::SecretText::fromText(u"key 1"_s));
        return keys;
    };
    builder.start(job);
    ASSERT_TRUE(waitFor([&] { return !recorded.asked.isEmpty(); }));
    typed = true;
    builder.keyAdded();
    ASSERT_TRUE(waitFor([&] { return recorded.finished; }));
    EXPECT_EQ(recorded.cells, QList<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(recorded.asked, QList<int>({2}));
    // The folder holds an encrypted file: the desktop's cache was never used.
    EXPECT_FALSE(builder.usesDiskCache());
    EXPECT_TRUE(filesUnder(cacheRoot.path()).isEmpty());
}

// An encrypted file under a plain name tells its folder as well as one under its own: the
// folder is judged by what its files begin with, before the first plain neighbour is made.
TEST(ThumbnailBuilder, ADisguisedEncryptedFileKeepsItsFolderOutOfTheDesktopCache)
{
    QTemporaryDir dir;
    QTemporaryDir cacheRoot;
    ThumbnailBuilder::Job job = jobIn(dir, cacheRoot);
    for (int i = 0; i < 3; ++i) {
        const QString path = writeBytes(dir, u"plain%1.png"_s.arg(i), noisePng(40, 40, quint32(i)));
        job.entries.append({path, QFileInfo(path).fileName()});
    }
    const QString sealed = writeEncrypted(dir, u"secret.png"_s, noisePng(40, 40, 9), "key 1");
    const QString disguised = dir.filePath(u"holiday.bmp"_s);
    ASSERT_TRUE(QFile::rename(sealed, disguised));
    job.entries.append({disguised, u"holiday.bmp"_s});

    ThumbnailBuilder builder(nullptr, 1);
    builder.keys = [] {
        return std::vector<mv::crypto::SecretText> {mv::crypto::SecretText::fromText(u"key 1"_s)};
    };
    Recorder recorded;
    record(builder, recorded);
    builder.start(job);
    ASSERT_TRUE(waitFor([&] { return recorded.finished; }));
    EXPECT_EQ(recorded.cells, QList<int>({0, 1, 2, 3}));
    EXPECT_FALSE(builder.usesDiskCache());
    EXPECT_EQ(filesUnder(cacheRoot.path()), QStringList());
}

} // namespace
