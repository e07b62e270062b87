#pragma once
// A database request channel on a pseudo-terminal, served by the scan pass
// with the real database request step and drained by the real transmit timer:
// the test talks to the channel at the pty's far end and reads the bytes that
// leave. The scan's error handling is stood in for by a handler that traces
// the error and queues the device's error reply, as the channel's handler
// does. Everything else traces into the engine fixture's one trace.
#include <QCoreApplication>
#include <QDateTime>
#include <string>

#include "engine/database/serial_db_request_step.h"
#include "engine/errors/scan_error_table.h"
#include "engine/transmit/transmit_timer.h"
#include "tests/support/engine_fixture.h"

namespace tarvex {

inline QCoreApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "serial_db_step_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
  return application;
}

class QueueingErrorReply final : public ScanErrorHandler {
public:
  QueueingErrorReply(Trace& trace, EngineState& engine) : trace_(trace), engine_(engine) {}
  void HandleScanError(int32_t ch, const RunTimeError& error) noexcept override {
    trace_.push_back("error " + std::to_string(ch) + " " + std::to_string(error.number()));
    engine_.TxBuffer[ch].Append(SerialErrorReply());
  }

private:
  Trace& trace_;
  EngineState& engine_;
};

class RecordingRateLabel final : public TransmitRateLabel {
public:
  explicit RecordingRateLabel(Trace& trace) : trace_(trace) {}
  void ShowTransmitRate(int32_t rate) override { trace_.push_back("lScan2 " + std::to_string(rate)); }

private:
  Trace& trace_;
};

// Channel 0 is a database request channel (protocol 0, serial) on port 1,
// which is the device side of `pty`; the other channels are inactive.
struct SerialDBFixture : EngineFixture {
  static constexpr int32_t Interval = 15;

  explicit SerialDBFixture(int32_t DBDriver = kSqliteDriver, int32_t TxDelay = 12) {
    TestApplication();
    engine.DevicesInitialized = true;
    ChannelSetup& channel = config.Channels[0];
    channel.ChannelProtocol = 0;
    channel.ConnectUsing = ConnectionType::PcSerialPort;
    channel.DBDriver = DBDriver;
    channel.TxDelay = TxDelay;
    channel.DeviceEnabled = true;
    engine.ChannelActive[0] = true;
    scratch.MapPorts({{1, pty.path()}});
    ports[0].SetCommPort(1);
    ports[0].SetPortOpen(true);
    steps.during["serial db"] = [this](int32_t ch) { step.Serve(ch); };
  }

  ScanSurroundings Own() {
    return ScanSurroundings{engine, config, startup, setup,  publication, window, grid,       publisher,
                        dde,    handshake, icons, cfg,   log,         speech, ports,      net,
                        opc,    clock,  pacing,  mainWindow, steps,    errorReply};
  }

  // Sends bytes from the device and waits until the port holds them.
  void DeviceSends(const std::string& bytes) {
    const int32_t before = ports[0].InBufferCount();
    ASSERT_TRUE(pty.Send(bytes));
    ASSERT_TRUE(testing::WaitUntil(
        [&] { return ports[0].InBufferCount() >= before + static_cast<int32_t>(bytes.size()); }));
  }
  // Ticks the transmit timer until channel 0's buffer is empty (at most
  // `limit` ticks), then reads what the device received.
  std::string Transmitted(size_t expectedSize, int limit = 10000) {
    for (int i = 0; i < limit && !engine.TxBuffer[0].empty(); ++i) timer.TxTimer_Timer(Interval);
    return pty.Receive(expectedSize);
  }

  PtyPair pty;
  QueueingErrorReply errorReply{trace, engine};
  RecordingRateLabel lScan2{trace};
  FixedClock replyClock{QDateTime(QDate(2026, 12, 9), QTime(14, 5, 3))};
  DatabaseWorkspace workspace;
  SerialDBRequestStep step{Own(), workspace, replyClock};
  ScanPass dbPass{Own()};
  TransmitTimer timer{Own(), lScan2};
};

}  // namespace tarvex
