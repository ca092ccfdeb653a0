// The one Qt application of a test binary whose target asks for one (mv_add_test's APP), of
// the class the target names: fonts and painting need a QGuiApplication, widgets a QApplication.
#include "support/QtAppEnvironment.h"

#define MV_HEADER_OF(name) <name>
#include MV_HEADER_OF(MV_TEST_APP)

namespace {
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<MV_TEST_APP>(MV_TEST_NAME);
} // namespace
