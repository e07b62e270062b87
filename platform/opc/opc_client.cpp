#include "platform/opc/opc_client.h"

#include "platform/run_time_error.h"

namespace tarvex {

void StoreOpcClient::Connect() {
  connected_ = true;
  connectStatus_ = "Connected to " + (server_.empty() ? std::string("Tarvex") : server_);
  connectResult_ = 0;
}

void StoreOpcClient::SetItemName(int16_t index, const std::string& tag) {
  CheckSubscript(index, 0, OpcItemPositions - 1, "OPC item name");
  names_[static_cast<size_t>(index)] = tag;
}

void StoreOpcClient::CreateGroup() {
  if (!connected_) {
    groupStatus_ = "Not connected";
    groupResult_ = -1;
    return;
  }
  store_.RemoveItems(ch_);
  for (int k = 0; k < OpcItemPositions; ++k) store_.AddItem(ch_, k, names_[static_cast<size_t>(k)]);
  grouped_ = true;
  groupStatus_ = "Group created";
  groupResult_ = 0;
}

void StoreOpcClient::Write() {
  if (!grouped_) {
    throw RunTimeError(ErrorNumber::AutomationError,
                       "OPC write without a group (channel " + std::to_string(ch_) + ")");
  }
  ++writes_;
}

void StoreOpcClient::RemoveGroup() {
  store_.RemoveItems(ch_);
  names_ = {};
  grouped_ = false;
  groupStatus_ = "No group";
}

void StoreOpcClient::Disconnect() {
  connected_ = false;
  connectStatus_ = "Not connected";
}

StoreOpcClients::StoreOpcClients(OpcItemStore& store) {
  for (int32_t ch = 0; ch < OpcChannels; ++ch) clients_[static_cast<size_t>(ch)] = std::make_unique<StoreOpcClient>(store, ch);
}

StoreOpcClient& StoreOpcClients::OPC(int32_t ch) {
  CheckSubscript(ch, 0, OpcChannels - 1, "OPC");
  return *clients_[static_cast<size_t>(ch)];
}

}  // namespace tarvex
