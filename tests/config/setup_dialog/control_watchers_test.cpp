// The editor's window joins the setup dialog from inside a watcher of the
// dialog's window control (the window is made when the control turns visible),
// and that window adds watchers of its own.
#include <gtest/gtest.h>

#include <vector>

#include "config/setup_dialog/dialog_controls.h"

namespace tarvex::test {
namespace {

TEST(ControlWatchers, AWatcherMayAddWatchersAndKeepsItsOwnState) {
  Window window("frmTarvexStdSetup");
  window.SetVisible(false);
  std::vector<std::string> told;
  window.Watch([&, shown = false]() mutable {
    if (window.Visible() == shown) return;
    shown = window.Visible();
    told.push_back(shown ? "shown" : "hidden");
    // Enough new watchers that a vector would have to move its elements.
    for (int i = 0; i < 40; ++i) window.Watch([&told, i] { if (i == 0) told.push_back("added"); });
  });
  window.SetVisible(true);
  window.SetVisible(false);
  EXPECT_EQ(told, (std::vector<std::string>{"shown", "added", "hidden", "added", "added"}));
}

}  // namespace
}  // namespace tarvex::test
