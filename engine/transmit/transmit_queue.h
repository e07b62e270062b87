#pragma once
// A channel's transmit buffer (TxBuffer): the reply characters waiting for the
// paced transmitter.
//
// What it must cope with: a device may send requests faster than their
// replies drain at one character per tick, and the transmitter takes
// characters from the front on every tick of a busy line.
//
// Policy: the queue holds at most Limit characters; a reply that does not fit
// is refused whole (the caller reports it), so a device never gets half a
// reply block. Taking characters moves a read position, not the rest of the
// queue; the storage is compacted once most of it has left, so each character
// costs constant time on average.
#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace tarvex {

class TransmitQueue {
public:
  static constexpr size_t Limit = 64 * 1024;

  TransmitQueue() = default;
  // Replaces what waits (bounded only by the caller: tests and restarts).
  TransmitQueue& operator=(std::string_view text) {
    text_.assign(text);
    head_ = 0;
    return *this;
  }

  // Adds the reply behind what waits; False, and nothing added, when the
  // queue would then hold more than Limit characters.
  bool Append(std::string_view reply) {
    if (reply.size() > Limit - std::min(size(), Limit)) return false;
    Compact();
    text_.append(reply);
    return true;
  }
  // The first count characters (fewer when fewer wait).
  std::string_view Front(size_t count) const { return view().substr(0, count); }
  char front() const { return text_[head_]; }
  // Removes the first count characters.
  void Drop(size_t count) {
    head_ += std::min(count, size());
    if (head_ == text_.size()) clear();
  }

  std::string_view view() const { return std::string_view(text_).substr(head_); }
  size_t size() const noexcept { return text_.size() - head_; }
  bool empty() const noexcept { return size() == 0; }
  void clear() noexcept {
    text_.clear();
    head_ = 0;
  }

  friend bool operator==(const TransmitQueue& queue, std::string_view text) { return queue.view() == text; }
  friend void PrintTo(const TransmitQueue& queue, std::ostream* out) {
    *out << '"' << queue.view().substr(0, 200) << (queue.size() > 200 ? "...\"" : "\"") << " (" << queue.size()
         << " characters)";
  }

private:
  void Compact() {
    if (head_ > 4096 && head_ > text_.size() / 2) {
      text_.erase(0, head_);
      head_ = 0;
    }
  }

  std::string text_;  // characters from head_ on are waiting
  size_t head_ = 0;
};

}  // namespace tarvex
