#pragma once
// The serial port of a channel, on the POSIX terminal interface.
//
// What it must cope with: the manager is single-threaded and polls, so nothing
// here may block; bytes are arbitrary (0x00 and 0xFF included) and must pass
// untouched; a port must not be shared, neither between two channels of this
// manager nor with another program, and root must not slip past that; a
// device that goes away (a USB adapter pulled, the far end of a pseudo-terminal
// closed) must be reported once as an error, not as an endless "no data"; and
// a device that stops taking output (flow control held, nobody reading) must
// neither hold the caller nor make output pile up without bound.
//
// Policy: the device is opened non-blocking and without becoming the
// controlling terminal, in raw mode with VMIN = VTIME = 0. Exclusive use is
// held twice: TIOCEXCL (refuses further opens by unprivileged processes) and an
// advisory flock on the device (refuses everyone who asks, root too). A
// hang-up closes the port and raises error 57; from then on the port reports
// 8012 (not open) like any closed port, so nothing spins. On a line with
// parity (E, O, M, S) a byte received with a parity or framing error reaches
// Input as ParityMarks::ParityReplace ("?"), a good byte as itself
// (platform/serial/parity_marks.h).
//
// Output never waits: what the device does not take at once joins the port's
// output queue (at most OutputQueueLimit bytes), which is handed on whenever
// the device accepts more: from the event loop, which watches the device for
// writability only while bytes wait, and at each Output, InBufferCount and
// Input. When bytes have waited 2 seconds without the device accepting one,
// the queue is dropped. That failure, and a hang-up found while the queue
// drains outside a call, is kept and raised once, as error 57, by the next
// Output, InBufferCount or Input on the port (the scan's own calls, so the
// error reaches the handler of the channel whose turn it is). Closing an open
// port drops its queue and a kept report; closing a port that a hang-up closed
// raises the kept report (in place of 8012); opening starts with none. Without
// an event loop (no Qt application) the queue drains only at those calls.
//
// A caller that must know whether its bytes reached the device (a client's
// command is answered "taken" only then) notes OutputEnd() after its Output
// and asks FateOf() on later calls: the bytes are still waiting, were handed
// to the device, or were dropped (a stall, a hang-up, the port closed).
// Positions count every byte given to Output for the life of the object, so
// they survive a close and a reopen.
//
// Errors, all as RunTimeError naming the port number and the device:
//   380  settings text or handshaking mode not usable;
//   8002 invalid port: no such device, or not a terminal;
//   8005 port already open, or in use by another channel or program;
//   8012 port not open (close, output, count or input on a closed port);
//   57   device I/O error: hang-up; output not accepted for 2 seconds (the
//        waiting bytes dropped); output that would overfill the queue (that
//        output refused whole, the queue kept).
#include <termios.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/program_folder.h"
#include "platform/run_time_error.h"
#include "platform/serial/line_settings.h"
#include "platform/serial/parity_marks.h"
#include "platform/serial/port_map.h"

class QSocketNotifier;
class QTimer;

namespace tarvex {

class SerialPort {
public:
  // A closed port with the settings "9600,N,8,1", port number 1 and no
  // handshaking. Devices are looked up through the folder's port map.
  explicit SerialPort(const ProgramFolder& folder);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // The settings text as it was given ("9600,n,8,1" stays lower case). On an
  // open port a new text takes effect at once.
  const std::string& Settings() const noexcept { return settings_; }
  void SetSettings(std::string_view text);

  // 1 for the first port. Changing it on an open port raises 8005 (giving
  // the same number again changes nothing); a number below 1 raises 8002.
  int32_t CommPort() const noexcept { return commPort_; }
  void SetCommPort(int32_t number);

  // 0 none, 1 XON/XOFF; any other value raises 380. On an open port it takes
  // effect at once.
  int32_t Handshaking() const noexcept { return handshaking_; }
  void SetHandshaking(int32_t mode);

