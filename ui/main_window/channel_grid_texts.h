#pragma once
// The texts the channel grid draws, read where they live: the description
// from the channel's configuration, the weights and the status line from
// publication. A channel outside 0 to 32 reads as the empty text.
#include <string>

#include "config/config_state.h"
#include "core/grid/grid_cell_texts.h"
#include "publish/publication_state.h"

namespace tarvex {

class ChannelGridTexts final : public GridCellTexts {
public:
  ChannelGridTexts(const ConfigState& config, const PublicationState& publication)
      : config_(config), publication_(publication) {}

  const std::string& DeviceDescs(int channel) const override {
    return InRange(channel) ? config_.Channels[channel].DeviceDescs : empty_;
  }
  const std::string& NewGross(int channel) const override { return Read(publication_.NewGross, channel); }
  const std::string& NewTare(int channel) const override { return Read(publication_.NewTare, channel); }
  const std::string& NewNet(int channel) const override { return Read(publication_.NewNet, channel); }
  const std::string& StatusText(int channel) const override { return Read(publication_.StatusText, channel); }

private:
  static bool InRange(int channel) { return channel >= 0 && channel < ChannelArraySize; }
  const std::string& Read(const ChannelArray<std::string>& texts, int channel) const {
    return InRange(channel) ? texts[channel] : empty_;
  }

  const ConfigState& config_;
  const PublicationState& publication_;
  const std::string empty_;
};

}  // namespace tarvex
