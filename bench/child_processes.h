#pragma once
// The child processes of a benchmark that runs real programs (bus daemon,
// Xvfb, window manager, the manager itself): started with a given
// environment, and all of them ended with the benchmark on every exit: a
// failure, an error, a crash or a signal (ctest's timeout). A child that does
// not end on TERM within 5 s is killed; one that outlives a SIGKILL of the
// benchmark dies with it (PR_SET_PDEATHSIG).
//
// Each program defines bench::ProgramName, the prefix of its error lines.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

inline int64_t NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

inline void PauseMs(int ms) {
  timespec t{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000};
  nanosleep(&t, nullptr);
}

// Defined by each program: the prefix of its error lines.
extern const char* const ProgramName;

[[noreturn]] inline void Fail(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", ProgramName, why.c_str());
  std::exit(2);
}

// The children still running, in the order started; a fixed array so that a
// fatal signal's handler can read it. endFirst (a traced program under
// strace, say) is ended before the others.
inline constexpr int MaxChildren = 8;
inline volatile pid_t children[MaxChildren];
inline volatile int childCount = 0;
inline volatile pid_t endFirst = 0;

inline void Forget(pid_t pid) {
  int kept = 0;
  for (int i = 0; i < childCount; ++i) {
    if (children[i] != pid) children[kept++] = children[i];
  }
  childCount = kept;
}

// Waits for a child that was asked to end until the deadline; then kills it.
inline void Reap(pid_t pid, int64_t deadline) {
  while (waitpid(pid, nullptr, WNOHANG) == 0) {
    if (NowNs() >= deadline) {
      if (endFirst > 0) kill(endFirst, SIGKILL);
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return;
    }
    PauseMs(10);
  }
}

// Ends one child: TERM, up to 5 s, then KILL.
inline void EndChild(pid_t pid) {
  kill(pid, SIGTERM);
  Reap(pid, NowNs() + 5'000'000'000);
  Forget(pid);
}

// Asks every child to end, gives them 5 s together, then kills what is left.
inline void EndChildren() {
  if (endFirst > 0) kill(endFirst, SIGTERM);
  for (int i = childCount - 1; i >= 0; --i) kill(children[i], SIGTERM);
  const int64_t deadline = NowNs() + 5'000'000'000;
  for (int i = 0; i < childCount; ++i) Reap(children[i], deadline);
  childCount = 0;
  endFirst = 0;
}

inline void KillChildrenAndDie(int sig) {
  if (endFirst > 0) kill(endFirst, SIGKILL);
  for (int i = 0; i < childCount; ++i) kill(children[i], SIGKILL);
  signal(sig, SIG_DFL);
  raise(sig);
}

inline void EndChildrenOnEveryExit() {
  std::atexit(EndChildren);
  for (int sig : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTERM, SIGINT, SIGHUP}) signal(sig, KillChildrenAndDie);
}

// Starts args with the environment given (added to this program's); the
// child's fd `passFd` (if >= 0) is kept open as fd 3; its output goes to
// `output`.
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int passFd = -1,
                   const std::string& output = "/dev/null") {
  if (childCount == MaxChildren) Fail("too many child processes");
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) Fail("fork failed");
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    if (passFd >= 0) dup2(passFd, 3);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  children[childCount] = pid;
  childCount = childCount + 1;
  return pid;
}

// Starts a program that prints one line on fd 3 (dbus-daemon's address,
// Xvfb's display) and returns that line.
inline std::string SpawnAndReadLine(const std::vector<std::string>& args) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) Fail("pipe failed");
  Spawn(args, {}, fds[1]);
  close(fds[1]);
  std::string line;
  pollfd p{fds[0], POLLIN, 0};
  const int64_t end = NowNs() + 10'000'000'000;
  char c;
  while (NowNs() < end && poll(&p, 1, 100) >= 0) {
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  close(fds[0]);
  if (line.empty()) Fail(args[0] + " did not start");
  return line;
}

// User + system seconds of a process from /proc/<pid>/stat; -1 once it has gone.
inline double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = s.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(s.substr(close + 2));
  std::string f;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stoull(f);
    if (i == 15) stime = std::stoull(f);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace bench
