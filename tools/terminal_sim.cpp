// terminal-sim: a terminal network of weighing terminals, served to the
// manager on a Unix socket, with a shell that plays the terminals' side.
//
// Usage: terminal-sim [--socket PATH] [--node NAME]... [--exec COMMAND]...
//   --socket  the socket to serve; default TARVEX_TERMINAL_NET, else
//             $XDG_RUNTIME_DIR/tarvex-terminal-net.sock
//   --node    a terminal node ("--node 3" serves the paths "/z3/...")
//   --exec    a shell command run at start, before those read from stdin
// It prints "ok listening PATH" once it serves. Commands are then read one a
// line from stdin; at the end of stdin it goes on serving until killed or
// told "quit". Every command ends its output with one line starting "ok" or
// "error", so a program driving it can wait for that line.
//
// Values in commands and output are bytes written with escapes: \\ \0 \n \r
// \t and \xHH; everything else stands for itself (blanks included).
//
// Commands (the terminals' side; no registration needed):
//   node NAME | down NAME | up NAME     add a node; mark it down or up
//   set PATH VALUE      store VALUE in the field (cut to its width), as the
//                       terminal does; read-only fields too
//   get PATH            -> "field PATH [VALUE]"
//   fail PATH COUNT CODE      the next COUNT calls on PATH give CODE
//   fail-register COUNT CODE  the next COUNT registrations give CODE
//   fail-keystroke COUNT CODE the next COUNT keystrokes give CODE
//   no-nul PATH COUNT         the next COUNT reads of PATH give no NUL
//   registered          -> "ok registered" or "ok unregistered"
//   wait-registered [MS]      until a process holds the registration
//   keys                -> "key NODE MODE KEY" per keystroke received
//   log                 -> "call OPERATION PATH LENGTH RESULT [BYTES]" per call
//                       (both keep the newest 10000 at most)
//   clear-log
//   echo TEXT           -> "ok TEXT"
//   quit
// Commands acting as a terminal program on node NODE (waits default to 5000
// ms; a wait that runs out ends with "error timeout"; the shell reads no
// further command while one waits, but keeps serving the socket):
//   sql NODE DB QUERY   a database request: lit02 := DB, the query in parts
//                       of 399 bytes (what a 400-byte read returns) in
//                       ptp01.. (five at most), lit01 := "SQL3:" & the
//                       number of parts
//   collect NODE [MS]   takes the answer of a request, looking at lit01 just
//                       before the manager reads a field (as a terminal
//                       answers between passes): for each packet header
//                       ("****:" in lit01) prints "header [TEXT]" and
//                       "row N [TEXT]" for the rows of ptp01-ptp03 up to the
//                       header's row count, then writes "ACK1:" to lit01;
//                       ends with "ok end [TEXT]" at "!", "@" or "^ERROR"
//   ask NODE REQUEST [MS]     lit01 := REQUEST ("DADD:3", "DLOT:", "TST1:");
//                       waits until lit01 holds something else: "ok reply
//                       [TEXT]"
//   ack NODE            lit01 := "ACK1:" (to step through packets by hand)
//   done NODE           lit01 := "DONE:"
//
// Socket protocol: see platform/terminal_net/wire_protocol.h (length-prefixed
// frames; each connection is one caller of the network, and its registration
// ends when it disconnects; a peer that sends garbage, or asks on without
// taking its replies, is disconnected).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/terminal_net/escaped_bytes.h"
#include "platform/terminal_net/socket_terminal_net.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "platform/terminal_net/wire_protocol.h"

