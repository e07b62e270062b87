#pragma once
// The refresh-rate dialog over the real configuration procedure on a scratch
// program folder, so Update writes a real system setup file. The timers, the
// main window's buttons and the view are recorded in one ordered trace.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config/cfg_proc.h"
#include "core/fixed_tables.h"
#include "core/log_writer.h"
#include "platform/clock.h"
#include "tests/support/pty_pair.h"
#include "ui/refresh/refresh_dialog.h"

namespace tarvex::test {

using Trace = std::vector<std::string>;

class TracedTimer final : public WindowTimer {
public:
  TracedTimer(std::string name, Trace& trace, int interval) : name_(std::move(name)), trace_(trace), interval_(interval) {}
  int Interval() const override { return interval_; }
  void SetInterval(int milliseconds) override {
    interval_ = milliseconds;
    trace_.push_back(name_ + " " + std::to_string(milliseconds));
  }
  bool Enabled() const override { return true; }
  void SetEnabled(bool) override {}

private:
  std::string name_;
  Trace& trace_;
  int interval_;
};

class TracedOwner final : public RefreshDialogOwner {
public:
  explicit TracedOwner(Trace& trace) : trace_(trace) {}
  void EnableButtons() override { trace_.push_back("buttons enabled"); }
  void FocusRefreshButton() override { trace_.push_back("Refresh focused"); }

private:
  Trace& trace_;
};

class CountingView final : public RefreshView {
public:
  void Render(const RefreshControls&) override { ++renders; }
  int renders = 0;
};

inline constexpr const char* FixtureSystemSetup = "40,2,15,0,25,1,#TRUE#,#FALSE#\r\n";

class RefreshDialogTest : public ::testing::Test {
protected:
  RefreshDialogTest() {
    InitCfgFileNames(startup.Tables);
    scratch.WriteFile("TarvexSysSetup.Cfg", FixtureSystemSetup);
    cfg.CfgProc(CfgOp::ReadSystemSetup, 0);
  }

  // The main window's Refresh button: the boxes filled, the dialog open.
  void Open(const std::array<std::string, RateBoxCount>& tVal) {
    values.RefreshDialogOpen = true;
    dialog.Open(tVal);
    trace.clear();
  }
  void OpenWithRunningValues() {
    const SystemSetup& s = config.System;
    Open({std::to_string(s.RxInterval), std::to_string(s.RxIdle), std::to_string(s.TxInterval),
          std::to_string(s.TxIdle), std::to_string(s.GDIInterval), std::to_string(s.GDIIdle)});
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
  std::string SystemFile() const { return ReadFile(scratch.folder().join("TarvexSysSetup.Cfg")); }

  Trace trace;
  testing::ScratchFolder scratch;
  FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0))};
  LogWriter log{scratch.folder(), clock};
  StartupState startup;
  ConfigState config;
  ConfigProcedure cfg{config, startup, scratch.folder(), log};
  MainWindowValues values;
  TracedTimer timer1{"Timer1", trace, 40};
  TracedTimer txTimer{"TxTimer", trace, 15};
  TracedTimer gdiTimer{"GDITimer", trace, 25};
  TracedOwner owner{trace};
  RecordingMessageBox boxes;
  CountingView view;
  RefreshDialog dialog{RefreshDialogServices{config.System, values, MainWindowTimers{timer1, txTimer, gdiTimer},
                                             [this] {
                                               trace.push_back("system setup written");
                                               cfg.CfgProc(CfgOp::WriteSystemSetup, 0);
                                             },
                                             owner, boxes},
                       view};
};

}  // namespace tarvex::test
