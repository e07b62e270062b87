#pragma once
// A per-channel array, channels 0 to 32, whose every access checks the channel:
// an index outside raises error 9 naming the array, before anything is read or
// written.
#include <array>
#include <cstddef>

#include "core/startup_state.h"
#include "platform/run_time_error.h"

namespace tarvex {

template <typename T>
class ChannelArray {
public:
  explicit ChannelArray(const char* name) : name_(name) {}

  T& operator[](long long channel) {
    CheckSubscript(channel, 0, ChannelArraySize - 1, name_);
    return values_[static_cast<size_t>(channel)];
  }
  const T& operator[](long long channel) const {
    CheckSubscript(channel, 0, ChannelArraySize - 1, name_);
    return values_[static_cast<size_t>(channel)];
  }

  bool operator==(const ChannelArray& other) const { return values_ == other.values_; }

private:
  const char* name_;
  std::array<T, ChannelArraySize> values_{};
};

}  // namespace tarvex
