// Loading the selected file for viewing, on real files: plain and encrypted pictures with the
// facts of the information line, every way a selection can fail, and no decrypted byte in any
// file afterwards. And the loads behind the viewer, driven through the event loop: only the
// latest request is delivered, neighbours are prepared and kept within the budget, a changed
// file is decoded anew. The grid's thumbnails off the user-interface thread: an encrypted picture
// decrypted in memory and kept in protected memory with nothing written anywhere; plain pictures
// through the desktop's cache, owner-only, whole, and made again when the file changes; cells
// handed over in grid order, a missing key holding them up until it is typed. And the viewer's
// rules at the boundaries its window tests do not reach: the thumbnail grid, the slideshow's
// order and the looks planned while a key is held.
#include "viewing/PictureLoad.h"
#include "viewing/PictureLoader.h"
#include "viewing/SlideshowPlan.h"
#include "viewing/ThumbnailBuilder.h"
#include "viewing/ThumbnailLayout.h"
#include "viewing/TravelPolicy.h"

#include "ViewingTestFiles.h"
#include "desktop/PngText.h"
#include "fileutil/TestFiles.h"
#include "support/ExifPhoto.h"
#include "support/Smaps.h"
#include "support/TestDecoders.h"

#include <mvengine/engine.h>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using namespace mv;
using namespace mv::viewing;
using namespace mv::browser;
using namespace mvtest;

