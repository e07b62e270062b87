// Protocol files through the configuration procedure.
#include "config/protocol_file.h"

#include "platform/run_time_error.h"
#include "tests/support/config_fixture.h"

namespace tarvex::test {
namespace {

class ProtocolFile : public ConfigFolderTest {
protected:
  std::string FileOf(int protocol) { return folder.join(startup.Tables.CfgFileNames(protocol)); }
  DataCell& Cell(int p, int row, int column) {
    return config->Protocols[p].StatusData[static_cast<size_t>(row)][static_cast<size_t>(column)];
  }
};

TEST_F(ProtocolFile, aNeverReadProtocolWritesTheEmptyDefinition) {
  for (int p : {0, 9, 10, 41}) {
    cfg.CfgProc(CfgOp::WriteProtocol, p);
    EXPECT_EQ(ReadBytes(FileOf(p)), Fixture("default-protocol.cfg")) << p;
  }
  EXPECT_TRUE(std::filesystem::exists(Path("Tarvex-Std-CustFmt32.Cfg")));
}

TEST_F(ProtocolFile, fixturesReadAndWriteBackByteIdentical) {
  // (A file whose definition cells are empty fields comes back with "" in
  // them: the read stores the empty text there.)
  for (const char* name : {"protocol-mixed-cells.cfg", "protocol-full-status-table.cfg", "protocol-row-5-empty.cfg"}) {
    for (int p : {2, 41}) {
      WriteBytes(FileOf(p), Fixture(name));
      cfg.CfgProc(CfgOp::ReadProtocol, p);
      std::filesystem::remove(FileOf(p));
      cfg.CfgProc(CfgOp::WriteProtocol, p);
      EXPECT_EQ(ReadBytes(FileOf(p)), Fixture(name)) << name << " as protocol " << p;
    }
  }
}

TEST_F(ProtocolFile, mixedFixtureHoldsItsValuesInTheirKinds) {
  WriteBytes(FileOf(41), Fixture("protocol-mixed-cells.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 41);
  const ProtocolDefinition& p = config->Protocols[41];
  EXPECT_EQ(p.ProtocolHeader, -7);
  EXPECT_EQ(p.StreamEndChar, 13);
  EXPECT_EQ(p.GrossStart, 5);
  EXPECT_TRUE(p.TareEnabled);
  EXPECT_EQ(p.CmdEndChar, 1310);
  EXPECT_EQ(p.MaxStreamLength, 64);
  EXPECT_EQ(p.Commands[0].ProtocolCommands[0], "P~");
  EXPECT_EQ(p.Commands[2].ProtocolCommands[1], "Tare, preset");
  EXPECT_FALSE(p.Commands[2].CommandEnabled);
  EXPECT_EQ(p.Commands[3].ProtocolCommands[1], "Temp\xe9rature \xa7");
  EXPECT_EQ(Cell(41, 1, 1), DataCell());
  EXPECT_EQ(Cell(41, 1, 4), DataCell::Number("0012"));
  EXPECT_EQ(Cell(41, 2, 2), DataCell::Number("-1"));
  EXPECT_EQ(Cell(41, 2, 5), DataCell::Text(""));
  EXPECT_EQ(p.StatusFirstEmpty, 4);
}

TEST_F(ProtocolFile, statusFirstEmptyNamesTheFirstRowReadWithoutADefinition) {
  struct Case {
    const char* fixture;
    int firstEmpty;
  };
  const Case cases[] = {{"protocol-full-status-table.cfg", -1},
                        {"protocol-three-status-rows.cfg", -1},
                        {"protocol-row-5-empty.cfg", 5},
                        {"default-protocol.cfg", 0}};
  for (const Case& c : cases) {
    // What an earlier read left in rows the file does not carry.
    for (int row = 0; row < StatusRows; ++row) Cell(10, row, 0) = DataCell::Text("old");
    WriteBytes(FileOf(10), Fixture(c.fixture));
    cfg.CfgProc(CfgOp::ReadProtocol, 10);
    EXPECT_EQ(config->Protocols[10].StatusFirstEmpty, c.firstEmpty) << c.fixture;
  }
  // The three-row file after a full one: rows 3 to 99 are cleared to the empty
  // text, row 100 (never in a file) keeps its value.
  WriteBytes(FileOf(10), Fixture("protocol-three-status-rows.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 10);
  EXPECT_EQ(Cell(10, 2, 0), DataCell::Text("Net"));
  for (int row = 3; row < StatusFileRows; ++row) {
    for (int c = 0; c < StatusFileColumns; ++c) ASSERT_EQ(Cell(10, row, c), DataCell::Text("")) << row << "," << c;
  }
  EXPECT_EQ(Cell(10, 100, 0), DataCell::Text("old"));
  // An empty definition cell reads as the empty text.
  WriteBytes(FileOf(10), Fixture("default-protocol.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 10);
  EXPECT_EQ(Cell(10, 0, 0), DataCell::Text(""));
  EXPECT_EQ(Cell(10, 0, 1), DataCell());
}

TEST_F(ProtocolFile, aMissingOrEmptyFileResetsOnlyTheDataFieldsAndLogsOneLine) {
  for (bool emptyFileThere : {false, true}) {
    WriteBytes(FileOf(3), Fixture("protocol-mixed-cells.cfg"));
    cfg.CfgProc(CfgOp::ReadProtocol, 3);
    config->Protocols[3].StatusFirstEmpty = 17;
    ProtocolDefinition expected = config->Protocols[3];
    ResetDataFields(expected);
    ASSERT_NE(expected, config->Protocols[3]);
    std::filesystem::remove(FileOf(3));
    if (emptyFileThere) WriteBytes(FileOf(3), "");
    log.lines.clear();

    cfg.CfgProc(CfgOp::ReadProtocol, 3);

    EXPECT_EQ(config->Protocols[3], expected);
    EXPECT_EQ(config->Protocols[3].MaxStreamLength, 48);
    EXPECT_EQ(config->Protocols[3].Commands[0].ProtocolCommands[0], "P~");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].kind, LogKind::Error);
    EXPECT_EQ(log.lines[0].text, FileOf(3) + " STD Format File Not Found.");
    // An empty file is left behind.
    EXPECT_EQ(ReadBytes(FileOf(3)), "");
    EXPECT_TRUE(std::filesystem::exists(FileOf(3)));
  }
}

TEST_F(ProtocolFile, damagedFileNamesFileAndFieldAndLeavesTheDefinitionAsItWas) {
  const std::string good = Fixture("protocol-mixed-cells.cfg");
  const std::string line1 = good.substr(0, good.find("\r\n") + 2);
  std::string tooManyRows = good;
  for (int row = 0; row < 2; ++row) tooManyRows += "\"extra\",,,,,\r\n";
  const DamagedFileCase cases[] = {
      {"a text for the header", "\"STD\"" + good.substr(2), ErrorNumber::TypeMismatch, "field 1 (ProtocolHeader)"},
      {"a Boolean where a length belongs", "-7,2,13,5,#TRUE#" + good.substr(good.find(",#TRUE#") + 7),
       ErrorNumber::TypeMismatch, "field 5 (GrossLength)"},
      {"only the first line", line1, ErrorNumber::InputPastEndOfFile, "field 19 (ProtocolCommands(0, 0) definition)"},
      {"a status row cut short", good.substr(0, good.size() - 5), ErrorNumber::InputPastEndOfFile,
       "field 658 (StatusData(99, 5) enabled mark), line 101"},
      {"text after a closing quote in a command", "-7,2,13,5,8,#TRUE#,14,8,#TRUE#,23,8,#FALSE#,0,0,#FALSE#,0,1310,64\r\n"
                                                  "\"P~\"~,\"Print\"",
       ErrorNumber::TypeMismatch, "field 19"},
      {"more rows than the table holds", tooManyRows, ErrorNumber::SubscriptOutOfRange, "more than 101 status rows"},
  };
  WriteBytes(FileOf(5), Fixture("protocol-row-5-empty.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 5);
  const ProtocolDefinition before = config->Protocols[5];
  for (const DamagedFileCase& c : cases) {
    WriteBytes(FileOf(5), c.bytes);
    ExpectRunTimeError([&] { cfg.CfgProc(CfgOp::ReadProtocol, 5); }, c.number, FileOf(5) + ": " + c.place,
                       c.legend);
    EXPECT_EQ(config->Protocols[5], before) << c.legend;
  }
}

TEST_F(ProtocolFile, aStatusTextWithADoubleQuoteIsRefusedAndTheOldFileStays) {
  WriteBytes(FileOf(12), Fixture("protocol-mixed-cells.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 12);
  Cell(12, 7, 0) = DataCell::Text("6\" display");
  ExpectRunTimeError([&] { cfg.CfgProc(CfgOp::WriteProtocol, 12); }, ErrorNumber::InvalidPropertyValue,
                     FileOf(12) + ": field 101 (StatusData(7, 0) status definition)", "a double quote");
  EXPECT_EQ(ReadBytes(FileOf(12)), Fixture("protocol-mixed-cells.cfg"));
}

TEST_F(ProtocolFile, aNameInAnotherLetterCaseIsReadAndWrittenBackUnderItsOwnName) {
  WriteBytes(Path("TARVEX-STD-VOSTDFMT.CFG"), Fixture("protocol-mixed-cells.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 2);
  EXPECT_EQ(config->Protocols[2].CmdEndChar, 1310);
  config->Protocols[2].CmdEndChar = 13;
  cfg.CfgProc(CfgOp::WriteProtocol, 2);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"TARVEX-STD-VOSTDFMT.CFG"}));
  EXPECT_NE(ReadBytes(Path("TARVEX-STD-VOSTDFMT.CFG")).find(",0,13,64\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tarvex::test
