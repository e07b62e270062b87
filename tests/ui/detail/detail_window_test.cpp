// The detail window's behaviour: caption, activation, the caption labels,
// Close, and the labels the publication and the scan write.
#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/support/operator_window_rig.h"
#include "ui/detail/detail_window.h"

namespace tarvex::test {
namespace {

class RecordingDetailView final : public DetailView {
public:
  explicit RecordingDetailView(std::vector<std::string>& trace) : trace_(trace) {}
  void Render(const DetailControls& controls) override {
    if (controls.Visible != visible_) trace_.push_back(controls.Visible ? "shown" : "hidden");
    visible_ = controls.Visible;
    last = controls;
  }
  DetailControls last;

private:
  std::vector<std::string>& trace_;
  bool visible_ = false;
};

class DetailWindowTest : public ::testing::Test {
protected:
  DetailWindowTest() { window.AttachView(&view); }
  OperatorWindowRig rig;
  RecordingDetailView view{rig.trace};
  DetailWindow window{rig.config, rig.main};
};

TEST_F(DetailWindowTest, captionNamesTheChannelCountedFromOne) {
  const struct {
    int channel;
    const char* caption;
  } rows[] = {{0, " Tarvex Channel 1  Device Detail..."}, {31, " Tarvex Channel 32  Device Detail..."}};
  for (const auto& row : rows) {
    rig.values.SelectedChannel = row.channel;
    window.Show();
    EXPECT_EQ(view.last.Caption, row.caption);
  }
}

TEST_F(DetailWindowTest, activationEmptiesEveryValueButTheDescriptionAndHidesTheRawCaption) {
  rig.values.SelectedChannel = 4;
  rig.config.Channels[4].DeviceDescs = "Hopper <b>4</b>";
  for (int label = 0; label < DetailLabel::Count; ++label) window.SetCaption(label, "old");
  window.SetCaptionLabelVisible(DetailLabel::Raw, true);

  window.Show();
  for (int label = 0; label < DetailLabel::Count; ++label) {
    EXPECT_EQ(view.last.Ld[static_cast<size_t>(label)], label == DetailLabel::DeviceDesc ? "Hopper <b>4</b>" : "")
        << "Ld(" << label << ")";
    EXPECT_EQ(view.last.lVisible[static_cast<size_t>(label)], label != DetailLabel::Raw) << "l(" << label << ")";
  }
  EXPECT_TRUE(view.last.Visible);

  // Activated again (the operator clicked the main window and came back):
  // the values are emptied again and refill only when they next change.
  window.SetCaption(DetailLabel::Gross, "12.50");
  window.Form_Activate();
  EXPECT_EQ(view.last.Ld[DetailLabel::Gross], "");
}

TEST_F(DetailWindowTest, eachValueStandsBesideItsCaptionWithUnitsAndStatus1Swapped) {
  const std::vector<std::string> captions = {
      "GROSS:",   "TARE:",    "NET:",     "SCALESTAT:", "CMD:",     "CMDPARM:", "CMDSTAT:",     "ID:",
      "MOTION:",  "ERROR:",   "MODE:",    "STATUS1:",   "UNITS:",   "STATUS2:", "STATUS3:",     "STATUS4:",
      "STATUS5:", "STATUS6:", "STATUS7:", "STATUS8:",   "STATUS9:", "Device Desc:", "RAW:"};
  EXPECT_EQ(std::vector<std::string>(view.last.l.begin(), view.last.l.end()), captions);
  EXPECT_EQ(view.last.l[static_cast<size_t>(CaptionBeside(11))], "UNITS:");
  EXPECT_EQ(view.last.l[static_cast<size_t>(CaptionBeside(12))], "STATUS1:");
  EXPECT_EQ(CaptionBeside(3), 3);
}

TEST_F(DetailWindowTest, closeClearsEveryDetailOpenGivesTheButtonsBackAndFocusesTheChannelsDetailButton) {
  rig.values.SelectedChannel = 5;
  window.Show();
  for (int channel : {0, 5, 31}) rig.values.DetailOpen[channel] = true;
  rig.trace.clear();

  window.cmdClose_Click();
  EXPECT_EQ(rig.trace, (std::vector<std::string>{"buttons enabled", "hidden", "focus cmdDetail(5)"}));
  for (int channel = 0; channel <= 31; ++channel) EXPECT_FALSE(rig.values.DetailOpen[channel]) << channel;
}

TEST_F(DetailWindowTest, closeClearsDetailOpenOnlyUpToMaxChannel) {
  rig.startup.MaxChannel = 3;
  rig.values.DetailOpen[3] = true;
  rig.values.DetailOpen[32] = true;
  window.cmdClose_Click();
  EXPECT_FALSE(rig.values.DetailOpen[3]);
  EXPECT_TRUE(rig.values.DetailOpen[32]);
}

TEST_F(DetailWindowTest, theScanWritesTheRawFrameAndShowsItsCaptionInDebugMode) {
  window.Show();
  window.SetCaption(DetailLabel::Raw, "<b>x</b> ==> 8");
  window.SetCaptionLabelVisible(DetailLabel::Raw, true);
  window.SetCaption(DetailLabel::ScaleStat, "6");
  window.SetCaption(DetailLabel::Error, "OVERLOAD");
  EXPECT_EQ(view.last.Ld[DetailLabel::Raw], "<b>x</b> ==> 8");
  EXPECT_TRUE(view.last.lVisible[DetailLabel::Raw]);
  EXPECT_EQ(view.last.Ld[DetailLabel::ScaleStat], "6");
  EXPECT_EQ(view.last.Ld[DetailLabel::Error], "OVERLOAD");
}

TEST_F(DetailWindowTest, aLabelOutsideTheArrayRaisesError9AndChangesNothing) {
  window.Show();
  const DetailControls before = window.Controls();
  for (int label : {-1, 23}) {
    try {
      window.SetCaption(label, "x");
      ADD_FAILURE() << label;
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), 9);
    }
    EXPECT_THROW(window.SetCaptionLabelVisible(label, true), RunTimeError);
  }
  EXPECT_EQ(window.Controls(), before);
}

}  // namespace
}  // namespace tarvex::test
