#pragma once
// frmDetail on the screen: the caption labels l(0..22) and the value labels
// Ld(0..22) under their own names, the Close button, above all other windows.
// Every label shows its text literally (a raw frame holding "<" is no markup).
// It shows the state DetailWindow gives it and forwards Close, the frame's
// close and the activations (OperatorWindowWidget).
#include <QLabel>
#include <QPushButton>
#include <array>

#include "ui/detail/detail_window.h"
#include "ui/detail/widget/operator_window_widget.h"

namespace tarvex {

class DetailWidget final : public OperatorWindowWidget, public DetailView {
  Q_OBJECT
public:
  explicit DetailWidget(DetailWindow& window);

  void Render(const DetailControls& controls) override;

private:
  DetailWindow& window_;
  std::array<QLabel*, DetailLabel::Count> l_{};
  std::array<QLabel*, DetailLabel::Count> Ld_{};
  QPushButton* cmdClose_;
};

}  // namespace tarvex
