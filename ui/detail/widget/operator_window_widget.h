#pragma once
// What the detail window's and the keypad's widgets share: a window above all
// others that its behaviour shows and hides, whose frame close is the
// window's own Close (so the main window's buttons come back), and whose
// activations reach the behaviour, except the one that showing it brings,
// since showing already ran the activation.
#include <QWidget>
#include <functional>

namespace tarvex {

class OperatorWindowWidget : public QWidget {
  Q_OBJECT
public:
  OperatorWindowWidget(std::function<void()> close, std::function<void()> activate);

protected:
  // Shows (raised, active) or hides the window as its behaviour says.
  void ShowAsBehaviourSays(bool visible);
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

private:
  std::function<void()> close_;
  std::function<void()> activate_;
  bool activatedByShow_ = false;
};

}  // namespace tarvex
