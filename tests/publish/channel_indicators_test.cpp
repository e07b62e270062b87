// The status line and the rate-limited receive and transmit indicators.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

TEST(ChannelIndicators, LightingFollowsTheRateLimitInScanPassesAndTheTrayState) {
  enum Which { RX, TX };
  struct Case {
    const char* legend;
    Which which;
    int32_t ch;
    bool lit;
    int32_t scanTick;
    int32_t lastTick;
    bool inTray;
    bool debug;
    int error;
    Trace trace;
    bool litAfter;
    int32_t lastAfter;
  };
  const std::vector<Case> rows = {
      {"receive lights, drawn later by the grid timer", RX, 0, false, 5, 4, false, false, 0, {"on 0 0", "dirty 0 0"},
       true, 5},
      {"transmit lights and is drawn at once", TX, 31, false, 5, 4, false, false, 0,
       {"on 31 1", "dirty 31 1", "draw 31 1"}, true, 5},
      {"a lit receive indicator is left alone, tick not renewed", RX, 0, true, 50, 0, false, false, 0, {}, true, 0},
      {"a lit transmit indicator is left alone", TX, 0, true, 50, 0, true, false, 0, {}, true, 0},
      {"same pass as it went dark: nothing", RX, 0, false, 7, 7, false, false, 0, {}, false, 7},
      {"the distance counts either way", RX, 32, false, 3, 7, false, false, 0, {"on 32 0", "dirty 32 0"}, true, 3},
      {"after ScanTick wrapped the next request lights", TX, 0, false, 0, 9999999, false, false, 0,
       {"on 0 1", "dirty 0 1", "draw 0 1"}, true, 0},
      {"in the tray nine passes are not enough", RX, 0, false, 19, 10, true, false, 0, {}, false, 10},
      {"in the tray ten passes light it and both icons follow", RX, 0, false, 20, 10, true, false, 0,
       {"on 0 0", "dirty 0 0", "icon iRcv", "tray"}, true, 20},
      {"in the tray transmit is not drawn at once", TX, 0, false, 20, 10, true, false, 0,
       {"on 0 1", "dirty 0 1", "icon iXmit", "tray"}, true, 20},
      {"in the tray with the debug switch only the window icon changes", TX, 0, false, 30, 10, true, true, 0,
       {"on 0 1", "dirty 0 1", "icon iXmit"}, true, 30},
      {"in the tray six passes across the wrap are not ten", RX, 0, false, 0, 9999995, true, false, 0, {}, false,
       9999995},
      {"a tick outside the counter's range is taken modulo the cycle, no overflow", RX, 0, false, 5, INT_MIN, false,
       false, 0, {"on 0 0", "dirty 0 0"}, true, 5},
      {"in the tray ten passes across the wrap light", RX, 0, false, 8, 9999999, true, false, 0,
       {"on 0 0", "dirty 0 0", "icon iRcv", "tray"}, true, 8},
      {"channel 33", RX, 33, false, 5, 0, false, false, 9, {}, false, 0},
      {"channel -1", TX, -1, false, 5, 0, true, false, 9, {}, false, 0},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.legend);
    PublicationFixture f;
    const int k = row.which == RX ? 0 : 1;
    const bool valid = row.ch >= 0 && row.ch <= 32;
    if (valid) {
      f.grid.Light(row.ch, k, row.lit);
      f.engine.LastIndicatorTick[row.ch][static_cast<size_t>(k)] = row.lastTick;
    }
    f.engine.ScanTick = row.scanTick;
    f.window.InTray = row.inTray;
    f.startup.DebugMode = row.debug;
    EXPECT_EQ(ErrorOf([&] {
                if (row.which == RX) {
                  f.indicators.TurnRXLedON(row.ch);
                } else {
                  f.indicators.TurnTXLedON(row.ch);
                }
              }),
              row.error);
    EXPECT_EQ(f.trace, row.trace);
    if (!valid) continue;
    EXPECT_EQ(f.grid.IndicatorOn(row.ch, k), row.litAfter);
    EXPECT_EQ(f.engine.LastIndicatorTick[row.ch][static_cast<size_t>(k)], row.lastAfter);
    EXPECT_FALSE(f.grid.IndicatorOn(row.ch, 1 - k));  // the other indicator is untouched
    EXPECT_EQ(f.engine.LastIndicatorTick[row.ch][static_cast<size_t>(1 - k)], 0);
  }
}

TEST(ChannelIndicators, UpdateStatusStoresFlagsAndDrawsTheLineEveryTime) {
  struct Case {
    const char* legend;
    int32_t ch;
    std::string before;
    std::string text;
    int error;
    Trace trace;
    std::string after;
  };
  const std::vector<Case> rows = {
      {"a new line", 0, "Online...", "Ready...", 0, {"dirty 0 12", "draw 0 12"}, "Ready..."},
      {"the line already shown is drawn again", 31, "Packet Error", "Packet Error", 0, {"dirty 31 12", "draw 31 12"},
       "Packet Error"},
      {"an empty text empties the cell", 0, "Ready...", "", 0, {"dirty 0 12", "draw 0 12"}, ""},
      {"channel 32", 32, "", "Opening DB...", 0, {"dirty 32 12", "draw 32 12"}, "Opening DB..."},
      {"channel -1", -1, "", "Ready...", 9, {}, ""},
      {"channel 33", 33, "", "Ready...", 9, {}, ""},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.legend);
    PublicationFixture f;
    const bool valid = row.ch >= 0 && row.ch <= 32;
    if (valid) f.publication.StatusText[row.ch] = row.before;
    EXPECT_EQ(ErrorOf([&] { f.indicators.UpdateStatus(row.ch, row.text); }), row.error);
    EXPECT_EQ(f.trace, row.trace);
    if (valid) {
      EXPECT_EQ(f.publication.StatusText[row.ch], row.after);
    }
  }
}

}  // namespace
}  // namespace tarvex
