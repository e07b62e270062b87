#include "core/grid/grid_display.h"

#include <QRect>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/parse_leading_number.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

struct SlotColour {
  short red;
  short green;
  short blue;
};

// Colour slots 0 to 5: red, green, yellow, spring green, azure, magenta.
constexpr std::array<SlotColour, 6> SlotColours = {{
    {255, 32, 32}, {0, 255, 0}, {255, 255, 0}, {0, 255, 128}, {0, 164, 255}, {255, 0, 255},
}};
// Pens and brushes are made and released in this slot order.
constexpr std::array<int, 6> SlotOrder = {1, 0, 2, 4, 5, 3};
// The colour slot of each lamp column 2 to 7.
constexpr std::array<int, 6> LampSlot = {2, 4, 4, 1, 5, 0};
constexpr int IndicatorSlot = 1;

constexpr ColorRef DescriptionColour = ColorOf(0, 0, 128);
constexpr ColorRef WeightColour = ColorOf(0, 0, 0);
constexpr ColorRef StatusColour = ColorOf(128, 0, 0);

QRect SurfaceRect(const GridCell& cell) { return QRect(cell.CellX, cell.CellY, cell.CellWidth - 1, cell.CellHeight - 1); }

std::string Row(int row) { return std::to_string(row); }

}  // namespace

GridDisplay::GridDisplay(GridState& grid, const StartupState& startup, const GridCellTexts& texts,
                         GridServices services, GdiHandle hWnd)
    : grid_(grid), startup_(startup), texts_(texts), services_(services), hWnd_(hWnd) {}

int GridDisplay::LastRow() const { return std::min(startup_.MaxChannel, GridLayoutRows - 1); }

void GridDisplay::CreateGDIDisplay() {
  CreateGDIFontAndBrushes();
  const auto layout = GridLayoutForScreen(startup_.ScreenWidth);
  if (!layout) return;
  grid_.Layout = *layout;
  for (int row = 0; row <= LastRow(); ++row) {
    for (int column = 0; column < GridCellColumns; ++column) {
      const GridCellRect place = GridCellPlace(*layout, row, column);
      CreateCell(row, column, place.x, place.y, place.height, place.width);
    }
  }
}

void GridDisplay::CreateGDIFontAndBrushes() {
  if (!startup_.GDIEnabled) return;
  Gdi& gdi = services_.gdi;
  if (const auto layout = GridLayoutForScreen(startup_.ScreenWidth)) {
    LogFont font;
    font.Height = layout->FontHeight;
    font.Width = layout->FontWidth;
    font.Weight = 500;
    font.FaceName = "Arial";
    grid_.hArial = gdi.CreateFontIndirect(font);
  }
  for (int slot : SlotOrder) {
    const SlotColour& colour = SlotColours[static_cast<size_t>(slot)];
    CreatePenAndBrush(colour.red, colour.green, colour.blue, slot);
  }
  grid_.GDIResourcesCreated = true;
}

void GridDisplay::CreatePenAndBrush(short red, short green, short blue, int slot) {
  if (slot < 0 || slot >= ColourSlotCount) return;
  const auto index = static_cast<size_t>(slot);
  const ColorRef colour = ColorOf(red, green, blue);
  grid_.hpen[index] = services_.gdi.CreatePen(PenStyle::Solid, 1, colour);
  grid_.BrushRecord[index] = LogBrush{BrushStyle::Solid, colour, 0};
  grid_.hbr[index] = services_.gdi.CreateBrushIndirect(grid_.BrushRecord[index]);
}

