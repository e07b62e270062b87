#pragma once
// The detail window's weight labels Ld(0) to Ld(2): gross, tare and net text
// of the channel the window shows. The window is created on first use.
#include <string>

namespace tarvex {

class DetailLabels {
public:
  virtual ~DetailLabels() = default;
  // May raise the window's error; the caller decides what else still runs.
  virtual void SetCaption(int label, const std::string& text) = 0;
};

}  // namespace tarvex
