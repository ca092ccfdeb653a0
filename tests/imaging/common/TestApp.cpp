// Text drawing needs fonts, and fonts need a GUI application (offscreen: no display).
#include "support/QtAppEnvironment.h"

#include <QGuiApplication>

namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QGuiApplication>("imaging_tests");

} // namespace

// fontconfig keeps a few caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so";
}
