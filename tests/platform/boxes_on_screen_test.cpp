// The program's boxes really shown on a virtual X screen
// (boxes_on_screen_test.sh starts it, and a window manager for the cases
// that need one): while a box waits, the scan, transmit and grid timers go
// on and the other channels are served; a box opens above the stay-on-top
// window it came from and takes the focus; Enter in the terminal error box
// retries; coming back from the program's own box resets no window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <optional>

#include "engine/engine_steps.h"
#include "engine/errors/scan_error_handling.h"
#include "engine/scan_pacing.h"
#include "engine/scan_pass.h"
#include "platform/qt_message_box.h"
#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/recording_log.h"
#include "tests/support/widget_application.h"
#include "ui/detail/detail_window.h"
#include "ui/detail/widget/detail_widget.h"
#include "ui/keypad/zel_api32.h"
#include "ui/main_window/qt_window_timer.h"
#include "ui/refresh/refresh_dialog.h"
#include "ui/refresh/widget/refresh_dialog_widget.h"

namespace tarvex::test {
namespace {

bool NoVisibleScreen() {
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// The cases that need a window manager run where the script started one.
bool WindowManagerRuns() {
  const char* wm = std::getenv("TARVEX_TEST_WINDOW_MANAGER");
  return wm != nullptr && *wm != '\0';
}

std::vector<QMessageBox*> ShownBoxes() {
  std::vector<QMessageBox*> boxes;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) boxes.push_back(box);
  }
  return boxes;
}

// Runs act on the first shown box once it has the focus (or, after 5 s, on
// the first shown box at all), from a timer: it runs whether the code that
// opened the box waits for it or not.
class OnceABoxIsActive {
public:
  explicit OnceABoxIsActive(std::function<void(QMessageBox*)> act) : act_(std::move(act)) {
    started_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      for (QMessageBox* box : ShownBoxes()) {
        if (!box->isActiveWindow() && started_.elapsed() < 5000) continue;
        timer_.stop();
        done = true;
        act_(box);
        return;
      }
    });
    timer_.start(20);
  }
  bool done = false;

private:
  std::function<void(QMessageBox*)> act_;
  QTimer timer_;
  QElapsedTimer started_;
};

// The pass's yield as the program has it, and a click that arrives while the
// pass yields: it is handled inside the pass.
class YieldingPacing final : public ScanPacing {
public:
  void Sleep(int32_t) override {}
  void DoEvents() override {
    if (click) QMetaObject::invokeMethod(qApp, std::exchange(click, {}), Qt::QueuedConnection);
    QCoreApplication::processEvents();
  }
  std::function<void()> click;
};

// Channel 0 raises the same error on its first serves (a line that hung up,
// reported again); channel 1 is a scale whose every serve counts as a frame.
class ScaleSteps final : public ChannelStep {
public:
  void Serve(int32_t ch) override {
    if (ch == 0 && failuresLeft > 0) {
      --failuresLeft;
      throw RunTimeError(57, "Device I/O error (COM1: the device hung up; the port is closed)");
    }
    if (ch == 1) ++frames;
  }
  int failuresLeft = 0;
  long frames = 0;
};

class RecordingErrorWindowStandIn final : public ScanErrorWindow, public Beeper {
public:
  void MarkAllCellsDirty() override {}
  void Beep() override {}
};

class RecordingProcessEndStandIn final : public ProcessEnd {
public:
  void End(int status) override { ends.push_back(status); }
  std::vector<int> ends;
};

class StubRefreshView final : public RefreshView, public RefreshDialogOwner {
public:
  void Render(const RefreshControls&) override {}
  void EnableButtons() override {}
  void FocusRefreshButton() override {}
};

struct Counts {
  long scanPasses = 0;
  long frames = 0;
  long transmitTicks = 0;
  long gridTicks = 0;
};

// The engine's pass over two serial scale channels with the program's own
// box, timers and yield, and the keypad and the refresh dialog beside it.
struct RunningManager : EngineFixture {
  RunningManager() {
    startup.MaxChannel = 1;
    engine.DevicesInitialized = true;
    for (int32_t ch : {0, 1}) {
      config.Channels[ch].ChannelProtocol = 10;
      config.Channels[ch].ConnectUsing = ConnectionType::PcSerialPort;
      config.Channels[ch].DeviceEnabled = true;
      engine.ChannelActive[ch] = true;
    }
    network.AddNode("1");
    terminal.ZelRegisterProcess(1);
    zel.Values().VirtualNode = '1';
    scan.SetInterval(1);
    transmit.SetInterval(1);
    gridTimer.SetInterval(1);
  }

  Counts Now() const { return {engine.ScanTick, scale.frames, transmitTicks, gridTicks}; }

