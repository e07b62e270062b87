// Messages that point at the fault: the port, its device and the system's
// reason for a port that cannot be opened; the reason a lock file cannot be
// made; the port map found whatever its letter case.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/config_state.h"
#include "config/serial_port_operations.h"
#include "core/fixed_tables.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"
#include "tests/support/file_bytes.h"
#include "platform/serial/serial_port.h"
#include "platform/speech/speech.h"
#include "tests/support/pty_pair.h"

namespace tarvex {
namespace {

using hardening::ReadAll;
using hardening::WriteAll;

// Opens channel 1 (index 0) on port 4 in a folder of its own.
class PortMessageTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    InitCommSettings(startup.Tables);
    ChannelSetup& setup = config.Channels[0];
    setup.ComPortIndex = 3;
    setup.PortSettingsIndex = 33;
    setup.DeviceEnabled = true;
  }

  std::vector<std::string> ErrorLogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(log.FileName(LogKind::Error)));
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find(" @ ")));
    return lines;
  }

  testing::PtyPair pty;
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};
  LogWriter log{folder, clock, QLocale::c()};
  RecordingMessageBox boxes;
  RecordingSpeech speech;
  StartupState startup;
  ConfigState config;
  SerialPortArray ports{folder};
  SerialPortOperations operations{config, startup, ports, log, boxes, speech};
};

TEST_F(PortMessageTest, aPortThatCannotBeOpenedIsNamedWithItsDeviceAndTheReason) {
  struct Row {
    const char* legend;
    std::string device;
    bool holdElsewhere;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"missing device", "/nonexistent/ttyUSB7", false,
       {"Invalid COM: Port Selected.",
        "Channel 1: Invalid port number (port 4 /nonexistent/ttyUSB7: No such file or directory)"}},
      {"not a terminal", "/dev/null", false,
       {"Invalid COM: Port Selected.", "Channel 1: Invalid port number (port 4 /dev/null: not a serial device)"}},
      {"held by another program", pty.path(), true,
       {"COM: Port Already In Use.",
        "Channel 1: Port already open (port 4 " + pty.path() + ": in use by another channel or program)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    std::filesystem::remove(log.FileName(LogKind::Error));
    WriteAll(folder.join("TarvexPorts.Cfg"), "4,\"" + row.device + "\"\r\n");
    SerialPort holder(folder);
    if (row.holdElsewhere) {
      holder.SetCommPort(4);
      holder.SetPortOpen(true);
    }
    config.Channels[0].DeviceEnabled = true;
    operations.OpenPort(0);
    EXPECT_EQ(ErrorLogLines(), row.lines);
    EXPECT_FALSE(config.Channels[0].DeviceEnabled);
  }
}

TEST_F(PortMessageTest, thePortMapIsFoundWhateverItsLetterCase) {
  for (const char* name : {"tarvexports.cfg", "TARVEXPORTS.CFG"}) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(folder.path());
    std::filesystem::create_directory(folder.path());
    WriteAll(folder.join(name), "4,\"" + pty.path() + "\"\r\n");
    EXPECT_EQ(PortMap(folder).DeviceFor(4), pty.path());
    config.Channels[0].DeviceEnabled = true;
    operations.OpenPort(0);
    EXPECT_TRUE(ports[0].PortOpen());
    EXPECT_TRUE(boxes.shown().empty());
    ports[0].SetPortOpen(false);
  }
}

// A tmpfs mounted over a scratch folder, for the file-system faults a test
// cannot make otherwise (root writes into any folder its permissions forbid).
class ScratchMount {
public:
  ScratchMount(const std::string& at, unsigned long flags, const char* options) : at_(at) {
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", flags, options) == 0;
  }
  ~ScratchMount() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

private:
  std::string at_;
  bool mounted_ = false;
};

// Fills a file system until a write fails.
void Fill(const std::string& folder) {
  std::ofstream filler(folder + "/filler", std::ios::binary);
  const std::string block(4096, 'x');
  for (int i = 0; i < 100000 && filler.write(block.data(), block.size()); ++i) {
  }
}

// The number and description of the error of taking the lock in folder.
std::string LockError(const std::string& folder) {
  InstanceLock lock(folder + "/TarvexManager.lock");
  try {
    lock.TryAcquire();
  } catch (const RunTimeError& error) {
    return std::to_string(error.number()) + " " + error.description();
  }
  return "no error";
}

TEST(LockFileMessage, namesTheFileAndTheSystemsReason) {
  QTemporaryDir dir;
  const std::string base = dir.path().toStdString();
  WriteAll(base + "/plain-file", "x");
  struct Row {
    const char* legend;
    std::string folder;
    const char* reason;
  };
  const Row rows[] = {
      {"missing folder", base + "/missing/folder", "No such file or directory"},
      {"a file where the folder belongs", base + "/plain-file", "Not a directory"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    EXPECT_EQ(LockError(row.folder), "75 Path/File access error: cannot create the lock file " + row.folder +
                                         "/TarvexManager.lock: " + row.reason);
  }
}

TEST(LockFileMessage, namesAReadOnlyOrFullFileSystem) {
  QTemporaryDir dir;
  const std::string readOnly = dir.path().toStdString() + "/read-only";
  const std::string full = dir.path().toStdString() + "/full";
  std::filesystem::create_directory(readOnly);
  std::filesystem::create_directory(full);
  ScratchMount readOnlyMount(readOnly, MS_RDONLY, "size=64k");
  ScratchMount fullMount(full, 0, "size=64k");
  if (!readOnlyMount.mounted() || !fullMount.mounted()) GTEST_SKIP() << "no permission to mount a tmpfs";
  Fill(full);
  struct Row {
    std::string folder;
    const char* reason;
  };
  for (const Row& row : {Row{readOnly, "Read-only file system"}, Row{full, "No space left on device"}}) {
    SCOPED_TRACE(row.folder);
    EXPECT_EQ(LockError(row.folder), "75 Path/File access error: cannot create the lock file " + row.folder +
                                         "/TarvexManager.lock: " + row.reason);
    EXPECT_FALSE(std::filesystem::exists(row.folder + "/TarvexManager.lock"));
  }
}

}  // namespace
}  // namespace tarvex
