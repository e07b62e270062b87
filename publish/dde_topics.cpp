#include "publish/dde_topics.h"

#include <algorithm>

#include "platform/run_time_error.h"

namespace tarvex {

std::string DDETopicName(int32_t topic) { return "DDEForm" + std::to_string(topic); }

void DdeTopicStore::SetItems(int32_t topic, const DDEItemTexts& texts) {
  CheckSubscript(topic, 0, DDETopicCount - 1, "DDE topic");
  topics_[static_cast<size_t>(topic)] = texts;
}

const DDEItemTexts& DdeTopicStore::Items(int32_t topic) const {
  CheckSubscript(topic, 0, DDETopicCount - 1, "DDE topic");
  return topics_[static_cast<size_t>(topic)];
}

const std::string& DdeTopicStore::ItemText(std::string_view topicName, std::string_view item) const {
  for (int32_t topic = 0; topic < DDETopicCount; ++topic) {
    if (topicName != DDETopicName(topic)) continue;
    const auto it = std::find(DDEItemNames.begin(), DDEItemNames.end(), item);
    if (it == DDEItemNames.end()) break;
    return topics_[static_cast<size_t>(topic)][static_cast<size_t>(it - DDEItemNames.begin())];
  }
  throw RunTimeError(ErrorNumber::SubscriptOutOfRange,
                     "No DDE item " + std::string(item) + " in topic " + std::string(topicName));
}

}  // namespace tarvex
