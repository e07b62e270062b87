// manager_e2e_bench: the real manager end to end, from the bytes a scale
// writes to the CUpdate signal a bus client sees.
//
// It makes a scratch program folder with N channels of the sample protocol,
// one pseudo-terminal per channel, starts a private session bus and the
// manager (build/bin/tarvex) on it, and writes frames to the ptys itself at
// the wire's pace, stamping the moment each frame's last byte is written.
// Frame k of a channel carries the gross k+1 hundredths, so every CUpdate
// says which frame it published. Bus clients subscribe to
// org.tarvex.Device1 CUpdate on every /Device/<ch>.
//
// Baseline, in the same run and on the same ptys before the manager starts:
// a bare reader that polls the ptys and cuts frames at their terminators.
//
//   manager_e2e_bench --bin DIR [options]
//   --bin DIR          folder of tarvex and scale-sim (required)
//   --channels N       1 to 32, default 32
//   --seconds S        measured seconds with the manager, default 60
//   --baseline-seconds S  seconds of the bare reader, default 10
//   --baud B           9600 or 38400, default 9600
//   --rate F           frames per second per channel, default 20; 0: back to
//                      back at the wire's limit
//   --window MODE      tray (offscreen platform, the manager goes to its tray
//                      as it starts) or shown (a virtual X screen, NOMINIMIZE)
//   --weight-logs      every channel writes its weight log
//   --clients K        bus clients, each subscribed to every channel, default 1
//   --count-passes     run the manager under strace (seccomp filter: only
//                      clock_nanosleep stops it) and count its RxIdle sleeps,
//                      one per scan pass, and its GDIIdle sleeps
//   --check            end with status 1 on a broken pipeline: a channel with
//                      no frame published, values out of order, a value that
//                      was not sent, or a channel whose last value never came
//                      (within 60 s of the last write), or the manager ended
//
// Timing never decides the exit status.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/child_processes.h"
#include "bench/option_reader.h"
#include "tools/scale_sim/scale_frames.h"

const char* const bench::ProgramName = "manager_e2e_bench";

using namespace tarvex;
using namespace bench;