void GridDisplay::CreateCell(int row, int column, int x, int y, int height, int width) {
  GridCell* cell = grid_.Cell(row, column);
  if (!startup_.GDIEnabled || !cell || cell->CellCreated) return;
  cell->CellX = static_cast<short>(x);
  cell->CellY = static_cast<short>(y);
  cell->CellWidth = static_cast<short>(width);
  cell->CellHeight = static_cast<short>(height);
  cell->FrameKnown = false;

  // The creation results are not checked: a surface that could not be made
  // shows up as a failed release step.
  Gdi& gdi = services_.gdi;
  const int w = width - 1;
  const int h = height - 1;
  const GdiHandle hDisplayDC = gdi.GetDC(hWnd_);
  cell->hFrameDC = gdi.CreateCompatibleDC(hDisplayDC);
  cell->hFrame = gdi.CreateCompatibleBitmap(hDisplayDC, w, h);
  cell->hFramePrev = gdi.SelectObject(cell->hFrameDC, cell->hFrame);
  gdi.BitBlt(cell->hFrameDC, 0, 0, w, h, hDisplayDC, x, y, SourceCopy);
  gdi.SetBkMode(cell->hFrameDC, BkMode::Transparent);

  cell->hBackgroundDC = gdi.CreateCompatibleDC(hDisplayDC);
  cell->hOrigBackgroundDC = gdi.CreateCompatibleDC(hDisplayDC);
  cell->hBackground = gdi.CreateCompatibleBitmap(hDisplayDC, w, h);
  cell->hOrigBackground = gdi.CreateCompatibleBitmap(hDisplayDC, w, h);
  cell->hBackgroundPrev = gdi.SelectObject(cell->hBackgroundDC, cell->hBackground);
  cell->hOrigBackgroundPrev = gdi.SelectObject(cell->hOrigBackgroundDC, cell->hOrigBackground);
  gdi.BitBlt(cell->hBackgroundDC, 0, 0, w, h, hDisplayDC, x, y, SourceCopy);
  gdi.BitBlt(cell->hOrigBackgroundDC, 0, 0, w, h, hDisplayDC, x, y, SourceCopy);
  gdi.ReleaseDC(hWnd_, hDisplayDC);

  cell->CellCreated = true;
}

void GridDisplay::ReleaseGDIDisplay() {
  for (int row = 0; row <= LastRow(); ++row) {
    for (int column = 0; column < GridCellColumns; ++column) DeleteCell(row, column);
  }
  DeleteGDIFontAndBrushes();
}

void GridDisplay::DeleteCell(int row, int column) {
  GridCell* cell = grid_.Cell(row, column);
  if (!startup_.GDIEnabled || !cell || !cell->CellCreated) return;
  cell->CellCreated = false;
  Gdi& gdi = services_.gdi;
  const std::string r = Row(row);

  if (gdi.SelectObject(cell->hFrameDC, cell->hFramePrev) == 0) {
    Report("Error Selecting hFramePrev(" + r + ") to hFrameDC(" + r + ")");
  }
  if (gdi.DeleteObject(cell->hFrame) == 0) Report("Error Deleting hFrame(" + r + ") Object");
  if (gdi.SelectObject(cell->hOrigBackgroundDC, cell->hOrigBackgroundPrev) == 0) {
    Report("Error Selecting hOrigBackgroundPrev(" + r + ") to hOrigBackgroundDC(" + r + ")");
  }
  if (gdi.DeleteObject(cell->hOrigBackground) == 0) Report("Error Deleting hOrigBackground(" + r + ") Object");
  if (gdi.SelectObject(cell->hBackgroundDC, cell->hBackgroundPrev) == 0) {
    Report("Error Selecting hBackgroundPrev(" + r + ") to hBackgroundDC(" + r + ")");
  }
  if (gdi.DeleteObject(cell->hBackground) == 0) Report("Error Deleting hBackground(" + r + ") Object");
  if (gdi.DeleteDC(cell->hFrameDC) == 0) Report("Error Deleting hFrameDC(" + r + ")");
  if (gdi.DeleteDC(cell->hBackgroundDC) == 0) Report("Error Deleting hBackgroundDC(" + r + ")");
  if (gdi.DeleteDC(cell->hOrigBackgroundDC) == 0) Report("Error Deleting hOrigBackgroundDC(" + r + ")");
}

void GridDisplay::DeleteGDIFontAndBrushes() {
  if (!startup_.GDIEnabled || !grid_.GDIResourcesCreated) return;
  for (int slot : SlotOrder) DeletePenAndBrush(slot);
  if (services_.gdi.DeleteObject(grid_.hArial) == 0) Report("Error Deleting hArial Object");
  grid_.GDIResourcesCreated = false;
}

