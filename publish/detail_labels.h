#pragma once
// The detail window's labels as the publication and the scan write them: the
// value labels Ld(0) to Ld(22) and the caption label l(22) ("RAW:") that the
// raw-frame display makes visible. Writers reach them only while the
// channel's DetailOpen is set; the window is created on first use.
#include <string>

namespace tarvex {

// The value labels by what they show.
namespace DetailLabel {
constexpr int Gross = 0;
constexpr int Tare = 1;
constexpr int Net = 2;
constexpr int ScaleStat = 3;
constexpr int Error = 9;
constexpr int DeviceDesc = 21;
constexpr int Raw = 22;
constexpr int Count = 23;
}  // namespace DetailLabel

class DetailLabels {
public:
  virtual ~DetailLabels() = default;
  // Ld(label) shows text. May raise the window's error; the caller decides
  // what else still runs.
  virtual void SetCaption(int label, const std::string& text) = 0;
  // Shows or hides the caption label l(label) beside the value.
  virtual void SetCaptionLabelVisible(int label, bool visible) = 0;
};

}  // namespace tarvex