namespace {

struct Options {
  std::string bin;
  int channels = 32;
  double seconds = 60, baselineSeconds = 10;
  int baud = 9600;
  double rate = 20;
  std::string window = "tray";
  bool weightLogs = false;
  int clients = 1;
  bool countPasses = false;
  bool check = false;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (OptionReader r(argc, argv, "bench/manager_e2e_bench.cpp"); r.Next();) {
    if (r.Is("--bin")) o.bin = r.Value();
    else if (r.Is("--channels")) o.channels = r.Integer();
    else if (r.Is("--seconds")) o.seconds = r.Number();
    else if (r.Is("--baseline-seconds")) o.baselineSeconds = r.Number();
    else if (r.Is("--baud")) o.baud = r.Integer();
    else if (r.Is("--rate")) o.rate = r.Number();
    else if (r.Is("--window")) o.window = r.Value();
    else if (r.Is("--weight-logs")) o.weightLogs = true;
    else if (r.Is("--clients")) o.clients = r.Integer();
    else if (r.Is("--count-passes")) o.countPasses = true;
    else if (r.Is("--check")) o.check = true;
    else r.Unknown();
  }
  if (o.bin.empty()) Fail("--bin is required");
  if (o.channels < 1 || o.channels > 32) Fail("--channels is 1 to 32");
  if (o.baud != 9600 && o.baud != 38400) Fail("--baud is 9600 or 38400");
  if (o.window != "tray" && o.window != "shown") Fail("--window is tray or shown");
  if (o.clients < 1) Fail("--clients is at least 1");
  return o;
}

// ---- ptys and the frame writer -------------------------------------------

struct Pty {
  int master = -1;
  int slave = -1;  // held open (raw) so the line keeps its settings
  std::string path;
};

Pty OpenPty() {
  Pty p;
  p.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (p.master < 0 || grantpt(p.master) != 0 || unlockpt(p.master) != 0) Fail("no pseudo-terminal");
  p.path = ptsname(p.master);
  p.slave = open(p.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (p.slave < 0) Fail("cannot open " + p.path);
  // Not inherited: the manager opens its port itself.
  fcntl(p.master, F_SETFD, FD_CLOEXEC);
  fcntl(p.slave, F_SETFD, FD_CLOEXEC);
  termios t{};
  tcgetattr(p.slave, &t);
  cfmakeraw(&t);
  tcsetattr(p.slave, TCSANOW, &t);
  return p;
}

// Frames written per channel, with the time each one's last byte was written.
class FrameWriter {
public:
  FrameWriter(const std::vector<Pty>& ptys, const Options& o, size_t capacity)
      : ptys_(ptys), writer_(sim::DemoProtocol()), capacity_(capacity) {
    for (size_t ch = 0; ch < ptys.size(); ++ch) {
      stamps_.emplace_back(new std::atomic<int64_t>[capacity]);
      written_.emplace_back(new std::atomic<int64_t>(0));
    }
    const size_t frameBytes = Frame(0).size();
    const double charsPerSecond = o.baud / 10.0;
    wireNs_ = static_cast<int64_t>(frameBytes / charsPerSecond * 1e9);
    periodNs_ = o.rate > 0 ? static_cast<int64_t>(1e9 / o.rate) : wireNs_;
    if (periodNs_ < wireNs_) periodNs_ = wireNs_;  // no faster than the wire
    frameBytes_ = frameBytes;
  }

  std::string Frame(int64_t k) const {
    sim::ScaleReading r;
    r.gross = static_cast<double>(k + 1) / 100.0;
    return writer_.Frame(r);
  }

  // Writes from first on, until `seconds` have passed; each channel starts at
  // its own offset inside the period.
  void Run(double seconds) {
    const size_t n = ptys_.size();
    const int64_t start = NowNs() + 10'000'000;
    const int64_t end = start + static_cast<int64_t>(seconds * 1e9);
    std::vector<int64_t> due(n);
    for (size_t ch = 0; ch < n; ++ch) due[ch] = start + periodNs_ * static_cast<int64_t>(ch) / static_cast<int64_t>(n);
    for (;;) {
      const size_t ch = static_cast<size_t>(std::min_element(due.begin(), due.end()) - due.begin());
      if (due[ch] >= end) break;
      timespec at{static_cast<time_t>(due[ch] / 1'000'000'000), static_cast<long>(due[ch] % 1'000'000'000)};
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
      const int64_t k = written_[ch]->load();
      if (static_cast<size_t>(k) >= capacity_) { due[ch] = end; continue; }
      const std::string frame = Frame(k);
      // Stamped and counted before the write: a reader may cut the frame,
      // and a bus client see its value, before write() returns here.
      stamps_[ch][k].store(NowNs());
      written_[ch]->store(k + 1);
      const ssize_t done = write(ptys_[ch].master, frame.data(), frame.size());
      if (done != static_cast<ssize_t>(frame.size())) ++shortWrites_;
      due[ch] += periodNs_;
    }
  }

  int64_t Written(size_t ch) const { return written_[ch]->load(); }
  int64_t StampOf(size_t ch, int64_t k) const { return stamps_[ch][k].load(); }
  int64_t WireNs() const { return wireNs_; }
  int64_t PeriodNs() const { return periodNs_; }
  size_t FrameBytes() const { return frameBytes_; }
  int ShortWrites() const { return shortWrites_; }
  void ResetCounts() {
    for (auto& w : written_) w->store(0);
  }

private:
  const std::vector<Pty>& ptys_;
  sim::ScaleFrameWriter writer_;
  size_t capacity_;
  std::vector<std::unique_ptr<std::atomic<int64_t>[]>> stamps_;
  std::vector<std::unique_ptr<std::atomic<int64_t>>> written_;
  int64_t wireNs_ = 0, periodNs_ = 0;
  size_t frameBytes_ = 0;
  int shortWrites_ = 0;
};

// ---- figures ---------------------------------------------------------------

struct Percentiles {
  double p50 = 0, p99 = 0, max = 0;
  size_t count = 0;
};

Percentiles Summarise(std::vector<double> v) {
  Percentiles p;
  p.count = v.size();
  if (v.empty()) return p;
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))]; };
  p.p50 = at(0.50);
  p.p99 = at(0.99);
  p.max = v.back();
  return p;
}

// CPU seconds (user + system) of a process.
long RssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

// ---- baseline: a bare reader ---------------------------------------------

struct BaselineResult {
  double cpuSeconds = 0;
  std::vector<double> latencyMs;
  int64_t frames = 0;
};