  // Runs the three timers until a box has waited for a while, then answers
  // it; a box that holds everything is answered by a watchdog, so a manager
  // that stops behind its box fails instead of hanging. What ran while the
  // box waited, and how many boxes were open at once.
  struct Seen {
    Counts whileShown;
    size_t mostBoxes = 0;
    bool boxShown = false;
  };
  Seen RunUntilABoxHasWaited() {
    Seen seen;
    std::optional<Counts> first;
    int samplesShown = 0;
    QTimer sampler;
    bool done = false;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      const auto boxes = ShownBoxes();
      if (boxes.empty()) return;
      seen.boxShown = true;
      seen.mostBoxes = std::max(seen.mostBoxes, boxes.size());
      if (!first) first = Now();
      if (++samplesShown < 40) return;  // 40 samples of 20 ms: 0.8 s
      const Counts last = Now();
      seen.whileShown = {last.scanPasses - first->scanPasses, last.frames - first->frames,
                         last.transmitTicks - first->transmitTicks, last.gridTicks - first->gridTicks};
      sampler.stop();
      for (QMessageBox* box : boxes) box->done(0);
      done = true;
    });
    sampler.start(20);
    scan.SetEnabled(true);
    transmit.SetEnabled(true);
    gridTimer.SetEnabled(true);
    [[maybe_unused]] const bool answered = QTest::qWaitFor([&] { return done; }, 10000);
    scan.SetEnabled(false);
    transmit.SetEnabled(false);
    gridTimer.SetEnabled(false);
    for (QMessageBox* box : ShownBoxes()) box->done(0);
    return seen;
  }

  QtMessageBox box;
  RecordingErrorWindowStandIn errorWindow;
  YieldingPacing yielding;
  ScaleSteps scale;
  NoStep none;
  EngineSteps scaleSteps{{none, none, none, scale, none}};
  ScanSurroundings services{engine, config, startup, setup,  publication, window,     grid,       publisher,
                        dde,    handshake, icons, cfg,   log,         speech,     ports,      net,
                        opc,    clock,  yielding, mainWindow, scaleSteps, handler};
  ScanErrorHandling handler{services, box, errorWindow, errorWindow};
  ScanPass scanPass{services};
  long transmitTicks = 0;
  long gridTicks = 0;
  QtWindowTimer scan{[this] { scanPass.Timer1_Timer(); }};
  QtWindowTimer transmit{[this] { ++transmitTicks; }};
  QtWindowTimer gridTimer{[this] { ++gridTicks; }};

  TerminalSimulator network;
  SimulatedTerminalNet terminal{network};
  RecordingProcessEndStandIn processEnd;
  int16_t ZelApiResult = 0;
  ZelApi32 zel{ZelApi32Services{terminal, box, ZelApiResult, processEnd, log}};

  StubRefreshView refreshView;
  RefreshDialog refresh{RefreshDialogServices{config.System, window, MainWindowTimers{scan, transmit, gridTimer},
                                              [] {}, refreshView, box},
                        refreshView};
};

class BoxesOnScreenTest : public ::testing::Test, private WidgetApplication {
protected:
  void SetUp() override {
    if (NoVisibleScreen()) GTEST_SKIP() << "no box is shown on this platform";
  }
};

TEST_F(BoxesOnScreenTest, whileAnyBoxWaitsTheTimersRunAndTheOtherChannelsAreServed) {
  const struct {
    const char* box;
    std::function<void(RunningManager&)> raise;
  } rows[] = {
      {"scan error of a line that hung up, reported three times", [](RunningManager& m) { m.scale.failuresLeft = 3; }},
      {"refresh dialog's refusal of an interval of 0, clicked while the pass yields",
       [](RunningManager& m) {
         m.refresh.Open({"0", "1", "15", "0", "25", "1"});
         m.yielding.click = [&m] { m.refresh.cmdUpdate_Click(); };
       }},
      {"keypad's terminal error, clicked while the pass yields",
       [](RunningManager& m) {
         m.network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
         m.yielding.click = [&m] {
           int16_t key = 55;
           m.zel.SendTerminalKey(key);
         };
       }},
  };
  for (const auto& row : rows) {
    RunningManager manager;
    row.raise(manager);
    const RunningManager::Seen seen = manager.RunUntilABoxHasWaited();
    ASSERT_TRUE(seen.boxShown) << row.box;
    EXPECT_EQ(seen.mostBoxes, 1u) << row.box;
    EXPECT_GT(seen.whileShown.scanPasses, 20) << row.box;
    EXPECT_GT(seen.whileShown.frames, 20) << row.box;
    EXPECT_GT(seen.whileShown.transmitTicks, 20) << row.box;
    EXPECT_GT(seen.whileShown.gridTicks, 20) << row.box;
  }
}

