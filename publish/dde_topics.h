#pragma once
// The DDE source side of the manager: one topic per channel 0 to 31, named
// "DDEForm0" to "DDEForm31", each with the items Gross, Tare, Net, ScaleStat,
// Cmd, CmdParm and CmdStat. Items start empty and keep the last texts set;
// clients only read them.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// DDETopicCount: one count of topic windows for their forms and their items.
#include "core/form_references.h"

namespace tarvex {

inline constexpr std::array<std::string_view, 7> DDEItemNames = {
    "Gross", "Tare", "Net", "ScaleStat", "Cmd", "CmdParm", "CmdStat"};

// The seven item texts of one topic, in item order.
using DDEItemTexts = std::array<std::string, DDEItemNames.size()>;

// "DDEForm" followed by the topic's channel number.
std::string DDETopicName(int32_t topic);

class DdeTopics {
public:
  virtual ~DdeTopics() = default;
  // Sets all seven items of a topic in one step; clients holding an advise
  // link on an item receive its new text.
  virtual void SetItems(int32_t topic, const DDEItemTexts& texts) = 0;
};

// The item texts of all topics, as clients read them.
class DdeTopicStore : public DdeTopics {
public:
  // Error 9 for a topic outside 0 to 31.
  void SetItems(int32_t topic, const DDEItemTexts& texts) override;
  const DDEItemTexts& Items(int32_t topic) const;
  // The text of an item by topic and item name; error 9 for an unknown topic
  // or item name.
  const std::string& ItemText(std::string_view topicName, std::string_view item) const;

private:
  std::array<DDEItemTexts, DDETopicCount> topics_{};
};

}  // namespace tarvex
