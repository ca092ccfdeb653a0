// The watches and the run flow live on Qt's event loop.
#include "support/QtAppEnvironment.h"

#include <QCoreApplication>

namespace {
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QCoreApplication>("launch_tests");
} // namespace
