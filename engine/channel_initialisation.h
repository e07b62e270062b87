#pragma once
// Channel initialisation: the first pass's loading of every protocol and
// channel, and the step for an inactive channel (re-initialisation of the
// channel the setup dialog handed back, blanking of the weight cells). The
// pending terminal re-registration is made by the pass before any channel
// (engine/terminal/terminal_registration.h).
//
// What it must cope with: a channel's settings may name a port that does not
// exist, is busy or cannot be opened by this user; a terminal registration may
// fail; a channel or protocol file may be damaged. Policy: each channel stands
// alone. A channel that raises an error while it is initialised is marked
// failed ("Initialization Error...", its error lamp lit), the error is handed
// once to the scan error handler, and the next channel follows; the first pass
// still completes, so the other channels are served from the next pass on. A
// port that is missing or busy (the handler's port errors) or exists but
// cannot be opened (no permission, I/O error: it reads back as not open)
// disables the channel in memory only; its channel file stays as the operator
// wrote it, for the device may be back by the next start or hand-back. The
// error log names the device and the system's reason in every case. A
// channel taken out of service here shows the off-line bit on the bus.
//
// Every (re)opened serial channel starts with empty receive and transmit
// buffers, so bytes of an earlier protocol are never parsed with the new one.
#include <cstdint>

#include "engine/scan_surroundings.h"

namespace tarvex {

class ChannelInitialisation {
public:
  explicit ChannelInitialisation(ScanSurroundings& services) : s_(services) {}

  // Loads protocols 0 to 41, initialises channels 0 to MaxChannel, sets
  // DevicesInitialized and the main window's default pointer.
  void FirstPass();
  // For a channel the pass found inactive.
  void InactiveChannel(int32_t ch);

  // The text spoken when a channel's port does not open, and when its
  // terminal registration fails (n = ch + 1).
  static std::string PortMessage(int32_t ch);
  static std::string NetworkMessage(int32_t ch);

private:
  enum class Occasion { FirstPass, Reinit };

  void InitialiseChannel(int32_t ch);
  void Reinitialise(int32_t ch);
  void ResetDisplay(int32_t ch);
  void ConnectOPC(int32_t ch, Occasion occasion);
  void OpenSerialPort(int32_t ch, Occasion occasion);
  void RegisterTerminal(int32_t ch, Occasion occasion);
  void ConnectByType(int32_t ch, Occasion occasion);
  // The loaded definition of protocol p in the frame step's checked form;
  // its faults go to the error log.
  void CheckLoadedProtocol(int32_t p);
  void SetPrimaryUnitsText(int32_t ch);
  void ResetPublicationMemory(int32_t ch);
  void MarkFailed(int32_t ch);
  void SetStatus(int32_t ch, const std::string& text);
  void SetLamp(int32_t ch, int lamp, bool on);
  void Speak(const std::string& text);
  // Runs one channel's initialisation; an error marks it failed and goes to
  // the handler once.
  template <typename Step>
  void Guarded(int32_t ch, Step&& step);

  ScanSurroundings& s_;
};

}  // namespace tarvex
