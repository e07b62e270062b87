#pragma once
// Test support: tools/scale-sim as a child process on a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace tarvex::testing {

// One running simulator: its device path, its log, stopped when the test ends.
class Sim {
public:
  explicit Sim(std::vector<std::string> args) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    args.insert(args.begin(), std::string(TARVEX_BUILD_DIR) + "/bin/scale-sim");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    ::fcntl(err_, F_SETFL, ::fcntl(err_, F_GETFL) | O_NONBLOCK);
    // The first line on standard output is the device.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char c;
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      if (::read(out_, &c, 1) != 1 || c == '\n') break;
      device_ += c;
    }
  }
  ~Sim() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }
  const std::string& device() const { return device_; }
  // Standard error so far.
  std::string log() {
    char buffer[512];
    for (ssize_t n; (n = ::read(err_, buffer, sizeof buffer)) > 0;) log_.append(buffer, static_cast<size_t>(n));
    return log_;
  }

private:
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  std::string device_, log_;
};

}  // namespace tarvex::testing
