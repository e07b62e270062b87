#pragma once
// The device detail window frmDetail: one channel's latest values as plain
// text, a value label Ld(i) beside each caption label l(i). The publication
// and the scan write the values while the channel's DetailOpen is set; each
// activation empties them, so the window shows only what was published since
// (the Detail button forces a fresh publication).
//
// What it must cope with: values are outside bytes (a scale's raw frame, a
// status text, a description from a file) and are shown literally, never as
// markup; a label index outside 0..22 raises error 9 naming the label array.
#include <array>
#include <string>

#include "config/config_state.h"
#include "core/form.h"
#include "publish/detail_labels.h"
#include "ui/detail/operator_window_close.h"

namespace tarvex {

struct DetailControls {
  bool Visible = false;
  std::string Caption;
  std::array<std::string, DetailLabel::Count> l;  // caption labels
  std::array<bool, DetailLabel::Count> lVisible{};
  std::array<std::string, DetailLabel::Count> Ld;  // value labels

  bool operator==(const DetailControls&) const = default;
};

// The caption label that sits beside Ld(label): the form swaps l(11) and
// l(12), so "UNITS:" (l(12)) stands beside Ld(11) and "STATUS1:" (l(11))
// beside Ld(12).
int CaptionBeside(int label);

// A raw frame as the RAW label shows it: each control character (0 to 31 and
// 127) by its name in angle brackets ("<STX>", "<CR>", "<LF>"), so that the
// terminator does not break the line and STX is not an empty box; every
// other byte as it is.
std::string VisibleControlCharacters(const std::string& frame);

class DetailView {
public:
  virtual ~DetailView() = default;
  virtual void Render(const DetailControls& controls) = 0;
};

class DetailWindow final : public Form, public DetailLabels {
public:
  DetailWindow(const ConfigState& config, OperatorWindowReturn main);

  // The widget that shows the window; none before it is created.
  void AttachView(DetailView* view);

  std::string Name() const override { return "frmDetail"; }
  // Shown by the main window's Detail button: the window becomes the active
  // one, which runs its activation.
  void Show();
  // Every time the window becomes the active one: caption, values emptied,
  // "RAW:" hidden, the channel's description.
  void Form_Activate();
  void cmdClose_Click();

  // DetailLabels.
  void SetCaption(int label, const std::string& text) override;
  void SetCaptionLabelVisible(int label, bool visible) override;

  const DetailControls& Controls() const noexcept { return controls_; }

private:
  void render();

  const ConfigState& config_;
  OperatorWindowReturn main_;
  DetailView* view_ = nullptr;
  DetailControls controls_;
};

}  // namespace tarvex
