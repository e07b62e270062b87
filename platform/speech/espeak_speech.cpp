#include "platform/speech/espeak_speech.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace tarvex {
namespace {

constexpr size_t QueueLimit = 16;

// The synthesizer's state is process-wide: one owner at a time.
std::atomic<bool> synthesizerTaken{false};
// The sink of the owner, for the synthesizer's plain-function callback.
const EspeakSpeech::SampleSink* activeSink = nullptr;

int OnSamples(short* samples, int count, espeak_EVENT*) {
  if (activeSink && *activeSink && samples && count > 0) (*activeSink)(samples, count);
  return 0;  // go on synthesizing
}

// Sentences are Latin-1 bytes; the synthesizer is given UTF-8.
std::string Utf8FromLatin1(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

}  // namespace

EspeakSpeech::EspeakSpeech(Output output, SampleSink sink)
    : output_(output), sink_(std::move(sink)) {
  ownsSynthesizer_ = !synthesizerTaken.exchange(true);
  if (ownsSynthesizer_) worker_ = std::thread(&EspeakSpeech::Run, this);
}

EspeakSpeech::~EspeakSpeech() {
  if (!ownsSynthesizer_) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  worker_.join();
  synthesizerTaken = false;
}

void EspeakSpeech::Speak(std::string_view sentence) {
  if (!ownsSynthesizer_) return;
  {
    std::lock_guard lock(mutex_);
    if (queue_.size() >= QueueLimit) return;
    queue_.emplace_back(sentence);
  }
  wake_.notify_one();
}

bool EspeakSpeech::WaitUntilIdle(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, bound, [this] { return queue_.empty() && !busy_; });
}

bool EspeakSpeech::AudioDeviceExists() {
  std::error_code ignored;
  if (std::filesystem::exists("/dev/snd", ignored)) {
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", ignored)) {
      if (entry.path().filename().string().rfind("pcm", 0) == 0) return true;
    }
  }
  if (const char* server = std::getenv("PULSE_SERVER"); server && *server) return true;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    const std::filesystem::path folder(runtime);
    if (std::filesystem::exists(folder / "pulse" / "native", ignored) ||
        std::filesystem::exists(folder / "pipewire-0", ignored)) {
      return true;
    }
  }
  return false;
}

bool EspeakSpeech::Start() {
  if (output_ == Output::Playback && !AudioDeviceExists()) return false;
  espeak_ng_InitializePath(nullptr);
  espeak_ng_ERROR_CONTEXT context = nullptr;
  const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
  espeak_ng_ClearErrorContext(&context);
  if (status != ENS_OK) return false;
  const auto mode = output_ == Output::Playback
                        ? espeak_ng_OUTPUT_MODE(ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO)
                        : ENOUTPUT_MODE_SYNCHRONOUS;
  if (espeak_ng_InitializeOutput(mode, 0, nullptr) != ENS_OK) {
    espeak_ng_Terminate();
    return false;
  }
  if (espeak_ng_SetVoiceByName("en") != ENS_OK) {
    espeak_ng_Terminate();
    return false;
  }
  activeSink = &sink_;
  espeak_SetSynthCallback(&OnSamples);
  return true;
}

void EspeakSpeech::Run() {
  bool started = false;
  bool tried = false;
  while (true) {
    std::string sentence;
    {
      std::unique_lock lock(mutex_);
      busy_ = false;
      idle_.notify_all();
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) break;
      sentence = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
    }
    if (!tried) {
      tried = true;
      started = Start();
    }
    if (started) {
      const std::string text = Utf8FromLatin1(sentence);
      espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                           espeakCHARS_UTF8, nullptr, nullptr);
      espeak_ng_Synchronize();
    }
  }
  if (started) {
    espeak_ng_Terminate();
    activeSink = nullptr;
  }
  std::lock_guard lock(mutex_);
  busy_ = false;
  idle_.notify_all();
}

std::unique_ptr<Speech> MakeSpeech(bool speechEnabled) {
  if (!speechEnabled || !EspeakSpeech::AudioDeviceExists()) return std::make_unique<SilentSpeech>();
  return std::make_unique<EspeakSpeech>();
}

}  // namespace tarvex