namespace {

PictureRequest requestFor(const QString& path, std::initializer_list<const char*> keys = {})
{
    PictureRequest r;
    r.path = path;
    r.listedName = QFileInfo(path).fileName();
    for (const char* k : keys)
        r.keys.push_back(mv::crypto::SecretText::fromText(QString::fromUtf8(k)));
    return r;
}

PictureOutcome load(const QString& path, std::initializer_list<const char*> keys = {})
{
    return loadPicture(requestFor(path, keys), mv::test::decoders());
}

quint32 crcOf(const QString& path)
{
    return quint32(eaac(QFile::encodeName(path).constData(), 0));
}

TEST(PictureLoad, PlainAndEncryptedPicturesCarryTheFactsOfTheBytesOnShowAndEveryWayASelectionFails)
{
    QTemporaryDir dir;
    const QByteArray png = noisePng(80, 60, 1);
    const QString plain = writeBytes(dir, u"photo.png"_s, png);
    const PictureOutcome shown = load(plain);
    ASSERT_EQ(shown.kind, PictureOutcome::Shown) << shown.status.reason;
    EXPECT_EQ(shown.picture.image.size(), QSize(80, 60));
    EXPECT_EQ(shown.facts.checksum, crcOf(plain));
    EXPECT_EQ(shown.facts.fileSize, png.size());
    EXPECT_TRUE(shown.picture.reduced.isNull()); // no place given: nothing made ahead

    // Fitted into 20 x 20 logical pixels on a screen of ratio 2: the copy the control will
    // draw is made here, 40 x 30 device pixels.
    PictureRequest placed = requestFor(plain);
    placed.place = DrawPlace {QSize(20, 20), 4, true, 1.0, 2.0};
    const QImage reduced = loadPicture(placed, mv::test::decoders()).picture.reduced;
    EXPECT_EQ(reduced.size(), QSize(40, 30));
    EXPECT_EQ(reduced.devicePixelRatio(), 2.0);

    // Encrypted: checksum and size are the plain bytes', and the key that opened it is the second
    // one tried. (Told as encrypted, under its listed name: the window's information line.)
    const QString sealed = writeEncrypted(dir, u"secret.png"_s, png, "right key");
    ASSERT_TRUE(sealed.endsWith(u"secret_png.mv$"_s));
    const PictureOutcome opened = load(sealed, {"wrong key", "right key"});
    ASSERT_EQ(opened.kind, PictureOutcome::Shown) << opened.status.reason;
    EXPECT_EQ(opened.keyIndex, 1);
    EXPECT_EQ(opened.facts.checksum, crcOf(plain));
    EXPECT_EQ(opened.facts.fileSize, png.size());
    EXPECT_EQ(opened.picture.image, shown.picture.image);
    // Its pixels, and the copy made ahead for the screen, are kept out of core dumps.
    EXPECT_TRUE(opened.picture.sensitive);
    EXPECT_TRUE(mv::test::excludedFromDumps(opened.picture.image.constBits()));
    PictureRequest sealedPlaced = requestFor(sealed, {"right key"});
    sealedPlaced.place = placed.place;
    const PictureOutcome openedPlaced = loadPicture(sealedPlaced, mv::test::decoders());
    ASSERT_EQ(openedPlaced.picture.reduced.size(), QSize(40, 30));
    EXPECT_TRUE(mv::test::excludedFromDumps(openedPlaced.picture.reduced.constBits()));

    EXPECT_EQ(load(sealed, {"wrong key"}).kind, PictureOutcome::NeedsKey); // (no key: the large-file test)

    // Every other way a selection fails.
    EXPECT_EQ(load(dir.filePath(u"gone.png"_s)).kind, PictureOutcome::Missing);
    EXPECT_EQ(load(writeBytes(dir, u"notes.txt"_s, "hello")).kind, PictureOutcome::Unsupported);
    // (A damaged picture, and an encrypted file whose plain name is no picture: the window's
    // tests, by what they say.) Decrypted, but not a picture at all.
    EXPECT_EQ(load(writeEncrypted(dir, u"bad.png"_s, "garbage", "k"), {"k"}).kind,
              PictureOutcome::DecryptedDecodeFailed);
    // A damaged encrypted file is handled as the plain file its listed name says it is.
    const QString damaged = writeEncrypted(dir, u"torn.png"_s, noisePng(20, 20, 3), "k");
    QFile file(damaged);
    ASSERT_TRUE(file.resize(file.size() - 1));
    const PictureOutcome torn = load(damaged, {"k"});
    EXPECT_EQ(torn.kind, PictureOutcome::Unsupported);
    EXPECT_EQ(torn.status.reason, "the file is damaged or truncated");
}

// The real reading, counting every byte it reads or decrypts (a decryption reads the whole file).
class CountingReading : public FileReading {
public:
    QByteArray head(const QString& path, qint64 count, mv::fileio::Status* status) const override
    {
        QByteArray bytes = FileReading::head(path, count, status);
        read += bytes.size();
        return bytes;
    }
    mv::imaging::FileBytes whole(const QString& path, qint64 maxBytes,
                                 mv::fileio::Status* status) const override
    {
        mv::imaging::FileBytes bytes = FileReading::whole(path, maxBytes, status);
        read += bytes.view().size();
        return bytes;
    }
    mv::crypto::MemoryDecrypt decrypt(const QString& path, const std::vector<mv::crypto::SecretText>& keys,
                                      qint64 maxBytes) const override
    {
        read += QFileInfo(path).size();
        return FileReading::decrypt(path, keys, maxBytes);
    }
    mutable qint64 read = 0;
};

// Loads as the viewer does, counting into `read` every byte read or decrypted.
PictureOutcome loadCounted(const PictureRequest& request, qint64& read)
{
    CountingReading counting;
    PictureOutcome outcome = loadPicture(request, mv::test::decoders(), counting);
    read = counting.read;
    return outcome;
}

TEST(PictureLoad, ALargeFileThatIsNotAPictureIsReadNoFurtherThanItsHeader)
{
    QTemporaryDir dir;
    constexpr qint64 k200MB = qint64(200) << 20;
    const auto grow = [](const QString& path, qint64 size) { return QFile(path).resize(size); }; // sparse
    const QString movie = writeBytes(dir, u"movie.mp4"_s, "ftyp");
    // Encrypted, then grown: its header stays whole, its contents would not decrypt.
    const QString diary = writeEncrypted(dir, u"diary.txt"_s, "dear diary", "k");
    const QString huge = writeBytes(dir, u"huge.png"_s, "\x89PNG");
    ASSERT_TRUE(grow(movie, k200MB) && grow(diary, k200MB) && grow(huge, kMaxViewedFileBytes + 1));

    qint64 read = 0;
    EXPECT_EQ(loadCounted(requestFor(movie, {"k"}), read).kind, PictureOutcome::Unsupported);
    EXPECT_EQ(read, MV_SIGNATURE_LEN);
    const PictureOutcome fits = loadCounted(requestFor(diary, {"wrong", "k"}), read);
    EXPECT_EQ(fits.kind, PictureOutcome::DecryptedUnviewable);
    EXPECT_EQ(fits.keyIndex, 1);
    EXPECT_LE(read, 4096);
    for (const PictureRequest& lacking : {requestFor(diary, {"wrong"}), requestFor(diary)}) {
        EXPECT_EQ(loadCounted(lacking, read).kind, PictureOutcome::NeedsKey);
        EXPECT_LE(read, 4096);
    }
    // A picture larger than the viewer takes says so, with its size, and is not read at all.
    const PictureOutcome tooLarge = loadCounted(requestFor(huge), read);
    EXPECT_EQ(tooLarge.kind, PictureOutcome::TooLarge);
    EXPECT_EQ(tooLarge.facts.fileSize, kMaxViewedFileBytes + 1);
    EXPECT_EQ(read, 0);
}

// Decodes in the test's helpers and keeps the strike key of every job (what a decoder stopped
// on is counted against that key) and whether it was marked as holding decrypted bytes.
class StrikeKeys : public mv::sandbox::Decoders {
public:
    mv::imaging::Picture decode(const mv::sandbox::DecodeJob& job) override
    {
        keys << job.strikeKey;
        sensitive << job.sensitive;
        return mv::test::decoders().decode(job);
    }
    mv::imaging::PictureInfo probe(const mv::sandbox::DecodeJob& job) override
    {
        return mv::test::decoders().probe(job);
    }
    mv::sandbox::Protections protections() override { return {}; }
    QStringList keys;
    QList<bool> sensitive;
};

TEST(PictureLoad, AFirstLookComesFromTheFilesStartWhereItCanElseFromAReducedDecode)
{
    QTemporaryDir dir;
    const QByteArray bare = bytesOf(QImage::fromData(noisePng(1600, 1200, 7)), "JPG");
    const QByteArray camera =
        mv::test::withApp1(bare, mv::test::exifWithCopy(1, bytesOf(flat(160, 120, Qt::red), "JPG")));
    ASSERT_GT(camera.size(), 4 * kPreviewHeadBytes);
    const QString withPreview = writeBytes(dir, u"camera.jpg"_s, camera);
    const QString withoutPreview = writeBytes(dir, u"bare.jpg"_s, bare);
    const QString png = writeBytes(dir, u"photo.png"_s, noisePng(400, 300, 8));
    const QString sealed = writeEncrypted(dir, u"secret.jpg"_s, camera, "k");

    // A first look, with the thumbnails of `cache` where one is given.
    const auto look = [](const QString& path, qint64& read,
                         std::shared_ptr<const desktop::ThumbnailCache> cache = {}) {
        PictureRequest r = requestFor(path, {"k"});
        r.firstLook = true;
        r.thumbnails = std::move(cache);
        return loadCounted(r, read);
    };
    // The camera's copy, from the file's start alone: the picture's own size and file size
    // are told, its checksum is not known yet.
    qint64 read = 0;
    const PictureOutcome first = look(withPreview, read);
    ASSERT_EQ(first.kind, PictureOutcome::Shown) << first.status.reason;
    EXPECT_EQ(first.picture.image.size(), QSize(160, 120));
    EXPECT_EQ(QSize(first.facts.width, first.facts.height), QSize(1600, 1200));
    EXPECT_EQ(first.facts.fileSize, camera.size());
    EXPECT_FALSE(first.facts.checksum.has_value());
    EXPECT_LE(read, kPreviewHeadBytes);

    // No copy and no desktop thumbnail: the whole file (after its start was searched) at the
    // decoder's strongest reduction; its checksum too waits for the sharp picture.
    QTemporaryDir cacheRoot;
    auto cache = std::make_shared<const desktop::ThumbnailCache>(cacheRoot.path());
    const PictureOutcome reduced = look(withoutPreview, read, cache);
    ASSERT_EQ(reduced.kind, PictureOutcome::Shown);
    EXPECT_EQ(reduced.picture.image.size(), QSize(200, 150));
    EXPECT_FALSE(reduced.facts.checksum.has_value());
    EXPECT_EQ(reduced.facts.fileSize, bare.size());
    EXPECT_EQ(read, bare.size() + kPreviewHeadBytes);

    // With the desktop's thumbnail of it, the photo without a copy needs its start alone,
    // and so does a PNG; a thumbnail of other proportions is not believed.
    const auto mtimeOf = [](const QString& path) {
        return QFileInfo(path).lastModified().toSecsSinceEpoch();
    };
    const QImage green = flat(256, 192, Qt::green);
    ASSERT_TRUE(cache->store(withoutPreview, mtimeOf(withoutPreview), 256, green));
    ASSERT_TRUE(cache->store(png, mtimeOf(png), 256, green));
    const auto cachedLook = [&](const QString& path) { return look(path, read, cache); };
    const PictureOutcome cached = cachedLook(withoutPreview);
    ASSERT_EQ(cached.kind, PictureOutcome::Shown) << cached.status.reason;
    EXPECT_EQ(cached.picture.image.pixelColor(10, 10), QColor(Qt::green));
    EXPECT_EQ(QSize(cached.facts.width, cached.facts.height), QSize(1600, 1200));
    EXPECT_EQ(cached.facts.colorDepth, 24);
    EXPECT_FALSE(cached.facts.checksum.has_value());
    EXPECT_LE(read, kPreviewHeadBytes);
    const PictureOutcome squeezed = cachedLook(png); // 400 x 300 against a 256 x 192 thumbnail: alike
    EXPECT_EQ(squeezed.picture.image.size(), QSize(256, 192));
    ASSERT_TRUE(cache->store(png, mtimeOf(png), 256, green.copy(0, 0, 256, 100)));
    EXPECT_EQ(cachedLook(png).picture.image.size(), QSize(400, 300));

    // What stops the decoder on a first look counts against that file alone (found by
    // hostile use: every JPEG's first look once shared one count).
    StrikeKeys recorded;
    for (const QString& path : {withPreview, withoutPreview}) {
        PictureRequest r = requestFor(path);
        r.firstLook = true;
        ASSERT_TRUE(loadPicture(r, recorded).shown());
    }
    ASSERT_EQ(recorded.keys.size(), 3); // the copy; the missing copy, then the reduced decode
    EXPECT_TRUE(recorded.keys[0].startsWith(withPreview + QLatin1Char('|')));
    EXPECT_TRUE(recorded.keys[1].startsWith(withoutPreview + QLatin1Char('|')));
    EXPECT_TRUE(recorded.keys[2].startsWith(withoutPreview + QLatin1Char('|')));
    // Only decrypted bytes go out marked so: the helper that decoded them is ended once it has
    // answered, and no later picture gets them (the pool's tests).
    EXPECT_FALSE(recorded.sensitive.contains(true));
    ASSERT_TRUE(loadPicture(requestFor(sealed, {"k"}), recorded).shown());
    EXPECT_TRUE(recorded.sensitive.back());

    // An encrypted photo is decrypted into memory whole and its copy shown; a PNG has no
    // first look of its own and loads as it always does.
    const PictureOutcome secret = look(sealed, read);
    ASSERT_EQ(secret.kind, PictureOutcome::Shown);
    EXPECT_TRUE(secret.facts.encrypted);
    EXPECT_EQ(secret.picture.image.size(), QSize(160, 120));
    EXPECT_TRUE(secret.picture.sensitive);
    EXPECT_EQ(look(png, read).picture.image.size(), QSize(400, 300));
}

TEST(PictureLoad, ViewingEncryptedPicturesLeavesNoDecryptedByteInAnyFile)
{
    // The decrypted bytes go to a decoder helper in memory files, and the pixels come back so.
    const QDateTime start = QDateTime::currentDateTime().addSecs(-2);
    QTemporaryDir dir;
    QList<QByteArray> pictures;
    for (quint32 seed = 10; seed < 13; ++seed) {
        pictures << noisePng(64, 64, seed);
        const QString sealed = writeEncrypted(dir, u"p%1.png"_s.arg(seed), pictures.back(), "view key");
        ASSERT_EQ(load(sealed, {"view key"}).kind, PictureOutcome::Shown);
    }
    ASSERT_TRUE(mv::test::decoders().protections().reported) << "not decoded in a helper";
    const QStringList places = {dir.path(), QDir::homePath(), qEnvironmentVariable("XDG_RUNTIME_DIR"),
                                QDir::tempPath(), u"/dev/shm"_s};
    for (const QByteArray& png : pictures) {
        // A stretch of compressed noise appears nowhere unless the picture's bytes were written.
        const QByteArray needle = png.mid(png.size() / 2, 48);
        for (const QString& place : places)
            EXPECT_EQ(filesHolding(place, needle, start), QStringList()) << place.toStdString();
    }
}

// Only the latest selection is delivered; a picture prepared ahead is delivered without a worker
// until its file changes, and none is kept once the prepared pictures are forgotten.
TEST(PictureLoader, AStaleSelectionNeverReplacesANewerOneAndPreparedOnesLastUntilTheFileChanges)
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

