#pragma once
// A channel's OPC data access client: the connection to a server, one group
// holding the channel's tagged items, and the write that sends the items'
// values. Each step leaves a status text and a numeric result (0 = success)
// for the caller to show and log; a step the client cannot make raises its
// RunTimeError.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/opc/opc_item_store.h"

namespace tarvex {

class OpcClient {
public:
  virtual ~OpcClient() = default;
  virtual void SetServerName(const std::string& name) = 0;
  virtual void SetNodeName(const std::string& name) = 0;
  // The group's update rate in milliseconds.
  virtual void SetUpdateRate(int16_t milliseconds) = 0;
  virtual void Connect() = 0;
  // The item name at index 0 to 7, added to the group it creates next.
  virtual void SetItemName(int16_t index, const std::string& tag) = 0;
  virtual void CreateGroup() = 0;
  // The status and result of the last Connect, and of the last CreateGroup.
  virtual std::string ConnectStatus() const = 0;
  virtual int32_t ConnectResult() const = 0;
  virtual std::string GroupStatus() const = 0;
  virtual int32_t GroupResult() const = 0;
  // Sends the values of the group's items to the server.
  virtual void Write() = 0;
  virtual void RemoveGroup() = 0;
  virtual void Disconnect() = 0;
};

// The clients of all channels, element ch serving channel ch (0 to 32).
class OpcClients {
public:
  virtual ~OpcClients() = default;
  // Error 9 outside 0 to 32.
  virtual OpcClient& OPC(int32_t ch) = 0;
};

// The client over the manager's own item store: the server is this process,
// so connecting always succeeds; the group is the channel's items in the
// store, and a write hands the values held there on (it counts the writes).
class StoreOpcClient final : public OpcClient {
public:
  StoreOpcClient(OpcItemStore& store, int32_t ch) : store_(store), ch_(ch) {}

  void SetServerName(const std::string& name) override { server_ = name; }
  void SetNodeName(const std::string& name) override { node_ = name; }
  void SetUpdateRate(int16_t milliseconds) override { updateRate_ = milliseconds; }
  void Connect() override;
  void SetItemName(int16_t index, const std::string& tag) override;
  void CreateGroup() override;
  std::string ConnectStatus() const override { return connectStatus_; }
  int32_t ConnectResult() const override { return connectResult_; }
  std::string GroupStatus() const override { return groupStatus_; }
  int32_t GroupResult() const override { return groupResult_; }
  void Write() override;
  void RemoveGroup() override;
  void Disconnect() override;

  bool Connected() const noexcept { return connected_; }
  int16_t UpdateRate() const noexcept { return updateRate_; }
  int32_t WriteCount() const noexcept { return writes_; }

private:
  OpcItemStore& store_;
  int32_t ch_;
  std::string server_;
  std::string node_;
  int16_t updateRate_ = 0;
  bool connected_ = false;
  bool grouped_ = false;
  std::array<std::string, OpcItemPositions> names_{};
  std::string connectStatus_ = "Not connected";
  int32_t connectResult_ = 0;
  std::string groupStatus_ = "No group";
  int32_t groupResult_ = 0;
  int32_t writes_ = 0;
};

class StoreOpcClients final : public OpcClients {
public:
  explicit StoreOpcClients(OpcItemStore& store);
  StoreOpcClient& OPC(int32_t ch) override;

private:
  std::array<std::unique_ptr<StoreOpcClient>, OpcChannels> clients_;
};

}  // namespace tarvex