// A failure repeated while its box is open (a grid release in debug mode, a
// setup step) brings the open box to the front instead of piling up boxes;
// the one answer reaches every caller.
TEST_F(BoxesOnScreenTest, theSameBoxOpenedAgainIsTheOpenOneAndItsAnswerReachesEveryCaller) {
  // The operator answers every box shown, from a second on (a box that
  // waited for its answer would otherwise hold the test).
  QElapsedTimer started;
  started.start();
  QTimer operatorAnswers;
  QObject::connect(&operatorAnswers, &QTimer::timeout, [&] {
    if (started.elapsed() < 1000) return;
    for (QMessageBox* shown : ShownBoxes()) QTest::keyClick(shown, Qt::Key_Return);
  });
  operatorAnswers.start(20);

  QtMessageBox box;
  std::vector<int> answers;
  for (int i = 0; i < 3; ++i) {
    box.Open("Release Error 5: the pen is in use", MsgBoxStyle::OkOnly, "Tarvex", [&](int a) { answers.push_back(a); });
  }
  box.Open("Another text", MsgBoxStyle::OkOnly, "Tarvex", [&](int a) { answers.push_back(10 + a); });
  const bool twoBoxes = QTest::qWaitFor([] { return ShownBoxes().size() == 2; }, 900);
  const size_t shownBefore = ShownBoxes().size();
  ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 4; }, 10000)) << answers.size() << " answers";
  EXPECT_TRUE(twoBoxes) << shownBefore << " boxes shown";
  std::sort(answers.begin(), answers.end());
  EXPECT_EQ(answers, (std::vector<int>{MsgBoxResult::Ok, MsgBoxResult::Ok, MsgBoxResult::Ok, 10 + MsgBoxResult::Ok}));
}

// Enter is itself a keypad key: in the terminal error box it retries, and
// only a deliberate Abort ends the manager.
TEST_F(BoxesOnScreenTest, enterInTheTerminalErrorBoxAnswersRetry) {
  RunningManager manager;
  manager.network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  OnceABoxIsActive enter([&](QMessageBox* box) {
    defaultButton = box->standardButton(box->defaultButton());
    QTest::keyClick(box, Qt::Key_Return);
  });
  int16_t key = 55;
  manager.zel.SendTerminalKey(key);
  ASSERT_TRUE(QTest::qWaitFor([&] { return enter.done && ShownBoxes().empty(); }, 10000)) << "no box answered";
  EXPECT_EQ(defaultButton, QMessageBox::Retry);
  EXPECT_EQ(manager.zel.Values().ErrorBoxAnswer, MsgBoxResult::Retry);
  EXPECT_TRUE(manager.processEnd.ends.empty());
}

// The stacking order of the window manager, bottom first.
std::vector<WId> StackingOrder() {
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  if (!xprop.waitForFinished(5000)) return {};
  const QString out = QString::fromLocal8Bit(xprop.readAllStandardOutput());
  std::vector<WId> ids;
  const qsizetype hash = out.indexOf(u'#');
  if (hash < 0) return ids;
  for (const QString& id : out.mid(hash + 1).split(u',', Qt::SkipEmptyParts)) {
    ids.push_back(static_cast<WId>(id.trimmed().toULongLong(nullptr, 16)));
  }
  return ids;
}

bool Above(WId upper, WId lower) {
  const auto order = StackingOrder();
  const auto u = std::find(order.begin(), order.end(), upper);
  const auto l = std::find(order.begin(), order.end(), lower);
  return u != order.end() && l != order.end() && u > l;
}

// Under a window manager a box without an owner opened beneath the
// stay-on-top keypad, holding the keyboard unseen.
TEST_F(BoxesOnScreenTest, aBoxOpensAboveTheStayOnTopWindowItCameFromAndTakesTheFocus) {
  if (!WindowManagerRuns()) GTEST_SKIP() << "needs a window manager (boxes_on_screen_test.sh starts openbox)";
  QWidget keypad(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
  keypad.setWindowTitle(QStringLiteral("Keypad"));
  keypad.resize(400, 300);
  keypad.show();
  keypad.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&keypad, 5000)) << "the keypad never became active";

  QtMessageBox box;
  bool focused = false;
  QWindow* owner = nullptr;
  bool above = false;
  OnceABoxIsActive look([&](QMessageBox* shown) {
    focused = shown->isActiveWindow();
    owner = shown->windowHandle() != nullptr ? shown->windowHandle()->transientParent() : nullptr;
    above = QTest::qWaitFor([&] { return Above(shown->winId(), keypad.winId()); }, 3000);
    QTest::keyClick(shown, Qt::Key_Escape);
  });
  int answer = 0;
  box.Open("Error Code= ZEL_BAD_CONNECT", MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation,
           "ZELAPI32.DLL Error", [&](int a) { answer = a; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return look.done && answer != 0; }, 15000)) << "no box answered";
  EXPECT_TRUE(focused) << "the box did not take the focus";
  EXPECT_EQ(owner, keypad.windowHandle()) << "the box is not the keypad's";
  EXPECT_TRUE(above) << "the box is not above the keypad";
  EXPECT_EQ(answer, MsgBoxResult::Ignore);
}

