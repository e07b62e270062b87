// Operation 7, run when OK writes the channel, opens a serial port only for a
// channel on a PC serial port; the other connections still get the settings.
#include <gtest/gtest.h>

#include <QDateTime>

#include "config/serial_port_operations.h"
#include "core/fixed_tables.h"
#include "tests/support/config_fixture.h"
#include "tests/support/pty_pair.h"

namespace tarvex {
namespace {

TEST(OpenPortTest, onlyAChannelOnAPcSerialPortGetsItsPortOpened) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  testing::ScratchFolder scratch;
  scratch.MapPorts({{4, pty.path()}});
  FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};
  test::RecordingLog log{scratch.folder(), clock};
  RecordingMessageBox boxes;
  RecordingSpeech speech;
  StartupState startup;
  InitCommSettings(startup.Tables);
  ConfigState config;
  SerialPortArray ports{scratch.folder()};
  SerialPortOperations operations{config, startup, ports, log, boxes, speech};

  const struct {
    int32_t connection;
    bool opened;
  } rows[] = {{ConnectionType::ArcNet, false}, {ConnectionType::Other, false}, {ConnectionType::PcSerialPort, true}};
  int channel = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.connection);
    ChannelSetup& setup = config.Channels[channel];
    setup.ConnectUsing = row.connection;
    setup.ComPortIndex = 3;
    setup.PortSettingsIndex = 24;  // "4800,N,8,1"
    setup.DeviceEnabled = true;
    operations.OpenPort(channel);
    EXPECT_EQ(ports[channel].PortOpen(), row.opened);
    EXPECT_EQ(ports[channel].CommPort(), 4);
    EXPECT_EQ(ports[channel].Settings(), "4800,N,8,1");
    EXPECT_TRUE(setup.DeviceEnabled);
    ++channel;
  }
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace tarvex
