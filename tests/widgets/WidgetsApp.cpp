// One QApplication for the shared widget helpers' tests.
#include "support/QtAppEnvironment.h"

#include <QApplication>

namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("widgets_tests");

} // namespace
