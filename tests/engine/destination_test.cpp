// What the engine does to the destination: its mode, the names it refuses, and what is left
// when the work stops half way.
#include "engine_fixture.h"

#include <mvengine/Engine.hpp>

#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kKey = "destination";

unsigned modeOf(const std::string& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

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

TEST_F(EngineTest, PathsThatCannotBeUsedAreRefusedAndLeftAlone)
{
    const Bytes plain = randomBytes(70000);
    const std::string enc = encrypted("s", plain, kKey), src = path("s.plain"), p = path("p.plain");
    const Bytes sealed = readFile(enc);
    writeFile(p, randomBytes(100));
    writeFile(path("other"), randomBytes(10, 1));
    ASSERT_EQ(::link(src.c_str(), path("s.link").c_str()), 0);
    ASSERT_EQ(::symlink(path("other").c_str(), path("link").c_str()), 0);
    ASSERT_EQ(::link(path("other").c_str(), path("other2").c_str()), 0);
    std::filesystem::create_directory(path("folder"));
    const std::string same = "the destination is the source file",
                      dst = "cannot write the destination: ", source = "cannot read the source: ";
    // The same name, another name of the same file, and a path that only spells it differently.
    const std::string roundabout =
        path("../") + std::filesystem::path(enc).parent_path().filename().string() + "/s.mve";
    const std::tuple<bool, std::string, std::string, std::string> cases[] = {
        {true, src, src, same},
        {false, enc, enc, same},
        {true, src, path("s.link"), same},
        {false, enc, roundabout, same},
        {true, p, path("link"), dst + "it is a symbolic link"},
        {true, p, path("folder"), dst + "not a regular file"},
        {true, p, path("other2"), dst + "it has other hard links"},
        {true, p, path("nofolder/u.mve"), dst + "No such file or directory"},
        {true, p, path("p.plain/u.mve"), dst + "Not a directory"},
        {true, path("missing"), path("u.mve"), source + "No such file or directory"},
        {false, path("missing"), path("u.out"), source + "No such file or directory"},
        {false, path(""), path("u.out"), source + "not a regular file"}};
    for (const auto& [sealing, from, to, reason] : cases) {
        EXPECT_EQ((sealing ? dbac : eabb)(from.c_str(), to.c_str(), kKey), -1) << to;
        EXPECT_EQ(lastError(), reason) << to;
    }
    EXPECT_EQ(dbac(p.c_str(), "/proc/version", kKey), -1);
    EXPECT_EQ(dbac(nullptr, path("u.mve").c_str(), kKey), -1);
    EXPECT_EQ(lastError(), "no file given");
    EXPECT_EQ(readFile(src), plain);
    EXPECT_EQ(readFile(enc), sealed);
    EXPECT_EQ(readFile(path("other")), randomBytes(10, 1));
    EXPECT_TRUE(std::filesystem::is_directory(path("folder")));
    EXPECT_FALSE(exists(path("u.mve")));
}

// A full disk or a cancel half way, either way: the call fails, no destination is left and the
// source stays whole.
TEST_F(EngineTest, FullDiskOrCancelFailsAndLeavesNoDestination)
{
    const Bytes plain = randomBytes(3 * 1024 * 1024);
    const std::string src = path("s.plain"), enc = encrypted("s", plain, kKey);
    const std::string sealed = path("s2.mve"), opened = path("s.out");
    // SIGXFSZ is ignored, so writes past the cap fail with EFBIG as on a full disk.
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit capped = saved;
    capped.rlim_cur = 1536 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0);
    const std::pair sealing {dbac(src.c_str(), sealed.c_str(), kKey), lastError()};
    const std::pair opening {eabb(enc.c_str(), opened.c_str(), kKey), lastError()};
    ::setrlimit(RLIMIT_FSIZE, &saved);
    const std::pair<int, std::string> full {-1, "cannot write the destination: File too large"};
    EXPECT_EQ(sealing, full);
    EXPECT_EQ(opening, full);
    EXPECT_FALSE(exists(sealed));
    EXPECT_FALSE(exists(opened));

    for (int stopAt : {1, 2}) {
        SCOPED_TRACE(stopAt);
        std::pair<int, int> state {0, stopAt}; // calls so far, the call that stops
        auto stop = [](std::uint64_t, std::uint64_t, void* user) {
            auto& s = *static_cast<std::pair<int, int>*>(user);
            return ++s.first >= s.second ? 1 : 0;
        };
        EXPECT_EQ(mv_encrypt_file(src.c_str(), sealed.c_str(), kKey, stop, &state), -1);
        EXPECT_EQ(lastError(), "cancelled");
        EXPECT_FALSE(exists(sealed));
        state.first = 0;
        EXPECT_EQ(mv_decrypt_file(enc.c_str(), opened.c_str(), kKey, stop, &state), -1);
        EXPECT_EQ(lastError(), "cancelled");
        EXPECT_FALSE(exists(opened));
        EXPECT_EQ(state.first, stopAt);
    }
    // Through the C++ interface: a callback returning false stops; one that throws may not
    // throw through the engine.
    int calls = 0;
    const auto stopSecond = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
    EXPECT_EQ(mv::engine::encryptFile(src, sealed, "k", stopSecond), mv::engine::Result::Failed);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(mv::engine::lastError(), "cancelled");
    EXPECT_FALSE(exists(sealed));
    const auto throws = [](std::uint64_t, std::uint64_t) -> bool { throw std::runtime_error("x"); };
    EXPECT_EQ(mv::engine::encryptFile(src, sealed, "k", throws), mv::engine::Result::Failed);
    EXPECT_FALSE(exists(sealed));
    EXPECT_EQ(readFile(src), plain);
    EXPECT_EQ(eabb(enc.c_str(), opened.c_str(), kKey), 1);
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
