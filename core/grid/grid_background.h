#pragma once
// The main window's background picture under the channel grid, drawn by our
// own code for the layout in use: column headings, a label per channel row,
// sunken white fields under the text cells and empty lamp sockets under the
// indicator and lamp cells, all at the grid's cell coordinates. The cells copy
// what lies under them when the grid is built, so this is painted first.
#include <QImage>
#include <QSize>

#include "core/grid/grid_layout.h"

namespace tarvex {

// The client-area size the layout was drawn for.
QSize GridCanvasSize(const GridLayout& layout);

// Paints the whole picture over the image, rows 0 to maxChannel.
void PaintGridBackground(QImage& canvas, const GridLayout& layout, int maxChannel);

}  // namespace tarvex
