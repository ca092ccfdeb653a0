#include "engine_fixture.h"

#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mvengine/engine.h>

namespace {

constexpr const char* kKey = "destination";

unsigned modeOf(const std::string& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

// Caps the size of any file this process writes; SIGXFSZ is ignored, so writes past it
// fail with EFBIG like on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit capped = saved_;
        capped.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

} // namespace

TEST_F(EngineTest, DestinationIsMode0600WhateverWasThereOrTheUmask)
{
    writeFile(path("a.plain"), randomBytes(100));
    writeFile(path("a.mve"), randomBytes(5000)); // an older file, longer than what follows
    ::chmod(path("a.mve").c_str(), 0666);
    const mode_t oldMask = ::umask(0);
    EXPECT_EQ(dbac(path("a.plain").c_str(), path("a.mve").c_str(), kKey), 1);
    EXPECT_EQ(eabb(path("a.mve").c_str(), path("a.out").c_str(), kKey), 1);
    ::umask(oldMask);
    EXPECT_EQ(modeOf(path("a.mve")), 0600u);
    EXPECT_EQ(modeOf(path("a.out")), 0600u);
    EXPECT_EQ(readFile(path("a.mve")).size(), sealedSize(100)); // truncated, not overlaid
    EXPECT_EQ(readFile(path("a.out")), readFile(path("a.plain")));
}

TEST_F(EngineTest, DestinationThatIsTheSourceIsRefusedAndTheSourceSurvives)
{
    const Bytes plain = randomBytes(70000);
    const std::string enc = encrypted("s", plain, kKey);
    const Bytes sealed = readFile(enc);
    EXPECT_EQ(dbac(path("s.plain").c_str(), path("s.plain").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "the destination is the source file");
    EXPECT_EQ(eabb(enc.c_str(), enc.c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "the destination is the source file");
    // The same file under another name, and under a path that only spells it differently.
    ASSERT_EQ(::link(path("s.plain").c_str(), path("s.link").c_str()), 0);
    EXPECT_EQ(dbac(path("s.plain").c_str(), path("s.link").c_str(), kKey), -1);
    const std::string roundabout = path("../") + std::filesystem::path(path("s.mve")).parent_path().filename().string() + "/s.mve";
    EXPECT_EQ(eabb(enc.c_str(), roundabout.c_str(), kKey), -1);
    EXPECT_EQ(readFile(path("s.plain")), plain);
    EXPECT_EQ(readFile(enc), sealed);
}

TEST_F(EngineTest, DestinationThatIsNoPlainFileIsRefusedAndLeftAlone)
{
    writeFile(path("p.plain"), randomBytes(100));
    writeFile(path("other"), randomBytes(10, 1));
    ASSERT_EQ(::symlink(path("other").c_str(), path("link").c_str()), 0);
    EXPECT_EQ(dbac(path("p.plain").c_str(), path("link").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot write the destination: it is a symbolic link");
    EXPECT_EQ(readFile(path("other")), randomBytes(10, 1));

    std::filesystem::create_directory(path("folder"));
    EXPECT_EQ(dbac(path("p.plain").c_str(), path("folder").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot write the destination: not a regular file");
    EXPECT_TRUE(std::filesystem::is_directory(path("folder")));

    ASSERT_EQ(::link(path("other").c_str(), path("other2").c_str()), 0);
    EXPECT_EQ(dbac(path("p.plain").c_str(), path("other2").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot write the destination: it has other hard links");
    EXPECT_EQ(readFile(path("other")), randomBytes(10, 1));
}

TEST_F(EngineTest, UnreachableSourceOrDestinationFails)
{
    writeFile(path("u.plain"), randomBytes(100));
    EXPECT_EQ(dbac(path("missing").c_str(), path("u.mve").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot read the source: No such file or directory");
    EXPECT_EQ(eabb(path("missing").c_str(), path("u.out").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot read the source: No such file or directory");
    EXPECT_EQ(eabb(path("").c_str(), path("u.out").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot read the source: not a regular file");

    EXPECT_EQ(dbac(path("u.plain").c_str(), path("nofolder/u.mve").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot write the destination: No such file or directory");
    EXPECT_EQ(dbac(path("u.plain").c_str(), path("u.plain/u.mve").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "cannot write the destination: Not a directory");
    EXPECT_EQ(dbac(path("u.plain").c_str(), "/proc/version", kKey), -1);
    EXPECT_FALSE(exists(path("u.mve")));
    EXPECT_EQ(dbac(nullptr, path("u.mve").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "no file given");
}

TEST_F(EngineTest, FullDiskFailsAndLeavesNoDestination)
{
    const Bytes plain = randomBytes(3 * 1024 * 1024);
    const std::string enc = encrypted("full", plain, kKey);
    {
        const FileSizeLimit limit(1536 * 1024);
        EXPECT_EQ(dbac(path("full.plain").c_str(), path("full2.mve").c_str(), kKey), -1);
        EXPECT_EQ(lastError(), "cannot write the destination: File too large");
        EXPECT_FALSE(exists(path("full2.mve")));
        EXPECT_EQ(eabb(enc.c_str(), path("full.out").c_str(), kKey), -1);
        EXPECT_EQ(lastError(), "cannot write the destination: File too large");
        EXPECT_FALSE(exists(path("full.out")));
    }
    EXPECT_EQ(readFile(path("full.plain")), plain);
    EXPECT_EQ(eabb(enc.c_str(), path("full.out").c_str(), kKey), 1);
}

TEST_F(EngineTest, CancelFailsAndLeavesNoDestination)
{
    const Bytes plain = randomBytes(3 * 1024 * 1024);
    const std::string enc = encrypted("c", plain, kKey);
    for (int stopAt : {1, 2}) {
        SCOPED_TRACE(stopAt);
        int calls = 0;
        auto stop = [](std::uint64_t, std::uint64_t, void* user) {
            auto& s = *static_cast<std::pair<int*, int>*>(user);
            return ++*s.first >= s.second ? 1 : 0;
        };
        std::pair<int*, int> state{&calls, stopAt};
        EXPECT_EQ(mv_encrypt_file(path("c.plain").c_str(), path("c2.mve").c_str(), kKey, stop, &state), -1);
        EXPECT_EQ(lastError(), "cancelled");
        EXPECT_FALSE(exists(path("c2.mve")));
        calls = 0;
        EXPECT_EQ(mv_decrypt_file(enc.c_str(), path("c.out").c_str(), kKey, stop, &state), -1);
        EXPECT_EQ(lastError(), "cancelled");
        EXPECT_FALSE(exists(path("c.out")));
        EXPECT_EQ(calls, stopAt);
    }
}

TEST_F(EngineTest, EmptyPlaceholderIsRemovedOnRefusalButNoRealFileIs)
{
    const std::string enc = encrypted("h", randomBytes(100), kKey);
    // An empty 0600 file made by the caller to reserve the name.
    writeFile(path("h.out"), {});
    EXPECT_EQ(eabb(enc.c_str(), path("h.out").c_str(), "wrong"), 0);
    EXPECT_FALSE(exists(path("h.out")));
    writeFile(path("h2.mve"), {});
    EXPECT_EQ(dbac(enc.c_str(), path("h2.mve").c_str(), kKey), 0);
    EXPECT_FALSE(exists(path("h2.mve")));
    // A refusal before the destination is opened never destroys what is there.
    writeFile(path("keep"), randomBytes(10, 2));
    EXPECT_EQ(eabb(path("h.plain").c_str(), path("keep").c_str(), kKey), -1);
    EXPECT_EQ(readFile(path("keep")), randomBytes(10, 2));
    // And an empty source is never taken for a placeholder.
    writeFile(path("empty"), {});
    EXPECT_EQ(eabb(path("empty").c_str(), path("empty").c_str(), kKey), -1);
    EXPECT_TRUE(exists(path("empty")));
}
