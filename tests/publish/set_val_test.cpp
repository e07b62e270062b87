// SetVal: the change test, the order of the fan-out, the channels it serves and
// what it does when a neighbour fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

std::string Describe(const DDEValue& value) {
  if (std::holds_alternative<double>(value)) return Num(std::get<double>(value));
  if (std::holds_alternative<int16_t>(value)) return "i" + std::to_string(std::get<int16_t>(value));
  return "";
}

struct SetValCase {
  const char* legend;
  int32_t which;
  int32_t ch;
  bool opc;
  bool dde;
  bool detail;
  std::string latest;     // NewGross, NewTare, NewNet and NewID of the channel
  std::string published;  // PubGross, PubTare, PubNet and PubID before the call
  int error;
  Trace trace;
  std::string after;  // what changed, see Changes()
};

// Starts a channel with the row's texts and switches, and its Device (if the
// channel has one) holding marker values, so that any write shows.
void Prepare(PublicationFixture& f, const SetValCase& row) {
  if (row.ch < 0 || row.ch > 32) return;
  for (auto* texts : {&f.publication.NewGross, &f.publication.NewTare, &f.publication.NewNet, &f.publication.NewID}) {
    (*texts)[row.ch] = row.latest;
  }
  for (auto* texts : {&f.publication.PubGross, &f.publication.PubTare, &f.publication.PubNet, &f.publication.PubID}) {
    (*texts)[row.ch] = row.published;
  }
  f.config.Channels[row.ch].OPCEnabled = row.opc;
  f.config.Channels[row.ch].DDEServerEnabled = row.dde;
  f.config.Channels[row.ch].DeviceDescs = "Scale A";
  f.window.DetailOpen[row.ch] = row.detail;
  f.engine.ScaleStatBits[row.ch] = 5;
  if (row.ch < 32) {
    Device& d = *f.devices.At(row.ch);
    d.SetCGross(-1);
    d.SetCTare(-1);
    d.SetCNet(-1);
    d.SetCScaleStat(-1);
    d.SetCDeviceDesc("?");
  }
}

// Everything about the channel that differs from its prepared state.
std::string Changes(PublicationFixture& f, const SetValCase& row) {
  if (row.ch < 0 || row.ch > 32) return "";
  std::vector<std::string> parts;
  const std::pair<const char*, ChannelArray<std::string>*> published[] = {
      {"PubGross", &f.publication.PubGross},
      {"PubTare", &f.publication.PubTare},
      {"PubNet", &f.publication.PubNet},
      {"PubID", &f.publication.PubID}};
  for (const auto& [name, texts] : published) {
    if ((*texts)[row.ch] != row.published) parts.push_back(std::string(name) + "=" + (*texts)[row.ch]);
  }
  if (f.publication.OPCDirty[row.ch]) parts.push_back("OPCDirty");
  if (f.publication.DDEDirty[row.ch]) parts.push_back("DDEDirty");
  for (int item = 0; item < DDEItem::TableRows; ++item) {
    const std::string value = Describe(f.publication.DDEValues(item, row.ch));
    if (!value.empty()) parts.push_back("DDE" + std::to_string(item) + "=" + value);
  }
  if (f.window.DeviceDirty[row.ch]) parts.push_back("DeviceDirty");
  if (row.ch < 32) {
    const Device& d = *f.devices.At(row.ch);
    if (d.CGross() != -1) parts.push_back("CGross=" + Num(d.CGross()));
    if (d.CTare() != -1) parts.push_back("CTare=" + Num(d.CTare()));
    if (d.CNet() != -1) parts.push_back("CNet=" + Num(d.CNet()));
    if (d.CScaleStat() != -1) parts.push_back("CScaleStat=" + std::to_string(d.CScaleStat()));
    if (d.CDeviceDesc() != "?") parts.push_back("CDeviceDesc=" + d.CDeviceDesc());
  } else if (f.devices.IsCreated(32)) {
    parts.push_back("Devices(32) created");
  }
  std::string joined;
  for (const std::string& p : parts) joined += (joined.empty() ? "" : " ") + p;
  return joined;
}

const Trace kGross0 = {"dirty 0 9", "opc 0 0 12.5", "label 0 12.50"};
const char* const kGross0After = "PubGross=12.50 OPCDirty DDEDirty DDE0=12.5 DeviceDirty CGross=12.5";

