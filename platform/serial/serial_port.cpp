#include "platform/serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QTimer>

namespace tarvex {
namespace {

// The open(2) answers that mean no device is there to be opened.
bool MissingDevice(int error) {
  return error == ENOENT || error == ENXIO || error == ENODEV || error == ENOTDIR || error == EISDIR ||
         error == ENAMETOOLONG || error == ELOOP;
}

// One Input returns at most this much; the rest waits for the next call.
constexpr size_t InputLimit = 1 << 20;
// One read asks for at most this much.
constexpr size_t InputChunk = 4096;

// Polls the descriptor once without waiting; EINTR is retried.
short PollNow(int fd, short events) {
  pollfd entry{fd, events, 0};
  while (::poll(&entry, 1, 0) < 0) {
    if (errno != EINTR) return POLLERR;
  }
  return entry.revents;
}

constexpr short HangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// The C library reports EINVAL when the device silently kept only part of the
// character frame (a pseudo-terminal keeps neither parity nor character
// size). The settings count as applied when the device holds the requested
// speed, flow control and raw mode.
bool KeptWhatItCan(int fd, const termios& requested) {
  if (errno != EINVAL) return false;
  termios held{};
  if (::tcgetattr(fd, &held) != 0) return false;
  constexpr tcflag_t flow = IXON | IXOFF | IXANY;
  constexpr tcflag_t lineMode = ICANON | ECHO | ISIG | IEXTEN;
  return cfgetospeed(&held) == cfgetospeed(&requested) &&
         cfgetispeed(&held) == cfgetispeed(&requested) &&
         (held.c_iflag & flow) == (requested.c_iflag & flow) &&
         (held.c_lflag & lineMode) == (requested.c_lflag & lineMode) &&
         held.c_cc[VMIN] == requested.c_cc[VMIN] && held.c_cc[VTIME] == requested.c_cc[VTIME];
}

}  // namespace

SerialPort::SerialPort(const ProgramFolder& folder) : map_(folder), line_(ParseSettingsText(settings_)) {}

SerialPort::~SerialPort() {
  writable_.reset();  // not inside its signal here: it can go at once
  Close();
}

std::string SerialPort::Place() const {
  std::string place = "port " + std::to_string(commPort_);
  if (!device_.empty()) place += " " + device_;
  return place;
}

void SerialPort::SetSettings(std::string_view text) {
  const LineSettings parsed = ParseSettingsText(text);
  settings_ = std::string(text);
  line_ = parsed;
  if (PortOpen()) Configure();
}

void SerialPort::SetCommPort(int32_t number) {
  if (number == commPort_) return;
  if (PortOpen()) {
    throw RunTimeError(ErrorNumber::PortAlreadyOpen,
                       StandardErrorDescription(ErrorNumber::PortAlreadyOpen) + " (" + Place() +
                           ": close it before changing the port number)");
  }
  if (number < 1) {
    throw RunTimeError(ErrorNumber::InvalidPortNumber,
                       StandardErrorDescription(ErrorNumber::InvalidPortNumber) + " (port " +
                           std::to_string(number) + ")");
  }
  commPort_ = number;
}

void SerialPort::SetHandshaking(int32_t mode) {
  if (mode != 0 && mode != 1) {
    throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                       StandardErrorDescription(ErrorNumber::InvalidPropertyValue) +
                           " (handshaking " + std::to_string(mode) + " on " + Place() +
                           ": 0 none or 1 XON/XOFF)");
  }
  handshaking_ = mode;
  if (PortOpen()) Configure();
}

void SerialPort::Configure() {
  const termios attributes = RawAttributes(line_, handshaking_);
  if (::tcsetattr(fd_, TCSANOW, &attributes) != 0 && !KeptWhatItCan(fd_, attributes)) {
    if (errno == EIO) RaiseHangUp();
    throw RunTimeError(ErrorNumber::DeviceIOError,
                       StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                           ": cannot apply the settings: " + std::strerror(errno) + ")");
  }
  requested_ = attributes;
  marks_.Reset();
}

