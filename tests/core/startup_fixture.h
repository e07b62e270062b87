#pragma once
// A start-up window with everything around it recorded: the view, the main
// window, the system setup reads, the process end, and one event list that
// keeps the order in which all of them were touched.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "config/config_state.h"
#include "core/startup_window.h"
#include "tests/support/pty_pair.h"

namespace tarvex::test {

using Events = std::vector<std::string>;

class RecordingView final : public StartupView {
public:
  explicit RecordingView(Events& events) : events_(events) {}
  void Render(const StartupControls& controls) override { last = controls; }
  void Refresh() override { events_.push_back("startup refreshed"); }
  void Close() override { events_.push_back("startup view closed"); }
  StartupControls last;

private:
  Events& events_;
};

// A window that records its load, unload, timer stop and release, and can be
// told to fail its unload or to unload another window on its way.
class RecordingForm : public Form {
public:
  RecordingForm(std::string name, Events& events) : name_(std::move(name)), events_(events) {}
  ~RecordingForm() override { events_.push_back("released " + name_); }
  std::string Name() const override { return name_; }
  void Form_Load() override { events_.push_back("load " + name_); }
  void Form_Unload() override {
    events_.push_back("unload " + name_);
    if (onUnload) onUnload();
  }
  void StopTimers() override { events_.push_back("timers stopped " + name_); }
  std::function<void()> onUnload;

protected:
  std::string name_;
  Events& events_;
};

class FakeMainScreen final : public MainScreen {
public:
  FakeMainScreen(Events& events, ActivationState& activation, const ProgramFolder& folder)
      : events_(events), activation_(activation), ports(folder) {}
  ~FakeMainScreen() override {
    if (onRelease) onRelease();
    events_.push_back("released frmTVM");
  }
  std::string Name() const override { return "frmTVM"; }
  void Form_Load() override {
    ++loads;
    events_.push_back("load frmTVM");
  }
  void Form_Unload() override {
    events_.push_back("unload frmTVM");
    if (onUnload) onUnload();
  }
  void StopTimers() override {
    events_.push_back("timers stopped frmTVM");
    if (onStopTimers) onStopTimers();
  }
  void SetMousePointer(int pointer) override {
    this->pointer = pointer;
    events_.push_back("frmTVM pointer " + std::to_string(pointer));
  }
  void Show() override {
    ++shows;
    events_.push_back(std::string("show frmTVM, FirstActivate ") + (activation_.FirstActivate ? "True" : "False"));
  }
  void Stop() override {
    ++stops;
    events_.push_back("stop frmTVM");
  }
  SerialPortArray& MSComm() override { return ports; }

  int loads = 0;
  int shows = 0;
  int stops = 0;
  int pointer = MousePointer::Default;
  std::function<void()> onUnload;
  std::function<void()> onRelease;
  std::function<void()> onStopTimers;

private:
  Events& events_;
  ActivationState& activation_;

public:
  SerialPortArray ports;
};

class RecordingProcessEnd final : public ProcessEnd {
public:
  explicit RecordingProcessEnd(Events& events) : events_(events) {}
  void End(int status) override {
    ended.push_back(status);
    events_.push_back("process end " + std::to_string(status));
  }
  std::vector<int> ended;

private:
  Events& events_;
};

struct StartupRig {
  Events events;
  // The program folder of the main window's serial ports.
  tarvex::testing::ScratchFolder scratch;
  StartupState state;
  ConfigState config;
  SystemSetup& system = config.System;
  // What the next read of the system setup file finds for AutoStart.
  bool fileAutoStart = false;
  int setupReads = 0;
  int mainScreensCreated = 0;
  FormRegistry registry;
  FormReferences references;
  ActivationState activation;
  // The polling engine's DevicesInitialized, which a launch clears.
  bool devicesInitialized = true;
  RecordingView view{events};
  RecordingProcessEnd processEnd{events};
  std::shared_ptr<StartupWindow> window;

  StartupRig() {
    state.ScreenWidth = 1024;
    state.AutoStartPending = true;
    state.StatusTable().ReDim(0, 99, 0, 5);
  }

  // How the window reads the system setup: by default the file is stood in
  // for by fileAutoStart.
  std::function<void()> readSystemSetup = [this] {
    ++setupReads;
    system.AutoStart = fileAutoStart;
    events.push_back("system setup read");
  };

  std::function<std::shared_ptr<MainScreen>()> CreateMainScreen() {
    return [this] {
      ++mainScreensCreated;
      events.push_back("create frmTVM");
      return std::make_shared<FakeMainScreen>(events, activation, scratch.folder());
    };
  }

  FakeMainScreen* mainScreen() const { return static_cast<FakeMainScreen*>(references.frmTVM.get()); }

  // The start-up order's last two steps: the 32 topic windows, then this window.
  void loadStartupWindow(ProgramVersion version = {1, 0, 23}) {
    for (int channel = 0; channel < DDETopicCount; ++channel) {
      auto topic = std::make_shared<RecordingForm>("DDEForm" + std::to_string(channel), events);
      references.DDEForm[channel] = topic;
      registry.Load(*topic);
    }
    window = std::make_shared<StartupWindow>(
        StartupWindowServices{state, system.AutoStart, readSystemSetup, CreateMainScreen(), registry, references,
                              activation, [this] { devicesInitialized = false; }, processEnd, version},
        view);
    references.frmTarvexStartup = window;
    registry.Load(*window);
  }

  // A further window used after the main window, loaded into its reference.
  std::shared_ptr<RecordingForm> useWindow(std::shared_ptr<Form>& reference, const std::string& name) {
    auto form = std::make_shared<RecordingForm>(name, events);
    reference = form;
    registry.Load(*form);
    return form;
  }

  std::vector<std::string> loadedNames() const {
    std::vector<std::string> names;
    for (const Form* form : registry.Loaded()) names.push_back(form->Name());
    return names;
  }

  // The events of one kind ("unload ", "released "), in order, prefix removed.
  std::vector<std::string> eventsOf(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) found.push_back(e.substr(prefix.size()));
    return found;
  }
};

inline std::vector<std::string> TopicNames() {
  std::vector<std::string> names;
  for (int channel = 0; channel < DDETopicCount; ++channel) names.push_back("DDEForm" + std::to_string(channel));
  return names;
}

class StartupFixture : public ::testing::Test, protected StartupRig {};

}  // namespace tarvex::test
