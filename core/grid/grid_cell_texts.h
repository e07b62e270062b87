#pragma once
// The texts the grid shows, read when a cell is drawn. Their owners (the
// channel settings, the publication of values and status) keep them; the
// grid only reads them through this interface, by channel 0 to 32.
#include <array>
#include <string>

#include "core/startup_state.h"

namespace tarvex {

class GridCellTexts {
public:
  virtual ~GridCellTexts() = default;
  virtual const std::string& DeviceDescs(int channel) const = 0;
  virtual const std::string& NewGross(int channel) const = 0;
  virtual const std::string& NewTare(int channel) const = 0;
  virtual const std::string& NewNet(int channel) const = 0;
  virtual const std::string& StatusText(int channel) const = 0;
};

// The five texts held in plain arrays, for a host that fills them itself.
// A channel outside 0 to 32 reads as the empty text.
class GridTextTable final : public GridCellTexts {
public:
  using Column = std::array<std::string, ChannelArraySize>;
  Column Descriptions;
  Column Gross;
  Column Tare;
  Column Net;
  Column Status;

  const std::string& DeviceDescs(int channel) const override { return Read(Descriptions, channel); }
  const std::string& NewGross(int channel) const override { return Read(Gross, channel); }
  const std::string& NewTare(int channel) const override { return Read(Tare, channel); }
  const std::string& NewNet(int channel) const override { return Read(Net, channel); }
  const std::string& StatusText(int channel) const override { return Read(Status, channel); }

private:
  static const std::string& Read(const Column& column, int channel) {
    static const std::string none;
    return channel >= 0 && channel < ChannelArraySize ? column[static_cast<size_t>(channel)] : none;
  }
};

}  // namespace tarvex
