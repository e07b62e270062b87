#include "platform/speech/speech.h"

namespace tarvex {

void RecordingSpeech::Speak(std::string_view sentence) { sentences_.emplace_back(sentence); }

}  // namespace tarvex
