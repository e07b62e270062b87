#pragma once
// Spoken warnings. A sentence handed to Speak is spoken in the background;
// the call returns at once, reads nothing back and reports no failure: speech
// accompanies a log line and a message box, it never replaces them. Callers
// speak only when the "SPEECH" switch is on.
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class Speech {
public:
  virtual ~Speech() = default;
  // The sentence is ANSI bytes.
  virtual void Speak(std::string_view sentence) = 0;
};

// Says nothing: speech off, or no audio device.
class SilentSpeech final : public Speech {
public:
  void Speak(std::string_view) override {}
};

// Remembers every sentence instead of speaking it, for tests.
class RecordingSpeech final : public Speech {
public:
  void Speak(std::string_view sentence) override;
  const std::vector<std::string>& sentences() const noexcept { return sentences_; }

private:
  std::vector<std::string> sentences_;
};

}  // namespace tarvex