TEST(SetVal, PublishesOncePerChangeInTheFanOutOrderOnlyWhereSwitchedOn) {
  const std::vector<SetValCase> rows = {
      {"gross reaches grid, OPC, DDE, detail and Device", 1, 0, true, true, true, "12.50", "", 0, kGross0,
       kGross0After},
      {"tare of channel 31 uses column 10 and position 1", 2, 31, true, true, true, "-0.5 kg", "3", 0,
       {"dirty 31 10", "opc 31 1 -0.5", "label 1 -0.5 kg"},
       "PubTare=-0.5 kg OPCDirty DDEDirty DDE1=-0.5 DeviceDirty CTare=-0.5"},
      {"net of channel 32 reaches no Device", 3, 32, true, true, true, "1.5E2", "", 0,
       {"dirty 32 11", "opc 32 2 150", "label 2 1.5E2"}, "PubNet=1.5E2 OPCDirty DDEDirty DDE2=150 DeviceDirty"},
      {"all switched off: grid and Device only", 1, 0, false, false, false, "7", "", 0, {"dirty 0 9"},
       "PubGross=7 DeviceDirty CGross=7"},
      {"OPC only", 1, 0, true, false, false, "7", "", 0, {"dirty 0 9", "opc 0 0 7"},
       "PubGross=7 OPCDirty DeviceDirty CGross=7"},
      {"DDE only", 1, 0, false, true, false, "7", "", 0, {"dirty 0 9"}, "PubGross=7 DDEDirty DDE0=7 DeviceDirty CGross=7"},
      {"detail only", 1, 0, false, false, true, "7", "", 0, {"dirty 0 9", "label 0 7"},
       "PubGross=7 DeviceDirty CGross=7"},
      {"the same text again does nothing at all", 1, 0, true, true, true, "12.5", "12.5", 0, {}, ""},
      {"two empty texts are equal", 2, 0, true, true, true, "", "", 0, {}, ""},
      {"a trailing zero counts as a change", 1, 0, true, true, true, "12.50", "12.5", 0, kGross0, kGross0After},
      {"a leading blank counts as a change", 3, 0, false, true, false, " 4", "4", 0, {"dirty 0 11"},
       "PubNet= 4 DDEDirty DDE2=4 DeviceDirty CNet=4"},
      {"a text without a number publishes 0 and shows itself", 1, 0, true, true, true, "------", "12.5", 0,
       {"dirty 0 9", "opc 0 0 0", "label 0 ------"}, "PubGross=------ OPCDirty DDEDirty DDE0=0 DeviceDirty CGross=0"},
      {"an empty text after a value publishes 0", 2, 0, true, true, true, "", "5", 0,
       {"dirty 0 10", "opc 0 1 0", "label 1 "}, "PubTare= OPCDirty DDEDirty DDE1=0 DeviceDirty CTare=0"},
      {"a comma ends the number", 1, 0, false, true, false, "1,5", "", 0, {"dirty 0 9"},
       "PubGross=1,5 DDEDirty DDE0=1 DeviceDirty CGross=1"},
      {"blanks between digits are ignored", 1, 0, false, true, false, "1 2 5", "", 0, {"dirty 0 9"},
       "PubGross=1 2 5 DDEDirty DDE0=125 DeviceDirty CGross=125"},
      {"-999999 forces the same reading out again", 1, 0, true, true, true, "12.50", "-999999", 0, kGross0,
       kGross0After},
      {"scale status: Device only, no change test", 6, 0, true, true, true, "x", "x", 0, {},
       "DeviceDirty CScaleStat=5"},
      {"description of channel 31: Device only", 10, 31, true, true, true, "x", "x", 0, {},
       "DeviceDirty CDeviceDesc=Scale A"},
      {"scale status of channel 32 only marks it dirty", 6, 32, true, true, true, "x", "x", 0, {}, "DeviceDirty"},
      {"a new ID is recorded and published nowhere", 9, 0, true, true, true, "ID-7", "", 0, {}, "PubID=ID-7"},
      {"an unchanged ID does nothing", 9, 0, true, true, true, "ID-7", "ID-7", 0, {}, ""},
      {"gross of channel -1", 1, -1, true, true, true, "1", "", 9, {}, ""},
      {"tare of channel 33", 2, 33, true, true, true, "1", "", 9, {}, ""},
      {"net of channel -1", 3, -1, true, true, true, "1", "", 9, {}, ""},
      {"ID of channel 33", 9, 33, true, true, true, "1", "", 9, {}, ""},
      {"scale status of channel -1", 6, -1, true, true, true, "1", "", 9, {}, ""},
      {"description of channel 33", 10, 33, true, true, true, "1", "", 9, {}, ""},
      {"code 0", 0, 0, true, true, true, "1", "", 0, {}, ""},
      {"code 4, channel 33", 4, 33, true, true, true, "1", "", 0, {}, ""},
      {"code 5", 5, 0, true, true, true, "1", "", 0, {}, ""},
      {"code 7, channel -1", 7, -1, true, true, true, "1", "", 0, {}, ""},
      {"code 8", 8, 0, true, true, true, "1", "", 0, {}, ""},
      {"code 11, channel 33", 11, 33, true, true, true, "1", "", 0, {}, ""},
      {"negative code", -1, 0, true, true, true, "1", "", 0, {}, ""},
  };
  for (const SetValCase& row : rows) {
    SCOPED_TRACE(row.legend);
    PublicationFixture f;
    Prepare(f, row);
    EXPECT_EQ(ErrorOf([&] { f.publisher.SetVal(row.which, row.ch); }), row.error);
    EXPECT_EQ(f.trace, row.trace);
    EXPECT_EQ(Changes(f, row), row.after);
  }
}

