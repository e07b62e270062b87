#pragma once
// Test support: a pseudo-terminal pair standing in for a serial device, and a
// scratch program folder whose port map points port numbers at such pairs.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/program_folder.h"
#include "platform/serial/port_map.h"

namespace tarvex::testing {

// The port's side is the device path (the pair's "slave"); the test talks on
// the other side. The test keeps its own descriptor of the device side open,
// so tcgetattr shows what the port set.
class PtyPair {
public:
  PtyPair() {
    char name[256] = {};
    if (::openpty(&other_, &device_, name, nullptr, nullptr) != 0) {
      other_ = device_ = -1;
      return;
    }
    path_ = name;
    ::fcntl(other_, F_SETFL, ::fcntl(other_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() {
    CloseOtherSide();
    if (device_ >= 0) ::close(device_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return other_ >= 0; }
  const std::string& path() const { return path_; }
  int deviceSide() const { return device_; }

  // The terminal attributes the device side holds now.
  termios DeviceAttributes() const {
    termios attributes{};
    ::tcgetattr(device_, &attributes);
    return attributes;
  }

  void CloseOtherSide() {
    if (other_ >= 0) ::close(other_);
    other_ = -1;
  }

  // Writes everything to the far end of the line.
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(other_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<size_t>(n));
      } else {
        pollfd entry{other_, POLLOUT, 0};
        if (::poll(&entry, 1, 1000) <= 0) return false;
      }
    }
    return true;
  }

  // Writes what the far end's line takes now, without waiting; the count of
  // bytes written.
  size_t SendSome(std::string_view bytes) {
    const ssize_t n = ::write(other_, bytes.data(), bytes.size());
    return n > 0 ? static_cast<size_t>(n) : 0;
  }

  // Reads from the far end until `count` bytes came or two seconds passed.
  std::string Receive(size_t count) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (received.size() < count && std::chrono::steady_clock::now() < deadline) ReadWaiting(received, 50);
    return received;
  }

  // Reads whatever the far end gets for the given time, as a device that
  // keeps taking its line does.
  std::string ReceiveFor(std::chrono::milliseconds time) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < deadline) ReadWaiting(received, 5);
    return received;
  }

private:
  // Appends one read of what the far end holds, waiting up to `ms` for it.
  void ReadWaiting(std::string& received, int ms) {
    pollfd entry{other_, POLLIN, 0};
    if (::poll(&entry, 1, ms) > 0) {
      char chunk[4096];
      const ssize_t n = ::read(other_, chunk, sizeof chunk);
      if (n > 0) received.append(chunk, static_cast<size_t>(n));
    }
  }

  int other_ = -1;
  int device_ = -1;
  std::string path_;
};

// A program folder in a fresh temporary directory, removed afterwards.
class ScratchFolder {
public:
  ScratchFolder() : folder_(MakeDirectory()) {}
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_.path(), ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const ProgramFolder& folder() const { return folder_; }

  void WriteFile(std::string_view name, std::string_view content) const {
    std::ofstream(folder_.join(name), std::ios::binary) << content;
  }

  // Writes the port map: one line `number,"device"` per entry, CR LF ended.
  void MapPorts(const std::vector<std::pair<int, std::string>>& entries) const {
    std::string content;
    for (const auto& [number, device] : entries) {
      content += std::to_string(number) + ",\"" + device + "\"\r\n";
    }
    WriteFile(PortMap::FileName, content);
  }

private:
  static std::string MakeDirectory() {
    char pattern[] = "/tmp/tarvex-serial-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    return made ? std::string(made) : std::string("/tmp");
  }

  ProgramFolder folder_;
};

// Waits, in short polls bounded to two seconds, until the check holds.
template <typename Check>
bool WaitUntil(Check check) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!check()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::poll(nullptr, 0, 5);
  }
  return true;
}

}  // namespace tarvex::testing
