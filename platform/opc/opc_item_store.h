#pragma once
// The manager's own OPC item store: per channel 0 to 32, up to eight items at
// positions 0 to 7, each with its tag and the value last set. Only current
// values are kept: the store's memory does not grow with the writes.
#include <array>
#include <optional>
#include <string>

#include "platform/opc/opc_items.h"

namespace tarvex {

inline constexpr int OpcItemPositions = 8;
inline constexpr int OpcChannels = 33;  // channels 0 to 32

class OpcItemStore : public OpcItems {
public:
  // Adds the tag as the item at position; a tag of blanks only leaves the
  // position empty. Error 9 for a channel outside 0 to 32 or a position
  // outside 0 to 7.
  void AddItem(int32_t ch, int position, const std::string& tag);
  // Removes every item of the channel (its group goes away).
  void RemoveItems(int32_t ch);

  // Error 9 for a channel outside 0 to 32; an empty position (or one outside
  // 0 to 7) is left alone.
  void SetItemValue(int32_t ch, int16_t position, double value) override;

  // The tag of a position, or nothing for an empty one.
  std::optional<std::string> ItemTag(int32_t ch, int position) const;
  // The value last set on the item, or nothing while none was set or the
  // position is empty.
  std::optional<double> ItemValue(int32_t ch, int position) const;

private:
  struct Item {
    std::string tag;
    std::optional<double> value;
  };
  using Channel = std::array<std::optional<Item>, OpcItemPositions>;

  const std::optional<Item>* Find(int32_t ch, int position) const;

  std::array<Channel, OpcChannels> channels_{};
};

}  // namespace tarvex