void SerialPort::SetPortOpen(bool open) {
  if (!open) {
    if (!PortOpen()) RaiseKeptReport();
    RequireOpen();
    Close();
    keptReport_.reset();
    return;
  }
  if (PortOpen()) {
    throw RunTimeError(ErrorNumber::PortAlreadyOpen,
                       StandardErrorDescription(ErrorNumber::PortAlreadyOpen) + " (" + Place() + ")");
  }

  openFailure_.clear();
  const std::string device = map_.DeviceFor(commPort_);
  const std::string place = "port " + std::to_string(commPort_) + " " + device;
  const auto notOpened = [&](int error) { openFailure_ = place + ": " + std::strerror(error); };
  const auto invalid = [&](const std::string& why) {
    return RunTimeError(ErrorNumber::InvalidPortNumber,
                        StandardErrorDescription(ErrorNumber::InvalidPortNumber) + " (" + place +
                            ": " + why + ")");
  };
  const auto inUse = [&](const std::string& why) {
    return RunTimeError(ErrorNumber::PortAlreadyOpen,
                        StandardErrorDescription(ErrorNumber::PortAlreadyOpen) + " (" + place +
                            ": " + why + ")");
  };

  int fd;
  do {
    fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // EBUSY is the answer of a terminal another opener holds with TIOCEXCL.
    if (errno == EBUSY) throw inUse("in use by another channel or program");
    // Only a device that is not there (or is no device at all) is an invalid
    // port. One that exists but refuses this user (not in the dialout group)
    // or fails (I/O error) is simply not open: the caller reads that back.
    if (MissingDevice(errno)) throw invalid(std::strerror(errno));
    notOpened(errno);
    return;
  }
  if (!::isatty(fd)) {
    ::close(fd);
    throw invalid("not a serial device");
  }
  // The lock comes first: a second opener must not touch the exclusive flag
  // that the holder set.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lockError = errno;
    ::close(fd);
    if (lockError == EWOULDBLOCK) throw inUse("in use by another channel or program");
    notOpened(lockError);
    return;  // the device is there but cannot be held: not open
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int exclusiveError = errno;
    ::close(fd);
    notOpened(exclusiveError);
    return;  // the device is there but cannot be held: not open
  }

  fd_ = fd;
  device_ = device;
  keptReport_.reset();
  try {
    Configure();
  } catch (const RunTimeError& error) {
    Close();
    throw invalid("the device refuses the settings: " + error.description());
  }
  // What arrived before the port was opened belongs to nobody.
  ::tcflush(fd_, TCIOFLUSH);
}

void SerialPort::Close() noexcept {
  if (fd_ < 0) return;
  DropQueue();
  if (stallTimer_) stallTimer_->stop();
  if (writable_) {
    // Close may run inside the notifier's own signal: it goes when the event
    // loop next turns, and is silent until then.
    writable_->setEnabled(false);
    QObject::disconnect(writable_.get(), nullptr, nullptr, nullptr);
    writable_.release()->deleteLater();
  }
  // The exclusive flag outlives this descriptor while others hold the device
  // open (a pseudo-terminal's own side does), so it is cleared explicitly.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);  // releases the lock
  fd_ = -1;
  marks_.Reset();
  device_.clear();
}

void SerialPort::RequireOpen() const {
  if (!PortOpen()) {
    throw RunTimeError(ErrorNumber::PortNotOpen,
                       StandardErrorDescription(ErrorNumber::PortNotOpen) + " (" + Place() + ")");
  }
}

RunTimeError SerialPort::HangUpError() const {
  return RunTimeError(ErrorNumber::DeviceIOError, StandardErrorDescription(ErrorNumber::DeviceIOError) +
                                                      " (" + Place() +
                                                      ": the device hung up; the port is closed)");
}

void SerialPort::RaiseHangUp() {
  RunTimeError error = HangUpError();
  Close();
  throw error;
}

void SerialPort::RaiseKeptReport() {
  if (!keptReport_) return;
  RunTimeError report = std::move(*keptReport_);
  keptReport_.reset();
  throw report;
}

void SerialPort::DropQueue() noexcept {
  if (consumed_ < given_) {
    drops_[nextDrop_] = {consumed_, given_};
    nextDrop_ = (nextDrop_ + 1) % DropMemory;
    consumed_ = given_;
  }
  outQueue_.clear();
  outQueue_.shrink_to_fit();
  outHead_ = 0;
}

void SerialPort::Drain() noexcept {
  if (fd_ < 0 || Queued() == 0) return;
  bool accepted = false;
  while (Queued() > 0) {
    const ssize_t n = ::write(fd_, outQueue_.data() + outHead_, Queued());
    if (n > 0) {
      outHead_ += static_cast<size_t>(n);
      consumed_ += static_cast<uint64_t>(n);
      accepted = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (errno == EIO) {
        keptReport_ = HangUpError();
        Close();
      } else {
        keptReport_ = RunTimeError(ErrorNumber::DeviceIOError,
                                   StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                                       ": " + std::strerror(errno) + "; " + std::to_string(Queued()) +
                                       " bytes of output dropped)");
        DropQueue();
      }
      return;
    }
    break;
  }
  const auto now = std::chrono::steady_clock::now();
  if (accepted) lastAccepted_ = now;
  if (Queued() == 0) {
    DropQueue();
    return;
  }
  if ((PollNow(fd_, POLLOUT) & HangUpEvents) != 0) {
    keptReport_ = HangUpError();
    Close();
    return;
  }
  // Keep the storage from growing by what has left already.
  if (outHead_ > 4096 && outHead_ > outQueue_.size() / 2) {
    outQueue_.erase(0, outHead_);
    outHead_ = 0;
  }
  if (now - lastAccepted_ >= OutputStallLimit) {
    keptReport_ = RunTimeError(ErrorNumber::DeviceIOError,
                               StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                                   ": output not accepted within 2 seconds, " + std::to_string(Queued()) +
                                   " bytes dropped)");
    DropQueue();
  }
}

