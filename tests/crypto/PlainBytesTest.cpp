// Decrypted bytes on their way to a decoder helper: it is handed them without a copy, so what
// it gets must neither let it change them nor outlive their wipe.
#include "crypto/PlainBytes.h"

#include "fileio/MemoryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mv::crypto {
namespace {

TEST(PlainBytes, AHelpersDescriptorOnlyReadsThemAndTheirWipeReachesIt)
{
    const std::string secret = "the plain text of a picture";
    PlainBytes bytes(100);
    std::memcpy(bytes.data(), secret.data(), secret.size());
    bytes.resize(secret.size());
    EXPECT_EQ(bytes.view(), QByteArrayView(secret.data(), qsizetype(secret.size())));
    // Its size is fixed, so a helper's mapping of it cannot be cut short under it (its contents
    // stay writable for the wipe: the end of this test).
    EXPECT_TRUE(fileio::sizeIsSealed(bytes.memoryFile()));

    const fileio::UniqueFd handed = fileio::readOnlyDescriptor(bytes.memoryFile());
    ASSERT_TRUE(handed.valid());
    char seen[64] = {};
    ASSERT_EQ(::pread(handed.get(), seen, secret.size(), 0), ssize_t(secret.size()));
    EXPECT_EQ(std::string(seen, secret.size()), secret);
    // Nothing the helper could do through it changes the bytes.
    EXPECT_EQ(::pwrite(handed.get(), "x", 1, 0), -1);
    EXPECT_EQ(::mmap(nullptr, 100, PROT_READ | PROT_WRITE, MAP_SHARED, handed.get(), 0), MAP_FAILED);
    EXPECT_EQ(::ftruncate(handed.get(), 0), -1);
    EXPECT_EQ(::fcntl(handed.get(), F_ADD_SEALS, F_SEAL_WRITE), -1);
    EXPECT_EQ(bytes.view(), QByteArrayView(secret.data(), qsizetype(secret.size())));

    // The wipe zeros the memory file itself: a descriptor still held reads zeros.
    bytes.wipe();
    ASSERT_EQ(::pread(handed.get(), seen, secret.size(), 0), ssize_t(secret.size()));
    EXPECT_EQ(std::string(seen, secret.size()), std::string(secret.size(), '\0'));
}

} // namespace
} // namespace mv::crypto
