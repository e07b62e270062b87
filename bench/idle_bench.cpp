// idle_bench: what the manager costs doing nothing, against a bare Qt
// program that does only what the manager's timers must do.
//
// The manager (build/bin/tarvex) runs on a private session bus and a fresh
// program folder: no channel enabled, so its window stays shown. Its CPU
// time (user + system, from /proc/<pid>/stat) is taken over a fixed number
// of seconds after a settling time. "In the tray" is reached as an operator
// reaches it: on an X screen with a window manager (openbox) a click on the
// window's tray button; on the offscreen platform, where nothing can be
// clicked, by the automatic start of a folder whose one channel is enabled
// on a pseudo-terminal that never sends anything.
//
// Baseline, in the same run, on the same platform and display: this program
// with --bare, a Qt Widgets program with the manager's three precise timers
// at the system setup's defaults and their sleeps (scan every 25 ms: a yield
// to the event loop, then RxIdle 2 ms; transmit every 15 ms: nothing; grid
// every 25 ms: GDIIdle 1 ms after each of 32 rows while shown, once in the
// tray), with a window of the main window's size shown and painted once, or
// none. Cases are run in turn, each repetition once through all of them, so a
// busy machine weighs on all alike; the figures are medians.
//
//   idle_bench --bin DIR [--before DIR] [--seconds S] [--settle S] [--repeat N]
//              [--platform offscreen|x|both] [--cases LIST]
//   --bin DIR       folder of tarvex and scale-sim (required)
//   --before DIR    another build's folder: its manager is measured too, case
//                   by case beside this one's
//   --seconds S     measured seconds per case, default 10
//   --settle S      seconds before measuring, default 3
//   --repeat N      repetitions, default 3
//   --platform P    offscreen, x (an Xvfb screen of 1920 x 1200) or both
//                   (default)
//   --bare shown|hidden   (internal) run the bare baseline program
//
// Every child (bus, Xvfb, openbox, manager, baseline) ends with the program,
// on every exit. Timing never decides the exit status.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/child_processes.h"
#include "bench/option_reader.h"

const char* const bench::ProgramName = "idle_bench";

namespace {

using namespace bench;

// ---- the bare baseline ------------------------------------------------------

constexpr int RxInterval = 25, RxIdle = 2, TxInterval = 15, GDIInterval = 25, GDIIdle = 1, Rows = 32;

int RunBare(int argc, char** argv, bool shown) {
  QApplication app(argc, argv);
  // The main window's size on a screen of 1024 pixels or more.
  QWidget window;
  window.setFixedSize(1015, 740);
  window.setAttribute(Qt::WA_OpaquePaintEvent);
  QImage picture(window.size(), QImage::Format_RGB32);
  picture.fill(Qt::lightGray);
  struct Painter : QObject {
    QImage* picture;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() != QEvent::Paint) return false;
      QPainter(static_cast<QWidget*>(watched)).drawImage(0, 0, *picture);
      return true;
    }
  } painter;
  painter.picture = &picture;
  window.installEventFilter(&painter);
  if (shown) window.show();

  const auto precise = [](QTimer& timer, int interval) {
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(interval);
    timer.start();
  };
  QTimer scan, transmit, grid;
  bool inPass = false;
  QObject::connect(&scan, &QTimer::timeout, [&] {
    if (inPass) return;
    inPass = true;
    QCoreApplication::processEvents();
    QThread::msleep(RxIdle);
    inPass = false;
  });
  QObject::connect(&transmit, &QTimer::timeout, [] {});
  QObject::connect(&grid, &QTimer::timeout, [&] {
    for (int row = 0; row < (shown ? Rows : 1); ++row) QThread::msleep(GDIIdle);
  });
  precise(scan, RxInterval);
  precise(transmit, TxInterval);
  precise(grid, GDIInterval);
  return app.exec();
}

// Runs a shell command and returns its output.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

bool WaitFor(int tenths, const std::function<bool()>& done) {
  for (int i = 0; i < tenths; ++i) {
    if (done()) return true;
    PauseMs(100);
  }
  return done();
}

// ---- the cases --------------------------------------------------------------

struct Options {
  std::string bin, before;
  double seconds = 10, settle = 3;
  int repeat = 3;
  std::string platform = "both";
};