void GridDisplay::DeletePenAndBrush(int slot) {
  if (slot < 0 || slot >= ColourSlotCount) return;
  const auto index = static_cast<size_t>(slot);
  const std::string s = std::to_string(slot);
  if (services_.gdi.DeleteObject(grid_.hpen[index]) == 0) Report("Error Deleting  hpen(" + s + ") Object");
  if (services_.gdi.DeleteObject(grid_.hbr[index]) == 0) Report("Error Deleting  hbr(" + s + ") Object");
}

void GridDisplay::Report(const std::string& text) {
  // A release step never fails towards its caller, so a log that cannot be
  // written loses the line rather than stopping the release.
  try {
    services_.log.WriteLog(LogKind::Gdi, text);
  } catch (const RunTimeError&) {
  }
  if (startup_.DebugMode) services_.messageBox.Open(text, MsgBoxStyle::OkOnly, std::string(ApplicationTitle));
}

void GridDisplay::DrawCell(int row, int column) {
  GridCell* cell = grid_.Cell(row, column);
  if (!startup_.GDIEnabled || !cell || !cell->CellCreated || !grid_.Painted || !cell->CellDirty) return;

  Gdi& gdi = services_.gdi;
  const GdiHandle frame = cell->hFrameDC;
  const int w = cell->CellWidth - 1;
  const int h = cell->CellHeight - 1;
  std::string content = FrameContentOf(row, column, *cell);
  if (!cell->FrameKnown || cell->FrameContent != content) {
    ComposeFrame(column, *cell, content);
    cell->FrameContent = std::move(content);
    cell->FrameKnown = true;
  }

  const GdiHandle hDC = gdi.GetDC(hWnd_);
  gdi.BitBlt(hDC, cell->CellX, cell->CellY, w, h, frame, 0, 0, SourceCopy);
  gdi.ReleaseDC(hWnd_, hDC);
  cell->CellDirty = false;
  MarkOverlappedCells(row, column, *cell);
}

// What a cell shows: "L1" or "L0" for a lamp or an indicator, "T" and the
// text for a text cell, "B" for the bare background. The redraw meter counts
// here, once per redraw, as the status cell is asked for.
std::string GridDisplay::FrameContentOf(int row, int column, GridCell& cell) {
  const auto text = [](const std::string& shown) { return "T" + shown; };
  switch (column) {
    case GridColumn::ReceiveIndicator:
    case GridColumn::TransmitIndicator:
    case 2: case 3: case 4: case 5: case 6: case 7:
      return grid_.IndicatorOn(row, column) ? "L1" : "L0";
    case GridColumn::Description: return text(texts_.DeviceDescs(row));
    case GridColumn::Gross: return text(texts_.NewGross(row));
    case GridColumn::Tare:
      // A tare that is not above zero leaves the cell bare.
      return ParseLeadingNumber(texts_.NewTare(row)) > 0 ? text(texts_.NewTare(row)) : "B";
    case GridColumn::Net: return text(texts_.NewNet(row));
    case GridColumn::StatusText:
      if (startup_.DebugMode) {
        DrawRedrawMeter(cell);
        return text(cell.RedrawText);
      }
      return text(texts_.StatusText(row));
    default: return "B";
  }
}

