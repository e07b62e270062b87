// What one paced character costs the transmit timer, by how much waits behind
// it: the transmit queue against a text erased from its front (the baseline,
// whose cost grows with what waits). Goal: the queue's cost per character the
// same for 1 KiB and for the full 64 KiB.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/transmit/transmit_queue.h"

namespace {

using tarvex::TransmitQueue;

void TransmitQueueCharacter(benchmark::State& state) {
  const std::string reply(static_cast<size_t>(state.range(0)), 'x');
  TransmitQueue queue;
  for (auto _ : state) {
    if (queue.empty()) {
      state.PauseTiming();
      queue = reply;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(queue.Front(1).data());
    queue.Drop(1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TransmitQueueCharacter)->Arg(1024)->Arg(TransmitQueue::Limit);

void ErasedTextCharacter(benchmark::State& state) {
  const std::string reply(static_cast<size_t>(state.range(0)), 'x');
  std::string waiting;
  for (auto _ : state) {
    if (waiting.empty()) {
      state.PauseTiming();
      waiting = reply;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(waiting.data());
    waiting.erase(0, 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ErasedTextCharacter)->Arg(1024)->Arg(TransmitQueue::Limit);

}  // namespace

BENCHMARK_MAIN();
