#pragma once
// Speech through the espeak-ng synthesizer.
//
// The synthesizer blocks while it speaks and keeps process-wide state, so all
// of its work runs on one worker thread of this object: Speak only queues the
// sentence and returns. The worker starts the synthesizer on first use, so
// constructing costs nothing on the user-interface thread either.
//
// Policy: the queue holds at most 16 sentences; further ones are dropped
// (a warning repeated that often adds nothing). Without an audio device, or
// when the synthesizer cannot start, sentences are dropped silently. Only one
// object per process may use the synthesizer; a second one stays silent.
// Destruction drops what is queued and waits for the sentence being spoken.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/speech/speech.h"

namespace tarvex {

class EspeakSpeech final : public Speech {
public:
  enum class Output {
    Playback,   // to the default audio device
    Retrieval,  // samples to the sink, no device needed
  };
  // Receives 16-bit mono samples on the worker thread (Retrieval only).
  using SampleSink = std::function<void(const int16_t* samples, int count)>;

  explicit EspeakSpeech(Output output = Output::Playback, SampleSink sink = {});
  ~EspeakSpeech() override;
  EspeakSpeech(const EspeakSpeech&) = delete;
  EspeakSpeech& operator=(const EspeakSpeech&) = delete;

  void Speak(std::string_view sentence) override;

  // Waits, at most `bound`, until every queued sentence was spoken; true when
  // that happened in time.
  bool WaitUntilIdle(std::chrono::milliseconds bound);

  // Whether the playback device seems to exist: an ALSA sound card or a
  // sound server socket of the session.
  static bool AudioDeviceExists();

private:
  void Run();
  bool Start();

  const Output output_;
  const SampleSink sink_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::string> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  bool ownsSynthesizer_ = false;
  std::thread worker_;
};

// The program's speech: espeak-ng playback when speech is on and an audio
// device exists, otherwise silence.
std::unique_ptr<Speech> MakeSpeech(bool speechEnabled);

}  // namespace tarvex
