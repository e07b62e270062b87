// Channel files through the configuration procedure: defaults, round trips,
// hand-written forms, damaged files, the port step of a write, disabling.
#include "config/channel_file.h"

#include "platform/run_time_error.h"
#include "tests/support/config_fixture.h"

namespace tarvex::test {
namespace {

// The 34 fields of a good record, so a case can damage one of them.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      fields.push_back(field);
      field.clear();
    } else if (c != '\r' && c != '\n') {
      field += c;
    }
  }
  fields.push_back(field);
  return fields;
}

std::string Join(const std::vector<std::string>& fields, const std::string& separator = ",") {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) out += (i ? separator : "") + fields[i];
  return out + "\r\n";
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
  return s;
}

class ChannelFile : public ConfigFolderTest {
protected:
  // Channel 2 read from the round-trip fixture: the record a good file gives.
  ChannelRecord FixtureRecord() {
    WriteBytes(Path("Tarvex-SCALE3.Cfg"), Fixture("channel-commas-and-ansi-bytes.cfg"));
    cfg.CfgProc(CfgOp::ReadChannel, 2);
    return {config->Channels[2], startup.ChannelLogEnabled[2]};
  }
  ChannelRecord Held(int ch) { return {config->Channels[ch], startup.ChannelLogEnabled[static_cast<size_t>(ch)]}; }
};

TEST_F(ChannelFile, missingOrEmptyFileIsCreatedWithTheDefaultsAndReadBack) {
  struct Case {
    int channel;
    const char* file;
    const char* golden;
    bool emptyFileThere;
  };
  const Case cases[] = {{0, "Tarvex-SCALE1.Cfg", "default-channel-1.cfg", false},
                        {9, "Tarvex-SCALE10.Cfg", "default-channel-10.cfg", false},
                        {0, "Tarvex-SCALE1.Cfg", "default-channel-1.cfg", true}};
  for (const Case& c : cases) {
    std::filesystem::remove(Path(c.file));
    if (c.emptyFileThere) WriteBytes(Path(c.file), "");
    config->Channels[c.channel].DeviceDescs = "stale";
    startup.ChannelLogEnabled[static_cast<size_t>(c.channel)] = false;

    cfg.CfgProc(CfgOp::ReadChannel, c.channel);

    EXPECT_EQ(ReadBytes(Path(c.file)), WithFolder(Fixture(c.golden), folder.path())) << c.file;
    EXPECT_EQ(Held(c.channel), ChannelDefaults(c.channel, folder)) << c.file;
    EXPECT_TRUE(startup.ChannelLogEnabled[static_cast<size_t>(c.channel)]);
  }
  EXPECT_EQ(config->Channels[9].DeviceDescs, "SCALE 10");
  EXPECT_EQ(config->Channels[9].OPCTags[0], "SCALE_10/GROSS.CV");
  EXPECT_EQ(config->Channels[9].AsciiLogFileName, folder.path() + "/WtData-SCALE10.Txt");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ChannelFile, fixtureReadsAndWritesBackByteIdentical) {
  const ChannelRecord record = FixtureRecord();
  EXPECT_EQ(record.Setup.DeviceDescs, "Ligne 3, balance \xe9" "tal\xe9" "e");
  EXPECT_EQ(record.Setup.AsciiLogFileName, "C:\\Program Files\\Tarvex\\WtData-SCALE3.Txt");
  EXPECT_EQ(record.Setup.RefreshInterval, -5);
  EXPECT_EQ(record.Setup.DecimalPlaces, -1);
  EXPECT_EQ(record.Setup.OPCTags[1], "L3/TARE, \xb0.CV");

  std::filesystem::remove(Path("Tarvex-SCALE3.Cfg"));
  cfg.CfgProc(CfgOp::WriteChannel, 2);
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), Fixture("channel-commas-and-ansi-bytes.cfg"));
}

TEST_F(ChannelFile, handWrittenFormsReadLikeTheWrittenOne) {
  const ChannelRecord expected = FixtureRecord();
  const std::string good = Fixture("channel-commas-and-ansi-bytes.cfg");
  const std::string other = Join(Fields(WithFolder(Fixture("default-channel-1.cfg"), "/elsewhere")));
  struct Case {
    const char* legend;
    std::string bytes;
  };
  const Case cases[] = {
      {"LF-only line end", Replace(good, "\r\n", "\n")},
      {"no line end at all", good.substr(0, good.size() - 2)},
      {"trailing blank lines", good + "\r\n\r\n"},
      {"one field per line", Join(Fields(good), "\r\n")},
      {"blank lines between lines of a record", Join(Fields(good), "\n\n")},
      {"two records: the last one is in force", other + good},
  };
  for (const Case& c : cases) {
    config->Channels[2] = ChannelSetup();
    startup.ChannelLogEnabled[2] = true;
    WriteBytes(Path("Tarvex-SCALE3.Cfg"), c.bytes);
    cfg.CfgProc(CfgOp::ReadChannel, 2);
    EXPECT_EQ(Held(2), expected) << c.legend;
  }
}

