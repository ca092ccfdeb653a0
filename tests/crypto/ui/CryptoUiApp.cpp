// One QApplication for every widget test of the encryption dialogs.
#include "support/QtAppEnvironment.h"

#include <QApplication>

namespace {

[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QApplication>("crypto_ui_tests");

} // namespace
