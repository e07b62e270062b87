#pragma once
// A channel grid on an offscreen canvas with the background picture painted,
// a recording log and message box and a fixed clock, for the grid tests.
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "core/grid/grid_background.h"
#include "core/grid/grid_display.h"
#include "platform/drawing/window_canvas.h"

namespace tarvex::testing {

// Texts need a running GUI application for their fonts.
inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "grid-tests";
  static char* argv[] = {name, nullptr};
  // A widget test may have made its QApplication already. Never deleted:
  // destroying it among the static destructors crashes.
  if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

struct LogRecord {
  int kind;
  std::string text;
  bool operator==(const LogRecord&) const = default;
};

struct LogWriterParts {
  ProgramFolder folder{"/nonexistent-grid-test-folder"};
  FixedClock clock{QDateTime(QDate(2026, 1, 5), QTime(10, 0))};
};

class RecordingLog final : private LogWriterParts, public LogWriter {
public:
  RecordingLog() : LogWriter(folder, clock) {}
  void WriteLog(int kind, std::string_view text) override { records.push_back({kind, std::string(text)}); }
  std::vector<LogRecord> records;
};

struct GridOptions {
  int screenWidth = 800;
  int maxChannel = 7;
  bool gdiEnabled = true;
  bool debugMode = false;
};

class GridRig {
public:
  explicit GridRig(GridOptions options = {}) {
    EnsureGuiApplication();
    startup.ScreenWidth = static_cast<short>(options.screenWidth);
    startup.MaxChannel = options.maxChannel;
    startup.GDIEnabled = options.gdiEnabled;
    startup.DebugMode = options.debugMode;
    const auto layout = GridLayoutForScreen(options.screenWidth);
    canvas = std::make_unique<WindowCanvas>(layout ? GridCanvasSize(*layout) : QSize(640, 480));
    if (layout) PaintGridBackground(canvas->Image(), *layout, options.maxChannel);
    background = canvas->Image().copy();
    hWnd = gdi.RegisterWindow(*canvas);
    display = std::make_unique<GridDisplay>(grid, startup, texts, GridServices{gdi, log, boxes, clock}, hWnd);
  }

  // The window pixels of a cell's surface.
  QImage CellPixels(int row, int column) const { return canvas->Image().copy(SurfaceOf(row, column)); }
  QImage BackgroundPixels(int row, int column) const { return background.copy(SurfaceOf(row, column)); }
  QRect SurfaceOf(int row, int column) const {
    const GridCell* cell = grid.Cell(row, column);
    return QRect(cell->CellX, cell->CellY, cell->CellWidth - 1, cell->CellHeight - 1);
  }

  int CreatedCells() const {
    int count = 0;
    for (int row = 0; row < GridTableRows; ++row) {
      for (int column = 0; column < GridTableColumns; ++column) count += grid.Cell(row, column)->CellCreated;
    }
    return count;
  }

  StartupState startup;
  std::unique_ptr<WindowCanvas> canvas;
  QImage background;
  Gdi gdi;
  GdiHandle hWnd = 0;
  RecordingLog log;
  RecordingMessageBox boxes;
  FixedClock clock{QDateTime(QDate(2026, 1, 5), QTime(10, 0))};
  GridState grid;
  GridTextTable texts;
  std::unique_ptr<GridDisplay> display;
};

}  // namespace tarvex::testing
