// The settings writer, the store watch and the instance channel run on Qt's event loops.
#include "support/QtAppEnvironment.h"

#include <QCoreApplication>

namespace {
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QCoreApplication>("shell_core_tests");
} // namespace
