#include "placeholder_windows.h"

namespace tarvex {

PlaceholderTopicWindow::PlaceholderTopicWindow(int channel) {
  setObjectName(QStringLiteral("DDEForm%1").arg(channel));
}

void LoadPlaceholderTopicWindows(FormRegistry& registry, FormReferences& references) {
  for (int channel = 0; channel < DDETopicCount; ++channel) {
    auto topic = std::make_shared<PlaceholderTopicWindow>(channel);
    references.DDEForm[channel] = topic;
    registry.Load(*topic);
  }
}

}  // namespace tarvex
