#include "platform/terminal_net/socket_terminal_net.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/wire_protocol.h"

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Waits for events on fd until the deadline; false when it passed.
bool WaitFor(int fd, short events, Clock::time_point deadline, short& revents) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (n > 0) {
      revents = p.revents;
      return true;
    }
    if (n == 0) return false;
    if (errno != EINTR) {
      revents = POLLERR;
      return true;
    }
  }
}

}  // namespace

std::string SocketTerminalNet::DefaultSocketPath() {
  if (const char* explicitPath = std::getenv("TARVEX_TERMINAL_NET"); explicitPath && *explicitPath)
    return explicitPath;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return std::string(runtime && *runtime ? runtime : "/tmp") + "/tarvex-terminal-net.sock";
}

SocketTerminalNet::SocketTerminalNet(std::string socketPath, std::chrono::milliseconds bound)
    : socketPath_(std::move(socketPath)), bound_(bound) {}

SocketTerminalNet::~SocketTerminalNet() { Disconnect(); }

void SocketTerminalNet::Disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool SocketTerminalNet::PeerGone() const {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  // Nothing is due from the peer between calls: readable means closed or
  // out of step, and either way the connection is of no further use.
  return (p.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int16_t SocketTerminalNet::Connect() {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath_.empty() || socketPath_.size() >= sizeof(address.sun_path))
    return WSAECONNREFUSED;
  std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return errno == EMFILE || errno == ENFILE ? WSAEMFILE : ZEL_NO_HEAP_MEMORY;
  socketMissing_ = false;
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
    return ZEL_SUCCESS;
  const int error = errno;
  Disconnect();
  socketMissing_ = error == ENOENT || error == ENOTDIR;
  // A missing socket file is a network that is not there, as a refusal is;
  // a full backlog is a network that does not answer.
  if (error == ECONNREFUSED || error == ENOENT || error == ENOTDIR) return WSAECONNREFUSED;
  return ZEL_BAD_CONNECT;
}

int16_t SocketTerminalNet::Exchange(const std::string& requestBody, std::string& replyBody) {
  // Only a path can make a request this long; the network would cut off the
  // connection, and with it the registration, so it is refused here.
  if (requestBody.size() > wire::kMaxFrameBody) return ZEL_INVALID_FIELD;
  const Clock::time_point deadline = Clock::now() + bound_;
  const std::string frame = wire::Frame(requestBody);
  size_t sent = 0;
  short revents = 0;
  while (sent < frame.size()) {
    const ssize_t n = ::send(fd_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd_, POLLOUT, deadline, revents)) {
        Disconnect();
        return WSAETIMEDOUT;
      }
      continue;
    }
    Disconnect();
    return WSAECONNRESET;
  }

  std::string pending;
  for (;;) {
    bool tooLong = false;
    if (auto body = wire::TakeFrame(pending, tooLong)) {
      if (!pending.empty()) break;  // more than one answer: out of step
      replyBody = std::move(*body);
      return ZEL_SUCCESS;
    }
    if (tooLong) break;
    if (!WaitFor(fd_, POLLIN, deadline, revents)) {
      Disconnect();
      return WSAETIMEDOUT;
    }
    char chunk[4096];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      pending.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
      Disconnect();
      return WSAECONNRESET;
    }
  }
  Disconnect();
  return ZEL_BAD_CONNECT;
}

int16_t SocketTerminalNet::ResultOnlyCall(const std::string& requestBody) {
  std::string reply;
  if (const int16_t result = Exchange(requestBody, reply); result != ZEL_SUCCESS) return result;
  wire::BodyReader answer(reply);
  const auto result = answer.I16();
  if (!result || !answer.AtEnd()) {
    Disconnect();
    return ZEL_BAD_CONNECT;
  }
  return *result;
}

int16_t SocketTerminalNet::ZelRegisterProcess(int16_t processId) {
  if (fd_ >= 0 && PeerGone()) Disconnect();
  if (fd_ < 0) {
    if (const int16_t result = Connect(); result != ZEL_SUCCESS) return result;
  }
  std::string request(1, 'R');
  wire::PutI16(request, processId);
  const int16_t result = ResultOnlyCall(request);
  // A refused registration leaves a connection that would hold nothing; a
  // second registration keeps the first one's.
  if (result != ZEL_SUCCESS && result != ZEL_TOO_MANY_PROCESSES) Disconnect();
  return result;
}

int16_t SocketTerminalNet::ZelCloseProcess() {
  if (fd_ < 0) return ZEL_INVALID_PROCESS;
  const int16_t result = ResultOnlyCall(std::string(1, 'C'));
  Disconnect();
  return result;
}

int16_t SocketTerminalNet::ZelRead(std::string_view path, int16_t length, std::span<char> buffer,
                                   int16_t& status) {
  if (fd_ < 0) return status = ZEL_INVALID_PROCESS;
  std::string request(1, 'r');
  wire::PutI16(request, length);
  wire::PutU32(request, static_cast<uint32_t>(std::min<size_t>(buffer.size(), UINT32_MAX)));
  wire::PutText(request, path);
  std::string reply;
  if (const int16_t result = Exchange(request, reply); result != ZEL_SUCCESS)
    return status = result;
  wire::BodyReader answer(reply);
  const auto result = answer.I16();
  const auto readStatus = answer.I16();
  const auto bytes = answer.Text();
  if (!result || !readStatus || !bytes || !answer.AtEnd()) {
    Disconnect();
    return status = ZEL_BAD_CONNECT;
  }
  if (*result != ZEL_SUCCESS) {
    status = *readStatus;
    return *result;
  }
  if (length < 1 || bytes->size() > static_cast<size_t>(length) || bytes->size() > buffer.size()) {
    Disconnect();
    return status = ZEL_BAD_CONNECT;
  }
  std::memcpy(buffer.data(), bytes->data(), bytes->size());
  status = *readStatus;
  return ZEL_SUCCESS;
}

int16_t SocketTerminalNet::ZelWrite(std::string_view path, int16_t length,
                                    std::span<const char> buffer) {
  if (fd_ < 0) return ZEL_INVALID_PROCESS;
  const size_t offered = length < 1 ? 0 : std::min(buffer.size(), static_cast<size_t>(length));
  std::string request(1, 'w');
  wire::PutI16(request, length);
  wire::PutText(request, path);
  wire::PutText(request, std::string_view(buffer.data(), offered));
  return ResultOnlyCall(request);
}

int16_t SocketTerminalNet::ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) {
  if (fd_ < 0) return ZEL_INVALID_PROCESS;
  std::string request(1, 'k');
  wire::PutI16(request, node);
  wire::PutI16(request, mode);
  wire::PutI16(request, key);
  return ResultOnlyCall(request);
}

}  // namespace tarvex
