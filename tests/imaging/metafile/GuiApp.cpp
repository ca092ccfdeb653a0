// Text drawing needs fonts, and fonts need a GUI application (offscreen: no display).
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

class GuiApp : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "imaging_metafile_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QGuiApplication* app_ = nullptr;
};
[[maybe_unused]] const auto* const kApp = ::testing::AddGlobalTestEnvironment(new GuiApp);

} // namespace

// fontconfig keeps a few caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }
