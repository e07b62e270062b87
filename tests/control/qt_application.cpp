// One QApplication for the whole test program: the control dispatches events
// while it waits, and TarvexDev is a widget.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "control_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

private:
  std::unique_ptr<QApplication> app_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