    const QString next = writeBytes(dir, QStringLiteral("next.png"), noisePng(50, 40, 4));
    const QString after = writeBytes(dir, QStringLiteral("after.png"), noisePng(60, 40, 5));
    loader.forgetPrepared();
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
    delivered.clear();
    loader.prepare({requestFor(next)});
    const quint64 fromPreparation = loader.load(requestFor(next));
    ASSERT_TRUE(waitFor([&] { return !delivered.isEmpty() && !loader.busy(); }));
    EXPECT_EQ(delivered, (QList<QPair<quint64, QString>> {{fromPreparation, QStringLiteral("next.png")}}));

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

ThumbnailRequest thumbnailFor(const QString& path, std::shared_ptr<const desktop::ThumbnailCache> cache = {})
{
    ThumbnailRequest r;
    r.path = path;
    r.listedName = QFileInfo(path).fileName();
    r.box = QSize(80, 80);
    r.cache = std::move(cache);
    r.decoders = &mv::test::decoders();
    return r;
}

// Plain pictures go through the desktop's cache until they change; an encrypted one is decrypted
// in memory, and its thumbnail written nowhere.
TEST(ThumbnailLoad, PlainPicturesGoThroughTheDesktopCacheUntilTheyChangeAndEncryptedOnesNowhere)
{
    QTemporaryDir dir;
    QTemporaryDir cacheHome;
    const QString root = cacheHome.filePath(u"thumbnails"_s);
    auto cache = std::make_shared<const desktop::ThumbnailCache>(root);
    const QString photo = writeBytes(dir, u"photo.png"_s, bytesOf(flat(300, 150, Qt::green)));
    const ThumbnailOutcome first = loadThumbnail(thumbnailFor(photo, cache));
    ASSERT_EQ(first.kind, ThumbnailOutcome::Picture);
    EXPECT_EQ(first.image.size(), QSize(80, 40));

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
    EXPECT_EQ(loadThumbnail(thumbnailFor(photo, cache)).image.pixelColor(40, 20), QColor(Qt::red));
    // The file changed: decoded again, and the entry made anew.
    QFile touched(photo);
    ASSERT_TRUE(
        touched.open(QIODevice::ReadWrite) &&
        touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(loadThumbnail(thumbnailFor(photo, cache)).image.pixelColor(40, 20), QColor(Qt::green));
    EXPECT_EQ(QImage(entry).pixelColor(60, 30), QColor(Qt::green));

    // A damaged picture leaves a failure record and shows its type's icon.
    const QString broken = writeBytes(dir, u"broken.png"_s, "\x89PNG\r\n\x1a\nnothing");
    EXPECT_EQ(loadThumbnail(thumbnailFor(broken, cache)).kind, ThumbnailOutcome::TypeIcon);
    EXPECT_TRUE(cache->failed(broken, QFileInfo(broken).lastModified().toSecsSinceEpoch()));
    EXPECT_EQ(modeOf(root + u"/fail/mirravelnock"_s), 0700u);
    // Nothing but entries: no half-written file is left beside them.
    EXPECT_EQ(filesUnder(root).size(), 2);

    // Encrypted: asked for a key until one fits, then decoded in memory.
    const QString secret = writeEncrypted(dir, u"secret.png"_s, noisePng(400, 200, 7), "key 1");
    const QString text = writeEncrypted(dir, u"diary.txt"_s, "dear diary", "key 1");
    const QStringList before = filesUnder(dir.path()) + filesUnder(root);
    ThumbnailRequest request = thumbnailFor(secret, cache);
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
    ThumbnailRequest diary = thumbnailFor(text, cache);
    EXPECT_EQ(loadThumbnail(diary).kind, ThumbnailOutcome::NeedsKey);
    diary.keys = std::move(request.keys);
    const ThumbnailOutcome icon = loadThumbnail(diary);
    EXPECT_EQ(icon.kind, ThumbnailOutcome::TypeIcon);
    EXPECT_EQ(icon.mimeType, u"text/plain"_s);

    EXPECT_EQ(filesUnder(dir.path()) + filesUnder(root), before);
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

TEST(ThumbnailBuilder, CellsComeInOrderAndAMissingKeyHoldsThemUntilItIsTyped)
{
    QTemporaryDir dir;
    QTemporaryDir cacheRoot;
    ThumbnailBuilder::Job job = jobIn(dir, cacheRoot);
    // A large picture first, so later ones are ready before it. The third is encrypted, under a
    // plain name: that tells its folder as well as an encrypted name (the folder is judged by what
    // its files begin with, before the first plain neighbour is made).
    for (int i = 0; i < 6; ++i) {
        const QString name = u"p%1.png"_s.arg(i);
        if (i == 2)
            ASSERT_TRUE(
                QFile::rename(writeEncrypted(dir, name, noisePng(50, 50, 2), "key 1"), dir.filePath(name)));
        else
            writeBytes(dir, name, noisePng(i == 0 ? 1500 : 40, 40, quint32(i)));
        job.entries.append({dir.filePath(name), name});
    }

    // Held at the third file until the key is typed: it is tried again and the rest follow, in order.
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

// A stored size the menu lacks takes the nearest the menu offers, the larger of two as near,
// however far out of range it lies (2^32 + 80 is not 80, as cut to 32 bits it would be); the
// menu's own sizes stay as they are.
TEST(ThumbnailLayout, StoredSizeTakesTheNearestMenuSize)
{
    constexpr qint64 kLow = std::numeric_limits<qint64>::min(), kHigh = std::numeric_limits<qint64>::max();
    constexpr qint64 kCut = qint64(1) << 32 | 80;
    const struct {
        qint64 stored;
        int size;
    } cases[] = {{60, 60}, {120, 120}, {200, 200}, {90, 100},  {89, 80},      {71, 80},    {69, 60},
                 {0, 60},  {-80, 60},  {kLow, 60}, {201, 200}, {100000, 200}, {kCut, 200}, {kHigh, 200}};
    for (const auto& c : cases) {
        const int index = thumbSizeIndex(c.stored);
        ASSERT_TRUE(index >= 0 && index < int(std::size(kThumbSizes))) << c.stored;
        EXPECT_EQ(kThumbSizes[index], c.size) << c.stored;
        EXPECT_EQ(usableThumbSize(c.stored), c.size) << c.stored;
    }
}

// An encrypted picture is tried only with keys in hand, and one no key opens is passed over at
// once: no gap in the show. A list with nothing to show has no first picture.
TEST(SlideshowPlanTest, AnEncryptedPictureNoKeyOpensIsPassedOverWithoutAGap)
{
    const QStringList five = {u"a.png"_s, u"b.jpg"_s, u"c_png.mv$"_s, u"d.gif"_s, u"e.bmp"_s};
    qint64 now = 1000;
    for (const bool keys : {false, true}) {
        SlideshowPlan plan(five, 1, 2, keys, [&] { return now; });
        std::vector<int> order;
        std::vector<qint64> at;
        for (int row = plan.first(); row >= 0; row = plan.upcoming()) {
            now += plan.untilNextUs();
            if (row == 2) {
                plan.passedOver(row);
                continue;
            }
            plan.shown(row);
            order.push_back(row);
            at.push_back(now);
        }
        EXPECT_EQ(order, (std::vector<int> {1, 3, 4})) << keys;
        EXPECT_EQ(at[2] - at[0], 4000000) << keys;
    }
    EXPECT_EQ(SlideshowPlan(QStringList {u"x.txt"_s}, 0, 4, true, [&] { return now; }).first(), -1);
}

// A free worker takes the nearest row whose look lands before the user has passed it: with
// steps 33 ms apart, row r is reached 33 ms after row r - 1 and a look is planned to land half
// a step before the user leaves. A look that would land behind the user is never begun (the
// lead was once a fixed guess made at each step, and two looks in three landed too late).
TEST(TravelPolicy, AFreeWorkerTakesTheNearestRowItsLookCanStillReach)
{
    const struct {
        const char* what;
        int to, dir;      // the last step: to `to`, the way dir goes
        double lookMs;    // what looks take
        qint64 sinceStep; // when the worker is free, after the last step
        std::vector<int> rows;
    } cases[] = {
        {"just stepped", 10, 1, 90, 0, {13, 14, 15, 16}},
        {"late in the step", 10, 1, 90, 30, {14, 15, 16, 17}},
        {"looks quicker than steps", 10, 1, 10, 0, {11, 12, 13, 14}},
        {"slow looks go no further than the lead allows", 10, 1, 2000, 0, {22, 23, 24, 25}},
        {"up the list", 19, -1, 90, 0, {16, 15, 14, 13}},
    };
    for (const auto& c : cases) {
        TravelPolicy travel;
        for (int i = 0; i < 40; ++i)
            travel.lookTook(qint64(c.lookMs));
        // Two steps make a journey: its pace is known from the second.
        (void)travel.select(c.to - 2 * c.dir, 967);
        (void)travel.select(c.to - c.dir, 1000);
        ASSERT_TRUE(travel.select(c.to, 1033));
        const Preparation plan = travel.toPrepare(c.to, 1033 + c.sinceStep);
        EXPECT_EQ(plan.rows, c.rows) << c.what;
        EXPECT_EQ(plan.lanes, 2) << c.what;
    }
    // A jump, or a step after a pause, is no journey: the neighbours are prepared sharp.
    TravelPolicy still;
    (void)still.select(5, 0);
    (void)still.select(6, 1000);
    EXPECT_EQ(still.toPrepare(6, 1000), (Preparation {{7, 8, 5}, 1}));
}

} // namespace