struct Target {
  std::string platform;  // offscreen or x
  std::string name;      // ":N" on x
  std::vector<std::string> Env() const {
    if (platform == "offscreen") return {"QT_QPA_PLATFORM=offscreen"};
    return {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + name};
  }
};

struct Case {
  std::string legend;
  std::string program;  // "bare" or a folder with tarvex
  bool tray;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) Fail("cannot write " + path);
}

// A pseudo-terminal that never sends: held open by its master side.
struct QuietPty {
  int master = -1;
  std::string path;
  QuietPty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) Fail("no pseudo-terminal");
    path = ptsname(master);
  }
};

// A folder whose channel 1 is enabled on the quiet pty, with the sample
// protocol: the automatic start puts the window in the tray at once.
void MakeQuietChannelFolder(const std::string& home, const std::string& bin, const QuietPty& pty) {
  const pid_t sim = Spawn({bin + "/scale-sim", "--write-demo-protocol", home + "/Tarvex-Std-CustFmt1.Cfg"}, {});
  int status = 0;
  waitpid(sim, &status, 0);
  Forget(sim);
  if (status != 0) Fail("scale-sim --write-demo-protocol failed");
  WriteFile(home + "/Tarvex-SCALE1.Cfg",
            "10,0,0,33,#FALSE#,\"\",\"Quiet Scale 1\",0,\"\",\"\",\"OPC.DELTAV.1\",\"" + home +
                "/WtData-SCALE1.Txt\",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,30,12,"
                "50,\"\",\"\",\"\",\"\",\"\",\"\",\"\",1,0,#FALSE#\r\n");
  WriteFile(home + "/TarvexPorts.Cfg", "1,\"" + pty.path + "\"\r\n");
}

