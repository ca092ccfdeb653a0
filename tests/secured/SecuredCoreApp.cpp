// The store's writer reports through Qt's event loop.
#include "support/QtAppEnvironment.h"

#include <QCoreApplication>

namespace {
[[maybe_unused]] const auto* const kApp = mv::test::addQtApp<QCoreApplication>("secured_tests");
} // namespace
