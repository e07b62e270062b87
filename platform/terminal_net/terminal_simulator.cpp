#include "platform/terminal_net/terminal_simulator.h"

#include <algorithm>
#include <cstring>

#include "platform/terminal_net/result_codes.h"

namespace tarvex {
namespace {

struct StandardField {
  const char* name;
  size_t width;
  bool writable;
};

constexpr StandardField kStandardFields[] = {
    {"lit01", 40, true},   {"lit02", 40, true},   {"ptp01", 400, true}, {"ptp02", 400, true},
    {"ptp03", 400, true},  {"ptp04", 400, true},  {"ptp05", 400, true}, {"wt101", 12, false},
};

struct SplitPath {
  std::string_view node;
  std::string_view field;
};

std::optional<SplitPath> Split(std::string_view path) {
  if (path.substr(0, 2) != "/z") return std::nullopt;
  const size_t slash = path.rfind('/');
  if (slash < 2 || slash == std::string_view::npos) return std::nullopt;
  SplitPath split{path.substr(2, slash - 2), path.substr(slash + 1)};
  if (split.field.empty()) return std::nullopt;
  return split;
}

}  // namespace

void TerminalSimulator::AddNode(const std::string& name) {
  if (nodes_.contains(name)) return;
  NodeState& node = nodes_[name];
  for (const StandardField& f : kStandardFields) {
    node.fields[f.name] = FieldState{f.width, f.writable, {}};
  }
}

bool TerminalSimulator::HasNode(const std::string& name) const { return nodes_.contains(name); }

void TerminalSimulator::SetNodeDown(const std::string& name, bool down) {
  auto it = nodes_.find(name);
  if (it != nodes_.end()) it->second.down = down;
}

bool TerminalSimulator::SetField(std::string_view path, std::string_view bytes) {
  const auto split = Split(path);
  if (!split) return false;
  auto node = nodes_.find(split->node);
  if (node == nodes_.end()) return false;
  auto field = node->second.fields.find(split->field);
  if (field == node->second.fields.end()) return false;
  field->second.bytes = std::string(bytes.substr(0, field->second.width));
  ++changes_;
  return true;
}

std::optional<std::string> TerminalSimulator::Field(std::string_view path) const {
  const auto split = Split(path);
  if (!split) return std::nullopt;
  auto node = nodes_.find(split->node);
  if (node == nodes_.end()) return std::nullopt;
  auto field = node->second.fields.find(split->field);
  if (field == node->second.fields.end()) return std::nullopt;
  return field->second.bytes;
}

void TerminalSimulator::FailNextCalls(std::string_view path, int count, int16_t code) {
  callFaults_[std::string(path)] = Fault{count, code};
}

void TerminalSimulator::FailNextRegistrations(int count, int16_t code) {
  registrationFault_ = Fault{count, code};
}

void TerminalSimulator::FailNextKeystrokes(int count, int16_t code) {
  keystrokeFault_ = Fault{count, code};
}

void TerminalSimulator::OmitNulOnNextReads(std::string_view path, int count) {
  omitNul_[std::string(path)] = count;
}

template <typename T>
void TerminalSimulator::Remember(std::vector<T>& history, T entry) {
  if (history.size() >= kHistoryLimit)
    history.erase(history.begin(), history.begin() + kHistoryLimit / 2);
  history.push_back(std::move(entry));
}

bool TerminalSimulator::TakeFault(Fault& fault, int16_t& result) {
  if (fault.count <= 0) return false;
  --fault.count;
  result = fault.code;
  return true;
}

int16_t TerminalSimulator::Logged(std::string operation, std::string_view path, int16_t length,
                                  std::string bytes, int16_t result) {
  Remember(log_, {std::move(operation), std::string(path), length, std::move(bytes), result});
  return result;
}

TerminalSimulator::FieldState* TerminalSimulator::Locate(std::string_view path, int16_t& result) {
  const auto split = Split(path);
  if (!split) {
    result = ZEL_INVALID_FIELD;
    return nullptr;
  }
  auto node = nodes_.find(split->node);
  if (node == nodes_.end()) {
    result = ZEL_INVALID_TERMINAL;
    return nullptr;
  }
  if (node->second.down) {
    result = WSAEHOSTDOWN;
    return nullptr;
  }
  auto field = node->second.fields.find(split->field);
  if (field == node->second.fields.end()) {
    result = ZEL_INVALID_SD_FIELD_NAME;
    return nullptr;
  }
  result = ZEL_SUCCESS;
  return &field->second;
}

int16_t TerminalSimulator::Register(Session session, int16_t processId) {
  int16_t result = ZEL_SUCCESS;
  if (TakeFault(registrationFault_, result)) {
  } else if (owner_ != 0) {
    result = ZEL_TOO_MANY_PROCESSES;
  } else {
    owner_ = session;
  }
  return Logged("register", "", processId, {}, result);
}

int16_t TerminalSimulator::Close(Session session) {
  int16_t result = ZEL_INVALID_PROCESS;
  if (owner_ == session && session != 0) {
    owner_ = 0;
    result = ZEL_SUCCESS;
  }
  return Logged("close", "", 0, {}, result);
}

int16_t TerminalSimulator::Read(Session session, std::string_view path, int16_t length,
                                size_t bufferSize, std::string& filled, int16_t& status) {
  filled.clear();
  int16_t result = ZEL_SUCCESS;
  if (owner_ != session || session == 0) {
    result = ZEL_INVALID_PROCESS;
  } else if (auto fault = callFaults_.find(path);
             fault != callFaults_.end() && TakeFault(fault->second, result)) {
  } else if (length < 1 || static_cast<size_t>(length) > bufferSize) {
    result = ZEL_INVALID_BUFFER_LENGTH;
  } else if (FieldState* field = Locate(path, result)) {
    auto omit = omitNul_.find(path);
    if (omit != omitNul_.end() && omit->second > 0) {
      --omit->second;
      filled = field->bytes.substr(0, static_cast<size_t>(length));
    } else {
      filled = field->bytes.substr(0, static_cast<size_t>(length) - 1);
      filled.push_back('\0');
    }
  }
  status = result;
  return Logged("read", path, length, filled, result);
}

int16_t TerminalSimulator::Write(Session session, std::string_view path, int16_t length,
                                 std::span<const char> buffer) {
  int16_t result = ZEL_SUCCESS;
  const std::string offered(buffer.data(),
                            std::min(buffer.size(), static_cast<size_t>(std::max<int16_t>(
                                                        length, 0))));
  if (owner_ != session || session == 0) {
    result = ZEL_INVALID_PROCESS;
  } else if (auto fault = callFaults_.find(path);
             fault != callFaults_.end() && TakeFault(fault->second, result)) {
  } else if (length < 1 || static_cast<size_t>(length) > buffer.size()) {
    result = ZEL_INVALID_BUFFER_LENGTH;
  } else if (FieldState* field = Locate(path, result)) {
    if (!field->writable) {
      result = ZEL_SD_WRITE_NOT_ALLOWED;
    } else {
      field->bytes = offered.substr(0, field->width);
      ++changes_;
    }
  }
  return Logged("write", path, length, offered, result);
}

int16_t TerminalSimulator::SendKeystroke(Session session, int16_t node, int16_t mode,
                                         int16_t key) {
  const std::string name = std::to_string(node);
  int16_t result = ZEL_SUCCESS;
  if (owner_ != session || session == 0) {
    result = ZEL_INVALID_PROCESS;
  } else if (TakeFault(keystrokeFault_, result)) {
  } else if (auto it = nodes_.find(name); it == nodes_.end()) {
    result = ZEL_INVALID_TERMINAL;
  } else if (it->second.down) {
    result = WSAEHOSTDOWN;
  } else {
    Remember(keystrokes_, {node, mode, key});
  }
  return Logged("keystroke", "/z" + name, key, {}, result);
}

void TerminalSimulator::EndSession(Session session) {
  if (owner_ == session) owner_ = 0;
}

int16_t SimulatedTerminalNet::ZelRegisterProcess(int16_t processId) {
  return network_.Register(session_, processId);
}

int16_t SimulatedTerminalNet::ZelCloseProcess() { return network_.Close(session_); }

int16_t SimulatedTerminalNet::ZelRead(std::string_view path, int16_t length,
                                      std::span<char> buffer, int16_t& status) {
  std::string filled;
  const int16_t result = network_.Read(session_, path, length, buffer.size(), filled, status);
  if (result == ZEL_SUCCESS) std::memcpy(buffer.data(), filled.data(), filled.size());
  return result;
}

int16_t SimulatedTerminalNet::ZelWrite(std::string_view path, int16_t length,
                                       std::span<const char> buffer) {
  return network_.Write(session_, path, length, buffer);
}

int16_t SimulatedTerminalNet::ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) {
  return network_.SendKeystroke(session_, node, mode, key);
}

}  // namespace tarvex
