#include "window_canvas.h"

namespace tarvex {

WindowCanvas::WindowCanvas(QSize clientSize) : image_(clientSize, QImage::Format_RGB32) {
  image_.fill(Qt::white);
}

void WindowCanvas::Changed(const QRect& area) {
  const QRect clipped = area.intersected(image_.rect());
  if (!clipped.isEmpty() && request_) request_(clipped);
}

}  // namespace tarvex
