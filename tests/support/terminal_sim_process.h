#pragma once
// Test support: a tools/terminal-sim process in a private folder, driven
// through its shell on stdin and read line by line from its stdout.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvex::testing {

// A scratch folder removed with everything in it.
class SocketFolder {
public:
  SocketFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvex-tn-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~SocketFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

class TerminalSimProcess {
public:
  using Clock = std::chrono::steady_clock;

  // Starts terminal-sim serving socketPath with the given nodes and waits
  // for it to listen; Listening() tells whether it does.
  TerminalSimProcess(const std::string& socketPath, const std::vector<std::string>& nodes) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    std::vector<std::string> args = {TARVEX_BUILD_DIR "/bin/terminal-sim", "--socket", socketPath};
    for (const auto& node : nodes) {
      args.push_back("--node");
      args.push_back(node);
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toSim_ = in[1];
    fromSim_ = out[0];
    ::fcntl(fromSim_, F_SETFL, O_NONBLOCK);
    listening_ = !WaitForLine([](const std::string& l) { return l.rfind("ok listening", 0) == 0; })
                      .empty();
  }

  ~TerminalSimProcess() { Kill(); }

  bool Listening() const { return listening_; }

  // Sends a command and returns its output lines up to and including the
  // closing "ok"/"error" line (empty when none came in time). idle runs
  // between looks at the output, for a test that answers meanwhile.
  std::vector<std::string> Command(const std::string& line,
                                   const std::function<void()>& idle = {},
                                   std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    Send(line);
    std::vector<std::string> lines;
    const auto deadline = Clock::now() + bound;
    while (Clock::now() < deadline) {
      while (auto next = TakeLine()) {
        lines.push_back(*next);
        if (next->rfind("ok", 0) == 0 || next->rfind("error", 0) == 0) return lines;
      }
      if (idle) idle();
      Poll(idle ? 5 : 50);
    }
    return {};
  }

  void Send(const std::string& line) {
    const std::string bytes = line + "\n";
    [[maybe_unused]] ssize_t n = ::write(toSim_, bytes.data(), bytes.size());
  }

  // Stops the simulator where it is and lets it go on: a network that
  // stalls for as long as the test holds it.
  void Pause() {
    if (pid_ > 0) ::kill(pid_, SIGSTOP);
  }
  void Resume() {
    if (pid_ > 0) ::kill(pid_, SIGCONT);
  }

  // Kills the simulator at once, as a crash would.
  void Kill() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (toSim_ >= 0) ::close(toSim_);
    if (fromSim_ >= 0) ::close(fromSim_);
    toSim_ = fromSim_ = -1;
  }

private:
  std::string WaitForLine(const std::function<bool(const std::string&)>& wanted) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      while (auto next = TakeLine()) {
        if (wanted(*next)) return *next;
      }
      Poll(50);
    }
    return {};
  }

  void Poll(int milliseconds) {
    pollfd p{fromSim_, POLLIN, 0};
    if (::poll(&p, 1, milliseconds) > 0) {
      char chunk[4096];
      const ssize_t n = ::read(fromSim_, chunk, sizeof chunk);
      if (n > 0) pending_.append(chunk, static_cast<size_t>(n));
    }
  }

  std::optional<std::string> TakeLine() {
    const size_t eol = pending_.find('\n');
    if (eol == std::string::npos) return std::nullopt;
    std::string line = pending_.substr(0, eol);
    pending_.erase(0, eol + 1);
    return line;
  }

  pid_t pid_ = -1;
  int toSim_ = -1;
  int fromSim_ = -1;
  bool listening_ = false;
  std::string pending_;
};

}  // namespace tarvex::testing
