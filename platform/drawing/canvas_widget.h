#pragma once
// A window whose client area shows a WindowCanvas and nothing else. Drawing
// goes into the canvas (through the drawing layer); a change there asks for a
// repaint of its rectangle, and the paint event only copies the canvas.
//
// exposedAnew() fires when the window is shown or restored from minimised,
// never on the repaints that drawing causes: the grid marks every cell dirty
// on it, and doing that on every repaint would redraw the grid without end.
#include <QWidget>

#include "platform/drawing/window_canvas.h"

namespace tarvex {

class CanvasWidget : public QWidget {
  Q_OBJECT
public:
  explicit CanvasWidget(WindowCanvas& canvas, QWidget* parent = nullptr);
  ~CanvasWidget() override;

Q_SIGNALS:
  void exposedAnew();

protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  WindowCanvas& canvas_;
};

}  // namespace tarvex
