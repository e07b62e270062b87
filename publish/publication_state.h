#pragma once
// What value publication keeps per channel for the whole run: the engine's
// latest texts, the texts last published, the DDE value table, the OPC and DDE
// change flags and the status line. Owned here; the scan pass writes the
// New... texts and item 3 of the DDE table and clears the change flags.
#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "core/channel_array.h"

namespace tarvex {

// The text that forces the next publication of a weight, whatever it is.
inline constexpr const char* ForcePublication = "-999999";

// The DDE items of a channel's topic, in item order.
namespace DDEItem {
constexpr int Gross = 0;
constexpr int Tare = 1;
constexpr int Net = 2;
constexpr int ScaleStat = 3;
constexpr int Cmd = 4;
constexpr int CmdParm = 5;
constexpr int CmdStat = 6;
constexpr int Published = 7;  // items 0 to 6 reach the topic
constexpr int TableRows = 11;  // rows 7 to 10 exist and are never written
}  // namespace DDEItem

// One entry of the DDE value table: empty, a 16-bit integer or a double.
using DDEValue = std::variant<std::monostate, int16_t, double>;

// DDEValues(item, channel): items 0 to 10, channels 0 to 32; any other index
// raises error 9.
class DDEValueTable {
public:
  DDEValue& operator()(long long item, long long channel) {
    CheckSubscript(item, 0, DDEItem::TableRows - 1, "DDEValues item");
    CheckSubscript(channel, 0, ChannelArraySize - 1, "DDEValues channel");
    return values_[static_cast<size_t>(item)][static_cast<size_t>(channel)];
  }
  const DDEValue& operator()(long long item, long long channel) const {
    return const_cast<DDEValueTable&>(*this)(item, channel);
  }

private:
  std::array<std::array<DDEValue, ChannelArraySize>, DDEItem::TableRows> values_{};
};

struct PublicationState {
  // Latest texts, written by the scan pass before it calls SetVal.
  ChannelArray<std::string> NewGross{"NewGross"};
  ChannelArray<std::string> NewTare{"NewTare"};
  ChannelArray<std::string> NewNet{"NewNet"};
  ChannelArray<std::string> NewID{"NewID"};
  // Texts SetVal last accepted; empty at start, ForcePublication to republish.
  ChannelArray<std::string> PubGross{"PubGross"};
  ChannelArray<std::string> PubTare{"PubTare"};
  ChannelArray<std::string> PubNet{"PubNet"};
  ChannelArray<std::string> PubID{"PubID"};

  DDEValueTable DDEValues;
  ChannelArray<bool> DDEDirty{"DDEDirty"};
  ChannelArray<bool> OPCDirty{"OPCDirty"};

  // The status line of grid column 12; also written directly by the scan pass.
  ChannelArray<std::string> StatusText{"StatusText"};
};

}  // namespace tarvex
