// The espeak-ng backend with real synthesis, in retrieval mode (no device).
#include "platform/speech/espeak_speech.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <mutex>
#include <vector>

namespace tarvex {
namespace {

TEST(EspeakSpeech, aSentenceIsSynthesizedIntoAudioSamplesWithoutBlockingTheCaller) {
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  std::atomic<bool> gateTimedOut{false};
  std::mutex samplesMutex;
  std::vector<int16_t> samples;

  EspeakSpeech speech(EspeakSpeech::Output::Retrieval, [&](const int16_t* data, int count) {
    // The first block waits for the caller: had Speak waited for the
    // synthesis, the gate would still be shut here and time out.
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) gateTimedOut = true;
    std::lock_guard lock(samplesMutex);
    samples.insert(samples.end(), data, data + count);
  });

  speech.Speak("Attention!, A Tarvex error has occured on Channel 2");
  gate.set_value();
  ASSERT_TRUE(speech.WaitUntilIdle(std::chrono::seconds(60)));

  EXPECT_FALSE(gateTimedOut);
  std::lock_guard lock(samplesMutex);
  // Several tenths of a second of speech at the synthesizer's 22 kHz.
  EXPECT_GT(samples.size(), 10000u);
  int loudest = 0;
  for (const int16_t sample : samples) loudest = std::max(loudest, std::abs(int(sample)));
  EXPECT_GT(loudest, 1000) << "the samples are silence";
}

TEST(EspeakSpeech, onlyOneObjectOfTheProcessSpeaks) {
  std::atomic<int> firstBlocks{0};
  std::atomic<int> secondBlocks{0};
  EspeakSpeech first(EspeakSpeech::Output::Retrieval, [&](const int16_t*, int) { ++firstBlocks; });
  {
    EspeakSpeech second(EspeakSpeech::Output::Retrieval,
                        [&](const int16_t*, int) { ++secondBlocks; });
    second.Speak("ignored");
    EXPECT_TRUE(second.WaitUntilIdle(std::chrono::seconds(5)));
  }
  first.Speak("spoken");
  ASSERT_TRUE(first.WaitUntilIdle(std::chrono::seconds(60)));
  EXPECT_GT(firstBlocks.load(), 0);
  EXPECT_EQ(secondBlocks.load(), 0);
}

}  // namespace
}  // namespace tarvex
