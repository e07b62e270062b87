// The manager's own OPC item store: positions follow the tag index.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/opc/opc_item_store.h"
#include "tests/platform/opc/write_logging_opc_item_store.h"
#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

using test::WriteLoggingOpcItemStore;

TEST(OpcItemStore, ItemPositionsFollowTheTagIndexAndHolesIgnoreWrites) {
  WriteLoggingOpcItemStore store;
  // The tags of a channel whose tare tag is blank: net stays at position 2.
  const std::array<std::string, 8> tags = {"W.Gross", "", "W.Net", "W.Stat", "   ", "W.Parm", "W.CmdStat", ""};
  for (int k = 0; k < 8; ++k) store.AddItem(7, k, tags[static_cast<size_t>(k)]);

  struct Case {
    int16_t position;
    std::optional<std::string> tag;
    std::optional<double> value;  // after the write of position * 10 + 0.5
  };
  const std::vector<Case> rows = {
      {0, "W.Gross", 0.5}, {1, std::nullopt, std::nullopt}, {2, "W.Net", 20.5},   {3, "W.Stat", 30.5},
      {4, std::nullopt, std::nullopt}, {5, "W.Parm", 50.5}, {6, "W.CmdStat", 60.5}, {7, std::nullopt, std::nullopt},
      {8, std::nullopt, std::nullopt}, {-1, std::nullopt, std::nullopt},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.position);
    EXPECT_EQ(store.ItemValue(7, row.position), std::nullopt);
    EXPECT_EQ(ErrorOf([&] { store.SetItemValue(7, row.position, row.position * 10 + 0.5); }), 0);
    EXPECT_EQ(store.ItemTag(7, row.position), row.tag);
    EXPECT_EQ(store.ItemValue(7, row.position), row.value);
  }
  EXPECT_EQ(store.Writes(), (std::vector<WriteLoggingOpcItemStore::Write>{
                                {7, 0, 0.5}, {7, 2, 20.5}, {7, 3, 30.5}, {7, 5, 50.5}, {7, 6, 60.5}}));
  EXPECT_EQ(store.ItemValue(6, 0), std::nullopt);  // other channels have no items

  store.RemoveItems(7);
  EXPECT_EQ(store.ItemTag(7, 0), std::nullopt);
  store.SetItemValue(7, 0, 1);
  EXPECT_EQ(store.Writes().size(), 5u);

  EXPECT_EQ(ErrorOf([&] { store.AddItem(33, 0, "T"); }), 9);
  EXPECT_EQ(ErrorOf([&] { store.AddItem(0, 8, "T"); }), 9);
  EXPECT_EQ(ErrorOf([&] { store.SetItemValue(-1, 0, 1); }), 9);
}

TEST(OpcItemStore, SetValWritesTheNetToPosition2EvenWhenTheTareTagIsBlank) {
  PublicationFixture f;
  WriteLoggingOpcItemStore store;
  ValuePublisher publisher(f.publication, f.window, f.config, f.grid, store, f.labels, f.handshake);
  store.AddItem(0, 0, "W.Gross");
  store.AddItem(0, 1, "");
  store.AddItem(0, 2, "W.Net");
  f.config.Channels[0].OPCEnabled = true;
  f.publication.NewTare[0] = "1.5";
  f.publication.NewNet[0] = "2.5";
  publisher.SetVal(2, 0);  // the tare has no item: nothing is held
  publisher.SetVal(3, 0);
  EXPECT_EQ(store.ItemValue(0, 1), std::nullopt);
  EXPECT_EQ(store.ItemValue(0, 2), 2.5);
  EXPECT_EQ(store.Writes(), (std::vector<WriteLoggingOpcItemStore::Write>{{0, 2, 2.5}}));
}

}  // namespace
}  // namespace tarvex