void GridDisplay::ComposeFrame(int column, const GridCell& cell, std::string_view content) {
  Gdi& gdi = services_.gdi;
  const GridLayout& layout = grid_.Layout;
  const GdiHandle frame = cell.hFrameDC;
  const int w = cell.CellWidth - 1;
  const int h = cell.CellHeight - 1;
  // Indicators and dark lamps start from the original background, the
  // rest from the background; each is copied once, whole.
  const bool lamp = column >= GridColumn::FirstLamp && column <= GridColumn::LastLamp;
  const bool indicator = column == GridColumn::ReceiveIndicator || column == GridColumn::TransmitIndicator;
  const bool fromOriginal = indicator || (lamp && content != "L1");
  gdi.BitBlt(frame, 0, 0, w, h, fromOriginal ? cell.hOrigBackgroundDC : cell.hBackgroundDC, 0, 0, SourceCopy);

  const std::string_view shown = content.substr(1);
  const auto drawText = [&](ColorRef colour, unsigned align, int x) {
    gdi.SelectObject(frame, grid_.hArial);
    gdi.SetTextColor(frame, colour);
    gdi.SetTextAlign(frame, align);
    gdi.TextOut(frame, x, layout.TextY, shown);
  };
  // A number ends at TextRightX, or further left where that would cut it
  // at the edge of the cell's surface (the 800 layout's edge lies one pixel
  // inside); one wider than the surface starts at its left edge.
  const auto drawNumber = [&] {
    gdi.SelectObject(frame, grid_.hArial);
    QSize extent;
    int right = std::min<int>(layout.TextRightX, w);
    if (gdi.GetTextExtentPoint32(frame, shown, extent) != 0 && extent.width() > right) right = extent.width();
    drawText(WeightColour, TextAlign::Right, right);
  };

  switch (column) {
    case GridColumn::ReceiveIndicator:
    case GridColumn::TransmitIndicator:
      gdi.SelectObject(frame, grid_.hpen[IndicatorSlot]);
      gdi.SelectObject(frame, grid_.hbr[IndicatorSlot]);
      if (content == "L1") gdi.Ellipse(frame, 1, 0, layout.LedWidth, layout.LedHeight);
      break;
    case 2: case 3: case 4: case 5: case 6: case 7:
      if (content == "L1") {
        const auto slot = static_cast<size_t>(LampSlot[static_cast<size_t>(column - GridColumn::FirstLamp)]);
        gdi.SelectObject(frame, grid_.hpen[slot]);
        gdi.SelectObject(frame, grid_.hbr[slot]);
        gdi.Ellipse(frame, 1, 1, layout.LedWidth, layout.LedHeight);
      }
      break;
    case GridColumn::Description: drawText(DescriptionColour, TextAlign::Left, 0); break;
    case GridColumn::Gross:
    case GridColumn::Net: drawNumber(); break;
    case GridColumn::Tare:
      if (content != "B") drawNumber();
      break;
    case GridColumn::StatusText: drawText(StatusColour, TextAlign::Left, 0); break;
    default: break;
  }
}

// Counts the redraws of a status cell per period of about one second and
// shows the count of the previous period; the redraw that opens a period is
// not counted.
void GridDisplay::DrawRedrawMeter(GridCell& cell) {
  const float now = static_cast<float>(services_.clock.now().time().msecsSinceStartOfDay()) / 1000.0f;
  if (std::fabs(static_cast<float>(cell.RedrawMark) - now) >= 1.0f) {
    cell.RedrawMark = static_cast<std::int32_t>(std::nearbyint(now));  // halves to even
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06d", static_cast<int>(cell.RedrawCount));
    cell.RedrawText = digits;
    cell.RedrawCount = 0;
  } else {
    ++cell.RedrawCount;
    if (cell.RedrawCount > 32000) cell.RedrawCount = 0;
  }
}

// Some cells overlap the next ones of their row (at the 800 layout the
// description covers most of the gross cell): restoring a cell's background
// wipes what those show, so they are drawn again.
void GridDisplay::MarkOverlappedCells(int row, int column, const GridCell& drawn) {
  const QRect area = SurfaceRect(drawn);
  for (int next = column + 1; next < GridCellColumns; ++next) {
    GridCell* other = grid_.Cell(row, next);
    if (other && other->CellCreated && area.intersects(SurfaceRect(*other))) other->CellDirty = true;
  }
}

void GridDisplay::MarkAllCellsDirty() {
  for (int row = 0; row <= LastRow(); ++row) {
    for (int column = 0; column < GridCellColumns; ++column) grid_.SetCellDirty(row, column, true);
  }
}

void GridDisplay::Form_Paint() {
  grid_.Painted = true;
  MarkAllCellsDirty();
}

void GridDisplay::GDITimer_Timer(bool inTray, int gdiIdle, const std::function<void(int)>& sleep) {
  if (!grid_.Painted) return;
  if (inTray) {
    if (gdiIdle >= 1) sleep(gdiIdle);
    return;
  }
  for (int row = 0; row <= LastRow(); ++row) {
    for (int column = 0; column < GridCellColumns; ++column) DrawCell(row, column);
    if (gdiIdle > 0) sleep(gdiIdle);
  }
}

}  // namespace tarvex
