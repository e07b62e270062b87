#pragma once
// frmDetail on the screen: the caption labels l(0..22) and the value labels
// Ld(0..22) under their own names, the Close button, above all other windows.
// Every label shows its text literally (a raw frame holding "<" is no markup).
// It shows the state DetailWindow gives it and forwards Close, the frame's
// close (which is Close) and every activation after the one that showing it
// already ran.
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "ui/detail/detail_window.h"

namespace tarvex {

class DetailWidget final : public QWidget, public DetailView {
  Q_OBJECT
public:
  explicit DetailWidget(DetailWindow& window, QWidget* parent = nullptr);

  void Render(const DetailControls& controls) override;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

private:
  DetailWindow& window_;
  std::array<QLabel*, DetailLabel::Count> l_{};
  std::array<QLabel*, DetailLabel::Count> Ld_{};
  QPushButton* cmdClose_;
  // Showing the window ran its activation already.
  bool activatedByShow_ = false;
};

}  // namespace tarvex
