#pragma once
// What the start-up window and the teardown use of the main window frmTVM, and
// what the main window uses of the start-up window. The main window module
// implements MainScreen; the start-up window implements StartupScreen.
#include "core/form.h"
#include "platform/serial/serial_port.h"

namespace tarvex {

namespace MousePointer {
constexpr int Default = 0;
constexpr int Hourglass = 11;
}  // namespace MousePointer

class MainScreen : public Form {
public:
  // The window's mouse pointer: MousePointer::Hourglass or MousePointer::Default.
  virtual void SetMousePointer(int pointer) = 0;
  // Shows the window, not modal, and activates it. The first activation while
  // FirstActivate is True starts the interface and the scan timer and clears
  // FirstActivate.
  virtual void Show() = 0;
  // The serial ports MSComm(0) .. MSComm(31), element ch serving channel ch.
  virtual SerialPortArray& MSComm() = 0;
};

class StartupScreen : public Form {
public:
  // The main window's close hands back to the start-up window: it is shown
  // again with the default pointer and Continue enabled and focused.
  virtual void ReturnFromMainScreen() = 0;
};

// The flag that the launch sets before it shows the main window: the main
// window's first activation runs its interface start while FirstActivate is
// True.
struct ActivationState {
  bool FirstActivate = false;
};

}  // namespace tarvex
