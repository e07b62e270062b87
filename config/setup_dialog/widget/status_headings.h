#pragma once
// Picture1 above the status grid: eight column headings written upward (the
// list shows no headings of its own). X positions are twips from the picture's
// left edge; each text starts at the picture's bottom edge.
#include <QWidget>

namespace tarvex {

class StatusHeadings final : public QWidget {
  Q_OBJECT
public:
  explicit StatusHeadings(QWidget* parent = nullptr);

protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarvex
