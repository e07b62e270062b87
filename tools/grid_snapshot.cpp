// grid-snapshot WIDTH OUTPUT.png [MAXCHANNEL] [DEBUG]
//
// Builds the main window's channel grid for a screen WIDTH pixels wide, the
// way the manager does (background picture first, then the cells), fills it
// with sample values (lit and dark lamps, weights, a zero tare, status texts),
// runs one grid-timer pass and writes the window's client area to a PNG, so a
// person can look at the grid without a display. MAXCHANNEL (default 31) is
// the last channel row; DEBUG shows the redraw meter in the status column.
// The grid is then released, and a release that leaves handles behind ends
// with status 1.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/sample_grid.h"

namespace {

using namespace tarvex;

void FillSamples(GridTextTable& texts, GridState& grid, int maxChannel) {
  static const char* const Descriptions[] = {"Truck scale north", "Silo 2 hopper", "Bench scale QA lab",
                                             "Rail scale", "Bagging line 1", "Terminal ZT-200 dock 4"};
  static const char* const Status[] = {"Ready...", "Online...", "Offline...", "Packet Error", "Initializing...",
                                       "Motion"};
  for (int ch = 0; ch <= maxChannel; ++ch) {
    const auto i = static_cast<size_t>(ch);
    texts.Descriptions[i] = Descriptions[ch % 6];
    texts.Gross[i] = std::to_string(1000 + 137 * ch) + ".5";
    // Every third channel has a zero tare, which leaves its cell empty.
    texts.Tare[i] = ch % 3 == 0 ? "0.000" : std::to_string(10 + ch) + ".250";
    texts.Net[i] = std::to_string(900 + 121 * ch) + ".0";
    texts.Status[i] = Status[ch % 6];
    grid.SetIndicatorOn(ch, GridColumn::ReceiveIndicator, ch % 2 == 0);
    grid.SetIndicatorOn(ch, GridColumn::TransmitIndicator, ch % 4 == 1);
    for (int lamp = GridColumn::FirstLamp; lamp <= GridColumn::LastLamp; ++lamp) {
      grid.SetIndicatorOn(ch, lamp, (ch + lamp) % 3 != 0);
    }
  }
  texts.Gross[1] = "-12.5";
  texts.Net[2] = "";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: grid-snapshot WIDTH OUTPUT.png [MAXCHANNEL] [DEBUG]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const int width = std::atoi(argv[1]);
  const QString output = QString::fromLocal8Bit(argv[2]);
  const int maxChannel = argc > 3 ? std::atoi(argv[3]) : 31;
  const bool debug = argc > 4 && std::strcmp(argv[4], "DEBUG") == 0;

  const auto layout = GridLayoutForScreen(width);
  if (!layout || maxChannel < 0 || maxChannel > 31) {
    std::fprintf(stderr, "grid-snapshot: no grid for width %d with last channel %d\n", width, maxChannel);
    return 2;
  }

  SampleGrid sample(*layout, width, maxChannel, debug, QFileInfo(output).absolutePath().toStdString());
  GridDisplay& display = sample.display;
  const QImage& canvas = sample.canvas.Image();
  display.CreateGDIDisplay();
  FillSamples(sample.texts, sample.grid, maxChannel);
  display.Form_Paint();
  display.GDITimer_Timer(false, 0, [](int) {});

  if (!canvas.save(output, "PNG")) {
    std::fprintf(stderr, "grid-snapshot: cannot write %s\n", argv[2]);
    return 1;
  }
  display.ReleaseGDIDisplay();
  const std::size_t left = sample.gdi.LiveHandles();
  std::printf("%s: %dx%d, layout %d, %d rows; live handles after release: %zu\n", argv[2], canvas.width(),
              canvas.height(), layout->LayoutWidth, maxChannel + 1, left);
  return left == 0 ? 0 : 1;
}
