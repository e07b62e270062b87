// grid-window WIDTH [TICKS]
//
// Hosts the channel grid in a plain window the way the main window does: the
// window shows its canvas with the background picture, the grid is built
// after the window is shown, showing or restoring the window runs the paint
// handling, and a grid timer draws the dirty cells every 50 ms. Sample values
// change five times a second (weights, lamps, indicators, status texts). With
// TICKS the program ends after that many grid-timer ticks, releases the grid
// and ends with status 1 when handles were left or no cell was ever drawn.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/drawing/canvas_widget.h"
#include "tools/sample_grid.h"

namespace {

using namespace tarvex;

constexpr int MaxChannel = 15;

void ChangeSamples(GridTextTable& texts, GridDisplay& display, int step) {
  static const char* const Status[] = {"Ready...", "Online...", "Motion", "Offline...", "Packet Error"};
  const int ch = step % (MaxChannel + 1);
  const auto i = static_cast<size_t>(ch);
  texts.Descriptions[i] = "Channel " + std::to_string(ch + 1) + " scale";
  texts.Gross[i] = std::to_string(1000 + (step * 37) % 9000) + ".5";
  texts.Tare[i] = step % 4 == 0 ? "0" : std::to_string(step % 50) + ".25";
  texts.Net[i] = std::to_string(900 + (step * 29) % 8000) + ".0";
  texts.Status[i] = Status[step % 5];
  for (int column = GridColumn::Description; column <= GridColumn::StatusText; ++column) {
    display.SetCellDirty(ch, column);
  }
  for (int column = GridColumn::ReceiveIndicator; column <= GridColumn::LastLamp; ++column) {
    display.SetIndicatorOn(ch, column, (step + column) % 2 == 0);
    display.SetCellDirty(ch, column);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: grid-window WIDTH [TICKS]\n");
    return 2;
  }
  const int width = std::atoi(argv[1]);
  const int ticks = argc > 2 ? std::atoi(argv[2]) : 0;
  const auto layout = GridLayoutForScreen(width);
  if (!layout) {
    std::fprintf(stderr, "grid-window: no grid for width %d\n", width);
    return 2;
  }

  SampleGrid sample(*layout, width, MaxChannel, false, QDir::tempPath().toStdString());
  GridDisplay& display = sample.display;
  const GridState& grid = sample.grid;

  CanvasWidget window(sample.canvas);
  window.setWindowTitle(QStringLiteral("Tarvex channel grid"));
  QObject::connect(&window, &CanvasWidget::exposedAnew, [&display] { display.Form_Paint(); });
  window.show();
  QCoreApplication::processEvents();
  display.CreateGDIDisplay();

  int step = 0;
  QTimer samples;
  QObject::connect(&samples, &QTimer::timeout, [&] { ChangeSamples(sample.texts, display, step++); });
  samples.start(200);

  int tick = 0;
  bool drawn = false;
  QTimer gridTimer;
  QObject::connect(&gridTimer, &QTimer::timeout, [&] {
    display.GDITimer_Timer(window.isMinimized(), 0, [](int) {});
    drawn = drawn || (grid.Painted && !grid.CellDirty(0, GridColumn::Description));
    if (ticks > 0 && ++tick >= ticks) QCoreApplication::quit();
  });
  gridTimer.start(50);

  QApplication::exec();
  display.ReleaseGDIDisplay();
  const std::size_t left = sample.gdi.LiveHandles();
  if (ticks > 0) std::printf("grid-window: %d ticks, drawn %d, live handles after release: %zu\n", tick, drawn, left);
  return left == 0 && drawn ? 0 : 1;
}
