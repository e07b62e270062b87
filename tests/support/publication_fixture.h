#pragma once
// Recording neighbours of the publication procedures and one fixture that wires
// the procedures to them. Every neighbour call lands in one shared trace, so a
// test sees the order of effects across neighbours.
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QDateTime>
#include <QLocale>

#include "config/config_state.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/clock.h"
#include "platform/opc/opc_items.h"
#include "platform/program_folder.h"
#include "platform/run_time_error.h"
#include "publish/activity_icons.h"
#include "publish/channel_indicators.h"
#include "publish/dde_links.h"
#include "publish/dde_topics.h"
#include "publish/detail_labels.h"
#include "publish/device_handshake.h"
#include "publish/devices.h"
#include "publish/scan_values.h"
#include "publish/grid_cells.h"
#include "publish/main_window_values.h"
#include "publish/publication_state.h"
#include "publish/value_publisher.h"
#include "tests/support/recording_log.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {

using test::ErrorOf;

// A double the way the traces write it: shortest form, "12.5", "-3", "150".
inline std::string Num(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

using Trace = std::vector<std::string>;

// Where a test makes a neighbour fail, or looks at the state just before the
// neighbour acts.
struct FaultPoint {
  int failWith = 0;
  std::function<void()> before;
  void Enter(const char* what) const {
    if (before) before();
    if (failWith) throw RunTimeError(failWith, what);
  }
};

class RecordingGrid : public GridCells {
public:
  explicit RecordingGrid(Trace& trace) : trace_(trace) {}
  void SetCellDirty(int32_t ch, int col) override {
    Check(ch);
    trace_.push_back("dirty " + std::to_string(ch) + " " + std::to_string(col));
  }
  bool IndicatorOn(int32_t ch, int col) const override {
    Check(ch);
    return lit_[static_cast<size_t>(ch)][static_cast<size_t>(col)];
  }
  void SetIndicatorOn(int32_t ch, int col, bool on) override {
    Check(ch);
    lit_[static_cast<size_t>(ch)][static_cast<size_t>(col)] = on;
    trace_.push_back(std::string(on ? "on " : "off ") + std::to_string(ch) + " " + std::to_string(col));
  }
  void DrawCell(int32_t ch, int col) override {
    Check(ch);
    trace_.push_back("draw " + std::to_string(ch) + " " + std::to_string(col));
  }
  // Sets a flag without tracing it, as the test's starting point.
  void Light(int32_t ch, int col, bool on) { lit_[static_cast<size_t>(ch)][static_cast<size_t>(col)] = on; }

private:
  static void Check(int32_t ch) { CheckSubscript(ch, 0, 32, "grid channel"); }
  Trace& trace_;
  std::array<std::array<bool, 13>, 33> lit_{};
};

class RecordingOpc : public OpcItems {
public:
  explicit RecordingOpc(Trace& trace) : trace_(trace) {}
  void SetItemValue(int32_t ch, int16_t position, double value) override {
    fault.Enter("OPC item write failed");
    trace_.push_back("opc " + std::to_string(ch) + " " + std::to_string(position) + " " + Num(value));
  }
  FaultPoint fault;

private:
  Trace& trace_;
};

class RecordingLabels : public DetailLabels {
public:
  explicit RecordingLabels(Trace& trace) : trace_(trace) {}
  void SetCaption(int label, const std::string& text) override {
    fault.Enter("detail label failed");
    trace_.push_back("label " + std::to_string(label) + " " + text);
  }
  void SetCaptionLabelVisible(int label, bool visible) override {
    trace_.push_back("caption " + std::to_string(label) + (visible ? " shown" : " hidden"));
  }
  FaultPoint fault;

private:
  Trace& trace_;
};

class RecordingIcons : public ActivityIcons {
public:
  explicit RecordingIcons(Trace& trace) : trace_(trace) {}
  void SetWindowIcon(ActivityImage image) override {
    static const char* const names[] = {"iRcv", "iXmit", "iIdle"};
    trace_.push_back(std::string("icon ") + names[static_cast<int>(image)]);
  }
  void ShowWindowIconInTray() override { trace_.push_back("tray"); }

private:
  Trace& trace_;
};

class RecordingTopics : public DdeTopics {
public:
  void SetItems(int32_t topic, const DDEItemTexts& texts) override { calls.push_back({topic, texts}); }
  struct Call {
    int32_t topic;
    DDEItemTexts texts;
  };
  std::vector<Call> calls;
};

using test::RecordingLog;

// All publication state, the recording neighbours and the four procedure
// objects over them, for the channels 0 to 32.
struct PublicationFixture {
  Trace trace;
  PublicationState publication;
  MainWindowValues window;
  ScanValues engine;
  ConfigState config;
  StartupState startup;
  Devices devices;

  RecordingGrid grid{trace};
  RecordingOpc opc{trace};
  RecordingLabels labels{trace};
  RecordingIcons icons{trace};
  RecordingTopics topics;
  RecordingLog log;

  DeviceHandshake handshake{devices, window, publication, engine, config, log};
  ValuePublisher publisher{publication, window, config, grid, opc, labels, handshake};
  DdeLinks dde{publication, topics, QLocale::c()};
  ChannelIndicators indicators{publication, engine, window, startup, grid, icons};
};

}  // namespace tarvex
