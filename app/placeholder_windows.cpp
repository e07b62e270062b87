#include "placeholder_windows.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tarvex {

void PlaceholderStartupWindows::LoadDDETopicWindows() {
  for (int channel = 0; channel < 32; ++channel) {
    auto topic = std::make_unique<QObject>();
    topic->setObjectName(QStringLiteral("DDEForm%1").arg(channel));
    topics_.push_back(std::move(topic));
  }
}

void PlaceholderStartupWindows::LoadStartupWindow() {
  startup_ = std::make_unique<QWidget>();
  startup_->setObjectName(QStringLiteral("frmTarvexStartup"));
  startup_->setWindowTitle(QStringLiteral("Tarvex Manager"));
  auto* layout = new QVBoxLayout(startup_.get());
  layout->addWidget(new QLabel(QStringLiteral("Tarvex Manager"), startup_.get()));
  startup_->show();
}

}  // namespace tarvex
