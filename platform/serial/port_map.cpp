#include "platform/serial/port_map.h"

#include <charconv>
#include <fstream>
#include <iterator>

#include "platform/run_time_error.h"

namespace tarvex {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

[[noreturn]] void Malformed(const std::string& path, int lineNumber) {
  throw RunTimeError(ErrorNumber::TypeMismatch,
                     StandardErrorDescription(ErrorNumber::TypeMismatch) + " (" + path + " line " +
                         std::to_string(lineNumber) +
                         ": expected a port number, a comma and a quoted device path)");
}

}  // namespace

std::string PortMap::DeviceFor(int port) const {
  const std::string path = folder_.find(FileName);
  std::ifstream file(path, std::ios::binary);
  std::string device;
  if (file) {
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string_view rest(content);
    int lineNumber = 0;
    while (!rest.empty()) {
      ++lineNumber;
      const size_t end = rest.find('\n');
      const std::string_view line = Trim(rest.substr(0, end));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      if (line.empty()) continue;

      const size_t comma = line.find(',');
      if (comma == std::string_view::npos) Malformed(path, lineNumber);
      const std::string_view numberField = Trim(line.substr(0, comma));
      const std::string_view deviceField = Trim(line.substr(comma + 1));
      int number = 0;
      const auto [numberEnd, numberError] =
          std::from_chars(numberField.data(), numberField.data() + numberField.size(), number);
      if (numberError != std::errc() || numberEnd != numberField.data() + numberField.size() ||
          deviceField.size() < 3 || deviceField.front() != '"' || deviceField.back() != '"' ||
          deviceField.substr(1, deviceField.size() - 2).find('"') != std::string_view::npos) {
        Malformed(path, lineNumber);
      }
      // The whole file is checked, so a fault shows whichever port is opened.
      if (number == port && device.empty()) {
        device = std::string(deviceField.substr(1, deviceField.size() - 2));
      }
    }
  }
  if (!device.empty()) return device;
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace tarvex
