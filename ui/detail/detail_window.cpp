#include "ui/detail/detail_window.h"

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr std::array<const char*, DetailLabel::Count> CaptionTexts = {
    "GROSS:",   "TARE:",    "NET:",     "SCALESTAT:", "CMD:",     "CMDPARM:", "CMDSTAT:",     "ID:",
    "MOTION:",  "ERROR:",   "MODE:",    "STATUS1:",   "UNITS:",   "STATUS2:", "STATUS3:",     "STATUS4:",
    "STATUS5:", "STATUS6:", "STATUS7:", "STATUS8:",   "STATUS9:", "Device Desc:", "RAW:",
};

constexpr std::array<const char*, 32> ControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF", "CR",  "SO", "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS", "GS",  "RS", "US",
};

void CheckLabel(int label, const char* array) { CheckSubscript(label, 0, DetailLabel::Count - 1, array); }

}  // namespace

std::string VisibleControlCharacters(const std::string& frame) {
  std::string shown;
  shown.reserve(frame.size());
  for (const char c : frame) {
    const auto code = static_cast<unsigned char>(c);
    if (code < ControlNames.size()) {
      shown += '<';
      shown += ControlNames[code];
      shown += '>';
    } else if (code == 127) {
      shown += "<DEL>";
    } else {
      shown += c;
    }
  }
  return shown;
}

int CaptionBeside(int label) {
  if (label == 11) return 12;
  if (label == 12) return 11;
  return label;
}

DetailWindow::DetailWindow(const ConfigState& config, OperatorWindowReturn main)
    : config_(config), main_(std::move(main)) {
  for (int i = 0; i < DetailLabel::Count; ++i) {
    controls_.l[static_cast<size_t>(i)] = CaptionTexts[static_cast<size_t>(i)];
    controls_.lVisible[static_cast<size_t>(i)] = true;
  }
}

void DetailWindow::AttachView(DetailView* view) {
  view_ = view;
  render();
}

void DetailWindow::Show() {
  controls_.Visible = true;
  Form_Activate();
}

void DetailWindow::Form_Activate() {
  controls_.Caption = " Tarvex Channel " + std::to_string(main_.values.SelectedChannel + 1) + "  Device Detail...";
  for (auto& value : controls_.Ld) value.clear();
  controls_.lVisible[DetailLabel::Raw] = false;
  controls_.Ld[DetailLabel::DeviceDesc] = config_.Channels[main_.values.SelectedChannel].DeviceDescs;
  render();
}

void DetailWindow::cmdClose_Click() {
  CloseOperatorWindow(main_, [this] {
    controls_.Visible = false;
    render();
  });
}

void DetailWindow::SetCaption(int label, const std::string& text) {
  CheckLabel(label, "Ld");
  controls_.Ld[static_cast<size_t>(label)] = label == DetailLabel::Raw ? VisibleControlCharacters(text) : text;
  render();
}

void DetailWindow::SetCaptionLabelVisible(int label, bool visible) {
  CheckLabel(label, "l");
  controls_.lVisible[static_cast<size_t>(label)] = visible;
  render();
}

void DetailWindow::render() {
  if (view_) view_->Render(controls_);
}

}  // namespace tarvex
