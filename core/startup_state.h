#pragma once
// The process-wide values that start-up sets once and many parts read.
// Only ChannelLogEnabled (reading a channel file sets the channel's own value)
// and AutoStartPending (the first scan pass of an unattended start clears it)
// change later.
#include <array>
#include <memory>
#include <string>

#include "core/fixed_tables.h"
#include "platform/data_array.h"

namespace tarvex {

constexpr int ChannelArraySize = 33;  // per-channel arrays run 0 to 32

struct StartupState {
  std::string OSVersion;
  int MaxChannel = 0;
  bool NoMinimize = false;
  bool SpeechEnabled = false;
  bool EditFixedProtocols = false;
  bool DebugMode = false;
  bool GDIEnabled = false;
  std::array<bool, ChannelArraySize> ChannelLogEnabled{};
  bool AutoStartPending = false;
  short ScreenWidth = 0;
  FixedTables Tables;

  // The shared status-table array; any access creates it when it does not
  // exist yet.
  DataArray& StatusTable() {
    if (!statusTable_) statusTable_ = std::make_unique<DataArray>();
    return *statusTable_;
  }
  bool HasStatusTable() const { return statusTable_ != nullptr; }
  // At shutdown the reference is released.
  void ReleaseStatusTable() { statusTable_.reset(); }

private:
  std::unique_ptr<DataArray> statusTable_;
};

}  // namespace tarvex
