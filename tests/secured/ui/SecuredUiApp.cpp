// One QApplication for every widget test of the Secured Access List's windows.
#include "support/QtAppEnvironment.h"

#include <QApplication>

namespace {
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("secured_ui_tests");
} // namespace
