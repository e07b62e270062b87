#pragma once
// The refresh-rate dialog on the screen: the slider with its three presets,
// the advanced frame with six boxes and their spinners (100 at the top, the
// up arrow raises the value), the three rate labels and the buttons. It stays
// above the other windows, shows what the dialog's behaviour gives it and
// forwards the operator's moves, typing, clicks, its activation, its own
// close and Esc.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QWidget>
#include <array>

#include "ui/refresh/refresh_dialog.h"

namespace tarvex {

class RefreshDialogWidget final : public QWidget, public RefreshView {
  Q_OBJECT
public:
  RefreshDialogWidget();

  // From here on the events reach the dialog's behaviour.
  void Attach(RefreshDialog& dialog) { dialog_ = &dialog; }
  void Render(const RefreshControls& controls) override;

  // The client height of a view given in twips (the window's height with its
  // caption and frame).
  static int ClientHeight(int twips);

protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

private:
  QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& place);

  QSlider* Slider1_;
  QPushButton* cmdAdvanced_;
  QPushButton* cmdSimpleClose_;
  QGroupBox* fRefresh_;
  std::array<QLineEdit*, RateBoxCount> tVal_{};
  std::array<QScrollBar*, RateBoxCount> VScroll1_{};
  std::array<QLabel*, 3> lScan_{};
  QLabel* lTxIdle_;
  QPushButton* cmdUnAdvanced_;
  QPushButton* cmdUpdate_;
  QPushButton* cmdClose_;
  RefreshDialog* dialog_ = nullptr;
};

}  // namespace tarvex
