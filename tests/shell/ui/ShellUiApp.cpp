// One QApplication for every widget test of the shell.
#include "support/QtAppEnvironment.h"

#include <QApplication>

namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("shell_ui_tests");

} // namespace