void SerialPort::Arm() {
  if (fd_ < 0 || Queued() == 0) {
    if (writable_) writable_->setEnabled(false);
    if (stallTimer_) stallTimer_->stop();
    return;
  }
  if (QAbstractEventDispatcher::instance() == nullptr) return;
  const auto drainAndArm = [this] {
    Drain();
    Arm();
  };
  if (!writable_) {
    writable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    QObject::connect(writable_.get(), &QSocketNotifier::activated, writable_.get(), drainAndArm);
  }
  if (!stallTimer_) {
    stallTimer_ = std::make_unique<QTimer>();
    stallTimer_->setSingleShot(true);
    stallTimer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(stallTimer_.get(), &QTimer::timeout, stallTimer_.get(), drainAndArm);
  }
  writable_->setEnabled(true);
  const auto waited = std::chrono::steady_clock::now() - lastAccepted_;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(OutputStallLimit - waited);
  stallTimer_->start(static_cast<int>(std::max<long long>(left.count(), 0)));
}

void SerialPort::Output(std::string_view bytes) {
  RaiseKeptReport();
  RequireOpen();
  Drain();
  RaiseKeptReport();
  if (bytes.size() > OutputQueueLimit - Queued()) {
    throw RunTimeError(ErrorNumber::DeviceIOError,
                       StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                           ": output queue full, " + std::to_string(Queued()) + " bytes waiting; " +
                           std::to_string(bytes.size()) + " bytes refused)");
  }
  if (Queued() == 0) lastAccepted_ = std::chrono::steady_clock::now();
  outQueue_.append(bytes);
  given_ += bytes.size();
  Drain();
  Arm();
  RaiseKeptReport();
}

SerialPort::OutputFate SerialPort::FateOf(uint64_t end) noexcept {
  Drain();
  if (end > consumed_) return OutputFate::Waiting;
  for (const auto& [from, to] : drops_) {
    if (end > from && end <= to) return OutputFate::Dropped;
  }
  return OutputFate::Delivered;
}

std::chrono::milliseconds SerialPort::OutputWaiting() noexcept {
  // The queue may have sat unchanged between wake-ups while the device made
  // room again: what it takes now is no stall.
  Drain();
  if (fd_ < 0 || Queued() == 0) return std::chrono::milliseconds{0};
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - lastAccepted_);
}

int32_t SerialPort::InBufferCount() {
  RaiseKeptReport();
  RequireOpen();
  Drain();
  Arm();
  RaiseKeptReport();
  // One call per port and pass: a device that hung up answers FIONREAD with
  // EIO (the terminal layer refuses every request but a read, which gives 0),
  // so no poll is needed to find the hang-up first.
  int waiting = 0;
  if (::ioctl(fd_, FIONREAD, &waiting) != 0) {
    if (errno == EIO) RaiseHangUp();
    throw RunTimeError(ErrorNumber::DeviceIOError,
                       StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                           ": " + std::strerror(errno) + ")");
  }
  return waiting;
}

std::string SerialPort::Input() {
  RaiseKeptReport();
  RequireOpen();
  Drain();
  Arm();
  RaiseKeptReport();
  // The scan asks only after InBufferCount found bytes, so the read comes
  // without a poll first. A read shorter than asked took everything the
  // terminal held (with VMIN = VTIME = 0 it returns what is there, up to the
  // size asked), so no further read is made to find nothing; what arrives
  // after it waits for the next call. Only a read that brings nothing needs a
  // poll: 0 then means "nothing waiting" or "hung up".
  std::string received;
  char chunk[InputChunk];
  while (received.size() < InputLimit) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    const int error = errno;
    if (n > 0) {
      received.append(chunk, static_cast<size_t>(n));
      if (static_cast<size_t>(n) < sizeof chunk) break;
      continue;
    }
    if (n < 0 && error == EINTR) continue;
    // What came is handed out first; a fault shows again on the next call.
    if (!received.empty()) break;
    if (n == 0 || error == EAGAIN) {
      if ((PollNow(fd_, POLLIN) & HangUpEvents) != 0) RaiseHangUp();
      break;
    }
    if (error == EIO) RaiseHangUp();
    throw RunTimeError(ErrorNumber::DeviceIOError,
                       StandardErrorDescription(ErrorNumber::DeviceIOError) + " (" + Place() +
                           ": " + std::strerror(error) + ")");
  }
  if ((requested_.c_iflag & PARMRK) != 0) return marks_.Decode(received);
  return received;
}

bool SerialPort::MarksParityErrors() const {
  const auto requested = RequestedAttributes();
  return requested && (requested->c_iflag & PARMRK) != 0;
}

std::optional<termios> SerialPort::RequestedAttributes() const {
  if (!PortOpen()) return std::nullopt;
  return requested_;
}

SerialPortArray::SerialPortArray(const ProgramFolder& folder) {
  for (auto& port : ports_) port = std::make_unique<SerialPort>(folder);
}

SerialPort& SerialPortArray::operator[](long long index) {
  CheckSubscript(index, 0, Count - 1, "MSComm");
  return *ports_[static_cast<size_t>(index)];
}

const SerialPort& SerialPortArray::operator[](long long index) const {
  CheckSubscript(index, 0, Count - 1, "MSComm");
  return *ports_[static_cast<size_t>(index)];
}

}  // namespace tarvex
