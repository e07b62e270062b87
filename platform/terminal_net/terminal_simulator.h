#pragma once
// A terminal network held in memory: weighing terminals (nodes, named by
// their node number as text) with shared-data fields, the one process
// registration the network allows, and the faults tests need. It answers the
// five calls exactly as the network does, for the in-process backend
// (SimulatedTerminalNet below) and for tools/terminal-sim, which serves it
// on a socket.
//
// What it must cope with: callers that pass any path, any length and a buffer
// of any size; a registration held by a connection that goes away; and tests
// that need failures on demand. It is single-threaded and deterministic:
// nothing happens but what a call or the terminal side does.
//
// Fields. Every node has lit01 and lit02 (40 bytes), ptp01 to ptp05 (400) and
// wt101 (12, the terminal's gross weight, which the network does not let a
// process write). A field holds between 0 and its width bytes, any bytes.
// - A read of length n copies min(n - 1, held) bytes and then a NUL to the
//   buffer's start; the rest of the buffer keeps what it held.
// - A write of length n stores the first min(n, width) bytes of the buffer,
//   blank padding included, in place of what the field held.
// - Paths are "/z" & node & "/" & field; the field is what follows the last
//   "/", the node what lies between "/z" and it.
//
// Results, checked in this order (every call):
//   -2    ZEL_INVALID_PROCESS   no registration held by this caller;
//   c     an injected fault for the path (FailNextCalls);
//   67    ZEL_INVALID_BUFFER_LENGTH  length < 1 or beyond the buffer;
//   2     ZEL_INVALID_FIELD     a path that does not start with "/z" or has
//                               no "/" after it, or an empty field name;
//   4     ZEL_INVALID_TERMINAL  no such node;
//   10064 WSAEHOSTDOWN          the node is down;
//   65    ZEL_INVALID_SD_FIELD_NAME  no such field on the node;
//   69    ZEL_SD_WRITE_NOT_ALLOWED   a write to a read-only field.
// Registration: -1 while any registration is held, an injected code
// (FailNextRegistrations); closing without holding one gives -2.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal_net/terminal_net.h"

namespace tarvex {

// One call as the network saw it. For reads, bytes are what reached the
// buffer (NUL included); for writes, the bytes offered (at most the buffer);
// for a registration, length is the process id; for a keystroke, path is
// "/z" & node and length the key code.
struct TerminalNetCall {
  std::string operation;  // "register", "close", "read", "write", "keystroke"
  std::string path;
  int16_t length = 0;
  std::string bytes;
  int16_t result = 0;
  bool operator==(const TerminalNetCall&) const = default;
};

struct ReceivedKeystroke {
  int16_t node = 0;
  int16_t mode = 0;
  int16_t key = 0;
  bool operator==(const ReceivedKeystroke&) const = default;
};

class TerminalSimulator {
public:
  // A caller of the network: one per connection of tools/terminal-sim, one
  // per in-process backend.
  using Session = uint32_t;

  // ---- The terminals' side (terminal programs, tests, the simulator shell).
  // A node with the standard fields, all empty; adding it again changes
  // nothing.
  void AddNode(const std::string& name);
  bool HasNode(const std::string& name) const;
  // A node that is down answers every call about it with WSAEHOSTDOWN.
  void SetNodeDown(const std::string& name, bool down);
  // Stores bytes (cut to the field's width) as the terminal would, read-only
  // fields included; false when the path names no field.
  bool SetField(std::string_view path, std::string_view bytes);
  std::optional<std::string> Field(std::string_view path) const;
  // Counts every change of any field, so a waiter can tell that something
  // was written.
  uint64_t ChangeCount() const { return changes_; }

  // ---- Faults.
  void FailNextCalls(std::string_view path, int count, int16_t code);
  void FailNextRegistrations(int count, int16_t code);
  void FailNextKeystrokes(int count, int16_t code);
  // The next count successful reads of path fill the buffer with field bytes
  // and give no NUL.
  void OmitNulOnNextReads(std::string_view path, int count);

  // ---- What happened: the newest calls and keystrokes, at most
  // kHistoryLimit of each (when full, the older half is dropped), so a
  // simulator serving for days keeps its memory.
  static constexpr size_t kHistoryLimit = 10000;
  const std::vector<TerminalNetCall>& CallLog() const { return log_; }
  void ClearCallLog() { log_.clear(); }
  const std::vector<ReceivedKeystroke>& Keystrokes() const { return keystrokes_; }
  bool Registered() const { return owner_ != 0; }

  // ---- The calls, for the session making them. session must not be 0.
  int16_t Register(Session session, int16_t processId);
  int16_t Close(Session session);
  // bufferSize is the caller's buffer; on success filled holds the bytes that
  // go to the buffer's start.
  int16_t Read(Session session, std::string_view path, int16_t length, size_t bufferSize,
               std::string& filled, int16_t& status);
  // buffer is the caller's whole buffer.
  int16_t Write(Session session, std::string_view path, int16_t length,
                std::span<const char> buffer);
  int16_t SendKeystroke(Session session, int16_t node, int16_t mode, int16_t key);
  // The session's connection is gone: its registration ends.
  void EndSession(Session session);

private:
  struct FieldState {
    size_t width = 0;
    bool writable = true;
    std::string bytes;
  };
  struct NodeState {
    bool down = false;
    std::map<std::string, FieldState, std::less<>> fields;
  };
  struct Fault {
    int count = 0;
    int16_t code = 0;
  };

  // The field a path names, or the result code why there is none.
  FieldState* Locate(std::string_view path, int16_t& result);
  static bool TakeFault(Fault& fault, int16_t& result);
  template <typename T>
  static void Remember(std::vector<T>& history, T entry);
  int16_t Logged(std::string operation, std::string_view path, int16_t length, std::string bytes,
                 int16_t result);

  std::map<std::string, NodeState, std::less<>> nodes_;
  std::map<std::string, Fault, std::less<>> callFaults_;
  std::map<std::string, int, std::less<>> omitNul_;
  Fault registrationFault_;
  Fault keystrokeFault_;
  Session owner_ = 0;
  uint64_t changes_ = 0;
  std::vector<TerminalNetCall> log_;
  std::vector<ReceivedKeystroke> keystrokes_;
};

// The network calls answered by a simulator in the same process.
class SimulatedTerminalNet : public TerminalNet {
public:
  explicit SimulatedTerminalNet(TerminalSimulator& network, TerminalSimulator::Session session = 1)
      : network_(network), session_(session) {}
  ~SimulatedTerminalNet() override { network_.EndSession(session_); }

  int16_t ZelRegisterProcess(int16_t processId) override;
  int16_t ZelCloseProcess() override;
  int16_t ZelRead(std::string_view path, int16_t length, std::span<char> buffer,
                  int16_t& status) override;
  int16_t ZelWrite(std::string_view path, int16_t length, std::span<const char> buffer) override;
  int16_t ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) override;

private:
  TerminalSimulator& network_;
  TerminalSimulator::Session session_;
};

}  // namespace tarvex