namespace {

using tarvex::EscapeBytes;
using tarvex::TerminalSimulator;
using tarvex::UnescapeBytes;
using Clock = std::chrono::steady_clock;

// The field text as a terminal program sees it: up to the first NUL, blanks
// at the end removed.
std::string Shown(std::string bytes) {
  if (auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
  while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
  return bytes;
}

void Say(const std::string& line) {
  std::cout << line << '\n' << std::flush;
}

// Splits off the first blank-separated word of rest.
std::string Word(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const size_t end = std::min(rest.find(' '), rest.size());
  std::string word(rest.substr(0, end));
  rest.remove_prefix(end);
  if (!rest.empty()) rest.remove_prefix(1);
  return word;
}

std::optional<long> Number(const std::string& word) {
  if (word.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (*end != '\0' || errno != 0) return std::nullopt;
  return value;
}

class TerminalSim {
public:
  explicit TerminalSim(std::string socketPath) : socketPath_(std::move(socketPath)) {}

  TerminalSimulator& Network() { return network_; }

  bool Listen() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.empty() || socketPath_.size() >= sizeof(address.sun_path)) {
      Say("error socket path too long or empty: " + socketPath_);
      return false;
    }
    std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
    // A socket left by a simulator that died is taken over; one that still
    // answers is not. The probe only connects: a call would reach the other
    // simulator's network (and could take its registration for a moment).
    struct stat st {};
    if (::lstat(socketPath_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
      const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      const bool refused =
          probe >= 0 &&
          ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
          errno == ECONNREFUSED;
      if (probe >= 0) ::close(probe);
      if (!refused) {
        Say("error another simulator serves " + socketPath_);
        return false;
      }
      ::unlink(socketPath_.c_str());
    }
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0) {
      Say("error cannot serve " + socketPath_ + ": " + std::strerror(errno));
      return false;
    }
    Say("ok listening " + socketPath_);
    return true;
  }

  void Queue(std::string command) { commands_.push_back(std::move(command)); }

  int Run() {
    std::string stdinPending;
    bool stdinOpen = true;
    while (!quit_) {
      RunQueuedCommands();
      if (quit_) break;
      std::vector<pollfd> fds;
      fds.push_back({listener_, POLLIN, 0});
      fds.push_back({stdinOpen ? 0 : -1, POLLIN, 0});
      for (const auto& [fd, client] : clients_) fds.push_back({fd, POLLIN, 0});
      int timeout = -1;
      if (wait_) timeout = std::max<int>(0, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  wait_->deadline - Clock::now()).count()));
      const int n = ::poll(fds.data(), fds.size(), timeout);
      if (n < 0 && errno != EINTR) return 1;
      if (n > 0) {
        if (fds[0].revents & POLLIN) Accept();
        if (fds[1].revents & (POLLIN | POLLHUP)) {
          char chunk[4096];
          const ssize_t got = ::read(0, chunk, sizeof chunk);
          if (got <= 0) {
            stdinOpen = false;
          } else {
            stdinPending.append(chunk, static_cast<size_t>(got));
            for (size_t eol; (eol = stdinPending.find('\n')) != std::string::npos;) {
              std::string line = stdinPending.substr(0, eol);
              if (!line.empty() && line.back() == '\r') line.pop_back();
              Queue(line);
              stdinPending.erase(0, eol + 1);
            }
          }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
          if (fds[i].revents) Serve(fds[i].fd);
        }
      }
      CheckWait();
    }
    return 0;
  }

  ~TerminalSim() {
    for (const auto& [fd, client] : clients_) ::close(fd);
    if (listener_ >= 0) {
      ::close(listener_);
      ::unlink(socketPath_.c_str());
    }
  }