std::string ActivityLog(const std::string& home) {
  std::ifstream in(home + "/ActiveLog-Velmar Orinda Tarvex.txt", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Clicks the main window's tray button through XTest (the helper of the
// window tests), as an operator would.
bool ClickTrayButton(const Target& display) {
  const std::string env = "DISPLAY=" + display.name + " ";
  const std::string info = Output(env + "xwininfo -name 'Tarvex Manager - Channels' 2>/dev/null");
  const auto field = [&](const std::string& name) {
    const size_t at = info.find(name);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
  };
  const int x = field("Absolute upper-left X:"), y = field("Absolute upper-left Y:"), width = field("Width:");
  if (x < 0 || y < 0 || width <= 0) return false;
  // The tray button sits left of End in the window's top right corner.
  const std::string click = env + "python3 '" TARVEX_SOURCE_DIR "/tests/support/x_click.py' " +
                            std::to_string(x + width - 44) + " " + std::to_string(y + 16);
  return std::system(click.c_str()) == 0;
}

// One measurement: the case's program started, settled, measured, ended.
double Measure(const Case& c, const Target& display, const std::string& bus, const Options& o) {
  char scratch[] = "/tmp/tarvex-idle-XXXXXX";
  if (!mkdtemp(scratch)) Fail("no scratch folder");
  const std::string home = scratch;
  std::vector<std::string> env = display.Env();
  env.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus);
  env.push_back("XDG_RUNTIME_DIR=" + home);
  env.push_back("TARVEX_HOME=" + home);
  pid_t pid = 0;
  QuietPty pty;
  if (c.program == "bare") {
    // Forked, the child's /proc/self/exe is this program.
    pid = Spawn({"/proc/self/exe", "--bare", c.tray ? "hidden" : "shown"}, env, -1, home + "/out");
  } else {
    if (c.tray && display.platform == "offscreen") MakeQuietChannelFolder(home, o.bin, pty);
    pid = Spawn({c.program + "/tarvex"}, env, -1, home + "/out");
    const bool started = WaitFor(300, [&] {
      return ActivityLog(home).find("Tarvex Manager Initialized") != std::string::npos;
    });
    if (!started) Fail(c.legend + ": the manager did not start (its output: " + home + "/out)");
    if (c.tray && display.platform == "x") {
      WaitFor(50, [&] { return ClickTrayButton(display); });
    }
    if (c.tray && !WaitFor(100, [&] { return ActivityLog(home).find("Tarvex Manager Minimized") != std::string::npos; })) {
      Fail(c.legend + ": the manager did not go to the tray (" + home + ")");
    }
  }
  PauseMs(static_cast<int>(o.settle * 1000));
  const int64_t t0 = NowNs();
  const double cpu0 = CpuSeconds(pid);
  PauseMs(static_cast<int>(o.seconds * 1000));
  const double cpu1 = CpuSeconds(pid);
  const int64_t t1 = NowNs();
  if (cpu0 < 0 || cpu1 < 0) Fail(c.legend + ": the program ended while measured (" + home + "/out)");
  EndChild(pid);
  close(pty.master);
  std::filesystem::remove_all(home);
  return (cpu1 - cpu0) / (static_cast<double>(t1 - t0) / 1e9) * 100.0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (OptionReader r(argc, argv, "bench/idle_bench.cpp"); r.Next();) {
    if (r.Is("--bin")) o.bin = r.Value();
    else if (r.Is("--before")) o.before = r.Value();
    else if (r.Is("--seconds")) o.seconds = r.Number();
    else if (r.Is("--settle")) o.settle = r.Number();
    else if (r.Is("--repeat")) o.repeat = r.Integer();
    else if (r.Is("--platform")) o.platform = r.Value();
    else r.Unknown();
  }
  if (o.bin.empty()) Fail("--bin is required");
  if (o.platform != "offscreen" && o.platform != "x" && o.platform != "both") Fail("--platform is offscreen, x or both");
  if (o.repeat < 1 || o.seconds <= 0) Fail("--repeat and --seconds must be positive");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return RunBare(argc, argv, std::strcmp(argv[2], "shown") == 0);
  signal(SIGPIPE, SIG_IGN);
  bench::EndChildrenOnEveryExit();
  setvbuf(stdout, nullptr, _IOLBF, 0);
  const Options o = ParseOptions(argc, argv);

  std::vector<std::string> platforms;
  if (o.platform != "x") platforms.push_back("offscreen");
  if (o.platform != "offscreen") platforms.push_back("x");
  std::printf("idle_bench: %d repetitions of %.0f s (after %.0f s settling) per case; load average %s",
              o.repeat, o.seconds, o.settle, Output("cut -d' ' -f1-3 /proc/loadavg").c_str());

  const std::string bus = SpawnAndReadLine({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"});
  for (const std::string& platform : platforms) {
    Target display{platform, ""};
    if (platform == "x") {
      display.name = ":" + SpawnAndReadLine({"Xvfb", "-displayfd", "3", "-screen", "0", "1920x1200x24", "-nolisten", "tcp"});
      Spawn({"openbox"}, {"DISPLAY=" + display.name});
      PauseMs(1000);
    }
    std::vector<Case> cases = {{"bare Qt, window shown", "bare", false}, {"bare Qt, no window", "bare", true}};
    for (const auto& [folder, name] : {std::pair{o.bin, std::string("manager")}, std::pair{o.before, std::string("before")}}) {
      if (folder.empty()) continue;
      cases.push_back({name + ", window shown", folder, false});
      cases.push_back({name + ", in the tray", folder, true});
    }
    std::map<std::string, std::vector<double>> figures;
    for (int rep = 0; rep < o.repeat; ++rep) {
      for (const Case& c : cases) {
        const double share = Measure(c, display, bus, o);
        figures[c.legend].push_back(share);
        std::printf("  %s, %s, repetition %d: %.2f %%\n", platform.c_str(), c.legend.c_str(), rep + 1, share);
      }
    }
    std::printf("\n%s (%s): CPU in %% of one core, median of %d (min - max)\n", platform.c_str(),
                platform == "x" ? "Xvfb 1920x1200 with openbox" : "QT_QPA_PLATFORM=offscreen", o.repeat);
    for (const Case& c : cases) {
      const auto& v = figures[c.legend];
      const double median = Median(v);
      const double bare = Median(figures[c.tray ? "bare Qt, no window" : "bare Qt, window shown"]);
      std::printf("  %-28s %6.2f %%  (%.2f - %.2f)", c.legend.c_str(), median, *std::min_element(v.begin(), v.end()),
                  *std::max_element(v.begin(), v.end()));
      if (c.program != "bare") std::printf("  %.1fx the bare baseline", bare > 0 ? median / bare : 0.0);
      std::printf("\n");
    }
    if (platform == "x") {
      // openbox and Xvfb, in the order started
      EndChild(children[childCount - 1]);
      EndChild(children[childCount - 1]);
    }
  }
  EndChildren();
  return 0;
}
