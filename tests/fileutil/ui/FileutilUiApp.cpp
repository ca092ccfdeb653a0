// One QApplication for every widget test of the file utilities' windows.
#include "support/QtAppEnvironment.h"

#include <QApplication>

namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("fileutil_ui_tests");

} // namespace