private:
  struct Client {
    TerminalSimulator::Session session;
    std::string pending;
  };
  // A command that waits: its test runs after every change (or, atReads,
  // only just before the network answers a read) and at the deadline; it
  // returns true when the command is over.
  struct Wait {
    Clock::time_point deadline;
    std::function<bool()> step;
    bool atReads = false;
  };

  void Accept() {
    for (;;) {
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      clients_[fd] = Client{++lastSession_, {}};
    }
  }

  void Drop(int fd) {
    network_.EndSession(clients_[fd].session);
    ::close(fd);
    clients_.erase(fd);
  }

  void Serve(int fd) {
    Client& client = clients_[fd];
    char chunk[4096];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
      Drop(fd);
      return;
    }
    if (got > 0) client.pending.append(chunk, static_cast<size_t>(got));
    for (;;) {
      bool tooLong = false;
      auto body = tarvex::wire::TakeFrame(client.pending, tooLong);
      if (tooLong) {
        Drop(fd);
        return;
      }
      if (!body) return;
      auto reply = Answer(client.session, *body);
      if (!reply || !SendAll(fd, tarvex::wire::Frame(*reply))) {
        Drop(fd);
        return;
      }
    }
  }

  // Replies are small and a caller waits for each before it asks again, so a
  // reply always fits the socket at once. One that does not belongs to a
  // peer that takes no replies: it is cut off, not waited for, since every
  // other caller is served by this same thread.
  static bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n > 0) sent += static_cast<size_t>(n);
      else if (n < 0 && errno == EINTR) continue;
      else return false;
    }
    return true;
  }

  std::optional<std::string> Answer(TerminalSimulator::Session session, const std::string& body) {
    tarvex::wire::BodyReader request(body);
    const auto op = request.U8();
    std::string reply;
    if (op == 'R') {
      const auto processId = request.I16();
      if (!processId || !request.AtEnd()) return std::nullopt;
      tarvex::wire::PutI16(reply, network_.Register(session, *processId));
    } else if (op == 'C') {
      if (!request.AtEnd()) return std::nullopt;
      tarvex::wire::PutI16(reply, network_.Close(session));
    } else if (op == 'r') {
      const auto length = request.I16();
      const auto bufferSize = request.U32();
      const auto path = request.Text();
      if (!length || !bufferSize || !path || !request.AtEnd()) return std::nullopt;
      CheckWait(true);
      std::string filled;
      int16_t status = 0;
      tarvex::wire::PutI16(reply,
                           network_.Read(session, *path, *length, *bufferSize, filled, status));
      tarvex::wire::PutI16(reply, status);
      tarvex::wire::PutText(reply, filled);
    } else if (op == 'w') {
      const auto length = request.I16();
      const auto path = request.Text();
      const auto bytes = request.Text();
      if (!length || !path || !bytes || !request.AtEnd()) return std::nullopt;
      tarvex::wire::PutI16(reply, network_.Write(session, *path, *length, *bytes));
    } else if (op == 'k') {
      const auto node = request.I16();
      const auto mode = request.I16();
      const auto key = request.I16();
      if (!node || !mode || !key || !request.AtEnd()) return std::nullopt;
      tarvex::wire::PutI16(reply, network_.SendKeystroke(session, *node, *mode, *key));
    } else {
      return std::nullopt;
    }
    return reply;
  }

  void RunQueuedCommands() {
    while (!wait_ && !quit_ && !commands_.empty()) {
      const std::string command = commands_.front();
      commands_.pop_front();
      Run(command);
    }
  }

  void CheckWait(bool beforeRead = false) {
    if (!wait_) return;
    if ((beforeRead || !wait_->atReads) && wait_->step()) {
      wait_.reset();
    } else if (Clock::now() >= wait_->deadline) {
      wait_.reset();
      Say("error timeout");
    }
  }

  void StartWait(long milliseconds, std::function<bool()> step, bool atReads = false) {
    wait_ = Wait{Clock::now() + std::chrono::milliseconds(milliseconds), std::move(step), atReads};
    CheckWait();
  }

  static std::string Lit01(const std::string& node) { return "/z" + node + "/lit01"; }

  void Run(const std::string& line) {
    std::string_view rest(line);
    const std::string verb = Word(rest);
    if (verb.empty() || verb[0] == '#') return;
    if (verb == "node" || verb == "down" || verb == "up") {
      const std::string name = Word(rest);
      if (verb == "node") network_.AddNode(name);
      else if (!network_.HasNode(name)) return Say("error no node " + name);
      else network_.SetNodeDown(name, verb == "down");
      return Say("ok");
    }
    if (verb == "set") {
      const std::string path = Word(rest);
      if (!network_.SetField(path, UnescapeBytes(rest))) return Say("error no field " + path);
      return Say("ok");
    }
    if (verb == "get") {
      const std::string path = Word(rest);
      const auto bytes = network_.Field(path);
      if (!bytes) return Say("error no field " + path);
      Say("field " + path + " [" + EscapeBytes(*bytes) + "]");
      return Say("ok");
    }
    if (verb == "fail" || verb == "fail-register" || verb == "fail-keystroke" || verb == "no-nul") {
      const std::string path = (verb == "fail" || verb == "no-nul") ? Word(rest) : "";
      const auto count = Number(Word(rest));
      const auto code = verb == "no-nul" ? std::optional<long>(0) : Number(Word(rest));
      if (!count || !code) return Say("error usage: " + verb);
      const auto c = static_cast<int16_t>(*code);
      if (verb == "fail") network_.FailNextCalls(path, static_cast<int>(*count), c);
      if (verb == "fail-register") network_.FailNextRegistrations(static_cast<int>(*count), c);
      if (verb == "fail-keystroke") network_.FailNextKeystrokes(static_cast<int>(*count), c);
      if (verb == "no-nul") network_.OmitNulOnNextReads(path, static_cast<int>(*count));
      return Say("ok");
    }
    if (verb == "registered") return Say(network_.Registered() ? "ok registered" : "ok unregistered");
    if (verb == "wait-registered") {
      return StartWait(Number(Word(rest)).value_or(5000), [this] {
        if (!network_.Registered()) return false;
        Say("ok registered");
        return true;
      });
    }
    if (verb == "keys") {
      for (const auto& k : network_.Keystrokes())
        Say("key " + std::to_string(k.node) + " " + std::to_string(k.mode) + " " +
            std::to_string(k.key));
      return Say("ok");
    }
    if (verb == "log") {
      for (const auto& c : network_.CallLog())
        Say("call " + c.operation + " " + (c.path.empty() ? "-" : c.path) + " " +
            std::to_string(c.length) + " " + std::to_string(c.result) + " [" + EscapeBytes(c.bytes) +
            "]");
      return Say("ok");
    }
    if (verb == "clear-log") {
      network_.ClearCallLog();
      return Say("ok");
    }
    if (verb == "echo") return Say("ok " + std::string(rest));
    if (verb == "quit") {
      quit_ = true;
      return Say("ok");
    }
    if (verb == "sql") {
      const std::string node = Word(rest);
      const std::string database = Word(rest);
      return SubmitQuery(node, database, std::string(rest));
    }
    if (verb == "collect") {
      const std::string node = Word(rest);
      if (!network_.HasNode(node)) return Say("error no node " + node);
      // A terminal answers between the manager's passes, each of which
      // starts with a read; answering at once would lose the acknowledgement
      // under the header the manager writes a second time.
      return StartWait(
          Number(Word(rest)).value_or(5000), [this, node] { return CollectStep(node); }, true);
    }
    if (verb == "ask") {
      const std::string node = Word(rest);
      const std::string request = UnescapeBytes(Word(rest));
      const long ms = Number(Word(rest)).value_or(5000);
      if (!network_.SetField(Lit01(node), request)) return Say("error no node " + node);
      return StartWait(ms, [this, node, request] {
        const std::string now = *network_.Field(Lit01(node));
        if (now == request) return false;
        Say("ok reply [" + EscapeBytes(Shown(now)) + "]");
        return true;
      });
    }
    if (verb == "done" || verb == "ack") {
      const std::string node = Word(rest);
      if (!network_.SetField(Lit01(node), verb == "done" ? "DONE:" : "ACK1:"))
        return Say("error no node " + node);
      return Say("ok");
    }
    Say("error unknown command " + verb);
  }

  void SubmitQuery(const std::string& node, const std::string& database, const std::string& query) {
    if (!network_.HasNode(node)) return Say("error no node " + node);
    const std::string text = UnescapeBytes(query);
    // A 400-byte read gives 399 bytes and a NUL, so a part holds 399.
    constexpr size_t kPart = 399;
    const size_t parts = std::min<size_t>(5, (text.size() + kPart - 1) / kPart);
    if (text.size() > 5 * kPart) return Say("error query longer than five parts");
    network_.SetField("/z" + node + "/lit02", UnescapeBytes(database));
    for (size_t i = 0; i < parts; ++i)
      network_.SetField("/z" + node + "/ptp0" + std::to_string(i + 1), text.substr(i * kPart, kPart));
    network_.SetField(Lit01(node), "SQL3:" + std::to_string(parts));
    Say("ok");
  }

  // One look at lit01 while collecting: a packet header is taken and
  // acknowledged, an end marker ends the command.
  bool CollectStep(const std::string& node) {
    const std::string lit01 = Shown(*network_.Field(Lit01(node)));
    if (lit01.rfind("****:", 0) == 0) {
      Say("header [" + EscapeBytes(lit01) + "]");
      const size_t colon = lit01.rfind(':');
      const long rowCount = std::strtol(lit01.c_str() + colon + 1, nullptr, 10);
      for (int k = 1; k <= 3; ++k) {
        const std::string packet = *network_.Field("/z" + node + "/ptp0" + std::to_string(k));
        for (int slot = 0; slot < 5; ++slot) {
          const long row = collectedRow_ + 5 * (k - 1) + slot;
          if (row >= rowCount) continue;
          const std::string text = packet.size() > static_cast<size_t>(slot) * 75
                                       ? packet.substr(static_cast<size_t>(slot) * 75, 75)
                                       : std::string();
          Say("row " + std::to_string(row) + " [" + EscapeBytes(Shown(text)) + "]");
        }
      }
      collectedRow_ += 15;
      network_.SetField(Lit01(node), "ACK1:");
      return false;
    }
    if (lit01 == "!" || lit01 == "@" || lit01.rfind("^ERROR", 0) == 0) {
      collectedRow_ = 0;
      Say("ok end [" + EscapeBytes(lit01) + "]");
      return true;
    }
    return false;
  }

  std::string socketPath_;
  TerminalSimulator network_;
  int listener_ = -1;
  std::map<int, Client> clients_;
  TerminalSimulator::Session lastSession_ = 0;
  std::deque<std::string> commands_;
  std::optional<Wait> wait_;
  long collectedRow_ = 0;
  bool quit_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  std::string socketPath = tarvex::SocketTerminalNet::DefaultSocketPath();
  std::vector<std::string> nodes;
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc && arg == "--socket") socketPath = argv[++i];
    else if (i + 1 < argc && arg == "--node") nodes.push_back(argv[++i]);
    else if (i + 1 < argc && arg == "--exec") commands.push_back(argv[++i]);
    else {
      std::cerr << "usage: terminal-sim [--socket PATH] [--node NAME]... [--exec COMMAND]...\n";
      return 2;
    }
  }
  TerminalSim sim(socketPath);
  for (const auto& node : nodes) sim.Network().AddNode(node);
  if (!sim.Listen()) return 1;
  for (auto& command : commands) sim.Queue(command);
  return sim.Run();
}
