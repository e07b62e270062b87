#pragma once
// Which device serves a port number.
//
// Port n is /dev/ttyS<n-1> (port 1 is /dev/ttyS0) unless the port map file
// "TarvexPorts.Cfg" in the program folder names another device for it. The
// file has the notation of the other settings files: per line a port number, a
// comma and the device path in double quotes, for example
//   3,"/dev/ttyUSB0"
//   4,"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"
// The file name is matched without regard to letter case, like the other
// settings files. Blank lines are allowed; the first line that names a port counts. The file is
// read at every open, so a change takes effect the next time a port opens.
// A malformed line raises error 13 naming the file and the line.
#include <string>
#include <string_view>

#include "platform/program_folder.h"

namespace tarvex {

class PortMap {
public:
  static constexpr std::string_view FileName = "TarvexPorts.Cfg";

  explicit PortMap(const ProgramFolder& folder) : folder_(folder) {}

  std::string DeviceFor(int port) const;

private:
  const ProgramFolder& folder_;
};

}  // namespace tarvex
