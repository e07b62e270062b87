#include "ui/main_window/widget/main_window_layout.h"

#include "core/grid/grid_background.h"

namespace tarvex {

MainWindowPlaces MainWindowPlacesFor(const GridLayout& layout) {
  const bool wide = layout.LayoutWidth >= 1024;
  MainWindowPlaces places;
  places.client = GridCanvasSize(layout);
  places.fontPixels = wide ? 11 : 9;
  const GridCellRect lastLamp = GridCellPlace(layout, 0, GridColumn::LastLamp);
  const int gap = 4;
  // Clear of the panel the background draws around the grid (6 pixels right
  // of the lamps), the two buttons share the rest of the width.
  const int left = lastLamp.x + lastLamp.width + 10;
  const int between = 3;
  const int width = (places.client.width() - left - between - gap) / 2;
  const int height = layout.RowPitch - 1;
  for (int row = 0; row < GridLayoutRows; ++row) {
    // Centred on the row's lamps.
    const GridCellRect lamp = GridCellPlace(layout, row, GridColumn::LastLamp);
    const int top = lamp.y + layout.GridCellHeight / 2 - height / 2;
    places.setup[row] = QRect(left, top, width, height);
    places.detail[row] = QRect(left + width + between, top, width, height);
  }
  // The band above the grid: title and revision left, the window buttons right.
  const int bandBottom = GridRowBase(layout, 0) - (wide ? 34 : 28);
  const int buttonHeight = wide ? 24 : 20;
  places.cmdRefresh = QRect(left, bandBottom - buttonHeight, width, buttonHeight);
  places.CmdHelp = QRect(left + width + between, bandBottom - buttonHeight, width, buttonHeight);
  const int small = wide ? 24 : 20;
  places.cmdEnd = QRect(places.client.width() - gap - small, gap, small, small);
  places.cmdPutInTray = places.cmdEnd.translated(-(small + gap), 0);
  places.lTitle = QRect(16, 12, wide ? 420 : 330, wide ? 34 : 28);
  places.lRevision = QRect(18, places.lTitle.bottom() + 6, 200, places.fontPixels + 6);
  places.lDebugMode = QRect(places.client.width() / 2 - 80, 12, 160, wide ? 22 : 18);
  places.lfx = QRect(18, places.lRevision.bottom() + 4, 50, places.fontPixels + 6);
  places.lfy = places.lfx.translated(56, 0);
  return places;
}

}  // namespace tarvex
