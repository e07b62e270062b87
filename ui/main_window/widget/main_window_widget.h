#pragma once
// The main window on the screen: the channel grid drawn on its canvas, the
// Setup and Detail buttons of every channel row, the window's own buttons and
// labels under their own names. It shows the state the window's behaviour
// gives it and forwards the events: clicks, keys (the window sees them before
// the focused button while key preview is on), pointer moves, the paint on
// showing, and a close request from the frame, which is End.
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "core/grid/grid_layout.h"
#include "platform/drawing/canvas_widget.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_canvas.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/widget/main_window_layout.h"

namespace tarvex {

class MainWindowWidget final : public QWidget, public MainWindowView {
  Q_OBJECT
public:
  // The background is painted for rows 0 to maxChannel; the canvas is
  // registered with the drawing layer, whose handle the grid draws through.
  MainWindowWidget(const GridLayout& layout, int maxChannel, Gdi& gdi);
  ~MainWindowWidget() override;

  GdiHandle hWnd() const noexcept { return hWnd_; }
  // From here on the events reach the window's behaviour.
  void Attach(MainWindow& window) { window_ = &window; }

  void Render(const MainWindowControls& controls) override;
  void ProcessEvents() override;

protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPushButton* button(const QString& name, const QString& caption, const QString& toolTip, const QRect& place);
  QLabel* label(const QString& name, const QString& text, const QRect& place);
  void forwardKey(const QKeyEvent& event);

  MainWindowPlaces places_;
  WindowCanvas canvas_;
  Gdi& gdi_;
  GdiHandle hWnd_;
  CanvasWidget* canvasWidget_;
  std::array<QPushButton*, ChannelButtonCount> cmdSetup_{};
  std::array<QPushButton*, ChannelButtonCount> cmdDetail_{};
  QPushButton* cmdRefresh_;
  QPushButton* CmdHelp_;
  QPushButton* cmdPutInTray_;
  QPushButton* cmdEnd_;
  QLabel* lDebugMode_;
  QLabel* lRevision_;
  QLabel* lfx_;
  QLabel* lfy_;
  bool keyPreview_ = false;
  MainWindow* window_ = nullptr;
};

}  // namespace tarvex