// What an operator does: activates another window, then the window again.
bool ActivateAnotherWindowAndComeBack(QWidget& window) {
  QWidget other;
  other.resize(200, 100);
  other.show();
  other.activateWindow();
  if (!QTest::qWaitForWindowActive(&other, 5000)) return false;
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window, 5000);
}

// The refresh dialog's advanced view and what was typed there stay when its
// own refusal box is answered; an activation by the operator still returns
// it to the simple view.
TEST_F(BoxesOnScreenTest, comingBackFromItsOwnBoxKeepsTheRefreshDialogsAdvancedView) {
  if (!WindowManagerRuns()) GTEST_SKIP() << "needs a window manager (boxes_on_screen_test.sh starts openbox)";
  RunningManager manager;
  RefreshDialogWidget widget;
  RefreshDialog dialog{RefreshDialogServices{manager.config.System, manager.window,
                                             MainWindowTimers{manager.scan, manager.transmit, manager.gridTimer},
                                             [] {}, manager.refreshView, manager.box},
                       widget};
  widget.Attach(dialog);
  dialog.Open({"25", "1", "15", "0", "25", "1"});
  ASSERT_TRUE(QTest::qWaitForWindowActive(&widget, 5000)) << "the dialog never became active";
  dialog.cmdAdvanced_Click();
  ASSERT_TRUE(dialog.tVal_Change(0, "0"));

  // The operator answers the refusal with Enter.
  OnceABoxIsActive enter([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
  dialog.cmdUpdate_Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return enter.done && ShownBoxes().empty(); }, 10000)) << "no refusal answered";
  ASSERT_TRUE(QTest::qWaitForWindowActive(&widget, 5000)) << "the focus did not come back to the dialog";
  EXPECT_TRUE(dialog.Controls().fRefreshVisible) << "the box's close reset the dialog to the simple view";
  EXPECT_EQ(dialog.Controls().tVal[0], "0");

  // The operator goes to another window and comes back.
  ASSERT_TRUE(ActivateAnotherWindowAndComeBack(widget));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Controls().fRefreshVisible; }, 2000))
      << "the operator's activation did not return to the simple view";
}

// The detail window keeps the values it shows when a box of the program it
// owned is answered (a steady scale would show blanks until its weight
// changes); an activation by the operator still empties them.
TEST_F(BoxesOnScreenTest, comingBackFromItsOwnBoxKeepsTheDetailWindowsValues) {
  if (!WindowManagerRuns()) GTEST_SKIP() << "needs a window manager (boxes_on_screen_test.sh starts openbox)";
  ConfigState config;
  StartupState startup;
  startup.MaxChannel = 31;
  MainWindowValues values;
  DetailWindow detail{config, OperatorWindowReturn{values, startup, [] {}, [](int) {}}};
  DetailWidget widget{detail};
  detail.AttachView(&widget);
  detail.Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&widget, 5000)) << "the detail window never became active";
  detail.SetCaption(DetailLabel::Gross, "12.50");

  QtMessageBox box;
  OnceABoxIsActive enter([](QMessageBox* shown) { QTest::keyClick(shown, Qt::Key_Return); });
  box.Open("Critical Error: 57  Device I/O error", MsgBoxStyle::OkOnly | MsgBoxStyle::Critical,
           "Tarvex Scan System Error");
  ASSERT_TRUE(QTest::qWaitFor([&] { return enter.done && ShownBoxes().empty(); }, 10000)) << "no box answered";
  ASSERT_TRUE(QTest::qWaitForWindowActive(&widget, 5000)) << "the focus did not come back to the detail window";
  EXPECT_EQ(detail.Controls().Ld[DetailLabel::Gross], "12.50") << "the box's close emptied the values";

  ASSERT_TRUE(ActivateAnotherWindowAndComeBack(widget));
  EXPECT_TRUE(QTest::qWaitFor([&] { return detail.Controls().Ld[DetailLabel::Gross].empty(); }, 2000))
      << "the operator's activation did not empty the values";
}

}  // namespace
}  // namespace tarvex::test
