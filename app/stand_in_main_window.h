#pragma once
// A stand-in for the main window until its own module exists: it counts its
// loads, takes the first activation the way the main window does, has no
// serial port open, and its End button hands back to the start-up window.
#include <QLabel>
#include <QWidget>

#include "core/form_references.h"
#include "core/activation_state.h"
#include "core/main_screen.h"

namespace tarvex {

class StandInMainWindow final : public QWidget, public MainScreen {
public:
  StandInMainWindow(const ProgramFolder& folder, FormReferences& references, ActivationState& activation);

  std::string Name() const override { return "frmTVM"; }
  void Form_Load() override;
  void SetMousePointer(int pointer) override;
  void Show() override;
  SerialPortArray& MSComm() override { return ports_; }

  int loadCount() const noexcept { return loads_; }

private:
  void CloseTVMWindow();
  void showCount();

  FormReferences& references_;
  ActivationState& activation_;
  SerialPortArray ports_;
  QLabel* count_;
  int loads_ = 0;
};

}  // namespace tarvex
