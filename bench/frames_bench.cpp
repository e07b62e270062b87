// Frames per second through the whole interpretation of a serial frame: the
// receive buffer's cut, the status table (20 and 100 rows) and the weight
// formatting, against a baseline that only splits the same bytes at their
// terminators with memchr. The ratio of the two is printed at the end (of the
// medians when run with --benchmark_repetitions).
//
// The wire's upper bound is 32 channels x 213 frames/s at 38400 baud (about
// 7,000 frames/s); the goal is 1,000,000 frames/s per core with 20 rows.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/frames/frame_cutter.h"
#include "engine/frames/frame_values.h"
#include "tools/scale_sim/scale_frames.h"

namespace tarvex {
namespace {

// The sample protocol with its table grown to rows rows by error rows that
// never match, text and bit rows alternating, so every row is visited.
ProtocolDefinition WithRows(int rows) {
  ProtocolDefinition d = sim::DemoProtocol();
  for (int r = d.StatusFirstEmpty; r < rows; ++r) {
    auto& cells = d.StatusData[static_cast<size_t>(r)];
    const bool text = r % 2 == 0;
    cells[0] = DataCell::Text("Fault " + std::to_string(r));
    cells[1] = DataCell::Text("0 / ERROR");
    cells[2] = DataCell::Text(text ? "5" : "4");
    cells[3] = DataCell::Text(text ? "3" : "1");
    cells[4] = DataCell::Text(text ? "zzz" : "90");
    cells[5] = DataCell::Text("X");
  }
  d.StatusFirstEmpty = rows < StatusFileRows ? rows : -1;
  return d;
}

// 1000 frames of a weight that moves, as one recorded stream.
struct Stream {
  std::string bytes;
  std::vector<std::string_view> frames;
};

const Stream& Recorded() {
  static const Stream stream = [] {
    Stream s;
    const sim::ScaleFrameWriter writer(sim::DemoProtocol());
    std::vector<size_t> ends;
    for (int i = 0; i < 1000; ++i) {
      sim::ScaleReading r;
      r.gross = (i % 400) * 1.25 - 100;
      r.netMode = i % 3 == 0;
      r.tare = 20;
      r.motion = i % 5 == 0;
      s.bytes += writer.Frame(r);
      ends.push_back(s.bytes.size());
    }
    size_t from = 0;
    for (size_t end : ends) {
      s.frames.emplace_back(s.bytes.data() + from, end - from);
      from = end;
    }
    return s;
  }();
  return stream;
}

void Baseline(benchmark::State& state) {
  const Stream& s = Recorded();
  size_t i = 0;
  for (auto _ : state) {
    const std::string_view piece = s.frames[i];
    const void* end = std::memchr(piece.data(), '\n', piece.size());
    benchmark::DoNotOptimize(end);
    if (++i == s.frames.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void CutStatusFormat(benchmark::State& state) {
  const Stream& s = Recorded();
  const CheckedProtocol protocol = CheckProtocol(WithRows(static_cast<int>(state.range(0))), 10, {});
  if (protocol.Status.rows.size() != static_cast<size_t>(state.range(0))) state.SkipWithError("rows were dropped");
  FrameCutter cutter(protocol.StreamStartChar, protocol.StreamEndChar, protocol.MaxStreamLength);
  ChannelFormat format;
  std::string frame;
  size_t i = 0;
  for (auto _ : state) {
    cutter.Append(s.frames[i]);
    if (cutter.CutNewest(frame)) {
      // As the scale-data step: the status, whether it is a reading, the values.
      const StatusReading status = ParseStatusData(frame, protocol.Status);
      if (IsReading(frame, status, protocol, true)) {
        FrameValues v = ReadFrameValues(frame, status, protocol, format, "", "KG");
        benchmark::DoNotOptimize(v);
      }
    }
    if (++i == s.frames.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(Baseline);
BENCHMARK(CutStatusFormat)->Arg(20)->Arg(100);

// The console report, then each figure as a share of the baseline's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions the median stands for the benchmark.
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto items = run.counters.find("items_per_second");
      if (items != run.counters.end()) perSecond_[run.run_name.str()] = items->second.value;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double baseline = perSecond_["Baseline"];
    for (const auto& [name, value] : perSecond_) {
      if (name == "Baseline" || baseline <= 0) continue;
      std::printf("%-24s %12.0f frames/s   baseline %12.0f frames/s   ratio %.3f\n", name.c_str(), value, baseline,
                  value / baseline);
    }
  }

private:
  std::map<std::string, double> perSecond_;
};

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tarvex::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
