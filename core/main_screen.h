#pragma once
// The main window frmTVM as the start-up window and the teardown see it. The
// main window module implements it.
#include "core/form.h"
#include "core/mouse_pointer.h"
#include "platform/serial/serial_port.h"

namespace tarvex {

class MainScreen : public Form {
public:
  // The window's mouse pointer: MousePointer::Hourglass or MousePointer::Default.
  virtual void SetMousePointer(int pointer) = 0;
  // Shows the window, not modal, and activates it. The first activation while
  // FirstActivate is True starts the interface and the scan timer and clears
  // FirstActivate.
  virtual void Show() = 0;
  // Ends the window's run as End does (the scan stopped, ports and
  // connections closed, the window hidden); for a launch that failed after
  // the window's load had started it.
  virtual void Stop() = 0;
  // The serial ports MSComm(0) .. MSComm(31), element ch serving channel ch.
  virtual SerialPortArray& MSComm() = 0;
};

}  // namespace tarvex
