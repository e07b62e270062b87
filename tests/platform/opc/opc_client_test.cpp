// The OPC client over the manager's own item store.
#include <gtest/gtest.h>

#include "platform/opc/opc_client.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

TEST(StoreOpcClient, TheGroupHoldsTheNamedItemsAtTheirSlotsAndWritesCount) {
  OpcItemStore store;
  StoreOpcClients clients(store);
  StoreOpcClient& opc = clients.OPC(3);
  EXPECT_EQ(test::ErrorOf([&] { opc.Write(); }), ErrorNumber::AutomationError);

  opc.SetServerName("Velmar.OPC");
  opc.SetUpdateRate(50);
  opc.Connect();
  EXPECT_EQ(opc.ConnectResult(), 0);
  EXPECT_EQ(opc.ConnectStatus(), "Connected to Velmar.OPC");
  opc.SetItemName(0, "W.Gross");
  opc.SetItemName(7, "W.Eighth");
  opc.CreateGroup();
  EXPECT_EQ(opc.GroupResult(), 0);
  EXPECT_EQ(store.ItemTag(3, 0), "W.Gross");
  EXPECT_EQ(store.ItemTag(3, 1), std::nullopt);
  EXPECT_EQ(store.ItemTag(3, 7), "W.Eighth");
  opc.Write();
  opc.Write();
  EXPECT_EQ(opc.WriteCount(), 2);

  opc.RemoveGroup();
  EXPECT_EQ(store.ItemTag(3, 0), std::nullopt);
  opc.Disconnect();
  EXPECT_FALSE(opc.Connected());
  EXPECT_EQ(test::ErrorOf([&] { clients.OPC(33); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(test::ErrorOf([&] { opc.SetItemName(8, "x"); }), ErrorNumber::SubscriptOutOfRange);
}

}  // namespace
}  // namespace tarvex
