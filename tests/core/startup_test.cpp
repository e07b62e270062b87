#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "core/startup.h"

namespace tarvex {
namespace {

class FakeInstance final : public InstanceCheck {
public:
  bool running = false;
  bool AnotherInstanceRunning() override { return running; }
};

class RecordingWindows final : public StartupWindows {
public:
  explicit RecordingWindows(const StartupState& state) : state_(state) {}
  std::vector<std::string> loaded;
  bool tablesFilledBeforeTopics = false;

  void LoadDDETopicWindows() override {
    tablesFilledBeforeTopics = state_.Tables.CfgFileNames(41) == "\\Tarvex-Std-CustFmt32.Cfg" &&
                               state_.Tables.CommSettings(33) == "9600,N,8,1";
    loaded.push_back("DDEForms");
  }
  void LoadStartupWindow() override { loaded.push_back("frmTarvexStartup"); }

private:
  const StartupState& state_;
};

class StartupTest : public testing::Test {
protected:
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  // The C locale gives the United States form, whatever the machine is set to.
  LogWriter log{folder, clock, QLocale::c()};
  FixedOsVersion os{{2, 5, 0}};
  FakeInstance instance;
  FixedScreen screen{1024};
  RecordingMessageBox boxes;
  StartupState state;
  RecordingWindows windows{state};

  StartupOutcome run(const OsVersionSource& version, const Screen& display, std::string commandLine = "") {
    StartupServices services{version, std::move(commandLine), instance, display, boxes, log};
    return Main(state, services, windows);
  }
  StartupOutcome run() { return run(os, screen); }

  std::string errorLog() const {
    std::ifstream in(folder.join("ErrorLog-Velmar Orinda Tarvex.txt"), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(StartupTest, fullStartLoadsTopicWindowsThenTheStartupWindow) {
  EXPECT_EQ(run(os, screen, "nogdi log"), StartupOutcome::Started);
  EXPECT_EQ(state.OSVersion, "2000");
  EXPECT_EQ(state.MaxChannel, 31);
  EXPECT_FALSE(state.GDIEnabled);
  EXPECT_TRUE(state.ChannelLogEnabled[31]);
  EXPECT_TRUE(state.AutoStartPending);
  EXPECT_EQ(state.ScreenWidth, 1024);
  EXPECT_EQ(state.Tables.LastFixedProtocol, 9);
  ASSERT_TRUE(state.HasStatusTable());
  EXPECT_EQ(state.StatusTable().UpperBound(1), 99);
  EXPECT_EQ(state.StatusTable().UpperBound(2), 5);
  EXPECT_EQ(windows.loaded, (std::vector<std::string>{"DDEForms", "frmTarvexStartup"}));
  EXPECT_TRUE(windows.tablesFilledBeforeTopics);
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(errorLog(), "");
}

TEST_F(StartupTest, secondInstanceIsRefusedBeforeAutoStartPending) {
  instance.running = true;
  EXPECT_EQ(run(), StartupOutcome::AlreadyRunning);
  // The switches were read; nothing after the refusal ran.
  EXPECT_EQ(state.MaxChannel, 31);
  EXPECT_FALSE(state.AutoStartPending);
  EXPECT_EQ(state.ScreenWidth, 0);
  EXPECT_TRUE(windows.loaded.empty());
  EXPECT_EQ(errorLog(), "Tried To Start Tarvex Manager While Already Running @ 3/7/2026 2:05:09 PM\r\n");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].style, 16);
  EXPECT_EQ(boxes.shown()[0].title, " Tarvex Manager Startup Problem...");
  EXPECT_EQ(boxes.shown()[0].text,
            "A Copy Of Tarvex Manager Is Already Running.\r\n\r\n"
            "Please Switch To Copy Of Tarvex Manager Already Running...    \r\n\r\n\n"
            "Contact Velmar-Orinda For Additional Help...");
}

TEST_F(StartupTest, screenWidthDecidesAndHeightDoesNot) {
  const struct {
    int width;
    StartupOutcome outcome;
  } rows[] = {{799, StartupOutcome::ScreenTooSmall}, {800, StartupOutcome::Started}, {0, StartupOutcome::ScreenTooSmall}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width);
    StartupState fresh;
    RecordingWindows freshWindows(fresh);
    RecordingMessageBox freshBoxes;
    FixedScreen display(row.width);
    StartupServices services{os, "", instance, display, freshBoxes, log};
    EXPECT_EQ(Main(fresh, services, freshWindows), row.outcome);
    EXPECT_TRUE(fresh.AutoStartPending);
    if (row.outcome == StartupOutcome::ScreenTooSmall) {
      // Refused before the tables are filled.
      EXPECT_EQ(fresh.Tables.CommSettings(33), "");
      EXPECT_FALSE(fresh.HasStatusTable());
      EXPECT_TRUE(freshWindows.loaded.empty());
      ASSERT_EQ(freshBoxes.shown().size(), 1u);
      EXPECT_EQ(freshBoxes.shown()[0].style, 16);
      EXPECT_EQ(freshBoxes.shown()[0].text,
                "Tarvex MUST Run In At Least 800 x 600 Mode.\r\n\r\n"
                "Change Your Screen Settings To 1024 x 768, 256-Color,\r\n\r\n\n"
                "Or Contact Velmar-Orinda For Additional Help...");
    } else {
      EXPECT_EQ(freshWindows.loaded.size(), 2u);
      EXPECT_TRUE(freshBoxes.shown().empty());
    }
  }
  EXPECT_EQ(errorLog(),
            "Tried To Start Tarvex Manager In Less Than 800 x 600 Mode @ 3/7/2026 2:05:09 PM\r\n"
            "Tried To Start Tarvex Manager In Less Than 800 x 600 Mode @ 3/7/2026 2:05:09 PM\r\n");
}

TEST_F(StartupTest, otherSystemsServeEightChannels) {
  EXPECT_EQ(run(FixedOsVersion({2, 6, 1}), screen, "LOG"), StartupOutcome::Started);
  EXPECT_EQ(state.OSVersion, "");
  EXPECT_EQ(state.MaxChannel, 7);
  EXPECT_TRUE(state.ChannelLogEnabled[7]);
  EXPECT_FALSE(state.ChannelLogEnabled[8]);
}

}  // namespace
}  // namespace tarvex