BaselineResult RunBaseline(const std::vector<Pty>& ptys, FrameWriter& writer, double seconds) {
  BaselineResult result;
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    timespec c0{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c0);
    std::vector<pollfd> fds;
    for (const Pty& p : ptys) fds.push_back({p.slave, POLLIN, 0});
    std::vector<int64_t> cut(ptys.size(), 0);
    char buffer[4096];
    while (!stop.load()) {
      if (poll(fds.data(), fds.size(), 50) <= 0) continue;
      const int64_t now = NowNs();
      for (size_t ch = 0; ch < fds.size(); ++ch) {
        if (!(fds[ch].revents & POLLIN)) continue;
        ssize_t n;
        while ((n = read(fds[ch].fd, buffer, sizeof buffer)) > 0) {
          for (const char* p = buffer; (p = static_cast<const char*>(memchr(p, '\n', buffer + n - p))); ++p) {
            result.latencyMs.push_back(static_cast<double>(now - writer.StampOf(ch, cut[ch]++)) / 1e6);
          }
        }
      }
    }
    timespec c1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c1);
    result.cpuSeconds = static_cast<double>(c1.tv_sec - c0.tv_sec) + static_cast<double>(c1.tv_nsec - c0.tv_nsec) * 1e-9;
    for (int64_t c : cut) result.frames += c;
  });
  writer.Run(seconds);
  struct timespec settle{0, 200'000'000};
  nanosleep(&settle, nullptr);
  stop.store(true);
  reader.join();
  // Nothing of the baseline's frames is left for the manager to read.
  for (const Pty& p : ptys) tcflush(p.slave, TCIOFLUSH);
  return result;
}

// ---- the folder the manager runs on -------------------------------------

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) Fail("cannot write " + path);
}

void MakeProgramFolder(const std::string& home, const Options& o, const std::vector<Pty>& ptys) {
  const std::string protocol = home + "/Tarvex-Std-CustFmt1.Cfg";
  const pid_t sim = Spawn({o.bin + "/scale-sim", "--write-demo-protocol", protocol}, {});
  int status = 0;
  waitpid(sim, &status, 0);
  Forget(sim);
  if (status != 0) Fail("scale-sim --write-demo-protocol failed");
  const int settingsIndex = o.baud == 38400 ? 51 : 33;  // "38400,N,8,1" / "9600,N,8,1"
  std::string ports;
  for (size_t ch = 0; ch < ptys.size(); ++ch) {
    const std::string n = std::to_string(ch + 1);
    char line[1024];
    std::snprintf(line, sizeof line,
                  "10,0,%zu,%d,#FALSE#,\"\",\"Bench Scale %s\",0,\"\",\"\",\"OPC.DELTAV.1\",\"%s/WtData-SCALE%s.Txt\","
                  "%s,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,30,12,50,"
                  "\"\",\"\",\"\",\"\",\"\",\"\",\"\",1,0,#FALSE#\r\n",
                  ch, settingsIndex, n.c_str(), home.c_str(), n.c_str(), o.weightLogs ? "#TRUE#" : "#FALSE#");
    WriteFile(home + "/Tarvex-SCALE" + n + ".Cfg", line);
    ports += n + ",\"" + ptys[ch].path + "\"\r\n";
  }
  WriteFile(home + "/TarvexPorts.Cfg", ports);
}

// True once the process holds every pty open.
bool HoldsAll(pid_t pid, const std::vector<Pty>& ptys) {
  size_t found = 0;
  std::error_code ec;
  std::vector<std::string> open;
  for (const auto& e : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    open.push_back(std::filesystem::read_symlink(e.path(), ec).string());
  }
  for (const Pty& p : ptys) found += std::count(open.begin(), open.end(), p.path) > 0;
  return found == ptys.size();
}

// The manager's pid: the child of strace, or the process itself.
pid_t ManagerPid(pid_t started, bool traced) {
  if (!traced) return started;
  std::ifstream in("/proc/" + std::to_string(started) + "/task/" + std::to_string(started) + "/children");
  pid_t child = 0;
  in >> child;
  return child;
}

void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

// ---- bus clients ----------------------------------------------------------

// One bus connection subscribed to CUpdate of every device; it checks the
// values it sees per channel against what the writer sent.
class UpdateClient : public QObject {
  Q_OBJECT
public:
  UpdateClient(const QString& address, int index, const FrameWriter& writer, size_t channels)
      : connection_(QDBusConnection::connectToBus(address, QStringLiteral("bench-client-%1").arg(index))),
        writer_(writer), last_(channels, -1), seen_(channels, 0) {
    if (!connection_.isConnected()) Fail("a bus client could not connect");
    connection_.connect(QString(), QString(), QStringLiteral("org.tarvex.Device1"), QStringLiteral("CUpdate"), this,
                        SLOT(OnUpdate(QDBusMessage)));
  }

