// Shared main() of the test binaries: every run gets a home of its own, so a test can never
// read or damage the real settings, trash or private folders of the person running it.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace {

std::string makeScratchHome()
{
    std::string pattern = std::filesystem::temp_directory_path() / "mvtest-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    return pattern;
}

void setDir(const char* var, const std::string& path)
{
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), 0700);
    ::setenv(var, path.c_str(), 1);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string home = makeScratchHome();
    setDir("HOME", home);
    setDir("XDG_CONFIG_HOME", home + "/.config");
    setDir("XDG_CACHE_HOME", home + "/.cache");
    setDir("XDG_DATA_HOME", home + "/.local/share");
    setDir("XDG_RUNTIME_DIR", home + "/runtime");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Pictures are decoded in the helper this build made, wherever the test binary lies.
    ::setenv("MV_DECODER_HELPER", MV_DECODER_HELPER, 0);
    // The programs a test starts speak English, whatever the language of the one who runs it;
    // the German tests install their catalogue themselves.
    ::setenv("LANGUAGE", "en", 1);
    // Writes past a simulated size limit must fail with EFBIG, not kill the test.
    std::signal(SIGXFSZ, SIG_IGN);

    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();

    std::error_code ec;
    std::filesystem::permissions(home, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(home, ec);
    return rc;
}