  // Setting True opens the device of the port number, setting False closes it.
  // A device that exists but cannot be opened for another reason than being
  // busy (no permission, I/O error) raises nothing: the port stays closed, and
  // PortOpen() reads False.
  bool PortOpen() const noexcept { return fd_ >= 0; }
  void SetPortOpen(bool open);
  // Why the last opening left the port closed without raising: the port
  // number, the device and the system's reason ("port 2 /dev/ttyS1:
  // Permission denied"). Empty once an opening succeeds or raises.
  const std::string& OpenFailure() const noexcept { return openFailure_; }

  // The most bytes the output queue holds.
  static constexpr size_t OutputQueueLimit = size_t{1} << 20;
  // How long queued bytes may wait without the device accepting one.
  static constexpr std::chrono::milliseconds OutputStallLimit{2000};

  // Hands the bytes to the device, or queues what it does not take at once
  // behind what already waits; returns without waiting either way.
  void Output(std::string_view bytes);

  enum class OutputFate { Waiting, Delivered, Dropped };
  // The position after the last byte given to Output.
  uint64_t OutputEnd() const noexcept { return given_; }
  // What became of the bytes before position `end`; hands on first what the
  // device takes now (a stall or hang-up found then is kept as Drain keeps
  // it). The last DropMemory drops are remembered.
  OutputFate FateOf(uint64_t end) noexcept;
  // How long bytes have waited without the device accepting one, after
  // handing on first what the device takes now (as FateOf does); zero while
  // nothing waits or the port is closed.
  std::chrono::milliseconds OutputWaiting() noexcept;
  // The count of received bytes waiting.
  int32_t InBufferCount();
  // Every received byte waiting, removed from the port; empty when none. On a
  // line with parity a byte received damaged is ParityMarks::ParityReplace.
  std::string Input();

  // The terminal attributes this port last asked the device for, while open.
  // Some devices keep only part of them (a pseudo-terminal drops parity and
  // character size), so this, not the device, tells what was requested.
  std::optional<termios> RequestedAttributes() const;
  // Whether Input marks bytes received with a parity or framing error: the
  // port is open with parity checking asked for.
  bool MarksParityErrors() const;

private:
  void Configure();
  void Close() noexcept;
  std::string Place() const;
  void RequireOpen() const;
  [[noreturn]] void RaiseHangUp();
  RunTimeError HangUpError() const;
  // Writes what the queue holds as far as the device takes it now; a hang-up
  // or a stall found here is kept for the next call.
  void Drain() noexcept;
  // Watches the device and the stall deadline while bytes wait, else not.
  void Arm();
  void DropQueue() noexcept;
  void RaiseKeptReport();
  size_t Queued() const noexcept { return outQueue_.size() - outHead_; }

  PortMap map_;
  std::string settings_ = "9600,N,8,1";
  LineSettings line_;
  int32_t commPort_ = 1;
  int32_t handshaking_ = 0;
  int fd_ = -1;
  std::string device_;
  std::string openFailure_;
  termios requested_{};
  ParityMarks marks_;  // the driver's marks of damaged bytes, undone by Input

  std::string outQueue_;  // bytes from outHead_ on are waiting
  size_t outHead_ = 0;
  // Output positions: bytes given, and bytes that have left the queue
  // (handed on or dropped); the ranges [from, to) of the last drops.
  uint64_t given_ = 0;
  uint64_t consumed_ = 0;
  static constexpr size_t DropMemory = 8;
  std::array<std::pair<uint64_t, uint64_t>, DropMemory> drops_{};
  size_t nextDrop_ = 0;
  std::chrono::steady_clock::time_point lastAccepted_;  // or when the wait began
  std::optional<RunTimeError> keptReport_;
  std::unique_ptr<QSocketNotifier> writable_;
  std::unique_ptr<QTimer> stallTimer_;
};

// The ports of all channels, element ch serving channel ch (0 to 31). An index
// outside raises error 9.
class SerialPortArray {
public:
  static constexpr int Count = 32;

  explicit SerialPortArray(const ProgramFolder& folder);

  SerialPort& operator[](long long index);
  const SerialPort& operator[](long long index) const;

private:
  std::array<std::unique_ptr<SerialPort>, Count> ports_;
};

}  // namespace tarvex
