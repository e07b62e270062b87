#pragma once
// Where the main window's controls stand, for the grid layout in use (the
// screen-width rule of core/screen_layout.h picks it). Each channel's Setup and
// Detail buttons stand on that channel's grid row, right of its lamps; the
// window buttons and labels use the free band above the grid.
#include <QRect>
#include <QSize>

#include "core/grid/grid_layout.h"

namespace tarvex {

struct MainWindowPlaces {
  QSize client;
  int fontPixels = 0;  // the buttons' and labels' font height
  QRect setup[GridLayoutRows];
  QRect detail[GridLayoutRows];
  QRect cmdRefresh;
  QRect CmdHelp;
  QRect cmdPutInTray;
  QRect cmdEnd;
  QRect lTitle;
  QRect lDebugMode;
  QRect lRevision;
  QRect lfx;
  QRect lfy;
};

MainWindowPlaces MainWindowPlacesFor(const GridLayout& layout);

}  // namespace tarvex