TEST_F(ChannelFile, damagedFileNamesFileAndFieldAndLeavesTheRecordAsItWas) {
  const std::vector<std::string> good = Fields(Fixture("channel-commas-and-ansi-bytes.cfg"));
  auto with = [&](size_t field, const std::string& text) {
    std::vector<std::string> f = good;
    f[field - 1] = text;
    return Join(f);
  };
  std::vector<std::string> short33(good.begin(), good.end() - 1);
  const DamagedFileCase cases[] = {
      {"a text where a number belongs", with(3, "\"COM1\""), ErrorNumber::TypeMismatch, "field 3 (ComPortIndex)"},
      {"a word where a number belongs", with(1, "two"), ErrorNumber::TypeMismatch, "field 1 (ChannelProtocol)"},
      {"a fraction where a whole number belongs", with(22, "2.5"), ErrorNumber::TypeMismatch,
       "field 22 (RefreshInterval)"},
      {"a text where a Boolean belongs", with(14, "\"yes\""), ErrorNumber::TypeMismatch, "field 14 (DeviceEnabled)"},
      {"text after a closing quote", with(7, "\"SCALE 3\" x"), ErrorNumber::TypeMismatch,
       "field 7 (DeviceDescs)"},
      {"no closing quote", with(9, "\"Driver=x"), ErrorNumber::TypeMismatch, "field 9 (OtherDriver)"},
      {"a number beyond 32 bits", with(24, "2147483648"), ErrorNumber::Overflow, "field 24 (Timeout)"},
      {"too few fields", Join(short33), ErrorNumber::InputPastEndOfFile, "field 34 (DataMapEnabled)"},
      {"a second record cut short", Join(good) + "2,0,0\r\n", ErrorNumber::InputPastEndOfFile,
       "record 2, field 4 (PortSettingsIndex)"},
  };
  const ChannelRecord before = FixtureRecord();
  for (const DamagedFileCase& c : cases) {
    WriteBytes(Path("Tarvex-SCALE3.Cfg"), c.bytes);
    ExpectRunTimeError([&] { cfg.CfgProc(CfgOp::ReadChannel, 2); }, c.number,
                       Path("Tarvex-SCALE3.Cfg") + ": " + c.place, c.legend);
    EXPECT_EQ(Held(2), before) << c.legend;
    EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), c.bytes) << c.legend << ": the damaged file was replaced";
  }
}

// Records the order of port and file steps; opening fails for a port the test
// marks bad, the way the serial layer clears DeviceEnabled then.
class FakePort : public PortOperations {
public:
  FakePort(ConfigState& config, std::string file) : config_(config), file_(std::move(file)) {}
  void ApplyPortSettings(int) override {}
  void OpenPort(int channel) override {
    opened.push_back(channel);
    fileExistedAtOpen = std::filesystem::exists(file_);
    if (failOpen) config_.Channels[channel].DeviceEnabled = false;
  }
  void RestorePortSettings(int) override {}
  void SavePortSettings(int) override {}

  bool failOpen = false;
  bool fileExistedAtOpen = true;
  std::vector<int> opened;

private:
  ConfigState& config_;
  std::string file_;
};

TEST_F(ChannelFile, writeOpensThePortFirstAndRecordsAFailedOpenAsDisabled) {
  FakePort port(*config, Path("Tarvex-SCALE1.Cfg"));
  cfg.SetPortOperations(&port);
  for (bool fail : {false, true}) {
    std::filesystem::remove(Path("Tarvex-SCALE1.Cfg"));
    config->Channels[0] = ChannelDefaults(0, folder).Setup;
    config->Channels[0].DeviceEnabled = true;
    port.failOpen = fail;

    cfg.CfgProc(CfgOp::WriteChannel, 0);

    EXPECT_FALSE(port.fileExistedAtOpen);
    EXPECT_EQ(Fields(ReadBytes(Path("Tarvex-SCALE1.Cfg")))[13], fail ? "#FALSE#" : "#TRUE#");
  }
  EXPECT_EQ(port.opened, (std::vector<int>{0, 0}));

  // Defaults never touch the port.
  cfg.CfgProc(CfgOp::DefaultChannel, 0);
  EXPECT_EQ(port.opened.size(), 2u);
}

TEST_F(ChannelFile, disablingChangesOnlyDeviceEnabledAndNotTheFile) {
  FixtureRecord();
  const std::string file = ReadBytes(Path("Tarvex-SCALE3.Cfg"));
  const ConfigState before = *config;
  ASSERT_TRUE(config->Channels[2].DeviceEnabled);

  cfg.CfgProc(CfgOp::DisableChannel, 2);

  ConfigState expected = before;
  expected.Channels[2].DeviceEnabled = false;
  EXPECT_TRUE(*config == expected);
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), file);
}

TEST_F(ChannelFile, aTextWithADoubleQuoteIsRefusedBeforeTheFileIsTouched) {
  FixtureRecord();
  const std::string file = ReadBytes(Path("Tarvex-SCALE3.Cfg"));
  const std::vector<std::string> entries = FolderEntries();
  config->Channels[2].OPCNodeName = "\\\\node\"7";
  ExpectRunTimeError([&] { cfg.CfgProc(CfgOp::WriteChannel, 2); }, ErrorNumber::InvalidPropertyValue,
                     "Tarvex-SCALE3.Cfg: field 10 (OPCNodeName)", "a double quote");
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), file);
  EXPECT_EQ(FolderEntries(), entries);
}

TEST_F(ChannelFile, aNameInAnotherLetterCaseIsReadAndWrittenBackUnderItsOwnName) {
  WriteBytes(Path("tarvex-scale3.cfg"), Fixture("channel-commas-and-ansi-bytes.cfg"));
  cfg.CfgProc(CfgOp::ReadChannel, 2);
  EXPECT_EQ(config->Channels[2].DeviceID, "NODE,7");

  config->Channels[2].DeviceID = "NODE8";
  cfg.CfgProc(CfgOp::WriteChannel, 2);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"tarvex-scale3.cfg"}));
  EXPECT_EQ(Fields(ReadBytes(Path("tarvex-scale3.cfg")))[5], "\"NODE8\"");
}

}  // namespace
}  // namespace tarvex::test
