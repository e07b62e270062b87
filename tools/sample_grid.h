#pragma once
// The channel grid with everything it needs around it (start-up values, a
// canvas with the background picture, the drawing layer, a log and boxes
// that are only recorded), for the developer tools that show it.
#include <string>

#include "core/grid/grid_background.h"
#include "core/grid/grid_display.h"
#include "platform/drawing/window_canvas.h"

namespace tarvex {

struct SampleStartup : StartupState {
  SampleStartup(int width, int maxChannel, bool debug) {
    ScreenWidth = static_cast<short>(width);
    MaxChannel = maxChannel;
    GDIEnabled = true;
    DebugMode = debug;
  }
};

// The layout must exist for the width; GDI log lines go to logFolder.
struct SampleGrid {
  SampleGrid(const GridLayout& layout, int width, int maxChannel, bool debug, const std::string& logFolder)
      : startup(width, maxChannel, debug),
        canvas(PaintedCanvas(layout, maxChannel)),
        hWnd(gdi.RegisterWindow(canvas)),
        folder(logFolder),
        log(folder, clock),
        display(grid, startup, texts, GridServices{gdi, log, boxes, clock}, hWnd) {}

  static WindowCanvas PaintedCanvas(const GridLayout& layout, int maxChannel) {
    WindowCanvas canvas(GridCanvasSize(layout));
    PaintGridBackground(canvas.Image(), layout, maxChannel);
    return canvas;
  }

  SampleStartup startup;
  WindowCanvas canvas;
  Gdi gdi;
  GdiHandle hWnd;
  ProgramFolder folder;
  SystemClock clock;
  LogWriter log;
  RecordingMessageBox boxes;
  GridState grid;
  GridTextTable texts;
  GridDisplay display;
};

}  // namespace tarvex
