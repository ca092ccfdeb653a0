// One Qt application object for a whole test binary, made before the first test and deleted
// after the last: fonts and painting need a QGuiApplication, widgets a QApplication.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace mv::test {

template <typename App>
class QtAppEnvironment : public ::testing::Environment {
public:
    explicit QtAppEnvironment(const char* name) : name_(name) {}

    void SetUp() override
    {
        argv_[0] = name_.data();
        app_ = std::make_unique<App>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    // Qt keeps references to argc and argv for the life of the application.
    std::string name_;
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<App> app_;
};

// Registers the application; call once per binary, from a namespace-scope initializer.
template <typename App>
::testing::Environment* addQtApp(const char* name)
{
    return ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<App>(name));
}

} // namespace mv::test
