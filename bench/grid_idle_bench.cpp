// What the grid timer's idle sleeps (GDIIdle after every row drawn; once per
// tick in the tray) cost the scan: scan passes per second with the scan timer
// and the grid timer running on one thread's event loop, as in the manager,
// against the scan timer alone (the baseline; "ratio" is the scan rate in
// units of the baseline's).
//
// Timers as in the program: precise Qt timers at the system setup's defaults
// (scan every 25 ms with RxIdle 2 ms, grid every 25 ms). A scan tick paces
// itself as the pass does (yield to the event loop, then RxIdle); the rest of
// a pass costs under 50 microseconds (scan_pass_bench). The grid is the real
// one on an offscreen canvas with 32 rows (or 8), no cell waiting to be drawn,
// so the figures are the sleeps' alone.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

constexpr int RxInterval = 25;
constexpr int RxIdle = 2;
constexpr int GDIInterval = 25;

enum class Window { None, Shown, InTray };

struct Rate {
  int64_t passes = 0;
  int64_t gridTicks = 0;
};

// One second of the event loop with the scan timer and, unless None, the grid timer.
Rate RunOneSecond(testing::GridRig& rig, Window window, int gdiIdle) {
  Rate rate;
  QEventLoop loop;
  QTimer scan;
  scan.setTimerType(Qt::PreciseTimer);
  scan.setInterval(RxInterval);
  bool inPass = false;
  QObject::connect(&scan, &QTimer::timeout, [&] {
    if (inPass) return;
    inPass = true;
    QCoreApplication::processEvents();
    QThread::msleep(RxIdle);
    ++rate.passes;
    inPass = false;
  });
  QTimer grid;
  grid.setTimerType(Qt::PreciseTimer);
  grid.setInterval(GDIInterval);
  const auto sleep = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
  QObject::connect(&grid, &QTimer::timeout, [&] {
    rig.display->GDITimer_Timer(window == Window::InTray, gdiIdle, sleep);
    ++rate.gridTicks;
  });
  QTimer::singleShot(1000, &loop, &QEventLoop::quit);
  scan.start();
  if (window != Window::None) grid.start();
  loop.exec();
  return rate;
}

double BaselinePassesPerSecond() {
  static const double baseline = [] {
    testing::GridRig rig({1024, 31, true, false});
    return static_cast<double>(RunOneSecond(rig, Window::None, 0).passes);
  }();
  return baseline;
}

void Measure(benchmark::State& state, Window window, int gdiIdle, int maxChannel) {
  testing::GridRig rig({maxChannel == 31 ? 1024 : 800, maxChannel, true, false});
  rig.display->CreateGDIDisplay();
  rig.grid.Painted = true;
  const double baseline = BaselinePassesPerSecond();
  Rate total;
  for (auto _ : state) {
    const Rate rate = RunOneSecond(rig, window, gdiIdle);
    total.passes += rate.passes;
    total.gridTicks += rate.gridTicks;
  }
  const double seconds = static_cast<double>(state.iterations());
  state.counters["passes/s"] = static_cast<double>(total.passes) / seconds;
  state.counters["grid ticks/s"] = static_cast<double>(total.gridTicks) / seconds;
  state.counters["baseline passes/s"] = baseline;
  state.counters["ratio"] = static_cast<double>(total.passes) / seconds / baseline;
}

void ScanAlone(benchmark::State& state) { Measure(state, Window::None, 0, 31); }
void Shown32RowsIdle1(benchmark::State& state) { Measure(state, Window::Shown, 1, 31); }
void Shown32RowsIdle0(benchmark::State& state) { Measure(state, Window::Shown, 0, 31); }
void Shown8RowsIdle1(benchmark::State& state) { Measure(state, Window::Shown, 1, 7); }
void InTrayIdle1(benchmark::State& state) { Measure(state, Window::InTray, 1, 31); }

BENCHMARK(ScanAlone)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Shown32RowsIdle1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Shown32RowsIdle0)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Shown8RowsIdle1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(InTrayIdle1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
  tarvex::testing::EnsureGuiApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