  std::vector<double> latencyMs;
  std::vector<std::string> faults;
  bool measuring = false;

  int64_t Last(size_t ch) const { return last_[ch]; }
  int64_t Seen(size_t ch) const { return seen_[ch]; }
  int64_t Signals() const { return signals_; }

public Q_SLOTS:
  void OnUpdate(const QDBusMessage& m) {
    const int64_t now = NowNs();
    ++signals_;
    bool ok = false;
    const size_t ch = m.path().section(QLatin1Char('/'), -1).toUInt(&ok);
    const QList<QVariant> args = m.arguments();
    if (!ok || ch >= last_.size() || args.size() < 4) return;
    const int64_t k = std::llround(args[3].toDouble() * 100.0) - 1;
    if (k == last_[ch]) return;  // the same frame, another property
    auto fault = [&](const std::string& what) {
      if (faults.size() < 20) faults.push_back("channel " + std::to_string(ch) + ": " + what);
    };
    if (k == -1 && last_[ch] == -1) return;  // the gross before any frame
    if (k < 0 || k >= writer_.Written(ch)) {
      fault("gross " + std::to_string(k + 1) + " hundredths was never sent");
      return;
    }
    if (k < last_[ch]) {
      fault("frame " + std::to_string(k) + " after frame " + std::to_string(last_[ch]));
      return;
    }
    last_[ch] = k;
    ++seen_[ch];
    if (measuring) latencyMs.push_back(static_cast<double>(now - writer_.StampOf(ch, k)) / 1e6);
  }

private:
  QDBusConnection connection_;
  const FrameWriter& writer_;
  std::vector<int64_t> last_, seen_;
  int64_t signals_ = 0;
};

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  EndChildrenOnEveryExit();
  setvbuf(stdout, nullptr, _IOLBF, 0);
  const Options o = ParseOptions(argc, argv);
  QCoreApplication app(argc, argv);

  char scratch[] = "/tmp/tarvex-e2e-XXXXXX";
  if (!mkdtemp(scratch)) Fail("no scratch folder");
  const std::string home = scratch;

  std::vector<Pty> ptys;
  for (int ch = 0; ch < o.channels; ++ch) ptys.push_back(OpenPty());
  const double frameRate = o.rate > 0 ? o.rate : 1.0;  // capacity below is per second of the longest phase
  const size_t capacity =
      static_cast<size_t>((std::max(o.seconds, o.baselineSeconds) + 2) * std::max(frameRate, o.baud / 10.0 / 30.0)) + 16;
  FrameWriter writer(ptys, o, capacity);

  std::printf("manager_e2e_bench: %d channels, %d baud, %s, frame %zu bytes (wire %.1f ms), one every %.1f ms "
              "(%.1f frames/s per channel), window %s, weight logs %s, %d bus client(s)\n",
              o.channels, o.baud, o.rate > 0 ? "paced" : "back to back", writer.FrameBytes(),
              static_cast<double>(writer.WireNs()) / 1e6, static_cast<double>(writer.PeriodNs()) / 1e6,
              1e9 / static_cast<double>(writer.PeriodNs()), o.window.c_str(), o.weightLogs ? "on" : "off", o.clients);

  // Baseline.
  BaselineResult base;
  if (o.baselineSeconds > 0) {
    base = RunBaseline(ptys, writer, o.baselineSeconds);
    writer.ResetCounts();
  }

  // The manager.
  MakeProgramFolder(home, o, ptys);
  const std::string bus = SpawnAndReadLine({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"});
  const pid_t busDaemon = children[childCount - 1];
  std::vector<std::string> env = {"TARVEX_HOME=" + home, "DBUS_SESSION_BUS_ADDRESS=" + bus,
                                  "XDG_RUNTIME_DIR=" + home};
  std::vector<std::string> args = {o.bin + "/tarvex"};
  if (o.window == "shown") {
    const std::string display = SpawnAndReadLine(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1920x1200x24", "-nolisten", "tcp"});
    env.push_back("DISPLAY=:" + display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    args.push_back("NOMINIMIZE");
  } else {
    env.push_back("QT_QPA_PLATFORM=offscreen");
  }
  const std::string traceFile = home + "/strace.txt";
  if (o.countPasses) {
    args.insert(args.begin(), {"strace", "-f", "--seccomp-bpf", "-e", "trace=clock_nanosleep", "-ttt", "-o", traceFile});
  }
  const pid_t started = Spawn(args, env, -1, home + "/manager.out");

  std::vector<std::unique_ptr<UpdateClient>> clients;
  for (int i = 0; i < o.clients; ++i) {
    clients.push_back(std::make_unique<UpdateClient>(QString::fromStdString(bus), i, writer, ptys.size()));
  }
  pid_t manager = 0;
  const int64_t startDeadline = NowNs() + 60'000'000'000;
  while (NowNs() < startDeadline) {
    manager = ManagerPid(started, o.countPasses);
    if (o.countPasses) endFirst = manager;
    if (manager > 0 && HoldsAll(manager, ptys)) break;
    RunFor(50);
  }
  if (manager <= 0 || !HoldsAll(manager, ptys)) {
    EndChildren();
    Fail("the manager did not open its ports within 60 s (its output: " + home + "/manager.out)");
  }
  RunFor(500);  // the first pass ends and the devices are published

  for (auto& c : clients) c->measuring = true;
  const int64_t t0 = NowNs();
  const double cpu0 = CpuSeconds(manager);
  const double busCpu0 = CpuSeconds(busDaemon);
  const long rssStart = RssKb(manager);
  std::vector<long> rss;
  std::thread writing([&] { writer.Run(o.seconds); });
  while (NowNs() - t0 < static_cast<int64_t>(o.seconds * 1e9)) {
    RunFor(1000);
    rss.push_back(RssKb(manager));
  }
  writing.join();
  const double cpu1 = CpuSeconds(manager);
  const double busCpu1 = CpuSeconds(busDaemon);
  const int64_t t1 = NowNs();
  for (auto& c : clients) c->measuring = false;
  // The last frames reach the bus. The bound is generous, for a machine
  // that runs other tests beside this one: it ends early once they are in.
  const int64_t drainEnd = NowNs() + 60'000'000'000;
  auto allLast = [&] {
    for (auto& c : clients)
      for (size_t ch = 0; ch < ptys.size(); ++ch)
        if (c->Last(ch) != writer.Written(ch) - 1) return false;
    return true;
  };
  bool managerEnded = false;
  while (!allLast() && NowNs() < drainEnd) {
    if ((managerEnded = waitpid(started, nullptr, WNOHANG) != 0)) break;
    RunFor(50);
  }
  const long rssEnd = RssKb(manager);
  EndChildren();

  // Figures.
  const double wall = static_cast<double>(t1 - t0) / 1e9;
  const double cpuShare = (cpu1 - cpu0) / wall * 100.0;
  int64_t sent = 0;
  for (size_t ch = 0; ch < ptys.size(); ++ch) sent += writer.Written(ch);
  std::vector<double> latency;
  for (auto& c : clients) latency.insert(latency.end(), c->latencyMs.begin(), c->latencyMs.end());
  const Percentiles lat = Summarise(latency);
  const Percentiles baseLat = Summarise(base.latencyMs);
  int64_t seen = 0;
  for (size_t ch = 0; ch < ptys.size(); ++ch) seen += clients[0]->Seen(ch);

  std::printf("frames written: %lld in %.1f s (%.0f frames/s), short writes %d\n", static_cast<long long>(sent), wall,
              static_cast<double>(sent) / wall, writer.ShortWrites());
  std::printf("manager CPU: %.2f %% of one core in total, %.3f %% per channel\n", cpuShare,
              cpuShare / o.channels);
  std::printf("bus daemon CPU (fanning the signals out to the clients): %.2f %% of one core\n",
              (busCpu1 - busCpu0) / wall * 100.0);
  if (o.baselineSeconds > 0) {
    const double baseShare = base.cpuSeconds / o.baselineSeconds * 100.0;
    std::printf("baseline CPU (bare reader): %.3f %% of one core; ratio manager/baseline %.1f\n", baseShare,
                baseShare > 0 ? cpuShare / baseShare : 0.0);
  }
  std::printf("manager RSS: %ld kB at start, %ld kB at the end", rssStart, rssEnd);
  if (rss.size() >= 10) {
    const long at10 = rss[9];
    std::printf("; %ld kB at 10 s, %ld kB at %zu s (%+.1f %%)", at10, rss.back(), rss.size(),
                (static_cast<double>(rss.back()) - static_cast<double>(at10)) / static_cast<double>(at10) * 100.0);
  }
  std::printf("\n");
  std::printf("frames published (client 1): %lld of %lld (%.1f %%; the pass publishes the newest frame of each "
              "channel, so frames that arrive between passes coalesce)\n",
              static_cast<long long>(seen), static_cast<long long>(sent),
              sent ? static_cast<double>(seen) * 100.0 / static_cast<double>(sent) : 0.0);
  std::printf("latency last byte -> CUpdate (%zu samples over %d client(s)): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
              lat.count, o.clients, lat.p50, lat.p99, lat.max);
  // The goal's bound with the system setup's defaults: RxInterval 25 ms +
  // RxIdle 2 ms + 5 ms.
  const double bound = 32.0;
  std::printf("  %.2f %% of the frames beyond %.0f ms (RxInterval + RxIdle + 5 ms)\n",
              lat.count ? static_cast<double>(std::count_if(latency.begin(), latency.end(),
                                                            [&](double v) { return v > bound; })) *
                              100.0 / static_cast<double>(lat.count)
                        : 0.0,
              bound);
  if (o.baselineSeconds > 0) {
    std::printf("baseline latency last byte -> cut (%zu frames): p50 %.3f ms, p99 %.3f ms, max %.3f ms; "
                "ratio p99 manager/baseline %.0f\n",
                baseLat.count, baseLat.p50, baseLat.p99, baseLat.max, baseLat.p99 > 0 ? lat.p99 / baseLat.p99 : 0.0);
  }
  if (o.countPasses) {
    // Sleeps of 2 ms (RxIdle) start a scan pass; sleeps of 1 ms (GDIIdle) are
    // the grid tick's. Counted over the measured window only.
    std::ifstream in(traceFile);
    std::string line;
    long passes = 0, gridSleeps = 0;
    const double w0 = static_cast<double>(t0) / 1e9, w1 = static_cast<double>(t1) / 1e9;
    timespec mono{}, real{};
    clock_gettime(CLOCK_MONOTONIC, &mono);
    clock_gettime(CLOCK_REALTIME, &real);
    const double offset = (static_cast<double>(real.tv_sec) + static_cast<double>(real.tv_nsec) * 1e-9) -
                          (static_cast<double>(mono.tv_sec) + static_cast<double>(mono.tv_nsec) * 1e-9);
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      long pid;
      double at;
      if (!(fields >> pid >> at)) continue;
      at -= offset;
      if (at < w0 || at > w1 || line.find("clock_nanosleep(") == std::string::npos) continue;
      if (line.find("tv_nsec=2000000}") != std::string::npos) ++passes;
      else if (line.find("tv_nsec=1000000}") != std::string::npos) ++gridSleeps;
    }
    std::printf("scan passes: %.1f per second against 40 configured (RxInterval 25 ms): %.0f %%; grid sleeps "
                "(GDIIdle 1 ms) %.1f per second\n",
                static_cast<double>(passes) / wall, static_cast<double>(passes) / wall / 40.0 * 100.0,
                static_cast<double>(gridSleeps) / wall);
  }

  // The pipeline.
  std::vector<std::string> faults;
  if (managerEnded) faults.push_back("the manager ended before the last frames were published");
  if (writer.ShortWrites() > 0) {
    faults.push_back(std::to_string(writer.ShortWrites()) + " frames not taken whole by a full pty (nobody reads it)");
  }
  for (size_t i = 0; i < clients.size(); ++i) {
    for (const std::string& f : clients[i]->faults) faults.push_back("client " + std::to_string(i + 1) + ", " + f);
    for (size_t ch = 0; ch < ptys.size(); ++ch) {
      if (clients[i]->Seen(ch) == 0) {
        faults.push_back("client " + std::to_string(i + 1) + ", channel " + std::to_string(ch) + ": no frame published");
      } else if (clients[i]->Last(ch) != writer.Written(ch) - 1) {
        faults.push_back("client " + std::to_string(i + 1) + ", channel " + std::to_string(ch) + ": last frame " +
                         std::to_string(writer.Written(ch) - 1) + " never published (last seen " +
                         std::to_string(clients[i]->Last(ch)) + ")");
      }
    }
  }
  for (const std::string& f : faults) std::printf("pipeline fault: %s\n", f.c_str());
  std::printf("pipeline: %s\n", faults.empty() ? "every channel published, in order, only values sent, the last one "
                                                 "of each channel included"
                                               : "BROKEN");
  if (faults.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  } else {
    std::printf("the program folder and the manager's output are kept in %s\n", home.c_str());
  }
  return o.check && !faults.empty() ? 1 : 0;
}

#include "manager_e2e_bench.moc"
