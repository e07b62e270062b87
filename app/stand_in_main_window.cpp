#include "stand_in_main_window.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace tarvex {

StandInMainWindow::StandInMainWindow(const ProgramFolder& folder, FormReferences& references,
                                     ActivationState& activation)
    : references_(references), activation_(activation), ports_(folder) {
  setObjectName(QStringLiteral("frmTVM"));
  setWindowTitle(QStringLiteral("Tarvex Manager - Channels"));
  auto* layout = new QVBoxLayout(this);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("lLoadCount"));
  layout->addWidget(new QLabel(QStringLiteral("Tarvex Manager - main window"), this));
  layout->addWidget(count_);
  auto* end = new QPushButton(QStringLiteral("&End"), this);
  end->setObjectName(QStringLiteral("cmdEnd"));
  layout->addWidget(end);
  connect(end, &QPushButton::clicked, this, [this] { CloseTVMWindow(); });
  resize(420, 160);
  showCount();
}

void StandInMainWindow::Form_Load() {
  ++loads_;
  showCount();
}

void StandInMainWindow::showCount() { count_->setText(QStringLiteral("Loaded %1 time(s)").arg(loads_)); }

void StandInMainWindow::SetMousePointer(int pointer) {
  if (pointer == MousePointer::Hourglass) setCursor(Qt::WaitCursor);
  else unsetCursor();
}

void StandInMainWindow::Show() {
  show();
  raise();
  activateWindow();
  // The first activation after a launch starts the interface; the stand-in
  // has none to start.
  if (activation_.FirstActivate) {
    activation_.FirstActivate = false;
    SetMousePointer(MousePointer::Default);
  }
}

void StandInMainWindow::CloseTVMWindow() {
  SetMousePointer(MousePointer::Hourglass);
  if (references_.frmTarvexStartup) references_.frmTarvexStartup->ReturnFromMainScreen();
  SetMousePointer(MousePointer::Default);
  hide();
}

}  // namespace tarvex
