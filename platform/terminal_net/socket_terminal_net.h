#pragma once
// The terminal network as the running manager reaches it: a client of
// tools/terminal-sim over a Unix socket (protocol in wire_protocol.h).
//
// What it must cope with: it is called on the user-interface thread, so no
// call may wait without bound; the simulator may be missing, may die or be
// restarted at any moment, and may (being another program) send anything.
//
// Policy:
// - The connection is made by ZelRegisterProcess and dropped by
//   ZelCloseProcess. No listener there: 10061 (WSAECONNREFUSED), and
//   UnreachedSocket() names the socket path when no socket file was there;
//   no descriptor left for the socket: 10024 (WSAEMFILE).
// - Each call waits at most `bound` for its answer; past it the connection is
//   dropped (a late answer would be taken for the next call's) and the call
//   gives 10060 (WSAETIMEDOUT): the bound is this layer's, so the caller may
//   take a time-out for a stall rather than a failure. A peer that closed the
//   connection gives 10054 (WSAECONNRESET); one that answers garbage gives 1
//   (ZEL_BAD_CONNECT) and is cut off.
// - Without a connection every call but registration gives -2
//   (ZEL_INVALID_PROCESS), as the network does for an unregistered process;
//   a registration after the simulator restarted connects afresh.
// - A read tells the network its buffer's size and a write sends at most the
//   buffer, so lengths are judged there as in process (67 when below 1 or
//   beyond the buffer); an answer's bytes are copied only when they fit both
//   length and buffer, so nothing is ever written outside the caller's buffer.
// - A path too long for one frame of the protocol gives 2 (ZEL_INVALID_FIELD)
//   and is never sent: the connection and the registration stay.
// SIGPIPE is never raised (every send uses MSG_NOSIGNAL).
#include <chrono>
#include <string>

#include "platform/terminal_net/terminal_net.h"

namespace tarvex {

class SocketTerminalNet : public TerminalNet {
public:
  // The path in TARVEX_TERMINAL_NET when set, otherwise
  // $XDG_RUNTIME_DIR/tarvex-terminal-net.sock (/tmp when XDG_RUNTIME_DIR is
  // unset).
  static std::string DefaultSocketPath();

  explicit SocketTerminalNet(std::string socketPath = DefaultSocketPath(),
                             std::chrono::milliseconds bound = std::chrono::milliseconds(200));
  ~SocketTerminalNet() override;
  SocketTerminalNet(const SocketTerminalNet&) = delete;
  SocketTerminalNet& operator=(const SocketTerminalNet&) = delete;

  const std::string& SocketPath() const { return socketPath_; }
  std::string UnreachedSocket() const override { return socketMissing_ ? socketPath_ : std::string(); }

  int16_t ZelRegisterProcess(int16_t processId) override;
  int16_t ZelCloseProcess() override;
  int16_t ZelRead(std::string_view path, int16_t length, std::span<char> buffer,
                  int16_t& status) override;
  int16_t ZelWrite(std::string_view path, int16_t length, std::span<const char> buffer) override;
  int16_t ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) override;

private:
  int16_t Connect();
  void Disconnect();
  bool PeerGone() const;
  // Sends one request and takes its reply body; any failure drops the
  // connection and gives the call's code.
  int16_t Exchange(const std::string& requestBody, std::string& replyBody);
  // A call whose reply is its result alone.
  int16_t ResultOnlyCall(const std::string& requestBody);

  std::string socketPath_;
  std::chrono::milliseconds bound_;
  int fd_ = -1;
  // The last connection attempt found no socket file at socketPath_.
  bool socketMissing_ = false;
};

}  // namespace tarvex
