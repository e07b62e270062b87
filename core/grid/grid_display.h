#pragma once
// The channel grid of the main window: one row of 13 cells per channel, each
// cell a small rectangle of the window's client area composed off screen and
// copied onto the window in one block transfer.
//
// Each cell owns a composition surface and two saved copies of the window
// pixels under it, taken once when the grid is built (after the window has
// drawn its background picture). A redraw restores the cell from its saved
// background, draws one lamp or one text and copies the cell to the window;
// nothing else of the window is touched. Cells are drawn only when marked
// dirty, so callers may ask for any cell at any time; a call for a cell that
// does not exist does nothing.
//
// Building makes no reports. Every failed release step writes one line to the
// GDI log (and, in debug mode, shows it in a box) and the release goes on.
// No operation raises an error to its caller.
#include <functional>
#include <string>
#include <string_view>

#include "core/grid/grid_cell_texts.h"
#include "core/grid/grid_state.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/clock.h"
#include "platform/drawing/gdi.h"
#include "platform/message_box.h"

namespace tarvex {

struct GridServices {
  Gdi& gdi;
  LogWriter& log;
  MessageBox& messageBox;
  const Clock& clock;  // time of day for the redraw meter
};

class GridDisplay {
public:
  // hWnd is the main window's handle in the drawing layer.
  GridDisplay(GridState& grid, const StartupState& startup, const GridCellTexts& texts, GridServices services,
              GdiHandle hWnd);

  // Building and releasing, once each per main window life.
  void CreateGDIDisplay();
  void CreateGDIFontAndBrushes();
  void CreatePenAndBrush(short red, short green, short blue, int slot);
  void CreateCell(int row, int column, int x, int y, int height, int width);
  void ReleaseGDIDisplay();
  void DeleteCell(int row, int column);
  void DeletePenAndBrush(int slot);
  void DeleteGDIFontAndBrushes();

  // Redraws the cell when it exists, is dirty and the window may be drawn on.
  void DrawCell(int row, int column);

  // CellDirty = True for columns 0 to 12 of channels 0 to MaxChannel.
  void MarkAllCellsDirty();
  // The main window's paint handling, run when it is shown or restored:
  // drawing is allowed again and every cell is drawn anew.
  void Form_Paint();
  // One tick of the grid timer. sleep(ms) pauses the pass for GDIIdle.
  void GDITimer_Timer(bool inTray, int gdiIdle, const std::function<void(int)>& sleep);

  // What the publication of values and status uses.
  void SetCellDirty(int row, int column) { grid_.SetCellDirty(row, column, true); }
  bool IndicatorOn(int row, int column) const { return grid_.IndicatorOn(row, column); }
  void SetIndicatorOn(int row, int column, bool on) { grid_.SetIndicatorOn(row, column, on); }

private:
  void Report(const std::string& text);
  void DrawRedrawMeter(GridCell& cell);
  std::string FrameContentOf(int row, int column, GridCell& cell);
  void ComposeFrame(int column, const GridCell& cell, std::string_view content);
  void MarkOverlappedCells(int row, int column, const GridCell& drawn);
  int LastRow() const;

  GridState& grid_;
  const StartupState& startup_;
  const GridCellTexts& texts_;
  GridServices services_;
  GdiHandle hWnd_;
};

}  // namespace tarvex