TEST(SetVal, FansOutToGridThenOpcThenDdeThenDetailThenDevice) {
  PublicationFixture f;
  SetValCase row{"", 1, 0, true, true, true, "12.5", "", 0, {}, ""};
  Prepare(f, row);
  f.opc.fault.before = [&] {
    f.trace.push_back("at opc: DDE0=" + Describe(f.publication.DDEValues(0, 0)) +
                      " CGross=" + Num(f.devices.At(0)->CGross()));
  };
  f.labels.fault.before = [&] {
    f.trace.push_back("at label: DDE0=" + Describe(f.publication.DDEValues(0, 0)) +
                      " CGross=" + Num(f.devices.At(0)->CGross()));
  };
  f.publisher.SetVal(1, 0);
  EXPECT_EQ(f.trace, (Trace{"dirty 0 9", "at opc: DDE0= CGross=-1", "opc 0 0 12.5", "at label: DDE0=12.5 CGross=-1",
                            "label 0 12.5"}));
  EXPECT_EQ(f.devices.At(0)->CGross(), 12.5);
}

TEST(SetVal, AFailingOpcItemOrLabelStillLetsTheRestRunThenRaisesTheFirstError) {
  struct Case {
    const char* legend;
    int opcFails;
    int labelFails;
    int error;
    Trace trace;
    std::string after;
  };
  const std::vector<Case> rows = {
      {"OPC item fails", 440, 0, 440, {"dirty 0 9", "label 0 12.5"},
       "PubGross=12.5 DDEDirty DDE0=12.5 DeviceDirty CGross=12.5"},
      {"detail label fails", 0, 380, 380, {"dirty 0 9", "opc 0 0 12.5"},
       "PubGross=12.5 OPCDirty DDEDirty DDE0=12.5 DeviceDirty CGross=12.5"},
      {"both fail: the OPC error is raised", 440, 380, 440, {"dirty 0 9"},
       "PubGross=12.5 DDEDirty DDE0=12.5 DeviceDirty CGross=12.5"},
  };
  for (const Case& c : rows) {
    SCOPED_TRACE(c.legend);
    PublicationFixture f;
    const SetValCase row{"", 1, 0, true, true, true, "12.5", "", 0, {}, ""};
    Prepare(f, row);
    f.opc.fault.failWith = c.opcFails;
    f.labels.fault.failWith = c.labelFails;
    EXPECT_EQ(ErrorOf([&] { f.publisher.SetVal(1, 0); }), c.error);
    EXPECT_EQ(f.trace, c.trace);
    EXPECT_EQ(Changes(f, row), c.after);

    // The text now counts as published: the same text is not retried...
    f.trace.clear();
    f.opc.fault.failWith = 0;
    f.labels.fault.failWith = 0;
    EXPECT_EQ(ErrorOf([&] { f.publisher.SetVal(1, 0); }), 0);
    EXPECT_EQ(f.trace, Trace{});
    // ...until a neighbour forces republication.
    f.publication.PubGross[0] = ForcePublication;
    f.publisher.SetVal(1, 0);
    EXPECT_EQ(f.trace, (Trace{"dirty 0 9", "opc 0 0 12.5", "label 0 12.5"}));
  }
}

}  // namespace
}  // namespace tarvex
